#include "Platform/Process/Process.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <limits>
#include <memory>
#include <set>

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

// A process of the test's own that, once told a target, traces it and does nothing more.
// The kernel keeps target's end for its tracer, so that its parent cannot collect it,
// whatever ends it, until the tracer goes: as with a program that SIGKILL cannot end at
// once (stuck in the kernel on a hung mount). It is forked where it is made, and its
// parent-death signal fires when the thread that forked it ends: made on the test's own
// thread, it lives as long as the test, not as long as a thread the test waits on.
class IdleTracer {
public:
  IdleTracer() {
    int request[2];
    int answer[2];
    if (pipe2(request, O_CLOEXEC) != 0) {
      return;
    }
    if (pipe2(answer, O_CLOEXEC) != 0) {
      close(request[0]);
      close(request[1]);
      return;
    }
    const pid_t parent = getpid();
    mPid = fork();
    if (mPid == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlives a test that crashed
      if (getppid() != parent) {
        _exit(1);
      }
      pid_t target = 0;
      const bool told = read(request[0], &target, sizeof(target)) == ssize_t(sizeof(target)) && target > 0;
      const char attached = told && ptrace(PTRACE_SEIZE, target, nullptr, nullptr) == 0 ? 'y' : 'n';
      (void)!write(answer[1], &attached, 1);
      for (;;) {
        pause();
      }
    }
    close(request[0]);
    close(answer[1]);
    mRequest = request[1];
    mAnswer = answer[0];
  }
  ~IdleTracer() {
    if (mPid > 0) {
      kill(mPid, SIGKILL);
      waitpid(mPid, nullptr, 0);
    }
    for (const int fd : {mRequest, mAnswer}) {
      if (fd >= 0) {
        close(fd);
      }
    }
  }
  IdleTracer(const IdleTracer&) = delete;
  IdleTracer& operator=(const IdleTracer&) = delete;

  // Has the tracer trace target (any thread, once): whether it attached.
  bool Trace(pid_t target) const {
    char attached = 'n';
    return mPid > 0 && write(mRequest, &target, sizeof(target)) == ssize_t(sizeof(target)) &&
           read(mAnswer, &attached, 1) == 1 && attached == 'y';
  }
  pid_t Pid() const { return mPid; }

private:
  pid_t mPid = -1;
  int mRequest = -1;
  int mAnswer = -1;
};

// Our peak resident memory (VmHWM) in bytes; 0 when it cannot be read.
size_t PeakResident() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return size_t(std::stoull(line.substr(6))) * 1024; // "VmHWM:  1234 kB"
    }
  }
  return 0;
}

// Starts the peak anew at what is resident now (where the kernel refuses, the peak so far
// stays: a growth measured from it is no larger than the real one).
void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

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

TEST(ProcessTest, AProgramInASessionOfItsOwnIsOutOfOurProcessGroupAndOneWithoutIsIn) {
  // Ctrl+C in a terminal goes to its foreground process group, and closing the terminal
  // to its session: a program started in a session of its own gets neither.
  const std::vector<std::string> ids{"sh", "-c",
                                     "read -r _ _ _ _ group session _ < /proc/$$/stat; echo $$ $group $session"};
  RunOptions options;
  options.newSession = true;
  for (const bool own : {true, false}) {
    options.newSession = own;
    const ProcessResult result = RunProcess(ids, options);
    ASSERT_EQ(result.exitCode, 0) << own;
    long pid = 0;
    long group = 0;
    long session = 0;
    ASSERT_EQ(std::sscanf(result.output.c_str(), "%ld %ld %ld", &pid, &group, &session), 3) << result.output;
    if (own) {
      EXPECT_EQ(group, pid) << "leads a process group of its own";
      EXPECT_EQ(session, pid) << "leads a session of its own";
    } else {
      EXPECT_EQ(group, long(getpgrp()));
      EXPECT_EQ(session, long(getsid(0)));
    }
  }
}

