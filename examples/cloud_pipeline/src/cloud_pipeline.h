#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include <ostrel/benchmark_utility/benchmark_utility.h>
#include <ostrel/core/launch_pipeline.h>
#include <ostrel/core/transform_manager.h>
#include <ostrel/pcl/otl_to_pcl_converter.h>
#include <ostrel/settings/settings_manager.h>

#include "pcd_sink.h"
#include "pipeline_options.h"
#include "ring_color_stage.h"
#include "sequence_stage.h"
#include "synthetic_lidar_driver.h"
#include "vehicle_trajectory.h"
#include "world_transform_stage.h"

namespace cloud_pipeline {

/// The road of one sensor cloud: synthetic driver → PCL converter →
/// sequence check and world transform (on the shared thread pool) → ring
/// colours → PCD sink.
///
/// The stages are built when the settings arrive: the transforms of the
/// store's "Transforms" list are loaded and their world frame, the vehicle
/// body in the calibration, is renamed `BODY_FRAME`, so every LiDAR hangs
/// below the body and the simulated trajectory joins the body to
/// `GLOBAL_FRAME`. `run()` produces the frames; the stop event waits for the
/// last frame, writes the PCD file and prints the summary and timings once.
class CloudPipeline : public ostrel::modules::LaunchPipeline {
 public:
  /// Time of the first trajectory sample, in nanoseconds.
  static constexpr std::int64_t TRAJECTORY_START = 1'000'000'000;
  /// Delay of the first cloud after the first trajectory sample.
  static constexpr std::int64_t FIRST_CLOUD_DELAY = 25'000'000;
  /// How far the trajectory is fed beyond the stamp of the next cloud.
  static constexpr std::int64_t TRAJECTORY_LEAD = 20'000'000;

  /// A pipeline reading its settings through `options`; `out` receives the
  /// summary and timings.
  CloudPipeline(std::shared_ptr<PipelineOptions> options, std::ostream& out);
  /// Waits for the frame in flight and cuts every stage connection before
  /// the stages go.
  ~CloudPipeline() override;

  /// Produces the configured number of frames on the calling thread.
  /// @throws std::logic_error before the settings arrived.
  void run();

  /// Waits for the pool's work on the last frame, then stops as the base
  /// pipeline does.
  /// @throws whatever that work threw, after the stop event.
  void stop() override;

  /// True when every frame reached the world frame and the PCD file was
  /// written.
  bool succeeded() const { return succeeded_; }

  PipelineSettings const& pipelineSettings() const { return settings_; }

 private:
  void onSettings(std::shared_ptr<ostrel::SettingsManager> const& store);
  void onStart();
  void onStop();
  void build();
  void printSummary();

  std::shared_ptr<PipelineOptions> options_;
  std::ostream& out_;
  PipelineSettings settings_;
  ostrel::TransformManager manager_;
  ostrel::BenchmarkUtility frame_timer_{"frame"};
  ostrel::BenchmarkUtility converter_timer_{"pcl converter"};
  std::unique_ptr<SyntheticLidarDriver> driver_;
  std::unique_ptr<TrajectoryFeeder> feeder_;
  std::unique_ptr<ostrel::modules::XYZI_PCL_Converter> converter_;
  std::unique_ptr<SequenceStage> sequence_;
  std::unique_ptr<WorldTransformStage> world_;
  std::unique_ptr<RingColorStage> colors_;
  std::unique_ptr<PcdSink> sink_;
  std::size_t produced_ = 0;
  bool reported_ = false;
  bool succeeded_ = false;
};

}  // namespace cloud_pipeline
