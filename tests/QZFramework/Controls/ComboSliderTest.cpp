#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ListBoxTestSupport.h"
#include "QZFramework/Controls/ComboSlider.h"
#include "QZFramework/Controls/Slider.h"

namespace QZ {
namespace {

using QZTest::KeyPress;
using QZTest::TimedRecorder;

int gEscapesHandled = 0;

// The combo slider, counting the Escapes that reach its HandleKey.
class CountingComboSlider : public LComboSlider {
public:
  using LComboSlider::LComboSlider;
  QZResult HandleKey(const RCPtr<LKeyParam>& param) override {
    gEscapesHandled += param && param->GetKey().code == 0x201B0000 ? 1 : 0;
    return LComboSlider::HandleKey(param);
  }
};

void RegisterComboSlider(LControlFactory& factory) {
  factory.RegisterControlCreateFunction(u"Framework.ComboSlider", &CreateControlOf<CountingComboSlider>);
  factory.RegisterControlCreateFunction(u"Framework.ComboSlider.DropDownPanel", &CreateControlOf<LPanel>);
  factory.RegisterControlCreateFunction(u"Framework.Slider", &CreateControlOf<LSlider>);
  factory.RegisterControlCreateFunction(u"Test.Part", &CreateControlOf<LControl>);
}

class ComboSliderTest : public ::testing::Test {
protected:
  QZTest::ListSkin skin{"ComboSlider.xml", {}, RegisterComboSlider};
  RCPtr<LComboSlider> combo;

