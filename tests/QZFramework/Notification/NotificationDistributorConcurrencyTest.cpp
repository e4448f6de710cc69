#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <latch>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "QZFramework/Notification/NotificationTestSupport.h"

namespace {

using QZ::QZ_OK;
using QZ::RCPtr;

constexpr char16_t kPing[] = u"NID_TEST_PING";

// A client that counts the calls it gets once its owner has seen its unregistration
// return: there must be none.
class WatchedClient : public QZ::LNotificationClient {
public:
  QZ::QZResult ReceiveNotification(const RCPtr<QZ::LNotificationDistributor>&,
                                   const RCPtr<QZ::LNotification>&) override {
    if (gone.load()) {
      ++lateCalls;
    }
    return QZ_OK;
  }

  std::atomic<bool> gone{false};
  std::atomic<int> lateCalls{0};
};

// The main thread is inside the client's ReceiveNotification when another thread
// unregisters the client: that unregistration returns only after the call has.
TEST(NotificationDistributorConcurrencyTest, AnUnregistrationOnAnotherThreadWaitsForTheCallInProgress) {
  std::vector<QZTest::Heard> journal;
  RCPtr<QZ::LNotificationDistributor> distributor(new QZ::LNotificationDistributor);
  RCPtr<QZTest::RecordingClient> client(new QZTest::RecordingClient("A", journal));
  client->RegisterNotification(distributor, kPing);

  std::mutex mutex;
  std::condition_variable changed;
  bool inCall = false, unregistered = false, unregisteredDuringCall = false;
  client->onReceive = [&](auto&, auto&) {
    std::unique_lock hold(mutex);
    inCall = true;
    changed.notify_all();
    // Long enough for an unregistration that does not wait to have returned.
    unregisteredDuringCall = changed.wait_for(hold, std::chrono::milliseconds(100), [&] { return unregistered; });
  };
  std::thread other([&] {
    {
      std::unique_lock hold(mutex);
      changed.wait(hold, [&] { return inCall; });
    }
    EXPECT_EQ(client->UnregisterNotification(distributor.Get(), kPing), QZ_OK);
    std::lock_guard hold(mutex);
    unregistered = true;
    changed.notify_all();
  });
  EXPECT_EQ(distributor->SendNotification(QZ::LNotification::Create(kPing)), QZ_OK);
  other.join();
  EXPECT_FALSE(unregisteredDuringCall);
  EXPECT_EQ(journal.size(), 1u);
  EXPECT_EQ(client->GetRegistrationCount(), 0);
}

// Three threads register and unregister their clients over and over while the main
// thread sends, and nested sends walk the same pool again: no client is called after
// its unregistration returned, and every client is freed at the end.
TEST(NotificationDistributorConcurrencyTest, NothingIsCalledAfterItsUnregistrationReturns) {
  constexpr int kThreads = 3;
  constexpr int kClientsEach = 4;
  constexpr int kRounds = 300;
  QZ::LNotification::SetPoolingEnabled(true);
  QZTest::InstanceCounter counter;
  RCPtr<QZ::LNotificationDistributor> distributor(new QZ::LNotificationDistributor);
  std::vector<RCPtr<WatchedClient>> clients;
  for (int i = 0; i < kThreads * kClientsEach; ++i) {
    clients.emplace_back(new QZTest::Counted<WatchedClient>(counter));
  }
  std::atomic<int> running{kThreads};
  std::latch start(kThreads + 1);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      for (int round = 0; round < kRounds; ++round) {
        for (int c = 0; c < kClientsEach; ++c) {
          WatchedClient& client = *clients[t * kClientsEach + c];
          client.gone = false;
          client.RegisterNotification(distributor, kPing);
        }
        std::this_thread::yield();
        for (int c = 0; c < kClientsEach; ++c) {
          WatchedClient& client = *clients[t * kClientsEach + c];
          EXPECT_EQ(client.UnregisterNotification(distributor.Get(), kPing), QZ_OK);
          client.gone = true;
        }
      }
      --running;
    });
  }
  RCPtr<QZTest::RecordingClient> nesting;
  std::vector<QZTest::Heard> journal; // main thread only
  nesting = RCPtr<QZTest::RecordingClient>(new QZTest::Counted<QZTest::RecordingClient>(counter, "nest", journal));
  nesting->onReceive = [&](const RCPtr<QZ::LNotificationDistributor>& from, const RCPtr<QZ::LNotification>& heard) {
    if (!heard->GetParameter()) { // once per outer send
      EXPECT_EQ(from->SendNotification(QZTest::MakeNotification(kPing, 1)), QZ::QZ_OK);
    }
  };
  nesting->RegisterNotification(distributor, kPing);
  start.arrive_and_wait();
  while (running.load() > 0) {
    EXPECT_EQ(distributor->SendNotification(QZ::LNotification::Create(kPing)), QZ::QZ_OK);
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  for (const RCPtr<WatchedClient>& client : clients) {
    EXPECT_EQ(client->lateCalls.load(), 0);
    EXPECT_EQ(client->GetRegistrationCount(), 0);
  }
  EXPECT_FALSE(journal.empty());
  nesting->UnregisterAllNotifications();
  nesting = nullptr;
  clients.clear();
  EXPECT_EQ(counter.live.load(), 0);
  EXPECT_EQ(distributor->GetRegistrationCount(), 0u);
  QZ::LNotification::SetPoolingEnabled(false);
}

} // namespace
