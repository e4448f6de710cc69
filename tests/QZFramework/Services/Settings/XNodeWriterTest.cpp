#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "QZFramework/Services/Settings/XNode.h"
#include "QZFramework/Services/Settings/XNodeWriterFileSystem.h"
#include "SettingsTestSupport.h"
#include "Support/CommaDecimalLocale.h"

namespace {

using SettingsTest::ReadFile;
using SettingsTest::StringOutput;
using SettingsTest::TempFolder;
using SettingsTest::WriteFile;
using SettingsTest::Written;

const std::string kProlog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
                            "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                            "<plist version=\"1.0\">\n";

const std::string kSettingsDocument = kProlog + "<dict>\n"
                                                "\t<key>Application</key><string>Quorin Preset Editor</string>\n"
                                                "\t<key>1_0_0</key><dict>\n"
                                                "\t\t<key>CurrentSkinIndex</key><integer>0</integer>\n"
                                                "\t</dict>\n"
                                                "</dict>\n"
                                                "</plist>\n";

std::unique_ptr<XNode> SettingsTree() {
  auto root = std::make_unique<XNode>(XNode::kTypeDict);
  root->FindPath("Application", XNode::kPathCreate)->SetString("Quorin Preset Editor");
  root->FindPath("1_0_0.CurrentSkinIndex", XNode::kPathCreate)->SetInteger(0);
  return root;
}

TEST(XNodeWriterTest, SettingsDocumentByteForByte) {
  const auto root = SettingsTree();
  EXPECT_EQ(Written(*root, XNode::kWriteDocument), kSettingsDocument);

  TempFolder folder;
  ASSERT_EQ(root->SaveToFile((folder / "AppSettings.ini").c_str(), 0), 0);
  EXPECT_EQ(ReadFile(folder / "AppSettings.ini"), kSettingsDocument); // LF line ends, prolog always on
}

TEST(XNodeWriterTest, ElementForms) {
  XNode root(XNode::kTypeDict);
  XNode* text = root.FindPath("s", XNode::kPathCreate);
  text->SetString("a<b");
  text->SetFlag(XNode::kFlagVisible, true);
  XNode* yes = root.FindPath("t", XNode::kPathCreate);
  yes->SetBool(true);
  yes->SetFlag(XNode::kFlagLocked, true);
  root.FindPath("f", XNode::kPathCreate)->SetBool(false);
  root.FindPath("i", XNode::kPathCreate)->SetInteger(-5);
  XNode* real = root.FindPath("r", XNode::kPathCreate);
  real->SetType(XNode::kTypeReal);
  real->SetFromText("1.5");
  XNode* data = root.FindPath("d", XNode::kPathCreate);
  data->SetType(XNode::kTypeData);
  data->SetFromText("x&y");
  root.FindPath("e", XNode::kPathCreate)->SetType(XNode::kTypeDict);
  XNode* list = root.FindPath("l", XNode::kPathCreate);
  list->SetType(XNode::kTypeArray);
  (new XNode(list, XNode::kTypeString))->SetString("x");
  (new XNode(list, XNode::kTypeInteger))->SetInteger(1);
  new XNode(list, XNode::kTypeArray);
  root.FindPath("n", XNode::kPathCreate); // a key without a value: indentation only

  EXPECT_EQ(Written(root, 0), "<dict>\n"
                              "\t<key>s</key><string visible=\"true\">a&lt;b</string>\n"
                              "\t<key>t</key><true locked=\"true\"/>\n"
                              "\t<key>f</key><false/>\n"
                              "\t<key>i</key><integer>-5</integer>\n"
                              "\t<key>r</key><real>1.500000</real>\n"
                              "\t<key>d</key><data>x&amp;y</data>\n"
                              "\t<key>e</key><dict/>\n"
                              "\t<key>l</key><array>\n"
                              "\t\t<string>x</string>\n"
                              "\t\t<integer>1</integer>\n"
                              "\t\t<array/>\n"
                              "\t</array>\n"
                              "\t</dict>\n");
}

TEST(XNodeWriterTest, KeysAndTextAreEscaped) {
  XNode root(XNode::kTypeDict);
  root.FindPath("a&b<c>\"d'", XNode::kPathCreate)->SetString("]]> & 'x'");
  EXPECT_EQ(Written(root, 0),
            "<dict>\n\t<key>a&amp;b&lt;c&gt;&quot;d&apos;</key><string>]]&gt; &amp; &apos;x&apos;</string>\n</dict>\n");
}

TEST(XNodeWriterTest, StateAttributesAndVolatileNodes) {
  XNode root(XNode::kTypeDict);
  root.FindPath("Scratch", XNode::kPathCreateVolatile)->SetInteger(1);
  EXPECT_EQ(Written(root, 0), "<dict/>\n");
  EXPECT_EQ(Written(root, XNode::kWriteVolatile), "<dict>\n\t<key>Scratch</key><integer>1</integer>\n</dict>\n");

  // Volatile nodes are never dirty: not when created so, nor when made so later.
  XNode* kept = root.FindPath("Kept", XNode::kPathCreate);
  kept->SetInteger(3);
  kept->SetFlag(XNode::kFlagVisible, true);
  kept->SetFlag(XNode::kFlagLocked, true);
  kept->SetFlag(XNode::kFlagVolatile, true);
  root.FindPath("List[1].Name", XNode::kPathCreateVolatile)->SetString("x");
  EXPECT_EQ(Written(root, XNode::kWriteStateAttributes | XNode::kWriteVolatile),
            "<dict dirty=\"true\">\n"
            "\t<key>Scratch</key><integer volatile=\"true\">1</integer>\n"
            "\t<key>Kept</key><integer visible=\"true\" locked=\"true\" volatile=\"true\">3</integer>\n"
            "\t<key>List</key><array dirty=\"true\">\n"
            "\t\t<dict volatile=\"true\"/>\n"
            "\t\t<dict volatile=\"true\">\n"
            "\t\t\t<key>Name</key><string volatile=\"true\">x</string>\n"
            "\t\t</dict>\n"
            "\t</array>\n"
            "</dict>\n");
}

TEST(XNodeWriterTest, ARootKeyIsWrittenOnlyWithoutTheProlog) {
  XNode node(XNode::kTypeInteger);
  node.SetKey("k");
  node.SetInteger(3);
  EXPECT_EQ(Written(node, 0), "<key>k</key><integer>3</integer>\n");
  EXPECT_EQ(Written(node, XNode::kWriteDocument), kProlog + "<integer>3</integer>\n</plist>\n");
}

TEST(XNodeWriterTest, NumbersIgnoreTheLocale) {
  QZTest::CommaDecimalLocale locale;
  if (!locale.Active()) {
    GTEST_SKIP() << "no locale with a decimal comma is installed or can be compiled";
  }
  char check[16];
  std::snprintf(check, sizeof check, "%f", 1.5);
  ASSERT_STREQ(check, "1,500000"); // the locale is in effect for the C library

  XNode root(XNode::kTypeDict);
  XNode* real = root.FindPath("Gain", XNode::kPathCreate);
  real->SetType(XNode::kTypeReal);
  real->SetFromText("1.5");
  EXPECT_EQ(real->GetReal(), 1.5f);
  root.FindPath("Count", XNode::kPathCreate)->SetInteger(-1234567);
  EXPECT_EQ(Written(root, XNode::kWriteDocument),
            kProlog + "<dict>\n\t<key>Gain</key><real>1.500000</real>\n"
                      "\t<key>Count</key><integer>-1234567</integer>\n</dict>\n</plist>\n");
}

TEST(XNodeWriterTest, LongKeysAndValuesAreWrittenWhole) {
  const std::string key(17000, 'k');
  const std::string value(40000, 'v');
  XNode root(XNode::kTypeDict);
  root.FindPath(key, XNode::kPathCreate)->SetString(value);
  EXPECT_EQ(Written(root, 0), "<dict>\n\t<key>" + key + "</key><string>" + value + "</string>\n</dict>\n");
}

TEST(XNodeWriterTest, TreesDeeperThanTheLimitAreRefused) {
  XNode root(XNode::kTypeArray);
  XNode* deepest = &root;
  for (int depth = 1; depth < XNode::kMaxDepth; ++depth) {
    deepest = new XNode(deepest, XNode::kTypeArray);
  }
  StringOutput fits;
  EXPECT_EQ(root.Write(fits, XNode::kWriteDocument), 0);

  new XNode(deepest, XNode::kTypeString);
  StringOutput tooDeep;
  EXPECT_EQ(root.Write(tooDeep, XNode::kWriteDocument), XNode::kErrorTooDeep);
}

TEST(XNodeWriterTest, TextXmlCannotCarryIsRefused) {
  const std::pair<const char*, bool> texts[] = {
      {"tab\tLF\nCR\r", true},
      {"\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", true},
      {"\x7F", true},
      {"\x01", false},
      {"\xC0\xAF", false},
      {"\xED\xA0\x80", false},
      {"\xEF\xBF\xBE", false},
      {"\xE2\x82", false},
      {"\xF4\x90\x80\x80", false},
  };
  for (const auto& [text, carried] : texts) {
    EXPECT_EQ(XNode::IsXmlText(text), carried) << text;
  }

  XNode root(XNode::kTypeDict);
  XNode* value = root.FindPath("Name", XNode::kPathCreate);
  value->SetString("bell\x07");
  StringOutput output;
  EXPECT_EQ(root.Write(output, 0), XNode::kErrorNotXmlText);
  value->SetString("fine");
  value->SetKey("\x1B");
  EXPECT_EQ(root.Write(output, 0), XNode::kErrorNotXmlText);
  value->SetKey("Name");
  for (const char* name : {"", "a b", "x>", "1st", "d&t"}) {
    value->SetElement(name);
    EXPECT_EQ(root.Write(output, 0), XNode::kErrorNotXmlText) << name;
  }
  value->SetElement("date");
  EXPECT_EQ(Written(root, 0), "<dict>\n\t<key>Name</key><date></date>\n</dict>\n");
}

TEST(XNodeWriterTest, TheSinkErrorStopsTheWriter) {
  StringOutput output;
  output.FailAfter(10);
  EXPECT_EQ(SettingsTree()->Write(output, XNode::kWriteDocument), 28);
  EXPECT_EQ(output.Text(), "");
}

TEST(XNodeWriterTest, SaveReplacesTheFileWholeAndKeepsItsMode) {
  TempFolder folder;
  const std::string path = folder / "UserSettings.ini";
  WriteFile(path, std::string(100000, 'x')); // longer than the new document
  ASSERT_EQ(chmod(path.c_str(), 0600), 0);

  ASSERT_EQ(SettingsTree()->SaveToFile(path.c_str(), 0), 0);
  EXPECT_EQ(ReadFile(path), kSettingsDocument);
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST(XNodeWriterTest, SaveThroughASymbolicLinkUpdatesItsTarget) {
  TempFolder folder;
  const std::string target = folder / "real.ini";
  const std::string link = folder / "UserSettings.ini";
  WriteFile(target, "old");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);

  ASSERT_EQ(SettingsTree()->SaveToFile(link.c_str(), 0), 0);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(target), kSettingsDocument);
}

