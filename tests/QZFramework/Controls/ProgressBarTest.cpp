#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "QZFramework/Controls/WidgetTestSupport.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

using QZTest::Child;
using QZTest::WidgetHarness;

std::string Text(const RCPtr<LControl>& control) { return control->GetText().ToUTF8().GetBuffer(); }

TEST(ProgressBarTest, TheTimeRemainingIsWrittenInTheApplicationsWords) {
  const struct {
    int32_t seconds;
    const char* text;
  } cases[] = {
      {3725, "1 Hour 2 Minutes 5 Seconds Remaining"},
      {3600, "1 Hour 0 Minutes 0 Seconds Remaining"},
      {60, "1 Minute 0 Seconds Remaining"},
      {61, "1 Minute 1 Second Remaining"},
      {7200, "2 Hours 0 Minutes 0 Seconds Remaining"},
      {3661, "1 Hour 1 Minute 1 Second Remaining"},
      {7261, "2 Hours 1 Minute 1 Second Remaining"},
      {59, "59 Seconds Remaining"},
      {1, "1 Second Remaining"},
      {0, "0 Seconds Remaining"},
      {-5, "0 Seconds Remaining"},
      {std::numeric_limits<int32_t>::max(), "596523 Hours 14 Minutes 7 Seconds Remaining"},
      {std::numeric_limits<int32_t>::min(), "0 Seconds Remaining"},
  };
  WidgetHarness harness;
  const RCPtr<LProgressBar> bar = harness.Create<LProgressBar>(u"progress");
  ASSERT_TRUE(bar);
  const RCPtr<LControl> label = Child(bar, u"timeRemainingLabel");
  EXPECT_FALSE(label->IsShown(false));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_LE(bar->SetTimeRemaining(c.seconds), QZ_FALSE); // 1 when the text stayed
    EXPECT_EQ(Text(label), c.text);
    EXPECT_TRUE(label->IsShown(false));
  }
}

TEST(ProgressBarTest, TheShippedStringTableHasTheWords) {
  WidgetHarness harness;
  ASSERT_EQ(harness.factory->LoadStringTables(
                QZTest::WidePath(std::string(QZ_RESOURCE_DOCUMENTS) + "/StringTables.xml"),
                QZTest::WidePath(std::string(QZ_RESOURCE_DOCUMENTS) + "/FrameworkStrings.xml"), 0x0409),
            QZ_OK);
  const RCPtr<LProgressBar> bar = harness.Create<LProgressBar>(u"progress");
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->SetTimeRemaining(3661), QZ_OK);
  EXPECT_EQ(Text(Child(bar, u"timeRemainingLabel")), "1 Hour 1 Minute 1 Second Remaining");
}

TEST(ProgressBarTest, TheBarAndThePercentageFollowTheValue) {
  const struct {
    double value;
    bool barShown;
    double width;
    const char* percent;
  } cases[] = {
      {0.004, true, 1, "0"},   // 0.8 pixels round up; 0.4 percent round down
      {0.002, false, 0, "0"},  // 0.4 pixels: no bar
      {0.0025, true, 1, "0"},  // half a pixel rounds away from zero
      {0.425, true, 85, "42"}, // 42.5: printf's half goes to the even digit
      {0.435, true, 87, "44"}, // 43.5 likewise
      {0.5, true, 100, "50"},  {1.0, true, 200, "100"}, {1.5, true, 200, "100"}, // the value is kept within 0..1
  };
  WidgetHarness harness;
  const RCPtr<LProgressBar> bar = harness.Create<LProgressBar>(u"progress");
  ASSERT_TRUE(bar);
  const RCPtr<LControl> overlay = Child(bar, u"activeOverlay");
  const RCPtr<LControl> percent = Child(bar, u"percentCompleteLabel");
  EXPECT_FALSE(overlay->IsShown(false));
  EXPECT_EQ(Text(percent), "0");
  EXPECT_EQ(bar->GetRangeMinimum(), 0.0);
  EXPECT_EQ(bar->GetRangeMaximum(), 100.0);
  EXPECT_TRUE(bar->IsFocusDelegated(false));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    bar->SetValue(c.value);
    EXPECT_EQ(overlay->IsShown(false), c.barShown);
    if (c.barShown) {
      EXPECT_EQ(overlay->GetRect().width, c.width);
    }
    EXPECT_EQ(Text(percent), c.percent);
  }
}

