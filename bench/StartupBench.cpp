// The editor's start: exec to its first painted frame, and its resident memory once started,
// with the standard skin (96 dots per inch, a 1200 x 850 window) and with "HighDPI" (192
// dots per inch, 2400 x 1700), against the honest reference in the same run: a bare SDL2
// program (bench/Reference/SdlWindowReference.cpp) that opens a window of the same size,
// draws one line of text with Cairo (paying fontconfig's and FreeType's start too) and
// presents it. Goals: time at most 2x the reference at 96 dpi and 2.5x at 192; memory at
// most 40 MB and 80 MB.
//
// The time is from just before the exec to the first frame on the X server, seen from
// outside the same way for both programs (Support/FirstFrameWatch.h: the main window of the
// configuration's size mapped and its pixels painted, read with XGetImage every millisecond;
// a few milliseconds late at most). Memory is read one second after the first frame. Each run
// starts a fresh process with warm file caches (one run of each is thrown away first); the
// editor keeps its settings from one run to the next, as a user's does. Runs under the X
// server DISPLAY names, else under an Xvfb of its own.
//
// After the ratios, the editor's own account of its start: the milliseconds at which each
// step ended (from its debug trace; exec to main is the time before the trace's clock
// starts) and what holds its memory (window surfaces, decoded images, their scaled copies;
// the rest of the heap is skins, controls, glyph caches and the libraries' own).
//
//   build/release/bench/StartupBench --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true

#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Support/FirstFrameWatch.h"
#include "Support/OwnDisplay.h"
#include "Support/ProgramRun.h"
#include "Support/RatioReporter.h"
#include "Support/WindowPrograms.h"

