#include <gtest/gtest.h>

#include "QZFramework/ControlBase/ControlParams.h"
#include "Support/StringPrinter.h"
#include "WidgetSkinTestSupport.h"

namespace QZ {
namespace {

using QZTest::KeyPress;
using QZTest::TimedRecorder;
using QZTest::WidgetSkin;

constexpr uint8_t kEnter = 0x0D;

// A button whose condition flags the test sets.
class ButtonProbe : public LButton {
public:
  using LButton::LButton;

  void SetState(bool focus, bool over, bool capture, bool down, bool drag) {
    mHasFocus = focus;
    mMouseOver = over;
    mCapture = capture;
    mPressed[0] = down;
    mDragging[0] = drag;
  }
};

// A button whose "NID_SIMULATE_CLICK" route cannot be registered.
class RefusingButton : public LButton {
public:
  using LButton::LButton;

protected:
  QZResult SubscribeSimulateClick() override { return QZ_E_FAIL; }
};

void RegisterProbes(LControlFactory& factory) {
  factory.RegisterControlCreateFunction(u"Framework.Button", &CreateControlOf<ButtonProbe>);
}

TEST(ButtonTest, TheLookFollowsValueFocusPointerPressAndEnabledState) {
  WidgetSkin skin("Buttons.xml", RegisterProbes);
  ASSERT_EQ(skin.loaded, QZ_OK);
  ASSERT_TRUE(skin.Create(u"buttons"));
  const RCPtr<ButtonProbe> button = skin.Find<ButtonProbe>({u"fourteen"});
  ASSERT_TRUE(button);
  ASSERT_EQ(button->GetLooks().GetCount(), 14u);
  EXPECT_EQ(button->GetCurrentLookIndex(), 0);

  struct Row {
    const char* state;
    double value;
    bool enabled;
    bool focus, over, capture, down, drag, pressedOutside;
    int32_t look;
  };
  const Row rows[] = {
      {"normal", 0.0, true, false, false, false, false, false, false, 0},
      {"just below on", 0.4999, true, false, false, false, false, false, false, 0},
      {"hover", 0.0, true, false, true, false, false, false, false, 1},
      {"over with a capture but no left press", 0.0, true, false, true, true, false, false, false, 0},
      {"pressed", 0.0, true, false, true, true, true, false, false, 2},
      {"dragged over it", 0.0, true, false, true, true, false, true, false, 2},
      {"held, pointer outside", 0.0, true, false, false, true, true, false, false, 1},
      {"held outside, pressed outside", 0.0, true, false, false, true, false, true, true, 2},
      {"focus", 0.0, true, true, false, false, false, false, false, 3},
      {"focus, hover", 0.0, true, true, true, false, false, false, false, 4},
      {"focus, pressed", 0.0, true, true, true, true, true, false, false, 5},
      {"exactly on", 0.5, true, false, false, false, false, false, false, 7},
      {"on, hover", 1.0, true, false, true, false, false, false, false, 8},
      {"on, pressed", 1.0, true, false, true, true, true, false, false, 9},
      {"on, held outside", 1.0, true, false, false, true, true, false, false, 8},
      {"on, held outside, pressed outside", 1.0, true, false, false, true, true, false, true, 9},
      {"on, focus", 1.0, true, true, false, false, false, false, false, 10},
      {"on, focus, hover", 1.0, true, true, true, false, false, false, false, 11},
      {"on, focus, pressed", 1.0, true, true, true, true, true, false, false, 12},
      {"disabled", 0.0, false, false, false, false, false, false, false, 6},
      {"disabled with focus and hover", 0.0, false, true, true, false, false, false, false, 6},
      {"disabled, on, with focus", 1.0, false, true, false, false, false, false, false, 13},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.state);
    button->SetEnabled(row.enabled);
    button->SetValue(row.value);
    button->SetState(row.focus, row.over, row.capture, row.down, row.drag);
    button->SetPressedOutside(row.pressedOutside);
    EXPECT_EQ(button->UpdateLook(), QZ_OK);
    EXPECT_EQ(button->GetCurrentLookIndex(), row.look);
    EXPECT_EQ(button->GetLookWeight(uint32_t(row.look)), 1.0f);
    button->SetState(false, false, false, false, false);
  }

