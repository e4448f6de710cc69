#pragma once
// A fresh folder below the system's temporary folder, removed with everything in it when
// the object goes. Tests that touch files work only inside one.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZTest {

class TempFolder {
public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qz-test-XXXXXX").string();
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
  // The folder's path as the framework's text.
  QZ::WString Wide() const { return QZ::WString(mPath.c_str()); }
  QZ::WString Wide(const std::string& name) const { return QZ::WString((*this / name).c_str()); }

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

private:
  std::string mPath;
};

} // namespace QZTest
