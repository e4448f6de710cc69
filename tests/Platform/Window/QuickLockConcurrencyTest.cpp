#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "Platform/Window/QuickLock.h"

namespace {

using QZ::Platform::Window::QuickLock;

TEST(QuickLockConcurrencyTest, TryLockFailsWhileHeldAndSucceedsOnceLetGo) {
  QuickLock lock;
  lock.lock();
  EXPECT_FALSE(lock.try_lock());
  bool elsewhere = true;
  std::thread([&] { elsewhere = lock.try_lock(); }).join();
  EXPECT_FALSE(elsewhere);
  lock.unlock();
  EXPECT_TRUE(lock.try_lock());
  lock.unlock();
}

// Threads that queue up behind a held lock each get it in turn, none of them twice at once:
// a plain counter under the lock loses no increment, and every waiter wakes.
TEST(QuickLockConcurrencyTest, ContendingThreadsTakeItOneAtATimeAndAllWake) {
  constexpr int kThreads = 6;
  constexpr int kRounds = 20000;
  QuickLock lock;
  int64_t counter = 0; // only ever touched under the lock
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  lock.lock(); // the first takers find it held and must wait for its release
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      ready.fetch_add(1);
      for (int i = 0; i < kRounds; ++i) {
        std::lock_guard hold(lock);
        ++counter;
      }
    });
  }
  while (ready.load() < kThreads) {
    std::this_thread::yield();
  }
  counter = -1; // still held: no taker can have counted yet
  lock.unlock();
  for (std::thread& thread : threads) {
    thread.join();
  }
  std::lock_guard hold(lock);
  EXPECT_EQ(counter, int64_t(kThreads) * kRounds - 1);
}

} // namespace
