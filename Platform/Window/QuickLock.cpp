#include "Platform/Window/QuickLock.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace QZ::Platform::Window {

namespace {

static_assert(sizeof(std::atomic<int32_t>) == sizeof(int32_t) && std::atomic<int32_t>::is_always_lock_free,
              "the kernel waits on the lock's word itself");

int32_t* WordOf(std::atomic<int32_t>& state) { return reinterpret_cast<int32_t*>(&state); }

} // namespace

void QuickLock::LockContended() {
  // Marked as awaited before each sleep, so that the holder's release wakes a sleeper; a
  // taker that finds it free this way holds it marked, which costs at most one needless wake.
  while (mState.exchange(kHeldAndAwaited, std::memory_order_acquire) != kFree) {
    // Returns at once when the word changed meanwhile (the lock was let go).
    syscall(SYS_futex, WordOf(mState), FUTEX_WAIT_PRIVATE, kHeldAndAwaited, nullptr, nullptr, 0);
  }
}

void QuickLock::WakeOne() { syscall(SYS_futex, WordOf(mState), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0); }

} // namespace QZ::Platform::Window
