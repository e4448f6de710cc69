#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <latch>
#include <thread>
#include <vector>

#include "QZFramework/Utilities/Storage/ReuseAllocator.h"

namespace {

// Written by the thread that holds the block; a block handed to two holders at once
// shows up as a tag that changed under its holder (and as a data race under TSan).
struct Tagged {
  int owner;
  uint64_t serial;
};

TEST(ReuseAllocatorConcurrencyTest, ALockedPoolNeverHandsOneBlockToTwoHolders) {
  constexpr int kThreads = 8;
  constexpr uint64_t kRounds = 100000;
  constexpr size_t kHeld = 6;
  QZ::ReuseAllocator<Tagged, 4> pool(true);
  std::atomic<uint64_t> mismatches{0};
  std::latch start(kThreads);

  std::vector<std::thread> threads;
  for (int owner = 0; owner < kThreads; ++owner) {
    threads.emplace_back([&, owner] {
      std::deque<std::pair<Tagged*, uint64_t>> held;
      const auto release = [&] {
        auto [oldest, serial] = held.front();
        held.pop_front();
        if (oldest->owner != owner || oldest->serial != serial) {
          ++mismatches;
        }
        oldest->owner = -1;
        pool.Free(oldest);
      };
      start.arrive_and_wait();
      for (uint64_t serial = 0; serial < kRounds; ++serial) {
        auto* block = static_cast<Tagged*>(pool.Allocate(sizeof(Tagged)));
        block->owner = owner;
        block->serial = serial;
        held.emplace_back(block, serial);
        if (held.size() > kHeld) {
          release();
        }
      }
      while (!held.empty()) {
        release();
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(mismatches.load(), 0u);
}

} // namespace
