#pragma once
// QZ::LProgressBar ("Framework.ProgressBar"): a fraction done shown as a bar
// ("activeOverlay"), a percentage ("percentCompleteLabel") and, while timing is on, the time
// remaining in words ("timeRemainingLabel", for instance "1 Hour 2 Minutes 5 Seconds
// Remaining"). Its value (0..1) is the fraction done; its range is 0..100. The words come
// from the application's string table ("HOURS_SINGULAR", "HOURS_PLURAL",
// "MINUTES_SINGULAR", "MINUTES_PLURAL", "SECONDS_SINGULAR", "SECONDS_PLURAL", "REMAINING");
// times from the application's clock in seconds.
//
//   factory->RegisterControlCreateFunction(u"Framework.ProgressBar", &QZ::CreateControlOf<QZ::LProgressBar>);
//   QZ::RCPtr<QZ::LProgressBar> bar = QZ::DynamicCast<QZ::LProgressBar>(factory->CreateControl(dialog, entry));
//   bar->SetTimingEnabled(true);   // samples the start: now and the current value
//   bar->SetValue(0.4);            // bar 40%, "40", and the estimate once time has passed
//
// A part the skin leaves out is skipped. UI thread, like every control.

#include <cstdint>

#include "QZFramework/ControlBase/Control.h"

namespace QZ {

class LLabel;

class LProgressBar : public LControl {
public:
  LProgressBar(const RCPtr<LControl>& parent, const WString& name);
  ~LProgressBar() override;

  // --- LControl ----------------------------------------------------------------------------

  // The bar takes width x value rounded half away from zero (hidden below 1 pixel); the
  // percent label shows value x 100 with no decimals (printf's "%.0f": a half goes to the
  // even digit); while timing is on, a value that rose since the last sample, at a later
  // time, refreshes the estimate (1 - value) / rate, the rate measured from the start.
  // A value of 1 or more turns timing off. 0.
  QZResult OnValueChanged() override;
  // The base's initialisation, then the parts (the time label hidden), the seven words
  // (a missing key leaves its word empty), the value 0 and the range 0..100. The base's
  // result.
  QZResult Initialize() override;
  // Makes the bar not focusable, then the parts follow the value. 0.
  QZResult OnLookChanged() override;

  // --- The bar's own operations ----------------------------------------------------------

  // Shows the time label with seconds in words: hours and minutes when there are any
  // (hours with "0 Minutes" when the minutes are 0), always the seconds and "Remaining";
  // 0 and anything below give "0 Seconds Remaining". The label's SetText result (0, or 1
  // when it shows that text already); QZ_E_FAIL without a time label.
  virtual QZResult SetTimeRemaining(int32_t seconds);
  // Turning timing on samples the start (the clock and the value); off only stops it.
  virtual void SetTimingEnabled(bool on);

  bool IsTimingEnabled() const { return mTimingOn; }

private:
  // The text of SetTimeRemaining.
  WString TimeRemainingText(int32_t seconds) const;
  // The clock, in seconds.
  static double Now();
  // A new estimate, when one is due.
  void UpdateEstimate();

  RCPtr<LControl> mActiveOverlay;
  RCPtr<LLabel> mTimeLabel;
  RCPtr<LLabel> mPercentLabel;
  WString mHourSingular;
  WString mHourPlural;
  WString mMinuteSingular;
  WString mMinutePlural;
  WString mSecondSingular;
  WString mSecondPlural;
  WString mRemaining;
  double mStartTime = 0.0;
  double mStartValue = 0.0;
  double mSampleTime = 0.0;
  double mSampleValue = 0.0;
  bool mTimingOn = false;
};

} // namespace QZ
