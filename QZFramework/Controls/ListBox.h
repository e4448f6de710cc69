#pragma once
// QZ::LListBox ("Framework.ListBox", "Framework.listboxNoScroll"): a vertical list of text
// items of any length, one or several of them selected, shown through a small pool of row
// controls (QZ::LListBoxItem) that are refilled as the list scrolls. The rows are clones of
// the skin's "templateItem" (named "ItemControl1", "ItemControl2" ...; only as many as fill
// the view), or, without a template, the skin's fixed rows "item1", "item2" ... whose texts
// become the first items. The list box is also the body of the checked list box, the tree
// view, the pop-up menu and every combo box's list.
//
//   auto list = QZ::DynamicCast<QZ::LListBox>(factory->CreateControl(panel, entry));
//   list->InsertItem(list->GetItemCount(), QZ::MakeTaggableString(u"Lead"));
//   list->SelectItems(0, -1, true);              // "NID_SELECTION_CHANGE"; item 0 in view
//   listener->RegisterNotification(list, u"NID_ITEM_ACTIVATED");   // Return, a menu pick
//
// Items: a data object each (its text form is the item's text; null is the empty text), a
// selection value (selected at 0.5 or more), and the flags marked, separator and hidden.
// The string table's "ITEM.nn" entries are the items a list starts with ("ITEM.00" item 0).
// Item indexes are 32-bit; -1 means none, and every negative index is out of range.
//
// Selection: SelectItems is the one rule every path ends in (clicks, keys, menus). Single
// selection (the default) or multiple selection, extended (mode 1: click, Ctrl-click,
// Shift-click) or toggling (any other mode). The keyboard's caret is the focus item, kept in
// view; the anchor is where the last range began.
//
// Menu mode (pop-up menus, combo boxes' lists): hovering selects (without scrolling), a
// release activates, the selection is not announced, the height follows the items, and rows
// hand their presses' capture to the list box.
//
// Notifications, sent at once through the list box: "NID_SELECTION_CHANGE",
// "NID_ITEM_ACTIVATED", "NID_ITEM_DOUBLE_CLICKED" (no parameter), "NID_ITEM_RIGHT_CLICK"
// (LHolder<int>: the item), "NID_ITEM_HOVER_CONDITION_CHANGE" and
// "NID_ITEM_LEFT_DRAG_CONDITION_CHANGE" (LItemConditionsParam, a row's change as its item's).
//
// Results: 0 done, 1 nothing to do, 0x80070057 for an index out of range, 0x80004005 for a
// step that failed. UI thread, like every control.

#include <cstdint>
#include <vector>

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/ListBoxItem.h"
#include "QZFramework/Controls/ScrollView.h"
#include "QZFramework/ObjectBase/TaggableObject.h"
#include "QZFramework/Utilities/Storage/Array.h"

namespace QZ {

class LControlDescriptor;

// One item of a list box. The checked list box keeps a longer record (QZ::LCheckedItemRecord).
struct LListItemRecord {
  // The item's data; its text form is the item's text, none the empty text.
  ConstRCPtr<LTaggableObject> data;
  // 1.0 selected, 0.0 not; selected means 0.5 or more.
  double selected = 0.0;
  // Shown by the row as its marked looks.
  bool marked = false;
  // Shown as a separator row: look 13, no text.
  bool separator = false;
  // Skipped by the rows, the keys and scrolling; keeps its index.
  bool hidden = false;
};

// A control that drops a list box down (a combo box, a combo menu): a list box in menu mode
// under one hides when the left button is released outside that parent.
class IListBoxDropDownOwner {
public:
  virtual ~IListBoxDropDownOwner() = default;
  // Whether the list box under it makes its rows only when it first shows or the owner calls
  // LListBox::MakeWaitingRows: until then the closed list has its items but no rows. Asked
  // once, as the list box is initialised. Here: false.
  virtual bool ListRowsWaitForOpening() const { return false; }
};

class LListBox : public LHandlerTableControl<LListBox, LScrollView> {
public:
  // Looks of the list box itself.
  static constexpr int32_t kLookNormal = 0;
  static constexpr int32_t kLookDisabled = 1;
  static constexpr int32_t kLookFocused = 2;
  // The row height when the template measures below one pixel.
  static constexpr int32_t kDefaultRowHeight = 14;
  // The highest "ITEM.nn" number a string table may name.
  static constexpr int64_t kHighestTableItem = 65535;

