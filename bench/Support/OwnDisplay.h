#pragma once
// An X server for the benchmarks that run programs with windows: the one DISPLAY names, else
// an Xvfb of the run's own, started before the first benchmark and stopped after the last.
//
//   int main(int argc, char** argv) {
//     QZBench::SharedDisplay();                          // before the first benchmark
//     ...
//   }
//   void BM_Program(benchmark::State& state) {
//     if (!QZBench::HasDisplay(state)) {
//       return;                                          // skipped: "no X server"
//     }
//     ...
//   }
//
// One thread.

#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "ProgramRun.h"

namespace QZBench {

// An X server for the benchmark when DISPLAY names none: Xvfb on a free display number with
// a screen large enough for the high-resolution skin, stopped with the object.
class OwnDisplay {
public:
  OwnDisplay() {
    const char* display = std::getenv("DISPLAY");
    if (display && *display) {
      return;
    }
    int fds[2];
    if (pipe(fds) != 0) {
      return;
    }
    mPid = Spawn(
        {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "2560x1800x24", "-nolisten", "tcp", "-noreset"},
        {});
    close(fds[1]);
    std::string number;
    char c = 0;
    pollfd wait{fds[0], POLLIN, 0};
    while (poll(&wait, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') {
      number += c;
    }
    close(fds[0]);
    if (!number.empty()) {
      setenv("DISPLAY", (":" + number).c_str(), 1);
    }
  }
  ~OwnDisplay() {
    if (mPid != 0) {
      kill(mPid, SIGTERM);
      waitpid(mPid, nullptr, 0);
      unsetenv("DISPLAY");
    }
  }
  OwnDisplay(const OwnDisplay&) = delete;
  OwnDisplay& operator=(const OwnDisplay&) = delete;

  bool Ready() const {
    const char* display = std::getenv("DISPLAY");
    return display && *display;
  }

private:
  pid_t mPid = 0;
};

// The run's X server, made at the first call and stopped as the program ends.
inline OwnDisplay& SharedDisplay() {
  static OwnDisplay display;
  return display;
}

// Whether the run has an X server; the benchmark is skipped with "no X server" when not.
inline bool HasDisplay(benchmark::State& state) {
  if (SharedDisplay().Ready()) {
    return true;
  }
  state.SkipWithError("no X server");
  return false;
}

} // namespace QZBench
