#include "QZFramework/Utilities/Storage/Wrapper.h"

#include "QZFramework/ObjectBase/TypeName.h"
#include "QZFramework/Utilities/Storage/ParamValues.h"

// The wrapped value list travels through a queue whose failure texts name it.
QZ_REGISTER_TYPE_NAME(QZ::LWrapper<QZ::ParamValues>,
                      "class QZ::LWrapper<class QZ::ParamValues,class QZ::LRefCountedObject>");

namespace QZ {

ConstRCPtr<LStringWrapper> MakeStringableWrapper(const WString& text) {
  return ConstRCPtr<LStringWrapper>(new LStringWrapper(text));
}

ConstRCPtr<LTaggableObject> MakeTaggableString(const WString& text) { return MakeStringableWrapper(text); }

} // namespace QZ
