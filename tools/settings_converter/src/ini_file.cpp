#include "ini_file.h"

#include <boost/property_tree/ini_parser.hpp>

#include <filesystem>
#include <fstream>

namespace ostrel::settings_converter {

void readIniFile(std::string const& fileName, boost::property_tree::ptree& tree) {
  using boost::property_tree::ini_parser_error;
  // A folder opens like a file on Linux and would read as an empty INI.
  std::error_code ignored;
  std::ifstream in;
  if (!std::filesystem::is_directory(fileName, ignored)) {
    in.open(fileName);
  }
  if (!in.is_open()) {
    throw ini_parser_error("cannot open file", fileName, 0);
  }
  try {
    boost::property_tree::read_ini(in, tree);
  } catch (ini_parser_error const& error) {
    throw ini_parser_error(error.message(), fileName, error.line());
  }
  if (in.bad()) {
    throw ini_parser_error("read error", fileName, 0);
  }
}

}  // namespace ostrel::settings_converter
