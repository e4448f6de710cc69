#include "UI/UserGuide.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string_view>
#include <system_error>

namespace QZ {

namespace {

// Below an installation's prefix, as the build installs the guide (cmake/QZInstall.cmake).
constexpr char kDocumentationFolder[] = QZ_DOCUMENTATION_FOLDER;

bool IsWebAddress(std::u16string_view entry) { return entry.starts_with(u"https://") || entry.starts_with(u"http://"); }

// Opened for reading, not merely present: the browser would show an error page for less.
bool IsReadableFile(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    return false;
  }
  struct stat status {};
  const bool regular = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
  ::close(descriptor);
  return regular;
}

// Only the unreserved characters and the separators stay as they are: a '#', '?' or '%'
// in a folder's name would otherwise end or change the path the opener reads.
std::string LocalAddress(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string address = "file://";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
        std::string_view("-._~/").find(c) != std::string_view::npos) {
      address += c;
    } else {
      address += '%';
      address += kHex[byte >> 4];
      address += kHex[byte & 0x0F];
    }
  }
  return address;
}

} // namespace

std::vector<std::string> DocumentationFolders(const std::string& programFolder) {
  if (programFolder.empty()) {
    return {};
  }
  const std::filesystem::path program(programFolder);
  return {(program / kDocumentationFolder).lexically_normal().string(),
          (program / ".." / kDocumentationFolder).lexically_normal().string()};
}

WString UserGuideAddress(const WString& entry, const WString& programFolder) {
  if (IsWebAddress(entry.View())) {
    return entry;
  }
  if (entry.IsEmpty()) {
    return WString();
  }
  const std::string name(entry.ToUTF8().GetBuffer());
  for (const std::string& folder : DocumentationFolders(programFolder.ToUTF8().GetBuffer())) {
    std::error_code error;
    const std::filesystem::path guide = std::filesystem::absolute(std::filesystem::path(folder) / name, error);
    if (!error && IsReadableFile(guide.string())) {
      return WString(LocalAddress(guide.lexically_normal().string()).c_str());
    }
  }
  return WString();
}

} // namespace QZ
