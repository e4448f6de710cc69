#pragma once
// Runs the registered benchmarks and reports each measured figure as a ratio against
// its reference (the raw library or transport doing the same work). With repetitions
// (--benchmark_repetitions=N, best with --benchmark_enable_random_interleaving=true so
// that both sides share the machine's moods) the ratio is that of the medians. A counter
// (resident memory, CPU per second) can be set against the same counter of the reference.
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

// The counter `counter` of two benchmarks.
struct CounterRatio {
  std::string measured;
  std::string reference;
  std::string counter;
};

class CollectingReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) {
        continue;
      }
      const std::string name = run.run_name.str();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        mMedians[name] = run.GetAdjustedRealTime();
        for (const auto& [counter, value] : run.counters) {
          mMedianCounters[name][counter] = value.value;
        }
      } else if (run.run_type == Run::RT_Iteration) {
        mTimes[name] = run.GetAdjustedRealTime();
        for (const auto& [counter, value] : run.counters) {
          mCounters[name][counter] = value.value;
        }
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Benchmark names may carry arguments ("BM_X/64"): a ratio names the full name. The
  // median of the repetitions where there were several, else the one run's time.
  std::map<std::string, double> Times() const {
    std::map<std::string, double> times = mTimes;
    for (const auto& [name, median] : mMedians) {
      times[name] = median;
    }
    return times;
  }

  // A counter's value: the median of the repetitions where there were several; null when
  // the benchmark or its counter was not measured.
  const double* Counter(const std::string& name, const std::string& counter) const {
    for (const auto* source : {&mMedianCounters, &mCounters}) {
      auto found = source->find(name);
      if (found != source->end()) {
        auto value = found->second.find(counter);
        if (value != found->second.end()) {
          return &value->second;
        }
      }
    }
    return nullptr;
  }

private:
  std::map<std::string, double> mTimes;
  std::map<std::string, double> mMedians;
  std::map<std::string, std::map<std::string, double>> mCounters;
  std::map<std::string, std::map<std::string, double>> mMedianCounters;
};

inline int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios,
                         const std::vector<CounterRatio>& counterRatios = {}) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const std::map<std::string, double> times = reporter.Times();
  std::printf("\nRatios (measured / reference; 1.00 = as fast as the reference):\n");
  for (const Ratio& ratio : ratios) {
    auto measured = times.find(ratio.measured);
    auto reference = times.find(ratio.reference);
    if (measured == times.end() || reference == times.end() || reference->second <= 0) {
      std::printf("  %-40s not measured\n", ratio.measured.c_str());
      continue;
    }
    std::printf("  %-40s / %-40s = %.2f\n", ratio.measured.c_str(), ratio.reference.c_str(),
                measured->second / reference->second);
  }
  for (const CounterRatio& ratio : counterRatios) {
    const double* measured = reporter.Counter(ratio.measured, ratio.counter);
    const double* reference = reporter.Counter(ratio.reference, ratio.counter);
    if (!measured || !reference || *reference <= 0) {
      std::printf("  %-40s not measured (%s)\n", ratio.measured.c_str(), ratio.counter.c_str());
      continue;
    }
    std::printf("  %-40s / %-40s = %.2f (%s: %.2f / %.2f)\n", ratio.measured.c_str(), ratio.reference.c_str(),
                *measured / *reference, ratio.counter.c_str(), *measured, *reference);
  }
  benchmark::Shutdown();
  return 0;
}

} // namespace QZBench
