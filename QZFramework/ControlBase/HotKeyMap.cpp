#include "QZFramework/ControlBase/HotKeyMap.h"

#include "QZFramework/ControlBase/StringTable.h"

namespace QZ {

QZResult HotKeyMap::AddBinding(const KeyCode& key, const WString& command) {
  if (!FindCommand(key).IsEmpty() || command.IsEmpty()) {
    return QZ_E_INVALIDARG;
  }
  mBindings[GetNotificationID(command.GetBuffer())].AddItem(key);
  return QZ_OK;
}

WString HotKeyMap::FindCommand(const KeyCode& key) const {
  for (const auto& [id, keys] : mBindings) {
    for (uint32_t i = keys.GetCount(); i-- > 0;) {
      if (keys.GetAt(i) == key) {
        return WString(id);
      }
    }
  }
  return WString();
}

bool HotKeyMap::HasBinding(const WString& command) const {
  return !command.IsEmpty() && mBindings.count(GetNotificationID(command.GetBuffer())) != 0;
}

Array<KeyCode> HotKeyMap::GetBindings(const WString& command) const {
  if (command.IsEmpty()) {
    return {};
  }
  const auto found = mBindings.find(GetNotificationID(command.GetBuffer()));
  return found == mBindings.end() ? Array<KeyCode>() : found->second;
}

QZResult HotKeyMap::ParseDefinitions(const LStringTable* table, const WString& prefix) {
  if (!table) {
    return QZ_E_INVALIDARG;
  }
  WString head = prefix;
  head += u'.';
  for (const auto& [id, text] : table->GetEntries()) {
    if (id.Find(head) != 0) {
      continue;
    }
    const KeyCode key = KeyCode::FromString(text);
    if (!(key.code & kKeyCodeInvalid)) {
      // A key bound already keeps its first command; an empty command binds nothing.
      (void)AddBinding(key, id.Mid(id.ReverseFind(u'.') + 1));
    }
  }
  return QZ_OK;
}

void HotKeyMap::Clear() {
  mBindings.clear();
  mHandlers.clear();
}

QZResult HotKeyMap::SetHandler(LNotificationReceiver* receiver, uintptr_t data, const WString& name) {
  if (name.IsEmpty()) {
    return QZ_E_FAIL;
  }
  const NotificationID id = GetNotificationID(name.GetBuffer());
  if (receiver) {
    mHandlers[id] = Handler{receiver, data};
  } else {
    mHandlers.erase(id);
  }
  return QZ_OK;
}

HotKeyMap::Handler HotKeyMap::GetHandler(const WString& name) const {
  if (name.IsEmpty()) {
    return {};
  }
  const auto found = mHandlers.find(GetNotificationID(name.GetBuffer()));
  return found == mHandlers.end() ? Handler() : found->second;
}

} // namespace QZ
