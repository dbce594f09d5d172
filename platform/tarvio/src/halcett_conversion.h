#pragma once

#include <boost/property_tree/ptree.hpp>

#include <ostrel/logging/logger.h>

namespace ostrel::tarvio::detail {

/// Writes the understood values of the Halcett INI tree `halcett` into
/// `output` (a Tarvio settings tree) at their places.
/// @throws boost::property_tree::ptree_bad_path naming the setting or place;
///         `output` may then hold some converted values.
void convertHalcett(boost::property_tree::ptree const& halcett, boost::property_tree::ptree& output,
                    bool addMissingPlaces, Logger const& logger);

}  // namespace ostrel::tarvio::detail
