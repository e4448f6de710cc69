#pragma once
// A fresh folder below the system's temporary folder, removed with everything in it when
// the object goes. Tests that touch files work only inside one.
//
// Its name carries the process id ("qz-test-<pid>-XXXXXX"), so the folders of a run that
// was killed before it could clean up are recognised: the first folder a process makes
// removes those whose process is gone.

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "QZFramework/Utilities/Storage/StringFwd.h"

namespace QZTest {

class TempFolder {
public:
  TempFolder() {
    static const bool swept = (RemoveStaleFolders(), true);
    (void)swept;
    const std::string name = std::string(kPrefix) + std::to_string(::getpid()) + "-XXXXXX";
    std::string pattern = (std::filesystem::temp_directory_path() / name).string();
    if (!::mkdtemp(pattern.data())) {
      throw std::runtime_error("cannot make a temporary folder");
    }
    mPath = pattern;
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
  }

  const std::string& Path() const { return mPath; }
  // The path of a name inside the folder.
  std::string operator/(const std::string& name) const { return mPath + "/" + name; }
  // The folder's path as the framework's text (templates, so that the platform layers'
  // tests, which do not link the framework, can use the folder too).
  template <class Text = QZ::WString>
  Text Wide() const {
    return Text(mPath.c_str());
  }
  template <class Text = QZ::WString>
  Text Wide(const std::string& name) const {
    return Text((*this / name).c_str());
  }

  // Writes a file inside the folder; returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string path = *this / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(*this / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(*this / name); }

  // Removes the folders of processes that no longer run (done once per process by the
  // first folder made).
  static void RemoveStaleFolders() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path(), error)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(kPrefix, 0) != 0) {
        continue;
      }
      const size_t digits = std::string(kPrefix).size();
      const size_t dash = name.find('-', digits);
      if (dash == std::string::npos || dash == digits || dash - digits > 9 ||
          name.find_first_not_of("0123456789", digits) != dash) {
        continue;
      }
      const pid_t owner = pid_t(std::stol(name.substr(digits, dash - digits)));
      if (::kill(owner, 0) != 0 && errno == ESRCH) {
        std::filesystem::remove_all(entry.path(), error);
      }
    }
  }

private:
  static constexpr const char* kPrefix = "qz-test-";

  std::string mPath;
};

} // namespace QZTest
