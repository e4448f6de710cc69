// The version resource: the program's values, the key form, the choice of translation,
// and the failures of each reading step.

#include <gtest/gtest.h>

#include <stdexcept>

#include "QZFramework/Application/ErrorText.h"
#include "QZFramework/Application/Version.h"

namespace QZTest {
namespace {

TEST(VersionTest, TheProgramsResourceAnswersItsFourValuesAndEmptyTextForOthers) {
  const QZ::Version version;
  EXPECT_EQ(version.GetCompanyName(), QZ::WString(u"Vandrel"));
  EXPECT_EQ(version.GetProductName(), QZ::WString(u"Quorin ZTR Preset Editor"));
  EXPECT_EQ(version.GetProductVersion(), QZ::WString(u"1.0.1"));
  EXPECT_EQ(version.GetStringFileInfo("LegalCopyright"), QZ::WString(u"Copyright © Vandrel. All rights reserved."));
  EXPECT_EQ(version.GetStringFileInfo("FileDescription"), QZ::WString());
  const QZ::VersionResource& resource = QZ::GetProgramVersionResource();
  ASSERT_EQ(resource.translations.size(), 1u);
  EXPECT_EQ(resource.translations[0].language, 0x0000);
  EXPECT_EQ(resource.translations[0].codePage, 0x04B0);
  EXPECT_EQ(QZ::MakeStringFileInfoKey(resource.translations[0], u"ProductVersion"),
            u"\\StringFileInfo\\000004b0\\ProductVersion");
  EXPECT_NE(resource.Query(u"\\StringFileInfo\\000004b0\\ProductVersion"), nullptr);
}

// A language id as four lower-case hexadecimal digits.
std::u16string Hex(uint16_t language) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string text;
  for (int shift = 12; shift >= 0; shift -= 4) {
    text += kDigits[(language >> shift) & 0xF];
  }
  return text;
}

// A source whose steps fail as the test says, over a resource of its own.
class FakeSource : public QZ::VersionResourceSource {
public:
  std::u16string GetModuleFileName() const override {
    return failAt == 903 ? u"" : u"/opt/editor/quorin-ztr-preset-editor";
  }
  uint32_t GetVersionInfoSize(std::u16string_view fileName) const override {
    askedFileName = fileName;
    return failAt == 902 ? 0 : 1024;
  }
  bool GetVersionInfo(std::u16string_view, QZ::VersionResource& data) const override {
    data = QZ::MakeVersionResource(failAt == 900 ? std::vector<QZ::VersionTranslation>{} : translations,
                                   {{u"CompanyName", u"Maker"}});
    for (QZ::VersionTranslation translation : translations) { // each table names its language
      data.values[QZ::MakeStringFileInfoKey(translation, u"ProductName")] = Hex(translation.language);
    }
    return failAt != 901;
  }
  uint16_t GetUserDefaultLangId() const override { return user; }
  uint16_t GetSystemDefaultLangId() const override { return system; }

  int failAt = 0;
  std::vector<QZ::VersionTranslation> translations{{0x0000, 0x04B0}};
  uint16_t user = 0x0409;
  uint16_t system = 0x0409;
  mutable std::u16string askedFileName;
};

TEST(VersionTest, EachFailedStepRaisesItsErrorCodeAndLine) {
  const std::pair<int, int> steps[] = {{903, 148}, {902, 143}, {901, 133}, {900, 128}};
  for (const auto& [code, line] : steps) {
    FakeSource source;
    source.failAt = code;
    try {
      QZ::Version version(source);
      ADD_FAILURE() << "no exception for " << code;
    } catch (const std::runtime_error& failure) {
      EXPECT_EQ(std::string(failure.what()),
                "Runtime Error : The application encountered problems during startup and will now close.  (Error code "
                "= " +
                    std::to_string(code) + ") : QZ::Version::Version : Application/Version : Line " +
                    std::to_string(line));
    }
  }
  FakeSource source;
  EXPECT_EQ(QZ::Version(source).GetCompanyName(), QZ::WString(u"Maker"));
  EXPECT_EQ(source.askedFileName, u"quorin-ztr-preset-editor");
}

TEST(VersionTest, TheTranslationOfTheUsersLanguageIsChosenElseTheSystemsElseEnglishElseTheFirst) {
  struct ChoiceCase {
    uint16_t user;
    uint16_t system;
    const char16_t* chosen; // the language of the table that answers (its ProductName)
  };
  const ChoiceCase cases[] = {
      {0x0407, 0x040C, u"0007"}, // German user: the German table (its primary language)
      {0x0C07, 0x040C, u"0007"}, // Austrian German: the same primary language
      {0x0411, 0x040C, u"040c"}, // no Japanese table: the system's French
      {0x0411, 0x0412, u"0809"}, // neither: English
  };
  for (const ChoiceCase& choice : cases) {
    FakeSource source;
    source.translations = {{0x0000, 0x04B0}, {0x040C, 0x04B0}, {0x0007, 0x04B0}, {0x0809, 0x04B0}};
    source.user = choice.user;
    source.system = choice.system;
    EXPECT_EQ(QZ::Version(source).GetProductName(), QZ::WString(choice.chosen)) << std::hex << choice.user;
  }
  FakeSource neutral;
  neutral.translations = {{0x0000, 0x04B0}, {0x0011, 0x04B0}};
  EXPECT_EQ(QZ::Version(neutral).GetProductName(), QZ::WString(u"0000")); // none matches: the first
}

TEST(VersionTest, TheErrorTextWithoutAnApplicationNamesTheCode) {
  EXPECT_EQ(QZ::FormatErrorText(12),
            QZ::WString(u"The application encountered problems during startup and will now close.  (Error code = 12)"));
}

} // namespace
} // namespace QZTest
