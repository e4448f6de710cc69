#pragma once
// QZ::LMultiColumnListBox ("Framework.listbox2ColumnSortable"): a table shown as list boxes
// side by side, one per column ("listboxNoScroll1", "listboxNoScroll2" ...), with an
// optional header button above each ("buttonColumnHeader1" ...). The rows stay aligned:
// selecting, hovering and scrolling one column does the same in the others, and the box
// reports one "NID_SELECTION_CHANGE" for the whole table. A click on a header sorts every
// column by that column's texts (without regard to case), ascending first, then
// alternating; the selection follows its rows.
//
//   auto table = QZ::DynamicCast<QZ::LMultiColumnListBox>(factory->CreateControl(panel, entry));
//   table->GetColumns().GetAt(0)->InsertItem(0, QZ::MakeTaggableString(u"Lead"));
//   table->GetColumns().GetAt(1)->InsertItem(0, QZ::MakeTaggableString(u"12"));
//   listener->RegisterNotification(table, u"NID_SELECTION_CHANGE");
//
// Notifications of the box (no parameter): "NID_SELECTION_CHANGE" once the columns agree
// again; "NID_ITEM_ACTIVATED", "NID_ITEM_DOUBLE_CLICKED", "NID_ITEM_RIGHT_CLICK" whenever a
// column sends one. The columns scroll with the box's own scroll bar, docked in place.
//
// UI thread, like every control.

#include <vector>

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Panel.h"

namespace QZ {

class LButton;
class LListBox;

class LMultiColumnListBox : public LHandlerTableControl<LMultiColumnListBox, LPanel> {
public:
  LMultiColumnListBox(const RCPtr<LControl>& parent, const WString& name);

  // The panel's, then the columns and headers by name (from 1 until a name is missing),
  // their notifications heard, each docked on the vertical axis; every column sorts
  // ascending first. The panel's result; QZ_E_FAIL when there are headers and their number
  // is not the columns'.
  QZResult Initialize() override;
  // Columns after the first never take the focus; the box's extent follows the columns. The
  // panel's result.
  QZResult OnLookChanged() override;
  // Every column takes the new vertical offset (keeping its horizontal one), the first
  // without hearing it back; then the panel's.
  QZResult ScrollContent(const PointT<double>& oldOffset, const PointT<double>& newOffset) override;
  // The last column's change sets the extent again; then the panel's.
  QZResult OnChildLayoutChanged(const RCPtr<LControl>& child) override;
  // At the first column: the box's width less its shown vertical bar, the first column's
  // look height. Empty without columns.
  RectT<double> GetContentRect() override;

  // Sorts every column's rows by the texts of column, ascending or descending as that
  // column's direction says, then flips it; rows selected before stay selected at their new
  // places in every column, and no column announces its selection meanwhile. 0;
  // QZ_E_INVALIDARG for a column that is not one. Throws "Failed Result : QZRESULT = ... :
  // QZ::LMultiColumnListBox::PerformSort : Controls\MultiColumnListBox : Line 725" when a
  // column's selection handler cannot be suspended (Line 768: restored).
  QZResult PerformSort(int32_t column);

  // Row mode (on): a row spans the columns; off: a selection in one column clears the
  // others.
  void SetRowMode(bool rowMode) { mRowMode = rowMode; }
  bool GetRowMode() const { return mRowMode; }
  // The direction of column's next sort; false for a column that is not one.
  bool IsSortAscending(int32_t column) const;
  int32_t GetHoveredRow() const { return mHoveredRow; }
  const RCPtrArray<LListBox, 1, 0>& GetColumns() const { return mColumns; }
  const RCPtrArray<LButton, 1, 0>& GetHeaders() const { return mHeaders; }

private:
  class Suspension;

  // The extent: to the last column's right edge, as high as the first column's content.
  void UpdateExtent();
  int32_t IndexOfColumn(const LNotificationDistributor* distributor) const;

  QZResult OnColumnSelection(const RCPtr<LNotificationDistributor>& distributor,
                             const RCPtr<LNotification>& notification);
  QZResult OnColumnHover(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  QZResult OnColumnItemNotification(const RCPtr<LNotificationDistributor>& distributor,
                                    const RCPtr<LNotification>& notification);
  QZResult OnFirstColumnScrolled(const RCPtr<LNotificationDistributor>& distributor,
                                 const RCPtr<LNotification>& notification);
  QZResult OnFirstColumnExtent(const RCPtr<LNotificationDistributor>& distributor,
                               const RCPtr<LNotification>& notification);
  QZResult OnHeaderClick(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);

  RCPtrArray<LListBox, 1, 0> mColumns;
  RCPtrArray<LButton, 1, 0> mHeaders;
  std::vector<bool> mSortAscending;
  bool mRowMode = true;
  int32_t mHoveredRow = -1;
};

} // namespace QZ
