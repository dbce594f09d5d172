#include <ostrel/core/pose_settings.h>

#include <ostrel/settings/settings_manager.h>

#include <boost/property_tree/exceptions.hpp>

#include <gtest/gtest.h>

#include "capture_sink.h"

#include "quaternion_matchers.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace ostrel {
namespace {

using Eigen::Quaternionf;
using Eigen::Vector3f;

constexpr double PI = 3.14159265358979323846;

Quaternionf aboutZ(double radians) {
  return Quaternionf(static_cast<float>(std::cos(radians / 2)), 0.0f, 0.0f,
                     static_cast<float>(std::sin(radians / 2)));
}

using test::coefficientsNear;

/// A store standing at "Sensors.Lidar", with log records captured and the
/// console silenced.
class PoseSettingsTest : public testing::CapturedLogging {
 protected:
  void SetUp() override {
    CapturedLogging::SetUp();
    settings_.pathPush("Sensors");
    settings_.pathPush("Lidar");
  }

  /// Messages of the warn and error records logged so far.
  std::vector<std::string> warnings() const {
    std::vector<std::string> messages;
    for (LogRecord const& record : records()) {
      if (record.level >= LOG_WARN) messages.push_back(record.message);
    }
    return messages;
  }

  /// A hand-written record: position (1, 2, 3), a non-unit quaternion record
  /// and an angle record of yaw 90 in `units`.
  void writeRecord(std::string const& method, std::string const& units = "degrees") {
    settings_.set("Position.x", 1.0f);
    settings_.set("Position.y", 2.0f);
    settings_.set("Position.z", 3.0f);
    settings_.set<std::string>("orientationMethod", method);
    settings_.set("Quaternion.x", 0.0f);
    settings_.set("Quaternion.y", 0.0f);
    settings_.set("Quaternion.z", 0.6f);
    settings_.set("Quaternion.w", 0.9f);
    settings_.set("EulerYPR.yaw", 90.0f);
    settings_.set("EulerYPR.pitch", 0.0f);
    settings_.set("EulerYPR.roll", 0.0f);
    settings_.set<std::string>("EulerYPR.units", units);
  }

  void expectPositionUnchanged() const {
    EXPECT_EQ(settings_.currentPath(), "Sensors.Lidar");
    EXPECT_EQ(settings_.pathDepth(), 2u);
  }

