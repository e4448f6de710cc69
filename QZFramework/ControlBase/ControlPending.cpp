// The operations of QZ::LControl whose source files are still to be written, each with the
// answer of a base that does nothing: the neutral result, no state changed. Every section
// is removed whole when its files arrive; the file goes once the last section has.

#include "QZFramework/ControlBase/Control.h"

namespace QZ {

// =============================================================================================
// ControlInput.cpp and ControlFocus.cpp: pointer input, clicks, values; focus, keys, create
// parameters
// =============================================================================================

QZResult LControl::OnMouseEnter() { return QZ_FALSE; }
QZResult LControl::OnMouseMove(const RCPtr<LPointWithModifiersParam>&) { return QZ_FALSE; }
QZResult LControl::OnMouseDown(const RCPtr<LMouseButtonParam>&) { return QZ_FALSE; }
QZResult LControl::OnMouseUp(const RCPtr<LMouseButtonParam>&) { return QZ_FALSE; }
QZResult LControl::OnMouseLeave() { return QZ_FALSE; }
QZResult LControl::ReleaseCapture() { return QZ_FALSE; }
QZResult LControl::OnMouseWheel(const RCPtr<LMouseWheelParam>&) { return QZ_FALSE; }
QZResult LControl::OnMouseHWheel(const RCPtr<LMouseWheelParam>&) { return QZ_FALSE; }
QZResult LControl::OnClick(const RCPtr<LMouseButtonParam>&) { return QZ_FALSE; }
QZResult LControl::OnLeftClick(const RCPtr<LMouseButtonParam>&) { return QZ_FALSE; }
QZResult LControl::OnMiddleClick(const RCPtr<LMouseButtonParam>&) { return QZ_FALSE; }
QZResult LControl::OnRightClick(const RCPtr<LMouseButtonParam>&) { return QZ_FALSE; }
bool LControl::ContainsPoint(const PointT<int32_t>&) { return false; }
bool LControl::IsTransparentAtPoint(const PointT<int32_t>&) { return false; }
bool LControl::IsNotClippedToParent(bool) const { return false; }
QZResult LControl::SetValueRange(double, double, int32_t) { return QZ_FALSE; }
double LControl::NormalizedToValue(double) const { return 0.0; }
double LControl::ValueToNormalized(double) const { return 0.0; }

QZResult LControl::OnKey(const RCPtr<LKeyParam>&) { return QZ_FALSE; }
bool LControl::CanReleaseFocus() { return true; }
bool LControl::KillFocus() { return false; }
QZResult LControl::SetFocus(bool) { return QZ_FALSE; }
QZResult LControl::SetFocusable(bool) { return QZ_FALSE; }
bool LControl::CanTakeFocus() { return false; }
bool LControl::IsFocusable() { return false; }
bool LControl::IsFocusDelegated(bool) const { return mNotFocusable; }
RCPtr<LControl> LControl::GetFocusedChild() const { return nullptr; }
RCPtr<LControl> LControl::GetFirstFocusableChild() { return nullptr; }
RCPtr<LControl> LControl::GetLastFocusableChild() { return nullptr; }
bool LControl::SetContainsFocus(const RCPtr<LControl>&) { return false; }
bool LControl::IsVirtualKeyDown(const KeyCode&) { return false; }
RCPtr<LControl> LControl::GetKeyboardTarget() { return RCPtr<LControl>(this); }
QZResult LControl::FocusOnMouseDown(const RCPtr<LControl>&) { return QZ_FALSE; }
RCPtr<LControl> LControl::FocusNextChild(const RCPtr<LControl>&, bool) { return nullptr; }
QZResult LControl::OnSiblingKey(const RCPtr<LKeyParam>&) { return QZ_FALSE; }
QZResult LControl::HandleKey(const RCPtr<LKeyParam>&) { return QZ_FALSE; }
QZResult LControl::OnNavigationKey(const RCPtr<LKeyParam>&) { return QZ_FALSE; }
QZResult LControl::SortChildren(const RCPtr<LControl>&, const std::vector<RCPtr<LNotificationClient>>&,
                                Array<uint32_t>& order) {
  (void)order.RemoveAll(); // emptying never fails
  return QZ_OK;
}
QZResult LControl::SubscribeNotifications() { return QZ_OK; }
QZResult LControl::Initialize() { return QZ_OK; }
QZResult LControl::ApplyCreateParams() { return QZ_OK; }
QZResult LControl::OnSiblingKeyNotification(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
  return QZ_FALSE;
}
QZResult LControl::RegisterMenuHotKeys(const RCPtr<LMenuDescriptor>&, bool) { return QZ_FALSE; }
QZResult LControl::OnMenuHotKey(const RCPtr<LNotification>&) { return QZ_FALSE; }

// =============================================================================================
// ControlLayout.cpp and ControlDescriptor.cpp: layout of sub-controls; descriptor
// application, values, visibility, text, fonts, look setters
// =============================================================================================

QZResult LControl::LayoutAxisFromReference(const RCPtr<LLayoutDescriptor>&, const RCPtr<LControl>&,
                                           const RectT<double>&, const SizeT<double>&, const PointT<double>&,
                                           RectT<double>& outRect) const {
  outRect = mRect;
  return QZ_OK;
}
QZResult LControl::LayoutSizeFromText(PointT<double>&, SizeT<double>&) { return QZ_OK; }
QZResult LControl::LayoutSizeFromChildren(PointT<double>&, SizeT<double>&) { return QZ_OK; }
double LControl::GetChildrenExtent(int32_t, int32_t, int32_t) const { return 0.0; }
QZResult LControl::SetRect(const PointT<double>&, const SizeT<double>&) { return QZ_FALSE; }
QZResult LControl::SetAxisPlacement(int32_t, const LayoutPosition&, const LayoutSize&) { return QZ_FALSE; }
QZResult LControl::SetPlacement(const LayoutPosition&, const LayoutSize&, const LayoutPosition&, const LayoutSize&) {
  return QZ_FALSE;
}
QZResult LControl::SetAxisSizeLimits(int32_t, const LayoutLimit&, const LayoutLimit&) { return QZ_FALSE; }
PointT<double> LControl::GetPreferredSize() { return {mRect.width, mRect.height}; }
QZResult LControl::UpdateClientArea() { return QZ_OK; }

QZResult LControl::ApplyDescriptor(const RCPtr<LControlDescriptor>&) { return QZ_FALSE; }
QZResult LControl::SetText(const WString&) { return QZ_FALSE; }
double LControl::SetValue(double) { return mValue; }
bool LControl::SetVisible(bool) { return IsShown(true); }
QZResult LControl::SetEnabled(bool) { return QZ_FALSE; }
QZResult LControl::SetScrollOffset(const PointT<double>&) { return QZ_FALSE; }
QZResult LControl::OnParentFontChanged() { return QZ_OK; }
QZResult LControl::CreateToolTip(bool) { return QZ_FALSE; }
WString LControl::GetToolTipText() { return mToolTipText; }
bool LControl::SetTextInternal(const WString&, bool) { return false; }
QZResult LControl::SetFont(const RCPtr<LFont>&) { return QZ_FALSE; }
QZResult LControl::SetFontSpec(const WString&, float, int32_t) { return QZ_FALSE; }
QZResult LControl::SetLookWeight(uint32_t, float, bool) { return QZ_FALSE; }
QZResult LControl::SetLookRegion(int32_t, const RectListT<int32_t>&) { return QZ_FALSE; }
QZResult LControl::SetLookPartImage(const RCPtr<LBitmap>&, ResizeType, int32_t, bool) { return QZ_FALSE; }
QZResult LControl::SetLookTextPart(const RCPtr<LVisualPart>&, int32_t) { return QZ_FALSE; }
void LControl::SetCursor(CursorHandle) {}
QZResult LControl::SetContextMenuDescriptor(const RCPtr<LMenuDescriptor>&) { return QZ_FALSE; }
QZResult LControl::SubscribeMenuNotifications(const RCPtr<LMenuDescriptor>&, bool) { return QZ_FALSE; }
QZResult LControl::ShowContextMenu(const RCPtr<LMenuDescriptor>&) { return QZ_E_FAIL; }
QZResult LControl::SendNotificationTo(const RCPtr<LNotificationReceiver>&, NotificationName,
                                      const RCPtr<LRefCountedObject>&) {
  return QZ_FALSE;
}

// =============================================================================================
// ControlDrag.cpp and ControlIdle.cpp: dragging and auto-scroll; idle tick, animations,
// deferred removal
// =============================================================================================

QZResult LControl::OnDrag() { return QZ_FALSE; }
QZResult LControl::RebaseDrag() { return QZ_FALSE; }
QZResult LControl::OnDragMove(const RCPtr<LPointWithModifiersParam>&) { return QZ_FALSE; }
QZResult LControl::OnDragMoved(const PointT<double>&) { return QZ_OK; }
QZResult LControl::OnDragEnd() { return QZ_FALSE; }
RCPtr<LControl> LControl::FindDropTarget(const RCPtr<LControl>&, const PointT<double>&) { return nullptr; }
bool LControl::AcceptsDrop(const RCPtr<LControl>&) { return false; }
uint32_t LControl::GetDragAutoScrollEdges(const RCPtr<LControl>&) { return 0; }
RectT<double> LControl::GetSizeLimits(const RCPtr<LControl>&) { return {}; }
QZResult LControl::GetDragBounds(RectT<double>&) { return QZ_OK; }
QZResult LControl::OnDragEnter(const RCPtr<LControl>&) { return QZ_OK; }
QZResult LControl::OnDragOver(const RCPtr<LControl>&, const PointT<double>&) { return QZ_OK; }
QZResult LControl::OnDragLeave(const RCPtr<LControl>&) { return QZ_OK; }
QZResult LControl::OnDrop(const RCPtr<LControl>&) { return QZ_E_FAIL; }
QZResult LControl::StartAutoScroll(int32_t, double, double, double, const RCPtr<LControl>&) { return QZ_FALSE; }
QZResult LControl::StopAutoScroll(int32_t) { return QZ_FALSE; }
QZResult LControl::StartAxisAnimation(int32_t, double) { return QZ_FALSE; }
QZResult LControl::StopAxisAnimation(int32_t) { return QZ_FALSE; }

QZResult LControl::OnIdleTick(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) { return QZ_FALSE; }
QZResult LControl::AddIdleRequest() { return QZ_FALSE; }
QZResult LControl::ReleaseIdleRequest() { return QZ_FALSE; }
QZResult LControl::RemoveChildDeferred(const RCPtr<LControl>&) { return QZ_FALSE; }
void LControl::DeletePendingChildren() {}

} // namespace QZ
