#pragma once
// Programs of a test's own in place of the desktop's (zenity, xdg-open): recording scripts
// in a temporary folder put at the front of PATH (or alone on it) for the object's
// lifetime. Each run of a recorder notes its arguments exactly as it received them, then
// prints the answer set for its first argument and exits with that answer's code.
//
//   QZTest::StandInPrograms programs;                  // PATH = <folder>:<PATH before>
//   programs.AddRecorder("zenity");
//   programs.Answer("zenity", "--file-selection", "/tmp/a.qzp\n", 0);
//   ... code that runs zenity ...
//   programs.Runs("zenity")[0];                         // {"--file-selection", "--title=Open", ...}
//
//   QZTest::StandInPrograms nothing(QZTest::StandInPrograms::kAlone);   // PATH holds no program

#include <stdlib.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "Support/TempFolder.h"
#include "Support/WaitUntil.h"

namespace QZTest {

class StandInPrograms {
public:
  static constexpr bool kAlone = true;

  explicit StandInPrograms(bool alone = false) {
    const char* path = getenv("PATH");
    mHadPath = path != nullptr;
    mPath = path ? path : "";
    const std::string programs = folder.Path() + (alone || mPath.empty() ? "" : ":" + mPath);
    setenv("PATH", programs.c_str(), 1);
  }
  ~StandInPrograms() {
    if (mHadPath) {
      setenv("PATH", mPath.c_str(), 1);
    } else {
      unsetenv("PATH");
    }
  }
  StandInPrograms(const StandInPrograms&) = delete;
  StandInPrograms& operator=(const StandInPrograms&) = delete;

  // An executable script named name.
  void Add(const std::string& name, const std::string& script) const {
    const std::string path = folder.Write(name, script);
    chmod(path.c_str(), 0755);
  }
  // A program that records each run and answers by its first argument (no answer set: no
  // output, exit code 0).
  void AddRecorder(const std::string& name) const {
    const std::string base = folder / name;
    Add(name, "#!/bin/sh\n"
              "{ for argument in \"$@\"; do printf '%s\\036' \"$argument\"; done; printf '\\035'; } >> '" +
                  base +
                  ".runs'\n"
                  "answer='" +
                  base +
                  ".answer'\"$1\"\n"
                  "[ -f \"$answer.out\" ] && cat \"$answer.out\"\n"
                  "[ -f \"$answer.code\" ] && exit \"$(cat \"$answer.code\")\"\n"
                  "exit 0\n");
  }
  // What the recorder name prints, and its exit code, when its first argument is first.
  void Answer(const std::string& name, const std::string& first, const std::string& output, int exitCode) const {
    folder.Write(name + ".answer" + first + ".out", output);
    folder.Write(name + ".answer" + first + ".code", std::to_string(exitCode));
  }
  // The arguments of each run of the recorder name, in the order of the runs.
  std::vector<std::vector<std::string>> Runs(const std::string& name) const {
    std::vector<std::vector<std::string>> runs;
    std::vector<std::string> run;
    std::string argument;
    for (char c : folder.Read(name + ".runs")) {
      if (c == '\036') {
        run.push_back(argument);
        argument.clear();
      } else if (c == '\035') {
        runs.push_back(run);
        run.clear();
      } else {
        argument += c;
      }
    }
    return runs;
  }
  // Waits until the recorder name has recorded count runs (WaitUntil's bound): whether it did.
  bool WaitForRuns(const std::string& name, size_t count) const {
    return WaitUntil([&] { return Runs(name).size() >= count; });
  }

  TempFolder folder;

private:
  bool mHadPath = false;
  std::string mPath;
};

} // namespace QZTest
