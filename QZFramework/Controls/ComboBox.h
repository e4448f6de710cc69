#pragma once
// QZ::LComboBox ("Framework.ComboBox", "Framework.ComboTextBox"): shows the text of its
// selected item and drops its list of items (the mandatory part "listBox", a QZ::LListBox)
// below itself, or above when there is more room there, always inside the window. A
// "Framework.ComboTextBox" skin adds an editable part "textBox" whose validated text picks
// the item of that text. Every selector of the editor is one.
//
//   factory->RegisterControlCreateFunction(u"Framework.ComboBox", &QZ::CreateControlOf<QZ::LComboBox>);
//   auto channel = QZ::DynamicCast<QZ::LComboBox>(factory->CreateControl(panel, entry));
//   // items: "ITEM.00", "ITEM.01" ... of its string table, or added:
//   channel->AddItem(u"Channel 17");
//   listener->RegisterNotification(channel, u"NID_SELECTION_CHANGE");
//   channel->SelectItem(3);                        // text "Channel 4", "NID_SELECTION_CHANGE"
//   int32_t chosen = channel->GetSelectedIndex();  // -1 for none
//
// Create params: "INITIAL_SELECTED_INDEX" (a decimal integer, read in any locale; 0 when
// absent or not a number) selects an item at creation, silently; one at or past the item
// count selects nothing.
//
// Opening: a press on the box, Down or Return; while the list is open the list has the
// keyboard, Up and Down move its highlight, Return or a click picks an item, Escape closes
// it, and a press on the box, a release outside it or the focus leaving close it. A press on
// the box, a drag into the list and a release on an item pick it in one gesture.
//
// Notifications, from the combo box: "NID_DROPDOWN_OPENING" (no parameter) as the list
// opens, before it is measured (listeners may refill it); "NID_SELECTION_CHANGE" (no
// parameter) when the selected index changes to an item; "NID_TEXTBOX_VALIDATING",
// "NID_TEXTBOX_VALIDATED" and "NID_TEXTBOX_TEXT_CHANGE" passed on from "textBox" with its
// parameter.
//
// Looks (7): 0 closed, 1 closed with the focus, 2 closed under the pointer, 3 both, 4 open,
// 5 open under the pointer, 6 disabled.
//
// UI thread, like every control.

#include <cstdint>

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/DropDownControl.h"

namespace QZ {

class LComboBox : public LHandlerTableControl<LComboBox, LDropDownControl> {
public:
  static constexpr int32_t kLookClosed = 0;
  static constexpr int32_t kLookClosedFocused = 1;
  static constexpr int32_t kLookClosedHover = 2;
  static constexpr int32_t kLookClosedHoverFocused = 3;
  static constexpr int32_t kLookOpenFocused = 4;
  static constexpr int32_t kLookOpenHoverFocused = 5;
  static constexpr int32_t kLookDisabled = 6;
  // Space kept free between the open list and the window's top or bottom edge.
  static constexpr int32_t kWindowMargin = 5;

  LComboBox(const RCPtr<LControl>& parent, const WString& name);

  // --- The control's operations --------------------------------------------------------

  // The drop-down control's, then the parts: "listBox" (mandatory) switched to drop-down
  // (menu) mode, hidden and filled from the combo box's string table; "textBox" heard when
  // there is one; then the initial selection. 0; QZ_E_FAIL when the base fails or there is
  // no list box.
  QZResult Initialize() override;
  // The control's, then "INITIAL_SELECTED_INDEX". 0.
  QZResult ApplyCreateParams() override;
  // Sets the text (with its notification); then the first item of that text is selected,
  // or none. 0; 1 when the text is the shown one.
  QZResult SetText(const WString& text) override;
  // The drop-down control's (a press opens or closes the list), then the press point is
  // kept for the list and the look follows.
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // Closed: Down or Return (no modifiers) opens the list: 0. Open: Escape closes it: 0.
  // Anything else: 1.
  QZResult OnKeyDown(const RCPtr<LKeyParam>& param) override;
  // A key the list did not use: Escape closes the list: 0. Anything else goes on as the
  // control's does.
  QZResult HandleKey(const RCPtr<LKeyParam>& param) override;
  // The list is hidden and sized again: at least as wide as the box and one row high where
  // its skin sets no limits. 0.
  QZResult OnLookChanged() override;

