#pragma once
// Windows over SDL2 with the Win32 shape: a window has a handle, a window procedure that
// receives its messages, styles, a client area, an update region, a show state, an
// enabled state, and takes part in focus and mouse capture.
//
//   class MainWindow : public QZ::Platform::Window::WindowProcedure {
//     LRESULT WindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) override {
//       if (message == WM_PAINT) { ...draw...; ValidateRect(hwnd, nullptr); return 0; }
//       return DefWindowProc(hwnd, message, wParam, lParam);
//     }
//   } main;
//   if (!Startup()) { ... }                            // SDL_VIDEODRIVER picks the driver
//   HWND hwnd = CreateWindowEx(0, u"Editor", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
//                              100, 100, 800, 600, nullptr, &main);
//   ShowWindow(hwnd, SW_SHOW);
//   ... the message loop (Platform/Host/MessageLoop.h) delivers its messages ...
//   DestroyWindow(hwnd);
//   Shutdown();
//
// Geometry: SDL positions a window by its client area; the window rectangle is the client
// rectangle grown by the frame SDL reports (none under the offscreen driver or without a
// window manager; a window with a caption asks for its frame before it first shows, so
// that hidden or shown it is placed alike). A window's update region is kept as its
// bounding rectangle.
//
// Threads: everything runs on the UI thread (the thread that called Startup) except
// IsWindow and InvalidateRect, which any thread may call. Startup and Shutdown run while
// no other thread uses the layer. Nothing here throws; failures answer false or null.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Window/WindowMessages.h"
#include "Platform/Window/WindowTypes.h"

namespace QZ::Platform::Window {

class VideoBackend;

// Receives a window's messages. Runs on the UI thread, called by DispatchMessage,
// SendMessage and the layer itself (WM_CAPTURECHANGED from SetCapture and ReleaseCapture;
// WM_DESTROY, then WM_NCDESTROY, from DestroyWindow: no call follows WM_NCDESTROY). The
// procedure is the caller's and must outlive the window or its WM_NCDESTROY.
class WindowProcedure {
public:
  virtual ~WindowProcedure() = default;
  virtual LRESULT WindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) = 0;
};

// Starts the layer on the calling thread, which becomes the UI thread, over SDL (the
// driver SDL_VIDEODRIVER names, else SDL's choice) or over the given backend. False when
// the video subsystem does not start or the layer runs already.
[[nodiscard]] bool Startup();
[[nodiscard]] bool Startup(std::unique_ptr<VideoBackend> backend);
// Destroys every window left (WM_DESTROY, WM_NCDESTROY), frees cursors and undelivered
// drops, and stops SDL. Nothing when the layer does not run.
void Shutdown();
// Whether Startup succeeded and Shutdown has not run since. Any thread.
bool IsStarted();

// A new window of the given styles with title, its client area at (x, y), width x height
// (x CW_USEDEFAULT: placed by the window system; a frame goes around the client area),
// owned by `owner` (kept above it; destroyed with it) when not null, whose messages go to
// `procedure`. Hidden unless the style has WS_VISIBLE; disabled with WS_DISABLED; always
// on top with WS_EX_TOPMOST. With WS_CAPTION the window manager is told which actions the
// window offers (resizing with WS_THICKFRAME, minimising with WS_MINIMIZEBOX, maximising
// with WS_MAXIMIZEBOX) and asked for the frame, waiting up to
// VideoBackend::kFrameAnswerMs. Null when SDL cannot make it or the procedure is null.
[[nodiscard]] HWND CreateWindowEx(uint32_t exStyle, std::u16string_view title, uint32_t style, int32_t x, int32_t y,
                                  int32_t width, int32_t height, HWND owner, WindowProcedure* procedure);
// Destroys the windows it owns first, drops its capture and focus, sends it WM_DESTROY and WM_NCDESTROY and closes its
// SDL window. May be called from the window's own procedure. False for a handle that names no window.
bool DestroyWindow(HWND hwnd);
// Whether hwnd names a live window. Any thread.
bool IsWindow(HWND hwnd);
// The owner given at creation; null for none.
HWND GetParent(HWND hwnd);
// The styles given at creation.
uint32_t GetWindowStyle(HWND hwnd);

// Calls the window's procedure now and answers its result; 0 for a dead handle or from
// another thread than the UI thread.
LRESULT SendMessage(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam);
// The default handling: WM_SYSCOMMAND SC_CLOSE sends WM_CLOSE; WM_CLOSE destroys the
// window; WM_PAINT validates the whole window; WM_DROPFILES frees the drop. 0 for all.
LRESULT DefWindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam);

bool SetWindowText(HWND hwnd, std::u16string_view text);
// The icon the window system shows for the window (its title bar, the task list):
// width x height ARGB words with straight alpha, `pitch` bytes a row, copied. WM_SETICON's
// stand-in: one picture serves both sizes. False for a dead handle or pixels SDL refuses.
bool SetWindowIcon(HWND hwnd, const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch);
std::u16string GetWindowText(HWND hwnd);

// Shows, hides, minimises, maximises or restores (SW_ commands); the commands that
// activate raise the window and give it the input focus. Answers whether the window was
// visible before. A window that becomes visible is invalidated whole.
bool ShowWindow(HWND hwnd, int32_t command);
bool IsWindowVisible(HWND hwnd);
bool IsIconic(HWND hwnd); // minimised
bool IsZoomed(HWND hwnd); // maximised
// Input (keys, characters, mouse, dropped files, the close box) for a disabled window is
// dropped by the message queue. Answers whether the window was disabled before.
bool EnableWindow(HWND hwnd, bool enable);
bool IsWindowEnabled(HWND hwnd);

