#include "QZFramework/Controls/ComboBox.h"

#include <gtest/gtest.h>

#include "QZFramework/Controls/ComboBoxTestSupport.h"
#include "QZFramework/Controls/Dialog.h"
#include "Support/CommaDecimalLocale.h"

namespace {

using QZ::LComboBox;
using QZ::RCPtr;
using QZ::WString;
using QZTest::ComboSkin;
using QZTest::KeyPress;
using QZTest::Names;
using QZTest::TimedRecorder;
using Heard = std::vector<std::string>;

constexpr uint8_t kDown = 0x28;
constexpr uint8_t kUp = 0x26;
constexpr uint8_t kReturn = 0x0D;
constexpr uint8_t kEscape = 0x1B;

std::string Utf8(const WString& text) { return text.ToUTF8().GetBuffer(); }

class ComboBoxTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(skin.loaded, QZ::QZ_OK);
    combo = skin.Combo(u"combo");
    ASSERT_TRUE(combo);
    list = combo->GetListBox();
    ASSERT_TRUE(list);
    heard = TimedRecorder::Listen(RCPtr<QZ::LNotificationDistributor>(combo),
                                  {u"NID_SELECTION_CHANGE", u"NID_DROPDOWN_OPENING"});
  }
  // A key as the window hands it to the focused control.
  void Key(uint8_t virtualKey, uint32_t modifiers = 0) {
    const RCPtr<QZ::LControl> focused = skin.window->focusedControl;
    ASSERT_TRUE(focused);
    focused->OnKey(KeyPress(virtualKey, modifiers));
  }
  // The middle of the list's row that shows item.
  void MoveToItem(int32_t item) {
    const QZ::RectT<double> row = list->GetItemRect(item);
    skin.pointer.MoveTo(RCPtr<QZ::LControl>(list), int32_t(row.x + row.width / 2), int32_t(row.y + row.height / 2));
  }

  ComboSkin skin;
  RCPtr<LComboBox> combo;
  RCPtr<QZ::LListBox> list;
  RCPtr<TimedRecorder> heard;
};

TEST_F(ComboBoxTest, ItemsComeFromTheStringTableAndItemZeroIsShown) {
  EXPECT_EQ(QZTest::ItemTexts(*list), (std::vector<std::string>{"Zero", "One", "Two", "Three", "Four"}));
  EXPECT_EQ(combo->GetSelectedIndex(), 0);
  EXPECT_EQ(Utf8(combo->GetText()), "Zero");
  EXPECT_FALSE(combo->IsDroppedDown());
  EXPECT_FALSE(list->IsShown(false));
  EXPECT_TRUE(list->IsMenuMode());
  EXPECT_GE(list->GetRect().width, combo->GetRect().width) << "at least as wide as the box";
}

TEST_F(ComboBoxTest, TheClosedListHasItsItemsAndMakesItsRowsAsItFirstOpens) {
  EXPECT_EQ(list->GetRowCount(), 0) << "no rows while it was never open";
  EXPECT_EQ(combo->GetItemCount(), 5);
  EXPECT_EQ(Utf8(combo->GetItemText(3)), "Three");
  ASSERT_EQ(combo->SelectItem(4), 4);
  (void)combo->AddItem(WString(u"A rather longer item"));
  EXPECT_EQ(list->GetRowCount(), 0);

  ASSERT_EQ(combo->ShowDropDown(true), QZ::QZ_OK);
  ASSERT_GT(list->GetRowCount(), 0);
  const QZ::RCPtr<QZ::LListBoxItem> shown = list->GetRowControl(list->GetRowOfItem(4));
  ASSERT_TRUE(shown) << "the selected item is in view";
  EXPECT_EQ(Utf8(shown->GetText()), "Four");
  EXPECT_EQ(list->GetContentWidth(), list->MeasureItemWidth(5)) << "the items measured in the rows' font";
  EXPECT_GT(list->MeasureItemWidth(5), list->MeasureItemWidth(4));

  const int32_t rows = list->GetRowCount();
  ASSERT_EQ(combo->ShowDropDown(false), QZ::QZ_OK);
  ASSERT_EQ(combo->ShowDropDown(true), QZ::QZ_OK);
  EXPECT_EQ(list->GetRowCount(), rows) << "made once";
}

