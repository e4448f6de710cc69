#include "QZFramework/ControlBase/KeyCode.h"

namespace QZ {
namespace {

// Bits a code may carry that make equality exact: a virtual key, or the invalid bit.
constexpr uint32_t kExactMatchBits = kKeyCodeInvalid | kKeyCodeVirtualKeyMask;

uint32_t ModifierBits(uint32_t mask) {
  uint32_t bits = 0;
  if (mask & kModifierShift) {
    bits |= kKeyCodeShift;
  }
  if (mask & kModifierCtrl) {
    bits |= kKeyCodeCtrl;
  }
  if (mask & kModifierAlt) {
    bits |= kKeyCodeAlt;
  }
  if (mask & kModifierCommand) {
    bits |= kKeyCodeCommand;
  }
  if (mask & kModifierFurther) {
    bits |= kKeyCodeFurther;
  }
  return bits;
}

WString ModifierPrefixes(uint32_t code) {
  WString text;
  if (code & kKeyCodeCtrl) {
    text += WString(u"Ctrl+");
  }
  if (code & kKeyCodeAlt) {
    text += WString(u"Alt+");
  }
  if (code & kKeyCodeShift) {
    text += WString(u"Shift+");
  }
  if (code & kKeyCodeCommand) {
    text += WString(u"Cmd+");
  }
  return text;
}

uint8_t VirtualKeyOf(uint32_t code) { return uint8_t((code & kKeyCodeVirtualKeyMask) >> 16); }

bool HasPart(const WString& text, const char16_t* part) { return text.Find(WString(part)) >= 0; }

} // namespace

KeyCode::KeyCode(char16_t character, uint32_t mask)
    : code(character | ModifierBits(mask)), sides(SideFlags(mask)), repeat(0) {}

KeyCode::KeyCode(uint8_t virtualKey, bool down, uint8_t repeatFlag, uint32_t mask)
    : code(uint32_t(virtualKey) << 16 | (down ? kKeyCodeDown : 0) | ModifierBits(mask)), sides(SideFlags(mask)),
      repeat(repeatFlag) {}

uint32_t KeyCode::SideFlags(uint32_t mask) {
  struct Side {
    uint32_t modifier;
    uint32_t side;
    uint32_t flag;
  };
  static constexpr Side kSides[] = {
      {kModifierShift, kModifierLeftShift, kSideLeftShift},
      {kModifierShift, kModifierRightShift, kSideRightShift},
      {kModifierCtrl, kModifierLeftCtrl, kSideLeftCtrl},
      {kModifierCtrl, kModifierRightCtrl, kSideRightCtrl},
      {kModifierAlt, kModifierLeftAlt, kSideLeftAlt},
      {kModifierAlt, kModifierRightAlt, kSideRightAlt},
      {kModifierCommand, kModifierLeftCommand, kSideLeftCommand},
      {kModifierCommand, kModifierRightCommand, kSideRightCommand},
  };
  uint32_t flags = 0;
  for (const Side& side : kSides) {
    if ((mask & side.modifier) && (mask & side.side)) {
      flags |= side.flag;
    }
  }
  return flags;
}

bool operator==(const KeyCode& a, const KeyCode& b) {
  if ((a.code | b.code) & kExactMatchBits) {
    return a.code == b.code;
  }
  constexpr uint32_t kTypedModifiers = kKeyCodeCtrl | kKeyCodeShift;
  return (a.code & ~kTypedModifiers) == (b.code & ~kTypedModifiers);
}

WString KeyCode::ToDisplayText(uint32_t code) {
  WString text = ModifierPrefixes(code);
  if (code & kKeyCodeInvalid) {
    return text;
  }
  if (const uint8_t key = VirtualKeyOf(code)) {
    text += GetKeyDisplayName(key);
    return text;
  }
  const char16_t character = char16_t(code & kKeyCodeCharacterMask);
  if (character >= 1 && character <= 26) {
    text += WString(u"Ctrl+");
    text += char16_t(character + 64);
  } else if (character >= 33 && character <= 126) {
    text += character;
  }
  return text;
}

WString KeyCode::ToText(uint32_t code) {
  WString text = ModifierPrefixes(code);
  if (code & kKeyCodeInvalid) {
    return text;
  }
  if (const uint8_t key = VirtualKeyOf(code)) {
    text += GetKeyName(key);
  } else {
    text += WString::Format(u"[%d]", uint32_t(code & kKeyCodeCharacterMask));
  }
  return text;
}

KeyCode KeyCode::FromString(const WString& text) {
  const KeyCode none(uint8_t(0), true, 0, 0);
  const WString upper = text.ToUpper();
  const bool ctrl = HasPart(upper, u"CTRL");
  const bool alt = HasPart(upper, u"ALT");
  const bool shift = HasPart(upper, u"SHIFT");
  // "Cmd+" is what ToText writes; "COMMAND" is what the definitions of other platforms use.
  const bool command = HasPart(upper, u"COMMAND") || HasPart(upper, u"CMD");

  const int32_t name = upper.Find(WString(u"VKEY_"));
  if (name >= 0) {
    uint32_t mask = 0;
    mask |= shift ? kModifierShift : 0;
    mask |= ctrl ? kModifierCtrl : 0;
    mask |= alt ? kModifierAlt : 0;
    mask |= command ? kModifierCommand : 0;
    return KeyCode(LookupVirtualKey(upper.Mid(name)), true, 0, mask);
  }

  const uint32_t mask = alt ? kModifierAlt : 0;
  const int32_t open = upper.Find(WString(u"["));
  if (open < 0) {
    if (text.IsEmpty()) {
      return none;
    }
    return KeyCode(text.GetBuffer()[text.GetLength() - 1], mask);
  }
  const WString number = upper.Mid(open + 1);
  if (number.Find(WString(u"]")) < 0) {
    return none;
  }
  // Only the low 16 bits of the number make a UTF-16 unit.
  return KeyCode(char16_t(Chars::ToInt32(number.GetBuffer())), mask);
}

} // namespace QZ
