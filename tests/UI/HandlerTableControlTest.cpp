// The receiver pair that editor controls share: their own table first and only once they
// accept notifications, the base's tables when the own one does not handle it, and an
// unregistration forgotten in every table.
#include <gtest/gtest.h>

#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Notification/Notification.h"
#include "Support/FakeControlApplication.h"
#include "UI/HandlerTableControl.h"

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
    (void)probe->Detach();
    (void)source->Detach();
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

} // namespace
