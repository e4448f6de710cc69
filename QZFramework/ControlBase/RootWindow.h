#pragma once
// QZ::LRootWindow: the root of one window's control tree. It owns the tree's top control,
// turns the OS window's raw input into calls on the right control, keeps the window's input
// state (focus, previous focus, hover, capture, tool-tip owner, drop target), collects the
// dirty region and paints the tree into it, runs the window's idle work and carries the
// window's hot keys ("GHK"). It never talks to the window system itself: everything goes
// through the hosting OS window's QZ::IWindowOSServices (QZ::OSWindow), and what it needs of
// the application through QZ::IControlApplication.
//
//   // What QZ::OSWindow does when its renderer exists:
//   QZ::RCPtr<QZ::LRootWindow> root = QZ::LRootWindow::Create(renderer, this);
//   application->AddRootWindow(root);
//   root->SetRootControl(u"mainControl");             // built by the control factory
//   // ... and for each window message:
//   root->OnMouseButton(QZ::LRootWindow::kPress, QZ::kMouseButtonLeft, 0, {40, 12}, 0);
//   root->InvalidateRect({0, 0, 100, 30});            // any thread
//   QZ::RectListT<int32_t> dirty;
//   root->TakeDirtyRegion(dirty);                      // WM_PAINT
//   root->Paint(dirty);
//   bool more = root->ProcessKeyQueue(true);           // every idle pass
//
// Input is dispatched only while the OS window exists and reports itself active. Buttons and
// moves reach their control in its own coordinates, the wheel in the window's client
// coordinates. A release only ever reaches the control that holds the capture.
//
// Ownership: the OS window holds the root window; the top control holds it back, and that
// link counts as one of the root window's internal references, so the tree is taken down
// (the top control detached) when the last outside reference goes.
//
// Threads: everything on the UI thread, except InvalidateRect, which any thread may call:
// the dirty region and the client rectangle are guarded by the region lock, held only while
// a rectangle is added or the region handed over, never while painting or calling the OS.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <shared_mutex>
#include <thread>
#include <utility>
#include <vector>

#include "Platform/Window/QuickLock.h"
#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/GlobalHotKeyManager.h"
#include "QZFramework/ControlBase/RootWindowInterface.h"
#include "QZFramework/ControlBase/WindowOSServices.h"
#include "QZFramework/Notification/NotificationDistributor.h"
#include "QZFramework/Notification/NotificationQueue.h"
#include "QZFramework/Renderer/Gdi/GDIRenderContext.h"
#include "QZFramework/Utilities/Graphics/RectList.h"

namespace QZ {

class LRootWindow : public IRootWindow, public LNotificationDistributor, public LNotificationQueue {
public:
  // Actions of OnMouseButton.
  static constexpr int32_t kPress = 0;
  static constexpr int32_t kRelease = 1;
  static constexpr int32_t kDoubleClick = 2;
  // Input sources whose held buttons are kept.
  static constexpr uint32_t kSourceCount = 10;

  // A root window drawing with renderer, hosted by os (may be null: no OS window yet), whose
  // queue delivers through itself and whose hot-key manager the application makes (one
  // without a receiver when no application is installed).
  static RCPtr<LRootWindow> Create(const RCPtr<LRenderer>& renderer, IWindowOSServices* os);
  ~LRootWindow() override;

  // --- The OS window --------------------------------------------------------------------

  IWindowOSServices* GetOSServices() const { return mOS; }
  // Replaces the OS window (null: detached, every OS call skipped from now on). Waits for
  // invalidations other threads are passing to the old one. UI thread.
  void SetOSServices(IWindowOSServices* os);
  // The next TakeDirtyRegion paints the whole client area (after a resize, or a move that
  // brought the window back on screen).
  void SetWholeWindowDirty() { mWholeWindowDirty = true; }
  // Whether the OS window exists and is active: the condition of every input dispatch.
  bool IsInputActive() const;

  // --- Input ----------------------------------------------------------------------------

