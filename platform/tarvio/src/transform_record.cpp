#include "transform_record.h"

#include <cmath>

#include "settings_text.h"

namespace ostrel::tarvio::detail {

namespace {

using boost::property_tree::ptree;

/// Below this cosine of the pitch the yaw and roll axes coincide (gimbal
/// lock); the whole turn about them is then given as roll.
constexpr double ROTATION_AMBIGUITY_LIMIT = 1e-4;

/// (yaw, pitch, roll) with R = Rx(roll)·Ry(pitch)·Rz(yaw).
Eigen::Vector3d extrinsicYawPitchRoll(Eigen::Matrix3d const& r) {
  double const cosPitch = std::hypot(r(1, 2), r(2, 2));
  double const pitch = std::atan2(r(0, 2), cosPitch);
  if (cosPitch > ROTATION_AMBIGUITY_LIMIT) {
    return {std::atan2(-r(0, 1), r(0, 0)), pitch, std::atan2(-r(1, 2), r(2, 2))};
  }
  return {0.0, pitch, std::atan2(r(2, 1), r(1, 1))};
}

void putNumber(ptree& node, char const* key, double value) { node.add(key, formatNumber(value)); }

}  // namespace

void appendTransformRecord(ptree& transforms, std::string const& from, std::string const& to,
                           Eigen::Isometry3d const& transform) {
  Eigen::Matrix3d const rotation = transform.rotation();
  Eigen::Quaterniond const quaternion = Eigen::Quaterniond(rotation).normalized();
  Eigen::Vector3d const position = transform.translation();
  Eigen::Vector3d const angles = extrinsicYawPitchRoll(rotation);

  ptree record;
  record.add("fromFrameName", from);
  record.add("toFrameName", to);
  ptree& positionNode = record.add_child("Position", ptree());
  putNumber(positionNode, "x", position.x());
  putNumber(positionNode, "y", position.y());
  putNumber(positionNode, "z", position.z());
  record.add("orientationMethod", "quaternion");
  ptree& quaternionNode = record.add_child("Quaternion", ptree());
  putNumber(quaternionNode, "x", quaternion.x());
  putNumber(quaternionNode, "y", quaternion.y());
  putNumber(quaternionNode, "z", quaternion.z());
  putNumber(quaternionNode, "w", quaternion.w());
  ptree& anglesNode = record.add_child("EulerYPR", ptree());
  putNumber(anglesNode, "yaw", angles[0]);
  putNumber(anglesNode, "pitch", angles[1]);
  putNumber(anglesNode, "roll", angles[2]);
  anglesNode.add("units", "radians");
  transforms.add_child("Transform", record);
}

}  // namespace ostrel::tarvio::detail
