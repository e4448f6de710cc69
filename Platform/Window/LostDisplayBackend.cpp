#include "Platform/Window/LostDisplayBackend.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace QZ::Platform::Window {

namespace {

constexpr int32_t kLongestWaitMs = 100;

} // namespace

bool LostDisplayBackend::WaitEventTimeout(SDL_Event&, int32_t timeoutMs) {
  const int32_t wait = timeoutMs < 0 ? kLongestWaitMs : std::min(timeoutMs, kLongestWaitMs);
  std::this_thread::sleep_for(std::chrono::milliseconds(wait));
  return false;
}

bool LostDisplayBackend::GetWindowBordersSize(uint32_t, int& top, int& left, int& bottom, int& right) {
  top = left = bottom = right = 0;
  return false;
}

uint32_t LostDisplayBackend::GetGlobalMouseState(int& x, int& y) {
  x = y = 0;
  return 0;
}

} // namespace QZ::Platform::Window
