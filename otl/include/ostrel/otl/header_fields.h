#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace ostrel::otl {

/// The organisation of a cloud as `N` extents. Only the two-extent form is
/// defined; the flag carries no meaning here.
template <std::size_t N, bool Flag>
struct Dim;

/// The organisation of a cloud: `height` rows of `width` columns, stored row
/// by row, so element i lies in row i / width, column i mod width. An
/// unorganised cloud has height 1 and width equal to its element count.
/// Both are 0 when default-constructed.
template <>
struct Dim<2, false> {
  /// `Compound::get` gives the extents themselves.
  using value_type = Dim;

  std::size_t height = 0;
  std::size_t width = 0;
};

/// The identity of the sensor that produced a cloud.
struct SensorID {
  using value_type = std::string;

  SensorID() = default;
  /// Implicit, so that a header can be built from plain values.
  SensorID(std::string id) : value(std::move(id)) {}
  /// Implicit, so that a header can be built from a string literal.
  SensorID(char const* id) : value(id) {}

  value_type value;
};

/// The sequence number of a cloud.
struct Sequence {
  using value_type = std::uint64_t;

  Sequence() = default;
  /// Implicit, so that a header can be built from plain values.
  Sequence(value_type number) : value(number) {}

  value_type value = 0;
};

/// The acquisition time of a cloud in nanoseconds.
struct TimeStamp {
  using value_type = std::uint64_t;

  TimeStamp() = default;
  /// Implicit, so that a header can be built from plain values.
  TimeStamp(value_type nanoseconds) : value(nanoseconds) {}

  value_type value = 0;
};

}  // namespace ostrel::otl
