#include <ostrel/pcl/pcl_point_xyz.h>

#include <cmath>

#include <ostrel/pcl/pcl_point_xyzir.h>
#include <ostrel/pcl/pcl_point_xyzn.h>

namespace ostrel::modules {

namespace {

// One implementation of the arithmetic for the three point types; a result
// is the operand type made from x, y, z, so its other fields take their
// defaults and the fourth float is 1.

template <class P>
P addScalar(P const& p, float s) {
  return P(p.x + s, p.y + s, p.z + s);
}

template <class P>
P subtractScalar(P const& p, float s) {
  return P(p.x - s, p.y - s, p.z - s);
}

template <class P>
P multiplyScalar(P const& p, float s) {
  return P(p.x * s, p.y * s, p.z * s);
}

template <class P>
P divideScalar(P const& p, float s) {
  return P(p.x / s, p.y / s, p.z / s);
}

template <class P>
P add(P const& a, P const& b) {
  return P(a.x + b.x, a.y + b.y, a.z + b.z);
}

template <class P>
P subtract(P const& a, P const& b) {
  return P(a.x - b.x, a.y - b.y, a.z - b.z);
}

template <class P>
P negate(P const& p) {
  return P(-p.x, -p.y, -p.z);
}

template <class P>
float squaredNormOf(P const& p) {
  return p.x * p.x + p.y * p.y + p.z * p.z;
}

template <class P>
float normOf(P const& p) {
  return std::sqrt(squaredNormOf(p));
}

template <class P>
P normalized(P const& p) {
  return multiplyScalar(p, 1.0f / normOf(p));
}

template <class P>
float dotOf(P const& a, P const& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

template <class P>
P crossOf(P const& a, P const& b) {
  return P(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

}  // namespace

bool operator==(PCL_PointXYZN const& a, PCL_PointXYZN const& b) {
  return almostEqual(a.x, b.x) && almostEqual(a.y, b.y) && almostEqual(a.z, b.z) && a.n == b.n;
}

#define OSTREL_DEFINE_POINT_ARITHMETIC(P)                           \
  P operator+(P const& p, float s) { return addScalar(p, s); }      \
  P operator-(P const& p, float s) { return subtractScalar(p, s); } \
  P operator*(P const& p, float s) { return multiplyScalar(p, s); } \
  P operator/(P const& p, float s) { return divideScalar(p, s); }   \
  P operator+(P const& a, P const& b) { return add(a, b); }         \
  P operator-(P const& a, P const& b) { return subtract(a, b); }    \
  P operator-(P const& p) { return negate(p); }                     \
  float norm(P const& p) { return normOf(p); }                      \
  float squaredNorm(P const& p) { return squaredNormOf(p); }        \
  P normalize(P const& p) { return normalized(p); }                 \
  float dot(P const& a, P const& b) { return dotOf(a, b); }         \
  P cross(P const& a, P const& b) { return crossOf(a, b); }

OSTREL_DEFINE_POINT_ARITHMETIC(PCL_PointXYZ)
OSTREL_DEFINE_POINT_ARITHMETIC(PCL_PointXYZIR)
OSTREL_DEFINE_POINT_ARITHMETIC(PCL_PointXYZN)

#undef OSTREL_DEFINE_POINT_ARITHMETIC

}  // namespace ostrel::modules
