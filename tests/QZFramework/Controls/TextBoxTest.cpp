// The text box: typing with its filter and maximum length under the character locale,
// keys and word boundaries, the mouse, the clipboard's edits and the context menu,
// validation, looks, the cursor and the caret's blink.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "QZFramework/ControlBase/GlobalHotKeyManager.h"
#include "QZFramework/ControlBase/Look.h"
#include "Support/StringPrinter.h"
#include "TextBoxTestSupport.h"

namespace QZ {
namespace {

using QZTest::TextWorld;

constexpr uint8_t kBack = 0x08;
constexpr uint8_t kEnter = 0x0D;
constexpr uint8_t kEnd = 0x23;
constexpr uint8_t kHome = 0x24;
constexpr uint8_t kLeft = 0x25;
constexpr uint8_t kUp = 0x26;
constexpr uint8_t kRight = 0x27;
constexpr uint8_t kDown = 0x28;
constexpr uint8_t kDelete = 0x2E;
constexpr uint8_t kF5 = 0x74;

std::u16string TextOf(const RCPtr<LTextBox>& box) { return std::u16string(box->GetText().View()); }

class TextBoxTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(world.ctype.Active());
    ASSERT_EQ(world.skin.loaded, QZ_OK);
    ASSERT_EQ(world.strings, QZ_OK);
    box = world.Create<LTextBox>(u"boxes", {u"plain"});
    ASSERT_TRUE(box);
  }

  // The box holds text with the caret at caret and nothing selected.
  void Start(const char16_t* text, int32_t caret) {
    box->SetText(u"");
    ASSERT_EQ(box->SetText(text), *text ? QZ_OK : QZ_FALSE);
    ASSERT_EQ(box->SetCaret(caret, true), QZ_OK);
  }
  // The box's text selected from start, count characters, the caret after them.
  void Select(const char16_t* text, int32_t start, int32_t count) {
    Start(text, start);
    for (int32_t i = 0; i < count; ++i) {
      ASSERT_EQ(TextWorld::Press(box, kRight, kModifierShift), QZ_OK);
    }
  }
  // Gives control the focus: whether it has it then.
  static bool Focus(const RCPtr<LControl>& control) {
    return Succeeded(control->SetFocus(true)) && control->HasFocus();
  }
  // A press and a release of the left button at point of box, with modifiers, the press a
  // double click or not.
  void Click(const PointT<int32_t>& point, uint32_t modifiers, bool doubleClick) {
    world.skin.pointer.MoveTo(box, point.x, point.y);
    world.skin.window->mouseButtons = kMouseButtonLeft;
    ASSERT_EQ(box->OnMouseDown(
                  LMouseButtonParam::Create(kMouseButtonLeft, point, modifiers, doubleClick, kMouseButtonLeft, 0)),
              QZ_OK);
    world.skin.window->mouseButtons = 0;
    ASSERT_EQ(box->OnMouseUp(LMouseButtonParam::Create(kMouseButtonLeft, point, modifiers, doubleClick, 0, 0)), QZ_OK);
  }
  void ExpectSelection(int32_t start, int32_t length, int32_t caret) {
    EXPECT_EQ(box->GetSelectionStart(), start);
    EXPECT_EQ(box->GetSelectionLength(), length);
    EXPECT_EQ(box->GetCaret(), caret);
  }
  // Nothing selected or highlighted; the caret, and the anchor a Shift key would extend
  // from, at caret.
  void ExpectCaretAlone(int32_t caret, const std::string& what) {
    EXPECT_EQ(box->GetSelectionLength(), 0) << what;
    EXPECT_TRUE(box->GetSelectionRects().empty()) << what;
    EXPECT_EQ(box->GetCaret(), caret) << what;
    EXPECT_EQ(box->GetAnchor(), caret) << what;
  }
  // A request of the context menu, chosen as the pop-up menu delivers it and handed back
  // to the focused box by the clipboard.
  void Choose(const char16_t* request) {
    EXPECT_EQ(box->ReceiveNotification(nullptr, LNotification::Create(request)), QZ_FALSE);
    world.Drain();
  }

  TextWorld world{"TextBox.xml"};
  RCPtr<LTextBox> box;
};

// =============================================================================================
// Typing
// =============================================================================================

TEST_F(TextBoxTest, AnAllowListRefusesOtherCharactersAndADenyListItsOwn) {
  box->SetCharacterFilter(u"0123456789", true);
  EXPECT_EQ(TextWorld::Type(box, u"a"), QZ_OK);
  EXPECT_EQ(TextOf(box), u"");
  EXPECT_EQ(TextWorld::Type(box, u"7"), QZ_OK);
  EXPECT_EQ(TextOf(box), u"7");
  EXPECT_EQ(box->GetCaret(), 1);

  box->SetCharacterFilter(u"xyz", false);
  EXPECT_EQ(TextWorld::Type(box, u"ya1"), QZ_OK);
  EXPECT_EQ(TextOf(box), u"7a1");
}

TEST_F(TextBoxTest, TheMaximumLengthRefusesWhatWouldPassIt) {
  box->SetMaxLength(3);
  Start(u"abc", 3);
  EXPECT_EQ(TextWorld::Type(box, u"d"), QZ_OK);
  EXPECT_EQ(TextOf(box), u"abc");
  EXPECT_EQ(box->GetCaret(), 3);

  Select(u"abc", 1, 1); // b
  EXPECT_EQ(TextWorld::Type(box, u"d"), QZ_OK);
  EXPECT_EQ(TextOf(box), u"adc");
  EXPECT_EQ(box->GetCaret(), 2);
  ExpectSelection(0, 0, 2);
}

