// The two name tables of the virtual keys, built once.

#include <array>
#include <utility>

#include "QZFramework/ControlBase/KeyCode.h"

namespace QZ {
namespace {

struct NamedKey {
  const char16_t* name;
  uint8_t key;
};

// In the order the tables are filled; several names share 21, 25 and 146.
constexpr NamedKey kNamedKeys[] = {
    {u"VKEY_BACK", 8},
    {u"VKEY_TAB", 9},
    {u"VKEY_CLEAR", 12},
    {u"VKEY_RETURN", 13},
    {u"VKEY_SHIFT", 16},
    {u"VKEY_CONTROL", 17},
    {u"VKEY_MENU", 18},
    {u"VKEY_PAUSE", 19},
    {u"VKEY_CAPITAL", 20},
    {u"VKEY_KANA", 21},
    {u"VKEY_HANGEUL", 21},
    {u"VKEY_HANGUL", 21},
    {u"VKEY_JUNJA", 23},
    {u"VKEY_FINAL", 24},
    {u"VKEY_HANJA", 25},
    {u"VKEY_KANJI", 25},
    {u"VKEY_ESCAPE", 27},
    {u"VKEY_CONVERT", 28},
    {u"VKEY_NONCONVERT", 29},
    {u"VKEY_ACCEPT", 30},
    {u"VKEY_MODECHANGE", 31},
    {u"VKEY_SPACE", 32},
    {u"VKEY_PAGEUP", 33},
    {u"VKEY_PAGEDN", 34},
    {u"VKEY_END", 35},
    {u"VKEY_HOME", 36},
    {u"VKEY_LEFT", 37},
    {u"VKEY_UP", 38},
    {u"VKEY_RIGHT", 39},
    {u"VKEY_DOWN", 40},
    {u"VKEY_SELECT", 41},
    {u"VKEY_PRINT", 42},
    {u"VKEY_EXECUTE", 43},
    {u"VKEY_SNAPSHOT", 44},
    {u"VKEY_INSERT", 45},
    {u"VKEY_DELETE", 46},
    {u"VKEY_HELP", 47},
    {u"VKEY_0", 48},
    {u"VKEY_1", 49},
    {u"VKEY_2", 50},
    {u"VKEY_3", 51},
    {u"VKEY_4", 52},
    {u"VKEY_5", 53},
    {u"VKEY_6", 54},
    {u"VKEY_7", 55},
    {u"VKEY_8", 56},
    {u"VKEY_9", 57},
    {u"VKEY_A", 65},
    {u"VKEY_B", 66},
    {u"VKEY_C", 67},
    {u"VKEY_D", 68},
    {u"VKEY_E", 69},
    {u"VKEY_F", 70},
    {u"VKEY_G", 71},
    {u"VKEY_H", 72},
    {u"VKEY_I", 73},
    {u"VKEY_J", 74},
    {u"VKEY_K", 75},
    {u"VKEY_L", 76},
    {u"VKEY_M", 77},
    {u"VKEY_N", 78},
    {u"VKEY_O", 79},
    {u"VKEY_P", 80},
    {u"VKEY_Q", 81},
    {u"VKEY_R", 82},
    {u"VKEY_S", 83},
    {u"VKEY_T", 84},
    {u"VKEY_U", 85},
    {u"VKEY_V", 86},
    {u"VKEY_W", 87},
    {u"VKEY_X", 88},
    {u"VKEY_Y", 89},
    {u"VKEY_Z", 90},
    {u"VKEY_LWIN", 91},
    {u"VKEY_RWIN", 92},
    {u"VKEY_APPS", 93},
    {u"VKEY_SLEEP", 95},
    {u"VKEY_NUMPAD0", 96},
    {u"VKEY_NUMPAD1", 97},
    {u"VKEY_NUMPAD2", 98},
    {u"VKEY_NUMPAD3", 99},
    {u"VKEY_NUMPAD4", 100},
    {u"VKEY_NUMPAD5", 101},
    {u"VKEY_NUMPAD6", 102},
    {u"VKEY_NUMPAD7", 103},
    {u"VKEY_NUMPAD8", 104},
    {u"VKEY_NUMPAD9", 105},
    {u"VKEY_MULTIPLY", 106},
    {u"VKEY_ADD", 107},
    {u"VKEY_SEPARATOR", 108},
    {u"VKEY_SUBTRACT", 109},
    {u"VKEY_DECIMAL", 110},
    {u"VKEY_DIVIDE", 111},
    {u"VKEY_F1", 112},
    {u"VKEY_F2", 113},
    {u"VKEY_F3", 114},
    {u"VKEY_F4", 115},
    {u"VKEY_F5", 116},
    {u"VKEY_F6", 117},
    {u"VKEY_F7", 118},
    {u"VKEY_F8", 119},
    {u"VKEY_F9", 120},
    {u"VKEY_F10", 121},
    {u"VKEY_F11", 122},
    {u"VKEY_F12", 123},
    {u"VKEY_F13", 124},
    {u"VKEY_F14", 125},
    {u"VKEY_F15", 126},
    {u"VKEY_F16", 127},
    {u"VKEY_F17", 128},
    {u"VKEY_F18", 129},
    {u"VKEY_F19", 130},
    {u"VKEY_F20", 131},
    {u"VKEY_F21", 132},
    {u"VKEY_F22", 133},
    {u"VKEY_F23", 134},
    {u"VKEY_F24", 135},
    {u"VKEY_NUMLOCK", 144},
    {u"VKEY_SCROLL", 145},
    {u"VKEY_OEM_NEC_EQUAL", 146},
    {u"VKEY_OEM_FJ_JISHO", 146},
    {u"VKEY_OEM_FJ_MASSHOU", 147},
    {u"VKEY_OEM_FJ_TOUROKU", 148},
    {u"VKEY_OEM_FJ_LOYA", 149},
    {u"VKEY_OEM_FJ_ROYA", 150},
    {u"VKEY_LSHIFT", 160},
    {u"VKEY_RSHIFT", 161},
    {u"VKEY_LCONTROL", 162},
    {u"VKEY_RCONTROL", 163},
    {u"VKEY_LMENU", 164},
    {u"VKEY_RMENU", 165},
    {u"VKEY_BROWSER_BACK", 166},
    {u"VKEY_BROWSER_FORWARD", 167},
    {u"VKEY_BROWSER_REFRESH", 168},
    {u"VKEY_BROWSER_STOP", 169},
    {u"VKEY_BROWSER_SEARCH", 170},
    {u"VKEY_BROWSER_FAVORITES", 171},
    {u"VKEY_BROWSER_HOME", 172},
    {u"VKEY_VOLUME_MUTE", 173},
    {u"VKEY_VOLUME_DOWN", 174},
    {u"VKEY_VOLUME_UP", 175},
    {u"VKEY_MEDIA_NEXT_TRACK", 176},
    {u"VKEY_MEDIA_PREV_TRACK", 177},
    {u"VKEY_MEDIA_STOP", 178},
    {u"VKEY_MEDIA_PLAY_PAUSE", 179},
    {u"VKEY_LAUNCH_MAIL", 180},
    {u"VKEY_LAUNCH_MEDIA_SELECT", 181},
    {u"VKEY_LAUNCH_APP1", 182},
    {u"VKEY_LAUNCH_APP2", 183},
};

// Display texts of the keys that do not read as themselves; a key with several names has
// one text (21 "Kana", 146 "NEC Equal"). Backspace and Tab have none.
constexpr std::pair<uint8_t, const char16_t*> kDisplayTexts[] = {
    {12, u"Clear"},
    {13, u"Return"},
    {16, u"Shift"},
    {17, u"Control"},
    {18, u"Menu"},
    {19, u"Pause"},
    {20, u"Capital"},
    {21, u"Kana"},
    {23, u"Junja"},
    {24, u"Final"},
    {25, u"Hanja"},
    {27, u"Escape"},
    {28, u"Convert"},
    {29, u"Non-convert"},
    {30, u"Accept"},
    {31, u"Mode Change"},
    {32, u"Space"},
    {33, u"Page Up"},
    {34, u"Page Down"},
    {35, u"End"},
    {36, u"Home"},
    {37, u"Left Arrow"},
    {38, u"Up Arrow"},
    {39, u"Right Arrow"},
    {40, u"Down Arrow"},
    {41, u"Select"},
    {42, u"Print"},
    {43, u"Execute"},
    {44, u"Snapshot"},
    {45, u"Insert"},
    {46, u"Del"},
    {47, u"Help"},
    {91, u"Left Win"},
    {92, u"Right Win"},
    {93, u"Apps"},
    {95, u"Sleep"},
    {106, u"*"},
    {107, u"+"},
    {108, u"Separator"},
    {109, u"-"},
    {110, u"."},
    {111, u"/"},
    {144, u"Numlock"},
    {145, u"Scroll"},
    {146, u"NEC Equal"},
    {147, u"Masshou"},
    {148, u"Touroku"},
    {149, u"Loya"},
    {150, u"Roya"},
    {160, u"Left Shift"},
    {161, u"Right Shift"},
    {162, u"Left Control"},
    {163, u"Right Control"},
    {164, u"Left Menu"},
    {165, u"Right Menu"},
    {166, u"Browser Back"},
    {167, u"Browser Forward"},
    {168, u"Browser Refresh"},
    {169, u"Browser Stop"},
    {170, u"Browser Search"},
    {171, u"Browser Favorites"},
    {172, u"Browser Home"},
    {173, u"Volume Mute"},
    {174, u"Volume Down"},
    {175, u"Volume Up"},
    {176, u"Media Next Track"},
    {177, u"Media Prev Track"},
    {178, u"Media Stop"},
    {179, u"Media Play Pause"},
    {180, u"Launch Mail"},
    {181, u"Launch Media Select"},
    {182, u"Launch App 1"},
    {183, u"Launch App 2"},
};

struct KeyTables {
  std::map<WString, uint8_t> names;
  // The first name of each key in name order, and the display texts, by key.
  std::array<WString, 256> firstNames;
  std::array<WString, 256> displayTexts;

