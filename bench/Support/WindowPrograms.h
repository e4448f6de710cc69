#pragma once
// The two programs whose windows the start-up and idle benchmarks measure from outside: the
// editor (QZ_EDITOR_PROGRAM) in a home of its own at a resolution, and the bare SDL2 and
// Cairo reference (bench/Reference, QZ_REFERENCE_PROGRAM) with a window of a size. Their first
// frame is seen on the X server (Support/FirstFrameWatch.h), by the window's size.
//
//   const QZBench::WindowProgram editor = QZBench::EditorProgram("qz-startup-bench", 96);
//   QZBench::FirstFrameWatch watch(editor.width, editor.height);
//   QZBench::RunningProgram running(editor.argv, editor.environment);
//   if (!watch.WaitForFirstFrame(running.Pid(), QZBench::kFirstFrameLimit)) {
//     state.SkipWithError(editor.noFrame);
//   }
//
// For benchmarks built with both programs' paths defined. One thread.

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "EditorHome.h"

namespace QZBench {

// How long a program may take to its first frame.
inline constexpr auto kFirstFrameLimit = std::chrono::seconds(30);

struct WindowProgram {
  std::vector<std::string> argv;
  std::map<std::string, std::string> environment; // changes to the benchmark's own
  int width;                                      // its main window's size
  int height;
  const char* noFrame; // the benchmark's error when that window shows no frame
};

// The editor in the home EditorEnvironment(name, dpi) makes, tracing its start on standard
// error ("Start-up: <step>: <value> <unit>"). Its main window is its skin's main control:
// 1200 x 850 at 96 dpi, 2400 x 1700 with the "HighDPI" skin (160 dpi and up).
inline WindowProgram EditorProgram(const std::string& name, int dpi) {
  const bool high = dpi >= 160;
  WindowProgram editor{{QZ_EDITOR_PROGRAM},
                       EditorEnvironment(name, dpi),
                       high ? 2400 : 1200,
                       high ? 1700 : 850,
                       "the editor showed no frame"};
  editor.environment.emplace("QZ_DEBUG_TRACE", "1");
  return editor;
}

// The reference with a window of width x height.
inline WindowProgram ReferenceProgram(int width, int height) {
  return {{QZ_REFERENCE_PROGRAM, std::to_string(width), std::to_string(height)},
          {},
          width,
          height,
          "the reference showed no frame"};
}

} // namespace QZBench
