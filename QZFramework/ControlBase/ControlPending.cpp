// The operations of QZ::LControl whose source files are still to be written, each with the
// answer of a base that does nothing: the neutral result, no state changed. Every section
// is removed whole when its files arrive; the file goes once the last section has.

#include "QZFramework/ControlBase/Control.h"

namespace QZ {

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
