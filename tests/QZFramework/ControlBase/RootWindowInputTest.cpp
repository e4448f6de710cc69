// The root window's dispatch of pointer input, hover, tool tips, capture, the wheel and
// keys, driven by hand-made SDL events through the OS window.

#include <gtest/gtest.h>

#include "QZFramework/ControlBase/RootWindowTestSupport.h"

namespace QZ {
namespace {

using namespace QZTest;
using Lines = std::vector<std::string>;

class RootWindowInputTest : public RootWindowFixture {
protected:
  void SetUp() override {
    RootWindowFixture::SetUp();
    a = Probe(top, u"a", {10, 10, 50, 30});
    b = Probe(top, u"b", {100, 10, 50, 30});
  }
  void TearDown() override {
    a = nullptr;
    b = nullptr;
    RootWindowFixture::TearDown();
  }

  void Press(int x, int y, uint8_t clicks = 1) {
    script->Push(ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, x, y, clicks));
    Pump();
  }
  void Release(int x, int y) {
    script->Push(ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, x, y));
    Pump();
  }
  void Move(int x, int y) {
    script->Push(MotionEvent(id, x, y));
    Pump();
  }

  RCPtr<InputProbe> a;
  RCPtr<InputProbe> b;
};

TEST_F(RootWindowInputTest, AReleaseWithoutAHolderIsDropped) {
  Press(110, 20);
  Release(110, 20);
  EXPECT_EQ(events, (Lines{"b enter", "b down 1 (10,10)"}));
  EXPECT_EQ(root->GetCaptureControl(), nullptr);
}

TEST_F(RootWindowInputTest, TheHolderGetsTheMovesAndTheReleaseAndHoversOnlyItself) {
  a->captureOnPress = true;
  Press(20, 20);
  ASSERT_EQ(root->GetCaptureControl(), RCPtr<LControl>(a));
  Move(110, 20); // over b: a is left, b hears nothing
  Move(30, 25);  // back over a
  Move(120, 30);
  Release(120, 30);
  EXPECT_EQ(events, (Lines{"a enter", "a down 1 (10,10)", "a leave", "a move (100,10)", "a enter", "a move (20,15)",
                           "a leave", "a move (110,20)", "a up 1 (110,20)"}));
  EXPECT_EQ(root->GetMouseOverControl(), nullptr);
}

TEST_F(RootWindowInputTest, ReleasingOutsideTheWindowAfterADragReachesTheHolderAndEndsTheCapture) {
  a->captureOnPress = true;
  Press(20, 20);
  ASSERT_EQ(Win::GetCapture(), hwnd);
  // SDL keeps sending the moves of a held button to the window, outside it as well.
  Move(-40, 20);
  script->mouseX = kLeft - 40; // the pointer is over no window of ours
  script->mouseY = kTop + 20;
  Release(-40, 20);
  EXPECT_EQ(events,
            (Lines{"a enter", "a down 1 (10,10)", "a leave", "a move (-50,10)", "a up 1 (-50,10)", "a release"}));
  EXPECT_EQ(Win::GetCapture(), nullptr);
  EXPECT_EQ(root->GetCaptureControl(), nullptr);
}

