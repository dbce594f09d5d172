#pragma once

#include <iosfwd>
#include <vector>

#include <Eigen/Core>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <boost/optional.hpp>

#include <ostrel/core/dimensions.h>
#include <ostrel/core/export.h>
#include <ostrel/core/frame_tags.h>
#include <ostrel/core/gaussian.h>

namespace ostrel::core {

/// Four ground-plane corners of a box footprint.
using Corners2D = std::vector<Eigen::Matrix<float, 2, 1>>;

/// A box footprint on the ground plane: clockwise, closed, one outer ring.
using FootprintPolygon =
    boost::geometry::model::polygon<boost::geometry::model::d2::point_xy<double>, true, true>;

/// The state of a tracked object: Gaussian estimates of its position,
/// velocity and acceleration, of its heading and heading rate, and the box
/// that encloses it. Each component may be absent.
///
/// `position` is the object's tracked point, which sits `dimensions.anchor`
/// away from the box centre in the object's frame. An absent heading counts
/// as heading 0 and absent dimensions as anchor (0, 0, 0).
struct OSTREL_CORE_EXPORT State {
  boost::optional<Gaussian<float, 3>> position;
  boost::optional<Gaussian<float, 3>> velocity;
  boost::optional<Gaussian<float, 3>> acceleration;
  /// Radians from +x towards +y.
  boost::optional<Gaussian<float, 1>> heading;
  /// Radians per time unit.
  boost::optional<Gaussian<float, 1>> headingRate;
  boost::optional<Dimensions<float, frames::Trackable>> dimensions;

  /// The ground-plane rotation by the heading mean; the identity without a
  /// heading.
  Eigen::Matrix<float, 2, 2> rotationMatrix() const;
  /// The x, y of the box centre: the position minus the rotated anchor.
  /// NaN without a position.
  Eigen::Matrix<float, 2, 1> centroid2D() const;
  /// The box centre in three dimensions; NaN without a position.
  Eigen::Matrix<float, 3, 1> centroid() const;

  /// The x, y part of `estimate` (mean and upper-left 2×2 covariance);
  /// absent when `estimate` is.
  static boost::optional<Gaussian<float, 2>> convertTo2D(
      const boost::optional<Gaussian<float, 3>>& estimate);
  /// The ground-plane part of `position`.
  boost::optional<Gaussian<float, 2>> position2D() const;
  /// The ground-plane part of `velocity`.
  boost::optional<Gaussian<float, 2>> velocity2D() const;
  /// The ground-plane part of `acceleration`.
  boost::optional<Gaussian<float, 2>> acceleration2D() const;

  /// Direction of the velocity mean on the ground plane, in [−π, π]; 0
  /// without a velocity.
  float velocityHeading() const;
  /// This heading minus `other`'s, wrapped into [−π, π). An absent heading
  /// counts as 0.
  float relativeHeading(const State& other) const;
  /// Squared Euclidean distance between the two position means; NaN when
  /// either position is absent.
  static float getSquaredDistance(const State& a, const State& b);

  /// The footprint corners front-left, front-right, rear-right, rear-left
  /// (clockwise seen from above). Without dimensions all four are the centre.
  Corners2D getCorners2D() const;
  /// The footprint as a polygon: the four corners and the first again.
  FootprintPolygon getBoostPolygon() const;

  /// Intersection over union of the two footprints, in [0, 1] for valid
  /// boxes; 0 when the union has no area. Footprints that are clearly apart
  /// (bounding boxes that do not meet, or a side of either box with the
  /// other wholly beyond it) give 0 at once, without the polygon operations:
  /// such pairs never reach the polygon library, even with input it would
  /// reject.
  /// @throws whatever the polygon library throws for the other pairs (for
  ///   example for invalid overlay input).
  double overlap(const State& other) const;
  /// The smallest distance from a corner of either footprint to the other
  /// footprint: the gap between disjoint boxes, 0 once a corner of one lies
  /// in or on the other. Two boxes crossing without a corner inside the
  /// other give a positive value.
  /// @throws whatever the polygon library throws.
  double distance(const State& other) const;
};

/// Writes the six components of `state` under the titles POSITION, VELOCITY,
/// ACCELERATION, HEADING, HEADING RATE and DIMENSIONS, "(not available)" for
/// an absent one, with the stream's own number format.
OSTREL_CORE_EXPORT std::ostream& operator<<(std::ostream& out, const State& state);

/// A flat snapshot of a `State`: the means of its components, its box centre
/// and its box, as twenty floats. Covariances are not part of it.
struct OSTREL_CORE_EXPORT StateValues {
  /// Stores the twenty values in field order.
  StateValues(float x, float y, float z, float vx, float vy, float vz, float ax, float ay, float az,
              float centroidX, float centroidY, float centroidZ, float length, float width,
              float height, float anchorX, float anchorY, float anchorZ, float heading,
              float headingRate);
  /// The values of `state`; the fields of an absent component are 0, and
  /// the centre is NaN without a position.
  StateValues(const State& state);
  /// As the copying form; `state` is left unchanged.
  StateValues(State&& state);
  /// Takes the values of `state` as the constructor does.
  StateValues& operator=(const State& state);

  /// The ground-plane rotation by `heading`.
  Eigen::Matrix<float, 2, 2> rotationMatrix() const;
  /// The box centre recomputed from the position and the rotated anchor
  /// (not read from the centroid fields).
  Eigen::Matrix<float, 2, 1> centroid2D() const;
  /// The footprint corners, as `State::getCorners2D` computes them.
  Corners2D getCorners2D() const;
  /// The footprint polygon, as `State::getBoostPolygon` builds it.
  FootprintPolygon getBoostPolygon() const;

  /// Every field `almostEqual` to the same field of `other`.
  bool operator==(const StateValues& other) const;
  /// False when any component of `state` is absent; otherwise every field
  /// `almostEqual` to the matching value of `state`.
  bool operator==(const State& state) const;

  float x, y, z;
  float vx, vy, vz;
  float ax, ay, az;
  float centroidX, centroidY, centroidZ;
  float length, width, height;
  float anchorX, anchorY, anchorZ;
  float heading;
  float headingRate;
};

/// `values == state`.
OSTREL_CORE_EXPORT bool operator==(const State& state, const StateValues& values);

}  // namespace ostrel::core
