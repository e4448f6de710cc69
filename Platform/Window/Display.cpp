#include "Platform/Window/Display.h"

#include <X11/Xlib.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "Platform/Window/EventSource.h"
#include "Platform/Window/WindowState.h"

namespace QZ::Platform::Window {

namespace {

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

bool GetWorkArea(RECT* area) {
  SDL_Rect bounds{};
  if (!area || !IsUiThread() || !Detail::GetState().backend->GetDisplayUsableBounds(0, bounds)) {
    return false;
  }
  *area = {bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
  return true;
}

std::optional<int32_t> ParseXftDpi(std::string_view resources) {
  constexpr std::string_view kName = "Xft.dpi";
  while (!resources.empty()) {
    const size_t end = resources.find('\n');
    const std::string_view line = resources.substr(0, end);
    resources = end == std::string_view::npos ? std::string_view() : resources.substr(end + 1);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || Trim(line.substr(0, colon)) != kName) {
      continue;
    }
    const std::string_view text = Trim(line.substr(colon + 1));
    double value = 0;
    const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || rest != text.data() + text.size() || !(value >= 0.5) || value > 10000) {
      return std::nullopt;
    }
    return int32_t(std::lround(value));
  }
  return std::nullopt;
}

int32_t GetScreenDpi() {
  constexpr int32_t kDefaultDpi = 96;
  if (const char* forced = std::getenv("QZ_DPI")) {
    const std::string_view text = Trim(forced);
    int32_t dpi = 0;
    const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), dpi);
    if (error == std::errc() && rest == text.data() + text.size() && dpi > 0) {
      return dpi;
    }
  }
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) {
    return kDefaultDpi;
  }
  ::Display* display = XOpenDisplay(name);
  if (!display) {
    return kDefaultDpi;
  }
  const char* resources = XResourceManagerString(display);
  const std::optional<int32_t> dpi = resources ? ParseXftDpi(resources) : std::nullopt;
  XCloseDisplay(display);
  return dpi.value_or(kDefaultDpi);
}

} // namespace QZ::Platform::Window
