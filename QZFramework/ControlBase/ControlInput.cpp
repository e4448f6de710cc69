// Pointer input of a control: the gate, presses and releases with their capture, drag
// detection, clicks by button, the wheel's way up the tree (and beneath floating
// controls), the geometric tests, and the mapping of a value onto its range.

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {
namespace {

// A press or release within this time of the last move flings the content.
constexpr uint32_t kFlingWindowMs = 100;
// The slowest release speed that flings, pixels per second.
constexpr double kFlingMinimumSpeed = 1000.0;

uint32_t TickCountMs() {
  IControlApplication* application = GetControlApplication();
  return application ? application->GetTickCountMs() : 0;
}

// The index of a button code in the per-button flags; -1 for anything else.
int32_t ButtonIndex(uint32_t button) {
  switch (button) {
  case kMouseButtonLeft:
    return 0;
  case kMouseButtonMiddle:
    return 1;
  case kMouseButtonRight:
    return 2;
  default:
    return -1;
  }
}

} // namespace

bool LControl::AcceptsInput() const {
  return IsShown(true) && IsEnabled(false) && (!mParent || mParent->IsEnabled(true));
}

// =============================================================================================
// The pointer
// =============================================================================================

QZResult LControl::OnMouseEnter() {
  mMouseOver = true;
  NotifyConditionChange();
  return QZ_OK;
}

QZResult LControl::OnMouseLeave() {
  mMouseOver = false;
  NotifyConditionChange();
  return QZ_OK;
}

QZResult LControl::OnMouseDown(const RCPtr<LMouseButtonParam>& param) {
  if (!param || ButtonIndex(param->GetButton()) < 0) {
    return QZ_E_INVALIDARG;
  }
  // The hooks and listeners below may let the control go.
  const RCPtr<LControl> self(this);
  const bool hadCapture = mCapture;
  if (!hadCapture) {
    if (!AcceptsInput()) {
      return QZ_FALSE;
    }
    // The control itself, or the nearest ancestor that may hold the focus, takes it; a
    // refusal changes nothing.
    FocusOnMouseDown(self);
  }
  switch (param->GetButton()) {
  case kMouseButtonLeft:
    mLastLeftDown = param;
    HandleLeftButtonDown(param);
    break;
  case kMouseButtonMiddle:
    HandleMiddleButtonDown(param);
    break;
  default:
    HandleRightButtonDown(param);
    break;
  }
  Announce(u"NID_MOUSE_DOWN", param);
  if (!hadCapture) {
    // Refused when the button is no longer held: the press then stays a press without
    // capture, as the window would have it.
    SetCapture(param->GetButton(), param->GetPoint().x, param->GetPoint().y);
  }
  return QZ_OK;
}

QZResult LControl::OnMouseMove(const RCPtr<LPointWithModifiersParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  mMoveTime = TickCountMs();
  if (mPressed[0] || mPressed[1] || mPressed[2]) {
    const PointT<int32_t> press = PointT<double>{mPressPoint.x - mRect.x, mPressPoint.y - mRect.y}.Round();
    const int64_t dx = std::llabs(int64_t(param->GetPoint().x) - press.x);
    const int64_t dy = std::llabs(int64_t(param->GetPoint().y) - press.y);
    const int64_t distance = std::max(dx, dy);
    if (distance >= mDragThreshold) {
      // The hooks see the drag start where the button went down. A move at the press point
      // itself needs no such step (and with a threshold of 0 it would never end).
      if (distance > 0) {
        OnMouseMove(LPointWithModifiersParam::Create(press, param->GetModifiers()));
      }
      const int32_t first = mPressed[0] ? 0 : mPressed[1] ? 1 : mPressed[2] ? 2 : -1;
      if (first >= 0) {
        mDragging[first] = true;
        mPressed[0] = mPressed[1] = mPressed[2] = false;
        NotifyConditionChange();
      }
    }
  }
  HandleMouseMove(param);
  Announce(u"NID_MOUSE_MOVE", param);
  if (mDragging[0] && mDragMode != kDragNone) {
    OnDragMove(param);
  }
  mPreviousMoveTime = mMoveTime;
  return QZ_OK;
}

QZResult LControl::OnMouseUp(const RCPtr<LMouseButtonParam>& param) {
  const int32_t button = param ? ButtonIndex(param->GetButton()) : -1;
  if (button < 0) {
    return QZ_E_INVALIDARG;
  }
  if (!mCapture && !AcceptsInput()) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  switch (button) {
  case 0:
    HandleLeftButtonUp(param);
    break;
  case 1:
    HandleMiddleButtonUp(param);
    break;
  default:
    HandleRightButtonUp(param);
    break;
  }
  const bool click = mMouseOver && (mPressed[button] || (mDragging[button] && mDragMode == kDragNone));

  if (button == 0 && mDragging[0] && mDragMode == kDragKinetic) {
    mReleaseTime = TickCountMs();
    if (mReleaseTime - mPreviousMoveTime < kFlingWindowMs) {
      const double velocity[2] = {mFlingVelocity.x, mFlingVelocity.y};
      const bool axisNamed[2] = {mDragAxes == kDragAxisX || mDragAxes == (kDragAxisX | kDragAxisY),
                                 mDragAxes == kDragAxisY || mDragAxes == (kDragAxisX | kDragAxisY)};
      for (int32_t axis = 0; axis < 2; ++axis) {
        if (axisNamed[axis] && std::fabs(velocity[axis]) >= kFlingMinimumSpeed) {
          StartAxisAnimation(axis, velocity[axis]);
          mFlingActive[axis] = true;
        }
      }
    }
  }

  Announce(u"NID_MOUSE_UP", param);
  if (mCapture && param->GetButtonsHeld() == 0) {
    ReleaseCapture();
  }
  if (click && IsEnabled(false) && (!mParent || mParent->IsEnabled(true))) {
    OnClick(param);
  }
  return QZ_OK;
}

QZResult LControl::ReleaseCapture() {
  if (!mCapture) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  mCapture = false;
  for (int32_t i = 0; i < 3; ++i) {
    mPressed[i] = false;
    mDragging[i] = false;
  }
  if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
    window->ReleaseCaptureControl();
  }
  NotifyConditionChange();
  mLastLeftDown = nullptr;
  return QZ_OK;
}

