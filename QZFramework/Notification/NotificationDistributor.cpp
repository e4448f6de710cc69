#include "QZFramework/Notification/NotificationDistributor.h"

#include <memory>
#include <utility>

#include "QZFramework/Notification/NotificationDelivery.h"

namespace QZ {
namespace {

// Every distributor that has registrations, each holding one reference. Read by nobody:
// it is the distributor's side of the reference accounting. Immortal, so that
// distributors released by static destructors can still leave it. Every control enters
// it as its tree is made: it grows by many slots at a time.
struct DistributorList {
  Mutex mutex;
  RCPtrArray<LNotificationDistributor, 64> items;
};

DistributorList& Distributors() {
  static DistributorList* list = new DistributorList;
  return *list;
}

void EnterDistributorList(LNotificationDistributor* distributor) {
  DistributorList& list = Distributors();
  Mutex::ScopedLock hold(list.mutex);
  list.items.AddItem(RCPtr<LNotificationDistributor>(distributor));
}

// Takes the list's reference out into taken, to be released outside the list's lock.
void LeaveDistributorList(LNotificationDistributor* distributor, RCPtr<LNotificationDistributor>& taken) {
  DistributorList& list = Distributors();
  Mutex::ScopedLock hold(list.mutex);
  for (uint32_t i = list.items.GetCount(); i-- > 0;) {
    if (list.items.GetAt(i).Get() == distributor) {
      list.items.RemoveItem(i, taken);
      return;
    }
  }
}

} // namespace

// Pool pointers in order of creation, read without the distributor's lock: a slot is
// written before the count that covers it is published. A full index is replaced by a
// larger copy that keeps the replaced one, as a reader may still be in it; all go with
// the distributor.
class LNotificationDistributor::PoolIndex {
public:
  PoolIndex(uint32_t capacity, std::unique_ptr<PoolIndex> replaced)
      : mReplaced(std::move(replaced)), mCapacity(capacity),
        mItems(new std::atomic<LNotificationClientPool*>[capacity]) {
    if (mReplaced) {
      const uint32_t count = mReplaced->mCount.load(std::memory_order_relaxed);
      for (uint32_t i = 0; i < count; ++i) {
        mItems[i].store(mReplaced->mItems[i].load(std::memory_order_relaxed), std::memory_order_relaxed);
      }
      mCount.store(count, std::memory_order_relaxed);
    }
  }

  LNotificationClientPool* Find(NotificationID id) const {
    for (uint32_t i = mCount.load(std::memory_order_acquire); i-- > 0;) {
      LNotificationClientPool* pool = mItems[i].load(std::memory_order_relaxed);
      if (pool->GetID() == id) {
        return pool;
      }
    }
    return nullptr;
  }

  bool IsFull() const { return mCount.load(std::memory_order_relaxed) == mCapacity; }
  uint32_t GetCapacity() const { return mCapacity; }

