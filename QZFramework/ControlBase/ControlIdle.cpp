// The idle tick of a control: automatic scrolling and flings, growing, shrinking and moving
// the control's placement, handing a held press over, the control's own timed behaviour,
// and last the removal of children queued for it; the idle requests that keep the tick
// coming.

#include <algorithm>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlApplication.h"

namespace QZ {
namespace {

// A press held this long on a control that hands presses over goes to the hand-over target.
constexpr uint32_t kHandOverDelayMs = 100;

uint32_t TickCountMs() {
  IControlApplication* application = GetControlApplication();
  return application ? application->GetTickCountMs() : 0;
}

} // namespace

// =============================================================================================
// Idle requests
// =============================================================================================

QZResult LControl::AddIdleRequest() {
  if (mIdleRequests++ > 0) {
    return QZ_OK;
  }
  // A control outside a window is counted now and subscribed when its tree comes under one.
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  const RCPtr<LNotificationDistributor> idle = window ? window->GetIdleDistributor() : nullptr;
  if (!idle) {
    return QZ_OK;
  }
  const QZResult subscribed = HandlerTable().AddHandler(&LControl::OnIdleTick, idle, u"NID_IDLE");
  if (Failed(subscribed)) {
    mIdleRequests = 0;
  }
  return subscribed;
}

QZResult LControl::ReleaseIdleRequest() {
  // One release too many would leave the count below 0, and the next request would then
  // not subscribe.
  if (mIdleRequests <= 0) {
    return QZ_FALSE;
  }
  if (--mIdleRequests > 0) {
    return QZ_OK;
  }
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  const RCPtr<LNotificationDistributor> idle = window ? window->GetIdleDistributor() : nullptr;
  if (!idle) {
    return QZ_OK;
  }
  const RCPtr<LNotificationHandler<LControl>> table = mNotificationHandler;
  LNotificationHandler<LControl>::Method method = nullptr;
  uintptr_t data = 0;
  const QZResult removed = table ? table->RemoveHandler(idle, u"NID_IDLE", method, data) : QZResult(QZ_E_FAIL);
  return Failed(removed) ? QZResult(QZ_E_FAIL) : removed;
}

// =============================================================================================
// The tick
// =============================================================================================

QZResult LControl::OnIdleTick(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
  // Every step may let the control go.
  const RCPtr<LControl> self(this);
  if (!mTickSuspended) {
    for (int32_t axis = 0; axis < 2; ++axis) {
      StepAutoScroll(axis);
      if (mGrowing[axis] || mShrinking[axis]) {
        StepSizeAnimation(axis);
      }
    }
    StepMoveAnimation();
    HandOverPress();
    OnTick(); // the control's own timed behaviour
  }
  DeletePendingChildren();
  return QZ_OK;
}

QZResult LControl::StartSizeAnimation(int32_t axis, bool grow) {
  if (axis != 0 && axis != 1) {
    return QZ_E_INVALIDARG;
  }
  const bool running = mGrowing[axis] || mShrinking[axis];
  mGrowing[axis] = grow;
  mShrinking[axis] = !grow;
  (grow ? mGrowTime : mShrinkTime)[axis] = TickCountMs();
  return running ? QZResult(QZ_OK) : AddIdleRequest();
}

QZResult LControl::StartMoveAnimation(const PointT<double>& target) {
  if (!mLayout) {
    return QZ_E_FAIL;
  }
  const bool running = mMoveAnimating;
  mMoveAnimating = true;
  mMoveTarget = target;
  mMoveCurrent = {mLayout->position[0].abs, mLayout->position[1].abs};
  mMoveAnimationTime = TickCountMs();
  return running ? QZResult(QZ_OK) : AddIdleRequest();
}

void LControl::StepSizeAnimation(int32_t axis) {
  const bool growing = mGrowing[axis];
  uint32_t& since = growing ? mGrowTime[axis] : mShrinkTime[axis];
  const uint32_t now = TickCountMs();
  const uint32_t elapsed = now - since;
  QZResult laidOut = QZ_E_FAIL;
  if (mLayout) {
    if (elapsed == 0) {
      return;
    }
    // One pixel per millisecond.
    double& size = mLayout->size[axis].abs;
    size = growing ? size + elapsed : std::max(0.0, size - elapsed);
    since = now;
    laidOut = PerformLayout();
  }
  // A rectangle that no longer changes (a maximum or minimum reached, an empty axis) ends
  // it, and so does a control that cannot be laid out.
  if (laidOut != QZ_OK) {
    mGrowing[axis] = false;
    mShrinking[axis] = false;
    ReleaseIdleRequest(); // a failed unsubscription leaves nothing to undo
  }
}

void LControl::StepMoveAnimation() {
  if (!mMoveAnimating) {
    return;
  }
  const uint32_t now = TickCountMs();
  const int64_t elapsed = uint32_t(now - mMoveAnimationTime);
  QZResult laidOut = QZ_E_FAIL;
  if (mLayout) {
    if (elapsed == 0) {
      return;
    }
    const double target[2] = {mMoveTarget.x, mMoveTarget.y};
    const double current[2] = {mMoveCurrent.x, mMoveCurrent.y};
    for (int32_t axis = 0; axis < 2; ++axis) {
      // Whole pixels towards the target, never past it.
      const int64_t distance = int64_t(target[axis] - current[axis]);
      const int64_t step = std::min<int64_t>(elapsed, distance < 0 ? -distance : distance);
      mLayout->position[axis].abs += distance < 0 ? -double(step) : double(step);
    }
    mMoveCurrent = {mLayout->position[0].abs, mLayout->position[1].abs};
    mMoveAnimationTime = now;
    laidOut = PerformLayout();
  }
  if (laidOut != QZ_OK) {
    mMoveAnimating = false;
    ReleaseIdleRequest(); // a failed unsubscription leaves nothing to undo
  }
}

void LControl::HandOverPress() {
  if (!mPressed[0] || !mHandOverEnabled || !mHandOverTarget || !mLastLeftDown ||
      uint32_t(TickCountMs() - mPressTime) <= kHandOverDelayMs) {
    return;
  }
  const RCPtr<LMouseButtonParam> last = mLastLeftDown;
  const RCPtr<LMouseButtonParam> press =
      LMouseButtonParam::Create(last->GetButton(), mHandOverPoint, last->GetModifiers(), last->IsDoubleClick(),
                                last->GetButtonsHeld(), last->GetSourceIndex());
  const RCPtr<LControl> target = mHandOverTarget;
  ReleaseCapture(); // it holds the capture while its button is pressed
  if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
    window->SetMouseOverControl(target);
  }
  target->OnMouseDown(press); // the target takes the capture itself
}

