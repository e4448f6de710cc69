#include <gtest/gtest.h>

#include <algorithm>

#include "InputTestSupport.h"
#include "QZFramework/ControlBase/GlobalHotKeyManager.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "Support/CommaDecimalLocale.h"
#include "Support/FakeApplicationContext.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"

namespace QZ {
namespace {

using QZTest::FakeApplicationContext;
using QZTest::FakeControlApplication;
using QZTest::FakeRootWindow;
using QZTest::InputControl;
using QZTest::Key;
using QZTest::NotificationRecorder;

using Log = std::vector<std::string>;

constexpr uint8_t kTab = 0x09;
constexpr uint8_t kF2 = 0x71;
constexpr uint8_t kF3 = 0x72;
constexpr uint8_t kF4 = 0x73;
constexpr uint8_t kF5 = 0x74;

// A skin entry with these create parameters (none: null) and a TabStop.
RCPtr<LControlDescriptor> Entry(std::initializer_list<std::pair<const WString, WString>> params, int32_t tabStop = 0,
                                bool withParams = true) {
  RCPtr<LControlDescriptor> entry(new LControlDescriptor(u"Test.Control", u"entry", nullptr));
  RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
  layout->tabStop = tabStop;
  entry->SetLayout(layout);
  if (withParams) {
    entry->SetCreateParams(LStringTable::Create(LStringTable::Entries(params)));
  }
  return entry;
}

// A window whose top control holds the controls a test makes, each placed, shown, enabled
// and focusable in the order made.
struct Tree {
  FakeControlApplication application;
  RCPtr<FakeRootWindow> window{new FakeRootWindow};
  Log log;
  RCPtr<InputControl> top = InputControl::Make(nullptr, u"top", log);
  int32_t nextTabStop = 0;

  Tree() {
    top->Focusable(0, 0, 400, 300);
    window->InstallRootControl(top);
  }
  ~Tree() { window->InstallRootControl(nullptr); }

