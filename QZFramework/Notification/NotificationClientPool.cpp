#include <algorithm>
#include <mutex>

#include "QZFramework/Notification/NotificationDelivery.h"
#include "QZFramework/Notification/NotificationDistributor.h"

namespace QZ {

using Pool = LNotificationDistributor::LNotificationClientPool;
using Entry = LNotificationDistributor::LNotificationRegisteredClientInfo;

// The entries of a pool at one moment, in order of registration. Never changed once
// made: walks read it without the pool's lock, and it keeps its entries (and so their
// clients) alive while they are called.
class Pool::Snapshot : public LRefCountedObject {
public:
  explicit Snapshot(const RCPtrArray<Entry>& entries) {
    items.reserve(entries.GetCount());
    for (uint32_t i = 0; i < entries.GetCount(); ++i) {
      items.push_back(entries.GetAt(i));
    }
  }

  std::vector<RCPtr<Entry>> items;
};

// The position of one NotifyClient over the entries, kept up to date by RemoveClient.
class Pool::Walk {
public:
  Walk(Pool& pool, int32_t start) : index(start), mPool(pool) {
    Mutex::ScopedLock hold(mPool.mMutex);
    mPool.mWalks.push_back(&index);
  }
  Walk(const Walk&) = delete;
  Walk& operator=(const Walk&) = delete;
  ~Walk() {
    Mutex::ScopedLock hold(mPool.mMutex);
    mPool.mWalks.erase(std::find(mPool.mWalks.begin(), mPool.mWalks.end(), &index));
  }

