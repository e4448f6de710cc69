#include <gtest/gtest.h>

#include "MenuTestSupport.h"
#include "QZFramework/Controls/TextBox.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/System/Clipboard.h"
#include "Support/FakeApplicationContext.h"
#include "Support/FakeClipboardBackend.h"
#include "TextBoxTestSupport.h"

using namespace QZ;
using namespace QZTest;

namespace {

// The bars' test world: the menu skin with text boxes, the application's clipboard and
// notification centre (where the clipboard hears the edit requests).
class BarWorld {
public:
  BarWorld()
      : skin([](LControlFactory& factory) {
          factory.RegisterControlCreateFunction(u"Framework.TextBox", &CreateControlOf<LTextBox>);
        }) {
    context.SetApplicationNotificationCenter(centre.Get());
    skin.application.clipboard = clipboard;
    clipboard->Initialize();
  }
  ~BarWorld() {
    skin.window->InstallRootControl(nullptr);
    skin.application.clipboard = nullptr;
    context.SetApplicationNotificationCenter(nullptr);
  }
  BarWorld(const BarWorld&) = delete;
  BarWorld& operator=(const BarWorld&) = delete;

  // The bar name of host, its tree subscribed as the window does.
  RCPtr<LMainMenu> Bar(const char16_t* host, const char16_t* name) {
    const RCPtr<LMainMenu> bar = skin.Create<LMainMenu>(host, name);
    if (skin.top) {
      skin.top->SubscribeNotifications();
    }
    return bar;
  }
  void Drain() { centre->ProcessNotifications(false); } // whether more waits: nothing does

  ScopedCharacterLocale ctype{"C.UTF-8"};
  ScopedFakeClipboard system;
  FakeApplicationContext context;
  const RCPtr<LNotificationCenter> centre = LNotificationCenter::CreateNotificationCenter(u"application");
  MenuSkin skin;
  const RCPtr<LClipboard> clipboard{new LClipboard};
};

std::vector<std::string> Titles(const LMainMenu& bar) {
  std::vector<std::string> titles;
  for (int32_t i = 0; i < bar.GetAddedMenuCount(); ++i) {
    titles.push_back(Utf8(bar.GetAddedMenu(i)->GetText()));
  }
  return titles;
}

double RightEdge(const RCPtr<LControl>& control) { return control->GetRect().x + control->GetRect().width; }

RCPtr<LMenuListBoxItem> RowOf(const RCPtr<LPopupMenu>& popup, int32_t index) {
  return DynamicCast<LMenuListBoxItem>(popup->GetRowControl(popup->GetRowOfItem(index)));
}

} // namespace

TEST(MainMenuTest, TheEditorsTableGivesFileAndHelpSideBySide) {
  BarWorld world;
  world.skin.window->hotKeys = RCPtr<LGlobalHotKeyManager>(new LGlobalHotKeyManager(nullptr));
  (void)world.skin.window->hotKeys->GetHotKeyMap().AddBinding(KeyCode::FromString(u"Ctrl+VKEY_S"),
                                                              u"NID_MENU_FILE_SAVE_PRESET_TO_FILE");
  const RCPtr<LMainMenu> bar = world.Bar(u"barHost", u"mainMenu");
  ASSERT_TRUE(bar);
  EXPECT_EQ(Titles(*bar), (std::vector<std::string>{"File", "Help"}));
  EXPECT_EQ(bar->GetFixedMenuCount(), 0u);
  EXPECT_FALSE(bar->FindChildByName(u"templateMenu")); // a pattern only
  const RCPtr<LComboMenu> file = bar->GetAddedMenu(0);
  const RCPtr<LComboMenu> help = bar->GetAddedMenu(1);
  EXPECT_EQ(file->GetName(), WString(u"File"));
  EXPECT_EQ(file->GetRect().x, 4.0);
  EXPECT_EQ(help->GetRect().x, RightEdge(file));
  EXPECT_EQ(ItemTexts(*file->GetPopupMenu()), (std::vector<std::string>{"Send Preset ", "Retrieve Preset ", "",
                                                                        "Load Preset ", "Save Preset ", "", "Exit "}));
  EXPECT_EQ(Utf8(file->GetPopupMenu()->GetMenuItem(6)->GetNotificationName()), "NID_MENU_FILE_EXIT_REQ");
  EXPECT_EQ(Utf8(file->GetPopupMenu()->GetMenuItem(4)->GetHotKeyText()), "Ctrl+S"); // the window's keys
  EXPECT_EQ(ItemTexts(*help->GetPopupMenu()), (std::vector<std::string>{"User Guide ", "About "}));
  EXPECT_EQ(Utf8(help->GetPopupMenu()->GetMenuItem(1)->GetStatusText()), " Show the version of the editor.");
  EXPECT_FALSE(file->IsDroppedDown());
  EXPECT_EQ(file->GetCurrentLookIndex(), LComboMenu::kLookNormal);
}

