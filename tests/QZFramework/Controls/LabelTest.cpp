#include <gtest/gtest.h>

#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/LookDescriptor.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Controls/Label.h"
#include "Support/FakeControlApplication.h"
#include "Support/FixedAdvanceMeasurer.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

// A panel for labels: its entry has no looks.
class Panel : public LControl {
public:
  Panel() : LControl(nullptr, u"panel") {}
};

// A label entry 50 wide whose text area is the whole label, with the fixed-advance font
// and these create parameters.
RCPtr<LControlDescriptor> LabelEntry(LStringTable::Entries params) {
  RCPtr<LVisualPartDescriptor> white(new LVisualPartDescriptor(
      u"white", {}, ResizeType::Stretch,
      RCPtr<LColorizer>(new LColorizer(u"white", ColorizerType::SolidFill, ColorT<float>::FromARGB(0xFFFFFFFF))),
      {1, 1}, 1.0f, {}));
  RCPtr<LLookDescriptor> look(new LLookDescriptor(u"label"));
  look->SetClientPart(RCPtr<LDockedPart>(new LDockedPart(white, LDockedPart::ClientDock(0, 0, 0, 0))));
  look->SetTextProperties(TextProperties{0.0f, 0, 1.0f, 0, 0.0f, 0.0f, 0, 1.0f, 0, 0.0f}, white);
  RCPtr<LLookList> looks = MakeLookList(1);
  looks->GetAt(0) = look;
  const RCPtr<LFont> font = QZTest::FixedAdvanceFont();
  SkinFont skinFont;
  skinFont.name = font->GetFaceName();
  skinFont.size = font->GetSize();
  skinFont.style = font->GetStyle();
  RCPtr<LControlDescriptor> entry(new LControlDescriptor(u"Framework.Label", u"label", nullptr));
  entry->SetSkin(RCPtr<LSkinDescriptor>(new LSkinDescriptor(u"label", skinFont, looks)));
  RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
  layout->size[0].abs = 50.0;
  entry->SetLayout(layout);
  entry->SetCreateParams(LStringTable::Create(std::move(params)));
  return entry;
}

TEST(LabelTest, ALabelNeverTakesTheFocusAndShowsItsTextWhenCutOff) {
  QZTest::ScopedFixedAdvanceMeasurer measuring;
  QZTest::FakeControlApplication application;
  application.measurer = RCPtr<LMeasurementRenderer>(&*measuring);
  const RCPtr<LControl> panel(new Panel);

  const RCPtr<LControl> label = CreateControlOf<LLabel>(
      panel, LabelEntry({{u"LABEL", u"abcdefghij"}, {u"TOOLTIP", u"The preset's name"}, {u"NOT_FOCUSABLE", u"false"}}));
  ASSERT_TRUE(label);
  EXPECT_EQ(label->GetText(), WString(u"abcdefghij"));
  EXPECT_FALSE(label->IsFocusable());
  EXPECT_TRUE(label->IsFocusDelegated(false));                // marked not focusable
  EXPECT_EQ(label->GetToolTipText(), WString(u"abcdefghij")); // 70 pixels in 50

  EXPECT_EQ(label->SetText(u"abcdefg"), QZ_OK); // 49 pixels: it fits
  EXPECT_EQ(label->GetToolTipText(), WString(u"The preset's name"));
  label->Detach();
}

} // namespace
} // namespace QZ
