// zenity as the dialogs run it, over stand-in scripts: its answer is read however it
// writes it, what it says goes to the diagnostic sink with why a dialog failed, a failure
// says why for the owner, an owner on the X display is passed on, thread messages
// reach their handler while it runs, and a termination signal closes the dialog (a cancel),
// ends zenity, and lets no dialog start after it.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Host/MessageLoop.h"
#include "Platform/Host/MessagePump.h"
#include "Platform/Host/TerminationSignals.h"
#include "Platform/Shell/CommonDialogs.h"
#include "Support/ProcessTree.h"
#include "Support/ScriptedVideoBackend.h"
#include "Support/StandInPrograms.h"
#include "Support/WaitUntil.h"

namespace {

namespace Shell = QZ::Platform::Shell;
namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;
using namespace std::string_literals;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Arguments = std::vector<std::string>;

Shell::OPENFILENAMEW OpenRecord() {
  Shell::OPENFILENAMEW record;
  record.lpstrFilter = u"Presets (*.qzp)\0*.qzp\0\0"s;
  record.lpstrTitle = u"Load";
  record.lpstrInitialDir = u"/home/me";
  record.Flags = 0x881005;
  return record;
}

class ZenityProgramTest : public ::testing::Test {
protected:
  void SetUp() override {
    Shell::ForgetRefusedOwnerOptionsForTesting(); // each test's zenity is a new one
    Shell::SetDiagnosticSink([this](const std::string& line) {
      const std::lock_guard hold(mLock);
      lines.push_back(line);
    });
  }
  void TearDown() override { Shell::SetDiagnosticSink({}); }