TEST(ProcessTest, WhatAProgramWritesIsReadAsARegularFileWouldHoldIt) {
  // Programs that reopen their output (">> /dev/stdout", "> /dev/stderr"), seek in it or
  // close it, and sizes from nothing up to the most that is read.
  struct Case {
    std::string script;
    std::string output;
    std::string errors;
  } cases[] = {
      {"printf abc", "abc", ""},
      {"printf x", "x", ""},
      {"true", "", ""},
      {"echo one; echo two >> /dev/stdout; echo three >> /dev/stdout", "one\ntwo\nthree\n", ""},
      {"echo noise; echo answer > /dev/stdout", "answer\n", ""},
      {"set -e; echo said > /dev/stderr; echo more >> /dev/stderr; echo done", "done\n", "said\nmore\n"},
      {"perl -e 'syswrite STDOUT, \"abcdef\"; sysseek STDOUT, 0, 0; syswrite STDOUT, \"XY\"'", "XYcdef", ""},
      {"exec >&-; echo lost 2>/dev/null; echo closed >&2", "", "closed\n"},
  };
  RunOptions options;
  options.keepErrors = true;
  for (const Case& c : cases) {
    const ProcessResult result = RunProcess({"sh", "-c", c.script}, options);
    ASSERT_TRUE(result.started) << c.script;
    EXPECT_EQ(result.output, c.output) << c.script;
    EXPECT_EQ(result.errors, c.errors) << c.script;
  }
  for (const size_t size : {size_t(64) * 1024, size_t(16) << 20}) {
    const ProcessResult result =
        RunProcess({"sh", "-c", "head -c " + std::to_string(size) + " /dev/zero | tr '\\0' x"}, options);
    EXPECT_EQ(result.exitCode, 0) << size;
    EXPECT_EQ(result.output.size(), size);
    EXPECT_EQ(result.output.find_first_not_of('x'), std::string::npos) << size;
  }
}

// Runs argv under a file-size limit of bytes (ours meanwhile: the child inherits it) and
// writes "[started, output size, exit code, signal]" to standard error once the limit is
// lifted again (the death test's standard error is a file).
void RunUnderFileSizeLimit(rlim_t bytes, const std::vector<std::string>& argv) {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  const rlim_t before = limit.rlim_cur;
  limit.rlim_cur = bytes;
  setrlimit(RLIMIT_FSIZE, &limit);
  const ProcessResult result = RunProcess(argv);
  limit.rlim_cur = before;
  setrlimit(RLIMIT_FSIZE, &limit);
  std::fprintf(stderr, "[%d %zu %d %d]", int(result.started), result.output.size(), result.exitCode, result.signal);
}

TEST(ProcessDeathTest, AFileSizeLimitIsTheChildsToMeetNotOurs) {
  // A limit that the caller's shell set (ulimit -f) is inherited: the child meets it as
  // SIGXFSZ when it writes past it, at the signal's default action whatever ours is; we
  // still start it and read what it wrote.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string xfsz = std::to_string(SIGXFSZ);
  EXPECT_EXIT(
      {
        signal(SIGXFSZ, SIG_IGN);
        RunUnderFileSizeLimit(1000000, {"head", "-c", "100", "/dev/zero"});
        RunUnderFileSizeLimit(1000000, {"head", "-c", "2000000", "/dev/zero"});
        RunUnderFileSizeLimit(0, {"true"});
        RunUnderFileSizeLimit(0, {"printf", "x"});
        std::_Exit(0);
      },
      testing::ExitedWithCode(0),
      "\\[1 100 0 0\\]\\[1 1000000 -1 " + xfsz + "\\]\\[1 0 0 0\\]\\[1 0 -1 " + xfsz + "\\]");
}