  bool IsDroppedDown() override;
  // true: the closed list has its items but makes its rows as it first opens.
  bool ListRowsWaitForOpening() const override { return true; }
  // Opening: "NID_DROPDOWN_OPENING"; the list goes below the box when its items fit there
  // or there is at least as much room below as above (5 pixels kept from the window's edges),
  // else above, no taller than that room (nor than the maximum its skin gives it); its
  // highlight goes to the first item of the box's text (item 0 when none), in view; a press
  // on the box still held passes its capture to the list; the list takes the keyboard.
  // Closing hides the list. 0; QZ_E_FAIL without a list.
  QZResult ShowDropDown(bool show) override;

  // --- The combo box's own, in slot order -----------------------------------------------

  // The list's items become count (new ones empty, surplus ones cut from the end); a
  // selection at count or after becomes none; an open list is placed again. The list's
  // answer (count, or the negated count reached); QZ_E_FAIL without a list.
  virtual int32_t SetItemCount(int32_t count);
  // Selects item index: the box (and "textBox") shows its text, and "NID_SELECTION_CHANGE"
  // goes out when the selected index changed. A negative index selects nothing and keeps
  // the text, silently. The selected index; -1 when nothing is (also for an index the list
  // refuses, the text unchanged).
  virtual int32_t SelectItem(int32_t index);
  // Shows the look of the current state (see Looks). 0.
  virtual QZResult GetLookIndex();

  // --- Items --------------------------------------------------------------------------------

  // Inserts an item with data before index: a selection at or after it moves with its
  // item, silently; with nothing selected, an item of the box's text becomes the selection.
  // The new item's index; QZ_E_INVALIDARG for null data or an index the list refuses;
  // QZ_E_FAIL without a list.
  int32_t InsertItem(int32_t index, const ConstRCPtr<LTaggableObject>& data);
  // Appends an item of text (InsertItem at the end).
  int32_t AddItem(const WString& text);
  // Replaces item index with an item of text; the box shows it when it is the selected
  // one. 0; QZ_E_INVALIDARG for an index out of range or a null text; QZ_E_FAIL without a list.
  QZResult SetItem(int32_t index, const char16_t* text);
  // The item's data (null out of range or without a list) and text (empty then).
  ConstRCPtr<LTaggableObject> GetItemData(int32_t index);
  WString GetItemText(int32_t index);
  int32_t GetItemCount() const;
  int32_t GetSelectedIndex() const { return mSelectedIndex; }
  const RCPtr<LListBox>& GetListBox() const { return mListBox; }
  // The press point the list takes the capture at, in the list's coordinates.
  PointT<double> GetPressPoint() const { return {mPressX, mPressY}; }

private:
  // The first item whose text is text; -1 when none.
  int32_t FindFirstItem(const WString& text);
  // The last press on the box in the list's coordinates.
  void UpdatePressPoint();
  // Sizes the list per axis where its skin gives it no limits.
  void SizeList();
  // Places the open list above or below the box, within the window's client area.
  void PlaceList(const RCPtr<IRootWindow>& window);
  // Closes the list (a hidden list hands a focus it has back to the box).
  void HideList();

  QZResult OnListVisibilityChange(const RCPtr<LNotificationDistributor>& distributor,
                                  const RCPtr<LNotification>& notification);
  QZResult OnItemActivated(const RCPtr<LNotificationDistributor>& distributor,
                           const RCPtr<LNotification>& notification);
  QZResult OnTextBoxNotification(const RCPtr<LNotificationDistributor>& distributor,
                                 const RCPtr<LNotification>& notification);
  QZResult OnTextBoxValidated(const RCPtr<LNotificationDistributor>& distributor,
                              const RCPtr<LNotification>& notification);
  QZResult OnTextBoxFocusChange(const RCPtr<LNotificationDistributor>& distributor,
                                const RCPtr<LNotification>& notification);

  RCPtr<LListBox> mListBox;
  int32_t mSelectedIndex = -1;
  int32_t mInitialSelectedIndex = 0;
  double mPressX = 0.0;
  double mPressY = 0.0;
  // "NID_DROPDOWN_OPENING" is being sent.
  bool mOpening = false;
};

} // namespace QZ
