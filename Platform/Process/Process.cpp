#include "Platform/Process/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <limits>
#include <system_error>
#include <thread>

extern char** environ;

namespace QZ::Platform::Process {

namespace {

// A descriptor closed with its owner.
class Descriptor {
public:
  explicit Descriptor(int fd = -1) : mFd(fd) {}
  ~Descriptor() { Close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int Get() const { return mFd; }
  void Close() {
    if (mFd >= 0) {
      close(mFd); // nothing to do about a failed close
      mFd = -1;
    }
  }

private:
  int mFd;
};

// The attributes and file actions of one spawn, released with it.
class SpawnSetup {
public:
  static constexpr int kNullDevice = -2;

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

  // Default dispositions and an empty mask, stdin from /dev/null, stdout to outputFd and
  // stderr to errorFd (each when not -1; kNullDevice: /dev/null), every descriptor above 2
  // closed, a session of its own when asked. An errno value; 0.
  int Prepare(int outputFd, int errorFd, bool newSession) {
    if (!mAttributesReady || !mActionsReady) {
      return ENOMEM;
    }
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (newSession) {
      flags |= POSIX_SPAWN_SETSID;
    }
    int error = posix_spawnattr_setsigmask(&mAttributes, &none);
    if (error == 0) {
      error = posix_spawnattr_setsigdefault(&mAttributes, &all);
    }
    if (error == 0) {
      error = posix_spawnattr_setflags(&mAttributes, flags);
    }
    if (error == 0) {
      error = posix_spawn_file_actions_addopen(&mActions, 0, "/dev/null", O_RDONLY, 0);
    }
    if (error == 0) {
      error = Redirect(1, outputFd);
    }
    if (error == 0) {
      error = Redirect(2, errorFd);
    }
    if (error == 0) {
      error = posix_spawn_file_actions_addclosefrom_np(&mActions, 3);
    }
    return error;
  }

