#include <gtest/gtest.h>

#include "QZFramework/ControlBase/GlobalHotKeyManager.h"
#include "Support/StringPrinter.h"
#include "WidgetSkinTestSupport.h"

namespace QZ {
namespace {

using QZTest::KeyPress;
using QZTest::TimedRecorder;
using QZTest::WidgetSkin;

constexpr uint8_t kTab = 0x09;
constexpr uint8_t kF5 = 0x74;
constexpr uint8_t kF6 = 0x75;
constexpr uint8_t kF7 = 0x76;

// A panel whose sibling-key subscription fails.
class RefusingPanel : public LPanel {
public:
  using LPanel::LPanel;

protected:
  QZResult SubscribeSiblingKeys() override { return QZ_E_FAIL; }
};

// Takes every sibling key offered to it.
class KeyTaker : public LNotificationClient {
public:
  QZResult ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                               const RCPtr<LNotification>& notification) override {
    if (const RCPtr<LSiblingKeyParam> offer = notification->GetParameterAs<LSiblingKeyParam>()) {
      offer->SetHandled(LSiblingKeyParam::kHandled);
      ++taken;
    }
    return QZ_OK;
  }
  int taken = 0;
};

// Panels.xml: "outer" holds buttons "a", then the panel "inner" (buttons "q1", "q2" and
// "off", which has TabStop -1), then "b".
struct Panels : WidgetSkin {
  Panels() : WidgetSkin("Panels.xml") {
    Create(u"outer");
    inner = Find<LPanel>({u"inner"});
  }
  RCPtr<LControl> Focused() const { return window->focusedControl; }
  RCPtr<LPanel> inner;
};

TEST(PanelTest, TabLeavesANestedPanelAtItsEndsUnlessThePanelLoops) {
  struct Row {
    const char16_t* from;
    bool loop;
    bool backwards;
    const char16_t* to;
  };
  const Row rows[] = {
      {u"q1", false, false, u"q2"}, {u"q2", false, false, u"b"}, {u"q2", true, false, u"q1"},
      {u"q1", false, true, u"a"},   {u"q1", true, true, u"q2"},  {u"q2", false, true, u"q1"},
      {u"a", false, false, u"q1"},  {u"b", false, true, u"q2"},  {u"b", false, false, u"a"}, // the top wraps
      {u"a", false, true, u"b"},    {u"a", true, false, u"q1"},
  };
  Panels skin;
  ASSERT_EQ(skin.loaded, QZ_OK);
  ASSERT_TRUE(skin.inner);
  for (const Row& row : rows) {
    const std::string trace =
        QZTest::Utf8(row.from) + (row.backwards ? " Shift+Tab" : " Tab") + (row.loop ? " looping" : "");
    SCOPED_TRACE(trace);
    skin.inner->SetTabLoop(row.loop);
    const RCPtr<LControl> from = row.from[0] == u'q' ? skin.Find({u"inner", row.from}) : skin.Find({row.from});
    from->SetFocus(true);
    ASSERT_TRUE(from->HasFocus());
    EXPECT_TRUE(Succeeded(from->OnKey(KeyPress(kTab, row.backwards ? kModifierShift | kModifierLeftShift : 0))));
    ASSERT_TRUE(skin.Focused());
    EXPECT_EQ(QZTest::Utf8(skin.Focused()->GetName()), QZTest::Utf8(row.to));
    EXPECT_FALSE(skin.Find({u"inner", u"off"})->HasFocus());
  }
}

TEST(PanelTest, TabPastTheTopPanelsLastStopGoesToTheWindowsFocusCycling) {
  // "outer" is the window's top panel; its only stop is inside "inner".
  Panels skin;
  for (const char16_t* name : {u"a", u"b"}) {
    skin.Find({name})->SetFocusable(true);
  }
  const RCPtr<LControl> q1 = skin.Find({u"inner", u"q1"});
  const RCPtr<LControl> q2 = skin.Find({u"inner", u"q2"});
  q2->SetFocus(true);
  // Round the top panel the walk comes back to "inner", where the key came from: the window
  // starts the next round (here: the fake notes it), instead of the focus staying on q2.
  EXPECT_EQ(q2->OnKey(KeyPress(kTab)), QZ_OK);
  ASSERT_EQ(skin.window->keysToNextWindow.size(), 1u);
  EXPECT_EQ(skin.window->keysToNextWindow[0]->GetLastInPath<LControl>(), skin.top);
  EXPECT_EQ(q1->OnKey(KeyPress(kTab, kModifierShift | kModifierLeftShift)), QZ_OK);
  EXPECT_EQ(skin.window->keysToNextWindow.size(), 2u);
}

TEST(PanelTest, CtrlTabClimbsOutAndALoopingPanelKeepsAPlainTab) {
  Panels skin;
  const RCPtr<LControl> q1 = skin.Find({u"inner", u"q1"});
  q1->SetFocus(true);
  // Up past the top panel to the window, which moves the focus on.
  EXPECT_EQ(q1->OnKey(KeyPress(kTab, kModifierCtrl | kModifierLeftCtrl)), QZ_OK);
  EXPECT_EQ(skin.window->keysToNextWindow.size(), 1u);

  EXPECT_EQ(skin.inner->OnKeyDown(KeyPress(kTab)), QZ_FALSE);
  skin.inner->SetTabLoop(true);
  EXPECT_EQ(skin.inner->OnKeyDown(KeyPress(kTab)), QZ_OK);
  EXPECT_EQ(skin.inner->OnKeyDown(KeyPress(kTab, kModifierShift)), QZ_OK);
  EXPECT_EQ(skin.inner->OnKeyDown(KeyPress(kTab, kModifierCtrl)), QZ_FALSE);
  EXPECT_EQ(skin.inner->OnKeyDown(KeyPress(0x0D)), QZ_FALSE);
}

TEST(PanelTest, AnUnusedKeyClimbsThePanelsToTheWindowsHotKeysThenTheApplicationsOnce) {
  Panels skin;
  const auto windowCommands = TimedRecorder::Listen(nullptr, {});
  const auto applicationCommands = TimedRecorder::Listen(nullptr, {});
  skin.window->hotKeys = RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(windowCommands));
  ASSERT_EQ(skin.window->hotKeys->GetHotKeyMap().AddBinding(KeyCode(kF5, true, 0, 0), u"NID_WINDOW_F5"), QZ_OK);
  ASSERT_EQ(skin.window->hotKeys->GetHotKeyMap().AddBinding(KeyCode(kF6, true, 0, 0), u"NID_WINDOW_F6"), QZ_OK);
  skin.application.globalHotKeys = RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(applicationCommands));
  ASSERT_EQ(skin.application.globalHotKeys->GetHotKeyMap().AddBinding(KeyCode(kF6, true, 0, 0), u"NID_APP_F6"), QZ_OK);
  ASSERT_EQ(skin.application.globalHotKeys->GetHotKeyMap().AddBinding(KeyCode(kF7, true, 0, 0), u"NID_APP_F7"), QZ_OK);

  const RCPtr<LControl> q2 = skin.Find({u"inner", u"q2"});
  q2->SetFocus(true);
  EXPECT_EQ(q2->OnKey(KeyPress(kF5)), QZ_OK);
  EXPECT_EQ(q2->OnKey(KeyPress(kF6)), QZ_OK); // the window's first
  EXPECT_EQ(q2->OnKey(KeyPress(kF7)), QZ_OK);
  EXPECT_EQ(q2->OnKey(KeyPress(0x77)), QZ_FALSE); // nobody's
  std::vector<std::string> names;
  for (const auto& entry : windowCommands->heard) {
    names.push_back("window " + entry.name);
  }
  for (const auto& entry : applicationCommands->heard) {
    names.push_back("application " + entry.name);
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"window NID_WINDOW_F5", "window NID_WINDOW_F6", "application NID_APP_F7"}));

  // A key the children of a sibling panel use goes no further.
  const RCPtr<KeyTaker> taker(new KeyTaker);
  ASSERT_TRUE(taker->RegisterNotification(skin.inner, u"NID_SIBLING_KEY"));
  const RCPtr<LControl> a = skin.Find({u"a"});
  a->SetFocus(true);
  EXPECT_EQ(a->OnKey(KeyPress(kF5)), QZ_OK);
  EXPECT_EQ(taker->taken, 1);
  EXPECT_EQ(windowCommands->heard.size(), 2u);
}

