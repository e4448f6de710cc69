#pragma once
// A window-layer backend for tests: real windows and surfaces from SDL's offscreen driver
// (no display needed), with events, the clock, focus, the mouse, the capture, window
// states, window frames and the desktop scripted by the test, and message boxes recorded.
//
//   auto owned = std::make_unique<QZTest::ScriptedVideoBackend>();
//   QZTest::ScriptedVideoBackend& script = *owned;
//   ASSERT_TRUE(QZ::Platform::Host::Startup(std::move(owned)));     // or Window::Startup
//   HWND hwnd = CreateWindowEx(...);
//   script.Push(QZTest::KeyEvent(SDL_KEYDOWN, script.SdlIdOf(hwnd), SDLK_RETURN));
//   script.AdvanceTime(33);                                         // fake clock
//
// Time: by default a fake clock that only AdvanceTime moves; a wait with a time-out and
// nothing scripted moves it by the time-out at once. SetRealTime(true) makes the clock
// SDL's and the waits real. A wait without a time-out blocks until an event is pushed
// (from any thread) and aborts the test program after 20 s, which means the code under
// test waits for something the test never sends. Events SDL queues itself (the
// offscreen driver's window events) are thrown away: tests script what happens.

#include <SDL2/SDL.h>
#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "Platform/Window/VideoBackend.h"
#include "Platform/Window/Window.h"

namespace QZTest {

class ScriptedVideoBackend : public QZ::Platform::Window::SdlVideoBackend {
public:
  bool Init() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    return SdlVideoBackend::Init();
  }

  // Appends an event to the script. Any thread.
  void Push(const SDL_Event& event) {
    {
      std::lock_guard hold(mLock);
      mEvents.push_back(event);
    }
    mArrived.notify_all();
  }
  // Scripted events not taken yet, and how many of them have the given type.
  size_t Pending() {
    std::lock_guard hold(mLock);
    return mEvents.size();
  }
  size_t PendingOfType(uint32_t type) {
    std::lock_guard hold(mLock);
    size_t count = 0;
    for (const SDL_Event& event : mEvents) {
      count += event.type == type;
    }
    return count;
  }

  void SetRealTime(bool real) { mRealTime = real; }
  void AdvanceTime(uint64_t milliseconds) {
    std::lock_guard hold(mLock);
    mNow += milliseconds;
  }

  // The SDL id of one of our windows, for building its events.
  static uint32_t SdlIdOf(QZ::Platform::Window::HWND hwnd) { return QZ::Platform::Window::GetBackendWindowId(hwnd); }

  // Scripted input state.
  uint32_t keyboardFocus = 0;
  uint32_t mouseFocus = 0;
  int mouseX = 0;
  int mouseY = 0;
  uint32_t mouseButtons = 0;
  uint32_t modState = 0;
  SDL_Rect displayBounds{0, 0, 1920, 1080};
  SDL_Rect usableBounds{0, 32, 1920, 1048};
  // The frame the window manager puts around each window; none, as SDL's offscreen driver
  // has it, unless the test gives one.
  struct Frame {
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
  } windowFrame;
  // SDL_WINDOW_MINIMIZED / SDL_WINDOW_MAXIMIZED by SDL window id.
  std::map<uint32_t, uint32_t> windowStates;

  // What the layer did.
  std::vector<bool> captureCalls;
  std::vector<std::vector<SDL_Rect>> presented;
  std::vector<uint32_t> focusRequests;
  std::vector<uint32_t> raised;
  std::map<uint32_t, bool> alwaysOnTop;
  std::map<uint32_t, SDL_Point> iconSizes; // by SDL window id
  int cursorShows = 0;                     // net SDL_ShowCursor(true) minus false calls
  std::set<SDL_Cursor*> liveCursors;
  SDL_Cursor* currentCursor = nullptr;

  bool PollEvent(SDL_Event& event) override {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    std::lock_guard hold(mLock);
    return Take(event);
  }

  // The script stands for the window system: each look at the queue takes from it, and
  // there is nothing else to read.
  void PumpEvents() override {}
  bool TakeQueuedEvent(SDL_Event& event) override { return PollEvent(event); }

  bool WaitEventTimeout(SDL_Event& event, int32_t timeoutMs) override {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    std::unique_lock hold(mLock);
    if (Take(event)) {
      return true;
    }
    if (timeoutMs >= 0 && !mRealTime) {
      mNow += uint64_t(timeoutMs);
      return false;
    }
    const auto limit = std::chrono::milliseconds(timeoutMs >= 0 ? timeoutMs : 20000);
    if (!mArrived.wait_for(hold, limit, [this] { return !mEvents.empty(); })) {
      if (timeoutMs < 0) {
        std::fprintf(stderr, "ScriptedVideoBackend: the message loop waits for an event the test never sends\n");
        std::abort();
      }
      return false;
    }
    return Take(event);
  }

  bool PushEvent(SDL_Event& event) override {
    Push(event);
    return true;
  }

  uint64_t GetTicks() override {
    if (mRealTime) {
      return SDL_GetTicks64();
    }
    std::lock_guard hold(mLock);
    return mNow;
  }

