#pragma once

#include <cstdint>

namespace ostrel::modules {

/// A LiDAR return in sensor angles: horizontal angle `h`, vertical angle `v`
/// and distance `d` in the first three floats of PCL's aligned four-float
/// block, then the return intensity and the beam (row) number `ring`.
/// Default construction leaves every field uninitialised, as for a raw
/// buffer that is filled point by point; the converters write all fields,
/// the fourth float (`w`) included, as 1.
struct alignas(16) PCL_PointHVDIR {
  float h;
  float v;
  float d;
  float w;
  float intensity;
  std::uint16_t ring;

  PCL_PointHVDIR() = default;
  /// The point (h, v, d) with fourth float 1 and the given intensity and ring.
  PCL_PointHVDIR(float ph, float pv, float pd, float pIntensity, std::uint16_t pRing)
      : h(ph), v(pv), d(pd), w(1.0f), intensity(pIntensity), ring(pRing) {}
};

}  // namespace ostrel::modules
