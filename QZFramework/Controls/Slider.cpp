#include "QZFramework/Controls/Slider.h"

#include <algorithm>
#include <cmath>

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/Controls/ApplicationClock.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Utilities/Storage/Holder.h"

namespace QZ {
namespace {

PointT<int32_t> RoundedPosition(const LControl& control) {
  return PointT<double>{control.GetRect().x, control.GetRect().y}.Round();
}

double Distance(const PointT<double>& a, const PointT<double>& b) { return std::hypot(b.x - a.x, b.y - a.y); }

int32_t RoundFloat(float value) { return RoundToInt32(double(value)); }

} // namespace

LSlider::LSlider(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

// =============================================================================================
// Parts
// =============================================================================================

QZResult LSlider::Initialize() {
  if (Failed(LPanel::Initialize())) {
    return QZ_E_FAIL;
  }
  const RCPtr<LSlider> self(this);
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  mThumbEnd = FindChildByName(u"thumbEnd");
  mThumbStart = FindChildByName(u"thumbStart");
  mThumb = FindChildByName(u"thumb");
  if (!mThumb && mThumbStart) {
    mThumb = CreateThumb();
  }
  if (mThumb) {
    const RCPtr<LNotificationDistributor> thumb(mThumb);
    // Refused only for a name that cannot be interned.
    GetHandlerTable()->AddHandler(&LSlider::OnThumbMove, thumb, u"NID_MOUSE_MOVE");
    GetHandlerTable()->AddHandler(&LSlider::OnThumbDrag, thumb, u"NID_LEFT_DRAG_CONDITION_CHANGE");
  }
  UpdateClientArea();
  SetValueRange(0.0, 127.0, 0);
  SetDragThreshold(0);
  return QZ_OK;
}

RCPtr<LControlDescriptor> LSlider::ThumbEntry(const RCPtr<LControlDescriptor>& entry) const {
  RCPtr<LControlDescriptor> start = mThumbStart ? mThumbStart->GetControlDescriptor() : nullptr;
  if (GetControlDescriptor()) {
    // On a skin switch the new skin's thumbStart, which may not be set up yet.
    const ControlDescriptorArray& entries = GetControlDescriptor()->GetChildren();
    for (uint32_t i = 0; i < entries.GetCount(); ++i) {
      if (entries.GetAt(i)->GetName() == u"thumbStart") {
        start = entries.GetAt(i);
      }
    }
  }
  if (!start) {
    return nullptr;
  }
  const RCPtr<LControlDescriptor> thumb = (entry ? entry : start)->CreateCopy(u"thumb");
  if (const RCPtr<LLayoutDescriptor>& layout = start->GetLayout()) {
    // Size and looks as thumbStart's; the position is where PlaceThumb writes it.
    const RCPtr<LLayoutDescriptor> free = layout->Clone();
    for (LayoutPosition& position : free->position) {
      position = LayoutPosition{0.0f, kPositionToClient, WString(), 0.0f, position.abs, false};
    }
    free->isVisible = true;
    thumb->SetLayout(free);
  }
  return thumb;
}

RCPtr<LControl> LSlider::CreateThumb() {
  IControlApplication* application = GetControlApplication();
  const RCPtr<LControlFactory> factory = application ? application->GetControlFactory() : nullptr;
  const RCPtr<LControlDescriptor> entry = ThumbEntry(nullptr);
  if (!factory || !entry) {
    return nullptr;
  }
  return factory->CreateControl(RCPtr<LControl>(this), entry);
}

QZResult LSlider::SetUpSubControls(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor) {
  const bool isThumb = descriptor ? descriptor->GetName() == u"thumb" : child && child == mThumb;
  if (!isThumb) {
    return LPanel::SetUpSubControls(child, descriptor);
  }
  const RCPtr<LControlDescriptor> entry = ThumbEntry(descriptor);
  return LPanel::SetUpSubControls(child, entry ? entry : descriptor);
}

QZResult LSlider::UpdateClientArea() {
  if (!mThumb) {
    mThumb = FindChildByName(u"thumb");
  } else {
    PlaceThumb();
  }
  return QZ_OK;
}

QZResult LSlider::OnLookChanged() {
  const RCPtr<LSlider> self(this);
  for (const RCPtr<LControl>& marker : {mThumbStart, mThumbEnd}) {
    if (marker) {
      marker->SetVisible(false);
    }
  }
  if (mThumbStart) {
    const RectT<double>& start = mThumbStart->GetRect();
    const double size[2] = {start.width, start.height};
    int32_t anchor[2] = {RoundToInt32(size[0] * 0.5), RoundToInt32(size[1] * 0.5)};
    if (const RCPtr<LLayoutDescriptor>& layout = mThumbStart->GetLayoutDescriptor()) {
      for (int32_t axis = 0; axis < 2; ++axis) {
        if (layout->position[axis].anchor != 0.0f) {
          anchor[axis] = RoundToInt32(double(layout->position[axis].anchor) * size[axis]);
        }
      }
    }
    mThumbAnchor = {anchor[0], anchor[1]};
  }
  const QZResult result = LPanel::OnLookChanged();
  PlaceThumb();
  return result;
}

// =============================================================================================
// Value and thumb
// =============================================================================================

double LSlider::SetValue(double value) {
  if (mDragging) {
    mPendingValue = value;
    return GetValue();
  }
  SetValueAndPlaceThumb(value);
  return GetValue();
}

double LSlider::SetValueAndPlaceThumb(double value) {
  const RCPtr<LSlider> self(this);
  const double kept = LControl::SetValue(value);
  PlaceThumb();
  return kept;
}

void LSlider::SetValueFromThumb() {
  if (!mThumb) {
    return;
  }
  const PointT<int32_t> position = RoundedPosition(*mThumb);
  SetValueAndPlaceThumb(ValueFromPoint(position.x, position.y));
}

void LSlider::PlaceThumb() {
  if (mDragging || !mThumb || !mThumbStart || !mThumbEnd || !mThumb->GetLayoutDescriptor()) {
    return;
  }
  const PointT<int32_t> start = RoundedPosition(*mThumbStart);
  const PointT<int32_t> end = RoundedPosition(*mThumbEnd);
  const double value = GetValue();
  const PointT<int32_t> target{int32_t(start.x + RoundHalfAway(double(end.x - start.x) * value)),
                               int32_t(start.y + RoundHalfAway(double(end.y - start.y) * value))};
  if (target != RoundedPosition(*mThumb)) {
    MoveThumbTo(target);
  }
}

void LSlider::MoveThumbTo(const PointT<int32_t>& position) {
  const RCPtr<LControl> thumb = mThumb;
  const int32_t coordinates[2] = {position.x, position.y};
  for (int32_t axis = 0; axis < 2; ++axis) {
    LayoutPosition place;
    LayoutSize size;
    thumb->GetLayoutDescriptor()->GetAxis(axis, place, size);
    place.abs = coordinates[axis];
    thumb->SetAxisPlacement(axis, place, size);
  }
}

double LSlider::ValueFromPoint(double x, double y) {
  if (!mThumbStart || !mThumbEnd) {
    return 0.0;
  }
  const PointT<double> start{mThumbStart->GetRect().x, mThumbStart->GetRect().y};
  const PointT<double> end{mThumbEnd->GetRect().x, mThumbEnd->GetRect().y};
  const double length = Distance(start, end);
  // Coincident markers leave no line to measure along.
  return length > 0.0 ? Distance(start, {x, y}) / length : 0.0;
}

PointT<int32_t> LSlider::GetThumbRectForPoint(int32_t x, int32_t y) {
  if (!mThumb || !mThumbStart || !mThumbEnd) {
    return mThumb ? RoundedPosition(*mThumb) : PointT<int32_t>{x, y};
  }
  const PointT<int32_t> s = RoundedPosition(*mThumbStart);
  const PointT<int32_t> e = RoundedPosition(*mThumbEnd);
  const int32_t px = x - mGrabOffset.x;
  const int32_t py = y - mGrabOffset.y;
  PointT<int32_t> result;
  if (mThumbEnd->GetRect().x == mThumbStart->GetRect().x || s.x == e.x) {
    result = {int32_t(mThumb->GetRect().x), py};
  } else if (mThumbEnd->GetRect().y == mThumbStart->GetRect().y || s.y == e.y) {
    result = {px, int32_t(mThumb->GetRect().y)};
  } else {
    // The foot of the perpendicular from (px, py) to the line, in single precision.
    const float k = float(e.y - s.y) / float(e.x - s.x);
    const float m = -1.0f / k;
    const float b = float(s.y) - float(s.x) * k;
    const int32_t rx = RoundFloat((float(py) - float(px) * m - b) / (k - m));
    const int32_t ry = RoundFloat(float(rx) * k + b);
    result = {rx, ry};
  }
  result.x = std::clamp(result.x, std::min(s.x, e.x), std::max(s.x, e.x));
  result.y = std::clamp(result.y, std::min(s.y, e.y), std::max(s.y, e.y));
  return result;
}

// =============================================================================================
// Dragging the thumb
// =============================================================================================

QZResult LSlider::OnThumbDrag(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification) {
  const RCPtr<LConditionsParam> param = notification->GetParameterAs<LConditionsParam>();
  if (!param || !mThumb || !(param->GetChanged() & kConditionLeftDrag)) {
    return QZ_FALSE;
  }
  const RCPtr<LSlider> self(this);
  if (param->GetCurrent() & kConditionLeftDrag) {
    mDragging = true;
    // The press point is in the thumb's parent's coordinates, as the thumb's place.
    const RectT<double>& thumb = mThumb->GetRect();
    mGrabOffset = PointT<double>{param->GetPoint().x - thumb.x, param->GetPoint().y - thumb.y}.Round();
    mPendingValue = -1.0;
    Announce(u"NID_VALUE_CHANGE_CAPTURE", RCPtr<LHolder<bool>>(new LHolder<bool>(true)));
  } else if (mDragging) {
    mDragging = false;
    const double pending = mPendingValue;
    mPendingValue = -1.0;
    if (mApplyPendingAtDragEnd && pending >= 0.0 && pending <= 1.0) {
      SetValueAndPlaceThumb(pending);
    }
    Announce(u"NID_VALUE_CHANGE_CAPTURE", RCPtr<LHolder<bool>>(new LHolder<bool>(false)));
    if (mNotifyAtDragEnd) {
      Announce(u"NID_VALUE_CHANGE", LValueParam::Create(GetValue(), NormalizedToValue(GetValue())));
    }
  }
  return QZ_FALSE;
}

QZResult LSlider::OnThumbMove(const RCPtr<LNotificationDistributor>& distributor,
                              const RCPtr<LNotification>& notification) {
  const RCPtr<LPointWithModifiersParam> param = notification->GetParameterAs<LPointWithModifiersParam>();
  if (!param || !mDragging || !mThumb || distributor.Get() != static_cast<LNotificationDistributor*>(mThumb.Get())) {
    return QZ_OK;
  }
  const RCPtr<LSlider> self(this);
  // The move's point lies in the thumb's coordinates.
  PointT<double> pointer = param->GetPoint().ToDouble();
  mThumb->ConvertPoint(this, pointer);
  const PointT<int32_t> target = GetThumbRectForPoint(RoundToInt32(pointer.x), RoundToInt32(pointer.y));
  if (target != RoundedPosition(*mThumb)) {
    MoveThumbTo(target);
    SetValueFromThumb();
  }
  return QZ_OK;
}

// =============================================================================================
// The track
// =============================================================================================

void LSlider::PageTowards(const PointT<double>& p) {
  if (!mThumb || !mThumbStart) {
    return;
  }
  const PointT<double> aimed{p.x - mThumbAnchor.x, p.y - mThumbAnchor.y};
  const double target = ValueFromPoint(aimed.x, aimed.y);
  const double current = GetValue();
  const PointT<double> start = RoundedPosition(*mThumbStart).ToDouble();
  const PointT<double> thumb = RoundedPosition(*mThumb).ToDouble();
  const double next = Distance(start, aimed) > Distance(start, thumb) ? std::min(current + mPageStep, target)
                                                                      : std::max(current - mPageStep, target);
  SetValueAndPlaceThumb(next);
}

QZResult LSlider::HandleLeftClick(const RCPtr<LMouseButtonParam>& param) {
  if (param) {
    PageTowards(param->GetPoint().ToDouble());
  }
  return QZ_OK;
}

QZResult LSlider::OnTick() {
  if (!mTrackPressed || !IsEnabled(true)) {
    return QZ_OK;
  }
  const RCPtr<LSlider> self(this);
  const double now = Widgets::Now();
  mRepeatCountdown -= now - mLastTickTime;
  mLastTickTime = now;
  if (!Widgets::IsDue(mRepeatCountdown)) {
    return QZ_OK;
  }
  mRepeatCountdown = mPageRepeatInterval;
  if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
    const PointT<double> origin = GetWindowPosition();
    const PointT<int32_t> pointer = window->GetMousePosition();
    PageTowards({pointer.x - origin.x, pointer.y - origin.y});
  }
  return QZ_OK;
}

// =============================================================================================
// Conditions, keys and wheel
// =============================================================================================

void LSlider::ShowStateLook() {
  if (!IsEnabled(true)) {
    ShowLook(kLookDisabled);
  } else {
    ShowLook(ContainsFocus() ? kLookFocused : kLookNormal);
  }
}

QZResult LSlider::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  const QZResult result = LPanel::OnConditionsChanged(param);
  if (!param) {
    return result;
  }
  const RCPtr<LSlider> self(this);
  const uint32_t changed = param->GetChanged();
  const uint32_t now = param->GetCurrent();
  if (changed & kConditionContainsFocus) {
    if (!(now & kConditionContainsFocus) && mStepKeys.EndHold()) {
      Announce(u"NID_VALUE_CHANGE_KEY_UP");
    }
    ShowStateLook();
  } else if (changed & kConditionEnabled) {
    ShowStateLook();
  }
  if ((changed & kConditionLeftDrag) && (now & kConditionLeftDrag) && IsEnabled(true)) {
    mTrackPressed = true;
    AddIdleRequest(); // outside a window it is counted for later
    mLastTickTime = Widgets::Now();
    mRepeatCountdown = mPageFirstDelay;
  } else if ((changed & kConditionLeftDrag) && !(now & kConditionLeftDrag) && mTrackPressed) {
    mTrackPressed = false;
    ReleaseIdleRequest();
  }
  return result;
}

void LSlider::StepUnits(double units) { SetValue(ValueToNormalized(NormalizedToValue(GetValue()) + units)); }

QZResult LSlider::HandleKey(const RCPtr<LKeyParam>& param) {
  if (!param) {
    return LPanel::HandleKey(param);
  }
  const RCPtr<LSlider> self(this);
  const auto announce = [&](NotificationName name) { Announce(name, param); }; // 1 when nobody listens
  const auto step = [this](double units) { StepUnits(units); };
  if (mStepKeys.OnKey(*param, kValueStepModifiers | kKeyCodeCharacterMask, announce, step)) {
    return QZ_OK;
  }
  return LPanel::HandleKey(param);
}

QZResult LSlider::OnMouseWheelV(const RCPtr<LMouseWheelParam>& param) {
  if (param) {
    StepUnits(LValueStepKeys::WheelUnits(*param, kWheelUp));
  }
  return QZ_OK;
}

QZResult LSlider::OnMouseWheelH(const RCPtr<LMouseWheelParam>& param) {
  if (param) {
    StepUnits(LValueStepKeys::WheelUnits(*param, kWheelRight));
  }
  return QZ_OK;
}

} // namespace QZ
