#include "QZFramework/Notification/NotificationID.h"

#include <string>
#include <string_view>
#include <unordered_map>

#include "QZFramework/Utilities/Storage/StringArray.h"

namespace QZ {
namespace {

// The table keeps every interned text (appended only, never moved: its items share
// their buffers); the index finds an entry by text, which also finds an id by itself.
struct InternTable {
  WStringArray names;
  std::unordered_map<std::u16string_view, NotificationID> byText;
};

// Immortal, so that notifications released by static destructors can still intern.
InternTable& Table() {
  static InternTable* table = new InternTable;
  return *table;
}

} // namespace

Mutex& Detail::NotificationNameLock() {
  static Mutex* lock = new Mutex;
  return *lock;
}

NotificationID GetNotificationID(NotificationName name) {
  if (!name || name[0] == u'\0') {
    return nullptr;
  }
  const std::u16string_view text(name);
  Mutex::ScopedLock hold(Detail::NotificationNameLock());
  InternTable& table = Table();
  auto found = table.byText.find(text);
  if (found != table.byText.end()) {
    return found->second;
  }
  table.names.AddItem(WString(name));
  const WString& stored = table.names.GetAt(table.names.GetCount() - 1);
  const NotificationID id = stored.GetBuffer();
  table.byText.emplace(std::u16string_view(id, text.size()), id);
  return id;
}

} // namespace QZ
