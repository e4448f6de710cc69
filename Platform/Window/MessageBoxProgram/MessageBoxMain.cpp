// quorin-ztr-message-box: shows one SDL message box and ends once it is closed. The window
// layer starts it for each box (MessageBoxProgram.h); a fresh process, unlike a fork of a
// busy one, holds no lock that SDL's own fork for the box could wait on.
//
//   quorin-ztr-message-box <message box style> <owner X window or 0> <title> <text>
//
// The style is MessageBoxW's (MessageBoxStyle.h: buttons, default button, icon). Exits with
// the answer of the button chosen (1 IDOK ... 7 IDNO) once the box was closed,
// kExitNotShown when it could not be shown, kExitWrongCall on a wrong call. A termination
// signal ends the whole process group (this program and the copy SDL forks to draw the
// box), and so does its parent's end.

#include <SDL2/SDL.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "Platform/Window/MessageBoxProgram.h"
#include "Platform/Window/MessageBoxProgram/SdlMessageBox.h"

// D-Bus, reached through SDL's X11 driver, keeps an allocation until the process ends; in
// a build with the leak checker, that would make a shown box's exit a failure.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

namespace {

using namespace QZ::Platform::Window;

void EndGroup(int signal) {
  ::signal(signal, SIG_DFL);
  ::kill(0, signal);
}

// The owner as an SDL window of this process, for SDL to make the box transient for it;
// null without one or when SDL cannot reach it.
SDL_Window* Owner(unsigned long xWindow) {
  if (xWindow == 0 || SDL_Init(SDL_INIT_VIDEO) != 0) {
    return nullptr;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "x11") != 0) {
    return nullptr;
  }
  return SDL_CreateWindowFrom(reinterpret_cast<const void*>(uintptr_t(xWindow)));
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s <message box style> <owner X window or 0> <title> <text>\n", argv[0]);
    return kExitWrongCall;
  }
  // A group of its own, which a signal then ends whole, the caller's left alone.
  ::setpgid(0, 0);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    ::signal(signal, EndGroup);
  }
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  // The signals are this program's to handle, not SDL's to turn into a quit event.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  const auto style = uint32_t(std::strtoul(argv[1], nullptr, 10));
  SDL_Window* owner = Owner(std::strtoul(argv[2], nullptr, 10));
  const int32_t answer = ShowSdlMessageBox(style, argv[3], argv[4], owner);
  if (answer == 0) {
    std::fprintf(stderr, "%s: %s\n", argv[0], SDL_GetError());
  }
  SDL_Quit(); // leaves the owner's window as it is: SDL destroys only windows it made
  return answer == 0 ? kExitNotShown : answer;
}
