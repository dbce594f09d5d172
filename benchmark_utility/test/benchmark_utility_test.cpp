#include <ostrel/benchmark_utility/benchmark_utility.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "fake_clock.h"

namespace {

using namespace std::chrono_literals;
using ostrel::BenchmarkUtility;
using ostrel::test::FakeClock;
using NamedRecord = BenchmarkUtility::Hierarchy::NamedRecord;

std::string const HEADER = "\nName                      Self (us)  Total (us)  Count\n";

// One table row, formatted independently of the code under test.
std::string row(std::string const& name, long long self, long long total,
                unsigned long long count) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, "%25s %10lld %10lld %6llu\n", name.c_str(), self, total,
                count);
  return buffer;
}

std::string written(BenchmarkUtility const& timer) {
  std::ostringstream out;
  out << timer;
  return out.str();
}

// What follows the summary line: the hierarchy table, or nothing.
std::string tableOf(BenchmarkUtility const& timer) {
  std::string const out = written(timer);
  std::size_t const end_of_summary = out.find('\n');
  return end_of_summary == std::string::npos ? std::string() : out.substr(end_of_summary);
}

class BenchmarkTimer : public ::testing::Test {
 protected:
  // One iteration of `wall` on the wall clock and `ticks` on the processor clock.
  void iterate(BenchmarkUtility& timer, std::chrono::nanoseconds wall, std::clock_t ticks = 0) {
    timer.start();
    clock.advance(wall, ticks);
    timer.stop();
  }

  FakeClock clock;
};

TEST_F(BenchmarkTimer, KeepsIterationStatisticsOnBothClocks) {
  BenchmarkUtility timer("decode");
  iterate(timer, 1500us, 1000);
  iterate(timer, 2500us, 3000);
  iterate(timer, 2000us, 2000);

  EXPECT_EQ(timer.getIterations(), 3u);
  EXPECT_DOUBLE_EQ(timer.getMinTime(), 1.5);
  EXPECT_DOUBLE_EQ(timer.getAverageTime(), 2.0);
  EXPECT_DOUBLE_EQ(timer.getMaxTime(), 2.5);
  // Ticks are microseconds on Linux: 6000 ticks over 3 iterations is 2 ms each.
  EXPECT_DOUBLE_EQ(timer.getMinClockTime(), 1.0);
  EXPECT_DOUBLE_EQ(timer.getAverageClockTime(), 2.0);
  EXPECT_DOUBLE_EQ(timer.getMaxClockTime(), 3.0);
  EXPECT_EQ(written(timer), "decode Benchmarks from 3 iterations (ms)   : 1.5\t2\t2.5");
}

TEST_F(BenchmarkTimer, WithoutIterationsReportsTheInitialExtremes) {
  BenchmarkUtility timer("idle");
  EXPECT_EQ(timer.getIterations(), 0u);
  EXPECT_DOUBLE_EQ(timer.getAverageTime(), 0.0);
  EXPECT_DOUBLE_EQ(timer.getAverageClockTime(), 0.0);
  EXPECT_DOUBLE_EQ(timer.getMinClockTime(), 1e9);
  EXPECT_DOUBLE_EQ(timer.getMaxClockTime(), 0.0);
  EXPECT_EQ(written(timer), "idle Benchmarks from 0 iterations (ms)   : 1e+09\t0\t0");
}

TEST_F(BenchmarkTimer, ResetRestoresTheInitialValuesAndKeepsTheName) {
  BenchmarkUtility timer("before");
  iterate(timer, 3ms, 40);
  timer.setName("after");
  timer.reset();
  EXPECT_EQ(timer.getName(), "after");
  EXPECT_EQ(written(timer), "after Benchmarks from 0 iterations (ms)   : 1e+09\t0\t0");
  EXPECT_DOUBLE_EQ(timer.getMaxClockTime(), 0.0);
}

TEST_F(BenchmarkTimer, AverageDividesWholeMicrosecondsFirst) {
  BenchmarkUtility timer("t");
  iterate(timer, 3us);
  iterate(timer, 4us);
  EXPECT_DOUBLE_EQ(timer.getAverageTime(), 0.003);  // 7 µs / 2 = 3 µs
}

TEST_F(BenchmarkTimer, TruncatesEveryIntervalToWholeMicroseconds) {
  BenchmarkUtility timer("t");
  timer.start();
  clock.advance(1999ns);
  timer.pause();
  timer.start();
  clock.advance(1999ns);
  timer.stop();
  EXPECT_DOUBLE_EQ(timer.getMaxTime(), 0.002);  // 1 µs + 1 µs, not 3 µs
}

TEST_F(BenchmarkTimer, AnIterationSumsItsStartedIntervals) {
  BenchmarkUtility timer("t");
  timer.start();
  clock.advance(100us, 7);
  timer.pause();
  clock.advance(1000us, 500);  // not timed: no start since the pause
  timer.start();
  clock.advance(200us, 3);
  timer.stop();
  EXPECT_EQ(timer.getIterations(), 1u);
  EXPECT_DOUBLE_EQ(timer.getMaxTime(), 0.3);
  EXPECT_DOUBLE_EQ(timer.getMaxClockTime(), 0.01);  // 10 ticks
}