  // A zenity that notes its process id and each run, then runs body.
  void Zenity(const std::string& body) const {
    programs.Add("zenity", "#!/bin/sh\necho $$ > '" + (programs.folder / "pid") + "'\necho run >> '" +
                               (programs.folder / "runs") + "'\n" + body + "\n");
  }
  pid_t ZenityPid() const {
    EXPECT_TRUE(QZTest::WaitUntil([this] { return !programs.folder.Read("pid").empty(); }));
    return QZTest::NotedPid(programs.folder.Read("pid"));
  }
  size_t Runs() const {
    const std::string runs = programs.folder.Read("runs");
    return size_t(std::count(runs.begin(), runs.end(), '\n'));
  }
  static bool Collected(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

  QZTest::StandInPrograms programs;
  std::mutex mLock;
  std::vector<std::string> lines;
};

TEST_F(ZenityProgramTest, WhatZenitySaysGoesToTheSinkNotToStandardErrorAndAFailureSaysWhy) {
  struct Case {
    std::string body;
    uint32_t error;
    std::vector<std::string> lines;
    std::string reason;
  } cases[] = {
      {"echo 'Gtk-WARNING: cannot open display' >&2; exit 5",
       Shell::CDERR_DIALOGFAILURE,
       {"zenity: Gtk-WARNING: cannot open display", "zenity: exit status 5"},
       "zenity ended with exit status 5"},
      {"kill -KILL $$",
       Shell::CDERR_DIALOGFAILURE,
       {"zenity: ended by signal 9"},
       "zenity was ended by signal 9 (Killed)"},
      {"echo", Shell::CDERR_DIALOGFAILURE, {}, "zenity answered without a file name"},
      {"echo /home/me/a.qzp; truncate -s 64G /dev/stdout",
       Shell::CDERR_DIALOGFAILURE,
       {"zenity: wrote more than 16 MiB as its answer"},
       "zenity wrote more than 16 MiB as its answer"},
      {"head -c 70000 /dev/zero | tr '\\0' x >&2; exit 1", // a cancel that says much
       0,
       {"zenity: " + std::string(64 * 1024, 'x'), "zenity: more on standard error than 64 KiB: the rest dropped"},
       ""},
      {"echo 'dconf-WARNING: no dbus' >&2; exit 1", 0, {"zenity: dconf-WARNING: no dbus"}, ""}, // a cancel
  };
  for (const Case& c : cases) {
    lines.clear();
    Zenity(c.body);
    Shell::OPENFILENAMEW record = OpenRecord();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Shell::GetOpenFileNameW(record));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.body;
    EXPECT_EQ(Shell::CommDlgExtendedError(), c.error) << c.body;
    EXPECT_EQ(lines, c.lines) << c.body;
    EXPECT_EQ(Shell::CommDlgFailureReason(), c.reason) << c.body;
  }
  // Missing, not executable, or a folder of that name alone on PATH: it cannot start.
  QZTest::StandInPrograms alone(QZTest::StandInPrograms::kAlone);
  enum class Kind { Missing, NotExecutable, Folder };
  const std::pair<Kind, const char*> unstartable[] = {{Kind::Missing, "No such file or directory"},
                                                      {Kind::NotExecutable, "Permission denied"},
                                                      {Kind::Folder, "Permission denied"}};
  for (const auto& [kind, why] : unstartable) {
    SCOPED_TRACE(int(kind));
    std::filesystem::remove_all(alone.folder / "zenity");
    if (kind == Kind::NotExecutable) {
      alone.folder.Write("zenity", "#!/bin/sh\necho /home/me/a.qzp\n"); // mode 0644
    } else if (kind == Kind::Folder) {
      std::filesystem::create_directory(alone.folder / "zenity");
    }
    lines.clear();
    Shell::OPENFILENAMEW record = OpenRecord();
    EXPECT_FALSE(Shell::GetOpenFileNameW(record));
    EXPECT_EQ(Shell::CommDlgExtendedError(), Shell::CDERR_INITIALIZATION);
    EXPECT_EQ(lines, Arguments{"zenity: did not start (" + std::string(why) + ")"});
    EXPECT_EQ(Shell::CommDlgFailureReason(), "zenity could not be started (" + std::string(why) + ")");
  }
}

TEST_F(ZenityProgramTest, TheAnswerIsReadHoweverZenityWritesIt) {
  // Through a reopened standard output (appended to, or truncated), after messages on a
  // reopened standard error under set -e, and without the newline zenity ends it with.
  const std::string bodies[] = {
      "echo /home/me/a.qzp >> /dev/stdout",
      "echo noise; echo /home/me/a.qzp > /dev/stdout",
      "set -e; echo 'Gtk-Message: portal' > /dev/stderr; echo /home/me/a.qzp",
      "printf /home/me/a.qzp",
  };
  for (const std::string& body : bodies) {
    Zenity(body);
    Shell::OPENFILENAMEW record = OpenRecord();
    EXPECT_TRUE(Shell::GetOpenFileNameW(record)) << body;
    EXPECT_EQ(record.lpstrFile, u"/home/me/a.qzp") << body;
    record = OpenRecord();
    record.lpstrDefExt = u"qzp";
    EXPECT_TRUE(Shell::GetSaveFileNameW(record)) << body;
    EXPECT_EQ(record.lpstrFile, u"/home/me/a.qzp") << body;
  }
  Zenity("printf '/home/me/a.qzp\\n/home/me/b.qzp'");
  Shell::OPENFILENAMEW record = OpenRecord();
  record.Flags |= Shell::OFN_ALLOWMULTISELECT;
  EXPECT_TRUE(Shell::GetOpenFileNameW(record));
  EXPECT_EQ(record.lpstrFile, u"/home/me\0a.qzp\0b.qzp\0\0"s);
}

TEST_F(ZenityProgramTest, AnOwnerOnTheXDisplayMakesTheDialogModalAndAttachedToIt) {
  Shell::OPENFILENAMEW record = OpenRecord();
  const Arguments open = Shell::ZenityFileSelectionArguments(false, record, 0x3C00007);
  ASSERT_GE(open.size(), 2u);
  EXPECT_EQ(Arguments(open.end() - 2, open.end()), (Arguments{"--modal", "--attach=62914567"}));
  const Arguments save = Shell::ZenityFileSelectionArguments(true, record, 0x3C00007);
  EXPECT_EQ(Arguments(save.end() - 2, save.end()), (Arguments{"--modal", "--attach=62914567"}));
  const Arguments alone = Shell::ZenityFileSelectionArguments(false, record);
  EXPECT_EQ(std::count(alone.begin(), alone.end(), "--modal"), 0) << "no owner: neither";
}

using ZenityProgramDeathTest = ZenityProgramTest;

TEST_F(ZenityProgramDeathTest, ATerminationSignalClosesTheDialogEndsEvenADeafZenityAndNoDialogStartsAfter) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Zenity("trap '' TERM\nfor i in $(seq 500); do sleep 0.02; done"); // ends by itself should nothing kill it
  EXPECT_EXIT(
      {
        const Shell::ShellTimes before = Shell::SetShellTimes({5000ms, 200ms});
        if (!Host::WatchTerminationSignals({})) {
          std::_Exit(2);
        }
        std::thread signaller([this] {
          ZenityPid();
          kill(getpid(), SIGTERM);
        });
        Shell::OPENFILENAMEW record = OpenRecord();
        const Clock::time_point begun = Clock::now();
        const bool chosen = Shell::GetOpenFileNameW(record);
        const bool prompt = Clock::now() - begun < 10s;
        signaller.join();
        const bool ended = Collected(ZenityPid());
        const uint32_t error = Shell::CommDlgExtendedError();
        Shell::OPENFILENAMEW again = OpenRecord();
        const bool chosenAgain = Shell::GetSaveFileNameW(again);
        Shell::SetShellTimes(before);
        std::fprintf(stderr, "chosen %d error %u prompt %d ended %d again %d runs %zu\n", int(chosen), error,
                     int(prompt), int(ended), int(chosenAgain), Runs());
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "chosen 0 error 0 prompt 1 ended 1 again 0 runs 1");
}

// With the window layer running: thread messages reach their handler while zenity runs
// (the quit request a termination signal's watcher posts is one).
class ZenityQueueTest : public ZenityProgramTest {
protected:
  void SetUp() override {
    ZenityProgramTest::SetUp();
    ASSERT_TRUE(Host::Startup(std::make_unique<QZTest::ScriptedVideoBackend>()));
  }
  void TearDown() override {
    Host::SetThreadMessageHandler({});
    Host::Shutdown();
    ZenityProgramTest::TearDown();
  }
};

TEST_F(ZenityQueueTest, ThreadMessagesReachTheirHandlerWhileTheDialogRuns) {
  constexpr uint32_t kMessage = Win::WM_QZ_QUITREQUESTED;
  std::vector<uint32_t> heard;
  Host::SetThreadMessageHandler([&](const Win::MSG& msg) {
    heard.push_back(msg.message);
    programs.folder.Write("heard", "");
  });
  // zenity answers once the message was heard (at most 10 s).
  Zenity("for i in $(seq 1000); do [ -f '" + (programs.folder / "heard") +
         "' ] && { echo /home/me/a.qzp; exit 0; }; sleep 0.01; done\nexit 5");
  ASSERT_TRUE(Host::PostThreadMessage(kMessage, 15, 0));
  Shell::OPENFILENAMEW record = OpenRecord();
  EXPECT_TRUE(Shell::GetOpenFileNameW(record));
  EXPECT_EQ(heard, std::vector<uint32_t>{kMessage});
}

// With an owner window on a (scripted) X display: zenity is told the owner, and its windows
// are looked for so as to make them the owner's.
class ZenityOnXDisplayTest : public ZenityProgramTest, public Win::WindowProcedure {
protected:
  static constexpr unsigned long kOwnerXWindow = 0x3C00007;

