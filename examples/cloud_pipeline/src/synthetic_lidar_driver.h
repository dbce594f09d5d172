#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include <ostrel/benchmark_utility/benchmark_utility.h>
#include <ostrel/otl/cloud.h>
#include <ostrel/otl/connection.h>
#include <ostrel/otl/signal.h>

namespace cloud_pipeline {

/// Shape and timing of the synthetic sensor.
struct DriverSettings {
  std::string sensor = "north";
  std::size_t rings = 16;
  std::size_t columns = 360;
  /// Stamp of the first cloud, in nanoseconds.
  std::uint64_t first_stamp = 0;
  /// Time between clouds, in nanoseconds.
  std::uint64_t period = 100'000'000;
  /// Index of the frame before which one sequence number is left out.
  std::size_t skip_before = 2;
};

/// Stands in for a LiDAR driver: produces organised XYZI clouds of a scene
/// (flat ground 2 m below the sensor inside a round wall of 25 m radius),
/// `rings` rows from −15° to +15° elevation, `columns` azimuth steps over
/// the full turn. Frame k carries sequence number k, plus one from
/// `skip_before` on, so exactly one number is missing.
class SyntheticLidarDriver {
 public:
  explicit SyntheticLidarDriver(DriverSettings settings);

  /// Connects a receiver of the clouds.
  ostrel::otl::Connection connect(std::function<void(ostrel::otl::XYZICloud const&)> const& slot);

  /// Builds frame `index` and emits it.
  void produce(std::size_t index);

  /// Stamp of frame `index` in nanoseconds.
  std::uint64_t stampOf(std::size_t index) const;

  /// Time spent building clouds (the emission is not part of it).
  ostrel::BenchmarkUtility& timer() { return timer_; }

  DriverSettings const& settings() const { return settings_; }

 private:
  ostrel::otl::XYZICloud build(std::size_t index) const;

  DriverSettings settings_;
  ostrel::otl::Signal<ostrel::otl::XYZICloud const&> output_;
  ostrel::BenchmarkUtility timer_{"lidar driver"};
};

}  // namespace cloud_pipeline
