#include "fake_clock.h"

#include <time.h>

#include <atomic>
#include <cstdint>

namespace {

std::atomic<bool> engaged{false};
std::atomic<std::int64_t> wall_ns{0};
std::atomic<long> processor_ticks{0};

timespec readClock(clockid_t id) {
  timespec ts{};
  clock_gettime(id, &ts);
  return ts;
}

}  // namespace

namespace ostrel::test {

FakeClock::FakeClock(std::chrono::nanoseconds wall, std::clock_t ticks) {
  wall_ns = wall.count();
  processor_ticks = ticks;
  engaged = true;
}

FakeClock::~FakeClock() { engaged = false; }

void FakeClock::advance(std::chrono::nanoseconds wall, std::clock_t ticks) {
  wall_ns += wall.count();
  processor_ticks += ticks;
}

}  // namespace ostrel::test

// These definitions take the place of the C++ and C runtime's own for the
// whole test program, including the timer library loaded by it.
std::chrono::steady_clock::time_point std::chrono::steady_clock::now() noexcept {
  if (engaged) return time_point(std::chrono::nanoseconds(wall_ns.load()));
  timespec const ts = readClock(CLOCK_MONOTONIC);
  return time_point(std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec));
}

std::clock_t clock() noexcept {
  if (engaged) return processor_ticks.load();
  timespec const ts = readClock(CLOCK_PROCESS_CPUTIME_ID);
  return static_cast<std::clock_t>(ts.tv_sec * CLOCKS_PER_SEC +
                                   ts.tv_nsec / (1000000000 / CLOCKS_PER_SEC));
}
