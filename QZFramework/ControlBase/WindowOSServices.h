#pragma once
// QZ::IWindowOSServices: what a root window asks of the OS window that hosts it: the window's
// rectangles and caption, repaint requests, showing and stacking, the modal loop, activation
// and focus, the cursor and the pointer. QZ::OSWindow implements it over the window layer;
// tests of the root window alone may give a fake.
//
//   if (IWindowOSServices* os = rootWindow->GetOSServices()) {
//     RectT<int32_t> client;
//     if (os->GetClientRect(client) == QZ_OK) { ... (0, 0, width, height) ... }
//     os->InvalidateRect({0, 0, 10, 10});            // WM_PAINT follows
//   }
//
// Results: 0, or 0x80004005 when the window has no handle (not created, or destroyed).
// Coordinates are client coordinates unless a member says otherwise. Every member runs on
// the UI thread, except InvalidateRect and InvalidateAll, which any thread may call while
// the root window keeps the link (LRootWindow guards it).

#include <cstdint>

#include "QZFramework/ControlBase/RootWindowInterface.h"
#include "QZFramework/Renderer/RenderContext.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class IWindowOSServices {
public:
  // The window's caption.
  virtual QZResult SetTitle(const WString& title) = 0;
  // The whole client area is to be painted again. Any thread.
  virtual QZResult InvalidateAll() = 0;
  // The rectangle (x, y, width, height) is to be painted again. Any thread.
  virtual QZResult InvalidateRect(const RectT<int32_t>& rect) = 0;
  // (0, 0, width, height) of the client area into rect.
  virtual QZResult GetClientRect(RectT<int32_t>& rect) = 0;
  virtual QZResult ScreenToClient(PointT<int32_t>& point) = 0;
  virtual QZResult ClientToScreen(PointT<int32_t>& point) = 0;
  // The client area in screen coordinates: GetClientRect's size at the corner ClientToScreen
  // gives; a failure of either is this one's. A window overrides it to answer both at once
  // (the root window asks at each invalidation).
  virtual QZResult GetClientScreenRect(RectT<int32_t>& rect) {
    RectT<int32_t> size;
    PointT<int32_t> origin;
    if (GetClientRect(size) != QZ_OK || ClientToScreen(origin) != QZ_OK) {
      return QZ_E_FAIL;
    }
    rect = {origin.x, origin.y, size.width, size.height};
    return QZ_OK;
  }
  // Moves and sizes the window so that its client area becomes rect (screen coordinates).
  virtual QZResult SetClientRect(const RectT<int32_t>& rect) = 0;
  // Shows, hides, minimises ... (the window layer's SW_ commands); whether the window was
  // visible before.
  virtual bool Show(int32_t command) = 0;
  // Invalidates the whole window and paints it now.
  virtual QZResult Redraw() = 0;
  // Raises the window and gives it the input focus.
  virtual QZResult BringToTop() = 0;
  virtual QZResult SetTopMost(bool topMost) = 0;
  // In the window's modal loop: ends the loop with result. Otherwise the window is closed:
  // destroyed, its object deleted once the calls on the stack have returned.
  virtual QZResult EndModal(int32_t result) = 0;
  // Runs the window's modal loop (its owner disabled meanwhile) until EndModal; then closes
  // the window and answers the result, -1 when the loop could not run or was ended by a
  // quit. The owner is enabled again and, when the window (or none of ours) was active, is
  // the active window when the call returns. The object is deleted when the call returns.
  virtual int32_t RunModalLoop() = 0;
  // Whether the window's modal loop runs.
  virtual bool IsModal() = 0;
  // Whether the window is the active one (for the main window also: its owner is).
  virtual bool IsActive() = 0;
  // Whether the window has the keyboard focus.
  virtual bool HasFocus() = 0;
  // Asks for the keyboard focus (the focus message follows).
  virtual QZResult Activate() = 0;
  // Shows cursor over every window; the cursor shown before.
  virtual CursorHandle SetCursor(CursorHandle cursor) = 0;
  // The pointer in client coordinates: while the window holds the capture, as the last
  // mouse message left it; otherwise asked of the system.
  virtual PointT<int32_t> GetCursorPos() = 0;
  // The held buttons (kMouseButtonLeft ...), by the same rule.
  virtual uint32_t GetMouseButtons() = 0;
  // The window's handle as the window layer gives it (null when it has none).
  virtual WindowHandle GetHandle() = 0;

  // The frame (outer) rectangle in screen coordinates, and moving and sizing by it.
  virtual QZResult GetWindowRect(RectT<int32_t>& rect) = 0;
  virtual QZResult SetWindowRect(const RectT<int32_t>& rect) = 0;
  // Gives the window system the client sizes the root control allows, for the user's
  // resizing (LRootWindow::GetClientSizeLimits).
  virtual QZResult UpdateSizeLimits() = 0;

protected:
  ~IWindowOSServices() = default;
};

} // namespace QZ