TEST_F(BenchmarkTimer, EveryPauseMeasuresFromTheLastStart) {
  BenchmarkUtility timer("t");
  timer.start();
  clock.advance(100us);
  timer.pause();  // 100
  clock.advance(50us);
  timer.pause();  // 150
  timer.stop();   // 150
  EXPECT_DOUBLE_EQ(timer.getMaxTime(), 0.4);
}

TEST_F(BenchmarkTimer, StopWithoutStartMeasuresFromTheClockEpoch) {
  FakeClock at_five_seconds(5s, 0);
  BenchmarkUtility timer("t");
  timer.stop();
  EXPECT_DOUBLE_EQ(timer.getMaxTime(), 5000.0);
}

// Hierarchy: the tests use timers local to each test, whose destruction
// releases the thread's top again.
class BenchmarkHierarchy : public BenchmarkTimer {};

TEST_F(BenchmarkHierarchy, NestedTimerIsListedFirstAndSubtractedFromItsParent) {
  BenchmarkUtility a("A");
  BenchmarkUtility b("B");
  a.enableHierarchy();
  a.start();
  clock.advance(3ms);
  iterate(b, 4ms);
  clock.advance(3ms);
  a.stop();

  EXPECT_EQ(written(a), "A Benchmarks from 1 iterations (ms)   : 10\t10\t10" + HEADER +
                            row("B", 4000, 4000, 1) + row("A", 6000, 10000, 1));
  EXPECT_EQ(written(b), "B Benchmarks from 1 iterations (ms)   : 4\t4\t4")
      << "only the top timer prints the table";
}

TEST_F(BenchmarkHierarchy, TableIsCumulativeOverRuns) {
  BenchmarkUtility a("A");
  BenchmarkUtility b("B");
  a.enableHierarchy();
  for (int run = 0; run < 2; ++run) {
    a.start();
    iterate(b, 1ms);
    iterate(b, 2ms);
    clock.advance(500us);
    a.stop();
  }
  std::string const table = HEADER + row("A", 1000, 7000, 2) + row("B", 6000, 6000, 4);
  EXPECT_EQ(written(a), "A Benchmarks from 2 iterations (ms)   : 3.5\t3.5\t3.5" + table);
  EXPECT_EQ(written(a), "A Benchmarks from 2 iterations (ms)   : 3.5\t3.5\t3.5" + table);
}

TEST_F(BenchmarkHierarchy, PausedAndResumedTimerCountsOneRun) {
  BenchmarkUtility a("A");
  BenchmarkUtility b("B");
  a.enableHierarchy();
  a.start();
  b.start();
  clock.advance(1000us, 100);
  b.pause();
  clock.advance(500us, 40);
  b.start();
  clock.advance(2000us, 200);
  b.stop();
  clock.advance(500us, 60);
  a.stop();

  EXPECT_EQ(tableOf(a), HEADER + row("A", 1000, 4000, 1) + row("B", 3000, 3000, 1));
}

TEST_F(BenchmarkHierarchy, RecordReturnsTheFiguresAndStartsTheTimerAfresh) {
  BenchmarkUtility a("A");
  BenchmarkUtility b("B");
  a.enableHierarchy();
  a.start();
  b.start();
  clock.advance(1000us, 100);
  b.pause();
  clock.advance(500us, 40);
  b.start();
  clock.advance(2000us, 200);
  NamedRecord const taken = b.record();
  clock.advance(500us, 60);
  a.stop();

  EXPECT_EQ(taken.name, "");
  EXPECT_EQ(taken.count, 1u);
  EXPECT_EQ(taken.total_time, 3000);
  EXPECT_EQ(taken.child_time, 0);
  EXPECT_EQ(taken.self_time, 3000);
  EXPECT_DOUBLE_EQ(taken.total_processor_time, 300.0) << "first interval counted once";
  EXPECT_DOUBLE_EQ(taken.self_processor_time, 300.0);
  EXPECT_EQ(b.getIterations(), 1u) << "record completes an iteration of the timer itself";

  EXPECT_EQ(tableOf(a), HEADER + row("A", 1000, 4000, 1));

  a.start();
  iterate(b, 250us);
  a.stop();
  EXPECT_EQ(tableOf(a), HEADER + row("B", 250, 250, 1) + row("A", 1000, 4250, 2))
      << "B accumulates afresh after record";
}

TEST_F(BenchmarkHierarchy, HeaderIsWrittenWithoutRecords) {
  BenchmarkUtility a("A");
  a.enableHierarchy();
  EXPECT_EQ(written(a), "A Benchmarks from 0 iterations (ms)   : 1e+09\t0\t0" + HEADER);
}

TEST_F(BenchmarkHierarchy, LongNameShiftsTheRestOfItsRow) {
  std::string const long_name(30, 'n');
  BenchmarkUtility a(long_name);
  a.enableHierarchy();
  iterate(a, 12us);
  EXPECT_EQ(tableOf(a), HEADER + long_name + "         12         12      1\n");
}