// Typed over a selection, a character ends it whatever the text comes out as, and the next
// one goes in after it: over all of the text (Ctrl+A as the user does it, the caret left at
// 0), at its end, in its middle, and with the maximum reached, where the second character
// no longer fits.
TEST_F(TextBoxTest, ACharacterTypedOverASelectionEndsItEvenWhenTheTextComesOutTheSame) {
  Start(u"1", 0);
  EXPECT_EQ(box->OnKeyDown(QZTest::KeyPress('A', kModifierCtrl)), QZ_FALSE);
  const RCPtr<QZTest::TimedRecorder> heard = QZTest::TimedRecorder::Listen(box, {u"NID_TEXTBOX_TEXT_CHANGE"});
  EXPECT_EQ(TextWorld::Type(box, u"1"), QZ_OK);
  EXPECT_EQ(heard->Count("NID_TEXTBOX_TEXT_CHANGE"), 0u) << "the same text is no change";
  ExpectCaretAlone(1, "1 over 1");
  EXPECT_EQ(TextWorld::Type(box, u"1"), QZ_OK);
  EXPECT_EQ(TextOf(box), u"11");
  ExpectCaretAlone(2, "11 over 1");

  struct Case {
    const char16_t* text;
    int32_t maxLength;
    int32_t selectFrom;
    int32_t selectCount;
    std::u16string typed;
    std::u16string result;
    int32_t caret;
  };
  const Case cases[] = {
      {u"12", 0, 0, 2, u"12", u"12", 2},    {u"7", 0, 0, 1, u"78", u"78", 2},    {u"abc", 0, 2, 1, u"cd", u"abcd", 4},
      {u"abc", 0, 1, 1, u"bx", u"abxc", 3}, {u"abc", 3, 1, 1, u"bx", u"abc", 2},
  };
  for (const Case& c : cases) {
    const std::string what = QZTest::Utf8(WString(c.typed.c_str())) + " over " + QZTest::Utf8(WString(c.text));
    box->SetMaxLength(c.maxLength);
    Select(c.text, c.selectFrom, c.selectCount);
    EXPECT_EQ(TextWorld::Type(box, c.typed), QZ_OK) << what;
    EXPECT_EQ(TextOf(box), c.result) << what;
    ExpectCaretAlone(c.caret, what);
  }
}

// A refused character is no edit: the selection it was typed over stays for the next one.
TEST_F(TextBoxTest, ARefusedCharacterLeavesTheSelectionItWasTypedOver) {
  box->SetCharacterFilter(u"0123456789", true);
  Select(u"123", 1, 1);
  EXPECT_EQ(TextWorld::Type(box, u"x"), QZ_OK);
  EXPECT_EQ(TextWorld::Type(box, u"\x01"), QZ_FALSE); // not printable: it goes on
  EXPECT_EQ(TextOf(box), u"123");
  ExpectSelection(1, 1, 2);
  EXPECT_EQ(TextWorld::Type(box, u"5"), QZ_OK);
  EXPECT_EQ(TextOf(box), u"153");
}

// A text set longer than the maximum: typing over a selection removes it but inserts
// nothing, and the caret stays where the selection began.
TEST_F(TextBoxTest, ARemovedSelectionAloneLeavesTheCaretWhereItBegan) {
  box->SetMaxLength(2);
  Select(u"abcd", 1, 1);
  EXPECT_EQ(TextWorld::Type(box, u"x"), QZ_OK);
  EXPECT_EQ(TextOf(box), u"acd");
  EXPECT_EQ(box->GetCaret(), 1);
}

// A shorter text that keeps the caret where it was keeps it within the text.
TEST_F(TextBoxTest, ACorrectedShorterTextKeepsTheCaretWithinIt) {
  Start(u"12345", 5);
  const RCPtr<QZTest::TimedRecorder> heard = QZTest::TimedRecorder::Listen(box, {u"NID_TEXTBOX_VALIDATING"});
  heard->onHeard = [](const RCPtr<LNotification>& notification) {
    DynamicCast<LTextValidationParams>(notification->GetParameter())->SetText(u"42");
  };
  EXPECT_TRUE(box->Commit());
  EXPECT_EQ(TextOf(box), u"42");
  EXPECT_EQ(box->GetCaret(), 2);
  EXPECT_EQ(TextWorld::Press(box, kLeft, kModifierShift), QZ_OK);
  ExpectSelection(1, 1, 1);
}

TEST_F(TextBoxTest, AShorterMaximumCutsTheTextAndPutsTheCaretAtItsEnd) {
  Start(u"abcd", 1);
  box->SetMaxLength(2);
  EXPECT_EQ(TextOf(box), u"ab");
  EXPECT_EQ(box->GetCaret(), 2);
  box->SetMaxLength(5);
  EXPECT_EQ(TextOf(box), u"ab");
}

TEST_F(TextBoxTest, PrintableFollowsTheCharacterLocaleAndSurrogatesAreNever) {
  struct Case {
    const char* locale;
    std::u16string typed;
    std::u16string text;
    QZResult answer;
  };
  const Case cases[] = {
      {"C.UTF-8", u"\u00E9", u"\u00E9", QZ_OK},
      {"C.UTF-8", u"\u2713", u"\u2713", QZ_OK},
      {"C.UTF-8", u"\U0001F600", u"", QZ_FALSE}, // two halves, each refused
      {"C.UTF-8", std::u16string(1, char16_t(0xDE00)), u"", QZ_FALSE},
      {"C.UTF-8", u"\t", u"", QZ_FALSE},
      {"C.UTF-8", u"\x01", u"", QZ_FALSE}, // Ctrl+A's character goes on
      {"C.UTF-8", u"\b", u"", QZ_OK},      // Backspace's character is taken
      {"C", u"\u00E9", u"", QZ_FALSE},     // not printable in the C locale
      {"C", u"e", u"e", QZ_OK},
  };
  for (const Case& c : cases) {
    QZTest::ScopedCharacterLocale locale(c.locale);
    ASSERT_TRUE(locale.Active()) << c.locale;
    ASSERT_EQ(box->SetText(u""), box->GetText().IsEmpty() ? QZ_FALSE : QZ_OK);
    EXPECT_EQ(TextWorld::Type(box, c.typed), c.answer) << c.locale;
    EXPECT_EQ(TextOf(box), c.text) << c.locale;
  }
}