  void SetUp() override {
    skin.window->clientRect = {0, 0, 400, 200};
    combo = skin.Create<LComboSlider>(u"comboSliderHost", u"combo");
    ASSERT_TRUE(combo);
    ASSERT_TRUE(combo->GetSlider());
  }
  RCPtr<LComboSlider> Other(const char16_t* name) {
    return DynamicCast<LComboSlider>(skin.top->FindChildByName(WString(name)));
  }
  static double Units(const RCPtr<LValueParam>& value) { return value ? value->GetScaledValue() : -1.0; }
};

TEST_F(ComboSliderTest, DraggingTheSliderNotifiesEachChangeAndTheFinalValueOnceMore) {
  combo->SetValue(combo->ValueToNormalized(10));
  skin.pointer.ClickAt(combo, 5, 5);
  ASSERT_TRUE(combo->IsDroppedDown());
  EXPECT_EQ(combo->GetCurrentLookIndex(), LComboSlider::kLookOpenHover);
  const RCPtr<LControl> thumb = combo->GetSlider()->GetThumb();
  ASSERT_EQ(thumb->GetRect().x, 10.0);
  const auto recorder = TimedRecorder::Listen(combo, {u"NID_VALUE_CHANGE"});
  skin.pointer.MoveTo(thumb, 2, 5);
  skin.pointer.Press();
  for (int32_t x = 13; x <= 22; ++x) { // the grab point 2 pixels into the thumb
    skin.pointer.MoveTo(combo->GetSlider(), x, 5);
  }
  skin.pointer.Release();
  std::vector<double> units;
  for (const TimedRecorder::Heard& heard : recorder->heard) {
    units.push_back(Units(DynamicCast<LValueParam>(heard.parameter)));
  }
  EXPECT_EQ(units, (std::vector<double>{11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 20}));
  EXPECT_EQ(combo->GetText(), WString(u"20"));
  EXPECT_DOUBLE_EQ(combo->NormalizedToValue(combo->GetValue()), 20.0);
}

TEST_F(ComboSliderTest, AValueSetFromOutsideMovesTheThumbAndShowsWholeUnits) {
  EXPECT_EQ(combo->GetText(), WString(u"0")) << "shown from the start";
  const auto recorder = TimedRecorder::Listen(combo, {u"NID_VALUE_CHANGE"});
  combo->SetValue(combo->ValueToNormalized(63.6));
  EXPECT_EQ(combo->GetText(), WString(u"64"));
  EXPECT_EQ(combo->GetSlider()->GetThumb()->GetRect().x, 64.0);
  EXPECT_DOUBLE_EQ(combo->GetSlider()->GetValue(), combo->GetValue());
  EXPECT_EQ(recorder->heard.size(), 1u);
  EXPECT_EQ(combo->GetRangeMaximum(), 127.0);
  // A range set on the box is the slider's too.
  ASSERT_EQ(combo->SetValueRange(0, 10, 0), QZ_OK);
  EXPECT_EQ(combo->GetSlider()->GetRangeMaximum(), 10.0);
}

TEST_F(ComboSliderTest, KeysOpenAndCloseThePanelAndEscapeWhileClosedGoesOnToHandleKey) {
  gEscapesHandled = 0;
  const RCPtr<LKeyParam> escape = KeyPress(0x1B);
  EXPECT_EQ(combo->OnKeyDown(escape), QZ_FALSE);
  EXPECT_EQ(combo->HandleKey(escape), QZ_OK);
  EXPECT_EQ(gEscapesHandled, 1);
  EXPECT_FALSE(combo->IsDroppedDown());
  EXPECT_EQ(combo->HandleKey(KeyPress(0x41)), QZ_FALSE) << "no other key goes further";

  EXPECT_EQ(combo->OnKeyDown(KeyPress(0x28)), QZ_OK); // Down
  EXPECT_TRUE(combo->IsDroppedDown());
  EXPECT_EQ(combo->GetCurrentLookIndex(), LComboSlider::kLookOpen);
  EXPECT_EQ(combo->OnKeyDown(KeyPress(0x28)), QZ_FALSE);
  EXPECT_EQ(combo->OnKeyDown(escape), QZ_OK);
  EXPECT_FALSE(combo->IsDroppedDown());
  EXPECT_EQ(combo->OnKeyDown(KeyPress(0x0D)), QZ_OK); // Enter
  EXPECT_TRUE(combo->IsDroppedDown());
  EXPECT_EQ(combo->HandleKey(escape), QZ_OK);
  EXPECT_FALSE(combo->IsDroppedDown());
  EXPECT_EQ(combo->GetCurrentLookIndex(), LComboSlider::kLookClosed);
  ASSERT_EQ(combo->SetEnabled(false), QZ_OK);
  EXPECT_EQ(combo->GetCurrentLookIndex(), LComboSlider::kLookDisabled);
}

TEST_F(ComboSliderTest, APanelPastTheTopControlsRightEdgeOpensEndingThere) {
  const RCPtr<LComboSlider> edge = Other(u"edgeCombo");
  ASSERT_TRUE(edge);
  ASSERT_EQ(edge->ShowDropDown(true), QZ_OK);
  EXPECT_EQ(edge->GetDropDownPanel()->GetWindowPosition().x, 400.0 - 160.0);
  EXPECT_TRUE(edge->IsDroppedDown());
  // One that fits stays where its skin puts it.
  const double fits = combo->GetDropDownPanel()->GetWindowPosition().x;
  ASSERT_EQ(combo->ShowDropDown(true), QZ_OK);
  EXPECT_EQ(combo->GetDropDownPanel()->GetWindowPosition().x, fits);
}

TEST_F(ComboSliderTest, APanelWithoutASliderOnlyOpensAndCloses) {
  const RCPtr<LComboSlider> bare = Other(u"noSlider");
  ASSERT_TRUE(bare);
  EXPECT_FALSE(bare->GetSlider());
  EXPECT_DOUBLE_EQ(bare->SetValue(0.5), 0.5);
  skin.pointer.ClickAt(bare, 5, 5);
  EXPECT_TRUE(bare->IsDroppedDown());
  skin.pointer.ClickAt(bare, 5, 5);
  EXPECT_FALSE(bare->IsDroppedDown());
}

} // namespace
} // namespace QZ
