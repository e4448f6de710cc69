#pragma once
// QZ::Platform::Window::QuickLock: a mutex for sections of a few instructions that other
// threads seldom contend for (the window table, a root window's dirty region), taken on
// every invalidation and every frame. Taking and releasing it uncontended is one atomic
// instruction each, inline; a taker that finds it held sleeps until its holder lets go.
//
//   QZ::Platform::Window::QuickLock lock;
//   std::lock_guard hold(lock);
//
// Not recursive: the holder must not take it again.

#include <atomic>
#include <cstdint>

namespace QZ::Platform::Window {

class QuickLock {
public:
  QuickLock() = default;
  QuickLock(const QuickLock&) = delete;
  QuickLock& operator=(const QuickLock&) = delete;

  void lock() {
    int32_t free = kFree;
    if (!mState.compare_exchange_strong(free, kHeld, std::memory_order_acquire, std::memory_order_relaxed)) {
      LockContended();
    }
  }
  bool try_lock() {
    int32_t free = kFree;
    return mState.compare_exchange_strong(free, kHeld, std::memory_order_acquire, std::memory_order_relaxed);
  }
  void unlock() {
    if (mState.exchange(kFree, std::memory_order_release) == kHeldAndAwaited) {
      WakeOne();
    }
  }

private:
  static constexpr int32_t kFree = 0;
  static constexpr int32_t kHeld = 1;
  static constexpr int32_t kHeldAndAwaited = 2; // some taker sleeps, or is about to

  void LockContended();
  void WakeOne();

  std::atomic<int32_t> mState{kFree};
};

} // namespace QZ::Platform::Window
