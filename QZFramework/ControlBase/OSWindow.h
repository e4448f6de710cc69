#pragma once
// QZ::OSWindow: the window of the window layer (Platform/Window) that hosts one root window.
// It makes the window's renderer and root window, turns the window's messages into the root
// window's input (modifier masks, key codes, pointer parameters), paints the tree on
// WM_PAINT into the window's pixels, runs the window's modal loop, and offers the root
// window its QZ::IWindowOSServices.
//
//   auto* window = new QZ::OSWindow;                   // deleted by itself, see below
//   if (!window->CreateEx(0, u"QZFrameworkWindow", u"Send", 0x80C80000, 100, 100, 300, 200, owner)) {
//     delete window;                                    // no window: still the creator's
//   } else if (window->CreateRenderer(QZ::kRendererGDI) == QZ::QZ_OK) {
//     window->GetRootWindow()->InstallRootControl(dialogControl);
//     int32_t result = window->GetOSServices().RunModalLoop();   // the object is gone after
//   }
//
// Lifetime: the creator owns the object until CreateEx succeeds; from then on the object
// belongs to its window and deletes itself once the window is destroyed, however that
// happens (its close, EndModal, the end of its modal loop, DestroyWindow, the window
// layer's shutdown), as soon as no call of its own is left on the stack: a handler that
// closes its window returns normally. It is never deleted by others while its window
// exists.
//
// Messages: keys go to the focused control at once (WM_KEYDOWN ... with the key-code word,
// the left/right flags and the repeat byte; WM_CHAR one character per UTF-16 unit, none
// with a Win key held); buttons take the window's focus and pointer capture (a release
// outside the window after a drag still reaches the control that holds the capture);
// moves keep the hover up to date, leaving the window ends it; the wheel is summed into
// 120-unit notches; the close box ends the application on the main window (it posts
// "NID_APP_EXIT_REQ") and closes any other root window; dropped files go to the control
// under the drop point when it takes them; WM_COPYDATA 1125 hands a second instance's
// command line (UTF-8, bounded by its length) to the application while the window takes
// input; clipboard updates go to the application's clipboard; a size change relays the tree out and keeps the client
// size within the top control's limits; the main window writes its placement ("WP", section: its window class name)
// when it is destroyed. A 33 ms timer (id 1) keeps the idle passes coming.
//
// Cursors: a CursorHandle here is the window layer's HCURSOR as an integer.
//
// Threads: UI thread, except the IWindowOSServices invalidations (see there).

#include <atomic>
#include <cstdint>
#include <vector>

#include "Platform/Window/Window.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/ControlBase/WindowOSServices.h"

namespace QZ {

class LRenderContextInfo;
class LGDIRenderContextInfo;

class OSWindow : public Platform::Window::WindowProcedure, private IWindowOSServices {
public:
  using HWND = Platform::Window::HWND;
  using LPARAM = Platform::Window::LPARAM;
  using LRESULT = Platform::Window::LRESULT;
  using WPARAM = Platform::Window::WPARAM;

  // The id of the timer that keeps idle passes coming, and its period.
  static constexpr uintptr_t kIdleTimerId = 1;
  static constexpr uint32_t kIdleTimerMs = 33;
  // WM_COPYDATA's dwData of a second instance's command line.
  static constexpr uintptr_t kCommandLineCopyData = 1125;

  // An object without a window.
  OSWindow();
  // Only for an object whose window was never made (or is gone): see Lifetime.
  ~OSWindow() override;
  OSWindow(const OSWindow&) = delete;
  OSWindow& operator=(const OSWindow&) = delete;

  // --- Creation -------------------------------------------------------------------------

  // Makes the window (styles as the window layer's CreateWindowEx takes them, with
  // WS_CLIPSIBLINGS and WS_CLIPCHILDREN added; className names the window's kind, its
  // profile section). False when it cannot be made, or the object has a window already.
  [[nodiscard]] bool CreateEx(uint32_t exStyle, const WString& className, const WString& title, uint32_t style,
                              int32_t x, int32_t y, int32_t width, int32_t height, HWND owner);
  // Makes the renderer of kind for the client area, starts the idle timer and makes the
  // root window (OnCreateRootWindow). 0; 0x80004005 without a window, and for the OpenGL
  // renderer (which needs a GL window of its own). Throws the renderer's Domain Error for
  // an unknown kind. The GDI renderer (kRendererGDI) draws into the window's pixels.
  [[nodiscard]] QZResult CreateRenderer(int32_t kind);
  // Takes renderer (a window may share another's), makes the drawing context of the
  // client area and the root window, and adds it to the application's root windows. 0;
  // 0x80004005 without a window or renderer.
  QZResult OnCreateRootWindow(const RCPtr<LRenderer>& renderer);

  // --- What the application uses ------------------------------------------------------

