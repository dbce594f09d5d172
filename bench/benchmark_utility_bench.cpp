// One start()/stop() pair of a timer, without and with an active hierarchy,
// beside the bare clock readings such a pair needs: each clock read twice.
// The ratios show what the bookkeeping (and the registry lookup) adds.
#include <ostrel/benchmark_utility/benchmark_utility.h>

#include <benchmark/benchmark.h>

#include <ctime>

#include "ratio_reporter.h"

namespace {

using ostrel::BenchmarkUtility;

void BM_TwoReadingsOfBothClocks(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(BenchmarkUtility::Clock::now());
    benchmark::DoNotOptimize(std::clock());
    benchmark::DoNotOptimize(BenchmarkUtility::Clock::now());
    benchmark::DoNotOptimize(std::clock());
  }
}

void BM_StartStopWithoutHierarchy(benchmark::State& state) {
  BenchmarkUtility timer("bench");
  for (auto _ : state) {
    timer.start();
    timer.stop();
  }
  benchmark::DoNotOptimize(timer.getIterations());
}

void BM_StartStopInHierarchy(benchmark::State& state) {
  BenchmarkUtility top("top");
  BenchmarkUtility inner("inner");
  top.enableHierarchy();
  top.start();
  for (auto _ : state) {
    inner.start();
    inner.stop();
  }
  top.stop();
  benchmark::DoNotOptimize(inner.getIterations());
}  // destroying `top` releases this thread's hierarchy again

BENCHMARK(BM_TwoReadingsOfBothClocks);
BENCHMARK(BM_StartStopWithoutHierarchy);
BENCHMARK(BM_StartStopInHierarchy);

}  // namespace

int main(int argc, char** argv) {
  return ostrel::bench::runWithRatios(
      argc, argv,
      {{"BM_StartStopWithoutHierarchy", "BM_TwoReadingsOfBothClocks"},
       {"BM_StartStopInHierarchy", "BM_TwoReadingsOfBothClocks"},
       {"BM_StartStopInHierarchy", "BM_StartStopWithoutHierarchy"}});
}
