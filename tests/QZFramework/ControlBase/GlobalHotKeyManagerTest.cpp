#include "QZFramework/ControlBase/GlobalHotKeyManager.h"

#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "QZFramework/Notification/NotificationCenter.h"
#include "Support/FakeApplicationContext.h"
#include "Support/PresetEditorHotKeyTable.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

struct Delivery {
  const LNotificationDistributor* sender;
  NotificationID id;
  const LRefCountedObject* parameter;
};

class RecordingReceiver : public LNotificationClient {
public:
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                               const RCPtr<LNotification>& notification) override {
    deliveries.push_back({distributor.Get(), notification->GetID(), notification->GetParameter().Get()});
    if (onDelivery) {
      onDelivery();
    }
    return QZ_OK;
  }

  std::vector<Delivery> deliveries;
  std::function<void()> onDelivery;
};

RCPtr<LKeyParam> Pressed(uint8_t virtualKey, uint32_t mask, uint8_t repeat = 0) {
  return LKeyParam::Create(KeyCode(virtualKey, true, repeat, mask), true);
}

class GlobalHotKeyManagerTest : public ::testing::Test {
protected:
  GlobalHotKeyManagerTest() {
    application.SetApplicationNotificationCenter(centre.Get());
    manager->GetHotKeyMap() = QZTest::BuildApplicationHotKeys(QZTest::MakePresetEditorHotKeyTable().Get());
  }

  QZTest::FakeApplicationContext application;
  const RCPtr<LNotificationCenter> centre = LNotificationCenter::CreateNotificationCenter(u"application");
  const RCPtr<RecordingReceiver> receiver{new RecordingReceiver};
  RCPtr<LGlobalHotKeyManager> manager{new LGlobalHotKeyManager(receiver)};
};

TEST_F(GlobalHotKeyManagerTest, ABoundKeySendsItsCommandWithTheKeyFromTheApplicationCentreAtOnce) {
  const RCPtr<LKeyParam> save = Pressed(0x53, kModifierCtrl | kModifierLeftCtrl, 1);
  ASSERT_EQ(save->GetKey().sides, 0x4u);
  EXPECT_EQ(manager->HandleKey(save), QZ_OK);
  ASSERT_EQ(receiver->deliveries.size(), 1u);
  EXPECT_EQ(receiver->deliveries[0].id, GetNotificationID(u"NID_MENU_FILE_SAVE_PRESET_TO_FILE"));
  EXPECT_EQ(receiver->deliveries[0].parameter, save.Get());
  EXPECT_EQ(receiver->deliveries[0].sender, centre.Get());
}

TEST_F(GlobalHotKeyManagerTest, ReleasesUnboundKeysAndNullKeysSendNothing) {
  EXPECT_EQ(manager->HandleKey(LKeyParam::Create(KeyCode(0x2E, false, 1, 0), true)), QZ_FALSE);
  EXPECT_EQ(manager->HandleKey(Pressed(0x7B, 0)), QZ_FALSE);
  EXPECT_EQ(manager->HandleKey(nullptr), QZ_E_INVALIDARG);
  EXPECT_TRUE(receiver->deliveries.empty());

  const RCPtr<LGlobalHotKeyManager> deaf(new LGlobalHotKeyManager(nullptr));
  ASSERT_EQ(deaf->GetHotKeyMap().AddBinding(KeyCode::FromString(u"VKEY_F1"), u"NID_HELP"), QZ_OK);
  EXPECT_EQ(deaf->HandleKey(Pressed(0x70, 0)), QZ_FALSE);
}

TEST_F(GlobalHotKeyManagerTest, AfterEmptyingOnlyTheNewDefinitionsAnswer) {
  manager->GetHotKeyMap().Clear();
  const RCPtr<LStringTable> other = LStringTable::Create({{u"GHK.NID_REFRESH", u"VKEY_F5"}});
  ASSERT_EQ(manager->GetHotKeyMap().ParseDefinitions(other.Get(), u"GHK"), QZ_OK);
  for (const auto& key : {Pressed(0x53, kModifierCtrl), Pressed(0x2E, 0), Pressed(0x73, kModifierAlt)}) {
    EXPECT_EQ(manager->HandleKey(key), QZ_FALSE) << std::hex << key->GetKey().code;
  }
  EXPECT_TRUE(receiver->deliveries.empty());
  EXPECT_EQ(manager->HandleKey(Pressed(0x74, 0)), QZ_OK);
  ASSERT_EQ(receiver->deliveries.size(), 1u);
  EXPECT_EQ(receiver->deliveries[0].id, GetNotificationID(u"NID_REFRESH"));
}

TEST_F(GlobalHotKeyManagerTest, ThroughTheCentresPostingReceiverTheCommandArrivesAtTheNextDrain) {
  const RCPtr<RecordingReceiver> listener(new RecordingReceiver);
  ASSERT_TRUE(listener->RegisterNotification(centre, u"NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE"));
  const RCPtr<LGlobalHotKeyManager> posting(new LGlobalHotKeyManager(centre->GetPostingReceiver()));
  posting->GetHotKeyMap() = manager->GetHotKeyMap();

  const RCPtr<LKeyParam> load = Pressed(0x52, kModifierCtrl | kModifierShift);
  EXPECT_EQ(posting->HandleKey(load), QZ_OK);
  EXPECT_TRUE(listener->deliveries.empty());
  EXPECT_FALSE(centre->ProcessNotifications(false));
  ASSERT_EQ(listener->deliveries.size(), 1u);
  EXPECT_EQ(listener->deliveries[0].id, GetNotificationID(u"NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE"));
  EXPECT_EQ(listener->deliveries[0].parameter, load.Get());
  listener->UnregisterAllNotifications();
}

TEST_F(GlobalHotKeyManagerTest, AHandlerMayReleaseTheManager) {
  receiver->onDelivery = [this] { manager = nullptr; };
  EXPECT_EQ(manager->HandleKey(Pressed(0x44, 0)), QZ_OK);
  EXPECT_FALSE(manager);
  ASSERT_EQ(receiver->deliveries.size(), 1u);
  EXPECT_EQ(receiver->deliveries[0].id, GetNotificationID(u"NID_BUTTON_TOGGLE_DIALOG_BUTTON"));
}

TEST(GlobalHotKeyManagerWithoutApplicationTest, TheSenderIsNullWhileNoApplicationIsInstalled) {
  const RCPtr<RecordingReceiver> receiver(new RecordingReceiver);
  const RCPtr<LGlobalHotKeyManager> manager(new LGlobalHotKeyManager(receiver));
  ASSERT_EQ(manager->GetHotKeyMap().AddBinding(KeyCode::FromString(u"VKEY_F1"), u"NID_HELP"), QZ_OK);
  EXPECT_EQ(manager->HandleKey(Pressed(0x70, 0)), QZ_OK);
  ASSERT_EQ(receiver->deliveries.size(), 1u);
  EXPECT_EQ(receiver->deliveries[0].sender, nullptr);
}

} // namespace
} // namespace QZ