TEST(MainMenuTest, TitlesAndMenusMustAgreeAndATakenTitleIsSkipped) {
  BarWorld world;
  ASSERT_TRUE(world.Bar(u"labelsHost", u"gapMenu"));
  const auto find = [&](const char16_t* name) { return DynamicCast<LMainMenu>(world.skin.top->FindChildByName(name)); };
  // Titles 00 and 02 are three titles (the middle one empty) for two menus: no entry.
  EXPECT_EQ(find(u"gapMenu")->GetAddedMenuCount(), 0);
  // "File" twice: the second is skipped and "Help" takes its place with the third menu.
  const RCPtr<LMainMenu> dup = find(u"dupMenu");
  EXPECT_EQ(Titles(*dup), (std::vector<std::string>{"File", "Help"}));
  EXPECT_EQ(ItemTexts(*dup->GetAddedMenu(1)->GetPopupMenu()), (std::vector<std::string>{"Three"}));
  // A skin entry stands first, unnumbered; the added one follows its right edge.
  const RCPtr<LMainMenu> fixed = find(u"fixedMenu");
  EXPECT_EQ(fixed->GetFixedMenuCount(), 1u);
  EXPECT_EQ(Titles(*fixed), (std::vector<std::string>{"Extra"}));
  EXPECT_EQ(fixed->GetAddedMenu(0)->GetRect().x, RightEdge(fixed->FindChildByName(u"tools")));
  EXPECT_EQ(fixed->InsertMenu(u"tools", u"New", u"New", PlainMenu({"A"})), QZ_E_INVALIDARG); // not an added one
  EXPECT_EQ(fixed->AddMenu(0, u"First", u"First", PlainMenu({"A"})), 0);
  EXPECT_EQ(Titles(*fixed), (std::vector<std::string>{"First", "Extra"}));
  EXPECT_EQ(fixed->GetAddedMenu(0)->GetRect().x, RightEdge(fixed->FindChildByName(u"tools")));
}

TEST(MainMenuTest, AddingAndInsertingKeepTheTitlesInOrderAndRefuseBadPlaces) {
  BarWorld world;
  const RCPtr<LMainMenu> bar = world.Bar(u"barHost", u"mainMenu");
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->AddMenu(3, u"Edit", u"Edit", PlainMenu({"Copy"})), QZ_E_INVALIDARG);
  EXPECT_EQ(bar->AddMenu(0, u"File", u"File", PlainMenu({"Copy"})), QZ_E_INVALIDARG); // the name is taken
  EXPECT_EQ(bar->AddMenu(0, u"Edit", u"Edit", PlainMenu({"Copy"})), 0);
  EXPECT_EQ(bar->InsertMenu(u"Help", u"View", u"View", PlainMenu({"Zoom"})), 2);
  EXPECT_EQ(bar->InsertMenu(u"Nope", u"Tools", u"Tools", PlainMenu({"Zoom"})), QZ_E_INVALIDARG);
  EXPECT_EQ(bar->InsertMenu(u"", u"Last", u"Last", PlainMenu({"Zoom"})), 4);
  EXPECT_EQ(Titles(*bar), (std::vector<std::string>{"Edit", "File", "View", "Help", "Last"}));
  EXPECT_EQ(bar->GetAddedMenu(0)->GetRect().x, 4.0);
  for (int32_t i = 1; i < bar->GetAddedMenuCount(); ++i) {
    EXPECT_EQ(bar->GetAddedMenu(i)->GetRect().x, RightEdge(bar->GetAddedMenu(i - 1))) << i;
  }
  // A skin switch makes them again, in order, with their menus.
  ASSERT_GE(bar->ApplyDescriptor(bar->GetControlDescriptor()), 0);
  EXPECT_EQ(Titles(*bar), (std::vector<std::string>{"Edit", "File", "View", "Help", "Last"}));
  EXPECT_EQ(ItemTexts(*bar->GetAddedMenu(2)->GetPopupMenu()), (std::vector<std::string>{"Zoom"}));
  EXPECT_EQ(bar->GetAddedMenu(4)->GetRect().x, RightEdge(bar->GetAddedMenu(3)));
}

