#pragma once
// QZ::KeyCode: one keyboard event or hot-key binding: a typed character or a virtual key
// with its modifiers, the left/right details of the modifiers, and a repeat flag.
//
//   QZ::KeyCode save = QZ::KeyCode::FromString(u"Ctrl+VKEY_S");   // code 0x21530000
//   QZ::KeyCode typed(u's', QZ::kModifierCtrl);                     // code 0x01000073
//   QZ::KeyCode::ToText(save.code);                                 // "Ctrl+VKEY_S"
//   QZ::KeyCode::ToDisplayText(save.code);                          // "Ctrl+S"
//   QZ::KeyCode(0x53, true, 0, QZ::kModifierCtrl) == save;          // true: the key pressed
//
// The code word:
//   bits 0-15   the character (UTF-16 unit) of a character code, 0 for a virtual key
//   bits 16-23  the virtual key (Windows numbering) of a virtual-key code, 0 for a character
//   bit 24 Ctrl, 25 Shift, 26 Alt, 27 Command (Windows key), 28 the further modifier
//   bit 29      key down (virtual keys only; clear on release)
//   bit 31      never set by these operations; a code with it is invalid: hot-key parsing
//               drops it and the text forms write no key for it.
//
// The name tables ("VKEY_" names, display texts) are built once on first use, safely from
// any thread, and never change; every operation here is safe on any thread.

#include <cstdint>
#include <map>

#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

// The modifier mask the OS window builds from the keyboard state; each side bit is set
// together with its modifier bit.
inline constexpr uint32_t kModifierCtrl = 0x1;
inline constexpr uint32_t kModifierLeftCtrl = 0x2;
inline constexpr uint32_t kModifierRightCtrl = 0x4;
inline constexpr uint32_t kModifierShift = 0x8;
inline constexpr uint32_t kModifierLeftShift = 0x10;
inline constexpr uint32_t kModifierRightShift = 0x20;
inline constexpr uint32_t kModifierAlt = 0x40;
inline constexpr uint32_t kModifierLeftAlt = 0x80;
inline constexpr uint32_t kModifierRightAlt = 0x100;
inline constexpr uint32_t kModifierCommand = 0x200;
inline constexpr uint32_t kModifierLeftCommand = 0x400;
inline constexpr uint32_t kModifierRightCommand = 0x800;
// Has no source in the keyboard handling; carried into bit 28 of the code.
inline constexpr uint32_t kModifierFurther = 0x1000;

// Bits of the code word.
inline constexpr uint32_t kKeyCodeCharacterMask = 0xFFFF;
inline constexpr uint32_t kKeyCodeVirtualKeyMask = 0xFF0000;
inline constexpr uint32_t kKeyCodeCtrl = 0x1000000;
inline constexpr uint32_t kKeyCodeShift = 0x2000000;
inline constexpr uint32_t kKeyCodeAlt = 0x4000000;
inline constexpr uint32_t kKeyCodeCommand = 0x8000000;
inline constexpr uint32_t kKeyCodeFurther = 0x10000000;
inline constexpr uint32_t kKeyCodeDown = 0x20000000;
inline constexpr uint32_t kKeyCodeInvalid = 0x80000000;

// Bits of the sides word: which physical modifier keys are down.
inline constexpr uint32_t kSideLeftShift = 0x1;
inline constexpr uint32_t kSideRightShift = 0x2;
inline constexpr uint32_t kSideLeftCtrl = 0x4;
inline constexpr uint32_t kSideRightCtrl = 0x8;
inline constexpr uint32_t kSideLeftAlt = 0x10;
inline constexpr uint32_t kSideRightAlt = 0x20;
inline constexpr uint32_t kSideLeftCommand = 0x40;
inline constexpr uint32_t kSideRightCommand = 0x80;

struct KeyCode {
  uint32_t code = 0;
  uint32_t sides = 0;
  // For a key press, 1 when the key was already down (auto-repeat); 1 for every release;
  // 0 for characters and parsed codes.
  uint8_t repeat = 0;

  KeyCode() = default;
  // A character code with the modifiers of mask; repeat 0.
  KeyCode(char16_t character, uint32_t mask);
  // A virtual-key code, as the OS window builds it for a press (down) or a release.
  KeyCode(uint8_t virtualKey, bool down, uint8_t repeat, uint32_t mask);

  // The sides word of a modifier mask.
  static uint32_t SideFlags(uint32_t mask);

  // Equality of the code words only. When either has a virtual key or bit 31, the words
  // must be equal; two character codes ignore Ctrl and Shift, which the typed character
  // already reflects. A character never equals a virtual key.
  friend bool operator==(const KeyCode& a, const KeyCode& b);

  // The virtual key of a "VKEY_" name (exact, case-sensitive); 0 when there is none.
  static uint8_t LookupVirtualKey(const WString& name);
  // The first "VKEY_" name of a virtual key in name order (so "VKEY_HANGEUL" for 21);
  // empty when the key has none.
  static WString GetKeyName(uint8_t virtualKey);
  // The readable text of a virtual key ("Del", "Page Up"); empty when none (8, 9 ...).
  static WString GetKeyDisplayName(uint8_t virtualKey);

  // The form menus and tool tips show: "Ctrl+", "Alt+", "Shift+", "Cmd+" in this order,
  // then the key's display text, or for a character: a control character 1-26 as
  // "Ctrl+A" to "Ctrl+Z", 33-126 the character itself, anything else nothing.
  static WString ToDisplayText(uint32_t code);
  // The form FromString reads back: the same prefixes, then the key's "VKEY_" name, or
  // "[<number>]" for a character.
  static WString ToText(uint32_t code);
  // Parses a key combination ("Ctrl+Shift+VKEY_S", "Alt+x", "[65]"). Ctrl, Alt, Shift and
  // Command ("COMMAND" or "CMD") count wherever they occur, in any case. A text with
  // "VKEY_" gives that key pressed with the modifiers (an unknown name virtual key 0);
  // otherwise a character code with Alt only: the number in "[...]", or else the last
  // character of the text. Texts without a key ("", "[65") give the pressed virtual key
  // 0, code 0x20000000. Sides and repeat are 0.
  static KeyCode FromString(const WString& text);

  // The name table, by name in UTF-16 unit order: 149 names of 145 virtual keys.
  static const std::map<WString, uint8_t>& GetKeyNameTable();
};

} // namespace QZ
