#include "Platform/Shell/ShellDiagnostics.h"

#include <algorithm>
#include <mutex>

#include "Platform/Shell/CommonDialogs.h"

namespace QZ::Platform::Shell {

namespace {

std::mutex gSinkLock;
DiagnosticSink gSink;

} // namespace

void SetDiagnosticSink(DiagnosticSink sink) {
  const std::lock_guard hold(gSinkLock);
  gSink = std::move(sink);
}

void Report(const std::string& line) {
  DiagnosticSink sink;
  {
    const std::lock_guard hold(gSinkLock);
    sink = gSink;
  }
  if (sink) {
    sink(line);
  }
}

void ReportOutput(std::string_view program, std::string_view text) {
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    if (end > start) {
      Report(std::string(program) + ": " + std::string(text.substr(start, end - start)));
    }
    start = end + 1;
  }
}

std::string SizeText(size_t bytes) {
  constexpr size_t kKiB = 1024;
  constexpr size_t kMiB = kKiB * 1024;
  if (bytes >= kMiB && bytes % kMiB == 0) {
    return std::to_string(bytes / kMiB) + " MiB";
  }
  if (bytes >= kKiB && bytes % kKiB == 0) {
    return std::to_string(bytes / kKiB) + " KiB";
  }
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

} // namespace QZ::Platform::Shell
