// Ground-plane rotation, footprint corners and polygon shared by State and
// StateValues.
#pragma once

#include <array>
#include <cmath>
#include <limits>

#include <Eigen/Core>

#include <ostrel/core/state.h>

namespace ostrel::core::detail {

using Corner = Eigen::Matrix<float, 2, 1>;
using CornerArray = std::array<Corner, 4>;

/// The ground-plane rotation by `heading` (radians, counter-clockwise).
inline Eigen::Matrix<float, 2, 2> rotationBy(float heading) {
  float const c = std::cos(heading);
  float const s = std::sin(heading);
  Eigen::Matrix<float, 2, 2> rotation;
  rotation << c, -s, s, c;
  return rotation;
}

/// Front-left, front-right, rear-right, rear-left of a box of `length` ×
/// `width` centred on `centre` and turned by `rotation`.
inline CornerArray footprintCorners(const Eigen::Matrix<float, 2, 2>& rotation,
                                    const Corner& centre, float length, float width) {
  float const hl = length / 2.0f;
  float const hw = width / 2.0f;
  return {centre + rotation * Corner(hl, hw), centre + rotation * Corner(hl, -hw),
          centre + rotation * Corner(-hl, -hw), centre + rotation * Corner(-hl, hw)};
}

inline Corners2D toCornerList(const CornerArray& corners) {
  return Corners2D(corners.begin(), corners.end());
}

/// The closed clockwise ring of the four corners, in `double`.
inline FootprintPolygon toPolygon(const CornerArray& corners) {
  FootprintPolygon polygon;
  auto& ring = polygon.outer();
  ring.reserve(corners.size() + 1);
  for (const Corner& corner : corners) {
    ring.emplace_back(static_cast<double>(corner.x()), static_cast<double>(corner.y()));
  }
  ring.push_back(ring.front());
  return polygon;
}

}  // namespace ostrel::core::detail

namespace ostrel::core::detail {

/// The x, y of the box centre of `state` turned by `rotation`: the position
/// minus the rotated anchor, NaN without a position.
inline Corner centreOf(const State& state, const Eigen::Matrix<float, 2, 2>& rotation) {
  if (!state.position) {
    float const nan = std::numeric_limits<float>::quiet_NaN();
    return {nan, nan};
  }
  float const ax = state.dimensions ? state.dimensions->anchor.x : 0.0f;
  float const ay = state.dimensions ? state.dimensions->anchor.y : 0.0f;
  return {state.position->mean(0) - (rotation(0, 0) * ax + rotation(0, 1) * ay),
          state.position->mean(1) - (rotation(1, 0) * ax + rotation(1, 1) * ay)};
}

/// The footprint corners of `state`; without dimensions all four are its
/// centre.
inline CornerArray cornersOf(const State& state) {
  float const length = state.dimensions ? state.dimensions->length : 0.0f;
  float const width = state.dimensions ? state.dimensions->width : 0.0f;
  // One rotation for the centre and the corners.
  Eigen::Matrix<float, 2, 2> const rotation = state.rotationMatrix();
  return footprintCorners(rotation, centreOf(state, rotation), length, width);
}

}  // namespace ostrel::core::detail