TEST_F(ComboBoxTest, ShowingTheListAnyWayMakesItsRows) {
  (void)list->SetVisible(true);
  EXPECT_GT(list->GetRowCount(), 0);
  EXPECT_EQ(Utf8(list->GetRowControl(0)->GetText()), "Zero");
}

TEST_F(ComboBoxTest, APressOnTheOpenComboClosesItAndTheNextPressOpensIt) {
  skin.pointer.ClickAt(combo, 20, 10);
  ASSERT_TRUE(combo->IsDroppedDown());
  EXPECT_TRUE(list->HasFocus()) << "the list has the keyboard, and stays open";
  EXPECT_TRUE(combo->ContainsFocus());

  skin.pointer.MoveTo(combo, 20, 10);
  skin.pointer.Press();
  EXPECT_FALSE(combo->IsDroppedDown()) << "closed by the press";
  skin.pointer.Release();
  EXPECT_FALSE(combo->IsDroppedDown()) << "the same press does not open it again";
  EXPECT_TRUE(combo->HasFocus());

  skin.pointer.ClickAt(combo, 20, 10);
  EXPECT_TRUE(combo->IsDroppedDown()) << "the next press does";
  EXPECT_EQ(Names(*heard), (Heard{"NID_DROPDOWN_OPENING", "NID_DROPDOWN_OPENING"}));
}

TEST_F(ComboBoxTest, KeysOpenAndClose) {
  ASSERT_GE(int32_t(combo->SetFocus(true)), 0);
  Key(kDown);
  EXPECT_TRUE(combo->IsDroppedDown()) << "Down";
  Key(kEscape); // the list has the keyboard: Escape climbs to the box
  EXPECT_FALSE(combo->IsDroppedDown()) << "Escape";
  EXPECT_TRUE(combo->HasFocus()) << "the keyboard is back with the box";
  Key(kReturn);
  EXPECT_TRUE(combo->IsDroppedDown()) << "Return";
  EXPECT_EQ(combo->OnKeyDown(KeyPress(kEscape)), QZ::QZ_OK);
  EXPECT_FALSE(combo->IsDroppedDown());
  EXPECT_EQ(combo->OnKeyDown(KeyPress(kDown, QZ::kModifierShift)), QZ::QZ_FALSE) << "with a modifier";
  EXPECT_EQ(combo->OnKeyDown(KeyPress(kEscape)), QZ::QZ_FALSE) << "closed already";
  EXPECT_EQ(combo->OnKeyDown(KeyPress(kUp)), QZ::QZ_FALSE);
  EXPECT_FALSE(combo->IsDroppedDown());
}

TEST_F(ComboBoxTest, KeysInTheOpenListPickAnItem) {
  ASSERT_GE(int32_t(combo->SetFocus(true)), 0);
  Key(kDown);
  ASSERT_TRUE(list->HasFocus());
  EXPECT_EQ(list->GetFocusIndex(), 0) << "the highlight on the shown item";
  Key(kDown);
  Key(kDown);
  EXPECT_TRUE(heard->TimesOf("NID_SELECTION_CHANGE").empty()) << "moving the highlight selects nothing yet";
  Key(kReturn);
  EXPECT_FALSE(combo->IsDroppedDown());
  EXPECT_EQ(combo->GetSelectedIndex(), 2);
  EXPECT_EQ(Utf8(combo->GetText()), "Two");
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 1u);
  EXPECT_TRUE(combo->HasFocus());
}

TEST_F(ComboBoxTest, OpeningHighlightsTheFirstItemOfTheText) {
  combo->AddItem(WString(u"Two"));
  ASSERT_EQ(combo->SelectItem(5), 5);
  ASSERT_EQ(combo->ShowDropDown(true), QZ::QZ_OK);
  EXPECT_EQ(QZTest::Selected(*list), std::vector<uint32_t>{2}) << "the first of the two";
  ASSERT_EQ(combo->ShowDropDown(false), QZ::QZ_OK);
  combo->SetTextInternal(WString(u"nothing like it"), true);
  ASSERT_EQ(combo->ShowDropDown(true), QZ::QZ_OK);
  EXPECT_EQ(QZTest::Selected(*list), std::vector<uint32_t>{0});
}

