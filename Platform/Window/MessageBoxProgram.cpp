#include "Platform/Window/MessageBoxProgram.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "Platform/Process/Process.h"
#include "Platform/Window/WindowTypes.h"

namespace QZ::Platform::Window {

namespace {

constexpr const char* kProgramName = "quorin-ztr-message-box";

bool IsExecutable(const std::filesystem::path& path) { return ::access(path.c_str(), X_OK) == 0; }

// The program's path; empty when neither place holds it.
std::string FindMessageBoxProgram() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::filesystem::path beside = self.parent_path() / kProgramName;
    if (IsExecutable(beside)) {
      return beside.string();
    }
  }
  if (IsExecutable(QZ_MESSAGE_BOX_PROGRAM)) {
    return QZ_MESSAGE_BOX_PROGRAM;
  }
  return {};
}

} // namespace

std::optional<int32_t> RunMessageBoxProgram(uint32_t style, const std::string& title, const std::string& message,
                                            unsigned long ownerXWindow, const std::function<bool()>& whileShown) {
  const std::string path = FindMessageBoxProgram();
  if (path.empty()) {
    return std::nullopt;
  }
  const Process::ProcessResult result =
      Process::RunProcess({path, std::to_string(style), std::to_string(ownerXWindow), title, message}, whileShown);
  if (!result.started) {
    return std::nullopt;
  }
  return result.exitCode >= IDOK && result.exitCode <= IDNO ? result.exitCode : 0;
}

} // namespace QZ::Platform::Window
