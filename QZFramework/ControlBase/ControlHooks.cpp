// The slots whose base answer is all there is: hooks that widgets override, and the
// control's own accessors among the slots.

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/StringTable.h"

namespace QZ {

QZResult LControl::OnValueChanged() { return QZ_OK; }

RCPtr<LStringTable> LControl::GetStringTable() { return mStringTable; }

bool LControl::AcceptsTextInput() { return false; }

bool LControl::CanPaste(int32_t) { return false; }

QZResult LControl::PerformEdit(int32_t) {
  Throw<std::logic_error>({"QZ::LControl::PerformEdit", R"(ControlBase\Control)", 1287},
                          "LControl::PerformEdit must be overridden");
}

QZResult LControl::SetLayoutState(int32_t dragMode, uint32_t dragAxes) {
  mDragMode = dragMode;
  mDragAxes = dragAxes;
  return QZ_OK;
}

QZResult LControl::OnConditionsChanged(const RCPtr<LConditionsParam>&) { return QZ_OK; }

QZResult LControl::OnChildRemoved(const RCPtr<LControl>&, uint32_t) { return QZ_OK; }

int32_t LControl::AdjustRootWindowBounds(RectT<double>&) { return 0; }

QZResult LControl::IsMenuItemEnabled(const LMenuDescriptor*, int32_t, const WString&, LMenuItemState&) {
  return QZ_FALSE;
}

RCPtr<LMenuDescriptor> LControl::GetContextMenuDescriptor() { return mContextMenu; }

QZResult LControl::OnBeforeContextMenu(const RCPtr<LMenuDescriptor>&) { return QZ_OK; }

QZResult LControl::OnFontChanged() { return QZ_OK; }

QZResult LControl::HandleLeftButtonDown(const RCPtr<LMouseButtonParam>&) { return QZ_OK; }
QZResult LControl::HandleLeftButtonUp(const RCPtr<LMouseButtonParam>&) { return QZ_OK; }
QZResult LControl::HandleMiddleButtonDown(const RCPtr<LMouseButtonParam>&) { return QZ_OK; }
QZResult LControl::HandleMiddleButtonUp(const RCPtr<LMouseButtonParam>&) { return QZ_OK; }
QZResult LControl::HandleRightButtonDown(const RCPtr<LMouseButtonParam>&) { return QZ_OK; }
QZResult LControl::HandleRightButtonUp(const RCPtr<LMouseButtonParam>&) { return QZ_OK; }
QZResult LControl::HandleMouseMove(const RCPtr<LPointWithModifiersParam>&) { return QZ_OK; }

QZResult LControl::OnMouseWheelV(const RCPtr<LMouseWheelParam>&) { return QZ_FALSE; }
QZResult LControl::OnMouseWheelH(const RCPtr<LMouseWheelParam>&) { return QZ_FALSE; }

QZResult LControl::HandleLeftClick(const RCPtr<LMouseButtonParam>&) { return QZ_OK; }
QZResult LControl::HandleMiddleClick(const RCPtr<LMouseButtonParam>&) { return QZ_OK; }
QZResult LControl::HandleRightClick(const RCPtr<LMouseButtonParam>&) { return QZ_OK; }

QZResult LControl::OnKeyDown(const RCPtr<LKeyParam>&) { return QZ_FALSE; }

QZResult LControl::OnTick() { return QZ_OK; }

// Only reached through the control's own class, which therefore draws nothing here.
QZResult LControl::DrawContent(const RCPtr<LRenderer>&) {
  mEmptyPaintHooks |= kEmptyDrawContent;
  return QZ_OK;
}
QZResult LControl::DrawOverlay(const RCPtr<LRenderer>&) {
  mEmptyPaintHooks |= kEmptyDrawOverlay;
  return QZ_OK;
}

QZResult LControl::OnChildAdded(const RCPtr<LControl>&) { return QZ_OK; }

QZResult LControl::OnLookChanged() { return QZ_OK; }

WString LControl::GetName() const { return mName; }

bool LControl::CanDropFiles(const RCPtr<LDraggedFiles>&) { return false; }

QZResult LControl::DropFiles(const RCPtr<LDraggedFiles>&) { return QZ_FALSE; }

} // namespace QZ