  class Backend : public QZTest::ScriptedVideoBackend {
  public:
    unsigned long GetXWindow(uint32_t) override { return kOwnerXWindow; }
    int32_t OwnProcessWindows(uint32_t, int32_t) override {
      searches.push_back(Clock::now());
      return searches.size() >= foundAt || (shown && shown(searches)) ? 1 : 0;
    }
    std::vector<Clock::time_point> searches;
    size_t foundAt = SIZE_MAX; // the search that finds zenity's windows
    // Else, whether they are shown at the last of these searches.
    std::function<bool(const std::vector<Clock::time_point>& searches)> shown;
  };

  void SetUp() override {
    ZenityProgramTest::SetUp();
    auto made = std::make_unique<Backend>();
    backend = made.get();
    ASSERT_TRUE(Host::Startup(std::move(made)));
    owner = Win::CreateWindowEx(0, u"owner", Win::WS_CAPTION | Win::WS_VISIBLE, 100, 50, 200, 100, nullptr, this);
    ASSERT_NE(owner, nullptr);
  }
  void TearDown() override {
    Host::Shutdown();
    ZenityProgramTest::TearDown();
  }
  Win::LRESULT WindowProc(Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) override {
    return Win::DefWindowProc(hwnd, message, wParam, lParam);
  }

