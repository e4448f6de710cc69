#pragma once
// Files, folders and an in-memory sink for the settings tests.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "QZFramework/Services/Settings/XNode.h"

namespace SettingsTest {

// A fresh folder under the system's temporary folder, removed with its content.
class TempFolder {
public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qzsettings-XXXXXX").string();
    mPath = mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string operator/(const std::string& name) const { return mPath + "/" + name; }
  const std::string& Path() const { return mPath; }

private:
  std::string mPath;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Collects what the writer produces; FailAfter makes it fail like a full disk.
class StringOutput : public XNode::Output {
public:
  void Write(const char* bytes, size_t length) override {
    if (mError != 0) {
      return;
    }
    if (mText.size() + length > mLimit) {
      mError = 28; // ENOSPC
      return;
    }
    mText.append(bytes, length);
  }
  void FailAfter(size_t bytes) { mLimit = bytes; }
  const std::string& Text() const { return mText; }

private:
  std::string mText;
  size_t mLimit = std::string::npos;
};

inline std::string Written(const XNode& node, uint32_t flags) {
  StringOutput output;
  EXPECT_EQ(node.Write(output, flags), 0);
  return output.Text();
}

// Limits the size of files this process writes (writes beyond it fail with EFBIG),
// for the life of the object: a disk that fills up during a save.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &mPrevious);
    mPreviousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = mPrevious;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &mPrevious);
    std::signal(SIGXFSZ, mPreviousHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
  rlimit mPrevious{};
  void (*mPreviousHandler)(int) = nullptr;
};

} // namespace SettingsTest
