#pragma once

namespace ostrel::otl {

/// The return intensity of a point, 0 when default-constructed.
template <class T>
struct Intensity {
  /// Component type.
  using value_type = T;

  T value{};
};

}  // namespace ostrel::otl
