#include "QZFramework/Utilities/Graphics/DrawingHandle.h"

#include <atomic>

namespace QZ {

int32_t NewDrawingHandle() {
  static std::atomic<uint32_t> last{0};
  uint32_t handle;
  do {
    handle = ++last & 0x7FFFFFFF; // stays positive; skips 0 after wrapping
  } while (handle == 0);
  return int32_t(handle);
}

} // namespace QZ
