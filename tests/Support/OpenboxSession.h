#pragma once
// A window manager on the X server of the Xvfb fixture for the time of a scope, as a desktop
// runs one: openbox (installed by scripts/install-deps.sh) frames the windows, tells them
// their frame and their allowed actions, and keeps a work area. It reads no configuration of
// the user's: its home and XDG folders are a temporary folder of its own.
//
//   Display* display = XOpenDisplay(nullptr);        // the test's own connection
//   QZTest::OpenboxSession manager(display);
//   ASSERT_TRUE(manager.Running());
//   ... windows shown now get a frame ...
//   // at the end of the scope openbox is stopped by its process id and the root window's
//   // properties it leaves behind are taken away: the next test meets a bare server
//
// Include after Support/XvfbSupport.h (X11's headers, which break headers included later).

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "Support/TempFolder.h"
#include "Support/WaitUntil.h"

#include <X11/Xatom.h>

extern char** environ;

namespace QZTest {

class OpenboxSession {
public:
  explicit OpenboxSession(Display* display) : mDisplay(display) {
    RemoveRootProperties(); // left by a run that was cut short
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
      const std::string variable = *entry;
      const std::string name = variable.substr(0, variable.find('='));
      if (name != "HOME" && name != "XDG_CONFIG_HOME" && name != "XDG_CACHE_HOME" && name != "XDG_DATA_HOME") {
        variables.push_back(variable);
      }
    }
    variables.push_back("HOME=" + mFolder.Path());
    variables.push_back("XDG_CONFIG_HOME=" + mFolder / "config");
    variables.push_back("XDG_CACHE_HOME=" + mFolder / "cache");
    variables.push_back("XDG_DATA_HOME=" + mFolder / "data");
    std::vector<char*> envp;
    for (std::string& variable : variables) {
      envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    std::string program = "openbox";
    std::string noSession = "--sm-disable";
    char* argv[] = {program.data(), noSession.data(), nullptr};
    if (posix_spawnp(&mPid, argv[0], nullptr, nullptr, argv, envp.data()) != 0) {
      mPid = 0;
      return;
    }
    // Its list of what it supports goes up once it manages the screen, before it reads its
    // configuration; a window's frame question is answered only from its event loop on.
    mRunning = WaitUntil([this] { return HasRootProperty("_NET_SUPPORTED") || Ended(); }) && !Ended() &&
               AnswersFrameQuestions();
  }
  OpenboxSession(const OpenboxSession&) = delete;
  OpenboxSession& operator=(const OpenboxSession&) = delete;
  ~OpenboxSession() {
    if (mPid == 0) {
      return;
    }
    if (!Ended()) {
      ::kill(mPid, SIGTERM);
      int status = 0;
      ::waitpid(mPid, &status, 0);
    }
    RemoveRootProperties();
  }

  bool Running() const { return mRunning; }

private:
  // Gone, openbox leaves a pointer to its vanished check window and its work area behind.
  void RemoveRootProperties() {
    for (const char* name : {"_NET_SUPPORTING_WM_CHECK", "_NET_WORKAREA", "_NET_SUPPORTED"}) {
      XDeleteProperty(mDisplay, DefaultRootWindow(mDisplay), XInternAtom(mDisplay, name, False));
    }
    XSync(mDisplay, False);
  }
  bool HasRootProperty(const char* name) const {
    return HasProperty(DefaultRootWindow(mDisplay), XInternAtom(mDisplay, name, False));
  }
  bool HasProperty(::Window window, Atom property) const {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(mDisplay, window, property, 0, 1, False, AnyPropertyType, &type, &format,
                                          &count, &after, &data) == Success &&
                       type != 0;
    if (data) {
      XFree(data);
    }
    return found;
  }
  // Asks openbox the frame of a window of our own until it answers; a question that comes
  // while it still starts up goes unanswered.
  bool AnswersFrameQuestions() {
    const ::Window root = DefaultRootWindow(mDisplay);
    const ::Window probe = XCreateSimpleWindow(mDisplay, root, 0, 0, 10, 10, 0, 0, 0);
    const Atom extents = XInternAtom(mDisplay, "_NET_FRAME_EXTENTS", False);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = probe;
    event.xclient.message_type = XInternAtom(mDisplay, "_NET_REQUEST_FRAME_EXTENTS", False);
    event.xclient.format = 32;
    int polls = 0;
    const bool answered =
        WaitUntil([&] {
          if (polls++ % 100 == 0) {
            XSendEvent(mDisplay, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
            XFlush(mDisplay);
          }
          return HasProperty(probe, extents) || Ended();
        }) &&
        !Ended();
    XDestroyWindow(mDisplay, probe);
    XSync(mDisplay, False);
    return answered;
  }
  // Whether openbox has ended (reaped then).
  bool Ended() {
    int status = 0;
    if (mPid != 0 && ::waitpid(mPid, &status, WNOHANG) == mPid) {
      mPid = 0;
    }
    return mPid == 0;
  }

  Display* mDisplay;
  TempFolder mFolder;
  pid_t mPid = 0;
  bool mRunning = false;
};

} // namespace QZTest
