#include "QZFramework/Notification/Notification.h"

#include <mutex>
#include <utility>
#include <vector>

#include "QZFramework/Notification/ShortLock.h"

namespace QZ {
namespace {

// Each item holds the one reference of a released notification. The items are guarded
// by the pool's own short lock (a push or a pop: no system mutex for that on every
// notification); the flag is written under it and may be read without it.
struct Pool {
  Pool() { items.reserve(256); }
  Detail::ShortLock lock;
  std::vector<RCPtr<LNotification>> items;
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
    std::lock_guard hold(pool.lock);
    if (!pool.items.empty()) {
      reused = std::move(pool.items.back());
      pool.items.pop_back();
    }
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
    std::lock_guard hold(pool.lock);
    pool.enabled.store(enabled, std::memory_order_release);
    if (!enabled) {
      released.swap(pool.items);
    }
  }
  // Destroyed here, outside the lock: with pooling off they do not come back.
}

bool LNotification::IsPoolingEnabled() { return ThePool().enabled.load(std::memory_order_acquire); }

uint32_t LNotification::GetPooledCount() {
  Pool& pool = ThePool();
  std::lock_guard hold(pool.lock);
  return uint32_t(pool.items.size());
}

int32_t LNotification::Release() const {
  if (!mReturning.load(std::memory_order_acquire) && GetRefCount() == 1) {
    // The last reference: nobody else can see the object change.
    auto* self = const_cast<LNotification*>(this);
    self->mReturning.store(true, std::memory_order_release);
    const bool pooled = self->ReturnToPool();
    self->mReturning.store(false, std::memory_order_release);
    if (pooled) {
      return 1; // the pool holds the reference this release gave up
    }
  }
  return LRefCountedObject::Release();
}

bool LNotification::ReturnToPool() {
  // A notification comes back reset whatever state it was released in, so that a
  // pooled one never carries a stale id, parameter or queued mark.
  mId = nullptr;
  mParameter = nullptr;
  ClearQueued();
  Pool& pool = ThePool();
  if (!pool.enabled.load(std::memory_order_acquire)) {
    return false;
  }
  std::lock_guard hold(pool.lock);
  if (!pool.enabled.load(std::memory_order_relaxed)) {
    return false;
  }
  // The caller's last reference passes to the pool, which ends up its only holder.
  pool.items.push_back(RCPtr<LNotification>::Adopt(this));
  return true;
}

} // namespace QZ
