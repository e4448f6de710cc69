#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "ListBoxTestSupport.h"
#include "QZFramework/Controls/ListParams.h"
#include "QZFramework/Utilities/Storage/Holder.h"

namespace {

using QZ::LListBox;
using QZ::LListBoxItem;
using QZ::RCPtr;
using QZTest::ListSkin;
using QZTest::TimedRecorder;

constexpr uint8_t kReturn = 0x0D;
constexpr uint8_t kPageDown = 0x22;
constexpr uint8_t kHome = 0x24;
constexpr uint8_t kUp = 0x26;
constexpr uint8_t kDown = 0x28;
constexpr QZ::QZResult kInvalid = QZ::QZ_E_INVALIDARG;

RCPtr<TimedRecorder> Listen(const RCPtr<LListBox>& list) {
  return TimedRecorder::Listen(list, {u"NID_SELECTION_CHANGE", u"NID_ITEM_ACTIVATED", u"NID_ITEM_DOUBLE_CLICKED",
                                      u"NID_ITEM_RIGHT_CLICK", u"NID_ITEM_HOVER_CONDITION_CHANGE",
                                      u"NID_ITEM_LEFT_DRAG_CONDITION_CHANGE"});
}

// The names heard, in order.
std::vector<std::string> Names(const TimedRecorder& recorder) {
  std::vector<std::string> names;
  for (const TimedRecorder::Heard& heard : recorder.heard) {
    names.push_back(heard.name);
  }
  return names;
}

// Presses and releases a button on row at (5, 5) with modifiers, as the window does: the
// control that holds the capture gets the release.
void Click(ListSkin& skin, const RCPtr<LListBoxItem>& row, uint32_t modifiers = 0, bool doubleClick = false,
           uint32_t button = QZ::kMouseButtonLeft) {
  skin.pointer.MoveTo(row, 5, 5);
  skin.window->mouseButtons = button;
  row->OnMouseDown(QZ::LMouseButtonParam::Create(button, {5, 5}, modifiers, doubleClick, button, 0));
  skin.window->mouseButtons = 0;
  const RCPtr<QZ::LControl> target =
      skin.window->captureControl ? skin.window->captureControl : RCPtr<QZ::LControl>(row);
  const QZ::PointT<int32_t> local = (skin.window->mousePosition.ToDouble() - target->GetWindowPosition()).Round();
  target->OnMouseUp(QZ::LMouseButtonParam::Create(button, local, modifiers, false, 0, 0));
}

QZ::QZResult Key(const RCPtr<LListBox>& list, uint8_t virtualKey, uint32_t modifiers = 0) {
  return list->OnKeyDown(QZTest::KeyPress(virtualKey, modifiers));
}

// =============================================================================================
// Construction
// =============================================================================================

TEST(ListBoxConstructionTest, ATemplateMakesRowsOfItsHeightOnlyForTheView) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->GetRowHeight(), 16);
  EXPECT_FALSE(list->FindChildByName(u"templateItem")); // measured, then detached
  QZTest::Fill(*list, 1000);
  EXPECT_EQ(list->GetItemCount(), 1000);
  // Eight rows fill the view exactly.
  EXPECT_EQ(list->GetRowCount(), 8);
  EXPECT_EQ(list->GetChildren().GetCount(), 9u); // the rows and the bar
  const std::vector<std::string> rows = QZTest::RowTexts(*list);
  EXPECT_EQ(rows.front(), "item 0");
  EXPECT_EQ(rows.back(), "item 7");
  EXPECT_EQ(list->GetRowControl(1)->GetName(), QZ::WString(u"ItemControl2"));
  EXPECT_EQ(list->GetRowControl(7)->GetRect().y, 7 * 16.0);
  EXPECT_EQ(list->GetRowControl(7)->GetRect().height, 16.0);
  EXPECT_EQ(list->GetClientExtent().height, 16000.0);

  // Scrolled, the same rows show other items.
  ASSERT_EQ(list->SetScrollOffset({0, 16 * 500}), QZ::QZ_OK);
  EXPECT_EQ(list->GetFirstShownIndex(), 500u);
  EXPECT_EQ(QZTest::RowTexts(*list).front(), "item 500");
  EXPECT_EQ(list->GetRowCount(), 8);
  EXPECT_EQ(list->GetRowControl(0)->GetWindowPosition().y, 11.0); // the rows stand still
}

TEST(ListBoxConstructionTest, ATemplateOfNoHeightGivesRowsOfFourteen) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"zeroHost");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->GetRowHeight(), 14);
  QZTest::Fill(*list, 20);
  EXPECT_EQ(list->GetRowControl(0)->GetRect().height, 14.0);
  EXPECT_EQ(list->GetRowControl(1)->GetRect().y, 14.0);
  EXPECT_EQ(list->GetRowCount(), 10); // 128 pixels: nine whole rows and a part
}

