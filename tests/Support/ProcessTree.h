#pragma once
// The processes below a process, as /proc tells them: its children, theirs, and so on.
//
//   for (const pid_t box : QZTest::Descendants(program.Pid())) { ... }
//
// A snapshot: processes may start and end while it is read. Any thread.

#include <sys/types.h>

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

} // namespace QZTest
