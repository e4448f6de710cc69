#include <gtest/gtest.h>

#include "FactoryTestSupport.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

using QZTest::FixtureDocuments;
using QZTest::InMemoryDocuments;
using QZTest::StringTableDocument;

// An application table "|PresetEditor" with STATUS_READY in each (locale, text) given.
std::string ApplicationDocument(std::initializer_list<std::pair<const char*, const char*>> texts) {
  std::string locales;
  for (const auto& [locale, text] : texts) {
    locales += std::string("<Locale LCID=\"") + locale + "\">" + text + "</Locale>";
  }
  return StringTableDocument(R"(<StringTable ID="|PresetEditor"><String ID="STATUS_READY">)" + locales +
                             "</String></StringTable>");
}

WString Text(const RCPtr<LStringTable>& table, const char16_t* id) {
  WString text = u"(none)";
  LookupString(table.Get(), id, text); // a missing text leaves "(none)"
  return text;
}

TEST(StringTableLoadTest, EachDocumentSettlesOnTheFirstLanguageItHasTexts) {
  const std::string english = ApplicationDocument({{"0x0009", "Ready"}});
  const std::string german = ApplicationDocument({{"0x0009", "Ready"}, {"0x0007", "Bereit"}});
  const std::string chinese = ApplicationDocument({{"0x7c04", "Traditional"}, {"0x0004", "Simplified"}});
  struct Case {
    const std::string* application; // null: no application document
    uint32_t locale;
    const char16_t* applicationText;
    const char16_t* frameworkText; // from the fixture: English and German
    uint32_t loadLocale;
  };
  const Case cases[] = {
      {&english, 0x0409, u"Ready", u"Cancel", 0x0009},
      {&english, 0x0407, u"Ready", u"Cancel", 0x0009}, // the application has no German: English in both
      {&german, 0x0407, u"Bereit", u"Abbrechen", 0x0007},
      {&german, 0x0007, u"Bereit", u"Abbrechen", 0x0007},
      {&chinese, 0x0C04, u"Traditional", u"Cancel", 0x0009},
      {&chinese, 0x0404, u"Traditional", u"Cancel", 0x0009},
      {&chinese, 0x0804, u"Simplified", u"Cancel", 0x0009},
      {&english, 0x0411, u"Ready", u"Cancel", 0x0009},
      // Without an application document the framework's own languages count.
      {nullptr, 0x0407, u"(none)", u"Abbrechen", 0x0007},
      {nullptr, 0x0411, u"(none)", u"Cancel", 0x0009},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.locale << " " << (c.application ? *c.application : "none"));
    InMemoryDocuments documents;
    documents.Add("APP_STRINGS", c.application ? *c.application : ""); // empty: no document
    const auto framework = FixtureDocuments().Find(u"FRAMEWORK_STRINGS", "QZXML");
    ASSERT_TRUE(framework);
    documents.Add("FRAMEWORK_STRINGS", std::string(framework->begin(), framework->end()));
    RCPtr<LControlFactory> factory(new LControlFactory(documents.Module()));
    ASSERT_EQ(factory->LoadStringTables(u"::APP_STRINGS", u"::FRAMEWORK_STRINGS", c.locale), QZ_OK);
    EXPECT_EQ(Text(factory->GetApplicationStringTable(), u"STATUS_READY"), WString(c.applicationText));
    EXPECT_EQ(Text(factory->GetFrameworkStringTable(), u"CANCEL"), WString(c.frameworkText));
    EXPECT_EQ(factory->GetLoadLocale(), c.loadLocale);
  }
}