  Shell::OPENFILENAMEW OwnedRecord() const {
    Shell::OPENFILENAMEW record = OpenRecord();
    record.hwndOwner = owner;
    return record;
  }
  // Each run's arguments, one line a run.
  std::vector<std::string> RunArguments() const {
    std::vector<std::string> runs;
    std::string all = programs.folder.Read("arguments");
    for (size_t start = 0; start < all.size();) {
      const size_t end = all.find('\n', start);
      runs.push_back(all.substr(start, end - start));
      start = end + 1;
    }
    return runs;
  }

  Backend* backend = nullptr;
  Win::HWND owner = nullptr;
};

TEST_F(ZenityOnXDisplayTest, AZenityThatRefusesTheOwnerOptionsShowsTheDialogOnceMoreWithoutThem) {
  const std::string note = "echo \"$*\" >> '" + (programs.folder / "arguments") + "'\n";
  // One that refuses everything: one failure, as before, and no endless retry.
  Zenity(note + "echo 'This option is not available. Please see --help for all possible usages.' >&2; exit 255");
  Shell::OPENFILENAMEW record = OwnedRecord();
  EXPECT_FALSE(Shell::GetOpenFileNameW(record));
  EXPECT_EQ(Shell::CommDlgExtendedError(), Shell::CDERR_DIALOGFAILURE);
  ASSERT_EQ(RunArguments().size(), 2u);
  EXPECT_EQ(lines.back(), "zenity: exit status 255");

  // One that lacks --attach: the dialog shows again without the owner options, and the
  // chosen path comes back; the next dialog goes without them at once.
  programs.folder.Write("arguments", "");
  Zenity(note + "case \"$*\" in *--attach=*) echo 'This option is not available.' >&2; exit 255;; esac\n"
                "echo /home/me/a.qzp");
  lines.clear();
  record = OwnedRecord();
  ASSERT_TRUE(Shell::GetOpenFileNameW(record));
  EXPECT_EQ(record.lpstrFile, u"/home/me/a.qzp");
  std::vector<std::string> runs = RunArguments();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_NE(runs[0].find("--modal --attach=62914567"), std::string::npos) << runs[0];
  EXPECT_EQ(runs[1].find("--attach"), std::string::npos) << runs[1];
  EXPECT_EQ(runs[1].find("--modal"), std::string::npos) << runs[1];
  EXPECT_EQ(lines,
            (std::vector<std::string>{"zenity: This option is not available.",
                                      "zenity: exit status 255 with its owner options: shown again without them"}));
  record = OwnedRecord();
  record.lpstrDefExt = u"qzp";
  ASSERT_TRUE(Shell::GetSaveFileNameW(record));
  runs = RunArguments();
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[2].find("--attach"), std::string::npos) << runs[2];
}

