#include "QZFramework/Renderer/OpenGL/GLErrorStrings.h"

#include <array>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "QZFramework/Services/Trace/DebugTrace.h"

namespace QZ {

namespace {

constexpr std::string_view kProcAddressKey = "GL_ERROR_MESSAGE_GET_PROC_ADDRESS";

constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kBuiltInTexts{{
    {"GL_ERROR_CAPTION", "OpenGL Error"},
    {"GL_ERROR_UPDATE_DRIVER", "  Please make sure the latest driver for your graphics card is installed."},
    {"GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT", "No suitable OpenGL pixel format was found."},
    {"GL_ERROR_MESSAGE_SET_PIXEL_FORMAT", "The OpenGL pixel format could not be set."},
    {"GL_ERROR_MESSAGE_CREATE_CONTEXT", "The OpenGL rendering context could not be created."},
    {kProcAddressKey, "An OpenGL entry point could not be found (error %d: %s)."},
}};

struct TableTexts {
  std::mutex lock;
  std::map<std::string, std::string, std::less<>> texts;
};

TableTexts& GetTableTexts() {
  // Never destroyed: a renderer may fail while the process is ending.
  static auto* tableTexts = new TableTexts;
  return *tableTexts;
}

std::string BuiltInText(std::string_view key) {
  for (const auto& [name, text] : kBuiltInTexts) {
    if (name == key) {
      return std::string(text);
    }
  }
  return std::string(key);
}

void Report(const std::string& message) {
  DebugTrace::Get().Narrow() << GetGLErrorString("GL_ERROR_CAPTION") << ": " << message
                             << GetGLErrorString("GL_ERROR_UPDATE_DRIVER") << "\n";
}

} // namespace

void SetGLErrorTexts(const std::map<WString, WString>& frameworkTable) {
  std::map<std::string, std::string, std::less<>> texts;
  for (const auto& [key, builtIn] : kBuiltInTexts) {
    const auto found = frameworkTable.find(WString(std::string(key).c_str()));
    if (found != frameworkTable.end()) {
      texts.emplace(key, found->second.ToUTF8().GetBuffer());
    }
  }
  TableTexts& tableTexts = GetTableTexts();
  std::lock_guard hold(tableTexts.lock);
  tableTexts.texts = std::move(texts);
}

std::string GetGLErrorString(std::string_view key) {
  {
    TableTexts& tableTexts = GetTableTexts();
    std::lock_guard hold(tableTexts.lock);
    const auto found = tableTexts.texts.find(key);
    if (found != tableTexts.texts.end()) {
      return found->second;
    }
  }
  return BuiltInText(key);
}

std::string GetGLProcAddressErrorString(uint32_t error, std::string_view systemText) {
  try {
    return NString::Format(GetGLErrorString(kProcAddressKey).c_str(), error, systemText).GetBuffer();
  } catch (const std::invalid_argument&) {
    return NString::Format(BuiltInText(kProcAddressKey).c_str(), error, systemText).GetBuffer();
  }
}

void ReportGLFailure(std::string_view messageKey) { Report(GetGLErrorString(messageKey)); }

void ReportGLProcAddressFailure(uint32_t error, std::string_view systemText) {
  Report(GetGLProcAddressErrorString(error, systemText));
}

} // namespace QZ
