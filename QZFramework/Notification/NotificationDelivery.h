#pragma once
// The bookkeeping that lets an unregistration on one thread return only once no other
// thread is still calling the registration it removed. Internal to the notification
// classes.
//
//   // delivering thread                    // unregistering thread
//   Detail::DeliveryFrame frame;            Detail::UnregistrationScope scope;   // before any lock
//   frame.Enter(entry);                     ... lock; entry->MarkRemoved(); unlock ...
//   if (!entry->IsRemoved()) Call(entry);   Detail::UnregistrationScope::Defer(entry);
//                                           // ~scope: waits while another thread is in Call(entry)
//
// Each thread publishes, per nested delivery, the registration it is about to call;
// Enter stores it before the removed mark is read, and the unregistration stores the
// mark before it looks for threads at that registration, so one of them sees the other
// (both sequentially consistent). A thread that is itself delivering never waits: it
// could be what the other thread waits for. Waiting happens when the outermost
// unregistration scope of the thread ends, after every lock of the notification
// classes is released, so a receiver that (un)registers meanwhile never deadlocks with
// it. Callers must not hold a lock of their own that such a receiver takes.

#include <atomic>
#include <cstdint>

#include "QZFramework/ObjectBase/RCPtr.h"

namespace QZ::Detail {

// The deliveries in progress on one thread: one slot per nesting level.
class ThreadDeliveries;

// One nesting level of delivery on the calling thread.
class DeliveryFrame {
public:
  DeliveryFrame();
  DeliveryFrame(const DeliveryFrame&) = delete;
  DeliveryFrame& operator=(const DeliveryFrame&) = delete;
  ~DeliveryFrame();

  // Publishes the registration about to be called; read its removed mark afterwards.
  void Enter(const LRefCountedObject* registration) { mSlot->store(registration, std::memory_order_seq_cst); }

private:
  ThreadDeliveries& mThread;
  std::atomic<const LRefCountedObject*>* mSlot;
};

// Opened by every public operation that may remove registrations, before it takes any
// lock. Registrations removed inside are released, and waited for, when the outermost
// scope of the thread closes.
class UnregistrationScope {
public:
  UnregistrationScope();
  UnregistrationScope(const UnregistrationScope&) = delete;
  UnregistrationScope& operator=(const UnregistrationScope&) = delete;
  ~UnregistrationScope();

  // Hands a removed registration (already marked removed) to the open scope; without
  // one it is released at once, without waiting.
  static void Defer(RCPtr<LRefCountedObject> registration);
};

} // namespace QZ::Detail
