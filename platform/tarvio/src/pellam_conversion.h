#pragma once

#include <boost/property_tree/ptree.hpp>

#include <optional>
#include <string>
#include <vector>

#include <ostrel/logging/logger.h>

namespace ostrel::tarvio::detail {

/// What the Pellam conversion is asked for besides the calibration itself.
struct PellamSelection {
  std::optional<std::vector<std::string>> lidars;  // in output order
  std::optional<std::string> worldLidar;
  bool addMissingPlaces = false;
  bool keepTemplateTransforms = false;
};

/// Writes into `output` (a Tarvio settings tree) one transform record from
/// "Global" to each selected LiDAR of the Pellam calibration tree
/// `calibration`, under "TarvioSettings"/"Transforms".
/// @throws boost::property_tree::ptree_bad_path or std::runtime_error naming
///         the cause; `output` may then be partly changed.
void convertPellam(boost::property_tree::ptree const& calibration, PellamSelection const& selection,
                   boost::property_tree::ptree& output, Logger const& logger);

}  // namespace ostrel::tarvio::detail
