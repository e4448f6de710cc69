// One editor per user, as processes under the Xvfb fixture: a second start hands its
// command line to the running one and ends at once without a window; a running one killed
// outright leaves the next start to become the running one.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "QZFramework/Application/ProgramEntry.h"
#include "Support/TempFolder.h"
#include "Support/WaitUntil.h"

extern char** environ;

namespace QZTest {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class InstanceProcessXvfbTest : public ::testing::Test {
protected:
  void SetUp() override {
    const char* displayFile = std::getenv("QZ_TEST_XVFB_DISPLAY_FILE");
    ASSERT_NE(displayFile, nullptr) << "runs under the Xvfb fixture";
    std::string number;
    std::ifstream(displayFile) >> number;
    ASSERT_FALSE(number.empty());
    const std::string runtime = folder / "runtime";
    ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
    mEnvironment = {{"DISPLAY", ":" + number},
                    {"SDL_VIDEODRIVER", "x11"},
                    {"XDG_RUNTIME_DIR", runtime},
                    {"XDG_CONFIG_HOME", folder / "config"},
                    {"QZ_RESOURCE_FOLDER", QZ_APPLICATION_TEST_DATA},
                    {"QZ_DEBUG_TRACE", "1"},
                    {"LANG", "C.UTF-8"}};
  }
  void TearDown() override {
    for (pid_t pid : mStarted) {
      if (::kill(pid, SIGKILL) == 0) {
        ::waitpid(pid, nullptr, 0);
      }
    }
  }

  // Starts the probe with arguments, its standard error into the file `errors`.
  pid_t StartProbe(const std::vector<std::string>& arguments, const std::string& errors) {
    std::vector<std::string> argvText = {QZ_APPLICATION_INSTANCE_PROBE};
    argvText.insert(argvText.end(), arguments.begin(), arguments.end());
    const pid_t pid = Spawn(argvText, folder / errors, "/dev/null");
    if (pid > 0) {
      mStarted.push_back(pid);
    }
    return pid;
  }
  // Whether the probe that writes its standard error into `errors` shows its window (it
  // says so). X connections made while another client connects can fail, so the window
  // is looked for only once no probe is starting.
  bool ProbeRuns(const std::string& errors) {
    return WaitUntil([&] { return folder.Read(errors).find("probe: running\n") != std::string::npos; });
  }
  // The visible windows of the probe titled "Vandrel". (This xdotool cannot match a
  // UTF-8 title by --name, which SDL's titles are: windows are found by class, then
  // named.)
  size_t VandrelWindows() {
    const std::string found = folder / "xdotool.out";
    const pid_t pid =
        Spawn({"xdotool", "search", "--onlyvisible", "--class", "ApplicationInstanceProbe", "getwindowname", "%@"},
              "/dev/null", found);
    EXPECT_GT(pid, 0) << "xdotool";
    ::waitpid(pid, nullptr, 0);
    size_t count = 0;
    std::istringstream in(folder.Read("xdotool.out"));
    for (std::string name; std::getline(in, name);) {
      count += name == "Vandrel";
    }
    return count;
  }
  // The exit status of pid once it ended within limit; nothing when it still runs.
  static std::optional<int> WaitExit(pid_t pid, std::chrono::milliseconds limit = kWaitBound) {
    int status = 0;
    if (!WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, limit)) {
      return std::nullopt;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  static bool Running(pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) == 0; }

  TempFolder folder;

private:
  pid_t Spawn(std::vector<std::string> arguments, const std::string& errors, const std::string& output) {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable) {
      const std::string entry(*variable);
      if (!mEnvironment.count(entry.substr(0, entry.find('=')))) {
        environment.push_back(entry);
      }
    }
    for (const auto& [name, value] : mEnvironment) {
      environment.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) {
      envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
  }

  std::map<std::string, std::string> mEnvironment;
  std::vector<pid_t> mStarted;
};

TEST_F(InstanceProcessXvfbTest, ASecondStartHandsItsLineOverAndAKilledFirstLeavesTheNextStartFirst) {
  const pid_t first = StartProbe({}, "first.txt");
  ASSERT_GT(first, 0);
  ASSERT_TRUE(ProbeRuns("first.txt")) << folder.Read("first.txt");
  ASSERT_TRUE(WaitUntil([&] { return VandrelWindows() == 1; }));

  const Clock::time_point started = Clock::now();
  const pid_t second = StartProbe({"a", "b"}, "second.txt");
  ASSERT_GT(second, 0);
  const std::optional<int> status = WaitExit(second);
  const Clock::duration took = Clock::now() - started;
  ASSERT_TRUE(status.has_value()) << "the second start still runs";
  EXPECT_EQ(*status, 0) << folder.Read("second.txt");
  EXPECT_EQ(folder.Read("second.txt").find("probe: running"), std::string::npos) << "it ran the application";
  // A sanitized start on a loaded machine takes about 2 s by itself; waiting out a connect or
  // read time-out more than once would pass 5 s.
  EXPECT_LT(took, 5s) << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
  EXPECT_EQ(VandrelWindows(), 1u);
  const std::string line =
      "Command line from another instance: " + QZ::QuoteCommandLineArgument(QZ_APPLICATION_INSTANCE_PROBE) + " a b\n";
  EXPECT_TRUE(WaitUntil([&] { return folder.Read("first.txt").find(line) != std::string::npos; }))
      << folder.Read("first.txt");
  EXPECT_TRUE(Running(first));

  ASSERT_EQ(::kill(first, SIGKILL), 0);
  EXPECT_EQ(WaitExit(first), 128 + SIGKILL);
  ASSERT_TRUE(WaitUntil([&] { return VandrelWindows() == 0; }));

  const pid_t third = StartProbe({"c"}, "third.txt");
  ASSERT_GT(third, 0);
  ASSERT_TRUE(ProbeRuns("third.txt")) << folder.Read("third.txt");
  EXPECT_TRUE(WaitUntil([&] { return VandrelWindows() == 1; }));
  EXPECT_TRUE(Running(third)) << folder.Read("third.txt");
  EXPECT_EQ(folder.Read("third.txt").find("Command line from another instance"), std::string::npos);
}

} // namespace
} // namespace QZTest
