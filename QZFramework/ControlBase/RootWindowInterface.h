#pragma once
// QZ::IRootWindow: what a control asks of the root window of its tree: the pointer capture,
// hover and focus bookkeeping, the cursor, the buttons, modifiers and position of the
// pointer, the dirty region, the window's rectangles and caption, the end of its modal loop,
// the window's hot keys and the distributor that raises "NID_IDLE". QZ::LRootWindow implements it; the control base's
// tests use a recording fake (tests/Support/FakeRootWindow.h).
//
//   QZ::RCPtr<QZ::IRootWindow> window = control->GetRootWindowRef();   // the top control's
//   if (window && (window->GetMouseButtons() & QZ::kMouseButtonLeft)) {
//     window->SetCaptureControl(control);
//   }
//
// Coordinates are the window's client coordinates in whole pixels unless a member says
// otherwise. Every member runs on the main thread, except InvalidateRect, which any thread
// may call. A control holds its window through a counted reference only while it is the
// window's top control; the window keeps the books of that link (it counts as one of its
// internal references).

#include <cstdint>

#include "QZFramework/ControlBase/UITarget.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LControl;
class LGlobalHotKeyManager;
class LKeyParam;
class LNotification;
class LNotificationDistributor;
class LRenderer;

// A pointer cursor of the window system; 0 stands for none (the default cursor).
using CursorHandle = uintptr_t;

class IRootWindow : public virtual LRefCountedObject {
public:
  // --- Pointer and keyboard state ---------------------------------------------------------

  // Makes control the holder of the pointer capture; the previous holder (also when it is
  // control) gets ReleaseCapture first. 0; QZ_E_INVALIDARG for null.
  virtual QZResult SetCaptureControl(const RCPtr<LControl>& control) = 0;
  // Clears the capture holder; 0.
  virtual QZResult ReleaseCaptureControl() = 0;
  // The held buttons: kMouseButtonLeft, kMouseButtonMiddle, kMouseButtonRight.
  virtual uint32_t GetMouseButtons() = 0;
  // The pointer in client coordinates; (0, 0) without an OS window.
  virtual PointT<int32_t> GetMousePosition() = 0;
  // The held modifiers as the key-modifier mask (kModifierCtrl, kModifierShift, kModifierAlt).
  virtual uint32_t GetModifierState() = 0;
  // Hit-tests the tree at point: the control found (null when none) and the point in its
  // coordinates in localPoint; with updateHover the found control becomes the mouse-over
  // control (leave, then enter).
  virtual RCPtr<LControl> SetMouseOverAt(const PointT<int32_t>& point, PointT<int32_t>& localPoint,
                                         bool updateHover) = 0;
  // Moves the mouse-over state to control (null: none).
  virtual void SetMouseOverControl(const RCPtr<LControl>& control) = 0;
  // The control with the keyboard focus; null when none.
  virtual RCPtr<LControl> GetFocusedControl() = 0;
  // Records control as the focused control (called by the control that takes the focus).
  virtual void SetFocusedControl(const RCPtr<LControl>& control) = 0;
  // Moves the focused control into the previous-focus record and clears it (called by the
  // control that loses the focus).
  virtual void ClearFocusedControl() = 0;
  // The previous-focus record: the control that had the focus before it went elsewhere
  // (a menu bar gives the keyboard back to it); null when none.
  virtual RCPtr<LControl> GetPreviousFocusedControl() const = 0;
  // Focus navigation ran past the first or last control of the window: moves on to the
  // next window (the previous one with Shift), or wraps inside this one. 0.
  virtual QZResult MoveFocusToNextWindow(const RCPtr<LKeyParam>& key) = 0;
  // Shows cursor (0: the application's "UI_CURSOR_ARROW") and returns the cursor shown
  // before; 0 without an OS window.
  virtual CursorHandle SetCursor(CursorHandle cursor) = 0;

  // --- Painting ---------------------------------------------------------------------------

