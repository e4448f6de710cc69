// Keys and typed text: hand-made SDL events against the messages and the key-state table
// Windows would give.

#include <string>

#include "Platform/Window/Input.h"
#include "WindowTestSupport.h"

namespace {

using namespace QZ::Platform::Window;
using QZTest::KeyEvent;
using QZTest::TextEvent;

struct KeyCase {
  const char* name;
  std::vector<SDL_Event> before; // taken first
  SDL_Event event;
  uint32_t message;
  WPARAM wParam;
  uint32_t lParam;
};

class KeyTranslationTest : public QZTest::WindowLayerTest {};

TEST_F(KeyTranslationTest, KeysBecomeKeyMessagesWithWindowsFlags) {
  const HWND hwnd = MakeWindow();
  const uint32_t id = script->SdlIdOf(hwnd);
  auto down = [id](SDL_Keycode key, SDL_Scancode position = SDL_SCANCODE_UNKNOWN, uint16_t mod = 0,
                   bool repeat = false) { return KeyEvent(SDL_KEYDOWN, id, key, position, mod, repeat); };
  auto up = [id](SDL_Keycode key) { return KeyEvent(SDL_KEYUP, id, key); };
  const KeyCase cases[] = {
      {"Enter", {}, down(SDLK_RETURN), WM_KEYDOWN, VK_RETURN, 0x00000001},
      {"Enter released", {down(SDLK_RETURN)}, up(SDLK_RETURN), WM_KEYUP, VK_RETURN, 0xC0000001},
      {"held S repeats", {down(SDLK_s)}, down(SDLK_s, SDL_SCANCODE_S, 0, true), WM_KEYDOWN, 'S', 0x40000001},
      {"Ctrl+Shift+S", {down(SDLK_LCTRL), down(SDLK_LSHIFT)}, down(SDLK_s), WM_KEYDOWN, 'S', 0x00000001},
      {"left Shift", {}, down(SDLK_LSHIFT), WM_KEYDOWN, VK_SHIFT, 0x00000001},
      {"right Ctrl", {}, down(SDLK_RCTRL), WM_KEYDOWN, VK_CONTROL, 0x01000001},
      {"Alt", {}, down(SDLK_LALT), WM_SYSKEYDOWN, VK_MENU, 0x20000001},
      {"Alt+F4", {down(SDLK_LALT)}, down(SDLK_F4), WM_SYSKEYDOWN, VK_F4, 0x20000001},
      {"Alt released", {down(SDLK_LALT)}, up(SDLK_LALT), WM_SYSKEYUP, VK_MENU, 0xC0000001},
      {"right Alt", {}, down(SDLK_RALT), WM_SYSKEYDOWN, VK_MENU, 0x21000001},
      {"Ctrl+Alt+X", {down(SDLK_LCTRL), down(SDLK_LALT)}, down(SDLK_x), WM_KEYDOWN, 'X', 0x00000001},
      {"F10", {}, down(SDLK_F10), WM_SYSKEYDOWN, VK_F10, 0x00000001},
      {"F24", {}, down(SDLK_F24), WM_KEYDOWN, VK_F24, 0x00000001},
      {"Up arrow", {}, down(SDLK_UP), WM_KEYDOWN, VK_UP, 0x01000001},
      {"keypad Enter", {}, down(SDLK_KP_ENTER), WM_KEYDOWN, VK_RETURN, 0x01000001},
      {"keypad 4, Num Lock on", {}, down(SDLK_KP_4, SDL_SCANCODE_KP_4, KMOD_NUM), WM_KEYDOWN, VK_NUMPAD0 + 4, 1},
      {"keypad 4, Num Lock off", {}, down(SDLK_KP_4, SDL_SCANCODE_KP_4), WM_KEYDOWN, VK_LEFT, 0x00000001},
      {"keypad point, Num Lock off", {}, down(SDLK_KP_PERIOD), WM_KEYDOWN, VK_DELETE, 0x00000001},
      {"French '&' on the 1 key", {}, down(SDLK_AMPERSAND, SDL_SCANCODE_1), WM_KEYDOWN, '1', 0x00000001},
      {"semicolon", {}, down(SDLK_SEMICOLON), WM_KEYDOWN, VK_OEM_1, 0x00000001},
      {"e acute without a key of its own", {}, down(0xE9), WM_KEYDOWN, 0, 0x00000001},
      {"Alt with a key without virtual key", {down(SDLK_LALT)}, down(0xE9), WM_SYSKEYDOWN, 0, 0x20000001},
  };
  for (const KeyCase& test : cases) {
    SCOPED_TRACE(test.name);
    for (const SDL_Event& event : test.before) {
      TranslateAndTake(event);
    }
    const auto messages = TranslateAndTake(test.event);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].msg.hwnd, hwnd);
    EXPECT_EQ(messages[0].msg.message, test.message);
    EXPECT_EQ(messages[0].msg.wParam, test.wParam);
    EXPECT_EQ(uint32_t(messages[0].msg.lParam), test.lParam);
    // Release everything for the next case.
    for (SDL_Keycode key : {SDLK_LCTRL, SDLK_RCTRL, SDLK_LSHIFT, SDLK_LALT, SDLK_RALT, SDLK_s, SDLK_RETURN}) {
      TranslateAndTake(up(key));
    }
  }
}

