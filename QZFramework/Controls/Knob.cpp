#include "QZFramework/Controls/Knob.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Platform/Window/VirtualKeys.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Utilities/Storage/Holder.h"
#include "QZFramework/Utilities/Storage/WideChar.h"

namespace QZ {
namespace {

namespace Win = Platform::Window;

// Below 2 the linear gesture would divide by zero; below 1 step a quantisation would.
constexpr int32_t kSmallestFullRange = 2;
constexpr double kFewestSteps = 1.0;
// Beyond this a double holds no fraction to round away.
constexpr double kExactIntegers = 9007199254740992.0;

// An angle in degrees within [0, 360); an angle that is no number (infinite, NaN) is 0.
double WrapDegrees(double angle) {
  if (!std::isfinite(angle)) {
    return 0.0;
  }
  double wrapped = std::fmod(angle, 360.0);
  if (wrapped < 0.0) {
    wrapped += 360.0;
  }
  // A tiny negative angle plus 360 rounds to 360 itself; -0 becomes 0.
  return wrapped >= 360.0 ? 0.0 : wrapped + 0.0;
}

// value on a grid of 1 / steps.
double Quantise(double value, double steps) {
  const double scaled = steps * value;
  return (scaled < kExactIntegers ? double(RoundHalfAway(scaled)) : scaled) / steps;
}

bool IsKeyDown(int32_t virtualKey) {
  IControlApplication* application = GetControlApplication();
  return application && application->IsKeyDown(virtualKey);
}

} // namespace

LKnob::LKnob(const RCPtr<LControl>& parent, const WString& name) : LControl(parent, name) {}

// =============================================================================================
// Value
// =============================================================================================

double LKnob::SetValue(double value) {
  if (IsButtonDragging(0)) {
    mPendingValue = value;
    return GetValue();
  }
  return LControl::SetValue(value);
}

QZResult LKnob::OnValueChanged() {
  // Without frames there is no look to show.
  if (mFrameCount > 0) {
    ShowLook(int32_t(RoundHalfAway(double(mFrameCount - 1) * GetValue())));
  }
  return QZ_OK;
}

void LKnob::Step(double units) { SetValue(ValueToNormalized(NormalizedToValue(GetValue()) + units)); }

// =============================================================================================
// Set-up
// =============================================================================================

QZResult LKnob::Initialize() {
  const QZResult initialized = LControl::Initialize();
  if (Failed(initialized)) {
    return initialized;
  }
  if (const LStringTable* params = GetControlDescriptor() ? GetControlDescriptor()->GetCreateParams().Get() : nullptr) {
    WString text;
    if (LookupString(params, u"LINEAR_GESTURE_FULL_RANGE", text)) {
      mLinearFullRange = Chars::ToInt32(text.GetBuffer());
    }
    if (LookupString(params, u"RADIAL_GESTURE_START_ANGLE", text)) {
      mRadialStartAngle = Chars::ToDouble(text.GetBuffer());
    }
    if (LookupString(params, u"RADIAL_GESTURE_END_ANGLE", text)) {
      mRadialEndAngle = Chars::ToDouble(text.GetBuffer());
    }
    if (LookupString(params, u"FINE_ADJUST_MULTIPLIER", text)) {
      mFineAdjustMultiplier = Chars::ToDouble(text.GetBuffer());
    }
  }
  // Decided before wrapping: a start angle of 360 alone makes the gesture radial.
  mGestureKind = mRadialStartAngle != 0.0 || mRadialEndAngle != 0.0 ? kRadialGesture : kLinearGesture;
  mRadialStartAngle = WrapDegrees(mRadialStartAngle);
  mRadialEndAngle = WrapDegrees(mRadialEndAngle);
  if (mFineAdjustMultiplier == 0.0) {
    mFineAdjustMultiplier = 0.25;
  }
  SetValueRange(0.0, 127.0, 0);
  return initialized;
}

QZResult LKnob::OnLookChanged() {
  const uint32_t count = GetLooks().GetCount();
  mFrameCount = 0;
  while (mFrameCount < count && GetLooks().GetAt(mFrameCount)) {
    ++mFrameCount;
  }
  const auto strip = [&](uint32_t index) { return index < count && GetLooks().GetAt(index) ? int32_t(index) : -1; };
  mFocusLookIndex = strip(mFrameCount + 1);
  mDisabledLookIndex = strip(mFrameCount + 2);
  if (mFocusLookIndex >= 0 && HasFocus()) {
    SetFrameImages(mFocusLookIndex);
  }
  // After the focus strip, so that it wins.
  if (mDisabledLookIndex >= 0 && !IsEnabled(true)) {
    SetFrameImages(mDisabledLookIndex);
  }
  if (mGestureKind == kLinearGesture && mLinearFullRange == 0) {
    const int64_t perFrame = mFrameCount == 0 ? 0 : RoundHalfAway(128.0 / mFrameCount);
    mLinearFullRange = int32_t(perFrame * mFrameCount);
  }
  const int32_t current = GetCurrentLookIndex();
  if (const RCPtr<LLook> look = current >= 0 ? GetLook(current) : nullptr) {
    const RectT<int32_t>& client = look->GetClientRect();
    mCentre = {int32_t(client.x + client.width * 0.5), int32_t(client.y + client.height * 0.5)};
  } else {
    mCentre = {int32_t(GetRect().width * 0.5), int32_t(GetRect().height * 0.5)};
  }
  return QZ_OK;
}

void LKnob::SetFrameImages(int32_t look) {
  ConstRCPtr<LBitmap> image;
  ResizeType resize = ResizeType::Stretch;
  if (const RCPtr<LLook> strip = look >= 0 ? GetLook(look) : nullptr) {
    if (const RCPtr<LVisualPart>& part = strip->GetClientPart()) {
      image = part->GetBitmap();
      resize = part->GetResizeType();
    }
  }
  for (uint32_t frame = mFrameCount; frame-- > 0;) {
    SetLookPartImage(image, resize, int32_t(frame), true);
  }
}

// =============================================================================================
// Conditions and dragging
// =============================================================================================

QZResult LKnob::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LKnob> self(this);
  const uint32_t before = param->GetPrevious();
  const uint32_t now = param->GetCurrent();
  const uint32_t changed = before ^ now;
  if ((changed & kConditionLeftDrag) && (now & kConditionLeftDrag)) {
    // The drag origin is in the parent's coordinates.
    const PointT<int32_t> press =
        PointT<double>{param->GetPoint().x - GetRect().x, param->GetPoint().y - GetRect().y}.Round();
    mLastPoint = press;
    mEarlierPoint = press;
    if (mGestureKind == kRadialGesture) {
      TurnTo(press);
    }
    mPendingValue = -1.0;
    Announce(u"NID_VALUE_CHANGE_CAPTURE", RCPtr<LHolder<bool>>(new LHolder<bool>(true)));
  } else if ((changed & kConditionLeftDrag) && (before & kConditionLeftDrag)) {
    if (mPendingValue >= 0.0 && mPendingValue <= 1.0) {
      LControl::SetValue(mPendingValue);
    }
    mPendingValue = -1.0;
    Announce(u"NID_VALUE_CHANGE_CAPTURE", RCPtr<LHolder<bool>>(new LHolder<bool>(false)));
  } else if ((changed & kConditionHasFocus) && (before & kConditionHasFocus) && mStepKeys.EndHold()) {
    Announce(u"NID_VALUE_CHANGE_KEY_UP");
  }
  if ((changed & kConditionHasFocus) && mFocusLookIndex > 0) {
    SetFrameImages((now & kConditionHasFocus) ? mFocusLookIndex : -1);
  }
  if ((changed & kConditionEnabled) && mDisabledLookIndex > 0) {
    SetFrameImages((now & kConditionEnabled) ? -1 : mDisabledLookIndex);
  }
  return LControl::OnConditionsChanged(param);
}

