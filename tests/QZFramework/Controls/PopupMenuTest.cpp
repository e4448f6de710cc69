#include <gtest/gtest.h>

#include "MenuTestSupport.h"
#include "QZFramework/ControlBase/Look.h"

using namespace QZ;
using namespace QZTest;

namespace {

RCPtr<LMenuListBoxItem> RowOf(const RCPtr<LPopupMenu>& popup, int32_t index) {
  return DynamicCast<LMenuListBoxItem>(popup->GetRowControl(popup->GetRowOfItem(index)));
}

std::string HotKeyTextOf(const RCPtr<LPopupMenu>& popup, int32_t index) {
  const RCPtr<LMenuListBoxItem> row = RowOf(popup, index);
  return row ? Utf8(row->FindChildByName(u"hotKeyLabel")->GetText()) : "<no row>";
}

// A menu "Plain", "More" (a sub-menu of "One", "Two"), "-", "Last".
RCPtr<LMenuDescriptor> MenuWithSubMenu() {
  RCPtr<LMenuDescriptor> menu = PlainMenu({"Plain"});
  const RCPtr<LMenuItemDescriptor> more = LMenuItemDescriptor::Create(u"More", u"", true, false);
  more->InsertNewItem(0, u"One", u"NID_TEST_One", true, false);
  more->InsertNewItem(1, u"Two", u"NID_TEST_Two", true, false);
  menu->InsertItem(1, more);
  menu->InsertSeparator(2);
  menu->InsertNewItem(3, u"Last", u"NID_TEST_Last", true, false);
  return menu;
}

} // namespace

