#pragma once

#include <gtest/gtest.h>

#include <Eigen/Geometry>

#include <string>
#include <vector>

#include <ostrel/core/pose.h>
#include <ostrel/logging/log_level.h>

#include "capture_sink.h"

namespace ostrel::testing {

/// A pose at `position`, turned by `angle` radians about `axis`.
inline Pose makePose(Eigen::Vector3f const& position, float angle,
                     Eigen::Vector3f const& axis = Eigen::Vector3f::UnitZ(),
                     std::int64_t timestamp = 0) {
  Pose pose;
  pose.position = position;
  pose.orientation = Eigen::Quaternionf(Eigen::AngleAxisf(angle, axis.normalized()));
  pose.timestamp = timestamp;
  return pose;
}

/// The rigid transform a pose stands for, built with Eigen from its parts.
inline Eigen::Affine3f rigidOf(Pose const& pose) {
  return Eigen::Translation3f(pose.position) * Eigen::Affine3f(pose.orientation.normalized());
}

/// True when the two poses place a frame alike: same position, and
/// orientations of the same rotation (q and −q count as equal).
inline ::testing::AssertionResult samePlacement(Pose const& actual, Eigen::Affine3f const& expected,
                                                float tolerance = 1e-5f) {
  Eigen::Affine3f const got = rigidOf(actual);
  if (got.matrix().isApprox(expected.matrix(), tolerance) ||
      (got.matrix() - expected.matrix()).cwiseAbs().maxCoeff() <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "\n" << got.matrix() << "\nis not\n" << expected.matrix();
}

inline ::testing::AssertionResult samePlacement(Pose const& actual, Pose const& expected,
                                                float tolerance = 1e-5f) {
  return samePlacement(actual, rigidOf(expected), tolerance);
}

/// True when `pose` is the default pose: origin, identity, timestamp 0.
inline bool isDefault(Pose const& pose) {
  return pose.position == Eigen::Vector3f::Zero() &&
         pose.orientation.coeffs() == Eigen::Quaternionf::Identity().coeffs() &&
         pose.timestamp == 0;
}

/// Captured logging with the records of one level picked out.
class TransformLogging : public CapturedLogging {
 protected:
  std::vector<std::string> messages(int level) const {
    std::vector<std::string> picked;
    for (LogRecord const& record : records()) {
      if (record.level == level) picked.push_back(record.message);
    }
    return picked;
  }
  std::vector<std::string> warnings() const { return messages(LOG_WARN); }
  std::vector<std::string> traces() const { return messages(LOG_TRACE); }
};

}  // namespace ostrel::testing
