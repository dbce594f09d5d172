#include <ostrel/logging/logging_manager.h>
#include <ostrel/settings/settings_manager.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using boost::property_tree::ptree_bad_data;
using boost::property_tree::ptree_bad_path;
using ostrel::SettingsManager;

TEST(SettingsPathStack, PushCreatesMissingNodesAndPopReturns) {
  SettingsManager settings;
  settings.pathPush("Sensors");
  settings.set("count", "2");
  settings.pathPush("Front.Lidar");
  EXPECT_EQ(settings.currentPath(), "Sensors.Front.Lidar");
  settings.set("model", "spinning");
  EXPECT_EQ(settings.pathPop(), "Sensors.Front.Lidar");
  EXPECT_EQ(settings.currentPath(), "Sensors");
  EXPECT_EQ(settings.get<std::string>("Front.Lidar.model"), "spinning");
  settings.pathPop();
  EXPECT_EQ(settings.pathDepth(), 0u);
  EXPECT_EQ(settings.get<int>("Sensors.count"), 2);
}

TEST(SettingsPathStack, PopAtRootThrowsAndKeepsPosition) {
  SettingsManager settings;
  EXPECT_THROW(settings.pathPop(), std::out_of_range);
  settings.pathPush("A");
  settings.pathPop();
  EXPECT_THROW(settings.pathPop(), std::out_of_range);
  settings.set("key", "value");
  EXPECT_TRUE(settings.exists("key"));
  EXPECT_EQ(settings.currentPath(), "");
}

TEST(SettingsPathStack, IndexedPushSelectsOrAppendsRepeatedChildren) {
  SettingsManager settings;
  settings.pathPush("Transforms");
  for (int i = 0; i < 3; ++i) {
    settings.pathPush("Transform", i, nullptr);
    settings.set("id", i);
    settings.pathPop();
  }
  EXPECT_EQ(settings.getChildCount("Transform"), 3);
  settings.pathPush("Transform", 1, nullptr);
  EXPECT_EQ(settings.currentPath(), "Transforms.Transform[1]");
  EXPECT_EQ(settings.get<int>("id"), 1);
  settings.pathPop();
  EXPECT_EQ(settings.getChildCount("Other"), 0);
}

TEST(SettingsPathStack, IndexedPushOutOfRangeThrowsAndKeepsPosition) {
  SettingsManager settings;
  settings.pathPush("List");
  settings.pathPush("Item", 0, nullptr);
  settings.pathPop();
  for (int const index : {-1, 2, 100}) {
    EXPECT_THROW(settings.pathPush("Item", index, nullptr), std::out_of_range) << index;
    EXPECT_EQ(settings.currentPath(), "List");
    EXPECT_EQ(settings.getChildCount("Item"), 1);
  }
}

TEST(SettingsPathStack, IndexedPushCopiesAGivenTreeIntoTheChild) {
  SettingsManager settings;
  SettingsManager::Tree content;
  content.put("a", "1");
  settings.pathPush("Item", 0, &content);
  EXPECT_EQ(settings.get<int>("a"), 1);
}

TEST(SettingsKeys, ExistsAndDeletePath) {
  SettingsManager settings;
  settings.set("A.B.C", 1);
  settings.set("A.D", 2);
  EXPECT_TRUE(settings.exists("A.B.C"));
  EXPECT_FALSE(settings.exists("A.B.X"));

  settings.deletePath("A.B");
  EXPECT_FALSE(settings.exists("A.B"));
  EXPECT_FALSE(settings.exists("A.B.C"));
  EXPECT_EQ(settings.get<int>("A.D"), 2);

  settings.deletePath("A.missing");
  settings.deletePath("missing.path");
  settings.deletePath("");
  EXPECT_EQ(settings.get<int>("A.D"), 2);
}

TEST(SettingsKeys, DeletePathIsRelativeToTheCurrentNode) {
  SettingsManager settings;
  settings.set("Outer.key", 1);
  settings.set("key", 2);
  settings.pathPush("Outer");
  settings.deletePath("key");
  settings.pathPop();
  EXPECT_FALSE(settings.exists("Outer.key"));
  EXPECT_EQ(settings.get<int>("key"), 2);
}

TEST(SettingsValues, MissingKeyAndBadNumberThrowTheTreeErrors) {
  SettingsManager settings;
  settings.set("text", "1.5 metres");
  EXPECT_THROW(settings.get<std::string>("absent"), ptree_bad_path);
  EXPECT_THROW(settings.get<float>("absent"), ptree_bad_path);
  EXPECT_THROW(settings.get<float>("text"), ptree_bad_data);
}

