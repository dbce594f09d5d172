// A console reporter that, after the usual table, prints each measured case's
// real time as a ratio to the real time of its anchor measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace ostrel::bench {

/// A measured case and the anchor it is compared with, by benchmark name
/// (function name plus "/" and arguments, as in the table).
struct RatioPair {
  std::string measured;
  std::string anchor;
};

/// Prints "<measured> / <anchor> = <ratio>" lines after the console table;
/// below 1 means the measured case is faster than its anchor.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(std::vector<RatioPair> pairs) : pairs_(std::move(pairs)) {}

  void ReportRuns(std::vector<Run> const& runs) override {
    for (Run const& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
      std::string name = run.run_name.function_name;
      if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
      real_times_[name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::ostream& out = GetOutputStream();
    out << "\nReal-time ratios to the anchors of this run:\n";
    for (RatioPair const& pair : pairs_) {
      auto const measured = real_times_.find(pair.measured);
      auto const anchor = real_times_.find(pair.anchor);
      if (measured == real_times_.end() || anchor == real_times_.end()) continue;
      out << "  " << pair.measured << " / " << pair.anchor << " = "
          << measured->second / anchor->second << "\n";
    }
  }

 private:
  std::vector<RatioPair> pairs_;
  std::map<std::string, double> real_times_;
};

/// Runs the registered benchmarks with a RatioReporter for `pairs`.
inline int runWithRatios(int argc, char** argv, std::vector<RatioPair> pairs) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter(std::move(pairs));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace ostrel::bench
