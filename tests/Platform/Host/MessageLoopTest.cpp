// The message queue on one thread: its order, quit, dropped input, the key state as
// messages are taken, typed control characters, paint and timers; the pump's memory of the
// last move.

#include <string>

#include "HostTestSupport.h"
#include "Platform/Host/MessagePump.h"
#include "Platform/Window/EventSource.h"
#include "Platform/Window/Input.h"

namespace {

using namespace QZ::Platform::Window;
namespace Host = QZ::Platform::Host;
using QZTest::KeyEvent;

class MessageLoopTest : public QZTest::MessageQueueTest {};

TEST_F(MessageLoopTest, PostedThenQuitThenInputThenPaintThenTimers) {
  ASSERT_EQ(Host::SetTimer(hwnd, 7, 30), 7u);
  script->AdvanceTime(30);
  InvalidateRect(hwnd, nullptr, false);
  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_a));
  ASSERT_TRUE(Host::PostMessage(hwnd, WM_USER + 1, 11, 12));
  Host::PostQuitMessage(3);
  ASSERT_TRUE(Host::PostThreadMessage(WM_USER + 2, 0, 0));

  MSG msg;
  ASSERT_TRUE(Host::PeekMessage(&msg, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER + 1);
  ASSERT_TRUE(Host::PeekMessage(&msg, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 1) << "the one peeked at";
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_EQ(msg.wParam, 11u);
  EXPECT_EQ(msg.lParam, 12);
  EXPECT_EQ(Host::GetMessage(&msg), 1);
  EXPECT_EQ(msg.message, WM_USER + 2) << "posted before the quit comes out";
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(Host::GetMessage(&msg), 0);
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_EQ(Host::GetMessage(&msg), 1);
  EXPECT_EQ(msg.message, WM_KEYDOWN);
  EXPECT_EQ(Host::GetMessage(&msg), 1);
  EXPECT_EQ(msg.message, WM_PAINT);
  EXPECT_EQ(Host::GetMessage(&msg), 1);
  EXPECT_EQ(msg.message, WM_PAINT) << "until the window is validated";
  Host::DispatchMessage(&msg);
  EXPECT_EQ(Host::GetMessage(&msg), 1);
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_FALSE(Host::PeekMessage(&msg, PM_REMOVE));
  EXPECT_EQ(window.Messages(), (std::vector<uint32_t>{WM_PAINT}));
}

TEST_F(MessageLoopTest, InputForADisabledWindowIsDroppedButTheKeyStateFollows) {
  EnableWindow(hwnd, false);
  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_LCTRL));
  script->Push(QZTest::ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, 5, 5));
  script->Push(QZTest::TextEvent(id, "x"));
  script->Push(QZTest::WindowEvent(id, SDL_WINDOWEVENT_CLOSE));
  script->Push(QZTest::DropFileEvent(id, "/tmp/dropped"));
  script->Push(QZTest::OfType(SDL_DROPCOMPLETE, id));
  script->Push(QZTest::WindowEvent(id, SDL_WINDOWEVENT_SIZE_CHANGED, 300, 200));
  EXPECT_EQ(MessagesOf(Pump()), (std::vector<uint32_t>{WM_SIZE, WM_PAINT}));
  EXPECT_EQ(window.Messages(), (std::vector<uint32_t>{WM_SIZE, WM_PAINT})) << "window messages still arrive";
  EXPECT_LT(GetKeyState(VK_CONTROL), 0);
  EXPECT_LT(GetKeyState(VK_LBUTTON), 0);

  EnableWindow(hwnd, true);
  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_b));
  const std::vector<MSG> taken = Pump();
  EXPECT_EQ(MessagesOf(taken), (std::vector<uint32_t>{WM_KEYDOWN, WM_CHAR}));
  EXPECT_EQ(taken.back().wParam, 0x02u) << "Ctrl is still held";
}

