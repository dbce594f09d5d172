#pragma once

#include <chrono>
#include <ctime>

namespace ostrel::test {

/// Takes over the two clocks the timers read, `std::chrono::steady_clock::now()`
/// and `clock()`, for as long as it lives: both then stand still until
/// `advance` moves them. Without a FakeClock they read the real clocks.
///
/// The test program defines both functions itself, so the timer library's
/// calls resolve to them; nothing in the library knows about the fake.
class FakeClock {
 public:
  /// Starts the fake at `wall` on the steady clock and `ticks` processor ticks.
  explicit FakeClock(std::chrono::nanoseconds wall = std::chrono::seconds(1000),
                     std::clock_t ticks = 5000);
  ~FakeClock();
  FakeClock(FakeClock const&) = delete;
  FakeClock& operator=(FakeClock const&) = delete;

  /// Moves the wall clock on by `wall` and the processor clock by `ticks`.
  void advance(std::chrono::nanoseconds wall, std::clock_t ticks = 0);
};

}  // namespace ostrel::test
