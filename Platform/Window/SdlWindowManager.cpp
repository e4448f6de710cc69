// What the SDL backend tells an X window manager beside SDL, and what it asks it: the
// actions a framed window offers (Motif hints), the owner of another program's window
// (a dialog program's), and the frame the window will get, asked for before the window
// first shows. SDL learns a frame only once the window shows, and
// until then positions the window itself; told earlier, it would take the frame off the
// position twice (once moving the window, and again in its own bookkeeping).

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <string_view>
#include <vector>

#include "Platform/Window/VideoBackend.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include <SDL2/SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace QZ::Platform::Window {

namespace {

struct XWindow {
  ::Display* display = nullptr;
  ::Window window = 0;
};

// The X display and window of an SDL window; none for a window of another driver.
XWindow XWindowOf(uint32_t id) {
  SDL_Window* window = id ? SDL_GetWindowFromID(id) : nullptr;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
    return {};
  }
  return {info.info.x11.display, info.info.x11.window};
}

// The Motif hints' fields and bits.
constexpr long kHintFunctions = 1L << 0;
constexpr long kHintDecorations = 1L << 1;
constexpr long kFunctionResize = 1L << 1;
constexpr long kFunctionMove = 1L << 2;
constexpr long kFunctionMinimize = 1L << 3;
constexpr long kFunctionMaximize = 1L << 4;
constexpr long kFunctionClose = 1L << 5;
constexpr long kDecorationBorder = 1L << 1;
constexpr long kDecorationResizeHandle = 1L << 2;
constexpr long kDecorationTitle = 1L << 3;
constexpr long kDecorationMenu = 1L << 4;
constexpr long kDecorationMinimize = 1L << 5;
constexpr long kDecorationMaximize = 1L << 6;

// Whether a window manager runs that lists atom among what it supports.
bool WindowManagerSupports(::Display* display, Atom atom) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  const Atom supported = XInternAtom(display, "_NET_SUPPORTED", False);
  if (XGetWindowProperty(display, DefaultRootWindow(display), supported, 0, 4096, False, XA_ATOM, &type, &format,
                         &count, &after, &data) != Success ||
      !data) {
    return false;
  }
  // Xlib hands 32-bit items over as longs.
  const auto* atoms = reinterpret_cast<const unsigned long*>(data);
  const bool found = format == 32 && std::find(atoms, atoms + count, atom) != atoms + count;
  XFree(data);
  return found;
}

// The frame extents the window manager has put on the window (left, right, top, bottom);
// false while there are none.
bool ReadFrameExtents(::Display* display, ::Window window, Atom extents, long (&sides)[4]) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, extents, 0, 4, False, XA_CARDINAL, &type, &format, &count, &after, &data) !=
      Success) {
    return false;
  }
  const bool found = data && type == XA_CARDINAL && format == 32 && count == 4;
  if (found) {
    std::copy_n(reinterpret_cast<const long*>(data), 4, sides);
  }
  if (data) {
    XFree(data);
  }
  return found;
}

// The change notice of a window's frame extents, for XCheckIfEvent.
struct ExtentsNotice {
  ::Window window;
  Atom extents;
};

Bool IsExtentsNotice(::Display*, XEvent* event, XPointer argument) {
  const auto* notice = reinterpret_cast<const ExtentsNotice*>(argument);
  return event->type == PropertyNotify && event->xproperty.window == notice->window &&
         event->xproperty.atom == notice->extents;
}

// Xlib's errors ignored for a scope: the windows of another program may go at any moment,
// and a request about one that went must not end ours (Xlib's default handler would).
class IgnoredXErrors {
public:
  explicit IgnoredXErrors(::Display* display) : mDisplay(display) {
    XSync(mDisplay, False); // errors of requests before ours keep their handler
    mPrevious = XSetErrorHandler(&Ignore);
  }
  ~IgnoredXErrors() {
    XSync(mDisplay, False);
    XSetErrorHandler(mPrevious);
  }
  IgnoredXErrors(const IgnoredXErrors&) = delete;
  IgnoredXErrors& operator=(const IgnoredXErrors&) = delete;

private:
  static int Ignore(::Display*, XErrorEvent*) { return 0; }

  ::Display* mDisplay;
  XErrorHandler mPrevious = nullptr;
};

// The 32-bit items of a window's property (Xlib hands them over as longs); empty without it.
std::vector<unsigned long> LongProperty(::Display* display, ::Window window, const char* name, Atom kind) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> items;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 4096, False, kind, &type, &format,
                         &count, &after, &data) == Success &&
      data && format == 32) {
    const auto* values = reinterpret_cast<const unsigned long*>(data);
    items.assign(values, values + count);
  }
  if (data) {
    XFree(data);
  }
  return items;
}

// The top-level windows a program may show: the window manager's clients, and the root's
// children (which they are when no window manager runs).
std::vector<::Window> TopLevelWindows(::Display* display) {
  const ::Window root = DefaultRootWindow(display);
  std::vector<::Window> windows = LongProperty(display, root, "_NET_CLIENT_LIST", XA_WINDOW);
  ::Window rootReturn = 0;
  ::Window parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) && children) {
    windows.insert(windows.end(), children, children + count);
    XFree(children);
  }
  std::sort(windows.begin(), windows.end());
  windows.erase(std::unique(windows.begin(), windows.end()), windows.end());
  return windows;
}

} // namespace

