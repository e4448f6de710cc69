#include "Platform/Host/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>

namespace QZ::Platform::Host {

namespace {

constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
// The byte that tells the watcher to end; signals come as their numbers.
constexpr unsigned char kStopByte = 0;

struct Watch {
  int pipe[2] = {-1, -1};
  std::thread watcher;
  TerminationRequest onRequest;
  std::array<struct sigaction, kSignals.size()> previous{};
  std::array<bool, kSignals.size()> installed{};
  struct sigaction previousFileSize {};
  bool watching = false;
};

Watch gWatch;
// Read by the handler: a lock-free atomic is all it may touch besides getpid, write and
// _exit.
std::atomic<int> gWriteEnd{-1};
std::atomic<int> gExitCode{-1};
std::atomic<bool> gRequested{false};
std::atomic<pid_t> gWatchingProcess{0};

// Sends SIGTERM to every process this one started (found by their parent in /proc).
void EndChildren() {
  const pid_t self = ::getpid();
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    std::ifstream stat(entry.path() / "stat");
    std::string text;
    std::getline(stat, text);
    // "pid (name) state ppid ...": the name may hold anything but ends at the last ')'.
    const size_t close = text.rfind(')');
    std::istringstream fields(close == std::string::npos ? std::string() : text.substr(close + 1));
    std::string state;
    pid_t parent = 0;
    if (fields >> state >> parent && parent == self) {
      ::kill(pid_t(std::stol(name)), SIGTERM);
    }
  }
}

void OnSignal(int signal) {
  const int savedErrno = errno;
  const int exitCode = gExitCode.load();
  // A copy made by fork (a box SDL shows from a process of its own) has no watcher.
  if (exitCode >= 0 && ::getpid() != gWatchingProcess.load()) {
    ::_exit(exitCode);
  }
  gRequested = true;
  const int fd = gWriteEnd.load();
  if (fd >= 0) {
    const unsigned char byte = static_cast<unsigned char>(signal);
    (void)!::write(fd, &byte, 1); // a full pipe already holds a request
  }
  errno = savedErrno;
}

void RunWatcher(int readEnd, const TerminationRequest& onRequest) {
  for (;;) {
    unsigned char byte = kStopByte;
    const ssize_t count = ::read(readEnd, &byte, 1);
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count <= 0 || byte == kStopByte) {
      return;
    }
    if (const int exitCode = gExitCode.load(); exitCode >= 0) {
      EndChildren();
      ::_exit(exitCode);
    }
    if (onRequest) {
      onRequest(int(byte));
    }
  }
}

} // namespace

bool WatchTerminationSignals(TerminationRequest onRequest) {
  Watch& watch = gWatch;
  if (watch.watching || ::pipe2(watch.pipe, O_CLOEXEC) != 0) {
    return false;
  }
  // The handler never waits for the watcher.
  ::fcntl(watch.pipe[1], F_SETFL, O_NONBLOCK); // a blocking pipe only delays a full one's write
  watch.onRequest = std::move(onRequest);
  try {
    watch.watcher = std::thread(RunWatcher, watch.pipe[0], std::cref(watch.onRequest));
  } catch (const std::system_error&) {
    ::close(watch.pipe[0]);
    ::close(watch.pipe[1]);
    watch.onRequest = nullptr;
    return false;
  }
  gRequested = false;
  gWatchingProcess = ::getpid();
  gWriteEnd = watch.pipe[1];
  for (size_t i = 0; i < kSignals.size(); ++i) {
    struct sigaction current {};
    watch.installed[i] = false;
    if (::sigaction(kSignals[i], nullptr, &current) != 0 || current.sa_handler == SIG_IGN) {
      continue;
    }
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    watch.installed[i] = ::sigaction(kSignals[i], &action, &watch.previous[i]) == 0;
  }
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGXFSZ, &ignore, &watch.previousFileSize);
  watch.watching = true;
  return true;
}

void StopWatchingTerminationSignals() {
  Watch& watch = gWatch;
  if (!watch.watching) {
    return;
  }
  for (size_t i = 0; i < kSignals.size(); ++i) {
    if (watch.installed[i]) {
      ::sigaction(kSignals[i], &watch.previous[i], nullptr); // restores what it replaced
    }
  }
  ::sigaction(SIGXFSZ, &watch.previousFileSize, nullptr);
  gWriteEnd = -1;
  gRequested = false;
  const unsigned char stop = kStopByte;
  // The watcher empties the pipe, so a full one takes the byte a moment later.
  while (::write(watch.pipe[1], &stop, 1) < 0 && (errno == EINTR || errno == EAGAIN)) {
  }
  watch.watcher.join();
  ::close(watch.pipe[0]);
  ::close(watch.pipe[1]);
  watch.pipe[0] = watch.pipe[1] = -1;
  watch.onRequest = nullptr;
  watch.watching = false;
}

bool TerminationRequested() { return gRequested.load(); }

void SetTerminationExitCode(int exitCode) { gExitCode = exitCode < 0 ? -1 : exitCode; }

} // namespace QZ::Platform::Host