TEST(ListBoxConstructionTest, FixedRowsUpToTheFirstMissingNumberBecomeRowsAndItems) {
  ListSkin skin("FixedRows.xml");
  const RCPtr<LListBox> three = skin.Create(u"threeHost");
  ASSERT_TRUE(three);
  EXPECT_EQ(three->GetRowCount(), 3);
  EXPECT_EQ(QZTest::ItemTexts(*three), (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(QZTest::RowTexts(*three), (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_EQ(three->GetRowControl(2), three->FindChildByName(u"item3"));

  const RCPtr<LListBox> gap = skin.Create(u"gapHost");
  ASSERT_TRUE(gap);
  EXPECT_EQ(gap->GetRowCount(), 1);
  EXPECT_EQ(QZTest::ItemTexts(*gap), (std::vector<std::string>{"one"}));
  // A fixed list selects like any other.
  Click(skin, gap->GetRowControl(0));
  EXPECT_EQ(QZTest::Selected(*gap), (std::vector<uint32_t>{0}));
}

TEST(ListBoxConstructionTest, TheStringTablesItemsFillTheGapsWithEmptyItems) {
  ListSkin skin("ListBox.xml", "ListBoxStrings.xml");
  const RCPtr<LListBox> items = skin.Create(u"itemsHost", u"items");
  ASSERT_TRUE(items);
  EXPECT_EQ(QZTest::ItemTexts(*items), (std::vector<std::string>{"zero", "", "two"}));
  EXPECT_EQ(QZTest::RowTexts(*items), (std::vector<std::string>{"zero", "", "two", "", "", "", "", ""}));
  EXPECT_TRUE(items->GetRowControl(1)->IsEnabled(true));  // an item, empty
  EXPECT_FALSE(items->GetRowControl(3)->IsEnabled(true)); // no item
  // The widest item: the row's own width (none: it follows the client) and "zero".
  EXPECT_EQ(items->GetContentWidth(), items->GetRowWidth() + 4 * 7);
}

TEST(ListBoxConstructionTest, ItemNumbersPastTheLastATableMayNameAreLeftOutWithATrace) {
  ListSkin skin("ListBox.xml", "ListBoxStrings.xml");
  setenv("QZ_DEBUG_TRACE", "1", 1);
  testing::internal::CaptureStderr();
  const RCPtr<LListBox> huge = skin.Create(u"hugeHost", u"huge");
  const std::string trace = testing::internal::GetCapturedStderr();
  unsetenv("QZ_DEBUG_TRACE");
  ASSERT_TRUE(huge);
  EXPECT_EQ(QZTest::ItemTexts(*huge), (std::vector<std::string>{"first", "second"}));
  EXPECT_NE(trace.find("ITEM.65536 ignored"), std::string::npos) << trace;
  EXPECT_NE(trace.find("ITEM.4294967296 ignored"), std::string::npos) << trace;
}

TEST(ListBoxConstructionTest, AListNeverInitialisedIgnoresNotificationsAndUnregistersCleanly) {
  QZTest::FakeControlApplication application;
  const RCPtr<LListBox> bare(new LListBox(nullptr, u"bare"));
  const RCPtr<LListBoxItem> row(new LListBoxItem(nullptr, u"row"));
  const RCPtr<QZ::LNotification> press =
      QZ::LNotification::Create(u"NID_MOUSE_DOWN", QZ::LMouseButtonParam::Create(1, {1, 1}, 0, false, 1, 0));
  EXPECT_EQ(bare->ReceiveNotification(row, press), QZ::QZ_OK); // nobody handled it
  EXPECT_EQ(bare->UnregisterNotification(row.Get(), u"NID_MOUSE_DOWN"), QZ::QZ_FALSE);
  EXPECT_EQ(bare->GetItemCount(), 0);
  EXPECT_EQ(bare->SelectItems(0, -1, true), kInvalid);
}

// =============================================================================================
// Selection
// =============================================================================================

TEST(ListBoxSelectionTest, ClickingTheOnlySelectedItemAgainSendsNothing) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 5);
  const RCPtr<TimedRecorder> heard = Listen(list);
  Click(skin, list->GetRowControl(1));
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 1u);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{1}));
  Click(skin, list->GetRowControl(1));
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 1u);
  // Another item replaces it.
  Click(skin, list->GetRowControl(3));
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{3}));
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 2u);
  EXPECT_EQ(list->GetSelectedCount(), 1u);
  EXPECT_EQ(skin.window->focusedControl, RCPtr<QZ::LControl>(list)); // rows never hold the focus
}

TEST(ListBoxSelectionTest, ShiftDownExtendsFromTheAnchorAndCtrlClickGivesTheCaretBack) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 6);
  list->SetMultipleSelection(true);
  ASSERT_EQ(list->SelectItems(2, 2, true), 2);
  ASSERT_EQ(list->GetAnchorIndex(), 2);
  ASSERT_EQ(list->GetFocusIndex(), 2);
  EXPECT_EQ(Key(list, kDown, QZ::kModifierShift), QZ::QZ_OK);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{2, 3}));
  EXPECT_EQ(list->GetAnchorIndex(), 2);
  EXPECT_EQ(list->GetFocusIndex(), 3);
  const RCPtr<TimedRecorder> heard = Listen(list);
  Click(skin, list->GetRowControl(3), QZ::kModifierCtrl);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{2}));
  EXPECT_EQ(list->GetFocusIndex(), 2);
  EXPECT_EQ(list->GetAnchorIndex(), 2);
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 1u);
}

TEST(ListBoxSelectionTest, ClicksWithMultipleSelectionFollowTheirModifiers) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 8);
  list->SetMultipleSelection(true);
  Click(skin, list->GetRowControl(1));
  Click(skin, list->GetRowControl(4), QZ::kModifierShift);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{1, 2, 3, 4}));
  EXPECT_EQ(list->GetAnchorIndex(), 1);
  EXPECT_EQ(list->GetFocusIndex(), 4);
  Click(skin, list->GetRowControl(6), QZ::kModifierCtrl);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{1, 2, 3, 4, 6}));
  Click(skin, list->GetRowControl(7), QZ::kModifierCtrl | QZ::kModifierShift);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{1, 2, 3, 4, 6, 7}));
  EXPECT_EQ(list->GetAnchorIndex(), 7);
  // A press on a selected item waits for the release: a plain click then keeps it alone.
  Click(skin, list->GetRowControl(3));
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{3}));
  // Any other mode toggles.
  list->SetSelectionMode(0);
  Click(skin, list->GetRowControl(5));
  Click(skin, list->GetRowControl(3));
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{5}));
}

