#include <ostrel/core/transform_manager.h>

#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <map>

#include <ostrel/logging/log_level.h>

#include "transform_history.h"

namespace ostrel {

namespace transform_detail {

void recordPose(std::map<double, Pose>& history, Pose const& pose, std::int64_t time) {
  double const key = static_cast<double>(time);
  Pose& entry = history[key];
  entry = pose;
  if (time != 0) {
    entry.timestamp = time;
  }
  // Measured from the key just recorded, not the newest key: a late entry
  // trims nothing that a newer entry would keep.
  while (history.size() > 2 && key > history.begin()->first + TransformManager::HISTORY_WINDOW) {
    history.erase(history.begin());
  }
}

std::int64_t truncateToInt64(double value) {
  // 2^63 is exactly representable; every double below it truncates into range.
  constexpr double LIMIT = 9223372036854775808.0;
  if (std::isnan(value)) {
    return 0;
  }
  if (value >= LIMIT) {
    return std::numeric_limits<std::int64_t>::max();
  }
  if (value <= -LIMIT) {
    return std::numeric_limits<std::int64_t>::min();
  }
  return static_cast<std::int64_t>(value);
}

}  // namespace transform_detail

namespace {

using transform_detail::truncateToInt64;

/// before + (after − before)·fraction, the step formed in double precision so
/// that nanosecond stamps of current dates (about 1.7e18) stay exact to a unit.
std::int64_t blendTimestamps(std::int64_t before, std::int64_t after, float fraction) {
  std::int64_t difference = 0;
  double step = 0.0;
  if (__builtin_sub_overflow(after, before, &difference)) {
    step = (static_cast<double>(after) - static_cast<double>(before)) * fraction;
  } else {
    step = static_cast<double>(difference) * fraction;
  }
  std::int64_t result = 0;
  if (__builtin_add_overflow(before, truncateToInt64(step), &result)) {
    return step > 0 ? std::numeric_limits<std::int64_t>::max()
                    : std::numeric_limits<std::int64_t>::min();
  }
  return result;
}

}  // namespace

int TransformManager::getTransformFromPoseMap(std::map<double, Pose> const& poses, long time,
                                              InterpolationMethod method, Pose& pose) const {
  pose = Pose();
  if (poses.empty()) {
    return NotFound;
  }
  if (method == MostRecent || (poses.size() == 1 && poses.begin()->first == 0.0)) {
    pose = poses.rbegin()->second;
    return Success;
  }

  double const t = static_cast<double>(time);
  auto after = poses.upper_bound(t);
  if (after != poses.begin() && std::prev(after)->first == t) {
    pose = std::prev(after)->second;
    return Success;
  }
  if (poses.begin()->first > t) {
    return OutOfRange;
  }
  if (after == poses.end()) {
    after = std::prev(poses.end());
  }
  if (t > after->first + HISTORY_WINDOW) {
    pose = after->second;
    return OutOfRange;
  }
  auto const before = after == poses.begin() ? after : std::prev(after);

  Logger const& logger = getLogger();
  if (logger.isEnabled(LOG_TRACE)) {
    logger.traceStream() << "Searching for pose with time " << time;
    logger.traceStream() << "Pose before                  " << truncateToInt64(before->first);
    logger.traceStream() << "Pose after                   " << truncateToInt64(after->first);
  }

  if (before->first == after->first) {
    pose = after->second;
    return Success;
  }
  double const elapsed = static_cast<double>(truncateToInt64(t - before->first));
  double const span = static_cast<double>(truncateToInt64(after->first - before->first));
  double const fraction = elapsed / span;
  if (method == Interpolated && fraction > 1.0) {
    logger.warn(
        "Transform time out of range using Interpolated.  Likely sensor data has come in before "
        "INS data. Using extrapolated or MostRecent may be better");
    return OutOfRange;
  }
  pose = interpolateTransform(before->second, after->second, static_cast<float>(fraction));
  return Success;
}

Pose TransformManager::interpolateTransform(Pose const& before, Pose const& after,
                                            float fraction) const {
  Pose blended;
  blended.position = before.position * (1.0f - fraction) + after.position * fraction;
  // Eigen's slerp takes the shorter arc and falls back to linear weights when
  // the two orientations are (anti)parallel; it does not normalise.
  blended.orientation = before.orientation.slerp(fraction, after.orientation);
  blended.timestamp = blendTimestamps(before.timestamp, after.timestamp, fraction);
  return blended;
}

}  // namespace ostrel
