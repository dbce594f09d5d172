#include "cloud_pipeline.h"

#include <algorithm>
#include <exception>
#include <ostream>
#include <stdexcept>
#include <utility>

#include <ostrel/benchmark_utility/scoped_benchmark.h>
#include <ostrel/core/frames.h>

namespace cloud_pipeline {

CloudPipeline::CloudPipeline(std::shared_ptr<PipelineOptions> options, std::ostream& out)
    : ostrel::modules::LaunchPipeline("CloudPipeline"), options_(std::move(options)), out_(out) {
  // The pipeline's own slots go in the post-stop list: cut after the first
  // stop event, so the destructor's second stop reaches nothing.
  postStopConnections.push_back(connectSettings([this](auto const& store) { onSettings(store); }));
  postStopConnections.push_back(connectStart([this] { onStart(); }));
  postStopConnections.push_back(connectStop([this] { onStop(); }));
}

CloudPipeline::~CloudPipeline() {
  if (world_) {
    try {
      world_->finish();
    } catch (std::exception const& error) {
      getLogger().errorStream() << "last frame failed: " << error.what();
    }
  }
  for (auto& connection : preStopConnections) connection.disconnect();
  for (auto& connection : postStopConnections) connection.disconnect();
}

void CloudPipeline::onSettings(std::shared_ptr<ostrel::SettingsManager> const& store) {
  settings_ = options_->resolve(*store);
  manager_.loadTransforms(*store);
  if (manager_.updateFrameName(ostrel::frames::GLOBAL_FRAME, ostrel::frames::BODY_FRAME) !=
      ostrel::TransformManager::Success) {
    throw std::runtime_error("the settings' Transforms list has no " +
                             ostrel::frames::GLOBAL_FRAME + " frame to place the sensors on");
  }
  auto const frames = manager_.getFrames();
  if (std::find(frames.begin(), frames.end(), settings_.sensor) == frames.end()) {
    throw std::runtime_error("the sensor \"" + settings_.sensor +
                             "\" is not in the settings' Transforms list");
  }
  build();
}

void CloudPipeline::build() {
  DriverSettings driver;
  driver.sensor = settings_.sensor;
  driver.rings = settings_.rings;
  driver.columns = settings_.columns;
  driver.first_stamp = TRAJECTORY_START + FIRST_CLOUD_DELAY;
  driver.skip_before = settings_.frames >= 3 ? 2 : 1;
  driver_ = std::make_unique<SyntheticLidarDriver>(driver);
  feeder_ = std::make_unique<TrajectoryFeeder>(VehicleTrajectory(TRAJECTORY_START),
                                               TRAJECTORY_START, manager_);
  converter_ = std::make_unique<ostrel::modules::XYZI_PCL_Converter>();
  sequence_ = std::make_unique<SequenceStage>();
  world_ = std::make_unique<WorldTransformStage>(manager_);
  colors_ = std::make_unique<RingColorStage>(ringColorTable(settings_.rings));
  sink_ = std::make_unique<PcdSink>();

  preStopConnections.push_back(driver_->connect([this](ostrel::otl::XYZICloud const& cloud) {
    ostrel::ScopedBenchmark timing(converter_timer_);
    converter_->slot(cloud);
  }));
  preStopConnections.push_back(converter_->connect(
      [this](ostrel::modules::XYZIRCloudPtr cloud) { sequence_->slot(cloud); }));
  preStopConnections.push_back(
      converter_->connect([this](ostrel::modules::XYZIRCloudPtr cloud) { world_->slot(cloud); }));
  preStopConnections.push_back(
      world_->connect([this](ostrel::modules::XYZIRCloudPtr cloud) { colors_->slot(cloud); }));
  preStopConnections.push_back(
      colors_->connect([this](ColoredCloudPtr cloud) { sink_->slot(cloud); }));
}

void CloudPipeline::onStart() {
  frame_timer_.enableHierarchy();
  reported_ = false;
}

void CloudPipeline::run() {
  if (!driver_) throw std::logic_error("the cloud pipeline runs only after its settings");
  for (std::size_t index = 0; index < settings_.frames; ++index) {
    frame_timer_.start();
    auto const stamp = static_cast<std::int64_t>(driver_->stampOf(index));
    feeder_->feedUntil(stamp + TRAJECTORY_LEAD);
    driver_->produce(index);
    ++produced_;
    frame_timer_.stop();
  }
}

void CloudPipeline::stop() {
  std::exception_ptr failure;
  try {
    if (world_) world_->finish();
  } catch (...) {
    failure = std::current_exception();
  }
  LaunchPipeline::stop();
  if (failure) std::rethrow_exception(failure);
}

void CloudPipeline::onStop() {
  if (reported_ || !sink_) return;
  reported_ = true;
  bool written = false;
  try {
    sink_->write(settings_.output);
    written = true;
  } catch (std::exception const& error) {
    getLogger().errorStream() << error.what();
  }
  succeeded_ = written && world_->failures() == 0 && sink_->received() == produced_;
  printSummary();
  if (written) out_ << "PCD file written: " << settings_.output << "\n";
}

void CloudPipeline::printSummary() {
  ColoredCloudPtr const last = sink_->last();
  out_ << "Cloud pipeline summary\n"
       << "  sensor:            " << settings_.sensor << " (" << settings_.rings << " rings x "
       << settings_.columns << " columns)\n"
       << "  frames produced:   " << produced_ << "\n"
       << "  frames coloured:   " << sink_->received() << "\n"
       << "  sequence gaps:     " << sequence_->gaps() << " (" << sequence_->missing()
       << " missing)\n"
       << "  lookup failures:   " << world_->failures() << "\n"
       << "  last cloud points: " << (last ? last->size() : 0) << "\n";
  out_ << "Main-thread timings\n";
  out_ << frame_timer_ << "\n";
  out_ << "Thread-pool timings\n";
  out_ << world_->timer() << "\n" << colors_->timer() << "\n";
  out_ << "Stop timings\n";
  out_ << sink_->timer() << "\n";
}

}  // namespace cloud_pipeline
