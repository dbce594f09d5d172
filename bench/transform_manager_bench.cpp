// Transform lookups beside tf2's BufferCore fed the same frames and stamped
// poses (when tf2 is installed), and beside the floor: a plain Eigen loop
// composing the poses a lookup would choose.
//
// Frames: a chain of 10 (f0 → … → f9), a chain of 5, and a star of 10 leaves
// around one hub. Every edge is fed ten seconds at 100 Hz (1000 entries).
// Lookups run end to end: f0 to the last chain frame, leaf to leaf in the
// star; "Newest" asks for the newest transform (tf2: time 0), "Interpolated"
// for random times inside the window, the same times for both.
#include <ostrel/core/transform_manager.h>

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#ifdef OSTREL_BENCH_WITH_TF2
#include <geometry_msgs/TransformStamped.h>
#include <ros/time.h>
#include <tf2/buffer_core.h>
#endif

#include "ratio_reporter.h"

namespace {

using ostrel::Pose;
using ostrel::TransformManager;

constexpr std::int64_t START = 1733900000000000000;  // nanoseconds
constexpr std::int64_t PERIOD = 10000000;            // 100 Hz
constexpr int SAMPLES = 1000;                        // ten seconds
constexpr std::size_t QUERIES = 1024;

/// The frames and edges of one layout, and the pair a lookup joins.
struct Layout {
  std::vector<std::pair<std::string, std::string>> edges;
  std::string from;
  std::string to;
};

Layout chain(int frames) {
  Layout layout;
  for (int i = 0; i + 1 < frames; ++i) {
    layout.edges.emplace_back("f" + std::to_string(i), "f" + std::to_string(i + 1));
  }
  layout.from = "f0";
  layout.to = "f" + std::to_string(frames - 1);
  return layout;
}

Layout star(int leaves) {
  Layout layout;
  for (int i = 0; i < leaves; ++i) layout.edges.emplace_back("hub", "l" + std::to_string(i));
  layout.from = "l0";
  layout.to = "l" + std::to_string(leaves - 1);
  return layout;
}

std::int64_t sampleTime(int sample) { return START + sample * PERIOD; }

/// Pose of edge `edge` at sample `sample`: a slow drift and turn.
Pose samplePose(std::size_t edge, int sample) {
  float const s = static_cast<float>(sample) / SAMPLES;
  Pose pose;
  pose.position = Eigen::Vector3f(1.0f + edge, 0.5f * s, -0.2f + 0.1f * edge * s);
  pose.orientation = Eigen::Quaternionf(Eigen::AngleAxisf(
      0.1f * edge + 0.5f * s, Eigen::Vector3f(0.3f, 0.1f * edge, 1.0f).normalized()));
  return pose;
}

/// Random times strictly inside the fed window, the same for every case.
std::vector<std::int64_t> const& queryTimes() {
  static std::vector<std::int64_t> const times = [] {
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::int64_t> pick(sampleTime(0) + 1,
                                                     sampleTime(SAMPLES - 1) - 1);
    std::vector<std::int64_t> result(QUERIES);
    for (std::int64_t& time : result) time = pick(random);
    return result;
  }();
  return times;
}

void feed(TransformManager& manager, Layout const& layout) {
  for (int sample = 0; sample < SAMPLES; ++sample) {
    for (std::size_t e = 0; e < layout.edges.size(); ++e) {
      manager.setTransform(layout.edges[e].first, layout.edges[e].second, samplePose(e, sample),
                           sampleTime(sample));
    }
  }
}

void lookup(benchmark::State& state, Layout const& layout,
            TransformManager::InterpolationMethod method) {
  TransformManager manager;
  feed(manager, layout);
  std::vector<std::int64_t> const& times = queryTimes();
  std::size_t next = 0;
  Pose pose;
  for (auto _ : state) {
    long const time = method == TransformManager::MostRecent ? 0 : times[next++ % QUERIES];
    int const status = manager.getTransform(layout.from, layout.to, time, method, pose);
    benchmark::DoNotOptimize(status);
    benchmark::DoNotOptimize(pose);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_Chain10Newest(benchmark::State& state) {
  lookup(state, chain(10), TransformManager::MostRecent);
}
void BM_Chain10Interpolated(benchmark::State& state) {
  lookup(state, chain(10), TransformManager::Interpolated);
}
void BM_Star10Newest(benchmark::State& state) {
  lookup(state, star(10), TransformManager::MostRecent);
}
void BM_Star10Interpolated(benchmark::State& state) {
  lookup(state, star(10), TransformManager::Interpolated);
}
void BM_Chain5Interpolated(benchmark::State& state) {
  lookup(state, chain(5), TransformManager::Interpolated);
}

/// setTransform of one chain edge at ever newer times into a full window:
/// every call adds one entry and trims one.
void BM_Chain10SetTransform(benchmark::State& state) {
  TransformManager manager;
  Layout const layout = chain(10);
  feed(manager, layout);
  int sample = SAMPLES;
  Pose const pose = samplePose(4, 0);
  for (auto _ : state) {
    manager.setTransform(layout.edges[4].first, layout.edges[4].second, pose, sampleTime(sample++));
  }
  state.SetItemsProcessed(state.iterations());
}

/// The floor: for each query time, the poses the lookup would choose on each
/// edge of the path (blended beforehand), composed with Eigen as a lookup does.
void composeFloor(benchmark::State& state, Layout const& layout) {
  TransformManager manager;  // only for the blend of the two neighbours
  std::vector<std::vector<Pose>> chosen(QUERIES);
  for (std::size_t q = 0; q < QUERIES; ++q) {
    double const position = static_cast<double>(queryTimes()[q] - START) / PERIOD;
    int const before = static_cast<int>(position);
    float const fraction = static_cast<float>(position - before);
    for (std::size_t e = layout.edges.size(); e-- > 0;) {
      chosen[q].push_back(
          manager.interpolateTransform(samplePose(e, before), samplePose(e, before + 1), fraction));
    }
  }
  std::size_t next = 0;
  for (auto _ : state) {
    std::vector<Pose> const& poses = chosen[next++ % QUERIES];
    Eigen::Affine3f transform = Eigen::Affine3f::Identity();
    for (Pose const& pose : poses) {
      Eigen::Affine3f edge;
      edge.linear() = pose.orientation.toRotationMatrix();
      edge.translation() = pose.position;
      edge.makeAffine();
      transform = transform * edge;
    }
    Pose result;
    result.position = transform.translation();
    result.orientation = Eigen::Quaternionf(transform.linear());
    benchmark::DoNotOptimize(result);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_Chain10Floor(benchmark::State& state) { composeFloor(state, chain(10)); }
void BM_Chain5Floor(benchmark::State& state) { composeFloor(state, chain(5)); }

BENCHMARK(BM_Chain10Newest);
BENCHMARK(BM_Chain10Interpolated);
BENCHMARK(BM_Star10Newest);
BENCHMARK(BM_Star10Interpolated);
BENCHMARK(BM_Chain5Interpolated);
BENCHMARK(BM_Chain10SetTransform);
BENCHMARK(BM_Chain10Floor);
BENCHMARK(BM_Chain5Floor);

#ifdef OSTREL_BENCH_WITH_TF2

ros::Time rosTime(std::int64_t nanoseconds) {
  ros::Time time;
  time.fromNSec(static_cast<std::uint64_t>(nanoseconds));
  return time;
}

geometry_msgs::TransformStamped stamped(std::pair<std::string, std::string> const& edge,
                                        Pose const& pose, std::int64_t time) {
  geometry_msgs::TransformStamped message;
  message.header.stamp = rosTime(time);
  message.header.frame_id = edge.first;
  message.child_frame_id = edge.second;
  message.transform.translation.x = pose.position.x();
  message.transform.translation.y = pose.position.y();
  message.transform.translation.z = pose.position.z();
  message.transform.rotation.x = pose.orientation.x();
  message.transform.rotation.y = pose.orientation.y();
  message.transform.rotation.z = pose.orientation.z();
  message.transform.rotation.w = pose.orientation.w();
  return message;
}

void feed(tf2::BufferCore& buffer, Layout const& layout) {
  for (int sample = 0; sample < SAMPLES; ++sample) {
    for (std::size_t e = 0; e < layout.edges.size(); ++e) {
      buffer.setTransform(stamped(layout.edges[e], samplePose(e, sample), sampleTime(sample)),
                          "bench");
    }
  }
}

void tf2Lookup(benchmark::State& state, Layout const& layout, bool newest) {
  tf2::BufferCore buffer(ros::Duration(10.0));
  feed(buffer, layout);
  std::vector<ros::Time> times;
  for (std::int64_t time : queryTimes()) times.push_back(rosTime(time));
  std::size_t next = 0;
  for (auto _ : state) {
    ros::Time const time = newest ? ros::Time(0) : times[next++ % QUERIES];
    geometry_msgs::TransformStamped result = buffer.lookupTransform(layout.from, layout.to, time);
    benchmark::DoNotOptimize(result);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_Tf2Chain10Newest(benchmark::State& state) { tf2Lookup(state, chain(10), true); }
void BM_Tf2Chain10Interpolated(benchmark::State& state) { tf2Lookup(state, chain(10), false); }
void BM_Tf2Star10Newest(benchmark::State& state) { tf2Lookup(state, star(10), true); }
void BM_Tf2Star10Interpolated(benchmark::State& state) { tf2Lookup(state, star(10), false); }
void BM_Tf2Chain5Interpolated(benchmark::State& state) { tf2Lookup(state, chain(5), false); }

void BM_Tf2Chain10SetTransform(benchmark::State& state) {
  tf2::BufferCore buffer(ros::Duration(10.0));
  Layout const layout = chain(10);
  feed(buffer, layout);
  int sample = SAMPLES;
  Pose const pose = samplePose(4, 0);
  for (auto _ : state) {
    buffer.setTransform(stamped(layout.edges[4], pose, sampleTime(sample++)), "bench");
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_Tf2Chain10Newest);
BENCHMARK(BM_Tf2Chain10Interpolated);
BENCHMARK(BM_Tf2Star10Newest);
BENCHMARK(BM_Tf2Star10Interpolated);
BENCHMARK(BM_Tf2Chain5Interpolated);
BENCHMARK(BM_Tf2Chain10SetTransform);

#endif

}  // namespace

int main(int argc, char** argv) {
  return ostrel::bench::runWithRatios(argc, argv,
                                      {{"BM_Chain10Newest", "BM_Tf2Chain10Newest"},
                                       {"BM_Chain10Interpolated", "BM_Tf2Chain10Interpolated"},
                                       {"BM_Star10Newest", "BM_Tf2Star10Newest"},
                                       {"BM_Star10Interpolated", "BM_Tf2Star10Interpolated"},
                                       {"BM_Chain5Interpolated", "BM_Tf2Chain5Interpolated"},
                                       {"BM_Chain10SetTransform", "BM_Tf2Chain10SetTransform"},
                                       {"BM_Chain5Interpolated", "BM_Chain5Floor"},
                                       {"BM_Chain10Interpolated", "BM_Chain10Floor"}});
}
