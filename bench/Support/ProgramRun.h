#pragma once
// For benchmarks that run whole programs (the editor, the reference programs): a program
// started with its environment changed and its standard error read line by line as it
// arrives, and what the system says it costs (CPU time of all its threads, resident memory by
// kind). Support/OwnDisplay.h gives them an X server.
//
//   QZBench::RunningProgram program({"/path/to/program", "arg"}, {{"HOME", home}});
//   if (program.WaitForLine("first frame", std::chrono::seconds(20))) {
//     double cpu = program.CpuSeconds();
//   }
//   program.Stop();                                     // SIGINT, then SIGKILL after 5 s
//
// One thread.

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace QZBench {

using Clock = std::chrono::steady_clock;

// Spawns argv with the environment changed by changes (an empty value removes a variable);
// stdin and stdout from and to /dev/null, stderr to errFd when not -1. 0 when it could not
// be started.
inline pid_t Spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& changes,
                   int errFd = -1) {
  std::vector<std::string> environment;
  for (char** variable = environ; *variable; ++variable) {
    const std::string entry(*variable);
    if (!changes.count(entry.substr(0, entry.find('=')))) {
      environment.push_back(entry);
    }
  }
  for (const auto& [name, value] : changes) {
    if (!value.empty()) {
      environment.push_back(name + "=" + value);
    }
  }
  std::vector<char*> envp;
  for (std::string& entry : environment) {
    envp.push_back(entry.data());
  }
  envp.push_back(nullptr);
  std::vector<std::string> arguments = argv;
  std::vector<char*> args;
  for (std::string& argument : arguments) {
    args.push_back(argument.data());
  }
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  if (errFd != -1) {
    posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
  }
  pid_t pid = 0;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) {
    pid = 0;
  }
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Resident memory of a process in MB, as /proc/<pid>/status gives it.
struct Memory {
  double resident = 0.0;
  double anonymous = 0.0; // the heap and other private memory
  double file = 0.0;      // code and read-only data of the program and its libraries
  double shared = 0.0;    // shared memory: the window's pixels lent to the X server
};

inline Memory MemoryOf(pid_t pid) {
  Memory memory;
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    std::istringstream fields(line);
    std::string name;
    double kilobytes = 0.0;
    fields >> name >> kilobytes;
    const double megabytes = kilobytes / 1024.0;
    if (name == "VmRSS:") {
      memory.resident = megabytes;
    } else if (name == "RssAnon:") {
      memory.anonymous = megabytes;
    } else if (name == "RssFile:") {
      memory.file = megabytes;
    } else if (name == "RssShmem:") {
      memory.shared = megabytes;
    }
  }
  return memory;
}

// CPU time of every thread of a process so far, in seconds (the scheduler's nanosecond count).
inline double CpuSecondsOf(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  double seconds = 0.0;
  if (DIR* folder = opendir(tasks.c_str())) {
    while (dirent* entry = readdir(folder)) {
      if (entry->d_name[0] == '.') {
        continue;
      }
      std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
      double nanoseconds = 0.0;
      if (stat >> nanoseconds) {
        seconds += nanoseconds * 1e-9;
      }
    }
    closedir(folder);
  }
  return seconds;
}

class RunningProgram {
public:
  struct Line {
    std::string text;
    Clock::time_point arrived;
  };

  RunningProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& changes) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      return;
    }
    mStarted = Clock::now();
    mPid = Spawn(argv, changes, fds[1]);
    close(fds[1]);
    mErr = fds[0];
  }
  ~RunningProgram() {
    Stop();
    if (mErr != -1) {
      close(mErr);
    }
  }
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  pid_t Pid() const { return mPid; }
  Clock::time_point Started() const { return mStarted; }
  const std::vector<Line>& Lines() const { return mLines; }

  // Reads stderr until a line starting with prefix arrives (true) or the time is up, the
  // program ends or closes stderr (false).
  bool WaitForLine(const std::string& prefix, Clock::duration limit) {
    const Clock::time_point until = Clock::now() + limit;
    for (size_t next = 0;; ++next) {
      while (next >= mLines.size()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0 || !ReadSome(int(left))) {
          return false;
        }
      }
      if (mLines[next].text.rfind(prefix, 0) == 0) {
        return true;
      }
    }
  }
  // The lines that arrive in the next while, read as they come (so that the program never
  // blocks on a full pipe).
  void ReadFor(Clock::duration time) {
    const Clock::time_point until = Clock::now() + time;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
      if (left <= 0 || !ReadSome(int(left))) {
        return;
      }
    }
  }

  double CpuSeconds() const { return mPid ? CpuSecondsOf(mPid) : 0.0; }
  Memory ResidentMemory() const { return mPid ? MemoryOf(mPid) : Memory{}; }

  // SIGINT (the window system's quit request), then SIGKILL when it has not ended after
  // 5 s. Whether it ended by itself.
  bool Stop() {
    if (mPid == 0) {
      return true;
    }
    kill(mPid, SIGINT);
    bool ended = false;
    for (int i = 0; i < 500 && !ended; ++i) {
      ended = waitpid(mPid, nullptr, WNOHANG) == mPid;
      if (!ended) {
        ReadSome(10);
      }
    }
    if (!ended) {
      kill(mPid, SIGKILL);
      waitpid(mPid, nullptr, 0);
    }
    mPid = 0;
    return ended;
  }

private:
  // Waits up to timeoutMs for bytes on stderr and splits what came into lines. False when
  // nothing came in that time or stderr is closed.
  bool ReadSome(int timeoutMs) {
    if (mErr == -1) {
      return false;
    }
    pollfd wait{mErr, POLLIN, 0};
    if (poll(&wait, 1, timeoutMs) != 1) {
      return false;
    }
    char buffer[4096];
    const ssize_t count = read(mErr, buffer, sizeof buffer);
    if (count <= 0) {
      close(mErr);
      mErr = -1;
      return false;
    }
    const Clock::time_point now = Clock::now();
    mPartial.append(buffer, size_t(count));
    for (size_t end; (end = mPartial.find('\n')) != std::string::npos;) {
      mLines.push_back({mPartial.substr(0, end), now});
      mPartial.erase(0, end + 1);
    }
    return true;
  }

  pid_t mPid = 0;
  int mErr = -1;
  Clock::time_point mStarted;
  std::string mPartial;
  std::vector<Line> mLines;
};

// The median of values (0 for none).
inline double Median(std::vector<double> values) {
  if (values.empty()) {
    return 0.0;
  }
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

} // namespace QZBench
