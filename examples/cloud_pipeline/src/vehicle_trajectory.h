#pragma once

#include <cstdint>

#include <ostrel/benchmark_utility/benchmark_utility.h>
#include <ostrel/core/pose.h>
#include <ostrel/core/transform_manager.h>

namespace cloud_pipeline {

/// A simulated vehicle: drives at 5 m/s along a gentle S-curve in the
/// world plane, heading along its path.
class VehicleTrajectory {
 public:
  /// Placement of the body in the world at `time` (nanoseconds after
  /// `origin`): maps body coordinates to world coordinates.
  explicit VehicleTrajectory(std::int64_t origin) : origin_(origin) {}

  ostrel::Pose bodyInWorld(std::int64_t time) const;

 private:
  std::int64_t origin_;
};

/// Feeds the body-to-world transform of a trajectory into a transform
/// manager at 100 Hz, from the trajectory's origin onwards.
class TrajectoryFeeder {
 public:
  /// Period of the pose samples: 10 ms in nanoseconds.
  static constexpr std::int64_t PERIOD = 10'000'000;

  TrajectoryFeeder(VehicleTrajectory trajectory, std::int64_t origin,
                   ostrel::TransformManager& manager);

  /// Records every sample up to and including `time` not recorded yet.
  void feedUntil(std::int64_t time);

  ostrel::BenchmarkUtility& timer() { return timer_; }

 private:
  VehicleTrajectory trajectory_;
  std::int64_t next_;
  ostrel::TransformManager& manager_;
  ostrel::BenchmarkUtility timer_{"trajectory feed"};
};

}  // namespace cloud_pipeline