TEST(MainMenuTest, TheStateProviderDecidesWhichItemsAreEnabled) {
  BarWorld world;
  const RCPtr<LMainMenu> bar = world.Bar(u"barHost", u"mainMenu");
  ASSERT_TRUE(bar);
  LMenuItemState state{true, false, u"Exit"};
  EXPECT_EQ(bar->IsMenuItemEnabled(nullptr, 0, u"NID_MENU_FILE_EXIT_REQ", state), QZ_FALSE); // all enabled
  const RCPtr<MenuOwner> provider = DynamicCast<MenuOwner>(world.skin.top->FindChildByName(u"owner"));
  ASSERT_TRUE(provider);
  provider->disabled = {u"NID_MENU_FILE_EXIT_REQ"};
  bar->SetMenuItemStateProvider(provider->GetMenuItemUpdater());
  const RCPtr<LComboMenu> file = bar->GetAddedMenu(0);
  world.skin.pointer.PressOn(file, 5, 5);
  ASSERT_TRUE(file->IsDroppedDown());
  EXPECT_FALSE(file->GetPopupMenu()->GetMenuItem(6)->IsEnabled());
  EXPECT_TRUE(file->GetPopupMenu()->GetMenuItem(4)->IsEnabled());
  world.skin.pointer.Release();

  // The provider's control gone: the bar cannot tell.
  const RCPtr<LMenuItemUpdater> orphan = LMenuItemUpdater::Create(nullptr);
  bar->SetMenuItemStateProvider(orphan);
  EXPECT_EQ(bar->IsMenuItemEnabled(nullptr, 0, u"NID_MENU_FILE_EXIT_REQ", state), QZ_E_FAIL);
}

TEST(MainMenuTest, APressOpensAMenuMovingAlongTheBarSwitchesAndAReleaseOnARowChoosesIt) {
  BarWorld world;
  const RCPtr<LMainMenu> bar = world.Bar(u"barHost", u"mainMenu");
  ASSERT_TRUE(bar);
  const RCPtr<LComboMenu> file = bar->GetAddedMenu(0);
  const RCPtr<LComboMenu> help = bar->GetAddedMenu(1);
  Pointer& pointer = world.skin.pointer;

  // A click opens "File"; the pointer onto "Help" switches.
  pointer.MoveTo(file, 5, 5);
  pointer.Press();
  pointer.Release();
  ASSERT_TRUE(file->IsDroppedDown());
  EXPECT_EQ(file->GetCurrentLookIndex(), LComboMenu::kLookOpen);
  EXPECT_TRUE(file->GetPopupMenu()->HasFocus());
  pointer.MoveTo(help, 5, 5);
  EXPECT_FALSE(file->IsDroppedDown());
  EXPECT_EQ(file->GetCurrentLookIndex(), LComboMenu::kLookNormal);
  ASSERT_TRUE(help->IsDroppedDown());
  EXPECT_EQ(help->GetCurrentLookIndex(), LComboMenu::kLookOpen);
  // A press on the open title closes it for good.
  pointer.Press();
  pointer.Release();
  EXPECT_FALSE(help->IsDroppedDown());
  EXPECT_EQ(help->GetCurrentLookIndex(), LComboMenu::kLookHover);

  // Press on "File", drag to "Save Preset", release: chosen, the menu hidden first.
  const RCPtr<LPopupMenu> popup = file->GetPopupMenu();
  std::vector<size_t> commandsWhenHidden;
  const RCPtr<CallbackListener> hidden(new CallbackListener([&](const std::string& name) {
    world.skin.log.push_back("popup:" + name);
    if (name == "NID_VISIBLITY_CONDITION_CHANGE" && !popup->IsShown(false)) {
      commandsWhenHidden.push_back(world.skin.window->commands.size());
    }
  }));
  hidden->RegisterNotification(popup, u"NID_ITEM_ACTIVATED");
  hidden->RegisterNotification(popup, u"NID_VISIBLITY_CONDITION_CHANGE");
  pointer.MoveTo(file, 5, 5);
  pointer.Press();
  ASSERT_TRUE(file->IsDroppedDown());
  pointer.MoveTo(RowOf(popup, 2), 10, 5); // the separator: nothing lights
  pointer.MoveTo(RowOf(popup, 4), 10, 5);
  EXPECT_EQ(popup->GetFocusIndex(), 4);
  pointer.Release();
  ASSERT_EQ(world.skin.window->commands.size(), 1u);
  EXPECT_EQ(WString(world.skin.window->commands[0]->GetID()), WString(u"NID_MENU_FILE_SAVE_PRESET_TO_FILE"));
  const auto param = world.skin.window->commands[0]->GetParameterAs<LMenuActivationParam>();
  ASSERT_TRUE(param);
  EXPECT_EQ(param->GetIndex(), 4);
  EXPECT_EQ(world.skin.log,
            (std::vector<std::string>{"popup:NID_VISIBLITY_CONDITION_CHANGE", "popup:NID_ITEM_ACTIVATED",
                                      "popup:NID_VISIBLITY_CONDITION_CHANGE"}));
  EXPECT_EQ(commandsWhenHidden, (std::vector<size_t>{0})); // hidden before the window heard the item
  EXPECT_FALSE(file->IsDroppedDown());
  EXPECT_FALSE(popup->IsClosing()); // the title's pop-up stays its child, hidden
  EXPECT_EQ(popup->GetParent(), file);
}

