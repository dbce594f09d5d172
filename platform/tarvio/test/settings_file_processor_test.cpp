#include <ostrel/tarvio/settings_file_processor.h>

#include <boost/property_tree/exceptions.hpp>
#include <boost/property_tree/ini_parser.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <gtest/gtest.h>

#include <Eigen/Geometry>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <ostrel/settings/settings_manager.h>
#include <ostrel/settings/settings_utils.h>

namespace {

using boost::property_tree::ptree;
using boost::property_tree::ptree_bad_path;
using ostrel::tarvio::SettingsFileProcessor;

constexpr double PI = 3.14159265358979323846;
constexpr double HALF_SQRT2 = 0.70710678118654752440;

ptree iniTree(std::string const& text) {
  std::istringstream in(text);
  ptree tree;
  boost::property_tree::read_ini(in, tree);
  return tree;
}

ptree xmlTree(std::string const& text) {
  std::istringstream in(text);
  ptree tree;
  boost::property_tree::read_xml(in, tree, boost::property_tree::xml_parser::trim_whitespace);
  return tree;
}

std::string const TEMPLATE = R"(<TarvioSettings>
  <Input><frameRate>10</frameRate><minRange>0.5</minRange><maxRange>100</maxRange></Input>
  <Ground><height>0</height><maxSlope>0.2</maxSlope><cellSize>0.25</cellSize></Ground>
  <Tracking><coastTime>0.5</coastTime><minClusterPoints>5</minClusterPoints>
            <classifyObjects>true</classifyObjects></Tracking>
  <Output><address>127.0.0.1</address><port>9000</port></Output>
  <Transforms/>
</TarvioSettings>)";

std::string const REQUIRED_INI = "[Sensor]\nFrameRate=20\nMinRange=1\nMaxRange=80\n";

SettingsFileProcessor halcettProcessor(std::string const& ini,
                                       std::string const& templateText = TEMPLATE,
                                       bool addMissingPlaces = false) {
  return SettingsFileProcessor(xmlTree(templateText), iniTree(ini), boost::none, addMissingPlaces,
                               false);
}

// ---------------------------------------------------------------- Halcett

TEST(HalcettConversion, WritesEveryUnderstoodValueInTarvioUnitsAndKeepsTheRest) {
  SettingsFileProcessor processor = halcettProcessor(REQUIRED_INI +
                                                     "[Ground]\nHeight=-1.85\nMaxSlope=12\n"
                                                     "[Tracking]\nCoastTime=1500\nMinPoints=8\n"
                                                     "Classify=Off\n"
                                                     "[Output]\nAddress=10.0.0.7\nPort=+9470\n"
                                                     "[Display]\nColorScheme=night\n");
  processor.convertHalcettSettings();
  ptree const& out = processor.getOutputSettings();

  EXPECT_EQ(out.get<std::string>("TarvioSettings.Input.frameRate"), "20");
  EXPECT_EQ(out.get<std::string>("TarvioSettings.Input.minRange"), "1");
  EXPECT_EQ(out.get<std::string>("TarvioSettings.Input.maxRange"), "80");
  EXPECT_EQ(out.get<std::string>("TarvioSettings.Ground.height"), "-1.85");
  EXPECT_NEAR(std::stod(out.get<std::string>("TarvioSettings.Ground.maxSlope")), 12 * PI / 180,
              1e-16);
  EXPECT_EQ(out.get<std::string>("TarvioSettings.Tracking.coastTime"), "1.5");
  EXPECT_EQ(out.get<std::string>("TarvioSettings.Tracking.minClusterPoints"), "8");
  EXPECT_EQ(out.get<std::string>("TarvioSettings.Tracking.classifyObjects"), "false");
  EXPECT_EQ(out.get<std::string>("TarvioSettings.Output.address"), "10.0.0.7");
  EXPECT_EQ(out.get<std::string>("TarvioSettings.Output.port"), "9470");
  // Template values without a Halcett counterpart stay; unknown keys add nothing.
  EXPECT_EQ(out.get<std::string>("TarvioSettings.Ground.cellSize"), "0.25");
  EXPECT_FALSE(out.get_child_optional("TarvioSettings.Display"));
  EXPECT_EQ(out.get_child("TarvioSettings").size(), 5u);
}

