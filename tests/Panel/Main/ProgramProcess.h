#pragma once
// The program (quorin-ztr-preset-editor, or a command that ends in it such as scripts/run.sh,
// or another of ours) run as a process by the tests: started with its environment changed as
// a test says (a variable set, or unset with std::nullopt), its standard output and error
// kept in files, its standard input a pipe held open when asked, signalled, waited for.
//
//   ProgramProcess program({{"QZ_RESOURCE_FOLDER", resources}, {"DISPLAY", std::nullopt}}, folder);
//   const ProgramProcess::Ended ended = program.Wait();   // ended.status, ended.errors
//
// Its instance lock and hand-over socket are the test's own: XDG_RUNTIME_DIR is the
// folder's "runtime" unless the test names one. It starts with the default handling of
// SIGINT, SIGTERM and SIGHUP, whatever the test process inherited.
//
// The leak checker of the test build leaves out what fontconfig (its configuration, read
// once) and D-Bus (which SDL's X11 driver starts) keep until the process ends.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Support/TempFolder.h"
#include "Support/WaitUntil.h"

extern char** environ;

namespace QZTest {

class ProgramProcess {
public:
  using Changes = std::map<std::string, std::optional<std::string>>;
  struct Options {
    std::string workingFolder;            // empty: the test's own
    rlim_t fileSizeLimit = RLIM_INFINITY; // bytes, as `ulimit -f` sets it
    std::vector<std::string> command;     // the program and its arguments; empty: the editor
    bool inputPipe = false;               // standard input a pipe, open until CloseInput
  };
  struct Ended {
    bool exited = false;
    int status = -1; // the exit status, or the signal that ended it
    std::string errors;
    std::string output;
  };

