#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "QZFramework/Services/Sync/Event.h"
#include "QZFramework/Services/Sync/TrafficLight.h"

namespace {

// Returns once count threads are inside event's Wait.
void AwaitWaiters(const QZ::Event& event, int count) {
  while (event.GetWaiterCount() < count) {
    std::this_thread::yield();
  }
}

TEST(EventConcurrencyTest, AnAutoResetSignalReleasesExactlyOneOfTwoWaiters) {
  QZ::Event event(true);
  QZ::Event released(true);
  std::atomic<int> done{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 2; ++i) {
    waiters.emplace_back([&] {
      EXPECT_EQ(event.Wait(QZ::Event::kInfinite), QZ::Event::kSignalled);
      ++done;
      released.Set();
    });
  }
  AwaitWaiters(event, 2);

  event.Set();
  EXPECT_EQ(released.Wait(QZ::Event::kInfinite), QZ::Event::kSignalled);
  // A second release would show within the time-out.
  EXPECT_EQ(released.Wait(50), QZ::Event::kTimedOut);
  EXPECT_EQ(done.load(), 1);
  EXPECT_EQ(event.GetWaiterCount(), 1);

  event.Set();
  for (auto& waiter : waiters) {
    waiter.join();
  }
  EXPECT_EQ(done.load(), 2);
  EXPECT_FALSE(event.IsSet());
}

TEST(EventConcurrencyTest, AnOpenTrafficLightReleasesEveryWaiter) {
  QZ::TrafficLight light;
  QZ::Event waiting(false);
  std::atomic<int> arrived{0};
  std::atomic<int> passed{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 4; ++i) {
    waiters.emplace_back([&] {
      if (++arrived == 4) {
        waiting.Set();
      }
      EXPECT_EQ(light.Wait(QZ::Event::kInfinite), QZ::Event::kSignalled);
      ++passed;
    });
  }
  waiting.Wait(QZ::Event::kInfinite);
  EXPECT_EQ(passed.load(), 0);
  light.Set();
  for (auto& waiter : waiters) {
    waiter.join();
  }
  EXPECT_EQ(passed.load(), 4);
  EXPECT_TRUE(light.IsSet());
}

TEST(EventConcurrencyTest, WaitAnyWakesForASetFromAnotherThreadAndConsumesIt) {
  QZ::Event idle(true);
  QZ::Event wanted(true);
  QZ::Event* events[] = {&idle, &wanted};
  std::thread setter([&] { wanted.Set(); });
  EXPECT_EQ(QZ::Event::WaitAny(events, QZ::Event::kInfinite), 1);
  setter.join();
  EXPECT_FALSE(wanted.IsSet());
  EXPECT_FALSE(idle.IsSet());
}

TEST(EventConcurrencyTest, OneAutoResetSignalReachesEitherAPlainWaiterOrAWaitAnyNeverBoth) {
  for (int round = 0; round < 200; ++round) {
    QZ::Event event(true);
    QZ::Event other(true);
    QZ::Event* events[] = {&other, &event};
    std::atomic<int> woken{0};
    std::thread plain([&] {
      if (event.Wait(QZ::Event::kInfinite) == QZ::Event::kSignalled) {
        ++woken;
      }
    });
    std::thread any([&] {
      if (QZ::Event::WaitAny(events, QZ::Event::kInfinite) == 1) {
        ++woken;
      }
    });
    AwaitWaiters(event, 1);
    event.Set();
    // Whichever did not get the first signal gets the second one; a lost or doubled
    // signal would hang here or count three.
    while (woken.load() == 0) {
      std::this_thread::yield();
    }
    event.Set();
    plain.join();
    any.join();
    ASSERT_EQ(woken.load(), 2) << "round " << round;
  }
}

} // namespace