TEST(MainMenuTest, NearTheWindowsRightEdgeAMenuOpensShiftedLeft) {
  BarWorld world;
  const RCPtr<LMainMenu> bar = world.Bar(u"barHost", u"mainMenu");
  ASSERT_TRUE(bar);
  ASSERT_EQ(bar->AddMenu(2, u"Far", u"Far", PlainMenu({"A wider item"})), 2);
  const RCPtr<LComboMenu> far = bar->GetAddedMenu(2);
  const RCPtr<LPopupMenu> popup = far->GetPopupMenu();
  world.skin.top->GetLayoutDescriptor()->size[0].abs = RightEdge(far) + 40.0; // the window ends soon after
  world.skin.top->PerformLayout();
  ASSERT_EQ(far->ShowDropDown(true), QZ_OK);
  const double rootWidth = world.skin.top->GetRect().width;
  EXPECT_EQ(popup->GetWindowPosition().x + popup->GetRect().width, rootWidth);
  ASSERT_EQ(far->ShowDropDown(false), QZ_OK);
  world.skin.top->GetLayoutDescriptor()->size[0].abs = 100.0; // narrower than the menu
  world.skin.top->PerformLayout();
  ASSERT_EQ(far->ShowDropDown(true), QZ_OK);
  EXPECT_EQ(popup->GetWindowPosition().x, 0.0);
}

TEST(MainMenuTest, EditCommandsFromTheBarAndFromTheContextMenuActOnTheTextBox) {
  BarWorld world;
  const RCPtr<LMainMenu> bar = world.Bar(u"barHost", u"mainMenu");
  ASSERT_TRUE(bar);
  const RCPtr<LTextBox> box = DynamicCast<LTextBox>(world.skin.top->FindChildByName(u"box"));
  ASSERT_TRUE(box);
  RCPtr<LMenuDescriptor> edit = LMenuDescriptor::Create();
  edit->InsertNewItem(0, u"Copy", u"NID_EDIT_COPY_REQ", true, false);
  ASSERT_EQ(bar->AddMenu(2, u"Edit", u"Edit", edit), 2);
  box->SetText(u"hello");
  box->SetFocus(true);
  ASSERT_TRUE(box->HasFocus());
  box->OnKey(KeyPress(0x41, kModifierCtrl)); // Ctrl+A
  ASSERT_EQ(box->GetSelectionLength(), 5);

  // From the bar: the box had the focus before, it is the bar's keyboard target, and it has
  // the focus back when the item is chosen.
  const RCPtr<LComboMenu> title = bar->GetAddedMenu(2);
  world.skin.pointer.MoveTo(title, 5, 5);
  world.skin.pointer.Press();
  world.skin.pointer.Release();
  ASSERT_TRUE(title->IsDroppedDown());
  EXPECT_EQ(bar->GetFocusBefore(), box);
  EXPECT_EQ(bar->GetKeyboardTarget(), box);
  world.skin.pointer.ClickAt(RowOf(title->GetPopupMenu(), 0), 10, 5);
  EXPECT_TRUE(box->HasFocus());
  world.Drain();
  EXPECT_EQ(world.system->text, "hello");

  // From the box's context menu, which asks the box which edits it can do.
  world.system->text = "";
  box->SetText(u"world");
  box->OnKey(KeyPress(0x41, kModifierCtrl));
  world.skin.pointer.MoveTo(box, 10, 5);
  box->OnRightClick(LMouseButtonParam::Create(kMouseButtonRight, {10, 5}, 0, false, kMouseButtonRight, 1));
  const RCPtr<LPopupMenu> context = DynamicCast<LPopupMenu>(box->FindChildByName(u"contextMenu"));
  ASSERT_TRUE(context);
  EXPECT_EQ(ItemTexts(*context), (std::vector<std::string>{"Cut", "Copy", "Paste", "Delete"}));
  EXPECT_TRUE(context->GetMenuItem(1)->IsEnabled());
  world.skin.pointer.ClickAt(RowOf(context, 1), 10, 5);
  EXPECT_FALSE(context->IsShown(false));
  EXPECT_TRUE(box->HasFocus());
  world.Drain();
  EXPECT_EQ(world.system->text, "world");
}