  uint32_t GetWindowFlags(uint32_t window) override {
    const uint32_t flags = SdlVideoBackend::GetWindowFlags(window) & ~(SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED);
    auto state = windowStates.find(window);
    return flags | (state == windowStates.end() ? 0 : state->second);
  }
  bool SetWindowInputFocus(uint32_t window) override {
    focusRequests.push_back(window);
    return true;
  }
  void RaiseWindow(uint32_t window) override { raised.push_back(window); }
  void SetWindowAlwaysOnTop(uint32_t window, bool onTop) override { alwaysOnTop[window] = onTop; }
  bool SetWindowIcon(uint32_t window, const uint32_t* pixels, int width, int height, int pitch) override {
    iconSizes[window] = {width, height};
    return SdlVideoBackend::SetWindowIcon(window, pixels, width, height, pitch);
  }
  bool UpdateWindowSurfaceRects(uint32_t window, const SDL_Rect* rects, int count) override {
    presented.emplace_back(rects, rects + count);
    return SdlVideoBackend::UpdateWindowSurfaceRects(window, rects, count);
  }
  uint32_t GetKeyboardFocus() override { return keyboardFocus; }
  uint32_t GetMouseFocus() override { return mouseFocus; }
  bool CaptureMouse(bool enabled) override {
    captureCalls.push_back(enabled);
    return true;
  }
  uint32_t GetGlobalMouseState(int& x, int& y) override {
    x = mouseX;
    y = mouseY;
    return mouseButtons;
  }
  bool WarpMouseGlobal(int x, int y) override {
    mouseX = x;
    mouseY = y;
    return true;
  }
  uint32_t GetModState() override { return modState; }
  // The offscreen driver has no cursors: these are tokens that must be freed.
  SDL_Cursor* CreateSystemCursor(SDL_SystemCursor) override { return NewCursor(); }
  SDL_Cursor* CreateColorCursor(const uint32_t*, int, int, int, int, int) override { return NewCursor(); }
  void FreeCursor(SDL_Cursor* cursor) override { liveCursors.erase(cursor); }
  void SetCursor(SDL_Cursor* cursor) override { currentCursor = cursor; }
  void ShowCursor(bool show) override { cursorShows += show ? 1 : -1; }
  bool GetWindowBordersSize(uint32_t window, int& top, int& left, int& bottom, int& right) override {
    if (windowFrame.top == 0 && windowFrame.left == 0 && windowFrame.bottom == 0 && windowFrame.right == 0) {
      return SdlVideoBackend::GetWindowBordersSize(window, top, left, bottom, right);
    }
    top = windowFrame.top;
    left = windowFrame.left;
    bottom = windowFrame.bottom;
    right = windowFrame.right;
    return true;
  }
  bool GetDisplayBounds(int, SDL_Rect& bounds) override {
    bounds = displayBounds;
    return true;
  }
  bool GetDisplayUsableBounds(int, SDL_Rect& bounds) override {
    bounds = usableBounds;
    return true;
  }

private:
  SDL_Cursor* NewCursor() {
    SDL_Cursor* cursor = reinterpret_cast<SDL_Cursor*>(++mNextCursor);
    liveCursors.insert(cursor);
    return cursor;
  }

  bool Take(SDL_Event& event) {
    if (mEvents.empty()) {
      return false;
    }
    event = mEvents.front();
    mEvents.pop_front();
    return true;
  }

  std::mutex mLock;
  std::condition_variable mArrived;
  std::deque<SDL_Event> mEvents;
  uint64_t mNow = 1000;
  uintptr_t mNextCursor = 0x1000;
  bool mRealTime = false;
};

// Hand-made events.
inline SDL_Event KeyEvent(uint32_t type, uint32_t window, SDL_Keycode key, SDL_Scancode position = SDL_SCANCODE_UNKNOWN,
                          uint16_t mod = 0, bool repeat = false) {
  SDL_Event event{};
  event.type = type;
  event.key.windowID = window;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat;
  event.key.keysym.sym = key;
  event.key.keysym.scancode = position;
  event.key.keysym.mod = mod;
  return event;
}

inline SDL_Event TextEvent(uint32_t window, const char* utf8) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  event.text.windowID = window;
  SDL_strlcpy(event.text.text, utf8, sizeof(event.text.text));
  return event;
}

inline SDL_Event MotionEvent(uint32_t window, int x, int y) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.windowID = window;
  event.motion.x = x;
  event.motion.y = y;
  return event;
}

inline SDL_Event ButtonEvent(uint32_t type, uint32_t window, uint8_t button, int x, int y, uint8_t clicks = 1) {
  SDL_Event event{};
  event.type = type;
  event.button.windowID = window;
  event.button.button = button;
  event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = clicks;
  event.button.x = x;
  event.button.y = y;
  return event;
}

inline SDL_Event WheelEvent(uint32_t window, float preciseX, float preciseY, int x, int y, bool flipped = false) {
  SDL_Event event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.windowID = window;
  event.wheel.preciseX = preciseX;
  event.wheel.preciseY = preciseY;
  event.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
  event.wheel.mouseX = x;
  event.wheel.mouseY = y;
  return event;
}

inline SDL_Event WindowEvent(uint32_t window, uint8_t what, int32_t data1 = 0, int32_t data2 = 0) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.windowID = window;
  event.window.event = what;
  event.window.data1 = data1;
  event.window.data2 = data2;
  return event;
}

// An SDL_DROPFILE event owning an SDL_strdup copy of path, as SDL makes them.
inline SDL_Event DropFileEvent(uint32_t window, const std::string& path) {
  SDL_Event event{};
  event.type = SDL_DROPFILE;
  event.drop.windowID = window;
  event.drop.file = SDL_strdup(path.c_str());
  return event;
}

inline SDL_Event OfType(uint32_t type, uint32_t window = 0) {
  SDL_Event event{};
  event.type = type;
  event.drop.windowID = window;
  return event;
}

} // namespace QZTest
