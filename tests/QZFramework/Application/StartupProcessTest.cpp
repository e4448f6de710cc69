// A program built as the editor is ends a failed start-up as a process should: one clear
// message, exit status 1, no signal.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "HostTestSupport.h"

extern char** environ;

namespace QZTest {
namespace {

struct Ended {
  bool exited = false;
  int status = -1;
  std::string errors;
};

// Runs the program with the environment changed as given; its standard error in a file.
Ended RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& changes, const TempFolder& folder) {
  std::vector<std::string> environment;
  for (char** variable = environ; *variable; ++variable) {
    const std::string entry(*variable);
    if (!changes.count(entry.substr(0, entry.find('=')))) {
      environment.push_back(entry);
    }
  }
  for (const auto& [name, value] : changes) {
    environment.push_back(name + "=" + value);
  }
  std::vector<char*> envp;
  for (std::string& entry : environment) {
    envp.push_back(entry.data());
  }
  envp.push_back(nullptr);
  std::vector<std::string> argvText = {program};
  argvText.insert(argvText.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& entry : argvText) {
    argv.push_back(entry.data());
  }
  argv.push_back(nullptr);

  const std::string errorsPath = folder / "stderr.txt";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  Ended ended;
  const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << program;
    return ended;
  }
  int status = 0;
  EXPECT_EQ(::waitpid(child, &status, 0), child);
  ended.exited = WIFEXITED(status);
  ended.status = ended.exited ? WEXITSTATUS(status) : WTERMSIG(status);
  ended.errors = folder.Read("stderr.txt");
  return ended;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

TEST(StartupProcessTest, AMissingSkinEndsTheProgramWithTheFailureTextAndExitStatusOne) {
  TempFolder folder;
  const std::string resources = folder / "resources";
  std::filesystem::create_directories(resources);
  for (const char* name : {"FrameworkStrings.xml", "StringTables.xml"}) {
    std::filesystem::copy_file(std::string(QZ_PROGRAM_DOCUMENTS) + "/" + name, resources + "/" + name);
  }
  const Ended ended = RunProgram(QZ_APPLICATION_STARTUP_PROBE, {"-x"},
                                 {{"SDL_VIDEODRIVER", "offscreen"},
                                  {"QZ_RESOURCE_FOLDER", resources},
                                  {"XDG_CONFIG_HOME", folder / "config"},
                                  {"LANG", "C"},
                                  {"LC_ALL", ""},
                                  {"LC_MESSAGES", ""},
                                  {"LSAN_OPTIONS", "suppressions=" + std::string(QZ_APPLICATION_TEST_DATA) +
                                                       "/../xvfb-lsan-suppressions.txt:print_suppressions=0"}},
                                 folder);
  EXPECT_TRUE(ended.exited) << "ended by signal " << ended.status;
  EXPECT_EQ(ended.status, 1);
  // The cause, the failure text, then the error box, which goes to standard error without
  // a display.
  EXPECT_EQ(Lines(ended.errors),
            (std::vector<std::string>{resources + "/Skins.xml: the skin document cannot be read (missing, empty or "
                                                  "not readable)",
                                      "Failed Result : QZRESULT = 80004005 : QZ::MFCFrameworkApp<class "
                                      "LApplication>::InitApplication : Application/ApplicationBaseWin : Line 169",
                                      "Error: The application encountered problems during startup and will now "
                                      "close."}))
      << ended.errors;
}

} // namespace
} // namespace QZTest
