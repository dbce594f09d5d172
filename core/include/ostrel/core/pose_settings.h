#pragma once

#include <Eigen/Geometry>

#include <ostrel/core/export.h>
#include <ostrel/core/pose.h>
#include <ostrel/settings/settings_manager.h>

namespace ostrel {

/// Reads the pose record at the store's current node: "Position", then
/// "orientationMethod" (letter case ignored) selecting the "Quaternion" record
/// (taken as stored) or the "EulerYPR" angle record. Any other method gives
/// the identity orientation and one warning naming it. Timestamp 0. Works on a
/// copy of the store, so the caller's current node never moves.
/// @throws boost::property_tree::ptree_bad_path when a key is missing.
/// @throws boost::property_tree::ptree_bad_data when a value is unreadable.
OSTREL_CORE_EXPORT Pose getPose(SettingsManager const& settings);

/// Writes the pose record at the store's current node: "Position", the method
/// "quaternion", "Quaternion" (the orientation normalised, its sign chosen
/// through the rotation matrix: w > 0 for rotations under 120°) and
/// "EulerYPR" (the extrinsic angles of that quaternion, in radians, so both
/// records describe the same rotation). The timestamp is not
/// written. Exceptions of the store propagate, keys written before stay.
OSTREL_CORE_EXPORT void setPose(SettingsManager& settings, Pose pose);

/// Reads "yaw", "pitch", "roll" and "units" at the store's current node and
/// returns the unit quaternion of those extrinsic angles. Units other than
/// "radians" (exact text) mean degrees; a text that is neither "radians" nor
/// "degrees" is also logged as one warning.
/// @throws boost::property_tree::ptree_bad_path when a key is missing.
/// @throws boost::property_tree::ptree_bad_data when a value is unreadable.
OSTREL_CORE_EXPORT Eigen::Quaternionf getQuaternionFromYPR(SettingsManager const& settings);

}  // namespace ostrel
