#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <iosfwd>
#include <string>
#include <unordered_map>
#include <vector>

#include <ostrel/benchmark_utility/export.h>

namespace ostrel {

/// A named stopwatch for code sections that run many times.
///
/// Each iteration is timed on two clocks at once: wall time from
/// `std::chrono::steady_clock`, truncated to whole microseconds per interval,
/// and processor time as `clock()` ticks. The timer keeps the iteration count
/// and the total, shortest and longest iteration on both clocks. Every timing
/// call is also forwarded to the calling thread's Hierarchy, which attributes
/// nested timings once a timer has been offered as its top.
///
/// An iteration made of several intervals is timed as `start()`, `pause()`,
/// `start()`, ..., `stop()`. Every `pause()`, `stop()` and `record()` adds the
/// time since the most recent `start()`. The wall start is the steady clock's
/// epoch after construction and `reset()`, so a `stop()` without a `start()`
/// measures from that epoch (usually the machine's boot), not from 1970.
///
/// A timer is not synchronised and belongs to one thread at a time.
class OSTREL_BENCHMARK_UTILITY_EXPORT BenchmarkUtility {
 public:
  /// Wall clock of every interval, immune to steps of the system time.
  using Clock = std::chrono::steady_clock;

  /// Attributes the time of nested timers on one thread.
  ///
  /// Each thread has its own hierarchy, created on its first timing call and
  /// removed when the thread ends. It is inactive until a timer offers itself
  /// as top; from then on it keeps a stack of running timers (which must be
  /// started and stopped like brackets, innermost first) and, per timer, the
  /// total time, the time of timers nested in it and the number of runs.
  class OSTREL_BENCHMARK_UTILITY_EXPORT Hierarchy {
   public:
    /// One running timer on the stack.
    struct StackInfo {
      Clock::time_point wall_start;
      std::clock_t processor_start;
      std::int64_t child_time;
      double child_processor_time;
      BenchmarkUtility* timer;
    };

    /// The accumulated figures of one timer; wall times in µs, processor times
    /// in `clock()` ticks.
    struct Record {
      std::int64_t total_time;
      double total_processor_time;
      std::int64_t child_time;
      double child_processor_time;
      std::int64_t run_time;
      double run_processor_time;
      std::uint64_t count;
    };

    /// One report row: a record's figures with its name and self times.
    struct OSTREL_BENCHMARK_UTILITY_EXPORT NamedRecord {
      /// An all-zero row without a name.
      NamedRecord() = default;
      /// Copies the figures of `record`, leaves the name empty and sets the
      /// self times to total minus child.
      explicit NamedRecord(Record const& record);

      std::int64_t total_time = 0;
      double total_processor_time = 0.0;
      std::int64_t child_time = 0;
      double child_processor_time = 0.0;
      std::uint64_t count = 0;
      std::string name;
      std::int64_t self_time = 0;
      double self_processor_time = 0.0;

      /// Orders rows by self time, ascending.
      bool operator<(NamedRecord const& other) const;
    };

    /// The calling thread's hierarchy, created on first use; it stays valid
    /// until the thread ends.
    /// @throws boost::lock_error when the registry cannot be locked.
    static Hierarchy* getThreadHierarchy();

    /// Makes `timer` the top when no timer holds it yet.
    void offerTop(BenchmarkUtility* timer);

    /// Pushes `timer` on the stack, or restarts its interval when it is
    /// already the innermost running timer (resumed after a pause).
    void start(BenchmarkUtility* timer);
    /// Adds the innermost interval to `timer`'s run in progress.
    void pause(BenchmarkUtility* timer);
    /// Ends the innermost run, credits it to `timer` and to the enclosing run.
    void stop(BenchmarkUtility* timer);
    /// Stops `timer` and takes its record out, so it accumulates afresh.
    /// Returns an all-zero row when there is no top or no running timer.
    NamedRecord record(BenchmarkUtility* timer);

