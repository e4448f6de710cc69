#include "QZFramework/ControlBase/KeyCode.h"

#include <set>

#include <gtest/gtest.h>

#include "Support/StringPrinter.h"

namespace QZ {
namespace {

TEST(KeyCodeTest, ConstructorsCarryModifiersAndSides) {
  struct Case {
    KeyCode key;
    uint32_t code;
    uint32_t sides;
    uint8_t repeat;
  };
  const Case cases[] = {
      {KeyCode(u'a', kModifierCtrl | kModifierLeftCtrl | kModifierShift | kModifierRightShift), 0x03000061, 0x6, 0},
      {KeyCode(u'x', kModifierAlt | kModifierRightAlt | kModifierCommand | kModifierLeftCommand), 0x0C000078, 0x60, 0},
      {KeyCode(0x53, true, 1, kModifierCtrl | kModifierLeftCtrl), 0x21530000, 0x4, 1},
      {KeyCode(0x2E, false, 1, 0), 0x002E0000, 0, 1},
      {KeyCode(0x41, true, 0, kModifierFurther), 0x30410000, 0, 0},
      // A side bit without its modifier says nothing.
      {KeyCode(0x41, true, 0, kModifierLeftShift | kModifierRightAlt | kModifierLeftCommand), 0x20410000, 0, 0},
      {KeyCode(0x41, true, 0, 0x1FFF), 0x3F410000, 0xFF, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.code);
    EXPECT_EQ(c.key.code, c.code);
    EXPECT_EQ(c.key.sides, c.sides);
    EXPECT_EQ(c.key.repeat, c.repeat);
  }
}

TEST(KeyCodeTest, FromStringReadsKeyCombinations) {
  const std::pair<const char16_t*, uint32_t> cases[] = {
      {u"Ctrl+VKEY_O", 0x214F0000},
      {u"ctrl+vkey_o", 0x214F0000},
      {u"Ctrl+Shift+VKEY_S", 0x23530000},
      {u"VKEY_SHIFT", 0x22100000}, // "SHIFT" in the name counts
      {u"Alt+VKEY_F4", 0x24730000},
      {u"ALT+x", 0x4000078},
      {u"CTRL+x", 0x78}, // a character takes Alt only
      {u"[65]", 65},
      {u"Alt+[ 66]", 0x4000042},
      {u"[65", 0x20000000},
      {u"VKEY_NOPE", 0x20000000},
      {u"Ctrl+VKEY_NOPE", 0x21000000},
      {u"Cmd+VKEY_A", 0x28410000},
      {u"COMMAND+VKEY_A", 0x28410000},
      {u"CtrlShift VKEY_PAGEDN", 0x23220000}, // no separator needed
      {u"", 0x20000000},
      {u"Q", 0x51},
  };
  for (const auto& [text, code] : cases) {
    SCOPED_TRACE(WString(text).ToUTF8().GetBuffer());
    const KeyCode key = KeyCode::FromString(text);
    EXPECT_EQ(key.code, code);
    EXPECT_EQ(key.sides, 0u);
    EXPECT_EQ(key.repeat, 0);
  }
}

TEST(KeyCodeTest, NamesAndTextsOfKeys) {
  EXPECT_EQ(KeyCode::ToText(0x20150000), WString(u"VKEY_HANGEUL"));
  EXPECT_EQ(KeyCode::ToText(65), WString(u"[65]"));
  EXPECT_EQ(KeyCode::ToText(0x2F530000), WString(u"Ctrl+Alt+Shift+Cmd+VKEY_S"));
  EXPECT_EQ(KeyCode::ToText(0x81410000), WString(u"Ctrl+")); // invalid: no key part
  EXPECT_EQ(KeyCode::GetKeyName(25), WString(u"VKEY_HANJA"));
  EXPECT_EQ(KeyCode::GetKeyName(146), WString(u"VKEY_OEM_FJ_JISHO"));
  EXPECT_EQ(KeyCode::GetKeyName(10), WString());
  EXPECT_EQ(KeyCode::GetKeyDisplayName(21), WString(u"Kana"));
  EXPECT_EQ(KeyCode::GetKeyDisplayName(46), WString(u"Del"));
  EXPECT_EQ(KeyCode::GetKeyDisplayName(8), WString());
  EXPECT_EQ(KeyCode::GetKeyDisplayName(101), WString(u"Numpad 5"));
  EXPECT_EQ(KeyCode::GetKeyDisplayName(135), WString(u"F24"));
  EXPECT_EQ(KeyCode::LookupVirtualKey(u"VKEY_PAGEDN"), 34);
  EXPECT_EQ(KeyCode::LookupVirtualKey(u"vkey_pagedn"), 0);

  const std::pair<uint32_t, const char16_t*> display[] = {
      {1, u"Ctrl+A"},
      {26, u"Ctrl+Z"},
      {27, u""},
      {32, u""},
      {33, u"!"},
      {126, u"~"},
      {127, u""},
      {0xE9, u""},
      {0x23530000, u"Ctrl+Shift+S"},
      {0x2F530000, u"Ctrl+Alt+Shift+Cmd+S"},
      {0x2F000000, u"Ctrl+Alt+Shift+Cmd+"},
      {0x20080000, u""}, // Backspace has no text
      {0x24730000, u"Alt+F4"},
      {0x80000041, u""},
  };
  for (const auto& [code, text] : display) {
    EXPECT_EQ(KeyCode::ToDisplayText(code), WString(text)) << std::hex << code;
  }
}

TEST(KeyCodeTest, TablesHold149NamesOf145KeysAndATextForEachKeyButBackspaceAndTab) {
  EXPECT_EQ(KeyCode::GetKeyNameTable().size(), 149u);
  std::set<uint8_t> named;
  for (const auto& [name, key] : KeyCode::GetKeyNameTable()) {
    named.insert(key);
  }
  EXPECT_EQ(named.size(), 145u);
  for (uint32_t key = 0; key < 256; ++key) {
    const bool hasName = named.count(uint8_t(key)) != 0;
    EXPECT_EQ(!KeyCode::GetKeyName(uint8_t(key)).IsEmpty(), hasName) << key;
    EXPECT_EQ(!KeyCode::GetKeyDisplayName(uint8_t(key)).IsEmpty(), hasName && key != 8 && key != 9) << key;
  }
}

TEST(KeyCodeTest, EveryNamedKeyReadsBackWithEveryModifierSet) {
  for (const auto& [name, virtualKey] : KeyCode::GetKeyNameTable()) {
    for (uint32_t set = 0; set < 16; ++set) {
      const uint32_t mask = (set & 1 ? kModifierCtrl : 0) | (set & 2 ? kModifierAlt : 0) |
                            (set & 4 ? kModifierShift : 0) | (set & 8 ? kModifierCommand : 0);
      KeyCode expected(virtualKey, true, 0, mask);
      const WString text = KeyCode::ToText(expected.code);
      if (KeyCode::GetKeyName(virtualKey).Find(WString(u"SHIFT")) >= 0) {
        expected.code |= kKeyCodeShift;
      }
      const KeyCode read = KeyCode::FromString(text);
      EXPECT_EQ(read.code, expected.code) << text.ToUTF8().GetBuffer();
      EXPECT_EQ(read.sides, 0u);
    }
  }
}

TEST(KeyCodeTest, CharactersIgnoreCtrlAndShiftButVirtualKeysMatchExactly) {
  struct Case {
    uint32_t a;
    uint32_t b;
    bool equal;
  };
  const Case cases[] = {
      {0x61 | kKeyCodeCtrl, 0x61, true},
      {0x61 | kKeyCodeShift | kKeyCodeCtrl, 0x61, true},
      {0x61 | kKeyCodeAlt, 0x61, false},
      {0x61, 0x62, false},
      {0x20410000 | kKeyCodeCtrl, 0x20410000, false},
      {0x20410000, 0x20410000, true},
      {0x41, 0x20410000, false}, // a character never equals a virtual key
      {0x00410000, 0x20410000, false},
      {0x80000061, 0x61, false},
      {0x21000000, 0x20000000, true}, // virtual key 0 compares like a character
  };
  for (const Case& c : cases) {
    KeyCode a;
    KeyCode b;
    a.code = c.a;
    b.code = c.b;
    b.sides = 0xFF;
    b.repeat = 1;
    EXPECT_EQ(a == b, c.equal) << std::hex << c.a << " " << c.b;
    EXPECT_EQ(b == a, c.equal) << std::hex << c.a << " " << c.b;
  }
}

} // namespace
} // namespace QZ
