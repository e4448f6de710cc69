#pragma once
// Several threads add to one plain counter, each addition under a lock held by a Hold
// object; a lost update (or, under ThreadSanitizer, a race) shows a broken lock.

#include <cstdint>
#include <latch>
#include <thread>
#include <vector>

namespace QZTest {

template <class Hold, class Lock>
uint64_t CountUnderLock(Lock& lock, int threadCount, int rounds) {
  uint64_t counter = 0;
  std::latch start(threadCount);
  std::vector<std::thread> threads;
  for (int t = 0; t < threadCount; ++t) {
    threads.emplace_back([&] {
      start.arrive_and_wait();
      for (int i = 0; i < rounds; ++i) {
        Hold hold(lock);
        ++counter;
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  return counter;
}

} // namespace QZTest
