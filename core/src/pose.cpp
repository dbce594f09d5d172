#include <ostrel/core/pose.h>

#include <cmath>

namespace ostrel {

namespace {

/// The three elementary rotations of a YPR triple, their sines and cosines
/// computed in double precision and rounded to float.
struct ElementaryRotations {
  Eigen::Matrix3f aboutZ;
  Eigen::Matrix3f aboutY;
  Eigen::Matrix3f aboutX;
};

ElementaryRotations elementaryRotations(Eigen::Vector3f const& ypr) {
  auto const cosine = [&ypr](int i) { return static_cast<float>(std::cos(double{ypr[i]})); };
  auto const sine = [&ypr](int i) { return static_cast<float>(std::sin(double{ypr[i]})); };
  float const ca = cosine(0), sa = sine(0);
  float const cb = cosine(1), sb = sine(1);
  float const cc = cosine(2), sc = sine(2);
  ElementaryRotations rotations;
  rotations.aboutZ << ca, -sa, 0.0f, sa, ca, 0.0f, 0.0f, 0.0f, 1.0f;
  rotations.aboutY << cb, 0.0f, sb, 0.0f, 1.0f, 0.0f, -sb, 0.0f, cb;
  rotations.aboutX << 1.0f, 0.0f, 0.0f, 0.0f, cc, -sc, 0.0f, sc, cc;
  return rotations;
}

Eigen::Matrix3f extrinsicRotation(Eigen::Vector3f const& ypr) {
  ElementaryRotations const r = elementaryRotations(ypr);
  return r.aboutX * r.aboutY * r.aboutZ;
}

Eigen::Matrix3f intrinsicRotation(Eigen::Vector3f const& ypr) {
  ElementaryRotations const r = elementaryRotations(ypr);
  return r.aboutZ * r.aboutY * r.aboutX;
}

/// [rotation | translation] with bottom row (0, 0, 0, 1).
Eigen::Matrix4f composeTransform(Eigen::Matrix3f const& rotation,
                                 Eigen::Vector3f const& translation) {
  Eigen::Matrix4f transform = Eigen::Matrix4f::Identity();
  transform.topLeftCorner<3, 3>() = rotation;
  transform.topRightCorner<3, 1>() = translation;
  return transform;
}

/// [rotationᵀ | −rotationᵀ·translation], the inverse of a rigid transform.
Eigen::Matrix4f composeInverseTransform(Eigen::Matrix3f const& rotation,
                                        Eigen::Vector3f const& translation) {
  Eigen::Matrix3f const transposed = rotation.transpose();
  return composeTransform(transposed, -(transposed * translation));
}

/// The unit quaternion of a rotation block. Eigen's matrix constructor picks
/// the sign: w > 0 when the trace is positive, otherwise the component of the
/// largest diagonal element is positive.
Eigen::Quaternionf unitQuaternionOf(Eigen::Matrix3f const& rotation) {
  return Eigen::Quaternionf(rotation).normalized();
}

}  // namespace

Eigen::Matrix4f Pose::toTransform() const {
  // Eigen's toRotationMatrix uses the stored coefficients without normalising.
  return composeTransform(orientation.toRotationMatrix(), position);
}

Eigen::Matrix4f Pose::toInverseTransform() const {
  return composeInverseTransform(orientation.toRotationMatrix(), position);
}

Pose Pose::toInversePose() const {
  Eigen::Affine3f const inverse(toInverseTransform());
  Pose result;
  result.position = inverse.translation();
  // rotation() is the polar decomposition through a full Jacobi SVD: a proper
  // rotation even when the orientation was not of unit length.
  result.orientation = Eigen::Quaternionf(inverse.rotation());
  result.timestamp = timestamp;
  return result;
}

Eigen::Vector3f Pose::toRotationIntrinsicYPR() const {
  return quaternionToRotationIntrinsicYPR(orientation);
}

Eigen::Vector3f Pose::toRotationExtrinsicYPR() const {
  return quaternionToRotationExtrinsicYPR(orientation);
}

Eigen::Vector3f quaternionToRotationExtrinsicYPR(Eigen::Quaternionf q) {
  Eigen::Matrix3f const r = q.toRotationMatrix();
  float const cosPitch = std::sqrt(r(1, 2) * r(1, 2) + r(2, 2) * r(2, 2));
  float const pitch = std::atan2(r(0, 2), cosPitch);
  if (cosPitch > Pose::ROTATION_AMBIGUITY_LIMIT) {
    return {std::atan2(-r(0, 1), r(0, 0)), pitch, std::atan2(-r(1, 2), r(2, 2))};
  }
  // Pitch at ±90°: yaw and roll turn about the same axis, so all of it is
  // reported as roll.
  return {0.0f, pitch, std::atan2(r(2, 1), r(1, 1))};
}

Eigen::Vector3f quaternionToRotationIntrinsicYPR(Eigen::Quaternionf q) {
  // inverse(Rx(c)·Ry(b)·Rz(a)) = Rz(−a)·Ry(−b)·Rx(−c): the intrinsic angles of
  // q are the negated extrinsic angles of its inverse. Eigen's inverse() is
  // the conjugate over the squared norm, or zero for the zero quaternion.
  return -quaternionToRotationExtrinsicYPR(q.inverse().normalized());
}

Eigen::Quaternionf rotationIntrinsicYPRToQuaternion(Eigen::Vector3f const& ypr) {
  Eigen::Quaternionf const product = Eigen::AngleAxisf(ypr[0], Eigen::Vector3f::UnitZ()) *
                                     Eigen::AngleAxisf(ypr[1], Eigen::Vector3f::UnitY()) *
                                     Eigen::AngleAxisf(ypr[2], Eigen::Vector3f::UnitX());
  return unitQuaternionOf(product.toRotationMatrix());
}

Eigen::Quaternionf rotationExtrinsicYPRToQuaternion(Eigen::Vector3f const& ypr) {
  Eigen::Quaternionf const product = Eigen::AngleAxisf(ypr[2], Eigen::Vector3f::UnitX()) *
                                     Eigen::AngleAxisf(ypr[1], Eigen::Vector3f::UnitY()) *
                                     Eigen::AngleAxisf(ypr[0], Eigen::Vector3f::UnitZ());
  return unitQuaternionOf(product.toRotationMatrix());
}

Eigen::Matrix4f poseToTransform(Pose const& pose) { return pose.toTransform(); }

Eigen::Matrix4f poseToInverseTransform(Pose const& pose) { return pose.toInverseTransform(); }

Eigen::Vector3f poseToRotationIntrinsicYPR(Pose const& pose) {
  return pose.toRotationIntrinsicYPR();
}

Eigen::Vector3f poseToRotationExtrinsicYPR(Pose const& pose) {
  return pose.toRotationExtrinsicYPR();
}

Eigen::Affine3f poseToAffine3f(Pose const& pose) { return Eigen::Affine3f(pose.toTransform()); }

Eigen::Matrix4f toTransformFromExtrinsicYPR(Eigen::Vector3f const& translation,
                                            Eigen::Vector3f const& ypr) {
  return composeTransform(extrinsicRotation(ypr), translation);
}

Eigen::Matrix4f toInverseTransformFromExtrinsicYPR(Eigen::Vector3f const& translation,
                                                   Eigen::Vector3f const& ypr) {
  return composeInverseTransform(extrinsicRotation(ypr), translation);
}

Eigen::Matrix4f toTransformFromIntrinsicYPR(Eigen::Vector3f const& translation,
                                            Eigen::Vector3f const& ypr) {
  return composeTransform(intrinsicRotation(ypr), translation);
}

Eigen::Matrix4f toInverseTransformFromIntrinsicYPR(Eigen::Vector3f const& translation,
                                                   Eigen::Vector3f const& ypr) {
  return composeInverseTransform(intrinsicRotation(ypr), translation);
}

}  // namespace ostrel

float getYawFromQuaternion(float x, float y, float z, float w) {
  return ostrel::quaternionToRotationExtrinsicYPR(Eigen::Quaternionf(w, x, y, z))[0];
}
