#include "vehicle_trajectory.h"

#include <cmath>

#include <ostrel/benchmark_utility/scoped_benchmark.h>
#include <ostrel/core/frames.h>

namespace cloud_pipeline {
namespace {

constexpr double SPEED = 5.0;      // m/s along x
constexpr double SWAY = 2.0;       // m of lateral amplitude
constexpr double SWAY_RATE = 0.5;  // rad/s

}  // namespace

ostrel::Pose VehicleTrajectory::bodyInWorld(std::int64_t time) const {
  double const t = static_cast<double>(time - origin_) * 1e-9;
  double const x = SPEED * t;
  double const y = SWAY * std::sin(SWAY_RATE * t);
  double const heading = std::atan2(SWAY * SWAY_RATE * std::cos(SWAY_RATE * t), SPEED);
  ostrel::Pose pose;
  pose.position = Eigen::Vector3f(static_cast<float>(x), static_cast<float>(y), 0.0f);
  pose.orientation =
      Eigen::Quaternionf(Eigen::AngleAxisf(static_cast<float>(heading), Eigen::Vector3f::UnitZ()));
  pose.timestamp = time;
  return pose;
}

TrajectoryFeeder::TrajectoryFeeder(VehicleTrajectory trajectory, std::int64_t origin,
                                   ostrel::TransformManager& manager)
    : trajectory_(trajectory), next_(origin), manager_(manager) {}

void TrajectoryFeeder::feedUntil(std::int64_t time) {
  ostrel::ScopedBenchmark timing(timer_);
  for (; next_ <= time; next_ += PERIOD) {
    manager_.setTransform(ostrel::frames::BODY_FRAME, ostrel::frames::GLOBAL_FRAME,
                          trajectory_.bodyInWorld(next_), next_);
  }
}

}  // namespace cloud_pipeline
