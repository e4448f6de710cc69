#include <gtest/gtest.h>

#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "QZFramework/Services/Trace/DebugTrace.h"
#include "QZFramework/Services/Trace/TraceTestSupport.h"

namespace {

TEST(DebugTraceConcurrencyTest, WritesFromFourThreadsNeverInterleaveWithinALine) {
  QZTest::DebuggerBlocks debugger;
  QZ::DebugTrace trace(debugger.Output());
  constexpr int kThreads = 4;
  constexpr int kLines = 300;
  std::latch start(kThreads);
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([&, t] {
      start.arrive_and_wait();
      for (int i = 0; i < kLines; ++i) {
        // Several pieces per line, so that unlocked writers would mix them.
        trace.Narrow() << "writer " << t << " line " << i << " " << std::string(40, char('a' + t)) << "\n";
      }
    });
  }
  for (auto& writer : writers) {
    writer.join();
  }

  ASSERT_EQ(debugger.blocks.size(), size_t(kThreads * kLines));
  std::vector<int> next(kThreads, 0);
  for (const std::string& block : debugger.blocks) {
    const int t = block[7] - '0';
    ASSERT_TRUE(t >= 0 && t < kThreads) << block;
    const std::string expected = "writer " + std::to_string(t) + " line " + std::to_string(next[size_t(t)]++) + " " +
                                 std::string(40, char('a' + t)) + "\n";
    ASSERT_EQ(block, expected);
  }
}

} // namespace