TEST(ListBoxSelectionTest, SortingKeepsTheSelectionWithItsItemIgnoringCase) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  for (const char16_t* text : {u"b", u"A", u"c", u"\u00E4x", u"\u00C4a"}) {
    list->InsertItem(list->GetItemCount(), QZ::MakeTaggableString(text));
  }
  ASSERT_EQ(list->SelectItems(0, -1, true), 0); // "b"
  EXPECT_TRUE(list->SortAllItems());
  EXPECT_EQ(QZTest::ItemTexts(*list), (std::vector<std::string>{"A", "b", "c",
                                                                "\xC3\x84"
                                                                "a",
                                                                "\xC3\xA4x"}));
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{1}));
  EXPECT_EQ(list->GetFocusIndex(), 1);
  EXPECT_EQ(QZTest::RowTexts(*list)[1], "b");
  EXPECT_TRUE(list->GetRowControl(1)->GetValue() >= 0.5);
  EXPECT_FALSE(list->GetRowControl(0)->GetValue() >= 0.5);
  // Finding and selecting by text use the same case mapping.
  EXPECT_EQ(list->FindItemByText(u"\u00C4X", false), 4);
  EXPECT_EQ(list->FindItemByText(u"\u00C4X", true), -1);
  EXPECT_EQ(list->SelectItemByText(u"C", 2, false), 2); // wraps round from the end
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{2}));
  // A range that does not fit the list.
  EXPECT_EQ(list->SortItems(1, INT32_MAX), kInvalid);
  EXPECT_EQ(list->SortItems(-1, 2), kInvalid);
  EXPECT_EQ(list->SortItems(3, 0), QZ::QZ_FALSE);
}

TEST(ListBoxSelectionTest, RemovalKeepsOrClearsTheAnchorAndTheCaret) {
  struct Case {
    const char* name;
    int32_t anchor;
    int32_t focus;
    int32_t removed;
    int32_t anchorAfter;
    int32_t focusAfter;
  };
  const Case cases[] = {
      {"after both", 1, 3, 4, 1, 3},
      {"before both", 2, 4, 0, 1, 3},
      {"between them", 1, 4, 2, -1, -1},
      {"between them, reversed", 4, 1, 2, -1, -1},
  };
  for (const Case& c : cases) {
    ListSkin skin("ListBox.xml");
    const RCPtr<LListBox> list = skin.Create(u"plainHost");
    QZTest::Fill(*list, 6);
    list->SetMultipleSelection(true);
    ASSERT_EQ(list->SelectItems(c.anchor, c.focus, false), c.anchor);
    // An item between them is deselected first: that moves neither.
    list->DeselectItem(c.removed);
    ASSERT_EQ(list->GetAnchorIndex(), c.anchor) << c.name;
    ASSERT_EQ(list->GetFocusIndex(), c.focus) << c.name;
    EXPECT_EQ(list->RemoveItem(c.removed), 5) << c.name;
    EXPECT_EQ(list->GetAnchorIndex(), c.anchorAfter) << c.name;
    EXPECT_EQ(list->GetFocusIndex(), c.focusAfter) << c.name;
  }
}

TEST(ListBoxSelectionTest, RemovingTheCaretsOrTheAnchorsOwnItemKeepsTheOtherOnItsItem) {
  struct Case {
    const char* name;
    int32_t removed;
    bool selected; // the removed item is still selected
    int32_t anchorAfter;
    int32_t focusAfter;
  };
  // Anchor 1, caret 3, items 1 to 3 selected.
  const Case cases[] = {
      {"the caret's item", 3, true, 1, 2},  // the caret moves to item 2 first
      {"the anchor's item", 1, true, 1, 2}, // the anchor moves to item 2 first
      {"the anchor's item, deselected", 1, false, -1, -1},
  };
  for (const Case& c : cases) {
    ListSkin skin("ListBox.xml");
    const RCPtr<LListBox> list = skin.Create(u"plainHost");
    QZTest::Fill(*list, 6);
    list->SetMultipleSelection(true);
    ASSERT_EQ(list->SelectItems(1, 3, false), 1);
    if (!c.selected) {
      ASSERT_EQ(list->SetItemSelected(c.removed, 0.0), QZ::QZ_OK);
    }
    EXPECT_EQ(list->RemoveItem(c.removed), 5) << c.name;
    EXPECT_EQ(list->GetAnchorIndex(), c.anchorAfter) << c.name;
    EXPECT_EQ(list->GetFocusIndex(), c.focusAfter) << c.name;
    if (c.selected) {
      EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{1, 2})) << c.name;
    }
  }
}

TEST(ListBoxSelectionTest, DeselectingMovesTheCaretToASelectedNeighbour) {
  struct Step {
    int32_t first; // a range selected (not exclusively), or with last -2 an item deselected
    int32_t last;
  };
  struct Case {
    const char* name;
    std::vector<Step> before;
    int32_t deselected;
    int32_t anchorAfter;
    int32_t focusAfter;
  };
  const Case cases[] = {
      {"the caret, the item before it selected", {{1, 3}}, 3, 1, 2},
      {"the caret with the anchor, the next item selected", {{4, 4}, {3, 3}}, 3, 4, 4},
      {"the caret alone, the anchor elsewhere", {{1, 3}, {2, -2}}, 3, 1, 1},
      {"the caret and the anchor alone", {{5, 5}, {3, 3}}, 3, 5, 5},
      {"the anchor, not the caret", {{2, 2}, {3, 5}}, 3, 4, 5},
      {"the anchor without selected neighbours", {{1, 1}, {3, 5}, {4, -2}}, 3, -1, 5},
      {"the last selected", {{2, 2}}, 2, -1, -1},
  };
  for (const Case& c : cases) {
    ListSkin skin("ListBox.xml");
    const RCPtr<LListBox> list = skin.Create(u"plainHost");
    QZTest::Fill(*list, 7);
    list->SetMultipleSelection(true);
    for (const Step& step : c.before) {
      if (step.last == -2) {
        ASSERT_EQ(list->DeselectItem(step.first), QZ::QZ_OK) << c.name;
      } else {
        ASSERT_EQ(list->SelectItems(step.first, step.last, false), step.first) << c.name;
      }
    }
    const RCPtr<TimedRecorder> heard = Listen(list);
    EXPECT_EQ(list->DeselectItem(c.deselected), QZ::QZ_OK) << c.name;
    EXPECT_EQ(list->GetAnchorIndex(), c.anchorAfter) << c.name;
    EXPECT_EQ(list->GetFocusIndex(), c.focusAfter) << c.name;
    EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 1u) << c.name;
    EXPECT_EQ(list->DeselectItem(c.deselected), QZ::QZ_FALSE) << c.name;
  }
}

