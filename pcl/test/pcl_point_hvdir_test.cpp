#include <ostrel/pcl/pcl_point_hvdir.h>

#include <gtest/gtest.h>

#include <cstddef>

namespace {

using ostrel::modules::PCL_PointHVDIR;

TEST(PCLPointHVDIRTest, AnglesAndDistanceFillTheFourFloatBlock) {
  static_assert(alignof(PCL_PointHVDIR) == 16);
  static_assert(sizeof(PCL_PointHVDIR) == 32);
  static_assert(offsetof(PCL_PointHVDIR, v) == 4);
  static_assert(offsetof(PCL_PointHVDIR, d) == 8);
  static_assert(offsetof(PCL_PointHVDIR, intensity) == 16);
  static_assert(offsetof(PCL_PointHVDIR, ring) == 20);
  PCL_PointHVDIR const p(0.5f, -0.1f, 10.0f, 7.0f, 3);
  EXPECT_EQ(p.h, 0.5f);
  EXPECT_EQ(p.v, -0.1f);
  EXPECT_EQ(p.d, 10.0f);
  EXPECT_EQ(p.w, 1.0f);
  EXPECT_EQ(p.intensity, 7.0f);
  EXPECT_EQ(p.ring, 3);
}

}  // namespace
