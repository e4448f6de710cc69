#include "Platform/Resources/Resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace QZTest {
std::span<const QZ::Platform::Resources::Resource> ResourceFixtures();
} // namespace QZTest

namespace Resources = QZ::Platform::Resources;

namespace {

std::string ReadFixture(const std::string& name) {
  std::ifstream in(std::string(QZ_RESOURCES_TEST_DATA) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string AsText(std::span<const uint8_t> bytes) { return {bytes.begin(), bytes.end()}; }

TEST(ResourcesTest, TheBuildStepNamesEveryFileByItsTypeAndName) {
  struct Expected {
    std::string_view type;
    std::u16string_view name;
    const char* file;
  };
  const Expected expected[] = {
      {"GDIPLUS", u"TINY_DOT_PNG", "Images/tiny dot.png"},
      {"QZXML", u"APP_SKINS", "Documents/Skins.xml"},
      {"QZXML", u"APP_STRINGS", "Documents/StringTables.xml"},
      {"QZXML", u"FRAMEWORK_STRINGS", "Documents/FrameworkStrings.xml"},
      {"QZXML", u"EXTRA_SKIN_XML", "Documents/Extra Skin.xml"},
      {"QZXML", u"EMPTY_XML", "Documents/Empty.xml"},
  };
  const Resources::Module fixtures(QZTest::ResourceFixtures());
  for (const Expected& entry : expected) {
    SCOPED_TRACE(entry.file);
    const auto bytes = fixtures.Find(entry.name, entry.type);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(AsText(*bytes), ReadFixture(entry.file));
  }
  EXPECT_TRUE(fixtures.Find(u"EMPTY_XML", Resources::kDocumentType)->empty());
  // Documents with fixed names get no other.
  EXPECT_FALSE(fixtures.Find(u"SKINS_XML", Resources::kDocumentType));

  ASSERT_EQ(fixtures.GetResources().size(), std::size(expected));
  for (size_t i = 1; i < fixtures.GetResources().size(); ++i) {
    const Resources::Resource& previous = fixtures.GetResources()[i - 1];
    const Resources::Resource& current = fixtures.GetResources()[i];
    EXPECT_LT(std::tie(previous.type, previous.name), std::tie(current.type, current.name));
  }
}

TEST(ResourcesTest, FindMatchesTheTypeAndTheExactName) {
  static const uint8_t image[] = {1};
  static const uint8_t document[] = {2, 3};
  const Resources::Resource table[] = {{"GDIPLUS", "SHARED", image}, {"QZXML", "SHARED", document}};
  const Resources::Module module(table);

  EXPECT_EQ(module.Find(u"SHARED", "QZXML")->size(), 2u);
  EXPECT_EQ(module.Find(u"SHARED", "GDIPLUS")->size(), 1u);
  EXPECT_FALSE(module.Find(u"SHARED", "OTHER"));
  EXPECT_FALSE(module.Find(u"shared", "QZXML"));
  EXPECT_FALSE(module.Find(u"SHARE", "QZXML"));
  EXPECT_FALSE(module.Find(u"SHARED_", "QZXML"));
  EXPECT_FALSE(module.Find(u"", "QZXML"));
  EXPECT_FALSE(module.Find(u"\u0153HARED", "QZXML")); // no truncation to 8 bits
  EXPECT_FALSE(Resources::Module({}).Find(u"SHARED", "QZXML"));
}

TEST(ResourcesTest, TheProgramHoldsItsImagesUnderUniqueUpperCaseNames) {
  const Resources::Module program = Resources::Module::Program();
  EXPECT_TRUE(program.Find(u"COMBOBOX_NORMAL_PNG", Resources::kImageType));
  EXPECT_FALSE(program.Find(u"COMBOBOX_NORMAL_PNG", Resources::kDocumentType));
  std::vector<std::tuple<std::string_view, std::string_view>> seen;
  for (const Resources::Resource& resource : program.GetResources()) {
    EXPECT_EQ(resource.name.find_first_of("abcdefghijklmnopqrstuvwxyz. "), std::string_view::npos) << resource.name;
    EXPECT_TRUE(resource.type == Resources::kImageType || resource.type == Resources::kDocumentType);
    if (!seen.empty()) {
      EXPECT_LT(seen.back(), std::tie(resource.type, resource.name)) << resource.name;
    }
    seen.emplace_back(resource.type, resource.name);
  }
  EXPECT_GE(seen.size(), 3u);
}

// Kilobytes resident of the mapping that holds `address` (/proc/self/smaps), -1 when none.
long ResidentKilobytesAround(const void* address) {
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool inside = false;
  while (std::getline(smaps, line)) {
    unsigned long begin = 0;
    unsigned long end = 0;
    const bool header = line.substr(0, line.find(' ')).find(':') == std::string::npos;
    if (header && std::sscanf(line.c_str(), "%lx-%lx", &begin, &end) == 2) {
      inside = uintptr_t(address) >= begin && uintptr_t(address) < end;
    } else if (inside && line.rfind("Rss:", 0) == 0) {
      return std::stol(line.substr(4));
    }
  }
  return -1;
}

TEST(ResourcesTest, ReleasedPagesLeaveTheResidentSetAndReadBackUnchanged) {
  const auto skins = Resources::Module::Program().Find(u"APP_SKINS", Resources::kDocumentType);
  ASSERT_TRUE(skins);
  ASSERT_GT(skins->size(), 256u * 1024u) << "large enough to measure";
  const std::vector<uint8_t> before(skins->begin(), skins->end()); // every page read
  const long resident = ResidentKilobytesAround(skins->data());
  ASSERT_GT(resident, 0);

  Resources::ReleaseProgramPages(Resources::kDocumentType);
  EXPECT_LT(ResidentKilobytesAround(skins->data()), resident - long(skins->size() / 1024) / 2);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), skins->begin(), skins->end()));
  EXPECT_TRUE(Resources::Module::Program().Find(u"COMBOBOX_NORMAL_PNG", Resources::kImageType));
}

} // namespace
