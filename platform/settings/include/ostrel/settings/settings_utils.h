#pragma once

#include <Eigen/Core>
#include <Eigen/Geometry>

#include <ostrel/settings/export.h>
#include <ostrel/settings/settings_manager.h>

namespace ostrel::utils {

/// Unit of the angles handed to `setYPR`.
enum EAngleUnits : int {
  DEGREES = 0,
  RADIANS = 1,
};

/// Reads "x", "y", "z" at the store's current node.
/// @throws the store's ptree_bad_path / ptree_bad_data.
OSTREL_SETTINGS_MANAGER_EXPORT Eigen::Vector3f getVector3f(SettingsManager const& settings);

/// Writes "x", "y", "z" at the store's current node.
OSTREL_SETTINGS_MANAGER_EXPORT void setVector3f(SettingsManager& settings,
                                                Eigen::Vector3f const& vector);

/// Reads "x", "y", "z", "w" at the store's current node, as stored (no
/// normalisation).
/// @throws the store's ptree_bad_path / ptree_bad_data.
OSTREL_SETTINGS_MANAGER_EXPORT Eigen::Quaternionf getQuaternion(SettingsManager const& settings);

/// Writes "x", "y", "z", "w" at the store's current node.
OSTREL_SETTINGS_MANAGER_EXPORT void setQuaternionf(SettingsManager& settings,
                                                   Eigen::Quaternionf const& quaternion);

/// Writes an angle record at the store's current node: "yaw", "pitch", "roll"
/// from `yawPitchRoll` (in that order) as given, and "units", which is
/// "radians" for RADIANS and "degrees" for DEGREES, the texts a reader of angle
/// records tells apart.
/// @throws std::invalid_argument for any other `units` value; nothing is written.
OSTREL_SETTINGS_MANAGER_EXPORT void setYPR(SettingsManager& settings,
                                           Eigen::Vector3f const& yawPitchRoll, EAngleUnits units);

}  // namespace ostrel::utils
