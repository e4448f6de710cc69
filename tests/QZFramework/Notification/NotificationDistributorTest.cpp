#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "QZFramework/Notification/NotificationHandler.h"
#include "QZFramework/Notification/NotificationTestSupport.h"

namespace {

using QZ::QZ_E_FAIL;
using QZ::QZ_E_INVALIDARG;
using QZ::QZ_FALSE;
using QZ::QZ_OK;
using QZ::QZResult;
using QZ::RCPtr;
using QZTest::Heard;
using QZTest::InstanceCounter;
using QZTest::RecordingClient;
using Strings = std::vector<std::string>;

constexpr char16_t kPing[] = u"NID_TEST_PING";

class NotificationDistributorTest : public ::testing::Test {
protected:
  void TearDown() override {
    for (auto& [name, client] : clients) {
      client->UnregisterAllNotifications();
    }
  }

  // Clients named by the letters of names, registered for kPing in that order.
  void Register(const std::string& names, uint32_t flags = 0) {
    for (char letter : names) {
      RCPtr<RecordingClient>& client = clients[std::string(1, letter)];
      client = RCPtr<RecordingClient>(new RecordingClient(std::string(1, letter), journal));
      ASSERT_EQ(client->RegisterNotification(distributor, kPing, flags), QZ::GetNotificationID(kPing));
    }
  }
  QZResult Send(int value = 0) { return distributor->SendNotification(QZTest::MakeNotification(kPing, value)); }

