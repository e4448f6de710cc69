#pragma once
// QZ::LControlFactory: reads the skin and the string tables, and knows every control
// class by its skin class name.
//
//   QZ::RCPtr<QZ::LControlFactory> factory(new QZ::LControlFactory());
//   factory->RegisterControlCreateFunction(u"Framework.Button", &CreateButton);
//   if (QZ::Failed(factory->LoadResources(u"::", 0x0409))) {   // or a folder of the three files
//     Report(factory->GetParseErrorText(), factory->GetParseErrorLine());
//   }
//   QZ::RCPtr<QZ::LControlDescriptor> main = factory->FindControlDescriptor(u"mainControl");
//   QZ::RCPtr<QZ::LStringTable> texts = factory->GetStringTable(u"", u"mainControl");
//
// Reading: a path that begins with "::" names a document compiled into the program (type
// "QZXML"; the rest of the path upper-cased, '.' and ' ' made '_'), any other path a
// file. Documents are parsed by Expat in UTF-8 or UTF-16 (with its byte-order mark).
// Whatever was read stays in the factory: descriptors are never removed, a second skin
// document adds its skins to the first's. What a document gets wrong is passed over
// silently, except a SubControl without Class or Name, which ends the read with the
// failure text "Runtime Error : Bad Subcontrol Element : ..."; a document that is not
// well-formed ends it with Expat's text. Either way what was read before stays, and the
// text and line are kept (GetParseErrorText).
//
// Creating controls from the descriptors (CreateControl, CreateControlByName, ReapplySkin)
// is built with the control class (ControlFactoryCreate.cpp). UI thread only; nothing is
// locked.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Platform/Resources/Resources.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/LayoutDescriptor.h"
#include "QZFramework/ControlBase/LookDescriptor.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Graphics/Colorizer.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class IRootWindow;

class LControlFactory : public virtual LRefCountedObject {
public:
  // The table ID of the framework's own texts.
  static constexpr char16_t kFrameworkTableId[] = u"Framework";
  // The language the string tables fall back to.
  static constexpr uint32_t kEnglish = 0x0009;

  // A factory whose "::" paths name the documents of resources: the program's own unless
  // a test hands it a table of its own.
  explicit LControlFactory(const Platform::Resources::Module& resources = Platform::Resources::Module::Program());
  ~LControlFactory() override;

  // --- Loading --------------------------------------------------------------------------

  // Reads the string tables, then the skin, for the user's locale. From the program's
  // documents when folder is "::" ("::APP_STRINGS", "::FRAMEWORK_STRINGS", "::APP_SKINS"),
  // else from "StringTables.xml", "FrameworkStrings.xml" and "Skins.xml" in folder. The
  // skin folder (which image paths begin with) becomes "::", or folder followed by "/".
  // Returns LoadSkins' result, or the string tables' failure (the skin is then not read).
  [[nodiscard]] QZResult LoadResources(const WString& folder, uint32_t locale);

  // Reads a skin document: 0; QZ_E_FAIL when it cannot be fetched (missing, empty or
  // unreadable), is not well-formed or holds a bad SubControl; QZ_E_OUTOFMEMORY when the file's
  // buffer cannot be allocated. Afterwards the current skin index is 0.
  [[nodiscard]] QZResult LoadSkins(const WString& path);

  // Reads the application's and the framework's string-table documents for locale,
  // keeping only the texts of one language, and replaces every table read before. The
  // application document is read for locale, else its primary language (0x7C04 for the
  // Chinese (Traditional) locales 0x0404, 0x0C04, 0x1404, else the locale's low 8 bits),
  // else English (0x0009), the first that has any text; the framework document for the
  // language the application settled on, else English. Without an application document
  // the framework document tries the same three in turn. A document that is missing,
  // empty or malformed gives no texts (the parse error is kept). Returns 0, or QZ_E_OUTOFMEMORY
  // (the load stops) when a file's buffer cannot be allocated.
  [[nodiscard]] QZResult LoadStringTables(const WString& applicationPath, const WString& frameworkPath,
                                          uint32_t locale);

  // Runs one document of length bytes through the reader in its current mode (skin or
  // string table): 0, or QZ_E_FAIL after a parse error or a bad SubControl (text and
  // line kept), or QZ_E_OUTOFMEMORY when no parser can be made. An empty document is not
  // well-formed.
  [[nodiscard]] QZResult Parse(const char* bytes, size_t length);

