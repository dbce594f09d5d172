#pragma once

#include <cstddef>

namespace ostrel::otl {

/// Axis tag: the positive Z axis.
struct POS_Z {};
/// Axis tag: the positive X axis.
struct POS_X {};

/// A spherical point of `N` components of type `T`. The axis tags `A1`, `A2`
/// and the frame tag only distinguish conventions at compile time; no
/// operation converts between polar and Cartesian values. Only the
/// three-component form is defined.
template <class T, class A1, class A2, class Frame, std::size_t N>
struct Polar;

/// A spherical point: range, then horizontal angle, then vertical angle, all
/// 0 when default-constructed.
template <class T, class A1, class A2, class Frame>
struct Polar<T, A1, A2, Frame, 3> {
  /// Component type.
  using value_type = T;
  /// Frame tag.
  using frame_type = Frame;

  T range{};
  T horizontalAngle{};
  T verticalAngle{};
};

}  // namespace ostrel::otl