TEST(SettingsValues, SetReplacesValueAndKeepsChildren) {
  SettingsManager settings;
  settings.set("Node.child", "kept");
  settings.set("Node", "first");
  settings.set("Node", "second");
  EXPECT_EQ(settings.get<std::string>("Node"), "second");
  EXPECT_EQ(settings.get<std::string>("Node.child"), "kept");
}

TEST(SettingsCopy, CopyFollowsDottedAndRepeatedPushes) {
  SettingsManager original;
  original.set("A.B.value", "first B");
  original.pathPush("A");
  original.pathPush("B", 1, nullptr);
  original.set("value", "second B");
  original.pathPop();
  original.pathPop();
  original.pathPush("A.B");
  original.pathPush("C.D");
  original.set("leaf", 1);

  SettingsManager copy(original);
  EXPECT_EQ(copy.currentPath(), "A.B.C.D");
  EXPECT_EQ(copy.get<int>("leaf"), 1);
  copy.set("leaf", 2);
  EXPECT_EQ(original.get<int>("leaf"), 1);
  copy.pathPop();
  EXPECT_EQ(copy.get<std::string>("value"), "first B");
}

TEST(SettingsCopy, CopyStandsAtTheSamePathAndNeverChangesTheOriginal) {
  SettingsManager original;
  original.set("Transforms.Transform.name", "first");
  original.pathPush("Transforms");
  original.pathPush("Transform", 1, nullptr);
  original.set("name", "second");

  SettingsManager copy(original);
  EXPECT_EQ(copy.currentPath(), original.currentPath());
  EXPECT_EQ(copy.get<std::string>("name"), "second");

  copy.set("name", "changed");
  copy.pathPush("Deeper");
  copy.set("value", 1);
  copy.pathPop();
  copy.pathPop();
  copy.pathPush("Transform", 0, nullptr);
  copy.set("name", "changed too");

  EXPECT_EQ(original.currentPath(), "Transforms.Transform[1]");
  EXPECT_EQ(original.get<std::string>("name"), "second");
  EXPECT_FALSE(original.exists("Deeper"));
  original.pathPop();
  original.pathPop();
  EXPECT_EQ(original.get<std::string>("Transforms.Transform.name"), "first");

  SettingsManager assigned;
  assigned = copy;
  assigned.set("name", "assigned");
  EXPECT_EQ(copy.get<std::string>("name"), "changed too");
  EXPECT_EQ(assigned.currentPath(), copy.currentPath());
}

/// Captures the store's trace and debug lines.
class SettingsLogLines : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& manager = ostrel::LoggingManager::getInstance();
    manager.resetConfiguration();
    std::istringstream properties("logToConsole=false\nlogger.SettingsManager=trace");
    manager.loadProperties(properties);
    manager.addSink([this](ostrel::LogRecord const& record) {
      if (record.loggerName == "SettingsManager") lines_.push_back(record);
    });
  }
  void TearDown() override { ostrel::LoggingManager::getInstance().resetConfiguration(); }

  std::vector<ostrel::LogRecord> lines_;
};

TEST_F(SettingsLogLines, ReadsTraceAndWritesDebugInTheirWords) {
  SettingsManager settings;
  settings.pathPush("Sensor");
  settings.set("name", "front");
  settings.set("range", 1.5f);
  lines_.clear();
  EXPECT_EQ(settings.get<std::string>("name"), "front");
  EXPECT_FLOAT_EQ(settings.get<float>("range"), 1.5f);
  ASSERT_EQ(lines_.size(), 2u);
  EXPECT_EQ(lines_[0].level, ostrel::LOG_TRACE);
  EXPECT_EQ(lines_[0].message, "got Sensor.name, value: front");
  EXPECT_EQ(lines_[1].message, "got Sensor.range, value: 1.5");

  lines_.clear();
  settings.set("name", "rear");
  ASSERT_EQ(lines_.size(), 1u);
  EXPECT_EQ(lines_[0].level, ostrel::LOG_DEBUG);
  EXPECT_EQ(lines_[0].message, "set Sensor.name to: rear");
}

TEST_F(SettingsLogLines, FailedReadLogsNothing) {
  SettingsManager settings;
  settings.set("text", "abc");
  lines_.clear();
  EXPECT_THROW(settings.get<std::string>("absent"), ptree_bad_path);
  EXPECT_THROW(settings.get<double>("text"), ptree_bad_data);
  EXPECT_TRUE(lines_.empty());
}

}  // namespace
