#include "QZFramework/ControlBase/KeyParam.h"

namespace QZ {

RCPtr<LKeyParam> LKeyParam::Create(const KeyCode& key, bool wrapped) {
  return RCPtr<LKeyParam>(new LKeyParam(key, wrapped));
}

void LKeyParam::AppendToPath(const RCPtr<LRefCountedObject>& control) { mPath.AddItem(control); }

} // namespace QZ