// =============================================================================================
// Keys and word boundaries
// =============================================================================================

TEST_F(TextBoxTest, CtrlArrowsStopAtWordBoundaries) {
  struct Case {
    const char16_t* text;
    int32_t from;
    uint8_t key;
    int32_t to;
  };
  const Case cases[] = {
      {u"ab  cd", 0, kRight, 4}, {u"ab  cd", 4, kRight, 6},   {u"ab  cd", 6, kRight, 6},   {u"ab  cd", 6, kLeft, 4},
      {u"ab  cd", 4, kLeft, 0},  {u"ab  cd", 3, kLeft, 0},    {u"ab  cd", 0, kLeft, 0},    {u"  ab", 4, kLeft, 2},
      {u"a\tb", 0, kRight, 2},   {u"a\u3000b", 0, kRight, 2}, {u"a\u00A0b", 0, kRight, 3},
  };
  for (const Case& c : cases) {
    Start(c.text, c.from);
    EXPECT_EQ(TextWorld::Press(box, c.key, kModifierCtrl), QZ_OK);
    EXPECT_EQ(box->GetCaret(), c.to) << QZTest::Utf8(WString(c.text)) << " from " << c.from;
  }
}

TEST_F(TextBoxTest, ShiftArrowsGrowAndShrinkTheSelectionFromTheAnchor) {
  Start(u"abcdef", 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(TextWorld::Press(box, kRight, kModifierShift), QZ_OK);
  }
  ExpectSelection(1, 3, 4);
  EXPECT_EQ(TextWorld::Press(box, kLeft, kModifierShift), QZ_OK);
  ExpectSelection(1, 2, 3);
  EXPECT_EQ(box->GetAnchor(), 1);

  // Backwards past the anchor: the selection grows on the left.
  Start(u"abcdef", 3);
  EXPECT_EQ(TextWorld::Press(box, kLeft, kModifierShift), QZ_OK);
  EXPECT_EQ(TextWorld::Press(box, kLeft, kModifierShift), QZ_OK);
  ExpectSelection(1, 2, 1);
  EXPECT_EQ(TextWorld::Press(box, kRight, kModifierShift), QZ_OK);
  ExpectSelection(2, 1, 2);
  Start(u"abc", 0);
  EXPECT_EQ(TextWorld::Press(box, kLeft, kModifierShift), QZ_OK);
  ExpectSelection(0, 0, 0);
}

TEST_F(TextBoxTest, CtrlShiftArrowsHomeAndEndSelect) {
  Start(u"one two three", 5);
  EXPECT_EQ(TextWorld::Press(box, kRight, kModifierCtrl | kModifierShift), QZ_OK);
  ExpectSelection(5, 3, 8);
  EXPECT_EQ(TextWorld::Press(box, kLeft, kModifierCtrl | kModifierShift), QZ_OK);
  ExpectSelection(4, 1, 4);

  Start(u"one two", 3);
  EXPECT_EQ(TextWorld::Press(box, kHome, kModifierShift), QZ_OK);
  ExpectSelection(0, 3, 0);
  EXPECT_EQ(TextWorld::Press(box, kEnd, kModifierShift), QZ_OK);
  ExpectSelection(3, 4, 7);
  EXPECT_EQ(TextWorld::Press(box, kHome), QZ_OK);
  ExpectSelection(0, 0, 0);
  EXPECT_EQ(TextWorld::Press(box, kEnd), QZ_OK);
  ExpectSelection(0, 0, 7);
  EXPECT_EQ(TextWorld::Press(box, kLeft), QZ_OK);
  EXPECT_EQ(box->GetCaret(), 6);
}

TEST_F(TextBoxTest, DeletionKeys) {
  struct Case {
    const char* name;
    uint8_t key;
    uint32_t mask;
    int32_t selectFrom;
    int32_t selectCount;
    std::u16string text;
    int32_t caret;
  };
  // "abcdef" with the caret at 3 (or the selection given).
  const Case cases[] = {
      {"Backspace", kBack, 0, 3, 0, u"abdef", 2},
      {"Shift+Delete", kDelete, kModifierShift, 3, 0, u"abdef", 2},
      {"Delete", kDelete, 0, 3, 0, u"abcef", 3},
      {"Ctrl+Delete", kDelete, kModifierCtrl, 3, 0, u"abc", 3},
      {"Backspace on a selection", kBack, 0, 1, 2, u"adef", 1},
      {"Delete on a selection", kDelete, 0, 1, 2, u"adef", 1},
      {"Ctrl+Delete on a selection", kDelete, kModifierCtrl, 1, 2, u"adef", 1},
  };
  for (const Case& c : cases) {
    Select(u"abcdef", c.selectFrom, c.selectCount);
    EXPECT_EQ(TextWorld::Press(box, c.key, c.mask), QZ_OK) << c.name;
    EXPECT_EQ(TextOf(box), c.text) << c.name;
    EXPECT_EQ(box->GetCaret(), c.caret) << c.name;
  }
  Start(u"abc", 0);
  EXPECT_EQ(TextWorld::Press(box, kBack), QZ_OK);
  EXPECT_EQ(TextOf(box), u"abc");
  Start(u"abc", 3);
  EXPECT_EQ(TextWorld::Press(box, kDelete), QZ_OK);
  EXPECT_EQ(TextOf(box), u"abc");
}

