// The host's message loop: its idle rules, what begins an idle period, how it ends, the
// window system's quit request, and a modal loop nested in it.

#include <chrono>

#include "HostTestSupport.h"
#include "Platform/Host/ModalLoop.h"

namespace QZTest {
namespace {

using Log = std::vector<std::string>;

class HostLoopTest : public HostRunTest {};

struct IdleCase {
  const char* name;
  bool moreWork;
  bool exiting;
  Log expected; // from the first idle pass on
};

TEST_F(HostLoopTest, IdlePassesFollowTheFrameworksAnswersThenTheLoopWaits) {
  const IdleCase cases[] = {
      {"always busy",
       true,
       false,
       {"DoIdleWork(true)", "OnIdle(0)=1", "DoIdleWork(false)", "OnIdle(1)=1", "DoIdleWork(false)", "OnIdle(2)=0",
        "wait", "ExitInstance"}},
      {"never busy", false, false, {"DoIdleWork(true)", "OnIdle(0)=0", "wait", "ExitInstance"}},
      {"exiting", true, true, {"OnIdle(0)=0", "wait", "ExitInstance"}},
  };
  for (const IdleCase& idle : cases) {
    SCOPED_TRACE(idle.name);
    script = AppScript();
    script.moreWork = [&idle](bool) { return idle.moreWork; };
    script.exiting = idle.exiting;
    Step(Quit);
    {
      TestHost host(SteppedServices());
      EXPECT_EQ(Run(), 0);
    }
    const std::string first = idle.exiting ? "OnIdle(0)=0" : "DoIdleWork(true)";
    Log fromIdle = script.From(first);
    ASSERT_GE(fromIdle.size(), idle.expected.size());
    fromIdle.resize(idle.expected.size());
    EXPECT_EQ(fromIdle, idle.expected);
    EXPECT_EQ(script.From("ExitInstance"), (Log{"ExitInstance", "RunMessageLoop=1", "RunApplicationShutdown"}));
  }
}

TEST_F(HostLoopTest, TimerTicksKeysAndPostsBeginIdlePeriodsExposesAndMovesInPlaceDoNot) {
  struct PeriodCase {
    const char* name;
    std::function<bool(Win::HWND)> step;
    bool beginsPeriod;
  };
  static constexpr uintptr_t kTimer = 7;
  const PeriodCase cases[] = {
      {"timer tick",
       [this](Win::HWND window) {
         Host::SetTimer(window, kTimer, 33); // a failed timer shows as a missing period
         backend->AdvanceTime(33);
         return true;
       },
       true},
      {"key",
       [this](Win::HWND window) {
         Host::KillTimer(window, kTimer); // the tick of the last step is enough
         backend->Push(KeyEvent(SDL_KEYDOWN, backend->SdlIdOf(window), SDLK_a, SDL_SCANCODE_A));
         return true;
       },
       true},
      {"posted message", [](Win::HWND window) { return Host::PostMessage(window, Win::WM_USER, 0, 0); }, true},
      {"expose",
       [this](Win::HWND window) {
         backend->Push(WindowEvent(backend->SdlIdOf(window), SDL_WINDOWEVENT_EXPOSED));
         return true;
       },
       false},
      {"move",
       [this](Win::HWND window) {
         backend->Push(MotionEvent(backend->SdlIdOf(window), 5, 6));
         return true;
       },
       true},
      {"move to the same point",
       [this](Win::HWND window) {
         backend->Push(MotionEvent(backend->SdlIdOf(window), 5, 6));
         return true;
       },
       false},
  };
  for (const PeriodCase& period : cases) {
    Step([this, &period] { return period.step(QZ::HostApp::Get()->GetMainWindow()); });
  }
  Step(Quit);
  std::vector<std::string> seen;
  script.windowHook = [&seen](Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) {
    seen.push_back(std::to_string(message));
    return Win::DefWindowProc(hwnd, message, wParam, lParam);
  };
  TestHost host(SteppedServices());
  EXPECT_EQ(Run(), 0);

  // The log after each step's wait, up to the next wait.
  std::vector<Log> afterStep;
  for (const std::string& entry : script.log) {
    if (entry == "wait") {
      afterStep.emplace_back();
    } else if (!afterStep.empty()) {
      afterStep.back().push_back(entry);
    }
  }
  ASSERT_EQ(afterStep.size(), std::size(cases) + 1);
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].name);
    const bool began = std::count(afterStep[i].begin(), afterStep[i].end(), "DoIdleWork(true)") == 1;
    EXPECT_EQ(began, cases[i].beginsPeriod);
  }
  const std::vector<std::string> dispatched = {std::to_string(Win::WM_TIMER), std::to_string(Win::WM_KEYDOWN),
                                               std::to_string(Win::WM_USER), std::to_string(Win::WM_PAINT),
                                               std::to_string(Win::WM_MOUSEMOVE)};
  for (const std::string& message : dispatched) {
    EXPECT_NE(std::find(seen.begin(), seen.end(), message), seen.end()) << "message " << message;
  }
}

