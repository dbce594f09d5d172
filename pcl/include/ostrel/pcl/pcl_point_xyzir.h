#pragma once

#include <cstdint>

#include <pcl/point_types.h>

#include <ostrel/pcl/export.h>
#include <ostrel/pcl/pcl_point_xyz.h>

namespace ostrel::modules {

/// A LiDAR return: x, y, z in PCL's aligned four-float layout, the return
/// intensity, and the beam (row) number `ring`. Default construction gives
/// (0, 0, 0, 1), intensity 0 and ring 65535 (all bits set: no ring).
struct EIGEN_ALIGN16 PCL_PointXYZIR {
  /// The ring of a point that belongs to no beam.
  static constexpr std::uint16_t NO_RING = 0xFFFF;

  PCL_ADD_POINT4D;
  float intensity;
  std::uint16_t ring;

  PCL_PointXYZIR() : PCL_PointXYZIR(0.0f, 0.0f, 0.0f) {}
  /// The point (x, y, z, 1) with the given intensity and ring.
  PCL_PointXYZIR(float px, float py, float pz, float pIntensity = 0.0f,
                 std::uint16_t pRing = NO_RING)
      : intensity(pIntensity), ring(pRing) {
    x = px;
    y = py;
    z = pz;
    data[3] = 1.0f;
  }

  PCL_MAKE_ALIGNED_OPERATOR_NEW
};

// Arithmetic on x, y, z as for PCL_PointXYZ; a point-valued result has
// intensity 0 and no ring.

/// (p.x + s, p.y + s, p.z + s).
OSTREL_PCL_EXPORT PCL_PointXYZIR operator+(PCL_PointXYZIR const& p, float s);
/// (p.x − s, p.y − s, p.z − s).
OSTREL_PCL_EXPORT PCL_PointXYZIR operator-(PCL_PointXYZIR const& p, float s);
/// (p.x × s, p.y × s, p.z × s).
OSTREL_PCL_EXPORT PCL_PointXYZIR operator*(PCL_PointXYZIR const& p, float s);
/// (p.x / s, p.y / s, p.z / s).
OSTREL_PCL_EXPORT PCL_PointXYZIR operator/(PCL_PointXYZIR const& p, float s);
/// Component-wise sum.
OSTREL_PCL_EXPORT PCL_PointXYZIR operator+(PCL_PointXYZIR const& a, PCL_PointXYZIR const& b);
/// Component-wise difference.
OSTREL_PCL_EXPORT PCL_PointXYZIR operator-(PCL_PointXYZIR const& a, PCL_PointXYZIR const& b);
/// (−p.x, −p.y, −p.z): every sign flipped, so 0 becomes −0.
OSTREL_PCL_EXPORT PCL_PointXYZIR operator-(PCL_PointXYZIR const& p);
/// Euclidean length of (x, y, z).
OSTREL_PCL_EXPORT float norm(PCL_PointXYZIR const& p);
/// x² + y² + z².
OSTREL_PCL_EXPORT float squaredNorm(PCL_PointXYZIR const& p);
/// `p * (1 / norm(p))`; the zero point gives NaN coordinates.
OSTREL_PCL_EXPORT PCL_PointXYZIR normalize(PCL_PointXYZIR const& p);
/// Dot product of the (x, y, z) parts.
OSTREL_PCL_EXPORT float dot(PCL_PointXYZIR const& a, PCL_PointXYZIR const& b);
/// Cross product of the (x, y, z) parts.
OSTREL_PCL_EXPORT PCL_PointXYZIR cross(PCL_PointXYZIR const& a, PCL_PointXYZIR const& b);

}  // namespace ostrel::modules
