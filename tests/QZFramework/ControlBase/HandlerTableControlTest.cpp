// The receiver pair that control classes with tables of their own share: their own table first and only once they
// accept notifications, the base's tables when the own one does not handle it, and an
// unregistration forgotten in every table.
#include <gtest/gtest.h>

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Notification/Notification.h"
#include "Support/FakeControlApplication.h"

namespace {

using QZ::RCPtr;

class Probe final : public QZ::LHandlerTableControl<Probe, QZ::LPanel> {
public:
  using LHandlerTableControl::LHandlerTableControl;

  QZ::QZResult Initialize() override {
    const QZ::QZResult base = LPanel::Initialize();
    if (QZ::Failed(base) || QZ::Failed(CreateHandlerTable())) {
      return QZ::QZ_E_FAIL;
    }
    Subscribe(&Probe::OnPing, RCPtr<QZ::LNotificationDistributor>(source), u"NID_PING",
              {"Probe::Initialize", "Probe", 1});
    return base;
  }
  QZ::QZResult OnPing(const RCPtr<QZ::LNotificationDistributor>&, const RCPtr<QZ::LNotification>&) {
    ++pings;
    return answer;
  }

  RCPtr<QZ::LControl> source;
  int pings = 0;
  QZ::QZResult answer = QZ::QZ_FALSE;
};

class HandlerTableControlTest : public ::testing::Test {
protected:
  void SetUp() override {
    source = RCPtr<QZ::LControl>(new QZ::LControl(nullptr, QZ::WString(u"source")));
    probe = RCPtr<Probe>(new Probe(nullptr, QZ::WString(u"probe")));
    probe->source = source;
    ASSERT_EQ(probe->Initialize(), QZ::QZ_OK);
  }
  void TearDown() override {
    probe->source = nullptr;
    probe->Detach();
    source->Detach();
  }
  QZ::QZResult Ping() {
    return probe->ReceiveNotification(RCPtr<QZ::LNotificationDistributor>(source),
                                      QZ::LNotification::Create(u"NID_PING", nullptr));
  }

  QZTest::FakeControlApplication application;
  RCPtr<QZ::LControl> source;
  RCPtr<Probe> probe;
};

TEST_F(HandlerTableControlTest, TheOwnTableAnswersOnlyOnceTheControlAcceptsNotifications) {
  probe->SetAcceptsNotifications(false);
  EXPECT_EQ(Ping(), QZ::QZ_OK);
  EXPECT_EQ(probe->pings, 0);
  probe->SetAcceptsNotifications(true);
  EXPECT_EQ(Ping(), QZ::QZ_FALSE);
  EXPECT_EQ(probe->pings, 1);
}

TEST_F(HandlerTableControlTest, UnregisteringForgetsTheRouteInTheOwnTableAndTheBases) {
  const QZ::NotificationID id = QZ::GetNotificationID(u"NID_PING");
  ASSERT_TRUE(probe->GetHandlerTable()->HasRoute(source.Get(), id));
  EXPECT_EQ(probe->UnregisterNotification(source.Get(), id), QZ::QZ_OK);
  EXPECT_FALSE(probe->GetHandlerTable()->HasRoute(source.Get(), id));
  EXPECT_EQ(Ping(), QZ::QZ_OK) << "nobody handles it any more";
  EXPECT_EQ(probe->pings, 0);
}

// Two levels of tables, the outer built on the inner, both routing "NID_PING" from source;
// the inner's table is made at its first subscription.
class Inner : public QZ::LHandlerTableControl<Inner, QZ::LControl> {
public:
  using LHandlerTableControl::LHandlerTableControl;

  void Hear(const RCPtr<QZ::LControl>& from) {
    EnsureHandlerTable().AddHandler(&Inner::OnPing, RCPtr<QZ::LNotificationDistributor>(from),
                                    u"NID_PING"); // a name that interns
  }
  QZ::QZResult OnPing(const RCPtr<QZ::LNotificationDistributor>&, const RCPtr<QZ::LNotification>&) {
    ++innerPings;
    return QZ::QZ_FALSE;
  }

  int innerPings = 0;
};

class Outer final : public QZ::LHandlerTableControl<Outer, Inner> {
public:
  using LHandlerTableControl::LHandlerTableControl;

  void Hear(const RCPtr<QZ::LControl>& from) {
    Inner::Hear(from);
    ASSERT_EQ(CreateHandlerTable(), QZ::QZ_OK);
    Subscribe(&Outer::OnPing, RCPtr<QZ::LNotificationDistributor>(from), u"NID_PING", {"Outer::Hear", "Outer", 1});
  }
  QZ::QZResult OnPing(const RCPtr<QZ::LNotificationDistributor>&, const RCPtr<QZ::LNotification>&) {
    ++outerPings;
    return outerAnswer;
  }

  int outerPings = 0;
  QZ::QZResult outerAnswer = QZ::QZ_OK;
};

TEST(HandlerTableChainTest, TheMostDerivedTableAnswersFirstAndUnregisteringEmptiesEveryLevel) {
  QZTest::FakeControlApplication application;
  const RCPtr<QZ::LControl> source(new QZ::LControl(nullptr, QZ::WString(u"source")));
  const RCPtr<Outer> outer(new Outer(nullptr, QZ::WString(u"outer")));
  EXPECT_FALSE(outer->Inner::GetHandlerTable()) << "made at the first subscription";
  outer->Hear(source);
  ASSERT_TRUE(outer->Inner::GetHandlerTable());
  const auto ping = [&] {
    return outer->ReceiveNotification(RCPtr<QZ::LNotificationDistributor>(source),
                                      QZ::LNotification::Create(u"NID_PING", nullptr));
  };

  EXPECT_EQ(ping(), QZ::QZ_FALSE) << "the outer passes it on, the inner takes it";
  EXPECT_EQ(outer->outerPings, 1);
  EXPECT_EQ(outer->innerPings, 1);
  outer->outerAnswer = QZ::QZ_FALSE;
  EXPECT_EQ(ping(), QZ::QZ_FALSE);
  EXPECT_EQ(outer->outerPings, 2);
  EXPECT_EQ(outer->innerPings, 1) << "the outer took it";

  const QZ::NotificationID id = QZ::GetNotificationID(u"NID_PING");
  EXPECT_EQ(outer->UnregisterNotification(source.Get(), id), QZ::QZ_OK);
  EXPECT_FALSE(outer->GetHandlerTable()->HasRoute(source.Get(), id));
  EXPECT_FALSE(outer->Inner::GetHandlerTable()->HasRoute(source.Get(), id));
  EXPECT_EQ(ping(), QZ::QZ_OK);
  EXPECT_EQ(outer->outerPings + outer->innerPings, 3);
  outer->Detach();
  source->Detach();
}

} // namespace
