// Small builders of sensor clouds for the converter tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include <ostrel/otl/cloud.h>

namespace ostrel::test {

/// Element i of a test cloud: coordinates and angles that tell elements apart.
inline otl::CartPoint cartAt(std::size_t i) {
  auto const f = static_cast<float>(i);
  return otl::CartPoint{f, 100.0f + f, -f};
}

inline otl::PolarPoint polarAt(std::size_t i) {
  auto const f = static_cast<float>(i);
  return otl::PolarPoint{10.0f + f, 0.5f + f, -0.1f - f};
}

inline otl::IntensityValue intensityAt(std::size_t i) {
  return otl::IntensityValue{static_cast<float>(i) * 2.0f + 1.0f};
}

inline otl::CloudHeader header(std::size_t height, std::size_t width, std::string sensor = "lidar",
                               std::uint64_t sequence = 7, std::uint64_t stamp = 1'234'567'999) {
  return otl::CloudHeader(otl::Dim<2, false>{height, width}, std::move(sensor), sequence, stamp);
}

template <class T, class Make>
otl::Slice<T> column(std::size_t count, Make make) {
  otl::Slice<T> slice;
  for (std::size_t i = 0; i < count; ++i) slice->push_back(make(i));
  return slice;
}

inline otl::XYZICloud xyziCloud(otl::CloudHeader h, std::size_t count) {
  return otl::XYZICloud(std::move(h), column<otl::CartPoint>(count, cartAt),
                        column<otl::IntensityValue>(count, intensityAt));
}

inline otl::PolarCloud polarCloud(otl::CloudHeader h, std::size_t count) {
  return otl::PolarCloud(std::move(h), column<otl::PolarPoint>(count, polarAt),
                         column<otl::IntensityValue>(count, intensityAt));
}

inline otl::CombinedCloud combinedCloud(otl::CloudHeader h, std::size_t count) {
  return otl::CombinedCloud(std::move(h), column<otl::CartPoint>(count, cartAt),
                            column<otl::PolarPoint>(count, polarAt),
                            column<otl::IntensityValue>(count, intensityAt));
}

}  // namespace ostrel::test