TEST_F(RootWindowInputTest, CapturingNullIsRefusedAndCapturingTheHolderAgainReleasesItFirst) {
  EXPECT_EQ(root->SetCaptureControl(nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(root->SetCaptureControl(a), QZ_OK);
  EXPECT_EQ(root->SetCaptureControl(nullptr), QZ_E_INVALIDARG);
  EXPECT_EQ(root->GetCaptureControl(), RCPtr<LControl>(a));
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(root->SetCaptureControl(a), QZ_OK);
  EXPECT_EQ(events, Lines{"a release"});
  EXPECT_EQ(root->GetCaptureControl(), RCPtr<LControl>(a));
  EXPECT_EQ(root->SetCaptureControl(b), QZ_OK);
  EXPECT_EQ(events, (Lines{"a release", "a release"}));
  EXPECT_EQ(root->GetCaptureControl(), RCPtr<LControl>(b));
}

TEST_F(RootWindowInputTest, NothingIsDispatchedWhileTheWindowIsNotActive) {
  Move(20, 20);
  script->Push(WindowEvent(id, SDL_WINDOWEVENT_FOCUS_LOST));
  Pump();
  EXPECT_EQ(events, (Lines{"a enter", "a move (10,10)", "a leave"}));
  events.clear();
  root->SetFocusedControl(b);
  Move(110, 20);
  Press(110, 20);
  Release(110, 20);
  script->Push(WheelEvent(id, 0.0f, 1.0f, 110, 20));
  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_RETURN));
  script->Push(TextEvent(id, "x"));
  Pump();
  root->OnMouseMove({20, 20}, 0, 0);
  root->OnKey(LKeyParam::Create(KeyCode(u'x', 0), true));
  EXPECT_TRUE(events.empty()) << events.front();
  EXPECT_FALSE(root->IsInputActive());

  Activate(hwnd);
  Move(110, 20);
  EXPECT_EQ(events, (Lines{"b enter", "b move (10,10)"}));
}

TEST_F(RootWindowInputTest, AWheelNobodyConsumesReachesTheFocusedControlInClientCoordinates) {
  const RCPtr<InputProbe> nested = Probe(a, u"nested", {5, 5, 30, 15});
  root->SetFocusedControl(b);
  script->Push(WheelEvent(id, 0.0f, -1.0f, 20, 21));
  Pump();
  EXPECT_EQ(events, (Lines{"nested enter", "nested wheel 0 (20,21)", "b wheel 0 (20,21)"}));

  events.clear();
  nested->wheelAnswer = QZ_OK;
  script->Push(WheelEvent(id, 1.0f, 0.0f, 20, 21));
  Pump();
  EXPECT_EQ(events, Lines{"nested wheel 3 (20,21)"});
}

TEST_F(RootWindowInputTest, AChildWithoutATipShowsItsParentsAndASiblingSharingItChangesNothing) {
  const RCPtr<InputProbe> panel = Probe(top, u"panel", {0, 50, 200, 50});
  panel->toolTip = u"Panel tip";
  const RCPtr<InputProbe> first = Probe(panel, u"first", {10, 10, 40, 20});
  const RCPtr<InputProbe> second = Probe(panel, u"second", {60, 10, 40, 20});
  first->UseParentToolTipFlag() = true;
  second->UseParentToolTipFlag() = true;
  const RCPtr<InputProbe> silent = Probe(panel, u"silent", {110, 10, 40, 20}); // no tip, not the parent's
  b->toolTip = u"B tip";

  Move(20, 70);  // first: the panel's tip
  Move(70, 70);  // second shares it: neither hidden nor shown again
  Move(120, 70); // a control without a tip: none shows
  Move(110, 20); // b has its own
  EXPECT_EQ(events, (Lines{"panel tip on", "first enter", "first move (10,10)", "first leave", "second enter",
                           "second move (10,10)", "panel tip off", "second leave", "silent enter",
                           "silent move (10,10)", "b tip on", "silent leave", "b enter", "b move (10,10)"}));
  EXPECT_EQ(root->GetToolTipOwner(), RCPtr<LControl>(b));

  events.clear();
  Press(110, 20);
  EXPECT_EQ(events, (Lines{"b tip off", "b down 1 (10,10)"}));
}

TEST_F(RootWindowInputTest, ClickCountsGiveDoubleClicksOnEvenCounts) {
  Press(110, 20, 1);
  Press(110, 20, 2);
  Press(110, 20, 3);
  EXPECT_EQ(events, (Lines{"b enter", "b down 1 (10,10)", "b down 1 (10,10) double", "b down 1 (10,10)"}));

  // The release of a double click says so too.
  events.clear();
  b->captureOnPress = true;
  b->onMouseUp = [this](const RCPtr<LMouseButtonParam>&) { root->ReleaseCaptureControl(); };
  for (uint8_t clicks = 1; clicks <= 3; ++clicks) {
    Press(110, 20, clicks);
    Release(110, 20);
  }
  EXPECT_EQ(events, (Lines{"b down 1 (10,10)", "b up 1 (10,10)", "b down 1 (10,10) double", "b up 1 (10,10) double",
                           "b down 1 (10,10)", "b up 1 (10,10)"}));
}

