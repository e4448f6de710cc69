// The user guide's place and address: found below a build folder or an install prefix and
// handed on as a percent-encoded local address, web addresses passed as they are, nothing
// for a guide that is not there to be read; and the guide the build ships, found from the
// test programs' own folder, needs nothing from outside itself.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include "QZFramework/Application/ApplicationFolders.h"
#include "Support/FilePermissionsEnforced.h"
#include "Support/TempFolder.h"
#include "UI/UserGuide.h"

namespace {

using QZ::WString;

const WString kGuide(u"UserGuide.html");

// Writes a guide into the documentation folder of index (0 a build folder, 1 an install
// prefix) of programFolder; its path.
std::string PutGuide(const std::string& programFolder, size_t index, const std::string& text) {
  const std::string folder = QZ::DocumentationFolders(programFolder).at(index);
  std::filesystem::create_directories(folder);
  std::ofstream(folder + "/UserGuide.html") << text;
  return folder + "/UserGuide.html";
}

std::string Address(const WString& entry, const std::string& programFolder) {
  return QZ::UserGuideAddress(entry, WString(programFolder.c_str())).ToUTF8().GetBuffer();
}

TEST(UserGuideTest, TheGuideOfAnInstallPrefixOrABuildFolderOpensAsItsPercentEncodedLocalAddress) {
  QZTest::TempFolder folder;
  // Spaces, URL delimiters, a percent sign and UTF-8 in the folder names.
  const std::string prefix = folder / "Gäste Ordner #1 50%?";
  const std::string program = prefix + "/bin";
  const std::string encodedPrefix = "file://" + folder.Path() + "/G%C3%A4ste%20Ordner%20%231%2050%25%3F";
  EXPECT_EQ(Address(kGuide, program), "") << "no guide yet";

  PutGuide(program, 1, "<title>installed</title>");
  EXPECT_EQ(Address(kGuide, program), encodedPrefix + "/share/doc/quorin-ztr-preset-editor/UserGuide.html");

  // A build folder holds its programs at the top: its own guide comes first.
  PutGuide(program, 0, "<title>built</title>");
  EXPECT_EQ(Address(kGuide, program), encodedPrefix + "/bin/share/doc/quorin-ztr-preset-editor/UserGuide.html");
}

TEST(UserGuideTest, WebAddressesPassAsTheyAreAndWithoutAReadableFileThereIsNoAddress) {
  QZTest::TempFolder folder;
  const std::string program = folder / "bin";
  EXPECT_EQ(Address(WString(u"https://www.vandrel.example/guide?a=1#b"), ""),
            "https://www.vandrel.example/guide?a=1#b");
  EXPECT_EQ(Address(WString(u"http://www.vandrel.example/guide"), program), "http://www.vandrel.example/guide");

  EXPECT_EQ(Address(WString(), program), "") << "the string table lacks the entry";
  EXPECT_EQ(Address(kGuide, ""), "") << "no program folder";
  std::filesystem::create_directories(QZ::DocumentationFolders(program)[1] + "/UserGuide.html");
  EXPECT_EQ(Address(kGuide, program), "") << "a folder of that name";

  const std::string guide = PutGuide(program, 0, "<title>locked</title>");
  ASSERT_EQ(::chmod(guide.c_str(), 0), 0);
  {
    QZTest::FilePermissionsEnforced ordinaryUser;
    EXPECT_EQ(Address(kGuide, program), "") << "a guide the user may not read";
  }
  ASSERT_EQ(::chmod(guide.c_str(), 0644), 0);
  EXPECT_EQ(Address(kGuide, program), "file://" + guide);
}

TEST(UserGuideTest, TheShippedGuideIsFoundFromTheBuildsProgramsAndNeedsNothingFromOutside) {
  // The test programs live in <build folder>/tests, as an installed editor lives in <prefix>/bin.
  const std::string address = Address(kGuide, QZ::GetProgramFolder());
  ASSERT_TRUE(address.starts_with("file:///")) << "the build did not put the guide where its programs look";
  std::ifstream in(address.substr(7));
  const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(html.empty());

  // No picture, style sheet, script or font to fetch: it reads the same offline.
  for (const char* fetches : {"src=", "<link", "<script", "@import", "url(", "<iframe", "<object"}) {
    EXPECT_EQ(html.find(fetches), std::string::npos) << fetches;
  }
  std::set<std::string> ids;
  const std::regex id(R"re(id="([^"]+)")re");
  for (std::sregex_iterator at(html.begin(), html.end(), id), end; at != end; ++at) {
    EXPECT_TRUE(ids.insert((*at)[1]).second) << "id \"" << (*at)[1] << "\" twice";
  }
  // Its links lead to its own sections.
  const std::regex link(R"re(href="([^"]*)")re");
  for (std::sregex_iterator at(html.begin(), html.end(), link), end; at != end; ++at) {
    const std::string target = (*at)[1];
    ASSERT_TRUE(target.starts_with("#")) << target;
    EXPECT_TRUE(ids.count(target.substr(1))) << "no section " << target;
  }
}

} // namespace
