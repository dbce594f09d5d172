#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include <boost/program_options.hpp>

#include <ostrel/core/options_parser.h>
#include <ostrel/settings/settings_manager.h>

namespace cloud_pipeline {

/// What the example runs: frame count, sensor shape, sensor name and the
/// PCD file written at the end.
struct PipelineSettings {
  std::size_t frames = 5;
  std::size_t rings = 16;
  std::size_t columns = 360;
  std::string sensor = "north";
  std::string output = "cloud_pipeline.pcd";
};

/// The example's own command-line options. Values given on the command line
/// win over the "CloudPipeline" section of the settings, which wins over the
/// built-in defaults.
class PipelineOptions : public ostrel::modules::OptionsParser {
 public:
  PipelineOptions();

  boost::program_options::options_description const& getOptions() override;
  boost::program_options::options_description const& getHiddenOptions() override;
  boost::program_options::positional_options_description const& getPositionalOptions() override;
  /// @throws OptionsParser::InvalidInputError for a count out of range.
  void processOptions(boost::program_options::variables_map const& variables) override;

  /// The settings: the command line over the "CloudPipeline" section at the
  /// store's current node over the defaults.
  /// @throws OptionsParser::InvalidInputError for a count out of range.
  /// @throws boost::property_tree::ptree_bad_data for an unreadable number.
  PipelineSettings resolve(ostrel::SettingsManager const& settings) const;

 private:
  boost::program_options::options_description options_{"Cloud pipeline options"};
  boost::program_options::options_description hidden_;
  boost::program_options::positional_options_description positional_;
  std::optional<long> frames_;
  std::optional<long> rings_;
  std::optional<long> columns_;
  std::optional<std::string> sensor_;
  std::optional<std::string> output_;
};

}  // namespace cloud_pipeline
