// Under the X server of the Xvfb fixture (its display number in the file that
// QZ_TEST_XVFB_DISPLAY_FILE names): a real window shows the pixels presented to it, and
// only those of the presented rectangles; keys and clicks sent with xdotool arrive as
// the messages Windows would send; the screen's Xft.dpi resource is read; a message box
// shows from a program of its own.

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Graphics/Image.h"
#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/Display.h"
#include "Platform/Window/Input.h"
#include "Platform/Window/MessageBox.h"
#include "Platform/Window/VideoBackend.h"
#include "Support/WaitUntil.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include <SDL2/SDL_syswm.h>

#include "Support/XvfbSupport.h"
#include "Support/XvfbWindowProperty.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

// D-Bus (reached through SDL's X11 driver) keeps an allocation until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

namespace {

namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;
using Win::HWND;
using Win::LPARAM;
using Win::LRESULT;
using Win::WPARAM;

struct Arrived {
  uint32_t message;
  WPARAM wParam;
  LPARAM lParam;
  bool controlDown;
  bool shiftDown;
};

class RecordingWindow : public Win::WindowProcedure {
public:
  LRESULT WindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) override {
    arrived.push_back(
        {message, wParam, lParam, Win::GetKeyState(Win::VK_CONTROL) < 0, Win::GetKeyState(Win::VK_SHIFT) < 0});
    return Win::DefWindowProc(hwnd, message, wParam, lParam);
  }
  bool Got(uint32_t message, WPARAM wParam) const {
    for (const Arrived& one : arrived) {
      if (one.message == message && one.wParam == wParam) {
        return true;
      }
    }
    return false;
  }
  std::vector<Arrived> arrived;
};

// The programs this process started and that still run, as their process ids and file names.
std::vector<std::pair<pid_t, std::string>> ChildPrograms() {
  std::vector<std::pair<pid_t, std::string>> children;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    std::ifstream stat(entry.path() / "stat");
    std::string text;
    std::getline(stat, text);
    const size_t close = text.rfind(')'); // "pid (name) state ppid ..."
    std::istringstream fields(close == std::string::npos ? std::string() : text.substr(close + 1));
    std::string state;
    pid_t parent = 0;
    if (fields >> state >> parent && parent == ::getpid()) {
      const std::filesystem::path program = std::filesystem::read_symlink(entry.path() / "exe", error);
      children.emplace_back(pid_t(std::stol(name)), program.filename().string());
    }
  }
  return children;
}

// SDL itself, counting its reads of the window system's events.
class ReadCountingBackend : public Win::SdlVideoBackend {
public:
  void PumpEvents() override {
    ++reads;
    SdlVideoBackend::PumpEvents();
  }
  int reads = 0; // UI thread
};

class WindowXvfbTest : public ::testing::Test {
protected:
  static constexpr int kWidth = 160;
  static constexpr int kHeight = 120;

  void SetUp() override {
    ASSERT_TRUE(QZTest::UseXvfbDisplay()) << "runs under the Xvfb fixture";
    auto owned = std::make_unique<ReadCountingBackend>();
    backend = owned.get();
    ASSERT_TRUE(Host::Startup(std::move(owned)));
    hwnd = Win::CreateWindowEx(0, u"Xvfb test", Win::WS_POPUP | Win::WS_VISIBLE, 20, 30, kWidth, kHeight, nullptr,
                               &window);
    ASSERT_NE(hwnd, nullptr);
    Win::SetFocus(hwnd);
    ASSERT_TRUE(PumpUntil([this] { return Win::GetFocus() == hwnd; }));
    ASSERT_TRUE(QZTest::FindXWindow(hwnd, display, xwindow));
  }
  void TearDown() override {
    Win::DestroyWindow(hwnd);
    Host::Shutdown();
  }

  // Pumps the window layer until done holds; false after 10 s.
  bool PumpUntil(const std::function<bool()>& done) { return QZTest::PumpUntil(done); }