int SdlVideoBackend::SdlDisplay(int display) const {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (display != 0 || !driver || std::string_view(driver) != "x11") {
    return display;
  }
  // SDL lists the displays of every X screen, the default screen's first only when it has a
  // primary output. A server of several screens without one (Xvfb) lists one display per
  // screen in screen order: the desktop is then that of the default screen (DISPLAY's ".N").
  auto* x = static_cast<::Display*>(mDisplay);
  ::Display* own = x ? nullptr : XOpenDisplay(nullptr);
  x = x ? x : own;
  if (!x) {
    return 0;
  }
  const int screen = DefaultScreen(x);
  const int width = DisplayWidth(x, screen);
  const int height = DisplayHeight(x, screen);
  const int screens = ScreenCount(x);
  if (own) {
    XCloseDisplay(own);
  }
  SDL_Rect bounds{};
  const bool listed = screens > 1 && screen < SDL_GetNumVideoDisplays() && SDL_GetDisplayBounds(screen, &bounds) == 0 &&
                      bounds.w == width && bounds.h == height;
  return listed ? screen : 0;
}

unsigned long SdlVideoBackend::GetXWindow(uint32_t window) { return XWindowOf(window).window; }

int32_t SdlVideoBackend::OwnProcessWindows(uint32_t window, int32_t pid) {
  const XWindow x = XWindowOf(window);
  if (!x.display) {
    return 0;
  }
  int32_t owned = 0;
  {
    const IgnoredXErrors ignored(x.display);
    for (const ::Window candidate : TopLevelWindows(x.display)) {
      const std::vector<unsigned long> process = LongProperty(x.display, candidate, "_NET_WM_PID", XA_CARDINAL);
      XWindowAttributes attributes{};
      if (process.size() != 1 || long(process[0]) != pid || !XGetWindowAttributes(x.display, candidate, &attributes) ||
          attributes.map_state != IsViewable) {
        continue;
      }
      ::Window owner = 0;
      if (!XGetTransientForHint(x.display, candidate, &owner) || owner == 0) {
        XSetTransientForHint(x.display, candidate, x.window);
        owner = x.window;
      }
      owned += owner == x.window ? 1 : 0;
    }
  }
  XFlush(x.display);
  return owned;
}

void SdlVideoBackend::SetWindowActions(uint32_t window, bool resize, bool minimize, bool maximize) {
  const XWindow x = XWindowOf(window);
  if (!x.display) {
    return;
  }
  long functions = kFunctionMove | kFunctionClose;
  long decorations = kDecorationBorder | kDecorationTitle | kDecorationMenu;
  if (resize) {
    functions |= kFunctionResize;
    decorations |= kDecorationResizeHandle;
  }
  if (minimize) {
    functions |= kFunctionMinimize;
    decorations |= kDecorationMinimize;
  }
  if (maximize) {
    functions |= kFunctionMaximize;
    decorations |= kDecorationMaximize;
  }
  long hints[5] = {kHintFunctions | kHintDecorations, functions, decorations, 0, 0};
  const Atom atom = XInternAtom(x.display, "_MOTIF_WM_HINTS", False);
  XChangeProperty(x.display, x.window, atom, atom, 32, PropModeReplace, reinterpret_cast<unsigned char*>(hints), 5);
  XFlush(x.display);
}

bool SdlVideoBackend::LearnWindowFrame(uint32_t window, int& top, int& left, int& bottom, int& right) {
  top = left = bottom = right = 0;
  const XWindow x = XWindowOf(window);
  if (!x.display) {
    return false;
  }
  const Atom request = XInternAtom(x.display, "_NET_REQUEST_FRAME_EXTENTS", False);
  const Atom extents = XInternAtom(x.display, "_NET_FRAME_EXTENTS", False);
  if (!WindowManagerSupports(x.display, request)) {
    return false;
  }
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = x.window;
  event.xclient.message_type = request;
  event.xclient.format = 32;
  XSendEvent(x.display, DefaultRootWindow(x.display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(x.display);
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kFrameAnswerMs);
  long sides[4] = {0, 0, 0, 0};
  while (!ReadFrameExtents(x.display, x.window, extents, sides)) {
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (remaining <= 0) {
      return false;
    }
    pollfd connection{ConnectionNumber(x.display), POLLIN, 0};
    poll(&connection, 1, int(std::min<long long>(remaining, 10)));
  }
  // The change notice came in before the property could be read: taken out of SDL's way,
  // SDL learns the frame when the window shows, as it does without asking.
  ExtentsNotice notice{x.window, extents};
  XEvent taken;
  while (XCheckIfEvent(x.display, &taken, IsExtentsNotice, reinterpret_cast<XPointer>(&notice))) {
  }
  left = int(sides[0]);
  right = int(sides[1]);
  top = int(sides[2]);
  bottom = int(sides[3]);
  return true;
}

void SdlVideoBackend::AwaitWindowFrame(uint32_t window) {
  const XWindow x = XWindowOf(window);
  if (!x.display) {
    return;
  }
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kFrameAnswerMs);
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
  while (true) {
    SDL_PumpEvents(); // SDL reads the frame from the window manager's notice
    if (GetWindowBordersSize(window, top, left, bottom, right) &&
        (top != 0 || left != 0 || bottom != 0 || right != 0)) {
      return;
    }
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (remaining <= 0) {
      return;
    }
    pollfd connection{ConnectionNumber(x.display), POLLIN, 0};
    poll(&connection, 1, int(std::min<long long>(remaining, 10))); // woken by the notice, or looks again
  }
}

} // namespace QZ::Platform::Window
