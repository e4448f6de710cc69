// The termination signals: each becomes a request on the watcher's thread, an ignored one
// stays ignored, the file-size signal is ignored while they are watched, everything is
// given back at the end, and a signal ends the process and what it started at once while
// an exit code is set.

#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Host/TerminationSignals.h"
#include "Support/WaitUntil.h"

extern char** environ;

namespace QZTest {
namespace {

namespace Host = QZ::Platform::Host;

using Handler = void (*)(int);

// Starts a shell that says "started process ended" on standard error when SIGTERM ends it,
// and ends by itself after 10 s should nothing end it; returns once its trap is set.
void StartShellThatSaysItEnded() {
  int ready[2];
  (void)!::pipe(ready);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, ready[1], STDOUT_FILENO);
  std::string script = "trap 'echo started process ended >&2; exit 0' TERM; echo ready; "
                       "for i in $(seq 200); do sleep 0.05; done";
  char shell[] = "sh";
  char option[] = "-c";
  char* argv[] = {shell, option, script.data(), nullptr};
  pid_t started = 0;
  posix_spawnp(&started, "sh", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  char byte = 0;
  (void)!::read(ready[0], &byte, 1);
}

Handler Disposition(int signal) {
  struct sigaction current {};
  ::sigaction(signal, nullptr, &current);
  return current.sa_handler;
}

// Each test starts from the default handling of the signals, whatever this process
// inherited, and gives back what it found.
class TerminationSignalsTest : public ::testing::Test {
protected:
  static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGXFSZ};
  void SetUp() override {
    for (int signal : kSignals) {
      mFound.push_back(::signal(signal, SIG_DFL));
    }
  }
  void TearDown() override {
    for (size_t i = 0; i < mFound.size(); ++i) {
      ::signal(kSignals[i], mFound[i]);
    }
  }

private:
  std::vector<Handler> mFound;
};

TEST_F(TerminationSignalsTest, EachSignalBecomesARequestOnTheWatchersThreadAndTheOldHandlingComesBack) {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<int> requests;
  std::thread::id requestThread;
  ASSERT_TRUE(Host::WatchTerminationSignals([&](int signal) {
    std::lock_guard lock(mutex);
    requests.push_back(signal);
    requestThread = std::this_thread::get_id();
    arrived.notify_all();
  }));
  EXPECT_FALSE(Host::WatchTerminationSignals({})) << "one watch at a time";
  EXPECT_EQ(Disposition(SIGXFSZ), SIG_IGN);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    ASSERT_EQ(::kill(::getpid(), signal), 0);
    std::unique_lock lock(mutex);
    EXPECT_TRUE(WaitUntil(lock, arrived, [&] { return !requests.empty() && requests.back() == signal; })) << signal;
  }
  EXPECT_TRUE(Host::TerminationRequested());
  EXPECT_NE(requestThread, std::this_thread::get_id());
  Host::StopWatchingTerminationSignals();
  EXPECT_FALSE(Host::TerminationRequested()) << "no watch, no request";
  for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGXFSZ}) {
    EXPECT_EQ(Disposition(signal), SIG_DFL) << signal;
  }
  EXPECT_EQ(requests, (std::vector<int>{SIGTERM, SIGINT, SIGHUP}));
}

TEST_F(TerminationSignalsTest, ASignalTheProcessWasStartedToIgnoreStaysIgnored) {
  ::signal(SIGHUP, SIG_IGN);
  ASSERT_TRUE(Host::WatchTerminationSignals({}));
  EXPECT_EQ(Disposition(SIGHUP), SIG_IGN);
  EXPECT_NE(Disposition(SIGTERM), SIG_DFL);
  Host::StopWatchingTerminationSignals();
  EXPECT_EQ(Disposition(SIGHUP), SIG_IGN);
}

using TerminationSignalsDeathTest = TerminationSignalsTest;

TEST_F(TerminationSignalsDeathTest, WhileAnExitCodeIsSetASignalEndsTheProcessWithIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        (void)Host::WatchTerminationSignals([](int) { std::_Exit(3); });
        Host::SetTerminationExitCode(7);
        ::raise(SIGTERM);
        for (;;) {
          ::pause(); // the watcher ends it
        }
      },
      testing::ExitedWithCode(7), "");
  // A process it started (as SDL's box is) ends with it: a shell that says so on SIGTERM,
  // and ends by itself after 10 s should nothing end it.
  EXPECT_EXIT(
      {
        (void)Host::WatchTerminationSignals([](int) { std::_Exit(3); });
        Host::SetTerminationExitCode(7);
        StartShellThatSaysItEnded();
        ::raise(SIGTERM);
        for (;;) {
          ::pause(); // the watcher ends it
        }
      },
      testing::ExitedWithCode(7), "started process ended");
  EXPECT_EXIT(
      {
        (void)Host::WatchTerminationSignals([](int) { std::_Exit(3); });
        Host::SetTerminationExitCode(7);
        Host::SetTerminationExitCode(-1);
        ::raise(SIGTERM);
        for (;;) {
          ::pause(); // the request ends it
        }
      },
      testing::ExitedWithCode(3), "");
}

} // namespace
} // namespace QZTest