  // Hit-tests the tree at point (client coordinates): the deepest control hit, the point in
  // its coordinates in localPoint ((0, 0) when none); with updateHover the hit control
  // becomes the mouse-over control.
  RCPtr<LControl> SetMouseOverAt(const PointT<int32_t>& point, PointT<int32_t>& localPoint, bool updateHover) override;
  // Leave, tool tip and enter, as the pointer moves from the mouse-over control to control.
  // While a control holds the capture, any other control counts as none.
  void SetMouseOverControl(const RCPtr<LControl>& control) override;
  // A button pressed (kPress), released (kRelease) or double-clicked (kDoubleClick) at point
  // with modifiers (the key-modifier mask), from input source source (0 the mouse).
  void OnMouseButton(int32_t action, uint32_t button, uint32_t modifiers, const PointT<int32_t>& point,
                     uint32_t source);
  void OnMouseMove(const PointT<int32_t>& point, uint32_t modifiers, uint32_t source);
  // direction: kWheelDown, kWheelUp, kWheelLeft, kWheelRight.
  void OnMouseWheel(const PointT<int32_t>& point, uint32_t modifiers, uint32_t direction);
  // A key for the focused control (dropped without one); hides the tool tip.
  void OnKey(const RCPtr<LKeyParam>& key);
  QZResult SetCaptureControl(const RCPtr<LControl>& control) override;
  QZResult ReleaseCaptureControl() override;
  // The OS window lost the capture: the holder gives it back.
  void OnCaptureLost();
  RCPtr<LControl> GetCaptureControl() const { return mCaptureControl; }
  RCPtr<LControl> GetMouseOverControl() const { return mMouseOverControl; }
  RCPtr<LControl> GetToolTipOwner() const { return mToolTipOwner; }

  // --- Focus ----------------------------------------------------------------------------

  RCPtr<LControl> GetFocusedControl() override { return mFocusedControl; }
  void SetFocusedControl(const RCPtr<LControl>& control) override;
  void ClearFocusedControl() override;
  RCPtr<LControl> GetPreviousFocusedControl() const override { return mPreviousFocusedControl; }
  // Focus navigation ran past the ends of the tree: with another root window in the
  // application, the next one (the previous one with Shift) is activated, wrapping; alone,
  // the focus starts again at the first (last) control. Only while this window is active
  // and not in a modal loop: 0; otherwise 1.
  QZResult MoveFocusToNextWindow(const RCPtr<LKeyParam>& key) override;
  // The window was activated: the focus returns to the control that had it last in this
  // window, else to the top control.
  void OnActivate();
  // The window lost the keyboard focus: no hover, and the focused control lets go (it is
  // remembered for OnActivate).
  void OnKillFocus();

  // --- Painting -------------------------------------------------------------------------

  // Adds rect (client coordinates), cut to the client area, to the dirty region and asks
  // the OS window to repaint it; nothing for what lies outside. Any thread.
  void InvalidateRect(const RectT<int32_t>& rect) override;
  // Hands the dirty region over into out and empties it (with the whole client area first
  // when the window is marked whole-window dirty).
  void TakeDirtyRegion(RectListT<int32_t>& out);
  // Paints the tree into region (client coordinates) within a frame the caller started on
  // the renderer: the top control and its clipped subtree, then the controls that do not
  // clip to their parents, in ascending Z order (equal orders as the tree has them), each
  // above everything painted before. The caller holds the window for the paint, as the OS
  // window's dispatch does.
  void Paint(const RectListT<int32_t>& region) { Paint(mRenderer, region); }
  // The same through another renderer (one that records what a frame draws, say), which
  // the caller holds and has started a frame on.
  void Paint(const RCPtr<LRenderer>& renderer, const RectListT<int32_t>& region);
  RCPtr<LRenderer> GetRenderer() override { return mRenderer; }
  void MarkAlternating(const void* owner, uint32_t state) override;
  // For a frame of the one rectangle rect of window pixels: when rect is the marked
  // rectangle and the state it is to show was painted before, with nothing invalidated in
  // it since, those pixels are copied there (the frame then needs no painting) and true is
  // answered; else false. UI thread.
  bool RestoreAlternating(const EdgeRect& rect, const GDIWindowPixels& pixels);
  // After a frame of rect painted into pixels (RestoreAlternating asked first): keeps them
  // when rect is the marked rectangle (of at most kAlternatingPixels pixels) and nothing
  // invalidated in it since the frame began. UI thread.
  void KeepAlternating(const EdgeRect& rect, const GDIWindowPixels& pixels);
  static constexpr int64_t kAlternatingPixels = 4096;

  // --- The tree -------------------------------------------------------------------------

