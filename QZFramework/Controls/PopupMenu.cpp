// The pop-up menu and its rows: the menu shown as rows, hot-key texts, states from the
// owner, sub-menus on a delay, choosing and delivering an item, keys, focus and placement.

#include "QZFramework/Controls/PopupMenu.h"

#include <algorithm>
#include <cmath>

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/GlobalHotKeyManager.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/MenuActivationParam.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Renderer/MeasurementRenderer.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Utilities/Graphics/Font.h"

namespace QZ {
namespace {

constexpr char16_t kHotKeyLabel[] = u"hotKeyLabel";
constexpr char16_t kCheckBox[] = u"checkBox";
constexpr char16_t kSubMenu[] = u"submenu";

// Key code words (a key pressed, no modifier).
constexpr uint32_t kKeyLeft = 0x20250000;
constexpr uint32_t kKeyRight = 0x20270000;
constexpr uint32_t kKeyEscape = 0x201B0000;
constexpr uint32_t kKeyReturn = 0x200D0000;
// What GetHotKey answers for a command without a key.
constexpr uint32_t kNoKeyCode = 0x80000000;

// The check box's looks in a menu row.
constexpr int32_t kCheckLookPlain = 7;
constexpr int32_t kCheckLookHighlighted = 8;

uint32_t Now() {
  IControlApplication* application = GetControlApplication();
  return application ? application->GetTickCountMs() : 0;
}

// The display text of the first key bound to command in map; empty when none is.
WString BoundKeyText(const HotKeyMap& map, const WString& command) {
  const Array<KeyCode> keys = map.GetBindings(command);
  return keys.GetCount() > 0 ? KeyCode::ToDisplayText(keys.GetAt(0).code) : WString();
}

int32_t RoundWidth(double width) { return int32_t(RoundHalfAway(width)); }

} // namespace

// =============================================================================================
// The row
// =============================================================================================

LMenuListBoxItem::LMenuListBoxItem(const RCPtr<LControl>& parent, const WString& name)
    : LCheckedListBoxItem(parent, name) {}

QZResult LMenuListBoxItem::ShowLook(int32_t index) {
  const QZResult result = LCheckedListBoxItem::ShowLook(index);
  const RCPtr<LControl> self(this);
  if (const RCPtr<LButton> box = GetCheckBoxPart()) {
    const int32_t look =
        box->GetValue() >= 0.5
            ? (index >= kLookSelectedOffset && index != kLookSeparator ? kCheckLookHighlighted : kCheckLookPlain)
            : 0;
    box->ShowLook(look); // a shorter list keeps its look
  }
  const RCPtr<LControl> hotKey = FindChildByName(kHotKeyLabel);
  const RCPtr<LLook> own = GetLook(-1);
  if (hotKey && own && own->GetTextForegroundPart()) {
    hotKey->SetLookTextPart(own->GetTextForegroundPart(), hotKey->GetCurrentLookIndex()); // a part given
    hotKey->InvalidateChildRect({0.0, 0.0, hotKey->GetRect().width, hotKey->GetRect().height}, true);
  }
  return result;
}

// =============================================================================================
// Construction, initialisation, the skin
// =============================================================================================

LPopupMenu::LPopupMenu(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

LPopupMenu::~LPopupMenu() { SetOwnerLinks(nullptr, nullptr); }

void LPopupMenu::SetOwnerLinks(const RCPtr<LControl>& control, const RCPtr<IRootWindow>& window) {
  // The owner usually holds this pop-up (its child, or its window's tree): the link back
  // counts as one of the owner's internal references, like a child's parent link.
  if (control) {
    control->AddInternalReferences(1);
  }
  if (window) {
    window->AddInternalReferences(1);
  }
  if (mOwnerControl) {
    mOwnerControl->AddInternalReferences(-1);
  }
  if (mOwnerWindow) {
    mOwnerWindow->AddInternalReferences(-1);
  }
  mOwnerControl = control;
  mOwnerWindow = window;
}

QZResult LPopupMenu::ReleaseInternalReferences() {
  SetOwnerLinks(nullptr, nullptr);
  mOpenSubMenu = nullptr;
  mOpenSubMenuItem = nullptr;
  mMenuItemUpdater = nullptr;
  return LCheckedListBox::ReleaseInternalReferences();
}

QZResult LPopupMenu::Initialize() {
  if (Failed(LCheckedListBox::Initialize())) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> self(this);
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  for (int32_t k = 0; k < GetRowCount(); ++k) {
    HearRowHover(GetRowControl(k));
  }
  if (const RCPtr<LControl> subMenu = FindChildByName(kSubMenu)) {
    mSubMenuDescriptor = subMenu->GetControlDescriptor();
    subMenu->Detach();
  }
  ApplyAutomaticSizeLimits();
  SetFocusable(false); // the pop-up takes the keys of its rows; 1 when focusable already
  SetMenuMode(true);
  SetPassiveCheckBoxes(true);
  return LoadFromStringTable();
}

void LPopupMenu::ApplyAutomaticSizeLimits() {
  const RCPtr<LControlDescriptor> descriptor = GetControlDescriptor();
  const RCPtr<LLayoutDescriptor> skin = descriptor ? descriptor->GetLayout() : nullptr;
  if (!skin || !GetLayoutDescriptor()) {
    return;
  }
  for (int32_t axis = 0; axis < 2; ++axis) {
    LayoutLimit skinMinimum;
    LayoutLimit skinMaximum;
    skin->GetAxisLimits(axis, skinMinimum, skinMaximum);
    if (skinMinimum.abs != 0.0 && skinMaximum.abs != 0.0) {
      continue;
    }
    LayoutLimit minimum;
    LayoutLimit maximum;
    GetLayoutDescriptor()->GetAxisLimits(axis, minimum, maximum);
    if (skinMinimum.abs == 0.0) {
      minimum.abs = axis == 0 ? GetRect().width : double(GetRowHeight());
      if (axis == 1) {
        minimum.rel = 0.0f;
      }
    }
    SetAxisSizeLimits(axis, minimum, maximum);
  }
  mExtraRowWidth = -1;
}

QZResult LPopupMenu::OnLookChanged() {
  const RCPtr<LControl> self(this);
  SetClipToParent(false);
  SetVisible(false);
  const QZResult result = LCheckedListBox::OnLookChanged();
  ApplyAutomaticSizeLimits();
  return result;
}

QZResult LPopupMenu::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) {
  const QZResult result = LCheckedListBox::ApplyDescriptor(descriptor);
  if (Succeeded(result) && mMenuDescriptor && GetHandlerTable()) {
    const RCPtr<LControl> self(this);
    mExtraRowWidth = -1;
    LayoutMenu();
  }
  return result;
}

// =============================================================================================
// The menu and its owner
// =============================================================================================

QZResult LPopupMenu::LoadFromStringTable() {
  const RCPtr<LStringTable> table = GetStringTable();
  if (!table) {
    return QZ_FALSE;
  }
  std::vector<LMenuDescriptor::Entry> entries;
  for (const auto& [key, value] : table->GetEntries()) {
    entries.emplace_back(key, value);
  }
  const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::CreateFromStringTable(entries);
  return SetMenuDescriptor(menu ? menu : LMenuDescriptor::Create());
}

QZResult LPopupMenu::SetMenuDescriptor(const RCPtr<LMenuDescriptor>& menu) {
  if (!menu) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  CloseSubMenu();
  return ShowMenu(menu->Clone());
}

QZResult LPopupMenu::ShowMenu(const RCPtr<LMenuDescriptor>& menu) {
  mMenuDescriptor = menu;
  FillHotKeyTexts(menu, FindOwner(), FindOwnerWindow());
  return LayoutMenu();
}

QZResult LPopupMenu::SetOwner(const RCPtr<LControl>& owner) {
  if (!owner) {
    return QZ_E_INVALIDARG;
  }
  if (mOwnerControl || mOwnerWindow) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> self(this);
  SetOwnerLinks(owner, nullptr);
  if (mMenuDescriptor) {
    ShowMenu(mMenuDescriptor);
  }
  return QZ_OK;
}

QZResult LPopupMenu::SetOwner(const RCPtr<IRootWindow>& owner) {
  if (!owner) {
    return QZ_E_INVALIDARG;
  }
  if (mOwnerControl || mOwnerWindow) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> self(this);
  SetOwnerLinks(nullptr, owner);
  if (mMenuDescriptor) {
    ShowMenu(mMenuDescriptor);
  }
  return QZ_OK;
}

LPopupMenu* LPopupMenu::ParentPopup() const { return dynamic_cast<LPopupMenu*>(GetParent().Get()); }

RCPtr<LControl> LPopupMenu::FindOwner() const {
  if (mOwnerControl || mOwnerWindow) {
    return mOwnerControl;
  }
  for (RCPtr<LControl> up = GetParent(); up; up = up->GetParent()) {
    if (!dynamic_cast<LPopupMenu*>(up.Get())) {
      return up;
    }
  }
  return nullptr;
}

RCPtr<IRootWindow> LPopupMenu::FindOwnerWindow() const {
  if (mOwnerWindow) {
    return mOwnerWindow;
  }
  const RCPtr<LControl> owner = FindOwner();
  return owner ? owner->GetRootWindowRef() : nullptr;
}

RCPtr<LMenuItemUpdater> LPopupMenu::FindMenuItemUpdater() {
  if (!mMenuItemUpdater) {
    if (const RCPtr<LControl> owner = FindOwner()) {
      mMenuItemUpdater = owner->GetMenuItemUpdater();
    }
  }
  return mMenuItemUpdater;
}

void LPopupMenu::FillHotKeyTexts(const RCPtr<LMenuDescriptor>& menu, const RCPtr<LControl>& owner,
                                 const RCPtr<IRootWindow>& window) {
  IControlApplication* application = GetControlApplication();
  const RCPtr<LGlobalHotKeyManager> windowKeys = window ? window->GetHotKeyManager() : nullptr;
  const RCPtr<LGlobalHotKeyManager> globalKeys = application ? application->GetGlobalHotKeyManager() : nullptr;
  for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
    const RCPtr<LMenuItemDescriptor> item = menu->GetItem(i);
    if (item->GetItemCount() > 0) {
      FillHotKeyTexts(item, owner, window);
      continue;
    }
    const WString& command = item->GetNotificationName();
    if (!item->GetHotKeyText().IsEmpty() || command.IsEmpty()) {
      continue;
    }
    WString text;
    if (owner) {
      const KeyCode key = owner->GetHotKey(command);
      if (key.code != kNoKeyCode) {
        text = KeyCode::ToDisplayText(key.code);
      }
    }
    if (text.IsEmpty() && windowKeys) {
      text = BoundKeyText(windowKeys->GetHotKeyMap(), command);
    }
    if (text.IsEmpty() && globalKeys) {
      text = BoundKeyText(globalKeys->GetHotKeyMap(), command);
    }
    item->SetHotKeyText(text);
  }
}