  ProgramProcess(const Changes& changes, const TempFolder& folder) : ProgramProcess(changes, folder, Options()) {}
  ProgramProcess(const Changes& changes, const TempFolder& folder, const Options& options) : mFolder(folder) {
    Changes all = changes;
    all.emplace("LSAN_OPTIONS", "suppressions=" + std::string(QZ_PROGRAM_LSAN_SUPPRESSIONS) + ":print_suppressions=0");
    if (!all.count("XDG_RUNTIME_DIR")) {
      const std::string runtime = folder / "runtime";
      ::mkdir(runtime.c_str(), 0700); // EEXIST for a second program of the test
      all.emplace("XDG_RUNTIME_DIR", runtime);
    }
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable) {
      const std::string entry(*variable);
      if (!all.count(entry.substr(0, entry.find('=')))) {
        environment.push_back(entry);
      }
    }
    for (const auto& [name, value] : all) {
      if (value) {
        environment.push_back(name + "=" + *value);
      }
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) {
      envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> command = options.command;
    if (command.empty()) {
      command.push_back(QZ_EDITOR_PROGRAM);
    }
    std::vector<char*> argv;
    for (std::string& argument : command) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const std::string errors = folder / "program-stderr.txt";
    const std::string output = folder / "program-stdout.txt";
    int input[2] = {-1, -1};
    if (options.inputPipe && ::pipe2(input, O_CLOEXEC) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (options.inputPipe) {
      posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!options.workingFolder.empty()) {
      posix_spawn_file_actions_addchdir_np(&actions, options.workingFolder.c_str());
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
      sigaddset(&defaults, signal);
    }
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    if (posix_spawn(&mPid, argv[0], &actions, &attributes, argv.data(), envp.data()) != 0) {
      mPid = 0;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (options.inputPipe) {
      ::close(input[0]);
      mInput = input[1];
    }
    if (mPid != 0 && options.fileSizeLimit != RLIM_INFINITY) {
      // Long before the program writes anything: it is still loading its libraries.
      const rlimit limit{options.fileSizeLimit, options.fileSizeLimit};
      ::prlimit(mPid, RLIMIT_FSIZE, &limit, nullptr);
    }
  }
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;
  // A process still running is killed; one whose input pipe is still open reads its end
  // first and is given the wait bound to end on its own.
  ~ProgramProcess() {
    if (mInput >= 0 && mPid != 0) {
      CloseInput();
      WaitFor(kWaitBound); // its end, or nothing: killed below
    }
    CloseInput();
    if (mPid != 0) {
      ::kill(mPid, SIGKILL);
      Wait();
    }
  }

  bool Started() const { return mPid != 0; }
  pid_t Pid() const { return mPid; }
  // Asks the program to end, as the desktop's session or Ctrl+C does.
  void Interrupt() const { Signal(SIGINT); }
  void Signal(int signal) const { ::kill(mPid, signal); }
  // Closes the input pipe: the program reads the end of its input.
  void CloseInput() {
    if (mInput >= 0) {
      ::close(mInput);
      mInput = -1;
    }
  }

  Ended Wait() {
    int status = 0;
    if (mPid == 0 || ::waitpid(mPid, &status, 0) != mPid) {
      return {};
    }
    return Reaped(status);
  }
  // The end of a process that ends within limit; nothing (and it still runs) otherwise.
  // Its end is waited for on a process descriptor, which becomes readable at once.
  std::optional<Ended> WaitFor(std::chrono::milliseconds limit) {
    if (mPid == 0) {
      return std::nullopt;
    }
    const int descriptor = int(::syscall(SYS_pidfd_open, mPid, 0));
    if (descriptor >= 0) {
      pollfd ended{descriptor, POLLIN, 0};
      int ready = 0;
      do {
        ready = ::poll(&ended, 1, int(limit.count()));
      } while (ready < 0 && errno == EINTR);
      ::close(descriptor);
    } else {
      WaitUntil(
          [this] {
            siginfo_t info{};
            return ::waitid(P_PID, id_t(mPid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == mPid;
          },
          limit); // polled where the system has no process descriptors
    }
    int status = 0;
    if (::waitpid(mPid, &status, WNOHANG) != mPid) {
      return std::nullopt;
    }
    return Reaped(status);
  }

private:
  Ended Reaped(int status) {
    mPid = 0;
    Ended ended;
    ended.exited = WIFEXITED(status);
    ended.status = ended.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    ended.errors = mFolder.Read("program-stderr.txt");
    ended.output = mFolder.Read("program-stdout.txt");
    return ended;
  }

  const TempFolder& mFolder;
  pid_t mPid = 0;
  int mInput = -1;
};

// The rectangle a placement record stored as "WP=hex:..." in a profile's text holds, as
// {left, top, right, bottom}; empty when the profile has none.
inline std::vector<int32_t> StoredPlacement(const std::string& profile) {
  const size_t at = profile.find("WP=hex:");
  if (at == std::string::npos) {
    return {};
  }
  std::vector<uint8_t> bytes;
  std::istringstream hex(profile.substr(at + 7, profile.find('\n', at) - at - 7));
  for (std::string byte; std::getline(hex, byte, ',');) {
    bytes.push_back(uint8_t(std::stoul(byte, nullptr, 16)));
  }
  if (bytes.size() != 44) {
    return {};
  }
  std::vector<int32_t> rectangle;
  for (size_t word = 7; word < 11; ++word) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
      value |= uint32_t(bytes[word * 4 + i]) << (8 * i);
    }
    rectangle.push_back(int32_t(value));
  }
  return rectangle;
}

// Signals program, then waits up to bound for "UserSettings.ini" to be renamed into
// settingsFolder, which the exit's last step does: whether it was, and when after the signal.
struct SettingsSaved {
  bool saved = false;
  std::chrono::steady_clock::duration took{};
};
inline SettingsSaved SignalAndAwaitSettings(ProgramProcess& program, int signal, const std::string& settingsFolder,
                                            std::chrono::milliseconds bound) {
  using Clock = std::chrono::steady_clock;
  SettingsSaved result;
  const int watch = ::inotify_init1(IN_CLOEXEC);
  if (watch < 0 || ::inotify_add_watch(watch, settingsFolder.c_str(), IN_MOVED_TO) < 0) {
    program.Signal(signal);
    if (watch >= 0) {
      ::close(watch);
    }
    return result;
  }
  const Clock::time_point signalled = Clock::now();
  program.Signal(signal);
  while (!result.saved && Clock::now() - signalled < bound) {
    pollfd event{watch, POLLIN, 0};
    if (::poll(&event, 1, int(bound.count())) != 1) {
      break;
    }
    alignas(inotify_event) char buffer[4096];
    const ssize_t length = ::read(watch, buffer, sizeof buffer);
    for (ssize_t at = 0; at < length;) {
      const auto* record = reinterpret_cast<const inotify_event*>(buffer + at);
      result.saved = result.saved || (record->len > 0 && std::string(record->name) == "UserSettings.ini");
      at += ssize_t(sizeof(inotify_event) + record->len);
    }
  }
  result.took = Clock::now() - signalled;
  ::close(watch);
  return result;
}

} // namespace QZTest
