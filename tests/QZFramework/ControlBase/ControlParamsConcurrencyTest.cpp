#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "QZFramework/ControlBase/ControlParams.h"

namespace QZ {
namespace {

// The pools are shared by every thread that makes parameters: made and released at once
// from eight threads, every block is handed out to one holder at a time.
TEST(ControlParamsConcurrencyTest, EightThreadsMakeAndReleaseMouseParametersThroughOnePool) {
  constexpr int kThreads = 8;
  constexpr int kRounds = 100000;
  std::vector<std::thread> threads;
  std::vector<int> mismatches(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &mismatches] {
      for (int i = 0; i < kRounds; ++i) {
        const RCPtr<LMouseButtonParam> param = LMouseButtonParam::Create(kMouseButtonLeft, {t, i}, 0, false, 0x1, 0);
        if (param->GetPoint().x != t || param->GetPoint().y != i) {
          ++mismatches[t];
        }
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(mismatches[t], 0) << "thread " << t;
  }
}

} // namespace
} // namespace QZ
