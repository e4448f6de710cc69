#include "Platform/Window/VideoBackend.h"

#include <SDL2/SDL_syswm.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "Platform/Window/DisplayConnection.h"
#include "Platform/Window/MessageBoxProgram.h"
#include "Platform/Window/MessageBoxProgram/SdlMessageBox.h"

namespace QZ::Platform::Window {

namespace {

constexpr int kDisplayTries = 5;
constexpr int kFirstRetryPauseMs = 20; // doubled after each refusal

SDL_Window* Find(uint32_t window) { return window ? SDL_GetWindowFromID(window) : nullptr; }

// Whether SDL_VIDEODRIVER (one name or a comma-separated list) names driver.
bool IsRequestedDriver(std::string_view driver) {
  const char* requested = std::getenv("SDL_VIDEODRIVER");
  std::string_view names = requested ? requested : "";
  while (!names.empty()) {
    const size_t comma = names.find(',');
    if (names.substr(0, comma) == driver) {
      return true;
    }
    names = comma == std::string_view::npos ? std::string_view() : names.substr(comma + 1);
  }
  return false;
}

// Whether a server may answer on the display: a local one (":0", "unix:0.1") has its
// socket in /tmp/.X11-unix; one on another host may be there; a name that is no display
// name has none.
bool DisplayMayAnswer(const std::string& display) {
  const size_t colon = display.rfind(':');
  if (colon == std::string::npos || colon + 1 >= display.size()) {
    return false;
  }
  const std::string host = display.substr(0, colon);
  const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  if (!host.empty() && host != "unix") {
    return true;
  }
  std::error_code error;
  return std::filesystem::exists("/tmp/.X11-unix/X" + number, error);
}

std::string DescribeFailure(const std::string& display, const std::string& reason) {
  if (display.empty()) {
    return "No display to show the window on: DISPLAY is not set.";
  }
  std::string text = "The display \"" + display + "\" could not be opened";
  return reason.empty() ? text + "." : text + ": " + reason + ".";
}

} // namespace

SdlVideoBackend::~SdlVideoBackend() {
  if (mWakeFd != -1) {
    close(mWakeFd);
  }
}

bool SdlVideoBackend::Init() {
  // The quit event stands for SIGINT and SIGTERM only: closing the last window is the
  // program's business (its close box asks the program to exit).
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // Signals are the program's own (Platform/Host/TerminationSignals.h): SDL's handlers
  // would only be seen at its next look at the event queue.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Window surfaces are the driver's own memory (X11 shared-memory images), copied out
  // rectangle by rectangle, not textures of a GL renderer SDL would make behind them.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // A desktop program's windows are composited like any other.
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  // The click that activates a window also reaches the control under it, as on Windows,
  // instead of being swallowed by the focus change.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  if (mWakeFd == -1) {
    // Made before any other thread can post: PushEvent reads it without a lock.
    mWakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  }
  // An X server that many clients reach at once refuses some of them for a moment (EAGAIN
  // or a reset on its socket): a display that may be there is tried a few more times,
  // about 0.3 s in all, before the start fails; without one there is nothing to wait for.
  const std::string display = GetDisplayName();
  const int tries = DisplayMayAnswer(display) ? kDisplayTries : 1;
  std::string reason;
  for (int attempt = 1;; ++attempt) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
      const char* driver = SDL_GetCurrentVideoDriver();
      if (driver && (!IsHeadlessVideoDriver(driver) || IsRequestedDriver(driver))) {
        Detail::WatchDisplayConnection(driver);
        if (std::string_view(driver) == "x11") {
          // The raw X events carry the rectangle an expose uncovered, which SDL's own lacks.
          SDL_SetEventFilter(&SdlVideoBackend::FilterEvent, this);
          SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
          mFiltered = true;
        }
        return true;
      }
      // SDL fell back to a driver that shows nothing: the display was not opened.
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      reason.clear();
    } else {
      // Read now: the quit that follows a failed start clears it.
      const char* error = SDL_GetError();
      reason = error ? error : "";
    }
    if (attempt == tries) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kFirstRetryPauseMs << (attempt - 1)));
  }
  Detail::SetStartupFailure(DescribeFailure(display, reason));
  return false;
}

void SdlVideoBackend::Quit() {
  mTakenNext = mTakenCount = 0;
  mDisplay = nullptr;
  mXWindows.clear();
  mFiltered = false;
  SDL_SetEventFilter(nullptr, nullptr);
  SDL_Quit();
}

