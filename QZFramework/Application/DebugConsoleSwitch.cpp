#include "QZFramework/Application/DebugConsoleSwitch.h"

namespace QZ {

namespace {

constexpr std::string_view kSwitch = "-DEBUG_CONSOLE";
constexpr int32_t kHighestPort = 65535;

// The port as atoi reads it (blanks, a sign, digits), or 0 when it is out of 1..65535.
int32_t ReadPort(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
    ++at;
  }
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  int64_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > kHighestPort) {
      return 0;
    }
  }
  return negative || value < 1 ? 0 : int32_t(value);
}

} // namespace

std::string UpperCaseAscii(std::string_view line) {
  std::string upper(line);
  for (char& unit : upper) {
    if (unit >= 'a' && unit <= 'z') {
      unit = char(unit - 'a' + 'A');
    }
  }
  return upper;
}

DebugConsoleSwitch ParseDebugConsoleSwitch(std::string_view line) {
  DebugConsoleSwitch result;
  if (line.find(kSwitch) == std::string_view::npos) {
    return result;
  }
  const size_t withColon = line.find(std::string(kSwitch) + ":");
  if (withColon == std::string_view::npos) {
    result.kind = DebugConsoleSwitch::Kind::Console;
    return result;
  }
  const size_t start = withColon + kSwitch.size() + 1;
  size_t end = line.find(' ', start);
  if (end == std::string_view::npos) {
    end = line.size();
  }
  size_t colon = line.find(':', start);
  if (colon == std::string_view::npos) {
    colon = end;
  }
  if (colon <= start + 1) {
    return result;
  }
  const int32_t port = ReadPort(line.substr(start, colon - start));
  if (port == 0) {
    return result;
  }
  result.kind = DebugConsoleSwitch::Kind::Network;
  result.port = port;
  if (colon + 1 < end) {
    result.hasHost = true;
    result.host = std::string(line.substr(colon + 1, end - colon - 1));
  }
  return result;
}

void ApplyDebugConsoleSwitch(const DebugConsoleSwitch& debugSwitch, DebugTrace& trace) {
  switch (debugSwitch.kind) {
  case DebugConsoleSwitch::Kind::Console:
    trace.OpenConsole();
    break;
  case DebugConsoleSwitch::Kind::Network:
    trace.SetDebugLogTarget(debugSwitch.hasHost ? debugSwitch.host.c_str() : nullptr, debugSwitch.port);
    break;
  case DebugConsoleSwitch::Kind::None:
    break;
  }
}

} // namespace QZ