TEST_F(HostLoopTest, OneTimerOfThirtyThreeMillisecondsGivesAboutThirtyIdleNotificationsASecond) {
  using Clock = std::chrono::steady_clock;
  script.mainWindowTimer = true;
  std::optional<Clock::time_point> start;
  int idleNotifications = 0;
  bool quitting = false;
  script.afterIdleWork = [&](StubApplication&) {
    const Clock::time_point now = Clock::now();
    if (!start) {
      start = now;
    }
    if (now - *start < std::chrono::seconds(1)) {
      idleNotifications = script.Heard(u"NID_IDLE");
    } else if (!quitting) {
      quitting = true;
      Host::PostQuitMessage(0);
    }
  };
  QZ::MFCFrameworkAppBase::Services services; // SDL itself, over the offscreen driver
  services.trace = &trace;
  TestHost host(services);
  EXPECT_EQ(Run(), 0);
  EXPECT_GE(idleNotifications, 25);
  EXPECT_LE(idleNotifications, 35);
}

TEST_F(HostLoopTest, AClosePostedBeforeTheQuitIsHandledBeforeTheLoopEnds) {
  Step([] {
    EXPECT_TRUE(Host::PostMessage(QZ::HostApp::Get()->GetMainWindow(), Win::WM_CLOSE, 0, 0));
    Host::PostQuitMessage(0);
    return true;
  });
  TestHost host(SteppedServices());
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(script.From("WM_CLOSE"), (Log{"WM_CLOSE", "ExitInstance", "RunMessageLoop=1", "RunApplicationShutdown"}));
  EXPECT_EQ(script.Count("ExitInstance"), 1);
  EXPECT_EQ(host.GetMainWindow(), nullptr);
}

TEST_F(HostLoopTest, TheWindowSystemsQuitEventAsksTheApplicationToExitAndTheLoopGoesOn) {
  Step([this] {
    backend->Push(OfType(SDL_QUIT));
    return true;
  });
  Step([this] {
    EXPECT_EQ(script.Heard(u"NID_APP_EXIT_REQ"), 1);
    return Quit();
  });
  TestHost host(SteppedServices());
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(script.Heard(u"NID_APP_EXIT_REQ"), 1);
  EXPECT_EQ(script.Count("wait"), 2);
}

// A dialog owned by the main window: its idle passes run the application's idle work by
// the loop's rule, and it records the keys it gets.
class Dialog : public Win::WindowProcedure {
public:
  Win::LRESULT WindowProc(Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) override {
    if (message == Win::WM_KICKIDLE) {
      const auto& application = static_cast<TestHost*>(QZ::HostApp::Get())->GetApplication();
      return Host::RunIdlePass(int32_t(lParam), [&](bool firstPass) { return application->DoIdleWork(firstPass); });
    }
    if (message == Win::WM_KEYDOWN) {
      ++keys;
      if (onKey) {
        onKey(hwnd);
      }
    }
    return Win::DefWindowProc(hwnd, message, wParam, lParam);
  }
  int keys = 0;
  std::function<void(Win::HWND)> onKey;
};