TEST_F(KeyTranslationTest, TheKeyStateFollowsMessagesAsTheyAreTaken) {
  const uint32_t id = script->SdlIdOf(MakeWindow());
  InputQueue queue;
  SDL_Event shiftDown = KeyEvent(SDL_KEYDOWN, id, SDLK_LSHIFT);
  TranslateEvent(shiftDown, queue);
  MSG msg;
  ASSERT_TRUE(NextInput(queue, msg, false));
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0) << "looked at, not taken";
  ASSERT_TRUE(NextInput(queue, msg, true));
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_LT(GetKeyState(VK_LSHIFT), 0);
  EXPECT_EQ(GetKeyState(VK_RSHIFT), 0);

  TranslateAndTake(KeyEvent(SDL_KEYDOWN, id, SDLK_RSHIFT));
  TranslateAndTake(KeyEvent(SDL_KEYUP, id, SDLK_LSHIFT));
  EXPECT_LT(GetKeyState(VK_SHIFT), 0) << "the right side still holds it";
  TranslateAndTake(KeyEvent(SDL_KEYUP, id, SDLK_RSHIFT));
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  // The last sides of the range of modifiers move their generic keys too; other keys leave them.
  TranslateAndTake(KeyEvent(SDL_KEYDOWN, id, SDLK_RALT));
  TranslateAndTake(KeyEvent(SDL_KEYDOWN, id, SDLK_RCTRL));
  TranslateAndTake(QZTest::ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 5, 5));
  EXPECT_LT(GetKeyState(VK_MENU), 0);
  EXPECT_LT(GetKeyState(VK_CONTROL), 0);
  TranslateAndTake(QZTest::ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, 5, 5));
  TranslateAndTake(KeyEvent(SDL_KEYUP, id, SDLK_RALT));
  TranslateAndTake(KeyEvent(SDL_KEYUP, id, SDLK_RCTRL));
  EXPECT_GE(GetKeyState(VK_MENU), 0);
  EXPECT_GE(GetKeyState(VK_CONTROL), 0);

  // Ordinary keys toggle at each press, not at repeats; the lock keys follow SDL's lights.
  TranslateAndTake(KeyEvent(SDL_KEYDOWN, id, SDLK_a));
  TranslateAndTake(KeyEvent(SDL_KEYDOWN, id, SDLK_a, SDL_SCANCODE_A, 0, true));
  EXPECT_EQ(GetKeyState('A'), int16_t(0x8001));
  TranslateAndTake(KeyEvent(SDL_KEYUP, id, SDLK_a));
  EXPECT_EQ(GetKeyState('A'), 1);
  TranslateAndTake(KeyEvent(SDL_KEYDOWN, id, SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, KMOD_CAPS | KMOD_NUM));
  EXPECT_EQ(GetKeyState(VK_CAPITAL), int16_t(0x8001));
  EXPECT_EQ(GetKeyState(VK_NUMLOCK), 1);
  TranslateAndTake(KeyEvent(SDL_KEYUP, id, SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, 0));
  EXPECT_EQ(GetKeyState(VK_CAPITAL), 0);
  EXPECT_EQ(GetKeyState(VK_NUMLOCK), 0);

  // Mouse buttons are keys 1, 2 and 4, toggled at each press as other keys are.
  TranslateAndTake(QZTest::ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_RIGHT, 5, 5));
  EXPECT_EQ(GetKeyState(VK_RBUTTON), int16_t(0x8001));
  EXPECT_EQ(GetKeyState(VK_LBUTTON), 1) << "pressed and released once above";
  TranslateAndTake(QZTest::ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_RIGHT, 5, 5));
  TranslateAndTake(QZTest::ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_RIGHT, 5, 5));
  EXPECT_EQ(GetKeyState(VK_RBUTTON), int16_t(0x8000));
  // A key for no window of ours moves the table at once.
  Translate(KeyEvent(SDL_KEYDOWN, 0, SDLK_LCTRL));
  EXPECT_LT(GetKeyState(VK_CONTROL), 0);
}

