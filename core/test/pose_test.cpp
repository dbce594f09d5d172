#include <ostrel/core/pose.h>

#include <gtest/gtest.h>

#include "quaternion_matchers.h"

#include <cmath>
#include <ostream>

extern "C" float callGetYawFromQuaternionFromC(float x, float y, float z, float w);

namespace ostrel {
namespace {

constexpr float PI = 3.14159265358979f;
constexpr float DEG = PI / 180.0f;

using Eigen::AngleAxisf;
using Eigen::Matrix3f;
using Eigen::Matrix4f;
using Eigen::Quaternionf;
using Eigen::Vector3f;

Quaternionf extrinsicReference(Vector3f const& ypr) {
  return Quaternionf(AngleAxisf(ypr[2], Vector3f::UnitX()) * AngleAxisf(ypr[1], Vector3f::UnitY()) *
                     AngleAxisf(ypr[0], Vector3f::UnitZ()));
}

Quaternionf intrinsicReference(Vector3f const& ypr) {
  return Quaternionf(AngleAxisf(ypr[0], Vector3f::UnitZ()) * AngleAxisf(ypr[1], Vector3f::UnitY()) *
                     AngleAxisf(ypr[2], Vector3f::UnitX()));
}

/// Same rotation within `tolerance` radians: unit quaternions equal up to sign.
::testing::AssertionResult sameRotation(Quaternionf const& actual, Quaternionf const& expected,
                                        float tolerance = 1e-5f) {
  float const angle = actual.normalized().angularDistance(expected.normalized());
  if (angle <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "quaternion " << actual.coeffs().transpose()
                                       << " is not the rotation " << expected.coeffs().transpose();
}

::testing::AssertionResult matricesNear(Matrix4f const& actual, Matrix4f const& expected,
                                        float tolerance = 1e-5f) {
  if (((actual - expected).cwiseAbs().array() <= tolerance).all()) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "\n" << actual << "\nis not\n" << expected;
}

/// The coefficients (x, y, z, w) equal within `tolerance`, sign included.
using test::coefficientsNear;

TEST(PoseTest, DefaultIsIdentityAtOriginAndAligned) {
  Pose const pose;
  EXPECT_EQ(pose.position, Vector3f::Zero());
  EXPECT_EQ(pose.orientation.coeffs(), Quaternionf::Identity().coeffs());
  EXPECT_EQ(pose.timestamp, 0);
  EXPECT_EQ(Pose::ROTATION_AMBIGUITY_LIMIT, 1e-4f);
  static_assert(alignof(Pose) >= 16, "the quaternion member needs 16-byte alignment");
}

// ---------------------------------------------------------------------------
// Conversions in both conventions over a table of angles.

struct AnglesCase {
  char const* name;
  Vector3f yprDegrees;
  /// Whether the extracted angles equal the input (not across a wrap or at the
  /// edge of the pitch range, where only the rotation is comparable).
  bool anglesComparable;
};

std::ostream& operator<<(std::ostream& out, AnglesCase const& c) { return out << c.name; }

class PoseAnglesTest : public ::testing::TestWithParam<AnglesCase> {
 protected:
  Vector3f ypr() const { return GetParam().yprDegrees * DEG; }
};

TEST_P(PoseAnglesTest, ExtrinsicRoundTripMatchesAxisAngleProduct) {
  Quaternionf const expected = extrinsicReference(ypr());
  Quaternionf const q = rotationExtrinsicYPRToQuaternion(ypr());
  EXPECT_NEAR(q.norm(), 1.0f, 1e-6f);
  EXPECT_TRUE(sameRotation(q, expected));

  Vector3f const back = quaternionToRotationExtrinsicYPR(q);
  EXPECT_TRUE(sameRotation(extrinsicReference(back), expected, 1e-4f));
  if (GetParam().anglesComparable) {
    EXPECT_TRUE(back.isApprox(ypr(), 1e-4f)) << back.transpose() << " vs " << ypr().transpose();
  }
}

TEST_P(PoseAnglesTest, IntrinsicRoundTripMatchesAxisAngleProduct) {
  Quaternionf const expected = intrinsicReference(ypr());
  Quaternionf const q = rotationIntrinsicYPRToQuaternion(ypr());
  EXPECT_NEAR(q.norm(), 1.0f, 1e-6f);
  EXPECT_TRUE(sameRotation(q, expected));

  Vector3f const back = quaternionToRotationIntrinsicYPR(q);
  EXPECT_TRUE(sameRotation(intrinsicReference(back), expected, 1e-4f));
  if (GetParam().anglesComparable) {
    EXPECT_TRUE(back.isApprox(ypr(), 1e-4f)) << back.transpose() << " vs " << ypr().transpose();
  }
}

TEST_P(PoseAnglesTest, TransformBuildersMatchAxisAngleProductAndInvert) {
  Vector3f const translation(1.5f, -2.0f, 0.25f);
  for (bool const extrinsic : {true, false}) {
    SCOPED_TRACE(extrinsic ? "extrinsic" : "intrinsic");
    Matrix4f expected = Matrix4f::Identity();
    expected.topLeftCorner<3, 3>() =
        (extrinsic ? extrinsicReference(ypr()) : intrinsicReference(ypr())).toRotationMatrix();
    expected.topRightCorner<3, 1>() = translation;

    Matrix4f const forward = extrinsic ? toTransformFromExtrinsicYPR(translation, ypr())
                                       : toTransformFromIntrinsicYPR(translation, ypr());
    Matrix4f const inverse = extrinsic ? toInverseTransformFromExtrinsicYPR(translation, ypr())
                                       : toInverseTransformFromIntrinsicYPR(translation, ypr());
    EXPECT_TRUE(matricesNear(forward, expected));
    EXPECT_TRUE(matricesNear(inverse * forward, Matrix4f::Identity()));
    EXPECT_EQ(inverse.row(3), Eigen::RowVector4f(0, 0, 0, 1));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Angles, PoseAnglesTest,
    ::testing::Values(AnglesCase{"zero", {0, 0, 0}, true},
                      AnglesCase{"positive", {30, 20, 10}, true},
                      AnglesCase{"negative", {-45, -30, -60}, true},
                      AnglesCase{"mixed", {120, -50, 150}, true},
                      AnglesCase{"yaw90_roll90", {90, 0, 90}, true},
                      AnglesCase{"near_plus_90_pitch", {40, 89.5f, -25}, false},
                      AnglesCase{"near_minus_90_pitch", {-140, -89.5f, 60}, false},
                      AnglesCase{"yaw180", {180, 0, 0}, false},
                      AnglesCase{"yaw_and_roll_near_180", {-179, 45, 179}, false}),
    [](::testing::TestParamInfo<AnglesCase> const& info) { return info.param.name; });

TEST(PoseConventionsTest, DifferWhenTwoAnglesAreNonZero) {
  Vector3f const yawAndRoll(90 * DEG, 0, 90 * DEG);
  EXPECT_FALSE(sameRotation(rotationIntrinsicYPRToQuaternion(yawAndRoll),
                            rotationExtrinsicYPRToQuaternion(yawAndRoll), 1e-3f));
}

// ---------------------------------------------------------------------------
// The sign of a quaternion made from angles follows the matrix rule: w > 0
// under 120°, beyond that the component of the largest diagonal is positive.

struct SingleAxisCase {
  char const* name;
  Vector3f yprDegrees;
  Quaternionf expected;  // written out from the half angle by hand
};

std::ostream& operator<<(std::ostream& out, SingleAxisCase const& c) { return out << c.name; }

class PoseSignRuleTest : public ::testing::TestWithParam<SingleAxisCase> {};

TEST_P(PoseSignRuleTest, BothConventionsGiveTheRuleSign) {
  Vector3f const ypr = GetParam().yprDegrees * DEG;
  EXPECT_TRUE(coefficientsNear(rotationExtrinsicYPRToQuaternion(ypr), GetParam().expected));
  EXPECT_TRUE(coefficientsNear(rotationIntrinsicYPRToQuaternion(ypr), GetParam().expected));
}

float sinHalf(float degrees) { return static_cast<float>(std::sin(degrees * M_PI / 360.0)); }
float cosHalf(float degrees) { return static_cast<float>(std::cos(degrees * M_PI / 360.0)); }

INSTANTIATE_TEST_SUITE_P(
    SingleAxis, PoseSignRuleTest,
    ::testing::Values(
        SingleAxisCase{"none", {0, 0, 0}, Quaternionf(1, 0, 0, 0)},
        SingleAxisCase{
            "yaw_minus_100", {-100, 0, 0}, Quaternionf(cosHalf(100), 0, 0, -sinHalf(100))},
        SingleAxisCase{"pitch_60", {0, 60, 0}, Quaternionf(cosHalf(60), 0, sinHalf(60), 0)},
        SingleAxisCase{"roll_minus_30", {0, 0, -30}, Quaternionf(cosHalf(30), -sinHalf(30), 0, 0)},
        // Beyond 120° the trace is negative: the quaternion comes out negated.
        SingleAxisCase{
            "roll_minus_150", {0, 0, -150}, Quaternionf(-cosHalf(150), sinHalf(150), 0, 0)},
        SingleAxisCase{"yaw_180", {180, 0, 0}, Quaternionf(0, 0, 0, 1)}),
    [](::testing::TestParamInfo<SingleAxisCase> const& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Gimbal lock.

TEST(PoseGimbalLockTest, ExtrinsicLockPutsYawIntoRoll) {
  Vector3f const locked(0.3f, PI / 2, 0.2f);
  Vector3f const back = quaternionToRotationExtrinsicYPR(rotationExtrinsicYPRToQuaternion(locked));
  EXPECT_EQ(back[0], 0.0f);
  EXPECT_NEAR(back[1], PI / 2, 1e-3f);
  EXPECT_NEAR(back[2], 0.5f, 1e-4f);
}

TEST(PoseGimbalLockTest, IntrinsicLockReturnsNegativeZeroYawAndTheSameRotation) {
  Vector3f const locked(0.3f, -PI / 2, 0.2f);
  Quaternionf const q = rotationIntrinsicYPRToQuaternion(locked);
  Vector3f const back = quaternionToRotationIntrinsicYPR(q);
  EXPECT_EQ(back[0], 0.0f);
  EXPECT_TRUE(std::signbit(back[0]));
  EXPECT_NEAR(back[1], -PI / 2, 1e-3f);
  EXPECT_TRUE(sameRotation(intrinsicReference(back), intrinsicReference(locked), 1e-5f));
}

TEST(PoseGimbalLockTest, LimitSeparatesTheBranches) {
  // cos(pitch) of 2e-4 keeps the yaw, 5e-5 is locked.
  Vector3f const unlocked(0.3f, PI / 2 - 2e-4f, 0.2f);
  Vector3f const lockedJustBelow(0.3f, PI / 2 - 5e-5f, 0.2f);
  Vector3f const a = quaternionToRotationExtrinsicYPR(rotationExtrinsicYPRToQuaternion(unlocked));
  Vector3f const b =
      quaternionToRotationExtrinsicYPR(rotationExtrinsicYPRToQuaternion(lockedJustBelow));
  EXPECT_NEAR(a[0], 0.3f, 2e-2f);
  EXPECT_NEAR(a[2], 0.2f, 2e-2f);
  EXPECT_EQ(b[0], 0.0f);
  EXPECT_NEAR(b[2], 0.5f, 1e-3f);
}

// ---------------------------------------------------------------------------
// Transforms of poses.

Pose samplePose() {
  Pose pose;
  pose.position = Vector3f(3.0f, -1.0f, 2.5f);
  pose.orientation = extrinsicReference(Vector3f(0.7f, -0.4f, 1.1f));
  pose.timestamp = 123456789;
  return pose;
}

TEST(PoseTransformTest, InverseTransformUndoesTransform) {
  Pose const pose = samplePose();
  Matrix4f const forward = pose.toTransform();
  EXPECT_TRUE(matricesNear(pose.toInverseTransform() * forward, Matrix4f::Identity()));
  EXPECT_EQ(forward.row(3), Eigen::RowVector4f(0, 0, 0, 1));
  Vector3f const p(0.5f, 2.0f, -1.0f);
  Vector3f const expected = pose.orientation * p + pose.position;
  EXPECT_TRUE((poseToAffine3f(pose) * p).isApprox(expected, 1e-6f));
}

TEST(PoseTransformTest, UsesStoredCoefficientsWithoutNormalising) {
  Pose pose;
  pose.position = Vector3f(1, 2, 3);
  pose.orientation = Quaternionf(1, 0, 0, 1);  // (x, y, z, w) = (0, 0, 1, 1), norm √2
  Matrix4f expected;
  expected << -1, -2, 0, 1,  //
      2, -1, 0, 2,           //
      0, 0, 1, 3,            //
      0, 0, 0, 1;
  EXPECT_EQ(pose.toTransform(), expected);

  Matrix4f expectedInverse;         // [Rᵀ | −Rᵀ·p]
  expectedInverse << -1, 2, 0, -3,  //
      -2, -1, 0, 4,                 //
      0, 0, 1, -3,                  //
      0, 0, 0, 1;
  EXPECT_EQ(pose.toInverseTransform(), expectedInverse);
}

TEST(PoseTransformTest, FreeFunctionsAgreeWithMembers) {
  Pose const pose = samplePose();
  EXPECT_EQ(poseToTransform(pose), pose.toTransform());
  EXPECT_EQ(poseToInverseTransform(pose), pose.toInverseTransform());
  EXPECT_EQ(poseToAffine3f(pose).matrix(), pose.toTransform());
  EXPECT_EQ(poseToRotationExtrinsicYPR(pose), quaternionToRotationExtrinsicYPR(pose.orientation));
  EXPECT_EQ(poseToRotationIntrinsicYPR(pose), quaternionToRotationIntrinsicYPR(pose.orientation));
  EXPECT_TRUE(pose.toRotationExtrinsicYPR().isApprox(Vector3f(0.7f, -0.4f, 1.1f), 1e-5f));
}

TEST(PoseInverseTest, InversePoseUndoesThePoseAndKeepsTheTimestamp) {
  Pose const pose = samplePose();
  Pose const inverse = pose.toInversePose();
  EXPECT_EQ(inverse.timestamp, pose.timestamp);
  EXPECT_TRUE(matricesNear(inverse.toTransform() * pose.toTransform(), Matrix4f::Identity()));

  Pose const twice = inverse.toInversePose();
  EXPECT_EQ(twice.timestamp, pose.timestamp);
  EXPECT_TRUE(twice.position.isApprox(pose.position, 1e-5f));
  EXPECT_TRUE(sameRotation(twice.orientation, pose.orientation));
}

TEST(PoseInverseTest, NonUnitOrientationStillGivesAProperRotation) {
  Pose pose = samplePose();
  pose.orientation.coeffs() *= 2.0f;
  Quaternionf const inverse = pose.toInversePose().orientation;
  EXPECT_NEAR(inverse.norm(), 1.0f, 1e-5f);
  Matrix3f const rotation = inverse.toRotationMatrix();
  EXPECT_TRUE((rotation * rotation.transpose()).isIdentity(1e-5f));
  EXPECT_NEAR(rotation.determinant(), 1.0f, 1e-5f);
}

TEST(PoseZeroQuaternionTest, ActsAsNoRotation) {
  Pose pose;
  pose.position = Vector3f(1, -2, 3);
  pose.orientation.coeffs().setZero();

  Vector3f const extrinsic = pose.toRotationExtrinsicYPR();
  Vector3f const intrinsic = pose.toRotationIntrinsicYPR();
  EXPECT_EQ(extrinsic, Vector3f::Zero());  // -0.0 compares equal to 0
  EXPECT_EQ(intrinsic, Vector3f::Zero());
  EXPECT_EQ(getYawFromQuaternion(0, 0, 0, 0), 0.0f);

  Matrix3f const rotation = pose.toTransform().topLeftCorner<3, 3>();
  EXPECT_EQ(rotation, Matrix3f::Identity());
  Pose const inverse = pose.toInversePose();
  EXPECT_EQ(inverse.position, -pose.position);
  EXPECT_TRUE(sameRotation(inverse.orientation, Quaternionf::Identity()));
}

// ---------------------------------------------------------------------------
// The C-linkage yaw.

class YawFromQuaternionTest : public ::testing::TestWithParam<float> {};

TEST_P(YawFromQuaternionTest, CallerCompiledAsCReadsTheYaw) {
  float const a = GetParam();
  float const yaw = callGetYawFromQuaternionFromC(0.0f, 0.0f, std::sin(a / 2), std::cos(a / 2));
  EXPECT_NEAR(yaw, a, 1e-5f);
}

INSTANTIATE_TEST_SUITE_P(Yaws, YawFromQuaternionTest,
                         ::testing::Values(-3.1f, -1.0f, 0.0f, 0.5f, 2.0f, 3.1f));

TEST(YawFromQuaternionTest, IsTheExtrinsicYawOfAFullRotation) {
  Quaternionf const q = extrinsicReference(Vector3f(0.4f, 0.3f, -0.2f));
  EXPECT_NEAR(callGetYawFromQuaternionFromC(q.x(), q.y(), q.z(), q.w()), 0.4f, 1e-5f);
}

}  // namespace
}  // namespace ostrel
