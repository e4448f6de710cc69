// The debug builds' checks of the reference counts and of the main thread stop the
// program at the call that breaks the rule.

#include <gtest/gtest.h>

#include <thread>

#include "QZFramework/ObjectBase/DebugAssert.h"
#include "Support/CountedObject.h"

namespace {

using QZTest::CountedObject;
using QZTest::InstanceCounter;

TEST(DebugAssertTest, BrokenCountsStopAtTheCallThatBrokeThem) {
  InstanceCounter counter;
  EXPECT_DEBUG_DEATH(
      {
        CountedObject held(counter);
        held.AddRef(); // held by a smart pointer's count, then destroyed with it
      },
      "destroyed while smart pointers hold it");
  EXPECT_DEBUG_DEATH(
      {
        CountedObject linked(counter);
        linked.AddInternalReferences(1);
        linked.AddInternalReferences(-2);
      },
      "internal reference is released twice");
}

TEST(DebugAssertTest, TheMainThreadIsTheOneThatRanMain) {
  EXPECT_TRUE(QZ::IsMainThread());
  bool onWorker = true;
  std::thread([&] { onWorker = QZ::IsMainThread(); }).join();
  EXPECT_FALSE(onWorker);
  EXPECT_DEBUG_DEATH(std::thread([] { QZ_ASSERT_MAIN_THREAD("the test's object"); }).join(),
                     "the test's object.*belongs to the main thread");
}

} // namespace
