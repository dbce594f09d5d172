#include <ostrel/core/launch_pipeline.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "capture_sink.h"

namespace {

using ostrel::LogRecord;
using ostrel::SettingsManager;
using ostrel::modules::LaunchPipeline;
using ostrel::otl::Connection;
using ostrel::otl::Signal;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

/// A pipeline with one stage signal; tests put the stage connections into
/// the base's lists as a derived pipeline would.
class StagePipeline : public LaunchPipeline {
 public:
  StagePipeline() : LaunchPipeline("StagePipeline") {}

  Connection connectStage(std::function<void(int)> const& slot) { return stage.connect(slot); }
  void cutBeforeStop(Connection const& connection) { preStopConnections.push_back(connection); }
  void cutAfterStop(Connection const& connection) { postStopConnections.push_back(connection); }
  std::size_t listedConnections() const {
    return preStopConnections.size() + postStopConnections.size();
  }

  Signal<int> stage;
};

class LaunchPipelineTest : public ostrel::testing::CapturedLogging {};

TEST_F(LaunchPipelineTest, RelaysStartAndSettings) {
  StagePipeline pipeline;
  std::vector<std::string> events;
  auto store = std::make_shared<SettingsManager>();
  pipeline.connectStart([&events] { events.push_back("start"); });
  pipeline.connectSettings([&](std::shared_ptr<SettingsManager> const& received) {
    events.push_back(received == store ? "settings" : "other store");
  });
  pipeline.settings(store);
  pipeline.start();
  pipeline.start();
  EXPECT_THAT(events, ElementsAre("settings", "start", "start"));
  EXPECT_EQ(pipeline.getLogger().name(), "StagePipeline");
}

TEST_F(LaunchPipelineTest, StopOnAFreshPipelineEmitsOnce) {
  StagePipeline pipeline;
  int stops = 0;
  Connection connection = pipeline.connectStop([&stops] { ++stops; });
  pipeline.stop();
  EXPECT_EQ(stops, 1);
  connection.disconnect();  // keep the destructor's stop out of the count
}

TEST_F(LaunchPipelineTest, StopCutsPreStopConnectionsBeforeAndPostStopAfterTheEvent) {
  StagePipeline pipeline;
  std::vector<std::string> received;
  pipeline.cutBeforeStop(
      pipeline.connectStage([&](int v) { received.push_back("pre" + std::to_string(v)); }));
  pipeline.cutAfterStop(
      pipeline.connectStage([&](int v) { received.push_back("post" + std::to_string(v)); }));
  pipeline.connectStop([&pipeline] { pipeline.stage.emit(1); });

  pipeline.stop();
  EXPECT_THAT(received, ElementsAre("post1"));
  EXPECT_EQ(pipeline.listedConnections(), 0u);

  received.clear();
  pipeline.stage.emit(2);  // both stage connections are cut now
  pipeline.stop();         // a second stop only emits the event again
  EXPECT_TRUE(received.empty());
}

TEST_F(LaunchPipelineTest, ThrowingStopSlotLeavesPostStopConnectionsInPlace) {
  StagePipeline pipeline;
  Connection const pre = pipeline.connectStage([](int) {});
  Connection const post = pipeline.connectStage([](int) {});
  pipeline.cutBeforeStop(pre);
  pipeline.cutAfterStop(post);
  Connection failing = pipeline.connectStop([] { throw std::runtime_error("stage jammed"); });
  EXPECT_THROW(pipeline.stop(), std::runtime_error);
  EXPECT_FALSE(pre.connected());
  EXPECT_TRUE(post.connected());
  EXPECT_EQ(pipeline.listedConnections(), 1u);
  failing.disconnect();
}

TEST_F(LaunchPipelineTest, DestructionRunsTheStopSlotsAndCutsTheLists) {
  int stops = 0;
  Connection stage;
  {
    StagePipeline pipeline;
    stage = pipeline.connectStage([](int) {});
    pipeline.cutAfterStop(stage);
    pipeline.connectStop([&stops] { ++stops; });
  }
  EXPECT_EQ(stops, 1);
  EXPECT_FALSE(stage.connected());
}

TEST_F(LaunchPipelineTest, StopSlotThrowingDuringDestructionBecomesOneWarning) {
  {
    StagePipeline pipeline;
    pipeline.connectStop([] { throw std::runtime_error("stage jammed"); });
  }
  std::vector<LogRecord> const all = records();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].level, ostrel::LOG_WARN);
  EXPECT_EQ(all[0].loggerName, "StagePipeline");
  EXPECT_THAT(all[0].message, HasSubstr("stage jammed"));
}

}  // namespace