TEST_F(TextBoxTest, BackspaceDeletesTheCharacterBeforeTheCaretAndNothingAtTheStart) {
  Start(u"", 0);
  EXPECT_EQ(TextWorld::Type(box, u"a"), QZ_OK);
  ASSERT_EQ(box->GetCaret(), 1);
  EXPECT_EQ(TextWorld::Press(box, kBack), QZ_OK);
  EXPECT_EQ(TextOf(box), u"");
  ExpectCaretAlone(0, "the first character deleted");
  EXPECT_EQ(TextWorld::Press(box, kBack), QZ_OK);
  EXPECT_EQ(TextOf(box), u"");
  ExpectCaretAlone(0, "an empty box");

  // Inside the text the caret follows the deleted character; at 0 nothing goes.
  EXPECT_EQ(TextWorld::Type(box, u"ab"), QZ_OK);
  EXPECT_EQ(TextWorld::Press(box, kLeft), QZ_OK);
  EXPECT_EQ(TextWorld::Press(box, kBack), QZ_OK);
  EXPECT_EQ(TextOf(box), u"b");
  ExpectCaretAlone(0, "a before the caret");
  EXPECT_EQ(TextWorld::Press(box, kBack), QZ_OK);
  EXPECT_EQ(TextOf(box), u"b");
  ExpectCaretAlone(0, "at the start");
}

// Every deletion over a selection, by key or through the context menu, ends it with the
// caret where it began, so that the next character goes in there: a selection at the end
// of the text, in its middle and over all of it.
TEST_F(TextBoxTest, DeletingASelectionEndsItWithTheCaretWhereItBegan) {
  ASSERT_TRUE(Focus(box));
  struct Edit {
    const char* name;
    std::function<void()> run;
  };
  const auto press = [this](uint8_t key, uint32_t mask) {
    return [this, key, mask] { EXPECT_EQ(TextWorld::Press(box, key, mask), QZ_OK); };
  };
  const Edit edits[] = {
      {"Backspace", press(kBack, 0)},
      {"Delete", press(kDelete, 0)},
      {"Ctrl+Delete", press(kDelete, kModifierCtrl)},
      {"Shift+Delete", press(kDelete, kModifierShift)},
      {"the menu's Delete", [this] { Choose(u"NID_EDIT_DELETE_REQ"); }},
      {"the menu's Cut", [this] { Choose(u"NID_EDIT_CUT_REQ"); }},
  };
  struct Span {
    int32_t from;
    int32_t count;
    std::u16string left;
  };
  const Span spans[] = {{4, 2, u"abcd"}, {1, 2, u"adef"}, {0, 6, u""}};
  for (const Edit& edit : edits) {
    for (const Span& span : spans) {
      const std::string what = std::string(edit.name) + " from " + std::to_string(span.from);
      Select(u"abcdef", span.from, span.count);
      edit.run();
      EXPECT_EQ(TextOf(box), span.left) << what;
      ExpectCaretAlone(span.from, what);
      EXPECT_EQ(TextWorld::Type(box, u"x"), QZ_OK);
      EXPECT_EQ(TextOf(box), std::u16string(span.left).insert(size_t(span.from), u"x")) << what;
    }
  }
}

TEST_F(TextBoxTest, KeysTheBoxDoesNotUseGoOn) {
  Start(u"abc", 1);
  struct Case {
    const char* name;
    RCPtr<LKeyParam> key;
    QZResult answer;
  };
  const Case cases[] = {
      {"Up", QZTest::KeyPress(kUp), QZ_FALSE},
      {"Shift+Down", QZTest::KeyPress(kDown, kModifierShift), QZ_FALSE},
      {"Ctrl+Shift+Up", QZTest::KeyPress(kUp, kModifierCtrl | kModifierShift), QZ_FALSE},
      {"F5", QZTest::KeyPress(kF5), QZ_FALSE},
      {"Alt+Left", QZTest::KeyPress(kLeft, kModifierAlt), QZ_FALSE},
      {"the letter Q", QZTest::KeyPress('Q'), QZ_OK},
      {"Shift+7", QZTest::KeyPress('7', kModifierShift), QZ_OK},
      {"Space", QZTest::KeyPress(' '), QZ_OK},
      {"Ctrl+Q", QZTest::KeyPress('Q', kModifierCtrl), QZ_FALSE},
      {"Alt+Q", QZTest::KeyPress('Q', kModifierAlt), QZ_FALSE},
      {"Win+Q", QZTest::KeyPress('Q', kModifierCommand), QZ_FALSE},
      {"a release", LKeyParam::Create(KeyCode(kF5, false, 1, 0), true), QZ_OK},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(box->OnKeyDown(c.key), c.answer) << c.name;
  }
  EXPECT_EQ(TextOf(box), u"abc");
  EXPECT_EQ(box->GetCaret(), 1);
  EXPECT_EQ(box->OnKeyDown(nullptr), QZ_E_INVALIDARG);
}

TEST_F(TextBoxTest, CtrlASelectsAllAndGoesOn) {
  Start(u"abcd", 2);
  EXPECT_EQ(box->OnKeyDown(QZTest::KeyPress('A', kModifierCtrl)), QZ_FALSE);
  ExpectSelection(0, 4, 2);
  EXPECT_EQ(box->GetAnchor(), 0);
  EXPECT_EQ(TextWorld::Type(box, u"x"), QZ_OK);
  EXPECT_EQ(TextOf(box), u"x");
}

TEST_F(TextBoxTest, SetCaretAcceptsOnlyPositionsInTheText) {
  Start(u"abc", 1);
  EXPECT_EQ(box->SetCaret(7), QZ_E_INVALIDARG);
  EXPECT_EQ(box->SetCaret(-1), QZ_E_INVALIDARG);
  EXPECT_EQ(box->GetCaret(), 1);
  EXPECT_EQ(box->SetCaret(1), QZ_FALSE);
  EXPECT_EQ(box->SetCaret(1, true), QZ_OK);
  EXPECT_EQ(box->SetCaret(3), QZ_OK);
  EXPECT_EQ(box->GetAnchor(), 3);
}

