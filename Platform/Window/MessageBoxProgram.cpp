#include "Platform/Window/MessageBoxProgram.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

extern char** environ;

namespace QZ::Platform::Window {

namespace {

constexpr const char* kProgramName = "quorin-ztr-message-box";

bool IsExecutable(const std::filesystem::path& path) { return ::access(path.c_str(), X_OK) == 0; }

// The spawn's attributes and file actions, released however the spawn ends.
class SpawnSetup {
public:
  SpawnSetup() {
    mAttributesReady = posix_spawnattr_init(&mAttributes) == 0;
    mActionsReady = posix_spawn_file_actions_init(&mActions) == 0;
  }
  ~SpawnSetup() {
    if (mAttributesReady) {
      posix_spawnattr_destroy(&mAttributes);
    }
    if (mActionsReady) {
      posix_spawn_file_actions_destroy(&mActions);
    }
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // Default signal handling, no signal blocked, a process group of its own, standard input
  // from /dev/null and no other descriptor of ours beyond standard output and error.
  int Spawn(const std::string& path, std::vector<char*>& argv, pid_t& pid) {
    if (!mAttributesReady || !mActionsReady) {
      return ENOMEM;
    }
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    int error = posix_spawnattr_setsigmask(&mAttributes, &none);
    if (error == 0) {
      error = posix_spawnattr_setsigdefault(&mAttributes, &all);
    }
    if (error == 0) {
      error = posix_spawnattr_setpgroup(&mAttributes, 0);
    }
    if (error == 0) {
      error = posix_spawnattr_setflags(&mAttributes,
                                       POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    }
    if (error == 0) {
      error = posix_spawn_file_actions_addopen(&mActions, 0, "/dev/null", O_RDONLY, 0);
    }
    if (error == 0) {
      error = posix_spawn_file_actions_addclosefrom_np(&mActions, 3);
    }
    if (error == 0) {
      error = posix_spawn(&pid, path.c_str(), &mActions, &mAttributes, argv.data(), environ);
    }
    return error;
  }

private:
  posix_spawnattr_t mAttributes{};
  posix_spawn_file_actions_t mActions{};
  bool mAttributesReady = false;
  bool mActionsReady = false;
};

} // namespace

std::string FindMessageBoxProgram() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::filesystem::path beside = self.parent_path() / kProgramName;
    if (IsExecutable(beside)) {
      return beside.string();
    }
  }
  if (IsExecutable(QZ_MESSAGE_BOX_PROGRAM)) {
    return QZ_MESSAGE_BOX_PROGRAM;
  }
  return {};
}

std::optional<bool> RunMessageBoxProgram(uint32_t flags, const std::string& title, const std::string& message,
                                         unsigned long ownerXWindow) {
  const std::string path = FindMessageBoxProgram();
  if (path.empty()) {
    return std::nullopt;
  }
  std::string flagsText = std::to_string(flags);
  std::string ownerText = std::to_string(ownerXWindow);
  std::string titleText = title;
  std::string messageText = message;
  std::string pathText = path;
  std::vector<char*> argv{pathText.data(),  flagsText.data(),   ownerText.data(),
                          titleText.data(), messageText.data(), nullptr};
  pid_t pid = -1;
  if (SpawnSetup().Spawn(path, argv, pid) != 0) {
    return std::nullopt;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      return false;
    }
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace QZ::Platform::Window
