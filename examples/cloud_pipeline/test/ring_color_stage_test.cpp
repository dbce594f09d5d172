#include "ring_color_stage.h"

#include <vector>

#include <gtest/gtest.h>

namespace cloud_pipeline {
namespace {

using ostrel::modules::PCL_PointXYZIR;
using ostrel::modules::RingColor;

TEST(RingColorTableTest, GivesEveryRingAHueAroundTheWheel) {
  auto const table = ringColorTable(12);  // 30° between rings
  ASSERT_EQ(table.size(), 12u);
  EXPECT_EQ(table.at(0), (RingColor{255, 0, 0}));
  EXPECT_EQ(table.at(1), (RingColor{255, 128, 0}));
  EXPECT_EQ(table.at(2), (RingColor{255, 255, 0}));
  EXPECT_EQ(table.at(4), (RingColor{0, 255, 0}));
  EXPECT_EQ(table.at(6), (RingColor{0, 255, 255}));
  EXPECT_EQ(table.at(8), (RingColor{0, 0, 255}));
  EXPECT_EQ(table.at(10), (RingColor{255, 0, 255}));
  EXPECT_EQ(table.at(11), (RingColor{255, 0, 128}));
}

TEST(RingColorStageTest, EmitsAColouredCopyAndLeavesTheInputAlone) {
  RingColorStage stage(ringColorTable(12));
  std::vector<ColoredCloudPtr> received;
  stage.connect([&](ColoredCloudPtr cloud) { received.push_back(cloud); });
  ostrel::modules::XYZIRCloudPtr input(new pcl::PointCloud<PCL_PointXYZIR>);
  input->header.frame_id = "Global";
  input->width = 2;
  input->height = 1;
  input->points.emplace_back(1.0f, 2.0f, 3.0f, 4.0f, 4);
  input->points.emplace_back(-1.0f, -2.0f, -3.0f, 8.0f, 20);  // no table entry

  stage.slot(input);

  ASSERT_EQ(received.size(), 1u);
  ColoredCloud const& out = *received[0];
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out.width, 2u);
  EXPECT_EQ(out.header.frame_id, "Global");
  EXPECT_EQ(out.points[0].x, 1.0f);
  EXPECT_EQ(out.points[0].z, 3.0f);
  EXPECT_EQ(out.points[0].intensity, 4.0f);
  EXPECT_EQ(out.points[0].ring, 4);
  EXPECT_EQ((RingColor{out.points[0].r, out.points[0].g, out.points[0].b}), (RingColor{0, 255, 0}));
  EXPECT_EQ((RingColor{out.points[1].r, out.points[1].g, out.points[1].b}), (RingColor{0, 0, 0}));
  EXPECT_EQ(input->size(), 2u);
}

}  // namespace
}  // namespace cloud_pipeline
