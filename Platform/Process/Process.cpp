#include "Platform/Process/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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

  // Default dispositions and an empty mask, stdin from /dev/null, stdout to outputFd
  // (when not -1), every descriptor above 2 closed. An errno value; 0.
  int Prepare(int outputFd, bool newSession) {
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
    if (error == 0 && outputFd >= 0) {
      error = posix_spawn_file_actions_adddup2(&mActions, outputFd, 1);
    }
    if (error == 0) {
      error = posix_spawn_file_actions_addclosefrom_np(&mActions, 3);
    }
    return error;
  }

  // Starts argv: 0 with pid set, else an errno value.
  int Spawn(const std::vector<std::string>& argv, pid_t& pid) {
    std::vector<char*> arguments;
    arguments.reserve(argv.size() + 1);
    for (const std::string& argument : argv) {
      arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    return posix_spawnp(&pid, arguments[0], &mActions, &mAttributes, arguments.data(), environ);
  }

private:
  posix_spawnattr_t mAttributes{};
  posix_spawn_file_actions_t mActions{};
  bool mAttributesReady = false;
  bool mActionsReady = false;
};

int ExitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

// Reads what the pipe holds now: false once it reached its end (or failed).
bool ReadAvailable(int fd, std::string& output) {
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof(buffer));
    if (got > 0) {
      output.append(buffer, size_t(got));
      continue;
    }
    if (got < 0 && errno == EINTR) {
      continue;
    }
    return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

} // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const WaitCallback& whileWaiting) {
  ProcessResult result;
  if (argv.empty()) {
    result.error = EINVAL;
    return result;
  }
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) {
    result.error = errno;
    return result;
  }
  Descriptor readEnd(ends[0]);
  Descriptor writeEnd(ends[1]);
  SpawnSetup setup;
  pid_t pid = -1;
  int error = setup.Prepare(writeEnd.Get(), false);
  if (error == 0) {
    error = setup.Spawn(argv, pid);
  }
  writeEnd.Close();
  if (error != 0) {
    result.error = error;
    return result;
  }
  result.started = true;
  fcntl(readEnd.Get(), F_SETFL, O_NONBLOCK); // a blocking read only waits longer

  bool reading = true;
  bool ended = false;
  int status = 0;
  bool terminated = false;
  while (!ended || reading) {
    if (reading) {
      pollfd wanted{readEnd.Get(), POLLIN, 0};
      const int ready = poll(&wanted, 1, kWaitSliceMs);
      if (ready > 0) {
        reading = ReadAvailable(readEnd.Get(), result.output);
      }
    } else {
      poll(nullptr, 0, kWaitSliceMs); // a pause between checks
    }
    if (!ended) {
      const pid_t done = waitpid(pid, &status, WNOHANG);
      if (done == pid || (done < 0 && errno != EINTR)) {
        ended = true;
        // The program is gone: what is in the pipe now is all it wrote (a child of its own
        // holding the pipe open must not keep us waiting).
        ReadAvailable(readEnd.Get(), result.output);
        reading = false;
        if (done < 0) {
          status = 0xFF00; // lost: report exit status 255
        }
      }
    }
    if (!ended && whileWaiting && !terminated && !whileWaiting()) {
      terminated = true;
      kill(pid, SIGTERM); // it may have ended meanwhile
    }
  }
  result.exitCode = ExitCodeOf(status);
  return result;
}

pid_t StartProcess(const std::vector<std::string>& argv) {
  if (argv.empty()) {
    return -1;
  }
  SpawnSetup setup;
  pid_t pid = -1;
  int error = setup.Prepare(-1, true);
  if (error == 0) {
    error = setup.Spawn(argv, pid);
  }
  if (error != 0) {
    return -1;
  }
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return pid;
}

} // namespace QZ::Platform::Process
