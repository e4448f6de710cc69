#include <gtest/gtest.h>

#include "QZFramework/Services/Sync/Mutex.h"

namespace {

TEST(MutexTest, TheHoldingThreadMayTakeTheLockAgain) {
  QZ::Mutex mutex;
  QZ::Mutex::ScopedLock outer(mutex);
  QZ::Mutex::ScopedLock inner(mutex);
  mutex.Lock();
  mutex.Unlock();
}

} // namespace
