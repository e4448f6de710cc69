// The reading half of the control factory: Expat's callbacks turn the skin's and the
// string tables' elements into descriptors and texts. Everything is resolved while
// reading, so a definition must come before its first use. Nothing may be thrown through
// Expat (a C library): each callback catches what its element raises, keeps the text and
// stops the parser.

#include <expat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/Utilities/Storage/WideChar.h"

static_assert(sizeof(XML_Char) == 1, "the reader takes Expat's UTF-8 output");

namespace QZ {

namespace {

#define QZ_SKIN_ELEMENTS(X)                                                                                            \
  X(Application)                                                                                                       \
  X(StringTable)                                                                                                       \
  X(String)                                                                                                            \
  X(Locale)                                                                                                            \
  X(Skins)                                                                                                             \
  X(Skin)                                                                                                              \
  X(FontLocale)                                                                                                        \
  X(FontXLat)                                                                                                          \
  X(SubControl)                                                                                                        \
  X(CreateParamList)                                                                                                   \
  X(CreateParam)                                                                                                       \
  X(LookLists)                                                                                                         \
  X(LookList)                                                                                                          \
  X(Looks)                                                                                                             \
  X(Look)                                                                                                              \
  X(ClientPart)                                                                                                        \
  X(NonClientParts)                                                                                                    \
  X(NonClientPart)                                                                                                     \
  X(TextProperties)                                                                                                    \
  X(Parts)                                                                                                             \
  X(Part)                                                                                                              \
  X(Colorizers)                                                                                                        \
  X(Colorizer)

// Attributes of one axis come in X, Y pairs, so that Y is X + 1.
#define QZ_SKIN_ATTRIBUTES(X)                                                                                          \
  X(Name)                                                                                                              \
  X(Class)                                                                                                             \
  X(ID)                                                                                                                \
  X(LCID)                                                                                                              \
  X(Index)                                                                                                             \
  X(NumLooks)                                                                                                          \
  X(LookList)                                                                                                          \
  X(XLat)                                                                                                              \
  X(ColorType)                                                                                                         \
  X(Color)                                                                                                             \
  X(GradientEndColor)                                                                                                  \
  X(GradientStartX)                                                                                                    \
  X(GradientStartY)                                                                                                    \
  X(GradientEndX)                                                                                                      \
  X(GradientEndY)                                                                                                      \
  X(Width)                                                                                                             \
  X(Height)                                                                                                            \
  X(ResizeType)                                                                                                        \
  X(ImageFile)                                                                                                         \
  X(ImageLocX)                                                                                                         \
  X(ImageLocY)                                                                                                         \
  X(ColorizerName)                                                                                                     \
  X(ColorizerAlphaMod)                                                                                                 \
  X(ColorizerMaskFile)                                                                                                 \
  X(MaskLocX)                                                                                                          \
  X(MaskLocY)                                                                                                          \
  X(OffsetLeft)                                                                                                        \
  X(OffsetTop)                                                                                                         \
  X(OffsetRight)                                                                                                       \
  X(OffsetBottom)                                                                                                      \
  X(TextLeftRel)                                                                                                       \
  X(TextLeftAbs)                                                                                                       \
  X(TextRightRel)                                                                                                      \
  X(TextRightAbs)                                                                                                      \
  X(TextHAlign)                                                                                                        \
  X(TextTopRel)                                                                                                        \
  X(TextTopAbs)                                                                                                        \
  X(TextBottomRel)                                                                                                     \
  X(TextBottomAbs)                                                                                                     \
  X(TextVAlign)                                                                                                        \
  X(TextForegroundPart)                                                                                                \
  X(FontName)                                                                                                          \
  X(FontSize)                                                                                                          \
  X(FontStyle)                                                                                                         \
  X(FontInheritsFromParent)                                                                                            \
  X(FontSizeIsRelative)                                                                                                \
  X(ClipToParent)                                                                                                      \
  X(Z_Order)                                                                                                           \
  X(TabStop)                                                                                                           \
  X(LayoutOrder)                                                                                                       \
  X(IsVisible)                                                                                                         \
  X(TextDecoration)                                                                                                    \
  X(TextOverflowXType)                                                                                                 \
  X(TextOverflowYType)                                                                                                 \
  X(XIsDocked)                                                                                                         \
  X(YIsDocked)                                                                                                         \
  X(XPlacementAnchor)                                                                                                  \
  X(YPlacementAnchor)                                                                                                  \
  X(XPositionToControl)                                                                                                \
  X(YPositionToControl)                                                                                                \
  X(XPositionRel)                                                                                                      \
  X(YPositionRel)                                                                                                      \
  X(XPositionAbs)                                                                                                      \
  X(YPositionAbs)                                                                                                      \
  X(XSizeToControl)                                                                                                    \
  X(YSizeToControl)                                                                                                    \
  X(XSizeRel)                                                                                                          \
  X(YSizeRel)                                                                                                          \
  X(XSizeAbs)                                                                                                          \
  X(YSizeAbs)                                                                                                          \
  X(XMinSizeToControl)                                                                                                 \
  X(YMinSizeToControl)                                                                                                 \
  X(XMinSizeRel)                                                                                                       \
  X(YMinSizeRel)                                                                                                       \
  X(XMinSizeAbs)                                                                                                       \
  X(YMinSizeAbs)                                                                                                       \
  X(XMaxSizeToControl)                                                                                                 \
  X(YMaxSizeToControl)                                                                                                 \
  X(XMaxSizeRel)                                                                                                       \
  X(YMaxSizeRel)                                                                                                       \
  X(XMaxSizeAbs)                                                                                                       \
  X(YMaxSizeAbs)

#define QZ_SKIN_ENUMERATOR(name) name,
#define QZ_SKIN_NAME_ENTRY(name) {#name, Kind::name},

enum class Element { QZ_SKIN_ELEMENTS(QZ_SKIN_ENUMERATOR) Other };
enum class Attribute { QZ_SKIN_ATTRIBUTES(QZ_SKIN_ENUMERATOR) Count };

Element Classify(const char* name) {
  using Kind = Element;
  static const std::unordered_map<std::string_view, Element> kElements{QZ_SKIN_ELEMENTS(QZ_SKIN_NAME_ENTRY)};
  const auto found = kElements.find(name);
  return found == kElements.end() ? Element::Other : found->second;
}

// The attributes of one element by kind; null where the element does not carry one.
class Attributes {
public:
  void Collect(const char** attributes) {
    using Kind = Attribute;
    static const std::unordered_map<std::string_view, Attribute> kAttributes{QZ_SKIN_ATTRIBUTES(QZ_SKIN_NAME_ENTRY)};
    mValues.fill(nullptr);
    for (; attributes[0] != nullptr; attributes += 2) {
      const auto found = kAttributes.find(attributes[0]);
      if (found != kAttributes.end()) {
        mValues[size_t(found->second)] = attributes[1];
      }
    }
  }