  // Adds rect, cut to the client area, to the dirty region and asks for a repaint. Any
  // thread.
  virtual void InvalidateRect(const RectT<int32_t>& rect) = 0;
  // The window's renderer; null before the OS window made one.
  virtual RCPtr<LRenderer> GetRenderer() = 0;

  // --- The window -------------------------------------------------------------------------

  // The client area: x and y its origin in screen coordinates, width and height its size.
  virtual RectT<int32_t> GetClientRect() = 0;
  // Moves or resizes the OS window to the client area rect (screen coordinates): 0; 1 when
  // nothing changed or there is no OS window.
  virtual QZResult SetClientRect(const RectT<int32_t>& rect) = 0;
  // The OS window's frame (outer) rectangle in screen coordinates.
  virtual RectT<int32_t> GetFrameRect() = 0;
  // Gives the OS window the frame rectangle rect (screen coordinates): 0; 1 when nothing
  // changed or there is no OS window.
  virtual QZResult SetFrameRect(const RectT<int32_t>& rect) = 0;
  // The window's caption (a top control's label).
  virtual void SetCaption(const WString& text) = 0;
  // Lays the top control out on the client area again and repaints the window at once.
  virtual void UpdateLayout() = 0;
  // Makes control (null: none) the window's top control: the window's input state is
  // cleared, the old top control detached, the window's hot keys reloaded from the new
  // control's string table, and control told this window when it knows none yet. 0.
  virtual QZResult InstallRootControl(const RCPtr<LControl>& control) = 0;
  // Asks for the end of the window's modal loop with result (outside one: for the window's
  // close); it happens on the next idle pass, never inside a handler. 0; QZ_E_FAIL without
  // an OS window.
  virtual QZResult EndModal(int32_t result) = 0;

  // --- Keys, commands and idle ticks ------------------------------------------------------

  // The window's hot keys ("GHK"); null when it has none.
  virtual RCPtr<LGlobalHotKeyManager> GetHotKeyManager() = 0;
  // Raises a command (a notification named by a bound hot key's command) as the window's
  // command handling does: 0 when handled, 1 when nobody handles it.
  virtual QZResult HandleCommand(const RCPtr<LNotification>& command) = 0;
  // The distributor that raises "NID_IDLE" on every idle pass of the window.
  virtual RCPtr<LNotificationDistributor> GetIdleDistributor() = 0;
  // While marked (owner not null) the invalidations this thread makes change a rectangle
  // between states owner names (a caret's blink: shown or hidden): the window may then show
  // a state it painted before from its own copy of those pixels, as long as nothing else
  // invalidated any of them. Null owner ends the marking. This default marks nothing.
  virtual void MarkAlternating(const void* /*owner*/, uint32_t /*state*/) {}
  // Keeps an idle request of control's for the time it has nothing to do: the window gives
  // it back (LControl::AddIdleRequest) on the first idle pass that raises "NID_IDLE" once the
  // application clock has reached seconds (a microsecond short counts), before raising it,
  // so the control ticks in that pass and costs the passes before it nothing. The caller
  // releases its own request after a success. A second call for the same control moves its
  // time. The window holds the control meanwhile; when its top control changes, the waiting
  // requests are dropped (the tree that leaves lets go of all its requests). 0; QZ_E_INVALIDARG for a null control;
  // QZ_E_NOTIMPL from a window that keeps none (this default), and the caller keeps its own.
  virtual QZResult AddIdleRequestAt(const RCPtr<LControl>& control, double /*seconds*/) {
    return control ? QZResult(QZ_E_NOTIMPL) : QZResult(QZ_E_INVALIDARG);
  }
  // Takes back a request AddIdleRequestAt keeps for control without giving it to it: true
  // when one waited (the caller holds it again), false when none did.
  virtual bool CancelIdleRequestAt(const LControl* /*control*/) { return false; }

protected:
  ~IRootWindow() override = default;
};

} // namespace QZ