  RCPtr<InputControl> Add(const RCPtr<LControl>& parent, const WString& name) {
    RCPtr<InputControl> control = InputControl::Make(parent, name, log);
    control->Focusable(0, 0, 20, 20, nextTabStop++);
    return control;
  }
  // A control made from entry and initialised, as the factory does.
  RCPtr<InputControl> AddFromEntry(const RCPtr<LControl>& parent, const WString& name,
                                   const RCPtr<LControlDescriptor>& entry) {
    RCPtr<InputControl> control = InputControl::Make(parent, name, log);
    control->UseDescriptor(entry);
    control->Place(0, 0, 20, 20);
    EXPECT_EQ(control->Initialize(), QZ_OK);
    return control;
  }
  RCPtr<NotificationRecorder> Recorder(const std::string& tag) {
    RCPtr<NotificationRecorder> recorder(new NotificationRecorder);
    recorder->log = &log;
    recorder->tag = tag;
    return recorder;
  }
};

// --- Tab navigation --------------------------------------------------------------------------

// top > panel > (a, b), top > after
struct NavigationTree : Tree {
  RCPtr<InputControl> panel = Add(top, u"panel");
  RCPtr<InputControl> a = Add(panel, u"a");
  RCPtr<InputControl> b = Add(panel, u"b");
  RCPtr<InputControl> after = Add(top, u"after");
};

TEST(ControlKeysTest, TabOnAPanelsLastControlMovesToThePanelsNextSibling) {
  NavigationTree tree;
  ASSERT_EQ(tree.a->SetFocus(true), 1);
  EXPECT_EQ(tree.a->OnKey(Key(kTab)), 1); // b's SetContainsFocus answer
  EXPECT_TRUE(tree.b->HasFocus());
  EXPECT_EQ(tree.b->OnKey(Key(kTab)), 1);
  EXPECT_TRUE(tree.after->HasFocus());
  EXPECT_TRUE(tree.window->keysToNextWindow.empty());

  // Past the last control of the window the window moves on.
  EXPECT_EQ(tree.after->OnKey(Key(kTab)), QZ_OK);
  ASSERT_EQ(tree.window->keysToNextWindow.size(), 1u);
  const RCPtr<LKeyParam> passed = tree.window->keysToNextWindow[0];
  ASSERT_EQ(passed->GetPathCount(), 2u);
  EXPECT_EQ(passed->GetPathAt(0), tree.after);
  EXPECT_EQ(passed->GetPathAt(1), tree.top);
  EXPECT_TRUE(tree.after->HasFocus());
}

TEST(ControlKeysTest, ShiftTabGoesBackwards) {
  NavigationTree tree;
  ASSERT_EQ(tree.after->SetFocus(true), 1);
  EXPECT_EQ(tree.after->OnKey(Key(kTab, kModifierShift)), 1);
  EXPECT_TRUE(tree.b->HasFocus()); // the panel's last control when entered backwards
  EXPECT_EQ(tree.b->OnKey(Key(kTab, kModifierShift)), 1);
  EXPECT_TRUE(tree.a->HasFocus());
  EXPECT_EQ(tree.a->OnKey(Key(kTab, kModifierShift)), QZ_OK);
  ASSERT_EQ(tree.window->keysToNextWindow.size(), 1u);
  EXPECT_EQ(tree.window->keysToNextWindow[0]->GetKey().code & kKeyCodeShift, kKeyCodeShift);
}

TEST(ControlKeysTest, CtrlTabLeavesThePanelAtOnce) {
  NavigationTree tree;
  ASSERT_EQ(tree.a->SetFocus(true), 1);
  EXPECT_EQ(tree.a->OnKey(Key(kTab, kModifierCtrl)), 1);
  EXPECT_TRUE(tree.after->HasFocus());
  EXPECT_FALSE(tree.b->HasFocus());
}

TEST(ControlKeysTest, AControlThatWantsTabKeepsIt) {
  NavigationTree tree;
  tree.b->UseDescriptor(Entry({{u"WANTS_TAB", u" True"}}, 1));
  ASSERT_EQ(tree.b->ApplyCreateParams(), QZ_OK);
  ASSERT_TRUE(tree.b->WantsTab());
  ASSERT_EQ(tree.b->SetFocus(true), 1);
  EXPECT_EQ(tree.b->OnKey(Key(kTab)), QZ_FALSE);
  EXPECT_EQ(tree.b->OnKey(Key(kTab, kModifierShift)), QZ_FALSE);
  EXPECT_TRUE(tree.b->HasFocus());
  EXPECT_TRUE(tree.window->keysToNextWindow.empty());
}

TEST(ControlKeysTest, TabSkipsHiddenAndDisabledChildren) {
  Tree tree;
  RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
  RCPtr<InputControl> first = tree.Add(panel, u"first");
  RCPtr<InputControl> hidden = tree.Add(panel, u"hidden");
  RCPtr<InputControl> disabled = tree.Add(panel, u"disabled");
  RCPtr<InputControl> last = tree.Add(panel, u"last");
  hidden->Layout().isVisible = false;
  disabled->Layout().isEnabled = false;
  ASSERT_EQ(first->SetFocus(true), 1);
  EXPECT_EQ(first->OnKey(Key(kTab)), 1);
  EXPECT_TRUE(last->HasFocus());
  EXPECT_EQ(last->OnKey(Key(kTab, kModifierShift)), 1);
  EXPECT_TRUE(first->HasFocus());
}

TEST(ControlKeysTest, APanelOfLabelsBesideTheFocusedControlEndsTheWalk) {
  Tree tree;
  RCPtr<InputControl> field = tree.Add(tree.top, u"field");
  RCPtr<InputControl> labels = tree.Add(tree.top, u"labels");
  RCPtr<InputControl> label1 = tree.Add(labels, u"label1");
  RCPtr<InputControl> label2 = tree.Add(labels, u"label2");
  RCPtr<InputControl> ghost = tree.Add(labels, u"ghost");
  for (const RCPtr<InputControl>& control : {labels, label1, label2, ghost}) {
    control->SetFocusable(true);
  }
  ghost->Layout().isVisible = false;
  ASSERT_EQ(field->SetFocus(true), 1);
  // The labels' negative TabStop puts them first: backwards from the field they come next.
  EXPECT_EQ(field->OnKey(Key(kTab, kModifierShift)), QZ_OK);
  EXPECT_EQ(tree.window->keysToNextWindow.size(), 1u);
  EXPECT_TRUE(field->HasFocus());

  // A walk that may not pass up and starts at a child it cannot come back to ends too.
  const RCPtr<LKeyParam> wrapped = LKeyParam::Create(KeyCode(kTab, true, 0, 0), true);
  wrapped->AppendToPath(ghost);
  EXPECT_EQ(labels->OnNavigationKey(wrapped), QZ_FALSE);
  EXPECT_EQ(labels->OnNavigationKey(nullptr), QZ_E_INVALIDARG);
}

// --- The way of a key ------------------------------------------------------------------------

TEST(ControlKeysTest, AKeyNobodyUsesGoesSiblingsControlParentWindowApplication) {
  Tree tree;
  RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
  RCPtr<InputControl> field = tree.Add(panel, u"field");
  ASSERT_EQ(field->SetFocus(true), 1);
  // Someone at the panel listens to the sibling keys.
  RCPtr<NotificationRecorder> siblings = tree.Recorder("siblings:");
  siblings->RegisterNotification(panel, u"NID_SIBLING_KEY");
  // F3 is the window's, F2 and F3 the application's.
  RCPtr<NotificationRecorder> windowCommands = tree.Recorder("window:");
  tree.window->hotKeys = RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(windowCommands));
  ASSERT_EQ(tree.window->hotKeys->GetHotKeyMap().AddBinding(KeyCode(kF3, true, 0, 0), u"NID_WINDOW_F3"), QZ_OK);
  RCPtr<NotificationRecorder> applicationCommands = tree.Recorder("application:");
  tree.application.globalHotKeys = RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(applicationCommands));
  HotKeyMap& global = tree.application.globalHotKeys->GetHotKeyMap();
  ASSERT_EQ(global.AddBinding(KeyCode(kF2, true, 0, 0), u"NID_APPLICATION_F2"), QZ_OK);
  ASSERT_EQ(global.AddBinding(KeyCode(kF3, true, 0, 0), u"NID_APPLICATION_F3"), QZ_OK);

