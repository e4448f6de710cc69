#include "Platform/Process/Process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "Support/StandInPrograms.h"
#include "Support/WaitUntil.h"

namespace {

using QZ::Platform::Process::ProcessResult;
using QZ::Platform::Process::RunProcess;
using QZ::Platform::Process::StartProcess;

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
  }
}

TEST(ProcessTest, AProgramNotOnThePathDoesNotStart) {
  QZTest::StandInPrograms nothing(QZTest::StandInPrograms::kAlone);
  const ProcessResult result = RunProcess({"zenity", "--file-selection"});
  EXPECT_FALSE(result.started);
  EXPECT_EQ(result.error, ENOENT);
  EXPECT_FALSE(RunProcess({}).started);
  EXPECT_LT(StartProcess({"xdg-open", "/tmp"}), 0);
  EXPECT_LT(StartProcess({}), 0);
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

TEST(ProcessTest, AStartedProgramIsCollectedWithoutWaiting) {
  const pid_t pid = StartProcess({"sh", "-c", "exit 3"});
  ASSERT_GT(pid, 0);
  // A zombie still answers kill 0: only a collected process is gone.
  EXPECT_TRUE(QZTest::WaitUntil([pid] { return kill(pid, 0) != 0 && errno == ESRCH; }))
      << "process " << pid << " left behind";
}

} // namespace
