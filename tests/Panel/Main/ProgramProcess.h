#pragma once
// The program (quorin-ztr-preset-editor) run as a process by the tests: started with its
// environment changed as a test says, its standard error kept in a file, waited for.
//
//   ProgramProcess program({{"QZ_RESOURCE_FOLDER", resources}}, folder);
//   const ProgramProcess::Ended ended = program.Wait();   // ended.status, ended.errors
//
// The leak checker of the test build leaves out what fontconfig (its configuration, read
// once) and D-Bus (which SDL's X11 driver starts) keep until the process ends.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "Support/TempFolder.h"

extern char** environ;

namespace QZTest {

class ProgramProcess {
public:
  struct Ended {
    bool exited = false;
    int status = -1; // the exit status, or the signal that ended it
    std::string errors;
  };

  ProgramProcess(const std::map<std::string, std::string>& changes, const TempFolder& folder) : mFolder(folder) {
    std::map<std::string, std::string> all = changes;
    all.emplace("LSAN_OPTIONS", "suppressions=" + std::string(QZ_PROGRAM_LSAN_SUPPRESSIONS));
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable) {
      const std::string entry(*variable);
      if (!all.count(entry.substr(0, entry.find('=')))) {
        environment.push_back(entry);
      }
    }
    for (const auto& [name, value] : all) {
      environment.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) {
      envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::string program = QZ_EDITOR_PROGRAM;
    char* argv[] = {program.data(), nullptr};
    const std::string errors = folder / "program-stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&mPid, program.c_str(), &actions, nullptr, argv, envp.data()) != 0) {
      mPid = 0;
    }
    posix_spawn_file_actions_destroy(&actions);
  }
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;
  // A process still running is killed.
  ~ProgramProcess() {
    if (mPid != 0) {
      ::kill(mPid, SIGKILL);
      (void)Wait();
    }
  }

  bool Started() const { return mPid != 0; }
  pid_t Pid() const { return mPid; }
  // Asks the program to end, as the desktop's session or Ctrl+C does.
  void Interrupt() const { ::kill(mPid, SIGINT); }

  Ended Wait() {
    Ended ended;
    int status = 0;
    if (mPid == 0 || ::waitpid(mPid, &status, 0) != mPid) {
      return ended;
    }
    mPid = 0;
    ended.exited = WIFEXITED(status);
    ended.status = ended.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    ended.errors = mFolder.Read("program-stderr.txt");
    return ended;
  }

private:
  const TempFolder& mFolder;
  pid_t mPid = 0;
};

} // namespace QZTest
