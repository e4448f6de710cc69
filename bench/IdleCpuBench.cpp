// What an editor left open costs: the CPU time of the real program (all its threads) over
// 10 s of wall time once its start has settled, with nothing touched and with the caret
// blinking in the TEMPO box (a click puts it there), against the honest floor in the same
// run: a bare SDL2 program with a window of the same size that wakes every 33 ms
// (SDL_WaitEventTimeout) and does nothing else (bench/Reference/SdlWindowReference.cpp).
// Goals: idle at most 1.2x the floor, the blinking caret at most 1.3x.
//
// The time column is CPU seconds per 10 s; the "core_percent" counter is the share of one
// core. Runs under the X server DISPLAY names, else under an Xvfb of its own (the floor's
// own costs are mostly the X connection's: Xvfb and a desktop's server differ). Repeat
// (--benchmark_repetitions) with random interleaving for a steadier median on a shared
// machine.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Support/FirstFrameWatch.h"
#include "Support/OwnDisplay.h"
#include "Support/ProgramRun.h"
#include "Support/RatioReporter.h"
#include "Support/WindowPrograms.h"

namespace {

constexpr auto kSettle = std::chrono::seconds(2);
constexpr auto kMeasured = std::chrono::seconds(10);
constexpr int kWidth = 1200; // the standard skin's main window
constexpr int kHeight = 850;
// The TEMPO box of the standard skin, in the main window's client coordinates.
constexpr int kTempoX = 92;
constexpr int kTempoY = 185;

// Runs a command and answers what it printed, without the last line end.
std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (size_t count = std::fread(buffer, 1, sizeof buffer, pipe)) {
      text.append(buffer, count);
    }
    pclose(pipe);
  }
  while (!text.empty() && text.back() == '\n') {
    text.pop_back();
  }
  return text;
}

// A click at (x, y) of the program's first window, then the pointer moved off it.
bool ClickInto(pid_t pid, int x, int y) {
  const std::string window =
      Output("xdotool search --sync --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null | head -n 1");
  if (window.empty()) {
    return false;
  }
  return std::system(("xdotool mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
                      " click 1 mousemove 2500 1750")
                         .c_str()) == 0;
}

// CPU seconds the program takes over kMeasured, its pipe read meanwhile.
double MeasureCpu(QZBench::RunningProgram& program) {
  const double before = program.CpuSeconds();
  program.ReadFor(kMeasured);
  return program.CpuSeconds() - before;
}

void Report(benchmark::State& state, double cpuSeconds) {
  state.SetIterationTime(cpuSeconds);
  state.counters["core_percent"] = 100.0 * cpuSeconds / std::chrono::duration<double>(kMeasured).count();
}

// The program's CPU over kMeasured once its first frame has settled (and, with caret, a
// click has put the caret into the TEMPO box).
void RunIdle(benchmark::State& state, const QZBench::WindowProgram& program, bool caret) {
  if (!QZBench::HasDisplay(state)) {
    return;
  }
  for (auto _ : state) {
    QZBench::FirstFrameWatch watch(program.width, program.height);
    QZBench::RunningProgram running(program.argv, program.environment);
    if (!watch.WaitForFirstFrame(running.Pid(), QZBench::kFirstFrameLimit,
                                 [&running](auto time) { running.ReadFor(time); })) {
      state.SkipWithError(program.noFrame);
      return;
    }
    running.ReadFor(kSettle);
    if (caret && !ClickInto(running.Pid(), kTempoX, kTempoY)) {
      state.SkipWithError("no click into the TEMPO box");
      return;
    }
    running.ReadFor(kSettle);
    Report(state, MeasureCpu(running));
    running.Stop();
  }
}

void BM_EditorIdle(benchmark::State& state) { RunIdle(state, QZBench::EditorProgram("qz-idle-bench", 96), false); }
void BM_EditorCaretBlinking(benchmark::State& state) {
  RunIdle(state, QZBench::EditorProgram("qz-idle-bench", 96), true);
}
void BM_BareSdlLoop(benchmark::State& state) { RunIdle(state, QZBench::ReferenceProgram(kWidth, kHeight), false); }

BENCHMARK(BM_EditorIdle)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditorCaretBlinking)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareSdlLoop)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  QZBench::SharedDisplay(); // the server starts before the first benchmark and ends after the last
  return QZBench::RunWithRatios(
      argc, argv,
      {{"BM_EditorIdle/iterations:1/manual_time", "BM_BareSdlLoop/iterations:1/manual_time"},
       {"BM_EditorCaretBlinking/iterations:1/manual_time", "BM_BareSdlLoop/iterations:1/manual_time"}});
}
