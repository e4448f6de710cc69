#include "QZFramework/Renderer/OpenGL/GLErrorStrings.h"

#include <array>
#include <utility>

#include "QZFramework/Services/Trace/DebugTrace.h"

namespace QZ {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kTexts{{
    {"GL_ERROR_CAPTION", "OpenGL Error"},
    {"GL_ERROR_UPDATE_DRIVER", "  Please make sure the latest driver for your graphics card is installed."},
    {"GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT", "No suitable OpenGL pixel format was found."},
    {"GL_ERROR_MESSAGE_SET_PIXEL_FORMAT", "The OpenGL pixel format could not be set."},
    {"GL_ERROR_MESSAGE_CREATE_CONTEXT", "The OpenGL rendering context could not be created."},
    {"GL_ERROR_MESSAGE_GET_PROC_ADDRESS", "An OpenGL entry point could not be found."},
}};

} // namespace

std::string GetGLErrorString(std::string_view key) {
  for (const auto& [name, text] : kTexts) {
    if (name == key) {
      return std::string(text);
    }
  }
  return std::string(key);
}

void ReportGLFailure(std::string_view messageKey, std::string_view detail) {
  std::string message = GetGLErrorString(messageKey);
  if (!detail.empty()) {
    message += " ";
    message += detail;
  }
  DebugTrace::Get().Narrow() << GetGLErrorString("GL_ERROR_CAPTION") << ": " << message
                             << GetGLErrorString("GL_ERROR_UPDATE_DRIVER") << "\n";
}

} // namespace QZ