TEST_F(BenchmarkHierarchy, NameKeepsTheStreamAdjustmentAndFiguresStayDecimal) {
  BenchmarkUtility a("A");
  a.enableHierarchy();
  iterate(a, 20us);
  std::ostringstream out;
  out << std::hex << std::left;
  BenchmarkUtility::Hierarchy::getThreadHierarchy()->write(out, &a);
  char expected[128];
  std::snprintf(expected, sizeof expected, "%-25s %-10d %-10d %-6d\n", "A", 20, 20, 1);
  EXPECT_EQ(out.str(), HEADER + expected);
}

TEST_F(BenchmarkHierarchy, InactiveWithoutTop) {
  BenchmarkUtility a("A");
  iterate(a, 1ms);
  NamedRecord const taken = a.record();
  EXPECT_EQ(taken.count, 0u);
  EXPECT_EQ(taken.total_time, 0);
  EXPECT_EQ(a.getIterations(), 2u);
  EXPECT_EQ(written(a), "A Benchmarks from 2 iterations (ms)   : 1\t1\t1");
}

TEST_F(BenchmarkHierarchy, UnbracketedCallsSkipTheHierarchyButStillTime) {
  BenchmarkUtility a("A");
  BenchmarkUtility b("B");
  a.enableHierarchy();
  b.start();
  clock.advance(100us);
  b.stop();  // empties the stack
  b.pause();
  b.stop();
  NamedRecord const taken = b.record();

  EXPECT_EQ(taken.count, 0u);
  EXPECT_EQ(taken.total_time, 0);
  EXPECT_EQ(b.getIterations(), 3u);
  EXPECT_EQ(tableOf(a), HEADER + row("B", 100, 100, 1));
}

TEST_F(BenchmarkHierarchy, TableCanBeWrittenWhileATimerIsPaused) {
  BenchmarkUtility a("A");
  BenchmarkUtility b("B");
  a.enableHierarchy();
  a.start();
  b.start();
  clock.advance(100us);
  b.pause();
  std::string out;
  ASSERT_NO_THROW(out = written(a));
  EXPECT_EQ(out.substr(out.find('\n')), HEADER + row("B", 0, 0, 0));
  b.stop();
  a.stop();
}

TEST_F(BenchmarkHierarchy, DestroyedTimerReleasesTopAndRecord) {
  std::optional<BenchmarkUtility> slot;
  slot.emplace("first");
  slot->enableHierarchy();
  iterate(*slot, 1ms);
  BenchmarkUtility const* const address = &*slot;
  slot.reset();

  slot.emplace("second");
  ASSERT_EQ(&*slot, address);
  slot->enableHierarchy();
  iterate(*slot, 2ms);
  EXPECT_EQ(tableOf(*slot), HEADER + row("second", 2000, 2000, 1));
}

TEST_F(BenchmarkHierarchy, TimerDestroyedWhileRunningLeavesNoStackEntry) {
  BenchmarkUtility a("A");
  a.enableHierarchy();
  a.start();
  {
    BenchmarkUtility b("B");
    b.start();
    clock.advance(100us);
  }
  clock.advance(200us);
  a.stop();
  EXPECT_EQ(tableOf(a), HEADER + row("A", 300, 300, 1));
}

TEST_F(BenchmarkHierarchy, EachThreadHasItsOwnHierarchy) {
  BenchmarkUtility a("A");
  a.enableHierarchy();
  iterate(a, 1ms);

  std::string other_table;
  std::string a_seen_there;
  std::thread([&] {
    BenchmarkUtility x("X");
    x.enableHierarchy();
    x.start();
    iterate(a, 2ms);  // the same timer gets a separate record on this thread
    x.stop();
    other_table = tableOf(x);
    a_seen_there = written(a);
  }).join();

  EXPECT_EQ(other_table, HEADER + row("X", 0, 2000, 1) + row("A", 2000, 2000, 1));
  EXPECT_EQ(a_seen_there, "A Benchmarks from 2 iterations (ms)   : 1\t1.5\t2")
      << "A is not the top on the other thread";
  EXPECT_EQ(tableOf(a), HEADER + row("A", 1000, 1000, 1));
}

TEST_F(BenchmarkHierarchy, ThreadStartsFreshWhenItsIdIsReused) {
  // The first thread's timer outlives it, so only the end of the thread can
  // clear that thread's hierarchy.
  BenchmarkUtility survivor("survivor");
  std::thread::id first_id;
  std::thread([&] {
    first_id = std::this_thread::get_id();
    survivor.enableHierarchy();
    iterate(survivor, 1ms);
  }).join();

  std::string table;
  std::thread::id second_id;
  std::thread([&] {
    second_id = std::this_thread::get_id();
    BenchmarkUtility fresh("fresh");
    fresh.enableHierarchy();
    iterate(fresh, 2ms);
    table = tableOf(fresh);
  }).join();

  if (first_id != second_id) GTEST_SKIP() << "the thread id was not reused";
  EXPECT_EQ(table, HEADER + row("fresh", 2000, 2000, 1));
}

}  // namespace