TEST_F(MessageLoopTest, TheKeyStateChangesAsEachMessageIsTaken) {
  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_LCTRL));
  script->Push(KeyEvent(SDL_KEYDOWN, id, SDLK_s));
  script->Push(KeyEvent(SDL_KEYUP, id, SDLK_LCTRL));
  MSG msg;
  ASSERT_TRUE(Host::PeekMessage(&msg, PM_NOREMOVE));
  EXPECT_GE(GetKeyState(VK_CONTROL), 0) << "looking does not take";
  Pump();
  ASSERT_EQ(window.Messages(), (std::vector<uint32_t>{WM_KEYDOWN, WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
  EXPECT_TRUE(window.delivered[0].controlDown);
  EXPECT_EQ(window.delivered[1].wParam, WPARAM('S'));
  EXPECT_TRUE(window.delivered[1].controlDown);
  EXPECT_EQ(window.delivered[2].wParam, 0x13u);
  EXPECT_FALSE(window.delivered[3].controlDown);
}

TEST_F(MessageLoopTest, TranslateMessageTypesTheControlCharactersNext) {
  struct TypedCase {
    const char* name;
    std::vector<SDL_Keycode> held;
    SDL_Keycode key;
    std::vector<std::pair<uint32_t, WPARAM>> typed; // after the key message
  };
  const TypedCase cases[] = {
      {"Enter", {}, SDLK_RETURN, {{WM_CHAR, 0x0D}}},
      {"Ctrl+Enter", {SDLK_LCTRL}, SDLK_RETURN, {{WM_CHAR, 0x0A}}},
      {"Backspace", {}, SDLK_BACKSPACE, {{WM_CHAR, 0x08}}},
      {"Ctrl+Backspace", {SDLK_RCTRL}, SDLK_BACKSPACE, {{WM_CHAR, 0x7F}}},
      {"Tab", {}, SDLK_TAB, {{WM_CHAR, 0x09}}},
      {"Ctrl+Tab", {SDLK_LCTRL}, SDLK_TAB, {}},
      {"Escape", {}, SDLK_ESCAPE, {{WM_CHAR, 0x1B}}},
      {"Ctrl+Shift+S", {SDLK_LCTRL, SDLK_LSHIFT}, SDLK_s, {{WM_CHAR, 0x13}}},
      {"Ctrl+]", {SDLK_LCTRL}, SDLK_RIGHTBRACKET, {{WM_CHAR, 0x1D}}},
      {"Alt+Backspace", {SDLK_LALT}, SDLK_BACKSPACE, {{WM_SYSCHAR, 0x08}}},
      {"Ctrl+Alt+S", {SDLK_LCTRL, SDLK_LALT}, SDLK_s, {}},
      {"S alone: SDL types it", {}, SDLK_s, {}},
      {"F1", {}, SDLK_F1, {}},
  };
  for (const TypedCase& test : cases) {
    SCOPED_TRACE(test.name);
    for (SDL_Keycode key : test.held) {
      script->Push(KeyEvent(SDL_KEYDOWN, id, key));
    }
    Pump();
    window.delivered.clear();
    script->Push(KeyEvent(SDL_KEYDOWN, id, test.key));
    script->Push(KeyEvent(SDL_KEYUP, id, test.key));
    Pump();
    std::vector<std::pair<uint32_t, WPARAM>> typed;
    for (size_t i = 1; i + 1 < window.delivered.size(); ++i) {
      typed.emplace_back(window.delivered[i].message, window.delivered[i].wParam);
    }
    EXPECT_EQ(typed, test.typed);
    ASSERT_FALSE(window.delivered.empty());
    EXPECT_TRUE(window.delivered.back().message == WM_KEYUP || window.delivered.back().message == WM_SYSKEYUP);
    for (SDL_Keycode key : test.held) {
      script->Push(KeyEvent(SDL_KEYUP, id, key));
    }
    Pump();
  }
}

TEST_F(MessageLoopTest, PaintComesForVisibleWindowsUntilValidated) {
  QZTest::HookedWindow hidden;
  const HWND other = CreateWindowEx(0, u"hidden", WS_POPUP, 0, 0, 10, 10, nullptr, &hidden);
  InvalidateRect(other, nullptr, false);
  EXPECT_TRUE(Pump().empty()) << "hidden windows are not painted";
  ShowWindow(other, SW_SHOWNA);
  EXPECT_EQ(MessagesOf(Pump()), (std::vector<uint32_t>{WM_PAINT})) << "validated by the default handling";
  EXPECT_FALSE(GetUpdateRect(other, nullptr, false));
  script->windowStates[script->SdlIdOf(other)] = SDL_WINDOW_MINIMIZED;
  InvalidateRect(other, nullptr, false);
  EXPECT_TRUE(Pump().empty()) << "nor minimised ones";
  DestroyWindow(other);
}

TEST_F(MessageLoopTest, TimersFireOncePerDueTimeAndEndWithTheirWindow) {
  EXPECT_EQ(Host::SetTimer(hwnd, 0, 33), 0u) << "id 0";
  ASSERT_EQ(Host::SetTimer(hwnd, 1, 33), 1u);
  ASSERT_EQ(Host::SetTimer(nullptr, 9, 5), 9u);
  MSG msg;
  EXPECT_FALSE(Host::PeekMessage(&msg, PM_REMOVE));
  // GetMessage waits (the fake clock jumps to the next due time) for the thread timer,
  // whose period is raised to 10 ms.
  ASSERT_EQ(Host::GetMessage(&msg), 1);
  EXPECT_EQ(msg.message, WM_TIMER);
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(msg.wParam, 9u);
  EXPECT_EQ(msg.time, 1010u);
  EXPECT_TRUE(Host::KillTimer(nullptr, 9));
  EXPECT_FALSE(Host::KillTimer(nullptr, 9));

  ASSERT_EQ(Host::GetMessage(&msg), 1);
  EXPECT_EQ(msg.wParam, 1u);
  EXPECT_EQ(msg.time, 1033u);
  // Late by three periods: one WM_TIMER, then the next one period after now.
  script->AdvanceTime(100);
  EXPECT_EQ(MessagesOf(Pump()), (std::vector<uint32_t>{WM_TIMER}));
  script->AdvanceTime(32);
  EXPECT_TRUE(Pump().empty());
  script->AdvanceTime(1);
  EXPECT_EQ(MessagesOf(Pump()), (std::vector<uint32_t>{WM_TIMER}));
  // On time: the period counts from the due time.
  script->AdvanceTime(40);
  EXPECT_EQ(MessagesOf(Pump()), (std::vector<uint32_t>{WM_TIMER}));
  script->AdvanceTime(26);
  EXPECT_EQ(MessagesOf(Pump()), (std::vector<uint32_t>{WM_TIMER}));

  QZTest::HookedWindow otherProcedure;
  const HWND other = CreateWindowEx(0, u"other", WS_POPUP, 0, 0, 10, 10, nullptr, &otherProcedure);
  ASSERT_EQ(Host::SetTimer(other, 1, 10), 1u);
  DestroyWindow(other);
  EXPECT_EQ(Host::SetTimer(other, 1, 10), 0u);
  EXPECT_TRUE(Host::KillTimer(hwnd, 1));
  script->AdvanceTime(1000);
  EXPECT_TRUE(Pump().empty()) << "the dead window's timer died with it";
}

TEST_F(MessageLoopTest, PostingToADeadWindowFailsAndQueuedMessagesForItAreDropped) {
  QZTest::HookedWindow otherProcedure;
  const HWND other = CreateWindowEx(0, u"other", WS_POPUP, 0, 0, 10, 10, nullptr, &otherProcedure);
  script->Push(KeyEvent(SDL_KEYDOWN, script->SdlIdOf(other), SDLK_z));
  MSG msg;
  ASSERT_TRUE(Host::PeekMessage(&msg, PM_NOREMOVE));
  ASSERT_TRUE(Host::PostMessage(other, WM_USER, 0, 0));
  DestroyWindow(other);
  EXPECT_FALSE(Host::PostMessage(other, WM_USER, 0, 0));
  EXPECT_EQ(MessagesOf(Pump()), (std::vector<uint32_t>{WM_USER})) << "a posted message keeps its dead handle";
  EXPECT_EQ(otherProcedure.Messages(), (std::vector<uint32_t>{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(Host::DispatchMessage(&msg), 0);
}

TEST_F(MessageLoopTest, SdlsQuitEventIsAThreadMessageAndDropsAreFreedWhenNotDelivered) {
  script->Push(QZTest::OfType(SDL_QUIT));
  script->Push(QZTest::DropFileEvent(id, "/tmp/never/taken"));
  script->Push(QZTest::OfType(SDL_DROPCOMPLETE, id));
  MSG msg;
  ASSERT_EQ(Host::GetMessage(&msg), 1);
  EXPECT_EQ(msg.message, WM_QZ_QUITREQUESTED);
  EXPECT_EQ(msg.hwnd, nullptr);
  ASSERT_TRUE(Host::PeekMessage(&msg, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_DROPFILES);
  // Left in the queue: Shutdown frees it (LeakSanitizer would tell otherwise).
}

// A window system whose events wait on its side until read (PumpEvents, or the wait),
// counting the reads: the scripted events stand for what the server sent.
class ReadCountingBackend : public QZTest::ScriptedVideoBackend {
public:
  void PumpEvents() override {
    ++reads;
    SDL_Event event;
    while (ScriptedVideoBackend::PollEvent(event)) {
      read.push_back(event);
    }
  }
  bool TakeQueuedEvent(SDL_Event& event) override {
    if (read.empty()) {
      return false;
    }
    event = read.front();
    read.erase(read.begin());
    return true;
  }
  bool PollEvent(SDL_Event& event) override {
    PumpEvents();
    return TakeQueuedEvent(event);
  }
  bool WaitEventTimeout(SDL_Event& event, int32_t timeoutMs) override {
    ++waits;
    PumpEvents();
    return TakeQueuedEvent(event) || ScriptedVideoBackend::WaitEventTimeout(event, timeoutMs);
  }
  int reads = 0;
  int waits = 0;
  std::vector<SDL_Event> read;
};

TEST(MessageLoopReadingTest, AWakeReadsTheWindowSystemOnceAndABusyLoopAgainOnlyAfterTheInterval) {
  auto owned = std::make_unique<ReadCountingBackend>();
  ReadCountingBackend& backend = *owned;
  ASSERT_TRUE(Host::Startup(std::move(owned)));
  QZTest::HookedWindow procedure;
  const HWND hwnd = CreateWindowEx(0, u"test", WS_CAPTION | WS_VISIBLE, 0, 0, 50, 40, nullptr, &procedure);
  ValidateRect(hwnd, nullptr);
  ASSERT_EQ(Host::SetTimer(hwnd, 1, 33), 1u);

  MSG msg;
  EXPECT_FALSE(Host::PeekMessage(&msg, PM_REMOVE)); // the first look reads
  const int before = backend.reads;
  // Wakes by the timer, each followed by the looks of an idle pass: one read each, the wait's.
  for (int wake = 1; wake <= 3; ++wake) {
    ASSERT_EQ(Host::GetMessage(&msg), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    for (int look = 0; look < 5; ++look) {
      EXPECT_FALSE(Host::PeekMessage(&msg, PM_REMOVE));
    }
    EXPECT_EQ(backend.waits, wake);
    EXPECT_EQ(backend.reads, before + wake) << "wake " << wake << " read the window system more than once";
  }

  // An event that arrives while the loop is busy is read once the interval has passed.
  backend.Push(QZTest::MotionEvent(QZTest::ScriptedVideoBackend::SdlIdOf(hwnd), 5, 5));
  EXPECT_FALSE(Host::PeekMessage(&msg, PM_REMOVE)) << "read too soon";
  backend.AdvanceTime(kPumpIntervalMs);
  ASSERT_TRUE(Host::PeekMessage(&msg, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_MOUSEMOVE);
  EXPECT_EQ(backend.reads, before + 4);
  Host::Shutdown();
}

TEST(MessageLoopReadingTest, APostHandledBeforeAMoveIsReadCanBringThePlacementUpToDate) {
  auto owned = std::make_unique<ReadCountingBackend>();
  ReadCountingBackend& backend = *owned;
  ASSERT_TRUE(Host::Startup(std::move(owned)));
  QZTest::HookedWindow procedure;
  const HWND hwnd = CreateWindowEx(0, u"test", WS_VISIBLE, 10, 20, 50, 40, nullptr, &procedure);
  ValidateRect(hwnd, nullptr);
  MSG msg;
  EXPECT_FALSE(Host::PeekMessage(&msg, PM_REMOVE));
  backend.AdvanceTime(kPumpIntervalMs);

  // The display told of a move; a post (an exit asked for by a signal) comes out first.
  backend.Push(QZTest::WindowEvent(QZTest::ScriptedVideoBackend::SdlIdOf(hwnd), SDL_WINDOWEVENT_MOVED, 123, 87));
  ASSERT_TRUE(Host::PostThreadMessage(WM_QZ_QUITREQUESTED, 0, 0));
  ASSERT_EQ(Host::GetMessage(&msg), 1);
  EXPECT_EQ(msg.message, WM_QZ_QUITREQUESTED);
  WINDOWPLACEMENT placement;
  ASSERT_TRUE(GetWindowPlacement(hwnd, &placement));
  EXPECT_EQ(placement.rcNormalPosition.left, 10) << "the move is not read yet";

  Host::ReadWindowSystemEvents();
  ASSERT_TRUE(GetWindowPlacement(hwnd, &placement));
  EXPECT_EQ(placement.rcNormalPosition.left, 123);
  EXPECT_EQ(placement.rcNormalPosition.top, 87);
  EXPECT_EQ(placement.rcNormalPosition.right, 173);
  ASSERT_EQ(Host::GetMessage(&msg), 1);
  EXPECT_EQ(msg.message, WM_MOVE) << "the move's message still comes, in its turn";
  Host::Shutdown();
}

TEST(MessagePumpTest, AMoveToThePointOfTheLastBeginsAnIdlePeriodOnlyOnAQueueStartedSince) {
  MSG move{};
  move.message = WM_MOUSEMOVE;
  move.pt = {5, 6};
  Host::ResetPumpState();
  EXPECT_TRUE(Host::IsIdleMessage(move));
  EXPECT_FALSE(Host::IsIdleMessage(move)) << "a move in place";
  move.pt.x = 7;
  EXPECT_TRUE(Host::IsIdleMessage(move));
  Host::ResetPumpState(); // the queue shut down and started again
  EXPECT_TRUE(Host::IsIdleMessage(move)) << "the first move on a new queue";
}

TEST(MessageLoopWithoutLayerTest, NothingRunsBeforeStartup) {
  MSG msg;
  EXPECT_EQ(Host::GetMessage(&msg), -1);
  EXPECT_FALSE(Host::PeekMessage(&msg, PM_REMOVE));
  EXPECT_FALSE(Host::PostThreadMessage(WM_USER, 0, 0));
  EXPECT_EQ(Host::SetTimer(nullptr, 1, 10), 0u);
}

} // namespace
