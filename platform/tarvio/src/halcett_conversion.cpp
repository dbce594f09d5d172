#include "halcett_conversion.h"

#include <boost/algorithm/string/case_conv.hpp>
#include <boost/math/constants/constants.hpp>
#include <boost/property_tree/exceptions.hpp>

#include <array>
#include <optional>
#include <string>

#include "settings_text.h"

namespace ostrel::tarvio::detail {

namespace {

using boost::property_tree::ptree;
using boost::property_tree::ptree_bad_path;

enum class ValueKind {
  PositiveNumber,         // > 0, written as is
  NonNegativeNumber,      // >= 0, written as is
  Number,                 // any finite number, written as is
  DegreesToRadians,       // degrees in, radians out
  MillisecondsToSeconds,  // >= 0 milliseconds in, seconds out
  Count,                  // whole number >= 1
  Port,                   // whole number 1 to 65535
  YesNo,                  // yes/no, true/false, on/off, 1/0 in; "true"/"false" out
  Text,                   // any non-empty text, written as is
};

struct HalcettSetting {
  char const* section;
  char const* key;
  bool required;
  ValueKind kind;
  char const* place;  // in the Tarvio settings tree
};

/// Every Halcett setting the conversion understands; other keys are ignored.
constexpr std::array<HalcettSetting, 10> HALCETT_SETTINGS{{
    {"Sensor", "FrameRate", true, ValueKind::PositiveNumber, "TarvioSettings.Input.frameRate"},
    {"Sensor", "MinRange", true, ValueKind::NonNegativeNumber, "TarvioSettings.Input.minRange"},
    {"Sensor", "MaxRange", true, ValueKind::PositiveNumber, "TarvioSettings.Input.maxRange"},
    {"Ground", "Height", false, ValueKind::Number, "TarvioSettings.Ground.height"},
    {"Ground", "MaxSlope", false, ValueKind::DegreesToRadians, "TarvioSettings.Ground.maxSlope"},
    {"Tracking", "CoastTime", false, ValueKind::MillisecondsToSeconds,
     "TarvioSettings.Tracking.coastTime"},
    {"Tracking", "MinPoints", false, ValueKind::Count, "TarvioSettings.Tracking.minClusterPoints"},
    {"Tracking", "Classify", false, ValueKind::YesNo, "TarvioSettings.Tracking.classifyObjects"},
    {"Output", "Address", false, ValueKind::Text, "TarvioSettings.Output.address"},
    {"Output", "Port", false, ValueKind::Port, "TarvioSettings.Output.port"},
}};

ptree::path_type settingPath(HalcettSetting const& setting) {
  return ptree::path_type(std::string(setting.section) + "." + setting.key);
}

[[noreturn]] void refuse(HalcettSetting const& setting, std::string const& value,
                         char const* expected) {
  throw ptree_bad_path(std::string("Halcett setting is not ") + expected + ": \"" + value + "\"",
                       settingPath(setting));
}

/// The raw text of a setting, looked up without path parsing so that section
/// and key names are taken literally.
std::optional<std::string> rawValue(ptree const& halcett, HalcettSetting const& setting) {
  auto const section = halcett.find(setting.section);
  if (section == halcett.not_found()) return std::nullopt;
  auto const key = section->second.find(setting.key);
  if (key == section->second.not_found()) return std::nullopt;
  return key->second.data();
}

double number(HalcettSetting const& setting, std::string const& text) {
  std::optional<double> const value = parseNumber(text);
  if (!value) refuse(setting, text, "a number");
  return *value;
}

long long wholeNumber(HalcettSetting const& setting, std::string const& text, long long low,
                      long long high, char const* expected) {
  std::optional<long long> const value = parseInteger(text);
  if (!value || *value < low || *value > high) refuse(setting, text, expected);
  return *value;
}

/// The Tarvio text of one Halcett value.
std::string converted(HalcettSetting const& setting, std::string const& text) {
  switch (setting.kind) {
    case ValueKind::PositiveNumber: {
      double const value = number(setting, text);
      if (!(value > 0)) refuse(setting, text, "a number greater than 0");
      return formatNumber(value);
    }
    case ValueKind::NonNegativeNumber:
    case ValueKind::MillisecondsToSeconds: {
      double const value = number(setting, text);
      if (value < 0) refuse(setting, text, "a number of at least 0");
      return formatNumber(setting.kind == ValueKind::MillisecondsToSeconds ? value / 1000.0
                                                                           : value);
    }
    case ValueKind::Number:
      return formatNumber(number(setting, text));
    case ValueKind::DegreesToRadians:
      return formatNumber(number(setting, text) * boost::math::double_constants::pi / 180.0);
    case ValueKind::Count:
      return formatInteger(wholeNumber(setting, text, 1, 1'000'000'000, "a whole number from 1"));
    case ValueKind::Port:
      return formatInteger(wholeNumber(setting, text, 1, 65535, "a port number from 1 to 65535"));
    case ValueKind::YesNo: {
      std::string const word = boost::algorithm::to_lower_copy(text);
      if (word == "yes" || word == "true" || word == "on" || word == "1") return "true";
      if (word == "no" || word == "false" || word == "off" || word == "0") return "false";
      refuse(setting, text, "yes or no");
    }
    case ValueKind::Text:
      if (text.empty()) refuse(setting, text, "a non-empty text");
      return text;
  }
  refuse(setting, text, "understood");
}

}  // namespace

void convertHalcett(ptree const& halcett, ptree& output, bool addMissingPlaces,
                    Logger const& logger) {
  std::optional<double> minRange;
  for (HalcettSetting const& setting : HALCETT_SETTINGS) {
    std::optional<std::string> const text = rawValue(halcett, setting);
    if (!text) {
      if (setting.required) {
        throw ptree_bad_path("Required Halcett setting is missing", settingPath(setting));
      }
      continue;
    }
    std::string const value = converted(setting, *text);

    // Ranges: the far limit must lie beyond the near one.
    std::string const key = setting.key;
    if (key == "MinRange") minRange = parseNumber(value);
    if (key == "MaxRange" && minRange && !(*parseNumber(value) > *minRange)) {
      refuse(setting, *text, "greater than Sensor.MinRange");
    }

    ptree::path_type const place(setting.place);
    if (boost::optional<ptree&> node = output.get_child_optional(place)) {
      node->data() = value;
    } else if (addMissingPlaces) {
      output.put(place, value);
    } else {
      throw ptree_bad_path(
          "The template has no place for Halcett setting " + settingPath(setting).dump(), place);
    }
    logger.debugStream() << "Halcett " << settingPath(setting).dump() << " = " << *text << " -> "
                         << setting.place << " = " << value;
  }
}

}  // namespace ostrel::tarvio::detail