RCPtr<LMenuItemDescriptor> LPopupMenu::GetMenuItem(int32_t index) const {
  return mMenuDescriptor && index >= 0 ? mMenuDescriptor->GetItem(uint32_t(index)) : nullptr;
}

// =============================================================================================
// Rows and layout
// =============================================================================================

LPopupMenu::RowMeasure LPopupMenu::MeasureRow(const RCPtr<LListBoxItem>& row) {
  RowMeasure measure;
  const RCPtr<LControl> hotKey = row->FindChildByName(kHotKeyLabel);
  const RCPtr<LControl> box = row->FindChildByName(kCheckBox);
  const double hotKeyRight = hotKey ? hotKey->GetRect().x + hotKey->GetRect().width : 0.0;
  const double boxRight = box ? box->GetRect().x + box->GetRect().width : 0.0;
  // Beside the texts: the check box's column on the left, the gap between the label and
  // the hot-key text, and the margin right of the hot-key text.
  measure.extraWidth = std::max(int32_t(boxRight + kHotKeyGap + (row->GetRect().width - hotKeyRight)), 0);
  const bool wasSeparator = row->IsSeparator();
  const WString text = row->GetText();
  row->SetSeparator(true);
  row->PerformLayout();
  measure.separatorHeight = int32_t(row->GetRect().height);
  row->SetSeparator(wasSeparator);
  row->SetText(text);
  measure.labelFont = row->GetFont();
  measure.hotKeyFont = hotKey ? hotKey->GetFont() : nullptr;
  return measure;
}

