#pragma once
// QZ::Detail::ShortLock: a lock for critical sections of a few instructions that call
// nothing (taking a pointer out of a list, copying a reference), where a system mutex
// would cost more than the work it guards. Not recursive. Internal to the notification
// classes.
//
//   std::lock_guard hold(mSnapshotLock);
//   taken = mSnapshot;

#include <atomic>
#include <thread>

namespace QZ::Detail {

class ShortLock {
public:
  ShortLock() = default;
  ShortLock(const ShortLock&) = delete;
  ShortLock& operator=(const ShortLock&) = delete;

  void lock() noexcept {
    while (mHeld.exchange(true, std::memory_order_acquire)) {
      // A holder that was preempted gets the processor back sooner.
      while (mHeld.load(std::memory_order_relaxed)) {
        std::this_thread::yield();
      }
    }
  }
  void unlock() noexcept { mHeld.store(false, std::memory_order_release); }

private:
  std::atomic<bool> mHeld{false};
};

} // namespace QZ::Detail
