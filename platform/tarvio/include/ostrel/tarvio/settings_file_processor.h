#pragma once

#include <boost/optional.hpp>
#include <boost/property_tree/ptree.hpp>

#include <optional>
#include <string>
#include <vector>

#include <ostrel/logging/logged_component.h>
#include <ostrel/tarvio/export.h>

namespace ostrel::tarvio {

/// Turns the settings of two legacy products, a Halcett settings INI file and
/// a Pellam calibration XML file, into perception-server settings by
/// overlaying the values it understands on a Tarvio template tree. The
/// formats it reads and the places it writes are described in
/// docs/settings-converter.md.
///
/// Every conversion works on a copy of the output and replaces the output only
/// when it succeeds, so a conversion that throws leaves the output as it was.
/// Records go to the logger "SettingsFileProcessor" at debug level.
class OSTREL_TARVIO_EXPORT SettingsFileProcessor : public LoggedComponent {
 public:
  /// Keeps its own copy of `templateSettings`, which starts the output.
  /// `halcettSettings` is the tree of a Halcett INI file and
  /// `pellamCalibration` the tree of a Pellam calibration XML file, each
  /// empty when there is none.
  /// `addMissingPlaces`: when true, a converted value whose place the
  /// template lacks (a Halcett value's node, or the "TarvioSettings" root that
  /// holds the transform list) is created there; when false it is refused.
  /// `keepTemplateTransforms`: when true, converted transforms are appended to
  /// the template's transform list; when false they replace its records.
  SettingsFileProcessor(boost::property_tree::ptree const& templateSettings,
                        boost::optional<boost::property_tree::ptree> halcettSettings,
                        boost::optional<boost::property_tree::ptree> pellamCalibration,
                        bool addMissingPlaces, bool keepTemplateTransforms);

  /// Names the LiDARs whose transforms the Pellam conversion writes, in the
  /// order they are written. The names are checked by the conversion.
  void setLidarsContainer(std::vector<std::string> lidars);

  /// Names the LiDAR whose origin is the world origin. Needed for Pellam files
  /// older than "Kestrin"; for later files it takes the place of the file's
  /// own world origin.
  void setWorldLidar(std::string worldLidar);

  /// Writes the understood Halcett values into the output at the places the
  /// template defines, converted to the Tarvio units.
  /// @throws boost::property_tree::ptree_bad_path naming the setting when a
  ///         required key is missing, a value is unreadable or out of range, or
  ///         (without `addMissingPlaces`) the template has no place for it.
  /// @throws std::logic_error when no Halcett settings were given.
  void convertHalcettSettings();

  /// Writes one transform record from the world frame "Global" to each LiDAR
  /// of the list, in list order, under "TarvioSettings"/"Transforms".
  /// @throws boost::property_tree::ptree_bad_path when a node the calibration
  ///         needs is missing (or the template has no "TarvioSettings" root).
  /// @throws std::runtime_error naming the cause when the list is missing, has
  ///         an empty, repeated or reserved name, or names a LiDAR absent from
  ///         the calibration; when the version is unknown; when a file older
  ///         than "Kestrin" comes without a world LiDAR; or when a number is
  ///         unreadable.
  /// @throws std::logic_error when no Pellam calibration was given.
  void convertPellamCalibrationSettings();

  /// The template overlaid with every conversion done so far.
  boost::property_tree::ptree const& getOutputSettings() const;

 private:
  boost::property_tree::ptree output_;
  boost::optional<boost::property_tree::ptree> halcett_;
  boost::optional<boost::property_tree::ptree> pellam_;
  bool add_missing_places_;
  bool keep_template_transforms_;
  std::optional<std::vector<std::string>> lidars_;
  std::optional<std::string> world_lidar_;
};

}  // namespace ostrel::tarvio
