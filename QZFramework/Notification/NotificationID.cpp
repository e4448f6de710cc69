#include "QZFramework/Notification/NotificationID.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "QZFramework/Services/Sync/Mutex.h"
#include "QZFramework/Utilities/Storage/StringArray.h"

namespace QZ {
namespace {

// The ids as a set that any thread reads without the lock: most callers pass an id, and
// recognising one must not cost a lock and a hash of its text. Open addressing over
// pointer hashes, at most half full; written under the name lock, slots filled once and
// never cleared. A fuller set is replaced by a larger copy; replaced sets are kept (a
// reader may still be in one), which costs less than twice the last set.
class IdSet {
public:
  IdSet() : mCurrent(NewTable(64)) {}

  bool Contains(NotificationID id) const {
    const Table& table = *mCurrent.load(std::memory_order_acquire);
    for (size_t slot = Hash(id) & table.mask;; slot = (slot + 1) & table.mask) {
      const NotificationID held = table.slots[slot].load(std::memory_order_acquire);
      if (held == id) {
        return true;
      }
      if (!held) {
        return false;
      }
    }
  }

  // Under the name lock; id is not in the set yet.
  void Add(NotificationID id) {
    Table* table = mCurrent.load(std::memory_order_relaxed);
    if (2 * (mCount + 1) > table->mask + 1) {
      Table* larger = NewTable(2 * (table->mask + 1));
      for (const auto& slot : table->slots) {
        if (const NotificationID held = slot.load(std::memory_order_relaxed)) {
          Place(*larger, held);
        }
      }
      mCurrent.store(larger, std::memory_order_release);
      table = larger;
    }
    Place(*table, id);
    ++mCount;
  }

private:
  struct Table {
    explicit Table(size_t size) : mask(size - 1), slots(size) {}
    size_t mask;
    std::vector<std::atomic<NotificationID>> slots;
  };

  static size_t Hash(NotificationID id) {
    // Texts are at least 2-byte aligned; the multiplication spreads the rest.
    return size_t((uintptr_t(id) >> 1) * 0x9E3779B97F4A7C15ull >> 20);
  }

  static void Place(Table& table, NotificationID id) {
    size_t slot = Hash(id) & table.mask;
    while (table.slots[slot].load(std::memory_order_relaxed)) {
      slot = (slot + 1) & table.mask;
    }
    table.slots[slot].store(id, std::memory_order_release);
  }

  Table* NewTable(size_t size) {
    mTables.push_back(std::make_unique<Table>(size));
    return mTables.back().get();
  }

  std::vector<std::unique_ptr<Table>> mTables; // under the name lock; first, for mCurrent
  std::atomic<Table*> mCurrent;
  size_t mCount = 0;
};

// The table keeps every interned text (appended only, never moved: its items share
// their buffers); the index finds an entry by text, which also finds an id by itself.
struct InternTable {
  WStringArray names;
  std::unordered_map<std::u16string_view, NotificationID> byText;
  IdSet ids;
};

// Immortal, so that notifications released by static destructors can still intern.
InternTable& Table() {
  static InternTable* table = new InternTable;
  return *table;
}

// The lock of the intern table. Immortal, like the table.
Mutex& NameLock() {
  static Mutex* lock = new Mutex;
  return *lock;
}

} // namespace

NotificationID GetNotificationID(NotificationName name) {
  if (!name || name[0] == u'\0') {
    return nullptr;
  }
  InternTable& table = Table();
  if (table.ids.Contains(name)) {
    return name;
  }
  const std::u16string_view text(name);
  Mutex::ScopedLock hold(NameLock());
  auto found = table.byText.find(text);
  if (found != table.byText.end()) {
    return found->second;
  }
  table.names.AddItem(WString(name));
  const WString& stored = table.names.GetAt(table.names.GetCount() - 1);
  const NotificationID id = stored.GetBuffer();
  table.byText.emplace(std::u16string_view(id, text.size()), id);
  table.ids.Add(id);
  return id;
}

} // namespace QZ
