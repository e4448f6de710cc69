#pragma once
// For tests under the X server of the Xvfb fixture: its display, the X window behind a
// window of the window layer and its pixels, pumping the window layer's messages until a
// condition holds, programs run with their arguments (xdotool), and a key bound to é for
// the time of a scope.
//
//   ASSERT_TRUE(QZTest::UseXvfbDisplay());                       // DISPLAY, SDL's x11 driver
//   ASSERT_TRUE(QZTest::FindXWindow(hwnd, display, xwindow));    // once the window exists
//   ASSERT_TRUE(QZTest::PumpUntil([&] { return Win::GetFocus() == hwnd; },
//                                 [&] { (void)application.DoIdleWork(true); }));
//   ...
//   QZTest::EacuteKey eacute(display);                          // an X11 Display*
//   ASSERT_EQ(QZTest::RunProgram({"xdotool", "type", "\xC3\xA9"}), 0);
//
// Include it last: X11's macros (None, Bool, Status...) break headers included after it.

#include <spawn.h>
#include <sys/wait.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/Image.h"
#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/VideoBackend.h"

#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

extern char** environ;

namespace QZTest {

// Points DISPLAY at the fixture's server (its number in the file QZ_TEST_XVFB_DISPLAY_FILE
// names), picks SDL's x11 driver and a desktop's UTF-8 locale (SDL opens its input method
// with it). False outside the fixture.
inline bool UseXvfbDisplay() {
  const char* displayFile = std::getenv("QZ_TEST_XVFB_DISPLAY_FILE");
  if (!displayFile) {
    return false;
  }
  std::string number;
  std::ifstream(displayFile) >> number;
  if (number.empty()) {
    return false;
  }
  setenv("DISPLAY", (":" + number).c_str(), 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);
  setenv("LC_ALL", "C.UTF-8", 1);
  std::setlocale(LC_CTYPE, "");
  return true;
}

// A window's pixels as the X server shows them, width x height from (x, y) (black where
// they cannot be read); null when no image can be made. Call XSync first so that what was
// drawn reached the server.
inline std::unique_ptr<QZ::Platform::Graphics::Image> XWindowImage(Display* display, ::Window window, int width,
                                                                   int height, int x = 0, int y = 0) {
  XImage* shot = XGetImage(display, window, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
  auto image = QZ::Platform::Graphics::Image::Create(width, height);
  if (shot && image) {
    for (int row = 0; row < height; ++row) {
      for (int column = 0; column < width; ++column) {
        const uint32_t rgb = uint32_t(XGetPixel(shot, column, row)) & 0xFFFFFF;
        (void)image->SetPixel(column, row, {0xFF000000u | rgb}); // Ok: inside the image
      }
    }
  }
  if (shot) {
    XDestroyImage(shot);
  }
  return image;
}

// The X display and window behind hwnd (a window of the window layer on SDL's x11
// driver); false when SDL cannot tell them.
inline bool FindXWindow(QZ::Platform::Window::HWND hwnd, Display*& display, ::Window& xwindow) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  SDL_Window* window = SDL_GetWindowFromID(QZ::Platform::Window::GetBackendWindowId(hwnd));
  if (!window || !SDL_GetWindowWMInfo(window, &info)) {
    return false;
  }
  display = info.info.x11.display;
  xwindow = info.info.x11.window;
  return true;
}

// Takes, translates and dispatches the window layer's messages until done holds, running
// idle (a control application's idle pass) whenever no message waits: whether done holds
// in the end; false after limitMs (a thread timer of id 99 gives up) or when the loop ends.
inline bool PumpUntil(const std::function<bool()>& done, const std::function<void()>& idle = {},
                      uint32_t limitMs = 10000) {
  namespace Win = QZ::Platform::Window;
  namespace Host = QZ::Platform::Host;
  constexpr uintptr_t kGiveUpTimer = 99;
  Host::SetTimer(nullptr, kGiveUpTimer, limitMs);
  Win::MSG msg;
  bool reached = done();
  while (!reached) {
    if (idle && !Host::PeekMessage(&msg, Win::PM_NOREMOVE)) {
      idle();
    }
    if (Host::GetMessage(&msg) <= 0 || (msg.message == Win::WM_TIMER && msg.wParam == kGiveUpTimer)) {
      break;
    }
    Host::TranslateMessage(&msg);
    Host::DispatchMessage(&msg);
    reached = done();
  }
  Host::KillTimer(nullptr, kGiveUpTimer);
  return reached;
}

// Runs a program with its arguments (no shell) and waits for it; its exit status.
inline int RunProgram(std::vector<std::string> arguments) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
    return -1;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Binds a key without symbols to é for the scope, as a keyboard with that key has it:
// xdotool then types the key instead of remapping one of its own for a moment, which the
// window would only see after the mapping was taken back.
class EacuteKey {
public:
  explicit EacuteKey(Display* display) : mDisplay(display) {
    int first = 0;
    int last = 0;
    XDisplayKeycodes(display, &first, &last);
    int perCode = 0;
    KeySym* map = XGetKeyboardMapping(display, KeyCode(first), last - first + 1, &perCode);
    for (int code = last; code >= first && mCode == 0; --code) {
      bool empty = true;
      for (int i = 0; i < perCode; ++i) {
        empty = empty && map[(code - first) * perCode + i] == NoSymbol;
      }
      mCode = empty ? code : 0;
    }
    XFree(map);
    KeySym eacute = XK_eacute;
    if (mCode != 0) {
      XChangeKeyboardMapping(display, mCode, 1, &eacute, 1);
      XSync(display, False);
    }
  }
  ~EacuteKey() {
    if (mCode != 0) {
      KeySym none = NoSymbol;
      XChangeKeyboardMapping(mDisplay, mCode, 1, &none, 1);
      XSync(mDisplay, False);
    }
  }
  EacuteKey(const EacuteKey&) = delete;
  EacuteKey& operator=(const EacuteKey&) = delete;
  bool Bound() const { return mCode != 0; }

private:
  Display* mDisplay;
  int mCode = 0;
};

} // namespace QZTest
