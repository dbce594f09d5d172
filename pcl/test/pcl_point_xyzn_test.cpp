#include <ostrel/pcl/pcl_point_xyzn.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>

namespace {

using ostrel::modules::PCL_PointXYZN;

TEST(PCLPointXYZNTest, LayoutFollowsTheFourFloatBlockWithTheLabel) {
  static_assert(alignof(PCL_PointXYZN) == 16);
  static_assert(offsetof(PCL_PointXYZN, n) == 16);
  PCL_PointXYZN const p;
  EXPECT_EQ(p.data[3], 1.0f);
  EXPECT_EQ(p.n, 0);
}

TEST(PCLPointXYZNTest, EqualityIsTolerantOnCoordinatesAndExactOnTheLabel) {
  PCL_PointXYZN const p(1.0f, 1000.0f, 0.0f, 9);
  EXPECT_TRUE(p == PCL_PointXYZN(1.0000001f, std::nextafter(1000.0f, 2000.0f), 1e-8f, 9));
  EXPECT_FALSE(p == PCL_PointXYZN(1.0f, 1000.0f, 0.0f, 10));
  EXPECT_FALSE(p == PCL_PointXYZN(1.1f, 1000.0f, 0.0f, 9));
  EXPECT_FALSE(p == PCL_PointXYZN(1.0f, 1000.0f, 0.001f, 9));
  EXPECT_FALSE(PCL_PointXYZN(-1000.0f, 0, 0) ==
               PCL_PointXYZN(std::nextafter(-1000.0f, -2000.0f), 0, 0));
  EXPECT_FALSE(PCL_PointXYZN(NAN, 0, 0) == PCL_PointXYZN(NAN, 0, 0));
  // An infinite coordinate matches only the same infinity.
  EXPECT_TRUE(PCL_PointXYZN(INFINITY, 0, 0) == PCL_PointXYZN(INFINITY, 0, 0));
  EXPECT_FALSE(PCL_PointXYZN(INFINITY, 0, 0) == PCL_PointXYZN(1e30f, 0, 0));
  EXPECT_FALSE(PCL_PointXYZN(INFINITY, 0, 0) == PCL_PointXYZN(-INFINITY, 0, 0));
}

TEST(PCLPointXYZNTest, ArithmeticResultsCarryNoLabel) {
  PCL_PointXYZN a(1.0f, 2.0f, 3.0f, 5);
  PCL_PointXYZN b(0.0f, 1.0f, 0.0f, 6);
  EXPECT_TRUE(a + b == PCL_PointXYZN(1.0f, 3.0f, 3.0f, 0));
  EXPECT_TRUE(cross(a, b) == PCL_PointXYZN(-3.0f, 0.0f, 1.0f, 0));
  EXPECT_TRUE(-a == PCL_PointXYZN(-1.0f, -2.0f, -3.0f, 0));
  EXPECT_TRUE(a / 2.0f == PCL_PointXYZN(0.5f, 1.0f, 1.5f, 0));
  EXPECT_FLOAT_EQ(dot(a, b), 2.0f);
  EXPECT_FLOAT_EQ(norm(PCL_PointXYZN(0.0f, 3.0f, 4.0f)), 5.0f);
}

}  // namespace
