#pragma once
// The command line's debug switch: "-DEBUG_CONSOLE" opens the debug console (the trace's
// output goes to standard error); "-DEBUG_CONSOLE:<port>[:<host>]" sends the trace to a
// UDP log listener instead.
//
//   std::string line = QZ::UpperCaseAscii(commandLine);
//   QZ::ApplyDebugConsoleSwitch(QZ::ParseDebugConsoleSwitch(line), QZ::DebugTrace::Get());
//
// The line is read upper-cased, so the switch is found in any letter case and the host
// name is upper-case. After "-DEBUG_CONSOLE:" the port runs to the next ':' (else to the
// next blank), the host from that ':' to the next blank. A port text shorter than two
// characters means no switch at all (neither console nor network); the port is read as a
// decimal number after optional blanks and sign, as atoi reads it, and outside 1..65535
// there is no network trace. Without a host the trace keeps the host it has.
//
// Pure functions, except Apply, which changes the trace.

#include <cstdint>
#include <string>
#include <string_view>

#include "QZFramework/Services/Trace/DebugTrace.h"

namespace QZ {

struct DebugConsoleSwitch {
  enum class Kind { None, Console, Network };
  Kind kind = Kind::None;
  int32_t port = 0;     // Network: 1..65535
  bool hasHost = false; // Network: a host was given
  std::string host;     // Network: upper-case, as given
};

// The line with its ASCII letters upper-cased (other bytes kept).
std::string UpperCaseAscii(std::string_view line);

// The switch of an upper-cased command line.
DebugConsoleSwitch ParseDebugConsoleSwitch(std::string_view upperCaseLine);

// Console: trace.OpenConsole(); Network: trace.SetDebugLogTarget(host or null, port);
// None: nothing.
void ApplyDebugConsoleSwitch(const DebugConsoleSwitch& debugSwitch, DebugTrace& trace);

} // namespace QZ