  // Starts argv: 0 with pid set, else an errno value.
  int Spawn(const std::vector<std::string>& argv, pid_t& pid) {
    std::vector<char*> arguments;
    try {
      arguments.reserve(argv.size() + 1);
    } catch (const std::exception&) {
      return ENOMEM; // bad_alloc
    }
    for (const std::string& argument : argv) {
      arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    return posix_spawnp(&pid, arguments[0], &mActions, &mAttributes, arguments.data(), environ);
  }

private:
  // target to fd (kNullDevice: /dev/null; -1: left as ours). An errno value; 0.
  int Redirect(int target, int fd) {
    if (fd == kNullDevice) {
      return posix_spawn_file_actions_addopen(&mActions, target, "/dev/null", O_WRONLY, 0);
    }
    return fd >= 0 ? posix_spawn_file_actions_adddup2(&mActions, fd, target) : 0;
  }

  posix_spawnattr_t mAttributes{};
  posix_spawn_file_actions_t mActions{};
  bool mAttributesReady = false;
  bool mActionsReady = false;
};

// An anonymous memory file that takes what a child writes: it grows as written, and,
// unlike a pipe's, a write to it raises no signal once we stop reading. Above standard
// error: a descriptor of 0-2 (free because our own standard input was closed, say) would
// be replaced by the child's own before its output was sent there. -1 (errno set) when
// none can be made.
int MakeOutputFile(const char* name) {
  const int fd = memfd_create(name, MFD_CLOEXEC);
  if (fd < 0 || fd > 2) {
    return fd;
  }
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
  const int error = errno;
  close(fd);
  errno = error;
  return moved;
}

// What was read of one output file.
struct BoundedRead {
  std::string text;  // its first bytes, limit at most
  bool over = false; // it held more than limit
  int error = 0;     // why it could not be read (an errno value); text then empty
};

// The file from its start, up to limit bytes, and whether it held more. The size it
// claims only sizes the first buffer, and never past limit + 1: a file truncated to 64 GiB
// holds nothing, and a child still running grows or cuts it meanwhile. So a buffer of up
// to limit + 1 bytes may be allocated whatever the file holds; a limit beyond what memory
// holds is the caller's to avoid (where the allocator throws, the read fails with ENOMEM;
// under the sanitizers their allocator ends the process instead). The child may have
// reopened the file (O_APPEND, O_TRUNC through /dev/stdout) or moved its offset, so neither
// its offset nor ours tells where what it wrote ends. pread leaves our offset, shared with
// a child still running, alone.
BoundedRead ReadBounded(int fd, size_t limit) noexcept {
  constexpr size_t kFirstRead = 4096;
  BoundedRead read;
  try {
    // One byte past the limit tells a file that holds more.
    const size_t most = limit < std::numeric_limits<size_t>::max() ? limit + 1 : limit;
    struct stat file {};
    const size_t claimed = fstat(fd, &file) == 0 && file.st_size > 0 ? size_t(file.st_size) : 0;
    std::string& text = read.text;
    // One byte past the claim, so that a file as large as it claims is read without the
    // buffer growing (doubling) only to find its end.
    text.resize(std::min(std::max(claimed + 1, kFirstRead), most));
    size_t at = 0;
    while (at < most) {
      if (at == text.size()) {
        text.resize(std::min(most, text.size() * 2)); // grown while read
      }
      const ssize_t got = pread(fd, text.data() + at, text.size() - at, off_t(at));
      if (got > 0) {
        at += size_t(got);
      } else if (got == 0) {
        break; // its end (cut meanwhile, perhaps, by a child still running)
      } else if (errno != EINTR) {
        read.error = errno;
        break;
      }
    }
    read.over = at > limit;
    text.resize(std::min(at, limit));
  } catch (const std::exception&) {
    // bad_alloc, or length_error for a limit beyond what a string holds met by a file
    // that large: no memory for it either way.
    read.error = ENOMEM;
  }
  if (read.error != 0) {
    std::string().swap(read.text);
  }
  return read;
}

// Collects pid on a thread of its own once it ends, so that no zombie is left.
void CollectWhenEnded(pid_t pid) {
  try {
    std::thread([pid] {
      int status = 0;
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::exception&) {
    // No thread to be had (system_error, bad_alloc): the zombie stays until we end.
  }
}

// Waits up to ms, or until pid ends when its process descriptor is at hand.
void AwaitSlice(int pidFd, int ms) {
  if (pidFd >= 0) {
    pollfd ended{pidFd, POLLIN, 0};
    poll(&ended, 1, ms);
  } else {
    poll(nullptr, 0, ms);
  }
}

} // namespace

void KeepChildExitStatuses() {
  struct sigaction current {};
  if (sigaction(SIGCHLD, nullptr, &current) != 0) {
    return;
  }
  const bool ignored = !(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN;
  if (ignored) {
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    sigemptyset(&defaults.sa_mask);
    sigaction(SIGCHLD, &defaults, nullptr);
  } else if (current.sa_flags & SA_NOCLDWAIT) {
    current.sa_flags &= ~SA_NOCLDWAIT; // the handler stays
    sigaction(SIGCHLD, &current, nullptr);
  }
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const RunOptions& options) {
  using Clock = std::chrono::steady_clock;
  ProcessResult result;
  if (argv.empty()) {
    result.error = EINVAL;
    return result;
  }
  KeepChildExitStatuses();
  const bool keepErrors = options.keepErrors && !options.discardOutput;
  const Descriptor output(options.discardOutput ? -1 : MakeOutputFile("output"));
  const Descriptor errors(keepErrors ? MakeOutputFile("errors") : -1);
  if ((!options.discardOutput && output.Get() < 0) || (keepErrors && errors.Get() < 0)) {
    result.error = errno;
    return result;
  }
  SpawnSetup setup;
  pid_t pid = -1;
  const int outputTarget = options.discardOutput ? SpawnSetup::kNullDevice : output.Get();
  const int errorTarget = options.discardOutput ? SpawnSetup::kNullDevice : errors.Get();
  int error = setup.Prepare(outputTarget, errorTarget, options.newSession);
  if (error == 0) {
    error = setup.Spawn(argv, pid);
  }
  if (error != 0) {
    result.error = error;
    return result;
  }
  result.started = true;
  if (options.started) {
    options.started(pid);
  }
  const Descriptor ending(int(syscall(SYS_pidfd_open, pid, 0))); // -1 on an older system: slices alone
  const Clock::time_point begun = Clock::now();
  Clock::time_point killAt = Clock::time_point::max(); // none yet
  bool stopped = false;
  bool killed = false;
  bool ended = false;
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR)) {
      ended = true;
      if (done < 0) {
        status = 0xFF00; // lost: report exit status 255
      }
      break;
    }
    const Clock::time_point now = Clock::now();
    if (!stopped && options.bound.count() > 0 && now - begun >= options.bound) {
      break;
    }
    if (!stopped && options.whileWaiting && !options.whileWaiting()) {
      if (options.leaveRunning) {
        break;
      }
      stopped = true;
      kill(pid, SIGTERM); // it may have ended meanwhile
      killAt = now + options.killAfter;
    } else if (now >= killAt) {
      if (killed) {
        break; // SIGKILL waits for the kernel (a hung mount): our caller does not
      }
      kill(pid, SIGKILL); // deaf to SIGTERM, or stopped
      killed = true;
      killAt = now + options.killAfter;
    }
    AwaitSlice(ending.Get(), kWaitSliceMs);
  }
  if (output.Get() >= 0) {
    BoundedRead read = ReadBounded(output.Get(), options.outputLimit);
    result.error = read.error;
    result.outputOverLimit = read.over;
    if (!read.over) {
      result.output = std::move(read.text);
    }
  }
  if (keepErrors) {
    BoundedRead read = ReadBounded(errors.Get(), options.errorsLimit);
    result.errors = std::move(read.text); // what could be read: a trace, no failure
    result.errorsOverLimit = read.over;
  }
  if (!ended) {
    result.running = true;
    CollectWhenEnded(pid);
  } else if (WIFEXITED(status)) {
    result.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.signal = WTERMSIG(status);
  }
  return result;
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const WaitCallback& whileWaiting) {
  RunOptions options;
  options.whileWaiting = whileWaiting;
  return RunProcess(argv, options);
}

} // namespace QZ::Platform::Process