TEST(ListBoxSelectionTest, ACtrlClickOnTheCaretBetweenTwoSelectedItemsMovesItToTheOneBelow) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 6);
  list->SetMultipleSelection(true);
  Click(skin, list->GetRowControl(1));
  Click(skin, list->GetRowControl(3), QZ::kModifierShift);
  Click(skin, list->GetRowControl(2), QZ::kModifierCtrl | QZ::kModifierShift); // the caret to 2, selecting
  ASSERT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{1, 2, 3}));
  ASSERT_EQ(list->GetFocusIndex(), 2);
  Click(skin, list->GetRowControl(2), QZ::kModifierCtrl);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{1, 3}));
  EXPECT_EQ(list->GetFocusIndex(), 3);
  EXPECT_EQ(list->GetAnchorIndex(), 3) << "the anchor was with the caret";
}

TEST(ListBoxSelectionTest, NegativeAndPastTheEndIndexesAreRefusedAndChangeNothing) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 4);
  ASSERT_EQ(list->SelectItems(1, -1, true), 1);
  const RCPtr<TimedRecorder> heard = Listen(list);
  for (const int32_t index : {-1, -2, INT32_MIN, 4, INT32_MAX}) {
    EXPECT_EQ(list->SelectItems(index, -1, true), kInvalid) << index;
    EXPECT_EQ(list->SelectItems(index, 0, true), kInvalid) << index;
    EXPECT_EQ(list->RemoveItem(index), kInvalid) << index;
    EXPECT_EQ(list->SetItemHidden(index, true), kInvalid) << index;
    EXPECT_EQ(list->EnsureItemVisible(index), kInvalid) << index;
    EXPECT_EQ(list->ActivateItem(index), kInvalid) << index;
    EXPECT_EQ(list->SetItemSelected(index, 1.0), kInvalid) << index;
    EXPECT_EQ(list->DeselectItem(index), QZ::QZ_FALSE) << index;
    EXPECT_EQ(list->InsertItem(index == 4 ? 5 : index, nullptr), kInvalid) << index;
    EXPECT_EQ(list->SetItemMarked(index, true), 0) << index;
    EXPECT_FALSE(list->IsItemSelected(index));
    EXPECT_EQ(list->GetItemValue(index), 0.0);
    EXPECT_EQ(list->GetItemText(index), QZ::WString());
  }
  // A negative last index means the first: only a last past the end is refused.
  EXPECT_EQ(list->SelectItems(0, 4, true), kInvalid);
  EXPECT_EQ(list->SelectItems(0, INT32_MAX, false), kInvalid);
  EXPECT_EQ(list->SetItemCount(-1), kInvalid);
  EXPECT_EQ(list->GetItemCount(), 4);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{1}));
  EXPECT_EQ(list->GetAnchorIndex(), 1);
  EXPECT_EQ(list->GetFocusIndex(), 1);
  EXPECT_TRUE(heard->heard.empty());
}

TEST(ListBoxSelectionTest, AnItemInsertedAtTheAnchorGoesBeforeItAndAShiftClickExtendsFromItsItem) {
  for (const int32_t inserted : {2, 3}) {
    ListSkin skin("ListBox.xml");
    const RCPtr<LListBox> list = skin.Create(u"plainHost");
    QZTest::Fill(*list, 6);
    list->SetMultipleSelection(true);
    Click(skin, list->GetRowControl(2));
    ASSERT_EQ(list->InsertItem(inserted, QZ::MakeTaggableString(u"new")), inserted);
    const int32_t anchor = inserted == 2 ? 3 : 2; // still on "item 2"
    EXPECT_EQ(list->GetAnchorIndex(), anchor) << inserted;
    EXPECT_EQ(list->GetFocusIndex(), anchor) << inserted;
    EXPECT_EQ(list->GetItemText(anchor), QZ::WString(u"item 2")) << inserted;
    Click(skin, list->GetRowControl(5), QZ::kModifierShift);
    std::vector<uint32_t> extended;
    for (int32_t index = anchor; index <= 5; ++index) {
      extended.push_back(uint32_t(index));
    }
    EXPECT_EQ(QZTest::Selected(*list), extended) << inserted;
  }
}

TEST(ListBoxSelectionTest, InsertingAboveTheCaretKeepsItOnItsItem) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 4);
  ASSERT_EQ(list->SelectItems(2, -1, true), 2);
  EXPECT_EQ(list->InsertItem(0, QZ::MakeTaggableString(u"new")), 0);
  EXPECT_EQ(list->GetFocusIndex(), 3);
  EXPECT_EQ(list->GetAnchorIndex(), 3);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{3}));
  EXPECT_EQ(Key(list, kDown), QZ::QZ_OK);
  EXPECT_EQ(list->GetItemText(list->GetFocusIndex()), QZ::WString(u"item 3"));
}

// =============================================================================================
// Keys, activation and menu mode
// =============================================================================================

TEST(ListBoxKeysTest, UpAndDownMoveTheCaretOverShownSelectableItems) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 30);
  const RCPtr<TimedRecorder> heard = Listen(list);
  EXPECT_EQ(Key(list, kUp), QZ::QZ_OK); // no caret: nothing
  EXPECT_TRUE(QZTest::Selected(*list).empty());
  EXPECT_EQ(Key(list, kDown), QZ::QZ_OK); // no caret: the first item
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{0}));
  EXPECT_EQ(Key(list, kUp), QZ::QZ_OK); // the top: nothing more
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{0}));
  ASSERT_EQ(list->SetItemHidden(1, true), QZ::QZ_OK);
  EXPECT_EQ(Key(list, kDown), QZ::QZ_OK);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{2}));
  // The caret stays in view.
  for (int i = 0; i < 10; ++i) {
    Key(list, kDown);
  }
  EXPECT_EQ(list->GetFocusIndex(), 12);
  EXPECT_EQ(list->GetFirstShownIndex(), 5u);      // 12 in the last whole row
  EXPECT_EQ(list->GetScrollOffset().y, 4 * 16.0); // the hidden item is no row
  EXPECT_EQ(QZTest::RowTexts(*list).back(), "item 12");
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 12u);
  EXPECT_EQ(Key(list, kDown, QZ::kModifierCtrl), QZ::QZ_FALSE);
  EXPECT_EQ(list->OnKeyDown(QZ::LKeyParam::Create(QZ::KeyCode(kDown, false, 1, 0), true)), QZ::QZ_FALSE); // release
}

