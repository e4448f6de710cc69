#pragma once
// The vocabulary of the skin and string-table documents, for the control factory's
// reader: the elements and attributes it knows, and the syntaxes of their values.
//
//   QZ::SkinXml::Attributes attributes;
//   attributes.Collect(expatAttributes);                 // name, value, name, value, ..., null
//   if (const char* order = attributes[QZ::SkinXml::Attribute::LayoutOrder]) {
//     layout.layoutOrder = QZ::SkinXml::ReadIntegerOrHex(order);   // "0x10" is 16
//   }
//
// Names and keywords compare exactly (case matters). Values are UTF-8 text from Expat;
// numbers are read the same whatever the process locale. Pure functions, any thread; an
// Attributes object belongs to one reader.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/LayoutDescriptor.h"
#include "QZFramework/Renderer/Renderer.h"
#include "QZFramework/Utilities/Graphics/Color.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ::SkinXml {

// clang-format off
#define QZ_SKIN_XML_ELEMENTS(X)                                                                                        \
  X(Application) X(StringTable) X(String) X(Locale)                                                                    \
  X(Skins) X(Skin) X(FontLocale) X(FontXLat) X(SubControl) X(CreateParamList) X(CreateParam)                           \
  X(LookLists) X(LookList) X(Looks) X(Look) X(ClientPart) X(NonClientParts) X(NonClientPart) X(TextProperties)         \
  X(Parts) X(Part) X(Colorizers) X(Colorizer)

// The attributes of one axis come in X, Y pairs, so that Y is X + 1.
#define QZ_SKIN_XML_ATTRIBUTES(X)                                                                                      \
  X(Name) X(Class) X(ID) X(LCID) X(Index) X(NumLooks) X(LookList) X(XLat)                                              \
  X(ColorType) X(Color) X(GradientEndColor) X(GradientStartX) X(GradientStartY) X(GradientEndX) X(GradientEndY)        \
  X(Width) X(Height) X(ResizeType) X(ImageFile) X(ImageLocX) X(ImageLocY)                                              \
  X(ColorizerName) X(ColorizerAlphaMod) X(ColorizerMaskFile) X(MaskLocX) X(MaskLocY)                                   \
  X(OffsetLeft) X(OffsetTop) X(OffsetRight) X(OffsetBottom)                                                            \
  X(TextLeftRel) X(TextLeftAbs) X(TextRightRel) X(TextRightAbs) X(TextHAlign)                                          \
  X(TextTopRel) X(TextTopAbs) X(TextBottomRel) X(TextBottomAbs) X(TextVAlign) X(TextForegroundPart)                    \
  X(FontName) X(FontSize) X(FontStyle) X(FontInheritsFromParent) X(FontSizeIsRelative)                                 \
  X(ClipToParent) X(Z_Order) X(TabStop) X(LayoutOrder) X(IsVisible)                                                    \
  X(TextDecoration) X(TextOverflowXType) X(TextOverflowYType)                                                          \
  X(XIsDocked) X(YIsDocked) X(XPlacementAnchor) X(YPlacementAnchor)                                                    \
  X(XPositionToControl) X(YPositionToControl) X(XPositionRel) X(YPositionRel) X(XPositionAbs) X(YPositionAbs)          \
  X(XSizeToControl) X(YSizeToControl) X(XSizeRel) X(YSizeRel) X(XSizeAbs) X(YSizeAbs)                                  \
  X(XMinSizeToControl) X(YMinSizeToControl) X(XMinSizeRel) X(YMinSizeRel) X(XMinSizeAbs) X(YMinSizeAbs)                \
  X(XMaxSizeToControl) X(YMaxSizeToControl) X(XMaxSizeRel) X(YMaxSizeRel) X(XMaxSizeAbs) X(YMaxSizeAbs)
// clang-format on

#define QZ_SKIN_XML_ENUMERATOR(name) name,
enum class Element { QZ_SKIN_XML_ELEMENTS(QZ_SKIN_XML_ENUMERATOR) Other };
enum class Attribute { QZ_SKIN_XML_ATTRIBUTES(QZ_SKIN_XML_ENUMERATOR) Count };
static_assert(size_t(Attribute::Count) <= 256, "an attribute kind fits a byte");
#undef QZ_SKIN_XML_ENUMERATOR

// The element of that name; Other for a name the reader does not know.
Element Classify(const char* name);

// UTF-8 text in UTF-16, as WString(text) converts it: the ASCII that nearly every skin
// text is, is widened without the general converter.
WString ToText(const char* text);
WString ToText(const char* text, size_t length);

// UTF-8 texts numbered 0, 1, 2, ... in the order they were first added. Open-addressed;
// one copy of the code serves every table of the reader.
class TextIndex {
public:
  // Where text is, or where it would go: Add(text, place) before the next Find.
  struct Place {
    size_t hash = 0;
    size_t slot = 0;
    uint32_t index = 0;
    bool found = false;
  };
  Place Find(std::string_view text);
  // Numbers text (not found at place) with the next index.
  void Add(std::string_view text, const Place& place);

private:
  void Grow();