TEST_F(ComboBoxTest, SelectingNothingKeepsTheTextSilently) {
  ASSERT_EQ(combo->SelectItem(3), 3);
  heard->heard.clear();
  EXPECT_EQ(combo->SelectItem(-1), -1);
  EXPECT_EQ(combo->GetSelectedIndex(), -1);
  EXPECT_EQ(Utf8(combo->GetText()), "Three");
  EXPECT_TRUE(QZTest::Selected(*list).empty());
  EXPECT_TRUE(heard->heard.empty());
  EXPECT_EQ(combo->SelectItem(7), -1) << "an item the list refuses";
  EXPECT_EQ(Utf8(combo->GetText()), "Three");
  EXPECT_TRUE(heard->heard.empty());
}

TEST_F(ComboBoxTest, SelectingTheSelectedItemAgainRefreshesTheTextOnly) {
  ASSERT_EQ(combo->SelectItem(2), 2);
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 1u);
  combo->SetTextInternal(WString(u"edited"), true);
  EXPECT_EQ(combo->SelectItem(2), 2);
  EXPECT_EQ(Utf8(combo->GetText()), "Two");
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 1u);
}

TEST_F(ComboBoxTest, TheTextPicksItsFirstItem) {
  EXPECT_EQ(combo->SetText(WString(u"Four")), QZ::QZ_OK);
  EXPECT_EQ(combo->GetSelectedIndex(), 4);
  EXPECT_EQ(combo->SetText(WString(u"Four")), QZ::QZ_FALSE) << "the text already";
  EXPECT_EQ(combo->SetText(WString(u"four")), QZ::QZ_OK);
  EXPECT_EQ(combo->GetSelectedIndex(), -1) << "texts compare exactly";
  EXPECT_EQ(Utf8(combo->GetText()), "four");
}

TEST_F(ComboBoxTest, InsertingMovesTheSelectionWithItsItemSilently) {
  ASSERT_EQ(combo->SelectItem(2), 2);
  heard->heard.clear();
  EXPECT_EQ(combo->InsertItem(0, QZ::MakeTaggableString(WString(u"New"))), 0);
  EXPECT_EQ(combo->GetSelectedIndex(), 3);
  EXPECT_EQ(Utf8(combo->GetText()), "Two");
  EXPECT_EQ(combo->InsertItem(3, QZ::MakeTaggableString(WString(u"Newer"))), 3) << "at the selection";
  EXPECT_EQ(combo->GetSelectedIndex(), 4);
  EXPECT_EQ(combo->AddItem(WString(u"Last")), 7);
  EXPECT_EQ(combo->GetSelectedIndex(), 4);
  EXPECT_EQ(QZTest::Selected(*list), std::vector<uint32_t>{4});
  EXPECT_TRUE(heard->heard.empty());

  // Nothing selected: an item of the shown text becomes the selection.
  combo->SelectItem(-1);
  combo->SetTextInternal(WString(u"Wanted"), true);
  EXPECT_EQ(combo->AddItem(WString(u"Other")), 8);
  EXPECT_EQ(combo->GetSelectedIndex(), -1);
  EXPECT_EQ(combo->AddItem(WString(u"Wanted")), 9);
  EXPECT_EQ(combo->GetSelectedIndex(), 9);
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 1u);

  EXPECT_EQ(combo->InsertItem(0, nullptr), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(combo->InsertItem(99, QZ::MakeTaggableString(WString(u"far"))), QZ::QZ_E_INVALIDARG);
}

TEST_F(ComboBoxTest, AReleaseOutsideTheOpenComboHidesTheListSilently) {
  skin.pointer.MoveTo(combo, 20, 10);
  skin.pointer.Press();
  ASSERT_TRUE(combo->IsDroppedDown());
  EXPECT_EQ(skin.window->captureControl.Get(), list.Get()) << "the press goes on in the list";
  skin.pointer.MoveToWindow(390, 470);
  skin.pointer.Release();
  EXPECT_FALSE(combo->IsDroppedDown());
  EXPECT_EQ(combo->GetSelectedIndex(), 0);
  EXPECT_EQ(Names(*heard), Heard{"NID_DROPDOWN_OPENING"});
}