  // Under the distributor's lock, when not full.
  void Append(LNotificationClientPool* pool) {
    const uint32_t count = mCount.load(std::memory_order_relaxed);
    mItems[count].store(pool, std::memory_order_relaxed);
    mCount.store(count + 1, std::memory_order_release);
  }

private:
  const std::unique_ptr<PoolIndex> mReplaced;
  const uint32_t mCapacity;
  const std::unique_ptr<std::atomic<LNotificationClientPool*>[]> mItems;
  std::atomic<uint32_t> mCount{0};
};

LNotificationDistributor::LNotificationDistributor() : mPoolIndex(new PoolIndex(4, nullptr)) {}

LNotificationDistributor::~LNotificationDistributor() { delete mPoolIndex.load(std::memory_order_relaxed); }

QZResult LNotificationDistributor::AddClient(const RCPtr<LNotificationClient>& client, NotificationName name,
                                             uint32_t flags) {
  if (!client) {
    return QZ_E_INVALIDARG;
  }
  const NotificationID id = GetNotificationID(name);
  if (!id) {
    return QZ_FALSE;
  }
  Mutex::ScopedLock hold(mMutex);
  RCPtr<LNotificationClientPool> pool(FindClientPoolEntry(id));
  const bool isNew = !pool || !pool->HasClient(client.Get());
  if (isNew) {
    AddRef();
    AddInternalReferences(1);
    if (++mRegistrationCount == 1) {
      EnterDistributorList(this);
      AddInternalReferences(1);
    }
  }
  if (!pool) {
    pool = RCPtr<LNotificationClientPool>(new LNotificationClientPool(id));
    mPools.AddItem(pool);
    PoolIndex* index = mPoolIndex.load(std::memory_order_relaxed);
    if (index->IsFull()) {
      index = new PoolIndex(2 * index->GetCapacity(), std::unique_ptr<PoolIndex>(index));
      mPoolIndex.store(index, std::memory_order_release);
    }
    index->Append(pool.Get());
  }
  pool->AddClient(client, flags);
  return isNew ? QZ_OK : QZ_FALSE;
}

QZResult LNotificationDistributor::RemoveClient(LNotificationClient* client, NotificationName name) {
  const NotificationID id = GetNotificationID(name);
  if (!client || !id) {
    return QZ_E_INVALIDARG;
  }
  Detail::UnregistrationScope scope;
  RCPtr<LNotificationRegisteredClientInfo> removed;
  RCPtr<LNotificationDistributor> listReference;
  {
    Mutex::ScopedLock hold(mMutex);
    LNotificationClientPool* pool = FindClientPoolEntry(id);
    if (!pool || pool->RemoveClient(client, removed) != QZ_OK) {
      return QZ_FALSE;
    }
    // Internal counts go down before the references they stand for are released, so
    // that no release mistakes them for outside references.
    if (--mRegistrationCount == 0) {
      AddInternalReferences(-1);
      LeaveDistributorList(this, listReference);
    }
    AddInternalReferences(-1);
  }
  // Released, once no other thread is calling it, when the outermost unregistration ends.
  Detail::UnregistrationScope::Defer(std::move(removed));
  listReference = nullptr;
  // The registration's reference, last: it may destroy this distributor.
  Release();
  return QZ_OK;
}

int32_t LNotificationDistributor::RemoveClientAll(LNotificationClient* client) {
  if (!client) {
    return QZ_E_INVALIDARG;
  }
  Detail::UnregistrationScope scope;
  std::vector<NotificationID> ids;
  RCPtr<LNotificationDistributor> keepAlive;
  {
    Mutex::ScopedLock hold(mMutex);
    for (uint32_t i = mPools.GetCount(); i-- > 0;) {
      if (mPools.GetAt(i)->HasClient(client)) {
        ids.push_back(mPools.GetAt(i)->GetID());
      }
    }
    if (!ids.empty()) {
      // Held by the client's registrations, so never resurrected from 0.
      keepAlive = this;
    }
  }
  int32_t removed = 0;
  for (NotificationID id : ids) {
    if (RemoveClient(client, id) == QZ_OK) {
      ++removed;
    }
  }
  return removed;
}

bool LNotificationDistributor::HasClient(const LNotificationClient* client) const {
  Mutex::ScopedLock hold(mMutex);
  for (uint32_t i = 0; i < mPools.GetCount(); ++i) {
    if (mPools.GetAt(i)->HasClient(client)) {
      return true;
    }
  }
  return false;
}

RCPtr<LNotificationDistributor::LNotificationClientPool>
LNotificationDistributor::FindClientPool(NotificationID id) const {
  return RCPtr<LNotificationClientPool>(FindClientPoolEntry(id));
}

LNotificationDistributor::LNotificationClientPool*
LNotificationDistributor::FindClientPoolEntry(NotificationID id) const {
  return mPoolIndex.load(std::memory_order_acquire)->Find(id);
}

void LNotificationDistributor::RecordLatest(const RCPtr<LNotification>& notification) const {
  if (LNotificationClientPool* pool = FindClientPoolEntry(notification->GetID())) {
    pool->RecordLatest(notification);
  }
}

QZResult LNotificationDistributor::GetClientFlags(const LNotificationClient* client, NotificationName name,
                                                  uint32_t& flags) const {
  const NotificationID id = GetNotificationID(name);
  RCPtr<LNotificationClientPool> pool = id ? FindClientPool(id) : nullptr;
  return pool ? pool->GetClientFlags(client, flags) : QZResult(QZ_E_FAIL);
}

uint32_t LNotificationDistributor::GetRegistrationCount() const {
  Mutex::ScopedLock hold(mMutex);
  return mRegistrationCount;
}

QZResult LNotificationDistributor::SendNotification(const RCPtr<LNotification>& notification) {
  if (!notification) {
    return QZ_E_INVALIDARG;
  }
  // Pools stay as long as their distributor, which the delivery keeps alive.
  LNotificationClientPool* pool = FindClientPoolEntry(notification->GetID());
  return pool ? pool->NotifyClients(RCPtr<LNotificationDistributor>(this), notification) : QZResult(QZ_FALSE);
}

QZResult LNotificationDistributor::Deliver(const RCPtr<LNotificationDistributor>& self,
                                           const RCPtr<LNotification>& notification) {
  LNotificationClientPool* pool = FindClientPoolEntry(notification->GetID());
  return pool ? pool->NotifyClients(self, notification) : QZResult(QZ_FALSE);
}

QZResult LNotificationDistributor::UnregisterAllClients() {
  // Collected under the lock, called without it: a client's unregistration may release
  // the last reference of objects whose destruction takes other locks.
  Detail::UnregistrationScope scope;
  std::vector<std::pair<RCPtr<LNotificationClient>, NotificationID>> registrations;
  RCPtr<LNotificationDistributor> keepAlive;
  {
    Mutex::ScopedLock hold(mMutex);
    for (uint32_t p = mPools.GetCount(); p-- > 0;) {
      for (RCPtr<LNotificationClient>& client : mPools.GetAt(p)->GetClients()) {
        registrations.emplace_back(std::move(client), mPools.GetAt(p)->GetID());
      }
    }
    if (mRegistrationCount > 0) {
      keepAlive = this;
    }
  }
  for (auto& [client, id] : registrations) {
    client->UnregisterNotification(this, id); // one that is gone already answers 1
  }
  return QZ_OK;
}

} // namespace QZ