// =============================================================================================
// The mouse
// =============================================================================================

TEST_F(TextBoxTest, APressPutsTheCaretAtTheNearestBoundaryAndShiftExtends) {
  // Characters are 7 pixels wide from x = 4 of the box.
  Start(u"abcdef", 0);
  struct Case {
    int32_t x;
    int32_t caret;
  };
  for (const Case c : {Case{0, 0}, Case{7, 0}, Case{8, 1}, Case{14, 1}, Case{15, 2}, Case{110, 6}}) {
    world.skin.pointer.ClickAt(box, c.x, 10);
    EXPECT_EQ(box->GetCaret(), c.caret) << "x " << c.x;
    EXPECT_EQ(box->GetSelectionLength(), 0);
  }
  world.skin.pointer.ClickAt(box, 15, 10);
  Click({33, 10}, kModifierShift, false);
  ExpectSelection(2, 2, 4);
}

TEST_F(TextBoxTest, DraggingSelectsWithinTheTextArea) {
  Start(u"abcdef", 0);
  world.skin.pointer.MoveTo(box, 15, 10); // before c
  world.skin.pointer.Press();
  world.skin.pointer.MoveTo(box, 30, 10);
  ExpectSelection(2, 2, 4);
  world.skin.pointer.MoveTo(box, -40, 30); // left of and below the box: its first character
  ExpectSelection(0, 2, 0);
  world.skin.pointer.Release();
  world.skin.pointer.MoveTo(box, 40, 10); // released: nothing follows
  ExpectSelection(0, 2, 0);
}

TEST_F(TextBoxTest, ADoubleClickOrCtrlClickSelectsTheWord) {
  Start(u"foo bar", 0);
  Click({4 + 7 * 5 + 2, 10}, 0, false); // inside "bar"
  ExpectSelection(0, 0, 5);
  Click({4 + 7 * 5 + 2, 10}, 0, true);
  ExpectSelection(4, 3, 7);

  Start(u"one  two three", 0);
  Click({4 + 7 * 6 + 1, 10}, kModifierCtrl, false);
  ExpectSelection(5, 3, 8); // the spaces after the word stay out
}

TEST_F(TextBoxTest, ScrollingWhileTheButtonHoldsTheBoxMovesTheSelectionWithThePointer) {
  Start(u"abcdefghijklmnopqrstuvwxyz0123", 0);
  world.skin.pointer.MoveTo(box, 4 + 7 * 2, 10);
  world.skin.pointer.Press();
  world.skin.pointer.MoveTo(box, 4 + 7 * 5 + 1, 10);
  ExpectSelection(2, 3, 5);
  EXPECT_EQ(box->SetScrollOffset({28.0, 0.0}), QZ_OK);
  ExpectSelection(2, 7, 9);
  EXPECT_EQ(box->GetSelectionRects().at(0).x, 4.0f + 7 * 2);
  EXPECT_EQ(box->SetScrollOffset({28.0, 0.0}), QZ_FALSE);
  world.skin.pointer.Release();
  EXPECT_EQ(box->SetScrollOffset({0.0, 0.0}), QZ_OK);
  ExpectSelection(2, 7, 9);
}

TEST_F(TextBoxTest, LinesOfTextMapPointsAndCaretsLineByLine) {
  const RCPtr<LTextBox> lines = world.skin.Find<LTextBox>({u"lines"});
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->SetText(u"ab\ncdef"), QZ_OK);
  ASSERT_EQ(lines->SetCaret(5), QZ_OK);
  // The text block starts at (4, 2); lines are 16 high.
  EXPECT_EQ(lines->GetCaretRect(), (RectT<float>{4 + 7 * 2, 18, 1, 16}));
  world.skin.pointer.ClickAt(lines, 4 + 7 * 3 + 1, 25);
  EXPECT_EQ(lines->GetCaret(), 6);
  world.skin.pointer.ClickAt(lines, 50, 5);
  EXPECT_EQ(lines->GetCaret(), 2);
  world.skin.pointer.ClickAt(lines, 4, 39); // below the last line: the last line
  EXPECT_EQ(lines->GetCaret(), 3);

  ASSERT_EQ(lines->SetCaret(1), QZ_OK);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(TextWorld::Press(lines, kRight, kModifierShift), QZ_OK);
  }
  ASSERT_EQ(lines->GetSelectionRects().size(), 2u);
  EXPECT_EQ(lines->GetSelectionRects()[0], (RectT<float>{4 + 7, 2, 7, 16}));
  EXPECT_EQ(lines->GetSelectionRects()[1], (RectT<float>{4, 18, 14, 16}));
}

// =============================================================================================
// Edits and the clipboard
// =============================================================================================

