#pragma once
// Every SDL call of the window layer, behind one interface, so that tests can script
// events, time, focus and the mouse while real windows come from SDL's offscreen driver:
//
//   class ScriptedBackend : public QZ::Platform::Window::SdlVideoBackend {
//     bool PollEvent(SDL_Event& event) override { ... hand-made events ... }
//   };
//   (void)QZ::Platform::Window::Startup(std::make_unique<ScriptedBackend>());
//
// Windows are named by SDL window ids. SdlVideoBackend forwards each call to SDL as it
// is; its Init sets the hints the layer relies on (SDL's quit event only for signals,
// window surfaces in the driver's memory, no compositor bypass) and starts the video subsystem of the driver
// SDL_VIDEODRIVER names. Every member runs on the UI thread, except PushEvent (any thread).

#include <SDL2/SDL.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "Platform/Window/WindowTypes.h"

namespace QZ::Platform::Window {

// An expose that names the uncovered rectangle: a window event of this kind (SDL has none
// such) with data1 = x | y << 16 and data2 = width | height << 16. SDL's own expose names
// no rectangle and means the whole window; a backend that knows the rectangles sends one
// of these before SDL's own expose for the same uncovering (which SDL may merge with the
// exposes before it, but leaves these alone).
inline constexpr uint8_t kWindowEventExposedRect = 0xE0;
inline SDL_WindowEvent ExposedEvent(uint32_t window, int x, int y, int width, int height) {
  SDL_WindowEvent event{};
  event.type = SDL_WINDOWEVENT;
  event.windowID = window;
  event.event = kWindowEventExposedRect;
  event.data1 = int32_t(uint32_t(x & 0xFFFF) | uint32_t(y & 0xFFFF) << 16);
  event.data2 = int32_t(uint32_t(width & 0xFFFF) | uint32_t(height & 0xFFFF) << 16);
  return event;
}
inline RECT ExposedRect(const SDL_WindowEvent& event) {
  const auto at = uint32_t(event.data1);
  const auto size = uint32_t(event.data2);
  const int32_t x = int32_t(at & 0xFFFF);
  const int32_t y = int32_t(at >> 16);
  return {x, y, x + int32_t(size & 0xFFFF), y + int32_t(size >> 16)};
}

class VideoBackend {
public:
  virtual ~VideoBackend() = default;

  // Starts the video subsystem; false when SDL refuses (no display, unknown driver). The
  // SDL backend tries a display that DISPLAY names a few times, about 0.3 s in all, since
  // a busy X server refuses connections for a moment; it refuses a driver that shows
  // nothing unless SDL_VIDEODRIVER names it, and records why it failed
  // (DisplayConnection.h).
  virtual bool Init() = 0;
  // Stops everything Init started (SDL_Quit).
  virtual void Quit() = 0;
  // The running video driver's name ("x11", "offscreen", ...), null before Init.
  virtual const char* GetCurrentVideoDriver() = 0;

  virtual bool PollEvent(SDL_Event& event) = 0;
  // Waits up to timeoutMs (negative: without limit) for an event, reading the window
  // system's events into the queue as it starts and as it ends.
  virtual bool WaitEventTimeout(SDL_Event& event, int32_t timeoutMs) = 0;
  // Reads what the window system has sent into the queue (each read costs system calls
  // on the display's connection). Default: nothing, for a backend without a window
  // system behind its queue.
  virtual void PumpEvents() {}
  // The next event of the queue, without reading the window system. Default: PollEvent.
  virtual bool TakeQueuedEvent(SDL_Event& event) { return PollEvent(event); }
  // Any thread. False when the queue is full.
  virtual bool PushEvent(SDL_Event& event) = 0;
  // A user event type of the caller's own; 0 when none is left.
  virtual uint32_t RegisterEventType() = 0;
  // Milliseconds since Init.
  virtual uint64_t GetTicks() = 0;

