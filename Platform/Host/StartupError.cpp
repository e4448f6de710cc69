#include "Platform/Host/StartupError.h"

#include <SDL2/SDL.h>

namespace QZ::Platform::Host {

std::string GetStartupError() {
  const char* text = SDL_GetError();
  return text && *text ? text : "unknown reason";
}

} // namespace QZ::Platform::Host
