#include "QZFramework/Controls/CheckedListBox.h"

#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/ListParams.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {
namespace {

constexpr char16_t kValueChange[] = u"NID_VALUE_CHANGE";
constexpr char16_t kLeftClick[] = u"NID_LEFT_CLICK";
// The look whose parts are the check images.
constexpr int32_t kCheckImagesLook = 3;

} // namespace

// =============================================================================================
// The row
// =============================================================================================

LCheckedListBoxItem::LCheckedListBoxItem(const RCPtr<LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

QZResult LCheckedListBoxItem::Initialize() {
  const QZResult base = LListBoxItem::Initialize();
  if (Failed(base)) {
    return base;
  }
  const RCPtr<LControl> self(this);
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  if (const RCPtr<LButton> box = GetCheckBoxPart()) {
    GetHandlerTable()->AddHandler(&LCheckedListBoxItem::OnCheckBoxHover, RCPtr<LNotificationDistributor>(box),
                                  u"NID_HOVER_CONDITION_CHANGE"); // a box is a distributor
    box->SetFocusable(true);
    box->SetUseParentToolTip(true);
  }
  return base;
}

QZResult LCheckedListBoxItem::OnCheckBoxHover(const RCPtr<LNotificationDistributor>&,
                                              const RCPtr<LNotification>& notification) {
  const RCPtr<LConditionsParam> change = notification->GetParameterAs<LConditionsParam>();
  if (!change) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  // The row looks hovered while the pointer is over its box.
  RaiseConditionChange((change->GetCurrent() & kConditionMouseOver) && !(change->GetPrevious() & kConditionMouseOver));
  return QZ_FALSE;
}

bool LCheckedListBoxItem::ShowLookWithCheckBox(int32_t look, bool) {
  return look >= 0 && Succeeded(SetLookWeight(uint32_t(look), 1.0f, true));
}

RCPtr<LButton> LCheckedListBoxItem::GetCheckBoxPart() const {
  return DynamicCast<LButton>(FindChildByName(u"checkBox"));
}

void LCheckedListBoxItem::SetChecked(bool checked) {
  if (const RCPtr<LButton> box = GetCheckBoxPart()) {
    box->SetValue(checked ? 1.0 : 0.0);
  }
}

void LCheckedListBoxItem::ShowCheckBox(bool visible) {
  if (const RCPtr<LButton> box = GetCheckBoxPart()) {
    box->SetVisible(visible);
  }
}

// =============================================================================================
// The list: records
// =============================================================================================

LCheckedListBox::LCheckedListBox(const RCPtr<LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

int32_t LCheckedListBox::GetItemCount() const { return int32_t(mCheckedItems.size()); }

LListItemRecord& LCheckedListBox::GetItemRecord(int32_t index) { return mCheckedItems[size_t(index)]; }

LCheckedItemRecord& LCheckedListBox::GetCheckedItemRecord(int32_t index) { return mCheckedItems[size_t(index)]; }

QZResult LCheckedListBox::InsertItemRecord(int32_t index) {
  mCheckedItems.insert(mCheckedItems.begin() + index, LCheckedItemRecord{});
  return QZ_OK;
}

QZResult LCheckedListBox::RemoveItemRecord(int32_t index) {
  mCheckedItems.erase(mCheckedItems.begin() + index);
  return QZ_OK;
}

QZResult LCheckedListBox::SwapItems(int32_t a, int32_t b) {
  std::swap(mCheckedItems[size_t(a)], mCheckedItems[size_t(b)]);
  return QZ_OK;
}

int32_t LCheckedListBox::SetItemCount(int32_t count) {
  const int32_t result = LListBox::SetItemCount(count);
  RecountChecked();
  return result;
}

int32_t LCheckedListBox::RemoveItem(int32_t index) {
  const bool wasChecked = IsItemChecked(index);
  const int32_t result = LListBox::RemoveItem(index);
  if (Succeeded(result) && wasChecked) {
    --mCheckedCount;
  }
  return result;
}

QZResult LCheckedListBox::RemoveAllItems() {
  const QZResult result = LListBox::RemoveAllItems();
  RecountChecked();
  return result;
}

QZResult LCheckedListBox::RecountChecked() {
  mCheckedCount = 0;
  // Through the record accessors: classes built on the list keep records of their own.
  for (int32_t index = 0; index < GetItemCount(); ++index) {
    mCheckedCount += GetCheckedItemRecord(index).checked ? 1 : 0;
  }
  return QZ_OK;
}

// =============================================================================================
// Checks and pictures
// =============================================================================================

void LCheckedListBox::SetItemChecked(int32_t index, bool checked) {
  if (index < 0 || index >= GetItemCount() || GetCheckedItemRecord(index).checked == checked) {
    return;
  }
  const RCPtr<LControl> self(this);
  GetCheckedItemRecord(index).checked = checked;
  mCheckedCount += checked ? 1 : -1;
  RCPtr<LListBoxItem> row;
  RefreshItemRow(index, row);
}

bool LCheckedListBox::IsItemChecked(int32_t index) {
  return index >= 0 && index < GetItemCount() && GetCheckedItemRecord(index).checked;
}

ConstRCPtr<LBitmap> LCheckedListBox::GetItemPicture(int32_t index) {
  if (index < 0 || index >= GetItemCount()) {
    return nullptr;
  }
  if (!mCheckImages.empty()) {
    return mCheckImages[size_t(index) % mCheckImages.size()];
  }
  return GetCheckedItemRecord(index).icon;
}

void LCheckedListBox::ShowPicture(LButton& box, const ConstRCPtr<LBitmap>& picture) {
  for (uint32_t look = box.GetLooks().GetCount(); look-- > 0;) {
    box.SetLookPartImage(picture, ResizeType::Center, int32_t(look), true);
  }
}

void LCheckedListBox::SetPassiveCheckBoxes(bool passive) {
  mPassiveCheckBoxes = passive;
  for (int32_t k = 0; k < GetRowCount(); ++k) {
    const RCPtr<LCheckedListBoxItem> row = DynamicCast<LCheckedListBoxItem>(GetRowControl(k));
    if (const RCPtr<LButton> box = row ? row->GetCheckBoxPart() : nullptr) {
      box->SetPassive(passive);
    }
  }
}

QZResult LCheckedListBox::SetAutoCheck(bool autoCheck) {
  if (autoCheck == mAutoCheck) {
    return QZ_OK;
  }
  mAutoCheck = autoCheck;
  const RCPtr<LControl> self(this);
  for (int32_t k = 0; k < GetRowCount(); ++k) {
    const RCPtr<LCheckedListBoxItem> row = DynamicCast<LCheckedListBoxItem>(GetRowControl(k));
    const RCPtr<LButton> box = row ? row->GetCheckBoxPart() : nullptr;
    if (!box || !GetHandlerTable()) {
      continue;
    }
    box->SetAutoValueSet(autoCheck);
    const RCPtr<LNotificationDistributor> source(box);
    LNotificationHandler<LCheckedListBox>::Method method = nullptr;
    uintptr_t data = 0;
    GetHandlerTable()->RemoveHandler(source, autoCheck ? kLeftClick : kValueChange, method, data);
    GetHandlerTable()->AddHandler(autoCheck ? &LCheckedListBox::OnCheckBoxValueChange
                                            : &LCheckedListBox::OnCheckBoxClick,
                                  source, autoCheck ? kValueChange : kLeftClick); // a box is a distributor
  }
  return QZ_OK;
}

// =============================================================================================
// Rows
// =============================================================================================

QZResult LCheckedListBox::Initialize() {
  const RCPtr<LControl> self(this);
  // Made first: the rows the list box makes while it starts have their boxes heard.
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  const QZResult base = LListBox::Initialize();
  if (Failed(base)) {
    return base;
  }
  // Fixed rows were not made by CreateItemControls.
  for (int32_t k = 0; k < GetRowCount(); ++k) {
    const RCPtr<LListBoxItem> row = GetRowControl(k);
    const RCPtr<LCheckedListBoxItem> checkedRow = DynamicCast<LCheckedListBoxItem>(row);
    const RCPtr<LButton> box = checkedRow ? checkedRow->GetCheckBoxPart() : nullptr;
    if (box && !GetHandlerTable()->HasRoute(box.Get(), mAutoCheck ? kValueChange : kLeftClick)) {
      AdoptCheckBox(row);
    }
  }
  // Only the list's own skin stores pictures in look 3; the classes built on it use that
  // look as a look.
  const bool exactlyThisClass = typeid(*this) == typeid(LCheckedListBox);
  const RCPtr<LLook> store =
      GetLooks().GetCount() > uint32_t(kCheckImagesLook) ? GetLooks().GetAt(uint32_t(kCheckImagesLook)) : nullptr;
  if (exactlyThisClass && store) {
    if (store->GetClientPart() && store->GetClientPart()->GetBitmap()) {
      mCheckImages.push_back(store->GetClientPart()->GetBitmap());
    }
    for (const RCPtr<LVisualPart>& part : store->GetNonClientParts()) {
      if (part && part->GetBitmap()) {
        mCheckImages.push_back(part->GetBitmap());
      }
    }
    SetPassiveCheckBoxes(true);
  }
  UpdateRows(0);
  return base;
}

void LCheckedListBox::AdoptCheckBox(const RCPtr<LListBoxItem>& row) {
  const RCPtr<LCheckedListBoxItem> checkedRow = DynamicCast<LCheckedListBoxItem>(row);
  const RCPtr<LButton> box = checkedRow ? checkedRow->GetCheckBoxPart() : nullptr;
  if (!box || !GetHandlerTable()) {
    return;
  }
  box->SetPassive(mPassiveCheckBoxes);
  box->SetAutoValueSet(mAutoCheck);
  GetHandlerTable()->AddHandler(mAutoCheck ? &LCheckedListBox::OnCheckBoxValueChange
                                           : &LCheckedListBox::OnCheckBoxClick,
                                RCPtr<LNotificationDistributor>(box),
                                mAutoCheck ? kValueChange : kLeftClick); // a box is a distributor
}

QZResult LCheckedListBox::CreateItemControls() {
  const QZResult result = LListBox::CreateItemControls();
  if (Succeeded(result)) {
    AdoptCheckBox(GetRowControl(GetRowCount() - 1));
  }
  return result;
}

QZResult LCheckedListBox::RefreshItemRow(int32_t index, RCPtr<LListBoxItem>& row) {
  const QZResult result = LListBox::RefreshItemRow(index, row);
  const RCPtr<LCheckedListBoxItem> checkedRow = DynamicCast<LCheckedListBoxItem>(row);
  const RCPtr<LButton> box = checkedRow ? checkedRow->GetCheckBoxPart() : nullptr;
  if (Failed(result) || index < 0 || !box) {
    return result;
  }
  const RCPtr<LControl> self(this);
  const bool isItem = index < GetItemCount();
  const double value = isItem && GetCheckedItemRecord(index).checked ? 1.0 : 0.0;
  if (mAutoCheck && GetHandlerTable() && GetHandlerTable()->HasRoute(box.Get(), kValueChange)) {
    // The box's change is the list's own: it must not come back as the user's.
    CAutoNotificationDisabler<LCheckedListBox> quiet(GetHandlerTable(), RCPtr<LNotificationDistributor>(box),
                                                     kValueChange);
    box->SetValue(value);
  } else {
    box->SetValue(value);
  }
  ShowPicture(*box, isItem ? GetItemPicture(index) : nullptr);
  box->SetVisible(isItem);
  return result;
}

// =============================================================================================
// Notifications
// =============================================================================================

int32_t LCheckedListBox::ItemOfCheckBox(const RCPtr<LNotificationDistributor>& box) const {
  const RCPtr<LControl> part = DynamicCast<LControl>(box);
  return part && part->GetParent() ? GetItemOfRow(part->GetParent().Get()) : -1;
}

QZResult LCheckedListBox::OnCheckBoxClick(const RCPtr<LNotificationDistributor>& distributor,
                                          const RCPtr<LNotification>&) {
  const int32_t index = ItemOfCheckBox(distributor);
  const RCPtr<LControl> box = DynamicCast<LControl>(distributor);
  if (index < 0 || !box) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  const double value = box->GetValue();
  const RCPtr<LIndexedDataWithValueParam> param = LIndexedDataWithValueParam::Create(index, nullptr, value);
  GetCheckedItemRecord(index).checked = value >= 0.5;
  SelectItems(index, index, true);
  Announce(u"NID_ITEM_CHECKBOX_CLICKED", param);
  return QZ_FALSE;
}

QZResult LCheckedListBox::OnCheckBoxValueChange(const RCPtr<LNotificationDistributor>& distributor,
                                                const RCPtr<LNotification>&) {
  const int32_t index = ItemOfCheckBox(distributor);
  const RCPtr<LControl> box = DynamicCast<LControl>(distributor);
  if (index < 0 || !box) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  const double value = box->GetValue();
  const RCPtr<LIndexedDataWithValueParam> param = LIndexedDataWithValueParam::Create(index, nullptr, value);
  LCheckedItemRecord& record = GetCheckedItemRecord(index);
  const bool checked = value >= 0.5;
  if (record.checked != checked) {
    record.checked = checked;
    mCheckedCount += checked ? 1 : -1;
  }
  SelectItems(index, index, true);
  Announce(u"NID_ITEM_CHECK_CHANGE", param);
  return QZ_FALSE;
}

} // namespace QZ