TEST(HalcettConversion, OptionalKeysLeftOutKeepTheTemplateValues) {
  SettingsFileProcessor processor = halcettProcessor(REQUIRED_INI);
  processor.convertHalcettSettings();
  ptree expected = xmlTree(TEMPLATE);
  expected.put("TarvioSettings.Input.frameRate", "20");
  expected.put("TarvioSettings.Input.minRange", "1");
  expected.put("TarvioSettings.Input.maxRange", "80");
  EXPECT_EQ(processor.getOutputSettings(), expected);
}

TEST(HalcettConversion, KeepsItsOwnCopyOfTheTemplate) {
  ptree templateTree = xmlTree(TEMPLATE);
  SettingsFileProcessor processor(templateTree, iniTree(REQUIRED_INI), boost::none, false, false);
  templateTree.put("TarvioSettings.Input.frameRate", "99");
  templateTree.put("TarvioSettings.Extra", "x");
  EXPECT_EQ(processor.getOutputSettings(), xmlTree(TEMPLATE));
  processor.convertHalcettSettings();
  EXPECT_EQ(processor.getOutputSettings().get<std::string>("TarvioSettings.Input.frameRate"), "20");
  EXPECT_FALSE(processor.getOutputSettings().get_child_optional("TarvioSettings.Extra"));
}

TEST(HalcettConversion, AddMissingPlacesCreatesWhatTheTemplateLacks) {
  std::string const bare = "<TarvioSettings><Input/></TarvioSettings>";
  SettingsFileProcessor processor = halcettProcessor(REQUIRED_INI + "[Output]\nPort=7\n", bare,
                                                     /*addMissingPlaces=*/true);
  processor.convertHalcettSettings();
  EXPECT_EQ(processor.getOutputSettings().get<std::string>("TarvioSettings.Input.maxRange"), "80");
  EXPECT_EQ(processor.getOutputSettings().get<std::string>("TarvioSettings.Output.port"), "7");
}

struct HalcettFailure {
  char const* name;
  std::string ini;
  std::string templateText;
  std::string message;
};

class HalcettFailures : public ::testing::TestWithParam<HalcettFailure> {};

