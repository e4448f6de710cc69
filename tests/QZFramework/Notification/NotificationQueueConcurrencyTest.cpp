#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <numeric>
#include <thread>
#include <vector>

#include "QZFramework/Notification/NotificationTestSupport.h"

namespace {

using QZ::RCPtr;

constexpr char16_t kPing[] = u"NID_TEST_PING";

TEST(NotificationQueueConcurrencyTest, PostsFromFourThreadsAreEachDeliveredOnceInTheirOrder) {
  constexpr int kThreads = 4;
  constexpr int kPostsEach = 2500;
  QZ::LNotification::SetPoolingEnabled(true);
  std::vector<QZTest::Heard> journal; // main thread only: delivery runs there
  RCPtr<QZ::LNotificationCenter> centre = QZ::LNotificationCenter::CreateNotificationCenter(u"concurrent");
  RCPtr<QZTest::RecordingClient> all(new QZTest::RecordingClient("all", journal));
  RCPtr<QZTest::RecordingClient> latest(new QZTest::RecordingClient("latest", journal));
  all->RegisterNotification(centre, kPing);
  latest->RegisterNotification(centre, kPing, QZ::kNotificationLatestOnly);

  std::latch start(kThreads + 1);
  std::atomic<int> finished{0};
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([&, t] {
      start.arrive_and_wait();
      for (int i = 0; i < kPostsEach; ++i) {
        EXPECT_EQ(centre->PostNotification(QZTest::MakeNotification(kPing, t * kPostsEach + i)), QZ::QZ_OK);
      }
      ++finished;
    });
  }
  start.arrive_and_wait();
  bool done = false;
  while (!done) {
    done = finished.load() == kThreads; // read before the drain that must then empty the queue
    centre->ProcessNotifications(false);
  }
  for (std::thread& poster : posters) {
    poster.join();
  }

  // Each thread's values, in the order heard: once each, in post order.
  std::vector<std::vector<int>> heard(kThreads);
  for (int value : QZTest::Values(journal, "all")) {
    heard[value / kPostsEach].push_back(value % kPostsEach);
  }
  std::vector<int> posted(kPostsEach);
  std::iota(posted.begin(), posted.end(), 0);
  for (const std::vector<int>& values : heard) {
    EXPECT_EQ(values, posted);
  }
  EXPECT_FALSE(QZTest::Values(journal, "latest").empty());
  centre = nullptr;
  EXPECT_EQ(all->GetRegistrationCount(), 0);
  QZ::LNotification::SetPoolingEnabled(false);
}

} // namespace
