#pragma once
// The processes below a process, as /proc tells them: its children, theirs, and so on;
// and process ids that stand-in programs note in files, signalled only when they name one
// process.
//
//   for (const pid_t box : QZTest::Descendants(program.Pid())) { ... }
//   QZTest::SignalProcess(QZTest::NotedPid(folder.Read("pid")), SIGKILL);
//
// A snapshot: processes may start and end while it is read. Any thread.

#include <signal.h>
#include <sys/types.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace QZTest {

inline std::vector<pid_t> Descendants(pid_t root) {
  std::map<pid_t, pid_t> parents;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    std::ifstream stat(entry.path() / "stat");
    std::string text;
    std::getline(stat, text);
    // "pid (name) state ppid ...": the name may hold anything but ends at the last ')'.
    const size_t close = text.rfind(')');
    std::istringstream fields(close == std::string::npos ? std::string() : text.substr(close + 1));
    std::string state;
    pid_t parent = 0;
    if (fields >> state >> parent) {
      parents[pid_t(std::atoi(entry.path().filename().c_str()))] = parent;
    }
  }
  std::vector<pid_t> found = {root};
  for (size_t i = 0; i < found.size(); ++i) {
    for (const auto& [pid, parent] : parents) {
      if (parent == found[i]) {
        found.push_back(pid);
      }
    }
  }
  found.erase(found.begin());
  return found;
}

// The process id a file holds ("1234\n", as "echo $$ > file" writes it); 0 for anything
// else, an empty or half-written file among them.
inline pid_t NotedPid(const std::string& text) {
  const size_t digits = std::min(text.find_first_not_of("0123456789"), text.size());
  if (digits == 0 || digits > 9 || (digits < text.size() && text.substr(digits) != "\n")) {
    return 0;
  }
  return pid_t(std::atoi(text.c_str()));
}

// Sends signal to pid when it is above 0; whether it was sent. kill(0, ...) would signal
// our own process group (the test runner with it), kill(-1, ...) every process we may.
inline bool SignalProcess(pid_t pid, int signal) { return pid > 0 && ::kill(pid, signal) == 0; }

} // namespace QZTest