// =============================================================================================
// Deferred removal of children
// =============================================================================================

QZResult LControl::RemoveChildDeferred(const RCPtr<LControl>& child) {
  if (!child || child->mParent.Get() != this) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  if (child->mCapture) {
    child->ReleaseCapture();
  }
  child->SetVisible(false); // it is no longer shown
  // Queued once: a second detach of a control without a parent would take its children.
  for (uint32_t i = 0; i < mPendingRemoval.GetCount(); ++i) {
    if (mPendingRemoval.GetAt(i) == child) {
      return QZ_OK;
    }
  }
  if (Failed(mPendingRemoval.AddItem(child))) {
    return QZ_E_INVALIDARG;
  }
  if (mPendingRemoval.GetCount() == 1) {
    AddIdleRequest(); // outside a window the removal waits for one
  }
  return QZ_OK;
}

void LControl::DeletePendingChildren() {
  const uint32_t count = mPendingRemoval.GetCount();
  if (count == 0) {
    return;
  }
  const RCPtr<LControl> self(this);
  for (uint32_t i = 0; i < count && mPendingRemoval.GetCount() > 0; ++i) {
    RCPtr<LControl> child;
    mPendingRemoval.RemoveItem(0, child);
    // Released before the child goes, so that a removal queued while it goes adds its own.
    if (mPendingRemoval.GetCount() == 0) {
      ReleaseIdleRequest(); // a failed unsubscription leaves nothing to undo
    }
    // A child that found another parent meanwhile stays where it is now.
    if (child->mParent.Get() == this) {
      child->Detach();
    }
  }
}

} // namespace QZ