TEST(ListBoxKeysTest, ReturnActivatesTheCaretAndThePageKeysGoToTheBar) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 40);
  const RCPtr<TimedRecorder> heard = Listen(list);
  EXPECT_EQ(Key(list, kReturn), QZ::QZ_FALSE); // no caret
  ASSERT_EQ(list->SelectItems(3, -1, true), 3);
  EXPECT_EQ(Key(list, kReturn), QZ::QZ_OK);
  EXPECT_EQ(Names(*heard), (std::vector<std::string>{"NID_SELECTION_CHANGE", "NID_ITEM_ACTIVATED"}));
  // A page of the bar is the rows in view.
  EXPECT_EQ(Key(list, kPageDown), QZ::QZ_OK);
  EXPECT_EQ(list->GetFirstShownIndex(), 8u);
  EXPECT_EQ(list->GetScrollOffset().y, 8 * 16.0);
  EXPECT_EQ(Key(list, kHome), QZ::QZ_OK);
  EXPECT_EQ(list->GetFirstShownIndex(), 0u);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{3})); // scrolling selects nothing
  // Without a horizontal bar the horizontal keys are not the list's.
  EXPECT_EQ(Key(list, 0x27), QZ::QZ_FALSE);
}

TEST(ListBoxKeysTest, HoveringARowInMenuModeSelectsItQuietlyAndAReleaseActivates) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  list->SetMenuMode(true);
  QZTest::Fill(*list, 5);
  EXPECT_TRUE(list->GetRowControl(0)->IsMenuMode());
  // A menu is as tall as its items.
  EXPECT_EQ(list->GetRect().height, 5 * 16.0 + 2.0);
  const RCPtr<TimedRecorder> heard = Listen(list);
  skin.pointer.MoveTo(list->GetRowControl(2), 5, 5);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{2}));
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 0u);
  EXPECT_EQ(heard->Count("NID_ITEM_HOVER_CONDITION_CHANGE"), 1u);
  // The press is the list box's: the release over a row activates it and the menu goes.
  skin.pointer.Press();
  EXPECT_EQ(skin.window->captureControl, RCPtr<QZ::LControl>(list));
  skin.pointer.MoveTo(list->GetRowControl(3), 20, 8); // drags to item 3
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{3}));
  skin.pointer.Release();
  EXPECT_EQ(heard->Count("NID_ITEM_ACTIVATED"), 1u);
  EXPECT_FALSE(list->IsShown(false));
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 0u);
}

TEST(ListBoxKeysTest, AReleaseOutsideTheRowsOfAMenuSendsNothing) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 3);
  list->SetMenuMode(true);
  skin.pointer.MoveTo(list->GetRowControl(1), 5, 5);
  skin.pointer.Press();
  const RCPtr<TimedRecorder> heard = Listen(list);
  skin.pointer.MoveToWindow(250, 180);          // outside the list, in its parent
  EXPECT_TRUE(QZTest::Selected(*list).empty()); // dragged off the items
  skin.pointer.Release();
  EXPECT_TRUE(heard->heard.empty() || Names(*heard) == (std::vector<std::string>{"NID_ITEM_HOVER_CONDITION_CHANGE"}));
  EXPECT_EQ(heard->Count("NID_ITEM_ACTIVATED"), 0u);
  EXPECT_TRUE(list->IsShown(false)); // a panel is no drop-down owner
}

TEST(ListBoxKeysTest, AMenuUnderADropDownOwnerHidesWhenReleasedOutsideIt) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"ownerHost");
  ASSERT_TRUE(list);
  QZTest::Fill(*list, 3);
  list->SetMenuMode(true);
  skin.pointer.MoveTo(list->GetRowControl(0), 5, 5);
  skin.pointer.Press();
  skin.pointer.MoveToWindow(250, 150); // inside the owner, outside the rows
  skin.pointer.Release();
  EXPECT_TRUE(list->IsShown(false));
  skin.pointer.MoveTo(list->GetRowControl(0), 5, 5);
  skin.pointer.Press();
  skin.pointer.MoveToWindow(400, 300); // outside the owner
  skin.pointer.Release();
  EXPECT_FALSE(list->IsShown(false));
}

// =============================================================================================
// Rows
// =============================================================================================