  KeyTables() {
    for (const NamedKey& named : kNamedKeys) {
      names.emplace(named.name, named.key);
    }
    for (const auto& [name, key] : names) {
      if (firstNames[key].IsEmpty()) {
        firstNames[key] = name;
      }
    }
    for (const auto& [key, text] : kDisplayTexts) {
      displayTexts[key] = text;
    }
    // Digits, letters, the numeric pad and the function keys read as themselves.
    for (char16_t digit = u'0'; digit <= u'9'; ++digit) {
      displayTexts[digit] = WString(digit);
      displayTexts[96 + (digit - u'0')] = WString::Format(u"Numpad %c", digit);
    }
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
      displayTexts[letter] = WString(letter);
    }
    for (int32_t f = 1; f <= 24; ++f) {
      displayTexts[111 + f] = WString::Format(u"F%d", f);
    }
  }
};

const KeyTables& Tables() {
  static const KeyTables tables;
  return tables;
}

} // namespace

uint8_t KeyCode::LookupVirtualKey(const WString& name) {
  const auto& names = Tables().names;
  const auto found = names.find(name);
  return found == names.end() ? 0 : found->second;
}

WString KeyCode::GetKeyName(uint8_t virtualKey) { return Tables().firstNames[virtualKey]; }

WString KeyCode::GetKeyDisplayName(uint8_t virtualKey) { return Tables().displayTexts[virtualKey]; }

const std::map<WString, uint8_t>& KeyCode::GetKeyNameTable() { return Tables().names; }

} // namespace QZ
