#pragma once

#include <cstdint>

#include <pcl/point_types.h>

#include <ostrel/pcl/export.h>
#include <ostrel/pcl/pcl_point_xyz.h>

namespace ostrel::modules {

/// A labelled point: x, y, z in PCL's aligned four-float layout and a 64-bit
/// label `n`. Default construction gives (0, 0, 0, 1) and label 0.
struct EIGEN_ALIGN16 PCL_PointXYZN {
  PCL_ADD_POINT4D;
  std::int64_t n;

  PCL_PointXYZN() : PCL_PointXYZN(0.0f, 0.0f, 0.0f) {}
  /// The point (x, y, z, 1) with label `label`.
  PCL_PointXYZN(float px, float py, float pz, std::int64_t label = 0) : n(label) {
    x = px;
    y = py;
    z = pz;
    data[3] = 1.0f;
  }

  PCL_MAKE_ALIGNED_OPERATOR_NEW
};

/// x, y and z compared with `almostEqual`, and the labels exactly.
OSTREL_PCL_EXPORT bool operator==(PCL_PointXYZN const& a, PCL_PointXYZN const& b);

// Arithmetic on x, y, z as for PCL_PointXYZ; a point-valued result has label 0.

/// (p.x + s, p.y + s, p.z + s).
OSTREL_PCL_EXPORT PCL_PointXYZN operator+(PCL_PointXYZN const& p, float s);
/// (p.x − s, p.y − s, p.z − s).
OSTREL_PCL_EXPORT PCL_PointXYZN operator-(PCL_PointXYZN const& p, float s);
/// (p.x × s, p.y × s, p.z × s).
OSTREL_PCL_EXPORT PCL_PointXYZN operator*(PCL_PointXYZN const& p, float s);
/// (p.x / s, p.y / s, p.z / s).
OSTREL_PCL_EXPORT PCL_PointXYZN operator/(PCL_PointXYZN const& p, float s);
/// Component-wise sum.
OSTREL_PCL_EXPORT PCL_PointXYZN operator+(PCL_PointXYZN const& a, PCL_PointXYZN const& b);
/// Component-wise difference.
OSTREL_PCL_EXPORT PCL_PointXYZN operator-(PCL_PointXYZN const& a, PCL_PointXYZN const& b);
/// (−p.x, −p.y, −p.z): every sign flipped, so 0 becomes −0.
OSTREL_PCL_EXPORT PCL_PointXYZN operator-(PCL_PointXYZN const& p);
/// Euclidean length of (x, y, z).
OSTREL_PCL_EXPORT float norm(PCL_PointXYZN const& p);
/// x² + y² + z².
OSTREL_PCL_EXPORT float squaredNorm(PCL_PointXYZN const& p);
/// `p * (1 / norm(p))`; the zero point gives NaN coordinates.
OSTREL_PCL_EXPORT PCL_PointXYZN normalize(PCL_PointXYZN const& p);
/// Dot product of the (x, y, z) parts.
OSTREL_PCL_EXPORT float dot(PCL_PointXYZN const& a, PCL_PointXYZN const& b);
/// Cross product of the (x, y, z) parts.
OSTREL_PCL_EXPORT PCL_PointXYZN cross(PCL_PointXYZN const& a, PCL_PointXYZN const& b);

}  // namespace ostrel::modules