class ModalLoopTest : public HostLoopTest {
protected:
  // The main window opens the dialog's modal loop when it gets WM_USER.
  void OpenDialogOnUserMessage() {
    script.windowHook = [this](Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) {
      if (message == Win::WM_KEYDOWN) {
        ++ownerKeys;
      }
      if (message != Win::WM_USER) {
        return Win::DefWindowProc(hwnd, message, wParam, lParam);
      }
      dialogWindow = Win::CreateWindowEx(0, u"Dialog", Win::WS_CAPTION, 40, 40, 200, 100, hwnd, &dialog);
      Win::EnableWindow(hwnd, false);
      const int idleBefore = script.Heard(u"NID_IDLE");
      const int32_t result = Host::RunModalLoop(dialogWindow);
      idleInModalLoop = script.Heard(u"NID_IDLE") - idleBefore;
      Win::EnableWindow(hwnd, true);
      Win::DestroyWindow(dialogWindow);
      script.log.push_back("modal=" + std::to_string(result));
      return Win::LRESULT(0);
    };
    Step([] { return Host::PostMessage(QZ::HostApp::Get()->GetMainWindow(), Win::WM_USER, 0, 0); });
  }
  bool PushKeyTo(Win::HWND window) {
    backend->Push(KeyEvent(SDL_KEYDOWN, backend->SdlIdOf(window), SDLK_x, SDL_SCANCODE_X));
    return true;
  }

  Dialog dialog;
  Win::HWND dialogWindow = nullptr;
  int ownerKeys = 0;
  int idleInModalLoop = 0;
};

TEST_F(ModalLoopTest, IdlesOncePerPeriodDropsInputToTheDisabledOwnerAndEndsAtAQuitThatEndsTheOuterLoop) {
  OpenDialogOnUserMessage();
  Step([this] { return PushKeyTo(QZ::HostApp::Get()->GetMainWindow()); }); // dropped: no new period
  Step([this] { return PushKeyTo(dialogWindow); });                        // the second period
  Step(Quit);
  TestHost host(SteppedServices());
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(idleInModalLoop, 2);
  EXPECT_EQ(ownerKeys, 0);
  EXPECT_EQ(dialog.keys, 1);
  EXPECT_EQ(script.From("modal=-1"), (Log{"modal=-1", "ExitInstance", "RunMessageLoop=1", "RunApplicationShutdown"}));
}

TEST_F(ModalLoopTest, AHandlerThatEndsTheLoopReturnsFirstAndTheOpenerGetsTheResult) {
  OpenDialogOnUserMessage();
  dialog.onKey = [this](Win::HWND hwnd) {
    EXPECT_TRUE(Host::EndModalLoop(hwnd, 7));
    EXPECT_FALSE(Host::IsInModalLoop(hwnd));
    script.log.push_back("handler returns");
  };
  Step([this] { return PushKeyTo(dialogWindow); });
  Step(Quit);
  TestHost host(SteppedServices());
  EXPECT_EQ(Run(), 0);
  const Log tail = script.From("handler returns");
  ASSERT_GE(tail.size(), 2u);
  EXPECT_EQ(tail[1], "modal=7");
  EXPECT_EQ(Host::RunModalLoop(nullptr), -1);
}

TEST_F(ModalLoopTest, AWindowDestroyedWhileItsLoopRunsEndsTheLoop) {
  OpenDialogOnUserMessage();
  dialog.onKey = [](Win::HWND hwnd) { Win::DestroyWindow(hwnd); };
  Step([this] { return PushKeyTo(dialogWindow); });
  Step(Quit);
  TestHost host(SteppedServices());
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(script.From("modal=-1"), (Log{"modal=-1", "DoIdleWork(true)", "OnIdle(0)=0", "wait", "ExitInstance",
                                          "RunMessageLoop=1", "RunApplicationShutdown"}))
      << "the outer loop goes on to its own quit";
}

} // namespace
} // namespace QZTest