TEST_F(ZenityOnXDisplayTest, ZenitysWindowsAreLookedForLessAndLessOftenAndNoMoreOnceFound) {
  const Shell::ShellTimes before = Shell::SetShellTimes({5000ms, 300ms, 200ms, 300ms});
  // A zenity that shows nothing on our display for 1.5 s (a GTK 4 zenity on Wayland).
  Zenity("sleep 1.5; echo /home/me/a.qzp");
  Shell::OPENFILENAMEW record = OwnedRecord();
  ASSERT_TRUE(Shell::GetOpenFileNameW(record));
  ASSERT_GE(backend->searches.size(), 3u);
  const Clock::time_point first = backend->searches.front();
  const size_t fast = size_t(std::count_if(backend->searches.begin(), backend->searches.end(),
                                           [&](Clock::time_point at) { return at - first < 200ms; }));
  const size_t slow = backend->searches.size() - fast;
  // About every 20 ms (one each wait slice) at first; then 40, 80, 160 ms apart and 300
  // ms at most: about 6 in the remaining 1.3 s where every slice would make 65.
  EXPECT_GE(fast, 3u);
  EXPECT_LE(slow, 10u) << "still looking at every slice";
  EXPECT_GE(slow, 3u) << "gave up looking";
  EXPECT_GE(backend->searches.back() - first, 1000ms) << "gave up looking";

  // Found at the third look: no look after it.
  backend->searches.clear();
  backend->foundAt = 3;
  Zenity("sleep 0.5; echo /home/me/a.qzp");
  record = OwnedRecord();
  ASSERT_TRUE(Shell::GetOpenFileNameW(record));
  EXPECT_EQ(backend->searches.size(), 3u);
  Shell::SetShellTimes(before);
}

// zenity's windows map just after the first search for which mapsAfter answers true: the
// search that finds them, and when they mapped. zenity answers once they are found.
struct Mapping {
  Clock::time_point mapped;
  Clock::time_point found;
};

class ZenityWindowMappingTest : public ZenityOnXDisplayTest {
protected:
  Mapping MapAndFind(const Shell::ShellTimes& times,
                     const std::function<bool(const std::vector<Clock::time_point>&)>& mapsAfter) {
    const Shell::ShellTimes before = Shell::SetShellTimes(times);
    const std::string owned = programs.folder / "owned";
    std::optional<Clock::time_point> mapped;
    Mapping mapping;
    backend->shown = [&](const std::vector<Clock::time_point>& searches) {
      if (mapped) {
        mapping.found = searches.back();
        programs.folder.Write("owned", "");
        return true;
      }
      if (mapsAfter(searches)) {
        mapped = searches.back();
      }
      return false;
    };
    Zenity("for i in $(seq 1000); do [ -f '" + owned + "' ] && { echo /home/me/a.qzp; exit 0; }; sleep 0.01; done");
    Shell::OPENFILENAMEW record = OwnedRecord();
    EXPECT_TRUE(Shell::GetOpenFileNameW(record));
    Shell::SetShellTimes(before);
    EXPECT_TRUE(mapped) << "never mapped";
    mapping.mapped = mapped.value_or(Clock::time_point());
    return mapping;
  }
};

// A wait slice and the time a loaded machine may take beyond it.
constexpr auto kPumpSlack = 150ms;

TEST_F(ZenityWindowMappingTest, AWindowThatMapsInTheFastPhaseIsFoundAtTheNextPumpOrTwo) {
  const Mapping mapping = MapAndFind({5000ms, 300ms, 2000ms, 1000ms}, [](const auto& searches) {
    return searches.size() == 5; // about 100 ms in
  });
  EXPECT_LT(mapping.mapped - backend->searches.front(), 2000ms) << "not in the fast phase";
  EXPECT_LE(mapping.found - mapping.mapped, kPumpSlack) << "looked for at a doubled interval";
}

TEST_F(ZenityWindowMappingTest, AWindowThatMapsLaterIsFoundWithinTheSlowestIntervalAndAPump) {
  const Mapping mapping = MapAndFind({5000ms, 300ms, 200ms, 300ms}, [](const auto& searches) {
    return searches.back() - searches.front() >= 1000ms; // the interval is at its slowest by then
  });
  EXPECT_LE(mapping.found - mapping.mapped, 300ms + kPumpSlack);
}

} // namespace
