// The reading half of the control factory: Expat's callbacks turn the skin's and the
// string tables' elements into descriptors and texts. Everything is resolved while
// reading, so a definition must come before its first use. Nothing may be thrown through
// Expat (a C library): each callback catches what its element raises, keeps the text and
// stops the parser.

#include <expat.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/SkinXml.h"
#include "QZFramework/Utilities/Storage/WideChar.h"

static_assert(sizeof(XML_Char) == 1, "the reader takes Expat's UTF-8 output");

namespace QZ {

using namespace SkinXml;

struct LControlFactory::Reader {
  LControlFactory& factory;
  OpenState& open;
  XML_Parser parser;
  bool stopped = false;
  Attributes attributes;
  // The kinds of the elements open now, innermost last: an end tag is not classified again.
  std::vector<Element> openElements;
  // What the names referred to resolved to. A definition never replaces an earlier one
  // of its name, so a name once found stays found as it was.
  TextTable<RCPtr<LVisualPartDescriptor>> partsByName;
  TextTable<RCPtr<LLookDescriptor>> looksByName;
  TextTable<RCPtr<LLookList>> lookListsByName;
  TextTable<RCPtr<LColorizer>> colorizersByName;
  // The last text of a few create-param IDs, by the ID's buffer (IDs are shared texts,
  // kept for the whole reading), and its conversion; the oldest ID gives way.
  struct RecentParam {
    const char16_t* id = nullptr;
    std::string text;
    WString value;
  };
  std::array<RecentParam, 8> recentParams;
  size_t nextRecentParam = 0;
  // The open CreateParam's ID: a shared text of the attributes, held by them for the whole
  // reading, so pointing at it takes no reference.
  const WString* createParamId = nullptr;
  WString lastSkinName;

  Reader(LControlFactory& owner, XML_Parser expat) : factory(owner), open(owner.mOpen), parser(expat) {}

  static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** list) {
    Reader& reader = *static_cast<Reader*>(self);
    reader.Guarded([&] { reader.XMLStartElement(name, list); });
    reader.HearTextWhenWanted();
  }
  static void XMLCALL OnEnd(void* self, const XML_Char*) {
    Reader& reader = *static_cast<Reader*>(self);
    reader.Guarded([&] { reader.XMLEndElement(); });
    reader.HearTextWhenWanted();
  }
  static void XMLCALL OnText(void* self, const XML_Char* text, int length) {
    Reader& reader = *static_cast<Reader*>(self);
    reader.Guarded([&] { reader.XMLCharacterData(text, length); });
  }