TEST_P(HalcettFailures, ThrowBadPathNamingTheSettingAndLeaveTheOutputAlone) {
  HalcettFailure const& c = GetParam();
  SettingsFileProcessor processor = halcettProcessor(c.ini, c.templateText);
  ptree const before = processor.getOutputSettings();
  try {
    processor.convertHalcettSettings();
    FAIL() << "no exception";
  } catch (ptree_bad_path const& error) {
    EXPECT_EQ(std::string(error.what()), c.message);
  }
  EXPECT_EQ(processor.getOutputSettings(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HalcettFailures,
    ::testing::Values(
        HalcettFailure{"MissingRequiredKey", "[Sensor]\nFrameRate=20\nMaxRange=80\n", TEMPLATE,
                       "Required Halcett setting is missing (Sensor.MinRange)"},
        HalcettFailure{"KeyInTheWrongSection", "FrameRate=20\n[Sensor]\nMinRange=1\nMaxRange=80\n",
                       TEMPLATE, "Required Halcett setting is missing (Sensor.FrameRate)"},
        HalcettFailure{"NotANumber", "[Sensor]\nFrameRate=fast\nMinRange=1\nMaxRange=80\n",
                       TEMPLATE, "Halcett setting is not a number: \"fast\" (Sensor.FrameRate)"},
        HalcettFailure{"NotFinite", "[Sensor]\nFrameRate=inf\nMinRange=1\nMaxRange=80\n", TEMPLATE,
                       "Halcett setting is not a number: \"inf\" (Sensor.FrameRate)"},
        HalcettFailure{"DecimalCommaOrTrailingText",
                       "[Sensor]\nFrameRate=10\nMinRange=0,5\nMaxRange=80\n", TEMPLATE,
                       "Halcett setting is not a number: \"0,5\" (Sensor.MinRange)"},
        HalcettFailure{"ZeroFrameRate", "[Sensor]\nFrameRate=0\nMinRange=1\nMaxRange=80\n",
                       TEMPLATE,
                       "Halcett setting is not a number greater than 0: \"0\" (Sensor.FrameRate)"},
        HalcettFailure{"RangesTheWrongWayRound",
                       "[Sensor]\nFrameRate=10\nMinRange=80\nMaxRange=80\n", TEMPLATE,
                       "Halcett setting is not greater than Sensor.MinRange: \"80\" "
                       "(Sensor.MaxRange)"},
        HalcettFailure{"NegativeCoastTime", REQUIRED_INI + "[Tracking]\nCoastTime=-5\n", TEMPLATE,
                       "Halcett setting is not a number of at least 0: \"-5\" "
                       "(Tracking.CoastTime)"},
        HalcettFailure{"FractionalCount", REQUIRED_INI + "[Tracking]\nMinPoints=2.5\n", TEMPLATE,
                       "Halcett setting is not a whole number from 1: \"2.5\" "
                       "(Tracking.MinPoints)"},
        HalcettFailure{"PortOutOfRange", REQUIRED_INI + "[Output]\nPort=65536\n", TEMPLATE,
                       "Halcett setting is not a port number from 1 to 65535: \"65536\" "
                       "(Output.Port)"},
        HalcettFailure{"NotYesOrNo", REQUIRED_INI + "[Tracking]\nClassify=maybe\n", TEMPLATE,
                       "Halcett setting is not yes or no: \"maybe\" (Tracking.Classify)"},
        HalcettFailure{"EmptyAddress", REQUIRED_INI + "[Output]\nAddress=\n", TEMPLATE,
                       "Halcett setting is not a non-empty text: \"\" (Output.Address)"},
        HalcettFailure{"TemplateWithoutThePlace", REQUIRED_INI,
                       "<TarvioSettings><Input><frameRate>1</frameRate></Input></TarvioSettings>",
                       "The template has no place for Halcett setting Sensor.MinRange "
                       "(TarvioSettings.Input.minRange)"}),
    [](auto const& info) { return info.param.name; });

// ----------------------------------------------------------------- Pellam

/// Calibration with the world origin at (1, 2, 0), unturned; LiDAR "a" at
/// (3, 2, 1) turned 90 degrees about Z; LiDAR "b" at the world origin turned
/// 90 degrees about Z, then 90 degrees about its own X; LiDAR "c" at the
/// world origin, unturned.
std::string kestrinCalibration(std::string const& version = "Kestrin") {
  return R"(<PellamCalibration version=")" + version + R"(">
  <WorldOrigin><Position x="1" y="2" z="0"/><Orientation yaw="0" pitch="0" roll="0"/></WorldOrigin>
  <Lidars>
    <Lidar name="a"><Position x="3" y="2" z="1"/><Orientation yaw="90" pitch="0" roll="0"/></Lidar>
    <Lidar name="b"><Position x="1" y="2" z="0"/><Orientation yaw="90" pitch="0" roll="90"/></Lidar>
    <Lidar name="c"><Position x="1" y="2" z="0"/><Orientation yaw="0" pitch="0" roll="0"/></Lidar>
  </Lidars>
</PellamCalibration>)";
}

/// Relative poses only: "w" at (5, 0, 0) turned 180 degrees about Z, "d" one
/// unit nearer the calibration origin with the same orientation.
std::string const LEGACY_CALIBRATION = R"(<PellamCalibration version="Corrie">
  <Lidars>
    <Lidar name="w"><Position x="5" y="0" z="0"/><Orientation yaw="180" pitch="0" roll="0"/></Lidar>
    <Lidar name="d"><Position x="4" y="0" z="0"/><Orientation yaw="180" pitch="0" roll="0"/></Lidar>
  </Lidars>
</PellamCalibration>)";

struct ExpectedTransform {
  std::string to;
  Eigen::Vector3d position;
  Eigen::Vector4d quaternion;  // x, y, z, w
  Eigen::Vector3d yawPitchRoll;
};

SettingsFileProcessor pellamProcessor(std::string const& calibration,
                                      std::vector<std::string> const& lidars,
                                      std::string const& templateText = TEMPLATE,
                                      bool keepTemplateTransforms = false) {
  SettingsFileProcessor processor(xmlTree(templateText), boost::none, xmlTree(calibration), false,
                                  keepTemplateTransforms);
  processor.setLidarsContainer(lidars);
  return processor;
}

