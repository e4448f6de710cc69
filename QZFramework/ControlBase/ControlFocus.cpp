// The keyboard focus of a control: who may hold it, how a request for it travels down to a
// focus target, how the has-focus and contains-focus flags stay consistent along the
// ancestor chain, and how focusable children are found in tab order.

#include <climits>

#include "QZFramework/ControlBase/Control.h"

namespace QZ {

// =============================================================================================
// Who may hold the focus
// =============================================================================================

bool LControl::CanTakeFocus() {
  if (!AcceptsInput() || mNotFocusable) {
    return false;
  }
  for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
    const RCPtr<LControl> child = mChildren.GetAt(i, ChildControlList::kInsertionOrder);
    if (child->IsFocusable() || child->CanTakeFocus()) {
      return true;
    }
  }
  return false;
}

bool LControl::IsFocusable() {
  if (!AcceptsInput() || CanTakeFocus() || mNotFocusable) {
    return false;
  }
  return !mParent || mFocusBoundary || !mParent->IsFocusDelegated(true);
}

bool LControl::IsFocusDelegated(bool all) const {
  for (const LControl* control = this; control; control = control->mParent.Get()) {
    if (control->mNotFocusable) {
      return true;
    }
    if (!all || control->mFocusBoundary) {
      break;
    }
  }
  return false;
}

QZResult LControl::SetFocusable(bool notFocusable) {
  const int32_t tabStop = mLayout ? mLayout->tabStop : 0;
  const bool tabStopAgrees = !mLayout || (notFocusable ? tabStop < 0 : tabStop >= 0);
  if (mNotFocusable == notFocusable && tabStopAgrees) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  mNotFocusable = notFocusable;
  if (!tabStopAgrees) {
    mLayout->tabStop = tabStop == 0 ? -1 : tabStop == INT32_MIN ? INT32_MAX : -tabStop;
  }
  if (mParent) {
    mParent->mChildren.BumpVersion();
  }
  if ((IsFocusable() || CanTakeFocus()) && mParent && mParent->mHasFocus) {
    SetFocus(true); // the focus moves down from the parent when it can
  } else if (mNotFocusable && mHasFocus && mParent) {
    mParent->SetFocus(true); // the parent takes it back when it can
  }
  return QZ_OK;
}

QZResult LControl::SetTabOrder(int32_t order) {
  if (order < 0) {
    return QZ_E_INVALIDARG;
  }
  if (!mLayout) {
    return QZ_E_FAIL;
  }
  mLayout->layoutOrder = order;
  // A control out of tabbing stays out: the sign of its TabStop is its focusability.
  if (mLayout->tabStop >= 0) {
    mLayout->tabStop = order;
  }
  if (mParent) {
    mParent->mChildren.BumpVersion();
  }
  return QZ_OK;
}

bool LControl::CanReleaseFocus() { return true; }

// =============================================================================================
// Moving the focus
// =============================================================================================

QZResult LControl::SetFocus(bool forward) {
  const RCPtr<LControl> self(this);
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  if (!mHasFocus && window) {
    const RCPtr<LControl> focused = window->GetFocusedControl();
    if (focused && !focused->CanReleaseFocus()) {
      return QZ_E_FAIL;
    }
  }
  if (mHasFocus && IsFocusable()) {
    return QZ_OK;
  }

  if (CanTakeFocus()) {
    if (mContainsFocus) {
      const RCPtr<LControl> child = GetFocusedChild();
      if (!child) {
        return QZ_E_FAIL;
      }
      if (child->IsFocusable() || child->CanTakeFocus()) {
        return child->SetFocus(forward);
      }
    }
    const RCPtr<LControl> target = forward ? GetFirstFocusableChild() : GetLastFocusableChild();
    return target ? target->SetFocus(forward) : QZResult(QZ_E_FAIL);
  }

  if (IsFocusable()) {
    QZResult result = QZ_OK;
    if (mContainsFocus) {
      mHasFocus = true;
      mContainsFocus = false;
      const RCPtr<LControl> child = GetFocusedChild();
      result = child ? QZResult(child->KillFocus() ? 1 : 0) : QZResult(QZ_E_FAIL);
    } else {
      mHasFocus = true;
      if (mParent) {
        result = mParent->SetContainsFocus(self) ? 1 : 0;
      }
    }
    if (const RCPtr<IRootWindow> current = GetRootWindowRef()) {
      current->SetFocusedControl(self);
    }
    NotifyConditionChange();
    return result;
  }

  if (mHasFocus) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> root = GetRootControl();
  // A root that can neither hold nor pass on the focus it contains would be asked again
  // and again: the focus stays where it is.
  if ((!root->mHasFocus && !root->mContainsFocus) || root == self) {
    return QZ_FALSE;
  }
  return root->SetFocus(true);
}

