#include "Platform/Instance/InstanceNames.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace QZ::Platform::Instance {

namespace {

constexpr std::string_view kSuffix = "Prevent";

std::string TempFolder() {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  return error ? std::string("/tmp") : folder.string();
}

} // namespace

std::string LockFilePath(std::string_view appId, std::string_view runtimeFolder, std::string_view tempFolder,
                         uid_t uid) {
  std::string path;
  if (!runtimeFolder.empty()) {
    path.assign(runtimeFolder);
  } else {
    path.assign(tempFolder);
  }
  if (path.empty() || path.back() != '/') {
    path += '/';
  }
  path.append(appId).append(kSuffix);
  if (runtimeFolder.empty()) {
    path += '-';
    path += std::to_string(uid);
  }
  return path;
}

std::string LockFilePath(std::string_view appId) {
  const char* runtimeFolder = std::getenv("XDG_RUNTIME_DIR");
  return LockFilePath(appId, runtimeFolder ? runtimeFolder : "", TempFolder(), ::geteuid());
}

std::string HandOverSocketName(std::string_view appId, uid_t uid) {
  std::string name(1, '\0');
  name.append(appId).append(kSuffix);
  name += '-';
  name += std::to_string(uid);
  return name;
}

std::string HandOverSocketName(std::string_view appId) { return HandOverSocketName(appId, ::geteuid()); }

} // namespace QZ::Platform::Instance
