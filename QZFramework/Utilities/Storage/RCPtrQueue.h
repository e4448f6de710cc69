#pragma once
// QZ::RCPtrQueue<T,N,Lock>: a first-in first-out ring of shared objects that grows
// instead of dropping, for handing objects from producer threads to a consumer.
//
//   QZ::Mutex lock;
//   QZ::RCPtrQueue<LNotification> posted(&lock);    // 256 slots
//   posted.Enqueue(notification);                    // any thread
//   while (posted.HasEntries()) { Deliver(posted.Dequeue()); }   // the consumer
//
// The ring keeps one slot free: a ring of c slots holds c - 1 entries, and the next
// Enqueue grows it by one slot (never dropping, never reordering); it never shrinks.
// Slots are the items of an RCPtrArray with growth step and slack N; queuing allocates
// nothing until the ring is full. Each queued entry holds one reference.
//
// Every member locks the given lock (not owned; it must outlive the queue; null: no
// locking, for a queue used by one thread). Any number of threads may enqueue. Dequeue
// checks and takes under one hold, so consumers racing for the last entry get it or the
// Runtime Error, never a broken ring. The slots are private: nothing reaches them
// without the lock. References are taken and dropped outside the lock, so no destructor
// or copy runs under it.

#include <string>

#include "QZFramework/ObjectBase/TypeName.h"
#include "QZFramework/Services/Sync/Mutex.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"

namespace QZ {

template <class T, uint32_t N = 256, class Lock = Mutex>
class RCPtrQueue {
public:
  // capacity empty slots (the first Enqueue into fewer than 2 slots makes 2).
  explicit RCPtrQueue(Lock* lock, uint32_t capacity = 256) : mSlots(capacity, capacity), mLock(lock) {}
  RCPtrQueue(const RCPtrQueue&) = delete;
  RCPtrQueue& operator=(const RCPtrQueue&) = delete;
  // Releases the entries left.
  ~RCPtrQueue() = default;

  // Appends entry, taking over the reference of a moved smart pointer (a copied one takes
  // its own: the private copy of an unshareable object). Null is a valid entry. Never
  // fails for want of room; returns 0. Out of memory while growing throws bad_alloc with
  // the queue unchanged.
  QZResult Enqueue(RCPtr<T> entry) {
    Hold hold(mLock);
    uint32_t slots = mSlots.GetCount();
    if (slots < 2) {
      mSlots.SetCount(2);
      mHead = mTail = 0;
      slots = 2;
    }
    if (CountEntries(slots) == slots - 1) {
      // Open a free slot just before the oldest entry; the slots from there move up.
      mSlots.InsertItems(mTail, 1);
      if (mHead > mTail) {
        ++mHead;
      }
      ++slots;
      mTail = (mTail + 1) % slots;
    }
    entry.Swap(mSlots.GetData()[mHead]);
    mHead = (mHead + 1) % slots;
    return QZ_OK;
  }

  // Takes the oldest entry out; the caller receives the queue's reference. Throws
  // Runtime Error, the queue unchanged, when it is empty.
  RCPtr<T> Dequeue() {
    RCPtr<T> entry;
    Hold hold(mLock);
    const uint32_t slots = mSlots.GetCount();
    if (slots == 0 || CountEntries(slots) == 0) {
      const std::string method =
          "QZ::RCPtrQueue<" + TypeName<T>() + "," + std::to_string(N) + "," + TypeName<Lock>() + ">::Dequeue";
      Throw<std::runtime_error>({method, R"(qzframework\utilities\Storage/RCPtrQueue)", 110});
    }
    entry.Swap(mSlots.GetData()[mTail]);
    mTail = (mTail + 1) % slots;
    return entry;
  }

  // Takes the oldest entry out into entry (the queue's reference) and returns true; false,
  // the queue and entry unchanged, when it is empty. One hold of the lock, so a consumer
  // never sees an entry vanish between looking and taking.
  bool TryDequeue(RCPtr<T>& entry) {
    RCPtr<T> taken; // the caller's old entry is released outside the lock
    {
      Hold hold(mLock);
      const uint32_t slots = mSlots.GetCount();
      if (slots == 0 || CountEntries(slots) == 0) {
        return false;
      }
      taken.Swap(mSlots.GetData()[mTail]);
      mTail = (mTail + 1) % slots;
    }
    entry.Swap(taken);
    return true;
  }

  // The number of entries.
  uint32_t GetCount() const {
    Hold hold(mLock);
    const uint32_t slots = mSlots.GetCount();
    return slots == 0 ? 0 : CountEntries(slots);
  }
  bool HasEntries() const { return GetCount() != 0; }
  // The number of slots: one more than the entries it holds before it grows.
  uint32_t GetCapacity() const {
    Hold hold(mLock);
    return mSlots.GetCount();
  }

private:
  class Hold {
  public:
    explicit Hold(Lock* lock) : mHeld(lock) {
      if (mHeld) {
        mHeld->Lock();
      }
    }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    ~Hold() {
      if (mHeld) {
        mHeld->Unlock();
      }
    }

  private:
    Lock* mHeld;
  };

  uint32_t CountEntries(uint32_t slots) const { return mHead >= mTail ? mHead - mTail : mHead + slots - mTail; }

  RCPtrArray<T, N, N> mSlots;
  uint32_t mHead = 0; // the slot the next entry goes to
  uint32_t mTail = 0; // the slot of the oldest entry
  Lock* mLock;
};

} // namespace QZ