QZResult LPopupMenu::MeasureItemTemplate(const RCPtr<LControl>& row) {
  const QZResult result = LCheckedListBox::MeasureItemTemplate(row);
  if (const RCPtr<LListBoxItem> item = DynamicCast<LListBoxItem>(row)) {
    const RCPtr<LControl> self(this);
    mTemplateMeasure = MeasureRow(item);
  }
  return result;
}

QZResult LPopupMenu::LayoutMenu() {
  const RCPtr<LMenuDescriptor> menu = mMenuDescriptor;
  if (!menu) {
    return QZ_OK;
  }
  const RCPtr<LControl> self(this);
  const int32_t count = int32_t(menu->GetItemCount());
  SetItemCount(count); // count: the list grows or shrinks to it
  const RCPtr<LListBoxItem> last = GetRowControl(GetRowCount() - 1);
  if (!last && mTemplateMeasure.extraWidth < 0) {
    return QZ_FALSE;
  }
  if (mExtraRowWidth < 0) {
    // Rows that wait for the first opening: the template stands for them.
    const RowMeasure measure = last ? MeasureRow(last) : mTemplateMeasure;
    mExtraRowWidth = measure.extraWidth;
    mSeparatorHeight = measure.separatorHeight;
  }
  mSeparatorCount = 0;
  mWidestRow = 0;
  for (int32_t index = 0; index < count; ++index) {
    const RCPtr<LMenuItemDescriptor> item = menu->GetItem(uint32_t(index));
    SetItem(index, item, 0.0, item->GetItemCount() > 0, item->IsSeparator());
    SetItemChecked(index, item->IsChecked());
    mSeparatorCount += item->IsSeparator() ? 1 : 0;
    if (const RCPtr<LListBoxItem> row = GetRowControl(GetRowOfItem(index))) {
      row->PerformLayout();
    }
    mWidestRow = std::max(mWidestRow, GetItemWidth(index));
  }
  if (GetLayoutDescriptor()) {
    const double nonClient = std::max(GetRect().height - GetLookRect(-1).height, 0.0);
    LayoutPosition position;
    LayoutSize size;
    GetLayoutDescriptor()->GetAxis(0, position, size);
    size = LayoutSize{kSizeToSelf, WString(), 0.0f,
                      double(mWidestRow) + GetScrollBarSizes().width + (GetRect().width - GetLookRect(-1).width)};
    SetAxisPlacement(0, position, size);
    GetLayoutDescriptor()->GetAxis(1, position, size);
    size = LayoutSize{kSizeToSelf, WString(), 0.0f, std::max(GetContentHeight(), double(GetRowHeight())) + nonClient};
    SetAxisPlacement(1, position, size);
  }
  return QZ_OK;
}

