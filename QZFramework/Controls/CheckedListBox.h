#pragma once
// QZ::LCheckedListBox ("Framework.CheckedListBox", "Framework.ListBoxWithIcons"): a list box
// whose items carry a check, shown by the "checkBox" part (a QZ::LButton) of each row;
// QZ::LCheckedListBoxItem ("Framework.CheckedListBoxItem") is that row. The pop-up menu and
// the tree view are built on both.
//
//   auto list = QZ::DynamicCast<QZ::LCheckedListBox>(factory->CreateControl(panel, entry));
//   list->SetItemChecked(2, true);          // the row's box follows; no notification
//   listener->RegisterNotification(list, u"NID_ITEM_CHECK_CHANGE");   // the user's clicks
//
// A click on a row's box checks or unchecks its item (auto check, the default): the list
// selects the item and sends "NID_ITEM_CHECK_CHANGE". Without auto check the box keeps its
// state and the list sends "NID_ITEM_CHECKBOX_CLICKED": its owner decides and calls
// SetItemChecked. Both carry an LIndexedDataWithValueParam (the item, no data, the box's
// value). A click beside the box is an ordinary row click: it selects, never checks.
//
// Pictures: the box of an item's row shows the item's icon, or, when the list's own skin
// (a QZ::LCheckedListBox itself, not a class built on it) has a look 3, the bitmaps of that
// look's parts in turn (item i the picture i modulo their number); the boxes are then
// passive: the mouse passes through them and they keep the skin's look.
//
// UI thread, like every control.

#include <typeinfo>
#include <vector>

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/ListBox.h"

namespace QZ {

class LBitmap;
class LButton;

// The item record of a checked list: the list box's, the check and the icon.
struct LCheckedItemRecord : LListItemRecord {
  bool checked = false;
  // What the row's box shows for the item while the list has no check images; may be null.
  ConstRCPtr<LBitmap> icon;
};

class LCheckedListBoxItem : public LHandlerTableControl<LCheckedListBoxItem, LListBoxItem> {
public:
  LCheckedListBoxItem(const RCPtr<LControl>& parent, const WString& name);

  // The control's, then the handler table; the box takes the row's tool tip, never the
  // focus, and while the pointer is over it the row looks hovered. The control's failure.
  QZResult Initialize() override;

  // Shows look (weight 1.0, the others 0) with a repaint: false when the row has no such
  // look. flag is for rows built on this one.
  virtual bool ShowLookWithCheckBox(int32_t look, bool flag);

  // The box's value 1.0 or 0.0; its visibility. Nothing without a box.
  void SetChecked(bool checked);
  void ShowCheckBox(bool visible);
  // The part "checkBox" as a button; null when the row has none.
  RCPtr<LButton> GetCheckBoxPart() const;

private:
  QZResult OnCheckBoxHover(const RCPtr<LNotificationDistributor>& distributor,
                           const RCPtr<LNotification>& notification);
};

class LCheckedListBox : public LHandlerTableControl<LCheckedListBox, LListBox> {
public:
  LCheckedListBox(const RCPtr<LControl>& parent, const WString& name);

  // --- The control's and the list box's operations --------------------------------------

  // The handler table, then the list box's; for a list of exactly this class whose skin
  // has a look 3 (of at least 4), the bitmaps of that look's parts (client part first,
  // then the non-client parts) become the check images and the boxes passive. The list
  // box's result.
  QZResult Initialize() override;

  // The list box's, then the new row's box: passive as the list says, toggling itself
  // while auto check is on, and heard (its value changes with auto check, else its clicks).
  QZResult CreateItemControls() override;
  // The list box's, then the row's box: the item's check and picture, shown; an empty row
  // hides it (value 0.0, no picture). Setting the value is never heard back.
  QZResult RefreshItemRow(int32_t index, RCPtr<LListBoxItem>& row) override;
  // The list box's, then the checks counted again; the list box's answer.
  int32_t SetItemCount(int32_t count) override;
  // The list box's; a checked item removed leaves the count.
  int32_t RemoveItem(int32_t index) override;
  // The list box's, then the checks counted again.
  QZResult RemoveAllItems() override;
  // The checked records.
  int32_t GetItemCount() const override;
  QZResult SwapItems(int32_t a, int32_t b) override;
  LListItemRecord& GetItemRecord(int32_t index) override;
  QZResult InsertItemRecord(int32_t index) override;
  QZResult RemoveItemRecord(int32_t index) override;

  // --- The checked list's own, in slot order ----------------------------------------------

  // Whether a box toggles itself on a click (on) or only reports the click (off); every
  // row's box follows. 0.
  virtual QZResult SetAutoCheck(bool autoCheck);
  // The checked items counted from the records. 0.
  virtual QZResult RecountChecked();
  // The record of index (an index the caller checked).
  virtual LCheckedItemRecord& GetCheckedItemRecord(int32_t index);

  // --- Checks ----------------------------------------------------------------------------

  // Stores a changed check, counts it and refills its row; no notification. Nothing for an
  // index out of range.
  void SetItemChecked(int32_t index, bool checked);
  // false out of range.
  bool IsItemChecked(int32_t index);
  int32_t GetCheckedCount() const { return mCheckedCount; }
  bool GetAutoCheck() const { return mAutoCheck; }
  // What the box of index shows: a check image (index modulo their number) when the list
  // has them, else the item's icon; null out of range.
  ConstRCPtr<LBitmap> GetItemPicture(int32_t index);
  const std::vector<ConstRCPtr<LBitmap>>& GetCheckImages() const { return mCheckImages; }
  // Boxes that the mouse passes through and that keep the skin's look; every row's box
  // follows.
  void SetPassiveCheckBoxes(bool passive);
  bool GetPassiveCheckBoxes() const { return mPassiveCheckBoxes; }

private:
  // A row's box joins the list: passive, auto value and the route of auto check.
  void AdoptCheckBox(const RCPtr<LListBoxItem>& row);
  // The item of the row that owns box; -1 when it is none of the list's.
  int32_t ItemOfCheckBox(const RCPtr<LNotificationDistributor>& box) const;
  // Shows picture in every look of box, from the last to the first.
  static void ShowPicture(LButton& box, const ConstRCPtr<LBitmap>& picture);

  QZResult OnCheckBoxValueChange(const RCPtr<LNotificationDistributor>& distributor,
                                 const RCPtr<LNotification>& notification);
  QZResult OnCheckBoxClick(const RCPtr<LNotificationDistributor>& distributor,
                           const RCPtr<LNotification>& notification);

  bool mPassiveCheckBoxes = false;
  bool mAutoCheck = true;
  int32_t mCheckedCount = 0;
  std::vector<ConstRCPtr<LBitmap>> mCheckImages;
  std::vector<LCheckedItemRecord> mCheckedItems;
};

} // namespace QZ