  const Log climb = {"siblings:NID_SIBLING_KEY", "field:OnKeyDown", "panel:HandleKey", "siblings:NID_SIBLING_KEY"};
  struct Case {
    uint8_t key;
    QZResult result;
    std::vector<std::string> last;
  };
  const Case cases[] = {
      {kF4, QZ_FALSE, {}},
      {kF3, QZ_OK, {"window:NID_WINDOW_F3"}},
      {kF2, QZ_OK, {"application:NID_APPLICATION_F2"}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(int(test.key));
    tree.log.clear();
    const RCPtr<LKeyParam> key = Key(test.key);
    EXPECT_EQ(field->OnKey(key), test.result);
    Log expected = climb;
    expected.insert(expected.end(), test.last.begin(), test.last.end());
    EXPECT_EQ(tree.log, expected);
    ASSERT_EQ(key->GetPathCount(), 1u);
    EXPECT_EQ(key->GetLastInPath(), field);
  }

  // A key the control uses goes no further; a sibling that uses it first keeps it from the
  // control.
  tree.log.clear();
  field->keyDownResult = QZ_OK;
  EXPECT_EQ(field->OnKey(Key(kF2)), QZ_OK);
  EXPECT_EQ(tree.log, (Log{"siblings:NID_SIBLING_KEY", "field:OnKeyDown"}));
  // Hidden, the control takes no keys at all.
  tree.log.clear();
  field->Layout().isVisible = false;
  EXPECT_EQ(field->OnKey(Key(kF2)), QZ_FALSE);
  EXPECT_EQ(field->OnKey(nullptr), QZ_FALSE);
  EXPECT_TRUE(tree.log.empty());
}

TEST(ControlKeysTest, AtTheTopControlTheWindowsAndTheApplicationsHotKeysFollowTheControl) {
  Tree tree;
  RCPtr<NotificationRecorder> applicationCommands = tree.Recorder("application:");
  tree.application.globalHotKeys = RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(applicationCommands));
  ASSERT_EQ(tree.application.globalHotKeys->GetHotKeyMap().AddBinding(KeyCode(kF2, true, 0, 0), u"NID_F2"), QZ_OK);
  ASSERT_EQ(tree.top->SetFocus(true), QZ_OK); // a control without parent
  EXPECT_EQ(tree.top->OnKey(Key(kF2)), QZ_OK);
  EXPECT_EQ(tree.log, (Log{"top:OnKeyDown", "application:NID_F2"}));
}

