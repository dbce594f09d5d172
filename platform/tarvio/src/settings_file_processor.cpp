#include <ostrel/tarvio/settings_file_processor.h>

#include <stdexcept>
#include <utility>

#include "halcett_conversion.h"
#include "pellam_conversion.h"

namespace ostrel::tarvio {

using boost::property_tree::ptree;

SettingsFileProcessor::SettingsFileProcessor(ptree const& templateSettings,
                                             boost::optional<ptree> halcettSettings,
                                             boost::optional<ptree> pellamCalibration,
                                             bool addMissingPlaces, bool keepTemplateTransforms)
    : LoggedComponent("SettingsFileProcessor"),
      output_(templateSettings),
      halcett_(std::move(halcettSettings)),
      pellam_(std::move(pellamCalibration)),
      add_missing_places_(addMissingPlaces),
      keep_template_transforms_(keepTemplateTransforms) {}

void SettingsFileProcessor::setLidarsContainer(std::vector<std::string> lidars) {
  lidars_ = std::move(lidars);
}

void SettingsFileProcessor::setWorldLidar(std::string worldLidar) {
  world_lidar_ = std::move(worldLidar);
}

void SettingsFileProcessor::convertHalcettSettings() {
  if (!halcett_) {
    throw std::logic_error("SettingsFileProcessor: no Halcett settings were given to convert");
  }
  ptree converted = output_;
  detail::convertHalcett(*halcett_, converted, add_missing_places_, getLogger());
  output_.swap(converted);
}

void SettingsFileProcessor::convertPellamCalibrationSettings() {
  if (!pellam_) {
    throw std::logic_error("SettingsFileProcessor: no Pellam calibration was given to convert");
  }
  detail::PellamSelection const selection{lidars_, world_lidar_, add_missing_places_,
                                          keep_template_transforms_};
  ptree converted = output_;
  detail::convertPellam(*pellam_, selection, converted, getLogger());
  output_.swap(converted);
}

ptree const& SettingsFileProcessor::getOutputSettings() const { return output_; }

}  // namespace ostrel::tarvio
