// The profile store: values kept across stores, the file's form, names, and what it
// does with whatever else it meets at its path and when a write fails.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <random>
#include <set>
#include <sstream>

#include "Platform/Host/ProfileFile.h"
#include "Platform/Host/ProfileStore.h"
#include "Platform/Window/WindowTypes.h"
#include "Support/TempFolder.h"
#include "Support/TestSeed.h"

namespace {

using QZ::Platform::Host::ProfileStore;

// Limits the size of files this process writes for the life of the object (writes
// beyond it fail with EFBIG): a disk that fills up during a save.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &mPrevious);
    mPreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = mPrevious;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &mPrevious);
    std::signal(SIGXFSZ, mPreviousHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
  rlimit mPrevious{};
  void (*mPreviousHandler)(int) = nullptr;
};

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

// What a store reported, line by line.
struct Reports {
  ProfileStore::Reporter Reporter() {
    return [this](const std::string& line) { lines.push_back(line); };
  }
  std::vector<std::string> lines;
};

TEST(ProfileStoreTest, AFileWithLinesItDoesNotUnderstandIsKeptAsideAndWhatItUnderstoodIsKept) {
  QZTest::TempFolder folder;
  const std::string original = "orphan=\"before any section\"\r\n[A]\r\nGood=hex:01,ff\r\nBad=hex:1\r\n"
                               "Words=unquoted\r\nText=\"ok\"\r\n\r\n; a note\r\n";
  folder.Write("Profile.ini", original);
  Reports reports;
  ProfileStore store(folder.Path(), reports.Reporter());
  EXPECT_EQ(store.GetProfileBinary(u"A", u"Good"), (std::vector<uint8_t>{0x01, 0xFF}));
  EXPECT_FALSE(store.GetProfileBinary(u"A", u"Bad"));
  EXPECT_EQ(store.GetProfileString(u"A", u"Words", u"-"), u"-");
  EXPECT_EQ(store.GetProfileString(u"A", u"Text", u"-"), u"ok");
  EXPECT_EQ(store.GetProfileString(u"", u"orphan", u"-"), u"-");
  EXPECT_EQ(folder.Read("Profile.ini.bak"), original);
  EXPECT_EQ(reports.lines,
            std::vector<std::string>{store.GetPath() + ": not a profile: kept as " + store.GetPath() + ".bak"});
  ASSERT_TRUE(store.WriteProfileString(u"A", u"New", u"x"));
  EXPECT_EQ(folder.Read("Profile.ini"), "[A]\nGood=hex:01,ff\nText=\"ok\"\nNew=\"x\"\n");
}

TEST(ProfileStoreTest, EveryUnreadableFileKeepsABackupOfItsOwn) {
  QZTest::TempFolder folder;
  QZTest::TestSeed seed;
  std::mt19937_64 random(seed.value);
  std::vector<std::string> originals;
  for (int run = 0; run < 2; ++run) {
    std::string bytes(4096, '\0');
    for (char& byte : bytes) {
      byte = char(random());
    }
    originals.push_back(bytes);
    folder.Write("Profile.ini", bytes);
    Reports reports;
    ProfileStore store(folder.Path(), reports.Reporter());
    EXPECT_EQ(reports.lines.size(), 1u);
    ASSERT_TRUE(store.WriteProfileString(u"S", u"Run", run == 0 ? u"first" : u"second"));
  }
  EXPECT_EQ(folder.Read("Profile.ini.bak"), originals[0]);
  EXPECT_EQ(folder.Read("Profile.ini.bak.1"), originals[1]);
  EXPECT_EQ(folder.Read("Profile.ini"), "[S]\nRun=\"second\"\n");
  // A file far longer than any profile is kept aside unread.
  folder.Write("Profile.ini", std::string(QZ::Platform::Host::kMaxProfileSize + 1, '\n'));
  Reports reports;
  ProfileStore store(folder.Path(), reports.Reporter());
  EXPECT_TRUE(folder.Exists("Profile.ini.bak.2"));
  EXPECT_FALSE(folder.Exists("Profile.ini"));
  ASSERT_EQ(reports.lines.size(), 1u);
  EXPECT_NE(reports.lines[0].find("longer than"), std::string::npos) << reports.lines[0];
}