  RCPtr<LControl> GetRootControl() const { return mRootControl; }
  // Empty name: the tree is taken down. Otherwise the control factory's control of that
  // skin name becomes the top control: 0; 0x80004005 without an application, factory or
  // such a control.
  QZResult SetRootControl(const WString& name);
  // Makes control (null: none) the top control: the input state is cleared, the old top
  // control detached and the hot keys emptied; the new one's "GHK" entries are loaded, it is
  // told this window, made to fill the client area, given the focus (or the window is
  // activated), the whole client area is invalidated, and last the tree subscribes what it
  // hears from its window (SubscribeNotifications of the top control; its exceptions pass).
  // Installing the top control again changes nothing. 0.
  QZResult InstallRootControl(const RCPtr<LControl>& control) override;
  // Loads the "GHK" entries of control's string table into the window's hot keys: 0; 1
  // when it has none.
  QZResult LoadGlobalHotKeys(const RCPtr<LControl>& control);

  // --- The window's rectangles ----------------------------------------------------------

  // The client area: x and y its origin on the screen, width and height its size; asked of
  // the OS window when there is one, else as last known ((0, 0, 1024, 768) at first).
  RectT<int32_t> GetClientRect() override;
  QZResult SetClientRect(const RectT<int32_t>& rect) override;
  RectT<int32_t> GetFrameRect() override;
  QZResult SetFrameRect(const RectT<int32_t>& rect) override;
  void SetCaption(const WString& text) override;
  // Passes a wanted client size through the top control's placement and size limits
  // (placed against the desktop's work area, from the pointer's position): true when the
  // size changed. Never below 1 x 1.
  bool AdjustClientSize(SizeT<int32_t>& size);
  // The smallest and largest client size AdjustClientSize allows; 0 for a side without a
  // largest size.
  void GetClientSizeLimits(SizeT<int32_t>& minimum, SizeT<int32_t>& maximum);
  // Invalidates the whole client area and has the OS window paint it now.
  void UpdateLayout() override;

  // --- Pointer, keys and cursor ---------------------------------------------------------

  // Shows cursor (0: the application's "UI_CURSOR_ARROW"); the cursor shown before, 0
  // without an OS window.
  CursorHandle SetCursor(CursorHandle cursor) override;
  // From the OS window while it is active, else from the application.
  uint32_t GetMouseButtons() override;
  PointT<int32_t> GetMousePosition() override;
  // Ctrl (kModifierCtrl), Shift and Alt as the application's key state has them now.
  uint32_t GetModifierState() override;

  // --- Modal end, closing and idle work -------------------------------------------------

  // Asks for the end of the window's modal loop (or, outside one, for the window's close)
  // with result; it happens on the next idle pass, never inside a handler. 0; QZ_E_FAIL
  // without an OS window.
  QZResult EndModal(int32_t result) override;
  // The window's close command (its close box, Alt+F4): a dialog at the top ends as its
  // Cancel button would end it (QZ::LDialog::EndDialog with 2: its listeners may keep it
  // open); with any other top control the window ends with result 0.
  void Close();
  // The window's share of one idle pass: its notification queue is drained (with
  // "NID_IDLE" when sendIdle), then a requested modal end is carried out. True while
  // notifications wait.
  bool ProcessKeyQueue(bool sendIdle);

  // --- Files dragged from the desktop ---------------------------------------------------

  void SetDraggedFiles(const RCPtr<LDraggedFiles>& files);
  // Whether the control at point takes the dragged files (asked once per control).
  bool CanDropAt(const PointT<int32_t>& point);
  // Hands the files to the drop target: its answer (0 taken); 1 without a target.
  QZResult DropFiles();
  void ClearDrag();

  // --- Hot keys, commands, idle ticks ---------------------------------------------------

  RCPtr<LGlobalHotKeyManager> GetHotKeyManager() override { return mHotKeys; }
  // Sends command through the window: 0 when a client handled it, 1 when none listens.
  QZResult HandleCommand(const RCPtr<LNotification>& command) override;
  // The window itself: its queue raises "NID_IDLE" on the first idle pass of a period.
  RCPtr<LNotificationDistributor> GetIdleDistributor() override;
  QZResult AddIdleRequestAt(const RCPtr<LControl>& control, double seconds) override;
  bool CancelIdleRequestAt(const LControl* control) override;

  // The last outside reference goes: the tree is taken down, the clients let go, the queue
  // shut down.
  QZResult ReleaseInternalReferences() override;

private:
  LRootWindow(const RCPtr<LRenderer>& renderer, IWindowOSServices* os);