  // Expat hands over text only where the reader keeps it: the documents' indentation,
  // a piece for every line, is otherwise passed over without a call.
  bool hearsText = false;
  void HearTextWhenWanted() {
    const bool wanted =
        open.stringTableMode ? open.collectedText != nullptr : open.insideCreateParam && open.createParams;
    if (wanted != hearsText) {
      hearsText = wanted;
      XML_SetCharacterDataHandler(parser, wanted ? OnText : nullptr);
    }
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

  [[gnu::cold]] [[gnu::noinline]] void Stop(const char* text) {
    factory.mErrorText = WString(text);
    factory.mErrorLine = int32_t(XML_GetCurrentLineNumber(parser));
    stopped = true;
    XML_StopParser(parser, XML_FALSE);
  }

  // The factory's T named by the attribute's value, through table; null when none is
  // defined (yet).
  template <class T>
  RCPtr<T> Resolve(TextTable<RCPtr<T>>& table, Attribute kind,
                   RCPtr<T> (LControlFactory::*find)(const WString&) const) {
    const char* name = attributes[kind];
    bool made = false;
    RCPtr<T>& found = table.Get(name, [&] {
      made = true;
      return (factory.*find)(ToText(name));
    });
    if (!found && !made) {
      found = (factory.*find)(ToText(name));
    }
    return found;
  }

  // A definition the factory took, found by its name from now on without asking the
  // factory (which finds it by its name in UTF-16).
  template <class T>
  void Define(TextTable<RCPtr<T>>& table, Attribute kind, const RCPtr<T>& defined) {
    RCPtr<T>& known = table.Get(attributes[kind], [] { return RCPtr<T>(); });
    if (!known) {
      known = defined;
    }
  }

  // --- Elements ---------------------------------------------------------------------------

  void XMLStartElement(const char* name, const char** list) {
    StoreCreateParamText();
    if (open.ignoredDepth > 0) {
      ++open.ignoredDepth;
      openElements.push_back(Element::Other);
      return;
    }
    const Element element = Classify(name);
    openElements.push_back(element);
    if (open.firstElementPending) {
      open.firstElementPending = false;
      return;
    }
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

  void XMLEndElement() {
    StoreCreateParamText();
    const Element element = openElements.back();
    openElements.pop_back();
    if (open.ignoredDepth > 0) {
      --open.ignoredDepth;
      return;
    }
    if (open.stringTableMode) {
      open.collectedText = nullptr;
      return;
    }
    switch (element) {
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
        open.descriptor->SetCreateParams(std::move(open.createParams));
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
        open.collectedText->InsertUTF8(open.collectedText->GetLength(), text, uint32_t(length)); // at the end
      }
      return;
    }
    if (open.insideCreateParam && open.createParams) {
      // Expat reports text around an entity or character reference in several pieces.
      open.createParamText.append(text, size_t(length));
    }
  }

  // Every piece gathered since the last element boundary went to the same list and ID.
  void StoreCreateParamText() {
    if (open.createParamText.empty()) {
      return;
    }
    const WString& piece = ConvertCreateParamText();
    open.createParamText.clear();
    if (open.createParamStarted) {
      open.createParams->Append(*createParamId, piece);
    } else {
      open.createParams->Set(*createParamId, piece);
      open.createParamStarted = true;
    }
  }

  // The gathered text in UTF-16. A create param mostly repeats the value its ID had last
  // ("True", "1"): that conversion is reused, found by the ID's shared buffer.
  const WString& ConvertCreateParamText() {
    const std::string& text = open.createParamText;
    const char16_t* id = createParamId->GetBuffer();
    RecentParam* slot = nullptr;
    for (RecentParam& recent : recentParams) {
      if (recent.id == id) {
        slot = &recent;
        break;
      }
    }
    if (!slot) {
      slot = &recentParams[nextRecentParam];
      nextRecentParam = (nextRecentParam + 1) % recentParams.size();
      slot->id = id;
    } else if (slot->text == text) {
      return slot->value;
    }
    slot->text = text;
    slot->value = ToText(text.data(), text.size());
    return slot->value;
  }

  // A nested skin mostly has the name the one before it had ("HighDPI", ...).
  const WString& SkinName() {
    const char* name = attributes[Attribute::Name];
    if (!name) {
      return WString::GetEmpty();
    }
    if (!IsSameAscii(name, lastSkinName.View())) {
      lastSkinName = ToText(name);
    }
    return lastSkinName;
  }

  // The UTF-8 text is the ASCII text that known holds.
  static bool IsSameAscii(const char* text, std::u16string_view known) {
    for (const char16_t unit : known) {
      if (unit >= 0x80 || uint8_t(*text) != unit) {
        return false;
      }
      ++text;
    }
    return *text == '\0';
  }

  bool IsCurrentRoot(const LControlDescriptor* descriptor) const {
    const int32_t index = factory.mCurrentSkinIndex;
    return index >= 0 && uint32_t(index) < factory.mSkins.GetCount() &&
           factory.mSkins.GetAt(uint32_t(index)).Get() == descriptor;
  }

  // --- String tables ----------------------------------------------------------------------

  [[gnu::noinline]] void StartStringTableElement(Element element) {
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
      if (open.stringTable && attributes.Has(Attribute::LCID)) {
        const uint32_t locale = uint32_t(ReadIntegerOrHex(attributes[Attribute::LCID]));
        for (OpenState::LocaleTexts& texts : open.locales) {
          if (texts.locale == locale) {
            ++texts.matchCount;
            open.collectedText = &texts.tables[open.stringTable].try_emplace(open.currentId).first->second;
            break;
          }
        }
      }
      break;
    default:
      break;
    }
  }