TEST(ProfileStoreTest, AFifoOrAFolderAtThePathIsNeitherWaitedOnNorReplaced) {
  QZTest::TempFolder folder;
  const std::string fifo = folder / "fifo";
  std::filesystem::create_directories(fifo);
  ASSERT_EQ(::mkfifo((fifo + "/Profile.ini").c_str(), 0600), 0);
  const std::string directory = folder / "directory";
  std::filesystem::create_directories(directory + "/Profile.ini");
  for (const std::string& place : {fifo, directory}) {
    SCOPED_TRACE(place);
    Reports reports;
    // A store that waited on the FIFO would wait for ever: the test gives it a writer then.
    auto made =
        std::async(std::launch::async, [&] { return std::make_unique<ProfileStore>(place, reports.Reporter()); });
    if (made.wait_for(std::chrono::seconds(2)) != std::future_status::ready) {
      ADD_FAILURE() << "the store waits on what is at its path";
      ::close(::open((place + "/Profile.ini").c_str(), O_WRONLY | O_NONBLOCK));
    }
    const std::unique_ptr<ProfileStore> store = made.get();
    EXPECT_FALSE(store->WriteProfileString(u"S", u"Name", u"x"));
    EXPECT_EQ(store->GetProfileString(u"S", u"Name", u"-"), u"-");
    ASSERT_EQ(reports.lines.size(), 2u);
    EXPECT_EQ(reports.lines[0], store->GetPath() + ": not a regular file: window placements are not kept");
    EXPECT_EQ(reports.lines[1], store->GetPath() + ": not saved: not a regular file");
    EXPECT_FALSE(std::filesystem::is_regular_file(store->GetPath()));
    EXPECT_FALSE(std::filesystem::exists(store->GetPath() + ".tmp"));
  }
  EXPECT_TRUE(std::filesystem::is_fifo(fifo + "/Profile.ini"));
  EXPECT_TRUE(std::filesystem::is_directory(directory + "/Profile.ini"));
}

TEST(ProfileStoreTest, AReadOnlyFileOrAFullDiskLeavesTheFileAsItWasAndSaysSo) {
  QZTest::TempFolder folder;
  const std::string original = "[S]\nName=\"old\"\n";
  const std::string path = folder.Write("Profile.ini", original);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  {
    Reports reports;
    ProfileStore store(folder.Path(), reports.Reporter());
    EXPECT_FALSE(store.WriteProfileString(u"S", u"Name", u"new"));
    EXPECT_EQ(store.GetProfileString(u"S", u"Name", u"-"), u"old");
    EXPECT_EQ(reports.lines, std::vector<std::string>{path + ": not saved: the file is read-only"});
    EXPECT_EQ(folder.Read("Profile.ini"), original);
  }
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  // A write beyond the file-size limit fails as a full disk does.
  Reports reports;
  ProfileStore store(folder.Path(), reports.Reporter());
  {
    FileSizeLimit limit(1024);
    EXPECT_FALSE(store.WriteProfileString(u"S", u"Name", std::u16string(4096, u'x')));
  }
  EXPECT_EQ(reports.lines, std::vector<std::string>{path + ": not saved: File too large"});
  EXPECT_EQ(folder.Read("Profile.ini"), original);
  EXPECT_FALSE(folder.Exists("Profile.ini.tmp"));
  EXPECT_EQ(store.GetProfileString(u"S", u"Name", u"-"), u"old");
}

TEST(ProfileStoreTest, AFileThatCannotBeWrittenKeepsNothing) {
  QZTest::TempFolder folder;
  std::ofstream(folder.Path() + "/file") << "not a folder";
  ProfileStore store(folder.Path() + "/file/below");
  EXPECT_FALSE(store.WriteProfileString(u"S", u"Name", u"x"));
  EXPECT_EQ(store.GetProfileString(u"S", u"Name", u"-"), u"-");
}

// The bytes of a window placement, as the window stores them under "WP".
std::vector<uint8_t> Placement(int32_t left) {
  QZ::Platform::Window::WINDOWPLACEMENT placement;
  placement.showCmd = 1;
  placement.rcNormalPosition = {left, 20, left + 800, 620};
  const auto* bytes = reinterpret_cast<const uint8_t*>(&placement);
  return {bytes, bytes + sizeof(placement)};
}

// Profile.ini -> current/Profile.ini -> ../store/placements.ini: each target relative to
// the folder of its own link, not to the working folder.
TEST(ProfileStoreTest, AProfileReachedByRelativeLinksIsWrittenWhereTheyLeadAndTheyStayLinks) {
  QZTest::TempFolder folder;
  const std::string settings = folder / "settings";
  std::filesystem::create_directories(settings + "/current");
  std::filesystem::create_directories(settings + "/store");
  std::ofstream(settings + "/store/placements.ini") << "[S]\nOld=\"kept\"\n";
  std::filesystem::create_symlink("current/Profile.ini", settings + "/Profile.ini");
  std::filesystem::create_symlink("../store/placements.ini", settings + "/current/Profile.ini");
  for (const int32_t left : {10, 30}) {
    Reports reports;
    {
      ProfileStore store(settings, reports.Reporter());
      EXPECT_EQ(store.GetProfileString(u"S", u"Old", u"-"), u"kept");
      ASSERT_TRUE(store.WriteProfileBinary(kSection, u"WP", Placement(left)));
    }
    EXPECT_EQ(std::filesystem::read_symlink(settings + "/Profile.ini"), "current/Profile.ini");
    EXPECT_EQ(std::filesystem::read_symlink(settings + "/current/Profile.ini"), "../store/placements.ini");
    EXPECT_TRUE(ReadFile(settings + "/store/placements.ini").starts_with("[S]\nOld=\"kept\"\n"));
    EXPECT_EQ(ProfileStore(settings).GetProfileBinary(kSection, u"WP"), Placement(left)) << "at the next start";
    EXPECT_TRUE(reports.lines.empty());
  }
  std::set<std::string> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(settings)) {
    entries.insert(entry.path().string().substr(settings.size() + 1));
  }
  EXPECT_EQ(entries,
            (std::set<std::string>{"Profile.ini", "current", "current/Profile.ini", "store", "store/placements.ini"}))
      << "nothing beside the links and the file";
}

