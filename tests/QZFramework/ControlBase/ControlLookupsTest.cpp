#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "Support/FakeControlApplication.h"
#include "Support/FakeRootWindow.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

using QZTest::TestControl;

TEST(ControlLookupsTest, CollectPrefixedKeepsTheKeysThatBeginWithThePrefixInKeyOrder) {
  const RCPtr<LStringTable> table = LStringTable::Create({
      {u"CONTEXT_MENU0.01.NID_B", u"B"},
      {u"LABEL", u"label"},
      {u"CONTEXT_MENU1.00.-", u"-"},
      {u"CONTEXT_MENU0.00.NID_A", u"A|status"},
      {u"CONTEXT", u"short"},
      {u"XCONTEXT_MENU0.00.NID_C", u"C"},
      {u"CONTEXT_MENU", u"exact"},
  });
  std::vector<LMenuDescriptor::Entry> entries{{u"stale", u"stale"}};
  EXPECT_EQ(LControl::CollectPrefixed(table.Get(), u"CONTEXT_MENU", entries), 4u);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].first, u"CONTEXT_MENU");
  EXPECT_EQ(entries[1].first, u"CONTEXT_MENU0.00.NID_A");
  EXPECT_EQ(entries[1].second, u"A|status");
  EXPECT_EQ(entries[2].first, u"CONTEXT_MENU0.01.NID_B");
  EXPECT_EQ(entries[3].first, u"CONTEXT_MENU1.00.-");
  EXPECT_EQ(LControl::CollectPrefixed(nullptr, u"CONTEXT_MENU", entries), 0u);
  EXPECT_TRUE(entries.empty());
}

// A control whose string table the test gives.
class TableControl : public LControl {
public:
  explicit TableControl(const RCPtr<LStringTable>& table) : LControl(nullptr, u"table"), mTable(table) {}
  RCPtr<LStringTable> GetStringTable() override { return mTable; }

private:
  RCPtr<LStringTable> mTable;
};

TEST(ControlLookupsTest, ContextMenusComeOnePerMenuNumberInAscendingOrder) {
  const RCPtr<TableControl> control(new TableControl(LStringTable::Create({
      {u"CONTEXT_MENU10.00.NID_TEN", u"Ten"},
      {u"CONTEXT_MENU2.00.NID_TWO", u"Two"},
      {u"CONTEXT_MENU2.01.-", u"-"},
      {u"CONTEXT_MENU2.02.NID_TWO_B", u"Two B|status"},
      {u"CONTEXT_MENU.00.NID_OWN", u"Own"},
      {u"CONTEXT_MENUX.00.NID_BAD", u"not a menu number"},
      {u"CONTEXT_MENU99999999999.00.NID_FAR", u"beyond any menu number"},
      {u"MENU_LABEL.00", u"File"},
  })));
  std::vector<RCPtr<LMenuDescriptor>> menus{LMenuDescriptor::Create()};
  ASSERT_EQ(control->GetContextMenuDescriptors(menus), QZResult(3));
  ASSERT_EQ(menus.size(), 3u);
  EXPECT_EQ(menus[0]->GetItem(0)->GetNotificationName(), u"NID_OWN"); // the control's single menu first
  ASSERT_EQ(menus[1]->GetItemCount(), 3u);                            // 2 before 10
  EXPECT_TRUE(menus[1]->GetItem(1)->IsSeparator());
  EXPECT_EQ(menus[1]->GetItem(2)->GetStatusText(), u"status");
  EXPECT_EQ(menus[2]->GetItem(0)->GetLabel(), u"Ten");

  const RCPtr<TableControl> bare(new TableControl(nullptr));
  EXPECT_EQ(bare->GetContextMenuDescriptors(menus), QZResult(0));
  EXPECT_TRUE(menus.empty());
}

TEST(ControlLookupsTest, HotKeysAreLookedUpInTheControlsOwnMap) {
  const RCPtr<TestControl> control = TestControl::Make(nullptr, u"c");
  EXPECT_EQ(control->GetHotKey(u"NID_X").code, 0x80000000u);
  EXPECT_FALSE(control->HasLocalHotKey(u"NID_X"));
  ASSERT_EQ(control->HotKeys().AddBinding(KeyCode::FromString(u"VKEY_F2"), u"NID_X"), QZ_OK);
  ASSERT_EQ(control->HotKeys().AddBinding(KeyCode::FromString(u"Ctrl+VKEY_X"), u"NID_X"), QZ_OK);
  EXPECT_EQ(control->GetHotKey(u"NID_X"), KeyCode::FromString(u"VKEY_F2"));
  EXPECT_TRUE(control->HasLocalHotKey(u"NID_X"));
}

