#pragma once
// A window's property as the X server holds it, for tests under the Xvfb fixture: its text
// (an 8-bit property: UTF-8 or Latin-1) or its 32-bit items (Xlib hands them over as longs);
// and a top-level window found by its process or title.
//
//   const std::string title = QZTest::XTextProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False));
//   const std::vector<long> extents = QZTest::XLongProperty(display, window, frameExtentsAtom);
//   const ::Window box = QZTest::FindTopLevelWindow(display, 0, "Error");
//
// Include it last: X11's macros (None, Bool, Status...) break headers included after it.

#include <sys/types.h>

#include <string>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace QZTest {

namespace XPropertyDetail {

// Reads up to 1024 items of any type; calls take(format, data, count) when the property
// exists.
template <typename Take>
void ReadProperty(Display* display, ::Window window, Atom property, Take take) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, property, 0, 1024, False, AnyPropertyType, &type, &format, &count, &after,
                         &data) == Success &&
      data) {
    take(format, data, count);
  }
  if (data) {
    XFree(data);
  }
}

} // namespace XPropertyDetail

// The property's text; empty when the window has none or it is not 8-bit.
inline std::string XTextProperty(Display* display, ::Window window, Atom property) {
  std::string text;
  XPropertyDetail::ReadProperty(display, window, property, [&](int format, unsigned char* data, unsigned long count) {
    if (format == 8) {
      text.assign(reinterpret_cast<const char*>(data), count);
    }
  });
  return text;
}

// The property's 32-bit items; empty when the window has none or it is not 32-bit.
inline std::vector<long> XLongProperty(Display* display, ::Window window, Atom property) {
  std::vector<long> items;
  XPropertyDetail::ReadProperty(display, window, property, [&](int format, unsigned char* data, unsigned long count) {
    if (format == 32) {
      items.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    }
  });
  return items;
}

// The first viewable top-level window that the process pid owns, or that is titled
// title when pid is 0; 0 when there is none. A window may go between the listing and the
// reads: Xlib's errors are ignored meanwhile (the error handler is the process's, so no
// other thread may use Xlib during the call).
inline ::Window FindTopLevelWindow(Display* display, pid_t pid, const std::string& title = "") {
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
  const Atom nameAtom = XInternAtom(display, "_NET_WM_NAME", False);
  ::Window root = 0;
  ::Window parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
    XSetErrorHandler(previous);
    return 0;
  }
  ::Window found = 0;
  for (unsigned int i = 0; i < count && found == 0; ++i) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) {
      continue;
    }
    if (pid != 0) {
      const std::vector<long> owner = XLongProperty(display, children[i], pidAtom);
      if (owner.size() == 1 && pid_t(owner[0]) == pid) {
        found = children[i];
      }
    } else if (XTextProperty(display, children[i], nameAtom) == title ||
               XTextProperty(display, children[i], XA_WM_NAME) == title) {
      found = children[i];
    }
  }
  if (children) {
    XFree(children);
  }
  XSync(display, False);
  XSetErrorHandler(previous);
  return found;
}

} // namespace QZTest