int SDLCALL SdlVideoBackend::FilterEvent(void* self, SDL_Event* event) {
  auto* backend = static_cast<SdlVideoBackend*>(self);
  if (event->type != SDL_SYSWMEVENT) {
    backend->mMayHoldEvents.store(true, std::memory_order_release);
    return 1;
  }
  // Raw X events come from SDL's reads, on the UI thread.
  const SDL_SysWMmsg* message = event->syswm.msg;
  if (!message || message->subsystem != SDL_SYSWM_X11 || message->msg.x11.event.type != Expose) {
    return 0;
  }
  const XExposeEvent& expose = message->msg.x11.event.xexpose;
  const auto& windows = backend->mXWindows;
  const auto found = windows.find(expose.window);
  if (found == windows.end() || expose.width <= 0 || expose.height <= 0) {
    return 0;
  }
  event->window = ExposedEvent(found->second, expose.x, expose.y, expose.width, expose.height);
  backend->mMayHoldEvents.store(true, std::memory_order_release);
  return 1;
}

const char* SdlVideoBackend::GetCurrentVideoDriver() { return SDL_GetCurrentVideoDriver(); }

// Inline: every way of taking an event starts here, and mostly finds the batch empty.
inline bool SdlVideoBackend::TakeBatched(SDL_Event& event) {
  if (mTakenNext == mTakenCount) {
    return false;
  }
  event = mTaken[mTakenNext++];
  return true;
}

bool SdlVideoBackend::PollEvent(SDL_Event& event) { return TakeBatched(event) || SDL_PollEvent(&event) == 1; }

bool SdlVideoBackend::WaitEventTimeout(SDL_Event& event, int32_t timeoutMs) {
  if (TakeBatched(event)) {
    return true;
  }
  if (mDisplay && mWakeFd != -1) {
    return WaitOnConnection(event, timeoutMs);
  }
  return (timeoutMs < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeoutMs)) == 1;
}

bool SdlVideoBackend::WaitOnConnection(SDL_Event& event, int32_t timeoutMs) {
  auto* display = static_cast<Display*>(mDisplay);
  // Requests still in Xlib's buffer go out, and what the server sent already (read into
  // Xlib's queue by a reply, or waiting on the socket) is taken before sleeping. Without a
  // request since the connection was last found read to the end, nothing waits in the
  // buffer and no reply has read events along: the look is skipped, and a quiet wake
  // touches neither Xlib nor the socket.
  if (TakeQueuedEvent(event)) {
    return true;
  }
  if (NextRequest(display) != mReadToRequest) {
    if (XEventsQueued(display, QueuedAfterFlush) > 0) {
      PumpEvents();
      if (TakeQueuedEvent(event)) {
        return true;
      }
    } else {
      mReadToRequest = NextRequest(display);
    }
  }
  pollfd waits[2] = {{ConnectionNumber(display), POLLIN, 0}, {mWakeFd, POLLIN, 0}};
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (int left = timeoutMs;;) {
    const int ready = poll(waits, 2, left);
    if (ready < 0 && errno == EINTR) {
      break;
    }
    if (waits[1].revents & POLLIN) {
      eventfd_t count = 0;
      eventfd_read(mWakeFd, &count); // drained: the posts are in SDL's queue
      mMayHoldEvents.store(true, std::memory_order_release);
    }
    // A time-out with nothing on the connection has nothing to read; SDL's own chores
    // that come with a read (the screen saver's, every 30 s) are served every
    // kQuietTimeoutsPerRead-th time-out. A wake-up alone finds its event in SDL's queue.
    if (waits[0].revents != 0 || (ready == 0 && ++mQuietTimeouts >= kQuietTimeoutsPerRead)) {
      PumpEvents();
    }
    if (TakeQueuedEvent(event)) {
      return true;
    }
    if (ready == 0) {
      return false;
    }
    if (timeoutMs >= 0) {
      // Rounded up: a wait cut short by a fraction of a millisecond would wake the loop
      // before its timer is due, only to wait again at once.
      const auto rest = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (rest <= 0) {
        return false;
      }
      left = int(std::min<int64_t>(rest, timeoutMs));
    }
  }
  // A signal cut the wait short: what SDL makes of one comes with a read.
  PumpEvents();
  return TakeQueuedEvent(event);
}

void SdlVideoBackend::PumpEvents() {
  SDL_PumpEvents(); // under X, reads until Xlib's queue and the socket are empty
  if (mDisplay) {
    mQuietTimeouts = 0;
    mReadToRequest = NextRequest(static_cast<Display*>(mDisplay));
  }
}

