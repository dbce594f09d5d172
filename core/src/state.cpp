#include <ostrel/core/state.h>

#include <cmath>
#include <limits>

#include "footprint.h"

namespace ostrel::core {

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

float headingOf(const State& state) { return state.heading ? state.heading->mean(0) : 0.0f; }

}  // namespace

Eigen::Matrix<float, 2, 2> State::rotationMatrix() const {
  if (!heading) {
    return Eigen::Matrix<float, 2, 2>::Identity();
  }
  return detail::rotationBy(heading->mean(0));
}

Eigen::Matrix<float, 2, 1> State::centroid2D() const {
  return detail::centreOf(*this, rotationMatrix());
}

Eigen::Matrix<float, 3, 1> State::centroid() const {
  if (!position) {
    return {NaN, NaN, NaN};
  }
  Eigen::Matrix<float, 2, 1> const centre = centroid2D();
  float const z = dimensions ? static_cast<float>(static_cast<double>(position->mean(2)) -
                                                  static_cast<double>(dimensions->anchor.z))
                             : position->mean(2);
  return {centre.x(), centre.y(), z};
}

boost::optional<Gaussian<float, 2>> State::convertTo2D(
    const boost::optional<Gaussian<float, 3>>& estimate) {
  if (!estimate) {
    return boost::none;
  }
  return Gaussian<float, 2>{estimate->mean.head<2>(), estimate->covariance.topLeftCorner<2, 2>()};
}

boost::optional<Gaussian<float, 2>> State::position2D() const { return convertTo2D(position); }

boost::optional<Gaussian<float, 2>> State::velocity2D() const { return convertTo2D(velocity); }

boost::optional<Gaussian<float, 2>> State::acceleration2D() const {
  return convertTo2D(acceleration);
}

float State::velocityHeading() const {
  if (!velocity) {
    return 0.0f;
  }
  return std::atan2(velocity->mean(1), velocity->mean(0));
}

float State::relativeHeading(const State& other) const {
  constexpr double pi = 3.141592653589793;
  constexpr double twoPi = 6.283185307179586;
  float const difference = headingOf(*this) - headingOf(other);
  // Each step is rounded to float, so the result matches a float heading.
  float wrapped = static_cast<float>(std::fmod(static_cast<double>(difference) + pi, twoPi));
  if (wrapped < 0.0f) {
    wrapped = static_cast<float>(static_cast<double>(wrapped) + twoPi);
  }
  return static_cast<float>(static_cast<double>(wrapped) - pi);
}

float State::getSquaredDistance(const State& a, const State& b) {
  if (!a.position || !b.position) {
    return NaN;
  }
  float const dx = a.position->mean(0) - b.position->mean(0);
  float const dy = a.position->mean(1) - b.position->mean(1);
  float const dz = a.position->mean(2) - b.position->mean(2);
  return dx * dx + dy * dy + dz * dz;
}

Corners2D State::getCorners2D() const { return detail::toCornerList(detail::cornersOf(*this)); }

FootprintPolygon State::getBoostPolygon() const {
  return detail::toPolygon(detail::cornersOf(*this));
}

}  // namespace ostrel::core
