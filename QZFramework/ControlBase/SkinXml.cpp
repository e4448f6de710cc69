#include "QZFramework/ControlBase/SkinXml.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <utility>
#include <vector>

#include "QZFramework/Utilities/Storage/WideChar.h"

namespace QZ::SkinXml {

namespace {

// The names of one vocabulary in a table without collisions: a name is keyed by its
// length and its first and last eight bytes, which for names of up to 16 bytes is every
// byte, and the key's hash picks the one slot where it can be. Every element and
// attribute of every document goes through here.
template <class Kind, unsigned kBits>
class NameTable {
public:
  // Once a process: out of line, away from the lookups.
  template <size_t kCount>
  [[gnu::cold]] explicit NameTable(const std::pair<std::string_view, Kind> (&names)[kCount]) {
    static_assert(kBits <= 16, "a small table");
    static_assert(kCount < kFree && kCount * 8 <= kSlots, "room for eight slots a name");
    for (const auto& [name, kind] : names) {
      mEntries.push_back({KeyOf(name.data(), name.size()), name.data(), kind});
    }
    // Searched once, when the table is made: about one multiplier in a hundred leaves every
    // name a slot of its own.
    for (uint64_t seed = 1; seed < 100000; ++seed) {
      mMultiplier = (seed * 0x9E3779B97F4A7C15ull) | 1;
      if (PlaceAll()) {
        return;
      }
    }
    throw std::logic_error("no multiplier separates the names");
  }

  Kind Find(const char* name, Kind missing) const {
    const size_t length = std::strlen(name);
    const Key key = KeyOf(name, length);
    const uint8_t index = mSlots[SlotOf(key)];
    if (index == kFree) {
      return missing;
    }
    const Entry& entry = mEntries[index];
    if (!(entry.key == key) || (length > 16 && std::memcmp(entry.name + 8, name + 8, length - 16) != 0)) {
      return missing;
    }
    return entry.kind;
  }

private:
  static constexpr size_t kSlots = size_t(1) << kBits;
  static constexpr uint8_t kFree = 0xFF;

  struct Key {
    uint64_t head = 0;
    uint64_t tail = 0;
    uint64_t length = 0;
    bool operator==(const Key&) const = default;
  };
  struct Entry {
    Key key;
    const char* name = nullptr;
    Kind kind{};
  };

  // Loads within the name only: below eight bytes, overlapping halves or single bytes.
  static Key KeyOf(const char* name, size_t length) {
    Key key;
    key.length = length;
    if (length >= 8) {
      std::memcpy(&key.head, name, 8);
      std::memcpy(&key.tail, name + length - 8, 8);
    } else if (length >= 4) {
      uint32_t head = 0;
      uint32_t tail = 0;
      std::memcpy(&head, name, 4);
      std::memcpy(&tail, name + length - 4, 4);
      key.head = head;
      key.tail = tail;
    } else if (length > 0) {
      key.head = uint64_t(uint8_t(name[0])) | uint64_t(uint8_t(name[length / 2])) << 8 |
                 uint64_t(uint8_t(name[length - 1])) << 16;
    }
    return key;
  }

  size_t SlotOf(const Key& key) const {
    const uint64_t mixed = key.head ^ ((key.tail << 29) | (key.tail >> 35)) ^ key.length;
    return size_t((mixed * mMultiplier) >> (64 - kBits));
  }

  bool PlaceAll() {
    mSlots.fill(kFree);
    for (size_t i = 0; i < mEntries.size(); ++i) {
      uint8_t& slot = mSlots[SlotOf(mEntries[i].key)];
      if (slot != kFree) {
        return false;
      }
      slot = uint8_t(i);
    }
    return true;
  }

