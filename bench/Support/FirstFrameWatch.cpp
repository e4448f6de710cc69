#include "FirstFrameWatch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace QZBench {

namespace {

// A window's _NET_WM_PID, 0 when it has none.
pid_t PidOf(Display* display, Window window, Atom pidAtom) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  pid_t pid = 0;
  if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
          Success &&
      data) {
    if (type == XA_CARDINAL && format == 32 && count == 1) {
      pid = pid_t(*reinterpret_cast<unsigned long*>(data));
    }
    XFree(data);
  }
  return pid;
}

std::vector<Window> ChildrenOf(Display* display, Window window) {
  Window root = None;
  Window parent = None;
  Window* children = nullptr;
  unsigned int count = 0;
  std::vector<Window> found;
  if (XQueryTree(display, window, &root, &parent, &children, &count) && children) {
    found.assign(children, children + count);
    XFree(children);
  }
  return found;
}

int IgnoreError(Display*, XErrorEvent*) { return 0; }

} // namespace

struct FirstFrameWatch::State {
  Display* display = nullptr;
  Window root = None;
  Atom pidAtom = None;
  int width = 0;
  int height = 0;
  XImage* before = nullptr; // the whole screen before the program started

  // The viewable top-level window of pid of the watched size, None when there is none yet.
  Window FindWindow(pid_t pid) const {
    for (Window top : ChildrenOf(display, root)) {
      XWindowAttributes attributes;
      if (!XGetWindowAttributes(display, top, &attributes) || attributes.map_state != IsViewable) {
        continue;
      }
      std::vector<Window> candidates{top};
      const std::vector<Window> inner = ChildrenOf(display, top); // a window manager's frame
      candidates.insert(candidates.end(), inner.begin(), inner.end());
      for (Window candidate : candidates) {
        if (PidOf(display, candidate, pidAtom) == pid && XGetWindowAttributes(display, candidate, &attributes) &&
            attributes.map_state == IsViewable && attributes.width == width && attributes.height == height) {
          return candidate;
        }
      }
    }
    return None;
  }

  // Whether window shows a frame (see the header).
  bool ShowsFrame(Window window) const {
    int x = 0;
    int y = 0;
    Window child = None;
    if (!XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child)) {
      return false;
    }
    const Band top = ReadBand(window, x, y, 0);
    const Band bottom = ReadBand(window, x, y, std::max(0, height - kBandRows));
    return top.coloured && top.changed && (bottom.changed || !bottom.seen);
  }

  struct Band {
    bool seen = false;     // some of it is on the screen
    bool coloured = false; // more than one colour
    bool changed = false;  // some pixel differs from the screen before
  };

  // The kBandRows rows of window from row first, as far as the screen shows them; window's
  // origin is at (x, y) of the root.
  Band ReadBand(Window window, int x, int y, int first) const {
    Band band;
    const int left = std::max(0, -x);
    const int right = std::min(width, before->width - x);
    const int top = std::max(first, -y);
    const int bottom = std::min(std::min(height, first + kBandRows), before->height - y);
    if (left >= right || top >= bottom) {
      return band;
    }
    XImage* image =
        XGetImage(display, window, left, top, unsigned(right - left), unsigned(bottom - top), AllPlanes, ZPixmap);
    if (!image) {
      return band;
    }
    band.seen = true;
    const unsigned long corner = XGetPixel(image, 0, 0);
    for (int row = 0; row < image->height && !(band.coloured && band.changed); ++row) {
      for (int column = 0; column < image->width; ++column) {
        const unsigned long pixel = XGetPixel(image, column, row);
        band.coloured = band.coloured || pixel != corner;
        band.changed = band.changed || pixel != XGetPixel(before, x + left + column, y + top + row);
      }
    }
    XDestroyImage(image);
    return band;
  }
};

FirstFrameWatch::FirstFrameWatch(int width, int height) : mState(std::make_unique<State>()) {
  State& state = *mState;
  state.display = XOpenDisplay(nullptr);
  if (!state.display) {
    return;
  }
  state.root = DefaultRootWindow(state.display);
  state.pidAtom = XInternAtom(state.display, "_NET_WM_PID", False);
  state.width = width;
  state.height = height;
  XSelectInput(state.display, state.root, SubstructureNotifyMask);
  XWindowAttributes screen;
  if (XGetWindowAttributes(state.display, state.root, &screen)) {
    state.before =
        XGetImage(state.display, state.root, 0, 0, unsigned(screen.width), unsigned(screen.height), AllPlanes, ZPixmap);
  }
}

FirstFrameWatch::~FirstFrameWatch() {
  if (mState->before) {
    XDestroyImage(mState->before);
  }
  if (mState->display) {
    XCloseDisplay(mState->display);
  }
}

bool FirstFrameWatch::Ready() const { return mState->display && mState->before; }

std::optional<std::chrono::steady_clock::time_point>
FirstFrameWatch::WaitForFirstFrame(pid_t pid, std::chrono::steady_clock::duration limit,
                                   const std::function<void(std::chrono::steady_clock::duration)>& meanwhile) {
  using Clock = std::chrono::steady_clock;
  if (!Ready() || pid == 0) {
    return std::nullopt;
  }
  State& state = *mState;
  const auto previousHandler = XSetErrorHandler(IgnoreError);
  const Clock::time_point until = Clock::now() + limit;
  std::optional<Clock::time_point> shown;
  Window window = None;
  Clock::time_point looked;
  while (!shown && Clock::now() < until && kill(pid, 0) == 0) {
    const Clock::time_point now = Clock::now();
    if (window == None) {
      // The tree is looked at again when the root's children were mapped or resized, and
      // every 5 ms for a _NET_WM_PID set after the map.
      bool changed = false;
      while (XPending(state.display) > 0) {
        XEvent event;
        XNextEvent(state.display, &event);
        changed = true;
      }
      if (changed || now - looked >= std::chrono::milliseconds(5)) {
        looked = now;
        window = state.FindWindow(pid);
      }
    }
    if (window != None && state.ShowsFrame(window)) {
      shown = now;
      break;
    }
    if (meanwhile) {
      meanwhile(kPollInterval);
    }
    std::this_thread::sleep_until(now + kPollInterval);
  }
  XSync(state.display, False);
  XSetErrorHandler(previousHandler);
  return shown;
}

} // namespace QZBench
