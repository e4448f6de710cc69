#include "QZFramework/Renderer/FontRenderer/FontFileInfo.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "QZFramework/Renderer/FontRenderer/FontNameTable.h"
#include "Support/FontconfigInit.h"
#include "Support/TempFolder.h"
#include "tests/QZFramework/Renderer/FontRenderer/SyntheticFonts.h"

namespace {

using QZ::LFont;
using QZ::LFontFileInfo;
using QZ::WString;
using QZTest::Bytes;

std::vector<QZ::FontFaceName> NamesOf(const Bytes& bytes) {
  QZ::FontMemoryBytes memory(bytes);
  return QZ::ReadFontFaceNames(memory);
}

class FontFileInfoTest : public ::testing::Test {
protected:
  void TearDown() override {
    LFontFileInfo::Clear();
    LFontFileInfo::SetDefaultFaceNameSource({});
  }

  // The family record of a name; fails the test when there is none.
  const LFontFileInfo& Family(const char* name) {
    const auto& families = LFontFileInfo::GetFontFiles();
    for (uint32_t i = 0; i < families.GetCount(); ++i) {
      if (families.GetAt(i)->GetFamilyName() == WString(name)) {
        return *families.GetAt(i);
      }
    }
    throw std::runtime_error(std::string("no family ") + name);
  }

  QZTest::TempFolder mFolder;
};

TEST_F(FontFileInfoTest, ScanRegistersFontsAndCollectionFacesBelowTheFolder) {
  std::filesystem::create_directories(mFolder / "sub/deeper");
  QZTest::WriteFile(mFolder / "sub/deeper/Single.TTF", QZTest::NameOnlyFont(QZTest::NameTable("Alpha", "Bold")));
  QZTest::WriteFile(mFolder / "Pair.ttc",
                    QZTest::Collection({QZTest::NameOnlyFont(QZTest::NameTable("Beta", "Regular")),
                                        QZTest::NameOnlyFont(QZTest::NameTable("Gamma", "Bold Italic", false))}));
  QZTest::WriteFile(mFolder / "notes.txt", QZTest::NameOnlyFont(QZTest::NameTable("Ignored", "Bold")));

  LFontFileInfo::ScanFontFolders({mFolder.Path()});

  ASSERT_EQ(LFontFileInfo::GetFontFiles().GetCount(), 3u);
  EXPECT_EQ(Family("Alpha").GetFile(LFont::kBold).path, mFolder.Wide("sub/deeper/Single.TTF"));
  EXPECT_TRUE(Family("Alpha").GetFile(LFont::kRegular).path.IsEmpty());
  EXPECT_EQ(Family("Beta").GetFile(LFont::kRegular).path, mFolder.Wide("Pair.ttc"));
  EXPECT_EQ(Family("Beta").GetFile(LFont::kRegular).faceIndex, 0);
  EXPECT_EQ(Family("Gamma").GetFile(LFont::kBoldItalic).path, mFolder.Wide("Pair.ttc"));
  EXPECT_EQ(Family("Gamma").GetFile(LFont::kBoldItalic).faceIndex, 1);
}

TEST_F(FontFileInfoTest, DamagedFilesGiveNoFaceAndNoCrash) {
  const Bytes good = QZTest::NameOnlyFont(QZTest::NameTable("Alpha", "Bold"));
  Bytes truncated(good.begin(), good.begin() + 40);
  Bytes hugeTableCount = good;
  hugeTableCount[4] = hugeTableCount[5] = 0xFF;
  Bytes namePastEnd = good;
  QZTest::Set32(namePastEnd, 12 + 8, 0xFFFFFFF0);
  Bytes hugeNameLength = good;
  QZTest::Set32(hugeNameLength, 12 + 12, 0x7FFFFFFF);
  Bytes hugeRecordCount = good;
  hugeRecordCount[28 + 2] = hugeRecordCount[28 + 3] = 0xFF;
  Bytes stringPastTable = good;
  stringPastTable[28 + 6 + 11] = 0xF0; // first record's string offset
  Bytes hugeCollection = QZTest::Collection({good});
  QZTest::Set32(hugeCollection, 8, 0xFFFFFFFF);
  Bytes collectionOffsetPastEnd = QZTest::Collection({good, good});
  QZTest::Set32(collectionOffsetPastEnd, 16, 0x7FFFFFFF);

  for (const Bytes& damaged : {truncated, hugeTableCount, namePastEnd, hugeNameLength, hugeRecordCount, hugeCollection,
                               Bytes{}, Bytes{'t', 't', 'c', 'f'}}) {
    EXPECT_TRUE(NamesOf(damaged).empty());
  }
  // The family's string lies outside the table: only the style is read, so no face.
  EXPECT_TRUE(NamesOf(stringPastTable).empty());
  // The second face points past the end; the first still counts.
  ASSERT_EQ(NamesOf(collectionOffsetPastEnd).size(), 1u);
}

TEST_F(FontFileInfoTest, UnknownFamilyFallsBackToTheDefaultFaceOrThrows) {
  QZTest::WriteFile(mFolder / "a.ttf", QZTest::NameOnlyFont(QZTest::NameTable("Alpha", "Regular")));
  LFontFileInfo::ScanFontFolders({mFolder.Path()});

  LFontFileInfo::SetDefaultFaceNameSource([] { return WString(u"Alpha"); });
  EXPECT_EQ(LFontFileInfo::GetFileID(*LFont::GetFont(u"Nowhere Sans", 9.0f, LFont::kBold)), 0u * 4 + 1);

  LFontFileInfo::SetDefaultFaceNameSource([] { return WString(u"Missing Too"); });
  try {
    LFontFileInfo::GetFileID(*LFont::GetFont(u"Nowhere Serif", 9.0f, LFont::kRegular));
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(),
                 R"(Runtime Error : QZ::LFontFileInfo::GetFileID : Renderer\FontRenderer\FontFileInfo : Line 469)");
  }
}