  // The text and line of the last failed parse: Expat's error text, or the exception's
  // text of a bad SubControl; empty and 0 when no parse has failed.
  const WString& GetParseErrorText() const { return mErrorText; }
  int32_t GetParseErrorLine() const { return mErrorLine; }
  // The document of that parse, as LoadSkins or LoadStringTables was given it ("::APP_SKINS",
  // a file's path); empty after a failed Parse of bytes alone and when no parse has failed.
  const WString& GetParseErrorDocument() const { return mErrorDocument; }

  // --- What was read --------------------------------------------------------------------

  // The documents' Application Name ("PresetEditor").
  const WString& GetApplicationName() const { return mApplicationName; }
  // "::", a folder followed by "/", or empty before LoadResources.
  const WString& GetSkinFolder() const { return mSkinFolder; }
  // The language the string tables were read in (also what FontXLat entries match).
  uint32_t GetLoadLocale() const { return mLoadLocale; }

  // One root descriptor (class "Application", named as the application) per top-level
  // Skin, in document order; its children are the skin's top-level controls.
  const RCPtrArray<LControlDescriptor>& GetSkins() const { return mSkins; }
  uint32_t GetSkinCount() const { return mSkins.GetCount(); }
  // The skin FindControlDescriptor and GetSkinFont look at. Any value may be set; one
  // that names no skin finds nothing.
  int32_t GetCurrentSkinIndex() const { return mCurrentSkinIndex; }
  void SetCurrentSkinIndex(int32_t index) { mCurrentSkinIndex = index; }

  // The skin's named definitions; null when the name is unknown.
  RCPtr<LColorizer> FindColorizer(const WString& name) const;
  RCPtr<LVisualPartDescriptor> FindPart(const WString& name) const;
  RCPtr<LLookDescriptor> FindLook(const WString& name) const;
  RCPtr<LLookList> FindLookList(const WString& name) const;

  // --- Control classes ------------------------------------------------------------------

  // Registers the create function of a class name; a name already registered keeps its
  // first function. Returns 0.
  QZResult RegisterControlCreateFunction(const WString& className, ControlCreateFunction function);
  // The create function of className into function; 0. Throws "Runtime Error :
  // QZ::LControlFactory::GetControlCreateFunction : ControlBase\ControlFactory : Line 51"
  // for a name never registered (function untouched).
  QZResult GetControlCreateFunction(const WString& className, ControlCreateFunction& function) const;

  // The current skin's top-level descriptor named name, the last of that name; null when
  // there is none (or no current skin).
  RCPtr<LControlDescriptor> FindControlDescriptor(const WString& name) const;
  // A copy of templateDescriptor (sharing its children, skin and create params) named
  // name and placed by layout; templateDescriptor keeps its own layout. Null for a null
  // template.
  RCPtr<LControlDescriptor> DeriveControlDescriptor(const RCPtr<LControlDescriptor>& templateDescriptor,
                                                    const WString& name, const RCPtr<LLayoutDescriptor>& layout) const;
  // Overwrites each of name, size and style that the current skin gives (a face that is
  // not empty, a size of 1.0 or more, a style other than -1) and leaves the others: 0 when
  // any was given, 1 when none was.
  QZResult GetSkinFont(WString& name, float& size, int32_t& style) const;

  // --- Creating controls ------------------------------------------------------------------

  // The control of descriptor under parent (null: a top control), made by its class's
  // create function, which the descriptor keeps after the first lookup. Null for a null
  // descriptor or when the function fails. An unregistered class throws as
  // GetControlCreateFunction does, and nothing is kept.
  RCPtr<LControl> CreateControl(const RCPtr<LControl>& parent, const RCPtr<LControlDescriptor>& descriptor);
  // The top control of the current skin's top-level descriptor name, marked visible and
  // installed in rootWindow (when given: the images its shown controls draw are then
  // decoded ahead on worker threads, LBitmap::DecodeAhead); null when the skin has no
  // such descriptor.
  RCPtr<LControl> CreateControlByName(const WString& name, const RCPtr<IRootWindow>& rootWindow);
  // Applies the current skin's top-level descriptor of control's name to it (after the user
  // switched skins): ApplyDescriptor's result; QZ_E_FAIL for null or when there is none.
  QZResult ReapplySkin(const RCPtr<LControl>& control);

  // --- String tables --------------------------------------------------------------------
  // Each returns a new table, the caller's alone (its texts are shared with the other
  // tables of the same id until it changes them); null when the documents hold no such table.