TEST(PopupMenuTest, TheOwnStringTableGivesTheRowsAndACopyOfAGivenMenuReplacesThem) {
  MenuSkin skin;
  const RCPtr<LPopupMenu> popup = skin.Popup(u"menuHost");
  ASSERT_TRUE(popup);
  EXPECT_FALSE(popup->IsShown(false));
  EXPECT_EQ(ItemTexts(*popup), (std::vector<std::string>{"Alpha", "", "Beta"}));
  EXPECT_EQ(Utf8(popup->GetMenuItem(0)->GetStatusText()), "The first row.");

  const RCPtr<LMenuDescriptor> menu = PlainMenu({"Cut", "Copy"});
  EXPECT_EQ(popup->SetMenuDescriptor(menu), QZ_OK);
  EXPECT_NE(popup->GetMenuDescriptor(), menu); // its own copy
  EXPECT_EQ(ItemTexts(*popup), (std::vector<std::string>{"Cut", "Copy"}));
  popup->GetMenuItem(0)->SetLabel(u"changed");
  EXPECT_EQ(Utf8(menu->GetItem(0)->GetLabel()), "Cut"); // the caller's tree is never written

  EXPECT_EQ(popup->SetMenuDescriptor(nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(popup->GetItemCount(), 2);
  EXPECT_EQ(popup->SwapItems(0, 1), QZ_E_NOTIMPL);
}

TEST(PopupMenuTest, ChoosingAPlainItemAnnouncesItThenDeliversItToTheOwnerThenCloses) {
  for (const bool byKey : {false, true}) {
    SCOPED_TRACE(byKey ? "Return" : "click");
    MenuSkin skin;
    const RCPtr<LPopupMenu> popup = skin.Popup(u"menuHost");
    ASSERT_TRUE(popup);
    ASSERT_EQ(popup->SetMenuDescriptor(PlainMenu({"Load", "-", "Save"})), QZ_OK);
    const RCPtr<LogListener> listener(new LogListener(skin.log, "popup:"));
    listener->RegisterNotification(popup, u"NID_ITEM_ACTIVATED");
    ASSERT_EQ(popup->ShowAtMousePosition(), QZ_OK);
    EXPECT_TRUE(popup->HasFocus());
    if (byKey) {
      skin.Key(popup, kKeyDown); // Load
      skin.Key(popup, kKeyDown); // over the separator to Save
      EXPECT_EQ(popup->GetFocusIndex(), 2);
      skin.Key(popup, kKeyReturn);
    } else {
      skin.pointer.ClickAt(RowOf(popup, 2), 30, 5);
    }
    EXPECT_EQ(skin.log, (std::vector<std::string>{"popup:NID_ITEM_ACTIVATED", "owner:NID_TEST_Save"}));
    ASSERT_EQ(skin.owner->heard.size(), 1u);
    EXPECT_TRUE(skin.owner->heard[0].fromNull);
    EXPECT_EQ(skin.owner->heard[0].menu, popup->GetMenuDescriptor());
    EXPECT_EQ(skin.owner->heard[0].index, 2);
    EXPECT_FALSE(popup->IsShown(false));
    EXPECT_TRUE(popup->IsClosing());
    skin.Tick(10); // the deferred removal
    EXPECT_FALSE(popup->GetParent());
  }
}

TEST(PopupMenuTest, AnOwnerThatClosesTheWindowOrReplacesTheMenuWhileHandlingAnItemLeavesNothingBroken) {
  for (const int variant : {0, 1}) {
    MenuSkin skin;
    RCPtr<LPopupMenu> popup = skin.Popup(u"menuHost");
    ASSERT_TRUE(popup);
    ASSERT_EQ(popup->SetMenuDescriptor(PlainMenu({"Load", "Save"})), QZ_OK);
    popup->ShowAtMousePosition();
    LPopupMenu* raw = popup.Get();
    MenuOwner* owner = skin.owner.Get();
    std::string chosenLabel;
    owner->onHeard = [&] {
      chosenLabel = Utf8(owner->heard.back().menu->GetItem(uint32_t(owner->heard.back().index))->GetLabel());
      if (variant == 0) {
        skin.window->InstallRootControl(nullptr); // the tree goes, the owner with it
        skin.top = nullptr;
      } else {
        raw->SetMenuDescriptor(PlainMenu({"Other"}));
      }
    };
    skin.owner = nullptr;
    popup = nullptr; // only the tree (and the call) hold it now
    skin.Key(RCPtr<LControl>(raw), kKeyDown);
    skin.Key(RCPtr<LControl>(raw), kKeyReturn);
    EXPECT_EQ(skin.log, (std::vector<std::string>{"owner:NID_TEST_Load"}));
    EXPECT_EQ(chosenLabel, "Load"); // the menu chosen from
  }
}

TEST(PopupMenuTest, WithoutAnOwnerChoosingHidesThePopupAndSendsNothing) {
  MenuSkin skin;
  const RCPtr<LControlDescriptor> entry = skin.application.factory->FindControlDescriptor(u"contextMenu");
  const RCPtr<LPopupMenu> popup = DynamicCast<LPopupMenu>(skin.application.factory->CreateControl(nullptr, entry));
  ASSERT_TRUE(popup);
  ASSERT_EQ(popup->SetMenuDescriptor(PlainMenu({"Load"})), QZ_OK);
  popup->SetVisible(true);
  std::vector<std::string> log;
  const RCPtr<LogListener> listener(new LogListener(log, ""));
  listener->RegisterNotification(popup, u"NID_ITEM_ACTIVATED");
  popup->SelectItems(0, -1, true);
  skin.Key(popup, kKeyReturn);
  EXPECT_FALSE(popup->IsShown(false));
  EXPECT_TRUE(log.empty());
}

TEST(PopupMenuTest, RowsShowTheHotKeysTheOwnersStatesAndChecks) {
  MenuSkin skin;
  (void)skin.application.globalHotKeys->GetHotKeyMap().AddBinding(KeyCode::FromString(u"Ctrl+VKEY_S"),
                                                                  u"NID_MENU_FILE_SAVE_PRESET_TO_FILE");
  skin.window->hotKeys = RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(nullptr));
  (void)skin.window->hotKeys->GetHotKeyMap().AddBinding(KeyCode::FromString(u"Ctrl+Shift+VKEY_S"),
                                                        u"NID_MENU_FILE_SEND_PRESET_TO_DEVICE");
  const RCPtr<LPopupMenu> popup = skin.Popup(u"menuHost");
  ASSERT_TRUE(popup);
  RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
  menu->InsertNewItem(0, u"Send Preset", u"NID_MENU_FILE_SEND_PRESET_TO_DEVICE", true, false);
  menu->InsertNewItem(1, u"Save Preset", u"NID_MENU_FILE_SAVE_PRESET_TO_FILE", true, false);
  menu->InsertNewItem(2, u"Exit", u"NID_MENU_FILE_EXIT_REQ", true, false);
  const RCPtr<LMenuItemDescriptor> more = LMenuItemDescriptor::Create(u"More", u"", true, false);
  more->InsertNewItem(0, u"Save", u"NID_MENU_FILE_SAVE_PRESET_TO_FILE", true, false);
  menu->InsertItem(3, more);
  ASSERT_EQ(popup->SetMenuDescriptor(menu), QZ_OK);
  EXPECT_EQ(HotKeyTextOf(popup, 0), "Ctrl+Shift+S");
  EXPECT_EQ(HotKeyTextOf(popup, 1), "Ctrl+S");
  EXPECT_EQ(HotKeyTextOf(popup, 2), "");
  EXPECT_EQ(Utf8(popup->GetMenuItem(3)->GetItem(0)->GetHotKeyText()), "Ctrl+S"); // sub-menus too

  skin.owner->disabled = {u"NID_MENU_FILE_EXIT_REQ"};
  skin.owner->checked = {u"NID_MENU_FILE_SAVE_PRESET_TO_FILE"};
  popup->ShowAtMousePosition(); // asks the owner
  EXPECT_FALSE(popup->GetMenuItem(2)->IsEnabled());
  EXPECT_EQ(RowOf(popup, 2)->GetCurrentLookIndex(), LListBoxItem::kLookDisabled);
  EXPECT_TRUE(popup->IsItemChecked(1));
  const RCPtr<LButton> box = RowOf(popup, 1)->GetCheckBoxPart();
  EXPECT_EQ(box->GetCurrentLookIndex(), 7);
  popup->SelectItems(1, -1, true);
  EXPECT_EQ(box->GetCurrentLookIndex(), 8);
  EXPECT_EQ(RowOf(popup, 0)->GetCheckBoxPart()->GetCurrentLookIndex(), 0);
  EXPECT_EQ(RowOf(popup, 3)->GetCurrentLookIndex(), LListBoxItem::kLookMarkedOffset); // the sub-menu look
  // The hot-key text takes the colour of the row's text.
  const RCPtr<LControl> hotKey = RowOf(popup, 1)->FindChildByName(u"hotKeyLabel");
  EXPECT_EQ(hotKey->GetLook(-1)->GetTextForegroundPart(), RowOf(popup, 1)->GetLook(-1)->GetTextForegroundPart());

  // An item with items never gets a check mark; a disabled one is never chosen.
  LMenuItemState state{true, true, u"More"};
  EXPECT_EQ(popup->ApplyItemState(3, state), QZ_OK);
  EXPECT_FALSE(popup->GetMenuItem(3)->IsChecked());
  EXPECT_FALSE(popup->IsItemChecked(3));
  EXPECT_EQ(popup->ApplyItemState(4, state), QZ_E_INVALIDARG);
  EXPECT_EQ(popup->ApplyItemState(3, LMenuItemState{true, false, u"More"}), QZ_FALSE);
  skin.pointer.ClickAt(RowOf(popup, 2), 30, 5);
  EXPECT_TRUE(skin.owner->heard.empty());
  EXPECT_TRUE(popup->IsShown(false));
}

TEST(PopupMenuTest, SeparatorsAndDisabledItemsNeverBecomeTheCurrentRow) {
  MenuSkin skin;
  const RCPtr<LPopupMenu> popup = skin.Popup(u"menuHost");
  ASSERT_TRUE(popup);
  ASSERT_EQ(popup->SetMenuDescriptor(PlainMenu({"A", "-", "B", "C"})), QZ_OK);
  skin.owner->disabled = {u"NID_TEST_B"};
  popup->ShowAtMousePosition();
  std::vector<int32_t> current;
  for (int step = 0; step < 3; ++step) {
    skin.Key(popup, kKeyDown);
    current.push_back(popup->GetFocusIndex());
  }
  EXPECT_EQ(current, (std::vector<int32_t>{0, 3, 3}));
  skin.pointer.MoveTo(RowOf(popup, 1), 10, 5); // the separator
  skin.pointer.MoveTo(RowOf(popup, 2), 10, 5); // the disabled item
  EXPECT_EQ(popup->GetFocusIndex(), 3);
  EXPECT_GT(popup->GetRect().width, 0.0);
  // Rows and separators both count in the height: four rows of 20 and a frame of 1.
  EXPECT_EQ(popup->GetRect().height, 82.0);
}

TEST(PopupMenuTest, MisuseIsRefusedAndLeavesThePopupAsItWas) {
  MenuSkin skin;
  const RCPtr<LPopupMenu> popup = skin.Popup(u"menuHost");
  ASSERT_TRUE(popup);
  EXPECT_EQ(popup->SetOwner(RCPtr<LControl>()), QZ_E_INVALIDARG);
  EXPECT_EQ(popup->SetOwner(RCPtr<LControl>(skin.owner)), QZ_OK);
  EXPECT_EQ(popup->SetOwner(skin.top), QZ_E_FAIL);
  EXPECT_EQ(popup->SetOwner(RCPtr<IRootWindow>(skin.window)), QZ_E_FAIL);

  ASSERT_EQ(popup->SetMenuDescriptor(MenuWithSubMenu()), QZ_OK);
  EXPECT_EQ(popup->OpenSubMenu(0), QZ_E_INVALIDARG); // no items
  EXPECT_EQ(popup->OpenSubMenu(9), QZ_E_INVALIDARG); // no item
  EXPECT_EQ(popup->OpenSubMenu(1), QZ_E_FAIL);       // the skin has no "submenu"
  EXPECT_FALSE(popup->GetOpenSubMenu());
  EXPECT_EQ(RowOf(popup, 1)->GetCurrentLookIndex(), LListBoxItem::kLookMarkedOffset);
}

TEST(PopupMenuTest, ASubMenuOpensAfterThePointerRestsLongerThanTheDelayAndMovingBackCancelsTheSwitch) {
  MenuSkin skin;
  const RCPtr<LPopupMenu> popup = skin.Popup(u"subHost");
  ASSERT_TRUE(popup);
  ASSERT_EQ(popup->SetMenuDescriptor(MenuWithSubMenu()), QZ_OK);
  popup->ShowAtMousePosition();
  skin.pointer.MoveTo(RowOf(popup, 1), 10, 5);
  EXPECT_TRUE(popup->IsSubMenuSwitchPending());
  skin.Tick(250);
  EXPECT_FALSE(popup->GetOpenSubMenu()); // not at 250 ms
  skin.Tick(1);
  ASSERT_TRUE(popup->GetOpenSubMenu());
  EXPECT_EQ(popup->GetOpenSubMenuItem(), popup->GetMenuItem(1));
  EXPECT_EQ(ItemTexts(*popup->GetOpenSubMenu()), (std::vector<std::string>{"One", "Two"}));
  EXPECT_TRUE(popup->GetOpenSubMenu()->IsShown(true));
  EXPECT_EQ(popup->GetIdleRequestCount(), 0);

  // Onto "Last" and back before the delay: the sub-menu stays.
  skin.pointer.MoveTo(RowOf(popup, 3), 10, 5);
  EXPECT_TRUE(popup->IsSubMenuSwitchPending());
  skin.Tick(100);
  skin.pointer.MoveTo(RowOf(popup, 1), 10, 5);
  EXPECT_FALSE(popup->IsSubMenuSwitchPending());
  skin.Tick(400);
  ASSERT_TRUE(popup->GetOpenSubMenu());

  // Into the sub-menu: its row lights, the parent's row stays lit.
  const RCPtr<LPopupMenu> subMenu = popup->GetOpenSubMenu();
  skin.pointer.MoveTo(RowOf(subMenu, 1), 10, 5);
  EXPECT_EQ(subMenu->GetFocusIndex(), 1);
  EXPECT_TRUE(popup->IsItemSelected(1));
  skin.pointer.ClickAt(RowOf(subMenu, 1), 10, 5);
  EXPECT_EQ(skin.log, (std::vector<std::string>{"owner:NID_TEST_Two"}));
  EXPECT_EQ(skin.owner->heard[0].menu, popup->GetMenuItem(1)); // the sub-menu's own items
  EXPECT_FALSE(popup->IsShown(false));                         // the whole chain closed
}

TEST(PopupMenuTest, ASubMenuStaysInsideTheWindowAndKeysCloseTheChainOrOnlyTheSubMenu) {
  struct Case {
    const char* name;
    RectT<int32_t> client;
    PointT<int32_t> mouse;
  };
  for (const Case& c : {Case{"room", {0, 0, 400, 300}, {0, 0}}, Case{"right edge", {0, 0, 260, 300}, {150, 0}},
                        Case{"bottom", {0, 0, 400, 80}, {0, 18}}}) {
    SCOPED_TRACE(c.name);
    MenuSkin skin;
    skin.window->clientRect = c.client;
    skin.window->mousePosition = c.mouse;
    const RCPtr<LPopupMenu> popup = skin.Popup(u"subHost");
    ASSERT_TRUE(popup);
    RCPtr<LMenuDescriptor> menu = PlainMenu({"A", "B"});
    menu->InsertItem(2, MenuWithSubMenu()->GetItem(1)); // "More"
    ASSERT_EQ(popup->SetMenuDescriptor(menu), QZ_OK);
    popup->ShowAtMousePosition();
    for (int step = 0; step < 3; ++step) {
      skin.Key(popup, kKeyDown);
    }
    skin.Key(popup, kKeyRight); // opens "More" with its first row current
    const RCPtr<LPopupMenu> subMenu = popup->GetOpenSubMenu();
    ASSERT_TRUE(subMenu);
    EXPECT_EQ(subMenu->GetFocusIndex(), 0);
    const PointT<double> at = subMenu->GetWindowPosition();
    const PointT<double> parent = popup->GetWindowPosition();
    const PointT<double> row = RowOf(popup, 2)->GetWindowPosition();
    const double rowRight = row.x + RowOf(popup, 2)->GetRect().width;
    if (c.client.width == 260) {
      EXPECT_EQ(at.x + subMenu->GetRect().width, parent.x); // to the left
    } else {
      EXPECT_EQ(at.x, rowRight);
    }
    if (c.client.height == 80) {
      EXPECT_EQ(at.y + subMenu->GetRect().height, 80.0); // moved up to the bottom edge
      EXPECT_LT(at.y, row.y);
    } else {
      EXPECT_EQ(at.y, row.y);
    }
    skin.Key(subMenu, kKeyLeft); // only the sub-menu
    EXPECT_FALSE(popup->GetOpenSubMenu());
    EXPECT_TRUE(popup->IsShown(false));
    skin.Key(popup, kKeyRight);
    ASSERT_TRUE(popup->GetOpenSubMenu());
    skin.Key(popup->GetOpenSubMenu(), kKeyEscape); // the whole chain
    EXPECT_FALSE(popup->IsShown(false));
    EXPECT_TRUE(skin.owner->heard.empty());
  }
}

TEST(PopupMenuTest, HoveringARowShowsItsStatusTextAndLeavingItRestoresTheIdleText) {
  MenuSkin skin;
  const RCPtr<LPopupMenu> popup = skin.Popup(u"menuHost");
  ASSERT_TRUE(popup);
  popup->ShowAtMousePosition(); // the string table's menu
  skin.pointer.MoveTo(RowOf(popup, 0), 10, 5);
  ASSERT_EQ(skin.application.statusTexts.size(), 1u);
  EXPECT_EQ(Utf8(skin.application.statusTexts[0]), "The first row.");
  skin.pointer.MoveTo(RowOf(popup, 2), 10, 5); // "Beta" has none
  EXPECT_EQ(skin.application.statusTexts.size(), 1u);
  EXPECT_EQ(skin.application.statusRestores, 1);
}

TEST(PopupMenuTest, AtThePointerThePopupStaysInsideTheWindowAndLosingTheFocusClosesIt) {
  MenuSkin skin;
  skin.window->clientRect = {0, 0, 300, 200};
  const RCPtr<LPopupMenu> popup = skin.Popup(u"menuHost");
  ASSERT_TRUE(popup);
  skin.window->mousePosition = {290, 195};
  popup->ShowAtMousePosition();
  const PointT<double> at = popup->GetWindowPosition();
  EXPECT_EQ(at.x + popup->GetRect().width, 300.0);
  EXPECT_EQ(at.y + popup->GetRect().height, 200.0);
  EXPECT_TRUE(popup->HasFocus());
  EXPECT_TRUE(popup->KillFocus()); // the focus leaves
  EXPECT_FALSE(popup->IsShown(false));
  EXPECT_TRUE(popup->IsClosing());
}

TEST(PopupMenuTest, ARightClickOpensTheContextMenuAtThePointerAndItsItemsReachTheControl) {
  MenuSkin skin;
  const RCPtr<LPopupMenu> popup = skin.Popup(u"menuHost");
  ASSERT_TRUE(popup);
  ASSERT_EQ(skin.owner->SetContextMenuDescriptor(PlainMenu({"Cut", "Copy"})), QZ_OK);
  skin.pointer.MoveTo(skin.owner, 10, 10);
  skin.owner->OnRightClick(LMouseButtonParam::Create(kMouseButtonRight, {10, 10}, 0, false, kMouseButtonRight, 1));
  const RCPtr<LPopupMenu> context = DynamicCast<LPopupMenu>(skin.owner->FindChildByName(u"contextMenu"));
  ASSERT_TRUE(context);
  EXPECT_TRUE(context->IsShown(true));
  EXPECT_EQ(context->GetWindowPosition().Round(), (PointT<int32_t>{30, 30}));
  EXPECT_EQ(ItemTexts(*context), (std::vector<std::string>{"Cut", "Copy"}));
  skin.pointer.ClickAt(RowOf(context, 1), 10, 5);
  EXPECT_EQ(skin.log, (std::vector<std::string>{"owner:NID_TEST_Copy"}));
  // A second right click makes a new menu in place of the closing one.
  skin.owner->OnRightClick(LMouseButtonParam::Create(kMouseButtonRight, {10, 10}, 0, false, kMouseButtonRight, 1));
  const RCPtr<LPopupMenu> again = DynamicCast<LPopupMenu>(skin.owner->FindChildByName(u"contextMenu"));
  ASSERT_TRUE(again);
  EXPECT_NE(again, context);
  EXPECT_TRUE(again->IsShown(true));
  skin.Tick(10);
  EXPECT_EQ(skin.owner->FindChildByName(u"contextMenu"), again);
}