int32_t LPopupMenu::GetItemWidth(int32_t index) {
  const RCPtr<LMenuItemDescriptor> item = GetMenuItem(index);
  const RCPtr<LListBoxItem> row = GetRowControl(0);
  if (!item || (!row && mTemplateMeasure.extraWidth < 0)) {
    return 0;
  }
  const RCPtr<LControl> hotKey = row ? row->FindChildByName(kHotKeyLabel) : nullptr;
  const RCPtr<LFont> labelFont = row ? row->GetFont() : mTemplateMeasure.labelFont;
  const RCPtr<LFont> hotKeyFont = row ? (hotKey ? hotKey->GetFont() : nullptr) : mTemplateMeasure.hotKeyFont;
  IControlApplication* application = GetControlApplication();
  const RCPtr<LMeasurementRenderer> measurer = application ? application->GetMeasurementRenderer() : nullptr;
  double width = 0.0;
  if (measurer) {
    if (labelFont && !item->GetLabel().IsEmpty()) {
      width += measurer->MeasureText(*labelFont, item->GetLabel()).width;
    }
    if (hotKeyFont && !item->GetHotKeyText().IsEmpty()) {
      width += measurer->MeasureText(*hotKeyFont, item->GetHotKeyText()).width;
    }
  }
  return RoundWidth(width) + std::max(mExtraRowWidth, 0);
}

double LPopupMenu::GetContentHeight() const {
  const int32_t count = GetItemCount();
  return double(count - mSeparatorCount) * double(GetRowHeight()) + double(mSeparatorCount) * mSeparatorHeight;
}

bool LPopupMenu::IsItemSelectable(int32_t index) {
  const RCPtr<LMenuItemDescriptor> item = GetMenuItem(index);
  return item && item->IsEnabled() && !item->IsSeparator();
}

QZResult LPopupMenu::SwapItems(int32_t, int32_t) { return QZ_E_NOTIMPL; }

QZResult LPopupMenu::CreateItemControls() {
  const QZResult result = LCheckedListBox::CreateItemControls();
  if (Failed(result) || !GetHandlerTable()) {
    return result;
  }
  HearRowHover(GetRowControl(GetRowCount() - 1));
  return result;
}

void LPopupMenu::HearRowHover(const RCPtr<LListBoxItem>& row) {
  if (row) {
    GetHandlerTable()->AddHandler(&LPopupMenu::OnItemHover, RCPtr<LNotificationDistributor>(row),
                                  u"NID_HOVER_CONDITION_CHANGE"); // a row is a distributor
  }
}

QZResult LPopupMenu::RefreshItemRow(int32_t index, RCPtr<LListBoxItem>& row) {
  const QZResult result = LCheckedListBox::RefreshItemRow(index, row);
  if (!row) {
    return result;
  }
  const RCPtr<LControl> self(this);
  const RCPtr<LControl> hotKey = row->FindChildByName(kHotKeyLabel);
  const RCPtr<LMenuItemDescriptor> item = GetMenuItem(index);
  const RCPtr<LCheckedListBoxItem> checked = DynamicCast<LCheckedListBoxItem>(row);
  if (!item || index >= GetItemCount()) {
    if (hotKey) {
      hotKey->SetText(WString());
    }
    row->SetEnabled(false);
    row->ShowLook(0); // a look the row has, or kept
    return result;
  }
  if (hotKey) {
    hotKey->SetText(item->GetHotKeyText());
  }
  row->SetSeparator(item->IsSeparator());
  // A separator row is disabled too: the pointer never lights it.
  row->SetEnabled(item->IsEnabled() && !item->IsSeparator());
  if (checked) {
    checked->SetChecked(item->IsChecked());
  }
  row->UpdateLook();
  return result;
}

// =============================================================================================
// States from the owner
// =============================================================================================

QZResult LPopupMenu::UpdateMenuItems() {
  const RCPtr<LMenuDescriptor> menu = mMenuDescriptor;
  const RCPtr<LMenuItemUpdater> updater = FindMenuItemUpdater();
  if (!menu || !updater || (!FindOwner() && !mOwnerWindow)) {
    return QZ_OK;
  }
  const RCPtr<LControl> self(this);
  for (int32_t index = int32_t(menu->GetItemCount()); index-- > 0;) {
    const RCPtr<LMenuItemDescriptor> item = menu->GetItem(uint32_t(index));
    if (!item || item->GetItemCount() > 0 || item->IsSeparator()) {
      continue;
    }
    LMenuItemState state;
    menu->GetItemState(uint32_t(index), state);
    updater->IsMenuItemEnabled(menu.Get(), index, item->GetNotificationName(), state);
    ApplyItemState(index, state);
  }
  return QZ_OK;
}

