// The program's folders by path id: its own (however long its path), the shared and the
// user's application data (made when missing), the documents, and the ids that name none.

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ApplicationTestSupport.h"
#include "QZFramework/Application/ApplicationFolders.h"

extern char** environ;

namespace QZTest {
namespace {

namespace fs = std::filesystem;

constexpr char kProductFolder[] = "/Vandrel/Quorin ZTR Preset Editor";

// Runs program and answers what it wrote to standard output; empty when it did not exit 0.
std::string OutputOf(const std::string& program, const std::string& outputFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::string path = program;
  char* argv[] = {path.data(), nullptr};
  pid_t child = 0;
  const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return {};
  }
  std::ifstream in(outputFile);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A fresh temporary folder as the working folder for the object's life, removed after: what
// a test finds there is its own doing, not an earlier run's.
class FreshWorkingFolder {
public:
  FreshWorkingFolder() : mPrevious(fs::current_path()) { fs::current_path(mFolder.Path()); }
  ~FreshWorkingFolder() { fs::current_path(mPrevious); }
  FreshWorkingFolder(const FreshWorkingFolder&) = delete;
  FreshWorkingFolder& operator=(const FreshWorkingFolder&) = delete;

  bool IsEmpty() const { return fs::is_empty(mFolder.Path()); }

private:
  TempFolder mFolder;
  fs::path mPrevious;
};

class ApplicationFoldersTest : public ApplicationFixture {
protected:
  std::string Folder(int32_t pathId) { return QZ::NString(host->GetFolder(pathId)).GetBuffer(); }
  std::string home() { return folder / "home"; }
};

TEST_F(ApplicationFoldersTest, TheProgramsFolderIsWholeHoweverLongItsPath) {
  // Three levels below the temporary folder, 300 characters in all.
  std::string deep = folder / std::string(100, 'a');
  deep += "/" + std::string(100, 'b');
  deep += "/" + std::string(300 - deep.size() - 1, 'c');
  ASSERT_EQ(deep.size(), 300u);
  fs::create_directories(deep);
  const std::string copy = deep + "/folder-probe";
  fs::copy_file(QZ_APPLICATION_FOLDER_PROBE, copy);
  EXPECT_EQ(OutputOf(copy, folder / "out.txt"), deep);
  // This program's own, beside the probe in the build.
  EXPECT_EQ(Folder(0), fs::path(QZ_APPLICATION_FOLDER_PROBE).parent_path().string());
}

TEST_F(ApplicationFoldersTest, TheApplicationDataFoldersAreMadeUnderTheXdgFolders) {
  EXPECT_EQ(Folder(2), (folder / "data") + kProductFolder);
  EXPECT_TRUE(fs::is_directory(Folder(2)));
  EXPECT_EQ(Folder(3), (folder / "config") + kProductFolder);
  EXPECT_TRUE(fs::is_directory(Folder(3)));
  // Without the variables: under HOME.
  environment.Unset("XDG_DATA_HOME");
  environment.Unset("XDG_CONFIG_HOME");
  EXPECT_EQ(Folder(2), home() + "/.local/share" + kProductFolder);
  EXPECT_EQ(Folder(3), home() + "/.config" + kProductFolder);
  EXPECT_TRUE(fs::is_directory(Folder(3)));
  // A level that cannot be made: nothing.
  std::ofstream(folder / "plain") << "a file";
  environment.Set("XDG_CONFIG_HOME", folder / "plain");
  EXPECT_EQ(Folder(3), "");
  environment.Unset("HOME");
  environment.Unset("XDG_DATA_HOME");
  EXPECT_EQ(Folder(2), "");
}

TEST_F(ApplicationFoldersTest, RelativeFoldersAreIgnoredAndSettingsThatCannotBeKeptAreSaidOnce) {
  // A relative XDG folder is not one: HOME's default stands, nothing lands in the working
  // folder.
  const FreshWorkingFolder working;
  environment.Set("XDG_CONFIG_HOME", "relative/dir");
  EXPECT_EQ(Folder(3), home() + "/.config" + kProductFolder);
  EXPECT_TRUE(working.IsEmpty());
  environment.Set("XDG_DATA_HOME", "relative/data");
  environment.Set("HOME", "home");
  EXPECT_EQ(QZ::GetCommonApplicationFolder(QZ::WString(u"V"), QZ::WString(u"P")), "");
  EXPECT_EQ(QZ::DescribeMissingApplicationFolder(false),
            "XDG_DATA_HOME (\"relative/data\") is not an absolute path and HOME (\"home\") is not an absolute path");
  environment.Unset("HOME");
  environment.Unset("XDG_CONFIG_HOME");
  EXPECT_EQ(QZ::DescribeMissingApplicationFolder(true), "XDG_CONFIG_HOME is not set and HOME is not set");
  EXPECT_EQ(QZ::GetDocumentsFolder(), "");
  // Every folder that fails says so, but only the first time.
  testing::internal::CaptureStderr();
  EXPECT_EQ(Folder(2), "");
  EXPECT_EQ(Folder(3), "");
  environment.Set("XDG_CONFIG_HOME", "/proc");
  EXPECT_EQ(Folder(3), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Settings will not be kept: XDG_DATA_HOME (\"relative/data\") is not an absolute path and HOME is not "
            "set.\n");
  EXPECT_TRUE(working.IsEmpty());
  // Why a folder cannot be made.
  std::string reason;
  EXPECT_FALSE(QZ::CreateFolders("/proc/Vandrel/Quorin ZTR Preset Editor", &reason));
  EXPECT_EQ(reason.rfind("the folder \"/proc/Vandrel/Quorin ZTR Preset Editor\" cannot be made: ", 0), 0u) << reason;
}

TEST_F(ApplicationFoldersTest, FolderNamesAreMadeSafe) {
  environment.Set("XDG_CONFIG_HOME", "/cfg/");
  EXPECT_EQ(QZ::GetUserApplicationFolder(QZ::WString(u"A/B:C"), QZ::WString(u"x\\y*z?\"<>|&;,^()")),
            "/cfg/A_B_C/x_y_z___________");
  EXPECT_EQ(QZ::GetCommonApplicationFolder(QZ::WString(u"A/B:C"), QZ::WString(u"P")), (folder / "data") + "/A_B_C/P");
}

TEST_F(ApplicationFoldersTest, TheDocumentsAreTheUsersConfiguredFolderElseDocumentsElseHome) {
  EXPECT_EQ(Folder(4), home());
  fs::create_directories(home() + "/Documents");
  EXPECT_EQ(Folder(4), home() + "/Documents");
  fs::create_directories(folder / "config");
  std::ofstream((folder / "config") + "/user-dirs.dirs")
      << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n";
  EXPECT_EQ(Folder(4), home() + "/Docs");
  std::ofstream((folder / "config") + "/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=\"/srv/shared docs/\"\n";
  EXPECT_EQ(Folder(4), "/srv/shared docs");
  std::ofstream((folder / "config") + "/user-dirs.dirs") << "XDG_DOCUMENTS_DIR=relative\n";
  EXPECT_EQ(Folder(4), home() + "/Documents");
}

TEST_F(ApplicationFoldersTest, OtherPathIdsAreOutOfRange) {
  for (int32_t pathId : {5, -1, 6}) {
    SCOPED_TRACE(pathId);
    try {
      host->GetFolder(pathId);
      ADD_FAILURE() << "no exception";
    } catch (const std::out_of_range& failure) {
      EXPECT_STREQ(failure.what(), "Out of Range : Unknown Path ID. : QZ::MFCFrameworkApp<class "
                                   "QZTest::TestApplication>::GetFolder : Application/ApplicationBaseWin : Line 582");
    }
  }
  // The application asks its host.
  MakeApplication(SkinOf(MainControl(R"(XSizeAbs="320" YSizeAbs="200")")));
  EXPECT_EQ(app->GetFolder(3), host->GetFolder(3));
  EXPECT_EQ(app->GetFolder(1), QZ::WString(u"::"));
  EXPECT_THROW((void)app->GetFolder(5), std::out_of_range);
}

} // namespace
} // namespace QZTest
