#include "QZFramework/Services/Trace/StartupTrace.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "QZFramework/Services/Trace/DebugTrace.h"

namespace QZ {

namespace {

using Clock = std::chrono::steady_clock;

// Made while the libraries are loaded, before main.
const Clock::time_point gLoaded = Clock::now();

// Whether name is new (and now known).
bool FirstTime(std::string_view name) {
  static std::mutex lock;
  static std::set<std::string, std::less<>> written;
  std::lock_guard hold(lock);
  return written.emplace(name).second;
}

void Write(std::string_view name, double value, std::string_view unit) {
  char figure[32];
  std::snprintf(figure, sizeof figure, "%.1f", value);
  DebugTrace::Get().Narrow() << "Start-up: " << name << ": " << figure << " " << unit << "\n";
}

} // namespace

double StartupMilliseconds() { return std::chrono::duration<double, std::milli>(Clock::now() - gLoaded).count(); }

void TraceStartupStep(std::string_view step) {
  if (FirstTime(step)) {
    Write(step, StartupMilliseconds(), "ms");
  }
}

void TraceStartupFigure(std::string_view name, double value, std::string_view unit) {
  if (FirstTime(name)) {
    Write(name, value, unit);
  }
}

} // namespace QZ
