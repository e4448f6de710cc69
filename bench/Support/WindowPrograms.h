#pragma once
// The two programs whose windows the start-up and idle benchmarks measure from outside: the
// editor (QZ_EDITOR_PROGRAM) in a home of its own at a resolution, and the bare SDL2 and
// Cairo reference (bench/Reference, QZ_REFERENCE_PROGRAM) with a window of a size. Each says
// on standard error when its first frame is on the X server (the editor through its debug
// trace), which the benchmarks wait for.
//
//   const QZBench::WindowProgram editor = QZBench::EditorProgram("qz-startup-bench", 96);
//   QZBench::RunningProgram running(editor.argv, editor.environment);
//   if (!running.WaitForLine(editor.firstFrameLine, QZBench::kFirstFrameLimit)) {
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
  std::string firstFrameLine;                     // how the line that tells the first frame begins
  const char* noFrame;                            // the benchmark's error when that line never comes
};

// The editor in the home EditorEnvironment(name, dpi) makes, tracing its start.
inline WindowProgram EditorProgram(const std::string& name, int dpi) {
  WindowProgram editor{
      {QZ_EDITOR_PROGRAM}, EditorEnvironment(name, dpi), "Start-up: first frame:", "the editor showed no frame"};
  editor.environment.emplace("QZ_DEBUG_TRACE", "1");
  return editor;
}

// The reference with a window of width x height.
inline WindowProgram ReferenceProgram(int width, int height) {
  return {{QZ_REFERENCE_PROGRAM, std::to_string(width), std::to_string(height)},
          {},
          "first frame",
          "the reference showed no frame"};
}

} // namespace QZBench
