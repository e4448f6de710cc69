#include "QZFramework/Controls/TreeView.h"

#include <algorithm>
#include <vector>

#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/ListParams.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {

// =============================================================================================
// The row
// =============================================================================================

LTreeViewItem::LTreeViewItem(const RCPtr<LControl>& parent, const WString& name) : LCheckedListBoxItem(parent, name) {}

void LTreeViewItem::SetIndentLevel(uint32_t level) {
  const RCPtr<LButton> box = GetCheckBoxPart();
  if (!box || !GetLayoutDescriptor()) {
    return;
  }
  const RCPtr<LControl> self(this);
  LayoutPosition position;
  LayoutSize size;
  GetLayoutDescriptor()->GetAxis(0, position, size);
  const double indent = double(level) * box->GetRect().width;
  if (position.abs != indent) {
    position.abs = indent;
    SetAxisPlacement(0, position, size);
  }
}

// =============================================================================================
// Records
// =============================================================================================

LTreeView::LTreeView(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

int32_t LTreeView::GetItemCount() const { return int32_t(mTreeItems.size()); }

LListItemRecord& LTreeView::GetItemRecord(int32_t index) { return mTreeItems[size_t(index)]; }

LCheckedItemRecord& LTreeView::GetCheckedItemRecord(int32_t index) { return mTreeItems[size_t(index)]; }

LTreeItemRecord& LTreeView::GetTreeItemRecord(int32_t index) { return mTreeItems[size_t(index)]; }

QZResult LTreeView::SwapItems(int32_t a, int32_t b) {
  std::swap(mTreeItems[size_t(a)], mTreeItems[size_t(b)]);
  return QZ_OK;
}

QZResult LTreeView::InsertItemRecord(int32_t index) {
  LTreeItemRecord record;
  // The item it goes before keeps its place in the tree: the new one is its sibling.
  record.parent = index < GetItemCount() ? mTreeItems[size_t(index)].parent : -1;
  for (LTreeItemRecord& other : mTreeItems) {
    other.parent += other.parent >= index ? 1 : 0;
  }
  mTreeItems.insert(mTreeItems.begin() + index, record);
  return QZ_OK;
}

QZResult LTreeView::RemoveItemRecord(int32_t index) {
  if (index < 0 || index >= GetItemCount()) {
    return QZ_E_INVALIDARG;
  }
  const int32_t grandparent = mTreeItems[size_t(index)].parent;
  mTreeItems.erase(mTreeItems.begin() + index);
  for (LTreeItemRecord& other : mTreeItems) {
    if (other.parent == index) {
      other.parent = grandparent;
    } else if (other.parent > index) {
      --other.parent;
    }
  }
  return QZ_OK;
}

int32_t LTreeView::RemoveItem(int32_t index) {
  if (index < 0 || index >= GetItemCount()) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  // The deepest and last first: each removal is a leaf's, which the list box keeps track of.
  int32_t result = QZ_OK;
  for (int32_t item = index + int32_t(GetDescendantCount(index)); item >= index; --item) {
    result = LCheckedListBox::RemoveItem(item);
    if (Failed(result)) {
      break;
    }
  }
  return result;
}

QZResult LTreeView::SortItems(int32_t, int32_t) { return QZ_E_NOTIMPL; }

// =============================================================================================
// The tree's shape
// =============================================================================================

int32_t LTreeView::GetParent(int32_t index) {
  return index >= 0 && index < GetItemCount() ? mTreeItems[size_t(index)].parent : -1;
}

uint32_t LTreeView::GetDepth(int32_t index) {
  uint32_t depth = 0;
  for (int32_t parent = GetParent(index); parent >= 0 && depth < mTreeItems.size(); parent = GetParent(parent)) {
    ++depth;
  }
  return depth;
}

uint32_t LTreeView::GetDescendantCount(int32_t index) {
  if (index < 0 || index >= GetItemCount()) {
    return 0;
  }
  const uint32_t depth = GetDepth(index);
  int32_t next = index + 1;
  while (next < GetItemCount() && GetDepth(next) > depth) {
    ++next;
  }
  return uint32_t(next - index - 1);
}

bool LTreeView::IsAncestor(int32_t ancestor, int32_t index) {
  if (ancestor < 0 || ancestor >= GetItemCount() || index < 0 || index >= GetItemCount()) {
    return false;
  }
  size_t steps = 0;
  for (int32_t parent = GetParent(index); parent >= 0 && steps < mTreeItems.size(); parent = GetParent(parent)) {
    if (parent == ancestor) {
      return true;
    }
    ++steps;
  }
  return false;
}

void LTreeView::UpdateChildVisibility(int32_t index) {
  const RCPtr<LControl> self(this);
  for (int32_t item = index + 1; item < GetItemCount() && IsAncestor(index, item); ++item) {
    bool shown = true;
    for (int32_t parent = GetParent(item); parent >= 0 && shown; parent = GetParent(parent)) {
      shown = IsItemChecked(parent);
    }
    SetItemHidden(item, !shown);
  }
}

void LTreeView::ExpandItem(int32_t index) {
  if (index < 0 || index >= GetItemCount()) {
    return;
  }
  const RCPtr<LControl> self(this);
  const int32_t row = GetRowOfItem(index);
  const RCPtr<LCheckedListBoxItem> checkedRow =
      row >= 0 ? DynamicCast<LCheckedListBoxItem>(GetRowControl(row)) : nullptr;
  const RCPtr<LButton> box = checkedRow ? checkedRow->GetCheckBoxPart() : nullptr;
  if (box && GetAutoCheck()) {
    box->SetValue(1.0);
    return;
  }
  SetItemChecked(index, true);
  UpdateChildVisibility(index);
}

int32_t LTreeView::SetItemParent(int32_t item, int32_t parent) {
  const int32_t count = GetItemCount();
  parent = parent < 0 ? -1 : parent;
  if (item <= 0 || item >= count || item == parent || parent >= count || GetParent(item) == parent ||
      IsAncestor(item, parent)) {
    return item;
  }
  const RCPtr<LControl> self(this);
  const int32_t last = item + int32_t(GetDescendantCount(item));

  // The new order of the old indexes: the subtree leaves its place and follows the new
  // parent's subtree (or the end of the list).
  std::vector<int32_t> order;
  order.reserve(size_t(count));
  for (int32_t k = 0; k < count; ++k) {
    if (k < item || k > last) {
      order.push_back(k);
    }
  }
  size_t insertAt = order.size();
  if (parent >= 0) {
    insertAt = size_t(std::find(order.begin(), order.end(), parent) - order.begin()) + 1;
    while (insertAt < order.size() && IsAncestor(parent, order[insertAt])) {
      ++insertAt;
    }
  }
  std::vector<int32_t> subtree;
  for (int32_t k = item; k <= last; ++k) {
    subtree.push_back(k);
  }
  order.insert(order.begin() + std::ptrdiff_t(insertAt), subtree.begin(), subtree.end());
  std::vector<int32_t> moved(size_t(count), 0);
  for (int32_t k = 0; k < count; ++k) {
    moved[size_t(order[size_t(k)])] = k;
  }

  // The permutation, one swap per misplaced record: at[p] is the record now at p, where[r]
  // the place of record r.
  std::vector<int32_t> at(static_cast<size_t>(count));
  std::vector<int32_t> where(static_cast<size_t>(count));
  for (int32_t k = 0; k < count; ++k) {
    at[size_t(k)] = k;
    where[size_t(k)] = k;
  }
  for (int32_t k = 0; k < count; ++k) {
    const int32_t wanted = order[size_t(k)];
    const int32_t from = where[size_t(wanted)];
    if (from != k) {
      SwapItems(k, from); // both inside the list
      const int32_t displaced = at[size_t(k)];
      at[size_t(from)] = displaced;
      where[size_t(displaced)] = from;
      at[size_t(k)] = wanted;
      where[size_t(wanted)] = k;
    }
  }
  for (LTreeItemRecord& record : mTreeItems) {
    record.parent = record.parent >= 0 ? moved[size_t(record.parent)] : -1;
  }
  const int32_t newItem = moved[size_t(item)];
  const int32_t newParent = parent >= 0 ? moved[size_t(parent)] : -1;
  mTreeItems[size_t(newItem)].parent = newParent;

  UpdateRows(0); // the rows show the new order before the parent's box is used
  if (newParent >= 0) {
    ExpandItem(newParent);
    UpdateChildVisibility(newParent);
  } else {
    SetItemHidden(newItem, false);
    UpdateChildVisibility(newItem);
  }
  UpdateRows(0);
  return newItem;
}

// =============================================================================================
// Rows and notifications
// =============================================================================================

QZResult LTreeView::RefreshItemRow(int32_t index, RCPtr<LListBoxItem>& row) {
  const QZResult result = LCheckedListBox::RefreshItemRow(index, row);
  if (Failed(result) || !row || index < 0 || index >= GetItemCount()) {
    return result;
  }
  const RCPtr<LControl> self(this);
  if (const RCPtr<LTreeViewItem> treeRow = DynamicCast<LTreeViewItem>(row)) {
    if (const RCPtr<LButton> box = treeRow->GetCheckBoxPart()) {
      box->SetEnabled(GetDescendantCount(index) != 0);
    }
    treeRow->SetIndentLevel(GetDepth(index));
  }
  return result;
}

QZResult LTreeView::Initialize() {
  const QZResult result = LCheckedListBox::Initialize();
  if (Failed(result)) {
    return result;
  }
  const RCPtr<LControl> self(this);
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  // Refused only for a name that cannot be interned.
  GetHandlerTable()->AddHandler(&LTreeView::OnExpandChanged, RCPtr<LNotificationDistributor>(self),
                                u"NID_ITEM_CHECK_CHANGE");
  GetHandlerTable()->AddHandler(&LTreeView::OnExpandChanged, RCPtr<LNotificationDistributor>(self),
                                u"NID_ITEM_CHECKBOX_CLICKED");
  return result;
}

QZResult LTreeView::OnExpandChanged(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification) {
  const RCPtr<LIndexedDataParam> param = notification->GetParameterAs<LIndexedDataParam>();
  if (!param || param->GetIndex() < 0 || param->GetIndex() >= GetItemCount()) {
    return QZ_OK;
  }
  const RCPtr<LControl> self(this);
  UpdateChildVisibility(param->GetIndex());
  UpdateRows(param->GetIndex());
  return QZ_FALSE;
}

} // namespace QZ