  // The new window's id; 0 on failure.
  virtual uint32_t CreateWindow(const char* title, int x, int y, int width, int height, uint32_t flags) = 0;
  virtual void DestroyWindow(uint32_t window) = 0;
  virtual void SetWindowTitle(uint32_t window, const char* title) = 0;
  virtual void ShowWindow(uint32_t window) = 0;
  virtual void HideWindow(uint32_t window) = 0;
  virtual void RaiseWindow(uint32_t window) = 0;
  virtual void MinimizeWindow(uint32_t window) = 0;
  virtual void MaximizeWindow(uint32_t window) = 0;
  virtual void RestoreWindow(uint32_t window) = 0;
  virtual bool SetWindowInputFocus(uint32_t window) = 0;
  virtual uint32_t GetWindowFlags(uint32_t window) = 0;
  // Client-area origin in screen coordinates (for a window that has not shown yet: see
  // LearnWindowFrame), and client size.
  virtual void SetWindowPosition(uint32_t window, int x, int y) = 0;
  virtual void GetWindowPosition(uint32_t window, int& x, int& y) = 0;
  virtual void SetWindowSize(uint32_t window, int width, int height) = 0;
  virtual void GetWindowSize(uint32_t window, int& width, int& height) = 0;
  // The frame around the client area; false when the driver does not know it.
  virtual bool GetWindowBordersSize(uint32_t window, int& top, int& left, int& bottom, int& right) = 0;
  virtual void SetWindowMinimumSize(uint32_t window, int width, int height) = 0;
  virtual void SetWindowMaximumSize(uint32_t window, int width, int height) = 0;
  virtual void SetWindowAlwaysOnTop(uint32_t window, bool onTop) = 0;
  virtual bool SetWindowModalFor(uint32_t window, uint32_t owner) = 0;
  // Tells the window manager which of its actions a framed window offers: moving and
  // closing always; resizing, minimising and maximising as given (a window manager that
  // reads these hints draws no button for an action left out).
  virtual void SetWindowActions(uint32_t window, bool resize, bool minimize, bool maximize) = 0;
  // Asks the window manager, before the window first shows, for the frame it will put
  // around it, waiting a moment (at most kFrameAnswerMs) for the answer. SDL is left
  // unaware of it until the window shows: until then SDL positions the window itself,
  // where the window manager will put the frame's corner (it would count the frame twice
  // otherwise). False without a window manager that answers, or for a window that is not
  // an X window; the sizes are then 0.
  virtual bool LearnWindowFrame(uint32_t window, int& top, int& left, int& bottom, int& right) = 0;
  // After a window whose frame was learnt first shows: waits (at most kFrameAnswerMs)
  // until SDL knows the frame too, taking the window system's events into SDL's queue.
  virtual void AwaitWindowFrame(uint32_t window) = 0;
  static constexpr int kFrameAnswerMs = 250;
  // The window's icon: width x height ARGB words with straight alpha, `pitch` bytes a row.
  virtual bool SetWindowIcon(uint32_t window, const uint32_t* pixels, int width, int height, int pitch) = 0;
  // The window's surface (owned by SDL, valid until the window's size changes); null
  // when there is none.
  virtual SDL_Surface* GetWindowSurface(uint32_t window) = 0;
  virtual bool UpdateWindowSurfaceRects(uint32_t window, const SDL_Rect* rects, int count) = 0;

  // The window that has the keyboard or the mouse; 0 when none of ours has.
  virtual uint32_t GetKeyboardFocus() = 0;
  virtual uint32_t GetMouseFocus() = 0;
  virtual bool CaptureMouse(bool enabled) = 0;
  // Cursor position in screen coordinates; the result is SDL's button mask.
  virtual uint32_t GetGlobalMouseState(int& x, int& y) = 0;
  virtual bool WarpMouseGlobal(int x, int y) = 0;
  virtual uint32_t GetModState() = 0;
  virtual SDL_Cursor* CreateSystemCursor(SDL_SystemCursor id) = 0;
  // pixels: width x height ARGB words with straight alpha, pitch bytes per row.
  virtual SDL_Cursor* CreateColorCursor(const uint32_t* pixels, int width, int height, int pitch, int hotX,
                                        int hotY) = 0;
  virtual void FreeCursor(SDL_Cursor* cursor) = 0;
  virtual void SetCursor(SDL_Cursor* cursor) = 0;
  virtual void ShowCursor(bool show) = 0;

