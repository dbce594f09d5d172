#include <ostrel/core/transform_manager.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "transform_test_support.h"

namespace ostrel {
namespace {

using Eigen::Vector3f;
using testing::makePose;

/// 100 Hz in nanoseconds, at a current date: keys above 2^53 round to
/// multiples of 256, so stamps are compared to within a microsecond.
constexpr long PERIOD = 10000000;
constexpr long START = 1733900000000000000;
constexpr int SAMPLES = 1200;  // 12 s of stream, so the window trims as it goes
constexpr int LOOKUPS_PER_READER = 400;
constexpr int READERS = 3;

/// The body moves along x at one metre per sample and never turns, so the
/// expected position at any time between samples is a straight line.
float bodyX(double time) { return static_cast<float>((time - START) / PERIOD); }

TEST(TransformManagerConcurrency, ReadersSeeConsistentBlendsWhileAWriterStreams) {
  TransformManager manager;
  // The sensor sits 2 m above the body; its transform to the world adds the
  // body's position.
  manager.setTransform("Sensor", "Body", makePose({0.0f, 0.0f, 2.0f}, 0.0f), 0);
  manager.setTransform("Body", "Global", makePose({0.0f, 0.0f, 0.0f}, 0.0f), START);

  std::atomic<long> newest{START};
  std::thread writer([&] {
    for (int i = 1; i < SAMPLES; ++i) {
      long const time = START + i * PERIOD;
      manager.setTransform("Body", "Global", makePose({static_cast<float>(i), 0.0f, 0.0f}, 0.0f),
                           time);
      newest.store(time);
      // The lock is not fair: give the readers a chance between samples.
      std::this_thread::yield();
    }
  });

  std::atomic<int> mismatches{0};
  std::atomic<int> answered{0};
  std::vector<std::thread> readers;
  for (int r = 0; r < READERS; ++r) {
    readers.emplace_back([&, r] {
      std::mt19937_64 random(r);
      for (int lookup = 0; lookup < LOOKUPS_PER_READER; ++lookup) {
        // A time within the last second of the stream, never before its start.
        long const time =
            std::max(START, newest.load() - static_cast<long>(random() % (100 * PERIOD)));
        Pose pose;
        TransformManager::InterpolationMethod const method =
            r == 0 ? TransformManager::Extrapolated : TransformManager::Interpolated;
        int const status = manager.getTransform("Sensor", "Global", time, method, pose);
        if (status == TransformManager::Success) {
          answered.fetch_add(1);
          if (std::abs(pose.position.x() - bodyX(static_cast<double>(time))) > 1e-2f ||
              std::abs(pose.position.z() - 2.0f) > 1e-5f || pose.timestamp < time ||
              pose.timestamp - time > 1000) {
            mismatches.fetch_add(1);
          }
        } else if (status != TransformManager::OutOfRange) {
          // Out of range can happen only when the writer moved on by a whole
          // window between reading the newest time and the lookup.
          mismatches.fetch_add(1);
        }
      }
    });
  }
  writer.join();
  for (std::thread& reader : readers) reader.join();

  EXPECT_EQ(mismatches.load(), 0);
  EXPECT_GT(answered.load(), 0);
  // After the stream the window holds its last ten seconds.
  Pose pose;
  long const last = START + (SAMPLES - 1) * PERIOD;
  EXPECT_EQ(manager.getTransform("Sensor", "Global", last - 999 * PERIOD,
                                 TransformManager::Interpolated, pose),
            TransformManager::Success);
  EXPECT_EQ(manager.getTransform("Sensor", "Global", last - 1001 * PERIOD,
                                 TransformManager::Interpolated, pose),
            TransformManager::OutOfRange);
}

}  // namespace
}  // namespace ostrel