TEST(MainMenuTest, ABarsMenuMakesItsRowsWhenFirstOpenedSizedAndFilledAsAMenuWithRowsFromTheStart) {
  RCPtr<LMenuDescriptor> menu = PlainMenu({"Load", "-", "Save as a preset file", "-", "Exit"});
  menu->GetItem(2)->SetHotKeyText(u"Ctrl+Shift+S");
  menu->GetItem(2)->SetStatusText(u"Writes the preset.");
  // The same menu in a pop-up that makes its rows at once.
  RectT<double> eager;
  std::vector<RectT<double>> eagerRows;
  {
    MenuSkin skin;
    const RCPtr<LPopupMenu> popup = skin.Popup(u"menuHost");
    ASSERT_TRUE(popup);
    ASSERT_EQ(popup->SetMenuDescriptor(menu), QZ_OK);
    ASSERT_GT(popup->GetRowCount(), 0);
    eager = popup->GetRect();
    for (int32_t i = 0; i < 5; ++i) {
      ASSERT_TRUE(RowOf(popup, i)) << i;
      eagerRows.push_back(RowOf(popup, i)->GetRect());
    }
  }

  BarWorld world;
  const RCPtr<LMainMenu> bar = world.Bar(u"barHost", u"mainMenu");
  ASSERT_TRUE(bar);
  const RCPtr<MenuOwner> provider = DynamicCast<MenuOwner>(world.skin.top->FindChildByName(u"owner"));
  ASSERT_TRUE(provider);
  provider->disabled = {u"NID_TEST_Exit"};
  bar->SetMenuItemStateProvider(provider->GetMenuItemUpdater());
  ASSERT_EQ(bar->AddMenu(2, u"Tools", u"Tools", menu), 2);
  // A skin switch before the first opening leaves the rows waiting too.
  ASSERT_GE(bar->ApplyDescriptor(bar->GetControlDescriptor()), 0);
  const RCPtr<LComboMenu> title = bar->GetAddedMenu(2);
  const RCPtr<LPopupMenu> popup = title->GetPopupMenu();
  ASSERT_TRUE(popup);
  for (int32_t i = 0; i < bar->GetAddedMenuCount(); ++i) {
    EXPECT_EQ(bar->GetAddedMenu(i)->GetPopupMenu()->GetRowCount(), 0) << i;
  }
  EXPECT_EQ(popup->GetRect().width, eager.width);
  EXPECT_EQ(popup->GetRect().height, eager.height);

  world.skin.pointer.PressOn(title, 5, 5);
  world.skin.pointer.Release();
  ASSERT_TRUE(title->IsDroppedDown());
  EXPECT_EQ(popup->GetRect().width, eager.width);
  EXPECT_EQ(popup->GetRect().height, eager.height);
  for (int32_t i = 0; i < 5; ++i) {
    const RCPtr<LMenuListBoxItem> row = RowOf(popup, i);
    ASSERT_TRUE(row && row->IsShown(true)) << i;
    EXPECT_EQ(row->GetRect().y, eagerRows[size_t(i)].y) << i;
    EXPECT_EQ(row->GetRect().height, eagerRows[size_t(i)].height) << i;
    EXPECT_EQ(row->IsSeparator(), i == 1 || i == 3) << i;
  }
  EXPECT_EQ(Utf8(RowOf(popup, 2)->FindChildByName(u"hotKeyLabel")->GetText()), "Ctrl+Shift+S");
  EXPECT_TRUE(RowOf(popup, 0)->IsEnabled(false));
  EXPECT_FALSE(RowOf(popup, 4)->IsEnabled(false)); // the provider's answer reached the new row
  // The rows made late are heard like the others.
  world.skin.pointer.MoveTo(RowOf(popup, 2), 10, 5);
  ASSERT_FALSE(world.skin.application.statusTexts.empty());
  EXPECT_EQ(Utf8(world.skin.application.statusTexts.back()), "Writes the preset.");
}