QZResult LKnob::HandleMouseMove(const RCPtr<LPointWithModifiersParam>& param) {
  if (!param || !IsButtonDragging(0)) {
    return QZ_OK;
  }
  if (mGestureKind == kRadialGesture) {
    TurnTo(param->GetPoint());
  } else {
    DragLinear(param->GetPoint());
  }
  return QZ_OK;
}

void LKnob::DragLinear(const PointT<int32_t>& point) {
  double dx = double(point.x) - mLastPoint.x;
  double dy = double(point.y) - mLastPoint.y;
  const double trend = (double(point.x) - mEarlierPoint.x) - (double(point.y) - mEarlierPoint.y);
  // Right and down (or left and up) pull the value both ways: the axis the trend favours
  // wins.
  if (dx > 0 && dy > 0) {
    if (trend > 0 && dy > dx) {
      dy = 0;
    } else if (trend < 0 && dx > dy) {
      dx = 0;
    }
  } else if (dx < 0 && dy < 0) {
    if (trend > 0 && dy > dx) {
      dx = 0;
    } else if (trend < 0 && dx > dy) {
      dy = 0;
    }
  }
  const double fullRange = std::max(mLinearFullRange, kSmallestFullRange);
  double delta = (dx - dy) / (fullRange - 1.0);
  double steps = fullRange - 1.0;
  if (IsKeyDown(Win::VK_CONTROL)) {
    delta *= mFineAdjustMultiplier;
    steps = fullRange / mFineAdjustMultiplier - 1.0;
  }
  if (!(steps >= kFewestSteps)) {
    steps = kFewestSteps;
  }
  const double value = Quantise(std::clamp(GetValue() + delta, 0.0, 1.0), steps);
  // A multiplier that is no number leaves the value where it is.
  if (std::isfinite(value)) {
    LControl::SetValue(value);
  }
  mEarlierPoint = mLastPoint;
  mLastPoint = point;
}

