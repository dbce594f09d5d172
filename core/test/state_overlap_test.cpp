#include <ostrel/core/state.h>

#include <gtest/gtest.h>

// GCC reports a false "may be used uninitialized" inside Boost.Geometry's
// rescaling policy when its overlay code is inlined here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <boost/geometry.hpp>
#pragma GCC diagnostic pop

#include <cmath>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "state_test_support.h"

namespace {

using ostrel::core::FootprintPolygon;
using ostrel::core::State;
using namespace ostrel::core::test;

constexpr float PI_F = 3.14159265f;

double unionArea(FootprintPolygon const& a, FootprintPolygon const& b) {
  std::vector<FootprintPolygon> united;
  boost::geometry::union_(a, b, united);
  double area = 0.0;
  for (auto const& p : united) area += boost::geometry::area(p);
  return area;
}

double intersectionArea(FootprintPolygon const& a, FootprintPolygon const& b) {
  std::vector<FootprintPolygon> intersected;
  boost::geometry::intersection(a, b, intersected);
  return intersected.empty() ? 0.0 : boost::geometry::area(intersected.front());
}

// Intersection over union straight from the polygon operations, with no
// shortcut: the reference the quick rejection must not change.
double polygonOverlap(State const& a, State const& b) {
  FootprintPolygon const pa = a.getBoostPolygon();
  FootprintPolygon const pb = b.getBoostPolygon();
  double const united = unionArea(pa, pb);
  if (std::fabs(united) <= std::numeric_limits<double>::epsilon()) return 0.0;
  return intersectionArea(pa, pb) / united;
}

struct PairCase {
  char const* name;
  State a;
  State b;
  double overlap;
  double distance;
};

std::ostream& operator<<(std::ostream& out, PairCase const& c) { return out << c.name; }

class OverlapDistanceTest : public ::testing::TestWithParam<PairCase> {};

TEST_P(OverlapDistanceTest, MatchesTheExpectedValuesInBothDirections) {
  PairCase const& c = GetParam();
  EXPECT_NEAR(c.a.overlap(c.b), c.overlap, 1e-6);
  EXPECT_NEAR(c.b.overlap(c.a), c.overlap, 1e-6);
  EXPECT_NEAR(c.a.distance(c.b), c.distance, 1e-5);
  EXPECT_EQ(c.a.distance(c.b), c.b.distance(c.a));
}

TEST_P(OverlapDistanceTest, QuickRejectionChangesNoResult) {
  PairCase const& c = GetParam();
  EXPECT_EQ(c.a.overlap(c.b), polygonOverlap(c.a, c.b));
  EXPECT_EQ(c.b.overlap(c.a), polygonOverlap(c.b, c.a));
}

INSTANTIATE_TEST_SUITE_P(
    Footprints, OverlapDistanceTest,
    ::testing::Values(
        PairCase{"identical", box(1, 2, 4, 2, 0.3f), box(1, 2, 4, 2, 0.3f), 1.0, 0.0},
        // Union 6, intersection 2.
        PairCase{"half_shifted", box(0, 0, 2, 2), box(1, 0, 2, 2), 1.0 / 3.0, 0.0},
        PairCase{"nested", box(0, 0, 4, 4), box(0.5f, 0.5f, 2, 1, 0, false), 2.0 / 16.0, 0.0},
        PairCase{"sharing_an_edge", box(0, 0, 2, 2), box(2, 0, 2, 2), 0.0, 0.0},
        PairCase{"apart", box(0, 0, 1, 1), box(3, 0, 1, 1), 0.0, 2.0},
        PairCase{"apart_diagonally", box(0, 0, 2, 2), box(5, 6, 2, 2), 0.0, 5.0},
        // 10 × 1 crossing 10 × 1: intersection 1, union 19. No corner of
        // either lies in the other, so the nearest corner is 4.5 away.
        PairCase{"plus_sign", box(0, 0, 10, 1), box(0, 0, 10, 1, PI_F / 2), 1.0 / 19.0, 4.5},
        // A 2 × 2 square and the same square turned by 45°: the intersection is
        // a regular octagon of area 8(√2 − 1), the IoU 1/√2, and every corner
        // lies √2 − 1 outside the other square.
        PairCase{"turned_square", box(0, 0, 2, 2), box(0, 0, 2, 2, PI_F / 4), 1.0 / std::sqrt(2.0),
                 std::sqrt(2.0) - 1.0},
        // Side by side along a diagonal: the bounding boxes overlap, the
        // boxes are 0.5 apart.
        PairCase{"parallel_diagonal_neighbours", box(0, 0, 4, 1, PI_F / 4),
                 box(-1.5f * std::sqrt(0.5f), 1.5f * std::sqrt(0.5f), 4, 1, PI_F / 4), 0.0, 0.5},
        PairCase{"two_points", point(0, 0), point(3, 4), 0.0, 5.0},
        PairCase{"point_inside_a_box", point(0.5f, 0.25f), box(0, 0, 2, 2), 0.0, 0.0},
        PairCase{"point_outside_a_box", point(4, 0), box(0, 0, 2, 2), 0.0, 3.0},
        // Zero-width boxes on one line: no union area, so no overlap.
        PairCase{"flat_boxes_on_one_line", box(0, 0, 2, 0), box(0.5f, 0, 2, 0), 0.0, 0.0}),
    [](::testing::TestParamInfo<PairCase> const& info) { return std::string(info.param.name); });

TEST(OverlapDistanceTest, HairlineGapBetweenTurnedBoxesIsLeftToThePolygons) {
  // Side by side along a diagonal with a gap of about 1e-7.
  float const offset = (1.0f + 1e-7f) * std::sqrt(0.5f);
  State const a = box(0, 0, 4, 1, PI_F / 4);
  State const b = box(-offset, offset, 4, 1, PI_F / 4);
  EXPECT_EQ(a.overlap(b), polygonOverlap(a, b));
  EXPECT_NEAR(a.overlap(b), 0.0, 1e-6);
}

TEST(OverlapDistanceTest, TouchingBoundingBoxesStillReachThePolygons) {
  // Boxes whose bounding boxes share only the line x = 1.
  State const a = box(0, 0, 2, 2);
  State const b = box(2, 0.5f, 2, 1);
  EXPECT_EQ(a.overlap(b), 0.0);
  EXPECT_EQ(a.distance(b), 0.0);
  EXPECT_EQ(a.overlap(b), polygonOverlap(a, b));
}

TEST(OverlapDistanceTest, QuickRejectionChangesNoResultOverManyTurnedPairs) {
  // Boxes of car and pedestrian sizes at random headings, close enough that
  // many bounding boxes meet: overlapping, touching-close and separated pairs.
  std::mt19937 random(7);
  std::uniform_real_distribution<float> place(0.0f, 8.0f);
  std::uniform_real_distribution<float> size(0.3f, 5.0f);
  std::uniform_real_distribution<float> turn(-PI_F, PI_F);
  int overlapping = 0;
  for (int i = 0; i < 2000; ++i) {
    State const a = box(place(random), place(random), size(random), size(random), turn(random));
    State const b = box(place(random), place(random), size(random), size(random), turn(random));
    double const expected = polygonOverlap(a, b);
    ASSERT_EQ(a.overlap(b), expected) << "pair " << i;
    overlapping += expected > 0.0 ? 1 : 0;
  }
  // Both paths were taken.
  EXPECT_GT(overlapping, 100);
  EXPECT_LT(overlapping, 1900);
}

TEST(OverlapDistanceTest, NeitherStateChanges) {
  State const a = box(0, 0, 2, 2);
  State b = box(1, 0, 2, 2);
  State const before = b;
  a.overlap(b);
  a.distance(b);
  EXPECT_EQ(b.position->mean, before.position->mean);
  EXPECT_EQ(b.dimensions->length, before.dimensions->length);
}

}  // namespace
