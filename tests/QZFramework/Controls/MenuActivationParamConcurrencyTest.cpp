#include "QZFramework/Controls/MenuActivationParam.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

using QZ::LMenuActivationParam;
using QZ::LMenuDescriptor;
using QZ::RCPtr;

TEST(MenuActivationParamConcurrencyTest, ParametersAreMadeAndFreedOnSeveralThreads) {
  const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
  constexpr int kThreads = 4;
  constexpr int kRounds = 2000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&menu, t] {
      std::vector<RCPtr<LMenuActivationParam>> held;
      for (int i = 0; i < kRounds; ++i) {
        held.push_back(LMenuActivationParam::Create(menu, t));
        if (held.size() == 8) {
          for (const RCPtr<LMenuActivationParam>& param : held) {
            EXPECT_EQ(param->GetIndex(), t);
          }
          held.clear();
        }
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(menu->GetRefCount(), 1);
}

} // namespace
