#include "QZFramework/Services/Trace/DebugTrace.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "QZFramework/Services/Trace/WideStderr.h"

namespace QZ {

namespace {

// The debugger of a desktop session is its terminal, and only when asked for.
void WriteToStderrWhenAsked(std::string_view text) {
  const char* wanted = std::getenv("QZ_DEBUG_TRACE");
  if (wanted && *wanted) {
    std::fwrite(text.data(), 1, text.size(), stderr);
  }
}

} // namespace

DebugTrace& DebugTrace::Get() {
  static auto* trace = new DebugTrace;
  return *trace;
}

DebugTrace::DebugTrace(DebuggerOutput debuggerOutput)
    : mNarrowDebug(*this), mWideDebug(*this), mNarrow(&mNarrowDebug), mWide(&mWideDebug),
      mDebuggerOutput(debuggerOutput ? std::move(debuggerOutput) : DebuggerOutput(&WriteToStderrWhenAsked)) {}

void DebugTrace::OpenConsole() {
  std::lock_guard hold(mLock);
  mNarrow = &std::cerr;
  mWide = &WideStderr();
}

void DebugTrace::SetDebugLogTarget(const char* host, int32_t port) {
  std::lock_guard hold(mLock);
  if (host) {
    mHost = host;
  }
  mPort = port;
}

void DebugTrace::Emit(std::string_view text) {
  if (mPort < 1) {
    mDebuggerOutput(text);
    return;
  }
  mSender.Send(mHost.empty() ? nullptr : mHost.c_str(), mPort, text);
}

} // namespace QZ