bool SdlVideoBackend::TakeQueuedEvent(SDL_Event& event) {
  if (TakeBatched(event)) {
    return true;
  }
  // With the filter in place every event reaches SDL's queue through it, so the queue is
  // looked at (under SDL's lock) only when something came since it was last found empty.
  // Cleared before the look: an event the filter passes meanwhile sets it again.
  if (mFiltered && !mMayHoldEvents.exchange(false, std::memory_order_acq_rel)) {
    return false;
  }
  // What is queued comes in one look (SDL's lock taken once): a click's press and release
  // arrive together.
  const int taken = SDL_PeepEvents(mTaken.data(), int(mTaken.size()), SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
  if (taken <= 0) {
    return false;
  }
  if (size_t(taken) == mTaken.size()) {
    mMayHoldEvents.store(true, std::memory_order_relaxed); // more may follow
  }
  mTakenCount = taken;
  mTakenNext = 0;
  return TakeBatched(event);
}

bool SdlVideoBackend::PushEvent(SDL_Event& event) {
  const bool pushed = SDL_PushEvent(&event) == 1;
  if (pushed && mWakeFd != -1) {
    eventfd_write(mWakeFd, 1); // a full counter wakes the wait all the same
  }
  return pushed;
}

uint32_t SdlVideoBackend::RegisterEventType() {
  const uint32_t type = SDL_RegisterEvents(1);
  return type == uint32_t(-1) ? 0 : type;
}

uint64_t SdlVideoBackend::GetTicks() { return SDL_GetTicks64(); }

uint32_t SdlVideoBackend::CreateWindow(const char* title, int x, int y, int width, int height, uint32_t flags) {
  SDL_Window* window = SDL_CreateWindow(title, x, y, width, height, flags);
  if (window && !mDisplay) {
    // The first window tells the driver's connection; every window shares it.
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
      mDisplay = info.info.x11.display;
    }
  }
  if (window && mDisplay) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
      mXWindows[info.info.x11.window] = SDL_GetWindowID(window);
    }
  }
  return window ? SDL_GetWindowID(window) : 0;
}

void SdlVideoBackend::DestroyWindow(uint32_t window) {
  std::erase_if(mXWindows, [window](const auto& entry) { return entry.second == window; });
  if (SDL_Window* found = Find(window)) {
    SDL_DestroyWindow(found);
  }
}

void SdlVideoBackend::SetWindowTitle(uint32_t window, const char* title) {
  if (SDL_Window* found = Find(window)) {
    SDL_SetWindowTitle(found, title);
  }
}

void SdlVideoBackend::ShowWindow(uint32_t window) {
  if (SDL_Window* found = Find(window)) {
    SDL_ShowWindow(found);
  }
}

void SdlVideoBackend::HideWindow(uint32_t window) {
  if (SDL_Window* found = Find(window)) {
    SDL_HideWindow(found);
  }
}

void SdlVideoBackend::RaiseWindow(uint32_t window) {
  if (SDL_Window* found = Find(window)) {
    SDL_RaiseWindow(found);
  }
}

void SdlVideoBackend::MinimizeWindow(uint32_t window) {
  if (SDL_Window* found = Find(window)) {
    SDL_MinimizeWindow(found);
  }
}

void SdlVideoBackend::MaximizeWindow(uint32_t window) {
  if (SDL_Window* found = Find(window)) {
    SDL_MaximizeWindow(found);
  }
}

void SdlVideoBackend::RestoreWindow(uint32_t window) {
  if (SDL_Window* found = Find(window)) {
    SDL_RestoreWindow(found);
  }
}

bool SdlVideoBackend::SetWindowInputFocus(uint32_t window) {
  SDL_Window* found = Find(window);
  return found && SDL_SetWindowInputFocus(found) == 0;
}

uint32_t SdlVideoBackend::GetWindowFlags(uint32_t window) {
  SDL_Window* found = Find(window);
  return found ? SDL_GetWindowFlags(found) : 0;
}

void SdlVideoBackend::SetWindowPosition(uint32_t window, int x, int y) {
  if (SDL_Window* found = Find(window)) {
    SDL_SetWindowPosition(found, x, y);
  }
}

void SdlVideoBackend::GetWindowPosition(uint32_t window, int& x, int& y) {
  x = y = 0;
  if (SDL_Window* found = Find(window)) {
    SDL_GetWindowPosition(found, &x, &y);
  }
}

void SdlVideoBackend::SetWindowSize(uint32_t window, int width, int height) {
  if (SDL_Window* found = Find(window)) {
    SDL_SetWindowSize(found, width, height);
  }
}

void SdlVideoBackend::GetWindowSize(uint32_t window, int& width, int& height) {
  width = height = 0;
  if (SDL_Window* found = Find(window)) {
    SDL_GetWindowSize(found, &width, &height);
  }
}

bool SdlVideoBackend::GetWindowBordersSize(uint32_t window, int& top, int& left, int& bottom, int& right) {
  top = left = bottom = right = 0;
  SDL_Window* found = Find(window);
  return found && SDL_GetWindowBordersSize(found, &top, &left, &bottom, &right) == 0;
}