  // The window's pixel at (x, y) as the X server has it, 0xRRGGBB.
  std::vector<uint32_t> Screenshot() {
    XSync(display, False);
    XImage* shot = XGetImage(display, xwindow, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
    std::vector<uint32_t> pixels;
    if (shot) {
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          pixels.push_back(uint32_t(XGetPixel(shot, x, y)) & 0xFFFFFF);
        }
      }
      XDestroyImage(shot);
    }
    return pixels;
  }

  static bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
      if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) {
        return false;
      }
    }
    return true;
  }

  // Fills the window's pixels through `colour(x, y)`; they stay lent for presenting.
  void Fill(const std::function<uint32_t(int, int)>& colour) {
    ASSERT_TRUE(Win::GetWindowPixels(hwnd, lent));
    ASSERT_EQ(lent.width, kWidth);
    ASSERT_EQ(lent.height, kHeight);
    for (int y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lent.pixels) + y * lent.pitch);
      for (int x = 0; x < kWidth; ++x) {
        row[x] = colour(x, y);
      }
    }
  }

  // Takes messages until one of message/wParam comes (true) or a thread timer of id
  // timerId does (false), dispatching those for the window.
  bool TakeUntil(uint32_t message, WPARAM wParam, uintptr_t timerId) {
    Win::MSG msg;
    while (Host::GetMessage(&msg) > 0) {
      if (msg.message == message && msg.wParam == wParam) {
        return true;
      }
      if (msg.message == Win::WM_TIMER && !msg.hwnd && msg.wParam == timerId) {
        return false;
      }
      Host::DispatchMessage(&msg);
    }
    return false;
  }

  ReadCountingBackend* backend = nullptr; // owned by the window layer
  Win::WindowPixels lent;                 // as Fill last had them lent
  RecordingWindow window;
  HWND hwnd = nullptr;
  Display* display = nullptr;
  ::Window xwindow = 0; // X11's window of ours
};