  // A passive button leaves its look to its owner.
  button->SetPassive(true);
  button->SetValue(0.0);
  EXPECT_EQ(button->GetCurrentLookIndex(), 13);
  EXPECT_FALSE(button->ContainsPoint({1, 1}));
  button->SetPassive(false);
  EXPECT_TRUE(button->ContainsPoint({1, 1}));
}

TEST(ButtonTest, SetCheckedCountsHalfAsOnAndASevenLookListKeepsItsLookWhenTurnedOn) {
  WidgetSkin skin("Buttons.xml");
  ASSERT_TRUE(skin.Create(u"buttons"));
  const RCPtr<LButton> fourteen = skin.Find<LButton>({u"fourteen"});
  const RCPtr<LButton> seven = skin.Find<LButton>({u"seven"});
  ASSERT_TRUE(fourteen && seven);

  EXPECT_EQ(fourteen->SetValue(0.5), 0.5);
  EXPECT_TRUE(fourteen->IsOn());
  EXPECT_EQ(fourteen->GetCurrentLookIndex(), 7);
  EXPECT_FALSE(fourteen->SetChecked(false));
  EXPECT_EQ(fourteen->GetCurrentLookIndex(), 0);
  EXPECT_TRUE(fourteen->SetChecked(true));
  EXPECT_EQ(fourteen->GetValue(), 1.0);

  ASSERT_EQ(seven->GetLooks().GetCount(), 7u);
  skin.pointer.MoveTo(seven, 5, 5);
  EXPECT_EQ(seven->GetCurrentLookIndex(), 1);
  EXPECT_TRUE(seven->SetChecked(true)); // look 8 is beyond its list
  EXPECT_EQ(seven->GetCurrentLookIndex(), 1);
  EXPECT_FALSE(seven->SetChecked(false));
  EXPECT_EQ(seven->GetCurrentLookIndex(), 1);
}

TEST(ButtonTest, APressedButtonDraggedOffShowsHoverUnlessItStaysPressedOutside) {
  WidgetSkin skin("Buttons.xml");
  ASSERT_TRUE(skin.Create(u"buttons"));
  const RCPtr<LButton> button = skin.Find<LButton>({u"fourteen"});
  ASSERT_TRUE(button);
  button->SetFocusable(true); // not focusable: the focus looks stay out of it
  const auto clicks = TimedRecorder::Listen(button, {u"NID_LEFT_CLICK"});

  for (const bool on : {false, true}) {
    for (const bool pressedOutside : {false, true}) {
      SCOPED_TRACE(std::string(on ? "on" : "off") + (pressedOutside ? ", pressed outside" : ""));
      button->SetChecked(on);
      button->SetPressedOutside(pressedOutside);
      const int32_t offset = on ? LButton::kLookOn : 0;
      skin.pointer.MoveTo(button, 5, 5);
      EXPECT_EQ(button->GetCurrentLookIndex(), 1 + offset);
      skin.pointer.Press();
      EXPECT_EQ(button->GetCurrentLookIndex(), 2 + offset);
      skin.pointer.MoveToWindow(5, 85); // over the panel, away from the button
      EXPECT_FALSE(button->IsMouseOver());
      EXPECT_EQ(button->GetCurrentLookIndex(), (pressedOutside ? 2 : 1) + offset);
      skin.pointer.MoveTo(button, 6, 6);
      EXPECT_EQ(button->GetCurrentLookIndex(), 2 + offset);
      skin.pointer.MoveToWindow(5, 85);
      skin.pointer.Release();
      EXPECT_EQ(button->GetCurrentLookIndex(), 0 + offset);
    }
  }
  EXPECT_EQ(clicks->Count("NID_LEFT_CLICK"), 0u); // every release was outside
  EXPECT_FALSE(button->HasFocus());
}

TEST(ButtonTest, ClicksToggleAndRadiosAndSetValueTurnsRadioSiblingsOff) {
  WidgetSkin skin("Buttons.xml");
  ASSERT_TRUE(skin.Create(u"buttons"));
  const RCPtr<LButton> toggle = skin.Find<LButton>({u"toggle"});
  const RCPtr<LButton> plain = skin.Find<LButton>({u"fourteen"});
  const RCPtr<LButton> radio[3] = {skin.Find<LButton>({u"radios", u"radio1"}),
                                   skin.Find<LButton>({u"radios", u"radio2"}),
                                   skin.Find<LButton>({u"radios", u"radio3"})};
  ASSERT_TRUE(toggle && plain && radio[0] && radio[1] && radio[2]);
  EXPECT_TRUE(toggle->GetAutoValueSet());
  EXPECT_FALSE(toggle->GetIsRadio());
  EXPECT_TRUE(radio[1]->GetAutoValueSet() && radio[1]->GetIsRadio()); // "true" and "TRUE"
  EXPECT_FALSE(plain->GetAutoValueSet() || plain->GetIsRadio());
  auto values = [&] { return std::vector<double>{radio[0]->GetValue(), radio[1]->GetValue(), radio[2]->GetValue()}; };

  skin.pointer.ClickAt(toggle, 5, 5);
  EXPECT_EQ(toggle->GetValue(), 1.0);
  skin.pointer.ClickAt(toggle, 5, 5);
  EXPECT_EQ(toggle->GetValue(), 0.0);
  skin.pointer.ClickAt(plain, 5, 5);
  EXPECT_EQ(plain->GetValue(), 0.0); // a push button keeps its value

  skin.pointer.ClickAt(radio[0], 5, 5);
  EXPECT_EQ(values(), (std::vector<double>{1, 0, 0}));
  skin.pointer.ClickAt(radio[1], 5, 5);
  EXPECT_EQ(values(), (std::vector<double>{0, 1, 0}));
  skin.pointer.ClickAt(radio[1], 5, 5); // an on radio stays on
  EXPECT_EQ(values(), (std::vector<double>{0, 1, 0}));
  EXPECT_EQ(radio[2]->SetValue(1.0), 1.0); // not a click: the group follows all the same
  EXPECT_EQ(values(), (std::vector<double>{0, 0, 1}));
  EXPECT_EQ(radio[2]->SetValue(0.0), 0.0); // turning one off touches nobody
  EXPECT_EQ(values(), (std::vector<double>{0, 0, 0}));
  // Radios of other parents are another group.
  toggle->SetIsRadio(true);
  EXPECT_EQ(toggle->SetValue(1.0), 1.0);
  EXPECT_EQ(radio[0]->SetValue(1.0), 1.0);
  EXPECT_EQ(toggle->GetValue(), 1.0);
}

TEST(ButtonTest, AHeldAutoRepeatButtonFiresAtOnceAfterThreeTenthsThenEveryTenthWhileThePointerIsOver) {
  struct Case {
    const char* what;
    bool leaveBetween; // the pointer outside from 0.35 s to 0.6 s
    std::vector<double> fired;
  };
  for (const Case& test : {Case{"held over the button", false, {0.0, 0.3, 0.4, 0.5, 0.6, 0.7}},
                           Case{"outside from 0.35 to 0.6 s", true, {0.0, 0.3, 0.65}}}) {
    SCOPED_TRACE(test.what);
    WidgetSkin skin("Buttons.xml");
    ASSERT_TRUE(skin.Create(u"buttons"));
    const RCPtr<LButton> button = skin.Find<LButton>({u"fourteen"});
    button->SetAutoRepeat(true);
    const auto heard = TimedRecorder::Listen(button, {u"NID_BUTTON_AUTOREPEAT"});

    skin.pointer.MoveTo(button, 5, 5);
    skin.pointer.Press();
    EXPECT_TRUE(button->IsRepeatActive());
    EXPECT_EQ(button->GetIdleRequestCount(), 1);
    if (test.leaveBetween) {
      skin.TickEveryMs(50, 350);
      skin.pointer.MoveToWindow(5, 85);
      skin.TickEveryMs(50, 550);
      skin.application.seconds = 0.6;
      skin.pointer.MoveTo(button, 5, 5);
      skin.TickAt(0.6);
    }
    skin.TickEveryMs(50, 740);
    EXPECT_EQ(heard->TimesOf("NID_BUTTON_AUTOREPEAT"), test.fired);

    skin.pointer.Release();
    EXPECT_FALSE(button->IsRepeatActive());
    EXPECT_EQ(button->GetIdleRequestCount(), 0);
    skin.TickEveryMs(50, 1000);
    EXPECT_EQ(heard->TimesOf("NID_BUTTON_AUTOREPEAT"), test.fired);
  }
}

TEST(ButtonTest, EnterFlashesThePressedLookThenClicksOnceAndModifiedEnterDoesNothing) {
  WidgetSkin skin("Buttons.xml");
  ASSERT_TRUE(skin.Create(u"buttons"));
  const RCPtr<LButton> button = skin.Find<LButton>({u"fourteen"});
  const auto heard = TimedRecorder::Listen(button, {u"NID_LEFT_CLICK"});
  button->SetFocus(true);
  ASSERT_TRUE(button->HasFocus());
  EXPECT_EQ(button->GetCurrentLookIndex(), 3);

  for (const uint32_t modifiers :
       {kModifierShift | kModifierLeftShift, kModifierCtrl | kModifierLeftCtrl, kModifierAlt | kModifierLeftAlt}) {
    button->OnKey(KeyPress(kEnter, modifiers)); // nobody takes it
    EXPECT_FALSE(button->IsFlashActive());
  }
  EXPECT_EQ(button->OnKeyDown(KeyPress(u' ')), QZ_FALSE); // Space does nothing

  skin.application.seconds = 1.0;
  EXPECT_EQ(button->OnKey(KeyPress(kEnter)), QZ_OK);
  EXPECT_TRUE(button->IsFlashActive());
  EXPECT_EQ(button->GetCurrentLookIndex(), 2); // pressed, without the focus look
  skin.TickEveryMs(50, 1100);
  EXPECT_EQ(button->GetCurrentLookIndex(), 2);
  EXPECT_EQ(heard->Count("NID_LEFT_CLICK"), 0u);
  skin.TickAt(1.15);
  EXPECT_EQ(heard->TimesOf("NID_LEFT_CLICK"), (std::vector<double>{1.15}));
  EXPECT_FALSE(button->IsFlashActive());
  EXPECT_EQ(button->GetCurrentLookIndex(), 3);
  EXPECT_EQ(button->GetIdleRequestCount(), 0);
  skin.TickEveryMs(50, 1500);
  EXPECT_EQ(heard->Count("NID_LEFT_CLICK"), 1u);
  const RCPtr<LMouseButtonParam> click = DynamicCast<LMouseButtonParam>(heard->heard[0].parameter);
  ASSERT_TRUE(click);
  EXPECT_EQ(click->GetButton(), kMouseButtonLeft);
}

TEST(ButtonTest, ASecondSimulatedClickDeliversTheFirstAtOnceAndHoldsOneIdleRequest) {
  WidgetSkin skin("Buttons.xml");
  ASSERT_TRUE(skin.Create(u"buttons"));
  const RCPtr<LButton> button = skin.Find<LButton>({u"toggle"});
  const auto heard = TimedRecorder::Listen(button, {u"NID_LEFT_CLICK", u"NID_VALUE_CHANGE"});

  skin.application.seconds = 2.0;
  EXPECT_EQ(button->SimulateClick(), QZ_OK);
  EXPECT_TRUE(button->HasFocus());
  EXPECT_EQ(button->GetIdleRequestCount(), 1);
  skin.TickAt(2.1);
  EXPECT_EQ(button->SimulateClick(), QZ_OK);
  EXPECT_EQ(heard->TimesOf("NID_LEFT_CLICK"), (std::vector<double>{2.1}));
  EXPECT_EQ(button->GetValue(), 1.0); // the toggle's click
  EXPECT_EQ(button->GetCurrentLookIndex(), 9);
  EXPECT_EQ(button->GetIdleRequestCount(), 1);
  skin.TickEveryMs(50, 2200);
  EXPECT_EQ(heard->Count("NID_LEFT_CLICK"), 1u);
  skin.TickAt(2.25);
  EXPECT_EQ(heard->TimesOf("NID_LEFT_CLICK"), (std::vector<double>{2.1, 2.25}));
  EXPECT_EQ(button->GetValue(), 0.0);
  EXPECT_EQ(button->GetIdleRequestCount(), 0);
  EXPECT_EQ(button->GetCurrentLookIndex(), 3);
}

TEST(ButtonTest, SimulateClickNotificationsComeFromAnySourceAndAreIgnoredWhileDisabled) {
  WidgetSkin skin("Buttons.xml");
  ASSERT_TRUE(skin.Create(u"buttons"));
  const RCPtr<LButton> button = skin.Find<LButton>({u"radios", u"radio1"});
  const RCPtr<LControl> other = skin.Find({u"seven"});
  const auto heard = TimedRecorder::Listen(button, {u"NID_LEFT_CLICK"});

  EXPECT_EQ(other->SendNotificationTo(button, u"NID_SIMULATE_CLICK", nullptr), QZ_FALSE); // handled
  EXPECT_TRUE(button->IsFlashActive());
  skin.TickAt(0.2);
  EXPECT_EQ(heard->Count("NID_LEFT_CLICK"), 1u);
  EXPECT_EQ(button->GetValue(), 1.0);

  ASSERT_EQ(skin.Find({u"radios"})->SetEnabled(false), QZ_OK); // the ancestor decides
  EXPECT_EQ(skin.top->SendNotificationTo(button, u"NID_SIMULATE_CLICK", nullptr), QZ_FALSE);
  EXPECT_FALSE(button->IsFlashActive());
  EXPECT_EQ(button->GetCurrentLookIndex(), 13);
}

TEST(ButtonTest, AFailingRegistrationOfTheSimulatedClickThrowsItsText) {
  WidgetSkin skin("Buttons.xml", [](LControlFactory& factory) {
    factory.RegisterControlCreateFunction(u"Framework.Button", &CreateControlOf<RefusingButton>);
  });
  try {
    skin.Create(u"buttons");
    FAIL() << "no exception";
  } catch (const std::exception& failure) {
    EXPECT_STREQ(failure.what(),
                 "Failed Result : QZRESULT = 80004005 : QZ::LButton::Initialize : Controls\\Button : Line 50");
  }
}

TEST(ButtonTest, TheToolTipIsTheLabelWhileItIsCutOff) {
  WidgetSkin skin("Buttons.xml");
  ASSERT_TRUE(skin.Create(u"buttons"));
  const RCPtr<LButton> button = skin.Find<LButton>({u"fourteen"});
  button->SetText(u"fits");
  EXPECT_EQ(button->GetToolTipText(), WString());
  button->SetText(u"a label far too long for sixty pixels");
  EXPECT_EQ(button->GetToolTipText(), WString(u"a label far too long for sixty pixels"));
}

} // namespace
} // namespace QZ
