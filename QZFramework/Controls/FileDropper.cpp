#include "QZFramework/Controls/FileDropper.h"

namespace QZ {

LDragProxy::LDragProxy(const RCPtr<LControl>& parent, const WString& name) : LControl(parent, name) {}

LDragProxy::~LDragProxy() = default;

QZResult LDragProxy::OnLookChanged() {
  (void)SetFocusable(true); // 1 when it was not focusable already
  (void)SetVisible(true);   // whether it is shown with its ancestors
  return QZ_OK;
}

QZResult LDragProxy::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  if ((param->GetCurrent() & kConditionLeftDown) && !(param->GetPrevious() & kConditionLeftDown)) {
    (void)SetLayoutState(kDragAndDrop, kDragAxisX | kDragAxisY); // always 0
    (void)SetTabOrder(0);                                        // QZ_E_FAIL without a placement
  }
  return QZ_OK;
}

QZResult LDragProxy::OnDragEnd() {
  const RCPtr<LControl> self(this);
  const QZResult result = LControl::OnDragEnd();
  if (const RCPtr<LControl> parent = GetParent()) {
    (void)parent->RemoveChildDeferred(self); // always a child of its parent
  }
  return result;
}

LFileDropper::LFileDropper(const RCPtr<LControl>& parent, const WString& name) : LDragProxy(parent, name) {}

LDropper::LDropper(const RCPtr<LControl>& parent, const WString& name) : LDragProxy(parent, name) {}

} // namespace QZ