TEST_F(WindowXvfbTest, PresentedRectanglesAndOnlyThoseReachTheScreen) {
  auto halves = [](int x, int) { return x < kWidth / 2 ? 0xFFCC2020u : 0xFF2040CCu; };
  Fill(halves);
  const Win::RECT whole{0, 0, kWidth, kHeight};
  ASSERT_TRUE(Win::PresentWindowPixels(hwnd, lent, &whole, 1));
  std::vector<uint32_t> shot = Screenshot();
  ASSERT_EQ(shot.size(), size_t(kWidth * kHeight));
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      wrong += !Near(shot[size_t(y * kWidth + x)], halves(x, y) & 0xFFFFFF, 2);
    }
  }
  EXPECT_EQ(wrong, 0);

  // Everything turns green, but only one rectangle is presented.
  Fill([](int, int) { return 0xFF30B040u; });
  const Win::RECT part{10, 20, 50, 60};
  ASSERT_TRUE(Win::PresentWindowPixels(hwnd, lent, &part, 1));
  shot = Screenshot();
  wrong = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool inside = x >= 10 && x < 50 && y >= 20 && y < 60;
      wrong += !Near(shot[size_t(y * kWidth + x)], inside ? 0x30B040u : halves(x, y) & 0xFFFFFF, 2);
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(WindowXvfbTest, TypedKeysAndClicksArriveAsWindowsMessages) {
  ASSERT_EQ(QZTest::RunProgram({"xdotool", "key", "ctrl+shift+s"}), 0);
  ASSERT_TRUE(PumpUntil([this] {
    return window.Got(Win::WM_KEYUP, 'S') && window.Got(Win::WM_KEYUP, Win::VK_SHIFT) &&
           window.Got(Win::WM_KEYUP, Win::VK_CONTROL);
  }));
  std::vector<std::pair<uint32_t, WPARAM>> pressed;
  for (const Arrived& one : window.arrived) {
    if (one.message == Win::WM_KEYDOWN || one.message == Win::WM_CHAR) {
      pressed.emplace_back(one.message, one.wParam);
    }
    if (one.message == Win::WM_KEYDOWN && one.wParam == 'S') {
      EXPECT_TRUE(one.controlDown && one.shiftDown) << "the key state as S went down";
      EXPECT_EQ(uint32_t(one.lParam), 1u);
    }
  }
  EXPECT_EQ(pressed, (std::vector<std::pair<uint32_t, WPARAM>>{{Win::WM_KEYDOWN, Win::VK_CONTROL},
                                                               {Win::WM_KEYDOWN, Win::VK_SHIFT},
                                                               {Win::WM_KEYDOWN, 'S'},
                                                               {Win::WM_CHAR, 0x13}}));

  {
    QZTest::EacuteKey eacute(display);
    ASSERT_TRUE(eacute.Bound());
    ASSERT_EQ(QZTest::RunProgram({"xdotool", "type", "\xC3\xA9"}), 0);
    EXPECT_TRUE(PumpUntil([this] { return window.Got(Win::WM_CHAR, 0xE9); }));
  }
  ASSERT_EQ(QZTest::RunProgram({"xdotool", "key", "Return"}), 0);
  EXPECT_TRUE(PumpUntil([this] { return window.Got(Win::WM_CHAR, 0x0D); }));
  EXPECT_TRUE(window.Got(Win::WM_KEYDOWN, Win::VK_RETURN));

  ASSERT_EQ(QZTest::RunProgram({"xdotool", "mousemove", "50", "70", "click", "1"}), 0);
  ASSERT_TRUE(PumpUntil([this] { return window.Got(Win::WM_LBUTTONUP, 0); }));
  for (const Arrived& one : window.arrived) {
    if (one.message == Win::WM_LBUTTONDOWN) {
      EXPECT_EQ(Win::GetXLParam(one.lParam), 50 - 20) << "client coordinates";
      EXPECT_EQ(Win::GetYLParam(one.lParam), 70 - 30);
      EXPECT_EQ(one.wParam, Win::MK_LBUTTON);
    }
  }
}

TEST_F(WindowXvfbTest, TheScreenResolutionComesFromXftDpiAndTheWorkAreaFromTheScreen) {
  unsetenv("QZ_DPI");
  const Atom resources = XInternAtom(display, "RESOURCE_MANAGER", False);
  const char database[] = "Xcursor.size:\t24\nXft.dpi:\t144\n";
  XChangeProperty(display, DefaultRootWindow(display), resources, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(database), int(sizeof(database) - 1));
  XSync(display, False);
  EXPECT_EQ(Win::GetScreenDpi(), 144);
  XDeleteProperty(display, DefaultRootWindow(display), resources);
  XSync(display, False);
  EXPECT_EQ(Win::GetScreenDpi(), 96);

  Win::RECT area;
  ASSERT_TRUE(Win::GetWorkArea(&area));
  EXPECT_EQ(area.right - area.left, 1280) << "the fixture's screen, without panels";
  EXPECT_EQ(area.bottom - area.top, 1024);
}