  // Display 0 is the desktop: the first display of the screen the windows open on.
  virtual bool GetDisplayBounds(int display, SDL_Rect& bounds) = 0;
  virtual bool GetDisplayUsableBounds(int display, SDL_Rect& bounds) = 0;

  // The X window behind a window; 0 for a driver that has none.
  virtual unsigned long GetXWindow(uint32_t /*window*/) { return 0; }
  // Owns the shown, ownerless top-level windows of process pid (Window::OwnProcessWindows);
  // how many of its shown windows the window owns. Default: none, for a backend without
  // a window system.
  virtual int32_t OwnProcessWindows(uint32_t /*window*/, int32_t /*pid*/) { return 0; }

  // Shows the box of a message box style (MessageBoxStyle.h) and waits until it is closed,
  // asking whileShown (when given) about every 20 ms meanwhile: its false takes the box
  // down. owner 0: no owner window. The answer chosen; 0 when the box could not be shown or
  // was taken down. SdlVideoBackend shows SDL's box through a program of its own
  // (MessageBoxProgram.h), or itself where that program is missing (whileShown is then not
  // asked).
  virtual int32_t ShowMessageBox(uint32_t style, const char* title, const char* message, uint32_t owner,
                                 const std::function<bool()>& whileShown) = 0;
};

// SDL itself. Under X11 the X server's exposes come with their rectangles (ExposedEvent),
// so that uncovering part of a window repaints that part; and, once a window exists,
// WaitEventTimeout waits in poll() on the display's connection and a wake-up descriptor of
// its own (written by PushEvent, for other threads' events) and reads the window system's
// events once as the connection wakes it, and after a time-out with nothing on the
// connection only every kQuietTimeoutsPerRead-th time (a signal cuts the wait short and is
// read at once); SDL's own wait reads the connection many times per wake, which is most of
// what an idle program costs. Before sleeping it looks at the connection only when a
// request went out since it was last read to the end, and TakeQueuedEvent looks at SDL's
// queue only when an event passed the driver's filter since the queue was last found
// empty: a quiet wake touches neither Xlib nor SDL's queue. Other drivers wait in SDL.
// TakeQueuedEvent takes what SDL has queued in one batch (up to 8 events) and hands the
// rest out first on the next takes, polls and waits.
class SdlVideoBackend : public VideoBackend {
public:
  SdlVideoBackend() = default;
  ~SdlVideoBackend() override;
  SdlVideoBackend(const SdlVideoBackend&) = delete;
  SdlVideoBackend& operator=(const SdlVideoBackend&) = delete;

