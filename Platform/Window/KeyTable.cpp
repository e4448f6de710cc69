#include <unordered_map>
#include <vector>

#include "Platform/Window/EventTranslator.h"
#include "Platform/Window/VirtualKeys.h"

namespace QZ::Platform::Window {

namespace {

struct KeyEntry {
  SDL_Keycode code;
  SDL_Scancode position;
  uint8_t key;
  uint8_t keyWithoutNumLock; // keypad keys: what they are with Num Lock off; else 0
  bool extended;
};

// The one table from SDL keys to virtual keys.
std::vector<KeyEntry> BuildTable() {
  std::vector<KeyEntry> table;
  for (int i = 0; i < 26; ++i) {
    table.push_back({SDLK_a + i, SDL_Scancode(SDL_SCANCODE_A + i), uint8_t('A' + i), 0, false});
  }
  for (int i = 0; i < 9; ++i) {
    table.push_back({SDLK_1 + i, SDL_Scancode(SDL_SCANCODE_1 + i), uint8_t('1' + i), 0, false});
  }
  table.push_back({SDLK_0, SDL_SCANCODE_0, '0', 0, false});
  for (int i = 0; i < 12; ++i) {
    table.push_back({SDLK_F1 + i, SDL_Scancode(SDL_SCANCODE_F1 + i), uint8_t(VK_F1 + i), 0, false});
    table.push_back({SDLK_F13 + i, SDL_Scancode(SDL_SCANCODE_F13 + i), uint8_t(VK_F1 + 12 + i), 0, false});
  }
  const uint8_t keypadDigits[10][2] = {
      {VK_NUMPAD0, VK_INSERT},   {VK_NUMPAD0 + 1, VK_END},   {VK_NUMPAD0 + 2, VK_DOWN},  {VK_NUMPAD0 + 3, VK_NEXT},
      {VK_NUMPAD0 + 4, VK_LEFT}, {VK_NUMPAD0 + 5, VK_CLEAR}, {VK_NUMPAD0 + 6, VK_RIGHT}, {VK_NUMPAD0 + 7, VK_HOME},
      {VK_NUMPAD0 + 8, VK_UP},   {VK_NUMPAD0 + 9, VK_PRIOR}};
  table.push_back({SDLK_KP_0, SDL_SCANCODE_KP_0, keypadDigits[0][0], keypadDigits[0][1], false});
  for (int i = 0; i < 9; ++i) {
    table.push_back(
        {SDLK_KP_1 + i, SDL_Scancode(SDL_SCANCODE_KP_1 + i), keypadDigits[i + 1][0], keypadDigits[i + 1][1], false});
  }
  const KeyEntry others[] = {
      {SDLK_RETURN, SDL_SCANCODE_RETURN, VK_RETURN, 0, false},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0, false},
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, VK_BACK, 0, false},
      {SDLK_TAB, SDL_SCANCODE_TAB, VK_TAB, 0, false},
      {SDLK_SPACE, SDL_SCANCODE_SPACE, VK_SPACE, 0, false},
      {SDLK_MINUS, SDL_SCANCODE_MINUS, VK_OEM_MINUS, 0, false},
      {SDLK_EQUALS, SDL_SCANCODE_EQUALS, VK_OEM_PLUS, 0, false},
      {SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, VK_OEM_4, 0, false},
      {SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6, 0, false},
      {SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, VK_OEM_5, 0, false},
      {SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, VK_OEM_1, 0, false},
      {SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, VK_OEM_7, 0, false},
      {SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, VK_OEM_3, 0, false},
      {SDLK_COMMA, SDL_SCANCODE_COMMA, VK_OEM_COMMA, 0, false},
      {SDLK_PERIOD, SDL_SCANCODE_PERIOD, VK_OEM_PERIOD, 0, false},
      {SDLK_SLASH, SDL_SCANCODE_SLASH, VK_OEM_2, 0, false},
      {SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102, 0, false},
      {SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 0, false},
      {SDLK_PRINTSCREEN, SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT, 0, true},
      {SDLK_SCROLLLOCK, SDL_SCANCODE_SCROLLLOCK, VK_SCROLL, 0, false},
      {SDLK_PAUSE, SDL_SCANCODE_PAUSE, VK_PAUSE, 0, false},
      {SDLK_INSERT, SDL_SCANCODE_INSERT, VK_INSERT, 0, true},
      {SDLK_HOME, SDL_SCANCODE_HOME, VK_HOME, 0, true},
      {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, VK_PRIOR, 0, true},
      {SDLK_DELETE, SDL_SCANCODE_DELETE, VK_DELETE, 0, true},
      {SDLK_END, SDL_SCANCODE_END, VK_END, 0, true},
      {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0, true},
      {SDLK_RIGHT, SDL_SCANCODE_RIGHT, VK_RIGHT, 0, true},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, VK_LEFT, 0, true},
      {SDLK_DOWN, SDL_SCANCODE_DOWN, VK_DOWN, 0, true},
      {SDLK_UP, SDL_SCANCODE_UP, VK_UP, 0, true},
      {SDLK_NUMLOCKCLEAR, SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK, 0, true},
      {SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0, true},
      {SDLK_KP_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 0, false},
      {SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, 0, false},
      {SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, VK_ADD, 0, false},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, VK_RETURN, 0, true},
      {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, VK_DELETE, false},
      {SDLK_APPLICATION, SDL_SCANCODE_APPLICATION, VK_APPS, 0, true},
      {SDLK_HELP, SDL_SCANCODE_HELP, VK_HELP, 0, false},
      {SDLK_LCTRL, SDL_SCANCODE_LCTRL, VK_LCONTROL, 0, false},
      {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, VK_LSHIFT, 0, false},
      {SDLK_LALT, SDL_SCANCODE_LALT, VK_LMENU, 0, false},
      {SDLK_LGUI, SDL_SCANCODE_LGUI, VK_LWIN, 0, true},
      {SDLK_RCTRL, SDL_SCANCODE_RCTRL, VK_RCONTROL, 0, true},
      {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, VK_RSHIFT, 0, false},
      {SDLK_RALT, SDL_SCANCODE_RALT, VK_RMENU, 0, true},
      {SDLK_RGUI, SDL_SCANCODE_RGUI, VK_RWIN, 0, true},
  };
  table.insert(table.end(), std::begin(others), std::end(others));
  return table;
}