// A button's parameter a handler keeps is the handler's: later buttons neither reuse nor
// change it, while those nobody keeps still carry their own values.
TEST_F(RootWindowInputTest, AButtonParameterAHandlerKeepsStaysAsItWas) {
  a->captureOnPress = true;
  RCPtr<LMouseButtonParam> kept;
  a->onMouseUp = [&](const RCPtr<LMouseButtonParam>& param) {
    kept = param;
    root->ReleaseCaptureControl();
  };
  Press(20, 20, 2);
  Release(25, 22);
  ASSERT_NE(kept, nullptr);
  std::vector<LMouseButtonParam*> later;
  a->onMouseUp = [&](const RCPtr<LMouseButtonParam>& param) {
    later.push_back(param.Get());
    root->ReleaseCaptureControl();
  };
  for (int x : {30, 40}) {
    Press(x, 30);
    Release(x, 35);
  }
  ASSERT_EQ(later.size(), 2u);
  EXPECT_NE(later[0], kept.Get());
  EXPECT_NE(later[1], kept.Get());
  EXPECT_EQ(kept->GetPoint().x, 15);
  EXPECT_EQ(kept->GetPoint().y, 12);
  EXPECT_TRUE(kept->IsDoubleClick());
  EXPECT_EQ(events.back(), "a up 1 (30,25)");
}

TEST_F(RootWindowInputTest, TheWheelGivesOneEventPerWholeNotchSumAndKeepsTheRemainder) {
  root->SetFocusedControl(b);
  a->wheelAnswer = QZ_OK;
  script->Push(WheelEvent(id, 0.0f, 2.0f, 20, 20)); // 240: one event, nothing left
  Pump();
  EXPECT_EQ(events, (Lines{"a enter", "a wheel 1 (20,20)"}));
  events.clear();
  for (int i = 0; i < 3; ++i) {
    script->Push(WheelEvent(id, 0.0f, 1.0f / 3.0f, 20, 20)); // 40
    Pump();
    EXPECT_EQ(events.size(), i < 2 ? 0u : 1u) << "after " << (i + 1) * 40;
  }
  EXPECT_EQ(events, Lines{"a wheel 1 (20,20)"});
  events.clear();
  script->Push(WheelEvent(id, 0.0f, -1.0f / 3.0f, 20, 20)); // -40 from 0
  script->Push(WheelEvent(id, 0.0f, -2.0f / 3.0f, 20, 20)); // -120
  Pump();
  EXPECT_EQ(events, Lines{"a wheel 0 (20,20)"});
}

