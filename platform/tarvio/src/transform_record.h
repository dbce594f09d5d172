#pragma once

#include <boost/property_tree/ptree.hpp>

#include <Eigen/Geometry>

#include <string>

namespace ostrel::tarvio::detail {

/// Appends to `transforms` (a "Transforms" list) one "Transform" record from
/// frame `from` to frame `to` holding `transform`, which maps coordinates
/// given in `from` into `to`: the frame names, then a pose record with
/// "Position", "orientationMethod" "quaternion", "Quaternion" (unit length)
/// and "EulerYPR" (extrinsic yaw-pitch-roll, R = Rx(roll)·Ry(pitch)·Rz(yaw),
/// in radians). Numbers read back exactly as doubles.
void appendTransformRecord(boost::property_tree::ptree& transforms, std::string const& from,
                           std::string const& to, Eigen::Isometry3d const& transform);

}  // namespace ostrel::tarvio::detail