  SettingsManager settings_;
};

// ---------------------------------------------------------------------------
// Which record "orientationMethod" selects.

struct MethodCase {
  char const* name;
  std::string method;
  Quaternionf expected;
  bool warns;
};

std::ostream& operator<<(std::ostream& out, MethodCase const& c) { return out << c.name; }

class PoseMethodTest : public PoseSettingsTest, public ::testing::WithParamInterface<MethodCase> {};

TEST_P(PoseMethodTest, SelectsTheRecordIgnoringLetterCase) {
  writeRecord(GetParam().method);
  Pose const pose = getPose(settings_);
  EXPECT_EQ(pose.position, Vector3f(1, 2, 3));
  EXPECT_EQ(pose.timestamp, 0);
  EXPECT_TRUE(coefficientsNear(pose.orientation, GetParam().expected));
  expectPositionUnchanged();
  std::vector<std::string> const logged = warnings();
  ASSERT_EQ(logged.size(), GetParam().warns ? 1u : 0u);
  if (GetParam().warns) {
    EXPECT_NE(logged[0].find("\"" + GetParam().method + "\""), std::string::npos) << logged[0];
  }
}

Quaternionf const STORED(0.9f, 0.0f, 0.0f, 0.6f);  // as written, not normalised
Quaternionf const YAW_90 = aboutZ(PI / 2);

INSTANTIATE_TEST_SUITE_P(
    Methods, PoseMethodTest,
    ::testing::Values(MethodCase{"quaternion", "quaternion", STORED, false},
                      MethodCase{"QUATERNION", "QUATERNION", STORED, false},
                      MethodCase{"QuAtErNiOn", "QuAtErNiOn", STORED, false},
                      MethodCase{"eulerypr", "eulerypr", YAW_90, false},
                      MethodCase{"EulerYPR", "EulerYPR", YAW_90, false},
                      MethodCase{"empty", "", Quaternionf::Identity(), true},
                      MethodCase{"misspelt", "quaternoin", Quaternionf::Identity(), true},
                      MethodCase{"padded", " quaternion", Quaternionf::Identity(), true}),
    [](::testing::TestParamInfo<MethodCase> const& info) { return info.param.name; });

// ---------------------------------------------------------------------------
// Angle records and their units.

struct UnitsCase {
  char const* name;
  std::string units;
  Quaternionf expected;
  bool warns;
};

std::ostream& operator<<(std::ostream& out, UnitsCase const& c) { return out << c.name; }

class PoseUnitsTest : public PoseSettingsTest, public ::testing::WithParamInterface<UnitsCase> {};

TEST_P(PoseUnitsTest, OnlyExactRadiansMeansRadians) {
  writeRecord("eulerypr", GetParam().units);
  settings_.pathPush("EulerYPR");
  EXPECT_TRUE(coefficientsNear(getQuaternionFromYPR(settings_), GetParam().expected, 1e-5f));
  std::vector<std::string> const logged = warnings();
  ASSERT_EQ(logged.size(), GetParam().warns ? 1u : 0u);
  if (GetParam().warns) {
    EXPECT_NE(logged[0].find("\"" + GetParam().units + "\""), std::string::npos) << logged[0];
  }
}

INSTANTIATE_TEST_SUITE_P(
    Units, PoseUnitsTest,
    ::testing::Values(UnitsCase{"degrees", "degrees", YAW_90, false},
                      // 90 rad is 2.04 rad (under 120°) past whole turns: w stays positive.
                      UnitsCase{"radians", "radians", aboutZ(90.0), false},
                      UnitsCase{"capitalised_radians", "Radians", YAW_90, true},
                      UnitsCase{"abbreviated", "deg", YAW_90, true},
                      UnitsCase{"empty", "", YAW_90, true}),
    [](::testing::TestParamInfo<UnitsCase> const& info) { return info.param.name; });

TEST_F(PoseSettingsTest, AngleRecordIsExtrinsicYawPitchRoll) {
  settings_.set("yaw", 30.0f);
  settings_.set("pitch", -20.0f);
  settings_.set("roll", 45.0f);
  settings_.set<std::string>("units", "degrees");
  double const deg = PI / 180;
  Quaternionf const expected(Eigen::AngleAxisf(static_cast<float>(45 * deg), Vector3f::UnitX()) *
                             Eigen::AngleAxisf(static_cast<float>(-20 * deg), Vector3f::UnitY()) *
                             Eigen::AngleAxisf(static_cast<float>(30 * deg), Vector3f::UnitZ()));
  EXPECT_TRUE(coefficientsNear(getQuaternionFromYPR(settings_), expected, 1e-6f));
}

// ---------------------------------------------------------------------------
// Missing or unreadable keys.

struct BadRecordCase {
  char const* name;
  std::string method;
  std::string key;
  std::optional<std::string> value;  // none: the key is removed
  bool badData;
};

std::ostream& operator<<(std::ostream& out, BadRecordCase const& c) { return out << c.name; }

class PoseBadRecordTest : public PoseSettingsTest,
                          public ::testing::WithParamInterface<BadRecordCase> {};

TEST_P(PoseBadRecordTest, ThrowsTheStoreExceptionAndLeavesThePosition) {
  BadRecordCase const& c = GetParam();
  writeRecord(c.method);
  if (c.value) {
    settings_.set<std::string>(c.key, *c.value);
  } else {
    settings_.deletePath(c.key);
  }
  if (c.badData) {
    EXPECT_THROW(getPose(settings_), boost::property_tree::ptree_bad_data);
  } else {
    EXPECT_THROW(getPose(settings_), boost::property_tree::ptree_bad_path);
  }
  expectPositionUnchanged();
}

INSTANTIATE_TEST_SUITE_P(
    Records, PoseBadRecordTest,
    ::testing::Values(
        BadRecordCase{"no_position_x", "quaternion", "Position.x", std::nullopt, false},
        BadRecordCase{"no_method", "quaternion", "orientationMethod", std::nullopt, false},
        BadRecordCase{"no_quaternion_w", "quaternion", "Quaternion.w", std::nullopt, false},
        BadRecordCase{"no_roll", "eulerypr", "EulerYPR.roll", std::nullopt, false},
        BadRecordCase{"no_units", "eulerypr", "EulerYPR.units", std::nullopt, false},
        BadRecordCase{"text_position", "quaternion", "Position.y", "abc", true},
        BadRecordCase{"empty_pitch", "eulerypr", "EulerYPR.pitch", "", true}),
    [](::testing::TestParamInfo<BadRecordCase> const& info) { return info.param.name; });

TEST_F(PoseSettingsTest, OnlyTheSelectedOrientationRecordIsRequired) {
  writeRecord("eulerypr");
  settings_.deletePath("Quaternion");
  EXPECT_TRUE(coefficientsNear(getPose(settings_).orientation, YAW_90, 1e-6f));
}

// ---------------------------------------------------------------------------
// Records written by setPose, saved to a file and read back.

struct RoundTripCase {
  char const* name;
  Quaternionf orientation;
  Quaternionf expected;  // the unit quaternion with the sign of the matrix rule
};

std::ostream& operator<<(std::ostream& out, RoundTripCase const& c) { return out << c.name; }

class PoseRoundTripTest : public PoseSettingsTest,
                          public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(PoseRoundTripTest, ReadsBackTheUnitQuaternionThroughAFile) {
  Pose pose;
  pose.position = Vector3f(0.1f, -2.5f, 1e-3f);
  pose.orientation = GetParam().orientation;
  pose.timestamp = 77;
  setPose(settings_, pose);
  expectPositionUnchanged();
  EXPECT_EQ(settings_.get<std::string>("orientationMethod"), "quaternion");
  EXPECT_EQ(settings_.get<std::string>("EulerYPR.units"), "radians");

  std::string const file = std::string("pose_settings_") + GetParam().name + ".xml";
  settings_.writeXML(file);
  SettingsManager loaded;
  loaded.addXML(file);
  std::remove(file.c_str());
  loaded.pathPush("Sensors");
  loaded.pathPush("Lidar");

  Pose const read = getPose(loaded);
  EXPECT_EQ(read.position, pose.position);
  EXPECT_EQ(read.timestamp, 0);
  EXPECT_TRUE(coefficientsNear(read.orientation, GetParam().expected));

  // The angle record written beside it describes the same rotation.
  loaded.pathPush("EulerYPR");
  Quaternionf const fromAngles = getQuaternionFromYPR(loaded);
  EXPECT_LE(fromAngles.angularDistance(GetParam().expected), 1e-5f);
  EXPECT_TRUE(warnings().empty());
}

float const SIN_75 = static_cast<float>(std::sin(75 * PI / 180));
float const COS_75 = static_cast<float>(std::cos(75 * PI / 180));
float const HALF_SQRT2 = static_cast<float>(std::sqrt(0.5));
float const SQRT_1_17 = static_cast<float>(std::sqrt(0.9 * 0.9 + 0.6 * 0.6));
Quaternionf const GENERIC(Eigen::AngleAxisf(1.0f, Vector3f(1, 2, 3).normalized()));

INSTANTIATE_TEST_SUITE_P(
    Orientations, PoseRoundTripTest,
    ::testing::Values(RoundTripCase{"identity", Quaternionf::Identity(), Quaternionf::Identity()},
                      RoundTripCase{"negated_identity", Quaternionf(-1, 0, 0, 0),
                                    Quaternionf::Identity()},
                      RoundTripCase{"non_unit", Quaternionf(2, 0, 0, 2),
                                    Quaternionf(HALF_SQRT2, 0, 0, HALF_SQRT2)},
                      // Positive trace: through the unnormalised matrix this would come back
                      // as (0, 0, 0.645, 0.764), a turn of 80° instead of 67°.
                      RoundTripCase{"non_unit_positive_trace", Quaternionf(0.9f, 0, 0, 0.6f),
                                    Quaternionf(0.9f / SQRT_1_17, 0, 0, 0.6f / SQRT_1_17)},
                      RoundTripCase{"generic", GENERIC, GENERIC},
                      // −150° about X: beyond 120° the rule makes x positive, so w turns negative.
                      RoundTripCase{"roll_minus_150", Quaternionf(COS_75, -SIN_75, 0, 0),
                                    Quaternionf(-COS_75, SIN_75, 0, 0)}),
    [](::testing::TestParamInfo<RoundTripCase> const& info) { return info.param.name; });

}  // namespace
}  // namespace ostrel
