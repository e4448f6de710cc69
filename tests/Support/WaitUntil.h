#pragma once
// Waiting in tests for something to happen, never for a guessed time: a condition is
// waited for up to a bound, long enough for a loaded sanitizer build and short enough
// that a test that never gets there fails instead of hanging.
//
//   std::unique_lock lock(mMutex);                                    // a signalled change
//   ASSERT_TRUE(QZTest::WaitUntil(lock, mChanged, [&] { return mCount >= 3; }));
//   ASSERT_TRUE(QZTest::WaitUntil([&] { return PeerListed(); }));      // nothing signals it
//
// Prefer the signalled form; poll (every millisecond) only what nothing announces, such
// as ports another process lists or a count another thread keeps. Both return whether
// the condition holds in the end.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace QZTest {

inline constexpr std::chrono::milliseconds kWaitBound = std::chrono::seconds(20);

// Polls condition until it holds or bound has passed.
template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds bound = kWaitBound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Waits on changed (lock held) until condition holds or bound has passed.
template <class Condition>
bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& changed, Condition condition,
               std::chrono::milliseconds bound = kWaitBound) {
  return changed.wait_for(lock, bound, condition);
}

} // namespace QZTest
