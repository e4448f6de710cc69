// The global settings page above the chord page in its custom mode, painted by the
// application's renderer from the kit's skin with values shown, against their reference
// image.
#include <gtest/gtest.h>

#include "EditPageKit.h"
#include "PagePainter.h"

namespace EditPages {
namespace {

std::string PagesTree() {
  return Xml::Control(
      "PresetEditor.MainControl", "mainControl", {0, 0, 800, 360},
      Xml::Control("Test.Device", "viewDevice", {0, 0, 800, 360},
                   GlobalPage("globalPage", {0, 0, 800, 170}) + ChordPage("chordPage", {0, 180, 600, 180})));
}

class EditPagesPixelsTest : public QZTest::PagePainter {};

TEST_F(EditPagesPixelsTest, GlobalPageAboveTheCustomChordPage) {
  PageKit kit(PagesTree(), u"mainControl", QZ::kDeviceModel49Keys, 800, 360);
  kit.application.measurer = RCPtr<QZ::LMeasurementRenderer>(renderer);
  const auto global = kit.Find<LGlobalPresetEditPanel>("viewDevice/globalPage");
  const auto chord = kit.Find<LUserPresetChordEditPanel>("viewDevice/chordPage");
  ASSERT_TRUE(global && chord);
  kit.Find("viewDevice/globalPage/label")->SetText(QZ::WString(u"GLOBAL SETTINGS"));
  global->SetFirstParamID(nullptr, 140, 0);
  chord->SetFirstParamID(nullptr, 129, 0);
  const std::pair<uint32_t, Variant> values[] = {{132, Bytes({48})}, {133, Bytes({52})}, {134, Bytes({55})},
                                                 {135, Bytes({0})},  {136, Bytes({0})},  {137, Bytes({72})}};
  for (const auto& [id, value] : values) {
    kit.Hold(id, value);
  }
  kit.Subscribe();
  const std::pair<uint32_t, Variant> shown[] = {{140, Bytes({10})}, {141, Bytes({5})}, {142, Bytes({1})},
                                                {143, Bytes({2})},  {144, Bytes({2})}, {130, Bytes({2})}};
  for (const auto& [id, value] : shown) {
    LParameterizedModule* module = id < 140 ? static_cast<LParameterizedModule*>(chord.Get()) : global.Get();
    EXPECT_EQ(module->SetParamValueLocal(QZ::ParamDescriptor(id), value, true), QZ::QZ_OK);
  }
  kit.PumpIdle();
  EXPECT_TRUE(QZTest::ImagesMatch(Paint(kit.Top()), QZTest::ReferenceImage("GlobalAndChordPages.png"), 24,
                                  ::testing::TempDir() + "EditorActualImages"));
}

} // namespace
} // namespace EditPages
