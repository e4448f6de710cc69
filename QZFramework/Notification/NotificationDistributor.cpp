#include "QZFramework/Notification/NotificationDistributor.h"

#include <utility>

#include "QZFramework/Notification/NotificationDelivery.h"

namespace QZ {
namespace {

// Every distributor that has registrations, each holding one reference. Read by nobody:
// it is the distributor's side of the reference accounting. Immortal, so that
// distributors released by static destructors can still leave it.
struct DistributorList {
  Mutex mutex;
  RCPtrArray<LNotificationDistributor> items;
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

LNotificationDistributor::~LNotificationDistributor() = default;

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
  RCPtr<LNotificationClientPool> pool = FindClientPoolLocked(id);
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
    RCPtr<LNotificationClientPool> pool = FindClientPoolLocked(id);
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
  Mutex::ScopedLock hold(mMutex);
  return FindClientPoolLocked(id);
}

RCPtr<LNotificationDistributor::LNotificationClientPool>
LNotificationDistributor::FindClientPoolLocked(NotificationID id) const {
  return RCPtr<LNotificationClientPool>(FindClientPoolEntry(id));
}

LNotificationDistributor::LNotificationClientPool* LNotificationDistributor::FindClientPoolEntry(NotificationID id) const {
  for (uint32_t i = mPools.GetCount(); i-- > 0;) {
    if (mPools.GetAt(i)->GetID() == id) {
      return mPools.GetAt(i).Get();
    }
  }
  return nullptr;
}

QZResult LNotificationDistributor::GetClientFlags(const LNotificationClient* client, NotificationName name,
                                                  uint32_t& flags) const {
  const NotificationID id = GetNotificationID(name);
  RCPtr<LNotificationClientPool> pool = id ? FindClientPool(id) : nullptr;
  return pool ? pool->GetClientFlags(client, flags) : QZ_E_FAIL;
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
  const RCPtr<LNotificationDistributor> self(this);
  LNotificationClientPool* pool = nullptr;
  {
    Mutex::ScopedLock hold(mMutex);
    pool = FindClientPoolEntry(notification->GetID());
  }
  return pool ? pool->NotifyClients(self, notification) : QZ_FALSE;
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
    client->UnregisterNotification(this, id);
  }
  return QZ_OK;
}

} // namespace QZ
