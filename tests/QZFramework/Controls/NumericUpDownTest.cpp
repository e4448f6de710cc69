// The numeric up-down: stepping with its buttons and the arrow keys, typed numbers checked
// and kept within the range, the text's format whatever the locale, its range, its
// focus, and a skin that leaves parts out.

#include <gtest/gtest.h>

#include <string>

#include "Support/CommaDecimalLocale.h"
#include "Support/StringPrinter.h"
#include "TextBoxTestSupport.h"

namespace QZ {
namespace {

using QZTest::TextWorld;

constexpr uint8_t kEnter = 0x0D;
constexpr uint8_t kTab = 0x09;
constexpr uint8_t kUp = 0x26;
constexpr uint8_t kDown = 0x28;

class NumericUpDownTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(world.skin.loaded, QZ_OK);
    number = world.Create<LNumericUpDown>(u"updowns", {u"number"});
    ASSERT_TRUE(number);
    box = number->GetTextBox();
    ASSERT_TRUE(box);
    ASSERT_TRUE(number->GetButtonUp());
    ASSERT_TRUE(number->GetButtonDown());
  }

  // The range 0 .. 127 at value.
  void AtValue(double value) {
    ASSERT_EQ(number->SetValueRange(0.0, 127.0, 0), QZ_OK);
    number->SetValue(number->ValueToNormalized(value));
  }
  double Value() const { return number->NormalizedToValue(number->GetValue()); }
  std::u16string Text() const { return std::u16string(box->GetText().View()); }
  // The box's text replaced by typing (with the focus in the box), then Enter.
  void TypeAndEnter(const std::u16string& typed) {
    ASSERT_TRUE(Succeeded(box->SetFocus(true)));
    box->SetText(u"", false);
    EXPECT_EQ(TextWorld::Type(box, typed), QZ_OK);
    ASSERT_EQ(Text(), typed);
    TextWorld::Press(box, kEnter);
  }
  // "NID_BUTTON_AUTOREPEAT" from button, as a held button reports it.
  static void Repeat(const RCPtr<LButton>& button) {
    (void)button->SendNotification(LNotification::Create(u"NID_BUTTON_AUTOREPEAT")); // 0
  }

  TextWorld world{"UpDown.xml"};
  RCPtr<LNumericUpDown> number;
  RCPtr<LTextBox> box;
};

TEST_F(NumericUpDownTest, TheButtonsStepTheValueWithinTheRange) {
  AtValue(64.0);
  EXPECT_EQ(Text(), u"64");
  const RCPtr<QZTest::TimedRecorder> changes = QZTest::TimedRecorder::Listen(number, {u"NID_VALUE_CHANGE"});
  Repeat(number->GetButtonUp());
  EXPECT_DOUBLE_EQ(Value(), 65.0);
  EXPECT_EQ(Text(), u"65");
  EXPECT_EQ(changes->Count("NID_VALUE_CHANGE"), 1u);
  Repeat(number->GetButtonDown());
  Repeat(number->GetButtonDown());
  EXPECT_DOUBLE_EQ(Value(), 63.0);

  AtValue(127.0);
  const size_t before = changes->Count("NID_VALUE_CHANGE");
  Repeat(number->GetButtonUp());
  EXPECT_DOUBLE_EQ(Value(), 127.0);
  EXPECT_EQ(Text(), u"127");
  EXPECT_EQ(changes->Count("NID_VALUE_CHANGE"), before);
  AtValue(0.0);
  Repeat(number->GetButtonDown());
  EXPECT_EQ(Text(), u"0");
  // Another distributor's repeat is not the up-down's.
  EXPECT_EQ(number->ReceiveNotification(box, LNotification::Create(u"NID_BUTTON_AUTOREPEAT")), QZ_OK);
  EXPECT_EQ(Text(), u"0");
}

TEST_F(NumericUpDownTest, HeldButtonsRepeatAtOnceThenAfterAPauseThenSteadily) {
  AtValue(10.0);
  world.skin.TickAt(1.0);
  world.skin.pointer.MoveTo(number->GetButtonUp(), 5, 5);
  world.skin.pointer.Press();
  EXPECT_DOUBLE_EQ(Value(), 11.0);
  world.skin.TickEveryMs(50, 1500); // 0.3 s, then every 0.1 s: 1.3, 1.4, 1.5
  EXPECT_DOUBLE_EQ(Value(), 14.0);
  world.skin.pointer.Release();
  world.skin.TickEveryMs(50, 2000);
  EXPECT_DOUBLE_EQ(Value(), 14.0);
}

