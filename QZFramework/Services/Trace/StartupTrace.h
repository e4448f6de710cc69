#pragma once
// The steps of the program's start in the debug trace, each with the milliseconds since the
// process's libraries were loaded (just before main), so that the slow step of a start is
// visible without a profiler (the start-up benchmark reads them):
//
//   QZ::TraceStartupStep("skins read");          // "Start-up: skins read: 41.3 ms"
//   QZ::TraceStartupFigure("decoded images", 3.2, "MB");
//
// Each step is written once: a second call with the same name writes nothing (a step that
// several windows pass, such as the first frame, names the first). Where the lines go is the
// trace's business (DebugTrace.h: QZ_DEBUG_TRACE or "-DEBUG_CONSOLE" send them to stderr).
//
// Any thread (work beside the main thread's start traces its end too).

#include <string_view>

namespace QZ {

void TraceStartupStep(std::string_view step);
// A figure measured at a step (memory held, counts): "Start-up: <name>: <value> <unit>".
void TraceStartupFigure(std::string_view name, double value, std::string_view unit);
// Milliseconds since the libraries were loaded.
double StartupMilliseconds();

} // namespace QZ
