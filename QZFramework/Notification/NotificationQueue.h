#pragma once
// QZ::LNotificationQueue: notifications posted on any thread wait here and are delivered
// later, on the draining (main) thread, through the queue's distributor.
//
//   queue->AttachDistributor(owner);                        // the owner's clients hear them
//   queue->PostNotification(QZ::LNotification::Create(u"NID_DEVICE_CONNECTION_STATE_CHANGE"));
//   ...
//   bool more = queue->ProcessNotifications(true);          // main thread, idle time
//
// Delivery is in post order. A drain delivers the entries present when it starts;
// notifications posted meanwhile (also by its receivers) wait for the next drain. With
// sendIdle, "NID_IDLE" is sent once at the end of each drain, also when nothing was
// queued. Latest-only clients (kNotificationLatestOnly) of a posted id hear only the
// newest notification of that id posted before the drain, at its place in the order.
//
// All queues share one process-wide lock, held only inside the queue's own bookkeeping,
// never during delivery. Posting runs on any thread; ProcessNotifications, Clear,
// Shutdown and AttachDistributor on the draining thread.
//
// Reference accounting: the queue's posting receiver holds a reference on the queue,
// and a queue attached to itself (a centre, a root window) holds one more; both are
// internal. Shutdown gives them up; so does ReleaseInternalReferences when the owner
// lets the queue go without shutting it down.

#include <cstdint>

#include "QZFramework/Notification/NotificationDistributor.h"
#include "QZFramework/Utilities/Storage/RCPtrQueue.h"

namespace QZ {

// The notification every queue sends at the end of a drain that asks for it.
inline constexpr char16_t kIdleNotificationName[] = u"NID_IDLE";

class LNotificationQueue : public virtual LRefCountedObject {
public:
  // A receiver that posts a copy (same id, same parameter) of whatever it receives into
  // its queue, while attached to it.
  class LPostingReceiver : public LNotificationReceiver {
  public:
    explicit LPostingReceiver(LNotificationQueue* queue) : mQueue(queue) {}

    // Posts the copy; the result of the post (QZ_E_FAIL once detached).
    QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                                 const RCPtr<LNotification>& notification) override;
    // It registers nowhere: QZ_E_FAIL.
    QZResult UnregisterNotification(LNotificationDistributor* distributor, NotificationName id) override;

  private:
    friend class LNotificationQueue;
    RCPtr<LNotificationQueue> mQueue; // under the queue lock
  };

  // An empty queue of 256 slots (it grows, dropping nothing) without a distributor.
  LNotificationQueue();
  ~LNotificationQueue() override;

  // Makes distributor the one queued notifications are sent through: 0; 1 when one is
  // attached already or the queue was shut down; QZ_E_INVALIDARG for null.
  QZResult AttachDistributor(const RCPtr<LNotificationDistributor>& distributor);
  // Queues notification for the next drain and records it as the latest of its id's
  // latest-only clients: 0; QZ_E_INVALIDARG for null or a notification already queued (in any
  // queue); QZ_E_FAIL without a distributor. Any thread.
  [[nodiscard]] QZResult PostNotification(const RCPtr<LNotification>& notification);
  // The same; a posted notification's reference passes to the queue (on failure the
  // argument keeps it).
  [[nodiscard]] QZResult PostNotification(RCPtr<LNotification>&& notification);
  // Called on the posting thread after each notification a queue accepts, outside the
  // queue lock: the application wakes its message loop with it, so that what other
  // threads post is delivered at once. Null (the start): none. Any thread.
  using PostListener = void (*)();
  static void SetPostListener(PostListener listener);
  // Delivers the notifications queued when the call starts, oldest first, then
  // "NID_IDLE" when sendIdle. A nested call from a receiver delivers nothing but the idle
  // notification. Returns true when notifications are waiting (posted meanwhile).
  bool ProcessNotifications(bool sendIdle);
  // Discards every waiting notification undelivered; true when entries remain (posted
  // by other threads meanwhile).
  bool Clear();
  // Discards what waits, detaches the distributor and the posting receiver; later posts
  // fail with QZ_E_FAIL. Idempotent.
  void Shutdown();
  // The number of waiting notifications. Any thread.
  uint32_t GetCount() const;
  // The posting receiver; null after Shutdown.
  RCPtr<LPostingReceiver> GetPostingReceiver() const;

  // ReleaseQueueReferences, then the base test.
  QZResult ReleaseInternalReferences() override;

protected:
  // This base's release step: Shutdown.
  void ReleaseQueueReferences() { Shutdown(); }

private:
  RCPtr<LNotificationDistributor> GetDistributor() const;
  // PostNotification under the queue lock; the reference passes to the queue only when
  // the post succeeds.
  QZResult Enqueue(RCPtr<LNotification>&& notification);
  bool IsSelf(const LNotificationDistributor* distributor) const;

  // Takes the oldest waiting notification out; false when none waits.
  bool TakeNext(RCPtr<LNotification>& notification);

  bool mProcessing = false; // draining thread only
  // Used under the queue lock, which the queue takes itself: a post holds it throughout.
  RCPtrQueue<LNotification, 256, Mutex> mRing;
  RCPtr<LNotificationDistributor> mDistributor; // under the queue lock
  RCPtr<LPostingReceiver> mPostingReceiver;     // under the queue lock
  const RCPtr<LNotification> mIdleNotification;
};

} // namespace QZ