  struct Key {
    size_t hash;
    std::string text;
  };
  std::vector<Key> mKeys;
  // Index + 1 of a key, 0 for a free slot; a power of two in size, at most half full.
  std::vector<uint32_t> mSlots;
};

// Values stored under UTF-8 texts, each made once: a document names the same classes,
// fonts, IDs, parts and looks again and again. Holds every value until it is destroyed.
template <class Value>
class TextTable {
public:
  // The value stored under text, made by make() the first time; the reference is valid
  // as long as the table.
  template <class Make>
  Value& Get(std::string_view text, const Make& make) {
    const TextIndex::Place place = mIndex.Find(text);
    if (place.found) {
      return mValues[place.index];
    }
    // Numbered only once made: a failure leaves neither the value nor its number.
    mValues.push_back(make());
    try {
      mIndex.Add(text, place);
    } catch (...) {
      mValues.pop_back();
      throw;
    }
    return mValues.back();
  }

private:
  TextIndex mIndex;
  std::deque<Value> mValues; // where a value stays as others are added
};

// The attributes of one element by kind; null where the element does not carry one.
class Attributes {
public:
  // Takes Expat's list (name, value, ..., null); the values must outlive the lookups.
  void Collect(const char** attributes);

  const char* operator[](Attribute kind) const { return mValues[size_t(kind)]; }
  // The attribute of axis 0 (X) or 1 (Y) of an X, Y pair named by its X kind.
  const char* operator()(Attribute xKind, int axis) const { return mValues[size_t(xKind) + size_t(axis)]; }
  bool Has(Attribute kind) const { return mValues[size_t(kind)] != nullptr; }
  template <class... Kinds>
  bool HasAll(Kinds... kinds) const {
    return (Has(kinds) && ...);
  }
  // The value as text; empty when absent.
  WString Text(Attribute kind) const { return Has(kind) ? ToText((*this)[kind]) : WString(); }
  // Text for values that recur (classes, fonts, IDs, names referred to): equal values
  // share one buffer, converted once and kept for the life of this object.
  const WString& SharedText(Attribute kind) const { return SharedTextOf(mValues[size_t(kind)]); }
  const WString& SharedText(Attribute xKind, int axis) const {
    return SharedTextOf(mValues[size_t(xKind) + size_t(axis)]);
  }

private:
  const WString& SharedTextOf(const char* value) const {
    return value ? mTexts.Get(value, [value] { return ToText(value); }) : WString::GetEmpty();
  }

  // Filled by the lookups: a cache, not part of what the attributes are.
  mutable TextTable<WString> mTexts;
  std::array<const char*, size_t(Attribute::Count)> mValues{};
  // The kinds the last Collect set, so that the next one clears only those.
  std::array<uint8_t, size_t(Attribute::Count)> mSet{};
  size_t mSetCount = 0;
};

// --- Value syntaxes -------------------------------------------------------------------------

// value equals keyword exactly.
bool Is(const char* value, const char* keyword);
// Exactly "True"; "true" and "1" are false.
bool ReadBoolean(const char* value);
// A leading decimal real ("10.5", " -1e2x"); no number is 0.
float ReadFloat(const char* value);
// A leading decimal integer; no number is 0.
int32_t ReadInteger(const char* value);
// "0x" and at most four hexadecimal digits, the rest ignored ("0x12345" is 0x1234, "0x"
// is 0); anything else, "0X10" included, a leading decimal integer.
int32_t ReadIntegerOrHex(const char* value);
// Hexadecimal ARGB after an optional "0x": two digits alpha only, six RRGGBB (alpha 0),
// eight AARRGGBB; channels the text does not set, and all four for any other length, 0.
ColorT<float> ReadColor(const char* value);
// "Tile", "Center"; anything else (lower-case spellings included) Stretch.
ResizeType ReadResizeType(const char* value);
// The kind a "PositionToControl" (isSize false) or "SizeToControl" (isSize true) value
// names: "Parent" or "Screen", "Client" or "Active Window", "Self" (sizes only), else a
// sibling's name.
int32_t ReadReferenceKind(const char* value, bool isSize);

// --- Elements -------------------------------------------------------------------------------

// Sets the fields of layout that a SubControl's attributes give; the others keep their
// values. TabStop and IsVisible are not read for a skin's top-level controls (parentIsRoot):
// their windows place and show them.
void ReadLayout(const Attributes& attributes, bool parentIsRoot, LLayoutDescriptor& layout);
// Sets every field of font to what a SubControl's attributes give its nested Skin (before
// font translation). In place: a font read for every control reuses one string.
void ReadFont(const Attributes& attributes, SkinFont& font);

} // namespace QZ::SkinXml