// A bar 10 s into the application's run, its value at 0.2, timing on.
struct TimedBar {
  WidgetHarness harness;
  RCPtr<LProgressBar> bar;
  RCPtr<LControl> label;

  TimedBar(double startValue = 0.2, double startTime = 10.0) {
    bar = harness.Create<LProgressBar>(u"progress");
    label = Child(bar, u"timeRemainingLabel");
    harness.application.seconds = startTime;
    bar->SetValue(startValue);
    bar->SetTimingEnabled(true);
  }
  void At(double seconds, double value) {
    harness.application.seconds = seconds;
    bar->SetValue(value);
  }
};

TEST(ProgressBarTest, TheEstimateUsesTheRateSinceTimingBegan) {
  TimedBar timed;
  ASSERT_TRUE(timed.bar);
  EXPECT_TRUE(timed.bar->IsTimingEnabled());
  timed.At(14.0, 0.4); // 0.05 a second: 0.6 takes 12 s
  EXPECT_EQ(Text(timed.label), "12 Seconds Remaining");
  EXPECT_TRUE(timed.label->IsShown(false));

  timed.At(15.0, 0.3); // going down: the estimate stays
  EXPECT_EQ(Text(timed.label), "12 Seconds Remaining");

  timed.At(20.0, 0.5); // 0.3 in 10 s from the start: 0.5 takes 16.7 s
  EXPECT_EQ(Text(timed.label), "17 Seconds Remaining");

  timed.At(30.0, 1.0);
  EXPECT_EQ(Text(timed.label), "0 Seconds Remaining");
  EXPECT_FALSE(timed.bar->IsTimingEnabled());
  timed.bar->SetValue(0.5); // timing is off: the label stays
  EXPECT_EQ(Text(timed.label), "0 Seconds Remaining");
}

TEST(ProgressBarTest, ARiseAtTheSampleTimeOrBelowTheSampleLeavesTheEstimate) {
  TimedBar timed;
  ASSERT_TRUE(timed.bar);
  timed.At(10.0, 0.3); // no time has passed since the start
  EXPECT_EQ(Text(timed.label), "");
  EXPECT_FALSE(timed.label->IsShown(false));

  timed.At(10.5, 0.45);                                // within a second: the sample stays at 0.2 at 10 s
  EXPECT_EQ(Text(timed.label), "1 Second Remaining");  // 0.25 in 0.5 s: 0.55 takes 1.1 s
  timed.At(10.6, 0.35);                                // above the sample, below the last value: counted as a rise
  EXPECT_EQ(Text(timed.label), "3 Seconds Remaining"); // 0.15 in 0.6 s: 0.65 takes 2.6 s

  timed.At(12.0, 0.6); // more than a second after the sample: the sample moves to 0.6 at 12 s
  EXPECT_EQ(Text(timed.label), "2 Seconds Remaining"); // 0.4 in 2 s: 0.4 takes 2 s
  timed.At(12.5, 0.55);                                // below the new sample (counted, it would say 3)
  EXPECT_EQ(Text(timed.label), "2 Seconds Remaining");
}

TEST(ProgressBarTest, AnEstimateBeyondThirtyTwoBitsLeavesTheLabel) {
  TimedBar timed(0.5, 0.0);
  ASSERT_TRUE(timed.bar);
  timed.At(1e6, 0.5 + 1e-12); // 5e17 s remaining
  EXPECT_EQ(Text(timed.label), "");
  EXPECT_FALSE(timed.label->IsShown(false));
  EXPECT_TRUE(timed.bar->IsTimingEnabled());
}

TEST(ProgressBarTest, TimingOffOnlyStopsAndOnSamplesAgain) {
  TimedBar timed;
  ASSERT_TRUE(timed.bar);
  timed.bar->SetTimingEnabled(false);
  timed.At(14.0, 0.4);
  EXPECT_EQ(Text(timed.label), "");
  timed.bar->SetTimingEnabled(true); // 0.4 at 14 s
  timed.bar->SetTimingEnabled(true); // no new sample
  timed.At(16.0, 0.5);               // 0.05 a second
  EXPECT_EQ(Text(timed.label), "10 Seconds Remaining");
}

} // namespace
} // namespace QZ
