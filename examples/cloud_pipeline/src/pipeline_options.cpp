#include "pipeline_options.h"

#include <string>

namespace cloud_pipeline {
namespace po = boost::program_options;
namespace {

constexpr long MAX_FRAMES = 100000;
constexpr long MAX_RINGS = 1024;
constexpr long MAX_COLUMNS = 36000;

std::size_t checkedCount(long value, long maximum, char const* what) {
  if (value < 1 || value > maximum) {
    std::string const text =
        std::string(what) + " must lie between 1 and " + std::to_string(maximum);
    throw ostrel::modules::OptionsParser::InvalidInputError(text.c_str());
  }
  return static_cast<std::size_t>(value);
}

template <class T>
T pick(std::optional<T> const& given, ostrel::SettingsManager const& settings,
       std::string const& key, T fallback) {
  if (given) return *given;
  std::string const path = "CloudPipeline." + key;
  if (settings.exists(path)) return settings.get<T>(path);
  return fallback;
}

}  // namespace

PipelineOptions::PipelineOptions() {
  options_.add_options()                                               //
      ("frames", po::value<long>(), "Number of clouds to produce")     //
      ("rings", po::value<long>(), "Rings (rows) of a cloud")          //
      ("columns", po::value<long>(), "Columns of a cloud")             //
      ("sensor", po::value<std::string>(), "Name of the LiDAR frame")  //
      ("output", po::value<std::string>(), "PCD file to write the last coloured cloud to");
}

po::options_description const& PipelineOptions::getOptions() { return options_; }
po::options_description const& PipelineOptions::getHiddenOptions() { return hidden_; }
po::positional_options_description const& PipelineOptions::getPositionalOptions() {
  return positional_;
}

void PipelineOptions::processOptions(po::variables_map const& variables) {
  if (variables.count("frames")) frames_ = variables["frames"].as<long>();
  if (variables.count("rings")) rings_ = variables["rings"].as<long>();
  if (variables.count("columns")) columns_ = variables["columns"].as<long>();
  if (variables.count("sensor")) sensor_ = variables["sensor"].as<std::string>();
  if (variables.count("output")) output_ = variables["output"].as<std::string>();
  if (frames_) checkedCount(*frames_, MAX_FRAMES, "--frames");
  if (rings_) checkedCount(*rings_, MAX_RINGS, "--rings");
  if (columns_) checkedCount(*columns_, MAX_COLUMNS, "--columns");
}

PipelineSettings PipelineOptions::resolve(ostrel::SettingsManager const& settings) const {
  PipelineSettings const defaults;
  PipelineSettings result;
  result.frames = checkedCount(
      pick(frames_, settings, "frames", static_cast<long>(defaults.frames)), MAX_FRAMES, "frames");
  result.rings = checkedCount(pick(rings_, settings, "rings", static_cast<long>(defaults.rings)),
                              MAX_RINGS, "rings");
  result.columns =
      checkedCount(pick(columns_, settings, "columns", static_cast<long>(defaults.columns)),
                   MAX_COLUMNS, "columns");
  result.sensor = pick(sensor_, settings, "sensor", defaults.sensor);
  result.output = pick(output_, settings, "output", defaults.output);
  return result;
}

}  // namespace cloud_pipeline
