#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "QZFramework/Utilities/Storage/QZFile.h"
#include "QZFramework/Utilities/Storage/StringArray.h"
#include "Support/StringPrinter.h"
#include "Support/TempFolder.h"

namespace {

using QZ::File;
using QZ::WString;

constexpr uint32_t kReadOnly = File::kRead;
constexpr uint32_t kReadWrite = File::kRead | File::kReadWrite;

std::string ReadAll(File& file) {
  std::string bytes(file.GetLength(), '\0');
  EXPECT_EQ(file.Read(bytes.data(), uint32_t(bytes.size()), 0), int32_t(bytes.size()));
  return bytes;
}

std::string What(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "no exception";
}

// The descriptors this process holds open on path.
std::vector<int> DescriptorsOn(const std::string& path) {
  std::vector<int> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (std::filesystem::read_symlink(entry.path(), error) == path) {
      found.push_back(std::stoi(entry.path().filename().string()));
    }
  }
  return found;
}

class FileTest : public ::testing::Test {
protected:
  QZTest::TempFolder folder;
};

TEST_F(FileTest, OpenJoinsFolderAndNameWithOneSlash) {
  folder.Write("a.bin", "abc");
  File joined(folder.Wide(), WString(u"a.bin"), kReadOnly);
  EXPECT_EQ(joined.GetPath(), folder.Wide("a.bin"));
  EXPECT_EQ(joined.GetName(), u"a.bin");
  EXPECT_EQ(ReadAll(joined), "abc");
  // A second Open changes nothing.
  EXPECT_EQ(joined.Open(folder.Wide("b.bin"), WString(), kReadWrite), 1);
  EXPECT_EQ(joined.GetPath(), folder.Wide("a.bin"));
  EXPECT_EQ(joined.GetFlags(), kReadOnly);

  // The slash is added even after one: the system takes "//".
  const File doubled(WString((folder.Path() + "/").c_str()), WString(u"a.bin"), kReadOnly);
  EXPECT_TRUE(doubled.IsOpen());
  EXPECT_EQ(doubled.GetPath(), folder.Wide("/a.bin"));
  const File full(folder.Wide("a.bin"), WString(), kReadOnly);
  EXPECT_TRUE(full.IsOpen());
  EXPECT_EQ(full.GetName(), u"");
  // An empty folder puts the name at the root.
  const File atRoot(WString(), WString(u"qz-no-such-file.bin"), kReadOnly);
  EXPECT_EQ(atRoot.GetPath(), u"/qz-no-such-file.bin");
}

TEST_F(FileTest, RefusedOpens) {
  File file(folder.Wide(), WString(u"missing.bin"), kReadOnly);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(What([&] { (void)file.Open(WString(), WString(), kReadOnly); }),
            R"(Runtime Error : invalid pathname : QZ::File::Open : Utilities\Storage\QZFile : Line 318)");
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.Open(folder.Wide(), WString(u"missing.bin"), kReadWrite | File::kExclusive), QZ::QZ_E_FAIL);
  EXPECT_FALSE(folder.Exists("missing.bin"));
  // A folder holds no bytes to read.
  EXPECT_EQ(file.Open(folder.Wide(), WString(), kReadOnly), QZ::QZ_E_FAIL);

  File created(folder.Wide(), WString(u"new.bin"), kReadWrite | File::kCreate | File::kExclusive);
  EXPECT_EQ(created.Write("data", 4, File::kCurrentPosition), 4);
  EXPECT_EQ(created.Close(), QZ::QZ_OK);
  EXPECT_EQ(file.Open(folder.Wide(), WString(u"new.bin"), kReadWrite | File::kCreate | File::kExclusive),
            QZ::QZ_E_FAIL);
  EXPECT_EQ(folder.Read("new.bin"), "data");
  // Create alone opens what is there; exclusive alone has no effect.
  File existing(folder.Wide(), WString(u"new.bin"), kReadWrite | File::kCreate);
  EXPECT_EQ(ReadAll(existing), "data");
  EXPECT_EQ(file.Open(folder.Wide(), WString(u"new.bin"), kReadOnly | File::kExclusive), 0);
}

