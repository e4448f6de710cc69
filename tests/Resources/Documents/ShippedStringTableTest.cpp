// The shipped string tables as the program reads them: through the control factory, from
// the compiled-in documents and from the folder, in the user's language or its fallback.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/HotKeyMap.h"
#include "QZFramework/ControlBase/MenuDescriptor.h"
#include "QZFramework/Renderer/OpenGL/GLErrorStrings.h"
#include "Resources/Documents/RawStringTableDocument.h"
#include "Support/StringPrinter.h"
#include "Support/StringTableKeys.h"

namespace {

using QZ::LControlFactory;
using QZ::LMenuDescriptor;
using QZ::LStringTable;
using QZ::RCPtr;
using QZ::WString;

const std::string kDocumentFolder = QZ_RESOURCE_DOCUMENTS;
constexpr uint32_t kEnglishUS = 0x0409;

WString Wide(const std::string& text) { return WString(text.c_str()); }

// A factory that has read the shipped tables, compiled in ("::") or from the folder.
RCPtr<LControlFactory> LoadedFactory(bool fromFolder, uint32_t locale) {
  RCPtr<LControlFactory> factory(new LControlFactory());
  const QZ::QZResult result = fromFolder
                                  ? factory->LoadStringTables(Wide(kDocumentFolder + "/StringTables.xml"),
                                                              Wide(kDocumentFolder + "/FrameworkStrings.xml"), locale)
                                  : factory->LoadStringTables(u"::APP_STRINGS", u"::FRAMEWORK_STRINGS", locale);
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(factory->GetParseErrorText().IsEmpty()) << factory->GetParseErrorText().ToUTF8().GetBuffer();
  return factory;
}

// The table a caller gets for a key's table ID.
RCPtr<LStringTable> TableOf(const LControlFactory& factory, const std::string& tableId) {
  if (tableId == QZTest::kFrameworkTable) {
    return factory.GetFrameworkStringTable();
  }
  if (tableId == QZTest::kApplicationTable) {
    return factory.GetApplicationStringTable();
  }
  const size_t bar = tableId.find('|');
  const std::string parentClass = tableId.substr(0, bar);
  // A top-level control asks with no parent; the application's name stands in for it.
  return factory.GetStringTable(parentClass == "PresetEditor" ? WString() : Wide(parentClass),
                                Wide(tableId.substr(bar + 1)));
}

// The text of key as the documents write it.
std::string RawText(const QZTest::StringTableKey& key) {
  static const QZTest::RawStringTableDocument documents[] = {
      QZTest::RawStringTableDocument::Read(kDocumentFolder + "/StringTables.xml"),
      QZTest::RawStringTableDocument::Read(kDocumentFolder + "/FrameworkStrings.xml")};
  for (const QZTest::RawStringTableDocument& document : documents) {
    for (const QZTest::RawStringTable& table : document.tables) {
      for (const QZTest::RawString& string : table.strings) {
        if (table.id == key.table && string.id == key.id && !string.locales.empty()) {
          return string.locales.front().text;
        }
      }
    }
  }
  return "<not in the documents>";
}

TEST(ShippedStringTableTest, EveryKeyTheCodeLooksUpResolvesFromTheProgramAndFromTheFolder) {
  for (const bool fromFolder : {false, true}) {
    SCOPED_TRACE(fromFolder ? "folder" : "compiled in");
    const RCPtr<LControlFactory> factory = LoadedFactory(fromFolder, kEnglishUS);
    EXPECT_EQ(factory->GetLoadLocale(), 0x0009u);
    EXPECT_EQ(factory->GetApplicationName(), u"PresetEditor");
    for (const QZTest::StringTableKey& key : QZTest::AllStringTableKeys()) {
      const RCPtr<LStringTable> table = TableOf(*factory, key.table);
      WString text;
      ASSERT_TRUE(QZ::LookupString(table.Get(), Wide(key.id), text)) << key.table << " " << key.id;
      // Exactly as written: blanks at either end kept, nothing appended twice.
      EXPECT_EQ(text.ToUTF8().GetBuffer(), RawText(key)) << key.table << " " << key.id;
    }
  }
}

TEST(ShippedStringTableTest, GermanAndJapaneseUsersGetTheEnglishTexts) {
  // LANG=de_DE.UTF-8 and ja_JP.UTF-8 give these language ids.
  for (const uint32_t locale : {0x0407u, 0x0411u}) {
    SCOPED_TRACE(locale);
    const RCPtr<LControlFactory> factory = LoadedFactory(false, locale);
    EXPECT_EQ(factory->GetLoadLocale(), 0x0009u);
    WString text;
    EXPECT_TRUE(QZ::LookupString(factory->GetFrameworkStringTable().Get(), u"STARTUP_ERROR", text));
    EXPECT_EQ(text, u"The application encountered problems during startup and will now close.");
    EXPECT_TRUE(QZ::LookupString(factory->GetStringTable(u"PresetEditor.KnobUserPresetEditPanel", u"label").Get(),
                                 u"LABEL", text));
    EXPECT_EQ(text, u"Knob %d");
  }
}

// The menu descriptors of a control's table, one per menu number in ascending order, each
// key cut after the point that follows "CONTEXT_MENU<n>".
std::vector<RCPtr<LMenuDescriptor>> ContextMenus(const LStringTable& table) {
  std::map<int, std::vector<LMenuDescriptor::Entry>> menus;
  for (const auto& [key, value] : table.GetEntries()) {
    const std::u16string_view text = key.View();
    if (!text.starts_with(u"CONTEXT_MENU")) {
      continue;
    }
    const size_t point = text.find(u'.');
    const int number = QZ::Chars::ToInt32(WString(key.GetBuffer() + 12, uint32_t(point - 12)).GetBuffer());
    menus[number].emplace_back(key.Mid(int32_t(point + 1)), value);
  }
  std::vector<RCPtr<LMenuDescriptor>> descriptors;
  for (const auto& [number, entries] : menus) {
    descriptors.push_back(LMenuDescriptor::CreateFromStringTable(entries));
  }
  return descriptors;
}

TEST(ShippedStringTableTest, TheMenuBarTableBuildsTheFileAndHelpMenus) {
  const RCPtr<LControlFactory> factory = LoadedFactory(false, kEnglishUS);
  const RCPtr<LStringTable> table = factory->GetStringTable(u"PresetEditor.MainControl", u"mainMenu");
  ASSERT_TRUE(table);
  WString label;
  EXPECT_TRUE(QZ::LookupString(table.Get(), u"MENU_LABEL.00", label));
  EXPECT_EQ(label, u"File");
  EXPECT_TRUE(QZ::LookupString(table.Get(), u"MENU_LABEL.01", label));
  EXPECT_EQ(label, u"Help");

  const std::vector<RCPtr<LMenuDescriptor>> menus = ContextMenus(*table);
  ASSERT_EQ(menus.size(), 2u);
  ASSERT_TRUE(menus[0] && menus[1]);

  const char16_t* const fileCommands[] = {u"NID_MENU_FILE_SEND_PRESET_TO_DEVICE",
                                          u"NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE",
                                          nullptr,
                                          u"NID_MENU_FILE_LOAD_PRESET_FROM_FILE",
                                          u"NID_MENU_FILE_SAVE_PRESET_TO_FILE",
                                          nullptr,
                                          u"NID_MENU_FILE_EXIT_REQ"};
  const LMenuDescriptor& file = *menus[0];
  ASSERT_EQ(file.GetItemCount(), 7u);
  for (uint32_t i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    const RCPtr<QZ::LMenuItemDescriptor> item = file.GetItem(i);
    EXPECT_EQ(item->IsSeparator(), fileCommands[i] == nullptr);
    if (fileCommands[i]) {
      EXPECT_EQ(item->GetNotificationName(), fileCommands[i]);
      EXPECT_FALSE(item->GetLabel().IsEmpty());
      EXPECT_FALSE(item->GetStatusText().IsEmpty());
    }
  }
  EXPECT_EQ(file.GetItem(0)->GetLabel(), u"Send Preset ");
  EXPECT_EQ(file.GetItem(0)->GetStatusText(), u" Send this preset to the controller.");

  const LMenuDescriptor& help = *menus[1];
  ASSERT_EQ(help.GetItemCount(), 2u);
  EXPECT_EQ(help.GetItem(0)->GetNotificationName(), u"NID_MENU_HELP_OPEN_USER_GUIDE_REQ");
  EXPECT_EQ(help.GetItem(1)->GetNotificationName(), u"NID_MENU_HELP_ABOUT_REQ");
}

TEST(ShippedStringTableTest, TheEditorTableBindsItsHotKeys) {
  const RCPtr<LControlFactory> factory = LoadedFactory(false, kEnglishUS);
  const RCPtr<LStringTable> table = factory->GetApplicationStringTable();

  QZ::HotKeyMap framework;
  EXPECT_GE(framework.ParseDefinitions(table.Get(), u"GHK"), 0);
  EXPECT_EQ(framework.FindCommand(QZ::KeyCode::FromString(u"VKEY_DELETE")), u"NID_EDIT_DELETE_REQ");
  EXPECT_EQ(framework.FindCommand(QZ::KeyCode::FromString(u"VKEY_D")), u"NID_BUTTON_TOGGLE_DIALOG_BUTTON");
  EXPECT_TRUE(framework.FindCommand(QZ::KeyCode::FromString(u"Ctrl+VKEY_C")).IsEmpty());

  QZ::HotKeyMap windows;
  EXPECT_GE(windows.ParseDefinitions(table.Get(), u"GHK_WIN"), 0);
  const struct {
    uint32_t code;
    const char16_t* command;
  } bindings[] = {
      {0x21430000, u"NID_EDIT_COPY_REQ"},
      {0x21580000, u"NID_EDIT_CUT_REQ"},
      {0x21560000, u"NID_EDIT_PASTE_REQ"},
      {0x214F0000, u"NID_MENU_FILE_LOAD_PRESET_FROM_FILE"},
      {0x21530000, u"NID_MENU_FILE_SAVE_PRESET_TO_FILE"},
      {0x23530000, u"NID_MENU_FILE_SEND_PRESET_TO_DEVICE"},
      {0x23520000, u"NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE"},
  };
  for (const auto& binding : bindings) {
    QZ::KeyCode key;
    key.code = binding.code;
    EXPECT_EQ(windows.FindCommand(key), binding.command) << std::hex << binding.code;
  }
  EXPECT_TRUE(windows.FindCommand(QZ::KeyCode::FromString(u"VKEY_DELETE")).IsEmpty());
}

TEST(ShippedStringTableTest, TheOpenGLRendererTakesItsTextsFromTheFrameworkTable) {
  const RCPtr<LControlFactory> factory = LoadedFactory(false, kEnglishUS);
  const RCPtr<LStringTable> table = factory->GetFrameworkStringTable();
  QZ::SetGLErrorTexts(table->GetEntries());
  for (const char* key : {"GL_ERROR_CAPTION", "GL_ERROR_UPDATE_DRIVER", "GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT",
                          "GL_ERROR_MESSAGE_SET_PIXEL_FORMAT", "GL_ERROR_MESSAGE_CREATE_CONTEXT"}) {
    EXPECT_EQ(QZ::GetGLErrorString(key), RawText({QZTest::kFrameworkTable, key}));
  }
  EXPECT_EQ(QZ::GetGLProcAddressErrorString(127, "The specified procedure could not be found."),
            "An OpenGL entry point could not be found (error 127: The specified procedure could not be found.).");
  QZ::SetGLErrorTexts({});
}

} // namespace