TEST(ControlKeysTest, SiblingKeysAreOfferedBackwardsFromThePasserWrappingAndNeverToIt) {
  Tree tree;
  RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
  RCPtr<InputControl> label = tree.Add(panel, u"label"); // first in tab order, not focusable
  label->SetFocusable(true);
  label->Layout().tabStop = -100;
  std::vector<RCPtr<InputControl>> children;
  for (const char16_t* name : {u"A", u"B", u"C", u"D"}) {
    children.push_back(tree.Add(panel, name));
  }
  panel->GetChildren().BumpVersion();
  // Subscribed in an order of their own; the tab order decides.
  for (const RCPtr<InputControl>& control : {children[2], label, children[0], children[3], children[1]}) {
    control->RegisterNotification(panel, u"NID_SIBLING_KEY");
  }
  RCPtr<LKeyParam> key = Key(kF2);
  key->AppendToPath(children[2]);
  EXPECT_EQ(panel->OnSiblingKey(key), QZ_FALSE);
  EXPECT_EQ(tree.log, (Log{"B:received NID_SIBLING_KEY", "A:received NID_SIBLING_KEY", "D:received NID_SIBLING_KEY",
                           "label:received NID_SIBLING_KEY"}));
  ASSERT_EQ(children[1]->offers.size(), 1u);
  EXPECT_EQ(children[1]->offers[0].source, children[2].Get());
  EXPECT_EQ(children[1]->offers[0].key, key->GetKey());
  EXPECT_EQ(children[1]->offers[0].handled, LSiblingKeyParam::kUnhandled);

  // The first that uses it ends the offer.
  tree.log.clear();
  children[0]->consumeSiblingKeys = true;
  EXPECT_EQ(panel->OnSiblingKey(key), QZ_OK);
  EXPECT_EQ(tree.log, (Log{"B:received NID_SIBLING_KEY", "A:received NID_SIBLING_KEY"}));

  // Nobody subscribed: 1.
  EXPECT_EQ(children[0]->OnSiblingKey(key), QZ_FALSE);
}

TEST(ControlKeysTest, SortChildrenPutsTheLeadingNotFocusableRunFirst) {
  Tree tree;
  RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
  RCPtr<InputControl> a = tree.Add(panel, u"a");
  RCPtr<InputControl> b = tree.Add(panel, u"b");
  RCPtr<InputControl> c = tree.Add(panel, u"c");
  RCPtr<NotificationRecorder> stranger1(new NotificationRecorder);
  RCPtr<NotificationRecorder> stranger2(new NotificationRecorder);
  // Strangers rank below every child, the first lowest; they are no focusable controls.
  const std::vector<RCPtr<LNotificationClient>> subscribers = {c, stranger2, a, stranger1, b};
  Array<uint32_t> order;
  ASSERT_EQ(panel->SortChildren(b, subscribers, order), QZ_OK);
  std::vector<uint32_t> got;
  for (uint32_t i = 0; i < order.GetCount(); ++i) {
    got.push_back(order.GetAt(i));
  }
  EXPECT_EQ(got, (std::vector<uint32_t>{1, 3, 0, 2, 4})); // stranger2, stranger1, c, a, b
}

// --- Local hot keys --------------------------------------------------------------------------

