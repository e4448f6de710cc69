#include "QZFramework/ControlBase/MenuDescriptor.h"

#include <algorithm>

#include "QZFramework/Utilities/Storage/WideChar.h"

namespace QZ {

namespace {

// Every part between '.' characters, in order: "00.SUB." gives "00", "SUB" and "".
std::vector<WString> SplitAtPoints(const WString& key) {
  std::vector<WString> parts;
  const char16_t* text = key.GetBuffer();
  const uint32_t length = key.GetLength();
  uint32_t start = 0;
  for (uint32_t i = 0; i <= length; ++i) {
    if (i == length || text[i] == u'.') {
      parts.push_back(key.Mid(int32_t(start), i - start));
      start = i + 1;
    }
  }
  return parts;
}

bool IsDecimalDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

// label and status text of a row's value, split at the first '|'.
std::pair<WString, WString> SplitValue(const WString& value) {
  const std::u16string_view text = value.View();
  const size_t bar = text.find(u'|');
  if (bar == std::u16string_view::npos) {
    return {value, WString()};
  }
  return {value.Left(uint32_t(bar)), value.Mid(int32_t(bar + 1))};
}

} // namespace

// --- LMenuDescriptor ------------------------------------------------------------------

LMenuDescriptor::~LMenuDescriptor() {
  // A link set without an insertion (SetParent on a loose item) still counts at the parent.
  SetParent(*this, nullptr);
}

RCPtr<LMenuDescriptor> LMenuDescriptor::Create() { return RCPtr<LMenuDescriptor>(new LMenuDescriptor()); }

RCPtr<LMenuDescriptor> LMenuDescriptor::CreateFromStringTable(std::span<const Entry> entries) {
  Rows topRows;
  NamedRows namedMenus;
  for (const auto& [key, value] : entries) {
    const std::vector<WString> parts = SplitAtPoints(key);
    if (parts.size() < 2) {
      continue;
    }
    const bool topLevel = IsDecimalDigit(parts[0].GetBuffer()[0]);
    const size_t positionPart = topLevel ? 0 : 1;
    const size_t nidPart = positionPart + 1;
    const int32_t position = Chars::ToInt32(parts[positionPart].GetBuffer());
    WString nid;
    if (nidPart < parts.size()) {
      nid = parts[nidPart];
      // The split loses the trailing point that marks a sub-menu row.
      if (key.View().ends_with(u'.')) {
        nid += u'.';
      }
    }
    Rows& rows = topLevel ? topRows : namedMenus[parts[0]];
    if (position >= 0 && size_t(position) == rows.size()) {
      rows.emplace_back(nid, value);
    }
  }

  RCPtr<LMenuDescriptor> menu = Create();
  std::vector<WString> path;
  if (Failed(BuildFromEntries(topRows, namedMenus, *menu, path))) {
    return nullptr;
  }
  return menu;
}

QZResult LMenuDescriptor::BuildFromEntries(const Rows& rows, const NamedRows& namedMenus, LMenuDescriptor& menu,
                                           std::vector<WString>& path) {
  for (const auto& [nid, value] : rows) {
    const auto [label, statusText] = SplitValue(value);
    QZResult result = QZ_OK;
    if (nid.View().ends_with(u'.')) {
      std::u16string_view name = nid.View();
      while (name.ends_with(u'.')) {
        name.remove_suffix(1);
      }
      const WString subMenuName(name.data(), uint32_t(name.size()));
      const auto found = namedMenus.find(subMenuName);
      if (found == namedMenus.end() || found->second.empty() ||
          std::find(path.begin(), path.end(), subMenuName) != path.end()) {
        continue;
      }
      RCPtr<LMenuItemDescriptor> item = LMenuItemDescriptor::Create(label, WString(), true, false);
      if (!statusText.IsEmpty()) {
        item->SetStatusText(statusText);
      }
      result = menu.InsertItem(menu.GetItemCount(), item);
      if (Succeeded(result)) {
        path.push_back(subMenuName);
        result = BuildFromEntries(found->second, namedMenus, *item, path);
        path.pop_back();
      }
    } else if (nid == u"-") {
      result = menu.InsertSeparator(menu.GetItemCount());
    } else {
      RCPtr<LMenuItemDescriptor> item = LMenuItemDescriptor::Create(label, nid, true, false);
      item->SetStatusText(statusText);
      result = menu.InsertItem(menu.GetItemCount(), item);
    }
    if (Failed(result)) {
      return result;
    }
  }
  return QZ_OK;
}

QZResult LMenuDescriptor::InsertItem(uint32_t index, const RCPtr<LMenuItemDescriptor>& item) {
  if (!item) {
    return QZ_E_INVALIDARG;
  }
  for (const LMenuDescriptor* menu = this; menu; menu = menu->mParent.Get()) {
    if (menu == item.Get()) {
      return QZ_E_INVALIDARG;
    }
  }
  const QZResult result = mItems.InsertAt(index, item);
  if (Succeeded(result)) {
    SetParent(*item, this);
  }
  return result;
}

QZResult LMenuDescriptor::InsertNewItem(uint32_t index, const WString& label, const WString& notificationName,
                                        bool enabled, bool isChecked) {
  return InsertItem(index, LMenuItemDescriptor::Create(label, notificationName, enabled, isChecked));
}

QZResult LMenuDescriptor::InsertSeparator(uint32_t index) {
  return InsertItem(index, LMenuItemDescriptor::CreateSeparator());
}

QZResult LMenuDescriptor::GetItemState(uint32_t index, LMenuItemState& state) const {
  state.enabled = false;
  state.isChecked = false;
  state.label.Empty();
  if (index >= mItems.GetCount()) {
    return QZ_E_INVALIDARG;
  }
  const LMenuItemDescriptor& item = *mItems.GetAt(index);
  state.enabled = item.IsEnabled();
  state.isChecked = item.IsChecked();
  state.label = item.GetLabel();
  return QZ_OK;
}

void LMenuDescriptor::SetParent(LMenuDescriptor& item, LMenuDescriptor* menu) {
  if (item.mParent.Get() == menu) {
    return;
  }
  RCPtr<LMenuDescriptor> old = std::move(item.mParent);
  if (menu) {
    item.mParent = menu;
    menu->AddInternalReferences(1);
  }
  if (old) {
    // Internal count first: were the reference dropped first, the old parent could
    // take its last outside holder for gone and empty itself.
    old->AddInternalReferences(-1);
    old = nullptr;
  }
}

QZResult LMenuDescriptor::RemoveAllItems() {
  for (uint32_t i = mItems.GetCount(); i-- > 0;) {
    if (i >= mItems.GetCount()) {
      continue;
    }
    RCPtr<LMenuItemDescriptor> item = mItems.GetAt(i);
    if (item) {
      SetParent(*item, nullptr);
    }
    mItems.RemoveItems(i, 1);
  }
  SetParent(*this, nullptr);
  return QZ_OK;
}

RCPtr<LMenuDescriptor> LMenuDescriptor::Clone() const {
  RCPtr<LMenuDescriptor> copy = Create();
  CloneItemsInto(*copy);
  return copy;
}

void LMenuDescriptor::CloneItemsInto(LMenuDescriptor& target) const {
  for (uint32_t i = 0; i < mItems.GetCount(); ++i) {
    RCPtr<LMenuItemDescriptor> copy = mItems.GetAt(i)->CloneItem();
    target.mItems.AddItem(copy);
    SetParent(*copy, &target);
  }
}

QZResult LMenuDescriptor::ReleaseInternalReferences() {
  RemoveAllItems();
  return LRefCountedObject::ReleaseInternalReferences();
}

RCPtr<LMenuItemDescriptor> LMenuDescriptor::GetItem(uint32_t index) const {
  return index < mItems.GetCount() ? mItems.GetAt(index) : nullptr;
}

// --- LMenuItemDescriptor --------------------------------------------------------------

LMenuItemDescriptor::LMenuItemDescriptor(WString label, WString notificationName, bool enabled, bool isChecked,
                                         bool separator)
    : mLabel(std::move(label)), mNotificationName(std::move(notificationName)), mEnabled(enabled),
      mIsChecked(isChecked), mSeparator(separator) {}

RCPtr<LMenuItemDescriptor> LMenuItemDescriptor::Create(const WString& label, const WString& notificationName,
                                                       bool enabled, bool isChecked) {
  return RCPtr<LMenuItemDescriptor>(new LMenuItemDescriptor(label, notificationName, enabled, isChecked, false));
}

RCPtr<LMenuItemDescriptor> LMenuItemDescriptor::CreateSeparator() {
  return RCPtr<LMenuItemDescriptor>(new LMenuItemDescriptor(WString(), WString(), true, false, true));
}

RCPtr<LMenuItemDescriptor> LMenuItemDescriptor::CloneItem() const {
  RCPtr<LMenuItemDescriptor> copy(new LMenuItemDescriptor(mLabel, mNotificationName, mEnabled, mIsChecked, mSeparator));
  copy->mHotKeyText = mHotKeyText;
  copy->mStatusText = mStatusText;
  CloneItemsInto(*copy);
  return copy;
}

} // namespace QZ