TEST(ListBoxRowTest, ARowShowsTheLookOfItsItemAndItsConditions) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 3);
  const RCPtr<LListBoxItem> first = list->GetRowControl(0);
  const RCPtr<LListBoxItem> second = list->GetRowControl(1);
  EXPECT_EQ(first->GetCurrentLookIndex(), 0);
  EXPECT_EQ(list->GetRowControl(4)->GetCurrentLookIndex(), 6); // no item: disabled

  ASSERT_EQ(list->SelectItems(0, -1, true), 0);
  skin.pointer.MoveTo(first, 5, 5);
  EXPECT_EQ(first->GetCurrentLookIndex(), 8); // selected, under the pointer
  skin.pointer.Press();
  EXPECT_EQ(first->GetCurrentLookIndex(), 7); // held, not dragged yet
  skin.pointer.MoveTo(first, 9, 6);
  EXPECT_EQ(first->GetCurrentLookIndex(), 9); // pressed with a drag
  skin.pointer.MoveTo(second, 9, 6);
  EXPECT_EQ(first->GetCurrentLookIndex(), 8); // dragged off it
  skin.pointer.Release();

  EXPECT_EQ(list->SetItemMarked(0, true), 1);
  skin.pointer.MoveToWindow(290, 190);
  EXPECT_EQ(first->GetCurrentLookIndex(), 10); // marked and selected, at rest
  EXPECT_EQ(second->GetCurrentLookIndex(), 0);
  list->SetEnabled(false);
  EXPECT_EQ(first->GetCurrentLookIndex(), 13); // disabled and selected
  EXPECT_EQ(second->GetCurrentLookIndex(), 6);
  skin.pointer.MoveTo(second, 5, 5);
  EXPECT_EQ(second->GetCurrentLookIndex(), 6); // whatever the pointer does
  EXPECT_EQ(list->GetCurrentLookIndex(), LListBox::kLookDisabled);
  list->SetEnabled(true);
  EXPECT_EQ(list->GetCurrentLookIndex(), LListBox::kLookFocused);

  // A separator shows 13 and no text; clearing the flag does not bring the text back.
  second->SetSeparator(true);
  EXPECT_EQ(second->GetCurrentLookIndex(), 13);
  EXPECT_EQ(second->GetText(), QZ::WString());
  second->SetSeparator(false);
  EXPECT_EQ(second->GetText(), QZ::WString());
  EXPECT_EQ(list->SetItemSeparator(1, true), 1);
  EXPECT_EQ(list->SetItemSeparator(1, false), 1);
  EXPECT_EQ(second->GetText(), QZ::WString(u"item 1")); // the list refills it
}

TEST(ListBoxRowTest, RowConditionsReachTheListAsItsItems) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 20);
  ASSERT_EQ(list->SetScrollOffset({0, 16 * 4}), QZ::QZ_OK);
  const RCPtr<TimedRecorder> heard = Listen(list);
  skin.pointer.MoveTo(list->GetRowControl(1), 5, 5);
  ASSERT_EQ(heard->heard.size(), 1u);
  const RCPtr<QZ::LItemConditionsParam> hover = QZ::DynamicCast<QZ::LItemConditionsParam>(heard->heard[0].parameter);
  ASSERT_TRUE(hover);
  EXPECT_EQ(hover->GetItemIndex(), 5u);
  EXPECT_EQ(hover->GetLookIndex(), 1);
  EXPECT_TRUE(hover->IsMouseOver());
  EXPECT_EQ(hover->GetChanged() & QZ::kConditionHover, QZ::kConditionHover);
  EXPECT_EQ(hover->ToString(), list->GetRowControl(1)->GetConditionsParam()->ToString());

  skin.pointer.Press();
  skin.pointer.MoveTo(list->GetRowControl(1), 9, 9);
  skin.pointer.Release();
  EXPECT_EQ(heard->Count("NID_ITEM_LEFT_DRAG_CONDITION_CHANGE"), 3u); // down, drag, up
  // Rows without an item are disabled and say nothing.
  EXPECT_EQ(list->SetItemCount(3), 3);
  skin.pointer.MoveToWindow(290, 190);
  heard->heard.clear();
  skin.pointer.MoveTo(list->GetRowControl(6), 5, 5);
  EXPECT_TRUE(heard->heard.empty());
}

TEST(ListBoxRowTest, RightClicksAndDoubleClicksNameTheirItem) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 5);
  const RCPtr<TimedRecorder> heard = Listen(list);
  Click(skin, list->GetRowControl(2), 0, false, QZ::kMouseButtonRight);
  ASSERT_EQ(heard->Count("NID_ITEM_RIGHT_CLICK"), 1u);
  const auto item = QZ::DynamicCast<QZ::LHolder<int>>(heard->heard.back().parameter);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->GetValue(), 2);
  EXPECT_TRUE(QZTest::Selected(*list).empty()); // a right click selects nothing
  Click(skin, list->GetRowControl(2), 0, true, QZ::kMouseButtonRight);
  EXPECT_EQ(heard->Count("NID_ITEM_RIGHT_CLICK"), 1u);
  Click(skin, list->GetRowControl(4), 0, true);
  EXPECT_EQ(heard->Count("NID_ITEM_DOUBLE_CLICKED"), 1u);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{4}));
}

TEST(ListBoxRowTest, APressOnAPartlyShownRowScrollsAndTheRowShowingTheItemTakesThePress) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"zeroHost"); // rows of 14: the tenth shows in part
  QZTest::Fill(*list, 30);
  const RCPtr<LListBoxItem> partial = list->GetRowControl(9);
  skin.pointer.MoveTo(partial, 5, 1); // the last pixel of the client area
  skin.pointer.Press();
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{9}));
  EXPECT_EQ(list->GetFirstShownIndex(), 1u);
  EXPECT_EQ(skin.window->captureControl, RCPtr<QZ::LControl>(list->GetRowControl(8)));
  EXPECT_TRUE(list->GetRowControl(8)->IsMouseOver()); // the hover went with the press
  EXPECT_FALSE(partial->IsMouseOver());
  EXPECT_EQ(list->GetRowControl(8)->GetCurrentLookIndex(), 7); // selected, held
  skin.pointer.Release();
}

// =============================================================================================
// Hidden items, widths and the skin
// =============================================================================================

TEST(ListBoxItemsTest, HiddenItemsKeepTheirIndexAndArePassedOver) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 12);
  ASSERT_EQ(list->SelectItems(1, -1, true), 1);
  EXPECT_EQ(list->SetItemHidden(1, true), QZ::QZ_OK);
  EXPECT_EQ(list->SetItemHidden(1, true), QZ::QZ_FALSE);
  EXPECT_TRUE(QZTest::Selected(*list).empty()); // hiding deselects
  EXPECT_EQ(list->GetContentHeight(), 11 * 16.0);
  EXPECT_EQ(QZTest::RowTexts(*list)[1], "item 2");
  EXPECT_EQ(list->GetRowOfItem(1), -1);
  EXPECT_EQ(list->GetRowOfItem(3), 2);
  EXPECT_EQ(list->GetItemOfRow(list->GetRowControl(2).Get()), 3);
  // The top item hidden: a shown neighbour takes its place.
  ASSERT_EQ(list->SetItemHidden(0, true), QZ::QZ_OK);
  EXPECT_EQ(list->GetFirstShownIndex(), 2u);
  EXPECT_EQ(QZTest::RowTexts(*list)[0], "item 2");
  // Scrolled by rows, the hidden ones never count.
  ASSERT_EQ(list->SetScrollOffset({0, 16 * 2}), QZ::QZ_OK);
  EXPECT_EQ(list->GetFirstShownIndex(), 4u);
  EXPECT_EQ(list->EnsureItemVisible(1), QZ::QZ_OK); // hidden: the shown item after it
  EXPECT_EQ(list->GetFirstShownIndex(), 2u);
  EXPECT_EQ(list->SetItemHidden(0, false), QZ::QZ_OK);
  EXPECT_EQ(list->SetItemHidden(1, false), QZ::QZ_OK);
  EXPECT_EQ(list->GetContentHeight(), 12 * 16.0);
  EXPECT_EQ(list->RemoveItem(0), 11);
  EXPECT_EQ(QZTest::RowTexts(*list)[0], "item 1");
}