TEST(ControlKeysTest, ALocalHotKeyAnswersTheKeyOfAFocusedSibling) {
  Tree tree;
  RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
  RCPtr<InputControl> owner = tree.AddFromEntry(panel, u"owner", Entry({{u"LHK.NID_X", u"VKEY_F2"}}));
  RCPtr<InputControl> sibling = tree.Add(panel, u"sibling");
  ASSERT_EQ(sibling->SetFocus(true), 1);
  tree.log.clear();

  EXPECT_EQ(sibling->OnKey(Key(kF2)), QZ_OK);
  EXPECT_EQ(tree.log, (Log{"owner:received NID_SIBLING_KEY", "owner:received NID_X"}));
  ASSERT_EQ(owner->offers.size(), 2u); // the offer, then the command carrying it
  EXPECT_EQ(owner->offers[1].handled, LSiblingKeyParam::kHandled);
  EXPECT_EQ(owner->offers[1].source, sibling.Get());

  // The control's own key too; other keys pass it by.
  tree.log.clear();
  ASSERT_EQ(owner->SetFocus(true), 1);
  EXPECT_EQ(owner->OnKey(Key(kF2)), QZ_OK);
  EXPECT_EQ(tree.log.back(), "owner:received NID_X");
  tree.log.clear();
  EXPECT_EQ(owner->OnKey(Key(kF3)), QZ_FALSE);
  EXPECT_NE(std::find(tree.log.begin(), tree.log.end(), "owner:OnKeyDown"), tree.log.end());

  // Hidden or disabled, the owner lets the key pass on to the focused control.
  ASSERT_EQ(sibling->SetFocus(true), 1);
  for (int spoiled = 0; spoiled < 2; ++spoiled) {
    SCOPED_TRACE(spoiled);
    owner->Layout().isVisible = spoiled != 0;
    owner->Layout().isEnabled = spoiled == 0;
    tree.log.clear();
    EXPECT_EQ(sibling->OnKey(Key(kF2)), QZ_FALSE);
    EXPECT_NE(std::find(tree.log.begin(), tree.log.end(), "sibling:OnKeyDown"), tree.log.end());
    EXPECT_EQ(std::find(tree.log.begin(), tree.log.end(), "owner:received NID_X"), tree.log.end());
  }
}

TEST(ControlKeysTest, LocalHotKeysComeFromTheCreateParametersThenTheStringTable) {
  Tree tree;
  RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
  RCPtr<InputControl> owner = InputControl::Make(panel, u"owner", tree.log);
  owner->UseStringTable(
      LStringTable::Create({{u"LHK.NID_FROM_TABLE", u"VKEY_F2"}, {u"LHK.NID_TABLE_ONLY", u"VKEY_F3"}}));
  owner->UseDescriptor(Entry({{u"LHK.NID_FROM_SKIN", u"VKEY_F2"}}));
  owner->Place(0, 0, 20, 20);
  ASSERT_EQ(owner->Initialize(), QZ_OK);
  EXPECT_EQ(owner->HotKeys().FindCommand(KeyCode(kF2, true, 0, 0)), WString(u"NID_FROM_SKIN"));
  EXPECT_EQ(owner->HotKeys().FindCommand(KeyCode(kF3, true, 0, 0)), WString(u"NID_TABLE_ONLY"));
  EXPECT_EQ(owner->GetHotKey(u"NID_FROM_SKIN").code, KeyCode(kF2, true, 0, 0).code);
  EXPECT_EQ(owner->GetHotKey(u"NID_FROM_TABLE").code, kKeyCodeInvalid);
  EXPECT_EQ(owner->GetHotKey(u"NID_UNBOUND").code, 0x80000000u);

  // Only a control with local hot keys listens at its parent.
  const RCPtr<LNotificationDistributor::LNotificationClientPool> pool =
      panel->FindClientPool(GetNotificationID(u"NID_SIBLING_KEY"));
  ASSERT_TRUE(pool);
  EXPECT_EQ(pool->GetEntryCount(), 1u);
  RCPtr<InputControl> plain = tree.AddFromEntry(panel, u"plain", Entry({}));
  EXPECT_EQ(pool->GetEntryCount(), 1u);
}

