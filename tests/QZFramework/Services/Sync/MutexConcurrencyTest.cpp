#include <gtest/gtest.h>

#include "QZFramework/Services/Sync/Mutex.h"
#include "Support/LockedCounter.h"

namespace {

TEST(MutexConcurrencyTest, ALockTakenTwicePerRoundExcludesOtherThreads) {
  struct Twice {
    explicit Twice(QZ::Mutex& mutex) : outer(mutex), inner(mutex) {}
    QZ::Mutex::ScopedLock outer;
    QZ::Mutex::ScopedLock inner;
  };
  QZ::Mutex mutex;
  EXPECT_EQ(QZTest::CountUnderLock<Twice>(mutex, 4, 100000), 400000u);
}

} // namespace