QZResult LPopupMenu::ApplyItemState(int32_t index, const LMenuItemState& state) {
  const RCPtr<LMenuItemDescriptor> item = GetMenuItem(index);
  if (!item) {
    return QZ_E_INVALIDARG;
  }
  if (item->IsEnabled() == state.enabled && item->IsChecked() == state.isChecked && item->GetLabel() == state.label) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  if (!item->IsSeparator()) {
    item->SetEnabled(state.enabled);
    if (item->GetItemCount() == 0) {
      item->SetChecked(state.isChecked);
      SetItemChecked(index, state.isChecked);
    }
  }
  if (item->GetLabel() != state.label) {
    item->SetLabel(state.label);
    LayoutMenu();
  }
  if (!item->IsEnabled() && GetFocusIndex() == index) {
    ClearSelection(); // a disabled item is never the current row
  }
  RCPtr<LListBoxItem> row;
  RefreshItemRow(index, row);
  return QZ_OK;
}

// =============================================================================================
// Hover and sub-menus
// =============================================================================================

QZResult LPopupMenu::OnSelectionChanged() {
  const QZResult result = LCheckedListBox::OnSelectionChanged();
  const int32_t current = GetFocusIndex() >= 0 && IsItemSelected(GetFocusIndex()) ? GetFocusIndex() : -1;
  if (current == mCurrentIndex) {
    return result;
  }
  mCurrentIndex = current;
  const RCPtr<LControl> self(this);
  if (LPopupMenu* parent = ParentPopup()) {
    const RCPtr<LPopupMenu> keep(parent);
    const RCPtr<LMenuItemDescriptor> parentCurrent = parent->GetMenuItem(parent->mCurrentIndex);
    if (parent->mOpenSubMenuItem && parentCurrent != parent->mOpenSubMenuItem) {
      for (int32_t open = 0; open < parent->GetItemCount(); ++open) {
        if (parent->GetMenuItem(open) == parent->mOpenSubMenuItem) {
          parent->SelectItems(open, -1, true);
          break;
        }
      }
    }
    parent->CancelSubMenuDelay();
  }
  const RCPtr<LMenuItemDescriptor> item = GetMenuItem(current);
  if (item && item->GetItemCount() > 0) {
    if (item == mOpenSubMenuItem) {
      CancelSubMenuDelay();
      return result;
    }
    const RCPtr<IRootWindow> window = GetRootWindowRef();
    const RCPtr<LListBoxItem> row = GetRowControl(GetRowOfItem(current));
    if (window && row) {
      const PointT<int32_t> mouse = window->GetMousePosition();
      const PointT<double> at = row->GetWindowPosition();
      const SizeT<double> size{row->GetRect().width, row->GetRect().height};
      if (mouse.x >= at.x && mouse.x < at.x + size.width && mouse.y >= at.y && mouse.y < at.y + size.height) {
        StartSubMenuDelay();
      }
    }
  } else if (item && mOpenSubMenu) {
    StartSubMenuDelay();
  }
  return result;
}

void LPopupMenu::StartSubMenuDelay() {
  mHoverStartTime = Now();
  if (!mHoverTimerActive) {
    mHoverTimerActive = true;
    AddIdleRequest(); // outside a window only counted
  }
}

void LPopupMenu::CancelSubMenuDelay() {
  if (mHoverTimerActive) {
    mHoverTimerActive = false;
    ReleaseIdleRequest();
  }
}

QZResult LPopupMenu::OnTick() {
  LCheckedListBox::OnTick();
  if (!mHoverTimerActive || uint32_t(Now() - mHoverStartTime) <= mSubMenuDelayMs) {
    return QZ_OK;
  }
  const RCPtr<LControl> self(this);
  CloseSubMenu(); // cancels the switch
  const RCPtr<LMenuItemDescriptor> item = GetMenuItem(mCurrentIndex);
  if (item && item->GetItemCount() > 0) {
    OpenSubMenu(mCurrentIndex);
  }
  return QZ_OK;
}