TEST_F(KeyTranslationTest, TypedTextGivesOneCharacterPerUtf16Unit) {
  const HWND hwnd = MakeWindow();
  const uint32_t id = script->SdlIdOf(hwnd);
  struct TextCase {
    const char* name;
    std::vector<SDL_Keycode> held;
    const char* text;
    uint32_t message;
    std::u16string units;
    uint32_t lParam;
  };
  const TextCase cases[] = {
      {"e acute", {}, "\xC3\xA9", WM_CHAR, u"\u00E9", 1},
      {"a face beyond the first plane", {}, "\xF0\x9F\x98\x80", WM_CHAR, u"\xD83D\xDE00", 1},
      {"two letters", {}, "ab", WM_CHAR, u"ab", 1},
      {"with Alt", {SDLK_LALT}, "f", WM_SYSCHAR, u"f", 0x20000001},
      {"with AltGr as Ctrl+Alt", {SDLK_LCTRL, SDLK_RALT}, "@", WM_CHAR, u"@", 1},
      {"a broken sequence", {}, "\xC3", WM_CHAR, u"\uFFFD", 1},
  };
  for (const TextCase& test : cases) {
    SCOPED_TRACE(test.name);
    for (SDL_Keycode key : test.held) {
      TranslateAndTake(KeyEvent(SDL_KEYDOWN, id, key));
    }
    const auto messages = TranslateAndTake(TextEvent(id, test.text));
    ASSERT_EQ(messages.size(), test.units.size());
    for (size_t i = 0; i < messages.size(); ++i) {
      EXPECT_EQ(messages[i].msg.hwnd, hwnd);
      EXPECT_EQ(messages[i].msg.message, test.message);
      EXPECT_EQ(messages[i].msg.wParam, WPARAM(test.units[i]));
      EXPECT_EQ(uint32_t(messages[i].msg.lParam), test.lParam);
    }
    for (SDL_Keycode key : test.held) {
      TranslateAndTake(KeyEvent(SDL_KEYUP, id, key));
    }
  }
}

TEST_F(KeyTranslationTest, KeysGoToTheFocusWindowWhenSdlNamesNone) {
  const HWND first = MakeWindow();
  const HWND second = MakeWindow(400);
  TranslateAndTake(QZTest::WindowEvent(script->SdlIdOf(second), SDL_WINDOWEVENT_FOCUS_GAINED));
  auto messages = TranslateAndTake(KeyEvent(SDL_KEYDOWN, 0, SDLK_b));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].msg.hwnd, second);
  messages = TranslateAndTake(KeyEvent(SDL_KEYDOWN, script->SdlIdOf(first), SDLK_c));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].msg.hwnd, first);
}

} // namespace
