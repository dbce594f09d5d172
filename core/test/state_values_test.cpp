#include <ostrel/core/state.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

#include "state_test_support.h"

namespace {

using ostrel::core::Dimensions;
using ostrel::core::State;
using ostrel::core::StateValues;
using namespace ostrel::core::test;
namespace frames = ostrel::frames;

constexpr float PI_F = 3.14159265f;

// Every component present; the centre is (4, 4, 5.5) (anchor (1, 0, 0.5)
// turned by a quarter turn).
State fullState() {
  State state;
  state.position = estimate3(4.0f, 5.0f, 6.0f);
  state.velocity = estimate3(1.0f, 2.0f, 3.0f);
  state.acceleration = estimate3(-1.0f, -2.0f, -3.0f);
  state.heading = estimate1(PI_F / 2.0f);
  state.headingRate = estimate1(0.25f);
  state.dimensions = Dimensions<float, frames::Trackable>(4.0f, 2.0f, 1.5f, {1.0f, 0.0f, 0.5f});
  return state;
}

void expectFields(StateValues const& v, std::array<float, 20> const& expected) {
  std::array<float, 20> const actual{v.x,         v.y,         v.z,       v.vx,      v.vy,
                                     v.vz,        v.ax,        v.ay,      v.az,      v.centroidX,
                                     v.centroidY, v.centroidZ, v.length,  v.width,   v.height,
                                     v.anchorX,   v.anchorY,   v.anchorZ, v.heading, v.headingRate};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(actual[i], expected[i], 1e-6f) << "field " << i + 1;
  }
}

TEST(StateValuesTest, TwentyValueConstructorKeepsFieldOrder) {
  StateValues const v(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20);
  expectFields(v, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
}

TEST(StateValuesTest, TakesEveryValueOfACompleteState) {
  State state = fullState();
  std::array<float, 20> const expected{4, 5,   6,   1, 2,   3, -1, -2,  -3,       4,
                                       4, 5.5, 4.0, 2, 1.5, 1, 0,  0.5, PI_F / 2, 0.25};
  expectFields(StateValues(state), expected);

  StateValues moved(std::move(state));
  expectFields(moved, expected);
  EXPECT_TRUE(state.position) << "the rvalue form leaves its argument as it was";

  StateValues assigned(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(&(assigned = state), &assigned);
  expectFields(assigned, expected);
}

TEST(StateValuesTest, AbsentComponentsGiveZerosAndTheCentreNaNWithoutPosition) {
  StateValues const v{State{}};
  EXPECT_EQ(v.x, 0.0f);
  EXPECT_EQ(v.vy, 0.0f);
  EXPECT_EQ(v.az, 0.0f);
  EXPECT_EQ(v.length, 0.0f);
  EXPECT_EQ(v.anchorZ, 0.0f);
  EXPECT_EQ(v.heading, 0.0f);
  EXPECT_EQ(v.headingRate, 0.0f);
  EXPECT_TRUE(std::isnan(v.centroidX) && std::isnan(v.centroidY) && std::isnan(v.centroidZ));

  // Zeros stay zeros when a filled snapshot is overwritten by a sparser state.
  StateValues overwritten(fullState());
  State sparse = fullState();
  sparse.velocity = boost::none;
  sparse.dimensions = boost::none;
  overwritten = sparse;
  EXPECT_EQ(overwritten.vx, 0.0f);
  EXPECT_EQ(overwritten.width, 0.0f);
  EXPECT_EQ(overwritten.anchorX, 0.0f);
  EXPECT_EQ(overwritten.x, 4.0f);
}

TEST(StateValuesEqualityTest, MatchesTheStateOnlyWhenEveryComponentIsPresent) {
  State const state = fullState();
  StateValues const values(state);
  EXPECT_TRUE(values == state);
  EXPECT_TRUE(state == values);

  State without = state;
  without.headingRate = boost::none;
  EXPECT_FALSE(values == without);
  EXPECT_FALSE(without == values);
  // The same holds against a snapshot of the incomplete state itself.
  EXPECT_FALSE(StateValues(without) == without);
}

TEST(StateValuesEqualityTest, ComparesEveryFieldWithTolerance) {
  StateValues const base(fullState());
  EXPECT_TRUE(base == base);
  float StateValues::*const fields[] = {
      &StateValues::x,         &StateValues::y,          &StateValues::z,
      &StateValues::vx,        &StateValues::vy,         &StateValues::vz,
      &StateValues::ax,        &StateValues::ay,         &StateValues::az,
      &StateValues::centroidX, &StateValues::centroidY,  &StateValues::centroidZ,
      &StateValues::length,    &StateValues::width,      &StateValues::height,
      &StateValues::anchorX,   &StateValues::anchorY,    &StateValues::anchorZ,
      &StateValues::heading,   &StateValues::headingRate};
  for (auto const field : fields) {
    StateValues close = base;
    close.*field += 1e-7f;  // within the absolute tolerance
    EXPECT_TRUE(close == base);
    StateValues off = base;
    off.*field += 0.01f;
    EXPECT_FALSE(off == base);
    EXPECT_FALSE(off == fullState());
  }
}

TEST(StateValuesGeometryTest, RecomputesTheCentreFromPositionAndAnchor) {
  // Centroid fields deliberately wrong: they are not read.
  StateValues const v(4, 5, 6, 0, 0, 0, 0, 0, 0, 100, 100, 100, 4, 2, 1, 1, 0, 0.5, PI_F / 2, 0);
  Eigen::Vector2f const centre = v.centroid2D();
  EXPECT_NEAR(centre.x(), 4.0f, 1e-6f);
  EXPECT_NEAR(centre.y(), 4.0f, 1e-6f);
  EXPECT_NEAR(v.rotationMatrix()(1, 0), 1.0f, 1e-6f);
}

TEST(StateValuesGeometryTest, FootprintIsTheStatesFootprint) {
  State const state = fullState();
  StateValues const values(state);
  EXPECT_EQ(values.getCorners2D(), state.getCorners2D());
  auto const ring = values.getBoostPolygon().outer();
  auto const stateRing = state.getBoostPolygon().outer();
  ASSERT_EQ(ring.size(), 5u);
  for (std::size_t i = 0; i < ring.size(); ++i) {
    EXPECT_EQ(ring[i].x(), stateRing[i].x());
    EXPECT_EQ(ring[i].y(), stateRing[i].y());
  }
}

}  // namespace