TEST_F(FontFileInfoTest, ObliqueFacesAreItalicAndOtherStylesFillTheRegularSlotOnlyWhileItIsEmpty) {
  // Files in name order, as the scan meets them: the oblique ones after the upright one.
  const std::pair<const char*, const char*> files[] = {
      {"FreeSans.ttf", "Regular"},        {"FreeSansBold.ttf", "Bold"},     {"FreeSansBoldOblique.ttf", "Bold Oblique"},
      {"FreeSansOblique.ttf", "oblique"}, {"Gamma-Book.ttf", "Book"},       {"Gamma-Condensed.ttf", "Condensed"},
      {"Delta-Black.ttf", "Black"},       {"Delta-Regular.ttf", "Regular"},
  };
  for (const auto& [file, style] : files) {
    const std::string name = file;
    const std::string family = name.starts_with("Free") ? "FreeSans" : name.substr(0, name.find('-'));
    QZTest::WriteFile(mFolder / name, QZTest::NameOnlyFont(QZTest::NameTable(family, style)));
  }
  LFontFileInfo::ScanFontFolders({mFolder.Path()});

  struct Slot {
    const char* family;
    int32_t style;
    const char* file;
  };
  const Slot slots[] = {
      {"FreeSans", LFont::kRegular, "FreeSans.ttf"},       {"FreeSans", LFont::kBold, "FreeSansBold.ttf"},
      {"FreeSans", LFont::kItalic, "FreeSansOblique.ttf"}, {"FreeSans", LFont::kBoldItalic, "FreeSansBoldOblique.ttf"},
      {"Gamma", LFont::kRegular, "Gamma-Book.ttf"},    // a later unknown style does not replace it
      {"Delta", LFont::kRegular, "Delta-Regular.ttf"}, // a named regular face replaces an unknown one
  };
  for (const Slot& slot : slots) {
    EXPECT_EQ(std::string(Family(slot.family).GetFile(slot.style).path.ToUTF8().GetBuffer()), mFolder / slot.file)
        << slot.family << " style " << slot.style;
  }
  EXPECT_TRUE(Family("Gamma").GetFile(LFont::kItalic).path.IsEmpty());
}

TEST_F(FontFileInfoTest, MissingStylesFallBackInOrderAndAreRemembered) {
  // Each family has two styles; the wanted style and the file it must fall back to.
  struct Case {
    const char* family;
    const char* first;
    const char* second;
    int32_t wanted;
    const char* expected;
  };
  const Case cases[] = {
      {"RegularBold", "Regular", "Bold", LFont::kItalic, "Regular"},
      {"ItalicBoldItalic", "Italic", "Bold Italic", LFont::kRegular, "Italic"},
      {"BoldItalicOnly", "Bold Italic", "Bold Italic", LFont::kBold, "Bold Italic"},
      {"RegularItalic", "Regular", "Italic", LFont::kBoldItalic, "Italic"},
      {"RegularBoldB", "Regular", "Bold", LFont::kBoldItalic, "Bold"},
  };
  for (const Case& c : cases) {
    for (const char* style : {c.first, c.second}) {
      QZTest::WriteFile(mFolder / (std::string(c.family) + "-" + style + ".ttf"),
                        QZTest::NameOnlyFont(QZTest::NameTable(c.family, style)));
    }
  }
  LFontFileInfo::ScanFontFolders({mFolder.Path()});
  for (const Case& c : cases) {
    const uint32_t id = LFontFileInfo::GetFileID(*LFont::GetFont(WString(c.family), 10.0f, c.wanted));
    EXPECT_EQ(id % 4, uint32_t(c.wanted));
    EXPECT_EQ(LFontFileInfo::GetFilePath(id), mFolder.Wide(std::string(c.family) + "-" + c.expected + ".ttf"))
        << c.family;
    EXPECT_EQ(Family(c.family).GetFile(c.wanted).path, LFontFileInfo::GetFilePath(id));
  }
  EXPECT_TRUE(LFontFileInfo::GetFilePath(4000).IsEmpty());
}

} // namespace