// A dangling link makes its file at the first save; a loop of links is reported, naming the
// profile, and the placement is still kept. The settings beside are not touched.
TEST(ProfileStoreTest, ALinkLeadingNowhereOrInALoopKeepsThePlacementAndSaysWhichFile) {
  QZTest::TempFolder folder;
  folder.Write("UserSettings.ini", "<plist/>");
  std::filesystem::create_symlink("gone/placements.ini", folder / "Profile.ini");
  {
    Reports reports;
    ProfileStore store(folder.Path(), reports.Reporter());
    ASSERT_TRUE(store.WriteProfileBinary(kSection, u"WP", Placement(10)));
    EXPECT_TRUE(reports.lines.empty());
  }
  EXPECT_EQ(std::filesystem::read_symlink(folder / "Profile.ini"), "gone/placements.ini");
  EXPECT_TRUE(folder.Exists("gone/placements.ini"));
  EXPECT_EQ(ProfileStore(folder.Path()).GetProfileBinary(kSection, u"WP"), Placement(10));

  std::filesystem::remove(folder / "Profile.ini");
  std::filesystem::create_symlink("Loop.ini", folder / "Profile.ini");
  std::filesystem::create_symlink("Profile.ini", folder / "Loop.ini");
  {
    Reports reports;
    ProfileStore store(folder.Path(), reports.Reporter());
    EXPECT_TRUE(store.WriteProfileBinary(kSection, u"WP", Placement(20)));
    ASSERT_EQ(reports.lines.size(), 1u);
    EXPECT_EQ(reports.lines[0], store.GetPath() + ": cannot be read: " + std::strerror(ELOOP));
  }
  EXPECT_EQ(ProfileStore(folder.Path()).GetProfileBinary(kSection, u"WP"), Placement(20));
  EXPECT_EQ(folder.Read("UserSettings.ini"), "<plist/>");
}

// A profile padded with empty lines to exactly `size` bytes is read like any other: the
// placement in it stands and nothing is kept aside; one byte more and it is set aside unread.
TEST(ProfileStoreTest, AFileOfTheLargestSizeIsReadAndOneByteLongerIsKeptAside) {
  constexpr size_t kLargest = QZ::Platform::Host::kMaxProfileSize;
  for (const size_t size : {kLargest - 1, kLargest, kLargest + 1}) {
    SCOPED_TRACE(size);
    QZTest::TempFolder folder;
    ASSERT_TRUE(ProfileStore(folder.Path()).WriteProfileBinary(kSection, u"WP", Placement(10)));
    std::string text = folder.Read("Profile.ini");
    ASSERT_LT(text.size(), size);
    text.resize(size, '\n');
    folder.Write("Profile.ini", text);
    Reports reports;
    ProfileStore store(folder.Path(), reports.Reporter());
    if (size <= kLargest) {
      EXPECT_EQ(store.GetProfileBinary(kSection, u"WP"), Placement(10));
      EXPECT_TRUE(reports.lines.empty()) << reports.lines.front();
      EXPECT_FALSE(folder.Exists("Profile.ini.bak"));
      ASSERT_TRUE(store.WriteProfileString(u"S", u"Name", u"x"));
      EXPECT_EQ(ProfileStore(folder.Path()).GetProfileBinary(kSection, u"WP"), Placement(10)) << "kept by the write";
    } else {
      EXPECT_FALSE(store.GetProfileBinary(kSection, u"WP"));
      ASSERT_EQ(reports.lines.size(), 1u);
      EXPECT_EQ(reports.lines[0], store.GetPath() + ": longer than " + std::to_string(kLargest) + " bytes: kept as " +
                                      store.GetPath() + ".bak");
      EXPECT_EQ(folder.Read("Profile.ini.bak"), text);
    }
  }
}

// A file that grows after its size was taken is held to the limit by what is read, not by
// the size it had: /proc/self/cmdline says 0 bytes at the open and gives its text when read.
TEST(ProfileStoreTest, AFileThatGrowsWhileItIsReadIsReadAtTheLargestSizeAndRefusedBeyondIt) {
  const std::string path = "/proc/self/cmdline";
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  ASSERT_EQ(info.st_size, 0);
  const std::string whole = ReadFile(path);
  ASSERT_FALSE(whole.empty());
  std::string text = "left over";
  std::string problem;
  EXPECT_EQ(QZ::Platform::Host::ReadProfileFile(path, whole.size(), text, problem),
            QZ::Platform::Host::ProfileRead::Read)
      << problem;
  EXPECT_EQ(text, whole);
  EXPECT_EQ(QZ::Platform::Host::ReadProfileFile(path, whole.size() - 1, text, problem),
            QZ::Platform::Host::ProfileRead::Unreadable);
  EXPECT_EQ(text, "");
  EXPECT_EQ(problem, path + ": cannot be read: " + std::strerror(EFBIG));
}

} // namespace
