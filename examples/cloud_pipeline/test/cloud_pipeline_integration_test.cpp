// Runs the ostrel-cloud-pipeline program end to end and checks what it
// leaves behind: exit status, messages, timings and the PCD file.
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <pcl/io/pcd_io.h>

#include "colored_ring_point.h"

namespace cloud_pipeline {
namespace {

namespace fs = std::filesystem;

std::string readFile(fs::path const& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::size_t occurrences(std::string const& text, std::string const& word) {
  std::size_t count = 0;
  for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++count;
  return count;
}

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

class CloudPipelineProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("cloud_pipeline_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Runs `program arguments` in the test folder.
  ProgramRun run(std::string const& program, std::string const& arguments) const {
    fs::path const out = folder_ / "stdout.txt";
    fs::path const err = folder_ / "stderr.txt";
    std::string const command = "cd '" + folder_.string() + "' && '" + program + "' " + arguments +
                                " >'" + out.string() + "' 2>'" + err.string() + "'";
    int const raw = std::system(command.c_str());
    ProgramRun result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readFile(out);
    result.err = readFile(err);
    return result;
  }

  ProgramRun runPipeline(std::string const& arguments) const {
    return run(OSTREL_CLOUD_PIPELINE, "--configuration-settings '" OSTREL_CLOUD_PIPELINE_DIR
                                      "/configuration.xml' " +
                                          arguments);
  }

  fs::path folder_;
};

// 30° of hue between the twelve rings: the colours of the wheel's corners.
std::map<int, std::array<int, 3>> const HAND_COLORS{{0, {255, 0, 0}}, {2, {255, 255, 0}},
                                                    {4, {0, 255, 0}}, {6, {0, 255, 255}},
                                                    {8, {0, 0, 255}}, {10, {255, 0, 255}}};

TEST_F(CloudPipelineProgramTest, RunsAFewFramesAndWritesTheColouredCloud) {
  ProgramRun const result = runPipeline("--frames 4 --rings 12 --columns 90 --output last.pcd");

  ASSERT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_EQ(occurrences(result.err, "sequence gap"), 1u) << result.err;
  EXPECT_EQ(occurrences(result.err, "ERROR"), 0u) << result.err;
  EXPECT_NE(result.out.find("frames coloured:   4"), std::string::npos) << result.out;
  // Main-thread stages are rows of the top timer's table; pool-side stages
  // and the stop-time write have summary lines of their own.
  EXPECT_NE(result.out.find("frame Benchmarks from 4 iterations"), std::string::npos);
  for (char const* stage :
       {"trajectory feed", "lidar driver", "pcl converter", "sequence check", "pool handoff"}) {
    EXPECT_NE(result.out.find(std::string(stage) + " "), std::string::npos) << stage;
  }
  for (char const* stage : {"world transform", "ring colour", "pcd write"}) {
    EXPECT_NE(result.out.find(std::string(stage) + " Benchmarks from"), std::string::npos)
        << stage << "\n"
        << result.out;
  }
  EXPECT_EQ(occurrences(result.out, "Cloud pipeline summary"), 1u);
  EXPECT_NE(result.out.find("PCD file written: last.pcd"), std::string::npos);

  fs::path const pcd = folder_ / "last.pcd";
  ASSERT_TRUE(fs::exists(pcd));
  EXPECT_FALSE(fs::exists(folder_ / "last.pcd.partial"));
  std::string const text = readFile(pcd);
  EXPECT_NE(text.find("FIELDS x y z intensity ring rgb"), std::string::npos);

  ColoredCloud cloud;
  ASSERT_EQ(pcl::io::loadPCDFile(pcd.string(), cloud), 0);
  ASSERT_EQ(cloud.size(), 12u * 90u);
  EXPECT_EQ(cloud.width, 90u);
  EXPECT_EQ(cloud.height, 12u);
  std::map<int, std::array<int, 3>> seen;
  for (ColoredRingPoint const& point : cloud.points) {
    ASSERT_LT(point.ring, 12);
    std::array<int, 3> const color{point.r, point.g, point.b};
    auto const [entry, fresh] = seen.emplace(point.ring, color);
    ASSERT_EQ(entry->second, color) << "ring " << point.ring << " has two colours";
    ASSERT_TRUE(std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z));
  }
  ASSERT_EQ(seen.size(), 12u);
  for (auto const& [ring, color] : HAND_COLORS) EXPECT_EQ(seen.at(ring), color) << ring;
  // Row 0 is the top beam, which the converter numbers highest.
  EXPECT_EQ(cloud.points.front().ring, 11);
  EXPECT_EQ(cloud.points.back().ring, 0);
}

TEST_F(CloudPipelineProgramTest, AnUnknownSensorIsAnErrorNotAnIdentity) {
  ProgramRun const result = runPipeline("--frames 2 --sensor rear --output never.pcd");
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.err.find("rear"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(folder_ / "never.pcd"));
}

TEST_F(CloudPipelineProgramTest, AnUnwritableOutputFailsWithoutAFile) {
  ProgramRun const result =
      runPipeline("--frames 2 --rings 4 --columns 8 --output missing/out.pcd");
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.err.find("missing/out.pcd"), std::string::npos) << result.err;
  EXPECT_FALSE(fs::exists(folder_ / "missing"));
}

TEST_F(CloudPipelineProgramTest, RejectsACountOutOfRange) {
  ProgramRun const result = runPipeline("--frames 0");
  EXPECT_NE(result.status, 0);
  EXPECT_NE(result.err.find("--frames"), std::string::npos) << result.err;
}

TEST_F(CloudPipelineProgramTest, ConfigurationIsWhatTheConverterMakesOfTheSamples) {
  ProgramRun const result =
      run(OSTREL_SETTINGS_CONVERTER,
          "--tarvio-template '" OSTREL_CLOUD_PIPELINE_DIR
          "/configuration-template.xml' --halcett-settings '" OSTREL_EXAMPLES_DIR
          "/halcett.ini' --pellam-calibration-file '" OSTREL_EXAMPLES_DIR
          "/pellam-kestrin.xml' --lidars-to-use north,east,gate --output-file "
          "converted.xml");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(readFile(folder_ / "converted.xml"),
            readFile(fs::path(OSTREL_CLOUD_PIPELINE_DIR) / "configuration.xml"));
}

}  // namespace
}  // namespace cloud_pipeline
