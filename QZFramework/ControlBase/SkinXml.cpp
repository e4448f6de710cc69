#include "QZFramework/ControlBase/SkinXml.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "QZFramework/Utilities/Storage/WideChar.h"

namespace QZ::SkinXml {

namespace {

#define QZ_SKIN_XML_NAME_ENTRY(name) {#name, Kind::name},

// The names of one vocabulary in an open-addressed table: a name is hashed by its length
// and three of its characters, and most lookups touch one slot. Every element and
// attribute of every document goes through here.
template <class Kind, size_t kSlots>
class NameTable {
public:
  NameTable(std::initializer_list<std::pair<std::string_view, Kind>> names) {
    static_assert((kSlots & (kSlots - 1)) == 0, "a power of two");
    for (const auto& [name, kind] : names) {
      size_t slot = Hash(name.data(), name.size()) & (kSlots - 1);
      while (!mSlots[slot].name.empty()) {
        slot = (slot + 1) & (kSlots - 1);
      }
      mSlots[slot] = {name, kind};
    }
  }

  Kind Find(const char* name, Kind missing) const {
    const size_t length = std::strlen(name);
    for (size_t slot = Hash(name, length) & (kSlots - 1);; slot = (slot + 1) & (kSlots - 1)) {
      const Slot& entry = mSlots[slot];
      if (entry.name.empty()) {
        return missing;
      }
      if (entry.name.size() == length && SameBytes(entry.name.data(), name, length)) {
        return entry.kind;
      }
    }
  }

private:
  // memcmp without the call: names run to about 20 bytes, compared eight at a time (the
  // last eight overlapping what came before).
  static bool SameBytes(const char* a, const char* b, size_t length) {
    if (length < 8) {
      for (size_t i = 0; i < length; ++i) {
        if (a[i] != b[i]) {
          return false;
        }
      }
      return true;
    }
    uint64_t x = 0;
    uint64_t y = 0;
    for (size_t i = 0; i + 8 < length; i += 8) {
      std::memcpy(&x, a + i, 8);
      std::memcpy(&y, b + i, 8);
      if (x != y) {
        return false;
      }
    }
    std::memcpy(&x, a + length - 8, 8);
    std::memcpy(&y, b + length - 8, 8);
    return x == y;
  }

  static uint32_t Hash(const char* name, size_t length) {
    if (length == 0) {
      return 0;
    }
    const uint32_t first = uint8_t(name[0]);
    const uint32_t middle = uint8_t(name[length / 2]);
    const uint32_t last = uint8_t(name[length - 1]);
    return ((uint32_t(length) * 31 + first) * 31 + middle) * 31 + last;
  }

  struct Slot {
    std::string_view name;
    Kind kind{};
  };
  // At most half full, so a probe ends soon at an empty slot.
  std::array<Slot, kSlots> mSlots{};
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

} // namespace

Element Classify(const char* name) {
  using Kind = Element;
  static const NameTable<Element, 64> kElements{QZ_SKIN_XML_ELEMENTS(QZ_SKIN_XML_NAME_ENTRY)};
  static_assert(size_t(Element::Other) * 2 <= 64, "the table stays at most half full");
  return kElements.Find(name, Element::Other);
}

void Attributes::Collect(const char** attributes) {
  using Kind = Attribute;
  static const NameTable<Attribute, 256> kAttributes{QZ_SKIN_XML_ATTRIBUTES(QZ_SKIN_XML_NAME_ENTRY)};
  static_assert(size_t(Attribute::Count) * 2 <= 256, "the table stays at most half full");
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

#undef QZ_SKIN_XML_NAME_ENTRY

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

SkinFont ReadFont(const Attributes& attributes) {
  using A = Attribute;
  SkinFont font;
  font.inheritsFromParent =
      attributes.Has(A::FontInheritsFromParent) && ReadBoolean(attributes[A::FontInheritsFromParent]);
  font.sizeIsRelative = attributes.Has(A::FontSizeIsRelative) && ReadBoolean(attributes[A::FontSizeIsRelative]);
  font.name = attributes.SharedText(A::FontName);
  if (attributes.Has(A::FontSize)) {
    font.size = ReadFloat(attributes[A::FontSize]);
  } else {
    font.sizeIsRelative = false;
  }
  if (attributes.Has(A::FontStyle)) {
    font.style = ReadIntegerOrHex(attributes[A::FontStyle]);
  }
  return font;
}

} // namespace QZ::SkinXml
