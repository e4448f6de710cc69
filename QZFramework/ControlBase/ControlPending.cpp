// The operations of QZ::LControl whose source files are still to be written, each with the
// answer of a base that does nothing: the neutral result, no state changed. Every section
// is removed whole when its files arrive; the file goes once the last section has.

#include "QZFramework/ControlBase/Control.h"

namespace QZ {

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
