#pragma once
// An X server of the test's own (Xvfb with one screen), on a display number it picks itself;
// ended with the object. For what the fixture's server cannot show: a server that dies, a
// screen of another size.
//
//   QZTest::PrivateXServer server("2560x1440x24");
//   ASSERT_FALSE(server.Name().empty());          // ":<n>" once it listens
//   ... DISPLAY=server.Name() ...
//   server.Kill();                                // as a crash ends it

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace QZTest {

class PrivateXServer {
public:
  // screen: the size and depth of its one screen, as Xvfb's -screen takes it.
  explicit PrivateXServer(const std::string& screen = "1024x768x24") {
    int fds[2];
    if (::pipe(fds) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> arguments = {"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    if (posix_spawnp(&mPid, "Xvfb", &actions, nullptr, argv.data(), environ) != 0) {
      mPid = 0;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    // The server writes its number once it listens.
    pollfd readable{fds[0], POLLIN, 0};
    char text[16] = {};
    if (mPid != 0 && ::poll(&readable, 1, 20000) == 1 && ::read(fds[0], text, sizeof text - 1) > 0) {
      mName = ":" + std::to_string(std::atoi(text));
    }
    ::close(fds[0]);
  }
  ~PrivateXServer() { Kill(); }
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;

  const std::string& Name() const { return mName; }
  // Ends the server at once, as a crash does.
  void Kill() {
    if (mPid != 0) {
      ::kill(mPid, SIGKILL);
      ::waitpid(mPid, nullptr, 0);
      mPid = 0;
    }
  }

private:
  pid_t mPid = 0;
  std::string mName;
};

} // namespace QZTest
