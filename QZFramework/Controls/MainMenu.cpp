#include "QZFramework/Controls/MainMenu.h"

#include <algorithm>

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/LayoutDescriptor.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Utilities/Storage/WideChar.h"

namespace QZ {
namespace {

constexpr char16_t kTemplateName[] = u"templateMenu";
constexpr char16_t kLabelPrefix[] = u"MENU_LABEL";
// A title number beyond this is no bar's: its key is left out rather than growing the list.
constexpr int64_t kHighestTitleNumber = 255;

} // namespace

LMainMenu::LMainMenu(const RCPtr<LControl>& parent, const WString& name) : LControl(parent, name) {}

// =============================================================================================
// Initialisation and the skin
// =============================================================================================

bool LMainMenu::TakeTemplateChild() {
  const RCPtr<LControl> child = FindChildByName(kTemplateName);
  if (!child) {
    return false;
  }
  mEntryTemplate = child->GetControlDescriptor();
  child->Detach();
  mTemplateWasChild = true;
  return true;
}

QZResult LMainMenu::Initialize() {
  const QZResult base = LControl::Initialize();
  if (Failed(base)) {
    return base;
  }
  const RCPtr<LControl> self(this);
  SetFocusable(true); // the titles take the focus, never the bar; 1 when so already
  TakeTemplateChild();
  // The skin's own entries, last first.
  for (uint32_t k = GetChildren().GetCount(); k-- > 0;) {
    const RCPtr<LControl> entry = GetChildren().GetAt(k, ChildControlList::kInsertionOrder);
    TakeFocusWhenPressed(entry);
    if (const RCPtr<LComboMenu> title = DynamicCast<LComboMenu>(entry)) {
      if (const RCPtr<LPopupMenu> popup = title->GetPopupMenu()) {
        popup->SetMenuItemUpdater(GetMenuItemUpdater());
      }
    }
    ++mFixedCount;
    if (!mEntryTemplate) {
      mEntryTemplate = entry->GetControlDescriptor();
    }
  }

  // Titles: "MENU_LABEL.<n>" is title n; titles never given stay empty.
  std::vector<WString> labels;
  std::vector<LMenuDescriptor::Entry> entries;
  CollectPrefixed(GetStringTable().Get(), kLabelPrefix, entries);
  for (const auto& [key, text] : entries) {
    const int32_t dot = key.Find(WString(u"."));
    if (dot < 0) {
      continue;
    }
    const int64_t number = Chars::ToInt64(key.GetBuffer() + dot + 1);
    if (number < 0 || number > kHighestTitleNumber) {
      continue;
    }
    if (labels.size() <= size_t(number)) {
      labels.resize(size_t(number) + 1);
    }
    labels[size_t(number)] = text;
  }
  std::vector<RCPtr<LMenuDescriptor>> menus;
  if (Succeeded(GetContextMenuDescriptors(menus)) && !menus.empty() && menus.size() == labels.size()) {
    int32_t failures = 0;
    for (size_t i = 0; i < menus.size(); ++i) {
      if (Failed(AddMenu(int32_t(i) - failures, labels[i], labels[i], menus[i]))) {
        ++failures; // the following titles close the gap
      }
    }
  }
  return QZ_OK;
}

QZResult LMainMenu::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) {
  if (!IsDescriptorApplied()) {
    return LControl::ApplyDescriptor(descriptor);
  }
  const RCPtr<LControl> self(this);
  struct Kept {
    WString name;
    WString label;
    RCPtr<LMenuDescriptor> menu;
  };
  std::vector<Kept> kept;
  for (const RCPtr<LComboMenu>& entry : mEntries) {
    const RCPtr<LPopupMenu> popup = entry->GetPopupMenu();
    kept.push_back({entry->GetName(), entry->GetText(), popup ? popup->GetMenuDescriptor() : nullptr});
    entry->Detach();
  }
  mEntries.clear();
  mEntryTemplate = nullptr;
  const QZResult result = LControl::ApplyDescriptor(descriptor);
  if (!TakeTemplateChild()) {
    mTemplateWasChild = false;
    for (uint32_t k = GetChildren().GetCount(); k-- > 0 && !mEntryTemplate;) {
      mEntryTemplate = GetChildren().GetAt(k, ChildControlList::kInsertionOrder)->GetControlDescriptor();
    }
  }
  for (const Kept& entry : kept) {
    AddMenu(GetAddedMenuCount(), entry.name, entry.label,
            entry.menu ? entry.menu : LMenuDescriptor::Create()); // the name is free again
  }
  return result;
}

QZResult LMainMenu::SubscribeNotifications() {
  const RCPtr<LControl> self(this);
  if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
    for (uint32_t k = 0; k < GetChildren().GetCount(); ++k) {
      const RCPtr<LComboMenu> title =
          DynamicCast<LComboMenu>(GetChildren().GetAt(k, ChildControlList::kInsertionOrder));
      const RCPtr<LPopupMenu> popup = title ? title->GetPopupMenu() : nullptr;
      if (popup) {
        popup->SetOwner(window);
      }
    }
  }
  return LControl::SubscribeNotifications();
}

QZResult LMainMenu::ReleaseInternalReferences() {
  mFocusBefore = nullptr;
  mEntries.clear();
  mStateProvider = nullptr;
  mEntryTemplate = nullptr;
  return LControl::ReleaseInternalReferences();
}

// =============================================================================================
// Entries
// =============================================================================================

void LMainMenu::TakeFocusWhenPressed(const RCPtr<LControl>& entry) {
  // The bar hands no focus to its children: a title is a focus scope of its own.
  entry->SetFocusBoundary(true);
  entry->SetFocusable(false);
}

