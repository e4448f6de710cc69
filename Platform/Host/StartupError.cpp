#include "Platform/Host/StartupError.h"

#include "Platform/Window/DisplayConnection.h"

namespace QZ::Platform::Host {

std::string GetStartupError() {
  std::string text = Window::GetStartupFailure();
  return text.empty() ? std::string("The window system did not start.") : text;
}

} // namespace QZ::Platform::Host
