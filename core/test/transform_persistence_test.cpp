#include <ostrel/core/transform_manager.h>

#include <ostrel/core/pose_settings.h>
#include <ostrel/settings/settings_manager.h>

#include <boost/property_tree/exceptions.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "transform_test_support.h"

namespace ostrel {
namespace {

using Eigen::Affine3f;
using Eigen::Vector3f;
using testing::makePose;
using testing::rigidOf;
using testing::samePlacement;
using Frames = std::vector<std::string>;

/// A store standing at "Rig" and a scratch folder for the XML files that
/// carry it from one store to the next.
class TransformPersistenceTest : public testing::TransformLogging {
 protected:
  void SetUp() override {
    TransformLogging::SetUp();
    std::filesystem::create_directories(folder_);
    store_.pathPush("Rig");
  }

  /// Writes `store` to a real XML file and reads it into a new store, which
  /// stands at "Rig".
  SettingsManager throughFile(SettingsManager const& store, std::string const& name) {
    std::string const file = (folder_ / name).string();
    store.writeXML(file);
    SettingsManager read;
    read.addXML(file);
    read.pathPush("Rig");
    return read;
  }

  /// (from, to) of each record in the store's list, in order.
  static std::vector<std::pair<std::string, std::string>> recordNames(SettingsManager store) {
    std::vector<std::pair<std::string, std::string>> names;
    store.pathPush("Transforms");
    for (int i = 0, n = store.getChildCount("Transform"); i < n; ++i) {
      store.pathPush("Transform", i, nullptr);
      names.emplace_back(store.get<std::string>("fromFrameName"),
                         store.get<std::string>("toFrameName"));
      store.pathPop();
    }
    return names;
  }

  /// Appends a hand-written record to the store's list.
  static void addRecord(SettingsManager& store, std::string const& from, std::string const& to,
                        Pose const& pose) {
    store.pathPush("Transforms");
    store.pathPush("Transform", store.getChildCount("Transform"), nullptr);
    store.set<std::string>("fromFrameName", from);
    store.set<std::string>("toFrameName", to);
    setPose(store, pose);
    store.pathPop();
    store.pathPop();
  }

  Pose lookup(TransformManager const& manager, std::string const& from, std::string const& to) {
    Pose pose;
    EXPECT_EQ(manager.getTransform(from, to, pose), TransformManager::Success) << from << to;
    return pose;
  }