QZResult LPopupMenu::OpenSubMenu(int32_t index) {
  const RCPtr<LMenuItemDescriptor> item = GetMenuItem(index);
  if (!item || item->GetItemCount() == 0) {
    return QZ_E_INVALIDARG;
  }
  IControlApplication* application = GetControlApplication();
  const RCPtr<LControlFactory> factory = application ? application->GetControlFactory() : nullptr;
  if (!mSubMenuDescriptor || !factory) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> self(this);
  CloseSubMenu();
  // A sub-menu closed before leaves at the next idle tick: the new one takes its name now.
  if (const RCPtr<LControl> old = FindChildByName(mSubMenuDescriptor->GetName())) {
    old->Detach();
  }
  const RCPtr<LPopupMenu> subMenu = DynamicCast<LPopupMenu>(factory->CreateControl(self, mSubMenuDescriptor));
  if (!subMenu) {
    return QZ_E_FAIL;
  }
  mOpenSubMenu = subMenu;
  mOpenSubMenuItem = item;
  subMenu->SetOwnerLinks(mOwnerWindow ? nullptr : FindOwner(), mOwnerWindow);
  subMenu->mMenuItemUpdater = FindMenuItemUpdater();
  subMenu->mCloseOnActivate = mCloseOnActivate;
  subMenu->mSubMenuDelayMs = mSubMenuDelayMs;
  if (!subMenu->mSubMenuDescriptor) {
    subMenu->mSubMenuDescriptor = mSubMenuDescriptor;
  }
  subMenu->CloseSubMenu();
  subMenu->ShowMenu(item);

  // Beside the row, inside the window's client area.
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  const RectT<int32_t> client = window ? window->GetClientRect() : RectT<int32_t>{};
  const PointT<double> origin = GetWindowPosition();
  const RCPtr<LListBoxItem> rowControl = GetRowControl(GetRowOfItem(index));
  RectT<double> row;
  if (rowControl) {
    const PointT<double> at = rowControl->GetWindowPosition();
    row = {at.x - origin.x, at.y - origin.y, rowControl->GetRect().width, rowControl->GetRect().height};
  }
  const double width = subMenu->GetRect().width;
  const double height = subMenu->GetRect().height;
  double x = row.x + row.width;
  if (origin.x + x + width > client.width) {
    x = -width;
    if (origin.x + x < 0.0) {
      x = row.x + row.width;
    }
  }
  double y = row.y;
  if (origin.y + y + height > client.height) {
    y = client.height - origin.y - height;
    if (origin.y + y < 0.0) {
      y = 0.0;
    }
  }
  for (int32_t axis = 0; axis < 2; ++axis) {
    LayoutPosition position;
    LayoutSize size;
    subMenu->GetLayoutDescriptor()->GetAxis(axis, position, size);
    position = LayoutPosition{0.0f, kPositionToParent, WString(), 0.0f, axis == 0 ? x : y, false};
    subMenu->SetAxisPlacement(axis, position, size);
  }
  subMenu->SetVisible(true);
  return QZ_OK;
}

QZResult LPopupMenu::CloseSubMenu() {
  CancelSubMenuDelay();
  if (const RCPtr<LPopupMenu> subMenu = mOpenSubMenu) {
    const RCPtr<LControl> self(this);
    subMenu->CloseSubMenu();
    subMenu->SetVisible(false);
    RemoveChildDeferred(subMenu); // a child of this pop-up
    mOpenSubMenu = nullptr;
  }
  mOpenSubMenuItem = nullptr;
  return QZ_OK;
}

QZResult LPopupMenu::CloseMenu() {
  const RCPtr<LControl> self(this);
  mClosing = true;
  if (LPopupMenu* parent = ParentPopup()) {
    return RCPtr<LPopupMenu>(parent)->CloseMenu();
  }
  CancelSubMenuDelay();
  CloseSubMenu();
  if (const RCPtr<LControl> parent = GetParent()) {
    parent->RemoveChildDeferred(self); // a child of it
  } else {
    SetVisible(false);
  }
  return QZ_OK;
}

bool LPopupMenu::IsInMenuChain(const LControl* control) const {
  if (!control) {
    return false;
  }
  for (const LPopupMenu* down = mOpenSubMenu.Get(); down; down = down->mOpenSubMenu.Get()) {
    if (down == control) {
      return true;
    }
  }
  for (const LControl* up = GetParent().Get(); up; up = up->GetParent().Get()) {
    if (up == control) {
      return true;
    }
  }
  return false;
}

QZResult LPopupMenu::OnItemHover(const RCPtr<LNotificationDistributor>& distributor,
                                 const RCPtr<LNotification>& notification) {
  const RCPtr<LListBoxItem> row = DynamicCast<LListBoxItem>(distributor);
  const RCPtr<LConditionsParam> change = notification->GetParameterAs<LConditionsParam>();
  IControlApplication* application = GetControlApplication();
  if (!row || !change || !application) {
    return QZ_OK;
  }
  const bool was = change->GetPrevious() & kConditionHover;
  const bool is = change->GetCurrent() & kConditionHover;
  if (is && !was) {
    const RCPtr<LMenuItemDescriptor> item = GetMenuItem(GetItemOfRow(row.Get()));
    if (item && !item->GetStatusText().IsEmpty()) {
      application->SetStatusText(item->GetStatusText());
    }
  } else if (was && !is) {
    application->RestoreStatusText();
  }
  return QZ_OK; // the list box hears it too
}

