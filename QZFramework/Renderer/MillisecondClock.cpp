#include "QZFramework/Renderer/MillisecondClock.h"

#include <chrono>

namespace QZ {

uint32_t MonotonicMilliseconds() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace QZ