  // --- Skins and controls -----------------------------------------------------------------

  void StartSkin() {
    if (!open.descriptor) {
      StartRootSkin();
      return;
    }
    RCPtr<LLookList> looks;
    if (attributes.Has(Attribute::LookList)) {
      looks = Resolve(lookListsByName, Attribute::LookList, &LControlFactory::FindLookList);
    }
    // The font is copied only to be renamed: every control's skin comes by here.
    std::optional<SkinFont> renamed;
    const auto translated = factory.mFontTranslations.find(open.pendingFont.name);
    if (translated != factory.mFontTranslations.end()) {
      renamed = open.pendingFont;
      renamed->name = translated->second;
    }
    open.descriptor->SetSkin(RCPtr<LSkinDescriptor>(
        new LSkinDescriptor(SkinName(), renamed ? *renamed : open.pendingFont, std::move(looks))));
  }

  // A top-level skin, a few a document: out of line, so that the path of the nested skins
  // (one a control) stays small.
  [[gnu::noinline]] void StartRootSkin() {
    const WString name = SkinName();
    RCPtr<LControlDescriptor> root(
        new LControlDescriptor(WString(LControlDescriptor::kRootClass), factory.mApplicationName, nullptr));
    factory.mSkins.AddItem(root);
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
  }

  [[gnu::noinline]] void StartFontXLat() {
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
      ThrowBadSubControl();
    }
    if (!open.descriptor) {
      open.ignoredDepth = 1; // outside any Skin: passed over with everything inside it
      return;
    }
    LControlDescriptor* parent = open.descriptor;
    // Classes recur, a control's name rarely does.
    RCPtr<LControlDescriptor> made(
        new LControlDescriptor(attributes.SharedText(Attribute::Class), attributes.Text(Attribute::Name), parent));
    LControlDescriptor* const descriptor = made.Get();
    parent->AddChild(std::move(made)); // the parent holds it from here on
    open.descriptor = descriptor;

    RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
    ReadLayout(attributes, parent->GetClass().View() == std::u16string_view(LControlDescriptor::kRootClass), *layout);
    descriptor->SetLayout(std::move(layout));
    ReadFont(attributes, open.pendingFont);
  }

  [[noreturn]] [[gnu::cold]] [[gnu::noinline]] static void ThrowBadSubControl() {
    Throw<std::runtime_error>({"QZ::LControlFactory::XMLStartElement", R"(ControlBase\ControlFactory)", 1089},
                              "Bad Subcontrol Element");
  }

  void StartCreateParam() {
    // Outside a list, or with an empty ID, a CreateParam stores nothing.
    if (!open.createParams || !attributes.Has(Attribute::ID)) {
      return;
    }
    createParamId = &attributes.SharedText(Attribute::ID);
    if (createParamId->IsEmpty()) {
      return;
    }
    open.insideCreateParam = true;
    open.createParamStarted = false;
  }

  // --- Looks ------------------------------------------------------------------------------

  [[gnu::noinline]] void StartLookList() {
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
      Define(lookListsByName, Attribute::Name, list);
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
    if (open.insideLooks) {
      const WString name = attributes.Text(Attribute::Name);
      // A second definition of a name is read into a look that is not stored.
      open.look = RCPtr<LLookDescriptor>(new LLookDescriptor(name));
      if (factory.mLooks.try_emplace(name, open.look).second) {
        Define(looksByName, Attribute::Name, open.look);
      }
      return;
    }
    if (!open.lookList || !attributes.Has(Attribute::Index)) {
      return;
    }
    const int32_t index = ReadInteger(attributes[Attribute::Index]);
    RCPtr<LLookDescriptor> look = Resolve(looksByName, Attribute::Name, &LControlFactory::FindLook);
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
    RCPtr<LVisualPartDescriptor> part = Resolve(partsByName, A::Name, &LControlFactory::FindPart);
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
    RCPtr<LVisualPartDescriptor> part = Resolve(partsByName, A::Name, &LControlFactory::FindPart);
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
    RCPtr<LVisualPartDescriptor> part = Resolve(partsByName, A::TextForegroundPart, &LControlFactory::FindPart);
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
    if (factory.mParts.contains(name)) {
      return; // the first definition of a name stays
    }
    const int32_t width = ReadIntegerOrHex(attributes[A::Width]);
    const int32_t height = ReadIntegerOrHex(attributes[A::Height]);
    PartSource image;
    const char* imageFile = attributes[A::ImageFile];
    if (imageFile && imageFile[0] != '\0' && attributes.HasAll(A::ImageLocX, A::ImageLocY)) {
      image.path = ImagePath(imageFile);
      image.rect = {ReadIntegerOrHex(attributes[A::ImageLocX]), ReadIntegerOrHex(attributes[A::ImageLocY]), width,
                    height};
    }
    RCPtr<LColorizer> colorizer;
    if (attributes.Has(A::ColorizerName)) {
      colorizer = Resolve(colorizersByName, A::ColorizerName, &LControlFactory::FindColorizer);
    }
    if (!colorizer && image.IsEmpty()) {
      return; // nothing to draw
    }
    const float alphaModifier =
        attributes.Has(A::ColorizerAlphaMod) ? ReadFloat(attributes[A::ColorizerAlphaMod]) : 1.0f;
    PartSource mask;
    const char* maskFile = attributes[A::ColorizerMaskFile];
    if (maskFile && maskFile[0] != '\0' && attributes.HasAll(A::MaskLocX, A::MaskLocY)) {
      mask.path = factory.mSkinFolder + ToText(maskFile); // mask names keep their case
      mask.rect = {ReadIntegerOrHex(attributes[A::MaskLocX]), ReadIntegerOrHex(attributes[A::MaskLocY]), width, height};
    }
    const RCPtr<LVisualPartDescriptor> part(new LVisualPartDescriptor(
        name, image, ReadResizeType(attributes[A::ResizeType]), colorizer, {width, height}, alphaModifier, mask));
    factory.mParts.emplace(name, part);
    Define(partsByName, Attribute::Name, part);
  }

  // The skin folder and the image file's name in lower case. An ASCII name is lowered as
  // it is widened, straight into the path's buffer.
  WString ImagePath(const char* file) const {
    const std::string_view name(file);
    if (name.size() >= WString::kWholeText ||
        !std::all_of(name.begin(), name.end(), [](char c) { return uint8_t(c) < 0x80; })) {
      return factory.mSkinFolder + ToText(file).ToLower();
    }
    WString path = factory.mSkinFolder;
    const uint32_t start = path.GetLength();
    char16_t* units = path.Lock(uint32_t(start + name.size() + 1));
    for (size_t i = 0; i < name.size(); ++i) {
      units[start + i] = Chars::ToLower(char16_t(name[i]));
    }
    path.Unlock();
    return path;
  }

  [[gnu::noinline]] void StartColorizer() {
    using A = Attribute;
    if (!attributes.HasAll(A::Name, A::ColorType, A::Color)) {
      return;
    }
    const WString name = attributes.Text(A::Name);
    if (factory.mColorizers.contains(name)) {
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
    Define(colorizersByName, Attribute::Name, colorizer);
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
  reader.HearTextWhenWanted();

  // Expat takes an int length: a document beyond that goes in pieces, the last one final.
  constexpr size_t kPiece = size_t(1) << 30;
  XML_Status status = XML_STATUS_OK;
  do {
    const size_t piece = std::min(length, kPiece);
    status = XML_Parse(parser.get(), bytes, int(piece), piece == length ? XML_TRUE : XML_FALSE);
    bytes += piece;
    length -= piece;
  } while (status == XML_STATUS_OK && length > 0);
  // What a stopped or failed parse gathered last is kept, as up to that point.
  reader.Guarded([&] { reader.StoreCreateParamText(); });
  mOpen.createParamText.clear();

  if (status == XML_STATUS_OK) {
    return QZ_OK;
  }
  if (!reader.stopped) {
    mErrorText = WString(XML_ErrorString(XML_GetErrorCode(parser.get())));
    mErrorLine = int32_t(XML_GetCurrentLineNumber(parser.get()));
  }
  mErrorDocument = WString();
  return QZ_E_FAIL;
}

} // namespace QZ
