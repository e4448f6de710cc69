// The factory's registry, its lookups and the fetching of documents; the reading of them
// is in SkinReader.cpp.

#include "QZFramework/ControlBase/ControlFactory.h"

#include <algorithm>
#include <array>
#include <new>

#include "QZFramework/Utilities/Storage/QZFile.h"

namespace QZ {

namespace {

// The language the string tables try after the requested locale.
uint32_t PrimaryLanguageOf(uint32_t locale) {
  if (locale == 0x0404 || locale == 0x0C04 || locale == 0x1404) {
    return 0x7C04; // Chinese (Traditional)
  }
  return locale & 0xFF;
}

} // namespace

LControlFactory::LControlFactory(const Platform::Resources::Module& resources) : mResources(resources) {}

LControlFactory::~LControlFactory() = default;

// --- Loading ----------------------------------------------------------------------------

QZResult LControlFactory::LoadResources(const WString& folder, uint32_t locale) {
  WString applicationStrings;
  WString frameworkStrings;
  WString skins;
  if (folder == u"::") {
    mSkinFolder = folder;
    applicationStrings = WString(u"::APP_STRINGS");
    frameworkStrings = WString(u"::FRAMEWORK_STRINGS");
    skins = WString(u"::APP_SKINS");
  } else {
    mSkinFolder = folder + WString(u"/");
    applicationStrings = mSkinFolder + WString(u"StringTables.xml");
    frameworkStrings = mSkinFolder + WString(u"FrameworkStrings.xml");
    skins = mSkinFolder + WString(u"Skins.xml");
  }
  const QZResult result = LoadStringTables(applicationStrings, frameworkStrings, locale);
  if (Failed(result)) {
    return result;
  }
  return LoadSkins(skins);
}

QZResult LControlFactory::LoadSkins(const WString& path) {
  Document document;
  const QZResult fetched = Fetch(path, document);
  if (Failed(fetched)) {
    return fetched;
  }
  ResetOpenState();
  const QZResult result = Parse(document.bytes, document.length);
  if (result == QZ_E_FAIL) {
    mErrorDocument = path;
  }
  mCurrentSkinIndex = 0;
  return result;
}

QZResult LControlFactory::LoadStringTables(const WString& applicationPath, const WString& frameworkPath,
                                           uint32_t locale) {
  // A second load starts over: matching Locale elements append, so keeping the tables
  // would double every text.
  mStringTables.clear();
  mSharedTables.clear();
  // Whatever was read, even before a failure, is handed out from the shared tables.
  struct ShareOnExit {
    LControlFactory& factory;
    ~ShareOnExit() {
      for (auto& [name, entries] : factory.mStringTables) {
        factory.mSharedTables.emplace(std::u16string(name.View()),
                                      std::make_shared<const LStringTable::Entries>(std::move(entries)));
      }
      factory.mStringTables.clear();
    }
  } share{*this};
  mLoadLocale = locale;
  std::vector<uint32_t> candidates{locale, PrimaryLanguageOf(locale), kEnglish};

  Document application;
  QZResult fetched = Fetch(applicationPath, application);
  if (fetched == QZ_E_OUTOFMEMORY) {
    return fetched;
  }
  if (Succeeded(fetched)) {
    ReadStringTables(applicationPath, application, candidates);
    candidates = {mLoadLocale, kEnglish};
  }

  Document framework;
  fetched = Fetch(frameworkPath, framework);
  if (fetched == QZ_E_OUTOFMEMORY) {
    return fetched;
  }
  if (Succeeded(fetched)) {
    ReadStringTables(frameworkPath, framework, candidates);
  }
  return QZ_OK;
}

void LControlFactory::ReadStringTables(const WString& path, const Document& document,
                                       const std::vector<uint32_t>& candidates) {
  ResetOpenState();
  mOpen.stringTableMode = true;
  for (const uint32_t locale : candidates) {
    if (std::none_of(mOpen.locales.begin(), mOpen.locales.end(),
                     [locale](const OpenState::LocaleTexts& texts) { return texts.locale == locale; })) {
      mOpen.locales.emplace_back().locale = locale;
    }
  }
  // A malformed document keeps what it gave before the fault; its text stays in the
  // factory and the load goes on.
  if (Parse(document.bytes, document.length) == QZ_E_FAIL) {
    mErrorDocument = path;
  }
  const auto settled = std::find_if(mOpen.locales.begin(), mOpen.locales.end(),
                                    [](const OpenState::LocaleTexts& texts) { return texts.matchCount > 0; });
  const OpenState::LocaleTexts& kept = settled != mOpen.locales.end() ? *settled : mOpen.locales.back();
  mLoadLocale = kept.locale;
  for (const auto& [table, entries] : kept.tables) {
    for (const auto& [id, text] : entries) {
      (*table)[id] += text; // after what an earlier document gave the same ID
    }
  }
  ResetOpenState();
}

QZResult LControlFactory::Fetch(const WString& path, Document& document) {
  if (path.View().starts_with(u"::")) {
    WString name = path.Mid(2).ToUpper();
    name.ReplaceChars(u". ", u'_');
    const auto bytes = mResources.Find(name.View(), Platform::Resources::kDocumentType);
    if (!bytes || bytes->empty()) {
      return QZ_E_FAIL;
    }
    document.bytes = reinterpret_cast<const char*>(bytes->data());
    document.length = bytes->size();
    return QZ_OK;
  }
  try {
    File file(path, WString(), File::kRead);
    if (!file.IsOpen()) {
      return QZ_E_FAIL;
    }
    const uint32_t length = file.GetLength();
    try {
      document.buffer.resize(length);
    } catch (const std::bad_alloc&) {
      return QZ_E_OUTOFMEMORY;
    }
    const int32_t read = length == 0 ? 0 : file.Read(document.buffer.data(), length, 0);
    if (read <= 0) {
      return QZ_E_FAIL; // an empty file is no document, as an empty resource is none
    }
    document.bytes = document.buffer.data();
    document.length = size_t(read);
    return QZ_OK;
  } catch (const std::exception&) {
    // The file could not be opened or read.
    return QZ_E_FAIL;
  }
}

void LControlFactory::ResetOpenState() { mOpen = OpenState(); }

// --- What was read ----------------------------------------------------------------------

namespace {

template <class Map>
typename Map::mapped_type FindNamed(const Map& map, const WString& name) {
  const auto found = map.find(name);
  return found == map.end() ? typename Map::mapped_type() : found->second;
}

} // namespace

RCPtr<LColorizer> LControlFactory::FindColorizer(const WString& name) const { return FindNamed(mColorizers, name); }

RCPtr<LVisualPartDescriptor> LControlFactory::FindPart(const WString& name) const { return FindNamed(mParts, name); }

RCPtr<LLookDescriptor> LControlFactory::FindLook(const WString& name) const { return FindNamed(mLooks, name); }

RCPtr<LLookList> LControlFactory::FindLookList(const WString& name) const { return FindNamed(mLookLists, name); }

// --- Control classes --------------------------------------------------------------------

QZResult LControlFactory::RegisterControlCreateFunction(const WString& className, ControlCreateFunction function) {
  mCreateFunctions.try_emplace(className, function);
  return QZ_OK;
}

QZResult LControlFactory::GetControlCreateFunction(const WString& className, ControlCreateFunction& function) const {
  const auto found = mCreateFunctions.find(className);
  if (found == mCreateFunctions.end()) {
    Throw<std::runtime_error>({"QZ::LControlFactory::GetControlCreateFunction", R"(ControlBase\ControlFactory)", 51});
  }
  function = found->second;
  return QZ_OK;
}

RCPtr<LControlDescriptor> LControlFactory::FindControlDescriptor(const WString& name) const {
  if (mCurrentSkinIndex < 0 || uint32_t(mCurrentSkinIndex) >= mSkins.GetCount()) {
    return nullptr;
  }
  const ControlDescriptorArray& controls = mSkins.GetAt(uint32_t(mCurrentSkinIndex))->GetChildren();
  for (uint32_t i = controls.GetCount(); i-- > 0;) {
    if (controls.GetAt(i)->GetName() == name) {
      return controls.GetAt(i);
    }
  }
  return nullptr;
}

RCPtr<LControlDescriptor> LControlFactory::DeriveControlDescriptor(const RCPtr<LControlDescriptor>& templateDescriptor,
                                                                   const WString& name,
                                                                   const RCPtr<LLayoutDescriptor>& layout) const {
  if (!templateDescriptor) {
    return nullptr;
  }
  RCPtr<LControlDescriptor> derived = templateDescriptor->CreateCopy(WString());
  derived->SetName(name);
  derived->SetLayout(layout);
  return derived;
}

QZResult LControlFactory::GetSkinFont(WString& name, float& size, int32_t& style) const {
  if (mCurrentSkinIndex < 0 || uint32_t(mCurrentSkinIndex) >= mSkins.GetCount()) {
    return QZ_FALSE;
  }
  const RCPtr<LSkinDescriptor>& skin = mSkins.GetAt(uint32_t(mCurrentSkinIndex))->GetSkin();
  if (!skin) {
    return QZ_FALSE;
  }
  const SkinFont& font = skin->GetFont();
  bool given = false;
  if (!font.name.IsEmpty()) {
    name = font.name;
    given = true;
  }
  if (font.size >= 1.0f) {
    size = font.size;
    given = true;
  }
  if (font.style != -1) {
    style = font.style;
    given = true;
  }
  return given ? QZ_OK : QZ_FALSE;
}

// --- String tables ----------------------------------------------------------------------

RCPtr<LStringTable> LControlFactory::CopyTable(std::u16string_view id) const {
  const auto found = mSharedTables.find(id);
  return found == mSharedTables.end() ? nullptr : LStringTable::Share(found->second);
}

RCPtr<LStringTable> LControlFactory::GetFrameworkStringTable() const { return CopyTable(kFrameworkTableId); }

RCPtr<LStringTable> LControlFactory::GetApplicationStringTable() const {
  std::u16string id(1, u'|');
  id.append(mApplicationName.View());
  return CopyTable(id);
}

RCPtr<LStringTable> LControlFactory::GetStringTable(const WString& parentClass, const WString& name) const {
  // Asked for every control of a tree: the id is put together on the stack when it fits.
  const std::u16string_view parent = parentClass.IsEmpty() ? mApplicationName.View() : parentClass.View();
  const size_t length = parent.size() + 1 + name.GetLength();
  std::array<char16_t, 128> held;
  std::u16string made;
  char16_t* id = held.data();
  if (length > held.size()) {
    made.resize(length);
    id = made.data();
  }
  std::copy(parent.begin(), parent.end(), id);
  id[parent.size()] = u'|';
  std::copy(name.View().begin(), name.View().end(), id + parent.size() + 1);
  return CopyTable({id, length});
}

} // namespace QZ