TEST(ProcessTest, AProgramThatWritesNowhereOfOursHasTheNullDeviceAndItsWritesSucceedAfterWeLeftIt) {
  // An opener and the browser it starts write for as long as they run, after we stopped
  // waiting and after we ended: into nothing of ours, and never to a write that fails.
  TempFolder folder;
  RunOptions options;
  options.bound = 100ms;
  options.keepErrors = true; // not looked at
  options.discardOutput = true;
  pid_t pid = 0;
  options.started = [&pid](pid_t started) { pid = started; };
  const std::string go = folder / "go";
  const std::string status = folder / "status";
  const ProcessResult result = RunProcess({"sh", "-c",
                                           "echo early; echo early >&2; while [ ! -f '" + go +
                                               "' ]; do sleep 0.02; done; head -c 20000000 /dev/zero; a=$?; head -c "
                                               "20000000 /dev/zero >&2; echo \"$a $?\" > '" +
                                               status + ".tmp'; mv '" + status + ".tmp' '" + status +
                                               "'; while [ -f '" + go + "' ]; do sleep 0.02; done"},
                                          options);
  ASSERT_TRUE(result.running);
  EXPECT_EQ(result.output, "");
  EXPECT_EQ(result.errors, "");
  for (const int descriptor : {0, 1, 2}) {
    char target[64] = {};
    const std::string link = "/proc/" + std::to_string(pid) + "/fd/" + std::to_string(descriptor);
    ASSERT_GT(readlink(link.c_str(), target, sizeof(target) - 1), 0) << link;
    EXPECT_STREQ(target, "/dev/null") << descriptor;
  }
  folder.Write("go", "");
  ASSERT_TRUE(QZTest::WaitUntil([&] { return folder.Exists("status"); }));
  EXPECT_EQ(folder.Read("status"), "0 0\n") << "a write failed";
  std::remove(go.c_str());
  EXPECT_TRUE(QZTest::WaitUntil([pid] { return Collected(pid); }));
}

