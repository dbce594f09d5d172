#include "world_transform_stage.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include <ostrel/core/frames.h>
#include <ostrel/core/pose.h>

namespace cloud_pipeline {
namespace {

using ostrel::modules::PCL_PointXYZIR;
using ostrel::modules::XYZIRCloudPtr;

// A LiDAR 2 m above the body origin, turned 90° to the left; the body moves
// from (10, 0, 0) at 1 s to (12, 0, 0) at 1.01 s without turning.
class WorldTransformStageTest : public ::testing::Test {
 protected:
  WorldTransformStageTest() {
    ostrel::Pose mount;
    mount.position = Eigen::Vector3f(0.0f, 0.0f, 2.0f);
    mount.orientation = Eigen::Quaternionf(std::sqrt(0.5f), 0.0f, 0.0f, std::sqrt(0.5f));
    manager_.setTransform("lidar", ostrel::frames::BODY_FRAME, mount, 0);
    ostrel::Pose before;
    before.position = Eigen::Vector3f(10.0f, 0.0f, 0.0f);
    before.timestamp = 1'000'000'000;
    manager_.setTransform(ostrel::frames::BODY_FRAME, ostrel::frames::GLOBAL_FRAME, before,
                          1'000'000'000);
    ostrel::Pose after;
    after.position = Eigen::Vector3f(12.0f, 0.0f, 0.0f);
    after.timestamp = 1'010'000'000;
    manager_.setTransform(ostrel::frames::BODY_FRAME, ostrel::frames::GLOBAL_FRAME, after,
                          1'010'000'000);
  }

  // A 1 × 2 cloud of the sensor `frame` stamped `stamp` microseconds.
  static XYZIRCloudPtr cloud(std::string const& frame, std::uint64_t stamp) {
    XYZIRCloudPtr result(new pcl::PointCloud<PCL_PointXYZIR>);
    result->header.frame_id = frame;
    result->header.stamp = stamp;
    result->header.seq = 7;
    result->width = 2;
    result->height = 1;
    result->points.emplace_back(1.0f, 0.0f, 0.0f, 5.0f, 3);
    result->points.emplace_back(0.0f, 0.0f, 0.0f, 6.0f, 4);
    return result;
  }

  ostrel::TransformManager manager_;
};

TEST_F(WorldTransformStageTest, MovesPointsIntoTheWorldAtTheCloudStamp) {
  WorldTransformStage stage(manager_);
  XYZIRCloudPtr const input = cloud("lidar", 1'005'000);  // halfway: body at (11, 0, 0)

  XYZIRCloudPtr const world = stage.toWorld(input);

  ASSERT_TRUE(world);
  ASSERT_EQ(world->size(), 2u);
  // (1, 0, 0) turned 90° left is (0, 1, 0), raised 2 m, then moved by the body.
  EXPECT_NEAR(world->points[0].x, 11.0f, 1e-5f);
  EXPECT_NEAR(world->points[0].y, 1.0f, 1e-5f);
  EXPECT_NEAR(world->points[0].z, 2.0f, 1e-5f);
  EXPECT_NEAR(world->points[1].x, 11.0f, 1e-5f);
  EXPECT_NEAR(world->points[1].y, 0.0f, 1e-5f);
  EXPECT_NEAR(world->points[1].z, 2.0f, 1e-5f);
  EXPECT_EQ(world->points[0].intensity, 5.0f);
  EXPECT_EQ(world->points[1].ring, 4);
  EXPECT_EQ(world->header.frame_id, ostrel::frames::GLOBAL_FRAME);
  EXPECT_EQ(world->header.stamp, 1'005'000u);
  EXPECT_EQ(world->width, 2u);
  EXPECT_EQ(world->height, 1u);
  // The shared input stays as it was.
  EXPECT_EQ(input->points[0].x, 1.0f);
  EXPECT_EQ(input->header.frame_id, "lidar");
  EXPECT_EQ(stage.failures(), 0u);
}

TEST_F(WorldTransformStageTest, ReportsAFailedLookupInsteadOfUsingTheIdentity) {
  WorldTransformStage stage(manager_);
  EXPECT_FALSE(stage.toWorld(cloud("unknown", 1'005'000)));
  // Beyond the newest trajectory pose an interpolated lookup has no answer.
  EXPECT_FALSE(stage.toWorld(cloud("lidar", 1'020'000)));
  EXPECT_EQ(stage.failures(), 2u);
}

TEST_F(WorldTransformStageTest, SlotDeliversEveryFrameInOrderFromThePool) {
  WorldTransformStage stage(manager_);
  std::vector<std::uint64_t> stamps;
  stage.connect([&](XYZIRCloudPtr world) { stamps.push_back(world->header.stamp); });

  stage.slot(cloud("lidar", 1'002'000));
  stage.slot(cloud("unknown", 1'004'000));
  stage.slot(cloud("lidar", 1'006'000));
  stage.finish();

  EXPECT_EQ(stamps, (std::vector<std::uint64_t>{1'002'000, 1'006'000}));
  EXPECT_EQ(stage.failures(), 1u);
}

}  // namespace
}  // namespace cloud_pipeline