double number(ptree const& node, std::string const& key) {
  return std::stod(node.get<std::string>(key));
}

void expectRecord(ptree const& record, ExpectedTransform const& expected) {
  SCOPED_TRACE(expected.to);
  std::vector<std::string> keys;
  for (auto const& child : record) keys.push_back(child.first);
  EXPECT_EQ(keys, (std::vector<std::string>{"fromFrameName", "toFrameName", "Position",
                                            "orientationMethod", "Quaternion", "EulerYPR"}));
  EXPECT_EQ(record.get<std::string>("fromFrameName"), "Global");
  EXPECT_EQ(record.get<std::string>("toFrameName"), expected.to);
  EXPECT_EQ(record.get<std::string>("orientationMethod"), "quaternion");
  EXPECT_EQ(record.get<std::string>("EulerYPR.units"), "radians");
  constexpr double tolerance = 1e-12;
  char const* const axes[] = {"x", "y", "z", "w"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(number(record, std::string("Position.") + axes[i]), expected.position[i],
                tolerance);
  }
  // q and -q are the same rotation; compare with the sign of the expectation.
  Eigen::Vector4d quaternion;
  for (int i = 0; i < 4; ++i) quaternion[i] = number(record, std::string("Quaternion.") + axes[i]);
  if (quaternion.dot(expected.quaternion) < 0) quaternion = -quaternion;
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(quaternion[i], expected.quaternion[i], tolerance);
  EXPECT_NEAR(number(record, "EulerYPR.yaw"), expected.yawPitchRoll[0], tolerance);
  EXPECT_NEAR(number(record, "EulerYPR.pitch"), expected.yawPitchRoll[1], tolerance);
  EXPECT_NEAR(number(record, "EulerYPR.roll"), expected.yawPitchRoll[2], tolerance);
}

std::vector<ptree> transformRecords(SettingsFileProcessor const& processor) {
  std::vector<ptree> records;
  for (auto const& [tag, node] :
       processor.getOutputSettings().get_child("TarvioSettings.Transforms")) {
    EXPECT_EQ(tag, "Transform");
    records.push_back(node);
  }
  return records;
}

// Expected values worked out by hand: the record maps world coordinates into
// the LiDAR's, so it is the inverse of the LiDAR's placement in the world.
ExpectedTransform const TO_A{"a", {0, 2, -1}, {0, 0, -HALF_SQRT2, HALF_SQRT2}, {-PI / 2, 0, 0}};
ExpectedTransform const TO_B{"b", {0, 0, 0}, {-0.5, -0.5, -0.5, 0.5}, {-PI / 2, 0, -PI / 2}};
ExpectedTransform const TO_C{"c", {0, 0, 0}, {0, 0, 0, 1}, {0, 0, 0}};

TEST(PellamConversion, WritesOneTransformPerListedLidarInListOrder) {
  SettingsFileProcessor processor = pellamProcessor(kestrinCalibration(), {"b", "c", "a"});
  processor.convertPellamCalibrationSettings();
  std::vector<ptree> const records = transformRecords(processor);
  ASSERT_EQ(records.size(), 3u);
  expectRecord(records[0], TO_B);
  expectRecord(records[1], TO_C);
  expectRecord(records[2], TO_A);
  // The rest of the template is untouched.
  EXPECT_EQ(processor.getOutputSettings().get<std::string>("TarvioSettings.Input.maxRange"), "100");
}

TEST(PellamConversion, LaterVersionsAlsoCarryAWorldOrigin) {
  SettingsFileProcessor processor = pellamProcessor(kestrinCalibration("Lindum"), {"a"});
  processor.convertPellamCalibrationSettings();
  std::vector<ptree> const records = transformRecords(processor);
  ASSERT_EQ(records.size(), 1u);
  expectRecord(records[0], TO_A);
}