  LListBox(const RCPtr<LControl>& parent, const WString& name);
  ~LListBox() override;

  // --- The control's and the scroll view's operations ----------------------------------

  // The scroll view's, then the handler table; the bars keep their own extent (no automatic
  // one). With a "templateItem": its descriptor kept, the row measured on it, the template
  // detached, the vertical bar scrolling by rows, the pool filled and the items of the
  // string table loaded. Without one, the fixed rows "item1", "item2" ... up to the first
  // number missing, each with an item of its own text. The scroll view's failure as it is.
  QZResult Initialize() override;
  // After the scroll view's: a change of the enabled or focus condition shows look 1 when
  // the list box is disabled, else 2 when it has the focus, else 0 (0 for a look the skin
  // lacks).
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // A row that leaves the list box leaves the pool (not while a skin is applied: the fixed
  // rows come back).
  QZResult OnChildRemoved(const RCPtr<LControl>& child, uint32_t index) override;
  // The scroll view's, then rows as wide as the widest item placed again for the new
  // width, rows as the view needs and the top item kept in view.
  QZResult UpdateClientArea() override;
  // A new vertical offset shows the item it names (offset / row height, halves to even,
  // hidden items passed over) in the top row and refills the rows; then the scroll view's.
  QZResult ScrollContent(const PointT<double>& oldOffset, const PointT<double>& newOffset) override;
  // The scroll view's, then rows as the view needs.
  QZResult OnChildLayoutChanged(const RCPtr<LControl>& child) override;
  // The scroll view's with the pool left alone, then rows as the view needs, every row
  // refilled and the content width measured again. On a skin switch the rows cloned from
  // the old template go and the new template's take their place.
  QZResult ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
  // Skin switch: a "templateItem" entry without a control makes the template (measured,
  // then detached): 0; any other entry without a control: 0x80004005. A fixed row ("item"
  // and its number) takes its place in the pool again; then the control's own set-up.
  QZResult SetUpSubControls(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor) override;
  // Menu mode: releasing the left button over an item activates it (under a parent);
  // released elsewhere, a list under an IListBoxDropDownOwner hides when the point lies
  // outside that parent. 0.
  QZResult HandleLeftButtonUp(const RCPtr<LMouseButtonParam>& param) override;
  // Menu mode: while the list box holds the capture and the left button drags, the
  // selectable item under the pointer is selected (none under it clears the selection). 0.
  QZResult HandleMouseMove(const RCPtr<LPointWithModifiersParam>& param) override;
  // Up, Down (with Shift: the range from the anchor under multiple selection), Left and
  // Right (to "hBar"), Page Up and Page Down (to "vBar"), Home and End (to "hBar", then
  // "vBar"), Return (activates the focus item). 0 for a key used, else 1.
  QZResult OnKeyDown(const RCPtr<LKeyParam>& param) override;
  // The vertical bar came or went: the horizontal extent follows the widest item when the
  // template's width refers to another control.
  QZResult OnScrollBarShownChanged(int32_t vertical) override;

  // --- The list box's own, in slot order -------------------------------------------------

