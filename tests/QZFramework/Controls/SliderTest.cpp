#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "QZFramework/Controls/Slider.h"
#include "QZFramework/Utilities/Storage/Holder.h"
#include "WidgetSkinTestSupport.h"

namespace QZ {
namespace {

using QZTest::KeyPress;
using QZTest::TimedRecorder;

constexpr uint8_t kLeft = 0x25;
constexpr uint8_t kRight = 0x27;
constexpr uint8_t kUp = 0x26;

void RegisterSlider(LControlFactory& factory) {
  factory.RegisterControlCreateFunction(u"Framework.Slider", &CreateControlOf<LSlider>);
  factory.RegisterControlCreateFunction(u"Test.Part", &CreateControlOf<LControl>);
}

class SliderTest : public ::testing::Test {
protected:
  QZTest::WidgetSkin skin{"Slider.xml", RegisterSlider};

  void SetUp() override {
    ASSERT_EQ(skin.loaded, QZ_OK);
    ASSERT_TRUE(skin.Create(u"sliders"));
  }
  RCPtr<LSlider> Slider(const char16_t* name) {
    const RCPtr<LSlider> slider = skin.Find<LSlider>({name});
    EXPECT_TRUE(slider);
    return slider;
  }
  static PointT<double> ThumbAt(const RCPtr<LSlider>& slider) {
    return {slider->GetThumb()->GetRect().x, slider->GetThumb()->GetRect().y};
  }
  static double Units(const RCPtr<LSlider>& slider) { return slider->NormalizedToValue(slider->GetValue()); }
  // Presses the thumb at its centre and drags it by the window pointer to (x, y) of the
  // slider.
  void GrabThumb(const RCPtr<LSlider>& slider) {
    skin.pointer.MoveTo(slider->GetThumb(), 10, 10);
    skin.pointer.Press();
  }
  void DragTo(const RCPtr<LSlider>& slider, int32_t x, int32_t y) { skin.pointer.MoveTo(slider, x, y); }
};

TEST_F(SliderTest, ANewSliderRunsOverTheFullRangeWithItsThumbOnTheStartMarker) {
  const RCPtr<LSlider> slider = Slider(u"sliderH");
  EXPECT_EQ(slider->GetRangeMinimum(), 0.0);
  EXPECT_EQ(slider->GetRangeMaximum(), 127.0);
  EXPECT_EQ(slider->GetScaleType(), 0);
  EXPECT_EQ(slider->GetDragThreshold(), 0);
  ASSERT_TRUE(slider->GetThumb());
  EXPECT_TRUE(slider->GetThumb()->IsShown(true));
  EXPECT_FALSE(slider->GetThumbStart()->IsShown(false));
  EXPECT_FALSE(slider->GetThumbEnd()->IsShown(false));
  EXPECT_EQ(slider->GetThumb()->GetRect(), (RectT<double>{0, 0, 20, 20}));
  EXPECT_EQ(slider->GetThumbAnchor(), (PointT<int32_t>{10, 10}));
  EXPECT_EQ(slider->GetCurrentLookIndex(), LSlider::kLookNormal);
  EXPECT_DOUBLE_EQ(slider->SetValue(0.5), 0.5);
  EXPECT_EQ(ThumbAt(slider), (PointT<double>{100, 0}));
}

TEST_F(SliderTest, ArrowKeysAndTheWheelStepOneUnitWithinTheRange) {
  const RCPtr<LSlider> slider = Slider(u"sliderH");
  const auto recorder = TimedRecorder::Listen(slider, {u"NID_VALUE_CHANGE"});
  slider->SetValue(slider->ValueToNormalized(126.6));
  EXPECT_EQ(slider->HandleKey(KeyPress(kRight)), QZ_OK);
  EXPECT_DOUBLE_EQ(Units(slider), 127.0);
  EXPECT_EQ(ThumbAt(slider), (PointT<double>{200, 0}));
  recorder->heard.clear();
  EXPECT_EQ(slider->HandleKey(KeyPress(kUp)), QZ_OK);
  EXPECT_DOUBLE_EQ(Units(slider), 127.0);
  EXPECT_TRUE(recorder->heard.empty()) << "no change at the maximum";

  struct Step {
    const char* what;
    std::function<void()> act;
    double units;
  };
  const std::vector<Step> steps = {
      {"Left", [&] { slider->HandleKey(KeyPress(kLeft)); }, 126.0},
      {"Down", [&] { slider->HandleKey(KeyPress(0x28)); }, 125.0},
      {"Shift+Left is not the slider's", [&] { slider->HandleKey(KeyPress(kLeft, kModifierShift)); }, 125.0},
      {"wheel down",
       [&] {
         slider->OnMouseWheelV(LMouseWheelParam::Create({0, 0}, 0, kWheelDown));
       },
       124.0},
      {"wheel up",
       [&] {
         slider->OnMouseWheelV(LMouseWheelParam::Create({0, 0}, 0, kWheelUp));
       },
       125.0},
      {"wheel left",
       [&] {
         slider->OnMouseWheelH(LMouseWheelParam::Create({0, 0}, 0, kWheelLeft));
       },
       124.0},
      {"wheel right",
       [&] {
         slider->OnMouseWheelH(LMouseWheelParam::Create({0, 0}, 0, kWheelRight));
       },
       125.0},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    EXPECT_NEAR(Units(slider), step.units, 1e-9);
  }
  slider->SetValue(0.0);
  slider->HandleKey(KeyPress(kLeft));
  EXPECT_EQ(slider->GetValue(), 0.0);
}

TEST_F(SliderTest, AHeldArrowKeyIsOneSeriesEndedByItsReleaseOrByTheFocusLeaving) {
  const RCPtr<LSlider> slider = Slider(u"sliderH");
  const auto recorder =
      TimedRecorder::Listen(slider, {u"NID_VALUE_CHANGE_KEY_DOWN", u"NID_VALUE_CHANGE_KEY_UP", u"NID_VALUE_CHANGE"});
  for (uint8_t repeat : {0, 1, 1, 1}) {
    slider->HandleKey(LKeyParam::Create(KeyCode(kRight, true, repeat, 0), true));
  }
  EXPECT_EQ(recorder->Count("NID_VALUE_CHANGE_KEY_DOWN"), 1u);
  EXPECT_EQ(recorder->Count("NID_VALUE_CHANGE"), 4u);
  EXPECT_EQ(recorder->Count("NID_VALUE_CHANGE_KEY_UP"), 0u);
  const RCPtr<LKeyParam> release = LKeyParam::Create(KeyCode(kRight, false, 1, kModifierShift), true);
  EXPECT_EQ(slider->HandleKey(release), QZ_OK);
  ASSERT_EQ(recorder->Count("NID_VALUE_CHANGE_KEY_UP"), 1u);
  EXPECT_EQ(recorder->heard.back().parameter, RCPtr<LRefCountedObject>(release));
  EXPECT_DOUBLE_EQ(Units(slider), 4.0);

  // The focus inside the slider shows look 1; leaving it mid-series ends the series.
  slider->GetThumb()->SetFocus(true);
  ASSERT_TRUE(slider->ContainsFocus());
  EXPECT_EQ(slider->GetCurrentLookIndex(), LSlider::kLookFocused);
  slider->HandleKey(KeyPress(kRight));
  recorder->heard.clear();
  const RCPtr<LControl> elsewhere = Slider(u"sliderV")->GetThumb();
  elsewhere->SetFocus(true);
  EXPECT_FALSE(slider->ContainsFocus());
  ASSERT_EQ(recorder->heard.size(), 1u);
  EXPECT_EQ(recorder->heard[0].name, "NID_VALUE_CHANGE_KEY_UP");
  EXPECT_FALSE(recorder->heard[0].parameter);
  EXPECT_EQ(slider->GetCurrentLookIndex(), LSlider::kLookNormal);
  // No series: nothing more when the focus leaves again.
  slider->GetThumb()->SetFocus(true);
  elsewhere->SetFocus(true);
  EXPECT_EQ(recorder->heard.size(), 1u);

  ASSERT_EQ(slider->SetEnabled(false), QZ_OK);
  EXPECT_EQ(slider->GetCurrentLookIndex(), LSlider::kLookDisabled);
  ASSERT_EQ(slider->SetEnabled(true), QZ_OK);
  EXPECT_EQ(slider->GetCurrentLookIndex(), LSlider::kLookNormal);
}

TEST_F(SliderTest, AClickOnTheTrackPagesOnceTowardsThePointer) {
  const RCPtr<LSlider> slider = Slider(u"sliderH");
  skin.pointer.ClickAt(slider, 190, 10); // far beyond the thumb at 0
  EXPECT_DOUBLE_EQ(slider->GetValue(), 0.1);
  EXPECT_EQ(ThumbAt(slider), (PointT<double>{20, 0}));
  // Before the thumb pages back, never below the pointer's value.
  slider->SetValue(0.5);
  skin.pointer.ClickAt(slider, 95, 10); // the thumb's centre at 95: value 85 / 200
  EXPECT_DOUBLE_EQ(slider->GetValue(), 0.425);
  EXPECT_FALSE(slider->IsTrackPressed());
}

TEST_F(SliderTest, AHeldTrackPagesAfterTheFirstDelayThenEveryIntervalAndStopsUnderThePointer) {
  const RCPtr<LSlider> slider = Slider(u"sliderH");
  const auto recorder = TimedRecorder::Listen(slider, {u"NID_VALUE_CHANGE"});
  skin.pointer.MoveTo(slider, 55, 10); // value 45 / 200 = 0.225 under the pointer
  skin.pointer.Press();
  ASSERT_TRUE(slider->IsTrackPressed());
  EXPECT_EQ(slider->GetValue(), 0.0) << "the press itself does not page";
  skin.TickEveryMs(50, 800);
  EXPECT_EQ(recorder->TimesOf("NID_VALUE_CHANGE"), (std::vector<double>{0.3, 0.4, 0.5}));
  EXPECT_DOUBLE_EQ(slider->GetValue(), 0.225);
  EXPECT_EQ(ThumbAt(slider), (PointT<double>{45, 0}));
  // The release is a click under the pointer: no further page.
  skin.pointer.Release();
  EXPECT_DOUBLE_EQ(slider->GetValue(), 0.225);
  EXPECT_FALSE(slider->IsTrackPressed());
  EXPECT_EQ(slider->GetIdleRequestCount(), 0);
}

TEST_F(SliderTest, ValuesSetDuringADragWaitForItsEndWhereOneOutsideTheRangeIsDropped) {
  const RCPtr<LSlider> slider = Slider(u"sliderH");
  const auto recorder = TimedRecorder::Listen(slider, {u"NID_VALUE_CHANGE_CAPTURE", u"NID_VALUE_CHANGE"});
  for (double late : {0.5, 2.0}) {
    SCOPED_TRACE(late);
    slider->SetValue(0.0);
    recorder->heard.clear();
    GrabThumb(slider);
    DragTo(slider, 110, 10);
    ASSERT_TRUE(slider->IsDragging());
    EXPECT_EQ(ThumbAt(slider), (PointT<double>{100, 0}));
    EXPECT_DOUBLE_EQ(slider->GetValue(), 0.5);
    DragTo(slider, 50, 30); // the pointer's Y is of no account
    EXPECT_EQ(ThumbAt(slider), (PointT<double>{40, 0}));
    EXPECT_DOUBLE_EQ(slider->GetValue(), 0.2);
    EXPECT_DOUBLE_EQ(slider->SetValue(late), 0.2) << "held back";
    EXPECT_EQ(slider->GetPendingValue(), late);
    EXPECT_EQ(ThumbAt(slider), (PointT<double>{40, 0}));
    skin.pointer.Release();
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_DOUBLE_EQ(slider->GetValue(), late <= 1.0 ? late : 0.2);
    EXPECT_EQ(ThumbAt(slider).x, late <= 1.0 ? 100.0 : 40.0);
    ASSERT_GE(recorder->heard.size(), 2u);
    const auto captured = [](const TimedRecorder::Heard& heard) {
      return DynamicCast<LHolder<bool>>(heard.parameter)->GetValue();
    };
    EXPECT_EQ(recorder->heard.front().name, "NID_VALUE_CHANGE_CAPTURE");
    EXPECT_TRUE(captured(recorder->heard.front()));
    EXPECT_EQ(recorder->heard.back().name, "NID_VALUE_CHANGE_CAPTURE");
    EXPECT_FALSE(captured(recorder->heard.back()));
  }
}

TEST_F(SliderTest, ADragEndNotifiesOnceMoreWhenAsked) {
  const RCPtr<LSlider> slider = Slider(u"sliderH");
  slider->SetNotifyAtDragEnd(true);
  const auto recorder = TimedRecorder::Listen(slider, {u"NID_VALUE_CHANGE"});
  GrabThumb(slider);
  DragTo(slider, 110, 10);
  skin.pointer.Release();
  ASSERT_EQ(recorder->heard.size(), 2u);
  const RCPtr<LValueParam> last = DynamicCast<LValueParam>(recorder->heard.back().parameter);
  ASSERT_TRUE(last);
  EXPECT_DOUBLE_EQ(last->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(last->GetScaledValue(), 63.5);
}

TEST_F(SliderTest, AVerticalThumbKeepsItsXAndADiagonalOneStaysOnTheLineInsideTheMarkersBox) {
  const RCPtr<LSlider> vertical = Slider(u"sliderV");
  GrabThumb(vertical);
  DragTo(vertical, 300, 110);
  EXPECT_EQ(ThumbAt(vertical), (PointT<double>{0, 100}));
  EXPECT_DOUBLE_EQ(vertical->GetValue(), 0.5);
  skin.pointer.Release();

  const RCPtr<LSlider> diagonal = Slider(u"sliderD");
  GrabThumb(diagonal);
  struct Case {
    int32_t x, y;
  };
  // On the line, either side of it, before the start and beyond the end.
  for (const Case c : {Case{90, 70}, Case{50, 130}, Case{150, 20}, Case{-80, -50}, Case{400, 300}, Case{170, 10}}) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    DragTo(diagonal, c.x, c.y);
    const PointT<double> at = ThumbAt(diagonal);
    EXPECT_GE(at.x, 0.0);
    EXPECT_LE(at.x, 160.0);
    EXPECT_GE(at.y, 0.0);
    EXPECT_LE(at.y, 120.0);
    EXPECT_LE(std::fabs(at.y - at.x * 0.75), 1.0) << at.x << "," << at.y;
    EXPECT_NEAR(diagonal->GetValue(), std::hypot(at.x, at.y) / 200.0, 1e-12);
  }
  DragTo(diagonal, 90, 70); // the grab point (10, 10) on (80, 60)
  EXPECT_EQ(ThumbAt(diagonal), (PointT<double>{80, 60}));
  EXPECT_DOUBLE_EQ(diagonal->GetValue(), 0.5);
  skin.pointer.Release();
  diagonal->SetValue(0.25);
  EXPECT_EQ(ThumbAt(diagonal), (PointT<double>{40, 30}));
}

TEST_F(SliderTest, CoincidentMarkersOrNoStartMarkerLeaveTheValueWhole) {
  const RCPtr<LSlider> same = Slider(u"sliderSame");
  EXPECT_EQ(same->ValueFromPoint(90, 10), 0.0);
  same->SetValue(0.5);
  skin.pointer.ClickAt(same, 90, 10);
  EXPECT_FALSE(std::isnan(same->GetValue()));
  GrabThumb(same);
  DragTo(same, 5, 5);
  skin.pointer.Release();
  EXPECT_FALSE(std::isnan(same->GetValue()));
  EXPECT_EQ(ThumbAt(same), (PointT<double>{40, 0}));

  const RCPtr<LSlider> bare = Slider(u"sliderNoStart");
  EXPECT_FALSE(bare->GetThumb());
  EXPECT_DOUBLE_EQ(bare->SetValue(0.25), 0.25);
  skin.pointer.ClickAt(bare, 50, 10);
  bare->HandleKey(KeyPress(kRight));
  bare->OnMouseWheelV(LMouseWheelParam::Create({0, 0}, 0, kWheelUp));
  EXPECT_EQ(bare->ValueFromPoint(50, 10), 0.0);
}

TEST_F(SliderTest, ASkinSwitchKeepsOneThumbMadeFromTheStartMarker) {
  const RCPtr<LSlider> slider = Slider(u"sliderH");
  slider->SetValue(0.5);
  const RCPtr<LControl> thumb = slider->GetThumb();
  ASSERT_EQ(slider->ApplyDescriptor(slider->GetControlDescriptor()), QZ_OK);
  RCPtrArray<LControl, 1, 0> thumbs;
  EXPECT_EQ(slider->FindChildrenByName(u"thumb", thumbs), 1u);
  EXPECT_EQ(slider->GetThumb(), thumb);
  EXPECT_EQ(thumb->GetRect(), (RectT<double>{100, 0, 20, 20}));
  EXPECT_TRUE(thumb->IsShown(true));
}

} // namespace
} // namespace QZ
