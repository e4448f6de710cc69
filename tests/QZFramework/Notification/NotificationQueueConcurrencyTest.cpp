#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <numeric>
#include <string>
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

// While four threads post (half of them handing their reference over, half keeping it)
// and the main thread drains, a fifth registers clients for ids the centre has never
// seen, so its list of pools grows under the posts' and sends' look-ups: every post is
// still delivered once, in each thread's order.
TEST(NotificationQueueConcurrencyTest, PostsStayInOrderWhileTheCentreGainsPools) {
  constexpr int kThreads = 4;
  constexpr int kPostsEach = 1500;
  QZ::LNotification::SetPoolingEnabled(true);
  std::vector<QZTest::Heard> journal; // main thread only
  RCPtr<QZ::LNotificationCenter> centre = QZ::LNotificationCenter::CreateNotificationCenter(u"growing");
  RCPtr<QZTest::RecordingClient> all(new QZTest::RecordingClient("all", journal));
  all->RegisterNotification(centre, kPing);

  std::latch start(kThreads + 2);
  std::atomic<int> finished{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      for (int i = 0; i < kPostsEach; ++i) {
        RCPtr<QZ::LNotification> ping = QZTest::MakeNotification(kPing, t * kPostsEach + i);
        EXPECT_EQ(t % 2 ? centre->PostNotification(std::move(ping)) : centre->PostNotification(ping), QZ::QZ_OK);
      }
      ++finished;
    });
  }
  std::vector<RCPtr<QZ::LNotificationClient>> newcomers;
  threads.emplace_back([&] {
    start.arrive_and_wait();
    for (int i = 0; i < 200; ++i) {
      newcomers.emplace_back(new QZ::LNotificationClient);
      const std::u16string name =
          u"NID_TEST_GROWTH_" + std::u16string(1, char16_t(u'A' + i % 26)) + std::u16string(1, char16_t(u'a' + i / 26));
      EXPECT_NE(newcomers.back()->RegisterNotification(centre, name.c_str()), nullptr);
    }
  });
  start.arrive_and_wait();
  bool done = false;
  while (!done) {
    done = finished.load() == kThreads; // read before the drain that must then empty the queue
    centre->ProcessNotifications(true);
  }
  for (std::thread& thread : threads) {
    thread.join();
  }

  std::vector<std::vector<int>> heard(kThreads);
  for (int value : QZTest::Values(journal, "all")) {
    heard[value / kPostsEach].push_back(value % kPostsEach);
  }
  std::vector<int> posted(kPostsEach);
  std::iota(posted.begin(), posted.end(), 0);
  for (const std::vector<int>& values : heard) {
    EXPECT_EQ(values, posted);
  }
  for (const RCPtr<QZ::LNotificationClient>& newcomer : newcomers) {
    EXPECT_EQ(newcomer->GetRegistrationCount(), 1);
  }
  centre = nullptr;
  for (const RCPtr<QZ::LNotificationClient>& newcomer : newcomers) {
    EXPECT_EQ(newcomer->GetRegistrationCount(), 0) << "disposing the centre unregistered it";
  }
  QZ::LNotification::SetPoolingEnabled(false);
}

} // namespace