  // The number of item records.
  virtual int32_t GetItemCount() const;
  // Appends empty items (InsertItem) or removes items from the end (RemoveItem) until there
  // are count, then lays the list out once for them all: count when it got there, else the
  // negated count reached; 0x80070057 for a negative count.
  virtual int32_t SetItemCount(int32_t count);
  // Removes an item: deselected first, then erased; an anchor and a focus both after it move
  // down with their items, one of them after it clears both. The rows refill, the content
  // width is measured again when the item was the widest, the top item stays in view. The
  // new count; 0x80070057 out of range.
  virtual int32_t RemoveItem(int32_t index);
  // Scrolls to the top, clears the selection and erases every item (last first, stopping
  // at a failure): 0; 1 when empty; 0x80004005 when an erasure failed.
  virtual QZResult RemoveAllItems();
  // SortItems over every item: true unless it failed.
  virtual bool SortAllItems();
  // Adopts row as the measure of all rows: its width without text and its height with a
  // text of high and low glyphs (kDefaultRowHeight when below 1). In menu mode the list
  // box takes the height of its items. 0; 0x80070057 for null.
  virtual QZResult MeasureItemTemplate(const RCPtr<LControl>& row);
  // Hook before "NID_SELECTION_CHANGE" goes out (also in menu mode, where it does not). 0.
  virtual QZResult OnSelectionChanged();
  // Hook when index is activated, before "NID_ITEM_ACTIVATED". 0.
  virtual QZResult OnItemActivated(int32_t index);
  // The item row shows; -1 when row is not a row of the pool or shows no item.
  virtual int32_t GetItemOfRow(const LControl* row) const;
  // Hides or shows an item; hiding deselects it and keeps a top item in view. 0; 1 when
  // unchanged; 0x80070057 out of range.
  virtual QZResult SetItemHidden(int32_t index, bool hidden);
  // Creates one more row at the bottom of the pool from the template and fills it. 0;
  // 0x80004005 without a template or when the row cannot be made.
  virtual QZResult CreateItemControls();
  // Fills the row that shows index (an index at or past the count empties the row): text,
  // selection, flags, enabled while index is an item. 0 with row set; 1 when no row shows
  // index (row null).
  virtual QZResult RefreshItemRow(int32_t index, RCPtr<LListBoxItem>& row);
  // The pool position of the row that shows index; -1 when the item is hidden, above the
  // top item or below the last row.
  virtual int32_t GetRowOfItem(int32_t index) const;
  // The template's width plus the item's text width in the first row's font, measured by
  // the application's measurement renderer; 0 out of range or without rows.
  virtual int32_t MeasureItemWidth(int32_t index);
  // The items not hidden, times the row height.
  virtual double GetContentHeight() const;
  // Whether keys, menu-mode drags and ActivateItem may pick index. Here: true.
  virtual bool IsItemSelectable(int32_t index);
  // Exchanges two records (indexes the caller checked).
  virtual QZResult SwapItems(int32_t a, int32_t b);
  // Sorts count items from first by their texts, ascending, without regard to case (the
  // framework's case mapping); the anchor and the focus follow their items, the rows
  // refill, the focus stays in view. 0; 1 for no items; 0x80070057 for a range outside the
  // list.
  virtual QZResult SortItems(int32_t first, int32_t count);
  // The record of index (an index the caller checked).
  virtual LListItemRecord& GetItemRecord(int32_t index);
  // Inserts an empty record (no data, not selected, no flags) before index (the caller
  // checked 0..count). 0.
  virtual QZResult InsertItemRecord(int32_t index);
  // Erases the record of index (the caller checked it). 0.
  virtual QZResult RemoveItemRecord(int32_t index);

  // --- Items ------------------------------------------------------------------------------