TEST(PellamConversion, LegacyFilesTakeTheWorldFromTheWorldLidar) {
  SettingsFileProcessor processor = pellamProcessor(LEGACY_CALIBRATION, {"d", "w"});
  processor.setWorldLidar("w");
  processor.convertPellamCalibrationSettings();
  std::vector<ptree> const records = transformRecords(processor);
  ASSERT_EQ(records.size(), 2u);
  // "d" sits one unit ahead of "w" along w's own x axis.
  expectRecord(records[0], {"d", {-1, 0, 0}, {0, 0, 0, 1}, {0, 0, 0}});
  expectRecord(records[1], {"w", {0, 0, 0}, {0, 0, 0, 1}, {0, 0, 0}});
}

TEST(PellamConversion, AWorldLidarTakesThePlaceOfTheWorldOrigin) {
  SettingsFileProcessor processor = pellamProcessor(kestrinCalibration(), {"c", "a"});
  processor.setWorldLidar("a");
  processor.convertPellamCalibrationSettings();
  std::vector<ptree> const records = transformRecords(processor);
  ASSERT_EQ(records.size(), 2u);
  // Seen from c, a lies 2 ahead and 1 up, turned 90 degrees.
  expectRecord(records[0], {"c", {2, 0, 1}, {0, 0, HALF_SQRT2, HALF_SQRT2}, {PI / 2, 0, 0}});
  expectRecord(records[1], {"a", {0, 0, 0}, {0, 0, 0, 1}, {0, 0, 0}});
}

TEST(PellamConversion, AnglesAndQuaternionDescribeTheSameRotation) {
  std::string const calibration = R"(<PellamCalibration version="Kestrin">
    <WorldOrigin><Position x="0.3" y="-2" z="1"/><Orientation yaw="-20" pitch="7" roll="3"/></WorldOrigin>
    <Lidars><Lidar name="e"><Position x="4" y="1.5" z="2"/>
      <Orientation yaw="135" pitch="-8" roll="1.5"/></Lidar></Lidars></PellamCalibration>)";
  SettingsFileProcessor processor = pellamProcessor(calibration, {"e"});
  processor.convertPellamCalibrationSettings();
  ptree const record = transformRecords(processor).at(0);
  Eigen::Quaterniond const q(number(record, "Quaternion.w"), number(record, "Quaternion.x"),
                             number(record, "Quaternion.y"), number(record, "Quaternion.z"));
  EXPECT_NEAR(q.norm(), 1.0, 1e-15);
  // Extrinsic yaw-pitch-roll: R = Rx(roll)·Ry(pitch)·Rz(yaw).
  Eigen::Quaterniond const fromAngles =
      Eigen::AngleAxisd(number(record, "EulerYPR.roll"), Eigen::Vector3d::UnitX()) *
      Eigen::AngleAxisd(number(record, "EulerYPR.pitch"), Eigen::Vector3d::UnitY()) *
      Eigen::AngleAxisd(number(record, "EulerYPR.yaw"), Eigen::Vector3d::UnitZ());
  EXPECT_NEAR(std::abs(q.dot(fromAngles)), 1.0, 1e-12);
}

TEST(PellamConversion, ConvertedRecordsReadBackThroughTheSettingsStore) {
  SettingsFileProcessor processor = pellamProcessor(kestrinCalibration(), {"a", "b"});
  processor.convertPellamCalibrationSettings();
  std::string const file = "tarvio_processor_readback.xml";
  boost::property_tree::write_xml(file, processor.getOutputSettings());

  ostrel::SettingsManager settings;
  settings.addXML(file);
  std::filesystem::remove(file);
  settings.pathPush("TarvioSettings");
  settings.pathPush("Transforms");
  ASSERT_EQ(settings.getChildCount("Transform"), 2);
  settings.pathPush("Transform", 0, nullptr);
  EXPECT_EQ(settings.get<std::string>("toFrameName"), "a");
  settings.pathPush("Position");
  Eigen::Vector3f const position = ostrel::utils::getVector3f(settings);
  settings.pathPop();
  EXPECT_NEAR(position.x(), 0.0f, 1e-6f);
  EXPECT_NEAR(position.y(), 2.0f, 1e-6f);
  EXPECT_NEAR(position.z(), -1.0f, 1e-6f);
  settings.pathPush("Quaternion");
  Eigen::Quaternionf const q = ostrel::utils::getQuaternion(settings);
  settings.pathPop();
  EXPECT_NEAR(q.z(), -static_cast<float>(HALF_SQRT2), 1e-6f);
  EXPECT_NEAR(q.w(), static_cast<float>(HALF_SQRT2), 1e-6f);
  EXPECT_EQ(settings.get<std::string>("EulerYPR.units"), "radians");
  EXPECT_NEAR(settings.get<float>("EulerYPR.yaw"), -static_cast<float>(PI / 2), 1e-6f);
}