TEST_F(FileTest, ReadsWritesAndSeeksAtPositions) {
  folder.Write("a.bin", "0123456789");
  File file(folder.Wide("a.bin"), WString(), kReadWrite);
  char bytes[16] = {};
  EXPECT_EQ(file.Read(bytes, 3, 2), 3);
  EXPECT_EQ(file.Read(bytes + 3, 16, File::kCurrentPosition), 5);
  EXPECT_EQ(std::string(bytes, 8), "23456789");
  // Past the end the seek lands and nothing is read.
  EXPECT_EQ(file.Read(bytes, 4, 100), 0);

  EXPECT_EQ(file.Write("XY", 2, 1), 2);
  EXPECT_EQ(file.Write("Z", 1, File::kCurrentPosition), 1);
  EXPECT_EQ(file.Write("!", 1, 12), 1);
  EXPECT_EQ(ReadAll(file), std::string("0XYZ456789\0\0!", 13));

  EXPECT_EQ(file.Seek(4, 0), 4);
  EXPECT_EQ(file.Seek(2, 1), 6);
  EXPECT_EQ(file.Seek(-1, 2), 12);
  EXPECT_EQ(file.Seek(-20, 0), -1);
  EXPECT_EQ(file.Seek(0, 3), -1);
}

TEST_F(FileTest, WritingAReadOnlyFileLeavesItUntouched) {
  folder.Write("a.bin", "original");
  File file(folder.Wide("a.bin"), WString(), kReadOnly);
  EXPECT_EQ(What([&] { (void)file.Write("XY", 2, 0); }),
            R"(Runtime Error : file is read only : QZ::File::Write : Utilities\Storage\QZFile : Line 579)");
  EXPECT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Close(), QZ::QZ_OK);
  EXPECT_EQ(folder.Read("a.bin"), "original");
}

TEST_F(FileTest, AFileThatIsNotOpenFailsCleanly) {
  File file(folder.Wide(), WString(u"missing.bin"), kReadWrite);
  char bytes[4] = {};
  EXPECT_EQ(What([&] { (void)file.Read(bytes, 4, 0); }),
            R"(Runtime Error : file is not open : QZ::File::Read : Utilities\Storage\QZFile : Line 466)");
  EXPECT_EQ(What([&] { (void)file.Write(bytes, 4, File::kCurrentPosition); }),
            R"(Runtime Error : file is not open : QZ::File::Write : Utilities\Storage\QZFile : Line 583)");
  EXPECT_EQ(file.Seek(0, 0), -1);
  EXPECT_EQ(file.GetLength(), 0u);
  EXPECT_EQ(file.Close(), 0);
}

TEST_F(FileTest, LengthsBeyondThirtyTwoBitsThrow) {
  File file(folder.Wide(), WString(u"big.bin"), kReadWrite | File::kCreate);
  ASSERT_EQ(::truncate((folder / "big.bin").c_str(), off_t(1) << 32), 0);
  EXPECT_EQ(What([&] { file.GetLength(); }),
            R"(Runtime Error : fstat : QZ::File::GetLength : Utilities\Storage\QZFile : Line 126)");
  EXPECT_EQ(file.Seek(-1, 2), -1);
}

TEST_F(FileTest, CopiesShareOneDescriptorUntilTheLastCloses) {
  folder.Write("temp.bin", "abc");
  const std::string path = folder / "temp.bin";
  File first(folder.Wide("temp.bin"), WString(), kReadOnly | File::kDeleteOnClose);
  {
    File second(first);
    const std::vector<int> descriptors = DescriptorsOn(path);
    ASSERT_EQ(descriptors.size(), 1u);
    EXPECT_NE(::fcntl(descriptors[0], F_GETFD) & FD_CLOEXEC, 0);
    // Either copy's Close leaves the descriptor to the other.
    EXPECT_EQ(first.Close(), QZ::QZ_OK);
    EXPECT_EQ(second.Close(), QZ::QZ_OK);
    EXPECT_EQ(ReadAll(second), "abc");
  }
  EXPECT_TRUE(folder.Exists("temp.bin"));
  EXPECT_EQ(first.Close(), QZ::QZ_OK);
  EXPECT_FALSE(first.IsOpen());
  EXPECT_FALSE(folder.Exists("temp.bin"));
  EXPECT_TRUE(DescriptorsOn(path).empty());

  // Destruction of the last copy, and assignment over it, close as well.
  folder.Write("temp.bin", "abc");
  folder.Write("other.bin", "other");
  {
    File kept(folder.Wide("temp.bin"), WString(), kReadOnly | File::kDeleteOnClose);
    const File copy(kept);
  }
  EXPECT_FALSE(folder.Exists("temp.bin"));
  folder.Write("temp.bin", "abc");
  File assigned(folder.Wide("temp.bin"), WString(), kReadOnly | File::kDeleteOnClose);
  assigned = File(folder.Wide("other.bin"), WString(), kReadOnly);
  EXPECT_FALSE(folder.Exists("temp.bin"));
  EXPECT_TRUE(DescriptorsOn(path).empty());
  EXPECT_EQ(ReadAll(assigned), "other");
}