  // Inserts an item with data before index (0..count): the anchor and the focus follow
  // their items, the rows refill, the content width grows with a wider item, a menu grows,
  // a sorted list sorts again. index; 0x80070057 out of range.
  int32_t InsertItem(int32_t index, const ConstRCPtr<LTaggableObject>& data);
  // Replaces an item's data (nothing out of range) and refills its row; the content width
  // follows. 0; 0x80070057 out of range.
  QZResult SetItemData(int32_t index, const ConstRCPtr<LTaggableObject>& data);
  // Every field of an item at once (the selection counted), its row refilled. 0;
  // 0x80070057 out of range.
  QZResult SetItem(int32_t index, const ConstRCPtr<LTaggableObject>& data, double selectedValue, bool marked,
                   bool separator);
  // The item's data and text (null and empty out of range).
  ConstRCPtr<LTaggableObject> GetItemData(int32_t index);
  WString GetItemText(int32_t index);
  // Record flags, stored and shown: 1 for an item, 0 out of range.
  int32_t SetItemMarked(int32_t index, bool marked);
  int32_t SetItemSeparator(int32_t index, bool separator);
  bool IsItemHidden(int32_t index);
  // The highest index whose text equals text (case-insensitive unless caseSensitive); -1.
  int32_t FindItemByText(const WString& text, bool caseSensitive);
  // The first item with that text after after (an after outside -1..count-1 counts as -1),
  // then from item 0 up to after, selected alone: SelectItems' answer; -1 when none.
  int32_t SelectItemByText(const WString& text, int32_t after, bool caseSensitive);

  // --- Selection --------------------------------------------------------------------------

  // Selects first..last (either order; a negative last means first). Exclusive: every
  // other item is deselected. The anchor becomes first and the focus last, kept in view.
  // Selecting the one selected item again only brings it into view. A change runs
  // OnSelectionChanged and sends "NID_SELECTION_CHANGE" (not in menu mode). first;
  // 0x80070057 for an index out of range.
  int32_t SelectItems(int32_t first, int32_t last, bool exclusive);
  // Stores an item's selection value (counted) and refills its row; sends nothing. 0;
  // 0x80070057 out of range.
  QZResult SetItemSelected(int32_t index, double value);
  // Deselects a selected item and moves the anchor and the focus to a selected neighbour
  // (see the list box's rules); announces the change. 0; 1 out of range or not selected.
  QZResult DeselectItem(int32_t index);
  // Deselects every item (last first), clears the anchor and the focus, announces a
  // change. 0; 1 when nothing was selected.
  QZResult ClearSelection();
  bool IsItemSelected(int32_t index);
  // The selection value; 0.0 out of range.
  double GetItemValue(int32_t index);
  // The selected items, ascending (a list the list box keeps until the next call).
  const Array<uint32_t>& GetSelectedIndices();
  uint32_t GetSelectedCount() const { return mSelectedCount; }
  int32_t GetAnchorIndex() const { return mAnchorIndex; }
  int32_t GetFocusIndex() const { return mFocusIndex; }
  // Scrolls so that index (hidden: the nearest shown item before it, else after it) lies in
  // the rows that show whole. 0; 1 when nothing can show it; 0x80070057 out of range.
  QZResult EnsureItemVisible(int32_t index);
  // Activates a selectable item: OnItemActivated, a menu hides, then "NID_ITEM_ACTIVATED"
  // under a parent. 0; 0x80070057 out of range or not selectable.
  QZResult ActivateItem(int32_t index);
  // The item ActivateItem activated last (what "NID_ITEM_ACTIVATED" is about); -1 before.
  int32_t GetActivatedIndex() const { return mActivatedIndex; }
  // The items of table's "ITEM.nn" entries replace every item ("ITEM.00" is item 0; numbers
  // never named give empty items): 0; 0x80070057 without a table, nothing changed. An owner
  // fills the list from its own table with it (a combo box's items).
  QZResult LoadItemsFromStringTable(const RCPtr<LStringTable>& table);