  std::vector<Heard> journal;
  RCPtr<QZ::LNotificationDistributor> distributor{new QZ::LNotificationDistributor};
  std::map<std::string, RCPtr<RecordingClient>> clients;
};

// Clients registered A, B, C, D hear C, B, A, D; while B hears it, it unregisters the
// client the case names.
TEST_F(NotificationDistributorTest, TheNewestRegistrationHearsFirstAndUnregisteringSkipsNobody) {
  const std::map<std::string, Strings> cases = {
      {"", {"D", "C", "B", "A"}},  // nobody
      {"B", {"D", "C", "B", "A"}}, // itself
      {"C", {"D", "C", "B", "A"}}, // one that has heard it
      {"A", {"D", "C", "B"}},      // one still to hear it
  };
  for (const auto& [removed, expected] : cases) {
    SCOPED_TRACE("B unregisters " + removed);
    Register("ABCD");
    journal.clear();
    clients["B"]->onReceive = [&, name = removed](auto&, auto&) {
      if (!name.empty()) {
        EXPECT_EQ(clients[name]->UnregisterNotification(distributor.Get(), kPing), QZ::QZ_OK);
      }
    };
    EXPECT_EQ(Send(), QZ_OK);
    EXPECT_EQ(QZTest::Who(journal), expected);
    TearDown();
  }
}

// While C hears it, C unregisters itself and the client the case names, and registers
// E. The send calls those registered when it started, newest first, less those removed
// before their turn; E hears the next send. Every client is destroyed once its owner
// lets go, also those whose registrations a walk still held when they were removed.
TEST(NotificationSendTest, AReceiverThatUnregistersItselfAndAnotherAndRegistersAThird) {
  struct Case {
    std::string other;
    Strings first, second;
  };
  const Case cases[] = {
      {"A", {"D", "C", "B"}, {"E", "D", "B"}},      // one still to hear it
      {"D", {"D", "C", "B", "A"}, {"E", "B", "A"}}, // one that has heard it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("C unregisters " + c.other);
    InstanceCounter counter, distributors;
    std::vector<Heard> journal;
    RCPtr<QZ::LNotificationDistributor> distributor(new QZTest::Counted<QZ::LNotificationDistributor>(distributors));
    std::map<std::string, RCPtr<RecordingClient>> clients;
    for (const char* name : {"A", "B", "C", "D", "E"}) {
      clients[name] = RCPtr<RecordingClient>(new QZTest::Counted<RecordingClient>(counter, name, journal));
    }
    for (const char* name : {"A", "B", "C", "D"}) {
      clients[name]->RegisterNotification(distributor, kPing);
    }
    clients["C"]->onReceive = [&](auto&, auto&) {
      EXPECT_EQ(clients["C"]->UnregisterNotification(distributor.Get(), kPing), QZ_OK);
      EXPECT_EQ(clients[c.other]->UnregisterNotification(distributor.Get(), kPing), QZ_OK);
      clients["E"]->RegisterNotification(distributor, kPing);
      clients["C"]->onReceive = nullptr;
    };
    EXPECT_EQ(distributor->SendNotification(QZTest::MakeNotification(kPing, 1)), QZ_OK);
    EXPECT_EQ(QZTest::Who(journal), c.first);
    journal.clear();
    EXPECT_EQ(distributor->SendNotification(QZTest::MakeNotification(kPing, 2)), QZ_OK);
    EXPECT_EQ(QZTest::Who(journal), c.second);

    EXPECT_EQ(clients["C"]->GetRegistrationCount(), 0);
    EXPECT_EQ(clients["C"]->GetRefCount(), 1) << "nothing holds a removed registration after the send";
    distributor = nullptr;
    EXPECT_EQ(distributors.live, 1) << "held by its three registrations";
    clients.clear();
    EXPECT_EQ(counter.live, 0);
    EXPECT_EQ(counter.destroyed, 5);
    EXPECT_EQ(distributors.live, 0);
  }
}

TEST_F(NotificationDistributorTest, ANestedSendOfTheSameIdLeavesTheOuterWalkWhole) {
  Register("ABC");
  clients["B"]->onReceive = [&](auto&, const RCPtr<QZ::LNotification>& heard) {
    if (heard->GetParameterAs<QZTest::Value>()->GetValue() == 1) {
      EXPECT_EQ(Send(2), QZ::QZ_OK);
    }
  };
  EXPECT_EQ(Send(1), QZ::QZ_OK);
  EXPECT_EQ(QZTest::Who(journal), (Strings{"C", "B", "C", "B", "A", "A"}));
}

TEST_F(NotificationDistributorTest, AnOwnWalkSeesRemovalsThroughTheReturnedIndex) {
  Register("ABC");
  clients["B"]->onReceive = [&](auto&, auto&) { clients["B"]->UnregisterNotification(distributor.Get(), kPing); };
  auto pool = distributor->FindClientPool(QZ::GetNotificationID(kPing));
  auto ping = QZTest::MakeNotification(kPing, 0);
  for (int32_t i = int32_t(pool->GetEntryCount()) - 1; i >= 0; i = pool->NotifyClient(distributor, i, ping) - 1) {
  }
  EXPECT_EQ(QZTest::Who(journal), (Strings{"C", "B", "A"}));
  EXPECT_EQ(pool->NotifyClient(distributor, 7, ping), 2) << "past the entries: the entry count";
}

TEST_F(NotificationDistributorTest, RegisteringAgainOnlyReplacesTheFlags) {
  Register("A");
  RecordingClient& a = *clients["A"];
  EXPECT_EQ(a.RegisterNotification(distributor, kPing, QZ::kNotificationLatestOnly), QZ::GetNotificationID(kPing));
  uint32_t flags = 0;
  EXPECT_EQ(distributor->GetClientFlags(&a, kPing, flags), QZ_OK);
  EXPECT_EQ(flags, QZ::kNotificationLatestOnly);
  EXPECT_EQ(a.GetRegistrationCount(), 1);
  EXPECT_EQ(a.GetInternalRefCount(), 1);
  EXPECT_EQ(distributor->GetRegistrationCount(), 1u);
  EXPECT_EQ(distributor->GetInternalRefCount(), 2) << "the registration and the distributor list";

  EXPECT_EQ(distributor->GetClientFlags(&a, u"NID_TEST_OTHER", flags), QZ_E_FAIL);
  EXPECT_EQ(a.UnregisterNotification(distributor.Get(), u"NID_TEST_OTHER"), QZ_FALSE);
  EXPECT_EQ(a.UnregisterAllNotifications(), 1);
  EXPECT_EQ(a.UnregisterNotification(distributor.Get(), kPing), QZ_FALSE) << "holds no registration";
  EXPECT_EQ(a.GetInternalRefCount(), 0);
  EXPECT_EQ(distributor->GetInternalRefCount(), 0);
}

TEST_F(NotificationDistributorTest, NothingToDoIsOneAndNullArgumentsAreInvalid) {
  Register("A");
  EXPECT_EQ(distributor->SendNotification(QZ::LNotification::Create(u"NID_TEST_NOBODY")), QZ_FALSE);
  RecordingClient& a = *clients["A"];
  EXPECT_EQ(a.RegisterNotification(nullptr, kPing), nullptr);
  EXPECT_EQ(a.RegisterNotification(distributor, u""), nullptr);
  EXPECT_EQ(a.UnregisterNotification(nullptr, kPing), QZ_E_INVALIDARG);
  EXPECT_EQ(a.UnregisterNotification(distributor.Get(), nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(distributor->AddClient(nullptr, kPing, 0), QZ_E_INVALIDARG);
  EXPECT_EQ(distributor->RemoveClient(nullptr, kPing), QZ_E_INVALIDARG);
  EXPECT_EQ(distributor->RemoveClient(&a, nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(distributor->RemoveClientAll(nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(distributor->SendNotification(nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(a.GetRegistrationCount(), 1);
}

TEST(NotificationLifetimeTest, OwnersLettingGoDestroyClientsAndDistributors) {
  InstanceCounter clients, distributors;
  std::vector<Heard> journal;
  RCPtr<RecordingClient> client(new QZTest::Counted<RecordingClient>(clients, "A", journal));
  RCPtr<QZ::LNotificationDistributor> first(new QZTest::Counted<QZ::LNotificationDistributor>(distributors));
  RCPtr<QZ::LNotificationDistributor> second(new QZTest::Counted<QZ::LNotificationDistributor>(distributors));
  client->RegisterNotification(first, kPing);
  client->RegisterNotification(first, u"NID_TEST_OTHER");
  client->RegisterNotification(second, kPing);

  first = nullptr;
  EXPECT_EQ(distributors.live, 2) << "held by its registrations";
  EXPECT_EQ(client->UnregisterNotification(second.Get(), kPing), QZ_OK);
  EXPECT_EQ(client->GetRegistrationCount(), 2);
  client = nullptr;
  EXPECT_EQ(clients.destroyed, 1) << "its registrations were broken";
  EXPECT_EQ(distributors.live, 1) << "and the first distributor went with them";
  EXPECT_EQ(second->GetInternalRefCount(), 0);
}

class Listener : public QZ::LNotificationClient {
public:
  Listener() : handler(new QZ::LNotificationHandler<Listener>(*this)) {}
  QZResult ReceiveNotification(const RCPtr<QZ::LNotificationDistributor>& from,
                               const RCPtr<QZ::LNotification>& notification) override {
    return handler->HandleNotification(from, notification);
  }
  QZResult OnPing(const RCPtr<QZ::LNotificationDistributor>&, const RCPtr<QZ::LNotification>&) { return 10; }
  QZResult OnPong(const RCPtr<QZ::LNotificationDistributor>&, const RCPtr<QZ::LNotification>&) { return 20; }

  RCPtr<QZ::LNotificationHandler<Listener>> handler;
};

TEST(NotificationHandlerTest, RoutesByDistributorAndId) {
  RCPtr<QZ::LNotificationDistributor> left(new QZ::LNotificationDistributor), right(new QZ::LNotificationDistributor);
  RCPtr<Listener> listener(new Listener);
  QZ::LNotificationHandler<Listener>& handler = *listener->handler;
  EXPECT_EQ(handler.AddHandler(&Listener::OnPing, left, kPing), QZ_OK);
  EXPECT_EQ(handler.AddHandler(&Listener::OnPong, right, kPing), QZ_OK);
  EXPECT_EQ(handler.AddHandler(&Listener::OnPong, nullptr, kPing), QZ_E_INVALIDARG);
  EXPECT_EQ(handler.AddHandler(&Listener::OnPong, left, u""), QZ_E_FAIL);

  auto ping = QZ::LNotification::Create(kPing);
  EXPECT_EQ(handler.HandleNotification(left, ping), 10);
  EXPECT_EQ(handler.HandleNotification(right, ping), 20);
  EXPECT_EQ(handler.HandleNotification(left, QZ::LNotification::Create(u"NID_TEST_OTHER")), QZ_OK);
  EXPECT_EQ(handler.HandleNotification(left, nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(listener->GetRegistrationCount(), 2);
  listener->UnregisterAllNotifications();
}

} // namespace
