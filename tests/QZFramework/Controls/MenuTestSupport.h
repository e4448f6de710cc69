#pragma once
// The menus' test world: Menus.xml with MenuStrings.xml, the list and menu classes
// registered, an owner control that notes what reaches it and answers the enable query,
// and a log shared by the owner and the pop-ups' listeners, so tests see the order.
//
//   QZTest::MenuSkin skin;
//   auto popup = skin.Popup(u"menuHost");            // "owner" > "popup"
//   popup->SetMenuDescriptor(menu);
//   skin.owner->disabled = {u"NID_B"};                // shown with look 6, never chosen
//   skin.Tick(300);                                   // clock on, one idle pass

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ListBoxTestSupport.h"
#include "QZFramework/ControlBase/GlobalHotKeyManager.h"
#include "QZFramework/Controls/MainMenu.h"
#include "QZFramework/Controls/MenuActivationParam.h"
#include "QZFramework/Controls/PopupMenu.h"

namespace QZTest {

// A control that owns menus: notes every notification it receives and answers whether
// an item is enabled from the commands the test lists.
class MenuOwner : public QZ::LControl {
public:
  MenuOwner(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name) : QZ::LControl(parent, name) {}

  struct Heard {
    std::string name;
    QZ::RCPtr<QZ::LMenuDescriptor> menu;
    int32_t index = -2;
    bool fromNull = false;
  };
  std::vector<std::string>* log = nullptr;
  std::vector<Heard> heard;
  std::set<QZ::WString> disabled;
  std::set<QZ::WString> checked;
  // Runs after a notification was noted (a handler that closes the window ...).
  std::function<void()> onHeard;

  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>& distributor,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    Heard entry;
    entry.name = QZ::WString(notification->GetID()).ToUTF8().GetBuffer();
    entry.fromNull = !distributor;
    if (const auto param = notification->GetParameterAs<QZ::LMenuActivationParam>()) {
      entry.menu = param->GetMenu();
      entry.index = param->GetIndex();
    }
    if (!entry.name.starts_with("NID_TEST") && !entry.name.starts_with("NID_MENU")) {
      return QZ::LControl::ReceiveNotification(distributor, notification);
    }
    heard.push_back(entry);
    if (log) {
      log->push_back("owner:" + entry.name);
    }
    if (onHeard) {
      onHeard();
    }
    return QZ::QZ_FALSE;
  }
  QZ::QZResult IsMenuItemEnabled(const QZ::LMenuDescriptor*, int32_t, const QZ::WString& command,
                                 QZ::LMenuItemState& state) override {
    state.enabled = !disabled.contains(command);
    state.isChecked = checked.contains(command);
    return QZ::QZ_OK;
  }
};

// Notes the names it hears into a shared log, prefixed.
class LogListener : public QZ::LNotificationClient {
public:
  LogListener(std::vector<std::string>& log, std::string prefix) : mLog(log), mPrefix(std::move(prefix)) {}
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    mLog.push_back(mPrefix + QZ::WString(notification->GetID()).ToUTF8().GetBuffer());
    return QZ::QZ_FALSE;
  }

private:
  std::vector<std::string>& mLog;
  std::string mPrefix;
};

// Runs a callback with the name of each notification it hears.
class CallbackListener : public QZ::LNotificationClient {
public:
  explicit CallbackListener(std::function<void(const std::string&)> heard) : mHeard(std::move(heard)) {}
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    mHeard(QZ::WString(notification->GetID()).ToUTF8().GetBuffer());
    return QZ::QZ_FALSE;
  }

private:
  std::function<void(const std::string&)> mHeard;
};

inline void RegisterMenuClasses(QZ::LControlFactory& factory) {
  factory.RegisterControlCreateFunction(u"Test.MenuOwner", &QZ::CreateControlOf<MenuOwner>);
  factory.RegisterControlCreateFunction(u"Framework.PopupMenu", &QZ::CreateControlOf<QZ::LPopupMenu>);
  factory.RegisterControlCreateFunction(u"Framework.MenuItem", &QZ::CreateControlOf<QZ::LMenuListBoxItem>);
  factory.RegisterControlCreateFunction(u"Framework.ComboMenu", &QZ::CreateControlOf<QZ::LComboMenu>);
  factory.RegisterControlCreateFunction(u"Framework.MainMenu", &QZ::CreateControlOf<QZ::LMainMenu>);
}

class MenuSkin : public ListSkin {
public:
  explicit MenuSkin(const std::function<void(QZ::LControlFactory&)>& registerMore = nullptr)
      : ListSkin("Menus.xml", "MenuStrings.xml", [&](QZ::LControlFactory& factory) {
          if (registerMore) {
            registerMore(factory);
          }
          RegisterMenuClasses(factory);
        }) {
    application.globalHotKeys = QZ::RCPtr<QZ::LGlobalHotKeyManager>(new QZ::LGlobalHotKeyManager(nullptr));
  }

  // The pop-up "popup" of the owner of host, which becomes the owner.
  QZ::RCPtr<QZ::LPopupMenu> Popup(const char16_t* host) {
    owner = Create<MenuOwner>(host, u"owner");
    if (owner) {
      owner->log = &log;
    }
    return owner ? QZ::DynamicCast<QZ::LPopupMenu>(owner->FindChildByName(u"popup")) : nullptr;
  }
  // The clock ms on, then one idle pass.
  void Tick(uint32_t ms) {
    application.AdvanceMilliseconds(ms);
    window->RaiseIdle();
  }
  void Key(const QZ::RCPtr<QZ::LControl>& control, uint32_t code) {
    QZ::KeyCode key;
    key.code = code;
    control->OnKeyDown(QZ::LKeyParam::Create(key, false));
  }

  std::vector<std::string> log;
  QZ::RCPtr<MenuOwner> owner;
};

// Key code words (pressed, no modifier).
inline constexpr uint32_t kKeyDown = 0x20280000;
inline constexpr uint32_t kKeyUp = 0x20260000;
inline constexpr uint32_t kKeyLeft = 0x20250000;
inline constexpr uint32_t kKeyRight = 0x20270000;
inline constexpr uint32_t kKeyEscape = 0x201B0000;
inline constexpr uint32_t kKeyReturn = 0x200D0000;

// A menu of plain rows "NID_TEST_<label>" with "-" for separators.
inline QZ::RCPtr<QZ::LMenuDescriptor> PlainMenu(std::initializer_list<const char*> labels) {
  QZ::RCPtr<QZ::LMenuDescriptor> menu = QZ::LMenuDescriptor::Create();
  for (const char* label : labels) {
    if (std::string(label) == "-") {
      menu->InsertSeparator(menu->GetItemCount());
    } else {
      menu->InsertNewItem(menu->GetItemCount(), QZ::WString(label),
                          QZ::WString((std::string("NID_TEST_") + label).c_str()), true, false);
    }
  }
  return menu;
}

} // namespace QZTest
