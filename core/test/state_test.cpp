#include <ostrel/core/state.h>

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <sstream>
#include <string>

#include "state_test_support.h"

namespace {

using ostrel::Gaussian;
using ostrel::core::Dimensions;
using ostrel::core::State;
using namespace ostrel::core::test;
namespace frames = ostrel::frames;

constexpr float PI_F = 3.14159265f;

std::string textOf(State const& state) {
  std::ostringstream out;
  out << state;
  return out.str();
}

TEST(StateTextTest, DefaultStateHasEveryComponentMissing) {
  EXPECT_EQ(textOf(State{}),
            "POSITION\n(not available)\n"
            "VELOCITY\n(not available)\n"
            "ACCELERATION\n(not available)\n"
            "HEADING\n(not available)\n"
            "HEADING RATE\n(not available)\n"
            "DIMENSIONS\n(not available)\n");
}

TEST(StateTextTest, PopulatedStateAlignsEachMatrixToItsWidestCoefficient) {
  State state;
  Eigen::Matrix3f covariance = Eigen::Matrix3f::Zero();
  covariance.diagonal() << 0.25f, 1.0f, 100.0f;
  state.position = Gaussian<float, 3>{Eigen::Vector3f(1.0f, 2.5f, -3.0f), covariance};
  state.acceleration = estimate3(0.0f, 0.0f, 0.0f);
  state.heading = estimate1(0.5f, 0.01f);
  state.dimensions = Dimensions<float, frames::Trackable>(4.5f, 1.8f, 1.5f, {1.0f, 0.0f, -0.75f});

  EXPECT_EQ(textOf(state),
            "POSITION\n"
            "mean:   1 2.5  -3\n"
            "covariance:\n"
            "0.25    0    0\n"
            "   0    1    0\n"
            "   0    0  100\n"
            "VELOCITY\n(not available)\n"
            "ACCELERATION\n"
            "mean: 0 0 0\n"
            "covariance:\n"
            "1 0 0\n"
            "0 1 0\n"
            "0 0 1\n"
            "HEADING\n"
            "mean: 0.5\n"
            "covariance: 0.01\n"
            "HEADING RATE\n(not available)\n"
            "DIMENSIONS\n"
            " length: 4.5 width: 1.8 height: 1.5\n"
            "anchor: (1, 0, -0.75)\n");
}

TEST(StateTextTest, NumbersFollowTheStreamsFormat) {
  State state;
  state.position = estimate3(1.0f, 2.5f, -3.0f);
  state.headingRate = estimate1(PI_F, 0.5f);
  std::ostringstream out;
  out << std::fixed << std::setprecision(2) << state;
  std::string const text = out.str();
  EXPECT_NE(text.find("mean:  1.00  2.50 -3.00\n"), std::string::npos) << text;
  EXPECT_NE(text.find("HEADING RATE\nmean: 3.14\ncovariance: 0.50\n"), std::string::npos) << text;
}

TEST(StateRotationTest, FollowsTheHeadingOrIsTheIdentity) {
  State state;
  EXPECT_TRUE(state.rotationMatrix().isIdentity());
  state.heading = estimate1(PI_F / 6.0f);
  Eigen::Matrix2f const r = state.rotationMatrix();
  EXPECT_FLOAT_EQ(r(0, 0), std::sqrt(3.0f) / 2.0f);
  EXPECT_FLOAT_EQ(r(0, 1), -0.5f);
  EXPECT_FLOAT_EQ(r(1, 0), 0.5f);
  EXPECT_FLOAT_EQ(r(1, 1), std::sqrt(3.0f) / 2.0f);
}

TEST(StateCentroidTest, SubtractsTheAnchorTurnedByTheHeading) {
  State state;
  state.position = estimate3(4.0f, 5.0f, 6.0f);
  state.heading = estimate1(PI_F / 2.0f);
  state.dimensions = Dimensions<float, frames::Trackable>(4.0f, 2.0f, 1.0f, {1.0f, 0.0f, 0.5f});
  Eigen::Vector3f const centre = state.centroid();
  // The anchor (1, 0) turned by a quarter turn is (0, 1).
  EXPECT_NEAR(centre.x(), 4.0f, 1e-6f);
  EXPECT_NEAR(centre.y(), 4.0f, 1e-6f);
  EXPECT_FLOAT_EQ(centre.z(), 5.5f);
  EXPECT_EQ(state.centroid2D(), centre.head<2>());
}

TEST(StateCentroidTest, IsThePositionWithoutDimensionsAndNaNWithoutPosition) {
  State state;
  state.position = estimate3(4.0f, 5.0f, 6.0f);
  state.heading = estimate1(1.0f);  // turns nothing without an anchor
  EXPECT_EQ(state.centroid(), Eigen::Vector3f(4.0f, 5.0f, 6.0f));

  State const empty;
  EXPECT_TRUE(empty.centroid().array().isNaN().all());
  EXPECT_TRUE(empty.centroid2D().array().isNaN().all());
}

TEST(StateConvertTo2DTest, KeepsTheGroundPlanePart) {
  EXPECT_FALSE(State::convertTo2D(boost::none));

  Gaussian<float, 3> g;
  g.mean << 1.0f, 2.0f, 3.0f;
  g.covariance << 11, 12, 13, 21, 22, 23, 31, 32, 33;
  auto const flat = State::convertTo2D(g);
  ASSERT_TRUE(flat);
  EXPECT_EQ(flat->mean, Eigen::Vector2f(1.0f, 2.0f));
  Eigen::Matrix2f expected;
  expected << 11, 12, 21, 22;
  EXPECT_EQ(flat->covariance, expected);

  State state;
  state.velocity = g;
  EXPECT_FALSE(state.position2D());
  ASSERT_TRUE(state.velocity2D());
  EXPECT_EQ(state.velocity2D()->covariance, expected);
  EXPECT_FALSE(state.acceleration2D());
}

}  // namespace
