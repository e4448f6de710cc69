#include "QZFramework/Utilities/Storage/SharedPair.h"

namespace QZ {

WString ParamDescriptorToString(const ParamDescriptor& descriptor) { return WString::FromUInt(descriptor.id); }

} // namespace QZ