TEST(ProcessTest, ExitStatusesComeThoughTheCallerLeftSigchldIgnored) {
  // exec keeps an ignored SIGCHLD: the kernel would collect our children itself.
  struct sigaction before {};
  sigaction(SIGCHLD, nullptr, &before);
  struct sigaction ignored {};
  ignored.sa_handler = SIG_IGN;
  struct sigaction noWait {};
  noWait.sa_handler = SIG_DFL;
  noWait.sa_flags = SA_NOCLDWAIT;
  for (const struct sigaction& disposition : {ignored, noWait}) {
    sigaction(SIGCHLD, &disposition, nullptr);
    EXPECT_EQ(RunProcess({"sh", "-c", "exit 0"}).exitCode, 0);
    EXPECT_EQ(RunProcess({"sh", "-c", "exit 3"}).exitCode, 3);
    struct sigaction now {};
    sigaction(SIGCHLD, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
    EXPECT_EQ(now.sa_flags & SA_NOCLDWAIT, 0);
  }
  sigaction(SIGCHLD, &before, nullptr);
}

TEST(ProcessTest, AProgramThatSigkillDoesNotEndAtOnceIsLeftToUsAfterTheGrace) {
  auto tracer = std::make_unique<IdleTracer>(); // before the waiting thread, on ours
  ASSERT_GT(tracer->Pid(), 0);
  bool attached = false;
  pid_t pid = 0;
  RunOptions options;
  options.killAfter = 100ms;
  options.whileWaiting = [] { return false; };
  options.started = [&](pid_t started) {
    pid = started;
    attached = tracer->Trace(started);
  };
  const Clock::time_point begun = Clock::now();
  std::future<ProcessResult> waited = std::async(std::launch::async, [&options] {
    return RunProcess({"sleep", "30"}, options);
  });
  if (waited.wait_for(5s) == std::future_status::timeout) {
    // A wait without end: the tracer's end lets it end, so that this fails rather than hangs.
    ADD_FAILURE() << "waited on past SIGKILL and its grace";
    kill(tracer->Pid(), SIGKILL);
  }
  const ProcessResult result = waited.get();
  const Clock::duration took = Clock::now() - begun;
  if (!attached) {
    // Yama's ptrace_scope 1 lets a process trace its descendants alone.
    GTEST_SKIP() << "the tracer may not attach to its sibling here (ptrace_scope)";
  }
  EXPECT_LT(took, 2s) << "waited on past SIGKILL and its grace";
  EXPECT_TRUE(result.running);
  EXPECT_FALSE(Collected(pid));
  tracer.reset();
  EXPECT_TRUE(QZTest::WaitUntil([pid] { return Collected(pid); })) << "never collected once it could be";
}

TEST(ProcessTest, AFileThatClaimsMoreThanTheBoundIsOverItAndCostsNoMoreMemoryThanTheBound) {
  // Files made large without being written (sparse: truncated, or one byte far past the
  // end), as a dialog program or a wrapper may leave them, up to the largest size a file
  // may claim; what the exit status says stays what it says.
  const std::string most = std::to_string(std::numeric_limits<off_t>::max()); // 8 EiB less a byte
  struct Case {
    std::string script;
    int exitCode;
    bool outputOver;
    std::string output;
    bool errorsOver;
  } cases[] = {
      {"truncate -s 64G /dev/stdout", 0, true, "", false},
      {"perl -e 'sysseek STDOUT, 1 << 40, 0; syswrite STDOUT, \"x\"'", 0, true, "", false},
      {"truncate -s " + most + " /dev/stdout", 0, true, "", false},
      {"echo /home/me/a.qzp; truncate -s 64G /dev/stdout; exit 1", 1, true, "", false}, // a cancel
      {"truncate -s 6E /dev/stderr; echo /home/me/a.qzp", 0, false, "/home/me/a.qzp\n", true},
      {"truncate -s 64G /dev/stdout; truncate -s " + most + " /dev/stderr", 0, true, "", true},
  };
  RunOptions options;
  options.keepErrors = true;
  for (const Case& c : cases) {
    ResetPeakResident();
    const size_t before = PeakResident();
    const ProcessResult result = RunProcess({"sh", "-c", c.script}, options);
    const size_t grown = PeakResident() - before;
    ASSERT_TRUE(result.started) << c.script;
    EXPECT_EQ(result.error, 0) << c.script;
    EXPECT_EQ(result.exitCode, c.exitCode) << c.script;
    EXPECT_EQ(result.outputOverLimit, c.outputOver) << c.script;
    EXPECT_EQ(result.output, c.output) << c.script;
    EXPECT_EQ(result.errorsOverLimit, c.errorsOver) << c.script;
    EXPECT_EQ(result.errors, c.errorsOver ? std::string(QZ::Platform::Process::kDefaultErrorsLimit, '\0') : "")
        << c.script;
    EXPECT_LE(grown, QZ::Platform::Process::kDefaultOutputLimit + (size_t(8) << 20)) << c.script;
  }
}

TEST(ProcessTest, AnOutputOfExactlyTheBoundIsReadWholeAndOneByteMoreIsOver) {
  RunOptions options;
  options.keepErrors = true;
  options.outputLimit = 1000;
  options.errorsLimit = 100;
  const auto bytes = [](size_t count, char byte) {
    return "head -c " + std::to_string(count) + " /dev/zero | tr '\\0' " + byte;
  };
  ProcessResult result =
      RunProcess({"sh", "-c", bytes(1000, 'a') + "; { printf begin; " + bytes(95, 'e') + "; } >&2"}, options);
  EXPECT_EQ(result.output, std::string(1000, 'a'));
  EXPECT_FALSE(result.outputOverLimit);
  EXPECT_EQ(result.errors, "begin" + std::string(95, 'e'));
  EXPECT_FALSE(result.errorsOverLimit);
  result = RunProcess({"sh", "-c", bytes(1001, 'a') + "; { printf begin; " + bytes(96, 'e') + "; } >&2"}, options);
  EXPECT_EQ(result.output, "");
  EXPECT_TRUE(result.outputOverLimit);
  EXPECT_EQ(result.errors, "begin" + std::string(95, 'e')) << "its start kept";
  EXPECT_TRUE(result.errorsOverLimit);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.error, 0);
}

TEST(ProcessTest, AnAnswerUpToTheDefaultBoundCostsAboutItsSize) {
  // An answer read whole is held once, not in a buffer that doubled to find its end; one
  // past the bound is read up to it and dropped.
  constexpr size_t kBound = QZ::Platform::Process::kDefaultOutputLimit;
  for (const size_t size : {size_t(4096), kBound, kBound + 1}) {
    ResetPeakResident();
    const size_t before = PeakResident();
    ProcessResult result = RunProcess({"head", "-c", std::to_string(size), "/dev/zero"});
    const size_t grown = PeakResident() - before;
    EXPECT_EQ(result.outputOverLimit, size > kBound) << size;
    EXPECT_EQ(result.output.size(), result.outputOverLimit ? 0 : size) << size;
    EXPECT_LE(result.output.capacity(), std::max(size + 1, size_t(4096))) << size;
    EXPECT_LE(grown, std::min(size, kBound) + (size_t(4) << 20)) << size;
  }
}

