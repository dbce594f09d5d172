#include <ostrel/benchmark_utility/scoped_benchmark.h>

namespace ostrel {

ScopedBenchmark::ScopedBenchmark(BenchmarkUtility& timer) : timer_(timer) { timer_.start(); }

ScopedBenchmark::~ScopedBenchmark() {
  try {
    timer_.stop();
  } catch (...) {
    // Only the registry lock can fail; the iteration is then lost.
  }
}

}  // namespace ostrel