// A loop left alone wakes for its timer without reading the connection (SDL's chores get
// a read about once a second); yet what its own requests' replies brought along, and what
// another thread posts, arrive at once.
TEST_F(WindowXvfbTest, QuietWakesLeaveTheConnectionAloneAndNothingWaitsForALaterWake) {
  constexpr uintptr_t kTick = 7;
  constexpr uintptr_t kGiveUp = 8;
  ASSERT_EQ(Host::SetTimer(nullptr, kTick, 10), kTick);
  const int before = backend->reads;
  for (int wakes = 0; wakes < 20;) {
    Win::MSG msg;
    ASSERT_EQ(Host::GetMessage(&msg), 1);
    wakes += msg.message == Win::WM_TIMER && msg.wParam == kTick;
    Host::DispatchMessage(&msg); // paints the window, which would come before the timer
  }
  EXPECT_LE(backend->reads - before, 1) << "20 quiet wakes";
  ASSERT_TRUE(Host::KillTimer(nullptr, kTick));

  // The keys wait on the socket; a round trip reads them into Xlib's queue, where a wait
  // on the socket alone would not see them.
  ASSERT_EQ(QZTest::RunProgram({"xdotool", "key", "x"}), 0);
  XSync(display, False);
  ASSERT_EQ(Host::SetTimer(nullptr, kGiveUp, 5000), kGiveUp);
  EXPECT_TRUE(TakeUntil(Win::WM_KEYUP, 'X', kGiveUp)) << "the key came only with a later wake";

  const int beforePost = backend->reads;
  std::thread poster([] { EXPECT_TRUE(Host::PostThreadMessage(Win::WM_USER, 5, 0)); });
  poster.join();
  EXPECT_TRUE(TakeUntil(Win::WM_USER, 5, kGiveUp));
  EXPECT_EQ(backend->reads, beforePost) << "a post's wake-up needs no read of the connection";
  Host::KillTimer(nullptr, kGiveUp);
}

TEST_F(WindowXvfbTest, AMessageBoxShowsFromAProgramOfItsOwnAboveItsOwnerAndEndsWithIt) {
  // Threads allocating all along: a fork of this process for the box could copy a lock
  // that one of them holds, and wait on it forever.
  std::atomic<bool> stop{false};
  std::vector<std::thread> allocating;
  for (int i = 0; i < 3; ++i) {
    allocating.emplace_back([&stop] {
      while (!stop) {
        std::vector<std::string> texts(64, std::string(100, 'x'));
      }
    });
  }
  struct Seen {
    ::Window transientFor = 0;
    std::vector<std::pair<pid_t, std::string>> children;
  };
  std::vector<Seen> seen;
  // Closes the first box with Return and the second by ending its program.
  std::thread answerer([&seen] {
    Display* watcher = XOpenDisplay(nullptr);
    for (int round = 0; watcher && round < 2; ++round) {
      ::Window box = 0;
      if (!QZTest::WaitUntil([&] { return (box = QZTest::FindTopLevelWindow(watcher, 0, "Busy Box")) != 0; })) {
        break;
      }
      Seen one;
      XGetTransientForHint(watcher, box, &one.transientFor);
      one.children = ChildPrograms();
      seen.push_back(one);
      if (round == 0) {
        (void)QZTest::RunProgram({"xdotool", "windowfocus", "--sync", std::to_string(box), "key", "Return"});
      } else if (one.children.size() == 1) {
        ::kill(one.children[0].first, SIGTERM);
      }
      (void)QZTest::WaitUntil([&] { return QZTest::FindTopLevelWindow(watcher, 0, "Busy Box") == 0; });
    }
    if (watcher) {
      XCloseDisplay(watcher);
    }
  });
  EXPECT_EQ(Win::ShowMessageBox(u"Closed with Return.", u"Busy Box", Win::MB_ICONINFORMATION, hwnd), Win::IDOK);
  testing::internal::CaptureStderr();
  EXPECT_EQ(Win::ShowMessageBox(u"Ended with its program.", u"Busy Box", Win::MB_ICONERROR, hwnd), Win::IDOK);
  const std::string printed = testing::internal::GetCapturedStderr();
  answerer.join();
  stop = true;
  for (std::thread& thread : allocating) {
    thread.join();
  }

  ASSERT_EQ(seen.size(), 2u);
  for (const Seen& one : seen) {
    EXPECT_EQ(one.transientFor, xwindow) << "the box stays above its owner";
    ASSERT_EQ(one.children.size(), 1u);
    EXPECT_EQ(one.children[0].second, "quorin-ztr-message-box");
  }
  EXPECT_EQ(printed, "Busy Box: Ended with its program.\n") << "a box that did not stay is not lost";
  EXPECT_TRUE(ChildPrograms().empty());
}

} // namespace