void LKnob::TurnTo(const PointT<int32_t>& point) {
  const double rx = double(point.x) - mCentre.x;
  const double ry = double(point.y) - mCentre.y;
  if (rx == 0.0 && ry == 0.0) {
    return;
  }
  // 0 degrees straight up, growing clockwise (y points down).
  double angle = WrapDegrees((std::atan2(ry, rx) + std::numbers::pi / 2.0) * 180.0 / std::numbers::pi);
  const double start = mRadialStartAngle;
  double end = mRadialEndAngle;
  // The arc runs clockwise from the start through 0 when the end lies before the start.
  if (start >= end) {
    end += 360.0;
  }
  if (start >= angle) {
    angle += 360.0;
  }
  if (start <= angle && angle <= end) {
    const double t = (angle - start) / (end - start);
    if (t >= 0.0 && t <= 1.0) {
      LControl::SetValue(t);
    }
    return;
  }
  // The dead zone between the end and the start: the nearer end wins.
  const double middle = end + (start + 360.0 - end) * 0.5;
  LControl::SetValue(angle <= middle ? 1.0 : 0.0);
}

// =============================================================================================
// Keys and wheel
// =============================================================================================

QZResult LKnob::OnKeyDown(const RCPtr<LKeyParam>& param) {
  if (!param) {
    return QZ_FALSE;
  }
  const RCPtr<LKnob> self(this);
  const auto announce = [&](NotificationName name) { Announce(name, param); }; // 1 when nobody listens
  const auto step = [this](double units) { Step(units); };
  return mStepKeys.OnKey(*param, kValueStepModifiers, announce, step) ? QZ_OK : QZ_FALSE;
}

QZResult LKnob::OnMouseWheelV(const RCPtr<LMouseWheelParam>& param) {
  if (param) {
    Step(LValueStepKeys::WheelUnits(*param, kWheelUp));
  }
  return QZ_OK;
}

QZResult LKnob::OnMouseWheelH(const RCPtr<LMouseWheelParam>& param) {
  if (param) {
    Step(LValueStepKeys::WheelUnits(*param, kWheelRight));
  }
  return QZ_OK;
}

} // namespace QZ
