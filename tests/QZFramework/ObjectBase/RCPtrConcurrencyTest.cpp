#include <gtest/gtest.h>

#include <latch>
#include <thread>
#include <vector>

#include "Support/CountedObject.h"

namespace {

using QZTest::CountedObject;
using QZTest::InstanceCounter;

// Threads copying and dropping references to one object, then all letting go at once:
// the object is destroyed exactly once, by whichever release was the last, whether that
// release went through the plain decrement or through Release.
TEST(RCPtrConcurrencyTest, TheLastOfManyConcurrentReleasesDestroysTheObjectOnce) {
  constexpr int kThreads = 4;
  for (int round = 0; round < 100; ++round) {
    InstanceCounter counter;
    std::vector<QZ::RCPtr<CountedObject>> held(kThreads, QZ::RCPtr<CountedObject>(new CountedObject(counter)));
    std::latch start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        QZ::RCPtr<CountedObject> mine = std::move(held[t]);
        start.arrive_and_wait();
        for (int i = 0; i < 50; ++i) {
          QZ::RCPtr<CountedObject> copy = mine;
          QZ::ConstRCPtr<CountedObject> reader = copy;
        }
        mine = nullptr;
      });
    }
    for (std::thread& thread : threads) {
      thread.join();
    }
    ASSERT_EQ(counter.destroyed.load(), 1) << "round " << round;
    ASSERT_EQ(counter.live.load(), 0);
  }
}

} // namespace
