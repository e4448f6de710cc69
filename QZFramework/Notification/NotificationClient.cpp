#include "QZFramework/Notification/NotificationClient.h"

#include "QZFramework/Notification/NotificationDelivery.h"
#include "QZFramework/Notification/NotificationDistributor.h"

namespace QZ {

QZResult LNotificationClient::ReceiveNotification(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
  return QZ_OK;
}

NotificationID LNotificationClient::RegisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                         NotificationName name, uint32_t flags) {
  const NotificationID id = GetNotificationID(name);
  if (!distributor || !id) {
    return nullptr;
  }
  RCPtr<LNotificationClient> self(this);
  Mutex::ScopedLock hold(mMutex);
  const QZResult added = distributor->AddClient(self, id, flags);
  if (added == QZ_OK) {
    AddInternalReferences(1);
    ++mRegistrationCount;
  }
  if ((added == QZ_OK || added == QZ_FALSE) && mDistributors.IndexOf(distributor.Get()) < 0) {
    mDistributors.AddItem(distributor.Get());
  }
  return id;
}

QZResult LNotificationClient::UnregisterNotification(LNotificationDistributor* distributor, NotificationName id) {
  // Opened before the lock: it waits for other threads' deliveries once the lock is free.
  Detail::UnregistrationScope scope;
  Mutex::ScopedLock hold(mMutex);
  if (mRegistrationCount == 0) {
    return QZ_FALSE;
  }
  if (!distributor || !id) {
    return QZ_E_INVALIDARG;
  }
  const int32_t listed = mDistributors.IndexOf(distributor);
  if (listed < 0) {
    // No registration there, and nothing keeps that distributor alive for us to call.
    return QZ_FALSE;
  }
  // Both stay alive across the removal, whose releases would otherwise see this
  // client's registration as its last internal reference.
  RCPtr<LNotificationClient> self(this);
  RCPtr<LNotificationDistributor> keepAlive(distributor);
  const QZResult removed = distributor->RemoveClient(this, id);
  if (removed == QZ_OK) {
    AddInternalReferences(-1);
    --mRegistrationCount;
    if (!distributor->HasClient(this)) {
      mDistributors.RemoveItems(uint32_t(listed), 1);
    }
  }
  return removed;
}

int32_t LNotificationClient::UnregisterAllNotifications() {
  Detail::UnregistrationScope scope;
  Mutex::ScopedLock hold(mMutex);
  if (mRegistrationCount < 1) {
    return 0;
  }
  AddInternalReferences(-mRegistrationCount);
  int32_t removed = 0;
  while (mDistributors.GetCount() > 0) {
    LNotificationDistributor* distributor = mDistributors.GetAt(mDistributors.GetCount() - 1);
    mDistributors.RemoveItems(mDistributors.GetCount() - 1, 1);
    // Registered here, so held: taking a reference cannot revive a dying distributor.
    RCPtr<LNotificationDistributor> keepAlive(distributor);
    const int32_t count = distributor->RemoveClientAll(this);
    if (count > 0) {
      removed += count;
    }
  }
  mRegistrationCount = 0;
  return removed;
}

int32_t LNotificationClient::GetRegistrationCount() const {
  Mutex::ScopedLock hold(mMutex);
  return mRegistrationCount;
}

QZResult LNotificationClient::ReleaseInternalReferences() {
  ReleaseClientReferences();
  return LRefCountedObject::ReleaseInternalReferences();
}

} // namespace QZ
