// The profile store: values kept across stores, the file's form, names and failures.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "Platform/Host/ProfileStore.h"
#include "Platform/Window/WindowTypes.h"
#include "Support/TempFolder.h"

namespace {

using QZ::Platform::Host::ProfileStore;

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

constexpr char16_t kSection[] = u"Vandrel_Quorin ZTR Preset Editor";

TEST(ProfileStoreTest, ValuesOutliveTheStoreAndNamesIgnoreCase) {
  QZTest::TempFolder folder;
  const std::string nested = folder.Path() + "/Vandrel/Quorin ZTR Preset Editor";
  QZ::Platform::Window::WINDOWPLACEMENT placement;
  placement.showCmd = 3;
  placement.rcNormalPosition = {10, 20, 810, 620};
  const auto* bytes = reinterpret_cast<const uint8_t*>(&placement);
  {
    ProfileStore store(nested);
    EXPECT_FALSE(store.GetProfileBinary(kSection, u"WP"));
    ASSERT_TRUE(store.WriteProfileBinary(kSection, u"WP", {bytes, sizeof(placement)}));
    ASSERT_TRUE(store.WriteProfileString(kSection, u"Last \u00E9", u"line one\nsaid \"hi\" \\ \t end"));
    ASSERT_TRUE(store.WriteProfileString(u"Other", u"Empty", u""));
    ASSERT_TRUE(store.WriteProfileBinary(u"other", u"NOTHING", {}));
  }
  ProfileStore reread(nested);
  const auto read = reread.GetProfileBinary(u"vandrel_quorin ztr preset editor", u"wp");
  ASSERT_TRUE(read);
  ASSERT_EQ(read->size(), 44u);
  QZ::Platform::Window::WINDOWPLACEMENT back;
  std::memcpy(&back, read->data(), sizeof(back));
  EXPECT_EQ(back.showCmd, 3u);
  EXPECT_EQ(back.rcNormalPosition.right, 810);
  EXPECT_EQ(reread.GetProfileString(kSection, u"LAST \u00E9", u"?"), u"line one\nsaid \"hi\" \\ \t end");
  EXPECT_EQ(reread.GetProfileString(u"Other", u"Empty", u"?"), u"");
  EXPECT_EQ(reread.GetProfileBinary(u"Other", u"Nothing"), std::vector<uint8_t>{});
  EXPECT_EQ(reread.GetProfileString(kSection, u"WP", u"fallback"), u"fallback") << "binary, not text";
  EXPECT_FALSE(reread.GetProfileBinary(kSection, u"Last \u00E9")) << "text, not binary";
  EXPECT_TRUE(ReadFile(nested + "/Profile.ini")
                  .starts_with("[Vandrel_Quorin ZTR Preset Editor]\nWP=hex:2c,00,00,00,00,00,00,00,03,00,00,00,"));
}

TEST(ProfileStoreTest, RewritingKeepsOneEntryAndItsFirstSpelling) {
  QZTest::TempFolder folder;
  ProfileStore store(folder.Path());
  ASSERT_TRUE(store.WriteProfileString(u"S", u"Name", u"one"));
  ASSERT_TRUE(store.WriteProfileString(u"s", u"NAME", u"two"));
  EXPECT_EQ(ReadFile(store.GetPath()), "[S]\nName=\"two\"\n");
  EXPECT_FALSE(store.WriteProfileString(u"S", u"a=b", u"x"));
  EXPECT_FALSE(store.WriteProfileString(u"a]b", u"Name", u"x"));
  EXPECT_FALSE(store.WriteProfileString(u"S", u"", u"x"));
  EXPECT_FALSE(store.WriteProfileString(u"S", u"line\nend", u"x"));
  EXPECT_EQ(ReadFile(store.GetPath()), "[S]\nName=\"two\"\n");
}

TEST(ProfileStoreTest, LinesItDoesNotUnderstandAreSkipped) {
  QZTest::TempFolder folder;
  {
    std::ofstream file(folder.Path() + "/Profile.ini");
    file << "orphan=\"before any section\"\r\n[A]\r\nGood=hex:01,ff\r\nBad=hex:1\r\nWords=unquoted\r\n"
            "Text=\"ok\"\r\n\r\n; a note\r\n";
  }
  ProfileStore store(folder.Path());
  EXPECT_EQ(store.GetProfileBinary(u"A", u"Good"), (std::vector<uint8_t>{0x01, 0xFF}));
  EXPECT_FALSE(store.GetProfileBinary(u"A", u"Bad"));
  EXPECT_EQ(store.GetProfileString(u"A", u"Words", u"-"), u"-");
  EXPECT_EQ(store.GetProfileString(u"A", u"Text", u"-"), u"ok");
  EXPECT_EQ(store.GetProfileString(u"", u"orphan", u"-"), u"-");
}

TEST(ProfileStoreTest, AFileThatCannotBeWrittenKeepsNothing) {
  QZTest::TempFolder folder;
  std::ofstream(folder.Path() + "/file") << "not a folder";
  ProfileStore store(folder.Path() + "/file/below");
  EXPECT_FALSE(store.WriteProfileString(u"S", u"Name", u"x"));
  EXPECT_EQ(store.GetProfileString(u"S", u"Name", u"-"), u"-");
}

} // namespace
