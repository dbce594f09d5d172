#include <ostrel/benchmark_utility/benchmark_utility.h>

#include <chrono>
#include <ostream>
#include <utility>

namespace ostrel {

namespace {

constexpr std::int64_t INITIAL_MIN_TIME = 1000000000000;  // 10^12 µs
constexpr double INITIAL_MIN_CLOCK_TIME = 1e12;           // ticks

std::int64_t microsecondsSince(BenchmarkUtility::Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::microseconds>(BenchmarkUtility::Clock::now() -
                                                               start)
      .count();
}

}  // namespace

BenchmarkUtility::BenchmarkUtility(std::string name) : wall_start_{}, name_(std::move(name)) {
  reset();
}

BenchmarkUtility::~BenchmarkUtility() { Hierarchy::forgetOnThisThread(this); }

std::string BenchmarkUtility::getName() const { return name_; }

void BenchmarkUtility::setName(std::string name) { name_ = std::move(name); }

void BenchmarkUtility::reset() {
  iterations_ = 0;
  wall_start_ = Clock::time_point{};
  processor_start_ = std::clock();
  total_time_ = 0;
  min_time_ = INITIAL_MIN_TIME;
  max_time_ = 0;
  current_time_ = 0;
  total_clock_time_ = 0.0;
  min_clock_time_ = INITIAL_MIN_CLOCK_TIME;
  max_clock_time_ = 0.0;
  current_clock_time_ = 0.0;
}

void BenchmarkUtility::start() {
  wall_start_ = Clock::now();
  processor_start_ = std::clock();
  Hierarchy::getThreadHierarchy()->start(this);
}

void BenchmarkUtility::pause() {
  current_time_ += microsecondsSince(wall_start_);
  current_clock_time_ += static_cast<double>(std::clock() - processor_start_);
  Hierarchy::getThreadHierarchy()->pause(this);
}

void BenchmarkUtility::stop() {
  completeIteration();
  Hierarchy::getThreadHierarchy()->stop(this);
}

BenchmarkUtility::Hierarchy::NamedRecord BenchmarkUtility::record() {
  completeIteration();
  return Hierarchy::getThreadHierarchy()->record(this);
}

void BenchmarkUtility::enableHierarchy() { Hierarchy::getThreadHierarchy()->offerTop(this); }

void BenchmarkUtility::completeIteration() {
  current_time_ += microsecondsSince(wall_start_);
  current_clock_time_ += static_cast<double>(std::clock() - processor_start_);
  if (current_time_ < min_time_) min_time_ = current_time_;
  if (current_clock_time_ < min_clock_time_) min_clock_time_ = current_clock_time_;
  if (max_time_ < current_time_) max_time_ = current_time_;
  if (max_clock_time_ < current_clock_time_) max_clock_time_ = current_clock_time_;
  // The total is unsigned: an interval is never negative on a steady clock.
  total_time_ += static_cast<std::uint64_t>(current_time_);
  ++iterations_;
  total_clock_time_ += current_clock_time_;
  current_time_ = 0;
  current_clock_time_ = 0.0;
}

std::uint64_t BenchmarkUtility::getIterations() const { return iterations_; }

double BenchmarkUtility::getAverageTime() const {
  if (iterations_ == 0) return 0.0;
  return static_cast<double>(total_time_ / iterations_) / 1000.0;
}

double BenchmarkUtility::getMinTime() const { return static_cast<double>(min_time_) / 1000.0; }

double BenchmarkUtility::getMaxTime() const { return static_cast<double>(max_time_) / 1000.0; }

double BenchmarkUtility::getAverageClockTime() const {
  if (iterations_ == 0) return 0.0;
  return 1000.0 * total_clock_time_ / static_cast<double>(iterations_ * 1000000u);
}

double BenchmarkUtility::getMinClockTime() const { return 1000.0 * min_clock_time_ / 1000000.0; }

double BenchmarkUtility::getMaxClockTime() const { return 1000.0 * max_clock_time_ / 1000000.0; }

std::ostream& BenchmarkUtility::write(std::ostream& os) const {
  os << name_ << " Benchmarks from " << iterations_ << " iterations (ms)   : " << getMinTime()
     << "\t" << getAverageTime() << "\t" << getMaxTime();
  return Hierarchy::getThreadHierarchy()->write(os, this);
}

std::ostream& operator<<(std::ostream& os, BenchmarkUtility const& timer) {
  return timer.write(os);
}

}  // namespace ostrel
