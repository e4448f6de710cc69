#include "Platform/Instance/InstanceNames.h"

#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
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

// FNV-1a, 64 bits: the same on every machine and every run.
uint64_t PathHash(std::string_view path) {
  uint64_t hash = 0xCBF29CE484222325ull;
  for (unsigned char unit : path) {
    hash = (hash ^ unit) * 0x100000001B3ull;
  }
  return hash;
}

std::string Hex(uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) {
    text[size_t(i)] = kDigits[value & 0xF];
  }
  return text;
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
  const bool usable = runtimeFolder && runtimeFolder[0] == '/';
  return LockFilePath(appId, usable ? runtimeFolder : "", TempFolder(), ::geteuid());
}

std::string HandOverSocketName(std::string_view lockPath, uid_t uid) {
  const size_t slash = lockPath.rfind('/');
  std::string_view fileName = slash == std::string_view::npos ? lockPath : lockPath.substr(slash + 1);
  std::string tail(1, '-');
  tail.append(std::to_string(uid)).append(1, '-').append(Hex(PathHash(lockPath)));
  // The leading NUL and the tail must fit the address's path field.
  constexpr size_t kRoom = sizeof(sockaddr_un::sun_path) - 1;
  if (fileName.size() + tail.size() > kRoom) {
    fileName = fileName.substr(0, kRoom - tail.size());
  }
  std::string name(1, '\0');
  name.append(fileName).append(tail);
  return name;
}

std::string HandOverSocketName(std::string_view lockPath) { return HandOverSocketName(lockPath, ::geteuid()); }

} // namespace QZ::Platform::Instance
