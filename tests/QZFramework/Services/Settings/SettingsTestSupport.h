#pragma once
// Files, folders, captured reports and an in-memory sink for the settings tests.

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
#include "Support/TempFolder.h"

namespace SettingsTest {

using TempFolder = QZTest::TempFolder;

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// What the store reports while the object lives, on stderr and in the debug trace (whose
// debugger output goes to stderr while QZ_DEBUG_TRACE is set).
class CapturedReports {
public:
  CapturedReports() {
    setenv("QZ_DEBUG_TRACE", "1", 1);
    testing::internal::CaptureStderr();
  }
  ~CapturedReports() { Text(); }
  CapturedReports(const CapturedReports&) = delete;
  CapturedReports& operator=(const CapturedReports&) = delete;

  // Ends the capture on the first call.
  const std::string& Text() {
    if (!mEnded) {
      mText = testing::internal::GetCapturedStderr();
      unsetenv("QZ_DEBUG_TRACE");
      mEnded = true;
    }
    return mText;
  }
  // Whether the line was told to the user and to the trace.
  bool Reported(const std::string& line) {
    const std::string text = "\n" + Text();
    return text.find("\n" + line + "\n") != std::string::npos &&
           text.find("QZ::CIniFileManagerProxy : " + line + "\n") != std::string::npos;
  }

private:
  bool mEnded = false;
  std::string mText;
};

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
