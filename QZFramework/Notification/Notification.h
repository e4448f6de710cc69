#pragma once
// QZ::LNotification: one named message with an optional shared parameter, sent to a
// distributor's clients at once or posted to a queue for later delivery.
//
//   auto changed = QZ::LNotification::Create(u"NID_VALUE_CHANGE", valueParam);
//   distributor->SendNotification(changed);
//   if (auto value = changed->GetParameterAs<QZ::LHolder<int>>()) { ... }
//
// Notifications are made on every click, value change and idle pass. While pooling is
// enabled (the application's lifetime), a notification whose last reference goes is
// kept in a process-wide pool instead of being destroyed, and Create hands the most
// recently returned one out again, refilled. A returned notification drops its
// parameter at once: the pool never keeps a parameter alive.
//
// The id and parameter are set before a notification is shared and never change while
// it is held, so any thread may read them. Creation and return may run on any thread.

#include <atomic>
#include <cstdint>

#include "QZFramework/Notification/NotificationID.h"
#include "QZFramework/ObjectBase/RCPtr.h"

namespace QZ {

class LNotificationQueue;

class LNotification : public virtual LRefCountedObject {
public:
  // A notification of name's id carrying parameter (may be null): with pooling on the
  // most recently pooled one, fully reset, else a new one. Null when name interns to 0.
  static RCPtr<LNotification> Create(NotificationName name, RCPtr<LRefCountedObject> parameter = nullptr);
  // Always a new notification; null when name interns to 0.
  static RCPtr<LNotification> Allocate(NotificationName name, RCPtr<LRefCountedObject> parameter = nullptr);

  // Switches recycling on or off; off destroys every pooled notification. The
  // application switches it on at start-up and off when it ends. Any thread.
  static void SetPoolingEnabled(bool enabled);
  static bool IsPoolingEnabled();
  // The number of notifications waiting in the pool.
  static uint32_t GetPooledCount();

  NotificationID GetID() const { return mId; }
  const RCPtr<LRefCountedObject>& GetParameter() const { return mParameter; }
  // The parameter as a T; null when there is none or it is not a T.
  template <class T>
  RCPtr<T> GetParameterAs() const {
    return DynamicCast<T>(mParameter);
  }
  // True while the notification waits in a notification queue.
  bool IsQueued() const { return mQueued.load(std::memory_order_acquire); }

  // Releasing the last reference returns the notification to the pool when pooling is
  // on; otherwise, or once the pool lets it go, the object is destroyed.
  int32_t Release() const override;

private:
  friend class LNotificationQueue;

  LNotification(NotificationID id, RCPtr<LRefCountedObject> parameter);

  // Marks the notification as queued; false when it already was.
  bool MarkQueued() { return !mQueued.exchange(true, std::memory_order_acq_rel); }
  void ClearQueued() { mQueued.store(false, std::memory_order_release); }
  // Drops the parameter and, with pooling on, appends the notification to the pool,
  // which takes over the caller's last reference: true then.
  bool ReturnToPool();

  NotificationID mId;
  RCPtr<LRefCountedObject> mParameter;
  std::atomic<bool> mQueued{false};
  // Set only while the notification is being handed back to the pool.
  std::atomic<bool> mReturning{false};
};

} // namespace QZ