  const char* operator[](Attribute kind) const { return mValues[size_t(kind)]; }
  // The attribute of the given axis of an X, Y pair (axis 0 X, 1 Y).
  const char* operator()(Attribute xKind, int axis) const { return mValues[size_t(xKind) + size_t(axis)]; }
  bool Has(Attribute kind) const { return mValues[size_t(kind)] != nullptr; }
  template <class... Kinds>
  bool HasAll(Kinds... kinds) const {
    return (Has(kinds) && ...);
  }
  // The value as text; empty when absent.
  WString Text(Attribute kind) const { return Has(kind) ? WString((*this)[kind]) : WString(); }

private:
  std::array<const char*, size_t(Attribute::Count)> mValues{};
};

#undef QZ_SKIN_NAME_ENTRY
#undef QZ_SKIN_ENUMERATOR
#undef QZ_SKIN_ATTRIBUTES
#undef QZ_SKIN_ELEMENTS

// --- Value syntaxes -------------------------------------------------------------------------

bool Is(const char* value, const char* keyword) { return std::strcmp(value, keyword) == 0; }

// Exactly "True".
bool ReadBoolean(const char* value) { return Is(value, "True"); }

float ReadFloat(const char* value) { return float(Chars::ToDouble(value)); }

int32_t ReadInteger(const char* value) { return Chars::ToInt32(value); }

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

// "0x" and at most four hexadecimal digits (the rest ignored), else a decimal integer.
int32_t ReadIntegerOrHex(const char* value) {
  if (value[0] != '0' || value[1] != 'x') {
    return Chars::ToInt32(value);
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

// Hexadecimal ARGB; channels the text does not set stay 0.
ColorT<float> ReadColor(const char* value) {
  ColorT<float> color;
  (void)color.FromString(value); // text of another length leaves the colour at 0
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

// "Parent" or "Screen", "Client" or "Active Window", "Self" (sizes only), or a sibling's name.
int32_t ReadReferenceKind(const char* value, bool isSize) {
  if (Is(value, "Parent") || Is(value, "Screen")) {
    return isSize ? kSizeToParent : kPositionToParent;
  }
  if (Is(value, "Client") || Is(value, "Active Window")) {
    return isSize ? kSizeToClient : kPositionToClient;
  }
  if (isSize && Is(value, "Self")) {
    return kSizeToSelf;
  }
  return isSize ? kSizeToSibling : kPositionToSibling;
}

void ReadLimit(const char* value, LayoutLimit& limit) {
  limit.toControl = !Is(value, "Self");
  if (limit.toControl) {
    limit.name = WString(value);
  }
}

} // namespace

struct LControlFactory::Reader {
  LControlFactory& factory;
  OpenState& open;
  XML_Parser parser;
  bool stopped = false;
  Attributes attributes;

  Reader(LControlFactory& owner, XML_Parser expat) : factory(owner), open(owner.mOpen), parser(expat) {}

  static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** list) {
    Reader& reader = *static_cast<Reader*>(self);
    reader.Guarded([&] { reader.XMLStartElement(name, list); });
  }
  static void XMLCALL OnEnd(void* self, const XML_Char* name) {
    Reader& reader = *static_cast<Reader*>(self);
    reader.Guarded([&] { reader.XMLEndElement(name); });
  }
  static void XMLCALL OnText(void* self, const XML_Char* text, int length) {
    Reader& reader = *static_cast<Reader*>(self);
    reader.Guarded([&] { reader.XMLCharacterData(text, length); });
  }

  template <class Body>
  void Guarded(const Body& body) {
    if (stopped) {
      return;
    }
    try {
      body();
    } catch (const std::exception& failure) {
      Stop(failure.what());
    } catch (...) {
      Stop("Unknown exception");
    }
  }

  void Stop(const char* text) {
    factory.mErrorText = WString(text);
    factory.mErrorLine = int32_t(XML_GetCurrentLineNumber(parser));
    stopped = true;
    (void)XML_StopParser(parser, XML_FALSE); // fails only outside a parse, and this is a callback
  }

  // --- Elements ---------------------------------------------------------------------------

  void XMLStartElement(const char* name, const char** list) {
    if (open.ignoredDepth > 0) {
      ++open.ignoredDepth;
      return;
    }
    if (open.firstElementPending) {
      open.firstElementPending = false;
      return;
    }
    const Element element = Classify(name);
    if (element == Element::Other) {
      return;
    }
    attributes.Collect(list);
    if (element == Element::Application) {
      factory.mApplicationName = attributes.Text(Attribute::Name);
      return;
    }
    if (open.stringTableMode) {
      StartStringTableElement(element);
      return;
    }
    switch (element) {
    case Element::Skin:
      StartSkin();
      break;
    case Element::FontLocale:
      if (attributes.Has(Attribute::LCID)) {
        open.fontLocale = uint32_t(ReadIntegerOrHex(attributes[Attribute::LCID]));
        open.fontLocaleSet = true;
      }
      break;
    case Element::FontXLat:
      StartFontXLat();
      break;
    case Element::SubControl:
      StartSubControl();
      break;
    case Element::CreateParamList:
      open.createParams = LStringTable::Create();
      break;
    case Element::CreateParam:
      StartCreateParam();
      break;
    case Element::LookLists:
      open.descriptor = nullptr;
      open.rootSkin = nullptr;
      break;
    case Element::LookList:
      StartLookList();
      break;
    case Element::Looks:
      open.insideLooks = true;
      break;
    case Element::Look:
      StartLook();
      break;
    case Element::ClientPart:
      StartClientPart();
      break;
    case Element::NonClientPart:
      StartNonClientPart();
      break;
    case Element::TextProperties:
      StartTextProperties();
      break;
    case Element::Part:
      StartPart();
      break;
    case Element::Colorizer:
      StartColorizer();
      break;
    default: // containers without an effect, and the string-table elements
      break;
    }
  }

  void XMLEndElement(const char* name) {
    if (open.ignoredDepth > 0) {
      --open.ignoredDepth;
      return;
    }
    if (open.stringTableMode) {
      open.collectedText = nullptr;
      return;
    }
    switch (Classify(name)) {
    case Element::SubControl:
      if (open.descriptor) {
        open.descriptor->SortChildrenByLayoutOrder();
        open.descriptor = open.descriptor->GetParent();
      }
      break;
    case Element::Skin:
      if (open.descriptor && IsCurrentRoot(open.descriptor)) {
        open.descriptor = nullptr;
        open.rootSkin = nullptr;
      }
      break;
    case Element::Looks:
      open.insideLooks = false;
      break;
    case Element::CreateParamList:
      if (open.descriptor && open.createParams) {
        open.descriptor->SetCreateParams(open.createParams);
      }
      // A CreateParam after the list's end must not reach a list a descriptor holds.
      open.createParams = nullptr;
      break;
    case Element::CreateParam:
      open.insideCreateParam = false;
      break;
    default:
      break;
    }
  }

  void XMLCharacterData(const char* text, int length) {
    if (open.stringTableMode) {
      if (open.collectedText) {
        (void)open.collectedText->InsertUTF8(open.collectedText->GetLength(), text, uint32_t(length)); // at the end
      }
      return;
    }
    if (!open.insideCreateParam || !open.createParams) {
      return;
    }
    WString piece;
    piece.AssignUTF8(text, uint32_t(length));
    // Expat reports text around an entity or character reference in several pieces.
    if (open.createParamStarted) {
      open.createParams->Append(open.currentId, piece);
    } else {
      open.createParams->Set(open.currentId, piece);
      open.createParamStarted = true;
    }
  }

  bool IsCurrentRoot(const LControlDescriptor* descriptor) const {
    const int32_t index = factory.mCurrentSkinIndex;
    return index >= 0 && uint32_t(index) < factory.mSkins.GetCount() &&
           factory.mSkins.GetAt(uint32_t(index)).Get() == descriptor;
  }

  // --- String tables ----------------------------------------------------------------------

  void StartStringTableElement(Element element) {
    switch (element) {
    case Element::StringTable:
      open.stringTable = &factory.mStringTables[attributes.Text(Attribute::ID)];
      break;
    case Element::String:
      if (attributes.Has(Attribute::ID)) {
        open.currentId = attributes.Text(Attribute::ID);
      }
      break;
    case Element::Locale:
      // A Locale without LCID, or before any StringTable, matches nothing.
      if (open.stringTable && attributes.Has(Attribute::LCID) &&
          uint32_t(ReadIntegerOrHex(attributes[Attribute::LCID])) == factory.mLoadLocale) {
        ++open.matchCount;
        open.collectedText = &open.stringTable->try_emplace(open.currentId).first->second;
      }
      break;
    default:
      break;
    }
  }

  // --- Skins and controls -----------------------------------------------------------------

  void StartSkin() {
    const WString name = attributes.Text(Attribute::Name);
    if (!open.descriptor) {
      RCPtr<LControlDescriptor> root(
          new LControlDescriptor(WString(LControlDescriptor::kRootClass), factory.mApplicationName, nullptr));
      (void)factory.mSkins.AddItem(root); // fails only past GetMaxCount() skins
      factory.mCurrentSkinIndex = int32_t(factory.mSkins.GetCount() - 1);
      open.descriptor = root.Get();
      SkinFont font;
      font.name = attributes.Text(Attribute::FontName);
      if (attributes.Has(Attribute::FontSize)) {
        font.size = ReadFloat(attributes[Attribute::FontSize]);
      }
      if (attributes.Has(Attribute::FontStyle)) {
        font.style = ReadIntegerOrHex(attributes[Attribute::FontStyle]);
      }
      open.rootSkin = RCPtr<LSkinDescriptor>(new LSkinDescriptor(name, font, nullptr));
      root->SetSkin(open.rootSkin);
      factory.mFontTranslations.clear();
      return;
    }
    SkinFont font = open.pendingFont;
    const auto translated = factory.mFontTranslations.find(font.name);
    if (translated != factory.mFontTranslations.end()) {
      font.name = translated->second;
    }
    RCPtr<LLookList> looks;
    if (attributes.Has(Attribute::LookList)) {
      looks = factory.FindLookList(attributes.Text(Attribute::LookList));
    }
    open.descriptor->SetSkin(RCPtr<LSkinDescriptor>(new LSkinDescriptor(name, font, looks)));
  }

  void StartFontXLat() {
    if (!open.fontLocaleSet || open.fontLocale != factory.mLoadLocale ||
        !attributes.HasAll(Attribute::Name, Attribute::XLat)) {
      return;
    }
    const WString from = attributes.Text(Attribute::Name);
    const WString to = attributes.Text(Attribute::XLat);
    factory.mFontTranslations.try_emplace(from, to);
    if (open.rootSkin && open.rootSkin->GetFont().name == from) {
      open.rootSkin->SetFontName(to);
    }
  }

  void StartSubControl() {
    if (!attributes.HasAll(Attribute::Class, Attribute::Name)) {
      Throw<std::runtime_error>({"QZ::LControlFactory::XMLStartElement", R"(ControlBase\ControlFactory)", 1089},
                                "Bad Subcontrol Element");
    }
    if (!open.descriptor) {
      open.ignoredDepth = 1; // outside any Skin: passed over with everything inside it
      return;
    }
    LControlDescriptor* parent = open.descriptor;
    RCPtr<LControlDescriptor> descriptor(
        new LControlDescriptor(attributes.Text(Attribute::Class), attributes.Text(Attribute::Name), parent));
    parent->AddChild(descriptor);
    open.descriptor = descriptor.Get();

    RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
    ReadLayout(*layout, parent->GetClass() == LControlDescriptor::kRootClass);
    descriptor->SetLayout(layout);
    open.pendingFont = ReadFont();
  }

  void ReadLayout(LLayoutDescriptor& layout, bool parentIsRoot) const {
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
          position.name = WString(value);
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
          size.name = WString(value);
        }
      }
      if (const char* value = attributes(A::XSizeRel, axis)) {
        size.rel = ReadFloat(value);
      }
      if (const char* value = attributes(A::XSizeAbs, axis)) {
        size.abs = ReadInteger(value);
      }
      ReadLimitAttributes(layout.minimum[axis], A::XMinSizeToControl, A::XMinSizeRel, A::XMinSizeAbs, axis);
      ReadLimitAttributes(layout.maximum[axis], A::XMaxSizeToControl, A::XMaxSizeRel, A::XMaxSizeAbs, axis);
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

  void ReadLimitAttributes(LayoutLimit& limit, Attribute toControl, Attribute rel, Attribute abs, int axis) const {
    if (const char* value = attributes(toControl, axis)) {
      ReadLimit(value, limit);
    }
    if (const char* value = attributes(rel, axis)) {
      limit.rel = ReadFloat(value);
    }
    if (const char* value = attributes(abs, axis)) {
      limit.abs = ReadInteger(value);
    }
  }

  // The font the SubControl's nested Skin takes.
  SkinFont ReadFont() const {
    using A = Attribute;
    SkinFont font;
    font.inheritsFromParent =
        attributes.Has(A::FontInheritsFromParent) && ReadBoolean(attributes[A::FontInheritsFromParent]);
    font.sizeIsRelative = attributes.Has(A::FontSizeIsRelative) && ReadBoolean(attributes[A::FontSizeIsRelative]);
    font.name = attributes.Text(A::FontName);
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

  void StartCreateParam() {
    // Outside a list, or with an empty ID, a CreateParam stores nothing.
    if (!open.createParams || !attributes.Has(Attribute::ID)) {
      return;
    }
    open.currentId = attributes.Text(Attribute::ID);
    if (open.currentId.IsEmpty()) {
      return;
    }
    open.insideCreateParam = true;
    open.createParamStarted = false;
  }

  // --- Looks ------------------------------------------------------------------------------

  void StartLookList() {
    if (!attributes.HasAll(Attribute::Name, Attribute::NumLooks)) {
      return;
    }
    const WString name = attributes.Text(Attribute::Name);
    RCPtr<LLookList> list = factory.FindLookList(name);
    if (list) {
      open.lookList = nullptr; // a second definition's entries are dropped
    } else {
      // A list has room for what any control shows; a negative count is an empty list.
      constexpr int32_t kMaxLooks = 256;
      const int32_t count = std::clamp(ReadIntegerOrHex(attributes[Attribute::NumLooks]), 0, kMaxLooks);
      list = MakeLookList(uint32_t(count));
      factory.mLookLists.emplace(name, list);
      open.lookList = list;
    }
    if (open.descriptor && open.descriptor->GetSkin()) {
      open.descriptor->GetSkin()->SetLookList(list);
    }
  }

  void StartLook() {
    if (!attributes.Has(Attribute::Name)) {
      return;
    }
    const WString name = attributes.Text(Attribute::Name);
    if (open.insideLooks) {
      // A second definition of a name is read into a look that is not stored.
      open.look = RCPtr<LLookDescriptor>(new LLookDescriptor(name));
      factory.mLooks.try_emplace(name, open.look);
      return;
    }
    if (!open.lookList || !attributes.Has(Attribute::Index)) {
      return;
    }
    const int32_t index = ReadInteger(attributes[Attribute::Index]);
    RCPtr<LLookDescriptor> look = factory.FindLook(name);
    // An index outside the list's slots is passed over.
    if (look && index >= 0 && uint32_t(index) < open.lookList->GetCount()) {
      open.lookList->GetAt(uint32_t(index)) = look;
    }
  }

  void StartClientPart() {
    using A = Attribute;
    if (!open.look || !attributes.HasAll(A::Name, A::OffsetLeft, A::OffsetTop, A::OffsetRight, A::OffsetBottom)) {
      return;
    }
    RCPtr<LVisualPartDescriptor> part = factory.FindPart(attributes.Text(A::Name));
    if (!part) {
      return;
    }
    const LDockedPart::Dock dock = LDockedPart::ClientDock(
        ReadIntegerOrHex(attributes[A::OffsetLeft]), ReadIntegerOrHex(attributes[A::OffsetTop]),
        ReadIntegerOrHex(attributes[A::OffsetRight]), ReadIntegerOrHex(attributes[A::OffsetBottom]));
    open.look->SetClientPart(RCPtr<LDockedPart>(new LDockedPart(part, dock)));
  }

  void StartNonClientPart() {
    using A = Attribute;
    if (!open.look || !attributes.Has(A::Name)) {
      return;
    }
    RCPtr<LVisualPartDescriptor> part = factory.FindPart(attributes.Text(A::Name));
    if (!part) {
      return;
    }
    LDockedPart::Dock dock;
    const auto offset = [&](Attribute kind, uint32_t flag, int32_t& value) {
      if (attributes.Has(kind)) {
        value = ReadIntegerOrHex(attributes[kind]);
        dock.offsetFlags |= flag;
      }
    };
    offset(A::OffsetLeft, LDockedPart::kOffsetLeft, dock.offsetLeft);
    offset(A::OffsetTop, LDockedPart::kOffsetTop, dock.offsetTop);
    offset(A::OffsetRight, LDockedPart::kOffsetRight, dock.offsetRight);
    offset(A::OffsetBottom, LDockedPart::kOffsetBottom, dock.offsetBottom);
    if (attributes.Has(A::Width)) {
      dock.width = ReadIntegerOrHex(attributes[A::Width]);
      dock.hasWidth = dock.width > 0;
    }
    if (attributes.Has(A::Height)) {
      dock.height = ReadIntegerOrHex(attributes[A::Height]);
      dock.hasHeight = dock.height > 0;
    }
    open.look->AddNonClientPart(RCPtr<LDockedPart>(new LDockedPart(part, dock)));
  }

  void StartTextProperties() {
    using A = Attribute;
    if (!open.look || !attributes.HasAll(A::TextLeftRel, A::TextLeftAbs, A::TextRightRel, A::TextRightAbs,
                                         A::TextHAlign, A::TextTopRel, A::TextTopAbs, A::TextBottomRel,
                                         A::TextBottomAbs, A::TextVAlign, A::TextForegroundPart)) {
      return;
    }
    RCPtr<LVisualPartDescriptor> part = factory.FindPart(attributes.Text(A::TextForegroundPart));
    if (!part) {
      return;
    }
    TextProperties text;
    text.leftRel = ReadFloat(attributes[A::TextLeftRel]);
    text.leftAbs = ReadIntegerOrHex(attributes[A::TextLeftAbs]);
    text.rightRel = ReadFloat(attributes[A::TextRightRel]);
    text.rightAbs = ReadIntegerOrHex(attributes[A::TextRightAbs]);
    text.hAlign = ReadFloat(attributes[A::TextHAlign]);
    text.topRel = ReadFloat(attributes[A::TextTopRel]);
    text.topAbs = ReadIntegerOrHex(attributes[A::TextTopAbs]);
    text.bottomRel = ReadFloat(attributes[A::TextBottomRel]);
    text.bottomAbs = ReadIntegerOrHex(attributes[A::TextBottomAbs]);
    text.vAlign = ReadFloat(attributes[A::TextVAlign]);
    open.look->SetTextProperties(text, part);
  }

  // --- Parts and colorizers ---------------------------------------------------------------

  void StartPart() {
    using A = Attribute;
    if (!attributes.HasAll(A::Name, A::Width, A::Height, A::ResizeType)) {
      return;
    }
    const WString name = attributes.Text(A::Name);
    if (factory.mParts.count(name) != 0) {
      return; // the first definition of a name stays
    }
    const int32_t width = ReadIntegerOrHex(attributes[A::Width]);
    const int32_t height = ReadIntegerOrHex(attributes[A::Height]);
    PartSource image;
    const char* imageFile = attributes[A::ImageFile];
    if (imageFile && imageFile[0] != '\0' && attributes.HasAll(A::ImageLocX, A::ImageLocY)) {
      image.path = factory.mSkinFolder + WString(imageFile).ToLower();
      image.rect = {ReadIntegerOrHex(attributes[A::ImageLocX]), ReadIntegerOrHex(attributes[A::ImageLocY]), width,
                    height};
    }
    RCPtr<LColorizer> colorizer;
    if (attributes.Has(A::ColorizerName)) {
      colorizer = factory.FindColorizer(attributes.Text(A::ColorizerName));
    }
    if (!colorizer && image.IsEmpty()) {
      return; // nothing to draw
    }
    const float alphaModifier =
        attributes.Has(A::ColorizerAlphaMod) ? ReadFloat(attributes[A::ColorizerAlphaMod]) : 1.0f;
    PartSource mask;
    const char* maskFile = attributes[A::ColorizerMaskFile];
    if (maskFile && maskFile[0] != '\0' && attributes.HasAll(A::MaskLocX, A::MaskLocY)) {
      mask.path = factory.mSkinFolder + WString(maskFile); // mask names keep their case
      mask.rect = {ReadIntegerOrHex(attributes[A::MaskLocX]), ReadIntegerOrHex(attributes[A::MaskLocY]), width, height};
    }
    factory.mParts.emplace(name, RCPtr<LVisualPartDescriptor>(
                                     new LVisualPartDescriptor(name, image, ReadResizeType(attributes[A::ResizeType]),
                                                               colorizer, {width, height}, alphaModifier, mask)));
  }

  void StartColorizer() {
    using A = Attribute;
    if (!attributes.HasAll(A::Name, A::ColorType, A::Color)) {
      return;
    }
    const WString name = attributes.Text(A::Name);
    if (factory.mColorizers.count(name) != 0) {
      return; // the first definition of a name stays
    }
    const char* type = attributes[A::ColorType];
    ColorizerType kind = ColorizerType::SolidFill;
    if (attributes.HasAll(A::GradientEndColor, A::GradientStartX, A::GradientStartY, A::GradientEndX,
                          A::GradientEndY)) {
      if (Is(type, "LinearGradient")) {
        kind = ColorizerType::LinearGradient;
      } else if (Is(type, "RadialGradient")) {
        kind = ColorizerType::RadialGradient;
      }
    }
    RCPtr<LColorizer> colorizer;
    if (kind == ColorizerType::SolidFill) {
      colorizer = RCPtr<LColorizer>(new LColorizer(name, kind, ReadColor(attributes[A::Color])));
    } else {
      colorizer = RCPtr<LColorizer>(
          new LColorizer(name, kind, ReadColor(attributes[A::Color]), ReadColor(attributes[A::GradientEndColor]),
                         {ReadFloat(attributes[A::GradientStartX]), ReadFloat(attributes[A::GradientStartY])},
                         {ReadFloat(attributes[A::GradientEndX]), ReadFloat(attributes[A::GradientEndY])}));
    }
    factory.mColorizers.emplace(name, colorizer);
  }
};

QZResult LControlFactory::Parse(const char* bytes, size_t length) {
  mOpen.firstElementPending = true;
  const std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreate(nullptr), XML_ParserFree);
  if (!parser) {
    return QZ_E_OUTOFMEMORY;
  }
  Reader reader(*this, parser.get());
  XML_SetUserData(parser.get(), &reader);
  XML_SetElementHandler(parser.get(), Reader::OnStart, Reader::OnEnd);
  XML_SetCharacterDataHandler(parser.get(), Reader::OnText);

  // Expat takes an int length: a document beyond that goes in pieces, the last one final.
  constexpr size_t kPiece = size_t(1) << 30;
  XML_Status status = XML_STATUS_OK;
  do {
    const size_t piece = std::min(length, kPiece);
    status = XML_Parse(parser.get(), bytes, int(piece), piece == length ? XML_TRUE : XML_FALSE);
    bytes += piece;
    length -= piece;
  } while (status == XML_STATUS_OK && length > 0);

  if (status == XML_STATUS_OK) {
    return QZ_OK;
  }
  if (!reader.stopped) {
    mErrorText = WString(XML_ErrorString(XML_GetErrorCode(parser.get())));
    mErrorLine = int32_t(XML_GetCurrentLineNumber(parser.get()));
  }
  return QZ_E_FAIL;
}

} // namespace QZ
