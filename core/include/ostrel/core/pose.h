#pragma once

#include <cstdint>

#include <Eigen/Core>
#include <Eigen/Geometry>

#include <ostrel/core/export.h>
#include <ostrel/core/yaw_from_quaternion.h>

namespace ostrel {

/// A rigid placement: where a frame is, how it is turned and when that holds.
///
/// Yaw-pitch-roll triples ("YPR") are `Eigen::Vector3f` in radians: element 0
/// yaw about Z, 1 pitch about Y, 2 roll about X. Intrinsic YPR is
/// R = Rz(yaw)·Ry(pitch)·Rx(roll); extrinsic YPR is R = Rx(roll)·Ry(pitch)·Rz(yaw).
/// Transforms are 4×4 homogeneous matrices acting on column vectors,
/// p' = R·p + t. The orientation is used exactly as stored: nothing here
/// normalises it unless it says so.
struct OSTREL_CORE_EXPORT Pose {
  EIGEN_MAKE_ALIGNED_OPERATOR_NEW

  /// Below this cosine of pitch the angle extraction treats the pose as
  /// gimbal-locked (pitch at ±90°).
  static constexpr float ROTATION_AMBIGUITY_LIMIT = 1e-4f;

  Eigen::Vector3f position = Eigen::Vector3f::Zero();
  Eigen::Quaternionf orientation = Eigen::Quaternionf::Identity();
  /// Time at which the pose holds, in the caller's time unit.
  std::int64_t timestamp = 0;

  /// [R | position], R the rotation matrix of the stored orientation.
  Eigen::Matrix4f toTransform() const;

  /// [Rᵀ | −Rᵀ·position] with the same R as `toTransform`.
  Eigen::Matrix4f toInverseTransform() const;

  /// The inverse placement: the translation of `toInverseTransform`, the unit
  /// quaternion of the nearest proper rotation to its rotation block (polar
  /// decomposition, so a non-unit orientation still gives a rotation), and
  /// this pose's timestamp.
  Pose toInversePose() const;

  /// `quaternionToRotationIntrinsicYPR(orientation)`.
  Eigen::Vector3f toRotationIntrinsicYPR() const;

  /// `quaternionToRotationExtrinsicYPR(orientation)`.
  Eigen::Vector3f toRotationExtrinsicYPR() const;
};

/// Extrinsic YPR of `q` (not normalised). In gimbal lock the yaw is 0 and the
/// whole turn about the locked axis goes into roll.
OSTREL_CORE_EXPORT Eigen::Vector3f quaternionToRotationExtrinsicYPR(Eigen::Quaternionf q);

/// Intrinsic YPR of `q`, taken from the extrinsic angles of its normalised
/// inverse. In gimbal lock the yaw is −0.
OSTREL_CORE_EXPORT Eigen::Vector3f quaternionToRotationIntrinsicYPR(Eigen::Quaternionf q);

/// Unit quaternion of intrinsic `ypr`; its sign follows the matrix-to-quaternion
/// rule (w > 0 for rotations under 120°).
OSTREL_CORE_EXPORT Eigen::Quaternionf rotationIntrinsicYPRToQuaternion(Eigen::Vector3f const& ypr);

/// Unit quaternion of extrinsic `ypr`; its sign follows the matrix-to-quaternion
/// rule (w > 0 for rotations under 120°).
OSTREL_CORE_EXPORT Eigen::Quaternionf rotationExtrinsicYPRToQuaternion(Eigen::Vector3f const& ypr);

/// `pose.toTransform()`.
OSTREL_CORE_EXPORT Eigen::Matrix4f poseToTransform(Pose const& pose);

/// `pose.toInverseTransform()`.
OSTREL_CORE_EXPORT Eigen::Matrix4f poseToInverseTransform(Pose const& pose);

/// `pose.toRotationIntrinsicYPR()`.
OSTREL_CORE_EXPORT Eigen::Vector3f poseToRotationIntrinsicYPR(Pose const& pose);

/// `pose.toRotationExtrinsicYPR()`.
OSTREL_CORE_EXPORT Eigen::Vector3f poseToRotationExtrinsicYPR(Pose const& pose);

/// `pose.toTransform()` as an affine transform.
OSTREL_CORE_EXPORT Eigen::Affine3f poseToAffine3f(Pose const& pose);

/// [R | translation] with R the extrinsic rotation of `ypr`, its sines and
/// cosines computed in double precision.
OSTREL_CORE_EXPORT Eigen::Matrix4f toTransformFromExtrinsicYPR(Eigen::Vector3f const& translation,
                                                               Eigen::Vector3f const& ypr);

/// [Rᵀ | −Rᵀ·translation] with R as in `toTransformFromExtrinsicYPR`.
OSTREL_CORE_EXPORT Eigen::Matrix4f toInverseTransformFromExtrinsicYPR(
    Eigen::Vector3f const& translation, Eigen::Vector3f const& ypr);

/// [R | translation] with R the intrinsic rotation of `ypr`, its sines and
/// cosines computed in double precision.
OSTREL_CORE_EXPORT Eigen::Matrix4f toTransformFromIntrinsicYPR(Eigen::Vector3f const& translation,
                                                               Eigen::Vector3f const& ypr);

/// [Rᵀ | −Rᵀ·translation] with R as in `toTransformFromIntrinsicYPR`.
OSTREL_CORE_EXPORT Eigen::Matrix4f toInverseTransformFromIntrinsicYPR(
    Eigen::Vector3f const& translation, Eigen::Vector3f const& ypr);

}  // namespace ostrel
