#include <ostrel/core/state.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <ostream>

#include "state_test_support.h"

namespace {

using ostrel::core::State;
using namespace ostrel::core::test;

constexpr float PI_F = 3.14159265f;

struct VelocityCase {
  float vx, vy;
  float heading;
};

class VelocityHeadingTest : public ::testing::TestWithParam<VelocityCase> {};

TEST_P(VelocityHeadingTest, IsTheDirectionOfTheVelocityMean) {
  State state;
  state.velocity = estimate3(GetParam().vx, GetParam().vy, 7.0f);
  EXPECT_NEAR(state.velocityHeading(), GetParam().heading, 1e-6f);
}

INSTANTIATE_TEST_SUITE_P(Directions, VelocityHeadingTest,
                         ::testing::Values(VelocityCase{1, 0, 0}, VelocityCase{0, 1, PI_F / 2},
                                           VelocityCase{-1, 0, PI_F},
                                           VelocityCase{1, -1, -PI_F / 4}));

TEST(VelocityHeadingTest, IsZeroWithoutVelocity) { EXPECT_EQ(State{}.velocityHeading(), 0.0f); }

struct HeadingPair {
  float mine, other;
  float expected;
};

std::ostream& operator<<(std::ostream& out, HeadingPair const& pair) {
  return out << pair.mine << " - " << pair.other;
}

class RelativeHeadingTest : public ::testing::TestWithParam<HeadingPair> {};

TEST_P(RelativeHeadingTest, WrapsTheDifferenceIntoOneTurn) {
  State mine, other;
  mine.heading = estimate1(GetParam().mine);
  other.heading = estimate1(GetParam().other);
  EXPECT_NEAR(mine.relativeHeading(other), GetParam().expected, 1e-6f);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, RelativeHeadingTest,
    ::testing::Values(HeadingPair{3.0f, -3.0f, static_cast<float>(6.0 - 2.0 * M_PI)},
                      HeadingPair{-3.0f, 3.0f, static_cast<float>(2.0 * M_PI - 6.0)},
                      HeadingPair{0.5f, 0.2f, 0.3f}, HeadingPair{-0.2f, 0.5f, -0.7f},
                      HeadingPair{1.0f, 1.0f, 0.0f},
                      // Several turns apart.
                      HeadingPair{13.0f, 0.0f, static_cast<float>(13.0 - 4.0 * M_PI)},
                      HeadingPair{-13.0f, 0.0f, static_cast<float>(4.0 * M_PI - 13.0)}));

TEST(RelativeHeadingTest, AbsentHeadingCountsAsZero) {
  State withHeading, without;
  withHeading.heading = estimate1(0.75f);
  EXPECT_NEAR(withHeading.relativeHeading(without), 0.75f, 1e-6f);
  EXPECT_NEAR(without.relativeHeading(withHeading), -0.75f, 1e-6f);
  EXPECT_NEAR(without.relativeHeading(without), 0.0f, 1e-6f);
}

TEST(RelativeHeadingTest, HalfTurnLandsAtTheLowerEnd) {
  State mine, other;
  mine.heading = estimate1(PI_F / 2);
  other.heading = estimate1(-PI_F / 2);
  // π wraps to −π (within float rounding of π).
  EXPECT_NEAR(mine.relativeHeading(other), -PI_F, 1e-6f);
}

TEST(SquaredDistanceTest, SumsTheSquaredDifferencesOfThePositions) {
  State a, b;
  a.position = estimate3(1, 2, 3);
  b.position = estimate3(4, 6, 3);
  EXPECT_EQ(State::getSquaredDistance(a, b), 25.0f);
  b.position = estimate3(0, 0, 5);
  EXPECT_EQ(State::getSquaredDistance(a, b), 1.0f + 4.0f + 4.0f);
}

TEST(SquaredDistanceTest, IsNaNWithoutAPosition) {
  State a, b;
  a.position = estimate3(1, 2, 3);
  EXPECT_TRUE(std::isnan(State::getSquaredDistance(a, b)));
  EXPECT_TRUE(std::isnan(State::getSquaredDistance(b, a)));
}

void expectCorners(State const& state, std::array<Eigen::Vector2f, 4> const& expected) {
  auto const corners = state.getCorners2D();
  ASSERT_EQ(corners.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(corners[i].x(), expected[i].x(), 1e-5f) << "corner " << i;
    EXPECT_NEAR(corners[i].y(), expected[i].y(), 1e-5f) << "corner " << i;
  }
}

TEST(FootprintTest, CornersRunClockwiseFromFrontLeft) {
  expectCorners(box(0, 0, 4, 2, 0, false), {Eigen::Vector2f(2, 1), Eigen::Vector2f(2, -1),
                                            Eigen::Vector2f(-2, -1), Eigen::Vector2f(-2, 1)});
}

TEST(FootprintTest, CornersTurnWithTheHeadingAboutTheCentre) {
  expectCorners(box(0, 0, 4, 2, PI_F / 2), {Eigen::Vector2f(-1, 2), Eigen::Vector2f(1, 2),
                                            Eigen::Vector2f(1, -2), Eigen::Vector2f(-1, -2)});
  // The anchor (2, 1) puts the position on the front-left corner.
  State anchored = box(10, 20, 4, 2, PI_F / 2);
  anchored.dimensions->anchor = {2.0f, 1.0f, 0.0f};
  expectCorners(anchored, {Eigen::Vector2f(10, 20), Eigen::Vector2f(12, 20),
                           Eigen::Vector2f(12, 16), Eigen::Vector2f(10, 16)});
}

TEST(FootprintTest, PolygonIsTheClosedRingOfTheCorners) {
  State const state = box(1.5f, -2.0f, 4, 2, 0.3f);
  auto const corners = state.getCorners2D();
  auto const polygon = state.getBoostPolygon();
  EXPECT_TRUE(polygon.inners().empty());
  ASSERT_EQ(polygon.outer().size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(polygon.outer()[i].x(), static_cast<double>(corners[i % 4].x()));
    EXPECT_EQ(polygon.outer()[i].y(), static_cast<double>(corners[i % 4].y()));
  }
}

TEST(FootprintTest, WithoutDimensionsEveryCornerIsTheCentre) {
  State const state = point(3.0f, -4.0f);
  for (auto const& corner : state.getCorners2D()) {
    EXPECT_EQ(corner, Eigen::Vector2f(3.0f, -4.0f));
  }
  auto const ring = state.getBoostPolygon().outer();
  ASSERT_EQ(ring.size(), 5u);
  for (auto const& p : ring) {
    EXPECT_EQ(p.x(), 3.0);
    EXPECT_EQ(p.y(), -4.0);
  }
}

}  // namespace