  // Owners' choices (the program keeps the defaults: single selection, mode 1, unsorted).
  void SetMultipleSelection(bool multiple) { mMultipleSelection = multiple; }
  bool IsMultipleSelection() const { return mMultipleSelection; }
  // 1: extended selection; anything else: every click toggles.
  void SetSelectionMode(int32_t mode) { mSelectionMode = mode; }
  int32_t GetSelectionMode() const { return mSelectionMode; }
  // Sorts every item after each insertion (and at once when switched on).
  void SetKeepSorted(bool keepSorted);
  bool IsKeepSorted() const { return mKeepSorted; }
  // Menu mode on the list box and every row.
  void SetMenuMode(bool menuMode);
  bool IsMenuMode() const { return mMenuMode; }

  // --- Rows -------------------------------------------------------------------------------

  // The row at pool position row; null beyond the pool.
  RCPtr<LListBoxItem> GetRowControl(int32_t row) const;
  int32_t GetRowCount() const { return int32_t(mRowControls.size()); }
  // The rectangle of the row that shows index, in the list box's coordinates; zeros when
  // none does.
  RectT<double> GetItemRect(int32_t index) const;
  // The item under point (the list box's coordinates): rows tested last to first; -1
  // outside the client rectangle or over no item.
  int32_t GetItemAtPoint(const PointT<int32_t>& point) const;
  // Shows look on the row of index when the row has it. 0; 1 when no row shows index;
  // 0x80070057 for a look the row lacks.
  QZResult SetItemRowLook(int32_t index, int32_t look);
  // Sets or clears the forced hover of the row of index. 0; 1 when no row shows index.
  QZResult SetItemRowHover(int32_t index, bool hover);
  // Makes the height, and the minimum and maximum heights that exceed the non-client
  // height, the non-client height plus whole rows (at least one). 0.
  QZResult SnapHeightToRows();
  int32_t GetRowHeight() const { return mRowHeight; }
  int32_t GetRowWidth() const { return mRowWidth; }
  int32_t GetContentWidth() const { return mContentWidth; }
  uint32_t GetFirstShownIndex() const { return mFirstShownIndex; }
  const RCPtr<LControlDescriptor>& GetTemplateDescriptor() const { return mTemplateDescriptor; }