  int32_t index; // under the pool's lock

private:
  Pool& mPool;
};

Pool::LNotificationClientPool(NotificationID id) : mId(id) {}

Pool::~LNotificationClientPool() = default;

int32_t Pool::FindEntry(const LNotificationClient* client) const {
  for (uint32_t i = mEntries.GetCount(); i-- > 0;) {
    if (mEntries.GetAt(i)->client.Get() == client) {
      return int32_t(i);
    }
  }
  return -1;
}

QZResult Pool::AddClient(const RCPtr<LNotificationClient>& client, uint32_t flags) {
  if (!client) {
    return QZ_E_INVALIDARG;
  }
  RCPtr<Snapshot> outdated; // released after the lock
  Mutex::ScopedLock hold(mMutex);
  const int32_t index = FindEntry(client.Get());
  if (index < 0) {
    mEntries.AddItem(RCPtr<Entry>(new Entry(client, flags)));
    mEntryCount.store(mEntries.GetCount(), std::memory_order_release);
    mFlags.fetch_or(flags, std::memory_order_acq_rel);
    std::lock_guard replace(mSnapshotLock);
    outdated.Swap(mSnapshot);
  } else if (mEntries.GetAt(index)->flags.load(std::memory_order_relaxed) != flags) {
    mEntries.GetAt(index)->flags.store(flags, std::memory_order_relaxed);
    uint32_t all = 0;
    for (uint32_t i = 0; i < mEntries.GetCount(); ++i) {
      all |= mEntries.GetAt(i)->flags.load(std::memory_order_relaxed);
    }
    mFlags.store(all, std::memory_order_release);
  }
  return QZ_OK;
}

QZResult Pool::RemoveClient(const LNotificationClient* client, RCPtr<Entry>& removed) {
  RCPtr<Snapshot> outdated; // released after the lock
  Mutex::ScopedLock hold(mMutex);
  const int32_t index = FindEntry(client);
  if (index < 0) {
    return QZ_FALSE;
  }
  mEntries.RemoveItem(uint32_t(index), removed);
  removed->removed.store(true, std::memory_order_seq_cst);
  mEntryCount.store(mEntries.GetCount(), std::memory_order_release);
  {
    std::lock_guard replace(mSnapshotLock);
    outdated.Swap(mSnapshot);
  }
  for (int32_t* position : mWalks) {
    if (index < *position) {
      --*position;
    }
  }
  return QZ_OK;
}

bool Pool::HasClient(const LNotificationClient* client) const {
  Mutex::ScopedLock hold(mMutex);
  return FindEntry(client) >= 0;
}

QZResult Pool::GetClientFlags(const LNotificationClient* client, uint32_t& flags) const {
  Mutex::ScopedLock hold(mMutex);
  const int32_t index = FindEntry(client);
  if (index < 0) {
    return QZ_E_FAIL;
  }
  flags = mEntries.GetAt(uint32_t(index))->flags.load(std::memory_order_relaxed);
  return QZ_OK;
}

std::vector<RCPtr<LNotificationClient>> Pool::GetClients() const {
  Mutex::ScopedLock hold(mMutex);
  std::vector<RCPtr<LNotificationClient>> clients;
  for (uint32_t i = mEntries.GetCount(); i-- > 0;) {
    clients.push_back(mEntries.GetAt(i)->client);
  }
  return clients;
}

RCPtr<Pool::Snapshot> Pool::TakeSnapshot() {
  {
    std::lock_guard take(mSnapshotLock);
    if (mSnapshot) {
      return mSnapshot;
    }
  }
  // Made under the pool's lock, which every change of the entries holds.
  Mutex::ScopedLock hold(mMutex);
  {
    std::lock_guard take(mSnapshotLock);
    if (mSnapshot) { // made by another walk meanwhile
      return mSnapshot;
    }
  }
  RCPtr<Snapshot> made(new Snapshot(mEntries));
  std::lock_guard publish(mSnapshotLock);
  mSnapshot = made;
  return made;
}

void Pool::Deliver(Entry& entry, const RCPtr<LNotificationDistributor>& distributor,
                   const RCPtr<LNotification>& notification) {
  RCPtr<LNotification> latest; // released after the lock
  if (entry.flags.load(std::memory_order_relaxed) & kNotificationLatestOnly) {
    // Only the notification recorded by the latest post; a sent or older one is not
    // for this entry.
    Mutex::ScopedLock hold(mMutex);
    if (entry.latest != notification || entry.removed.load(std::memory_order_relaxed)) {
      return;
    }
    latest.Swap(entry.latest);
  }
  entry.client->ReceiveNotification(distributor, notification);
}

QZResult Pool::NotifyClients(const RCPtr<LNotificationDistributor>& distributor,
                             const RCPtr<LNotification>& notification) {
  return NotifyClients(distributor, notification, nullptr);
}

QZResult Pool::NotifyClients(const RCPtr<LNotificationDistributor>& distributor,
                             const RCPtr<LNotification>& notification,
                             const std::function<bool(const LNotificationClient&)>& accepts) {
  if (GetEntryCount() == 0) {
    return QZ_FALSE;
  }
  // Entries registered meanwhile are not in the snapshot; entries removed meanwhile
  // are marked, and skipped from the moment their removal is made.
  const RCPtr<Snapshot> snapshot = TakeSnapshot();
  Detail::DeliveryFrame frame;
  for (size_t i = snapshot->items.size(); i-- > 0;) {
    Entry& entry = *snapshot->items[i];
    frame.Enter(&entry);
    if (!entry.removed.load(std::memory_order_seq_cst) && (!accepts || accepts(*entry.client))) {
      Deliver(entry, distributor, notification);
    }
  }
  return QZ_OK;
}

bool Pool::DeliverAt(Walk& walk, const RCPtr<LNotificationDistributor>& distributor,
                     const RCPtr<LNotification>& notification) {
  RCPtr<Entry> entry;
  Detail::DeliveryFrame frame;
  {
    Mutex::ScopedLock hold(mMutex);
    if (walk.index < 0 || walk.index >= int32_t(mEntries.GetCount())) {
      return false;
    }
    entry = mEntries.GetAt(uint32_t(walk.index));
    // Published under the lock: a removal after it sees the frame and waits for it.
    frame.Enter(entry.Get());
  }
  Deliver(*entry, distributor, notification);
  return true;
}

int32_t Pool::NotifyClient(const RCPtr<LNotificationDistributor>& distributor, int32_t index,
                           const RCPtr<LNotification>& notification) {
  Walk walk(*this, index);
  if (!DeliverAt(walk, distributor, notification) && index >= 0) {
    return int32_t(GetEntryCount());
  }
  Mutex::ScopedLock hold(mMutex);
  return walk.index;
}

void Pool::RecordLatest(const RCPtr<LNotification>& notification) {
  if (!(GetFlags() & kNotificationLatestOnly)) {
    return;
  }
  std::vector<RCPtr<LNotification>> replaced;
  Mutex::ScopedLock hold(mMutex);
  for (uint32_t i = mEntries.GetCount(); i-- > 0;) {
    Entry& entry = *mEntries.GetAt(i);
    if (entry.flags.load(std::memory_order_relaxed) & kNotificationLatestOnly) {
      RCPtr<LNotification> latest(notification);
      latest.Swap(entry.latest);
      replaced.push_back(std::move(latest));
    }
  }
}

} // namespace QZ