QZResult LControl::OnMouseWheel(const RCPtr<LMouseWheelParam>& param) { return RouteWheel(param); }

QZResult LControl::OnMouseHWheel(const RCPtr<LMouseWheelParam>& param) { return RouteWheel(param); }

QZResult LControl::RouteWheel(const RCPtr<LMouseWheelParam>& param) {
  if (!param) {
    return -1;
  }
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  // Every step visits another control of the tree unless a hit test ignores the marks; the
  // walk never takes more steps than the tree has controls.
  RCPtrArray<LControl, 1, 0> descendants;
  const uint32_t limit = GetRootControl()->CollectDescendants(descendants) + 1;
  const bool vertical = param->GetDirection() == kWheelDown || param->GetDirection() == kWheelUp;
  RCPtrArray<LControl, 1, 0> rerouted;
  RCPtr<LControl> control(this);
  for (uint32_t step = 0; control && step < limit; ++step) {
    const QZResult result = vertical ? control->OnMouseWheelV(param) : control->OnMouseWheelH(param);
    if (result != QZ_FALSE) {
      return result;
    }
    if (!control->IsNotClippedToParent(true)) {
      control = control->mParent;
      continue;
    }
    // A control outside its parent's area (a drop-down list): what lies beneath the
    // pointer gets the wheel next.
    rerouted.AddItem(control);
    for (uint32_t i = 0; i < rerouted.GetCount(); ++i) {
      rerouted.GetAt(i)->SetExcludedFromHitTest(true);
    }
    PointT<int32_t> local;
    RCPtr<LControl> beneath = window ? window->SetMouseOverAt(param->GetPoint(), local, false) : nullptr;
    for (uint32_t i = 0; i < rerouted.GetCount(); ++i) {
      rerouted.GetAt(i)->SetExcludedFromHitTest(false);
    }
    control = std::move(beneath);
  }
  return QZ_FALSE;
}

