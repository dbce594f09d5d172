#include <ostrel/pcl/pcl_point_xyzir.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>

namespace {

using ostrel::modules::PCL_PointXYZIR;

TEST(PCLPointXYZIRTest, DefaultIsOriginWithoutRing) {
  static_assert(alignof(PCL_PointXYZIR) == 16);
  static_assert(sizeof(PCL_PointXYZIR) == 32);
  static_assert(offsetof(PCL_PointXYZIR, intensity) == 16);
  static_assert(offsetof(PCL_PointXYZIR, ring) == 20);
  PCL_PointXYZIR const p;
  EXPECT_EQ(p.x, 0.0f);
  EXPECT_EQ(p.y, 0.0f);
  EXPECT_EQ(p.z, 0.0f);
  EXPECT_EQ(p.data[3], 1.0f);
  EXPECT_EQ(p.intensity, 0.0f);
  EXPECT_EQ(p.ring, 65535);
}

TEST(PCLPointXYZIRTest, ArithmeticUsesOnlyCoordinates) {
  PCL_PointXYZIR const a(1.0f, 2.0f, 2.0f, 40.0f, 3);
  PCL_PointXYZIR const b(2.0f, 0.0f, -1.0f, 10.0f, 4);
  PCL_PointXYZIR const results[] = {a - b, a * 3.0f, normalize(a), cross(a, b)};
  for (PCL_PointXYZIR const& r : results) {
    EXPECT_EQ(r.data[3], 1.0f);
    EXPECT_EQ(r.intensity, 0.0f);
    EXPECT_EQ(r.ring, PCL_PointXYZIR::NO_RING);
  }
  EXPECT_FLOAT_EQ(results[0].x, -1.0f);
  EXPECT_FLOAT_EQ(results[0].z, 3.0f);
  EXPECT_FLOAT_EQ(results[1].y, 6.0f);
  EXPECT_FLOAT_EQ(results[2].x, 1.0f / 3.0f);
  // (2·−1 − 2·0, 2·2 − 1·−1, 1·0 − 2·2)
  EXPECT_FLOAT_EQ(results[3].x, -2.0f);
  EXPECT_FLOAT_EQ(results[3].y, 5.0f);
  EXPECT_FLOAT_EQ(results[3].z, -4.0f);
  EXPECT_FLOAT_EQ(squaredNorm(a), 9.0f);
  EXPECT_FLOAT_EQ(dot(a, b), 0.0f);
  EXPECT_TRUE(std::signbit((-PCL_PointXYZIR()).x));
}

}  // namespace
