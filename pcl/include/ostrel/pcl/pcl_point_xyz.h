#pragma once

#include <pcl/point_types.h>

#include <ostrel/otl/almost_equal.h>
#include <ostrel/pcl/export.h>

namespace ostrel::modules {

/// A point x, y, z in PCL's aligned four-float layout (the fourth float,
/// `data[3]`, is the homogeneous coordinate, 1 for a point). Default
/// construction gives (0, 0, 0, 1).
struct EIGEN_ALIGN16 PCL_PointXYZ {
  PCL_ADD_POINT4D;

  PCL_PointXYZ() : PCL_PointXYZ(0.0f, 0.0f, 0.0f) {}
  /// The point (x, y, z, 1).
  PCL_PointXYZ(float px, float py, float pz) {
    x = px;
    y = py;
    z = pz;
    data[3] = 1.0f;
  }

  PCL_MAKE_ALIGNED_OPERATOR_NEW
};

/// The tolerant float equality of the point comparisons, the same function
/// the tracked-state comparisons use.
using ostrel::core::almostEqual;

// Arithmetic on x, y, z in single precision. A point-valued result carries
// the computed x, y, z and 1 in the fourth float; no other field takes part.

/// (p.x + s, p.y + s, p.z + s).
OSTREL_PCL_EXPORT PCL_PointXYZ operator+(PCL_PointXYZ const& p, float s);
/// (p.x − s, p.y − s, p.z − s).
OSTREL_PCL_EXPORT PCL_PointXYZ operator-(PCL_PointXYZ const& p, float s);
/// (p.x × s, p.y × s, p.z × s).
OSTREL_PCL_EXPORT PCL_PointXYZ operator*(PCL_PointXYZ const& p, float s);
/// (p.x / s, p.y / s, p.z / s).
OSTREL_PCL_EXPORT PCL_PointXYZ operator/(PCL_PointXYZ const& p, float s);
/// Component-wise sum.
OSTREL_PCL_EXPORT PCL_PointXYZ operator+(PCL_PointXYZ const& a, PCL_PointXYZ const& b);
/// Component-wise difference.
OSTREL_PCL_EXPORT PCL_PointXYZ operator-(PCL_PointXYZ const& a, PCL_PointXYZ const& b);
/// (−p.x, −p.y, −p.z): every sign flipped, so 0 becomes −0.
OSTREL_PCL_EXPORT PCL_PointXYZ operator-(PCL_PointXYZ const& p);
/// Euclidean length of (x, y, z).
OSTREL_PCL_EXPORT float norm(PCL_PointXYZ const& p);
/// x² + y² + z².
OSTREL_PCL_EXPORT float squaredNorm(PCL_PointXYZ const& p);
/// `p * (1 / norm(p))`; the zero point gives NaN coordinates.
OSTREL_PCL_EXPORT PCL_PointXYZ normalize(PCL_PointXYZ const& p);
/// Dot product of the (x, y, z) parts.
OSTREL_PCL_EXPORT float dot(PCL_PointXYZ const& a, PCL_PointXYZ const& b);
/// Cross product of the (x, y, z) parts.
OSTREL_PCL_EXPORT PCL_PointXYZ cross(PCL_PointXYZ const& a, PCL_PointXYZ const& b);

}  // namespace ostrel::modules