// =============================================================================================
// Clicks
// =============================================================================================

QZResult LControl::OnClick(const RCPtr<LMouseButtonParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  switch (param->GetButton()) {
  case kMouseButtonLeft:
    return OnLeftClick(param);
  case kMouseButtonMiddle:
    return OnMiddleClick(param);
  case kMouseButtonRight:
    return OnRightClick(param);
  default:
    return QZ_E_INVALIDARG;
  }
}

QZResult LControl::OnLeftClick(const RCPtr<LMouseButtonParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  HandleLeftClick(param);
  Announce(u"NID_LEFT_CLICK", param);
  return QZ_OK;
}

QZResult LControl::OnMiddleClick(const RCPtr<LMouseButtonParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  HandleMiddleClick(param);
  Announce(u"NID_MIDDLE_CLICK", param);
  return QZ_OK;
}

QZResult LControl::OnRightClick(const RCPtr<LMouseButtonParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  HandleRightClick(param);
  Announce(u"NID_RIGHT_CLICK", param);
  if (const RCPtr<LMenuDescriptor> menu = GetContextMenuDescriptor()) {
    ShowContextMenu(menu); // without a "contextMenu" entry in the skin there is no menu to show
  }
  return QZ_OK;
}

// =============================================================================================
// Geometry
// =============================================================================================

bool LControl::ContainsPoint(const PointT<int32_t>& point) {
  // 64 bits: a point near the 32-bit limits must not wrap into the rectangle.
  const double x = double(int64_t(RoundToInt32(mRect.x)) + point.x);
  const double y = double(int64_t(RoundToInt32(mRect.y)) + point.y);
  return x >= mRect.x && x < mRect.x + mRect.width && y >= mRect.y && y < mRect.y + mRect.height;
}

bool LControl::IsNotClippedToParent(bool all) const {
  for (const LControl* control = this; control; control = all ? control->mParent.Get() : nullptr) {
    if (control->mLayout && !control->mLayout->clipToParent) {
      return true;
    }
  }
  return false;
}

bool LControl::IsTransparentAtPoint(const PointT<int32_t>& point) {
  for (uint32_t i = 0; i < mLookWeights.GetCount(); ++i) {
    if (mLookWeights.GetAt(i) > 0.0f && (GetColorAtPoint(point, int32_t(i)) >> 24) != 0) {
      return false;
    }
  }
  return true;
}

// =============================================================================================
// Values
// =============================================================================================

QZResult LControl::SetValueRange(double minimum, double maximum, int32_t scale) {
  const bool linear = scale == 0;
  const bool logarithmic = scale == 1 && minimum > 0.0 && maximum > 0.0;
  if (!linear && !logarithmic) {
    return QZ_E_INVALIDARG;
  }
  mScaleType = scale;
  mRangeMinimum = minimum;
  mRangeMaximum = maximum;
  return QZ_OK;
}

double LControl::NormalizedToValue(double t) const {
  if (mScaleType == 1) {
    return mRangeMinimum * std::pow(mRangeMaximum / mRangeMinimum, t);
  }
  return mRangeMinimum + (mRangeMaximum - mRangeMinimum) * t;
}

double LControl::ValueToNormalized(double v) const {
  v = std::min(v, std::max(mRangeMinimum, mRangeMaximum));
  v = std::max(v, std::min(mRangeMinimum, mRangeMaximum));
  if (mRangeMinimum == mRangeMaximum) {
    return 0.0;
  }
  if (mScaleType == 1) {
    return std::log(v / mRangeMinimum) / std::log(mRangeMaximum / mRangeMinimum);
  }
  return (v - mRangeMinimum) / (mRangeMaximum - mRangeMinimum);
}

} // namespace QZ
