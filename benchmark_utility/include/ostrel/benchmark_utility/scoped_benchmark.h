#pragma once

#include <ostrel/benchmark_utility/benchmark_utility.h>
#include <ostrel/benchmark_utility/export.h>

namespace ostrel {

/// Times one scope as one iteration of a timer: `start()` on construction,
/// `stop()` on destruction, also when the scope is left by an exception.
class OSTREL_BENCHMARK_UTILITY_EXPORT ScopedBenchmark {
 public:
  /// Starts `timer`, which must outlive this guard.
  /// @throws boost::lock_error when the hierarchy registry cannot be locked.
  explicit ScopedBenchmark(BenchmarkUtility& timer);
  /// Stops the timer; a failure to lock the hierarchy registry is swallowed,
  /// since a destructor must not throw.
  ~ScopedBenchmark();

  ScopedBenchmark(ScopedBenchmark const&) = delete;
  ScopedBenchmark& operator=(ScopedBenchmark const&) = delete;

 private:
  BenchmarkUtility& timer_;
};

}  // namespace ostrel