TEST_F(NumericUpDownTest, TheArrowKeysClickTheButtonsWhenTheirFlashEnds) {
  AtValue(64.0);
  world.skin.TickAt(2.0);
  ASSERT_TRUE(Succeeded(box->SetFocus(true)));
  EXPECT_EQ(TextWorld::Press(box, kUp), QZ_OK);
  EXPECT_DOUBLE_EQ(Value(), 64.0);
  world.skin.TickAt(2.1);
  EXPECT_DOUBLE_EQ(Value(), 64.0);
  world.skin.TickAt(2.15);
  EXPECT_DOUBLE_EQ(Value(), 65.0);
  EXPECT_EQ(TextWorld::Press(box, kDown), QZ_OK);
  world.skin.TickAt(2.3);
  EXPECT_DOUBLE_EQ(Value(), 64.0);
  // With a modifier the arrow is not the buttons'.
  EXPECT_EQ(TextWorld::Press(box, kUp, kModifierShift), QZ_FALSE);
  world.skin.TickAt(2.5);
  EXPECT_DOUBLE_EQ(Value(), 64.0);
}

TEST_F(NumericUpDownTest, TypedNumbersAreKeptWithinTheRange) {
  AtValue(64.0);
  TypeAndEnter(u"200");
  EXPECT_DOUBLE_EQ(Value(), 127.0);
  EXPECT_EQ(Text(), u"127");
  TypeAndEnter(u"12");
  EXPECT_DOUBLE_EQ(Value(), 12.0);
  EXPECT_EQ(Text(), u"12");
}

// Ctrl+A and a number typed over the one shown, as the user replaces a value: the first
// digit repeating the old text does not keep it selected for the second to replace.
TEST_F(NumericUpDownTest, ANumberTypedOverTheWholeTextIsTakenAsTyped) {
  AtValue(1.0);
  ASSERT_TRUE(Succeeded(box->SetFocus(true)));
  EXPECT_EQ(box->OnKeyDown(QZTest::KeyPress('A', kModifierCtrl)), QZ_FALSE);
  EXPECT_EQ(TextWorld::Type(box, u"11"), QZ_OK);
  EXPECT_EQ(Text(), u"11");
  TextWorld::Press(box, kEnter); // accepted: the key goes on
  EXPECT_DOUBLE_EQ(Value(), 11.0);
  EXPECT_EQ(Text(), u"11");
}

TEST_F(NumericUpDownTest, TextThatIsNoNumberShowsTheValueAgain) {
  ASSERT_EQ(number->SetValueRange(-10.0, 10.0, 0), QZ_OK);
  number->SetDecimals(2);
  number->SetValue(number->ValueToNormalized(5.0));
  struct Case {
    const char16_t* typed;
    const char16_t* shown;
    double value;
  };
  const Case cases[] = {
      {u"5-", u"5.00", 5.0},     {u"-", u"5.00", 5.0},       {u"1.2.3", u"5.00", 5.0}, {u".", u"5.00", 5.0},
      {u"-2.5", u"-2.50", -2.5}, {u"-20", u"-10.00", -10.0}, {u"7.", u"7.00", 7.0},
  };
  for (const Case& c : cases) {
    TypeAndEnter(c.typed);
    EXPECT_EQ(Text(), c.shown) << QZTest::Utf8(WString(c.typed));
    EXPECT_DOUBLE_EQ(Value(), c.value) << QZTest::Utf8(WString(c.typed));
  }
  // Emptied and committed: the value again.
  box->SetText(u"", false);
  EXPECT_TRUE(box->Commit());
  EXPECT_EQ(Text(), u"7.00");
}

TEST_F(NumericUpDownTest, TheTypedFormOfTheValueStaysUnlessAtABoundOrZero) {
  ASSERT_EQ(number->SetValueRange(0.0, 127.0, 0), QZ_OK);
  number->SetDecimals(1);
  number->SetValue(number->ValueToNormalized(5.0));
  TypeAndEnter(u"5.0");
  EXPECT_EQ(Text(), u"5.0");
  number->SetDecimals(0);
  TypeAndEnter(u"05");
  EXPECT_EQ(Text(), u"05");
  EXPECT_DOUBLE_EQ(Value(), 5.0);
  number->SetValue(0.0);
  number->SetDecimals(1);
  TypeAndEnter(u"0.00");
  EXPECT_EQ(Text(), u"0.0");
  // With no decimals "." cannot be typed; pasted, it is read.
  number->SetDecimals(0);
  box->SetText(u"0.0", false);
  TextWorld::Press(box, kEnter); // accepted: the key goes on
  EXPECT_EQ(Text(), u"0");
  number->SetValue(1.0);
  TypeAndEnter(u"0127");
  EXPECT_EQ(Text(), u"127");
}

