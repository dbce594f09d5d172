#include "pellam_conversion.h"

#include <boost/math/constants/constants.hpp>
#include <boost/property_tree/exceptions.hpp>

#include <Eigen/Geometry>

#include <algorithm>
#include <array>
#include <map>
#include <stdexcept>

#include "settings_text.h"
#include "transform_record.h"

namespace ostrel::tarvio::detail {

namespace {

using boost::property_tree::ptree;
using boost::property_tree::ptree_bad_path;

constexpr char const* WORLD_FRAME = "Global";
constexpr char const* ROOT_TAG = "TarvioSettings";

struct PellamVersion {
  char const* name;
  bool hasWorldOrigin;
};

/// Pellam releases in order. Files older than "Kestrin" place the LiDARs only
/// relative to one another; from "Kestrin" on they also place the world origin.
constexpr std::array<PellamVersion, 5> PELLAM_VERSIONS{{
    {"Alder", false},
    {"Bramble", false},
    {"Corrie", false},
    {"Kestrin", true},
    {"Lindum", true},
}};

std::string quoted(std::string const& text) { return "\"" + text + "\""; }

/// The child `key` of `node`, taken literally (no path parsing); `path` is
/// the node's own path, used in the message when the child is missing.
ptree const& child(ptree const& node, std::string const& key, std::string const& path) {
  auto const found = node.find(key);
  if (found == node.not_found()) {
    throw ptree_bad_path("No such node", ptree::path_type(path.empty() ? key : path + "." + key));
  }
  return found->second;
}

std::string const& attribute(ptree const& node, std::string const& key, std::string const& path) {
  static ptree const noAttributes;
  auto const attributes = node.find("<xmlattr>");
  ptree const& list = attributes == node.not_found() ? noAttributes : attributes->second;
  return child(list, key, path + ".<xmlattr>").data();
}

PellamVersion versionOf(ptree const& root) {
  std::string const& name = attribute(root, "version", "PellamCalibration");
  auto const found = std::find_if(PELLAM_VERSIONS.begin(), PELLAM_VERSIONS.end(),
                                  [&](PellamVersion const& v) { return name == v.name; });
  if (found == PELLAM_VERSIONS.end()) {
    std::string known;
    for (PellamVersion const& version : PELLAM_VERSIONS) {
      known += (known.empty() ? "" : ", ") + std::string(version.name);
    }
    throw std::runtime_error("Unknown Pellam calibration version " + quoted(name) +
                             " (known versions: " + known + ")");
  }
  return *found;
}

/// The placement of an entry with "Position" (x, y, z) and "Orientation" (yaw,
/// pitch, roll in degrees, R = Rz(yaw)·Ry(pitch)·Rx(roll)) children: the map
/// from the entry's own coordinates into the calibration's coordinates.
/// `label` names the entry in messages, `path` is its node path.
Eigen::Isometry3d placementOf(ptree const& entry, std::string const& label,
                              std::string const& path) {
  auto const numberAt = [&](char const* element, char const* key) {
    std::string const elementPath = path + "." + element;
    std::string const& text = attribute(child(entry, element, path), key, elementPath);
    std::optional<double> const value = parseNumber(text);
    if (!value) {
      throw std::runtime_error("Pellam calibration: " + label + " has an unreadable " + element +
                               " " + key + " value " + quoted(text));
    }
    return *value;
  };
  Eigen::Vector3d const position(numberAt("Position", "x"), numberAt("Position", "y"),
                                 numberAt("Position", "z"));
  constexpr double radiansPerDegree = boost::math::double_constants::pi / 180.0;
  double const yaw = numberAt("Orientation", "yaw") * radiansPerDegree;
  double const pitch = numberAt("Orientation", "pitch") * radiansPerDegree;
  double const roll = numberAt("Orientation", "roll") * radiansPerDegree;

  Eigen::Isometry3d placement = Eigen::Isometry3d::Identity();
  placement.translate(position);
  placement.rotate(Eigen::AngleAxisd(yaw, Eigen::Vector3d::UnitZ()) *
                   Eigen::AngleAxisd(pitch, Eigen::Vector3d::UnitY()) *
                   Eigen::AngleAxisd(roll, Eigen::Vector3d::UnitX()));
  return placement;
}

std::map<std::string, Eigen::Isometry3d> lidarPlacements(ptree const& root) {
  std::string const listPath = "PellamCalibration.Lidars";
  std::string const entryPath = listPath + ".Lidar";
  std::map<std::string, Eigen::Isometry3d> placements;
  for (auto const& [tag, entry] : child(root, "Lidars", "PellamCalibration")) {
    if (tag != "Lidar") continue;
    std::string const& name = attribute(entry, "name", entryPath);
    std::string const label = "LiDAR " + quoted(name);
    Eigen::Isometry3d const placement = placementOf(entry, label, entryPath + "[" + name + "]");
    if (!placements.emplace(name, placement).second) {
      throw std::runtime_error("Pellam calibration lists " + label + " more than once");
    }
  }
  return placements;
}

void checkLidarList(std::optional<std::vector<std::string>> const& lidars) {
  if (!lidars || lidars->empty()) {
    throw std::runtime_error("No LiDARs were selected for the Pellam calibration conversion");
  }
  for (std::size_t i = 0; i < lidars->size(); ++i) {
    std::string const& name = (*lidars)[i];
    std::string const position = "position " + std::to_string(i + 1);
    if (name.empty()) {
      throw std::runtime_error("The LiDAR list has an empty name at " + position);
    }
    if (name == WORLD_FRAME) {
      throw std::runtime_error("The LiDAR name " + quoted(name) + " at " + position +
                               " is the name of the world frame");
    }
    auto const earlier = std::find(lidars->begin(), lidars->begin() + i, name);
    if (earlier != lidars->begin() + i) {
      throw std::runtime_error("The LiDAR list names " + quoted(name) + " twice, at position " +
                               std::to_string(earlier - lidars->begin() + 1) + " and " + position);
    }
  }
}

/// The "Transforms" list of the output, emptied of its records unless the
/// template's records are kept.
ptree& transformList(ptree& output, PellamSelection const& selection) {
  boost::optional<ptree&> root = output.get_child_optional(ptree::path_type(ROOT_TAG));
  if (!root) {
    if (!selection.addMissingPlaces) {
      throw ptree_bad_path("The template has no place for the transform list",
                           ptree::path_type(ROOT_TAG));
    }
    root = output.add_child(ptree::path_type(ROOT_TAG), ptree());
  }
  auto found = root->find("Transforms");
  ptree& list = found == root->not_found() ? root->add_child("Transforms", ptree()) : found->second;
  if (!selection.keepTemplateTransforms) {
    list.erase("Transform");
  }
  return list;
}

}  // namespace

void convertPellam(ptree const& calibration, PellamSelection const& selection, ptree& output,
                   Logger const& logger) {
  checkLidarList(selection.lidars);
  ptree const& root = child(calibration, "PellamCalibration", "");
  PellamVersion const version = versionOf(root);
  std::map<std::string, Eigen::Isometry3d> const placements = lidarPlacements(root);

  // The world origin as placed in the calibration's coordinates.
  Eigen::Isometry3d world;
  if (selection.worldLidar) {
    auto const found = placements.find(*selection.worldLidar);
    if (found == placements.end()) {
      throw std::runtime_error("The world LiDAR " + quoted(*selection.worldLidar) +
                               " is not in the Pellam calibration");
    }
    world = found->second;
  } else if (version.hasWorldOrigin) {
    world = placementOf(child(root, "WorldOrigin", "PellamCalibration"), "WorldOrigin",
                        "PellamCalibration.WorldOrigin");
  } else {
    throw std::runtime_error("The Pellam calibration version " + quoted(version.name) +
                             " is older than Kestrin and places its LiDARs only relative to one "
                             "another: a world LiDAR must be named");
  }

  ptree& list = transformList(output, selection);
  for (std::string const& name : *selection.lidars) {
    auto const found = placements.find(name);
    if (found == placements.end()) {
      throw std::runtime_error("The LiDAR " + quoted(name) + " is not in the Pellam calibration");
    }
    // World coordinates into the calibration's, then into the LiDAR's own.
    appendTransformRecord(list, WORLD_FRAME, name, found->second.inverse() * world);
    logger.debugStream() << "Pellam transform " << WORLD_FRAME << " -> " << name << " written";
  }
}

}  // namespace ostrel::tarvio::detail
