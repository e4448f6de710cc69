#include "QZFramework/Controls/ListBoxItem.h"

#include "QZFramework/Controls/ListBox.h"

namespace QZ {

LListBoxItem::LListBoxItem(const RCPtr<LControl>& parent, const WString& name) : LControl(parent, name) {}

int32_t LListBoxItem::GetLookIndex() {
  const bool on = GetValue() >= 0.5;
  if (mSeparator) {
    return kLookSeparator;
  }
  if (!IsEnabled(true)) {
    return on ? kLookSeparator : kLookDisabled;
  }
  const bool hot = IsMouseOver() || IsHoverForced();
  const bool pressed = HasCapture() && IsButtonDragging(0);
  int32_t state = 0;
  if (pressed) {
    state = hot ? kLookPressed : kLookHover;
  } else if (hot && !HasCapture()) {
    state = kLookHover;
  }
  return state + (mMarked ? kLookMarkedOffset : 0) + (on ? kLookSelectedOffset : 0);
}

void LListBoxItem::UpdateLook() {
  ShowLook(GetLookIndex()); // a shorter list keeps its look
  InvalidateChildRect({0.0, 0.0, GetRect().width, GetRect().height}, true);
}

void LListBoxItem::SetMarked(bool marked) {
  if (marked != mMarked) {
    mMarked = marked;
    UpdateLook();
  }
}

void LListBoxItem::SetSeparator(bool separator) {
  if (separator == mSeparator) {
    return;
  }
  mSeparator = separator;
  if (separator) {
    SetText(WString());
  }
  UpdateLook();
}

QZResult LListBoxItem::OnValueChanged() {
  UpdateLook();
  return QZ_OK;
}

QZResult LListBoxItem::OnConditionsChanged(const RCPtr<LConditionsParam>&) {
  UpdateLook();
  return QZ_OK;
}

QZResult LListBoxItem::OnLookChanged() {
  SetFocusable(true);
  UpdateLook();
  return LControl::OnLookChanged();
}

QZResult LListBoxItem::SetCapture(uint32_t button, int32_t x, int32_t y) {
  const RCPtr<LControl> self(this);
  const RCPtr<LListBox> list = DynamicCast<LListBox>(GetParent());
  if (mMenuMode && list) {
    const PointT<int32_t> origin = GetOriginInParent().Round();
    return list->SetCapture(button, x + origin.x, y + origin.y);
  }
  if (const RCPtr<LListBoxItem> target = list ? list->TakePressHandOver(this) : nullptr) {
    // The pressed item moved to another row while the press was handled: that row takes it.
    const PointT<int32_t> from = GetOriginInParent().Round();
    const PointT<int32_t> to = target->GetOriginInParent().Round();
    if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
      window->SetMouseOverControl(target);
    }
    return target->SetCapture(button, x + from.x - to.x, y + from.y - to.y);
  }
  return LControl::SetCapture(button, x, y);
}

} // namespace QZ