  // GetMousePosition while the OS window is known to be active.
  PointT<int32_t> ActiveMousePosition();
  // The parameter of a press or release: the one this window keeps, filled anew, while
  // nobody else holds it (a handler may keep a parameter: it then gets a new one).
  RCPtr<LMouseButtonParam> ButtonParam(uint32_t button, const PointT<int32_t>& point, uint32_t modifiers,
                                       bool doubleClick, uint32_t buttonsHeld, uint32_t source);
  // The point converted into control's coordinates.
  static PointT<int32_t> ToControl(const RCPtr<LControl>& control, const PointT<int32_t>& point);
  // The control whose tool tip shows for control; null when none.
  static RCPtr<LControl> FindToolTipOwner(const RCPtr<LControl>& control);
  void HideToolTip();
  // Paints control (deferredPass: one that does not clip to its parent, from its parent's
  // content origin), then what it left to the deferred pass.
  static void PaintControl(const RCPtr<LRenderer>& renderer, const RCPtr<LControl>& control,
                           const RectListT<int32_t>& region, bool deferredPass);
  // The client area as the region lock guards it.
  RectT<int32_t> LockedClientRect();
  // Records an invalidation of rect (under the region lock): the marked rectangle and the
  // state it is to show, or the loss of the kept pixels it meets.
  void NoteAlternating(const EdgeRect& rect);
  // Gives back the idle requests whose time the application clock has reached.
  void WakeIdleRequests();

  // The marked rectangle and the pixels of its states (under the region lock).
  struct Alternating {
    const void* marker = nullptr; // while a marking lives, on markingThread
    std::thread::id markingThread;
    uint32_t markedState = 0;
    const void* owner = nullptr; // of rect
    EdgeRect rect{0, 0, 0, 0};
    bool nextKnown = false; // the state its next frame shows is next
    uint32_t next = 0;
    std::vector<std::pair<uint32_t, std::vector<uint32_t>>> pixels; // by state, rows in order
    uint64_t changes = 0;                                           // counts the losses of pixels
    uint64_t paintedAt = 0;                                         // changes when the frame being painted began
  };

  // An idle request AddIdleRequestAt keeps until its time.
  struct TimedIdleRequest {
    double seconds;
    RCPtr<LControl> control;
  };

  RCPtr<LRenderer> mRenderer;
  IWindowOSServices* mOS = nullptr;
  // Held shared while another thread passes an invalidation to the OS window, exclusively
  // while the link changes.
  std::shared_mutex mOSLink;
  // Written on the UI thread under the region lock; read there without it, elsewhere under it.
  RectT<int32_t> mClientRect{0, 0, 1024, 768};
  RCPtr<LControl> mRootControl;
  RectListT<int32_t> mDirtyRegion; // under the region lock
  // Never taken again by its holder; taken on every invalidation and every frame, and
  // seldom by another thread: the quick lock.
  Platform::Window::QuickLock mRegionLock;
  bool mWholeWindowDirty = false;
  uint32_t mDoubleClickMarks = 0;
  RCPtr<LGlobalHotKeyManager> mHotKeys;
  RCPtr<LControl> mFocusedControl;
  RCPtr<LControl> mPreviousFocusedControl;
  RCPtr<LControl> mMouseOverControl;
  RCPtr<LControl> mDropTarget;
  RCPtr<LControl> mToolTipOwner;
  RCPtr<LControl> mCaptureControl;
  bool mEndModalPending = false;
  int32_t mModalResult = 0;
  uint32_t mButtonMasks[kSourceCount] = {};
  RCPtr<LMouseButtonParam> mButtonParam; // see ButtonParam
  RCPtr<LDraggedFiles> mDraggedFiles;
  bool mDropAccepted = false;
  Alternating mAlternating;
  // Whether mAlternating.nextKnown was ever set (it is never cleared): written under the
  // region lock, read without it by the frames, which need no lock while nothing alternates.
  std::atomic<bool> mAlternatingKnown{false};
  std::vector<TimedIdleRequest> mTimedIdleRequests; // a focused text box's, seldom more
  double mEarliestIdleRequest = 0.0;                // the earliest time of those
};

// Shows the wait cursor and a status text for the time of a long operation (a skin change)
// in the active root window, else the application's first, and lets the window repaint
// before the work starts; puts cursor and status back when it goes. Nothing without an
// application. UI thread, on the stack.
//
//   {
//     QZ::LWaitCursorScope wait(u"Loading skin...");
//     ... the work ...
//   }
class LWaitCursorScope {
public:
  explicit LWaitCursorScope(const WString& statusText);
  ~LWaitCursorScope();
  LWaitCursorScope(const LWaitCursorScope&) = delete;
  LWaitCursorScope& operator=(const LWaitCursorScope&) = delete;

private:
  RCPtr<IRootWindow> mWindow;
  CursorHandle mPreviousCursor = 0;
};
using LWaitScope = LWaitCursorScope;

} // namespace QZ