TEST(XNodeWriterTest, AFailedSaveLeavesTheOldFile) {
  TempFolder folder;
  const std::string path = folder / "UserSettings.ini";
  WriteFile(path, kSettingsDocument);
  XNode root(XNode::kTypeDict);
  root.FindPath("Big", XNode::kPathCreate)->SetString(std::string(200000, 'b'));
  {
    SettingsTest::FileSizeLimit full(4096);
    EXPECT_EQ(root.SaveToFile(path.c_str(), 0), EFBIG);
  }
  EXPECT_EQ(ReadFile(path), kSettingsDocument);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

  EXPECT_EQ(root.SaveToFile((folder / "missing/UserSettings.ini").c_str(), 0), ENOENT);
}

// Puts itself in place of the save's file-system calls and notes each call (a run of
// writes as one), passing it on to the system's; one call may be made to fail with EIO,
// and writes may be cut short or interrupted.
class Journal final : public XNodeWriterFileSystem {
public:
  Journal() : mPrevious(Install(this)) {}
  ~Journal() override { Install(mPrevious); }

  int Open(const char* path, int flags, mode_t mode) override {
    const int fd = Fails("open") ? -1 : XNodeWriterFileSystem::Open(path, flags, mode);
    mNames[fd] = std::filesystem::path(path).filename().string();
    Note("open " + mNames[fd]);
    return fd;
  }
  ssize_t Write(int fd, const void* bytes, size_t length) override {
    if (calls.empty() || calls.back() != "write " + mNames[fd]) {
      Note("write " + mNames[fd]);
    }
    if (interruptions > 0) {
      --interruptions;
      errno = EINTR;
      return -1;
    }
    return Fails("write") ? -1 : XNodeWriterFileSystem::Write(fd, bytes, std::min(length, mostPerWrite));
  }
  int Sync(int fd) override {
    Note("sync " + mNames[fd]);
    return Fails("sync") ? -1 : XNodeWriterFileSystem::Sync(fd);
  }
  int Close(int fd) override {
    Note("close " + mNames[fd]);
    return XNodeWriterFileSystem::Close(fd);
  }
  int Rename(const char* from, const char* to) override {
    Note("rename " + std::filesystem::path(from).filename().string() + " " +
         std::filesystem::path(to).filename().string());
    return Fails("rename") ? -1 : XNodeWriterFileSystem::Rename(from, to);
  }