TEST(ControlLookupsTest, PlacesAndDepthsFollowTheAncestors) {
  const RCPtr<TestControl> root = TestControl::Make(nullptr, u"root");
  root->Place(10, 20, 100, 100);
  const RCPtr<TestControl> panel = TestControl::Make(root, u"panel");
  panel->Place(30, 40, 50, 50);
  const RCPtr<TestControl> child = TestControl::Make(panel, u"child");
  child->Place(7, 8, 5, 5);

  EXPECT_EQ(root->GetOriginInParent(), (PointT<double>{10, 20}));
  panel->ScrollOffsetField() = {5, -1};
  EXPECT_EQ(child->GetOriginInParent(), (PointT<double>{2, 9}));
  panel->ScrollOffsetField() = {10.4, -2.5};
  EXPECT_EQ(panel->GetVisibleContentRect(), (RectT<int32_t>{10, -3, 50, 50}));
  EXPECT_EQ(child->GetRootControl(), root);
  EXPECT_EQ(root->GetRootControl(), root);

  EXPECT_EQ(child->GetTopZOrder(), LControl::kNoHitDepth);
  root->Layout().zOrder = 9; // clipped: does not count
  panel->Layout().clipToParent = false;
  panel->Layout().zOrder = 3;
  child->Layout().clipToParent = false;
  child->Layout().zOrder = -4;
  EXPECT_EQ(child->GetTopZOrder(), 3);
  EXPECT_EQ(child->IndexOfChild(root.Get(), LControl::ChildControlList::kInsertionOrder), -1);
  EXPECT_EQ(panel->IndexOfChild(child.Get(), LControl::ChildControlList::kTabOrder), 0);
}

TEST(ControlLookupsTest, TheMenuItemUpdaterIsMadeOnceAndForgetsItsControlWhenItGoes) {
  RCPtr<TestControl> control = TestControl::Make(nullptr, u"c");
  const RCPtr<LMenuItemUpdater> updater = control->GetMenuItemUpdater();
  EXPECT_EQ(control->GetMenuItemUpdater(), updater);
  EXPECT_EQ(updater->GetControl(), control);
  LMenuItemState state;
  state.enabled = true;
  EXPECT_EQ(updater->IsMenuItemEnabled(nullptr, 0, u"NID_X", state), QZ_FALSE);
  EXPECT_TRUE(state.enabled);
  control = nullptr;
  EXPECT_FALSE(updater->GetControl());
  EXPECT_EQ(updater->IsMenuItemEnabled(nullptr, 0, u"NID_X", state), QZ_FALSE);
}

TEST(ControlLookupsTest, ARootControlThatKeepsItsSizeGivesItBackToTheWindow) {
  QZTest::FakeControlApplication application;
  const RCPtr<QZTest::FakeRootWindow> window(new QZTest::FakeRootWindow);
  const RCPtr<TestControl> root = TestControl::Make(nullptr, u"root");
  root->Place(0, 0, 16, 40); // where its default placement puts it
  ASSERT_EQ(window->InstallRootControl(root), QZ_OK);
  window->frameRect = {100, 100, 820, 630};
  window->clientRect = {110, 125, 800, 600};

  EXPECT_EQ(root->OnRootResized({800, 600}), QZ_OK);
  EXPECT_EQ(window->frameRectRequests, (std::vector<RectT<int32_t>>{{100, 100, 36, 70}}));
  // A size it already has asks nothing.
  EXPECT_EQ(root->OnRootResized({16, 40}), QZ_OK);
  EXPECT_EQ(window->frameRectRequests.size(), 1u);
  window->InstallRootControl(nullptr);
}

TEST(ControlLookupsTest, TheApplicationSeamIsInstalledByItsOwnerOnly) {
  EXPECT_EQ(GetControlApplication(), nullptr);
  {
    QZTest::FakeControlApplication first;
    EXPECT_EQ(GetControlApplication(), &first);
    {
      QZTest::FakeControlApplication second;
      EXPECT_EQ(GetControlApplication(), &second);
      UninstallControlApplication(&first); // not installed: nothing happens
      EXPECT_EQ(GetControlApplication(), &second);
    }
    EXPECT_EQ(GetControlApplication(), nullptr);
  }
  EXPECT_EQ(GetControlApplication(), nullptr);
}

} // namespace
} // namespace QZ
