#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <string>

#include <ostrel/benchmark_utility/benchmark_utility.h>
#include <ostrel/core/transform_manager.h>
#include <ostrel/logging/logged_component.h>
#include <ostrel/otl/connection.h>
#include <ostrel/otl/signal.h>
#include <ostrel/pcl/otl_to_pcl_converter.h>

namespace cloud_pipeline {

/// Moves sensor clouds into the world frame: looks up the transform from the
/// cloud's frame (its sensor) to `ostrel::frames::GLOBAL_FRAME` at the
/// cloud's stamp, interpolated between the recorded poses, and emits a new
/// cloud of transformed points. The received cloud is shared with other
/// receivers and is never changed.
///
/// `slot` hands the work to the shared thread pool, one frame at a time:
/// it first waits for the previous frame, so frames leave in order and the
/// pool-side timers are never used by two threads at once. The output and
/// everything connected to it run on a pool thread.
class WorldTransformStage : public ostrel::LoggedComponent {
 public:
  explicit WorldTransformStage(ostrel::TransformManager const& manager);
  /// Waits for the frame in flight.
  ~WorldTransformStage() override;

  WorldTransformStage(WorldTransformStage const&) = delete;
  WorldTransformStage& operator=(WorldTransformStage const&) = delete;

  /// Connects a receiver of the world-frame clouds.
  ostrel::otl::Connection connect(
      std::function<void(ostrel::modules::XYZIRCloudPtr)> const& receiver);

  /// Queues the cloud for the pool, after the previous one has finished.
  /// @throws whatever the previous frame's work threw.
  void slot(ostrel::modules::XYZIRCloudPtr const& cloud);

  /// Waits until the frame in flight is done.
  /// @throws whatever its work threw.
  void finish();

  /// The world-frame copy of `cloud`, or null when the lookup fails (then
  /// logged as an error and counted).
  ostrel::modules::XYZIRCloudPtr toWorld(ostrel::modules::XYZIRCloudPtr const& cloud);

  /// Clouds whose transform could not be found.
  std::uint64_t failures() const { return failures_; }

  /// Timer of the pool-side work.
  ostrel::BenchmarkUtility& timer() { return timer_; }
  /// Timer of `slot` on the calling thread: the wait for the previous frame
  /// and the hand-over to the pool.
  ostrel::BenchmarkUtility& handoffTimer() { return handoff_timer_; }

 private:
  void process(ostrel::modules::XYZIRCloudPtr const& cloud);

  ostrel::TransformManager const& manager_;
  ostrel::otl::Signal<ostrel::modules::XYZIRCloudPtr> output_;
  std::future<void> in_flight_;
  std::atomic<std::uint64_t> failures_{0};
  ostrel::BenchmarkUtility timer_{"world transform"};
  ostrel::BenchmarkUtility handoff_timer_{"pool handoff"};
};

}  // namespace cloud_pipeline