TEST(ListBoxItemsTest, RemovingEveryItemEmptiesTheRowsAndScrollsBack) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  EXPECT_EQ(list->RemoveAllItems(), QZ::QZ_FALSE);
  QZTest::Fill(*list, 50);
  ASSERT_EQ(list->SelectItems(45, -1, true), 45);
  EXPECT_EQ(list->GetFirstShownIndex(), 42u); // scrolled to the end
  const RCPtr<TimedRecorder> heard = Listen(list);
  EXPECT_EQ(list->RemoveAllItems(), QZ::QZ_OK);
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 1u);
  EXPECT_EQ(list->GetItemCount(), 0);
  EXPECT_EQ(list->GetSelectedCount(), 0u);
  EXPECT_EQ(list->GetScrollOffset().y, 0.0);
  EXPECT_EQ(QZTest::RowTexts(*list), std::vector<std::string>(8, ""));
  EXPECT_EQ(list->SetItemCount(3), 3);
  EXPECT_EQ(QZTest::RowTexts(*list)[2], "");
  EXPECT_TRUE(list->GetRowControl(2)->IsEnabled(true));
  EXPECT_EQ(list->SetItemCount(1), 1);
  // Removing the last items while scrolled to the end keeps the view full.
  QZTest::Fill(*list, 29);
  ASSERT_EQ(list->SetScrollOffset({0, 16 * 22}), QZ::QZ_OK);
  EXPECT_EQ(list->RemoveItem(29), 29);
  EXPECT_EQ(list->GetFirstShownIndex(), 21u);
  EXPECT_EQ(QZTest::RowTexts(*list).back(), "item 28");
}

// A count set at once lays the list out once; it must end as the same count reached one item
// at a time: the rect, the extent, the rows, the width, the view and the order.
TEST(ListBoxItemsTest, ACountSetAtOnceEndsAsTheSameItemsChangedOneByOne) {
  const auto state = [](const LListBox& list) {
    std::ostringstream out;
    const QZ::RectT<double>& rect = list.GetRect();
    out << rect.x << ',' << rect.y << ',' << rect.width << ',' << rect.height << " extent "
        << list.GetClientExtent().width << ',' << list.GetClientExtent().height << " width " << list.GetContentWidth()
        << " top " << list.GetFirstShownIndex() << " offset " << list.GetScrollOffset().y << " rows";
    for (const std::string& text : QZTest::RowTexts(list)) {
      out << " [" << text << ']';
    }
    return out.str();
  };
  for (const bool menu : {false, true}) {
    SCOPED_TRACE(menu ? "menu" : "list");
    ListSkin atOnceSkin("ListBox.xml");
    ListSkin oneByOneSkin("ListBox.xml");
    const RCPtr<LListBox> atOnce = atOnceSkin.Create(u"wideHost");
    const RCPtr<LListBox> oneByOne = oneByOneSkin.Create(u"wideHost");
    ASSERT_TRUE(atOnce && oneByOne);
    for (const RCPtr<LListBox>& list : {atOnce, oneByOne}) {
      list->SetMenuMode(menu);
      QZTest::Fill(*list, 2, "a wide first item ");
      list->SetKeepSorted(true);
    }
    EXPECT_EQ(atOnce->SetItemCount(30), 30);
    while (oneByOne->GetItemCount() < 30) {
      oneByOne->InsertItem(oneByOne->GetItemCount(), nullptr);
    }
    EXPECT_EQ(state(*atOnce), state(*oneByOne));
    EXPECT_EQ(QZTest::RowTexts(*atOnce).front(), "");
    for (const RCPtr<LListBox>& list : {atOnce, oneByOne}) {
      ASSERT_EQ(list->SetScrollOffset({0, 16 * 22}), QZ::QZ_OK);
    }
    EXPECT_EQ(atOnce->SetItemCount(10), 10);
    while (oneByOne->GetItemCount() > 10) {
      oneByOne->RemoveItem(oneByOne->GetItemCount() - 1);
    }
    EXPECT_EQ(state(*atOnce), state(*oneByOne));
    EXPECT_EQ(atOnce->SetItemCount(0), 0);
    while (oneByOne->GetItemCount() > 0) {
      oneByOne->RemoveItem(oneByOne->GetItemCount() - 1);
    }
    EXPECT_EQ(state(*atOnce), state(*oneByOne));
    EXPECT_EQ(oneByOne->GetScrollOffset().y, 0.0); // an emptied list, or menu, is back at its top
  }
}

