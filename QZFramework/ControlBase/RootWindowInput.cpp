// The root window's input: hit testing and hover with the tool tips, buttons, moves, the
// wheel and keys, the capture, and the focus of the window and across windows.

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/ControlBase/RootWindow.h"

namespace QZ {

// =============================================================================================
// Hit testing, hover and tool tips
// =============================================================================================

RCPtr<LControl> LRootWindow::SetMouseOverAt(const PointT<int32_t>& point, PointT<int32_t>& localPoint,
                                            bool updateHover) {
  localPoint = {};
  RCPtr<LControl> hit;
  if (const RCPtr<LControl> root = mRootControl) {
    const PointT<int32_t> origin = PointT<double>{root->GetRect().x, root->GetRect().y}.Round();
    int32_t depth = LControl::kNoHitDepth;
    hit = root->HitTest({point.x - origin.x, point.y - origin.y}, true, localPoint, depth);
    if (!hit) {
      localPoint = {};
    }
  }
  if (updateHover) {
    SetMouseOverControl(hit);
  }
  return hit;
}

RCPtr<LControl> LRootWindow::FindToolTipOwner(const RCPtr<LControl>& control) {
  RCPtr<LControl> candidate = control;
  while (candidate) {
    if (!candidate->GetToolTipText().IsEmpty()) {
      return candidate;
    }
    if (!candidate->UsesParentToolTip()) {
      return nullptr;
    }
    candidate = candidate->GetParent();
  }
  return nullptr;
}

void LRootWindow::HideToolTip() {
  if (const RCPtr<LControl> owner = mToolTipOwner) {
    owner->CreateToolTip(false);
  }
}

void LRootWindow::SetMouseOverControl(const RCPtr<LControl>& control) {
  // Only the capture holder can be hovered while it holds the capture.
  const bool blocked = mCaptureControl && control != mCaptureControl;
  if ((blocked ? nullptr : control.Get()) == mMouseOverControl.Get()) {
    return; // mostly the pointer is over the control it was over
  }
  const RCPtr<LRootWindow> self(this);
  const RCPtr<LControl> next = blocked ? RCPtr<LControl>() : control;
  if (next && next != mCaptureControl) {
    const RCPtr<LControl> owner = FindToolTipOwner(next);
    if (owner != mToolTipOwner) {
      const RCPtr<LControl> old = mToolTipOwner;
      mToolTipOwner = owner;
      if (old) {
        old->CreateToolTip(false);
      }
      if (owner) {
        owner->CreateToolTip(true);
      }
    }
  }
  const RCPtr<LControl> old = mMouseOverControl;
  mMouseOverControl = next;
  // A control taken out of its tree meanwhile hears nothing more of the pointer.
  if (old && old->GetRootWindowRef()) {
    old->OnMouseLeave();
  }
  if (next) {
    next->OnMouseEnter();
  }
}

// =============================================================================================
// Buttons, moves, wheel, keys
// =============================================================================================

PointT<int32_t> LRootWindow::ToControl(const RCPtr<LControl>& control, const PointT<int32_t>& point) {
  const PointT<int32_t> origin = control->GetWindowPosition().Round();
  return {point.x - origin.x, point.y - origin.y};
}

void LRootWindow::OnMouseButton(int32_t action, uint32_t button, uint32_t modifiers, const PointT<int32_t>& point,
                                uint32_t source) {
  if (!IsInputActive()) {
    return;
  }
  const RCPtr<LRootWindow> self(this);
  if (!(point == ActiveMousePosition())) {
    OnMouseMove(point, modifiers, source);
  }
  HideToolTip();
  if (action == kPress || action == kDoubleClick) {
    if (source < kSourceCount && action == kPress) {
      mButtonMasks[source] |= button;
    }
    RCPtr<LControl> target = mCaptureControl;
    PointT<int32_t> local;
    if (target) {
      local = ToControl(target, point);
    } else {
      target = SetMouseOverAt(point, local, true);
    }
    if (!target) {
      return;
    }
    const bool doubleClick = action == kDoubleClick;
    const RCPtr<LMouseButtonParam> param =
        ButtonParam(button, local, modifiers, doubleClick, GetMouseButtons(), source);
    if (doubleClick) {
      mDoubleClickMarks |= button;
    } else {
      mDoubleClickMarks &= ~button;
    }
    target->OnMouseDown(param);
    return;
  }
  if (action != kRelease) {
    return;
  }
  if (source < kSourceCount) {
    mButtonMasks[source] &= ~button;
  }
  const RCPtr<LControl> holder = mCaptureControl;
  if (!holder) {
    return;
  }
  const bool doubleClick = (mDoubleClickMarks & button) != 0;
  mDoubleClickMarks &= ~button;
  holder->OnMouseUp(ButtonParam(button, ToControl(holder, point), modifiers, doubleClick, GetMouseButtons(), source));
}

RCPtr<LMouseButtonParam> LRootWindow::ButtonParam(uint32_t button, const PointT<int32_t>& point, uint32_t modifiers,
                                                  bool doubleClick, uint32_t buttonsHeld, uint32_t source) {
  // Held by nobody but this window: no handler kept it, none can see it change.
  if (mButtonParam && mButtonParam->GetRefCount() == 1) {
    mButtonParam->Refill(button, point, modifiers, doubleClick, buttonsHeld, source);
  } else {
    mButtonParam = LMouseButtonParam::Create(button, point, modifiers, doubleClick, buttonsHeld, source);
  }
  return mButtonParam;
}

void LRootWindow::OnMouseMove(const PointT<int32_t>& point, uint32_t modifiers, uint32_t source) {
  if (!IsInputActive()) {
    return;
  }
  const RCPtr<LRootWindow> self(this);
  PointT<int32_t> local;
  // With a capture the hit test still runs: it moves the hover off and back onto the holder.
  const RCPtr<LControl> hit = SetMouseOverAt(point, local, true);
  RCPtr<LControl> target = mCaptureControl;
  if (target) {
    local = ToControl(target, point);
  } else {
    target = hit;
  }
  if (target) {
    target->OnMouseMove(LPointWithModifiersParam::Create(local, modifiers, source));
  }
}

void LRootWindow::OnMouseWheel(const PointT<int32_t>& point, uint32_t modifiers, uint32_t direction) {
  if (!IsInputActive()) {
    return;
  }
  const RCPtr<LRootWindow> self(this);
  HideToolTip();
  RCPtr<LControl> target = mCaptureControl;
  if (!target) {
    PointT<int32_t> local;
    target = SetMouseOverAt(point, local, true);
  }
  if (!target) {
    return;
  }
  // The point stays in client coordinates, whichever control gets it.
  const RCPtr<LMouseWheelParam> param = LMouseWheelParam::Create(point, modifiers, direction);
  const bool vertical = direction == kWheelDown || direction == kWheelUp;
  auto turn = [&](const RCPtr<LControl>& control) {
    return vertical ? control->OnMouseWheel(param) : control->OnMouseHWheel(param);
  };
  if (turn(target) == QZ_FALSE) {
    const RCPtr<LControl> focused = mFocusedControl;
    if (focused && focused != target) {
      turn(focused);
    }
  }
}

void LRootWindow::OnKey(const RCPtr<LKeyParam>& key) {
  if (!IsInputActive() || !key) {
    return;
  }
  const RCPtr<LRootWindow> self(this);
  HideToolTip();
  if (const RCPtr<LControl> focused = mFocusedControl) {
    focused->OnKey(key);
  }
}

// =============================================================================================
// Capture
// =============================================================================================

QZResult LRootWindow::SetCaptureControl(const RCPtr<LControl>& control) {
  if (!control) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LRootWindow> self(this);
  if (const RCPtr<LControl> previous = mCaptureControl) {
    previous->ReleaseCapture(); // also when it is control: it takes it anew
  }
  mCaptureControl = control;
  return QZ_OK;
}

QZResult LRootWindow::ReleaseCaptureControl() {
  mCaptureControl = nullptr;
  return QZ_OK;
}

void LRootWindow::OnCaptureLost() {
  if (const RCPtr<LControl> holder = mCaptureControl) {
    const RCPtr<LRootWindow> self(this);
    holder->ReleaseCapture();
  }
}

uint32_t LRootWindow::GetMouseButtons() {
  if (mOS && mOS->IsActive()) {
    return mOS->GetMouseButtons();
  }
  IControlApplication* application = GetControlApplication();
  return application ? application->GetMouseButtons() : 0;
}

PointT<int32_t> LRootWindow::ActiveMousePosition() { return mOS->GetCursorPos(); }

PointT<int32_t> LRootWindow::GetMousePosition() {
  if (!mOS) {
    return {};
  }
  if (mOS->IsActive()) {
    return ActiveMousePosition();
  }
  IControlApplication* application = GetControlApplication();
  PointT<int32_t> point = application ? application->GetMouseScreenPosition() : PointT<int32_t>{};
  mOS->ScreenToClient(point);
  return point;
}

// =============================================================================================
// Focus
// =============================================================================================

void LRootWindow::SetFocusedControl(const RCPtr<LControl>& control) { mFocusedControl = control; }

void LRootWindow::ClearFocusedControl() {
  mPreviousFocusedControl = mFocusedControl;
  mFocusedControl = nullptr;
}

QZResult LRootWindow::MoveFocusToNextWindow(const RCPtr<LKeyParam>& key) {
  if (!key || !mOS || !mOS->IsActive() || mOS->IsModal()) {
    return QZ_FALSE;
  }
  const RCPtr<LRootWindow> self(this);
  const bool backwards = (key->GetKey().code & kKeyCodeShift) != 0;
  IControlApplication* application = GetControlApplication();
  const uint32_t count = application ? application->GetRootWindowCount() : 0;
  if (count < 2) {
    if (const RCPtr<LControl> root = mRootControl) {
      root->KillFocus();
      root->SetFocus(!backwards); // a failure leaves the focus where it is
    }
    return QZ_OK;
  }
  int32_t index = -1;
  for (uint32_t i = count; i-- > 0;) {
    if (application->GetRootWindowAt(i).Get() == static_cast<IRootWindow*>(this)) {
      index = int32_t(i);
      break;
    }
  }
  if (index < 0) {
    return QZ_FALSE;
  }
  index = backwards ? (index == 0 ? int32_t(count) - 1 : index - 1) : (index + 1 == int32_t(count) ? 0 : index + 1);
  const RCPtr<LRootWindow> next = DynamicCast<LRootWindow>(application->GetRootWindowAt(uint32_t(index)));
  IWindowOSServices* os = next ? next->GetOSServices() : nullptr;
  if (os && !os->IsActive()) {
    os->Activate(); // the focus message follows
  }
  return QZ_OK;
}

void LRootWindow::OnActivate() {
  const RCPtr<LRootWindow> self(this);
  const RCPtr<LControl> previous = mPreviousFocusedControl;
  if (!mFocusedControl && previous && previous->GetRootWindowRef().Get() == static_cast<IRootWindow*>(this)) {
    previous->SetFocus(true); // a control that refuses leaves the focus where it is
  } else if (const RCPtr<LControl> root = mRootControl) {
    root->SetFocus(true);
  }
}

void LRootWindow::OnKillFocus() {
  const RCPtr<LRootWindow> self(this);
  SetMouseOverControl(nullptr);
  if (const RCPtr<LControl> root = mRootControl) {
    root->SetFocus(true); // the focus settles inside the tree first
    root->KillFocus();    // then the focused control lets go and is remembered
  }
}

} // namespace QZ