TEST(StringTableLoadTest, TextsAreCollectedFromMatchingLocalesOnly) {
  RCPtr<LControlFactory> factory(new LControlFactory(FixtureDocuments()));
  ASSERT_EQ(factory->LoadStringTables(u"::StringTablesUtf8.xml", u"::NONE", 0x0409), QZ_OK);
  const RCPtr<LStringTable> table = factory->GetApplicationStringTable();
  ASSERT_TRUE(table);
  // Two matching Locale elements append; a String without one leaves no entry.
  EXPECT_EQ(Text(table, u"JOINED"), WString(u"first, second"));
  EXPECT_EQ(Text(table, u"ESCAPED"), WString(u"a & b \u263A Gr\u00F6\u00DFe"));
  WString tip = u"default";
  EXPECT_FALSE(LookupString(table.Get(), u"TOOLTIP", tip));
  EXPECT_EQ(tip, WString(u"default"));
  EXPECT_EQ(table->GetCount(), 3u);

  // Locale before any table, without LCID, or of another language: nothing.
  InMemoryDocuments documents;
  documents.Add("STRINGS", StringTableDocument(R"(<String ID="A"><Locale LCID="0x0009">early</Locale></String>
      <StringTable ID="|PresetEditor"><Locale>none</Locale><String ID="B"><Locale LCID="9">nine</Locale>
      <Locale LCID="0x0407">other</Locale></String><String><Locale LCID="0x0009">, same id</Locale></String>
      </StringTable>)"));
  factory = new LControlFactory(documents.Module());
  ASSERT_EQ(factory->LoadStringTables(u"::STRINGS", u"::NONE", 0x0009), QZ_OK);
  EXPECT_EQ(factory->GetApplicationStringTable()->GetEntries(), (LStringTable::Entries{{u"B", u"nine, same id"}}));
}

TEST(StringTableLoadTest, TheFrameworksTextsJoinTheApplicationsInItsLanguageAndAFaultKeepsWhatCameBefore) {
  InMemoryDocuments documents;
  documents.Add("APP_STRINGS", StringTableDocument(R"(<StringTable ID="Framework">
      <String ID="JOINED"><Locale LCID="0x0009">app</Locale></String></StringTable>)"));
  documents.Add("FRAMEWORK_STRINGS", StringTableDocument(R"(<StringTable ID="Framework">
      <String ID="JOINED"><Locale LCID="0x0007">-de</Locale><Locale LCID="0x0009">-fw</Locale></String>
      <String ID="CANCEL"><Locale LCID="0x0009">Cancel</Locale></Strin></StringTable>)"));
  RCPtr<LControlFactory> factory(new LControlFactory(documents.Module()));
  ASSERT_EQ(factory->LoadStringTables(u"::APP_STRINGS", u"::FRAMEWORK_STRINGS", 0x0407), QZ_OK);
  EXPECT_EQ(factory->GetLoadLocale(), 0x0009u); // the application has English only
  EXPECT_EQ(factory->GetFrameworkStringTable()->GetEntries(),
            (LStringTable::Entries{{u"CANCEL", u"Cancel"}, {u"JOINED", u"app-fw"}}));
  EXPECT_EQ(factory->GetParseErrorDocument(), WString(u"::FRAMEWORK_STRINGS"));
  EXPECT_EQ(factory->GetParseErrorLine(), 3);
}

TEST(StringTableLoadTest, Utf16AndUtf8DocumentsGiveTheSameTablesAndASecondLoadNoMore) {
  const auto tablesOf = [](const LControlFactory& factory) {
    std::vector<LStringTable::Entries> tables;
    for (const RCPtr<LStringTable>& table :
         {factory.GetApplicationStringTable(), factory.GetStringTable(u"", u"mainControl"),
          factory.GetStringTable(u"PresetEditor.DialogAbout", u"labelProduct")}) {
      EXPECT_TRUE(table);
      tables.push_back(table ? table->GetEntries() : LStringTable::Entries{});
    }
    return tables;
  };
  RCPtr<LControlFactory> utf16(new LControlFactory(FixtureDocuments()));
  ASSERT_EQ(utf16->LoadStringTables(u"::APP_STRINGS", u"::FRAMEWORK_STRINGS", 0x0409), QZ_OK);
  RCPtr<LControlFactory> utf8(new LControlFactory(FixtureDocuments()));
  ASSERT_EQ(utf8->LoadStringTables(u"::StringTablesUtf8.xml", u"::FRAMEWORK_STRINGS", 0x0409), QZ_OK);
  EXPECT_EQ(tablesOf(*utf16), tablesOf(*utf8));
  EXPECT_EQ(Text(utf16->GetStringTable(u"", u"mainControl"), u"LABEL"), WString(u"Quorin ZTR Preset Editor"));
  EXPECT_EQ(Text(utf16->GetApplicationStringTable(), u"ESCAPED"), WString(u"a & b \u263A Gr\u00F6\u00DFe"));

  ASSERT_EQ(utf8->LoadStringTables(u"::StringTablesUtf8.xml", u"::FRAMEWORK_STRINGS", 0x0409), QZ_OK);
  EXPECT_EQ(tablesOf(*utf16), tablesOf(*utf8));
  EXPECT_EQ(Text(utf8->GetFrameworkStringTable(), u"YES"), WString(u"Yes"));
}

TEST(StringTableLoadTest, TablesAreFoundByParentClassAndNameAndHandedOutAsCopies) {
  RCPtr<LControlFactory> factory(new LControlFactory(FixtureDocuments()));
  ASSERT_EQ(factory->LoadStringTables(u"::APP_STRINGS", u"::FRAMEWORK_STRINGS", 0x0409), QZ_OK);
  EXPECT_EQ(Text(factory->GetStringTable(u"PresetEditor.DialogAbout", u"labelProduct"), u"LABEL"),
            WString(u"Quorin 49 ZTR"));
  EXPECT_EQ(Text(factory->GetStringTable(u"", u"mainControl"), u"LABEL"), WString(u"Quorin ZTR Preset Editor"));
  EXPECT_FALSE(factory->GetStringTable(u"PresetEditor", u"labelProduct"));
  EXPECT_FALSE(factory->GetStringTable(u"", u"missing"));

  const RCPtr<LStringTable> mine = factory->GetFrameworkStringTable();
  ASSERT_TRUE(mine);
  EXPECT_EQ(mine->GetRefCount(), 1);
  mine->Set(u"CANCEL", u"changed");
  EXPECT_EQ(Text(factory->GetFrameworkStringTable(), u"CANCEL"), WString(u"Cancel"));
  EXPECT_NE(factory->GetFrameworkStringTable().Get(), factory->GetFrameworkStringTable().Get());
}

TEST(StringTableLoadTest, TablesWhoseIdsShareTheirStartAreEachFoundByTheirOwnParts) {
  std::string tables;
  for (const char* id : {"Panel|row", "Panel|row2", "Panel|ro", "Panel.Sub|row", "Panel|r\xC3\xA9w",
                         "Panel|r\xEF\xBD\x97w", "|Panel", "PresetEditor|row"}) {
    tables += std::string("<StringTable ID=\"") + id + "\"><String ID=\"ID\"><Locale LCID=\"0x0009\">" + id +
              "</Locale></String></StringTable>";
  }
  InMemoryDocuments documents;
  documents.Add("APP_STRINGS", StringTableDocument(tables));
  RCPtr<LControlFactory> factory(new LControlFactory(documents.Module()));
  ASSERT_EQ(factory->LoadStringTables(u"::APP_STRINGS", u"::NONE", 0x0409), QZ_OK);
  const std::pair<const char16_t*, const char16_t*> found[] = {
      {u"Panel", u"row"},      {u"Panel", u"row2"},     {u"Panel", u"ro"}, {u"Panel.Sub", u"row"},
      {u"Panel", u"r\u00E9w"}, {u"Panel", u"r\uFF57w"}, {u"", u"row"}};
  for (const auto& [parent, name] : found) {
    const WString id = WString(*parent ? parent : u"PresetEditor") + WString(u"|") + WString(name);
    EXPECT_EQ(Text(factory->GetStringTable(parent, name), u"ID"), id);
  }
  EXPECT_FALSE(factory->GetStringTable(u"Panel", u"r"));
  EXPECT_FALSE(factory->GetStringTable(u"Panel", u"row3"));
  EXPECT_FALSE(factory->GetStringTable(u"Panel|row", u""));
  EXPECT_FALSE(factory->GetApplicationStringTable()); // "|PresetEditor" is not among them
}

TEST(StringTableLoadTest, LongIdsAreFoundAndALoadAfterTablesWereHandedOutGivesTheNewTexts) {
  const std::string parent(150, 'P');
  const auto document = [&parent](const char* text) {
    return StringTableDocument("<StringTable ID=\"" + parent + "|row\"><String ID=\"ID\"><Locale LCID=\"0x0009\">" +
                               text + "</Locale></String></StringTable>");
  };
  InMemoryDocuments documents;
  documents.Add("FIRST", document("first"));
  documents.Add("SECOND", document("second"));
  RCPtr<LControlFactory> factory(new LControlFactory(documents.Module()));
  const WString parentClass(parent.c_str());
  ASSERT_EQ(factory->LoadStringTables(u"::FIRST", u"::NONE", 0x0409), QZ_OK);
  EXPECT_EQ(Text(factory->GetStringTable(parentClass, u"row"), u"ID"), WString(u"first"));
  EXPECT_FALSE(factory->GetStringTable(parentClass, u"ro"));
  ASSERT_EQ(factory->LoadStringTables(u"::SECOND", u"::NONE", 0x0409), QZ_OK);
  EXPECT_EQ(Text(factory->GetStringTable(parentClass, u"row"), u"ID"), WString(u"second"));
  ASSERT_EQ(factory->LoadStringTables(u"::NONE", u"::NONE", 0x0409), QZ_OK);
  EXPECT_FALSE(factory->GetStringTable(parentClass, u"row"));
}

TEST(StringTableLoadTest, TheProgramsOwnDocumentsLoadFromItsResources) {
  RCPtr<LControlFactory> factory(new LControlFactory());
  ASSERT_EQ(factory->LoadStringTables(u"::APP_STRINGS", u"::FRAMEWORK_STRINGS", 0x0407), QZ_OK);
  EXPECT_EQ(factory->GetApplicationName(), WString(u"PresetEditor"));
  EXPECT_EQ(factory->GetLoadLocale(), 0x0009u);
  EXPECT_EQ(Text(factory->GetApplicationStringTable(), u"GHK.NID_EDIT_DELETE_REQ"), WString(u"VKEY_DELETE"));
  EXPECT_EQ(Text(factory->GetFrameworkStringTable(), u"STARTUP_ERROR_CAPTION"), WString(u"Error"));
}

} // namespace
} // namespace QZ