TEST(PellamConversion, TemplateTransformsAreReplacedUnlessKept) {
  std::string const withTransform =
      "<TarvioSettings><Transforms><note>kept</note><Transform><fromFrameName>Body"
      "</fromFrameName></Transform></Transforms></TarvioSettings>";
  for (bool const keep : {false, true}) {
    SCOPED_TRACE(keep);
    SettingsFileProcessor processor =
        pellamProcessor(kestrinCalibration(), {"a"}, withTransform, keep);
    processor.convertPellamCalibrationSettings();
    ptree const& list = processor.getOutputSettings().get_child("TarvioSettings.Transforms");
    EXPECT_EQ(list.get<std::string>("note"), "kept");
    EXPECT_EQ(list.count("Transform"), keep ? 2u : 1u);
    EXPECT_EQ((--list.end())->second.get<std::string>("toFrameName"), "a");
  }
}

TEST(PellamConversion, TemplateWithoutAListGetsOne) {
  SettingsFileProcessor processor =
      pellamProcessor(kestrinCalibration(), {"c"}, "<TarvioSettings><a>1</a></TarvioSettings>");
  processor.convertPellamCalibrationSettings();
  ASSERT_EQ(transformRecords(processor).size(), 1u);
  expectRecord(transformRecords(processor)[0], TO_C);
}

struct PellamFailure {
  char const* name;
  std::string calibration;
  std::vector<std::string> lidars;
  std::string worldLidar;  // empty: none set
  bool badPath;            // ptree_bad_path, else std::runtime_error
  std::string message;
  std::string templateText = TEMPLATE;
};

class PellamFailures : public ::testing::TestWithParam<PellamFailure> {};

TEST_P(PellamFailures, ThrowNamingTheCauseAndLeaveTheOutputAlone) {
  PellamFailure const& c = GetParam();
  SettingsFileProcessor processor = pellamProcessor(c.calibration, c.lidars, c.templateText);
  if (!c.worldLidar.empty()) processor.setWorldLidar(c.worldLidar);
  ptree const before = processor.getOutputSettings();
  try {
    processor.convertPellamCalibrationSettings();
    FAIL() << "no exception";
  } catch (ptree_bad_path const& error) {
    EXPECT_TRUE(c.badPath) << error.what();
    EXPECT_EQ(std::string(error.what()), c.message);
  } catch (std::runtime_error const& error) {
    EXPECT_FALSE(c.badPath) << error.what();
    EXPECT_EQ(std::string(error.what()), c.message);
  }
  EXPECT_EQ(processor.getOutputSettings(), before);
}

std::string const NO_ORIGIN = R"(<PellamCalibration version="Kestrin"><Lidars>
  <Lidar name="a"><Position x="1" y="0" z="0"/><Orientation yaw="0" pitch="0" roll="0"/></Lidar>
  </Lidars></PellamCalibration>)";