TEST_F(TextBoxTest, EditsNeedASelectionAndPasteNeedsRoom) {
  Start(u"abc", 1);
  for (int32_t code : {LControl::kEditDelete, LControl::kEditCut, LControl::kEditCopy}) {
    EXPECT_FALSE(box->CanPaste(code)) << code;
    EXPECT_EQ(box->PerformEdit(code), QZ_E_FAIL) << code;
  }
  EXPECT_FALSE(box->CanPaste(LControl::kEditPaste)); // an empty clipboard
  EXPECT_EQ(box->PerformEdit(LControl::kEditPaste), QZ_E_FAIL);
  EXPECT_FALSE(box->CanPaste(7));
  EXPECT_EQ(box->PerformEdit(7), QZ_E_FAIL);

  Select(u"abcdef", 1, 2);
  EXPECT_TRUE(box->CanPaste(LControl::kEditCopy));
  EXPECT_EQ(box->PerformEdit(LControl::kEditCopy), QZ_OK);
  EXPECT_EQ(world.system->text, "bc");
  EXPECT_EQ(box->PerformEdit(LControl::kEditCut), QZ_OK);
  EXPECT_EQ(TextOf(box), u"adef");
  EXPECT_EQ(world.system->text, "bc");

  // Paste at the caret, then over a selection; the caret after the pasted text.
  EXPECT_EQ(box->SetCaret(4), QZ_OK);
  EXPECT_EQ(box->PerformEdit(LControl::kEditPaste), QZ_OK);
  EXPECT_EQ(TextOf(box), u"adefbc");
  EXPECT_EQ(box->GetCaret(), 6);
  Select(u"adefbc", 0, 3);
  EXPECT_EQ(box->PerformEdit(LControl::kEditPaste), QZ_OK);
  EXPECT_EQ(TextOf(box), u"bcfbc");
  ExpectSelection(0, 0, 2);
  Select(u"bcfbc", 2, 1);
  EXPECT_EQ(box->PerformEdit(LControl::kEditDelete), QZ_OK);
  EXPECT_EQ(TextOf(box), u"bcbc");

  // Room: the maximum against the text without the selection.
  box->SetMaxLength(5);
  Start(u"bcbc", 4);
  EXPECT_FALSE(box->CanPaste(LControl::kEditPaste));
  EXPECT_EQ(box->PerformEdit(LControl::kEditPaste), QZ_E_FAIL);
  EXPECT_EQ(TextOf(box), u"bcbc");
  Select(u"bcbc", 0, 1);
  EXPECT_TRUE(box->CanPaste(LControl::kEditPaste));
  EXPECT_EQ(box->PerformEdit(LControl::kEditPaste), QZ_OK);
  EXPECT_EQ(TextOf(box), u"bccbc");
}

// A paste that puts back the text it replaces still ends the selection, the caret after
// the pasted text: by PerformEdit, and by the menu's Paste over all of the text with the
// caret left at 0 by Ctrl+A.
TEST_F(TextBoxTest, PastingTheSelectedTextOverItEndsTheSelection) {
  ASSERT_TRUE(Focus(box));
  ASSERT_EQ(world.clipboard->SetText(MakeStringableWrapper(u"bc")), QZ_OK);
  Select(u"abcd", 1, 2);
  EXPECT_EQ(box->PerformEdit(LControl::kEditPaste), QZ_OK);
  EXPECT_EQ(TextOf(box), u"abcd");
  ExpectCaretAlone(3, "bc over bc");
  Choose(u"NID_EDIT_PASTE_REQ");
  EXPECT_EQ(TextOf(box), u"abcbcd");
  ExpectCaretAlone(5, "bc at the caret");

  Start(u"bc", 0);
  EXPECT_EQ(box->OnKeyDown(QZTest::KeyPress('A', kModifierCtrl)), QZ_FALSE);
  Choose(u"NID_EDIT_PASTE_REQ");
  EXPECT_EQ(TextOf(box), u"bc");
  ExpectCaretAlone(2, "bc over all of bc");
}

TEST_F(TextBoxTest, CtrlCWithTheBoxFocusedCopiesItsSelectionThroughTheEditRequest) {
  const RCPtr<LStringTable> texts = world.skin.application.factory->GetApplicationStringTable();
  const RCPtr<LGlobalHotKeyManager> keys(new LGlobalHotKeyManager(world.centre->GetPostingReceiver()));
  ASSERT_EQ(keys->GetHotKeyMap().ParseDefinitions(texts.Get(), u"GHK_WIN"), QZ_OK);
  world.skin.application.globalHotKeys = keys;
  ASSERT_TRUE(Focus(box));
  ASSERT_EQ(world.skin.window->focusedControl, RCPtr<LControl>(box));
  Select(u"abc def", 4, 3);

  EXPECT_EQ(TextWorld::Press(box, 'C', kModifierCtrl), QZ_OK);
  EXPECT_EQ(world.system->writes, 0); // posted: the next idle pass delivers it
  world.Drain();
  EXPECT_EQ(world.system->text, "def");
  EXPECT_EQ(TextOf(box), u"abc def");
}

TEST_F(TextBoxTest, TheContextMenuOffersTheFourEditsWithTheClipboardsVerdict) {
  const RCPtr<LMenuDescriptor> menu = box->GetContextMenuDescriptor();
  ASSERT_TRUE(menu);
  ASSERT_EQ(menu->GetItemCount(), 4u);
  const char16_t* labels[] = {u"Cut", u"Copy", u"Paste", u"Delete"};
  const char16_t* requests[] = {u"NID_EDIT_CUT_REQ", u"NID_EDIT_COPY_REQ", u"NID_EDIT_PASTE_REQ",
                                u"NID_EDIT_DELETE_REQ"};
  for (uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(menu->GetItem(i)->GetLabel(), labels[i]);
    EXPECT_EQ(menu->GetItem(i)->GetNotificationName(), requests[i]);
    EXPECT_TRUE(menu->GetItem(i)->IsEnabled());
  }

  ASSERT_TRUE(Focus(box));
  Select(u"abc", 0, 1);
  const auto enabled = [this, &menu](uint32_t index) {
    LMenuItemState state;
    EXPECT_EQ(box->GetMenuItemUpdater()->IsMenuItemEnabled(menu.Get(), int32_t(index),
                                                           menu->GetItem(index)->GetNotificationName(), state),
              QZ_OK);
    return state.enabled;
  };
  EXPECT_TRUE(enabled(0));
  EXPECT_TRUE(enabled(1));
  EXPECT_FALSE(enabled(2)); // nothing to paste
  EXPECT_TRUE(enabled(3));
  LMenuItemState state;
  EXPECT_EQ(box->IsMenuItemEnabled(menu.Get(), 0, u"NID_OTHER", state), QZ_FALSE);

  // A chosen item, delivered to the box as the pop-up menu does, reaches the box again
  // through the application's edit request.
  EXPECT_EQ(box->ReceiveNotification(nullptr, LNotification::Create(u"NID_EDIT_CUT_REQ")), QZ_FALSE);
  world.Drain();
  EXPECT_EQ(TextOf(box), u"bc");
  EXPECT_EQ(world.system->text, "a");
  EXPECT_TRUE(enabled(2));
}

