// The load boxes as the user sees them: the shipped texts through the editor UI host.

#include <gtest/gtest.h>

#include "QZFramework/ControlBase/ControlFactory.h"
#include "Support/RecordingEditorUIHost.h"
#include "Support/StringPrinter.h"
#include "UI/DriverCommon/PresetFileMessages.h"

namespace {

using Box = QZTest::RecordingEditorUIHost::Box;

// The editor's string table as the program ships it, in English.
QZ::RCPtr<QZ::LStringTable> ShippedAppStrings() {
  QZ::RCPtr<QZ::LControlFactory> factory(new QZ::LControlFactory());
  EXPECT_EQ(factory->LoadStringTables(u"::APP_STRINGS", u"::FRAMEWORK_STRINGS", 0x0409), 0);
  return factory->GetApplicationStringTable();
}

TEST(PresetFileMessagesTest, EachLoadFailureHasItsBoxWithTheShippedTexts) {
  QZTest::RecordingEditorUIHost host(ShippedAppStrings());
  ShowLoadOlderMessage();
  ShowLoadNewerMessage();
  ShowLoadCorruptMessage();
  ShowLoadWrongDeviceMessage();
  ShowLoadTranslationFailureMessage();
  const std::u16string caption = u"Preset File Load";
  const std::u16string older = u"Preset file is not compatible with this vesion of the preset editor";
  EXPECT_EQ(host.boxes, (std::vector<Box>{
                            {older, caption, 0x10},
                            {u"Preset file is not compatible with this version of the editor", caption, 0x10},
                            {older, caption, 0x10},
                            {older, caption, 0x10},
                            {older, caption, 0x10},
                        }));
}

} // namespace
