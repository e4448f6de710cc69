#include <gtest/gtest.h>

#include <thread>

#include "QZFramework/Services/Sync/EventLock.h"
#include "Support/LockedCounter.h"

namespace {

TEST(EventLockConcurrencyTest, KeepsACounterExactUnderFourThreads) {
  QZ::EventLock lock;
  EXPECT_EQ(QZTest::CountUnderLock<QZ::EventLock::ScopedLock>(lock, 4, 100000), 400000u);
}

TEST(EventLockConcurrencyTest, AThreadThatFindsTheLockHeldSleepsUntilItIsReleased) {
  QZ::EventLock lock;
  QZ::Event done(false);
  lock.Lock();
  std::thread other([&] {
    QZ::EventLock::ScopedLock hold(lock);
    done.Set();
  });
  EXPECT_EQ(done.Wait(50), QZ::Event::kTimedOut);
  lock.Unlock();
  EXPECT_EQ(done.Wait(QZ::Event::kInfinite), QZ::Event::kSignalled);
  other.join();
  lock.Lock();
  lock.Unlock();
}

} // namespace
