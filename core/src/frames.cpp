#include <ostrel/core/frames.h>

namespace ostrel::frames {

std::string const BODY_FRAME = "Body";
std::string const GLOBAL_FRAME = "Global";
std::string const SENSOR_ORIGIN_FRAME = "Sensor";

}  // namespace ostrel::frames