TEST_F(ComboBoxTest, APressADragAndAReleaseOnAnItemPickIt) {
  skin.pointer.MoveTo(combo, 20, 10);
  skin.pointer.Press();
  ASSERT_TRUE(combo->IsDroppedDown());
  MoveToItem(3);
  skin.pointer.Release();
  EXPECT_FALSE(combo->IsDroppedDown());
  EXPECT_EQ(combo->GetSelectedIndex(), 3);
  EXPECT_EQ(Utf8(combo->GetText()), "Three");
  EXPECT_EQ(Names(*heard), (Heard{"NID_DROPDOWN_OPENING", "NID_SELECTION_CHANGE"}));
}

TEST_F(ComboBoxTest, AClickOnAnItemOfTheOpenListPicksIt) {
  skin.pointer.ClickAt(combo, 20, 10);
  ASSERT_TRUE(combo->IsDroppedDown());
  MoveToItem(4);
  skin.pointer.Press();
  skin.pointer.Release();
  EXPECT_FALSE(combo->IsDroppedDown());
  EXPECT_EQ(combo->GetSelectedIndex(), 4);
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 1u);
}

TEST_F(ComboBoxTest, LosingTheFocusClosesTheList) {
  skin.pointer.ClickAt(combo, 20, 10);
  ASSERT_TRUE(combo->IsDroppedDown());
  const RCPtr<LComboBox> other = skin.Combo(u"thirdCombo");
  ASSERT_GE(int32_t(other->SetFocus(true)), 0);
  EXPECT_FALSE(combo->IsDroppedDown());
  EXPECT_FALSE(combo->ContainsFocus());
  EXPECT_FALSE(list->HasFocus());
  EXPECT_TRUE(other->HasFocus());
  EXPECT_EQ(skin.window->focusedControl.Get(), other.Get());
}