TEST(ControlKeysTest, MenuCommandsWithHotKeysGoToTheWindowOrTheApplication) {
  FakeApplicationContext context;
  const RCPtr<LNotificationCenter> centre = LNotificationCenter::CreateNotificationCenter(u"application");
  context.SetApplicationNotificationCenter(centre.Get());
  Tree tree;
  RCPtr<NotificationRecorder> posted = tree.Recorder("posted:");
  posted->RegisterNotification(centre, u"NID_MENU_X");
  RCPtr<InputControl> panel = tree.Add(tree.top, u"panel");
  RCPtr<InputControl> owner = tree.AddFromEntry(panel, u"owner", Entry({{u"LHK.NID_MENU_X", u"VKEY_F3"}}));
  RCPtr<InputControl> sibling = tree.Add(panel, u"sibling");
  ASSERT_EQ(sibling->SetFocus(true), 1);

  // File > X, and an item without a hot key.
  const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
  const RCPtr<LMenuItemDescriptor> file = LMenuItemDescriptor::Create(u"File", u"", true, false);
  ASSERT_GE(file->InsertNewItem(0, u"X", u"NID_MENU_X", true, false), 0);
  ASSERT_GE(menu->InsertItem(0, file), 0);
  ASSERT_GE(menu->InsertNewItem(1, u"Y", u"NID_MENU_Y", true, false), 0);
  EXPECT_EQ(owner->RegisterMenuHotKeys(nullptr, true), QZ_E_INVALIDARG);
  ASSERT_EQ(owner->RegisterMenuHotKeys(menu, true), QZ_OK);
  EXPECT_EQ(owner->HotKeys().GetHandler(u"NID_MENU_X").receiver, owner.Get());
  EXPECT_EQ(owner->HotKeys().GetHandler(u"NID_MENU_Y").receiver, nullptr);

  // The window does not bind the command: it is posted to the application.
  tree.log.clear();
  EXPECT_EQ(sibling->OnKey(Key(kF3)), QZ_OK);
  EXPECT_TRUE(tree.log.empty() || tree.log == Log{"owner:received NID_SIBLING_KEY"});
  centre->ProcessNotifications(false);
  EXPECT_EQ(tree.log.back(), "posted:NID_MENU_X");

  // The window binds it: its command handling gets it.
  tree.window->hotKeys = RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(tree.Recorder("window:")));
  ASSERT_EQ(tree.window->hotKeys->GetHotKeyMap().AddBinding(KeyCode(kF5, true, 0, 0), u"NID_MENU_X"), QZ_OK);
  EXPECT_EQ(sibling->OnKey(Key(kF3)), QZ_OK);
  ASSERT_EQ(tree.window->commands.size(), 1u);
  EXPECT_EQ(WString(tree.window->commands[0]->GetID()), WString(u"NID_MENU_X"));

  // Taken away, the command is the owner's own again.
  ASSERT_EQ(owner->RegisterMenuHotKeys(menu, false), QZ_OK);
  EXPECT_EQ(owner->HotKeys().GetHandler(u"NID_MENU_X").receiver, nullptr);
  tree.log.clear();
  EXPECT_EQ(sibling->OnKey(Key(kF3)), QZ_OK);
  EXPECT_EQ(tree.log.back(), "owner:received NID_MENU_X");
  EXPECT_EQ(tree.window->commands.size(), 1u);
  context.SetApplicationNotificationCenter(nullptr);
}

// --- Create parameters -------------------------------------------------------------------------

TEST(ControlKeysTest, NotFocusableIsTrueOnlyForTrueWhateverTheBlanksAndCase) {
  struct Case {
    const char16_t* value;
    bool notFocusable;
  };
  for (const Case& test : {Case{u" TRUE ", true}, Case{u"\ttrue\r\n", true}, Case{u"True", true}, Case{u"yes", false},
                           Case{u"false", false}, Case{u"", false}, Case{u"1", false}}) {
    SCOPED_TRACE(QZTest::Utf8(test.value));
    Tree tree;
    RCPtr<InputControl> control = tree.AddFromEntry(tree.top, u"control", Entry({{u"NOT_FOCUSABLE", test.value}}));
    EXPECT_EQ(control->NotFocusable(), test.notFocusable);
    EXPECT_EQ(control->GetLayoutDescriptor()->tabStop < 0, test.notFocusable);
  }
}

