#include <algorithm>

#include "QZFramework/Notification/NotificationDistributor.h"

namespace QZ {

using Pool = LNotificationDistributor::LNotificationClientPool;

// The position of one walk over the entries, kept up to date by RemoveClient.
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

  int32_t index;        // under the pool's lock
  bool started = false; // set by the first delivery of an onward walk

private:
  Pool& mPool;
};

uint32_t Pool::GetFlags() const { return mFlags.load(std::memory_order_acquire); }

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
  Mutex::ScopedLock hold(mMutex);
  const int32_t index = FindEntry(client.Get());
  if (index < 0) {
    mEntries.AddItem(RCPtr<LNotificationRegisteredClientInfo>(new LNotificationRegisteredClientInfo(client, flags)));
    mEntryCount.store(mEntries.GetCount(), std::memory_order_release);
    mFlags.fetch_or(flags, std::memory_order_acq_rel);
  } else if (mEntries.GetAt(index)->flags != flags) {
    mEntries.GetAt(index)->flags = flags;
    uint32_t all = 0;
    for (uint32_t i = 0; i < mEntries.GetCount(); ++i) {
      all |= mEntries.GetAt(i)->flags;
    }
    mFlags.store(all, std::memory_order_release);
  }
  return QZ_OK;
}

QZResult Pool::RemoveClient(const LNotificationClient* client, RCPtr<LNotificationRegisteredClientInfo>& removed) {
  Mutex::ScopedLock hold(mMutex);
  const int32_t index = FindEntry(client);
  if (index < 0) {
    return QZ_FALSE;
  }
  mEntries.RemoveItem(uint32_t(index), removed);
  mEntryCount.store(mEntries.GetCount(), std::memory_order_release);
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
  flags = mEntries.GetAt(uint32_t(index))->flags;
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

bool Pool::DeliverAt(Walk& walk, bool onward, const RCPtr<LNotificationDistributor>& distributor,
                     const RCPtr<LNotification>& notification) {
  RCPtr<LNotificationClient> client;
  RCPtr<LNotification> latest;
  {
    Mutex::ScopedLock hold(mMutex);
    const int32_t count = int32_t(mEntries.GetCount());
    if (onward) {
      if (walk.started) {
        --walk.index;
      }
      walk.started = true;
      if (walk.index >= count) {
        walk.index = count - 1;
      }
    }
    if (walk.index < 0 || walk.index >= count) {
      return false;
    }
    LNotificationRegisteredClientInfo& entry = *mEntries.GetAt(uint32_t(walk.index));
    if (entry.flags & kNotificationLatestOnly) {
      // Only the notification recorded by the latest post; a sent or older one is not
      // for this entry.
      if (entry.latest != notification) {
        return true;
      }
      latest.Swap(entry.latest);
    }
    client = entry.client;
  }
  client->ReceiveNotification(distributor, notification);
  return true;
}

QZResult Pool::NotifyClients(const RCPtr<LNotificationDistributor>& distributor,
                             const RCPtr<LNotification>& notification) {
  const uint32_t count = GetEntryCount();
  if (count == 0) {
    return QZ_FALSE;
  }
  Walk walk(*this, int32_t(count) - 1);
  while (DeliverAt(walk, true, distributor, notification)) {
  }
  return QZ_OK;
}

int32_t Pool::NotifyClient(const RCPtr<LNotificationDistributor>& distributor, int32_t index,
                           const RCPtr<LNotification>& notification) {
  Walk walk(*this, index);
  if (!DeliverAt(walk, false, distributor, notification) && index >= 0) {
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
    LNotificationRegisteredClientInfo& entry = *mEntries.GetAt(i);
    if (entry.flags & kNotificationLatestOnly) {
      RCPtr<LNotification> latest(notification);
      latest.Swap(entry.latest);
      replaced.push_back(std::move(latest));
    }
  }
}

} // namespace QZ
