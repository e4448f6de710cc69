#pragma once
// QZ::DebugTrace: the framework's diagnostic output, one process-wide instance.
//
//   QZ::DebugTrace::Get().Narrow() << "ports: " << count << "\n";   // one locked, flushed write
//   QZ::DebugTrace::Get().Wide() << name << u" stopped\n";
//
// Narrow() and Wide() return a writer that holds the trace's lock until the end of the
// statement (or of its scope) and then flushes, so writes from several threads never
// interleave and each write leaves as one block (one datagram when sent over UDP).
//
// Where the text goes: by default to the debug streams, whose blocks go to the
// debugger output when the UDP port is below 1 and to the UDP log listener otherwise
// (SetDebugLogTarget). The debugger output is stderr when QZ_DEBUG_TRACE is set to a
// non-empty value, else nowhere; tests may give their own. After OpenConsole the
// writes go to the process's stderr instead (narrow through std::cerr, wide as UTF-8).
//
// Any thread may call any member.

#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

#include "QZFramework/Services/Trace/DebugBuffer.h"
#include "QZFramework/Services/Trace/DebugTraceWriter.h"
#include "QZFramework/Services/Trace/UdpLogSender.h"

namespace QZ {

class DebugTrace final : private DebugOutputSink {
public:
  // Receives each block bound for the debugger, UTF-8, under the trace's lock.
  using DebuggerOutput = std::function<void(std::string_view)>;

  // The process's trace, made on first use and never destroyed, so that threads
  // ending during exit can still report.
  static DebugTrace& Get();

  // A trace of its own (tests): debuggerOutput replaces the default debugger output.
  explicit DebugTrace(DebuggerOutput debuggerOutput = {});
  DebugTrace(const DebugTrace&) = delete;
  DebugTrace& operator=(const DebugTrace&) = delete;

  DebugTraceWriter Narrow() { return DebugTraceWriter(mLock, *mNarrow); }
  DebugTraceWideWriter Wide() { return DebugTraceWideWriter(mLock, *mWide); }

  // Makes the process's stderr (narrow and wide) the trace's current streams.
  void OpenConsole();
  // A non-null host replaces the host name; the port is stored in any case (-1 or 0:
  // UDP off). The listener's address is fixed by the first block sent over UDP.
  void SetDebugLogTarget(const char* host, int32_t port);

private:
  void Emit(std::string_view text) override;

  std::recursive_mutex mLock;
  basic_dostream<char> mNarrowDebug;
  basic_dostream<char16_t> mWideDebug;
  std::ostream* mNarrow;
  std::basic_ostream<char16_t>* mWide;
  std::string mHost;
  int32_t mPort = -1;
  UdpLogSender mSender;
  DebuggerOutput mDebuggerOutput;
};

} // namespace QZ
