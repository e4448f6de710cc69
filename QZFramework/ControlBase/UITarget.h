#pragma once
// QZ::UITarget: the input operations of a control that the root window calls: the pointer
// entering, moving, pressing, releasing, leaving and turning the wheel, the capture, the
// keys, a resize of the window, the keyboard focus leaving the window and files dropped
// from the desktop. QZ::LControl implements every one; widgets override some.
//
//   QZ::RCPtr<QZ::LControl> target = rootWindow->SetMouseOverAt(point, local, true);
//   target->OnMouseDown(QZ::LMouseButtonParam::Create(1, local, modifiers, false, 0x1, 0));
//
// Results: 0 consumed or done, 1 not consumed or nothing to do (the event goes on to the
// focus navigation, the hot keys or the parent), QZ_E_INVALIDARG for a bad parameter.
// Main thread, like every control.

#include <cstdint>

#include "QZFramework/ControlBase/ControlParams.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Storage/StringArray.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"

namespace QZ {

class LKeyParam;

// The paths of files dragged from the desktop over a window.
using LDraggedFiles = LWrapper<WStringArray>;

// The interface is never deleted through: controls are released as shared objects.
class UITarget {
public:
  // Slot 0: the pointer came over the control.
  virtual QZResult OnMouseEnter() = 0;
  // Slot 1: the pointer moved over the control (or anywhere, while it holds the capture);
  // the point is in the control's coordinates.
  virtual QZResult OnMouseMove(const RCPtr<LPointWithModifiersParam>& param) = 0;
  // Slot 2: a button went down (or was double-clicked) on the control.
  virtual QZResult OnMouseDown(const RCPtr<LMouseButtonParam>& param) = 0;
  // Slot 3: a button came up while the control holds the capture.
  virtual QZResult OnMouseUp(const RCPtr<LMouseButtonParam>& param) = 0;
  // Slot 4: the pointer left the control.
  virtual QZResult OnMouseLeave() = 0;
  // Slot 5: takes the pointer capture for button (1 left, 2 middle, 4 right, 0 none) pressed
  // at (x, y) in the control's coordinates: 0 when taken, 1 when refused.
  virtual QZResult SetCapture(uint32_t button, int32_t x, int32_t y) = 0;
  // Slot 6: gives the capture back; 1 when the control holds none.
  virtual QZResult ReleaseCapture() = 0;
  // Slot 7: a key for the focused control.
  virtual QZResult OnKey(const RCPtr<LKeyParam>& param) = 0;
  // Slots 8 and 9: the vertical and the horizontal wheel; the point is in the window's
  // client coordinates.
  virtual QZResult OnMouseWheel(const RCPtr<LMouseWheelParam>& param) = 0;
  virtual QZResult OnMouseHWheel(const RCPtr<LMouseWheelParam>& param) = 0;
  // Slot 10: the window (for the root control) or the parent (for a child) got a new size.
  virtual QZResult OnRootResized(const SizeT<int32_t>& size) = 0;
  // Whether the focused control lets the focus go elsewhere now.
  virtual bool CanReleaseFocus() = 0;
  // Takes the keyboard focus away from the control and its descendants; true when done.
  virtual bool KillFocus() = 0;
  // Whether the control takes the dragged files.
  virtual bool CanDropFiles(const RCPtr<LDraggedFiles>& files) = 0;
  // Hands the files over: 0 when the control took them.
  virtual QZResult DropFiles(const RCPtr<LDraggedFiles>& files) = 0;

protected:
  ~UITarget() = default;
};

} // namespace QZ
