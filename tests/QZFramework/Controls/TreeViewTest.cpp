#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "ListBoxTestSupport.h"
#include "QZFramework/Controls/ListParams.h"
#include "QZFramework/Controls/TreeView.h"
#include "Support/TestSeed.h"

namespace QZ {
namespace {

using QZTest::TimedRecorder;

void RegisterTree(LControlFactory& factory) {
  factory.RegisterControlCreateFunction(u"Framework.TreeView", &CreateControlOf<LTreeView>);
  factory.RegisterControlCreateFunction(u"Framework.TreeViewItem", &CreateControlOf<LTreeViewItem>);
}

RCPtr<LButton> BoxOfRow(const RCPtr<LTreeView>& tree, int32_t row) {
  const RCPtr<LCheckedListBoxItem> found = DynamicCast<LCheckedListBoxItem>(tree->GetRowControl(row));
  return found ? found->GetCheckBoxPart() : nullptr;
}

std::vector<int32_t> Parents(LTreeView& tree) {
  std::vector<int32_t> parents;
  for (int32_t i = 0; i < tree.GetItemCount(); ++i) {
    parents.push_back(tree.GetParent(i));
  }
  return parents;
}

// Whether every parent lies before its child and everything between them is in the
// parent's subtree: the flat vector is in pre-order.
::testing::AssertionResult InPreOrder(LTreeView& tree) {
  for (int32_t item = 0; item < tree.GetItemCount(); ++item) {
    const int32_t parent = tree.GetParent(item);
    if (parent >= item) {
      return ::testing::AssertionFailure() << "item " << item << " has parent " << parent;
    }
    for (int32_t between = parent + 1; parent >= 0 && between < item; ++between) {
      if (!tree.IsAncestor(parent, between)) {
        return ::testing::AssertionFailure() << "item " << between << " splits the children of " << parent;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

class TreeViewTest : public ::testing::Test {
protected:
  QZTest::ListSkin skin{"Tree.xml", {}, RegisterTree};
  RCPtr<LTreeView> tree;

  void SetUp() override {
    tree = skin.Create<LTreeView>(u"treeHost");
    ASSERT_TRUE(tree);
  }
  // A (B (C), D), E (F): pre-order indexes 0..5.
  void BuildSmallTree() {
    for (const char* name : {"A", "B", "C", "D", "E", "F"}) {
      tree->InsertItem(tree->GetItemCount(), MakeTaggableString(WString(name)));
    }
    EXPECT_EQ(tree->SetItemParent(1, 0), 1);
    EXPECT_EQ(tree->SetItemParent(2, 1), 2);
    EXPECT_EQ(tree->SetItemParent(3, 0), 3);
    EXPECT_EQ(tree->SetItemParent(5, 4), 5);
    ASSERT_EQ(Parents(*tree), (std::vector<int32_t>{-1, 0, 1, 0, -1, 4}));
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> shown;
    for (const std::string& text : QZTest::RowTexts(*tree)) {
      if (!text.empty()) {
        shown.push_back(text);
      }
    }
    return shown;
  }
};

TEST_F(TreeViewTest, ItemsAttachedByParentKeepPreOrderDepthsAndIndentedRows) {
  BuildSmallTree();
  EXPECT_EQ(QZTest::ItemTexts(*tree), (std::vector<std::string>{"A", "B", "C", "D", "E", "F"}));
  EXPECT_EQ(tree->GetDepth(2), 2u);
  EXPECT_EQ(tree->GetDescendantCount(0), 3u);
  EXPECT_EQ(tree->GetDescendantCount(2), 0u);
  EXPECT_TRUE(tree->IsAncestor(0, 2));
  EXPECT_FALSE(tree->IsAncestor(2, 2));
  EXPECT_FALSE(tree->IsAncestor(0, 4));
  // Out of range.
  EXPECT_EQ(tree->GetParent(6), -1);
  EXPECT_EQ(tree->GetDepth(-1), 0u);
  EXPECT_EQ(tree->GetDescendantCount(99), 0u);
  EXPECT_FALSE(tree->IsAncestor(-1, 2));
  EXPECT_EQ(tree->RemoveItemRecord(6), QZ_E_INVALIDARG);
  EXPECT_EQ(tree->SortItems(0, 6), QZ_E_NOTIMPL);
  EXPECT_FALSE(tree->SortAllItems());
  // Attaching expanded every parent: all items show, each row indented by the 12-pixel box.
  EXPECT_EQ(Shown(), (std::vector<std::string>{"A", "B", "C", "D", "E", "F"}));
  EXPECT_EQ(tree->GetCheckedCount(), 3);
  for (int32_t row = 0; row < 6; ++row) {
    EXPECT_EQ(tree->GetRowControl(row)->GetRect().x, 12.0 * tree->GetDepth(row)) << row;
  }
  // A leaf's box is disabled, a parent's not.
  EXPECT_TRUE(BoxOfRow(tree, 0)->IsEnabled(false));
  EXPECT_TRUE(BoxOfRow(tree, 1)->IsEnabled(false));
  EXPECT_FALSE(BoxOfRow(tree, 2)->IsEnabled(false));
  EXPECT_FALSE(BoxOfRow(tree, 5)->IsEnabled(false));
}

TEST_F(TreeViewTest, CollapsingHidesTheSubtreeAndExpandingShowsOnlyChildrenOfExpandedAncestors) {
  BuildSmallTree();
  const auto recorder = TimedRecorder::Listen(tree, {u"NID_ITEM_CHECK_CHANGE", u"NID_SELECTION_CHANGE"});
  skin.pointer.ClickAt(BoxOfRow(tree, 1), 3, 3); // B collapses: C goes
  EXPECT_EQ(Shown(), (std::vector<std::string>{"A", "B", "D", "E", "F"}));
  EXPECT_FALSE(tree->IsItemChecked(1));
  EXPECT_EQ(QZTest::Selected(*tree), (std::vector<uint32_t>{1}));
  ASSERT_EQ(recorder->Count("NID_ITEM_CHECK_CHANGE"), 1u);
  const auto param = DynamicCast<LIndexedDataWithValueParam>(recorder->heard.back().parameter);
  ASSERT_TRUE(param);
  EXPECT_EQ(param->GetIndex(), 1);
  EXPECT_EQ(param->GetValue(), 0.0);

  skin.pointer.ClickAt(BoxOfRow(tree, 0), 3, 3); // A collapses: its whole subtree goes
  EXPECT_EQ(Shown(), (std::vector<std::string>{"A", "E", "F"}));
  EXPECT_TRUE(tree->IsItemHidden(2));
  skin.pointer.ClickAt(BoxOfRow(tree, 0), 3, 3); // A expands: B and D, not C under collapsed B
  EXPECT_EQ(Shown(), (std::vector<std::string>{"A", "B", "D", "E", "F"}));
  EXPECT_TRUE(tree->IsItemHidden(2));
  EXPECT_EQ(tree->GetCheckedCount(), 2);
  // The rows bind the shown items, indented by depth.
  EXPECT_EQ(tree->GetRowControl(2)->GetText(), WString(u"D"));
  EXPECT_EQ(tree->GetRowControl(2)->GetRect().x, 12.0);
}

TEST_F(TreeViewTest, RemovingAnItemRemovesItsSubtreeAndLaterParentsFollow) {
  BuildSmallTree();
  tree->InsertItem(6, MakeTaggableString(u"G"));
  EXPECT_EQ(tree->SetItemParent(6, 5), 6); // G under F
  EXPECT_EQ(tree->RemoveItem(1), 5);       // B with C
  EXPECT_EQ(QZTest::ItemTexts(*tree), (std::vector<std::string>{"A", "D", "E", "F", "G"}));
  EXPECT_EQ(Parents(*tree), (std::vector<int32_t>{-1, 0, -1, 2, 3}));
  EXPECT_EQ(tree->GetCheckedCount(), 3); // A, E and F stay expanded; B went
  EXPECT_EQ(tree->RemoveItem(5), QZ_E_INVALIDARG);
  // Inserted inside a subtree, an item joins it before the item it displaces.
  tree->InsertItem(4, MakeTaggableString(u"H"));
  EXPECT_EQ(Parents(*tree), (std::vector<int32_t>{-1, 0, -1, 2, 3, 3}));
  EXPECT_TRUE(InPreOrder(*tree));
}

TEST_F(TreeViewTest, ScrollingBindsRowsWithoutNotifying) {
  for (int32_t i = 0; i < 40; ++i) {
    tree->InsertItem(tree->GetItemCount(), MakeTaggableString(WString(std::to_string(i).c_str())));
    if (i % 3 != 0) {
      tree->SetItemParent(i, i - 1 - (i - 1) % 3); // two children under every third item
    }
  }
  const auto recorder = TimedRecorder::Listen(tree, {u"NID_ITEM_CHECK_CHANGE", u"NID_ITEM_CHECKBOX_CLICKED"});
  for (int32_t step = 1; step <= 30; ++step) {
    ASSERT_EQ(tree->SetScrollOffset({0, 16.0 * step}), QZ_OK);
  }
  EXPECT_TRUE(recorder->heard.empty());
  ASSERT_TRUE(BoxOfRow(tree, 0));
  EXPECT_EQ(BoxOfRow(tree, 0)->GetValue(), tree->IsItemChecked(tree->GetItemOfRow(tree->GetRowControl(0).Get())));
}

TEST_F(TreeViewTest, MovesThatWouldBreakTheTreeChangeNothing) {
  BuildSmallTree();
  struct Case {
    const char* what;
    int32_t item;
    int32_t parent;
  };
  for (const Case& c :
       {Case{"the first item", 0, 4}, Case{"under its own descendant", 1, 2}, Case{"under its child", 0, 1},
        Case{"under itself", 3, 3}, Case{"a parent at the count", 3, 6}, Case{"a parent past the count", 3, 60},
        Case{"its own parent", 2, 1}, Case{"an item past the count", 6, 0}, Case{"a negative item", -2, 0}}) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(tree->SetItemParent(c.item, c.parent), c.item);
    EXPECT_EQ(Parents(*tree), (std::vector<int32_t>{-1, 0, 1, 0, -1, 4}));
    EXPECT_EQ(QZTest::ItemTexts(*tree), (std::vector<std::string>{"A", "B", "C", "D", "E", "F"}));
  }
  // A subtree moves whole: B (with C) under E, then back to the top.
  EXPECT_EQ(tree->SetItemParent(1, 4), 4);
  EXPECT_EQ(QZTest::ItemTexts(*tree), (std::vector<std::string>{"A", "D", "E", "F", "B", "C"}));
  EXPECT_EQ(Parents(*tree), (std::vector<int32_t>{-1, 0, -1, 2, 2, 4}));
  EXPECT_EQ(tree->SetItemParent(4, -7), 4);
  EXPECT_EQ(QZTest::ItemTexts(*tree), (std::vector<std::string>{"A", "D", "E", "F", "B", "C"}));
  EXPECT_EQ(Parents(*tree), (std::vector<int32_t>{-1, 0, -1, 2, -1, 4}));
  EXPECT_TRUE(InPreOrder(*tree));
}

TEST_F(TreeViewTest, RandomMovesKeepPreOrderAndEveryParentRight) {
  QZTest::TestSeed seed;
  std::mt19937_64 random(seed.value);
  constexpr int32_t kItems = 24;
  std::map<std::string, std::string> parentOf; // by item text; "" for the top
  for (int32_t i = 0; i < kItems; ++i) {
    const std::string name = "n" + std::to_string(i);
    tree->InsertItem(tree->GetItemCount(), MakeTaggableString(WString(name.c_str())));
    parentOf[name] = "";
  }
  std::uniform_int_distribution<int32_t> pick(-2, kItems + 1);
  for (int32_t round = 0; round < 200; ++round) {
    const int32_t item = pick(random);
    const int32_t parent = pick(random);
    const bool refused = item <= 0 || item >= kItems || parent >= kItems || item == parent ||
                         tree->GetParent(item) == (parent < 0 ? -1 : parent) || tree->IsAncestor(item, parent);
    const std::string name = refused ? "" : QZTest::Utf8(tree->GetItemText(item));
    const std::string parentName = refused || parent < 0 ? "" : QZTest::Utf8(tree->GetItemText(parent));
    const int32_t moved = tree->SetItemParent(item, parent);
    if (refused) {
      ASSERT_EQ(moved, item) << "round " << round;
    } else {
      ASSERT_EQ(QZTest::Utf8(tree->GetItemText(moved)), name) << "round " << round;
      parentOf[name] = parentName;
    }
    ASSERT_TRUE(InPreOrder(*tree)) << "round " << round;
    for (int32_t i = 0; i < kItems; ++i) {
      const int32_t p = tree->GetParent(i);
      ASSERT_EQ(p < 0 ? std::string() : QZTest::Utf8(tree->GetItemText(p)),
                parentOf[QZTest::Utf8(tree->GetItemText(i))])
          << "round " << round << ", item " << i;
      ASSERT_LT(tree->GetDepth(i), uint32_t(kItems));
    }
  }
}

} // namespace
} // namespace QZ
