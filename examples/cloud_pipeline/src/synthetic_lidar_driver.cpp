#include "synthetic_lidar_driver.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace cloud_pipeline {
namespace {

constexpr float PI = 3.14159265358979f;
constexpr float SENSOR_HEIGHT = 2.0f;
constexpr float WALL_RADIUS = 25.0f;
constexpr float LOWEST_ELEVATION = -15.0f * PI / 180.0f;
constexpr float HIGHEST_ELEVATION = 15.0f * PI / 180.0f;

// Distance along a beam of the given elevation to the ground or the wall,
// whichever it meets first.
float rangeAt(float elevation) {
  float const to_wall = WALL_RADIUS / std::cos(elevation);
  if (elevation < 0.0f) {
    float const to_ground = SENSOR_HEIGHT / std::sin(-elevation);
    return std::min(to_ground, to_wall);
  }
  return to_wall;
}

}  // namespace

SyntheticLidarDriver::SyntheticLidarDriver(DriverSettings settings)
    : settings_(std::move(settings)) {}

ostrel::otl::Connection SyntheticLidarDriver::connect(
    std::function<void(ostrel::otl::XYZICloud const&)> const& slot) {
  return output_.connect(slot);
}

std::uint64_t SyntheticLidarDriver::stampOf(std::size_t index) const {
  return settings_.first_stamp + settings_.period * index;
}

void SyntheticLidarDriver::produce(std::size_t index) {
  timer_.start();
  ostrel::otl::XYZICloud const cloud = build(index);
  timer_.stop();
  output_.emit(cloud);
}

ostrel::otl::XYZICloud SyntheticLidarDriver::build(std::size_t index) const {
  std::size_t const rings = settings_.rings;
  std::size_t const columns = settings_.columns;
  ostrel::otl::Slice<ostrel::otl::CartPoint> points;
  ostrel::otl::Slice<ostrel::otl::IntensityValue> intensities;
  // Row 0 is the top beam: the converters number rings from the last row.
  for (std::size_t row = 0; row < rings; ++row) {
    float const share = rings > 1 ? static_cast<float>(rings - 1 - row) / (rings - 1) : 0.5f;
    float const elevation = LOWEST_ELEVATION + share * (HIGHEST_ELEVATION - LOWEST_ELEVATION);
    float const range = rangeAt(elevation);
    for (std::size_t column = 0; column < columns; ++column) {
      float const azimuth = 2.0f * PI * static_cast<float>(column) / columns;
      float const ground_range = range * std::cos(elevation);
      points->push_back({ground_range * std::cos(azimuth), ground_range * std::sin(azimuth),
                         range * std::sin(elevation)});
      intensities->push_back({100.0f / (1.0f + range)});
    }
  }
  std::uint64_t const sequence = index + (index >= settings_.skip_before ? 1 : 0);
  ostrel::otl::CloudHeader header(ostrel::otl::Dim<2, false>{rings, columns}, settings_.sensor,
                                  sequence, stampOf(index));
  return ostrel::otl::XYZICloud(std::move(header), points, intensities);
}

}  // namespace cloud_pipeline