TEST_F(TextBoxTest, AnotherProgramEmptyingTheClipboardTurnsPasteOff) {
  ASSERT_TRUE(Focus(box));
  ASSERT_EQ(world.clipboard->SetText(MakeStringableWrapper(u"xyz")), QZ_OK);
  EXPECT_TRUE(world.clipboard->CanPerformEdit(LControl::kEditPaste));
  world.system->text.clear();
  EXPECT_EQ(world.clipboard->OnClipboardUpdate(), QZ_OK);
  EXPECT_FALSE(world.clipboard->CanPerformEdit(LControl::kEditPaste));
  EXPECT_FALSE(world.clipboard->GetText());
}

TEST_F(TextBoxTest, AHalfOfAPairLeftByBackspaceLeavesAsAReplacementCharacter) {
  world.system->text = "a\xF0\x9F\x98\x80"; // another program's "a" and U+1F600
  EXPECT_EQ(world.clipboard->OnClipboardUpdate(), QZ_OK);
  Start(u"", 0);
  EXPECT_EQ(box->PerformEdit(LControl::kEditPaste), QZ_OK);
  EXPECT_EQ(TextOf(box), u"a\U0001F600");
  EXPECT_EQ(box->GetCaret(), 3);
  EXPECT_EQ(TextWorld::Press(box, kBack), QZ_OK);
  EXPECT_EQ(TextOf(box), u"a\xD83D");
  EXPECT_EQ(box->OnKeyDown(QZTest::KeyPress('A', kModifierCtrl)), QZ_FALSE);
  EXPECT_EQ(box->PerformEdit(LControl::kEditCopy), QZ_OK);
  EXPECT_EQ(world.system->text, "a\xEF\xBF\xBD");
}

TEST_F(TextBoxTest, WithoutAnApplicationStringTableThereIsNoContextMenu) {
  QZTest::WidgetSkin bare("TextBox.xml", [](LControlFactory& factory) {
    factory.RegisterControlCreateFunction(u"Framework.TextBox", &CreateControlOf<LTextBox>);
  });
  ASSERT_TRUE(bare.Create(u"boxes"));
  ASSERT_EQ(bare.top->SubscribeNotifications(), QZ_OK);
  const RCPtr<LTextBox> plain = bare.Find<LTextBox>({u"plain"});
  ASSERT_TRUE(plain);
  EXPECT_FALSE(plain->GetContextMenuDescriptor());
}

// =============================================================================================
// Validation and text changes
// =============================================================================================

TEST_F(TextBoxTest, AValidatingListenerCanVetoOrCorrect) {
  const RCPtr<QZTest::TimedRecorder> heard =
      QZTest::TimedRecorder::Listen(box, {u"NID_TEXTBOX_VALIDATING", u"NID_TEXTBOX_VALIDATED"});
  Start(u"17", 2);

  heard->onHeard = [](const RCPtr<LNotification>& notification) {
    if (notification->GetID() == GetNotificationID(u"NID_TEXTBOX_VALIDATING")) {
      DynamicCast<LTextValidationParams>(notification->GetParameter())->SetValid(false);
    }
  };
  EXPECT_EQ(TextWorld::Press(box, kEnter), QZ_OK);
  EXPECT_EQ(heard->Count("NID_TEXTBOX_VALIDATING"), 1u);
  EXPECT_EQ(heard->Count("NID_TEXTBOX_VALIDATED"), 0u);
  EXPECT_EQ(TextOf(box), u"17");

  heard->onHeard = [](const RCPtr<LNotification>& notification) {
    if (notification->GetID() == GetNotificationID(u"NID_TEXTBOX_VALIDATING")) {
      DynamicCast<LTextValidationParams>(notification->GetParameter())->SetText(u"42");
    }
  };
  EXPECT_EQ(box->OnKeyDown(QZTest::KeyPress(kEnter)), QZ_FALSE);
  EXPECT_EQ(TextOf(box), u"42");
  ASSERT_EQ(heard->Count("NID_TEXTBOX_VALIDATED"), 1u);
  const RCPtr<LTextValidationParams> validated = DynamicCast<LTextValidationParams>(heard->heard.back().parameter);
  ASSERT_TRUE(validated);
  EXPECT_EQ(validated->GetText(), u"42");
  EXPECT_EQ(validated->GetOriginalText(), u"17");
  EXPECT_EQ(box->GetCaret(), 2);
}

TEST_F(TextBoxTest, AVetoKeepsTheFocusInTheBox) {
  const RCPtr<LTextBox> other = world.skin.Find<LTextBox>({u"labelled"});
  ASSERT_TRUE(other);
  ASSERT_TRUE(Focus(box));
  const RCPtr<QZTest::TimedRecorder> heard = QZTest::TimedRecorder::Listen(box, {u"NID_TEXTBOX_VALIDATING"});
  heard->onHeard = [](const RCPtr<LNotification>& notification) {
    DynamicCast<LTextValidationParams>(notification->GetParameter())->SetValid(false);
  };
  EXPECT_EQ(other->SetFocus(true), QZ_E_FAIL);
  EXPECT_TRUE(box->HasFocus());
  heard->onHeard = nullptr;
  EXPECT_TRUE(Focus(other));
  EXPECT_EQ(heard->Count("NID_TEXTBOX_VALIDATING"), 2u);
}

