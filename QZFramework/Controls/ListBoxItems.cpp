// The list box's items: the records and their count, inserting, replacing, removing, hiding,
// sorting and finding items by their text.

#include <algorithm>
#include <numeric>

#include "QZFramework/Controls/ListBox.h"
#include "QZFramework/Utilities/Storage/WideChar.h"

namespace QZ {
namespace {

WString TextOf(const ConstRCPtr<LTaggableObject>& data) { return data ? data->ToString() : WString(); }

bool SameText(const WString& a, const WString& b, bool caseSensitive) {
  return caseSensitive ? a == b : a.CompareNoCase(b) == 0;
}

// Marks a batch of item changes for its scope; a batch inside another leaves the flag set.
class Batch {
public:
  explicit Batch(bool& flag) : mFlag(flag), mWas(flag) { mFlag = true; }
  ~Batch() { mFlag = mWas; }
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

private:
  bool& mFlag;
  bool mWas;
};

} // namespace

// =============================================================================================
// Records
// =============================================================================================

int32_t LListBox::GetItemCount() const { return int32_t(mItems.size()); }

LListItemRecord& LListBox::GetItemRecord(int32_t index) { return mItems[size_t(index)]; }

QZResult LListBox::InsertItemRecord(int32_t index) {
  mItems.insert(mItems.begin() + index, LListItemRecord{});
  return QZ_OK;
}

QZResult LListBox::RemoveItemRecord(int32_t index) {
  mItems.erase(mItems.begin() + index);
  return QZ_OK;
}

QZResult LListBox::SwapItems(int32_t a, int32_t b) {
  std::swap(GetItemRecord(a), GetItemRecord(b));
  return QZ_OK;
}

bool LListBox::IsItemSelectable(int32_t) { return true; }

// =============================================================================================
// Inserting, replacing, removing
// =============================================================================================

int32_t LListBox::InsertItem(int32_t index, const ConstRCPtr<LTaggableObject>& data) {
  if (index < 0 || index > GetItemCount()) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  InsertItemRecord(index);
  GetItemRecord(index).data = data;
  // The anchor and the caret stay on their items.
  mAnchorIndex += mAnchorIndex >= index ? 1 : 0;
  mFocusIndex += mFocusIndex >= index ? 1 : 0;
  mPendingClickIndex += mPendingClickIndex >= index ? 1 : 0;
  if (mLoadingItems) {
    return index; // the batch's end settles the rows, the extent, the width and the order
  }
  UpdateClientExtent();
  FillPool();
  UpdateRows(index);
  const int32_t width = MeasureItemWidth(index);
  if (width > mContentWidth) {
    RecomputeContentWidth();
  }
  if (mMenuMode) {
    ResizeToItems();
  }
  if (mKeepSorted) {
    SortAllItems();
  }
  return index;
}

int32_t LListBox::SetItemCount(int32_t count) {
  if (count < 0) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  const int32_t before = GetItemCount();
  int32_t result = count;
  {
    // One layout for the whole fill: each item laying the list out again made filling a
    // combo box's list cost as much as the rest of its making.
    const Batch batch(mLoadingItems);
    while (GetItemCount() < count && result == count) {
      if (Failed(InsertItem(GetItemCount(), nullptr))) {
        result = -GetItemCount();
      }
    }
    while (GetItemCount() > count && result == count) {
      if (Failed(RemoveItem(GetItemCount() - 1))) {
        result = -GetItemCount();
      }
    }
  }
  if (!mLoadingItems && GetItemCount() != before) {
    SettleItems(std::min(before, GetItemCount()), GetItemCount() > before, GetItemCount() < before);
  }
  return result;
}

QZResult LListBox::SetItemData(int32_t index, const ConstRCPtr<LTaggableObject>& data) {
  if (index < 0 || index >= GetItemCount()) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  const bool wasWidest = MeasureItemWidth(index) >= mContentWidth;
  GetItemRecord(index).data = data;
  RCPtr<LListBoxItem> row;
  RefreshItemRow(index, row);
  if (wasWidest || MeasureItemWidth(index) > mContentWidth) {
    RecomputeContentWidth();
  }
  return QZ_OK;
}

QZResult LListBox::SetItem(int32_t index, const ConstRCPtr<LTaggableObject>& data, double selectedValue, bool marked,
                           bool separator) {
  if (index < 0 || index >= GetItemCount()) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  LListItemRecord& record = GetItemRecord(index);
  record.data = data;
  record.marked = marked;
  record.separator = separator;
  SetItemSelected(index, selectedValue);
  return QZ_OK;
}

ConstRCPtr<LTaggableObject> LListBox::GetItemData(int32_t index) {
  return index >= 0 && index < GetItemCount() ? GetItemRecord(index).data : nullptr;
}

WString LListBox::GetItemText(int32_t index) { return TextOf(GetItemData(index)); }

int32_t LListBox::SetItemMarked(int32_t index, bool marked) {
  if (index < 0 || index >= GetItemCount()) {
    return 0;
  }
  GetItemRecord(index).marked = marked;
  RCPtr<LListBoxItem> row;
  RefreshItemRow(index, row);
  return 1;
}

int32_t LListBox::SetItemSeparator(int32_t index, bool separator) {
  if (index < 0 || index >= GetItemCount()) {
    return 0;
  }
  GetItemRecord(index).separator = separator;
  RCPtr<LListBoxItem> row;
  RefreshItemRow(index, row);
  return 1;
}

int32_t LListBox::RemoveItem(int32_t index) {
  if (index < 0 || index >= GetItemCount()) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  const int32_t width = mLoadingItems ? 0 : MeasureItemWidth(index);
  DeselectItem(index);
  const bool hidden = GetItemRecord(index).hidden;
  RemoveItemRecord(index);
  mHiddenCount -= hidden ? 1 : 0;
  const bool anchorAfter = mAnchorIndex > index;
  const bool focusAfter = mFocusIndex > index;
  if (anchorAfter && focusAfter) {
    --mAnchorIndex;
    --mFocusIndex;
  } else if (anchorAfter || focusAfter) {
    mAnchorIndex = -1;
    mFocusIndex = -1;
  }
  if (mPendingClickIndex >= index) {
    mPendingClickIndex = mPendingClickIndex == index ? -1 : mPendingClickIndex - 1;
  }
  const int32_t count = GetItemCount();
  if (mFirstShownIndex >= uint32_t(std::max(count, 1))) {
    mFirstShownIndex = uint32_t(std::max(count - 1, 0));
  }
  if (mLoadingItems) {
    return count; // the batch's end settles the rows, the extent and the width
  }
  UpdateClientExtent();
  FillPool();
  UpdateRows(std::min(index, int32_t(mFirstShownIndex)));
  if (width >= mContentWidth) {
    RecomputeContentWidth();
  }
  if (mMenuMode) {
    ResizeToItems();
  }
  if (count > 0) {
    EnsureItemVisible(int32_t(mFirstShownIndex));
    SyncTopItem();
  } else {
    SetScrollOffset({mScrollOffset.x, 0.0});
  }
  return count;
}

QZResult LListBox::RemoveAllItems() {
  if (GetItemCount() == 0) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  SetScrollOffset({GetScrollOffset().x, 0.0});
  ClearSelection();
  QZResult result = QZ_OK;
  for (int32_t index = GetItemCount(); index-- > 0;) {
    if (Failed(RemoveItemRecord(index))) {
      result = QZ_E_FAIL;
      break;
    }
  }
  mHiddenCount = 0;
  for (int32_t index = 0; index < GetItemCount(); ++index) {
    mHiddenCount += GetItemRecord(index).hidden ? 1 : 0;
  }
  mPendingClickIndex = -1;
  mFirstShownIndex = 0;
  UpdateClientExtent();
  FillPool();
  UpdateRows(0);
  RecomputeContentWidth();
  if (mMenuMode) {
    ResizeToItems();
  }
  return result;
}

// =============================================================================================
// Hiding
// =============================================================================================

bool LListBox::IsItemHidden(int32_t index) { return index >= 0 && index < GetItemCount() && IsHiddenAt(index); }

QZResult LListBox::SetItemHidden(int32_t index, bool hidden) {
  if (index < 0 || index >= GetItemCount()) {
    return QZ_E_INVALIDARG;
  }
  if (GetItemRecord(index).hidden == hidden) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  GetItemRecord(index).hidden = hidden;
  mHiddenCount += hidden ? 1 : uint32_t(-1);
  if (hidden) {
    DeselectItem(index);
  }
  UpdateClientExtent();
  if (hidden && uint32_t(index) == mFirstShownIndex) {
    // The top item went: a shown neighbour takes its place.
    mFirstShownIndex = uint32_t(GetItemCount());
    EnsureItemVisible(index);
  }
  SyncTopItem();
  UpdateRows(0);
  return QZ_OK;
}

// =============================================================================================
// Sorting and finding
// =============================================================================================

bool LListBox::SortAllItems() { return Succeeded(SortItems(0, GetItemCount())); }

void LListBox::SetKeepSorted(bool keepSorted) {
  mKeepSorted = keepSorted;
  if (keepSorted) {
    SortAllItems();
  }
}

QZResult LListBox::SortItems(int32_t first, int32_t count) {
  if (count == 0) {
    return QZ_FALSE;
  }
  if (first < 0 || count < 0 || first > GetItemCount() || count > GetItemCount() - first) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  struct Entry {
    int32_t index; // before sorting
    WString text;
  };
  std::vector<Entry> table;
  table.reserve(size_t(count));
  for (int32_t k = 0; k < count; ++k) {
    table.push_back({first + k, TextOf(GetItemRecord(first + k).data)});
  }
  std::stable_sort(table.begin(), table.end(),
                   [](const Entry& a, const Entry& b) { return a.text.CompareNoCase(b.text) < 0; });

  // Where each item goes, and the anchor and caret with their items.
  std::vector<int32_t> target(static_cast<size_t>(count));
  for (int32_t k = 0; k < count; ++k) {
    target[size_t(table[size_t(k)].index - first)] = first + k;
  }
  const auto follow = [&](int32_t& index) {
    if (index >= first && index - first < count) {
      index = target[size_t(index - first)];
    }
  };
  follow(mAnchorIndex);
  follow(mFocusIndex);
  follow(mPendingClickIndex);

  // The permutation, one swap per misplaced item: at[p] is the item now at p, where[i] the
  // place of item i.
  std::vector<int32_t> at(static_cast<size_t>(count));
  std::iota(at.begin(), at.end(), first);
  std::vector<int32_t> where = at;
  for (int32_t k = 0; k < count; ++k) {
    const int32_t wanted = table[size_t(k)].index;
    const int32_t from = where[size_t(wanted - first)];
    if (from != first + k) {
      SwapItems(first + k, from); // both inside the range
      const int32_t displaced = at[size_t(k)];
      at[size_t(from - first)] = displaced;
      where[size_t(displaced - first)] = from;
      at[size_t(k)] = wanted;
      where[size_t(wanted - first)] = first + k;
    }
  }
  UpdateRows(int32_t(mFirstShownIndex));
  if (mFocusIndex >= 0) {
    EnsureItemVisible(mFocusIndex);
  }
  return QZ_OK;
}

int32_t LListBox::FindItemByText(const WString& text, bool caseSensitive) {
  for (int32_t index = GetItemCount(); index-- > 0;) {
    if (SameText(TextOf(GetItemRecord(index).data), text, caseSensitive)) {
      return index;
    }
  }
  return -1;
}

int32_t LListBox::SelectItemByText(const WString& text, int32_t after, bool caseSensitive) {
  const int32_t count = GetItemCount();
  if (after < -1 || after >= count) {
    after = -1;
  }
  for (int32_t step = 1; step <= count; ++step) {
    const int32_t index = (after + step) % count;
    if (SameText(TextOf(GetItemRecord(index).data), text, caseSensitive)) {
      return SelectItems(index, -1, true);
    }
  }
  return -1;
}

} // namespace QZ