TEST_F(FileTest, FilesAndFolders) {
  folder.Write("a.bin", "");
  EXPECT_TRUE(File::IsFile(folder.Wide("a.bin")));
  EXPECT_FALSE(File::IsFile(folder.Wide()));
  EXPECT_FALSE(File::IsFile(folder.Wide("missing")));
  EXPECT_TRUE(File::IsDirectory(WString((folder.Path() + "/").c_str())));
  EXPECT_TRUE(File::IsDirectory(WString(u"/")));
  EXPECT_FALSE(File::IsDirectory(folder.Wide("a.bin")));

  EXPECT_EQ(File::EnsureDirectory(folder.Wide()), 1);
  EXPECT_EQ(File::EnsureDirectory(folder.Wide("x/y/z")), 0);
  EXPECT_TRUE(File::IsDirectory(folder.Wide("x/y/z")));
  EXPECT_EQ(File::EnsureDirectory(folder.Wide("a.bin")), QZ::QZ_E_FAIL);
  EXPECT_EQ(File::EnsureDirectory(folder.Wide("a.bin/sub")), QZ::QZ_E_FAIL);

  EXPECT_TRUE(File::CreateDirectories(folder.Wide("p/q/file.txt"), true));
  EXPECT_TRUE(File::IsDirectory(folder.Wide("p/q")));
  EXPECT_FALSE(folder.Exists("p/q/file.txt"));
  EXPECT_FALSE(File::CreateDirectories(folder.Wide("a.bin/sub/name"), true));
}

TEST(FilePathTest, PartsOfPaths) {
  EXPECT_EQ(File::GetDirectoryOf(WString(u"/data/fonts/a.ttf")), u"/data/fonts");
  EXPECT_EQ(File::GetDirectoryOf(WString(u"a.ttf")), u"a.ttf");
  // A backslash is a character of a name here.
  EXPECT_EQ(File::GetDirectoryOf(WString(u"a\\b")), u"a\\b");
  EXPECT_EQ(File::GetFileNameOf(WString(u"a\\b/c.txt")), u"c.txt");
  EXPECT_EQ(File::GetFileNameOf(WString(u"a/b\\c.txt")), u"b\\c.txt");
  EXPECT_EQ(File::GetFileNameOf(WString(u"c.txt")), u"c.txt");
  EXPECT_EQ(File::GetFileNameOf(WString(u"a/b/")), u"a/b/");

  EXPECT_EQ(File::MakeValidFileName(WString(u"A/B: C (D)")), u"A_B_ C _D_");
  EXPECT_EQ(File::MakeValidFileName(WString(u"\\/:*?\"<>|&;,^()")), u"_______________");
  EXPECT_EQ(File::GetLongPath(WString(u"/some/where/x.png")), u"/some/where/x.png");
}

TEST_F(FileTest, ListFilesMatchesNamesIgnoringCase) {
  for (const char* name : {"a.ttf", "B.TTF", "c.ttc", "notes", "bad\xFF.ttf"}) {
    folder.Write(name, "");
  }
  std::filesystem::create_directory(folder / "d.ttf");
  std::filesystem::create_symlink(folder / "d.ttf", folder / "e.ttf");
  std::filesystem::create_symlink(folder / "a.ttf", folder / "f.ttf");

  QZ::WStringArray found;
  EXPECT_EQ(found.AddItem(WString(u"stale")), QZ::QZ_OK);
  // Folders (and links to them) are skipped, as are names that are not UTF-8.
  ASSERT_EQ(File::ListFiles(folder.Wide(), WString(u"*.ttf"), found), 3);
  EXPECT_EQ(found.GetAt(0), folder.Wide("a.ttf"));
  EXPECT_EQ(found.GetAt(1), folder.Wide("B.TTF"));
  EXPECT_EQ(found.GetAt(2), folder.Wide("f.ttf"));

  EXPECT_EQ(File::ListFiles(folder.Wide(), WString(u"?.TT?"), found), 4);
  EXPECT_EQ(File::ListFiles(folder.Wide(), WString(u"*.*"), found), 5);
  EXPECT_EQ(found.GetAt(4), folder.Wide("notes"));
  EXPECT_EQ(File::ListFiles(folder.Wide(), WString(u"a"), found), 0);

  EXPECT_EQ(File::ListFiles(folder.Wide("missing"), WString(u"*"), found), QZ::QZ_E_NOTIMPL);
  EXPECT_EQ(File::ListFiles(folder.Wide("a.ttf"), WString(u"*"), found), QZ::QZ_E_NOTIMPL);
}

} // namespace