void SdlVideoBackend::SetWindowMinimumSize(uint32_t window, int width, int height) {
  if (SDL_Window* found = Find(window)) {
    SDL_SetWindowMinimumSize(found, width, height);
  }
}

void SdlVideoBackend::SetWindowMaximumSize(uint32_t window, int width, int height) {
  if (SDL_Window* found = Find(window)) {
    SDL_SetWindowMaximumSize(found, width, height);
  }
}

void SdlVideoBackend::SetWindowAlwaysOnTop(uint32_t window, bool onTop) {
  if (SDL_Window* found = Find(window)) {
    SDL_SetWindowAlwaysOnTop(found, onTop ? SDL_TRUE : SDL_FALSE);
  }
}

bool SdlVideoBackend::SetWindowModalFor(uint32_t window, uint32_t owner) {
  SDL_Window* found = Find(window);
  SDL_Window* ownerWindow = Find(owner);
  return found && ownerWindow && SDL_SetWindowModalFor(found, ownerWindow) == 0;
}

SDL_Surface* SdlVideoBackend::GetWindowSurface(uint32_t window) {
  SDL_Window* found = Find(window);
  return found ? SDL_GetWindowSurface(found) : nullptr;
}

bool SdlVideoBackend::UpdateWindowSurfaceRects(uint32_t window, const SDL_Rect* rects, int count) {
  SDL_Window* found = Find(window);
  return found && SDL_UpdateWindowSurfaceRects(found, rects, count) == 0;
}

uint32_t SdlVideoBackend::GetKeyboardFocus() {
  SDL_Window* focus = SDL_GetKeyboardFocus();
  return focus ? SDL_GetWindowID(focus) : 0;
}

uint32_t SdlVideoBackend::GetMouseFocus() {
  SDL_Window* focus = SDL_GetMouseFocus();
  return focus ? SDL_GetWindowID(focus) : 0;
}

bool SdlVideoBackend::CaptureMouse(bool enabled) { return SDL_CaptureMouse(enabled ? SDL_TRUE : SDL_FALSE) == 0; }

uint32_t SdlVideoBackend::GetGlobalMouseState(int& x, int& y) { return SDL_GetGlobalMouseState(&x, &y); }

bool SdlVideoBackend::WarpMouseGlobal(int x, int y) { return SDL_WarpMouseGlobal(x, y) == 0; }

uint32_t SdlVideoBackend::GetModState() { return SDL_GetModState(); }

SDL_Cursor* SdlVideoBackend::CreateSystemCursor(SDL_SystemCursor id) { return SDL_CreateSystemCursor(id); }

bool SdlVideoBackend::SetWindowIcon(uint32_t window, const uint32_t* pixels, int width, int height, int pitch) {
  SDL_Window* sdlWindow = SDL_GetWindowFromID(window);
  // SDL copies the pixels into the window's icon; the surface only lends them for the call.
  SDL_Surface* surface = sdlWindow ? SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height,
                                                                        32, pitch, SDL_PIXELFORMAT_ARGB8888)
                                   : nullptr;
  if (!surface) {
    return false;
  }
  SDL_SetWindowIcon(sdlWindow, surface);
  SDL_FreeSurface(surface);
  return true;
}

SDL_Cursor* SdlVideoBackend::CreateColorCursor(const uint32_t* pixels, int width, int height, int pitch, int hotX,
                                               int hotY) {
  // SDL copies the pixels into the cursor; the surface only lends them for the call.
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32, pitch,
                                                            SDL_PIXELFORMAT_ARGB8888);
  if (!surface) {
    return nullptr;
  }
  SDL_Cursor* cursor = SDL_CreateColorCursor(surface, hotX, hotY);
  SDL_FreeSurface(surface);
  return cursor;
}

void SdlVideoBackend::FreeCursor(SDL_Cursor* cursor) { SDL_FreeCursor(cursor); }

void SdlVideoBackend::SetCursor(SDL_Cursor* cursor) { SDL_SetCursor(cursor); }

void SdlVideoBackend::ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

bool SdlVideoBackend::GetDisplayBounds(int display, SDL_Rect& bounds) {
  return SDL_GetDisplayBounds(SdlDisplay(display), &bounds) == 0;
}

bool SdlVideoBackend::GetDisplayUsableBounds(int display, SDL_Rect& bounds) {
  return SDL_GetDisplayUsableBounds(SdlDisplay(display), &bounds) == 0;
}

int32_t SdlVideoBackend::ShowMessageBox(uint32_t style, const char* title, const char* message, uint32_t owner,
                                        const std::function<bool()>& whileShown) {
  if (const std::optional<int32_t> answer =
          RunMessageBoxProgram(style, title, message, GetXWindow(owner), whileShown)) {
    return *answer;
  }
  return ShowSdlMessageBox(style, title, message, Find(owner));
}

} // namespace QZ::Platform::Window
