#include <gtest/gtest.h>

#include "QZFramework/ControlBase/ControlTestSupport.h"
#include "QZFramework/ControlBase/InputTestSupport.h"
#include "QZFramework/Controls/WidgetTestSupport.h"

namespace QZ {
namespace {

using QZTest::Child;
using QZTest::NotificationRecorder;
using QZTest::WidgetHarness;

// What a meter's parts show: whether each is visible and its rectangle on the meter's axis.
struct Shown {
  bool visible;
  double start;
  double extent;
};

Shown OnAxis(const RCPtr<LControl>& part, int32_t axis) {
  const RectT<double>& rect = part->GetRect();
  return {part->IsShown(false), axis == 0 ? rect.x : rect.y, axis == 0 ? rect.width : rect.height};
}

struct LevelCase {
  const char* name;
  const char16_t* meter;
  double level;
  double peak;
  bool barShown;
  double barExtent; // on the meter's axis, when shown
  bool markerShown;
  double markerStart; // when shown
};

TEST(LevelMeterTest, TheBarAndTheMarkerFollowTheLevelsRoundedHalfAwayFromZero) {
  const LevelCase cases[] = {
      {"0.3 of 200: 60 wide", u"meterH", 0.3, 0.0, true, 60, false, 0},
      {"0.002 of 200 is 0.4: hidden", u"meterH", 0.002, 0.0, false, 0, false, 0},
      {"0.0025 of 200 is 0.5: one pixel", u"meterH", 0.0025, 0.0, true, 1, false, 0},
      {"peak 0.5 of a travel of 100: at 50", u"meterH", 0.3, 0.5, true, 60, true, 50},
      {"peak 0.004 of 100 is 0.4: hidden", u"meterH", 0.3, 0.004, true, 60, false, 0},
      {"peak 0.005 of 100 is 0.5: at 1", u"meterH", 0.3, 0.005, true, 60, true, 1},
      {"vertical, 100 high at 0.25: 75 high from the top", u"meterV", 0.25, 0.0, true, 75, false, 0},
      {"vertical at 1: the unlit part is gone", u"meterV", 1.0, 0.0, false, 0, false, 0},
  };
  for (const LevelCase& c : cases) {
    SCOPED_TRACE(c.name);
    WidgetHarness harness;
    const RCPtr<LLevelMeter> meter = harness.Create<LLevelMeter>(c.meter);
    ASSERT_TRUE(meter);
    const int32_t axis = meter->IsVertical() ? 1 : 0;
    EXPECT_EQ(meter->SetLevels(c.level, c.peak), QZ_OK);
    EXPECT_DOUBLE_EQ(meter->GetValue(), c.level);
    const Shown bar = OnAxis(Child(meter, u"activeOverlay"), axis);
    EXPECT_EQ(bar.visible, c.barShown);
    if (c.barShown) {
      EXPECT_EQ(bar.start, 0.0);
      EXPECT_EQ(bar.extent, c.barExtent);
    }
    if (const RCPtr<LControl> marker = meter->FindChildByName(u"peakLo")) {
      const Shown shown = OnAxis(marker, axis);
      EXPECT_EQ(shown.visible, c.markerShown);
      if (c.markerShown) {
        EXPECT_EQ(shown.start, c.markerStart);
      }
    }
  }
}

TEST(LevelMeterTest, TheLooksDecideTheOrientationAndHideThePartsUntilALevelShowsThem) {
  WidgetHarness harness;
  const RCPtr<LLevelMeter> meter = harness.Create<LLevelMeter>(u"meterH");
  ASSERT_TRUE(meter);
  EXPECT_FALSE(meter->IsVertical());
  // Level 0: no bar; the far end of the marker's travel is never shown.
  EXPECT_FALSE(Child(meter, u"activeOverlay")->IsShown(false));
  EXPECT_FALSE(Child(meter, u"peakLo")->IsShown(false));
  EXPECT_FALSE(Child(meter, u"peakHi")->IsShown(false));
  // Neither the meter nor its parts take the focus; the bar and the marker show the meter's tip.
  for (const char16_t* name : {u"activeOverlay", u"peakLo", u"peakHi", u"clipButton"}) {
    EXPECT_TRUE(Child(meter, name)->IsFocusDelegated(false)) << WString(name).ToUTF8().GetBuffer();
  }
  EXPECT_TRUE(meter->IsFocusDelegated(false));
  EXPECT_TRUE(Child(meter, u"activeOverlay")->UsesParentToolTip());
  EXPECT_TRUE(Child(meter, u"peakLo")->UsesParentToolTip());
  EXPECT_FALSE(Child(meter, u"clipButton")->UsesParentToolTip());

  const RCPtr<LLevelMeter> vertical = harness.Create<LLevelMeter>(u"meterV");
  ASSERT_TRUE(vertical);
  EXPECT_TRUE(vertical->IsVertical());
}

TEST(LevelMeterTest, AValueSetFromOutsideShowsTheBarWithPeakZero) {
  WidgetHarness harness;
  const RCPtr<LLevelMeter> meter = harness.Create<LLevelMeter>(u"meterH");
  ASSERT_TRUE(meter);
  ASSERT_EQ(meter->SetLevels(0.3, 0.5), QZ_OK);
  ASSERT_TRUE(Child(meter, u"peakLo")->IsShown(false));
  const RCPtr<NotificationRecorder> listener = NotificationRecorder::Listen(meter, {u"NID_VALUE_CHANGE"});

  EXPECT_EQ(meter->SetValue(0.5), 0.5);
  EXPECT_EQ(Child(meter, u"activeOverlay")->GetRect().width, 100.0);
  EXPECT_FALSE(Child(meter, u"peakLo")->IsShown(false));
  EXPECT_EQ(listener->Names(), std::vector<std::string>{"NID_VALUE_CHANGE"}); // once: no second update
}

// Two updates with one mode after a start at mode 0, with and without latching.
TEST(LevelMeterTest, ANewModeLightsTheClipLightWhichGoesOutAtTheNextUpdateUnlessItLatches) {
  struct Case {
    const char* name;
    bool latching;
    bool litAfterSecond;
  };
  for (const Case& c : {Case{"not latching", false, false}, Case{"latching", true, true}}) {
    SCOPED_TRACE(c.name);
    WidgetHarness harness;
    const RCPtr<LLevelMeter> meter = harness.Create<LLevelMeter>(u"meterH");
    ASSERT_TRUE(meter);
    ASSERT_EQ(meter->AttachClipButton(c.latching), QZ_OK);
    EXPECT_FALSE(meter->IsClipLit());
    EXPECT_EQ(meter->UpdateLevelParts(0.5, 0.0, 3), QZ_OK);
    EXPECT_TRUE(meter->IsClipLit());
    EXPECT_EQ(meter->GetMode(), 3);
    EXPECT_EQ(meter->UpdateLevelParts(0.6, 0.0, 3), QZ_OK);
    EXPECT_EQ(meter->IsClipLit(), c.litAfterSecond);
  }
}

TEST(LevelMeterTest, AClickPutsALatchedLightOutAndSaysSoOnce) {
  WidgetHarness harness;
  const RCPtr<LLevelMeter> meter = harness.Create<LLevelMeter>(u"meterH");
  ASSERT_TRUE(meter);
  const RCPtr<LControl> light = Child(meter, u"clipButton");
  const RCPtr<NotificationRecorder> listener = NotificationRecorder::Listen(meter, {u"NID_CLIPLIGHT_UNLATCHED"});
  ASSERT_EQ(meter->AttachClipButton(true), QZ_OK);
  ASSERT_EQ(meter->UpdateLevelParts(0.9, 0.9, 1), QZ_OK);
  ASSERT_TRUE(meter->IsClipLit());

  EXPECT_EQ(light->OnLeftClick(QZTest::Press(kMouseButtonLeft, 2, 2)), QZ_OK);
  EXPECT_FALSE(meter->IsClipLit());
  EXPECT_EQ(listener->Names(), std::vector<std::string>{"NID_CLIPLIGHT_UNLATCHED"});
  // A click on the unlit light says nothing.
  EXPECT_EQ(light->OnLeftClick(QZTest::Press(kMouseButtonLeft, 2, 2)), QZ_OK);
  EXPECT_EQ(listener->heard.size(), 1u);

  // Attaching again without latching puts the light out and no longer hears the clicks.
  ASSERT_EQ(meter->UpdateLevelParts(0.9, 0.9, 2), QZ_OK);
  ASSERT_EQ(meter->AttachClipButton(false), QZ_OK);
  EXPECT_FALSE(meter->IsClipLit());
  ASSERT_EQ(meter->UpdateLevelParts(0.9, 0.9, 4), QZ_OK);
  EXPECT_EQ(light->OnLeftClick(QZTest::Press(kMouseButtonLeft, 2, 2)), QZ_OK);
  EXPECT_TRUE(meter->IsClipLit());
  EXPECT_EQ(listener->heard.size(), 1u);
}

int32_t Registrations(const RCPtr<LLevelMeter>& meter) {
  return static_cast<const LNotificationClient&>(*meter).GetRegistrationCount();
}

TEST(LevelMeterTest, AttachingTheSameLatchingTwiceSubscribesOnce) {
  WidgetHarness harness;
  const RCPtr<LLevelMeter> meter = harness.Create<LLevelMeter>(u"meterH");
  ASSERT_TRUE(meter);
  const RCPtr<LControl> light = Child(meter, u"clipButton");
  const RCPtr<NotificationRecorder> listener = NotificationRecorder::Listen(meter, {u"NID_CLIPLIGHT_UNLATCHED"});
  const int32_t before = Registrations(meter);
  ASSERT_EQ(meter->AttachClipButton(true), QZ_OK);
  ASSERT_EQ(meter->AttachClipButton(true), QZ_OK);
  EXPECT_EQ(Registrations(meter), before + 1);
  ASSERT_EQ(meter->AttachClipButton(false), QZ_OK);
  EXPECT_EQ(Registrations(meter), before);
  ASSERT_EQ(meter->AttachClipButton(false), QZ_OK);
  EXPECT_EQ(Registrations(meter), before);
}

TEST(LevelMeterTest, ModesAreStoredWithoutAnUpdate) {
  WidgetHarness harness;
  const RCPtr<LLevelMeter> meter = harness.Create<LLevelMeter>(u"meterH");
  ASSERT_TRUE(meter);
  EXPECT_EQ(meter->SetMode(7), 7);
  EXPECT_EQ(meter->GetMode(), 7);
  EXPECT_FALSE(meter->IsClipLit());
  // SetLevels keeps the stored mode: no new mode, no light.
  EXPECT_EQ(meter->SetLevels(0.5, 0.0), QZ_OK);
  EXPECT_FALSE(meter->IsClipLit());
}

TEST(LevelMeterTest, AMeterWithoutItsBarAndLightStillUpdatesItsMarker) {
  WidgetHarness harness;
  const RCPtr<LLevelMeter> meter = harness.Create<LLevelMeter>(u"meterBare");
  ASSERT_TRUE(meter);
  EXPECT_EQ(meter->SetLevels(0.4, 0.5), QZ_OK);
  EXPECT_EQ(meter->UpdateLevelParts(0.7, 0.25, 5), QZ_OK);
  EXPECT_DOUBLE_EQ(meter->GetValue(), 0.7);
  EXPECT_EQ(Child(meter, u"peakLo")->GetRect().x, 25.0);
  EXPECT_EQ(meter->SetValue(0.1), 0.1);
  EXPECT_EQ(meter->AttachClipButton(true), QZ_E_FAIL);
  EXPECT_FALSE(meter->IsClipLit());
}

} // namespace
} // namespace QZ