  // The row that takes a press's capture in place of row (its item moved to another row
  // while the press was handled), once; null when none.
  RCPtr<LListBoxItem> TakePressHandOver(const LListBoxItem* row);
  // A list whose owner lets its rows wait (IListBoxDropDownOwner::ListRowsWaitForOpening)
  // makes them now, and measures its items' widths: the owner calls it as the list opens,
  // before placing it. Nothing once the rows were made (showing the list makes them too).
  void MakeWaitingRows();

protected:
  // Keeps the pool full: rows are added while the last one ends above the bottom of the
  // client area in view. Nothing while rows are made or the skin applied, or before the
  // template is measured.
  void FillPool();
  // Refills the rows that show index from and the items after it (and the empty rows).
  void UpdateRows(int32_t from);
  // The widest item's width, and the rows laid out again when it changed.
  void RecomputeContentWidth();
  // After a batch of item changes (mLoadingItems set while they ran): the extent, the rows
  // from the first item changed, the content width and a menu's height, in the order a single
  // change updates them; sort: a sorted list sorts again; keepTopInView: the top item stays
  // in view, an emptied list scrolls back to the top (items were removed).
  void SettleItems(int32_t from, bool sort, bool keepTopInView);
  // The list box's height in menu mode: the items' rows (at least one) and the non-client
  // height.
  void ResizeToItems();
  // A row joined the pool: the list box hears its presses, releases, drags and hover; it
  // takes the menu mode and the drag threshold. The first failed subscription's code; 0.
  QZResult AdoptRow(const RCPtr<LListBoxItem>& row);

private:
  // SelectItems, the focus item brought into view only when bringIntoView.
  int32_t SelectRange(int32_t first, int32_t last, bool exclusive, bool bringIntoView);
  // Whether the record of index (an item of the list) is hidden.
  bool IsHiddenAt(int32_t index) const;
  // The k-th item shown from the top item (hidden ones passed over); past the end: count
  // plus how far past it.
  int32_t ItemAtRowPosition(int32_t position) const;
  // The items not hidden in first..last - 1 (indexes past the count count as shown).
  int32_t ShownItemsBetween(int32_t first, int32_t last) const;
  // The nearest item not hidden at or before index (step -1) or after it (step 1); -1.
  int32_t NearestShownItem(int32_t index, int32_t step) const;
  // The nearest selectable, shown item after from in direction step; -1.
  int32_t NearestSelectableItem(int32_t from, int32_t step);
  // The item a vertical offset shows at the top; 0 without items.
  uint32_t TopItemForOffset(double offset) const;
  // The top item follows the current offset; the rows refill when it moves.
  void SyncTopItem();
  // The vertical extent (every row not hidden) and, when the template asks for it, the
  // horizontal one (the widest item).
  void UpdateClientExtent();
  // The announcement of a selection change.
  void AnnounceSelectionChange();
  // A left click on an item with multiple selection, by its modifiers.
  void HandleItemClick(int32_t index, const RCPtr<LMouseButtonParam>& param);
  // After a press on row selected index: the row that shows index now takes the press.
  void HandOverPress(const RCPtr<LListBoxItem>& row, int32_t index);
  // The fixed rows "item1", "item2" ... of a list box without a template: how many.
  int32_t AdoptFixedRows();
  // Whether the template's width refers to another control (the rows then follow the
  // widest item, and so does the horizontal extent).
  bool RowsFollowContentWidth() const;
  // Where a row as wide as the widest item stands across: centred on the client area when
  // it fits there, else from the client area's left edge (the rest scrolls into view).
  LayoutPosition WideRowPosition(bool docked) const;
  // Every row as wide as the widest item, where WideRowPosition puts it, when the rows
  // follow the widest item (or there is no template); rows placed so already stay.
  void PlaceWideRows();
  // Offers key to a scroll bar as its parent's sibling key: whether the bar used it.
  bool OfferKeyToBar(const RCPtr<LScrollbar>& bar, const RCPtr<LKeyParam>& key);
  void SetFirstShown(uint32_t first);

  QZResult OnRowMouseDown(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  QZResult OnRowMouseUp(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  QZResult OnRowConditionChange(const RCPtr<LNotificationDistributor>& distributor,
                                const RCPtr<LNotification>& notification);

  int32_t mRowWidth = 0;
  int32_t mContentWidth = 0;
  std::vector<LListItemRecord> mItems;
  // The pool, top row first.
  std::vector<RCPtr<LListBoxItem>> mRowControls;
  RCPtr<LControlDescriptor> mTemplateDescriptor;
  int32_t mAnchorIndex = -1;
  int32_t mFocusIndex = -1;
  bool mMultipleSelection = false;
  int32_t mSelectionMode = 1;
  int32_t mPendingClickIndex = -1;
  bool mMenuMode = false;
  bool mKeepSorted = false;
  int32_t mRowHeight = kDefaultRowHeight;
  Array<uint32_t> mSelectedIndices;
  uint32_t mSelectedCount = 0;
  int32_t mRowDragThreshold = 1;
  uint32_t mFirstShownIndex = 0;
  bool mCreatingRows = false;
  bool mApplyingDescriptor = false;
  bool mTemplateMeasured = false;
  // The owner lets the rows wait for the list's first showing: the pool stays empty.
  bool mRowsWaiting = false;
  bool mLoadingItems = false; // a batch of item changes runs: it settles the list at its end
  // The hidden items: while none is, the walks over items are skipped.
  uint32_t mHiddenCount = 0;
  int32_t mActivatedIndex = -1;
  // The row that takes the capture of the press being handled, and the row pressed.
  RCPtr<LListBoxItem> mHandOverRow;
  const LListBoxItem* mHandOverFrom = nullptr;
};

} // namespace QZ
