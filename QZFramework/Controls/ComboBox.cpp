#include "QZFramework/Controls/ComboBox.h"

#include <algorithm>
#include <cmath>

#include "Platform/Window/VirtualKeys.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Utilities/Storage/WideChar.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"

namespace QZ {

namespace {

constexpr char16_t kListBoxName[] = u"listBox";
constexpr char16_t kTextBoxName[] = u"textBox";

namespace Win = Platform::Window;

// The code of a virtual key pressed without modifiers.
constexpr uint32_t Pressed(uint8_t virtualKey) { return kKeyCodeDown | (uint32_t(virtualKey) << 16); }

// Escape pressed, with any modifiers.
bool IsEscape(uint32_t code) {
  return (code & kKeyCodeDown) && (code & kKeyCodeCharacterMask) == 0 &&
         (code & kKeyCodeVirtualKeyMask) == (uint32_t(Win::VK_ESCAPE) << 16);
}

// Sets a flag for the lifetime of a scope.
class FlagScope {
public:
  explicit FlagScope(bool& flag) : mFlag(flag), mBefore(flag) { mFlag = true; }
  ~FlagScope() { mFlag = mBefore; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

private:
  bool& mFlag;
  bool mBefore;
};

} // namespace

LComboBox::LComboBox(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

// =============================================================================================
// Creation
// =============================================================================================

QZResult LComboBox::Initialize() {
  if (Failed(LDropDownControl::Initialize())) {
    return QZ_E_FAIL;
  }
  mListBox = DynamicCast<LListBox>(FindChildByName(kListBoxName));
  if (!mListBox) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> self(this);
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  const RCPtr<LNotificationDistributor> list(mListBox);
  QZResult subscribed =
      GetHandlerTable()->AddHandler(&LComboBox::OnListVisibilityChange, list, u"NID_VISIBLITY_CONDITION_CHANGE");
  if (Succeeded(subscribed)) {
    subscribed = GetHandlerTable()->AddHandler(&LComboBox::OnItemActivated, list, u"NID_ITEM_ACTIVATED");
  }
  if (const RCPtr<LControl> textBox = FindChildByName(kTextBoxName)) {
    const RCPtr<LNotificationDistributor> text(textBox);
    if (Succeeded(subscribed)) {
      subscribed = GetHandlerTable()->AddHandler(&LComboBox::OnTextBoxNotification, text, u"NID_TEXTBOX_VALIDATING");
    }
    if (Succeeded(subscribed)) {
      subscribed = GetHandlerTable()->AddHandler(&LComboBox::OnTextBoxValidated, text, u"NID_TEXTBOX_VALIDATED");
    }
    if (Succeeded(subscribed)) {
      subscribed = GetHandlerTable()->AddHandler(&LComboBox::OnTextBoxNotification, text, u"NID_TEXTBOX_TEXT_CHANGE");
    }
    if (Succeeded(subscribed)) {
      subscribed =
          GetHandlerTable()->AddHandler(&LComboBox::OnTextBoxFocusChange, text, u"NID_HAS_FOCUS_CONDITION_CHANGE");
    }
  }
  if (Failed(subscribed)) {
    return QZ_E_FAIL;
  }

  mListBox->SetMenuMode(true);
  HideList();
  if (const RCPtr<LStringTable> table = GetStringTable()) {
    mListBox->LoadItemsFromStringTable(table);
  }
  // The initial selection is no change anybody hears of.
  const int32_t initial = mInitialSelectedIndex;
  if (initial >= 0 && initial < mListBox->GetItemCount() && mListBox->SelectItems(initial, -1, true) >= 0) {
    LControl::SetText(GetItemText(initial));
    mSelectedIndex = initial;
  }
  return QZ_OK;
}

QZResult LComboBox::ApplyCreateParams() {
  const QZResult result = LDropDownControl::ApplyCreateParams();
  mInitialSelectedIndex = 0;
  WString text;
  if (GetControlDescriptor() &&
      LookupString(GetControlDescriptor()->GetCreateParams().Get(), TableKey<u"INITIAL_SELECTED_INDEX">(), text)) {
    mInitialSelectedIndex = Chars::ToInt32(text.GetBuffer());
  }
  return result;
}

QZResult LComboBox::OnLookChanged() {
  LDropDownControl::OnLookChanged();
  if (!mListBox) {
    return QZ_OK;
  }
  const RCPtr<LControl> self(this);
  HideList();
  SizeList();
  return GetLookIndex();
}

void LComboBox::SizeList() {
  const RCPtr<LLayoutDescriptor> current = mListBox->GetLayoutDescriptor();
  if (!current) {
    return;
  }
  const RCPtr<LControlDescriptor> entry = mListBox->GetControlDescriptor();
  const LLayoutDescriptor* skin = entry ? entry->GetLayout().Get() : nullptr;
  for (int32_t axis = 0; axis < 2; ++axis) {
    LayoutLimit skinMinimum;
    LayoutLimit skinMaximum;
    if (skin) {
      skin->GetAxisLimits(axis, skinMinimum, skinMaximum);
    }
    if (skinMinimum.abs != 0.0 && skinMaximum.abs != 0.0) {
      continue;
    }
    LayoutLimit minimum;
    LayoutLimit maximum;
    current->GetAxisLimits(axis, minimum, maximum);
    if (minimum.abs == 0.0) {
      if (axis == 0) {
        // At least as wide as the box.
        minimum.abs = std::trunc(GetRect().width);
      } else {
        // At least one row high.
        minimum.rel = 0.0f;
        minimum.abs = mListBox->GetRowHeight();
      }
    }
    mListBox->SetAxisSizeLimits(axis, minimum, maximum);
  }
  if (current->maximum[1].abs > 0.0) {
    mListBox->UpdateClientArea();
  }
}

// =============================================================================================
// Opening and closing
// =============================================================================================

bool LComboBox::IsDroppedDown() { return mListBox && mListBox->IsShown(false); }

QZResult LComboBox::ShowDropDown(bool show) {
  if (!mListBox) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> self(this);
  const RCPtr<LListBox> list = mListBox;
  if (show) {
    // The rows first, so that the list is placed and scrolled with them.
    list->MakeWaitingRows();
    if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
      {
        // A listener may refill the list here; the list is placed for what it holds after.
        FlagScope opening(mOpening);
        Announce(u"NID_DROPDOWN_OPENING");
      }
      PlaceList(window);
    }
  }
  list->SetVisible(show);
  if (show) {
    // A press on the box still held goes on in the list: a drag onto an item and the
    // release there pick it.
    if (list->IsMenuMode() && (GetConditions() & kConditionLeftDown)) {
      UpdatePressPoint();
      const PointT<int32_t> press = PointT<double>{mPressX, mPressY}.Round();
      list->SetCapture(kMouseButtonLeft, press.x, press.y);
    }
    list->SetFocus(true); // a refusal leaves the keyboard with the box
  }
  return QZ_OK;
}

void LComboBox::PlaceList(const RCPtr<IRootWindow>& window) {
  const RCPtr<LListBox> list = mListBox;
  const RCPtr<LLayoutDescriptor> layout = list->GetLayoutDescriptor();
  if (!layout) {
    return;
  }
  // Signed throughout: a box near (or past) the window's bottom has negative room below.
  const double top = GetWindowPosition().y;
  const double bottom = window->GetClientRect().height;
  const double below = bottom - (top + GetRect().height) - kWindowMargin;
  const double above = top - kWindowMargin;
  // The rows and the list's own frame: without it the last row would be cut and a bar shown.
  const double frame = std::max(list->GetRect().height - list->GetLookRect(-1).height, 0.0);
  const double needed = double(list->GetItemCount()) * double(list->GetRowHeight()) + frame;

  LayoutLimit minimum;
  LayoutLimit maximum;
  layout->GetAxisLimits(1, minimum, maximum);
  const double currentMaximum = maximum.abs;
  double skinMaximum = 0.0;
  const RCPtr<LControlDescriptor> entry = list->GetControlDescriptor();
  if (const LLayoutDescriptor* skin = entry ? entry->GetLayout().Get() : nullptr) {
    skinMaximum = skin->maximum[1].abs;
  }

  const bool byRoom = needed <= below || above <= below;
  bool downward = byRoom;
  if (currentMaximum != 0.0 && skinMaximum > 0.0 && (below >= skinMaximum || above >= skinMaximum)) {
    downward = skinMaximum <= below;
  }
  // No room at all still leaves a limit (0 would mean none).
  const double available = std::max(downward ? below : above, 1.0);
  if (skinMaximum <= 0.0) {
    maximum.abs = needed <= available ? 0.0 : available;
  } else {
    maximum.abs = std::min(available, skinMaximum);
  }
  list->SetAxisSizeLimits(1, minimum, maximum);

  LayoutPosition position;
  LayoutSize size;
  layout->GetAxis(1, position, size);
  position.kind = kPositionToParent;
  position.anchor = downward ? 0.0f : 1.0f;
  position.rel = downward ? 1.0f : 0.0f;
  position.abs = 0.0;
  size.abs = std::min(needed, available);
  list->SetAxisPlacement(1, position, size);
  list->UpdateClientArea();

  // The highlight follows the box's text: its first item, else item 0.
  const int32_t match = FindFirstItem(GetText());
  const int32_t shown = match >= 0 ? match : 0;
  if (shown < list->GetItemCount()) {
    list->SelectItems(shown, -1, true); // shown: in range
    list->EnsureItemVisible(shown);
  }
}

void LComboBox::HideList() { mListBox->SetVisible(false); } // whether it is shown: not

void LComboBox::UpdatePressPoint() {
  // The press was recorded in the parent's coordinates.
  const PointT<double> origin = mListBox->GetOriginInParent();
  mPressX = GetPressOrigin().x - GetRect().x - origin.x;
  mPressY = GetPressOrigin().y - GetRect().y - origin.y;
}

QZResult LComboBox::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  const RCPtr<LControl> self(this);
  LDropDownControl::OnConditionsChanged(param);
  if (mListBox && param && (param->GetCurrent() & kConditionLeftDown) && !(param->GetPrevious() & kConditionLeftDown)) {
    UpdatePressPoint();
  }
  return GetLookIndex();
}

QZResult LComboBox::GetLookIndex() {
  int32_t look = kLookDisabled;
  if (IsEnabled(true)) {
    const bool over = IsMouseOver();
    if (IsDroppedDown()) {
      look = over ? kLookOpenHoverFocused : kLookOpenFocused;
    } else if (HasFocus() || ContainsFocus()) {
      look = over ? kLookClosedHoverFocused : kLookClosedFocused;
    } else {
      look = over ? kLookClosedHover : kLookClosed;
    }
  }
  ShowLook(look);
  return QZ_OK;
}

// =============================================================================================
// Keys
// =============================================================================================

QZResult LComboBox::OnKeyDown(const RCPtr<LKeyParam>& param) {
  if (!param) {
    return QZ_FALSE;
  }
  const uint32_t code = param->GetKey().code;
  if (!IsDroppedDown()) {
    if (code == Pressed(Win::VK_DOWN) || code == Pressed(Win::VK_RETURN)) {
      ShowDropDown(true);
      return QZ_OK;
    }
  } else if (IsEscape(code)) {
    HideList();
    return QZ_OK;
  }
  return QZ_FALSE;
}

QZResult LComboBox::HandleKey(const RCPtr<LKeyParam>& param) {
  if (param && IsEscape(param->GetKey().code) && IsDroppedDown()) {
    HideList();
    return QZ_OK;
  }
  return LDropDownControl::HandleKey(param);
}

// =============================================================================================
// Selection and items
// =============================================================================================

QZResult LComboBox::SetText(const WString& text) {
  const RCPtr<LControl> self(this);
  if (LDropDownControl::SetText(text) == QZ_FALSE) {
    return QZ_FALSE;
  }
  SelectItem(FindFirstItem(text));
  return QZ_OK;
}

int32_t LComboBox::SelectItem(int32_t index) {
  const RCPtr<LControl> self(this);
  if (!mListBox) {
    mSelectedIndex = -1;
    return -1;
  }
  if (index < 0) {
    mSelectedIndex = -1;
    mListBox->ClearSelection();
    return -1;
  }
  const int32_t selected = mListBox->SelectItems(index, -1, true);
  const bool changed = selected != mSelectedIndex;
  if (selected < 0) {
    mSelectedIndex = -1;
    return -1;
  }
  mSelectedIndex = selected;
  const WString text = GetItemText(selected);
  LDropDownControl::SetText(text);
  if (const RCPtr<LControl> textBox = FindChildByName(kTextBoxName)) {
    textBox->SetText(text);
  }
  if (changed) {
    Announce(u"NID_SELECTION_CHANGE");
  }
  return mSelectedIndex;
}

int32_t LComboBox::SetItemCount(int32_t count) {
  if (!mListBox) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> self(this);
  const int32_t result = mListBox->SetItemCount(count);
  if (mSelectedIndex >= count) {
    SelectItem(-1);
  }
  // An open list is placed again for its new items, unless it is opening right now (a
  // listener refilling it): the opening places it once the listeners are done.
  if (IsDroppedDown() && !mOpening) {
    ShowDropDown(true);
  }
  return result;
}

int32_t LComboBox::InsertItem(int32_t index, const ConstRCPtr<LTaggableObject>& data) {
  if (!data) {
    return QZ_E_INVALIDARG;
  }
  if (!mListBox) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> self(this);
  const int32_t inserted = mListBox->InsertItem(index, data);
  if (inserted < 0) {
    return inserted;
  }
  if (inserted <= mSelectedIndex) {
    ++mSelectedIndex; // the same item, silently
  } else if (mSelectedIndex == -1 && GetItemText(inserted) == GetText()) {
    SelectItem(inserted);
  }
  return inserted;
}

int32_t LComboBox::AddItem(const WString& text) { return InsertItem(GetItemCount(), MakeTaggableString(text)); }

QZResult LComboBox::SetItem(int32_t index, const char16_t* text) {
  if (!text) {
    return QZ_E_INVALIDARG;
  }
  if (!mListBox) {
    return QZ_E_FAIL;
  }
  if (index < 0 || index >= mListBox->GetItemCount()) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  const WString itemText(text);
  mListBox->SetItemData(index, MakeTaggableString(itemText));
  if (index == mSelectedIndex) {
    LDropDownControl::SetText(itemText);
    if (const RCPtr<LControl> textBox = FindChildByName(kTextBoxName)) {
      textBox->SetText(itemText);
    }
  }
  return QZ_OK;
}

ConstRCPtr<LTaggableObject> LComboBox::GetItemData(int32_t index) {
  return mListBox ? mListBox->GetItemData(index) : ConstRCPtr<LTaggableObject>();
}

WString LComboBox::GetItemText(int32_t index) { return mListBox ? mListBox->GetItemText(index) : WString(); }

int32_t LComboBox::GetItemCount() const { return mListBox ? mListBox->GetItemCount() : 0; }

int32_t LComboBox::FindFirstItem(const WString& text) {
  const int32_t count = GetItemCount();
  for (int32_t index = 0; index < count; ++index) {
    if (mListBox->GetItemText(index) == text) {
      return index;
    }
  }
  return -1;
}

// =============================================================================================
// Notifications
// =============================================================================================

QZResult LComboBox::OnListVisibilityChange(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
  GetLookIndex();
  return QZ_FALSE;
}

QZResult LComboBox::OnItemActivated(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
  const int32_t activated = mListBox ? mListBox->GetActivatedIndex() : -1;
  SelectItem(activated < GetItemCount() ? activated : -1);
  return QZ_FALSE;
}

QZResult LComboBox::OnTextBoxNotification(const RCPtr<LNotificationDistributor>&,
                                          const RCPtr<LNotification>& notification) {
  Announce(notification->GetID(), notification->GetParameter());
  return QZ_FALSE;
}

QZResult LComboBox::OnTextBoxValidated(const RCPtr<LNotificationDistributor>& distributor,
                                       const RCPtr<LNotification>& notification) {
  const RCPtr<LControl> self(this);
  // The text box holds the validated text by now.
  if (const RCPtr<LControl> textBox = DynamicCast<LControl>(distributor)) {
    SelectItem(FindFirstItem(textBox->GetText()));
  }
  Announce(notification->GetID(), notification->GetParameter());
  return QZ_FALSE;
}

QZResult LComboBox::OnTextBoxFocusChange(const RCPtr<LNotificationDistributor>&,
                                         const RCPtr<LNotification>& notification) {
  const RCPtr<LConditionsParam> change = notification->GetParameterAs<LConditionsParam>();
  if (mListBox && change && (change->GetCurrent() & kConditionHasFocus) &&
      !(change->GetPrevious() & kConditionHasFocus)) {
    HideList();
  }
  return QZ_FALSE;
}

} // namespace QZ