// (0, 0, client width, client height).
bool GetClientRect(HWND hwnd, RECT* rect);
// The client area in screen coordinates: GetClientRect's rectangle moved by ClientToScreen.
bool GetClientScreenRect(HWND hwnd, RECT* rect);
// The window rectangle (client area and frame) in screen coordinates.
bool GetWindowRect(HWND hwnd, RECT* rect);
bool ClientToScreen(HWND hwnd, POINT* point);
bool ScreenToClient(HWND hwnd, POINT* point);
// Moves and sizes the window by its window rectangle; insertAfter HWND_TOPMOST or
// HWND_NOTOPMOST changes its always-on-top state (SWP_NOZORDER: neither);
// SWP_SHOWWINDOW and SWP_HIDEWINDOW show (without activating) or hide it.
bool SetWindowPos(HWND hwnd, HWND insertAfter, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags);
bool MoveWindow(HWND hwnd, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint);
// Raises the window and gives it the input focus.
bool BringWindowToTop(HWND hwnd);
// The smallest and largest client size the user can size the window to; 0 for a side
// means no limit (a maximum of 0 x 0 lifts the maximum).
bool SetClientSizeLimits(HWND hwnd, SIZE minimum, SIZE maximum);
// showCmd SW_SHOWMAXIMIZED, SW_SHOWMINIMIZED or SW_SHOWNORMAL; rcNormalPosition the
// client rectangle in screen coordinates as last seen neither minimised nor maximised.
bool GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
// Gives the window rcNormalPosition as its restored client rectangle, then shows it
// with showCmd (ShowWindow). False for an empty rectangle or one with an edge beyond
// -32767..32767 (X's coordinates), which no window can have.
bool SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement);

// Adds a client rectangle (null: the whole client area), clipped to the client area, to
// the window's update region. Any thread; from another thread it wakes the message
// queue, which then sends WM_PAINT. `erase` is accepted and ignored.
bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase);
// Takes a rectangle (null: everything) out of the update region; a rectangle that does
// not cover a whole side of the region's bounding rectangle leaves it as it is.
bool ValidateRect(HWND hwnd, const RECT* rect);
// True when the update region is not empty; rect (may be null) gets its bounding
// rectangle, or an empty one.
bool GetUpdateRect(HWND hwnd, RECT* rect, bool erase);
// The rectangles the update region was invalidated with, in order (overlaps possible; a
// rectangle taken out by ValidateRect is dropped); true when there are any. Many
// invalidations since the last paint come as their bounding rectangle.
bool GetUpdateRects(HWND hwnd, std::vector<RECT>& rects);
// GetUpdateRects and then ValidateRect(hwnd, nullptr) at once: what a paint takes, with
// no invalidation from another thread lost between the two. Any thread.
bool TakeUpdateRects(HWND hwnd, std::vector<RECT>& rects);
// Sends WM_PAINT now when the window is visible and its update region is not empty.
bool UpdateWindow(HWND hwnd);
// RDW_INVALIDATE invalidates (rect, null: all), RDW_UPDATENOW then updates the window.
bool RedrawWindow(HWND hwnd, const RECT* rect, uint32_t flags);

// The window's pixels, lent for drawing: premultiplied ARGB words in native byte order
// (alpha in the top byte, ignored by the screen), rows `pitch` bytes apart. Valid until
// the window's size changes; ask again before each frame.
struct WindowPixels {
  void* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pitch = 0;
};
// False when the window has no pixels (minimised, or a surface that is not 32-bit RGB).
bool GetWindowPixels(HWND hwnd, WindowPixels& pixels);
// Puts the given client rectangles of the pixels lent for this frame (lent, as
// GetWindowPixels gave them since the window's size last changed) on the screen, and
// nothing else.
bool PresentWindowPixels(HWND hwnd, const WindowPixels& lent, const RECT* rects, size_t count);

// The window with the keyboard focus (also the active window: there are no child
// windows), as the last focus message or SetActiveWindow said; null when none of ours has
// it.
HWND GetFocus();
HWND GetActiveWindow();
// Asks the window system to give hwnd the keyboard focus; WM_KILLFOCUS and WM_SETFOCUS
// follow through the queue. Answers the window that had the focus.
HWND SetFocus(HWND hwnd);
// Raises hwnd, asks the window system for the keyboard focus and makes hwnd the active
// window at once: the previous one is sent WM_KILLFOCUS (wParam hwnd), hwnd WM_SETFOCUS
// (wParam the previous), before returning, so that input already queued reaches hwnd.
// The window system's own focus events follow through the queue. Answers the window that
// was active; null also for a dead handle.
HWND SetActiveWindow(HWND hwnd);

// Mouse messages of our windows go to the capture window while there is one; from outside
// our windows only while a mouse button is held (SDL's automatic capture, and
// SDL_CaptureMouse where the driver can), as on Windows. A change of capture sends
// WM_CAPTURECHANGED (lParam the window gaining it, or 0) to the window losing it, before
// returning. Losing the keyboard focus drops the capture the same way, through the queue.
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();

// Our window under the screen point: the one SDL has the mouse in when the point lies in
// it, else the active window, else any visible one whose window rectangle holds it.
HWND WindowFromPoint(POINT point);

// Windows of other programs that stand for one of ours (a dialog program): the X window
// behind hwnd, for such a program to be told its owner; 0 for a window on no X display
// (SDL's offscreen driver).
unsigned long GetXWindowId(HWND hwnd);
// Makes every shown top-level window of process pid that has no owner of its own owned by
// hwnd (WM_TRANSIENT_FOR), so that a window manager keeps it above hwnd and hands it the
// focus in hwnd's place. The number of pid's shown windows that hwnd owns now; 0 while it
// shows none, or off an X display.
int32_t OwnProcessWindows(HWND hwnd, int32_t pid);

} // namespace QZ::Platform::Window
