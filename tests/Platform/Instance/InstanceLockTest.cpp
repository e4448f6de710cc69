// The lock file's names and the lock itself: one holder at a time, nothing inherited by
// started programs, released by any death of its holder.

#include <fcntl.h>
#include <signal.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "Platform/Instance/InstanceLock.h"
#include "Platform/Instance/InstanceNames.h"
#include "Support/TempFolder.h"

namespace QZTest {
namespace {

using QZ::Platform::Instance::HandOverSocketName;
using QZ::Platform::Instance::InstanceLock;
using QZ::Platform::Instance::LockFilePath;

constexpr const char* kAppId = "Vandrel_Quorin ZTR Preset Editor";

// Sets an environment variable (or unsets it, for null) for one test.
class ScopedVariable {
public:
  ScopedVariable(const char* name, const char* value) : mName(name) {
    if (const char* old = std::getenv(name)) {
      mOld = old;
    }
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (mOld) {
      ::setenv(mName, mOld->c_str(), 1);
    } else {
      ::unsetenv(mName);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
  const char* mName;
  std::optional<std::string> mOld;
};

TEST(InstanceNamesTest, LockAndSocketAreNamedFromTheIdPreventAndTheUser) {
  struct Case {
    const char* runtime;
    const char* temp;
    const char* expected;
  };
  for (const Case& c : {
           Case{"/run/user/1000", "/tmp", "/run/user/1000/Vandrel_Quorin ZTR Preset EditorPrevent"},
           Case{"/run/user/1000/", "/tmp", "/run/user/1000/Vandrel_Quorin ZTR Preset EditorPrevent"},
           Case{"", "/tmp", "/tmp/Vandrel_Quorin ZTR Preset EditorPrevent-1000"},
           Case{"", "/var/tmp/", "/var/tmp/Vandrel_Quorin ZTR Preset EditorPrevent-1000"},
       }) {
    EXPECT_EQ(LockFilePath(kAppId, c.runtime, c.temp, 1000), c.expected) << c.runtime << " " << c.temp;
  }
}

TEST(InstanceNamesTest, TheSocketFollowsTheLockPathAndItsUserAndFitsAnAddress) {
  const std::string runLock = "/run/user/1000/Vandrel_Quorin ZTR Preset EditorPrevent";
  const std::string socket = HandOverSocketName(runLock, 1000);
  ASSERT_FALSE(socket.empty());
  EXPECT_EQ(socket[0], '\0');
  EXPECT_EQ(socket.substr(1, 45), "Vandrel_Quorin ZTR Preset EditorPrevent-1000-");
  EXPECT_EQ(socket.size(), 1 + 45 + 16u);
  // One key, one name; another runtime folder or user, another name.
  EXPECT_EQ(HandOverSocketName(runLock, 1000), socket);
  EXPECT_NE(HandOverSocketName("/tmp/test-run/Vandrel_Quorin ZTR Preset EditorPrevent", 1000), socket);
  EXPECT_NE(HandOverSocketName(runLock, 1001), HandOverSocketName(runLock, 1000));
  EXPECT_EQ(HandOverSocketName(runLock), HandOverSocketName(runLock, ::geteuid()));
  // A long lock file name is shortened; its tail keeps the names apart.
  const std::string longName = "/run/" + std::string(200, 'x');
  const std::string shortened = HandOverSocketName(longName, 1000);
  EXPECT_EQ(shortened.size(), sizeof(sockaddr_un::sun_path));
  EXPECT_NE(shortened, HandOverSocketName(longName + "y", 1000));
}

TEST(InstanceNamesTest, WithoutARuntimeFolderTheLockIsInTheTemporaryFolder) {
  TempFolder runtime;
  TempFolder temp;
  const std::string uid = std::to_string(::geteuid());
  {
    ScopedVariable xdg("XDG_RUNTIME_DIR", runtime.Path().c_str());
    ScopedVariable tmp("TMPDIR", temp.Path().c_str());
    EXPECT_EQ(LockFilePath(kAppId), runtime / "Vandrel_Quorin ZTR Preset EditorPrevent");
  }
  // Unset, empty or relative: not a runtime folder.
  for (const char* unset : {static_cast<const char*>(nullptr), "", "relative/run"}) {
    ScopedVariable xdg("XDG_RUNTIME_DIR", unset);
    ScopedVariable tmp("TMPDIR", temp.Path().c_str());
    EXPECT_EQ(LockFilePath(kAppId), temp / ("Vandrel_Quorin ZTR Preset EditorPrevent-" + uid));
  }
}

TEST(InstanceLockTest, OneHolderAtATimeAndTheNextOnceItIsGone) {
  TempFolder folder;
  const std::string path = folder / "AppPrevent";
  {
    InstanceLock first(path);
    EXPECT_EQ(first.GetState(), InstanceLock::State::Held);
    InstanceLock second(path);
    EXPECT_EQ(second.GetState(), InstanceLock::State::Busy);
  }
  InstanceLock third(path);
  EXPECT_EQ(third.GetState(), InstanceLock::State::Held);
  EXPECT_TRUE(folder.Exists("AppPrevent"));
}

TEST(InstanceLockTest, AFileThatCannotBeOpenedOrIsALinkFails) {
  TempFolder folder;
  InstanceLock missingFolder(folder / "missing/AppPrevent");
  EXPECT_EQ(missingFolder.GetState(), InstanceLock::State::Failed);
  EXPECT_EQ(missingFolder.GetError(), ENOENT);

  folder.Write("target", "");
  std::filesystem::create_symlink(folder / "target", folder / "link");
  InstanceLock link(folder / "link");
  EXPECT_EQ(link.GetState(), InstanceLock::State::Failed);

  std::filesystem::create_directory(folder / "dir");
  InstanceLock directory(folder / "dir");
  EXPECT_EQ(directory.GetState(), InstanceLock::State::Failed);
}

TEST(InstanceLockTest, TheFileIsNotInheritedByStartedPrograms) {
  TempFolder folder;
  const std::string path = folder / "AppPrevent";
  InstanceLock lock(path);
  ASSERT_EQ(lock.GetState(), InstanceLock::State::Held);
  int found = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (std::filesystem::read_symlink(entry.path(), error) == path) {
      const int fd = std::stoi(entry.path().filename().string());
      EXPECT_NE(::fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
      ++found;
    }
  }
  EXPECT_EQ(found, 1);
}

TEST(InstanceLockTest, AKilledHolderLeavesTheLockFree) {
  TempFolder folder;
  const std::string path = folder / "AppPrevent";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Only system calls from here: the child of a threaded process.
    InstanceLock lock(path);
    const char state = lock.GetState() == InstanceLock::State::Held ? 'H' : 'F';
    (void)!::write(ready[1], &state, 1);
    for (;;) {
      ::pause();
    }
  }
  ::close(ready[1]);
  char state = 0;
  ASSERT_EQ(::read(ready[0], &state, 1), 1);
  ::close(ready[0]);
  EXPECT_EQ(state, 'H');
  EXPECT_EQ(InstanceLock(path).GetState(), InstanceLock::State::Busy);
  ASSERT_EQ(::kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(InstanceLock(path).GetState(), InstanceLock::State::Held);
}

} // namespace
} // namespace QZTest
