#pragma once
// QZ::LCheckedComboBox ("Framework.CheckedComboBox", "Framework.ComboBoxWithIcons"): a
// combo box whose list ("listBox") is a checked list (QZ::LCheckedListBox) and whose closed
// box has a "checkBox" part (a QZ::LButton) showing the check and the picture of the
// selected item. Items are checked in the open list, through the rows' boxes; the box
// passes each change on as its own "NID_ITEM_CHECK_CHANGE" (LIndexedDataWithValueParam).
//
//   factory->RegisterControlCreateFunction(u"Framework.CheckedComboBox", &QZ::CreateControlOf<QZ::LCheckedComboBox>);
//   listener->RegisterNotification(combo, u"NID_ITEM_CHECK_CHANGE");
//   combo->GetCheckedList()->SetItemChecked(2, true);   // quietly
//
// Looks: 14, the combo box's seven (0 closed ... 6 disabled) and the same seven from 7 on
// while at least one item is checked. The box's "checkBox" takes the box's tool tip and
// does nothing when clicked. UI thread, like every control.

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/ComboBox.h"

namespace QZ {

class LButton;
class LCheckedListBox;

class LCheckedComboBox : public LHandlerTableControl<LCheckedComboBox, LComboBox> {
public:
  // Added to a combo box look while an item is checked.
  static constexpr int32_t kCheckedLooks = 7;

  LCheckedComboBox(const RCPtr<LControl>& parent, const WString& name);

  // The combo box's, then the list must be a checked list; "checkBox" takes the box's tool
  // tip, is passive when the list has check images, and the list's check changes are
  // heard. 0; QZ_E_FAIL when the combo box's fails or the list is not a checked list.
  QZResult Initialize() override;
  // The selected item's picture on "checkBox", then the combo box's.
  QZResult OnLookChanged() override;
  // "checkBox" shows the item's check and picture (no picture for no item; the check
  // stays), then the combo box's selection: its answer.
  int32_t SelectItem(int32_t index) override;
  // The combo box's look, 7 higher while an item of the list is checked. 0.
  QZResult GetLookIndex() override;

  // Makes "checkBox" ignore the mouse and keep its skin's look (or not).
  void SetPassiveCheckBox(bool passive);
  bool GetPassiveCheckBox() const { return mPassiveCheckBox; }
  const RCPtr<LCheckedListBox>& GetCheckedList() const { return mCheckedList; }
  // The part "checkBox"; null without one.
  RCPtr<LButton> GetCheckBoxPart() const;

private:
  // Shows picture in every look of "checkBox", the last first.
  void ShowPicture(const ConstRCPtr<LBitmap>& picture);
  QZResult OnListCheckChange(const RCPtr<LNotificationDistributor>& distributor,
                             const RCPtr<LNotification>& notification);

  RCPtr<LCheckedListBox> mCheckedList;
  bool mPassiveCheckBox = false;
};

} // namespace QZ
