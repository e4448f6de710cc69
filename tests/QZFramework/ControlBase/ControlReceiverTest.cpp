#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "FactoryTestSupport.h"
#include "QZFramework/ControlBase/ControlCreate.h"
#include "Support/FakeControlApplication.h"

namespace QZ {
namespace {

using QZTest::TestControl;

// A control class with a handler table of its own above the control's, following the
// receiver rule of every such class.
class Layered : public TestControl {
public:
  Layered(const RCPtr<LControl>& parent, const WString& name) : TestControl(parent, name, nullptr) {}

  // The sources the next created Layered listens to while it is made, and sends from.
  static inline RCPtr<TestControl> source;

  QZResult Initialize() override {
    const QZResult base = TestControl::Initialize();
    mLayer = RCPtr<LNotificationHandler<Layered>>(new LNotificationHandler<Layered>(*this));
    if (source) {
      mLayer->AddHandler(&Layered::OnLayerSeen, source, u"NID_VALUE_CHANGE");
      source->Send(u"NID_VALUE_CHANGE"); // half made: nobody hears it
    }
    return base;
  }
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                               const RCPtr<LNotification>& notification) override {
    const QZResult handled = OfferToHandlerTable(mLayer, distributor, notification);
    return handled != QZ_OK ? handled : TestControl::ReceiveNotification(distributor, notification);
  }
  QZResult UnregisterNotification(LNotificationDistributor* distributor, NotificationName id) override {
    ForgetHandlerRoute(mLayer, distributor, id);
    return TestControl::UnregisterNotification(distributor, id);
  }

  QZResult OnLayerSeen(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
    ++layerSeen;
    return layerAnswer;
  }
  void MakeLayer() { mLayer = RCPtr<LNotificationHandler<Layered>>(new LNotificationHandler<Layered>(*this)); }
  const RCPtr<LNotificationHandler<Layered>>& Layer() const { return mLayer; }

  int layerSeen = 0;
  QZResult layerAnswer = QZ_FALSE; // handled

private:
  RCPtr<LNotificationHandler<Layered>> mLayer;
};

const LNotificationHandler<LControl>::Method kControlSeen =
    static_cast<LNotificationHandler<LControl>::Method>(&TestControl::OnSeen);

TEST(ControlReceiverTest, TheMostDerivedTableIsAskedFirstAndAHandlerEndsTheSearch) {
  QZTest::FakeControlApplication application;
  const RCPtr<Layered> owner(new Layered(nullptr, u"owner"));
  const RCPtr<TestControl> source = TestControl::Make(nullptr, u"source");
  // No table yet: nothing hears, nothing breaks.
  EXPECT_EQ(owner->ReceiveNotification(source, LNotification::Create(u"NID_VALUE_CHANGE")), QZ_OK);

  owner->MakeLayer();
  const RCPtr<LNotificationHandler<LControl>> base(new LNotificationHandler<LControl>(*owner));
  owner->UseHandlerTable(base);
  ASSERT_EQ(owner->Layer()->AddHandler(&Layered::OnLayerSeen, source, u"NID_VALUE_CHANGE"), QZ_OK);
  ASSERT_EQ(base->AddHandler(kControlSeen, source, u"NID_VALUE_CHANGE"), QZ_OK);
  source->Send(u"NID_VALUE_CHANGE");
  EXPECT_EQ(owner->layerSeen, 1);
  EXPECT_EQ(owner->seen, 0);
  // A layer that does not handle it hands it down.
  owner->layerAnswer = QZ_OK;
  source->Send(u"NID_VALUE_CHANGE");
  EXPECT_EQ(owner->layerSeen, 2);
  EXPECT_EQ(owner->seen, 1);
  // A control that does not accept notifications hears nothing in any table.
  owner->SetAcceptsNotifications(false);
  source->Send(u"NID_VALUE_CHANGE");
  EXPECT_EQ(owner->layerSeen, 2);
  EXPECT_EQ(owner->seen, 1);
  owner->SetAcceptsNotifications(true);

  // Unregistering forgets the route in every table, and the registration with it.
  EXPECT_EQ(owner->UnregisterNotification(source.Get(), u"NID_VALUE_CHANGE"), QZ_OK);
  EXPECT_FALSE(owner->Layer()->HasRoute(source.Get(), u"NID_VALUE_CHANGE"));
  EXPECT_FALSE(base->HasRoute(source.Get(), u"NID_VALUE_CHANGE"));
  EXPECT_EQ(owner->LNotificationClient::GetRegistrationCount(), 0);
  EXPECT_EQ(source->Send(u"NID_VALUE_CHANGE"), QZ_FALSE); // nobody listens
  // A source that goes takes its routes along.
  {
    const RCPtr<TestControl> passing = TestControl::Make(nullptr, u"passing");
    ASSERT_EQ(owner->Layer()->AddHandler(&Layered::OnLayerSeen, passing, u"NID_LEFT_CLICK"), QZ_OK);
    EXPECT_TRUE(owner->Layer()->HasRoute(passing.Get(), u"NID_LEFT_CLICK"));
    passing->UnregisterAllClients();
    EXPECT_FALSE(owner->Layer()->HasRoute(passing.Get(), u"NID_LEFT_CLICK"));
  }
}

TEST(ControlReceiverTest, AControlMadeByItsCreateFunctionAcceptsNotificationsOnceItIsWhole) {
  QZTest::FakeControlApplication application;
  application.factory = QZTest::LoadSkinText(QZTest::SkinDocument(
      R"(<Skins><Skin Name="Test"><SubControl Class="Test.Layered" Name="layered"/></Skin></Skins>)"));
  application.factory->RegisterControlCreateFunction(u"Test.Layered", &CreateControlOf<Layered>);
  Layered::source = TestControl::Make(nullptr, u"source");
  const RCPtr<Layered> made = DynamicCast<Layered>(
      application.factory->CreateControl(nullptr, application.factory->FindControlDescriptor(u"layered")));
  ASSERT_TRUE(made);
  EXPECT_EQ(made->layerSeen, 0); // sent while it was being made
  EXPECT_TRUE(made->AcceptsNotifications());
  Layered::source->Send(u"NID_VALUE_CHANGE");
  EXPECT_EQ(made->layerSeen, 1);
  made->Detach();
  Layered::source = nullptr;

  // A control made in code accepts them from its construction.
  const RCPtr<TestControl> coded = TestControl::Make(nullptr, u"coded");
  EXPECT_TRUE(coded->AcceptsNotifications());
}

} // namespace
} // namespace QZ