// =============================================================================================
// Choosing and delivering
// =============================================================================================

void LPopupMenu::OpenCurrentSubMenu(int32_t index) {
  if (Succeeded(OpenSubMenu(index)) && mOpenSubMenu) {
    const RCPtr<LPopupMenu> subMenu = mOpenSubMenu;
    for (int32_t first = 0; first < subMenu->GetItemCount(); ++first) {
      if (subMenu->IsItemSelectable(first)) {
        subMenu->SelectItems(first, -1, true);
        break;
      }
    }
  }
}

void LPopupMenu::OnItemChosen() {
  const RCPtr<LControl> self(this);
  const RCPtr<LMenuItemDescriptor> item = GetMenuItem(mCurrentIndex);
  if (!item) {
    return;
  }
  if (item->GetItemCount() > 0) {
    if (item != mOpenSubMenuItem) {
      OpenCurrentSubMenu(mCurrentIndex);
    }
    return;
  }
  ActivateItem(item);
}

void LPopupMenu::DeliverToWindow(const RCPtr<IRootWindow>& window, const RCPtr<LNotification>& command) {
  // As the window's hot keys raise commands: what the window does not handle goes to the
  // application (the clipboard hears the edit requests there).
  if (window->HandleCommand(command) != QZ_FALSE) {
    return;
  }
  const RCPtr<LNotificationCenter> centre = GetNotificationCenter()
                                                ? GetNotificationCenter()
                                                : RCPtr<LNotificationCenter>(GetApplicationNotificationCenter());
  if (centre) {
    // A centre that is shutting down drops it, as it drops every late post.
    (void)centre->PostNotification(command);
  }
}

QZResult LPopupMenu::ActivateItem(const RCPtr<LMenuItemDescriptor>& item) {
  if (!item) {
    return QZ_E_INVALIDARG;
  }
  // The owner may close the window, replace the menu or drop the pop-up while it handles
  // the item: everything this call touches stays alive until it returns.
  const RCPtr<LPopupMenu> self(this);
  const RCPtr<LMenuDescriptor> menu = mMenuDescriptor;
  const RCPtr<LMenuItemDescriptor> chosen = item;
  for (RCPtr<LControl> up = GetParent(); up; up = up->GetParent()) {
    if (IMenuFocusKeeper* keeper = dynamic_cast<IMenuFocusKeeper*>(up.Get())) {
      keeper->RestoreFocusAfterMenu();
      break;
    }
  }
  const bool closes = mCloseOnActivate && !mClosing;
  if (closes) {
    SetVisible(false);
  }
  const RCPtr<LControl> owner = FindOwner();
  const RCPtr<IRootWindow> ownerWindow = mOwnerWindow;
  if (owner || ownerWindow) {
    const int32_t focus = GetFocusIndex();
    const int32_t index = focus >= 0 && focus < GetItemCount() ? focus : -1;
    Announce(u"NID_ITEM_ACTIVATED");
    const RCPtr<LNotification> command =
        LNotification::Create(chosen->GetNotificationName().GetBuffer(), LMenuActivationParam::Create(menu, index));
    if (owner) {
      // The command acts on what has the focus (an edit on the text box): the owner takes
      // it back from the menu first.
      RCPtr<LControl> top(this);
      while (dynamic_cast<LPopupMenu*>(top->GetParent().Get())) {
        top = top->GetParent();
      }
      if ((top->HasFocus() || top->ContainsFocus()) && owner->GetRootWindowRef()) {
        owner->SetFocus(true); // a refusal leaves the focus in the menu
      }
      owner->ReceiveNotification(nullptr, command);
    } else {
      DeliverToWindow(ownerWindow, command);
    }
  }
  if (closes) {
    CloseMenu();
  }
  return QZ_OK;
}

// =============================================================================================
// Keys, the pointer, focus and conditions
// =============================================================================================

QZResult LPopupMenu::OnKeyDown(const RCPtr<LKeyParam>& param) {
  if (!param) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  switch (param->GetKey().code) {
  case kKeyLeft:
    if (LPopupMenu* parent = ParentPopup()) {
      RCPtr<LPopupMenu>(parent)->CloseSubMenu();
      return QZ_OK;
    }
    return QZ_FALSE;
  case kKeyRight: {
    const RCPtr<LMenuItemDescriptor> item = GetMenuItem(mCurrentIndex);
    if (item && item->GetItemCount() > 0) {
      OpenCurrentSubMenu(mCurrentIndex);
      return QZ_OK;
    }
    return QZ_FALSE;
  }
  case kKeyEscape:
    if (mCloseOnActivate && !mClosing) {
      CloseMenu();
      return QZ_OK;
    }
    return QZ_FALSE;
  case kKeyReturn:
    if (mCurrentIndex < 0) {
      return QZ_FALSE;
    }
    OnItemChosen();
    return QZ_OK;
  default:
    return LCheckedListBox::OnKeyDown(param);
  }
}