  std::vector<std::string> calls;
  std::string failing;
  size_t mostPerWrite = SIZE_MAX;
  int interruptions = 0;

private:
  void Note(std::string call) { calls.push_back(std::move(call)); }
  bool Fails(const std::string& call) {
    errno = EIO;
    return call == failing;
  }

  XNodeWriterFileSystem* const mPrevious;
  std::map<int, std::string> mNames;
};

TEST(XNodeWriterTest, TheTemporaryFileIsWrittenSyncedAndClosedBeforeTheRenameAndTheFolderIsSyncedAfter) {
  TempFolder folder;
  const std::string path = folder / "UserSettings.ini";
  WriteFile(path, "old");
  Journal journal;
  ASSERT_EQ(SettingsTree()->SaveToFile(path.c_str(), 0), 0);
  const std::string folderName = std::filesystem::path(path).parent_path().filename().string();
  EXPECT_EQ(journal.calls, (std::vector<std::string>{
                               "open UserSettings.ini.tmp", "write UserSettings.ini.tmp", "sync UserSettings.ini.tmp",
                               "close UserSettings.ini.tmp", "rename UserSettings.ini.tmp UserSettings.ini",
                               "open " + folderName, "sync " + folderName, "close " + folderName}));
  EXPECT_EQ(ReadFile(path), kSettingsDocument);
}

