#include "world_transform_stage.h"

#include <ostrel/benchmark_utility/scoped_benchmark.h>
#include <ostrel/core/frames.h>
#include <ostrel/core/pose.h>
#include <ostrel/thread_pool/ThreadPoolAdaptor.h>

namespace cloud_pipeline {

WorldTransformStage::WorldTransformStage(ostrel::TransformManager const& manager)
    : ostrel::LoggedComponent("WorldTransformStage"), manager_(manager) {}

WorldTransformStage::~WorldTransformStage() {
  if (in_flight_.valid()) in_flight_.wait();
}

ostrel::otl::Connection WorldTransformStage::connect(
    std::function<void(ostrel::modules::XYZIRCloudPtr)> const& receiver) {
  return output_.connect(receiver);
}

void WorldTransformStage::slot(ostrel::modules::XYZIRCloudPtr const& cloud) {
  ostrel::ScopedBenchmark timing(handoff_timer_);
  finish();
  in_flight_ = ThreadPoolAdaptor::instance().enqueue([this, cloud] { process(cloud); });
}

void WorldTransformStage::finish() {
  if (in_flight_.valid()) in_flight_.get();
}

void WorldTransformStage::process(ostrel::modules::XYZIRCloudPtr const& cloud) {
  ostrel::modules::XYZIRCloudPtr world;
  {
    ostrel::ScopedBenchmark timing(timer_);
    world = toWorld(cloud);
  }
  if (world) output_.emit(world);
}

ostrel::modules::XYZIRCloudPtr WorldTransformStage::toWorld(
    ostrel::modules::XYZIRCloudPtr const& cloud) {
  // PCL stamps count microseconds, the transform manager's nanoseconds.
  long const time = static_cast<long>(cloud->header.stamp) * 1000;
  ostrel::Pose sensor_to_world;
  int const status =
      manager_.getTransform(cloud->header.frame_id, ostrel::frames::GLOBAL_FRAME, time,
                            ostrel::TransformManager::Interpolated, sensor_to_world);
  if (status != ostrel::TransformManager::Success) {
    ++failures_;
    getLogger().errorStream() << "no transform from " << cloud->header.frame_id << " to "
                              << ostrel::frames::GLOBAL_FRAME << " at " << time << " ns (status "
                              << status << "): cloud " << cloud->header.seq << " dropped";
    return {};
  }
  Eigen::Affine3f const transform = ostrel::poseToAffine3f(sensor_to_world);
  ostrel::modules::XYZIRCloudPtr world(new pcl::PointCloud<ostrel::modules::PCL_PointXYZIR>);
  world->header = cloud->header;
  world->header.frame_id = ostrel::frames::GLOBAL_FRAME;
  world->width = cloud->width;
  world->height = cloud->height;
  world->is_dense = cloud->is_dense;
  world->points.reserve(cloud->points.size());
  for (auto const& point : cloud->points) {
    Eigen::Vector3f const moved = transform * point.getVector3fMap();
    world->points.emplace_back(moved.x(), moved.y(), moved.z(), point.intensity, point.ring);
  }
  return world;
}

}  // namespace cloud_pipeline