    /// Writes the self/total/count table when `timer` is the top, otherwise
    /// nothing. The table is cumulative; writing resets nothing.
    /// @throws std::out_of_range for a record without a stored name.
    std::ostream& write(std::ostream& os, BenchmarkUtility const* timer) const;

    /// Drops everything the calling thread's hierarchy keeps about `timer`,
    /// which is being destroyed: its record, its name and its stack entries;
    /// clears the top when `timer` held it. Creates no hierarchy and never
    /// throws.
    static void forgetOnThisThread(BenchmarkUtility const* timer) noexcept;

   private:
    Record& recordOf(BenchmarkUtility* timer);

    std::unordered_map<BenchmarkUtility*, Record> records_;
    std::unordered_map<BenchmarkUtility*, std::string> names_;
    BenchmarkUtility* top_ = nullptr;
    std::vector<StackInfo> stack_;
  };

  /// Creates a timer labelled `name`, with statistics as after `reset()`.
  explicit BenchmarkUtility(std::string name);

  /// Removes this timer's record and name from the calling thread's
  /// hierarchy, and releases the top when this timer held it, so a later
  /// timer at the same address starts fresh.
  virtual ~BenchmarkUtility();

  BenchmarkUtility(BenchmarkUtility const&) = default;
  BenchmarkUtility& operator=(BenchmarkUtility const&) = default;

  /// The label used in reports.
  std::string getName() const;
  /// Replaces the label; the hierarchy keeps the name a record was first
  /// completed under.
  void setName(std::string name);

  /// Starts the statistics afresh; the name is kept.
  void reset();

  /// Marks the start of an interval, then starts or resumes this timer in
  /// the thread's hierarchy.
  /// @throws boost::lock_error when the hierarchy registry cannot be locked.
  void start();
  /// Adds the interval since the last `start()` to the iteration in progress.
  /// @throws boost::lock_error when the hierarchy registry cannot be locked.
  void pause();
  /// Adds the interval since the last `start()` and completes the iteration.
  /// @throws boost::lock_error when the hierarchy registry cannot be locked.
  void stop();
  /// Completes the iteration as `stop()` does and takes this timer's
  /// accumulated figures out of the thread's hierarchy. Returns an all-zero
  /// record when the hierarchy has no top or no running timer.
  /// @throws boost::lock_error when the hierarchy registry cannot be locked.
  Hierarchy::NamedRecord record();

  /// Offers this timer as the top of the calling thread's hierarchy; the
  /// first timer offered wins.
  void enableHierarchy();

  /// Completed iterations.
  std::uint64_t getIterations() const;
  /// Average wall time of an iteration in ms, from the total divided by the
  /// count in whole microseconds; 0 without iterations.
  double getAverageTime() const;
  /// Shortest iteration in ms (1e9 without iterations).
  double getMinTime() const;
  /// Longest iteration in ms (0 without iterations).
  double getMaxTime() const;
  /// Average processor time of an iteration in ms; 0 without iterations.
  double getAverageClockTime() const;
  /// Shortest iteration's processor time in ms.
  double getMinClockTime() const;
  /// Longest iteration's processor time in ms.
  double getMaxClockTime() const;

  /// Writes the summary line "<name> Benchmarks from <n> iterations (ms)   :
  /// <min>\t<avg>\t<max>" without a newline, followed by the hierarchy table
  /// when this timer is the top of the calling thread's hierarchy.
  std::ostream& write(std::ostream& os) const;

 private:
  void completeIteration();

  std::uint64_t iterations_;
  Clock::time_point wall_start_;
  std::clock_t processor_start_;
  std::uint64_t total_time_;
  std::int64_t min_time_;
  std::int64_t max_time_;
  std::int64_t current_time_;
  double total_clock_time_;
  double min_clock_time_;
  double max_clock_time_;
  double current_clock_time_;
  std::string name_;
};

/// Writes `timer` as `BenchmarkUtility::write` does.
OSTREL_BENCHMARK_UTILITY_EXPORT std::ostream& operator<<(std::ostream& os,
                                                         BenchmarkUtility const& timer);

}  // namespace ostrel
