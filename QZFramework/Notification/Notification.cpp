#include "QZFramework/Notification/Notification.h"

#include <utility>
#include <vector>

#include "QZFramework/Utilities/Storage/RCPtrArray.h"

namespace QZ {
namespace {

// Guarded by the notification name lock, except the flag, which may be read without it.
struct Pool {
  RCPtrArray<LNotification, 256, 256> items;
  std::atomic<bool> enabled{false};
};

// Immortal, so that notifications released by static destructors can still return.
Pool& ThePool() {
  static Pool* pool = new Pool;
  return *pool;
}

} // namespace

LNotification::LNotification(NotificationID id, RCPtr<LRefCountedObject> parameter)
    : mId(id), mParameter(std::move(parameter)) {}

RCPtr<LNotification> LNotification::Allocate(NotificationName name, RCPtr<LRefCountedObject> parameter) {
  const NotificationID id = GetNotificationID(name);
  if (!id) {
    return nullptr;
  }
  return RCPtr<LNotification>(new LNotification(id, std::move(parameter)));
}

RCPtr<LNotification> LNotification::Create(NotificationName name, RCPtr<LRefCountedObject> parameter) {
  Pool& pool = ThePool();
  if (!pool.enabled.load(std::memory_order_acquire)) {
    return Allocate(name, std::move(parameter));
  }
  const NotificationID id = GetNotificationID(name);
  if (!id) {
    return nullptr;
  }
  RCPtr<LNotification> reused;
  {
    Mutex::ScopedLock hold(Detail::NotificationNameLock());
    pool.items.RemoveLast(reused);
  }
  if (!reused) {
    return RCPtr<LNotification>(new LNotification(id, std::move(parameter)));
  }
  // Nobody else holds a pooled notification: reset everything it carried.
  reused->mId = id;
  reused->mParameter = std::move(parameter);
  reused->ClearQueued();
  return reused;
}

void LNotification::SetPoolingEnabled(bool enabled) {
  Pool& pool = ThePool();
  std::vector<RCPtr<LNotification>> released;
  {
    Mutex::ScopedLock hold(Detail::NotificationNameLock());
    pool.enabled.store(enabled, std::memory_order_release);
    RCPtr<LNotification> item;
    while (!enabled && Succeeded(pool.items.RemoveLast(item))) {
      released.push_back(std::move(item));
    }
  }
  // Destroyed here, outside the lock: with pooling off they do not come back.
}

bool LNotification::IsPoolingEnabled() { return ThePool().enabled.load(std::memory_order_acquire); }

uint32_t LNotification::GetPooledCount() {
  Mutex::ScopedLock hold(Detail::NotificationNameLock());
  return ThePool().items.GetCount();
}

int32_t LNotification::Release() const {
  if (!mReturning.load(std::memory_order_acquire) && GetRefCount() == 1) {
    // The last reference: nobody else can see the object change.
    auto* self = const_cast<LNotification*>(this);
    self->mReturning.store(true, std::memory_order_release);
    self->ReturnToPool();
    self->mReturning.store(false, std::memory_order_release);
  }
  return LRefCountedObject::Release();
}

void LNotification::ReturnToPool() {
  // A notification comes back reset whatever state it was released in, so that a
  // pooled one never carries a stale id, parameter or queued mark.
  mId = nullptr;
  mParameter = nullptr;
  ClearQueued();
  Pool& pool = ThePool();
  if (!pool.enabled.load(std::memory_order_acquire)) {
    return;
  }
  Mutex::ScopedLock hold(Detail::NotificationNameLock());
  if (pool.enabled.load(std::memory_order_relaxed)) {
    pool.items.AddItem(RCPtr<LNotification>(this));
  }
}

} // namespace QZ