  std::vector<Entry> mEntries;
  uint64_t mMultiplier = 1;
  std::array<uint8_t, kSlots> mSlots{};
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// "MinSizeToControl" or "MaxSizeToControl": "Self" clears the flag, any other text sets
// it and is kept as the name.
void ReadLimitAttributes(const Attributes& attributes, Attribute toControl, Attribute rel, Attribute abs, int axis,
                         LayoutLimit& limit) {
  if (const char* value = attributes(toControl, axis)) {
    limit.toControl = !Is(value, "Self");
    if (limit.toControl) {
      limit.name = attributes.SharedText(toControl, axis);
    }
  }
  if (const char* value = attributes(rel, axis)) {
    limit.rel = ReadFloat(value);
  }
  if (const char* value = attributes(abs, axis)) {
    limit.abs = ReadInteger(value);
  }
}

// The vocabularies as constant data: the tables are made from them on first use.
constexpr std::pair<std::string_view, Element> kElementNames[] = {
#define QZ_SKIN_XML_NAME_ENTRY(name) {#name, Element::name},
    QZ_SKIN_XML_ELEMENTS(QZ_SKIN_XML_NAME_ENTRY)
#undef QZ_SKIN_XML_NAME_ENTRY
};
constexpr std::pair<std::string_view, Attribute> kAttributeNames[] = {
#define QZ_SKIN_XML_NAME_ENTRY(name) {#name, Attribute::name},
    QZ_SKIN_XML_ATTRIBUTES(QZ_SKIN_XML_NAME_ENTRY)
#undef QZ_SKIN_XML_NAME_ENTRY
};

} // namespace

Element Classify(const char* name) {
  static const NameTable<Element, 8> kElements(kElementNames);
  return kElements.Find(name, Element::Other);
}

void Attributes::Collect(const char** attributes) {
  static const NameTable<Attribute, 10> kAttributes(kAttributeNames);
  for (size_t i = 0; i < mSetCount; ++i) {
    mValues[mSet[i]] = nullptr;
  }
  mSetCount = 0;
  // Expat refuses a repeated attribute, so each kind is set at most once.
  for (; attributes[0] != nullptr; attributes += 2) {
    const Attribute kind = kAttributes.Find(attributes[0], Attribute::Count);
    if (kind != Attribute::Count) {
      mValues[size_t(kind)] = attributes[1];
      mSet[mSetCount++] = uint8_t(kind);
    }
  }
}

namespace {

// Eight bytes a step: the texts are short names, hashed on every lookup.
size_t HashOf(std::string_view text) {
  constexpr uint64_t kMultiplier = 0xFF51AFD7ED558CCDull;
  uint64_t hash = uint64_t(text.size()) * 0x9E3779B97F4A7C15ull;
  const auto mix = [&](uint64_t word) {
    hash = (hash ^ word) * kMultiplier;
    hash = (hash << 27) | (hash >> 37);
  };
  size_t i = 0;
  uint64_t word = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::memcpy(&word, text.data() + i, 8);
    mix(word);
  }
  if (i < text.size()) {
    if (text.size() >= 8) {
      std::memcpy(&word, text.data() + text.size() - 8, 8); // overlaps the last step
    } else {
      word = 0;
      for (; i < text.size(); ++i) {
        word = word << 8 | uint8_t(text[i]);
      }
    }
    mix(word);
  }
  // Every byte reaches the low bits, which pick the slot.
  hash ^= hash >> 33;
  hash *= 0xC4CEB9FE1A85EC53ull;
  hash ^= hash >> 33;
  return size_t(hash);
}

} // namespace

TextIndex::Place TextIndex::Find(std::string_view text) {
  if (mKeys.size() * 2 >= mSlots.size()) {
    Grow();
  }
  Place place;
  place.hash = HashOf(text);
  const size_t mask = mSlots.size() - 1;
  for (place.slot = place.hash & mask; mSlots[place.slot] != 0; place.slot = (place.slot + 1) & mask) {
    const Key& key = mKeys[mSlots[place.slot] - 1];
    if (key.hash == place.hash && key.text == text) {
      place.index = mSlots[place.slot] - 1;
      place.found = true;
      break;
    }
  }
  return place;
}

void TextIndex::Add(std::string_view text, const Place& place) {
  mKeys.push_back({place.hash, std::string(text)});
  mSlots[place.slot] = uint32_t(mKeys.size());
}

void TextIndex::Grow() {
  mSlots.assign(std::max<size_t>(64, mSlots.size() * 2), 0);
  const size_t mask = mSlots.size() - 1;
  for (size_t i = 0; i < mKeys.size(); ++i) {
    size_t slot = mKeys[i].hash & mask;
    while (mSlots[slot] != 0) {
      slot = (slot + 1) & mask;
    }
    mSlots[slot] = uint32_t(i + 1);
  }
}

namespace {

// Short texts are widened on the stack and copied once into the string's buffer.
constexpr size_t kShortText = 128;

[[gnu::cold]] [[gnu::noinline]] WString ConvertedText(const char* text, size_t length) {
  WString converted;
  converted.AssignUTF8(text, uint32_t(std::min<size_t>(length, WString::kWholeText)));
  return converted;
}

} // namespace

WString ToText(const char* text) {
  char16_t units[kShortText];
  for (size_t i = 0; i < kShortText; ++i) {
    const uint8_t c = uint8_t(text[i]);
    if (c == 0) {
      return WString(units, uint32_t(i));
    }
    if (c >= 0x80) {
      break;
    }
    units[i] = char16_t(c);
  }
  return WString(text);
}

WString ToText(const char* text, size_t length) {
  if (length < kShortText) {
    char16_t units[kShortText];
    size_t i = 0;
    for (; i < length && uint8_t(text[i]) < 0x80; ++i) {
      units[i] = char16_t(text[i]);
    }
    if (i == length) {
      return WString(units, uint32_t(length));
    }
  }
  return ConvertedText(text, length);
}

bool Is(const char* value, const char* keyword) { return std::strcmp(value, keyword) == 0; }

bool ReadBoolean(const char* value) { return Is(value, "True"); }

float ReadFloat(const char* value) {
  // Plain decimals ("0.25", "-8", most of a skin's reals) without the general reader:
  // with at most 15 digits the digits and the power of ten are exact doubles, so the one
  // division rounds the true value as the general reader does.
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* p = value;
  const bool negative = *p == '-';
  p += negative ? 1 : 0;
  uint64_t digits = 0;
  int count = 0;
  int fractionDigits = 0;
  bool point = false;
  for (;; ++p) {
    if (*p >= '0' && *p <= '9') {
      digits = digits * 10 + uint64_t(*p - '0');
      ++count;
      fractionDigits += point ? 1 : 0;
    } else if (*p == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (*p != '\0' || count == 0 || count > 15) {
    return float(Chars::ToDouble(value));
  }
  const double magnitude = double(digits) / kPowersOfTen[fractionDigits];
  return float(negative ? -magnitude : magnitude);
}

int32_t ReadInteger(const char* value) {
  // Plain decimals ("12", "-8": most of a skin's integers) without the general reader;
  // nine digits cannot overflow, and what follows the digits is ignored by both.
  const bool negative = value[0] == '-';
  int32_t number = 0;
  int count = 0;
  for (const char* p = value + (negative ? 1 : 0); *p >= '0' && *p <= '9'; ++p) {
    if (++count > 9) {
      return Chars::ToInt32(value);
    }
    number = number * 10 + (*p - '0');
  }
  if (count == 0) {
    return Chars::ToInt32(value);
  }
  return negative ? -number : number;
}

int32_t ReadIntegerOrHex(const char* value) {
  if (value[0] != '0' || value[1] != 'x') {
    return ReadInteger(value);
  }
  int32_t number = 0;
  for (const char* digit = value + 2; digit < value + 6; ++digit) {
    const int d = HexDigit(*digit);
    if (d < 0) {
      break;
    }
    number = number * 16 + d;
  }
  return number;
}

ColorT<float> ReadColor(const char* value) {
  ColorT<float> color;
  color.FromString(value); // text of another length leaves the colour at 0
  return color;
}

ResizeType ReadResizeType(const char* value) {
  if (Is(value, "Tile")) {
    return ResizeType::Tile;
  }
  if (Is(value, "Center")) {
    return ResizeType::Center;
  }
  return ResizeType::Stretch;
}

int32_t ReadReferenceKind(const char* value, bool isSize) {
  // By the first letter first: every control's position and size come by here.
  enum Kind { kParent, kClient, kSelf, kSibling };
  Kind kind = kSibling;
  switch (value[0]) {
  case 'P':
    kind = Is(value, "Parent") ? kParent : kSibling;
    break;
  case 'S':
    kind = Is(value, "Screen") ? kParent : Is(value, "Self") && isSize ? kSelf : kSibling;
    break;
  case 'C':
    kind = Is(value, "Client") ? kClient : kSibling;
    break;
  case 'A':
    kind = Is(value, "Active Window") ? kClient : kSibling;
    break;
  default:
    break;
  }
  switch (kind) {
  case kParent:
    return isSize ? kSizeToParent : kPositionToParent;
  case kClient:
    return isSize ? kSizeToClient : kPositionToClient;
  case kSelf:
    return kSizeToSelf;
  case kSibling:
    break;
  }
  return isSize ? kSizeToSibling : kPositionToSibling;
}

void ReadLayout(const Attributes& attributes, bool parentIsRoot, LLayoutDescriptor& layout) {
  using A = Attribute;
  if (const char* value = attributes[A::ClipToParent]) {
    layout.clipToParent = ReadBoolean(value);
  }
  if (const char* value = attributes[A::Z_Order]) {
    layout.zOrder = ReadInteger(value);
  }
  // A skin's top-level controls take neither: their windows place and show them.
  if (!parentIsRoot) {
    if (const char* value = attributes[A::TabStop]) {
      layout.tabStop = ReadInteger(value);
    }
    if (const char* value = attributes[A::IsVisible]) {
      layout.isVisible = ReadBoolean(value);
    }
  }
  if (const char* value = attributes[A::LayoutOrder]) {
    layout.layoutOrder = ReadIntegerOrHex(value);
  }
  for (int axis = 0; axis < 2; ++axis) {
    LayoutPosition& position = layout.position[axis];
    if (const char* value = attributes(A::XIsDocked, axis)) {
      position.docked = ReadBoolean(value);
    }
    if (const char* value = attributes(A::XPlacementAnchor, axis)) {
      position.anchor = ReadFloat(value);
    }
    if (const char* value = attributes(A::XPositionToControl, axis)) {
      position.kind = ReadReferenceKind(value, false);
      if (position.kind == kPositionToSibling) {
        position.name = attributes.SharedText(A::XPositionToControl, axis);
      }
    }
    if (const char* value = attributes(A::XPositionRel, axis)) {
      position.rel = ReadFloat(value);
    }
    if (const char* value = attributes(A::XPositionAbs, axis)) {
      position.abs = ReadInteger(value);
    }
    LayoutSize& size = layout.size[axis];
    if (const char* value = attributes(A::XSizeToControl, axis)) {
      size.kind = ReadReferenceKind(value, true);
      if (size.kind == kSizeToSibling) {
        size.name = attributes.SharedText(A::XSizeToControl, axis);
      }
    }
    if (const char* value = attributes(A::XSizeRel, axis)) {
      size.rel = ReadFloat(value);
    }
    if (const char* value = attributes(A::XSizeAbs, axis)) {
      size.abs = ReadInteger(value);
    }
    ReadLimitAttributes(attributes, A::XMinSizeToControl, A::XMinSizeRel, A::XMinSizeAbs, axis, layout.minimum[axis]);
    ReadLimitAttributes(attributes, A::XMaxSizeToControl, A::XMaxSizeRel, A::XMaxSizeAbs, axis, layout.maximum[axis]);
  }
  if (attributes.Has(A::TextDecoration)) {
    layout.textDecoration = attributes.Text(A::TextDecoration);
  }
  if (const char* value = attributes[A::TextOverflowXType]) {
    if (Is(value, "Clip")) {
      layout.textOverflowX = kTextOverflowClip;
    } else if (Is(value, "Expand")) {
      layout.textOverflowX = kTextOverflowExpand;
    } else if (Is(value, "Wrap")) {
      layout.textOverflowX = kTextOverflowWrap;
    }
  }
  if (const char* value = attributes[A::TextOverflowYType]) {
    if (Is(value, "Clip")) {
      layout.textOverflowY = kTextOverflowClip;
    } else if (Is(value, "Expand")) {
      layout.textOverflowY = kTextOverflowExpand;
    }
  }
}

void ReadFont(const Attributes& attributes, SkinFont& font) {
  using A = Attribute;
  font.inheritsFromParent =
      attributes.Has(A::FontInheritsFromParent) && ReadBoolean(attributes[A::FontInheritsFromParent]);
  font.sizeIsRelative = attributes.Has(A::FontSizeIsRelative) && ReadBoolean(attributes[A::FontSizeIsRelative]);
  font.name = attributes.SharedText(A::FontName);
  if (attributes.Has(A::FontSize)) {
    font.size = ReadFloat(attributes[A::FontSize]);
  } else {
    font.size = SkinFont::kNoSize;
    font.sizeIsRelative = false;
  }
  font.style = attributes.Has(A::FontStyle) ? ReadIntegerOrHex(attributes[A::FontStyle]) : SkinFont::kNoStyle;
}

} // namespace QZ::SkinXml
