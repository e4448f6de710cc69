#include "QZFramework/Controls/ProgressBar.h"

#include <cstdint>
#include <limits>

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/LayoutDescriptor.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Controls/Label.h"

namespace QZ {
namespace {

// Between the numbers and words of the time remaining.
constexpr char16_t kWordSeparator = u' ';

} // namespace

LProgressBar::LProgressBar(const RCPtr<LControl>& parent, const WString& name) : LControl(parent, name) {}

LProgressBar::~LProgressBar() = default;

double LProgressBar::Now() {
  IControlApplication* application = GetControlApplication();
  return application ? application->GetElapsedSeconds() : 0.0;
}

QZResult LProgressBar::Initialize() {
  const QZResult result = LControl::Initialize();
  if (Failed(result)) {
    return result;
  }
  mActiveOverlay = FindChildByName(u"activeOverlay");
  mTimeLabel = DynamicCast<LLabel>(FindChildByName(u"timeRemainingLabel"));
  mPercentLabel = DynamicCast<LLabel>(FindChildByName(u"percentCompleteLabel"));
  if (const RCPtr<LLabel> label = mTimeLabel) {
    label->SetVisible(false);
  }

  IControlApplication* application = GetControlApplication();
  const RCPtr<LControlFactory> factory = application ? application->GetControlFactory() : nullptr;
  const RCPtr<LStringTable> texts = factory ? factory->GetApplicationStringTable() : nullptr;
  // A word the table does not have stays empty.
  LookupString(texts.Get(), u"HOURS_SINGULAR", mHourSingular);
  LookupString(texts.Get(), u"HOURS_PLURAL", mHourPlural);
  LookupString(texts.Get(), u"MINUTES_SINGULAR", mMinuteSingular);
  LookupString(texts.Get(), u"MINUTES_PLURAL", mMinutePlural);
  LookupString(texts.Get(), u"SECONDS_SINGULAR", mSecondSingular);
  LookupString(texts.Get(), u"SECONDS_PLURAL", mSecondPlural);
  LookupString(texts.Get(), u"REMAINING", mRemaining);

  SetValue(0.0);
  SetValueRange(0.0, 100.0, 0);
  return result;
}

QZResult LProgressBar::OnLookChanged() {
  SetFocusable(true);
  OnValueChanged();
  return QZ_OK;
}

QZResult LProgressBar::OnValueChanged() {
  // The parts' layout and the labels' listeners may let the bar go.
  const RCPtr<LControl> self(this);
  const double percent = GetValue() * 100.0;

  if (const RCPtr<LControl> overlay = mActiveOverlay) {
    const double width = double(RoundHalfAway(GetRect().width * percent / 100.0));
    if (width < 1.0) {
      overlay->SetVisible(false);
    } else if (const RCPtr<LLayoutDescriptor>& layout = overlay->GetLayoutDescriptor()) {
      overlay->SetVisible(true);
      LayoutPosition position;
      LayoutSize size;
      layout->GetAxis(0, position, size);
      size.kind = kSizeToSelf;
      size.abs = width;
      overlay->SetAxisPlacement(0, position, size);
    }
  }

  if (const RCPtr<LLabel> label = mPercentLabel) {
    label->SetText(WString::FromDouble(percent, 0));
  }

  if (mTimingOn) {
    UpdateEstimate();
    if (GetValue() >= 1.0) {
      mTimingOn = false;
    }
  }
  return QZ_OK;
}

void LProgressBar::UpdateEstimate() {
  const double now = Now();
  if (!(GetValue() - mSampleValue > 0.0) || !(now - mSampleTime > 0.0)) {
    return;
  }
  const double rate = (GetValue() - mStartValue) / (now - mStartTime);
  // The sample the next rise is measured against moves at most once a second.
  if (now - mSampleTime > 1.0) {
    mSampleValue = GetValue();
    mSampleTime = now;
  }
  if (!(rate > 0.0)) {
    return;
  }
  // An estimate beyond what the label counts in (32-bit seconds) leaves the label as it is.
  const int64_t seconds = RoundHalfAway((1.0 - GetValue()) / rate);
  if (seconds < std::numeric_limits<int32_t>::min() || seconds > std::numeric_limits<int32_t>::max()) {
    return;
  }
  SetTimeRemaining(int32_t(seconds));
}

void LProgressBar::SetTimingEnabled(bool on) {
  if (on == mTimingOn) {
    return;
  }
  mTimingOn = on;
  if (on) {
    mStartTime = Now();
    mSampleTime = mStartTime;
    mStartValue = GetValue();
    mSampleValue = GetValue();
  }
}

WString LProgressBar::TimeRemainingText(int32_t seconds) const {
  const int32_t hours = seconds >= 3600 ? seconds / 3600 : 0;
  const int32_t rest = seconds - 3600 * hours;
  const int32_t minutes = seconds >= 60 ? rest / 60 : 0;
  const int32_t secondsLeft = seconds > 0 ? rest % 60 : 0;

  WString text;
  const auto append = [&text](const WString& piece) {
    if (!text.IsEmpty()) {
      text += kWordSeparator;
    }
    text += piece;
  };
  if (hours >= 1) {
    append(WString::FromInt(hours));
    append(hours == 1 ? mHourSingular : mHourPlural);
    if (minutes == 0) {
      append(WString::FromInt(0));
      append(mMinutePlural);
    }
  }
  if (minutes >= 1) {
    append(WString::FromInt(minutes));
    append(minutes == 1 ? mMinuteSingular : mMinutePlural);
  }
  append(WString::FromInt(secondsLeft));
  append(secondsLeft == 1 ? mSecondSingular : mSecondPlural);
  append(mRemaining);
  return text;
}

QZResult LProgressBar::SetTimeRemaining(int32_t seconds) {
  const RCPtr<LLabel> label = mTimeLabel;
  if (!label) {
    return QZ_E_FAIL;
  }
  label->SetVisible(true);
  return label->SetText(TimeRemainingText(seconds));
}

} // namespace QZ
