#pragma once

#include <boost/property_tree/ptree.hpp>

#include <string>

namespace ostrel::settings_converter {

/// Reads the INI file `fileName` into `tree` in the global locale.
/// @throws boost::property_tree::ini_parser_error naming the file, when it
///         cannot be opened or read (a folder included) or is not valid INI.
void readIniFile(std::string const& fileName, boost::property_tree::ptree& tree);

}  // namespace ostrel::settings_converter
