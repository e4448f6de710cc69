#pragma once
// Runs the registered benchmarks and reports each measured figure as a ratio against
// its reference (the raw library or transport doing the same work).
//
//   int main(int argc, char** argv) {
//     return QZBench::RunWithRatios(argc, argv, {{"BM_RCPtrCopy", "BM_SharedPtrCopy"}});
//   }

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace QZBench {

struct Ratio {
  std::string measured;
  std::string reference;
};

class CollectingReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        mTimes[run.benchmark_name()] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Benchmark names may carry arguments ("BM_X/64"): a ratio names the full name.
  const std::map<std::string, double>& Times() const { return mTimes; }

private:
  std::map<std::string, double> mTimes;
};

inline int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatios (measured / reference; 1.00 = as fast as the reference):\n");
  for (const Ratio& ratio : ratios) {
    auto measured = reporter.Times().find(ratio.measured);
    auto reference = reporter.Times().find(ratio.reference);
    if (measured == reporter.Times().end() || reference == reporter.Times().end() || reference->second <= 0) {
      std::printf("  %-40s not measured\n", ratio.measured.c_str());
      continue;
    }
    std::printf("  %-40s / %-40s = %.2f\n", ratio.measured.c_str(), ratio.reference.c_str(),
                measured->second / reference->second);
  }
  benchmark::Shutdown();
  return 0;
}

} // namespace QZBench