namespace {

constexpr auto kSettle = std::chrono::seconds(1);

// The editor's "Start-up: <name>: <value> <unit>" lines of every run, by configuration.
std::map<int, std::map<std::string, std::vector<double>>>& EditorFigures() {
  static std::map<int, std::map<std::string, std::vector<double>>> figures;
  return figures;
}
std::map<int, std::vector<double>>& ExecToMain() {
  static std::map<int, std::vector<double>> values;
  return values;
}
std::map<int, std::vector<QZBench::Memory>>& EditorMemory() {
  static std::map<int, std::vector<QZBench::Memory>> values;
  return values;
}

struct Run {
  bool painted = false;
  double seconds = 0.0;
  QZBench::Memory memory;
  std::vector<QZBench::RunningProgram::Line> lines;
  QZBench::Clock::time_point started;
};

Run RunOnce(const QZBench::WindowProgram& program) {
  Run run;
  QZBench::FirstFrameWatch watch(program.width, program.height);
  QZBench::RunningProgram running(program.argv, program.environment);
  run.started = running.Started();
  const auto shown = watch.WaitForFirstFrame(running.Pid(), QZBench::kFirstFrameLimit,
                                             [&running](auto time) { running.ReadFor(time); });
  run.painted = shown.has_value();
  if (run.painted) {
    run.seconds = std::chrono::duration<double>(*shown - running.Started()).count();
    running.ReadFor(kSettle);
    run.memory = running.ResidentMemory();
  }
  running.Stop();
  run.lines = running.Lines();
  return run;
}

void SetFigures(benchmark::State& state, const Run& run) {
  state.SetIterationTime(run.seconds);
  state.counters["resident_MB"] = run.memory.resident;
}

// Times one start of program per iteration, after a first start thrown away (it warms the
// caches and writes the editor's settings) the first time the run meets program; then hands
// each run to seen.
void MeasureStarts(benchmark::State& state, const QZBench::WindowProgram& program,
                   const std::function<void(const Run&)>& seen = {}) {
  if (!QZBench::HasDisplay(state)) {
    return;
  }
  static std::set<std::pair<std::vector<std::string>, std::map<std::string, std::string>>> warmed;
  if (warmed.insert({program.argv, program.environment}).second) {
    RunOnce(program);
  }
  for (auto _ : state) {
    const Run run = RunOnce(program);
    if (!run.painted) {
      state.SkipWithError(program.noFrame);
      return;
    }
    SetFigures(state, run);
    if (seen) {
      seen(run);
    }
  }
}

void BM_EditorStart(benchmark::State& state) {
  const int dpi = int(state.range(0));
  MeasureStarts(state, QZBench::EditorProgram("qz-startup-bench", dpi), [dpi](const Run& run) {
    EditorMemory()[dpi].push_back(run.memory);
    for (const auto& line : run.lines) {
      // "Start-up: <name>: <value> <unit>"
      const std::string& text = line.text;
      if (text.rfind("Start-up: ", 0) != 0) {
        continue;
      }
      const size_t colon = text.rfind(": ");
      if (colon == std::string::npos || colon < 10) {
        continue;
      }
      const std::string name = text.substr(10, colon - 10) + " (" + text.substr(text.rfind(' ') + 1) + ")";
      const double value = std::atof(text.c_str() + colon + 2);
      EditorFigures()[dpi][name].push_back(value);
      if (name == "first frame (ms)") {
        const double arrived = std::chrono::duration<double, std::milli>(line.arrived - run.started).count();
        ExecToMain()[dpi].push_back(arrived - value);
      }
    }
  });
}

void BM_ReferenceStart(benchmark::State& state) {
  // The editor's window of the same resolution.
  const QZBench::WindowProgram editor = QZBench::EditorProgram("qz-startup-bench", int(state.range(0)));
  MeasureStarts(state, QZBench::ReferenceProgram(editor.width, editor.height));
}

BENCHMARK(BM_EditorStart)->Arg(96)->Arg(192)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceStart)->Arg(96)->Arg(192)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintBreakdown() {
  for (auto& [dpi, figures] : EditorFigures()) {
    std::printf("\nThe editor's start at %d dpi (medians of %zu runs):\n", dpi, ExecToMain()[dpi].size());
    std::printf("  %-44s %8.1f ms\n", "exec to main (libraries loaded)", QZBench::Median(ExecToMain()[dpi]));
    std::vector<std::pair<double, std::string>> steps;
    std::vector<std::pair<std::string, double>> others;
    for (auto& [name, values] : figures) {
      if (name.size() > 5 && name.compare(name.size() - 5, 5, " (ms)") == 0) {
        steps.emplace_back(QZBench::Median(values), name.substr(0, name.size() - 5));
      } else {
        others.emplace_back(name, QZBench::Median(values));
      }
    }
    std::sort(steps.begin(), steps.end());
    double previous = 0.0;
    for (const auto& [at, name] : steps) {
      std::printf("  %-44s %8.1f ms after main (+%.1f)\n", name.c_str(), at, at - previous);
      previous = at;
    }
    std::vector<double> resident, anonymous, file, shared;
    for (const QZBench::Memory& memory : EditorMemory()[dpi]) {
      resident.push_back(memory.resident);
      anonymous.push_back(memory.anonymous);
      file.push_back(memory.file);
      shared.push_back(memory.shared);
    }
    std::printf("  resident %.1f MB: private %.1f MB, libraries and code %.1f MB, shared with the X server %.1f MB\n",
                QZBench::Median(resident), QZBench::Median(anonymous), QZBench::Median(file), QZBench::Median(shared));
    for (const auto& [name, value] : others) {
      std::printf("    %-42s %8.1f\n", name.c_str(), value);
    }
  }
}

} // namespace

int main(int argc, char** argv) {
  QZBench::SharedDisplay(); // the server starts before the first benchmark and ends after the last
  const std::string editor96 = "BM_EditorStart/96/iterations:1/manual_time";
  const std::string editor192 = "BM_EditorStart/192/iterations:1/manual_time";
  const std::string reference96 = "BM_ReferenceStart/96/iterations:1/manual_time";
  const std::string reference192 = "BM_ReferenceStart/192/iterations:1/manual_time";
  const int result =
      QZBench::RunWithRatios(argc, argv, {{editor96, reference96}, {editor192, reference192}},
                             {{editor96, reference96, "resident_MB"}, {editor192, reference192, "resident_MB"}});
  PrintBreakdown();
  return result;
}