QZResult LPopupMenu::HandleLeftButtonUp(const RCPtr<LMouseButtonParam>& param) {
  if (!param) {
    return LCheckedListBox::HandleLeftButtonUp(param);
  }
  const RCPtr<LControl> self(this);
  const int32_t index = GetItemAtPoint(param->GetPoint());
  if (index < 0) {
    return LCheckedListBox::HandleLeftButtonUp(param);
  }
  if (IsItemSelectable(index)) {
    if (index != mCurrentIndex) {
      SelectItems(index, -1, true);
    }
    OnItemChosen();
  }
  return LScrollView::HandleLeftButtonUp(param);
}

QZResult LPopupMenu::HandleMouseMove(const RCPtr<LPointWithModifiersParam>& param) {
  const QZResult result = LCheckedListBox::HandleMouseMove(param);
  if (!param || !IsButtonDragging(0)) {
    return result;
  }
  const RCPtr<LControl> self(this);
  const PointT<int32_t> point = param->GetPoint();
  if (point.x >= 0 && point.y >= 0 && point.x < GetRect().width && point.y < GetRect().height) {
    return result;
  }
  const RCPtr<LControl> top = GetRootControl();
  PointT<double> windowPoint = point.ToDouble();
  ConvertPoint(nullptr, windowPoint);
  PointT<int32_t> local;
  int32_t depth = kNoHitDepth;
  const RCPtr<LControl> hit = top->HitTest(windowPoint.Round(), true, local, depth);
  if (!hit || hit.Get() == this) {
    return result;
  }
  if (dynamic_cast<IMenuTitle*>(hit.Get())) {
    hit->SetCapture(kMouseButtonLeft, local.x, local.y);
    return result;
  }
  for (RCPtr<LControl> up = hit; up; up = up->GetParent()) {
    if (const RCPtr<LPopupMenu> popup = DynamicCast<LPopupMenu>(up)) {
      if (IsInMenuChain(popup.Get())) {
        PointT<double> there = point.ToDouble();
        ConvertPoint(popup.Get(), there);
        const PointT<int32_t> at = there.Round();
        popup->SetCapture(kMouseButtonLeft, at.x, at.y);
      }
      break;
    }
  }
  return result;
}

QZResult LPopupMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  const bool hadRows = GetRowCount() > 0;
  const QZResult result = LCheckedListBox::OnConditionsChanged(param); // makes waiting rows
  if (!param) {
    return result;
  }
  const RCPtr<LControl> self(this);
  if (!hadRows && GetRowCount() > 0) {
    LayoutMenu(); // the new rows take their items' separators and layout
  }
  const uint32_t changed = param->GetPrevious() ^ param->GetCurrent();
  const uint32_t focus = kConditionHasFocus | kConditionContainsFocus;
  const bool top = !ParentPopup();
  if ((changed & focus) && top && !(param->GetCurrent() & focus) && IsShown(false) && mCloseOnActivate && !mClosing) {
    CloseMenu();
  }
  if (changed & kConditionVisible) {
    if (param->GetCurrent() & kConditionVisible) {
      UpdateMenuItems();
    } else if (top) {
      CloseSubMenu();
    }
  }
  return result;
}

RCPtr<LControl> LPopupMenu::GetKeyboardTarget() {
  const RCPtr<LControl> owner = FindOwner();
  return owner ? owner->GetKeyboardTarget() : LCheckedListBox::GetKeyboardTarget();
}

QZResult LPopupMenu::ShowAtMousePosition() {
  const RCPtr<LControl> self(this);
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  if (window && GetLayoutDescriptor()) {
    const PointT<int32_t> mouse = window->GetMousePosition();
    const RectT<int32_t> client = window->GetClientRect();
    const PointT<double> parentOrigin = GetParent() ? GetParent()->GetWindowPosition() : PointT<double>{};
    const double sizes[2] = {GetRect().width, GetRect().height};
    const double limits[2] = {double(client.width), double(client.height)};
    const double mousePosition[2] = {double(mouse.x), double(mouse.y)};
    const double parentPosition[2] = {parentOrigin.x, parentOrigin.y};
    for (int32_t axis = 0; axis < 2; ++axis) {
      double position = mousePosition[axis];
      if (position + sizes[axis] > limits[axis]) {
        position = limits[axis] - sizes[axis];
      }
      position = std::max(position, 0.0);
      LayoutPosition placement;
      LayoutSize size;
      GetLayoutDescriptor()->GetAxis(axis, placement, size);
      placement = LayoutPosition{0.0f, kPositionToParent, WString(), 0.0f, position - parentPosition[axis], false};
      SetAxisPlacement(axis, placement, size);
    }
  }
  SetVisible(true);
  if (!HasFocus()) {
    SetFocus(true);
  }
  return QZ_OK;
}

// =============================================================================================
// Notifications
// =============================================================================================

} // namespace QZ