TEST(ListBoxItemsTest, RowsThatFollowANamedControlTakeTheWidestItemsWidth) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"wideHost");
  ASSERT_TRUE(list);
  // The template reaches the corner: 158 - 12 pixels wide without text.
  EXPECT_EQ(list->GetRowWidth(), 146);
  list->InsertItem(0, QZ::MakeTaggableString(u"abc"));
  EXPECT_EQ(list->GetContentWidth(), 146 + 21);
  const RCPtr<LListBoxItem> row = list->GetRowControl(0);
  EXPECT_EQ(row->GetLayoutDescriptor()->size[0].abs, 167.0);
  EXPECT_EQ(row->GetRect().width, 167.0);
  EXPECT_EQ(list->GetClientExtent().width, 1 + 167.0);
  // Removing the widest item measures the rest again.
  list->InsertItem(1, QZ::MakeTaggableString(u"a"));
  EXPECT_EQ(list->RemoveItem(0), 1);
  EXPECT_EQ(list->GetContentWidth(), 146 + 7);
  EXPECT_EQ(list->MeasureItemWidth(0), 153);
  EXPECT_EQ(list->MeasureItemWidth(1), 0);
}

TEST(ListBoxItemsTest, RowsWiderThanTheClientAreaStartAtItsLeftEdgeAndNarrowerOnesAreCentred) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"wideHost");
  ASSERT_TRUE(list);
  const auto rowsAt = [&](double x, double width) {
    for (int32_t k = 0; k < list->GetRowCount(); ++k) {
      const QZ::RectT<double>& rect = list->GetRowControl(k)->GetRect();
      if (rect.x != x || rect.width != width) {
        return testing::AssertionFailure() << "row " << k << " at " << rect.x << " is " << rect.width << " wide";
      }
    }
    return testing::AssertionSuccess();
  };
  // 146 + 21 pixels on a client area of 158: centred, each row's text would begin 5 pixels
  // left of the list, where no scrolling reaches.
  list->InsertItem(0, QZ::MakeTaggableString(u"abc"));
  ASSERT_GT(list->GetRowCount(), 1);
  EXPECT_TRUE(rowsAt(0.0, 167.0));
  EXPECT_EQ(list->GetItemAtPoint({1, 1}), 0);
  // Rows made after the width was known stand there too.
  QZTest::Fill(*list, 30, "");
  EXPECT_TRUE(rowsAt(0.0, 167.0));
  // A list widened to 200 pixels (a client area of 198) has room: the rows are centred.
  QZ::LayoutPosition position;
  QZ::LayoutSize size;
  ASSERT_EQ(list->GetLayoutDescriptor()->GetAxis(0, position, size), QZ::QZ_OK);
  size.abs = 200.0;
  list->SetAxisPlacement(0, position, size);
  EXPECT_TRUE(rowsAt(16.0, 167.0));
  // Narrowed again, they go back to the left edge.
  size.abs = 160.0;
  list->SetAxisPlacement(0, position, size);
  EXPECT_TRUE(rowsAt(0.0, 167.0));
}

TEST(ListBoxItemsTest, ASkinSwitchKeepsTheItemsAndMakesNewRows) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"plainHost");
  QZTest::Fill(*list, 20);
  ASSERT_EQ(list->SelectItems(3, -1, true), 3);
  const RCPtr<LListBoxItem> oldRow = list->GetRowControl(0);
  ASSERT_EQ(list->ApplyDescriptor(list->GetControlDescriptor()), QZ::QZ_OK);
  EXPECT_EQ(list->GetItemCount(), 20);
  EXPECT_EQ(list->GetRowCount(), 8);
  EXPECT_NE(list->GetRowControl(0), oldRow);
  EXPECT_FALSE(oldRow->GetParent());
  EXPECT_EQ(QZTest::RowTexts(*list)[3], "item 3");
  EXPECT_TRUE(list->GetRowControl(3)->GetValue() >= 0.5);
  Click(skin, list->GetRowControl(5));
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{5}));
}

TEST(ListBoxItemsTest, ScrollingMakesTheListsToolTipAnew) {
  ListSkin skin("ListBox.xml");
  const RCPtr<LListBox> list = skin.Create(u"tipHost");
  ASSERT_TRUE(list);
  QZTest::Fill(*list, 30);
  ASSERT_EQ(list->CreateToolTip(true), QZ::QZ_OK);
  const RCPtr<QZ::LToolTip> before = QZ::DynamicCast<QZ::LToolTip>(list->FindChildByName(u"toolTip"));
  ASSERT_TRUE(before);
  EXPECT_NE(before->GetState(), QZ::LToolTip::kHidden);
  ASSERT_EQ(list->SetScrollOffset({0, 16 * 3}), QZ::QZ_OK);
  const RCPtr<QZ::LToolTip> after = QZ::DynamicCast<QZ::LToolTip>(list->FindChildByName(u"toolTip"));
  ASSERT_TRUE(after);
  EXPECT_NE(after, before);
  EXPECT_EQ(before->GetState(), QZ::LToolTip::kHidden);
  EXPECT_EQ(after->GetText(), QZ::WString(u"Pick one"));
  // A tip that went stays gone.
  ASSERT_EQ(list->CreateToolTip(false), QZ::QZ_OK);
  ASSERT_EQ(list->SetScrollOffset({0, 16 * 4}), QZ::QZ_OK);
  const RCPtr<QZ::LToolTip> gone = QZ::DynamicCast<QZ::LToolTip>(list->FindChildByName(u"toolTip"));
  EXPECT_TRUE(!gone || gone->GetState() == QZ::LToolTip::kHidden);
}

TEST(ListBoxParamTest, TheIndexedParametersTextNamesIndexDataAndValue) {
  EXPECT_EQ(QZ::LIndexedDataWithValueParam::Create(3, nullptr, 1.0)->ToString(),
            QZ::WString(u"LIndexedDataParam: Index = 3, Data =  Value = 1.000000"));
  EXPECT_EQ(QZ::LIndexedDataParam::Create(-1, QZ::MakeTaggableString(u"Lead"))->ToString(),
            QZ::WString(u"LIndexedDataParam: Index = -1, Data = Lead"));
  const RCPtr<QZ::LItemConditionsParam> conditions =
      QZ::LItemConditionsParam::Create(uint32_t(-1), -1, false, 0x4, 0x1004, {2.5, 3});
  EXPECT_EQ(conditions->GetItemIndex(), 0xFFFFFFFFu);
  EXPECT_EQ(conditions->ToString(), QZ::WString(u"(2.5, 3)"));
}

} // namespace
