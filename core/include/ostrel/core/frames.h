#pragma once

#include <string>

#include <ostrel/core/export.h>

/// Names for the frames most applications have. The transform manager itself
/// accepts any name; these keep the body, world and sensor-origin frames of
/// different components under one spelling.
namespace ostrel::frames {

/// The vehicle or rig body, "Body".
OSTREL_CORE_EXPORT extern std::string const BODY_FRAME;
/// The world frame, "Global".
OSTREL_CORE_EXPORT extern std::string const GLOBAL_FRAME;
/// The origin that sensor placements are given against, "Sensor".
OSTREL_CORE_EXPORT extern std::string const SENSOR_ORIGIN_FRAME;

}  // namespace ostrel::frames