  bool Init() override;
  void Quit() override;
  const char* GetCurrentVideoDriver() override;
  bool PollEvent(SDL_Event& event) override;
  bool WaitEventTimeout(SDL_Event& event, int32_t timeoutMs) override;
  void PumpEvents() override;
  bool TakeQueuedEvent(SDL_Event& event) override;
  bool PushEvent(SDL_Event& event) override;
  uint32_t RegisterEventType() override;
  uint64_t GetTicks() override;
  uint32_t CreateWindow(const char* title, int x, int y, int width, int height, uint32_t flags) override;
  void DestroyWindow(uint32_t window) override;
  void SetWindowTitle(uint32_t window, const char* title) override;
  void ShowWindow(uint32_t window) override;
  void HideWindow(uint32_t window) override;
  void RaiseWindow(uint32_t window) override;
  void MinimizeWindow(uint32_t window) override;
  void MaximizeWindow(uint32_t window) override;
  void RestoreWindow(uint32_t window) override;
  bool SetWindowInputFocus(uint32_t window) override;
  uint32_t GetWindowFlags(uint32_t window) override;
  void SetWindowPosition(uint32_t window, int x, int y) override;
  void GetWindowPosition(uint32_t window, int& x, int& y) override;
  void SetWindowSize(uint32_t window, int width, int height) override;
  void GetWindowSize(uint32_t window, int& width, int& height) override;
  bool GetWindowBordersSize(uint32_t window, int& top, int& left, int& bottom, int& right) override;
  void SetWindowMinimumSize(uint32_t window, int width, int height) override;
  void SetWindowMaximumSize(uint32_t window, int width, int height) override;
  void SetWindowAlwaysOnTop(uint32_t window, bool onTop) override;
  bool SetWindowModalFor(uint32_t window, uint32_t owner) override;
  void SetWindowActions(uint32_t window, bool resize, bool minimize, bool maximize) override;
  bool LearnWindowFrame(uint32_t window, int& top, int& left, int& bottom, int& right) override;
  void AwaitWindowFrame(uint32_t window) override;
  bool SetWindowIcon(uint32_t window, const uint32_t* pixels, int width, int height, int pitch) override;
  SDL_Surface* GetWindowSurface(uint32_t window) override;
  bool UpdateWindowSurfaceRects(uint32_t window, const SDL_Rect* rects, int count) override;
  uint32_t GetKeyboardFocus() override;
  uint32_t GetMouseFocus() override;
  bool CaptureMouse(bool enabled) override;
  uint32_t GetGlobalMouseState(int& x, int& y) override;
  bool WarpMouseGlobal(int x, int y) override;
  uint32_t GetModState() override;
  SDL_Cursor* CreateSystemCursor(SDL_SystemCursor id) override;
  SDL_Cursor* CreateColorCursor(const uint32_t* pixels, int width, int height, int pitch, int hotX, int hotY) override;
  void FreeCursor(SDL_Cursor* cursor) override;
  void SetCursor(SDL_Cursor* cursor) override;
  void ShowCursor(bool show) override;
  bool GetDisplayBounds(int display, SDL_Rect& bounds) override;
  bool GetDisplayUsableBounds(int display, SDL_Rect& bounds) override;
  unsigned long GetXWindow(uint32_t window) override;
  int32_t OwnProcessWindows(uint32_t window, int32_t pid) override;
  int32_t ShowMessageBox(uint32_t style, const char* title, const char* message, uint32_t owner,
                         const std::function<bool()>& whileShown) override;

private:
  // Waits in poll() for the X connection or a wake-up (see above); false for a time-out.
  bool WaitOnConnection(SDL_Event& event, int32_t timeoutMs);
  // The next event of the last batch taken from SDL's queue; false when none is left.
  bool TakeBatched(SDL_Event& event);
  // SDL's index of display (0: the desktop, as above).
  int SdlDisplay(int display) const;

  static constexpr int kQuietTimeoutsPerRead = 30; // about a second of 33 ms time-outs

  // Turns the X server's exposes into ExposedEvent and drops SDL's other raw X events
  // (any thread: SDL runs it for every event pushed).
  static int SDLCALL FilterEvent(void* self, SDL_Event* event);

  // The X connection (Display*) of SDL's x11 driver, once a window told it.
  void* mDisplay = nullptr;
  std::map<unsigned long, uint32_t> mXWindows; // UI thread: the X window of each SDL window id
  int mWakeFd = -1;                            // an eventfd: PushEvent writes, the wait reads
  int mQuietTimeouts = 0;                      // time-outs since the last read
  unsigned long mReadToRequest = 0;            // Xlib's next request when last read to the end
  bool mFiltered = false;                      // FilterEvent sees every event SDL queues
  std::atomic<bool> mMayHoldEvents{true};      // an event passed the filter since the queue was empty
  // UI thread: events taken from SDL's queue in one batch and not handed out yet, which
  // every way of taking an event hands out first.
  std::array<SDL_Event, 8> mTaken{};
  int mTakenNext = 0;
  int mTakenCount = 0;
};

// The backend's id of one of the layer's windows (its SDL window id); 0 for a handle that
// names no window. UI thread.
uint32_t GetBackendWindowId(HWND hwnd);

} // namespace QZ::Platform::Window
