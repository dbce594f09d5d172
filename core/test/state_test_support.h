// Builders for tracked states in tests.
#pragma once

#include <Eigen/Core>

#include <ostrel/core/state.h>

namespace ostrel::core::test {

inline Gaussian<float, 3> estimate3(float x, float y, float z) {
  return Gaussian<float, 3>{Eigen::Vector3f(x, y, z), Eigen::Matrix3f::Identity()};
}

inline Gaussian<float, 1> estimate1(float mean, float variance = 1.0f) {
  Gaussian<float, 1> g;
  g.mean(0) = mean;
  g.covariance(0, 0) = variance;
  return g;
}

/// A box footprint: position (x, y, 0), the given heading (none when
/// `withHeading` is false) and a length × width × 1 box anchored at its centre.
inline State box(float x, float y, float length, float width, float heading = 0.0f,
                 bool withHeading = true) {
  State state;
  state.position = estimate3(x, y, 0.0f);
  if (withHeading) state.heading = estimate1(heading);
  state.dimensions = Dimensions<float, frames::Trackable>(length, width, 1.0f);
  return state;
}

/// A point state without dimensions or heading.
inline State point(float x, float y) {
  State state;
  state.position = estimate3(x, y, 0.0f);
  return state;
}

}  // namespace ostrel::core::test