// Keys reach the focused control as the key-code word, characters as UTF-16 units.
TEST_F(RootWindowInputTest, KeysAndCharactersReachTheFocusedControl) {
  root->SetFocusedControl(b);
  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_RETURN, SDL_SCANCODE_RETURN));
  script->Push(KeyEvent(SDL_KEYUP, id, SDLK_RETURN, SDL_SCANCODE_RETURN));
  Pump();
  ASSERT_GE(b->keys.size(), 3u);
  EXPECT_EQ(b->keys[0].code, 0x200D0000u);
  EXPECT_EQ(b->keys[0].repeat, 0);
  EXPECT_EQ(b->keys[1].code, 0x0000000Du) << "the typed carriage return";
  EXPECT_EQ(b->keys[2].code, 0x000D0000u) << "the release";
  EXPECT_EQ(b->keys[2].repeat, 1);

  b->keys.clear();
  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_LCTRL));
  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LCTRL | KMOD_LSHIFT));
  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_s, SDL_SCANCODE_S, KMOD_LCTRL | KMOD_LSHIFT));
  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_s, SDL_SCANCODE_S, KMOD_LCTRL | KMOD_LSHIFT, true));
  Pump();
  ASSERT_EQ(b->keys.size(), 6u);
  EXPECT_EQ(b->keys[0].code, 0x21110000u) << "Ctrl itself";
  EXPECT_EQ(b->keys[2].code, 0x23530000u) << "Ctrl+Shift+S";
  EXPECT_EQ(b->keys[2].sides,
            KeyCode::SideFlags(kModifierCtrl | kModifierLeftCtrl | kModifierShift | kModifierLeftShift));
  EXPECT_EQ(b->keys[2].repeat, 0);
  EXPECT_EQ(b->keys[3].code, 0x03000013u) << "its control character";
  EXPECT_EQ(b->keys[4].code, 0x23530000u);
  EXPECT_EQ(b->keys[4].repeat, 1) << "held down";

  b->keys.clear();
  script->Push(KeyEvent(SDL_KEYUP, id, SDLK_s, SDL_SCANCODE_S, KMOD_LCTRL | KMOD_LSHIFT));
  script->Push(KeyEvent(SDL_KEYUP, id, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LCTRL));
  script->Push(KeyEvent(SDL_KEYUP, id, SDLK_LCTRL, SDL_SCANCODE_LCTRL));
  script->Push(TextEvent(id, "\xC3\xA9"));         // é
  script->Push(TextEvent(id, "\xF0\x9F\x98\x80")); // U+1F600
  Pump();
  ASSERT_EQ(b->keys.size(), 6u);
  EXPECT_EQ(b->keys[3].code, 0xE9u);
  EXPECT_EQ(b->keys[4].code, 0xD83Du);
  EXPECT_EQ(b->keys[5].code, 0xDE00u);
}

TEST_F(RootWindowInputTest, KeysWithoutAVirtualKeyFollowTheirOwnRules) {
  root->SetFocusedControl(b);
  const SDL_Keycode unknown = SDLK_APP1; // no virtual key
  // Alone: no key. Alt: a system key of the modifiers only. Ctrl and Alt: character 0.
  script->Push(KeyEvent(SDL_KEYDOWN, id, unknown));
  script->Push(KeyEvent(SDL_KEYUP, id, unknown));
  Pump();
  EXPECT_TRUE(b->keys.empty());

  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT));
  script->Push(KeyEvent(SDL_KEYDOWN, id, unknown, SDL_SCANCODE_UNKNOWN, KMOD_LALT));
  Pump();
  ASSERT_EQ(b->keys.size(), 2u);
  EXPECT_EQ(b->keys[1].code, kKeyCodeAlt) << "modifiers only, no press bit";
  EXPECT_EQ(b->keys[1].repeat, 0);

  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_LALT | KMOD_LCTRL));
  script->Push(KeyEvent(SDL_KEYDOWN, id, unknown, SDL_SCANCODE_UNKNOWN, KMOD_LALT | KMOD_LCTRL));
  Pump();
  ASSERT_EQ(b->keys.size(), 4u);
  EXPECT_EQ(b->keys[3].code, kKeyCodeCtrl | kKeyCodeAlt) << "character 0 with Ctrl and Alt";
}

TEST_F(RootWindowInputTest, TypingWithAWinKeyHeldGivesNoCharacter) {
  root->SetFocusedControl(b);
  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_LGUI, SDL_SCANCODE_LGUI, KMOD_LGUI));
  script->Push(TextEvent(id, "e"));
  Pump();
  ASSERT_EQ(b->keys.size(), 1u);
  EXPECT_EQ(b->keys[0].code, 0x285B0000u) << "the Win key itself, with the Win bit";
}

} // namespace
} // namespace QZ

