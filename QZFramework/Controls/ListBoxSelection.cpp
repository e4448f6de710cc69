// The list box's selection: the one rule every path ends in, deselection with its anchor and
// caret moves, making items visible and activating them; the rows' presses and releases,
// the keys, and the pointer in menu mode.

#include <algorithm>

#include "Platform/Window/VirtualKeys.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/Controls/ListBox.h"
#include "QZFramework/Controls/Scrollbar.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Utilities/Storage/Holder.h"

namespace QZ {
namespace {

namespace Win = Platform::Window;

constexpr uint32_t kKeyModifiers = kKeyCodeCtrl | kKeyCodeShift | kKeyCodeAlt | kKeyCodeCommand;

} // namespace

// =============================================================================================
// Selecting
// =============================================================================================

bool LListBox::IsItemSelected(int32_t index) { return GetItemValue(index) >= 0.5; }

double LListBox::GetItemValue(int32_t index) {
  return index >= 0 && index < GetItemCount() ? GetItemRecord(index).selected : 0.0;
}

QZResult LListBox::SetItemSelected(int32_t index, double value) {
  if (index < 0 || index >= GetItemCount()) {
    return QZ_E_INVALIDARG;
  }
  LListItemRecord& record = GetItemRecord(index);
  const bool was = record.selected >= 0.5;
  const bool now = value >= 0.5;
  mSelectedCount += now == was ? 0 : now ? 1 : uint32_t(-1);
  record.selected = value;
  RCPtr<LListBoxItem> row;
  RefreshItemRow(index, row);
  return QZ_OK;
}

int32_t LListBox::SelectItems(int32_t first, int32_t last, bool exclusive) {
  return SelectRange(first, last, exclusive, true);
}

int32_t LListBox::SelectRange(int32_t first, int32_t last, bool exclusive, bool bringIntoView) {
  const int32_t count = GetItemCount();
  if (first < 0 || first >= count || last >= count) {
    return QZ_E_INVALIDARG;
  }
  if (last < 0) {
    last = first;
  }
  const RCPtr<LControl> self(this);
  if (first == last && IsItemSelected(first) && (!exclusive || mSelectedCount == 1)) {
    if (bringIntoView) {
      EnsureItemVisible(first);
    }
    return first;
  }
  mAnchorIndex = first;
  mFocusIndex = last;
  const int32_t low = std::min(first, last);
  const int32_t high = std::max(first, last);
  bool changed = false;
  const int32_t step = first <= last ? 1 : -1;
  for (int32_t index = first;; index += step) {
    if (!IsItemSelected(index)) {
      SetItemSelected(index, 1.0);
      changed = true;
    }
    if (index == last) {
      break;
    }
  }
  if (exclusive) {
    // The selected items outside the range, until none is left.
    uint32_t outside = mSelectedCount - uint32_t(high - low + 1);
    for (int32_t index = 0; outside > 0 && index < count; ++index) {
      if ((index < low || index > high) && IsItemSelected(index)) {
        SetItemSelected(index, 0.0);
        --outside;
        changed = true;
      }
    }
  }
  if (bringIntoView) {
    EnsureItemVisible(mFocusIndex);
  }
  if (changed) {
    AnnounceSelectionChange();
  }
  return first;
}

QZResult LListBox::DeselectItem(int32_t index) {
  if (!IsItemSelected(index)) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  SetItemSelected(index, 0.0);
  const int32_t count = GetItemCount();
  const auto selectedAt = [&](int32_t i) { return i >= 0 && i < count && IsItemSelected(i); };
  if (mSelectedCount == 0) {
    mAnchorIndex = -1;
    mFocusIndex = -1;
  } else if (index == mFocusIndex) {
    const bool anchorWithFocus = mAnchorIndex == mFocusIndex;
    if (selectedAt(index + 1) || selectedAt(index - 1)) {
      mFocusIndex = selectedAt(index + 1) ? index + 1 : index - 1;
      mAnchorIndex = anchorWithFocus ? mFocusIndex : mAnchorIndex;
    } else if (mAnchorIndex != index && mAnchorIndex < count) {
      mFocusIndex = mAnchorIndex;
    } else {
      int32_t highest = count - 1;
      while (highest >= 0 && !IsItemSelected(highest)) {
        --highest;
      }
      mAnchorIndex = highest;
      mFocusIndex = highest;
    }
  } else if (index == mAnchorIndex) {
    mAnchorIndex = selectedAt(index + 1) ? index + 1 : selectedAt(index - 1) ? index - 1 : -1;
  }
  AnnounceSelectionChange();
  return QZ_OK;
}

QZResult LListBox::ClearSelection() {
  const RCPtr<LControl> self(this);
  const bool any = mSelectedCount > 0;
  for (int32_t index = GetItemCount(); mSelectedCount > 0 && index-- > 0;) {
    if (IsItemSelected(index)) {
      SetItemSelected(index, 0.0);
    }
  }
  mAnchorIndex = -1;
  mFocusIndex = -1;
  if (!any) {
    return QZ_FALSE;
  }
  AnnounceSelectionChange();
  return QZ_OK;
}

const Array<uint32_t>& LListBox::GetSelectedIndices() {
  mSelectedIndices.SetCount(0);
  for (int32_t index = 0; mSelectedIndices.GetCount() < mSelectedCount && index < GetItemCount(); ++index) {
    if (IsItemSelected(index)) {
      mSelectedIndices.AddItem(uint32_t(index));
    }
  }
  return mSelectedIndices;
}

void LListBox::AnnounceSelectionChange() {
  OnSelectionChanged();
  if (!mMenuMode) {
    Announce(u"NID_SELECTION_CHANGE");
  }
}

QZResult LListBox::OnSelectionChanged() { return QZ_OK; }

QZResult LListBox::OnItemActivated(int32_t) { return QZ_OK; }

// =============================================================================================
// Making items visible, activating them
// =============================================================================================

QZResult LListBox::EnsureItemVisible(int32_t index) {
  const int32_t count = GetItemCount();
  if (index < 0 || index >= count) {
    return QZ_E_INVALIDARG;
  }
  if (IsHiddenAt(index)) {
    const int32_t before = NearestShownItem(index, -1);
    index = before >= 0 ? before : NearestShownItem(index, 1);
  }
  if (index < 0 || mRowControls.empty()) {
    return QZ_FALSE;
  }
  // The rows that show whole, at least one.
  const double viewHeight = GetContentRect().height;
  int32_t whole = 0;
  for (const RCPtr<LListBoxItem>& row : mRowControls) {
    const double top = row->GetRect().y - GetScrollOffset().y;
    if (top >= 0.0 && top + row->GetRect().height <= viewHeight) {
      ++whole;
    }
  }
  const int32_t r = std::max(whole, 1) - 1;
  const int32_t first = int32_t(mFirstShownIndex);
  const int32_t lastShown = ItemAtRowPosition(r);
  // The top item of the list scrolled to its end: r shown items above the last shown one.
  int32_t maxTop = NearestShownItem(count - 1, -1);
  for (int32_t above = 0; above < r;) {
    const int32_t previous = NearestShownItem(maxTop - 1, -1);
    if (previous < 0) {
      break;
    }
    maxTop = previous;
    ++above;
  }
  if (index >= first && index <= lastShown && maxTop >= first) {
    return QZ_OK;
  }
  int32_t top = index;
  if (index > maxTop) {
    top = maxTop;
  } else if (index >= first) {
    // Below the rows: r shown items above it (the first shown item when there are fewer).
    for (int32_t above = 0; above < r;) {
      const int32_t previous = NearestShownItem(top - 1, -1);
      if (previous < 0) {
        break;
      }
      top = previous;
      ++above;
    }
  }
  if (top == first) {
    return QZ_OK;
  }
  const RCPtr<LControl> self(this);
  const double offset = double(mRowHeight) * double(ShownItemsBetween(0, top));
  const bool menuMode = mMenuMode;
  mMenuMode = false;
  SetScrollOffset({GetScrollOffset().x, offset});
  mMenuMode = menuMode;
  SyncTopItem();
  return QZ_OK;
}

QZResult LListBox::ActivateItem(int32_t index) {
  if (index < 0 || index >= GetItemCount() || !IsItemSelectable(index)) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  mActivatedIndex = index;
  OnItemActivated(index);
  if (mMenuMode) {
    SetVisible(false);
  }
  if (GetParent()) {
    Announce(u"NID_ITEM_ACTIVATED");
  }
  return QZ_OK;
}

int32_t LListBox::NearestSelectableItem(int32_t from, int32_t step) {
  const int32_t count = GetItemCount();
  for (int32_t index = from + step; index >= 0 && index < count; index += step) {
    if (!IsHiddenAt(index) && IsItemSelectable(index)) {
      return index;
    }
  }
  return -1;
}

// =============================================================================================
// Presses and releases on rows
// =============================================================================================

QZResult LListBox::OnRowMouseDown(const RCPtr<LNotificationDistributor>& distributor,
                                  const RCPtr<LNotification>& notification) {
  const RCPtr<LListBoxItem> row = DynamicCast<LListBoxItem>(distributor);
  const RCPtr<LMouseButtonParam> press = notification->GetParameterAs<LMouseButtonParam>();
  mHandOverRow = nullptr;
  mHandOverFrom = nullptr;
  if (!row || !press || mMenuMode) {
    return QZ_FALSE;
  }
  const int32_t index = GetItemOfRow(row.Get());
  if (index < 0) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  if (press->GetButton() == kMouseButtonRight) {
    if (!press->IsDoubleClick()) {
      Announce(u"NID_ITEM_RIGHT_CLICK", RCPtr<LHolder<int>>(new LHolder<int>(index)));
    }
    HandOverPress(row, index);
    return QZ_FALSE;
  }
  if (press->GetButton() != kMouseButtonLeft) {
    return QZ_FALSE;
  }
  if (mMultipleSelection) {
    if (IsItemSelected(index)) {
      // A selection may be dragged: the release decides.
      return QZ_FALSE;
    }
    HandleItemClick(index, press);
    mPendingClickIndex = index;
  } else {
    SelectItems(index, index, true);
  }
  HandOverPress(row, index);
  if (press->IsDoubleClick()) {
    Announce(u"NID_ITEM_DOUBLE_CLICKED");
  }
  return QZ_FALSE;
}

QZResult LListBox::OnRowMouseUp(const RCPtr<LNotificationDistributor>& distributor,
                                const RCPtr<LNotification>& notification) {
  const RCPtr<LListBoxItem> row = DynamicCast<LListBoxItem>(distributor);
  const RCPtr<LMouseButtonParam> release = notification->GetParameterAs<LMouseButtonParam>();
  if (!row || !release || mMenuMode || !mMultipleSelection || release->GetButton() != kMouseButtonLeft) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  const int32_t index = GetItemOfRow(row.Get());
  if (index >= 0 && IsItemSelected(index) && index != mPendingClickIndex) {
    HandleItemClick(index, release);
    if (release->IsDoubleClick()) {
      Announce(u"NID_ITEM_DOUBLE_CLICKED");
    }
  }
  mPendingClickIndex = -1;
  return QZ_FALSE;
}

void LListBox::HandleItemClick(int32_t index, const RCPtr<LMouseButtonParam>& param) {
  const uint32_t modifiers = param->GetModifiers();
  const bool ctrl = (modifiers & kModifierCtrl) != 0;
  const bool shift = (modifiers & kModifierShift) != 0;
  if (mSelectionMode != 1 || (ctrl && !shift)) {
    if (IsItemSelected(index)) {
      DeselectItem(index);
    } else {
      SelectItems(index, index, false);
    }
  } else if (shift && !ctrl) {
    mFocusIndex = index;
    SelectItems(mAnchorIndex >= 0 ? mAnchorIndex : index, index, true); // items of the list
  } else if (shift) {
    mAnchorIndex = index;
    mFocusIndex = index;
    SelectItems(index, index, false);
  } else {
    SelectItems(index, index, true);
  }
}

void LListBox::HandOverPress(const RCPtr<LListBoxItem>& row, int32_t index) {
  const RCPtr<LListBoxItem> showing = GetRowControl(GetRowOfItem(index));
  if (showing && showing != row) {
    mHandOverRow = showing;
    mHandOverFrom = row.Get();
  }
}

// =============================================================================================
// Menu mode: the pointer under the list box's capture
// =============================================================================================

QZResult LListBox::HandleMouseMove(const RCPtr<LPointWithModifiersParam>& param) {
  if (!mMenuMode || !param || !HasCapture() || !IsButtonDragging(0)) {
    return LScrollView::HandleMouseMove(param);
  }
  const RCPtr<LControl> self(this);
  const int32_t index = GetItemAtPoint(param->GetPoint());
  if (index < 0) {
    ClearSelection();
  } else if (IsItemSelectable(index)) {
    SelectItems(index, -1, true);
  }
  return LScrollView::HandleMouseMove(param);
}

QZResult LListBox::HandleLeftButtonUp(const RCPtr<LMouseButtonParam>& param) {
  if (!mMenuMode || !param) {
    return LScrollView::HandleLeftButtonUp(param);
  }
  const RCPtr<LControl> self(this);
  const int32_t index = GetItemAtPoint(param->GetPoint());
  if (index >= 0) {
    if (GetParent()) {
      ActivateItem(index);
    }
  } else if (GetParent() && dynamic_cast<IListBoxDropDownOwner*>(GetParent().Get())) {
    PointT<double> point = param->GetPoint().ToDouble();
    ConvertPoint(GetParent().Get(), point);
    if (!GetParent()->ContainsPoint(point.Round())) {
      SetVisible(false);
    }
  }
  return LScrollView::HandleLeftButtonUp(param);
}

// =============================================================================================
// Keys
// =============================================================================================

bool LListBox::OfferKeyToBar(const RCPtr<LScrollbar>& bar, const RCPtr<LKeyParam>& key) {
  if (!bar) {
    return false;
  }
  const RCPtr<LControl> self(this);
  const RCPtr<LSiblingKeyParam> offer = LSiblingKeyParam::Create(key->GetKey(), self);
  (void)SendNotificationTo(RCPtr<LNotificationReceiver>(bar), u"NID_SIBLING_KEY", offer); // the bar's answer
  return offer->GetHandled() == LSiblingKeyParam::kHandled;
}

QZResult LListBox::OnKeyDown(const RCPtr<LKeyParam>& param) {
  if (!param) {
    return QZ_FALSE;
  }
  const uint32_t code = param->GetKey().code;
  if (!(code & kKeyCodeDown) || (code & kKeyCodeCharacterMask)) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  const uint8_t key = uint8_t((code & kKeyCodeVirtualKeyMask) >> 16);
  const uint32_t modifiers = code & kKeyModifiers;
  const bool plain = modifiers == 0;
  const bool shift = modifiers == kKeyCodeShift;
  switch (key) {
  case Win::VK_UP:
  case Win::VK_DOWN: {
    if (!plain && !shift) {
      return QZ_FALSE;
    }
    const int32_t next = NearestSelectableItem(mFocusIndex, key == Win::VK_UP ? -1 : 1);
    if (next < 0) {
      return QZ_OK; // no neighbour that way (no caret: Up finds none, Down item 0)
    }
    if (shift && mMultipleSelection) {
      SelectItems(mAnchorIndex >= 0 ? mAnchorIndex : next, next, false); // items of the list
    } else {
      SelectItems(next, -1, true);
    }
    return QZ_OK;
  }
  case Win::VK_LEFT:
  case Win::VK_RIGHT:
    return plain && OfferKeyToBar(GetHorizontalBar(), param) ? QZ_OK : QZ_FALSE;
  case Win::VK_PRIOR:
  case Win::VK_NEXT:
    return plain && OfferKeyToBar(GetVerticalBar(), param) ? QZ_OK : QZ_FALSE;
  case Win::VK_HOME:
  case Win::VK_END: {
    if (!plain) {
      return QZ_FALSE;
    }
    const bool horizontal = OfferKeyToBar(GetHorizontalBar(), param);
    const bool vertical = OfferKeyToBar(GetVerticalBar(), param);
    return horizontal || vertical ? QZ_OK : QZ_FALSE;
  }
  case Win::VK_RETURN:
    if (!plain || mFocusIndex < 0) {
      return QZ_FALSE;
    }
    ActivateItem(mFocusIndex);
    return QZ_OK;
  default:
    return QZ_FALSE;
  }
}

} // namespace QZ