TEST(ControlKeysTest, WithoutCreateParametersTheTabStopsSignDecides) {
  struct Case {
    int32_t tabStop;
    bool withParams;
    bool notFocusable;
  };
  for (const Case& test : {Case{-1, false, true}, Case{0, false, false}, Case{3, false, false}, Case{-1, true, true},
                           Case{0, true, false}}) {
    SCOPED_TRACE(testing::Message() << test.tabStop << " " << test.withParams);
    Tree tree;
    RCPtr<InputControl> control = tree.AddFromEntry(tree.top, u"control", Entry({}, test.tabStop, test.withParams));
    EXPECT_EQ(control->NotFocusable(), test.notFocusable);
  }
}

TEST(ControlKeysTest, TheInitialValueIsReadWithAPointWhateverTheLocale) {
  QZTest::CommaDecimalLocale locale;
  ASSERT_TRUE(locale.Active());
  struct Case {
    const char16_t* text;
    double value;
  };
  for (const Case& test : {Case{u"0.5", 0.5}, Case{u"abc", 0.0}, Case{u" -0.25", -0.25}, Case{u"0,5", 0.0}}) {
    SCOPED_TRACE(QZTest::Utf8(test.text));
    Tree tree;
    RCPtr<InputControl> control = tree.AddFromEntry(tree.top, u"control", Entry({{u"INITIAL_VALUE", test.text}}));
    EXPECT_EQ(control->valuesSet, std::vector<double>{test.value});
  }
}

TEST(ControlKeysTest, TheFlagsAndTheToolTipComeFromTheCreateParameters) {
  Tree tree;
  RCPtr<InputControl> flagged = tree.AddFromEntry(
      tree.top, u"flagged",
      Entry({{u"USE_PARENT_TOOLTIP", u"TRUE"}, {u"WANTS_TAB", u"true "}, {u"TOOLTIP", u"From the skin"}}));
  EXPECT_TRUE(flagged->UsesParentToolTip());
  EXPECT_TRUE(flagged->WantsTab());
  EXPECT_EQ(flagged->ToolTip(), WString(u"From the skin"));
  EXPECT_TRUE(flagged->valuesSet.empty());

  // The string table's tool tip wins.
  RCPtr<InputControl> translated = InputControl::Make(tree.top, u"translated", tree.log);
  translated->UseStringTable(LStringTable::Create({{u"TOOLTIP", u"From the table"}}));
  translated->UseDescriptor(Entry({{u"TOOLTIP", u"From the skin"}, {u"WANTS_TAB", u"no"}}));
  ASSERT_EQ(translated->Initialize(), QZ_OK);
  EXPECT_EQ(translated->ToolTip(), WString(u"From the table"));
  EXPECT_FALSE(translated->UsesParentToolTip());
  EXPECT_FALSE(translated->WantsTab());
}

// --- Idle subscription -------------------------------------------------------------------------

TEST(ControlKeysTest, SubscribingATreeUnderAWindowSubscribesTheIdleRequestsMadeBefore) {
  Tree tree;
  RCPtr<InputControl> child = tree.Add(tree.top, u"child");
  RCPtr<InputControl> quiet = tree.Add(tree.top, u"quiet");
  RCPtr<InputControl> grandchild = tree.Add(child, u"grandchild");
  tree.top->IdleRequests() = 1;
  grandchild->IdleRequests() = 2;
  ASSERT_EQ(tree.top->SubscribeNotifications(), QZ_OK);
  EXPECT_TRUE(tree.window->HasClient(tree.top.Get()));
  EXPECT_TRUE(tree.window->HasClient(grandchild.Get()));
  EXPECT_FALSE(tree.window->HasClient(child.Get()));
  EXPECT_FALSE(tree.window->HasClient(quiet.Get()));
  EXPECT_EQ(grandchild->IdleRequests(), 2);

  // Outside a window the requests cannot be kept.
  std::vector<std::string> log;
  RCPtr<InputControl> loose = InputControl::Make(nullptr, u"loose", log);
  loose->IdleRequests() = 1;
  ASSERT_EQ(loose->SubscribeNotifications(), QZ_OK);
  EXPECT_EQ(loose->IdleRequests(), 0);
}

} // namespace
} // namespace QZ
