#pragma once
// QZ::HotKeyMap: key combinations bound to commands; a command is a notification name.
// Controls ("LHK"), root windows ("GHK") and the application ("GHK", "GHK_WIN") each keep
// one, filled from string-table definitions whose ID is the prefix, a dot and the command
// and whose text is the key (KeyCode::FromString).
//
//   QZ::HotKeyMap keys;
//   keys.ParseDefinitions(table.Get(), u"GHK_WIN");     // "GHK_WIN.NID_EDIT_COPY_REQ" = "Ctrl+VKEY_C"
//   keys.AddBinding(QZ::KeyCode::FromString(u"Alt+VKEY_F4"), u"NID_APP_EXIT_REQ");
//   keys.FindCommand(QZ::KeyCode(0x43, true, 0, QZ::kModifierCtrl));   // "NID_EDIT_COPY_REQ"
//
// A key is bound to at most one command: a second binding of a key that FindCommand
// already answers for is refused. Entries are ordered by the command's notification id.
// Results: 0, QZ_E_INVALIDARG (E_INVALIDARG), QZ_E_FAIL (E_FAIL) where stated; nothing
// throws but out of memory. Not synchronised: maps are built and read on the UI thread.

#include <cstdint>
#include <functional>
#include <map>

#include "QZFramework/ControlBase/KeyCode.h"
#include "QZFramework/Notification/NotificationClient.h"
#include "QZFramework/Utilities/Storage/Array.h"

namespace QZ {

class LStringTable;

class HotKeyMap {
public:
  // What handles a command: a receiver the map does not own, and a word for it.
  struct Handler {
    LNotificationReceiver* receiver = nullptr;
    uintptr_t data = 0;
  };

  // Binds key to command, after the command's other keys. E_INVALIDARG when the key is
  // bound already (to any command, this one too) or command is empty.
  [[nodiscard]] QZResult AddBinding(const KeyCode& key, const WString& command);
  // The command bound to key under KeyCode equality, or an empty name. Entries are
  // searched in map order, each key list from its last key.
  WString FindCommand(const KeyCode& key) const;
  // Whether command has an entry; false for an empty name.
  bool HasBinding(const WString& command) const;
  // Whether no command has a key.
  bool IsEmpty() const { return mBindings.empty(); }
  // A copy of command's keys in the order they were bound; empty when none.
  Array<KeyCode> GetBindings(const WString& command) const;
  // Binds every definition of table whose ID begins with prefix + "." to the part of the
  // ID after its last dot, in ID order. A key bound already keeps its first command.
  // 0; E_INVALIDARG for a null table.
  [[nodiscard]] QZResult ParseDefinitions(const LStringTable* table, const WString& prefix);
  // Removes every binding and every handler.
  void Clear();

  // Records receiver and data as the handler of name (a command or notification name,
  // bound or not), replacing an earlier one; a null receiver removes it. The receiver
  // must be removed before it goes. 0; E_FAIL for an empty name.
  [[nodiscard]] QZResult SetHandler(LNotificationReceiver* receiver, uintptr_t data, const WString& name);
  // The handler of name; a null receiver when none.
  Handler GetHandler(const WString& name) const;

private:
  using ById = std::less<const void*>;

  std::map<NotificationID, Array<KeyCode>, ById> mBindings;
  std::map<NotificationID, Handler, ById> mHandlers;
};

} // namespace QZ
