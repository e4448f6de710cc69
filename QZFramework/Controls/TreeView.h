#pragma once
// QZ::LTreeView ("Framework.TreeView"): a checked list whose items form a tree stored flat,
// in pre-order (each item directly followed by its whole subtree), each item naming its
// parent by index (-1 at the top). A row's check box is its expand box: an item's check is
// its expanded state, and an item shows only while every ancestor is expanded (the others
// are the list box's hidden items). QZ::LTreeViewItem ("Framework.TreeViewItem") is its
// row, indented by the item's depth times the width of its "checkBox" part.
//
//   tree->InsertItem(0, QZ::MakeTaggableString(u"Banks"));      // top-level
//   tree->InsertItem(1, QZ::MakeTaggableString(u"Bank A"));
//   tree->SetItemParent(1, 0);                                   // "Bank A" under "Banks"
//   listener->RegisterNotification(tree, u"NID_ITEM_CHECK_CHANGE");   // expand / collapse
//
// The expand box of a leaf is disabled. A click on a box expands or collapses its item, the
// item is selected, and "NID_ITEM_CHECK_CHANGE" (auto check, the default) or
// "NID_ITEM_CHECKBOX_CLICKED" goes out with an LIndexedDataWithValueParam, as from the
// checked list. Sorting is refused: it would tear subtrees apart.
//
// UI thread, like every control.

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/CheckedListBox.h"

namespace QZ {

// The record of a tree item: the checked list's (checked = expanded), then the parent.
struct LTreeItemRecord : LCheckedItemRecord {
  int32_t parent = -1;
};

class LTreeViewItem : public LCheckedListBoxItem {
public:
  LTreeViewItem(const RCPtr<LControl>& parent, const WString& name);

  // The row's X position (its absolute part; the other X fields stay) becomes level times
  // the width of its "checkBox" part. Nothing without that part.
  virtual void SetIndentLevel(uint32_t level);
};

class LTreeView : public LHandlerTableControl<LTreeView, LCheckedListBox> {
public:
  LTreeView(const RCPtr<LControl>& parent, const WString& name);

  // --- The control's, the list box's and the checked list's operations --------------------

  // The checked list's (a tree has neither check images nor passive boxes), then the tree
  // hears its own expand notifications. The checked list's result.
  QZResult Initialize() override;

  // Removes the item with its subtree, the last descendant first; later parent indexes
  // follow. The new count; QZ_E_INVALIDARG out of range.
  int32_t RemoveItem(int32_t index) override;
  // Refused: QZ_E_NOTIMPL (sorting would break the tree's order).
  QZResult SortItems(int32_t first, int32_t count) override;
  // The checked list's binding, then the row's box enabled only for an item with children
  // and the row indented by the item's depth. Setting the box is never heard as a click.
  QZResult RefreshItemRow(int32_t index, RCPtr<LListBoxItem>& row) override;
  int32_t GetItemCount() const override;
  // Exchanges two whole records, parents included (indexes the caller checked).
  QZResult SwapItems(int32_t a, int32_t b) override;
  LListItemRecord& GetItemRecord(int32_t index) override;
  LCheckedItemRecord& GetCheckedItemRecord(int32_t index) override;
  // A new record before index (0..count), with parent indexes at or after it moved on.
  // Inside a subtree it becomes a sibling of the item it is inserted before, so the order
  // stays pre-order; at the end it is top-level. 0.
  QZResult InsertItemRecord(int32_t index) override;
  // Erases the record; its children (a caller that did not remove them first) go to its
  // parent, and later parent indexes move down by one. 0; QZ_E_INVALIDARG out of range.
  QZResult RemoveItemRecord(int32_t index) override;

  // --- The tree's own, in slot order -------------------------------------------------------

  // Moves item with its subtree to be the last child of parent (-1 or any negative parent:
  // the last top-level item), keeping pre-order and every parent index right; the parent
  // is expanded. Nothing (item's index returned) for item 0, an item out of range, the
  // item's own parent, the item itself, one of its descendants or a parent at or past the
  // count. The item's new index.
  virtual int32_t SetItemParent(int32_t item, int32_t parent);
  // The parent's index; -1 for a top-level item and out of range.
  virtual int32_t GetParent(int32_t index);
  // The number of ancestors; 0 out of range.
  virtual uint32_t GetDepth(int32_t index);
  // The size of the item's subtree without itself; 0 out of range.
  virtual uint32_t GetDescendantCount(int32_t index);
  // The record of index (an index the caller checked).
  virtual LTreeItemRecord& GetTreeItemRecord(int32_t index);
  // Each descendant of index is hidden unless all its ancestors are expanded.
  virtual void UpdateChildVisibility(int32_t index);

  // Whether ancestor lies above index in the tree (an item is not its own ancestor); false
  // out of range.
  bool IsAncestor(int32_t ancestor, int32_t index);
  // Expands index: through its row's box as a user's click would (selecting it and
  // notifying) while a row shows it and the boxes check themselves, else quietly.
  void ExpandItem(int32_t index);

private:
  // The tree's own notification that an expand box changed: the subtree shows or hides.
  QZResult OnExpandChanged(const RCPtr<LNotificationDistributor>& distributor,
                           const RCPtr<LNotification>& notification);

  std::vector<LTreeItemRecord> mTreeItems;
};

} // namespace QZ