TEST(ProcessTest, ALimitBeyondWhatMemoryHoldsFailsTheReadWithoutThrowing) {
  RunOptions options;
  options.outputLimit = std::numeric_limits<size_t>::max();
  const std::string most = std::to_string(std::numeric_limits<off_t>::max());
  ProcessResult result;
  ASSERT_NO_THROW(result = RunProcess({"sh", "-c", "truncate -s " + most + " /dev/stdout"}, options));
  EXPECT_TRUE(result.started);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.error, ENOMEM);
  EXPECT_FALSE(result.outputOverLimit);
  EXPECT_EQ(result.output, "");
}

TEST(ProcessTest, AFileCutOrRewrittenWhileReadGivesNoMoreThanTheBound) {
  ProcessResult result = RunProcess({"sh", "-c", "echo abc; truncate -s 0 /dev/stdout"});
  EXPECT_EQ(result.output, "");
  EXPECT_FALSE(result.outputOverLimit);
  // Left running at the bound while it fills its output past the limit and cuts it again,
  // and writing on after we stopped reading: whatever we met is within the bound.
  TempFolder folder;
  const std::string go = folder / "go";
  const std::string status = folder / "status";
  RunOptions options;
  options.bound = 300ms;
  options.outputLimit = 1 << 20;
  pid_t pid = 0;
  options.started = [&pid](pid_t started) { pid = started; };
  result = RunProcess({"sh", "-c",
                       "while [ ! -f '" + go +
                           "' ]; do head -c 1100000 /dev/zero; : > /dev/stdout; done; echo late; "
                           "echo $? > '" +
                           status + ".tmp'; mv '" + status + ".tmp' '" + status + "'"},
                      options);
  ASSERT_TRUE(result.running);
  EXPECT_EQ(result.error, 0);
  EXPECT_LE(result.output.size(), options.outputLimit);
  EXPECT_TRUE(!result.outputOverLimit || result.output.empty());
  EXPECT_EQ(result.output.find_first_not_of('\0'), std::string::npos);
  folder.Write("go", "");
  ASSERT_TRUE(QZTest::WaitUntil([&] { return folder.Exists("status"); }));
  EXPECT_EQ(folder.Read("status"), "0\n") << "its late write failed";
  EXPECT_TRUE(QZTest::WaitUntil([pid] { return Collected(pid); }));
}

// The descriptors we hold, but the one that lists them.
std::set<int> OurDescriptors() {
  std::set<int> held;
  if (DIR* folder = opendir("/proc/self/fd")) {
    while (const dirent* entry = readdir(folder)) {
      if (entry->d_name[0] != '.' && std::atoi(entry->d_name) != dirfd(folder)) {
        held.insert(std::atoi(entry->d_name));
      }
    }
    closedir(folder);
  }
  return held;
}

// Runs a program with our standard input closed, then our standard output and error too:
// 0 when each time what it writes on each output is read, it holds no descriptor above 2
// but the folder it lists, and we hold the descriptors we held before; else a bit for each
// of these that failed.
int RunWithOurDescriptorsClosed() {
  RunOptions options;
  options.keepErrors = true;
  const std::vector<std::string> argv{"sh", "-c", "ls /proc/self/fd; printf said >&2"};
  int failed = 0;
  const auto run = [&](int shift) {
    const std::set<int> before = OurDescriptors();
    const ProcessResult result = RunProcess(argv, options);
    const std::set<int> after = OurDescriptors();
    failed |= (result.errors == "said" ? 0 : 1) << shift;
    failed |= (result.output == "0\n1\n2\n3\n" ? 0 : 2) << shift; // 3: the folder ls reads
    failed |= (after == before ? 0 : 4) << shift;
  };
  close(0);
  run(0);
  close(1);
  close(2);
  run(3);
  return failed;
}

TEST(ProcessDeathTest, WithOurStandardDescriptorsClosedARunReadsItsAnswerAndLeavesUsAsWeWere) {
  // A program started with its standard input closed (or all three): the memory files may
  // then be made at 0-2, which the child's own standard descriptors replace; each is moved
  // above them, and the low one closed again.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::_Exit(RunWithOurDescriptorsClosed()), testing::ExitedWithCode(0), "");
}

} // namespace
