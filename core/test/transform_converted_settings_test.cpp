// A settings file made by the perception-server converter from the sample
// legacy files loads straight into a transform manager.
#include <ostrel/core/transform_manager.h>

#include <ostrel/settings/settings_manager.h>
#include <ostrel/tarvio/settings_file_processor.h>

#include <boost/optional.hpp>
#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <gtest/gtest.h>

#include <Eigen/Geometry>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace ostrel {
namespace {

using boost::property_tree::ptree;
using Eigen::Affine3f;
using Eigen::AngleAxisf;
using Eigen::Vector3f;

constexpr float DEGREE = 3.14159265358979323846f / 180.0f;

/// A placement as the calibration files state it: position in metres,
/// intrinsic yaw-pitch-roll in degrees.
struct Placement {
  Vector3f position;
  Vector3f yawPitchRollDegrees;

  Affine3f transform() const {
    Vector3f const a = yawPitchRollDegrees * DEGREE;
    return Eigen::Translation3f(position) * AngleAxisf(a[0], Vector3f::UnitZ()) *
           AngleAxisf(a[1], Vector3f::UnitY()) * AngleAxisf(a[2], Vector3f::UnitX());
  }
};

struct LidarPlacement {
  std::string name;
  Placement placement;
};

/// One sample calibration, the placement the world frame has in it, and its
/// LiDARs, copied from the sample file by hand.
struct Sample {
  std::string file;
  std::string worldLidar;  // empty: the file's own world origin
  Placement world;
  std::vector<LidarPlacement> lidars;
};

void PrintTo(Sample const& sample, std::ostream* out) { *out << sample.file; }

ptree readXml(std::string const& file) {
  ptree tree;
  boost::property_tree::read_xml(file, tree, boost::property_tree::xml_parser::trim_whitespace);
  return tree;
}

class ConvertedSettings : public ::testing::TestWithParam<Sample> {};

INSTANTIATE_TEST_SUITE_P(
    Samples, ConvertedSettings,
    ::testing::Values(Sample{"pellam-kestrin.xml",
                             "",
                             {{12.5f, -3.0f, 0.0f}, {90.0f, 0.0f, 0.0f}},
                             {{"north", {{0.0f, 0.0f, 4.2f}, {0.0f, -10.0f, 0.0f}}},
                              {"east", {{18.25f, -3.5f, 3.9f}, {135.0f, -8.0f, 1.5f}}},
                              {"gate", {{12.5f, -6.0f, 2.5f}, {90.0f, 0.0f, 0.0f}}}}},
                      Sample{"pellam-legacy.xml",
                             "north",
                             {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}},
                             {{"north", {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}}},
                              {"east", {{18.25f, -3.5f, -0.3f}, {135.0f, 2.0f, 1.5f}}}}}),
    [](auto const& info) {
      return info.param.worldLidar.empty() ? std::string("WorldOrigin") : std::string("WorldLidar");
    });

TEST_P(ConvertedSettings, LoadIntoATransformManagerThatPlacesEachLidarInTheWorld) {
  Sample const& sample = GetParam();
  std::string const examples = OSTREL_EXAMPLES_DIR;
  tarvio::SettingsFileProcessor processor(readXml(examples + "/tarvio-template.xml"), boost::none,
                                          readXml(examples + "/" + sample.file), false, false);
  std::vector<std::string> names;
  for (LidarPlacement const& lidar : sample.lidars) names.push_back(lidar.name);
  processor.setLidarsContainer(names);
  if (!sample.worldLidar.empty()) processor.setWorldLidar(sample.worldLidar);
  processor.convertPellamCalibrationSettings();

  std::filesystem::create_directories("transform_converted_scratch");
  std::string const converted = "transform_converted_scratch/" + sample.file;
  boost::property_tree::write_xml(converted, processor.getOutputSettings());
  SettingsManager settings;
  settings.addXML(converted);
  settings.pathPush("TarvioSettings");

  TransformManager manager;
  EXPECT_EQ(manager.loadTransforms(settings), TransformManager::Success);
  std::vector<std::string> expectedFrames{frames::GLOBAL_FRAME};
  expectedFrames.insert(expectedFrames.end(), names.begin(), names.end());
  EXPECT_EQ(manager.getFrames(), expectedFrames);

  Affine3f const fromCalibrationToWorld = sample.world.transform().inverse();
  for (LidarPlacement const& lidar : sample.lidars) {
    Pose pose;
    ASSERT_EQ(manager.getTransform(lidar.name, frames::GLOBAL_FRAME, pose),
              TransformManager::Success);
    Affine3f const expected = fromCalibrationToWorld * lidar.placement.transform();
    Affine3f const got = Eigen::Translation3f(pose.position) * pose.orientation.normalized();
    EXPECT_LT((got.matrix() - expected.matrix()).cwiseAbs().maxCoeff(), 1e-4f)
        << lidar.name << "\n"
        << got.matrix() << "\nis not\n"
        << expected.matrix();
  }
}

}  // namespace
}  // namespace ostrel