TEST_F(TextBoxTest, TheSameTextTwiceChangesOnce) {
  const RCPtr<QZTest::TimedRecorder> heard = QZTest::TimedRecorder::Listen(box, {u"NID_TEXTBOX_TEXT_CHANGE"});
  EXPECT_FALSE(box->HasTextChanged());
  EXPECT_EQ(box->SetText(u"same"), QZ_OK);
  EXPECT_EQ(box->SetText(u"same"), QZ_FALSE);
  EXPECT_EQ(heard->Count("NID_TEXTBOX_TEXT_CHANGE"), 1u);
  EXPECT_EQ(heard->heard[0].parameter, RCPtr<LRefCountedObject>(box));
  EXPECT_TRUE(box->HasTextChanged());
  // The client extent is the text's size.
  EXPECT_EQ(box->GetClientExtent(), (SizeT<double>{28, 16}));
  EXPECT_EQ(box->GetCaret(), 0);
}

// =============================================================================================
// Looks, cursor, tool tip and blink
// =============================================================================================

TEST_F(TextBoxTest, LooksShowTheHintFocusHoverAndTheDisabledState) {
  const RCPtr<LTextBox> hinted = world.skin.Find<LTextBox>({u"hinted"});
  ASSERT_TRUE(hinted);
  EXPECT_EQ(hinted->GetHintText(), u"Type a name");
  EXPECT_EQ(TextOf(hinted), u"");
  EXPECT_EQ(hinted->GetCurrentLookIndex(), LTextBox::kLookHint);
  EXPECT_EQ(hinted->GetLook(LTextBox::kLookHint)->GetFontText()->GetText(), u"Type a name");

  ASSERT_TRUE(Focus(hinted));
  EXPECT_EQ(hinted->GetCurrentLookIndex(), LTextBox::kLookFocused);
  EXPECT_EQ(TextWorld::Type(hinted, u"x"), QZ_OK);
  EXPECT_EQ(hinted->GetLook(LTextBox::kLookHint)->GetFontText()->GetText(), u"Type a name");
  ASSERT_TRUE(Focus(box));
  EXPECT_EQ(hinted->GetCurrentLookIndex(), LTextBox::kLookNormal);
  world.skin.pointer.MoveTo(hinted, 5, 5);
  EXPECT_EQ(hinted->GetCurrentLookIndex(), LTextBox::kLookHover);
  ASSERT_EQ(hinted->SetEnabled(false), QZ_OK);
  EXPECT_EQ(hinted->GetCurrentLookIndex(), LTextBox::kLookDisabled);
  ASSERT_EQ(hinted->SetEnabled(true), QZ_OK);
  ASSERT_EQ(TextWorld::Press(box, kLeft), QZ_OK); // the focus stays in "plain"
  ASSERT_EQ(hinted->SetText(u""), QZ_OK);
  EXPECT_EQ(hinted->GetCurrentLookIndex(), LTextBox::kLookHint);

  // A skin label is the text; a box with one look stays on it.
  const RCPtr<LTextBox> labelled = world.skin.Find<LTextBox>({u"labelled"});
  EXPECT_EQ(TextOf(labelled), u"given");
  EXPECT_EQ(labelled->GetCurrentLookIndex(), LTextBox::kLookNormal);
  const RCPtr<LTextBox> single = world.skin.Find<LTextBox>({u"single"});
  EXPECT_EQ(single->GetCurrentLookIndex(), 0);
}

TEST_F(TextBoxTest, ThePointerOverTheBoxIsTheIBeam) {
  world.skin.pointer.MoveTo(box, 5, 5);
  EXPECT_EQ(world.skin.window->cursor, world.skin.application.Cursor(u"UI_CURSOR_IBEAM"));
  world.skin.pointer.MoveToWindow(400, 400);
  EXPECT_NE(world.skin.window->cursor, world.skin.application.Cursor(u"UI_CURSOR_IBEAM"));
}

TEST_F(TextBoxTest, TheToolTipIsTheTextWhileItIsCutOff) {
  EXPECT_EQ(box->GetToolTipText(), u"");
  ASSERT_EQ(box->SetText(u"a text much wider than the box"), QZ_OK);
  EXPECT_EQ(box->GetToolTipText(), u"a text much wider than the box");
}

TEST_F(TextBoxTest, TheCaretBlinksOnlyWhileFocused) {
  world.skin.TickAt(1.0);
  ASSERT_TRUE(Focus(box));
  EXPECT_TRUE(box->IsCaretVisible());
  world.skin.TickAt(1.49);
  EXPECT_TRUE(box->IsCaretVisible());
  world.skin.TickAt(1.5);
  EXPECT_FALSE(box->IsCaretVisible());
  world.skin.TickAt(1.79);
  EXPECT_FALSE(box->IsCaretVisible());
  world.skin.TickAt(1.8);
  EXPECT_TRUE(box->IsCaretVisible());
  // Typing shows the caret again for a whole phase.
  world.skin.TickAt(2.25);
  EXPECT_EQ(TextWorld::Type(box, u"a"), QZ_OK);
  world.skin.TickAt(2.74);
  EXPECT_TRUE(box->IsCaretVisible());

  const RCPtr<LTextBox> other = world.skin.Find<LTextBox>({u"labelled"});
  ASSERT_TRUE(Focus(other));
  EXPECT_FALSE(box->IsCaretVisible());
  EXPECT_EQ(box->GetIdleRequestCount(), 0);
  world.skin.TickAt(4.0);
  world.skin.TickAt(5.0);
  EXPECT_FALSE(box->IsCaretVisible());
}

} // namespace
} // namespace QZ
