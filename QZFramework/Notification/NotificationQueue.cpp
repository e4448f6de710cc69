#include "QZFramework/Notification/NotificationQueue.h"

#include <atomic>
#include <utility>

namespace QZ {
namespace {

// The one lock of every notification queue. Immortal, so that queues released by
// static destructors can still use it.
Mutex& QueueLock() {
  static Mutex* lock = new Mutex;
  return *lock;
}

std::atomic<LNotificationQueue::PostListener>& TheListener() {
  static std::atomic<LNotificationQueue::PostListener> listener{nullptr};
  return listener;
}

// Clears the processing flag however the drain ends.
class ProcessingScope {
public:
  explicit ProcessingScope(bool& flag) : mFlag(flag) { mFlag = true; }
  ProcessingScope(const ProcessingScope&) = delete;
  ProcessingScope& operator=(const ProcessingScope&) = delete;
  ~ProcessingScope() { mFlag = false; }

private:
  bool& mFlag;
};

} // namespace

QZResult LNotificationQueue::LPostingReceiver::ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                                                                   const RCPtr<LNotification>& notification) {
  if (!notification) {
    return QZ_E_INVALIDARG;
  }
  RCPtr<LNotificationQueue> queue;
  {
    Mutex::ScopedLock hold(QueueLock());
    queue = mQueue;
  }
  if (!queue) {
    return QZ_E_FAIL;
  }
  return queue->PostNotification(LNotification::Create(notification->GetID(), notification->GetParameter()));
}

QZResult LNotificationQueue::LPostingReceiver::UnregisterNotification(LNotificationDistributor*, NotificationName) {
  return QZ_E_FAIL;
}

LNotificationQueue::LNotificationQueue()
    : mRing(nullptr), mIdleNotification(LNotification::Create(kIdleNotificationName)) {
  // The receiver's reference on this queue is internal: it lives as long as the queue.
  mPostingReceiver = RCPtr<LPostingReceiver>(new LPostingReceiver(this));
  AddInternalReferences(1);
}

LNotificationQueue::~LNotificationQueue() = default;

bool LNotificationQueue::IsSelf(const LNotificationDistributor* distributor) const {
  return static_cast<const LRefCountedObject*>(distributor) == static_cast<const LRefCountedObject*>(this);
}

RCPtr<LNotificationDistributor> LNotificationQueue::GetDistributor() const {
  Mutex::ScopedLock hold(QueueLock());
  return mDistributor;
}

RCPtr<LNotificationQueue::LPostingReceiver> LNotificationQueue::GetPostingReceiver() const {
  Mutex::ScopedLock hold(QueueLock());
  return mPostingReceiver;
}

QZResult LNotificationQueue::AttachDistributor(const RCPtr<LNotificationDistributor>& distributor) {
  if (!distributor) {
    return QZ_E_INVALIDARG;
  }
  Mutex::ScopedLock hold(QueueLock());
  if (mDistributor || !mPostingReceiver) {
    return QZ_FALSE;
  }
  mDistributor = distributor;
  if (IsSelf(distributor.Get())) {
    AddInternalReferences(1);
  }
  return QZ_OK;
}

void LNotificationQueue::SetPostListener(PostListener listener) { TheListener().store(listener); }

QZResult LNotificationQueue::PostNotification(const RCPtr<LNotification>& notification) {
  RCPtr<LNotification> entry(notification);
  return PostNotification(std::move(entry));
}

QZResult LNotificationQueue::PostNotification(RCPtr<LNotification>&& notification) {
  const QZResult result = Enqueue(std::move(notification));
  if (Succeeded(result)) {
    if (PostListener listener = TheListener().load()) {
      listener();
    }
  }
  return result;
}

QZResult LNotificationQueue::Enqueue(RCPtr<LNotification>&& notification) {
  if (!notification || notification->IsQueued()) {
    return QZ_E_INVALIDARG;
  }
  // Held across the whole post, so that a post either completes before a Shutdown or
  // fails after it, never leaving an entry behind in a shut queue.
  Mutex::ScopedLock hold(QueueLock());
  if (!mDistributor) {
    return QZ_E_FAIL;
  }
  if (!notification->MarkQueued()) {
    return QZ_E_INVALIDARG;
  }
  mDistributor->RecordLatest(notification);
  return mRing.Enqueue(std::move(notification));
}

uint32_t LNotificationQueue::GetCount() const {
  Mutex::ScopedLock hold(QueueLock());
  return mRing.GetCount();
}

bool LNotificationQueue::TakeNext(RCPtr<LNotification>& notification) {
  Mutex::ScopedLock hold(QueueLock());
  return mRing.TryDequeue(notification);
}

bool LNotificationQueue::ProcessNotifications(bool sendIdle) {
  // One look under the lock for the distributor and the count: most passes find the
  // queue empty, and idle passes come every 33 ms.
  RCPtr<LNotificationDistributor> distributor;
  uint32_t count = 0;
  {
    Mutex::ScopedLock hold(QueueLock());
    distributor = mDistributor;
    count = mRing.GetCount();
  }
  if (!mProcessing && count > 0) {
    ProcessingScope processing(mProcessing);
    // A receiver that shuts the queue down also empties it, which ends this loop.
    RCPtr<LNotification> notification;
    for (uint32_t n = count; n > 0 && TakeNext(notification); --n) {
      if (distributor) {
        distributor->Deliver(distributor, notification);
      }
      notification->ClearQueued();
      notification = nullptr;
    }
    distributor = GetDistributor(); // gone when a receiver shut the queue down
  }
  if (sendIdle && distributor) {
    distributor->Deliver(distributor, mIdleNotification);
  }
  return GetCount() != 0;
}

bool LNotificationQueue::Clear() {
  RCPtr<LNotification> discarded;
  for (uint32_t n = GetCount(); n > 0 && TakeNext(discarded); --n) {
    discarded->ClearQueued();
    discarded = nullptr;
  }
  return GetCount() != 0;
}

void LNotificationQueue::Shutdown() {
  Clear();
  // Released in reverse order: the receiver's reference on this queue last.
  RCPtr<LNotificationQueue> receiverReference;
  RCPtr<LNotificationDistributor> distributor;
  RCPtr<LPostingReceiver> receiver;
  {
    Mutex::ScopedLock hold(QueueLock());
    distributor.Swap(mDistributor);
    receiver.Swap(mPostingReceiver);
    if (receiver) {
      receiverReference.Swap(receiver->mQueue);
    }
  }
  // Internal counts go down before the references they stand for are released.
  if (distributor && IsSelf(distributor.Get())) {
    AddInternalReferences(-1);
  }
  if (receiverReference) {
    AddInternalReferences(-1);
  }
}

QZResult LNotificationQueue::ReleaseInternalReferences() {
  ReleaseQueueReferences();
  return LRefCountedObject::ReleaseInternalReferences();
}

} // namespace QZ
