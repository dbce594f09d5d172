#include <ostrel/core/transform_manager.h>

#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <vector>

#include "transform_test_support.h"

namespace ostrel {
namespace {

using Eigen::Affine3f;
using Eigen::Vector3f;
using testing::isDefault;
using testing::makePose;
using testing::rigidOf;
using testing::samePlacement;
using Frames = std::vector<std::string>;

std::string indirectWarning(std::string const& from, std::string const& to) {
  return "Attempting to define transform between frames " + from + " and " + to +
         " which already have an indirect connection.This new inputted transform will be ignored.";
}

/// Three placements with rotations about different axes, so that composing
/// them in the wrong order gives a visibly different result.
class TransformManagerTest : public testing::TransformLogging {
 protected:
  Pose const ab_ = makePose({1.0f, 2.0f, 3.0f}, 0.5f, Vector3f::UnitZ());
  Pose const bc_ = makePose({-4.0f, 0.5f, 2.0f}, -1.1f, Vector3f(1.0f, 1.0f, 0.0f));
  Pose const cd_ = makePose({0.0f, 7.0f, -1.0f}, 2.0f, Vector3f::UnitX());
  TransformManager manager_;

  Pose lookup(std::string const& from, std::string const& to, int expected = 0) {
    Pose pose;
    EXPECT_EQ(manager_.getTransform(from, to, pose), expected) << from << " -> " << to;
    return pose;
  }
};

TEST_F(TransformManagerTest, EqualNamesGiveTheIdentityEvenForUnknownFrames) {
  Pose pose = makePose({1.0f, 1.0f, 1.0f}, 1.0f);
  EXPECT_EQ(manager_.getTransform("A", "A", 42, TransformManager::Interpolated, pose),
            TransformManager::Success);
  EXPECT_TRUE(isDefault(pose));
}

TEST_F(TransformManagerTest, EmptyManagerAndUnknownNamesAreReportedWithTheDefaultPose) {
  Pose pose = ab_;
  EXPECT_EQ(manager_.getTransform("A", "B", pose), TransformManager::NoFrames);
  EXPECT_TRUE(isDefault(pose));

  manager_.setTransform("A", "B", ab_, 0);
  pose = ab_;
  EXPECT_EQ(manager_.getTransform("A", "X", pose), TransformManager::NotFound);
  EXPECT_TRUE(isDefault(pose));
  EXPECT_EQ(manager_.getTransform("X", "B", pose), TransformManager::NotFound);
}

TEST_F(TransformManagerTest, OneEdgeGivesThePoseForwardsAndItsInverseBackwards) {
  manager_.setTransform("A", "B", ab_, 0);
  EXPECT_EQ(manager_.getFrames(), (Frames{"A", "B"}));
  EXPECT_TRUE(samePlacement(lookup("A", "B"), ab_));
  EXPECT_TRUE(samePlacement(lookup("B", "A"), rigidOf(ab_).inverse()));
}

TEST_F(TransformManagerTest, AChainComposesTheLaterEdgeOnTheLeft) {
  manager_.setTransform("A", "B", ab_, 0);
  manager_.setTransform("B", "C", bc_, 0);
  manager_.setTransform("C", "D", cd_, 0);

  Affine3f const ac = rigidOf(bc_) * rigidOf(ab_);
  Affine3f const ad = rigidOf(cd_) * ac;
  EXPECT_TRUE(samePlacement(lookup("A", "C"), ac));
  EXPECT_TRUE(samePlacement(lookup("A", "D"), ad));
  EXPECT_TRUE(samePlacement(lookup("D", "A"), ad.inverse()));
  EXPECT_TRUE(samePlacement(lookup("B", "D"), rigidOf(cd_) * rigidOf(bc_)));
  // The opposite order is a different placement, so the check above means something.
  EXPECT_FALSE(samePlacement(lookup("A", "C"), rigidOf(ab_) * rigidOf(bc_)));
}

TEST_F(TransformManagerTest, ATransformClosingALoopIsRefusedAndChangesNothing) {
  manager_.setTransform("A", "B", ab_, 0);
  manager_.setTransform("B", "C", bc_, 0);
  Affine3f const ac = rigidOf(bc_) * rigidOf(ab_);

  EXPECT_TRUE(manager_.indirectConnectionExists("A", "C"));
  EXPECT_FALSE(manager_.indirectConnectionExists("A", "B"));
  EXPECT_FALSE(manager_.indirectConnectionExists("A", "Z"));
  manager_.setTransform("A", "C", cd_, 0);
  manager_.setTransform("C", "A", cd_, 0);
  EXPECT_EQ(warnings(), (Frames{indirectWarning("A", "C"), indirectWarning("C", "A")}));
  EXPECT_TRUE(samePlacement(lookup("A", "C"), ac));
  EXPECT_EQ(manager_.getFrames(), (Frames{"A", "B", "C"}));

  // A direct edge takes new transforms: the latest static one wins.
  manager_.setTransform("B", "A", cd_, 0);
  EXPECT_TRUE(samePlacement(lookup("B", "A"), cd_));
  EXPECT_TRUE(samePlacement(lookup("A", "C"), rigidOf(bc_) * rigidOf(cd_).inverse()));
  EXPECT_EQ(warnings().size(), 2u);
}

TEST_F(TransformManagerTest, ATransformFromAFrameToItselfIsIgnoredWithAWarning) {
  manager_.setTransform("A", "A", ab_, 0);
  EXPECT_TRUE(manager_.getFrames().empty());
  manager_.setTransform("A", "B", ab_, 0);
  manager_.setTransform("A", "A", bc_, 0);
  EXPECT_EQ(manager_.getFrames(), (Frames{"A", "B"}));
  EXPECT_EQ(warnings(), (Frames{"Attempting to define transform from frame A to itself. This new "
                                "inputted transform will be ignored.",
                                indirectWarning("A", "A")}));
}

TEST_F(TransformManagerTest, SeparateTreesHaveNoPathUntilAnEdgeJoinsThem) {
  manager_.setTransform("A", "B", ab_, 0);
  manager_.setTransform("C", "D", cd_, 0);
  Pose pose = ab_;
  EXPECT_EQ(manager_.getTransform("A", "D", pose), TransformManager::NotFound);
  EXPECT_TRUE(isDefault(pose));
  EXPECT_FALSE(manager_.indirectConnectionExists("B", "C"));

  manager_.setTransform("B", "C", bc_, 0);
  EXPECT_TRUE(warnings().empty());
  EXPECT_TRUE(samePlacement(lookup("A", "D"), rigidOf(cd_) * rigidOf(bc_) * rigidOf(ab_)));
  EXPECT_TRUE(
      samePlacement(lookup("D", "A"), (rigidOf(cd_) * rigidOf(bc_) * rigidOf(ab_)).inverse()));
}

TEST_F(TransformManagerTest, RemovingAMiddleFrameJoinsItsNeighboursStatically) {
  manager_.setTransform("A", "B", ab_, 0);
  manager_.setTransform("C", "B", bc_, 100);
  manager_.setTransform("C", "B", cd_, 200);
  Affine3f const ac = rigidOf(cd_).inverse() * rigidOf(ab_);

  EXPECT_EQ(manager_.removeFrame("B"), TransformManager::Success);
  EXPECT_EQ(manager_.getFrames(), (Frames{"A", "C"}));
  EXPECT_TRUE(samePlacement(lookup("A", "C"), ac));
  EXPECT_TRUE(samePlacement(lookup("C", "A"), ac.inverse()));
  // The new edge is static: it answers any time under a time-selective method.
  Pose pose;
  EXPECT_EQ(manager_.getTransform("A", "C", 150, TransformManager::Interpolated, pose),
            TransformManager::Success);
  EXPECT_TRUE(samePlacement(pose, ac));
  EXPECT_EQ(manager_.getTransform("A", "B", pose), TransformManager::NotFound);
}

TEST_F(TransformManagerTest, RemovingAHubMakesAStarAroundItsFirstNeighbourAndKeepsOtherHistories) {
  // Frames in order: A, X, B, C, D; X joins A, B and C; D hangs off C.
  Pose const xb = makePose({0.0f, 0.0f, 1.0f}, 0.3f, Vector3f::UnitY());
  manager_.setTransform("A", "X", ab_, 0);
  manager_.setTransform("X", "B", xb, 0);
  manager_.setTransform("C", "X", bc_, 0);
  manager_.setTransform("C", "D", cd_, 100);
  manager_.setTransform("C", "D", ab_, 200);
  Affine3f const ab = rigidOf(xb) * rigidOf(ab_);
  Affine3f const ac = rigidOf(bc_).inverse() * rigidOf(ab_);

  EXPECT_EQ(manager_.removeFrame("X"), TransformManager::Success);
  EXPECT_EQ(manager_.getFrames(), (Frames{"A", "B", "C", "D"}));
  EXPECT_TRUE(samePlacement(lookup("A", "B"), ab));
  EXPECT_TRUE(samePlacement(lookup("A", "C"), ac));
  EXPECT_TRUE(samePlacement(lookup("B", "C"), ac * ab.inverse()));
  // B and C are joined through A, not directly.
  EXPECT_TRUE(manager_.indirectConnectionExists("B", "C"));
  Pose pose;
  EXPECT_EQ(manager_.getTransform("C", "D", 150, TransformManager::Interpolated, pose),
            TransformManager::Success);
  EXPECT_EQ(pose.timestamp, 150);
  EXPECT_TRUE(warnings().empty());
}

TEST_F(TransformManagerTest, RemovingALeafOrAnIsolatedFrameReAddsNothing) {
  manager_.setTransform("A", "B", ab_, 0);
  manager_.setTransform("B", "C", bc_, 0);
  EXPECT_EQ(manager_.removeFrame("C"), TransformManager::Success);
  EXPECT_EQ(manager_.getFrames(), (Frames{"A", "B"}));
  EXPECT_TRUE(samePlacement(lookup("A", "B"), ab_));

  EXPECT_EQ(manager_.removeFrame("B"), TransformManager::Success);
  EXPECT_EQ(manager_.getFrames(), (Frames{"A"}));
  EXPECT_EQ(manager_.removeFrame("A"), TransformManager::Success);
  EXPECT_TRUE(manager_.getFrames().empty());
}

TEST_F(TransformManagerTest, RemovingAnUnknownFrameChangesNothing) {
  EXPECT_EQ(manager_.removeFrame("A"), TransformManager::NotFound);
  manager_.setTransform("A", "B", ab_, 0);
  EXPECT_EQ(manager_.removeFrame("Z"), TransformManager::NotFound);
  EXPECT_EQ(manager_.getFrames(), (Frames{"A", "B"}));
  EXPECT_TRUE(samePlacement(lookup("A", "B"), ab_));
}

TEST_F(TransformManagerTest, RenamingKeepsTheTransformsAndRefusesATakenName) {
  manager_.setTransform("A", "B", ab_, 0);
  manager_.setTransform("B", "C", bc_, 0);
  EXPECT_EQ(manager_.updateFrameName("B", "Middle"), TransformManager::Success);
  EXPECT_EQ(manager_.getFrames(), (Frames{"A", "Middle", "C"}));
  EXPECT_TRUE(samePlacement(lookup("A", "C"), rigidOf(bc_) * rigidOf(ab_)));
  EXPECT_TRUE(samePlacement(lookup("A", "Middle"), ab_));

  EXPECT_EQ(manager_.updateFrameName("Nope", "Other"), TransformManager::NotFound);
  EXPECT_TRUE(warnings().empty());
  EXPECT_EQ(manager_.updateFrameName("A", "C"), TransformManager::NotFound);
  EXPECT_EQ(manager_.getFrames(), (Frames{"A", "Middle", "C"}));
  ASSERT_EQ(warnings().size(), 1u);
  EXPECT_NE(warnings()[0].find("A"), std::string::npos);
  EXPECT_NE(warnings()[0].find("C"), std::string::npos);
  // Renaming a frame to its own name is no conflict.
  EXPECT_EQ(manager_.updateFrameName("A", "A"), TransformManager::Success);
}

TEST_F(TransformManagerTest, OriginsAreAPlainTableBesideTheGraph) {
  std::string originFrame = "untouched";
  Pose pose = ab_;
  EXPECT_FALSE(manager_.getOrigin("Lidar", originFrame, pose));
  EXPECT_EQ(originFrame, "untouched");
  EXPECT_TRUE(samePlacement(pose, ab_));

  manager_.setOrigin("Lidar", "Body", bc_);
  manager_.setOrigin("Lidar", "Global", cd_);
  EXPECT_TRUE(manager_.getOrigin("Lidar", originFrame, pose));
  EXPECT_EQ(originFrame, "Global");
  EXPECT_TRUE(samePlacement(pose, cd_));
  EXPECT_TRUE(manager_.getFrames().empty());
}

TEST(FrameNames, AreTheWellKnownNames) {
  EXPECT_EQ(frames::BODY_FRAME, "Body");
  EXPECT_EQ(frames::GLOBAL_FRAME, "Global");
  EXPECT_EQ(frames::SENSOR_ORIGIN_FRAME, "Sensor");
}

}  // namespace
}  // namespace ostrel