  std::filesystem::path const folder_ = "transform_persistence_scratch";
  Pose const p_ = makePose({0.5f, -1.0f, 2.0f}, 0.8f, Vector3f(1.0f, 0.0f, 1.0f));
  Pose const q_ = makePose({3.0f, 0.0f, -1.5f}, -2.1f, Vector3f::UnitY());
  SettingsManager store_;
};

TEST_F(TransformPersistenceTest, ARoundTripThroughAFileKeepsThePairAndTurnsItsDirection) {
  TransformManager body;
  body.setTransform("Body", "Sensor", p_, 12345);
  EXPECT_EQ(body.storeTransforms(store_, true), TransformManager::Success);
  EXPECT_EQ(store_.currentPath(), "Rig");
  EXPECT_EQ(recordNames(store_),
            (std::vector<std::pair<std::string, std::string>>{{"Sensor", "Body"}}));

  SettingsManager read = throughFile(store_, "body_sensor.xml");
  read.pathPush("Transforms");
  read.pathPush("Transform", 0, nullptr);
  EXPECT_TRUE(samePlacement(getPose(read), rigidOf(p_).inverse()));
  read.pathPop();
  read.pathPop();

  TransformManager loaded;
  EXPECT_EQ(loaded.loadTransforms(read), TransformManager::Success);
  EXPECT_EQ(read.currentPath(), "Rig");
  EXPECT_EQ(loaded.getFrames(), (Frames{"Sensor", "Body"}));
  EXPECT_TRUE(samePlacement(lookup(loaded, "Body", "Sensor"), p_));

  SettingsManager again;
  EXPECT_EQ(loaded.storeTransforms(again, true), TransformManager::Success);
  EXPECT_EQ(recordNames(again),
            (std::vector<std::pair<std::string, std::string>>{{"Body", "Sensor"}}));
}

TEST_F(TransformPersistenceTest, OneRecordPerConnectedPairFromTheLaterFrameToTheEarlier) {
  TransformManager chain;
  chain.setTransform("A", "B", p_, 0);
  chain.setTransform("B", "C", q_, 0);
  chain.storeTransforms(store_, true);
  EXPECT_EQ(recordNames(store_),
            (std::vector<std::pair<std::string, std::string>>{{"B", "A"}, {"C", "B"}}));

  TransformManager star;
  star.setTransform("A", "B", p_, 0);
  star.setTransform("C", "A", q_, 0);
  SettingsManager starStore;
  star.storeTransforms(starStore, true);
  EXPECT_EQ(recordNames(starStore),
            (std::vector<std::pair<std::string, std::string>>{{"B", "A"}, {"C", "A"}}));

  TransformManager loaded;
  loaded.loadTransforms(throughFile(store_, "chain.xml"));
  EXPECT_EQ(loaded.getFrames(), (Frames{"B", "A", "C"}));
  EXPECT_TRUE(samePlacement(lookup(loaded, "A", "C"), rigidOf(q_) * rigidOf(p_), 1e-4f));
}

TEST_F(TransformPersistenceTest, StoringOverAListReplacesTheFirstRecordsOrClearsIt) {
  for (int i = 0; i < 5; ++i) {
    addRecord(store_, "old" + std::to_string(i), "base", q_);
  }
  store_.set<std::string>("Transforms.Transform.note", "kept");
  TransformManager manager;
  manager.setTransform("A", "B", p_, 0);
  manager.setTransform("B", "C", q_, 0);

  SettingsManager kept = store_;
  EXPECT_EQ(manager.storeTransforms(kept, false), TransformManager::Success);
  kept = throughFile(kept, "overwritten.xml");
  EXPECT_EQ(recordNames(kept),
            (std::vector<std::pair<std::string, std::string>>{
                {"B", "A"}, {"C", "B"}, {"old2", "base"}, {"old3", "base"}, {"old4", "base"}}));
  EXPECT_EQ(kept.get<std::string>("Transforms.Transform.note"), "kept");
  kept.pathPush("Transforms");
  kept.pathPush("Transform", 0, nullptr);
  EXPECT_TRUE(samePlacement(getPose(kept), rigidOf(p_).inverse()));

  SettingsManager cleared = store_;
  EXPECT_EQ(manager.storeTransforms(cleared, true), TransformManager::Success);
  EXPECT_EQ(recordNames(throughFile(cleared, "cleared.xml")),
            (std::vector<std::pair<std::string, std::string>>{{"B", "A"}, {"C", "B"}}));
  EXPECT_FALSE(cleared.exists("Transforms.Transform.note"));
}

TEST_F(TransformPersistenceTest, AnEmptyManagerStoresNothingEvenWhenAskedToClear) {
  addRecord(store_, "A", "B", p_);
  TransformManager empty;
  EXPECT_EQ(empty.storeTransforms(store_, true), TransformManager::NotFound);
  EXPECT_EQ(recordNames(store_).size(), 1u);
  EXPECT_EQ(store_.currentPath(), "Rig");
}

TEST_F(TransformPersistenceTest, LoadingReplacesEverythingAndSkipsRecordsClosingALoop) {
  addRecord(store_, "A", "B", p_);
  addRecord(store_, "B", "C", q_);
  addRecord(store_, "C", "A", p_);
  addRecord(store_, "B", "A", q_);
  TransformManager manager;
  manager.setTransform("Old", "Older", p_, 0);
  manager.setOrigin("A", "Old", p_);

  EXPECT_EQ(manager.loadTransforms(throughFile(store_, "loop.xml")), TransformManager::Success);
  EXPECT_EQ(manager.getFrames(), (Frames{"A", "B", "C"}));
  EXPECT_EQ(warnings(),
            (Frames{"Attempting to define transform between frames C and A which already have an "
                    "indirect connection.This new inputted transform will be ignored."}));
  // The later record of a directly connected pair wins.
  EXPECT_TRUE(samePlacement(lookup(manager, "B", "A"), q_, 1e-4f));
  std::string origin;
  Pose pose;
  EXPECT_FALSE(manager.getOrigin("A", origin, pose));
}

TEST_F(TransformPersistenceTest, HistoriesAreSavedAsTheirNewestPoseAndReloadStatic) {
  TransformManager manager;
  manager.setTransform("A", "B", p_, 100);
  manager.setTransform("A", "B", q_, 200);
  manager.storeTransforms(store_, true);

  TransformManager loaded;
  loaded.loadTransforms(throughFile(store_, "history.xml"));
  for (long time : {50L, 150L, 5000000000000L}) {
    Pose pose;
    EXPECT_EQ(loaded.getTransform("A", "B", time, TransformManager::Interpolated, pose),
              TransformManager::Success);
    EXPECT_TRUE(samePlacement(pose, q_, 1e-4f));
  }
}

TEST_F(TransformPersistenceTest, AMissingListLoadsAsAnEmptyManager) {
  TransformManager manager;
  manager.setTransform("A", "B", p_, 0);
  manager.setOrigin("A", "B", p_);
  EXPECT_EQ(manager.loadTransforms(store_), TransformManager::Success);
  EXPECT_TRUE(manager.getFrames().empty());
  std::string origin;
  Pose pose;
  EXPECT_FALSE(manager.getOrigin("A", origin, pose));
  EXPECT_FALSE(store_.exists("Transforms"));
}

/// A record that loses one key, and the exception loading it raises.
struct BadRecord {
  std::string name;
  std::string key;
  std::string value;  // empty: the key is deleted
};

class BadRecordTest : public TransformPersistenceTest,
                      public ::testing::WithParamInterface<BadRecord> {};

INSTANTIATE_TEST_SUITE_P(Records, BadRecordTest,
                         ::testing::Values(BadRecord{"NoFromFrame", "fromFrameName", ""},
                                           BadRecord{"NoToFrame", "toFrameName", ""},
                                           BadRecord{"NoOrientationMethod", "orientationMethod",
                                                     ""},
                                           BadRecord{"UnreadableNumber", "Position.y", "north"}),
                         [](auto const& info) { return info.param.name; });

TEST_P(BadRecordTest, LeavesTheManagerAsItWas) {
  addRecord(store_, "X", "Y", q_);
  addRecord(store_, "Y", "Z", q_);
  store_.pathPush("Transforms");
  store_.pathPush("Transform", 1, nullptr);
  if (GetParam().value.empty()) {
    store_.deletePath(GetParam().key);
  } else {
    store_.set<std::string>(GetParam().key, GetParam().value);
  }
  store_.pathPop();
  store_.pathPop();
  SettingsManager read = throughFile(store_, "bad_" + GetParam().name + ".xml");

  TransformManager manager;
  manager.setTransform("A", "B", p_, 100);
  manager.setTransform("A", "B", q_, 200);
  manager.setOrigin("B", "A", p_);
  try {
    manager.loadTransforms(read);
    ADD_FAILURE() << "no exception";
  } catch (boost::property_tree::ptree_error const&) {
  }
  EXPECT_EQ(read.currentPath(), "Rig");
  EXPECT_EQ(manager.getFrames(), (Frames{"A", "B"}));
  Pose pose;
  EXPECT_EQ(manager.getTransform("A", "B", 150, TransformManager::Interpolated, pose),
            TransformManager::Success);
  EXPECT_EQ(pose.timestamp, 150);
  std::string origin;
  EXPECT_TRUE(manager.getOrigin("B", origin, pose));
  EXPECT_EQ(origin, "A");
}

}  // namespace
}  // namespace ostrel