namespace QZ {
namespace {

using namespace QZTest;

// A window whose focus walk runs past its ends hands the focus to the next window of the
// application, the previous one with Shift, wrapping at both ends of the list.
class RootWindowFocusTest : public RootWindowFixture {
protected:
  // A focusable top control for window's root window, given the focus.
  RCPtr<TestControl> FocusableTop(const RCPtr<LRootWindow>& target) {
    const RCPtr<TestControl> control = TestControl::Make(nullptr, u"field");
    control->Place(0, 0, 100, 50);
    control->SetFocusable(false);
    EXPECT_EQ(target->InstallRootControl(control), QZ_OK);
    return control;
  }
  void Tab(uint32_t target, bool shift) {
    const uint16_t mod = shift ? KMOD_LSHIFT : KMOD_NONE;
    if (shift) {
      script->Push(KeyEvent(SDL_KEYDOWN, target, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, mod));
    }
    script->Push(KeyEvent(SDL_KEYDOWN, target, SDLK_TAB, SDL_SCANCODE_TAB, mod));
    script->Push(KeyEvent(SDL_KEYUP, target, SDLK_TAB, SDL_SCANCODE_TAB, mod));
    if (shift) {
      script->Push(KeyEvent(SDL_KEYUP, target, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT));
    }
    script->focusRequests.clear();
    Pump();
  }
};

TEST_F(RootWindowFocusTest, ShiftTabPastTheFirstControlActivatesThePreviousWindowWrapping) {
  OSWindow* second = Open(400, 50, 120, 80);
  OSWindow* third = Open(600, 50, 120, 80);
  ASSERT_TRUE(second && third);
  const uint32_t thirdId = script->SdlIdOf(third->GetSafeHwnd());
  const RCPtr<TestControl> mainField = FocusableTop(root);
  const RCPtr<TestControl> secondField = FocusableTop(second->GetRootWindow());
  const RCPtr<TestControl> thirdField = FocusableTop(third->GetRootWindow());
  ASSERT_TRUE(mainField->HasFocus());

  Tab(id, true); // main is the first: the last window comes next
  EXPECT_EQ(script->focusRequests, std::vector<uint32_t>{thirdId});
  Activate(third->GetSafeHwnd());
  Tab(thirdId, false); // the last: the first comes next
  EXPECT_EQ(script->focusRequests, std::vector<uint32_t>{id});
  Tab(thirdId, true);
  EXPECT_EQ(script->focusRequests, std::vector<uint32_t>{script->SdlIdOf(second->GetSafeHwnd())});
}

TEST_F(RootWindowFocusTest, AloneTheFocusStartsAgainInsideTheWindow) {
  const RCPtr<TestControl> field = FocusableTop(root);
  ASSERT_TRUE(field->HasFocus());
  Tab(id, true);
  EXPECT_TRUE(script->focusRequests.empty());
  EXPECT_TRUE(field->HasFocus());
  EXPECT_EQ(root->GetFocusedControl(), RCPtr<LControl>(field));
}

TEST_F(RootWindowFocusTest, TheFocusComesBackToTheControlThatHadIt) {
  const RCPtr<InputProbe> panel = Probe(top, u"panel", {0, 0, 200, 100});
  const RCPtr<TestControl> first = TestControl::Make(panel, u"first");
  const RCPtr<TestControl> second = TestControl::Make(panel, u"second");
  first->Place(10, 10, 50, 20);
  second->Place(10, 40, 50, 20);
  for (const RCPtr<LControl>& control : std::vector<RCPtr<LControl>>{top, panel, first, second}) {
    control->SetFocusable(false);
  }
  second->SetFocus(true);
  ASSERT_EQ(root->GetFocusedControl(), RCPtr<LControl>(second));

  script->Push(WindowEvent(id, SDL_WINDOWEVENT_FOCUS_LOST));
  Pump();
  EXPECT_EQ(root->GetFocusedControl(), nullptr);
  EXPECT_FALSE(second->HasFocus());
  EXPECT_EQ(root->GetPreviousFocusedControl(), RCPtr<LControl>(second));
  Activate(hwnd);
  EXPECT_TRUE(second->HasFocus());
  EXPECT_EQ(root->GetFocusedControl(), RCPtr<LControl>(second));
}

} // namespace
} // namespace QZ
