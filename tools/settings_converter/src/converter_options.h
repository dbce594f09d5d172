#pragma once

#include <boost/program_options/options_description.hpp>

#include <string>

namespace ostrel::settings_converter {

/// Name of the product whose settings the program writes.
inline constexpr char const* PRODUCT_NAME = "Tarvio";

/// The option values, filled in when the parsed command line is notified.
struct ConverterOptions {
  std::string templateFile;
  std::string outputFile;
  std::string halcettFile;
  std::string pellamFile;
  std::string lidars;
  std::string worldLidar;
};

/// The program's option group with its help caption; values are stored into
/// `values`, which must outlive the group.
boost::program_options::options_description makeOptionGroup(ConverterOptions& values);

}  // namespace ostrel::settings_converter