TEST_F(NumericUpDownTest, TheFilterFollowsTheDecimalsAndTheRange) {
  struct Case {
    int32_t decimals;
    double minimum;
    const char16_t* filter;
  };
  const Case cases[] = {
      {0, 0.0, u"0123456789"},
      {2, 0.0, u"0123456789."},
      {0, -10.0, u"0123456789-"},
      {2, -10.0, u"0123456789.-"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(number->SetValueRange(c.minimum, 127.0, 0), QZ_OK);
    number->SetDecimals(c.decimals);
    EXPECT_EQ(box->GetCharacterFilter(), c.filter);
    EXPECT_TRUE(box->IsFilterAllowList());
  }

  ASSERT_EQ(number->SetValueRange(0.0, 127.0, 0), QZ_OK);
  number->SetDecimals(0);
  ASSERT_TRUE(Succeeded(box->SetFocus(true)));
  box->SetText(u"", false);
  EXPECT_EQ(TextWorld::Type(box, u"1.-2"), QZ_OK);
  EXPECT_EQ(Text(), u"12");
  ASSERT_EQ(number->SetValueRange(-10.0, 127.0, 0), QZ_OK);
  number->SetDecimals(2);
  box->SetText(u"", false);
  EXPECT_EQ(TextWorld::Type(box, u"-1.5"), QZ_OK);
  EXPECT_EQ(Text(), u"-1.5");
}

TEST_F(NumericUpDownTest, ItsOwnValidatingListenersComeFirstAndMayVeto) {
  AtValue(64.0);
  const RCPtr<QZTest::TimedRecorder> heard =
      QZTest::TimedRecorder::Listen(number, {u"NID_TEXTBOX_VALIDATING", u"NID_TEXTBOX_VALIDATED"});
  heard->onHeard = [](const RCPtr<LNotification>& notification) {
    if (notification->GetID() == GetNotificationID(u"NID_TEXTBOX_VALIDATING")) {
      DynamicCast<LTextValidationParams>(notification->GetParameter())->SetValid(false);
    }
  };
  TypeAndEnter(u"200");
  EXPECT_EQ(Text(), u"200");
  EXPECT_DOUBLE_EQ(Value(), 64.0);
  EXPECT_EQ(heard->Count("NID_TEXTBOX_VALIDATED"), 0u);

  heard->onHeard = nullptr;
  heard->heard.clear();
  TypeAndEnter(u"100");
  EXPECT_DOUBLE_EQ(Value(), 100.0);
  // The box's validation, and the one the new value's commit runs inside it, each
  // forwarded with the box's parameter.
  ASSERT_GE(heard->Count("NID_TEXTBOX_VALIDATED"), 1u);
  const RCPtr<LTextValidationParams> last = DynamicCast<LTextValidationParams>(heard->heard.back().parameter);
  ASSERT_TRUE(last);
  EXPECT_EQ(last->GetText(), u"100");
}

TEST_F(NumericUpDownTest, EveryValueChangeValidatesTheNewText) {
  AtValue(3.0);
  const RCPtr<QZTest::TimedRecorder> heard =
      QZTest::TimedRecorder::Listen(number, {u"NID_TEXTBOX_VALIDATING", u"NID_TEXTBOX_VALIDATED"});
  number->SetValue(number->ValueToNormalized(9.0));
  EXPECT_EQ(heard->Count("NID_TEXTBOX_VALIDATING"), 1u);
  EXPECT_EQ(heard->Count("NID_TEXTBOX_VALIDATED"), 1u);
  EXPECT_EQ(Text(), u"9");
  EXPECT_EQ(box->GetCaret(), 0);
}

TEST_F(NumericUpDownTest, ARangeThatCannotBeIsRefusedWhole) {
  AtValue(64.0);
  EXPECT_EQ(number->SetValueRange(0.0, 127.0, 1), QZ_E_INVALIDARG);
  EXPECT_EQ(number->SetValueRange(1.0, 127.0, 2), QZ_E_INVALIDARG);
  EXPECT_EQ(number->GetRangeMinimum(), 0.0);
  EXPECT_EQ(number->GetRangeMaximum(), 127.0);
  EXPECT_EQ(number->GetScaleType(), 0);
  EXPECT_EQ(Text(), u"64");

  // A new range shows the value in it, neither clamped nor sent again.
  const RCPtr<QZTest::TimedRecorder> changes = QZTest::TimedRecorder::Listen(number, {u"NID_VALUE_CHANGE"});
  const double stored = number->GetValue();
  EXPECT_EQ(number->SetValueRange(1.0, 1000.0, 1), QZ_OK);
  EXPECT_EQ(number->GetValue(), stored);
  EXPECT_EQ(Text(), WString::Format(u"%0.0f", number->NormalizedToValue(stored)).View());
  EXPECT_EQ(changes->Count("NID_VALUE_CHANGE"), 0u);
}

TEST_F(NumericUpDownTest, TextAndNumbersUseAPointWhateverTheLocale) {
  QZTest::CommaDecimalLocale comma;
  ASSERT_TRUE(comma.Active());
  ASSERT_EQ(number->SetValueRange(0.0, 10.0, 0), QZ_OK);
  number->SetDecimals(2);
  EXPECT_EQ(number->SetText(u"2.5"), QZ_OK);
  EXPECT_DOUBLE_EQ(Value(), 2.5);
  EXPECT_EQ(Text(), u"2.50");
  number->SetDecimalPlaces(1);
  EXPECT_EQ(number->GetDecimals(), 1);
  EXPECT_EQ(Text(), u"2.5");
  number->SetDecimals(-1);
  EXPECT_EQ(number->GetDecimals(), 1);
  EXPECT_EQ(number->SetText(u"3,7"), QZ_OK); // a comma ends the number
  EXPECT_DOUBLE_EQ(Value(), 3.0);
}

TEST_F(NumericUpDownTest, AValueThatRoundsToZeroShowsNoSign) {
  ASSERT_EQ(number->SetValueRange(-1.0, 1.0, 0), QZ_OK);
  number->SetValue(0.4999);
  EXPECT_EQ(Text(), u"0");
  number->SetDecimals(2);
  EXPECT_EQ(Text(), u"0.00");
  number->SetValue(0.25);
  EXPECT_EQ(Text(), u"-0.50");
}

TEST_F(NumericUpDownTest, TheFocusGoesToThePartsAndTabVisitsThem) {
  EXPECT_TRUE(number->CanTakeFocus());
  EXPECT_FALSE(number->IsFocusDelegated(false));
  EXPECT_FALSE(number->GetButtonUp()->IsFocusDelegated(false));
  EXPECT_FALSE(number->GetButtonDown()->IsFocusDelegated(false));
  ASSERT_TRUE(Succeeded(number->SetFocus(true)));
  EXPECT_TRUE(box->HasFocus());
  EXPECT_TRUE(number->ContainsFocus());
  EXPECT_TRUE(Succeeded(TextWorld::Press(box, kTab)));
  EXPECT_TRUE(number->GetButtonUp()->HasFocus());
  EXPECT_TRUE(Succeeded(TextWorld::Press(number->GetButtonUp(), kTab)));
  EXPECT_TRUE(number->GetButtonDown()->HasFocus());
}

TEST_F(NumericUpDownTest, WithoutButtonsTheArrowsGoOnAndTypingStillWorks) {
  const RCPtr<LNumericUpDown> partless = world.skin.Find<LNumericUpDown>({u"partless"});
  ASSERT_TRUE(partless);
  EXPECT_FALSE(partless->GetButtonUp());
  EXPECT_FALSE(partless->GetButtonDown());
  const RCPtr<LTextBox> text = partless->GetTextBox();
  ASSERT_TRUE(text);
  ASSERT_EQ(partless->SetValueRange(0.0, 50.0, 0), QZ_OK);
  ASSERT_TRUE(Succeeded(text->SetFocus(true)));
  EXPECT_EQ(TextWorld::Press(text, kUp), QZ_FALSE);
  text->SetText(u"", false);
  EXPECT_EQ(TextWorld::Type(text, u"30"), QZ_OK);
  TextWorld::Press(text, kEnter); // accepted: the key goes on
  EXPECT_DOUBLE_EQ(partless->NormalizedToValue(partless->GetValue()), 30.0);
}

} // namespace
} // namespace QZ
