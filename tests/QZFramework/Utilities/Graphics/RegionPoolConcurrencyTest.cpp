// Lists on several threads draw nodes from the one shared pool at once.

#include "QZFramework/Utilities/Graphics/RectList.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using Region = QZ::RectListT<int32_t>;

// Builds and empties a list of up to 400 pieces again and again: with several threads at
// once the pool's 512 slots run out, so pooled and heap nodes come and go concurrently.
int64_t Churn(int32_t seed) {
  int64_t area = 0;
  for (int round = 0; round < 40; ++round) {
    Region region;
    for (int32_t i = 0; i < 200; ++i) {
      region.AddRect({i * 3 + seed, round, i * 3 + seed + 2, round + 4});
    }
    region.SubtractRect({seed, round + 1, seed + 600, round + 2});
    for (const QZ::EdgeRect& r : region) {
      area += r.Area();
    }
  }
  return area;
}

} // namespace

TEST(RegionPoolConcurrencyTest, ThreadsShareThePoolWithoutLosingNodes) {
  const int64_t expected = Churn(0);
  std::vector<std::thread> threads;
  std::vector<int64_t> areas(4);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&areas, t] { areas[t] = Churn(t); });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  for (int64_t area : areas) {
    EXPECT_EQ(area, expected);
  }
  const QZ::RegionPoolStatistics statistics = Region::GetPoolStatistics();
  EXPECT_EQ(statistics.liveNodes, 0u);
  EXPECT_EQ(statistics.freeSlots, 512u);
}