TEST_F(ComboBoxTest, SetItemReplacesAnItemAndRefreshesTheShownOne) {
  ASSERT_EQ(combo->SelectItem(1), 1);
  heard->heard.clear();
  EXPECT_EQ(combo->SetItem(1, u"x"), QZ::QZ_OK);
  EXPECT_EQ(Utf8(combo->GetText()), "x");
  EXPECT_EQ(Utf8(combo->GetItemText(1)), "x");
  EXPECT_EQ(combo->SetItem(3, u"y"), QZ::QZ_OK);
  EXPECT_EQ(Utf8(combo->GetText()), "x") << "not the selected one";
  EXPECT_EQ(combo->SetItem(5, u"z"), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(combo->SetItem(-1, u"z"), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(combo->SetItem(0, nullptr), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(QZTest::ItemTexts(*list), (std::vector<std::string>{"Zero", "x", "Two", "y", "Four"}));
  EXPECT_TRUE(heard->heard.empty());
}

TEST_F(ComboBoxTest, TheItemCountCutsASelectionPastIt) {
  ASSERT_EQ(combo->SelectItem(3), 3);
  EXPECT_EQ(combo->SetItemCount(4), 4);
  EXPECT_EQ(combo->GetSelectedIndex(), 3);
  EXPECT_EQ(combo->SetItemCount(3), 3);
  EXPECT_EQ(combo->GetSelectedIndex(), -1);
  EXPECT_EQ(Utf8(combo->GetText()), "Three") << "the text stays";
  EXPECT_EQ(combo->SetItemCount(6), 6);
  EXPECT_EQ(Utf8(combo->GetItemText(5)), "") << "new items are empty";
}

TEST_F(ComboBoxTest, AnOpeningListenerMayRefillTheList) {
  int openings = 0;
  heard->onHeard = [&](const RCPtr<QZ::LNotification>& notification) {
    if (WString(notification->GetID()) == WString(u"NID_DROPDOWN_OPENING")) {
      ++openings;
      combo->SetItemCount(0);
      for (int i = 0; i < 12; ++i) {
        combo->AddItem(WString::Format(u"Fresh %d", i));
      }
    }
  };
  ASSERT_EQ(combo->ShowDropDown(true), QZ::QZ_OK);
  EXPECT_EQ(openings, 1);
  EXPECT_EQ(list->GetItemCount(), 12);
  EXPECT_DOUBLE_EQ(list->GetRect().height, 12 * 20.0) << "placed for what it holds";
  // Placed again while open: the listener refills once more, and that does not recurse.
  EXPECT_EQ(combo->SetItemCount(3), 3);
  EXPECT_EQ(openings, 2);
  EXPECT_EQ(list->GetItemCount(), 12);
  EXPECT_TRUE(combo->IsDroppedDown());
}

TEST_F(ComboBoxTest, LooksFollowTheState) {
  const auto look = [&] { return combo->GetCurrentLookIndex(); };
  EXPECT_EQ(look(), LComboBox::kLookClosed);
  skin.pointer.MoveTo(combo, 20, 10);
  EXPECT_EQ(look(), LComboBox::kLookClosedHover);
  skin.pointer.Press();
  EXPECT_EQ(look(), LComboBox::kLookOpenHoverFocused);
  skin.pointer.Release();
  skin.pointer.MoveToWindow(390, 470);
  EXPECT_EQ(look(), LComboBox::kLookOpenFocused);
  Key(kEscape);
  EXPECT_EQ(look(), LComboBox::kLookClosedFocused);
  skin.pointer.MoveTo(combo, 20, 10);
  EXPECT_EQ(look(), LComboBox::kLookClosedHoverFocused);
  ASSERT_EQ(combo->SetEnabled(false), QZ::QZ_OK);
  EXPECT_EQ(look(), LComboBox::kLookDisabled);
}

// --- Where the list opens -----------------------------------------------------------------------

struct Placement {
  double top; // the list's top in the box's coordinates
  double height;
  double maximum; // the list's Y maximum
};

Placement Open(const RCPtr<LComboBox>& box) {
  EXPECT_EQ(box->ShowDropDown(true), QZ::QZ_OK);
  const RCPtr<QZ::LListBox> list = box->GetListBox();
  return {list->GetWindowPosition().y - box->GetWindowPosition().y, list->GetRect().height,
          list->GetLayoutDescriptor()->maximum[1].abs};
}

TEST_F(ComboBoxTest, TheListOpensWhereItFits) {
  // lowCombo: 20 high at 305 in a 480-pixel window: 300 pixels above, 150 below.
  const RCPtr<LComboBox> low = skin.Combo(u"lowCombo");
  ASSERT_TRUE(low);
  struct Case {
    int32_t items;
    int32_t windowHeight;
    Placement expected;
  } cases[] = {
      {5, 480, {20, 100, 0}},                                                        // 100 fits below
      {10, 480, {-200, 200, 0}},                                                     // 200 fits above only
      {20, 480, {-300, 300, 300}}, {7, 480, {20, 140, 0}}, {8, 480, {-160, 160, 0}}, // 160 > 150 below
      {20, 900, {20, 400, 0}},                                                       // room enough below
      {2, 320, {-40, 40, 0}}, // the box ends below the window's bottom: never downward
      {0, 480, {20, 20, 0}},  // one row at least
  };
  for (const Case& c : cases) {
    skin.window->clientRect.height = c.windowHeight;
    ASSERT_EQ(low->SetItemCount(c.items), c.items);
    const Placement placed = Open(low);
    EXPECT_DOUBLE_EQ(placed.top, c.expected.top) << c.items << " items, window " << c.windowHeight;
    EXPECT_DOUBLE_EQ(placed.height, c.expected.height) << c.items << " items, window " << c.windowHeight;
    EXPECT_DOUBLE_EQ(placed.maximum, c.expected.maximum) << c.items << " items, window " << c.windowHeight;
    ASSERT_EQ(low->ShowDropDown(false), QZ::QZ_OK);
  }
}

TEST_F(ComboBoxTest, ASkinMaximumChoosesTheSideItFitsOn) {
  // cappedCombo: 20 high at 150; its list at most 100 high by the skin.
  const RCPtr<LComboBox> capped = skin.Combo(u"cappedCombo");
  ASSERT_TRUE(capped);
  struct Case {
    int32_t items;
    int32_t windowHeight;
    Placement expected;
  } cases[] = {
      {10, 480, {20, 100, 100}},                                // 100 fits below (305)
      {3, 480, {20, 60, 100}},     {10, 250, {-100, 100, 100}}, // below 75, above 145
      {10, 200, {-100, 100, 100}},                              // below 25
      {10, 90, {-100, 100, 100}},                               // below negative
  };
  for (const Case& c : cases) {
    skin.window->clientRect.height = c.windowHeight;
    ASSERT_EQ(capped->SetItemCount(c.items), c.items);
    const Placement placed = Open(capped);
    EXPECT_DOUBLE_EQ(placed.top, c.expected.top) << c.items << " items, window " << c.windowHeight;
    EXPECT_DOUBLE_EQ(placed.height, c.expected.height) << c.items << " items, window " << c.windowHeight;
    EXPECT_DOUBLE_EQ(placed.maximum, c.expected.maximum) << c.items << " items, window " << c.windowHeight;
    ASSERT_EQ(capped->ShowDropDown(false), QZ::QZ_OK);
  }
}

TEST_F(ComboBoxTest, TheListMakesRoomForItsFrame) {
  // framedCombo: 20 high at 60, its list framed by 1 pixel on each side.
  const RCPtr<LComboBox> framed = skin.Combo(u"framedCombo");
  ASSERT_TRUE(framed);
  ASSERT_EQ(framed->SetItemCount(5), 5);
  const Placement placed = Open(framed);
  EXPECT_DOUBLE_EQ(placed.top, 20);
  EXPECT_DOUBLE_EQ(placed.height, 5 * 20 + 2);
  EXPECT_FALSE(framed->GetListBox()->GetVerticalBar()->IsShown(false)) << "every row shows";
  ASSERT_EQ(framed->ShowDropDown(false), QZ::QZ_OK);
  ASSERT_EQ(framed->SetItemCount(30), 30); // 602 high: above (55) or below (395)
  const Placement capped = Open(framed);
  EXPECT_DOUBLE_EQ(capped.top, 20);
  EXPECT_DOUBLE_EQ(capped.height, 395);
  EXPECT_TRUE(framed->GetListBox()->GetVerticalBar()->IsShown(false));
}

// The row cut by the list's edge stays under the pointer that points at it: hovering does not
// scroll, and the click picks the item the row shows, not the next one.
TEST_F(ComboBoxTest, AClickOnARowCutByTheListsEdgePicksItsItem) {
  // framedCombo with 30 items: 393 pixels of 20-pixel rows below it, item 19 cut.
  const RCPtr<LComboBox> framed = skin.Combo(u"framedCombo");
  ASSERT_TRUE(framed);
  ASSERT_EQ(framed->SetItemCount(30), 30);
  skin.pointer.ClickAt(framed, 20, 10);
  ASSERT_TRUE(framed->IsDroppedDown());
  const RCPtr<QZ::LListBox> rows = framed->GetListBox();
  const QZ::RectT<double> cut = rows->GetItemRect(19);
  skin.pointer.MoveTo(RCPtr<QZ::LControl>(rows), int32_t(cut.x + cut.width / 2), int32_t(cut.y + 5));
  EXPECT_EQ(rows->GetFirstShownIndex(), 0u);
  EXPECT_EQ(rows->GetScrollOffset().y, 0.0);
  skin.pointer.Press();
  skin.pointer.Release();
  EXPECT_FALSE(framed->IsDroppedDown());
  EXPECT_EQ(framed->GetSelectedIndex(), 19);
}

// --- Creation -----------------------------------------------------------------------------------

TEST(ComboBoxCreationTest, TheInitialSelectedIndexInAnyLocale) {
  QZTest::CommaDecimalLocale locale;
  ComboSkin skin;
  struct Case {
    const char16_t* name;
    int32_t selected;
    const char* text;
  } cases[] = {{u"thirdCombo", 3, "Three"}, {u"pastCombo", -1, ""}, {u"wordCombo", 0, "Zero"}};
  for (const Case& c : cases) {
    const RCPtr<LComboBox> combo = skin.Combo(c.name);
    ASSERT_TRUE(combo) << Utf8(WString(c.name));
    EXPECT_EQ(combo->GetSelectedIndex(), c.selected) << Utf8(WString(c.name));
    EXPECT_EQ(Utf8(combo->GetText()), c.text) << Utf8(WString(c.name));
    EXPECT_EQ(QZTest::Selected(*combo->GetListBox()).size(), c.selected < 0 ? 0u : 1u);
  }
}

TEST(ComboBoxCreationTest, WithoutAListBoxThereIsNoComboBox) {
  ComboSkin skin;
  EXPECT_FALSE(skin.application.factory->CreateControlByName(WString(u"bareCombo"), nullptr));
  const RCPtr<LComboBox> bare(new LComboBox(nullptr, WString(u"bare")));
  EXPECT_EQ(bare->Initialize(), QZ::QZ_E_FAIL);
  EXPECT_FALSE(bare->IsDroppedDown());
  EXPECT_EQ(bare->SetItemCount(4), QZ::QZ_E_FAIL);
  EXPECT_EQ(bare->ShowDropDown(true), QZ::QZ_E_FAIL);
  EXPECT_EQ(bare->AddItem(WString(u"x")), QZ::QZ_E_FAIL);
  EXPECT_EQ(bare->SelectItem(0), -1);
  EXPECT_EQ(bare->GetItemCount(), 0);
  EXPECT_FALSE(bare->GetItemData(0));
}

// --- The editable combo box ---------------------------------------------------------------------

TEST(ComboTextBoxTest, TheValidatedTextPicksItsItemAndGoesOn) {
  ComboSkin skin;
  const RCPtr<LComboBox> combo = skin.Combo(u"textCombo");
  ASSERT_TRUE(combo);
  const RCPtr<QZTest::StandInTextBox> textBox =
      QZ::DynamicCast<QZTest::StandInTextBox>(combo->FindChildByName(WString(u"textBox")));
  ASSERT_TRUE(textBox);
  const RCPtr<TimedRecorder> heard = TimedRecorder::Listen(
      RCPtr<QZ::LNotificationDistributor>(combo),
      {u"NID_SELECTION_CHANGE", u"NID_TEXTBOX_VALIDATING", u"NID_TEXTBOX_VALIDATED", u"NID_TEXTBOX_TEXT_CHANGE"});
  const RCPtr<QZ::LRefCountedObject> parameter(QZ::LCancelArgs::Create());
  textBox->Validate(WString(u"Three"), parameter);
  EXPECT_EQ(combo->GetSelectedIndex(), 3);
  EXPECT_EQ(Names(*heard), (Heard{"NID_TEXTBOX_TEXT_CHANGE", "NID_TEXTBOX_VALIDATING", "NID_SELECTION_CHANGE",
                                  "NID_TEXTBOX_VALIDATED"}));
  for (const TimedRecorder::Heard& one : heard->heard) {
    if (one.name != "NID_SELECTION_CHANGE") {
      EXPECT_EQ(one.parameter.Get(), parameter.Get()) << one.name << ": the text box's own parameter";
    }
  }
  textBox->Validate(WString(u"no such item"), parameter);
  EXPECT_EQ(combo->GetSelectedIndex(), -1);
  // A selection shows in the text box too.
  EXPECT_EQ(combo->SelectItem(1), 1);
  EXPECT_EQ(Utf8(textBox->GetText()), "One");
  EXPECT_EQ(combo->SetItem(1, u"Uno"), QZ::QZ_OK);
  EXPECT_EQ(Utf8(textBox->GetText()), "Uno");
}

TEST(ComboTextBoxTest, TheTextBoxTakingTheFocusClosesTheList) {
  ComboSkin skin;
  const RCPtr<LComboBox> combo = skin.Combo(u"textCombo");
  ASSERT_TRUE(combo);
  ASSERT_EQ(combo->ShowDropDown(true), QZ::QZ_OK);
  ASSERT_TRUE(combo->IsDroppedDown());
  ASSERT_GE(int32_t(combo->FindChildByName(WString(u"textBox"))->SetFocus(true)), 0);
  EXPECT_FALSE(combo->IsDroppedDown());
}

} // namespace
