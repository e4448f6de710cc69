#include "Platform/Process/Process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "Support/StandInPrograms.h"
#include "Support/TempFolder.h"
#include "Support/WaitUntil.h"

namespace {

using QZ::Platform::Process::ProcessResult;
using QZ::Platform::Process::RunOptions;
using QZ::Platform::Process::RunProcess;
using QZTest::TempFolder;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Whether the process is gone, collected (a zombie still answers kill 0).
bool Collected(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

TEST(ProcessTest, ArgumentsReachTheProgramAsTheyAre) {
  const std::vector<std::string> tricky{"it's \"quoted\"", "$(touch /tmp/qz-never)", "a b;c|d", "", "*", "\n"};
  std::vector<std::string> argv{"printf", "[%s]"};
  argv.insert(argv.end(), tricky.begin(), tricky.end());
  const ProcessResult result = RunProcess(argv);
  ASSERT_TRUE(result.started);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output, "[it's \"quoted\"][$(touch /tmp/qz-never)][a b;c|d][][*][\n]");
}

TEST(ProcessTest, ExitCodesAndSignals) {
  struct Case {
    const char* script;
    int exitCode;
  } cases[] = {{"exit 0", 0}, {"exit 1", 1}, {"exit 5", 5}, {"exit 255", 255}, {"kill -KILL $$", -1}};
  for (const Case& c : cases) {
    const ProcessResult result = RunProcess({"sh", "-c", c.script});
    EXPECT_TRUE(result.started) << c.script;
    EXPECT_EQ(result.exitCode, c.exitCode) << c.script;
    EXPECT_EQ(result.signal, c.exitCode < 0 ? SIGKILL : 0) << c.script;
    EXPECT_FALSE(result.running) << c.script;
  }
}

TEST(ProcessTest, AProgramNotOnThePathDoesNotStart) {
  QZTest::StandInPrograms nothing(QZTest::StandInPrograms::kAlone);
  const ProcessResult result = RunProcess({"zenity", "--file-selection"});
  EXPECT_FALSE(result.started);
  EXPECT_EQ(result.error, ENOENT);
  EXPECT_FALSE(RunProcess({}).started);
}

TEST(ProcessTest, OutputLargerThanThePipeIsReadWhole) {
  const ProcessResult result = RunProcess({"head", "-c", "1000000", "/dev/zero"});
  ASSERT_TRUE(result.started);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output.size(), 1000000u);
}

TEST(ProcessTest, TheWaitCallbackRunsWhileTheProgramRunsAndCanEndIt) {
  int calls = 0;
  const auto started = std::chrono::steady_clock::now();
  const ProcessResult result = RunProcess({"sleep", "30"}, [&calls] { return ++calls < 3; });
  EXPECT_TRUE(result.started);
  EXPECT_EQ(result.exitCode, -1) << "ended by SIGTERM";
  EXPECT_GE(calls, 3);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
}

TEST(ProcessTest, TheChildHasNoneOfOurDescriptorsAndReadsNothing) {
  const int ours = open("/dev/null", O_RDONLY); // not close-on-exec
  ASSERT_GE(ours, 3);
  const ProcessResult result = RunProcess({"sh", "-c", "ls /proc/self/fd; cat"});
  close(ours);
  ASSERT_TRUE(result.started);
  EXPECT_EQ(result.exitCode, 0);
  // 0, 1, 2 and the folder ls reads; cat ends at once on /dev/null.
  EXPECT_EQ(result.output, "0\n1\n2\n3\n");
}

TEST(ProcessTest, AProgramStillRunningAtTheBoundIsLeftRunningAndCollectedWhenItEnds) {
  TempFolder folder;
  const std::string go = folder / "go";
  pid_t pid = 0;
  RunOptions options;
  options.bound = 200ms;
  options.keepErrors = true;
  options.started = [&pid](pid_t started) { pid = started; };
  const Clock::time_point begun = Clock::now();
  const ProcessResult result = RunProcess(
      {"sh", "-c", "echo early; echo complaint >&2; while [ ! -f '" + go + "' ]; do sleep 0.02; done"}, options);
  EXPECT_LT(Clock::now() - begun, 5s) << "waited past the bound";
  ASSERT_TRUE(result.started);
  EXPECT_TRUE(result.running);
  EXPECT_EQ(result.exitCode, -1);
  EXPECT_EQ(result.output, "early\n") << "what it wrote by the bound";
  EXPECT_EQ(result.errors, "complaint\n");
  ASSERT_GT(pid, 0);
  EXPECT_FALSE(Collected(pid)) << "left running";
  folder.Write("go", "");
  EXPECT_TRUE(QZTest::WaitUntil([pid] { return Collected(pid); })) << "process " << pid << " left behind";
}

TEST(ProcessTest, AStoppedWaitEndsTheProgramAndKillsOneDeafToSigtermOrLeavesItRunningWhenAsked) {
  RunOptions options;
  int calls = 0;
  options.whileWaiting = [&calls] { return ++calls < 3; };
  options.killAfter = 100ms;
  const Clock::time_point begun = Clock::now();
  ProcessResult result = RunProcess({"sh", "-c", "trap '' TERM; while :; do sleep 0.02; done"}, options);
  EXPECT_LT(Clock::now() - begun, 5s);
  EXPECT_TRUE(result.started);
  EXPECT_FALSE(result.running);
  EXPECT_EQ(result.signal, SIGKILL) << "deaf to SIGTERM";
  EXPECT_EQ(calls, 3) << "not asked again once stopped";

  pid_t pid = 0;
  calls = 0;
  options.leaveRunning = true;
  options.started = [&pid](pid_t started) { pid = started; };
  result = RunProcess({"sleep", "30"}, options);
  EXPECT_TRUE(result.running);
  ASSERT_GT(pid, 0);
  EXPECT_FALSE(Collected(pid));
  kill(pid, SIGKILL);
  EXPECT_TRUE(QZTest::WaitUntil([pid] { return Collected(pid); }));
}

TEST(ProcessTest, AChildThatKeepsTheOutputNeitherHoldsTheWaitNorMeetsAClosedPipe) {
  TempFolder folder;
  const std::string status = folder / "status";
  RunOptions options;
  options.keepErrors = true;
  // The child writes on after the program ended and its output was read: a pipe would
  // be closed by then and kill it (SIGPIPE), as it would a browser that xdg-open starts.
  const Clock::time_point begun = Clock::now();
  const ProcessResult result = RunProcess({"sh", "-c",
                                           "(sleep 2; echo late; echo late >&2; echo \"$?\" > '" + status +
                                               ".tmp'; mv '" + status + ".tmp' '" + status + "') & echo now"},
                                          options);
  EXPECT_LT(Clock::now() - begun, 1500ms) << "the child held the wait";
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output, "now\n");
  ASSERT_TRUE(QZTest::WaitUntil([&] { return folder.Exists("status"); }));
  EXPECT_EQ(folder.Read("status"), "0\n") << "the late writes succeeded";
}

} // namespace
