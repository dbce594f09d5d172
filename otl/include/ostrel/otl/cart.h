#pragma once

namespace ostrel::otl {

/// Frame tag of sensor clouds: coordinates in the sensor's own frame.
struct Default {};

/// A Cartesian point `x`, `y`, `z` of type `T`, (0, 0, 0) when
/// default-constructed. `Frame` is an empty tag that only tells coordinate
/// frames apart at compile time, so points of different frames do not mix.
template <class T, class Frame>
struct Cart {
  /// Component type.
  using value_type = T;
  /// Frame tag.
  using frame_type = Frame;

  T x{};
  T y{};
  T z{};
};

}  // namespace ostrel::otl
