#include "conversion_run.h"

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <boost/optional.hpp>
#include <boost/program_options/errors.hpp>
#include <boost/program_options/parsers.hpp>
#include <boost/program_options/positional_options.hpp>
#include <boost/program_options/variables_map.hpp>
#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/ini_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <string>
#include <vector>

#include <ostrel/settings/xml_file.h>
#include <ostrel/tarvio/settings_file_processor.h>

#include "converter_options.h"
#include "ini_file.h"

namespace ostrel::settings_converter {

namespace {

namespace po = boost::program_options;
using boost::property_tree::ptree;

/// The lidars option split at commas; a run of commas is one separator.
std::vector<std::string> lidarNames(std::string const& list) {
  std::vector<std::string> names;
  boost::split(names, list, boost::is_any_of(","), boost::token_compress_on);
  return names;
}

}  // namespace

int runSettingsConverter(int argc, char const* const* argv, std::ostream& out, std::ostream& err) {
  std::string const product = PRODUCT_NAME;
  ConverterOptions values;
  po::options_description const group = makeOptionGroup(values);

  po::variables_map options;
  try {
    // An empty positional description makes a stray word an options error;
    // without one the options library would drop it without a word.
    po::positional_options_description const noPositionalArguments;
    po::store(
        po::command_line_parser(argc, argv).options(group).positional(noPositionalArguments).run(),
        options);
    if (options.count("help") != 0) {
      out << group;
      return 0;
    }
    po::notify(options);
  } catch (po::error const& error) {
    err << "Error: " << error.what() << std::endl << std::endl << group;
    return FAILURE_STATUS;
  }

  bool const haveHalcett = options.count("halcett-settings") != 0;
  bool const havePellam = options.count("pellam-calibration-file") != 0;
  bool const haveLidars = options.count("lidars-to-use") != 0;
  if (!haveHalcett && !havePellam) {
    err << "Error: Neither a Halcett settings file nor a Pellam calibration file was provided.\n"
           "At least one must be provided in order for settings conversion to take place.\n"
        << std::endl
        << group;
    return FAILURE_STATUS;
  }

  boost::optional<ptree> halcett;
  if (haveHalcett) {
    halcett.emplace();
    try {
      readIniFile(values.halcettFile, *halcett);
    } catch (boost::property_tree::file_parser_error const&) {
      err << "\nUnable to parse Halcett settings file. Is it in the correct format?\n" << std::endl;
      return FAILURE_STATUS;
    }
  }

  ptree templateSettings;
  try {
    utils::readXmlFile(values.templateFile, templateSettings,
                       boost::property_tree::xml_parser::trim_whitespace);
  } catch (boost::property_tree::file_parser_error const&) {
    err << "\nUnable to parse " << product << " template file. Is it in the correct format?\n"
        << std::endl;
    return FAILURE_STATUS;
  }

  boost::optional<ptree> pellam;
  if (havePellam) {
    if (!haveLidars) {
      err << "Error: When using a Pellam calibration file, '--lidars-to-use' is required.\n"
          << std::endl
          << group;
      return FAILURE_STATUS;
    }
    pellam.emplace();
    try {
      utils::readXmlFile(values.pellamFile, *pellam,
                         boost::property_tree::xml_parser::trim_whitespace);
    } catch (boost::property_tree::file_parser_error const&) {
      err << "\nUnable to parse Pellam calibration file. Is it in the correct format?\n"
          << std::endl;
      return FAILURE_STATUS;
    }
  }

  out << "Settings Converter Tool beginning conversion.\n" << std::endl;

  tarvio::SettingsFileProcessor processor(templateSettings, halcett, pellam, false, false);
  if (haveLidars) {
    processor.setLidarsContainer(lidarNames(values.lidars));
  }
  if (options.count("world-lidar") != 0) {
    processor.setWorldLidar(values.worldLidar);
  }

  if (haveHalcett) {
    out << "Converting Halcett settings to " << product << " settings." << std::endl;
    try {
      processor.convertHalcettSettings();
    } catch (boost::property_tree::ptree_bad_path const& error) {
      err << "\nUnable to process input when converting Halcett settings:\n"
          << error.what() << std::endl;
      return FAILURE_STATUS;
    }
  }

  if (pellam) {
    out << "Converting Pellam calibration info to " << product << " settings." << std::endl;
    try {
      processor.convertPellamCalibrationSettings();
    } catch (boost::property_tree::ptree_bad_path const& error) {
      err << "\nUnable to process input when converting Pellam calibration data:\n"
          << error.what() << std::endl;
      return FAILURE_STATUS;
    } catch (std::runtime_error const& error) {
      err << error.what() << std::endl;
      return FAILURE_STATUS;
    }
  }

  try {
    utils::writeXmlFile(values.outputFile, processor.getOutputSettings());
  } catch (boost::property_tree::file_parser_error const& error) {
    err << "\nUnable to write " << product << " xml file: " << error.what() << std::endl;
    return FAILURE_STATUS;
  }

  out << "Successfully converted input data. New " << product << " settings file written to:\n\t"
      << values.outputFile << "\n\n";
  return 0;
}

}  // namespace ostrel::settings_converter
