#include <ostrel/pcl/pcl_point_xyz.h>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {

using ostrel::modules::almostEqual;
using ostrel::modules::PCL_PointXYZ;

void expectPoint(PCL_PointXYZ const& p, float x, float y, float z) {
  EXPECT_FLOAT_EQ(p.x, x);
  EXPECT_FLOAT_EQ(p.y, y);
  EXPECT_FLOAT_EQ(p.z, z);
  EXPECT_EQ(p.data[3], 1.0f);
}

TEST(PCLPointXYZTest, UsesPclsAlignedFourFloatLayout) {
  static_assert(alignof(PCL_PointXYZ) == 16);
  static_assert(sizeof(PCL_PointXYZ) == 16);
  static_assert(offsetof(PCL_PointXYZ, x) == 0);
  PCL_PointXYZ p(1.0f, 2.0f, 3.0f);
  EXPECT_EQ(p.data[0], 1.0f);
  EXPECT_EQ(p.data[2], 3.0f);
  EXPECT_EQ(p.data[3], 1.0f);
  expectPoint(PCL_PointXYZ(), 0.0f, 0.0f, 0.0f);
}

TEST(PCLPointXYZTest, ScalarArithmeticActsOnEachCoordinate) {
  PCL_PointXYZ const p(1.0f, -2.0f, 4.0f);
  expectPoint(p + 0.5f, 1.5f, -1.5f, 4.5f);
  expectPoint(p - 0.5f, 0.5f, -2.5f, 3.5f);
  expectPoint(p * 2.0f, 2.0f, -4.0f, 8.0f);
  expectPoint(p / 4.0f, 0.25f, -0.5f, 1.0f);
}

TEST(PCLPointXYZTest, PointArithmetic) {
  PCL_PointXYZ a(1.0f, 2.0f, 3.0f);
  PCL_PointXYZ const b(-4.0f, 0.5f, 2.0f);
  a.data[3] = 7.0f;  // the fourth float never takes part
  expectPoint(a + b, -3.0f, 2.5f, 5.0f);
  expectPoint(a - b, 5.0f, 1.5f, 1.0f);
  EXPECT_FLOAT_EQ(dot(a, b), -4.0f + 1.0f + 6.0f);
  // (2·2 − 3·0.5, 3·−4 − 1·2, 1·0.5 − 2·−4)
  expectPoint(cross(a, b), 2.5f, -14.0f, 8.5f);
  expectPoint(cross(PCL_PointXYZ(1, 0, 0), PCL_PointXYZ(0, 1, 0)), 0.0f, 0.0f, 1.0f);
}

TEST(PCLPointXYZTest, NegationFlipsEverySign) {
  PCL_PointXYZ const n = -PCL_PointXYZ(1.0f, -2.0f, 0.0f);
  expectPoint(n, -1.0f, 2.0f, 0.0f);
  EXPECT_TRUE(std::signbit(n.z));
}

TEST(PCLPointXYZTest, NormsAndNormalize) {
  PCL_PointXYZ const p(3.0f, 4.0f, 0.0f);
  EXPECT_FLOAT_EQ(norm(p), 5.0f);
  EXPECT_FLOAT_EQ(squaredNorm(p), 25.0f);
  expectPoint(normalize(p), 0.6f, 0.8f, 0.0f);

  PCL_PointXYZ const zero = normalize(PCL_PointXYZ());
  EXPECT_TRUE(std::isnan(zero.x));
  EXPECT_TRUE(std::isnan(zero.y));
  EXPECT_TRUE(std::isnan(zero.z));
  EXPECT_EQ(zero.data[3], 1.0f);
}

struct FloatPair {
  float a;
  float b;
  bool equal;
};

class AlmostEqualTest : public ::testing::TestWithParam<FloatPair> {};

TEST_P(AlmostEqualTest, FollowsTheToleranceRule) {
  EXPECT_EQ(almostEqual(GetParam().a, GetParam().b), GetParam().equal);
  EXPECT_EQ(almostEqual(GetParam().b, GetParam().a), GetParam().equal);
}

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Pairs, AlmostEqualTest,
    ::testing::Values(FloatPair{1.0f, 1.0f, true}, FloatPair{0.0f, -0.0f, true},
                      FloatPair{0.0f, 1e-8f, true},       // absolute tolerance
                      FloatPair{1.0f, 1.0000001f, true},  // within FLT_EPSILON
                      FloatPair{0.0f, 2.0f * FLT_EPSILON, false},
                      FloatPair{1000.0f, std::nextafter(1000.0f, 2000.0f), true},  // relative
                      FloatPair{1000.0f, 1000.001f, false},
                      // The relative bound takes the signed maximum, negative here.
                      FloatPair{-1000.0f, std::nextafter(-1000.0f, -2000.0f), false},
                      FloatPair{NaN, NaN, false}, FloatPair{NaN, 1.0f, false}));

}  // namespace
