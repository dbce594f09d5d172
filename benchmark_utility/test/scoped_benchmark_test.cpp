#include <ostrel/benchmark_utility/scoped_benchmark.h>

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

#include "fake_clock.h"

namespace {

using namespace std::chrono_literals;
using ostrel::BenchmarkUtility;
using ostrel::ScopedBenchmark;

TEST(ScopedBenchmark, TimesItsScopeAsOneIteration) {
  ostrel::test::FakeClock clock;
  BenchmarkUtility timer("scope");
  {
    ScopedBenchmark const guard(timer);
    clock.advance(1500us);
  }
  try {
    ScopedBenchmark const guard(timer);
    clock.advance(500us);
    throw std::runtime_error("leave early");
  } catch (std::runtime_error const&) {
  }
  EXPECT_EQ(timer.getIterations(), 2u);
  EXPECT_DOUBLE_EQ(timer.getMinTime(), 0.5);
  EXPECT_DOUBLE_EQ(timer.getMaxTime(), 1.5);
}

TEST(ScopedBenchmark, NestedScopesFeedTheHierarchy) {
  ostrel::test::FakeClock clock;
  BenchmarkUtility outer("outer");
  BenchmarkUtility inner("inner");
  outer.enableHierarchy();
  {
    ScopedBenchmark const outer_scope(outer);
    clock.advance(100us);
    {
      ScopedBenchmark const inner_scope(inner);
      clock.advance(300us);
    }
  }
  BenchmarkUtility::Hierarchy::NamedRecord const taken = [&] {
    ScopedBenchmark const outer_scope(outer);
    return outer.record();  // ends the run; the guard's stop then finds an empty stack
  }();
  EXPECT_EQ(taken.count, 2u);
  EXPECT_EQ(taken.total_time, 400);
  EXPECT_EQ(taken.child_time, 300);
  EXPECT_EQ(taken.self_time, 100);
}

}  // namespace
