#include "Platform/Window/DisplayConnection.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "Platform/Window/LostDisplayBackend.h"
#include "Platform/Window/WindowState.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include <X11/Xlib.h>

namespace QZ::Platform::Window {

using namespace Detail;

namespace {

std::string gStartupFailure;
// The backend the display was lost under: kept, not quit (that would reach the display).
std::unique_ptr<VideoBackend> gRetiredBackend;
DisplayLostHandler gLostHandler;
std::atomic<bool> gLost{false};
std::atomic<bool> gEnding{false};
std::once_flag gWatching;

// How long a thread other than the UI thread that meets the break waits for the UI thread
// to end the process.
constexpr auto kOtherThreadWait = std::chrono::seconds(1);

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

[[noreturn]] void EndProcess() {
  std::fflush(stderr);
  ::_exit(kDisplayLostExitCode);
}

// Xlib calls it once the connection is broken; returning would let Xlib call exit().
int OnConnectionBroken(::Display* display) {
  const std::string name = display && DisplayString(display) ? DisplayString(display) : GetDisplayName();
  gLost = true;
  if (!tOnUiThread) {
    const auto deadline = std::chrono::steady_clock::now() + kOtherThreadWait;
    while (std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EndProcess();
  }
  // A break met again while the handler saves ends at once.
  if (gEnding.exchange(true)) {
    EndProcess();
  }
  DoWithoutDisplay();
  if (!gLostHandler) {
    std::fprintf(stderr, "The connection to the display \"%s\" was lost: the program ends.\n", name.c_str());
    EndProcess();
  }
  try {
    gLostHandler(name);
  } catch (...) { // nothing may stop the end
  }
  EndProcess();
}

} // namespace

bool IsHeadlessVideoDriver(std::string_view driver) { return driver == "offscreen" || driver == "dummy"; }

std::string GetDisplayName() {
  std::string name = Environment("DISPLAY");
  return name.empty() ? Environment("WAYLAND_DISPLAY") : name;
}

std::string GetStartupFailure() { return gStartupFailure; }

void SetDisplayLostHandler(DisplayLostHandler handler) { gLostHandler = std::move(handler); }

bool IsDisplayLost() { return gLost.load(); }

namespace Detail {

void SetStartupFailure(std::string text) { gStartupFailure = std::move(text); }

void WatchDisplayConnection(std::string_view driver) {
  if (driver == "x11") {
    std::call_once(gWatching, [] { XSetIOErrorHandler(&OnConnectionBroken); });
  }
}

void DoWithoutDisplay() {
  State& state = GetState();
  if (!state.started) {
    return;
  }
  std::lock_guard hold(state.lock);
  if (dynamic_cast<LostDisplayBackend*>(state.backend.get())) {
    return;
  }
  // The old backend stays alive: a call of its own may be on the stack beneath.
  gRetiredBackend = std::move(state.backend);
  state.backend = std::make_unique<LostDisplayBackend>(*gRetiredBackend);
}

} // namespace Detail

} // namespace QZ::Platform::Window
