// GCC 12 reports a false "may be used uninitialized" inside Boost.Geometry's
// rescaling policy when its overlay code is inlined into this file.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include <ostrel/core/state.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include <boost/geometry.hpp>

#include "footprint.h"

namespace ostrel::core {

namespace {

// Smallest union area treated as a real area: the double machine epsilon.
constexpr double MIN_UNION_AREA = std::numeric_limits<double>::epsilon();

// The ground-plane bounding box of four corners, in double as the polygons
// are.
struct Bounds {
  double minX, minY, maxX, maxY;
};

Bounds boundsOf(const detail::CornerArray& corners) {
  Bounds bounds{corners[0].x(), corners[0].y(), corners[0].x(), corners[0].y()};
  for (const detail::Corner& corner : corners) {
    bounds.minX = std::min(bounds.minX, static_cast<double>(corner.x()));
    bounds.minY = std::min(bounds.minY, static_cast<double>(corner.y()));
    bounds.maxX = std::max(bounds.maxX, static_cast<double>(corner.x()));
    bounds.maxY = std::max(bounds.maxY, static_cast<double>(corner.y()));
  }
  return bounds;
}

// True only for boxes apart along x or y. Touching boxes and NaN corners are
// left to the polygon operations, so the result is the one they give.
bool apart(const Bounds& a, const Bounds& b) {
  return a.maxX < b.minX || b.maxX < a.minX || a.maxY < b.minY || b.maxY < a.minY;
}

// True when a side of either box separates the two boxes by a clear gap:
// turned boxes whose bounding boxes meet without the boxes themselves doing
// so. The gap must exceed a millionth of the coordinates' magnitude: at least
// five cells of the integer grid the polygon operations snap to (a ten
// millionth of the pair's extent), so they too would find no common area.
// Closer pairs are left to them.
bool separatedBySide(const detail::CornerArray& a, const detail::CornerArray& b) {
  double magnitude = 1.0;
  for (std::size_t i = 0; i < 4; ++i) {
    magnitude = std::max({magnitude, std::fabs(double{a[i].x()}), std::fabs(double{a[i].y()}),
                          std::fabs(double{b[i].x()}), std::fabs(double{b[i].y()})});
  }
  auto const separates = [magnitude](const detail::CornerArray& sides,
                                     const detail::CornerArray& other) {
    for (std::size_t i = 0; i < 4; ++i) {
      double const nx = double{sides[i].y()} - double{sides[(i + 1) % 4].y()};
      double const ny = double{sides[(i + 1) % 4].x()} - double{sides[i].x()};
      auto const project = [nx, ny](const detail::Corner& c) {
        return nx * double{c.x()} + ny * double{c.y()};
      };
      double minSides = project(sides[0]), maxSides = minSides;
      double minOther = project(other[0]), maxOther = minOther;
      for (std::size_t k = 1; k < 4; ++k) {
        minSides = std::min(minSides, project(sides[k]));
        maxSides = std::max(maxSides, project(sides[k]));
        minOther = std::min(minOther, project(other[k]));
        maxOther = std::max(maxOther, project(other[k]));
      }
      double const gap = 1e-6 * magnitude * std::hypot(nx, ny);
      // A NaN fails both comparisons.
      if (maxSides + gap < minOther || maxOther + gap < minSides) {
        return true;
      }
    }
    return false;
  };
  return separates(a, b) || separates(b, a);
}

double smallestCornerDistance(const FootprintPolygon& from, const FootprintPolygon& to,
                              double smallest) {
  for (const auto& point : from.outer()) {
    smallest = std::min(smallest, boost::geometry::distance(point, to));
  }
  return smallest;
}

}  // namespace

double State::overlap(const State& other) const {
  detail::CornerArray const cornersA = detail::cornersOf(*this);
  detail::CornerArray const cornersB = detail::cornersOf(other);
  // Most pairs a tracker compares are far apart; their overlap is 0.
  if (apart(boundsOf(cornersA), boundsOf(cornersB)) || separatedBySide(cornersA, cornersB)) {
    return 0.0;
  }
  FootprintPolygon const a = detail::toPolygon(cornersA);
  FootprintPolygon const b = detail::toPolygon(cornersB);

  std::vector<FootprintPolygon> intersected;
  boost::geometry::intersection(a, b, intersected);
  // Without a common area the quotient is 0 whatever the union; boxes whose
  // bounding boxes meet but which do not overlap skip the union.
  if (intersected.empty()) {
    return 0.0;
  }
  double const intersectionArea = boost::geometry::area(intersected.front());

  std::vector<FootprintPolygon> united;
  boost::geometry::union_(a, b, united);
  double unionArea = 0.0;
  for (const FootprintPolygon& polygon : united) {
    unionArea += boost::geometry::area(polygon);
  }

  if (std::fabs(unionArea) <= MIN_UNION_AREA) {
    return 0.0;
  }
  return intersectionArea / unionArea;
}

double State::distance(const State& other) const {
  FootprintPolygon const a = getBoostPolygon();
  FootprintPolygon const b = other.getBoostPolygon();
  double smallest = std::numeric_limits<double>::max();
  smallest = smallestCornerDistance(a, b, smallest);
  smallest = smallestCornerDistance(b, a, smallest);
  return smallest;
}

}  // namespace ostrel::core
