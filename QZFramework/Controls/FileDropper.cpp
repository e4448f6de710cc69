#include "QZFramework/Controls/FileDropper.h"

namespace QZ {

LDragProxy::LDragProxy(const RCPtr<LControl>& parent, const WString& name) : LControl(parent, name) {}

LDragProxy::~LDragProxy() = default;

QZResult LDragProxy::OnLookChanged() {
  SetFocusable(true);
  SetVisible(true);
  return QZ_OK;
}

QZResult LDragProxy::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  if ((param->GetCurrent() & kConditionLeftDown) && !(param->GetPrevious() & kConditionLeftDown)) {
    SetLayoutState(kDragAndDrop, kDragAxisX | kDragAxisY);
    SetTabOrder(0);
  }
  return QZ_OK;
}

QZResult LDragProxy::OnDragEnd() {
  const RCPtr<LControl> self(this);
  const QZResult result = LControl::OnDragEnd();
  if (const RCPtr<LControl> parent = GetParent()) {
    parent->RemoveChildDeferred(self);
  }
  return result;
}

LFileDropper::LFileDropper(const RCPtr<LControl>& parent, const WString& name) : LDragProxy(parent, name) {}

LDropper::LDropper(const RCPtr<LControl>& parent, const WString& name) : LDragProxy(parent, name) {}

} // namespace QZ