TEST(PanelTest, OnlyAPanelWithAParentHearsItsSiblingsKeys) {
  Panels skin;
  const NotificationID siblingKey = GetNotificationID(u"NID_SIBLING_KEY");
  const RCPtr<LNotificationDistributor::LNotificationClientPool> atOuter = skin.top->FindClientPool(siblingKey);
  ASSERT_TRUE(atOuter);
  EXPECT_TRUE(atOuter->HasClient(skin.inner.Get()));
  // The top panel registers nowhere.
  EXPECT_EQ(static_cast<LNotificationClient&>(*skin.top).GetRegistrationCount(), 0);
}

TEST(PanelTest, AFailingSiblingKeySubscriptionThrowsItsText) {
  WidgetSkin skin("Panels.xml", [](LControlFactory& factory) {
    factory.RegisterControlCreateFunction(u"Framework.Panel", &CreateControlOf<RefusingPanel>);
  });
  try {
    skin.Create(u"outer"); // the top panel has no parent to subscribe to; "inner" has
    FAIL() << "no exception";
  } catch (const std::exception& failure) {
    EXPECT_STREQ(failure.what(),
                 "Failed Result : QZRESULT = 80004005 : QZ::LPanel::Initialize : Controls\\Panel : Line 37");
  }
}

} // namespace
} // namespace QZ
