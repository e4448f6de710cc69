#include "QZFramework/ObjectBase/DebugAssert.h"

#include <unistd.h>

namespace QZ {

// On Linux the initial thread's id is the process id.
bool IsMainThread() { return ::gettid() == ::getpid(); }

} // namespace QZ
