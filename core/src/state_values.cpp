#include <ostrel/core/state.h>

#include <array>
#include <cstddef>

#include <ostrel/otl/almost_equal.h>

#include "footprint.h"

namespace ostrel::core {

namespace {

using Fields = std::array<float, 20>;

// The values of a state in field order; an absent component gives zeros so
// that a snapshot never carries whatever its optional's storage holds.
Fields fieldsOf(const State& state) {
  Fields fields{};
  auto const put3 = [&fields](std::size_t first, const Eigen::Matrix<float, 3, 1>& v) {
    fields[first] = v(0);
    fields[first + 1] = v(1);
    fields[first + 2] = v(2);
  };
  if (state.position) put3(0, state.position->mean);
  if (state.velocity) put3(3, state.velocity->mean);
  if (state.acceleration) put3(6, state.acceleration->mean);
  put3(9, state.centroid());
  if (state.dimensions) {
    fields[12] = state.dimensions->length;
    fields[13] = state.dimensions->width;
    fields[14] = state.dimensions->height;
    fields[15] = state.dimensions->anchor.x;
    fields[16] = state.dimensions->anchor.y;
    fields[17] = state.dimensions->anchor.z;
  }
  if (state.heading) fields[18] = state.heading->mean(0);
  if (state.headingRate) fields[19] = state.headingRate->mean(0);
  return fields;
}

Fields fieldsOf(const StateValues& v) {
  return {v.x,      v.y,       v.z,         v.vx,        v.vy,        v.vz,         v.ax,
          v.ay,     v.az,      v.centroidX, v.centroidY, v.centroidZ, v.length,     v.width,
          v.height, v.anchorX, v.anchorY,   v.anchorZ,   v.heading,   v.headingRate};
}

StateValues fromFields(const Fields& f) {
  return StateValues(f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11],
                     f[12], f[13], f[14], f[15], f[16], f[17], f[18], f[19]);
}

bool allAlmostEqual(const Fields& a, const Fields& b) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!almostEqual(a[i], b[i])) {
      return false;
    }
  }
  return true;
}

bool isComplete(const State& state) {
  return state.position && state.velocity && state.acceleration && state.dimensions &&
         state.heading && state.headingRate;
}

}  // namespace

StateValues::StateValues(float x, float y, float z, float vx, float vy, float vz, float ax,
                         float ay, float az, float centroidX, float centroidY, float centroidZ,
                         float length, float width, float height, float anchorX, float anchorY,
                         float anchorZ, float heading, float headingRate)
    : x(x),
      y(y),
      z(z),
      vx(vx),
      vy(vy),
      vz(vz),
      ax(ax),
      ay(ay),
      az(az),
      centroidX(centroidX),
      centroidY(centroidY),
      centroidZ(centroidZ),
      length(length),
      width(width),
      height(height),
      anchorX(anchorX),
      anchorY(anchorY),
      anchorZ(anchorZ),
      heading(heading),
      headingRate(headingRate) {}

StateValues::StateValues(const State& state) : StateValues(fromFields(fieldsOf(state))) {}

StateValues::StateValues(State&& state) : StateValues(static_cast<const State&>(state)) {}

StateValues& StateValues::operator=(const State& state) {
  *this = fromFields(fieldsOf(state));
  return *this;
}

Eigen::Matrix<float, 2, 2> StateValues::rotationMatrix() const {
  return detail::rotationBy(heading);
}

Eigen::Matrix<float, 2, 1> StateValues::centroid2D() const {
  Eigen::Matrix<float, 2, 2> const r = rotationMatrix();
  return {x - (r(0, 0) * anchorX + r(0, 1) * anchorY), y - (r(1, 0) * anchorX + r(1, 1) * anchorY)};
}

Corners2D StateValues::getCorners2D() const {
  return detail::toCornerList(
      detail::footprintCorners(rotationMatrix(), centroid2D(), length, width));
}

FootprintPolygon StateValues::getBoostPolygon() const {
  return detail::toPolygon(detail::footprintCorners(rotationMatrix(), centroid2D(), length, width));
}

bool StateValues::operator==(const StateValues& other) const {
  return allAlmostEqual(fieldsOf(*this), fieldsOf(other));
}

bool StateValues::operator==(const State& state) const {
  return isComplete(state) && allAlmostEqual(fieldsOf(*this), fieldsOf(state));
}

bool operator==(const State& state, const StateValues& values) { return values == state; }

}  // namespace ostrel::core