  HWND GetSafeHwnd() const { return mHwnd.load(); }
  const WString& GetClassName() const { return mClassName; }
  // Null before OnCreateRootWindow and once the window is destroyed.
  const RCPtr<LRootWindow>& GetRootWindow() const { return mRootWindow; }
  IWindowOSServices& GetOSServices() { return *this; }
  // Passes the client size of the window rectangle rect (screen coordinates) through the
  // root window's size limits and moves rect's right and bottom edges to match: true when
  // it changed rect.
  bool AdjustToClientSize(Platform::Window::RECT& rect);
  void EnableInput();
  void DisableInput();

  // The window's messages (the window layer calls it).
  LRESULT WindowProc(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) override;

private:
  // Keeps the object alive while a call of its own is on the stack; the last one out
  // deletes an object whose window is gone.
  class CallScope {
  public:
    explicit CallScope(OSWindow& window) : mWindow(window) { ++mWindow.mCallDepth; }
    ~CallScope();
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

  private:
    OSWindow& mWindow;
  };

  // --- IWindowOSServices ---
  QZResult SetTitle(const WString& title) override;
  QZResult InvalidateAll() override;
  QZResult InvalidateRect(const RectT<int32_t>& rect) override;
  QZResult GetClientRect(RectT<int32_t>& rect) override;
  QZResult ScreenToClient(PointT<int32_t>& point) override;
  QZResult ClientToScreen(PointT<int32_t>& point) override;
  QZResult GetClientScreenRect(RectT<int32_t>& rect) override;
  QZResult SetClientRect(const RectT<int32_t>& rect) override;
  bool Show(int32_t command) override;
  QZResult Redraw() override;
  QZResult BringToTop() override;
  QZResult SetTopMost(bool topMost) override;
  QZResult EndModal(int32_t result) override;
  int32_t RunModalLoop() override;
  bool IsModal() override { return mInModalLoop; }
  bool IsActive() override;
  bool HasFocus() override;
  QZResult Activate() override;
  CursorHandle SetCursor(CursorHandle cursor) override;
  PointT<int32_t> GetCursorPos() override;
  uint32_t GetMouseButtons() override;
  WindowHandle GetHandle() override { return mHwnd.load(); }
  QZResult GetWindowRect(RectT<int32_t>& rect) override;
  QZResult SetWindowRect(const RectT<int32_t>& rect) override;
  QZResult UpdateSizeLimits() override;

  // --- Message handlers (OSWindowMessages.cpp) ---
  LRESULT Dispatch(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam);
  // The handlers given the root window get the one Dispatch holds for the message.
  void OnPaint(LRootWindow& root);
  void OnKeyMessage(uint32_t message, WPARAM wParam, LPARAM lParam);
  void OnCharMessage(WPARAM wParam, LPARAM lParam);
  void OnButtonDown(LRootWindow& root, uint32_t button, bool doubleClick, WPARAM wParam, LPARAM lParam);
  void OnButtonUp(LRootWindow& root, uint32_t button, WPARAM wParam, LPARAM lParam);
  void OnMouseMoveMessage(LRootWindow& root, WPARAM wParam, LPARAM lParam);
  void OnWheel(bool vertical, WPARAM wParam, LPARAM lParam);
  void OnSize(WPARAM kind, LPARAM lParam);
  void OnMove();
  void OnCloseCommand();
  LRESULT OnCopyData(const Platform::Window::COPYDATASTRUCT* data);
  // The clipboard changed: the application's clipboard hears it (it stands for
  // WM_DESTROYCLIPBOARD when another program took the clipboard from this one).
  void OnClipboardUpdate();
  void OnDropFiles(WPARAM wParam);
  LRESULT OnKickIdle(LPARAM idleCount);
  // The window is destroyed: the main window's placement is written.
  void OnDestroy();
  // The window is gone: the root window leaves the application, context, renderer and
  // root window are let go, and the object deletes itself once its calls have returned.
  void OnNcDestroy();

  // Whether this is the application's main root window (its first).
  bool IsMainRootWindow() const;
  // Writes the placement "WP" of the main root window of no owner.
  void SavePlacement();
  // Destroys the window; the object goes once its calls have returned.
  void DestroyNow();
  // Keeps the client size within the root window's limits after a size change.
  void CorrectClientSize();

  RCPtr<LRootWindow> mRootWindow;
  RCPtr<LRenderer> mRenderer;
  RCPtr<LRenderContextInfo> mRenderContext;
  // mRenderContext as the GDI renderer's, else null: found once, not in every paint.
  LGDIRenderContextInfo* mGdiContext = nullptr;
  PointT<int32_t> mLastPoint;
  uint32_t mButtonsDown = 0;
  int32_t mButtonDownCount = 0;
  int32_t mWheelAccumulator[2] = {0, 0}; // vertical, horizontal
  bool mHoldsCapture = false;
  bool mInModalLoop = false;
  bool mOffWorkArea = false;
  // A paint's update rectangles and those it presents, kept so that a paint allocates none.
  std::vector<Platform::Window::RECT> mPaintUpdates;
  std::vector<Platform::Window::RECT> mPaintPresented;

  // Read by other threads' invalidations while the root window keeps the link.
  std::atomic<HWND> mHwnd{nullptr};
  WString mClassName;
  int32_t mCallDepth = 0;
  bool mDeleteWhenUnwound = false;
};

} // namespace QZ
