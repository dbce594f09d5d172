#pragma once

#include <boost/property_tree/ptree.hpp>

#include <ostrel/settings/export.h>

namespace ostrel::utils {

/// Merges `overlay` into `base`. A leaf of `overlay` replaces the value at the
/// same path (an element with children replaces it only when it carries text
/// itself); the k-th child called N of an `overlay` node merges into the k-th
/// child called N of the matching `base` node, and is appended when `base`
/// has fewer such children.
OSTREL_SETTINGS_MANAGER_EXPORT void mergeSettingsTree(boost::property_tree::ptree& base,
                                                      boost::property_tree::ptree const& overlay);

}  // namespace ostrel::utils
