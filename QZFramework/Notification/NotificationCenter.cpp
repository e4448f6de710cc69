#include "QZFramework/Notification/NotificationCenter.h"

#include <vector>

namespace QZ {

RCPtr<LNotificationCenter> LNotificationCenter::CreateNotificationCenter(const WString& name) {
  RCPtr<LNotificationCenter> centre(new LNotificationCenter(name));
  (void)centre->AttachDistributor(centre); // a new centre: it attaches
  return centre;
}

QZResult LNotificationCenter::ReleaseInternalReferences() {
  ReleaseDistributorReferences();
  ReleaseQueueReferences();
  return LRefCountedObject::ReleaseInternalReferences();
}

RCPtr<LNotificationCenter> LNotificationCenterManager::GetNotificationCenter(const WString& name) {
  if (name.IsEmpty()) {
    return nullptr;
  }
  Mutex::ScopedLock hold(mMutex);
  for (uint32_t i = 0; i < mCentres.GetCount(); ++i) {
    if (mCentres.GetAt(i)->GetName().IsEqual(name)) {
      return mCentres.GetAt(i);
    }
  }
  RCPtr<LNotificationCenter> centre = LNotificationCenter::CreateNotificationCenter(name);
  (void)mCentres.AddItem(centre); // grows or throws
  return centre;
}

bool LNotificationCenterManager::ProcessNotifications(bool sendIdle) {
  std::vector<RCPtr<LNotificationCenter>> centres;
  {
    Mutex::ScopedLock hold(mMutex);
    for (uint32_t i = mCentres.GetCount(); i-- > 0;) {
      centres.push_back(mCentres.GetAt(i));
    }
  }
  bool waiting = false;
  for (const RCPtr<LNotificationCenter>& centre : centres) {
    waiting = centre->ProcessNotifications(sendIdle) || waiting;
  }
  return waiting;
}

} // namespace QZ