INSTANTIATE_TEST_SUITE_P(
    Cases, PellamFailures,
    ::testing::Values(
        PellamFailure{"LidarAbsentFromCalibration",
                      kestrinCalibration(),
                      {"a", "rear"},
                      "",
                      false,
                      "The LiDAR \"rear\" is not in the Pellam calibration"},
        PellamFailure{"LegacyWithoutWorldLidar",
                      LEGACY_CALIBRATION,
                      {"d"},
                      "",
                      false,
                      "The Pellam calibration version \"Corrie\" is older than Kestrin and places "
                      "its LiDARs only relative to one another: a world LiDAR must be named"},
        PellamFailure{"WorldLidarAbsent",
                      LEGACY_CALIBRATION,
                      {"d"},
                      "north",
                      false,
                      "The world LiDAR \"north\" is not in the Pellam calibration"},
        PellamFailure{"LeadingEmptyName",
                      kestrinCalibration(),
                      {"", "a"},
                      "",
                      false,
                      "The LiDAR list has an empty name at position 1"},
        PellamFailure{"TrailingEmptyName",
                      kestrinCalibration(),
                      {"a", "b", ""},
                      "",
                      false,
                      "The LiDAR list has an empty name at position 3"},
        PellamFailure{"RepeatedName",
                      kestrinCalibration(),
                      {"a", "b", "a"},
                      "",
                      false,
                      "The LiDAR list names \"a\" twice, at position 1 and position 3"},
        PellamFailure{"WorldFrameName",
                      kestrinCalibration(),
                      {"Global"},
                      "",
                      false,
                      "The LiDAR name \"Global\" at position 1 is the name of the world frame"},
        PellamFailure{"EmptyList",
                      kestrinCalibration(),
                      {},
                      "",
                      false,
                      "No LiDARs were selected for the Pellam calibration conversion"},
        PellamFailure{"UnknownVersion",
                      kestrinCalibration("Zephyr"),
                      {"a"},
                      "",
                      false,
                      "Unknown Pellam calibration version \"Zephyr\" (known versions: Alder, "
                      "Bramble, Corrie, Kestrin, Lindum)"},
        PellamFailure{"UnreadableNumber",
                      R"(<PellamCalibration version="Kestrin"><Lidars><Lidar name="a">
                         <Position x="1" y="two" z="0"/><Orientation yaw="0" pitch="0" roll="0"/>
                         </Lidar></Lidars></PellamCalibration>)",
                      {"a"},
                      "",
                      false,
                      "Pellam calibration: LiDAR \"a\" has an unreadable Position y value \"two\""},
        PellamFailure{"LidarListedTwiceInCalibration",
                      R"(<PellamCalibration version="Corrie"><Lidars>
                         <Lidar name="a"><Position x="1" y="0" z="0"/><Orientation yaw="0" pitch="0" roll="0"/></Lidar>
                         <Lidar name="a"><Position x="2" y="0" z="0"/><Orientation yaw="0" pitch="0" roll="0"/></Lidar>
                         </Lidars></PellamCalibration>)",
                      {"a"},
                      "a",
                      false,
                      "Pellam calibration lists LiDAR \"a\" more than once"},
        PellamFailure{
            "NotACalibration", "<Other/>", {"a"}, "", true, "No such node (PellamCalibration)"},
        PellamFailure{"NoVersion",
                      "<PellamCalibration><Lidars/></PellamCalibration>",
                      {"a"},
                      "",
                      true,
                      "No such node (PellamCalibration.<xmlattr>.version)"},
        PellamFailure{"KestrinWithoutWorldOrigin",
                      NO_ORIGIN,
                      {"a"},
                      "",
                      true,
                      "No such node (PellamCalibration.WorldOrigin)"},
        PellamFailure{"LidarWithoutOrientation",
                      R"(<PellamCalibration version="Kestrin"><Lidars><Lidar name="a">
                         <Position x="1" y="0" z="0"/></Lidar></Lidars></PellamCalibration>)",
                      {"a"},
                      "",
                      true,
                      "No such node (PellamCalibration.Lidars.Lidar[a].Orientation)"},
        PellamFailure{"TemplateWithoutRoot",
                      kestrinCalibration(),
                      {"a"},
                      "",
                      true,
                      "The template has no place for the transform list (TarvioSettings)",
                      "<Other/>"}),
    [](auto const& info) { return info.param.name; });

TEST(PellamConversion, WithoutALidarListIsRefused) {
  SettingsFileProcessor processor(xmlTree(TEMPLATE), boost::none, xmlTree(kestrinCalibration()),
                                  false, false);
  EXPECT_THROW(processor.convertPellamCalibrationSettings(), std::runtime_error);
}

TEST(SettingsFileProcessor, ConvertingWhatWasNotGivenIsACallerError) {
  SettingsFileProcessor processor(xmlTree(TEMPLATE), boost::none, boost::none, false, false);
  EXPECT_THROW(processor.convertHalcettSettings(), std::logic_error);
  EXPECT_THROW(processor.convertPellamCalibrationSettings(), std::logic_error);
  EXPECT_EQ(processor.getOutputSettings(), xmlTree(TEMPLATE));
}

}  // namespace
