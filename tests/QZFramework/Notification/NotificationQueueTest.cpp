#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Notification/NotificationTestSupport.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "Support/FakeApplicationContext.h"

namespace {

using QZ::QZ_E_FAIL;
using QZ::QZ_E_INVALIDARG;
using QZ::QZ_FALSE;
using QZ::QZ_OK;
using QZ::RCPtr;
using QZTest::Heard;
using QZTest::InstanceCounter;
using QZTest::RecordingClient;
using Strings = std::vector<std::string>;

constexpr char16_t kPing[] = u"NID_TEST_PING";

class NotificationQueueTest : public ::testing::Test {
protected:
  void SetUp() override {
    pings->RegisterNotification(centre, kPing);
    idles->RegisterNotification(centre, QZ::kIdleNotificationName);
  }

  QZ::QZResult Post(int value) { return centre->PostNotification(QZTest::MakeNotification(kPing, value)); }

  std::vector<Heard> journal;
  RCPtr<QZ::LNotificationCenter> centre = QZ::LNotificationCenter::CreateNotificationCenter(u"test");
  RCPtr<RecordingClient> pings{new RecordingClient("ping", journal)};
  RCPtr<RecordingClient> idles{new RecordingClient("idle", journal)};
};

TEST_F(NotificationQueueTest, PostsAreDeliveredInOrderThenIdleOnce) {
  std::vector<int> posted(300);
  std::iota(posted.begin(), posted.end(), 0);
  for (int value : posted) {
    ASSERT_EQ(Post(value), QZ_OK);
  }
  EXPECT_EQ(centre->GetCount(), 300u) << "the ring grew past 255 entries";
  EXPECT_FALSE(centre->ProcessNotifications(true));
  EXPECT_EQ(QZTest::Values(journal, "ping"), posted);
  EXPECT_EQ(journal.back().who, "idle");
  EXPECT_EQ(QZTest::Values(journal, "idle").size(), 1u);

  journal.clear();
  EXPECT_FALSE(centre->ProcessNotifications(true));
  EXPECT_EQ(QZTest::Who(journal), Strings{"idle"}) << "also when nothing was queued";
  EXPECT_FALSE(centre->ProcessNotifications(false));
  EXPECT_EQ(journal.size(), 1u);
}

TEST_F(NotificationQueueTest, ANotificationIsQueuedOnceAtATime) {
  auto ping = QZTest::MakeNotification(kPing, 1);
  EXPECT_EQ(centre->PostNotification(ping), QZ_OK);
  EXPECT_TRUE(ping->IsQueued());
  EXPECT_EQ(centre->PostNotification(ping), QZ_E_INVALIDARG);
  EXPECT_EQ(centre->PostNotification(nullptr), QZ_E_INVALIDARG);
  centre->ProcessNotifications(false);
  EXPECT_EQ(QZTest::Values(journal, "ping"), std::vector<int>{1});
  EXPECT_FALSE(ping->IsQueued());
  EXPECT_EQ(centre->PostNotification(ping), QZ_OK) << "again after delivery";

  RCPtr<QZ::LNotificationQueue> detached(new QZ::LNotificationQueue);
  EXPECT_EQ(detached->PostNotification(QZTest::MakeNotification(kPing, 2)), QZ_E_FAIL) << "no distributor";
  EXPECT_EQ(detached->AttachDistributor(nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(centre->AttachDistributor(centre), QZ_FALSE) << "attached already";

  // The posting receiver posts a copy, until the queue is shut down.
  RCPtr<QZ::LNotificationQueue::LPostingReceiver> receiver = centre->GetPostingReceiver();
  EXPECT_EQ(receiver->ReceiveNotification(centre, QZTest::MakeNotification(kPing, 3)), QZ_OK);
  EXPECT_EQ(receiver->UnregisterNotification(centre.Get(), kPing), QZ_E_FAIL);
  EXPECT_EQ(centre->GetCount(), 2u);
  centre->Shutdown();
  EXPECT_EQ(centre->GetCount(), 0u) << "shutting down discards what waits";
  EXPECT_FALSE(ping->IsQueued());
  EXPECT_EQ(Post(4), QZ_E_FAIL);
  EXPECT_EQ(receiver->ReceiveNotification(centre, ping), QZ_E_FAIL);
  EXPECT_EQ(centre->GetPostingReceiver(), nullptr);
  EXPECT_EQ(centre->AttachDistributor(centre), QZ_FALSE) << "a shut queue stays shut";
}

TEST_F(NotificationQueueTest, WhatIsPostedDuringADrainWaitsForTheNext) {
  pings->onReceive = [&](auto&, const RCPtr<QZ::LNotification>& heard) {
    if (heard->GetParameterAs<QZTest::Value>()->GetValue() == 1) {
      EXPECT_EQ(Post(2), QZ::QZ_OK);
      EXPECT_TRUE(centre->ProcessNotifications(true)) << "a nested drain only sends idle";
    }
  };
  EXPECT_EQ(Post(1), QZ::QZ_OK);
  EXPECT_TRUE(centre->ProcessNotifications(true));
  EXPECT_EQ(QZTest::Who(journal), (Strings{"ping", "idle", "idle"}));
  EXPECT_FALSE(centre->ProcessNotifications(false));
  EXPECT_EQ(QZTest::Values(journal, "ping"), (std::vector<int>{1, 2}));
}

TEST_F(NotificationQueueTest, ALatestOnlyClientHearsOnlyTheNewestPost) {
  RCPtr<RecordingClient> latest(new RecordingClient("latest", journal));
  latest->RegisterNotification(centre, kPing, QZ::kNotificationLatestOnly);
  EXPECT_EQ(Post(1), QZ::QZ_OK);
  EXPECT_EQ(Post(2), QZ::QZ_OK);
  EXPECT_EQ(Post(3), QZ::QZ_OK);
  EXPECT_EQ(centre->SendNotification(QZTest::MakeNotification(kPing, 4)), QZ::QZ_OK);
  centre->ProcessNotifications(false);
  EXPECT_EQ(QZTest::Values(journal, "latest"), std::vector<int>{3});
  EXPECT_EQ(QZTest::Values(journal, "ping"), (std::vector<int>{4, 1, 2, 3}));
  EXPECT_EQ(QZTest::Who(journal).back(), "ping") << "at the place of the third, newest registration first";
}

int gPostsHeard = 0;

TEST_F(NotificationQueueTest, ThePostListenerHearsEachAcceptedPostOnly) {
  gPostsHeard = 0;
  QZ::LNotificationQueue::SetPostListener([] { ++gPostsHeard; });
  EXPECT_EQ(Post(1), QZ_OK);
  auto queued = QZTest::MakeNotification(kPing, 2);
  EXPECT_EQ(centre->PostNotification(queued), QZ_OK);
  EXPECT_EQ(centre->PostNotification(queued), QZ_E_INVALIDARG);
  EXPECT_EQ(centre->PostNotification(nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(gPostsHeard, 2);
  QZ::LNotificationQueue::SetPostListener(nullptr);
  EXPECT_EQ(Post(3), QZ_OK);
  EXPECT_EQ(gPostsHeard, 2);
}

TEST(NotificationCenterTest, ReleasedCentresAndQueuesAreDisposed) {
  InstanceCounter distributors, clients, parameters;
  std::vector<Heard> journal;
  RCPtr<RecordingClient> client(new QZTest::Counted<RecordingClient>(clients, "A", journal));
  RCPtr<QZ::LNotificationCenter> centre(new QZTest::Counted<QZ::LNotificationCenter>(distributors, u"counted"));
  EXPECT_EQ(centre->AttachDistributor(centre), QZ::QZ_OK);
  client->RegisterNotification(centre, kPing);
  EXPECT_EQ(centre->PostNotification(QZ::LNotification::Create(kPing, new QZTest::CountedObject(parameters))),
            QZ::QZ_OK);
  centre = nullptr;
  EXPECT_EQ(distributors.destroyed, 1) << "its clients were unregistered";
  EXPECT_EQ(parameters.destroyed, 1) << "what waited was discarded";
  EXPECT_TRUE(journal.empty());
  EXPECT_EQ(client->GetRegistrationCount(), 0);

  RCPtr<QZ::LNotificationDistributor> distributor(new QZTest::Counted<QZ::LNotificationDistributor>(distributors));
  RCPtr<QZ::LNotificationQueue> queue(new QZ::LNotificationQueue);
  EXPECT_EQ(queue->AttachDistributor(distributor), QZ::QZ_OK);
  queue = nullptr;
  distributor = nullptr;
  EXPECT_EQ(distributors.destroyed, 2) << "a queue let go unshut lets its distributor go";
  client = nullptr;
  EXPECT_EQ(clients.destroyed, 1);
}

TEST(NotificationCenterTest, TheManagerKeepsOneCentreForEachName) {
  QZ::LNotificationCenterManager manager;
  RCPtr<QZ::LNotificationCenter> app = manager.GetNotificationCenter(u"application");
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(app->GetName(), QZ::WString(u"application"));
  const std::u16string copy(u"application");
  EXPECT_EQ(manager.GetNotificationCenter(copy.c_str()), app);
  RCPtr<QZ::LNotificationCenter> other = manager.GetNotificationCenter(u"Application");
  EXPECT_NE(other, app);
  EXPECT_EQ(manager.GetNotificationCenter(u""), nullptr);

  std::vector<Heard> journal;
  RCPtr<RecordingClient> client(new RecordingClient("A", journal));
  client->RegisterNotification(app, QZ::kIdleNotificationName);
  client->RegisterNotification(other, QZ::kIdleNotificationName);
  EXPECT_EQ(other->PostNotification(QZ::LNotification::Create(kPing)), QZ::QZ_OK);
  client->onReceive = [&](auto& from, auto&) {
    if (from == other) {
      EXPECT_EQ(other->PostNotification(QZ::LNotification::Create(kPing)), QZ::QZ_OK);
    }
  };
  EXPECT_TRUE(manager.ProcessNotifications(true)) << "one centre has entries waiting";
  EXPECT_EQ(journal.size(), 2u) << "every centre sent idle";

  QZTest::FakeApplicationContext application;
  application.SetApplicationNotificationCenter(app.Get());
  EXPECT_EQ(QZ::GetApplicationNotificationCenter(), app.Get());
}

TEST(NotificationCenterTest, ANotificationReleasedWhileQueuedComesBackFromThePoolClean) {
  QZ::LNotification::SetPoolingEnabled(true);
  RCPtr<QZ::LNotificationCenter> centre = QZ::LNotificationCenter::CreateNotificationCenter(u"pool");
  EXPECT_EQ(centre->PostNotification(QZ::LNotification::Create(kPing)), QZ::QZ_OK);
  centre = nullptr;
  auto reused = QZ::LNotification::Create(u"NID_TEST_OTHER");
  EXPECT_EQ(reused->GetID(), QZ::GetNotificationID(u"NID_TEST_OTHER"));
  EXPECT_FALSE(reused->IsQueued());
  reused = nullptr;
  QZ::LNotification::SetPoolingEnabled(false);
}

} // namespace