TEST(XNodeWriterTest, ShortAndInterruptedWritesStillWriteTheWholeDocument) {
  TempFolder folder;
  const std::string path = folder / "UserSettings.ini";
  Journal journal;
  journal.mostPerWrite = 7;
  journal.interruptions = 2;
  ASSERT_EQ(SettingsTree()->SaveToFile(path.c_str(), 0), 0);
  EXPECT_EQ(ReadFile(path), kSettingsDocument);
}

TEST(XNodeWriterTest, AFailedWriteSyncOrRenameLeavesTheOldFileAndNoTemporaryOne) {
  TempFolder folder;
  const std::string path = folder / "UserSettings.ini";
  // The call that fails, and the last call made: the descriptor is closed, nothing follows.
  const std::vector<std::pair<std::string, std::string>> failures{
      {"open", "open UserSettings.ini.tmp"},
      {"write", "close UserSettings.ini.tmp"},
      {"sync", "close UserSettings.ini.tmp"},
      {"rename", "rename UserSettings.ini.tmp UserSettings.ini"}};
  for (const auto& [failing, last] : failures) {
    WriteFile(path, "old");
    Journal journal;
    journal.failing = failing;
    EXPECT_EQ(SettingsTree()->SaveToFile(path.c_str(), 0), EIO) << failing;
    EXPECT_EQ(ReadFile(path), "old") << failing;
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp")) << failing;
    EXPECT_EQ(journal.calls.back(), last) << failing;
  }
}

} // namespace