bool LControl::SetContainsFocus(const RCPtr<LControl>& descendant) {
  const RCPtr<LControl> self(this);
  if (!mContainsFocus) {
    mContainsFocus = true;
    if (mHasFocus) {
      mHasFocus = false;
      NotifyConditionChange();
      return true;
    }
    if (mParent) {
      mParent->SetContainsFocus(self);
    }
    NotifyConditionChange();
    return true;
  }
  for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
    const RCPtr<LControl> child = mChildren.GetAt(i, ChildControlList::kInsertionOrder);
    if (child != descendant && (child->mHasFocus || child->mContainsFocus)) {
      return child->KillFocus();
    }
  }
  return false;
}

bool LControl::KillFocus() {
  const RCPtr<LControl> self(this);
  if (mHasFocus) {
    mHasFocus = false;
    NotifyConditionChange();
    if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
      window->ClearFocusedControl();
    }
    return true;
  }
  mContainsFocus = false;
  const RCPtr<LControl> child = GetFocusedChild();
  const bool killed = child && child->KillFocus();
  NotifyConditionChange();
  return killed;
}

QZResult LControl::FocusOnMouseDown(const RCPtr<LControl>&) {
  const RCPtr<LControl> self(this);
  if (!mNotFocusable && !(mParent && !mFocusBoundary && mParent->IsFocusDelegated(true))) {
    return SetFocus(true);
  }
  return mParent ? mParent->FocusOnMouseDown(self) : QZResult(QZ_FALSE);
}

// =============================================================================================
// Children in tab order
// =============================================================================================

RCPtr<LControl> LControl::GetFocusedChild() const {
  for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
    const RCPtr<LControl>& child = mChildren.GetAt(i, ChildControlList::kInsertionOrder);
    if (child->mHasFocus || child->mContainsFocus) {
      return child;
    }
  }
  return nullptr;
}

RCPtr<LControl> LControl::GetFirstFocusableChild() { return FindFocusableChild(false); }

RCPtr<LControl> LControl::GetLastFocusableChild() { return FindFocusableChild(true); }

RCPtr<LControl> LControl::FindFocusableChild(bool backwards) {
  const uint32_t count = mChildren.GetCount();
  if (count == 0) {
    return nullptr;
  }
  const RCPtr<LControl> start = mChildren.GetAt(backwards ? count - 1 : 0, ChildControlList::kTabOrder);
  if (start->IsFocusable() || start->CanTakeFocus()) {
    return start;
  }
  // The walk skips controls that take no input, so it may never come back to an ineligible
  // start: it ends after one round.
  RCPtr<LControl> next = FocusNextChild(start, backwards);
  for (uint32_t step = 0; next && next != start && step < count; ++step) {
    if (next->IsFocusable() || next->CanTakeFocus()) {
      return next;
    }
    next = FocusNextChild(next, backwards);
  }
  return nullptr;
}

RCPtr<LControl> LControl::FocusNextChild(const RCPtr<LControl>& child, bool backwards) {
  if (!child || child->mParent.Get() != this) {
    return nullptr;
  }
  const uint32_t count = mChildren.GetCount();
  // A child of this control: it has a position.
  const uint32_t start = uint32_t(mChildren.IndexOf(child.Get(), ChildControlList::kTabOrder));
  auto step = [&](uint32_t position) { return backwards ? (position + count - 1) % count : (position + 1) % count; };
  for (uint32_t position = step(start); position != start; position = step(position)) {
    const RCPtr<LControl>& candidate = mChildren.GetAt(position, ChildControlList::kTabOrder);
    if (candidate->AcceptsInput()) {
      return candidate;
    }
  }
  return count == 1 && child->AcceptsInput() ? child : nullptr;
}

RCPtr<LControl> LControl::GetKeyboardTarget() { return RCPtr<LControl>(this); }

} // namespace QZ
