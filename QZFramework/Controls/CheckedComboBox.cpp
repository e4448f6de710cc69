#include "QZFramework/Controls/CheckedComboBox.h"

#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/CheckedListBox.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {

LCheckedComboBox::LCheckedComboBox(const RCPtr<LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

RCPtr<LButton> LCheckedComboBox::GetCheckBoxPart() const { return DynamicCast<LButton>(FindChildByName(u"checkBox")); }

QZResult LCheckedComboBox::Initialize() {
  if (Failed(LComboBox::Initialize())) {
    return QZ_E_FAIL;
  }
  const RCPtr<LCheckedComboBox> self(this);
  mCheckedList = DynamicCast<LCheckedListBox>(GetListBox());
  if (!mCheckedList) {
    return QZ_E_FAIL;
  }
  if (const RCPtr<LButton> box = GetCheckBoxPart()) {
    box->SetUseParentToolTip(true);
  }
  mCheckedList->SetMenuMode(true);
  if (!mCheckedList->GetCheckImages().empty()) {
    SetPassiveCheckBox(true);
  }
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  // Refused only for a name that cannot be interned.
  GetHandlerTable()->AddHandler(&LCheckedComboBox::OnListCheckChange, RCPtr<LNotificationDistributor>(mCheckedList),
                                u"NID_ITEM_CHECK_CHANGE");
  return QZ_OK;
}

void LCheckedComboBox::SetPassiveCheckBox(bool passive) {
  mPassiveCheckBox = passive;
  if (const RCPtr<LButton> box = GetCheckBoxPart()) {
    box->SetPassive(passive);
  }
}

void LCheckedComboBox::ShowPicture(const ConstRCPtr<LBitmap>& picture) {
  const RCPtr<LButton> box = GetCheckBoxPart();
  if (!box) {
    return;
  }
  for (uint32_t look = box->GetLooks().GetCount(); look-- > 0;) {
    box->SetLookPartImage(picture, ResizeType::Center, int32_t(look), true);
  }
}

int32_t LCheckedComboBox::SelectItem(int32_t index) {
  const RCPtr<LCheckedComboBox> self(this);
  if (const RCPtr<LButton> box = GetCheckBoxPart(); box && mCheckedList) {
    if (index >= 0 && index < mCheckedList->GetItemCount()) {
      box->SetValue(mCheckedList->IsItemChecked(index) ? 1.0 : 0.0);
      ShowPicture(mCheckedList->GetItemPicture(index));
    } else {
      ShowPicture(nullptr);
    }
  }
  return LComboBox::SelectItem(index);
}

QZResult LCheckedComboBox::OnLookChanged() {
  if (mCheckedList && GetSelectedIndex() >= 0) {
    ShowPicture(mCheckedList->GetItemPicture(GetSelectedIndex()));
  }
  return LComboBox::OnLookChanged();
}

QZResult LCheckedComboBox::GetLookIndex() {
  const RCPtr<LCheckedComboBox> self(this);
  const QZResult result = LComboBox::GetLookIndex();
  const int32_t look = GetCurrentLookIndex();
  if (mCheckedList && mCheckedList->GetCheckedCount() > 0 && look >= 0 && look < kCheckedLooks) {
    ShowLook(look + kCheckedLooks);
  }
  return result;
}

QZResult LCheckedComboBox::OnListCheckChange(const RCPtr<LNotificationDistributor>&,
                                             const RCPtr<LNotification>& notification) {
  const RCPtr<LCheckedComboBox> self(this);
  if (mCheckedList->GetCheckedCount() <= 1) {
    GetLookIndex();
  }
  Announce(u"NID_ITEM_CHECK_CHANGE", notification->GetParameter());
  return QZ_FALSE;
}

} // namespace QZ