struct KeyIndex {
  std::vector<KeyEntry> table = BuildTable();
  std::unordered_map<SDL_Keycode, const KeyEntry*> byCode;
  std::unordered_map<int, const KeyEntry*> byPosition;

  KeyIndex() {
    for (const KeyEntry& entry : table) {
      byCode.emplace(entry.code, &entry);
      byPosition.emplace(int(entry.position), &entry);
    }
  }
};

uint8_t MessageKey(uint8_t key) {
  switch (key) {
  case VK_LSHIFT:
  case VK_RSHIFT:
    return VK_SHIFT;
  case VK_LCONTROL:
  case VK_RCONTROL:
    return VK_CONTROL;
  case VK_LMENU:
  case VK_RMENU:
    return VK_MENU;
  default:
    return key;
  }
}

} // namespace

VirtualKeyInfo LookUpVirtualKey(const SDL_Keysym& keysym) {
  static const KeyIndex index;
  const KeyEntry* entry = nullptr;
  if (auto byCode = index.byCode.find(keysym.sym); byCode != index.byCode.end()) {
    entry = byCode->second;
  } else if (auto byPosition = index.byPosition.find(int(keysym.scancode)); byPosition != index.byPosition.end()) {
    entry = byPosition->second;
  }
  if (!entry) {
    return {};
  }
  const uint8_t key = entry->keyWithoutNumLock && !(keysym.mod & KMOD_NUM) ? entry->keyWithoutNumLock : entry->key;
  return {key, MessageKey(key), entry->extended};
}

} // namespace QZ::Platform::Window