  // Table "Framework".
  RCPtr<LStringTable> GetFrameworkStringTable() const;
  // Table "|" + the application name.
  RCPtr<LStringTable> GetApplicationStringTable() const;
  // The texts of the control name whose parent's class is parentClass: table
  // parentClass + "|" + name, where an empty parentClass (a top-level control) stands for
  // the application name ("PresetEditor|mainControl").
  RCPtr<LStringTable> GetStringTable(const WString& parentClass, const WString& name) const;
  // The same for the control name under parent: parent's skin class (none for a parent
  // made in code, or without a parent).
  RCPtr<LStringTable> GetStringTable(const RCPtr<LControl>& parent, const WString& name) const;

private:
  struct Reader;
  friend struct Reader;

  // The bytes of a fetched document: in place for a resource, a buffer of its own for a file.
  struct Document {
    const char* bytes = nullptr;
    size_t length = 0;
    std::vector<char> buffer;
  };
  [[nodiscard]] QZResult Fetch(const WString& path, Document& document);
  // Parses document once in string-table mode, gathering the texts of every locale of
  // candidates, and keeps those of the first that has a matching Locale.
  void ReadStringTables(const WString& path, const Document& document, const std::vector<uint32_t>& candidates);
  RCPtr<LStringTable> CopyTable(std::u16string_view id) const;
  void ResetOpenState();

  Platform::Resources::Module mResources;
  std::unordered_map<WString, ControlCreateFunction> mCreateFunctions; // asked once per skin entry

  WString mApplicationName;
  WString mSkinFolder;
  uint32_t mLoadLocale = 0;
  RCPtrArray<LControlDescriptor> mSkins;
  int32_t mCurrentSkinIndex = 0;
  // Found by name only, thousands of times as a skin is read.
  std::unordered_map<WString, RCPtr<LColorizer>> mColorizers;
  std::unordered_map<WString, RCPtr<LVisualPartDescriptor>> mParts;
  std::unordered_map<WString, RCPtr<LLookDescriptor>> mLooks;
  std::unordered_map<WString, RCPtr<LLookList>> mLookLists;
  // Ordered as WString orders (code units, then length); found by a view too, so that a
  // control's table is found without making its name into a string.
  struct TableIdLess {
    using is_transparent = void;
    bool operator()(const WString& a, const WString& b) const { return a.View() < b.View(); }
    bool operator()(const WString& a, std::u16string_view b) const { return a.View() < b; }
    bool operator()(std::u16string_view a, const WString& b) const { return a < b.View(); }
  };
  std::map<WString, LStringTable::Entries, TableIdLess> mStringTables; // while tables are read
  // The tables as handed out, moved here from mStringTables once read (every control of a
  // table reads the one set of entries) and found by one hash: a tree asks for the table
  // of each of its controls, and most have none.
  struct TableIdHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view id) const { return std::hash<std::u16string_view>()(id); }
  };
  std::unordered_map<std::u16string, std::shared_ptr<const LStringTable::Entries>, TableIdHash, std::equal_to<>>
      mSharedTables;
  std::map<WString, WString> mFontTranslations;

  WString mErrorText;
  int32_t mErrorLine = 0;
  WString mErrorDocument;

  // What the reader has open while a document is parsed.
  struct OpenState {
    bool firstElementPending = false;
    bool stringTableMode = false;
    bool insideLooks = false;
    bool insideCreateParam = false;
    // The first piece of a CreateParam's text replaces its value, the others append.
    bool createParamStarted = false;
    // A CreateParam's text as Expat hands it over in pieces, converted and stored once
    // at the next element boundary.
    std::string createParamText;
    // Elements still to pass over inside an ignored SubControl.
    int32_t ignoredDepth = 0;
    bool fontLocaleSet = false;
    uint32_t fontLocale = 0;
    SkinFont pendingFont;
    LControlDescriptor* descriptor = nullptr;
    RCPtr<LSkinDescriptor> rootSkin;
    RCPtr<LLookDescriptor> look;
    RCPtr<LLookList> lookList;
    RCPtr<LStringTable> createParams;
    LStringTable::Entries* stringTable = nullptr;
    // What the Locale elements of one candidate locale gave, by the table they are for;
    // only one locale's texts are kept, so they join the tables once the document is read.
    struct LocaleTexts {
      uint32_t locale = 0;
      uint32_t matchCount = 0;
      std::map<LStringTable::Entries*, LStringTable::Entries> tables;
    };
    std::vector<LocaleTexts> locales;
    // The text a matching Locale collects into; null while not collecting.
    WString* collectedText = nullptr;
    // The open String element's ID.
    WString currentId;
  } mOpen;
};

} // namespace QZ