bool LMainMenu::HasChildNamed(const WString& name) const { return FindChildByName(name) != nullptr; }

RCPtr<LComboMenu> LMainMenu::GetAddedMenu(int32_t index) const {
  return index >= 0 && index < GetAddedMenuCount() ? mEntries[size_t(index)] : nullptr;
}

QZResult LMainMenu::AddMenu(int32_t index, const WString& name, const WString& label,
                            const RCPtr<LMenuDescriptor>& menu) {
  if (index < 0 || index > GetAddedMenuCount() || !menu || HasChildNamed(name)) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  const RCPtr<LComboMenu> entry = MakeEntry(name, label, menu);
  if (!entry) {
    return QZ_E_FAIL;
  }
  mEntries.insert(mEntries.begin() + index, entry);
  ChainPlacements();
  return QZResult(index);
}

QZResult LMainMenu::InsertMenu(const WString& before, const WString& name, const WString& label,
                               const RCPtr<LMenuDescriptor>& menu) {
  if (before.IsEmpty()) {
    return AddMenu(GetAddedMenuCount(), name, label, menu);
  }
  for (int32_t index = 0; index < GetAddedMenuCount(); ++index) {
    if (mEntries[size_t(index)]->GetName() == before) {
      return AddMenu(index, name, label, menu);
    }
  }
  return QZ_E_INVALIDARG;
}

RCPtr<LComboMenu> LMainMenu::MakeEntry(const WString& name, const WString& label, const RCPtr<LMenuDescriptor>& menu) {
  IControlApplication* application = GetControlApplication();
  const RCPtr<LControlFactory> factory = application ? application->GetControlFactory() : nullptr;
  if (!mEntryTemplate || !factory) {
    return nullptr;
  }
  const RCPtr<LControl> self(this);
  const RCPtr<LControl> made = factory->CreateControl(self, mEntryTemplate->CreateCopy(name));
  const RCPtr<LComboMenu> entry = DynamicCast<LComboMenu>(made);
  if (!entry) {
    if (made) {
      made->Detach();
    }
    return nullptr;
  }
  TakeFocusWhenPressed(entry);
  entry->SetText(label);
  if (const RCPtr<LPopupMenu> popup = entry->GetPopupMenu()) {
    popup->SetMenuItemUpdater(GetMenuItemUpdater());
    popup->SetMenuDescriptor(menu);
    if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
      popup->SetOwner(window);
    }
  }
  return entry;
}

void LMainMenu::ChainPlacements() {
  const RCPtr<LLayoutDescriptor> pattern = mEntryTemplate ? mEntryTemplate->GetLayout() : nullptr;
  if (!pattern) {
    return;
  }
  LayoutPosition own;
  LayoutSize size;
  pattern->GetAxis(0, own, size);
  // The last skin entry, which the first added one follows unless the template was a child.
  RCPtr<LControl> previous;
  if (!mTemplateWasChild) {
    for (uint32_t k = GetChildren().GetCount(); k-- > 0;) {
      const RCPtr<LControl> child = GetChildren().GetAt(k, ChildControlList::kInsertionOrder);
      if (std::find(mEntries.begin(), mEntries.end(), DynamicCast<LComboMenu>(child)) == mEntries.end()) {
        previous = child;
        break;
      }
    }
  }
  for (const RCPtr<LComboMenu>& entry : mEntries) {
    LayoutPosition position = own;
    if (previous) {
      position = LayoutPosition{own.anchor, kPositionToSibling, previous->GetName(), 1.0f, 0.0, own.docked};
    }
    LayoutPosition current;
    LayoutSize currentSize;
    entry->GetLayoutDescriptor()->GetAxis(0, current, currentSize);
    entry->SetAxisPlacement(0, position, currentSize);
    previous = entry;
  }
}

// =============================================================================================
// Focus, keys and items
// =============================================================================================

RCPtr<LControl> LMainMenu::GetKeyboardTarget() {
  if (mFocusBefore && mFocusBefore->AcceptsTextInput()) {
    return mFocusBefore;
  }
  return GetParent() ? GetParent()->GetKeyboardTarget() : nullptr;
}

QZResult LMainMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  const QZResult result = LControl::OnConditionsChanged(param);
  if (param && (param->GetCurrent() & kConditionContainsFocus) && !(param->GetPrevious() & kConditionContainsFocus)) {
    const RCPtr<IRootWindow> window = GetRootWindowRef();
    RCPtr<LControl> previous = window ? window->GetPreviousFocusedControl() : nullptr;
    for (RCPtr<LControl> up = previous; up; up = up->GetParent()) {
      if (up.Get() == this) {
        previous = nullptr; // moved between titles: the control from before stays
        break;
      }
    }
    if (previous) {
      mFocusBefore = previous;
    }
  }
  return result;
}

void LMainMenu::RestoreFocusAfterMenu() {
  const RCPtr<LControl> target = mFocusBefore;
  if (target && target->GetRootWindowRef()) {
    target->SetFocus(true); // a refusal leaves the focus where it is
  }
}

QZResult LMainMenu::IsMenuItemEnabled(const LMenuDescriptor* menu, int32_t itemIndex, const WString& command,
                                      LMenuItemState& state) {
  if (!mStateProvider) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> control = mStateProvider->GetControl();
  if (!control) {
    return QZ_E_FAIL;
  }
  return control->IsMenuItemEnabled(menu, itemIndex, command, state);
}

} // namespace QZ
