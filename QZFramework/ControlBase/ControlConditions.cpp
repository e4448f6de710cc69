// The condition word of a control, its announcement, the pointer capture and the drag
// threshold.

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {
namespace {

// The notification of each group of condition bits, in the order they are sent.
struct ConditionGroup {
  uint32_t bits;
  NotificationName name;
};

constexpr ConditionGroup kConditionGroups[] = {
    {kConditionHasFocus, u"NID_HAS_FOCUS_CONDITION_CHANGE"},
    {kConditionContainsFocus, u"NID_CONTAINS_FOCUS_CONDITION_CHANGE"},
    {kConditionHover, u"NID_HOVER_CONDITION_CHANGE"},
    {kConditionCapture, u"NID_CAPTURE_CONDITION_CHANGE"},
    {kConditionLeftDown | kConditionLeftDrag, u"NID_LEFT_DRAG_CONDITION_CHANGE"},
    {kConditionMiddleDown | kConditionMiddleDrag, u"NID_MIDDLE_DRAG_CONDITION_CHANGE"},
    {kConditionRightDown | kConditionRightDrag, u"NID_RIGHT_DRAG_CONDITION_CHANGE"},
    {kConditionEnabled, u"NID_ENABLED_CONDITION_CHANGE"},
    {kConditionVisible, u"NID_VISIBLITY_CONDITION_CHANGE"},
};

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

uint32_t TickCountMs() {
  IControlApplication* application = GetControlApplication();
  return application ? application->GetTickCountMs() : 0;
}

} // namespace

uint32_t LControl::GetConditions() const {
  uint32_t word = 0;
  word |= mHasFocus ? kConditionHasFocus : 0;
  word |= mContainsFocus ? kConditionContainsFocus : 0;
  word |= mMouseOver ? kConditionMouseOver : 0;
  word |= mMouseOver || mHover ? kConditionHover : 0;
  word |= mCapture ? kConditionCapture : 0;
  word |= mPressed[0] ? kConditionLeftDown : 0;
  word |= mPressed[1] ? kConditionMiddleDown : 0;
  word |= mPressed[2] ? kConditionRightDown : 0;
  word |= mDragging[0] ? kConditionLeftDrag : 0;
  word |= mDragging[1] ? kConditionMiddleDrag : 0;
  word |= mDragging[2] ? kConditionRightDrag : 0;
  if (IsEnabled(false) && (!mParent || mParent->IsEnabled(true))) {
    word |= kConditionEnabled;
  }
  word |= IsShown(true) ? kConditionVisible : 0;
  return word;
}

void LControl::NotifyConditionChange() {
  const uint32_t now = GetConditions();
  LConditionsParam& param = *mConditionsParam;
  if (now == param.GetCurrent()) {
    return;
  }
  // Listeners run in between and may let the control go.
  const RCPtr<LControl> self(this);
  const uint32_t before = param.GetCurrent();
  param.Set(before, now, mPressPoint);
  const uint32_t changed = before ^ now;
  const bool mouseOverOn = (changed & kConditionMouseOver) && (now & kConditionMouseOver);
  const bool mouseOverOff = (changed & kConditionMouseOver) && !(now & kConditionMouseOver);
  const bool captureOff = (changed & kConditionCapture) && !(now & kConditionCapture);

  if (mCursor != 0) {
    if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
      if (mouseOverOn && !mCapture) {
        mSavedCursor = window->SetCursor(mCursor);
      }
      if ((mouseOverOff && !mCapture) || (captureOff && !mMouseOver)) {
        window->SetCursor(mSavedCursor); // the control's own cursor, no longer wanted
      }
    }
  }

  const bool leftDragOn = (changed & kConditionLeftDrag) && (now & kConditionLeftDrag);
  const bool leftDragOff = (changed & kConditionLeftDrag) && !(now & kConditionLeftDrag);
  if (mDragMode != kDragNone && leftDragOff) {
    OnDragEnd(); // the drag is over whatever it answers
  }
  OnConditionsChanged(mConditionsParam);
  Announce(u"NID_CONDITION_CHANGE", mConditionsParam);
  for (const ConditionGroup& group : kConditionGroups) {
    if (changed & group.bits) {
      Announce(group.name, mConditionsParam);
    }
  }
  if (mDragMode != kDragNone && leftDragOn) {
    OnDrag(); // the drag has begun whatever it answers
  }

  // The pointer is no longer over what it was over: let the window find what it is over.
  const bool vanished = mMouseOver && (changed & kConditionVisible) && !IsShown(true) && !mCapture;
  if (vanished || (captureOff && !mMouseOver)) {
    if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
      PointT<int32_t> local;
      window->SetMouseOverAt(window->GetMousePosition(), local, true); // only the hover matters
    }
  }

  if (changed & (kConditionEnabled | kConditionVisible)) {
    // Children may come and go while they are told.
    RCPtrArray<LControl, 1, 0> children;
    for (uint32_t i = 0; i < mChildren.GetCount(); ++i) {
      children.AddItem(mChildren.GetAt(i, ChildControlList::kInsertionOrder));
    }
    for (uint32_t i = children.GetCount(); i-- > 0;) {
      children.GetAt(i)->NotifyConditionChange();
    }
  }
}

void LControl::RaiseConditionChange(bool hover) {
  if (mHover != hover) {
    mHover = hover;
    NotifyConditionChange();
  }
}

QZResult LControl::SetDragThreshold(int32_t pixels) {
  if (pixels < 0) {
    return QZ_E_INVALIDARG;
  }
  mDragThreshold = pixels;
  return QZ_OK;
}

void LControl::ApplyCursor() {
  if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
    window->SetCursor(mCursor); // the cursor shown before is not wanted back
  }
}

QZResult LControl::SetCapture(uint32_t button, int32_t x, int32_t y) {
  if (!IsShown(true) || !IsEnabled(false) || (mParent && !mParent->IsEnabled(true)) || mCapture) {
    return QZ_FALSE;
  }
  const int32_t buttonIndex = ButtonIndex(button);
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  if (button != 0) {
    if (buttonIndex < 0 || !window || !(window->GetMouseButtons() & button)) {
      return QZ_FALSE;
    }
    mPressPoint = {x + mRect.x, y + mRect.y};
    mPressPointStep = {};
  }
  const RCPtr<LControl> self(this);
  StopAxisAnimation(0);
  StopAxisAnimation(1);
  mCapture = true;
  mPressTime = TickCountMs();
  mPreviousMoveTime = mPressTime;
  mMoveTime = mPressTime;
  mFlingVelocity = {};
  if (window) {
    window->SetCaptureControl(self);
  }
  if (buttonIndex >= 0) {
    mPressed[buttonIndex] = true;
  }
  if (button == kMouseButtonLeft) {
    mDragMode = kDragNone;
    if (mIdleOnPress) {
      AddIdleRequest(); // without a root window nothing subscribes; the count still holds
    }
  }
  NotifyConditionChange();

  const bool animationStillRunning = button == kMouseButtonLeft && (mFlingActive[0] || mFlingActive[1]);
  if (buttonIndex >= 0 && (mDragThreshold == 0 || animationStillRunning)) {
    mPressed[buttonIndex] = false;
    mDragging[buttonIndex] = true;
    NotifyConditionChange();
  }
  if (mDragging[0] && mDragMode != kDragNone) {
    OnDragMove(LPointWithModifiersParam::Create({x, y}, 0)); // the drag's first step
  }
  return QZ_OK;
}

} // namespace QZ
