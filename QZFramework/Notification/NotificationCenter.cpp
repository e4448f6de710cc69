#include "QZFramework/Notification/NotificationCenter.h"

#include <array>
#include <vector>

namespace QZ {

RCPtr<LNotificationCenter> LNotificationCenter::CreateNotificationCenter(const WString& name) {
  RCPtr<LNotificationCenter> centre(new LNotificationCenter(name));
  centre->AttachDistributor(centre); // a new centre: it attaches
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
  mCentres.AddItem(centre);
  return centre;
}

bool LNotificationCenterManager::ProcessNotifications(bool sendIdle) {
  // A program has a handful of centres: they are held on the stack, without allocating
  // on every idle pass; more than that go to a vector.
  constexpr uint32_t kHeld = 8;
  std::array<RCPtr<LNotificationCenter>, kHeld> held;
  std::vector<RCPtr<LNotificationCenter>> more;
  uint32_t count = 0;
  {
    Mutex::ScopedLock hold(mMutex);
    count = mCentres.GetCount();
    for (uint32_t i = count, at = 0; i-- > 0; ++at) {
      if (at < kHeld) {
        held[at] = mCentres.GetAt(i);
      } else {
        more.push_back(mCentres.GetAt(i));
      }
    }
  }
  bool waiting = false;
  for (uint32_t at = 0; at < count; ++at) {
    const RCPtr<LNotificationCenter>& centre = at < kHeld ? held[at] : more[at - kHeld];
    waiting = centre->ProcessNotifications(sendIdle) || waiting;
  }
  return waiting;
}

} // namespace QZ
