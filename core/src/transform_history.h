#pragma once

#include <cstdint>
#include <map>

#include <ostrel/core/pose.h>

// Helpers shared by the transform manager's source units; not exported.
namespace ostrel::transform_detail {

/// Records `pose` in `history` under key `time` (overwriting an entry of the
/// same key), stamps it with `time` unless `time` is 0, then drops the oldest
/// entries lying more than the window before `time`, keeping at least two.
void recordPose(std::map<double, Pose>& history, Pose const& pose, std::int64_t time);

/// `value` truncated toward zero, saturated at the limits of a signed 64-bit
/// integer (a plain cast of an out-of-range double is undefined). NaN gives 0.
std::int64_t truncateToInt64(double value);

}  // namespace ostrel::transform_detail
