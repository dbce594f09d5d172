// Rotation conversions and pose inversion beside Eigen's own operations on the
// same inputs: quaternion→YPR beside eulerAngles(2, 1, 0) of the rotation
// matrix, YPR→quaternion beside the bare AngleAxisf product (ours adds the
// matrix round trip that fixes the sign), and toInversePose beside
// Affine3f::inverse() (ours adds the polar decomposition of the rotation).
#include <ostrel/core/pose.h>

#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>

#include "ratio_reporter.h"

namespace {

using Eigen::Quaternionf;
using Eigen::Vector3f;

constexpr std::size_t INPUT_COUNT = 64;

/// Spread of angle triples over the whole range, away from gimbal lock.
std::array<Vector3f, INPUT_COUNT> const& anglesInput() {
  static std::array<Vector3f, INPUT_COUNT> const angles = [] {
    std::array<Vector3f, INPUT_COUNT> result;
    for (std::size_t i = 0; i < INPUT_COUNT; ++i) {
      float const t = static_cast<float>(i) / INPUT_COUNT;
      result[i] = Vector3f(6.0f * t - 3.0f, 2.8f * t - 1.4f, 3.0f - 5.5f * t);
    }
    return result;
  }();
  return angles;
}

std::array<Quaternionf, INPUT_COUNT> const& quaternionInput() {
  static std::array<Quaternionf, INPUT_COUNT> const quaternions = [] {
    std::array<Quaternionf, INPUT_COUNT> result;
    for (std::size_t i = 0; i < INPUT_COUNT; ++i) {
      result[i] = ostrel::rotationExtrinsicYPRToQuaternion(anglesInput()[i]);
    }
    return result;
  }();
  return quaternions;
}

std::array<ostrel::Pose, INPUT_COUNT> const& poseInput() {
  static std::array<ostrel::Pose, INPUT_COUNT> const poses = [] {
    std::array<ostrel::Pose, INPUT_COUNT> result;
    for (std::size_t i = 0; i < INPUT_COUNT; ++i) {
      result[i].position = anglesInput()[i] * 10.0f;
      result[i].orientation = quaternionInput()[i];
    }
    return result;
  }();
  return poses;
}

std::array<Eigen::Affine3f, INPUT_COUNT> const& affineInput() {
  static std::array<Eigen::Affine3f, INPUT_COUNT> const transforms = [] {
    std::array<Eigen::Affine3f, INPUT_COUNT> result;
    for (std::size_t i = 0; i < INPUT_COUNT; ++i)
      result[i] = ostrel::poseToAffine3f(poseInput()[i]);
    return result;
  }();
  return transforms;
}

void BM_EigenEulerAngles(benchmark::State& state) {
  auto const& input = quaternionInput();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(input[i].toRotationMatrix().eulerAngles(2, 1, 0));
    i = (i + 1) % INPUT_COUNT;
  }
}

void BM_QuaternionToExtrinsicYPR(benchmark::State& state) {
  auto const& input = quaternionInput();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ostrel::quaternionToRotationExtrinsicYPR(input[i]));
    i = (i + 1) % INPUT_COUNT;
  }
}

void BM_QuaternionToIntrinsicYPR(benchmark::State& state) {
  auto const& input = quaternionInput();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ostrel::quaternionToRotationIntrinsicYPR(input[i]));
    i = (i + 1) % INPUT_COUNT;
  }
}

void BM_EigenAngleAxisProduct(benchmark::State& state) {
  auto const& input = anglesInput();
  std::size_t i = 0;
  for (auto _ : state) {
    Vector3f const& ypr = input[i];
    Quaternionf const q = Eigen::AngleAxisf(ypr[2], Vector3f::UnitX()) *
                          Eigen::AngleAxisf(ypr[1], Vector3f::UnitY()) *
                          Eigen::AngleAxisf(ypr[0], Vector3f::UnitZ());
    benchmark::DoNotOptimize(q);
    i = (i + 1) % INPUT_COUNT;
  }
}

void BM_ExtrinsicYPRToQuaternion(benchmark::State& state) {
  auto const& input = anglesInput();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ostrel::rotationExtrinsicYPRToQuaternion(input[i]));
    i = (i + 1) % INPUT_COUNT;
  }
}

void BM_IntrinsicYPRToQuaternion(benchmark::State& state) {
  auto const& input = anglesInput();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ostrel::rotationIntrinsicYPRToQuaternion(input[i]));
    i = (i + 1) % INPUT_COUNT;
  }
}

void BM_EigenAffineInverse(benchmark::State& state) {
  auto const& input = affineInput();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(input[i].inverse());
    i = (i + 1) % INPUT_COUNT;
  }
}

void BM_ToInversePose(benchmark::State& state) {
  auto const& input = poseInput();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(input[i].toInversePose());
    i = (i + 1) % INPUT_COUNT;
  }
}

BENCHMARK(BM_EigenEulerAngles);
BENCHMARK(BM_QuaternionToExtrinsicYPR);
BENCHMARK(BM_QuaternionToIntrinsicYPR);
BENCHMARK(BM_EigenAngleAxisProduct);
BENCHMARK(BM_ExtrinsicYPRToQuaternion);
BENCHMARK(BM_IntrinsicYPRToQuaternion);
BENCHMARK(BM_EigenAffineInverse);
BENCHMARK(BM_ToInversePose);

}  // namespace

int main(int argc, char** argv) {
  return ostrel::bench::runWithRatios(argc, argv,
                                      {{"BM_QuaternionToExtrinsicYPR", "BM_EigenEulerAngles"},
                                       {"BM_QuaternionToIntrinsicYPR", "BM_EigenEulerAngles"},
                                       {"BM_ExtrinsicYPRToQuaternion", "BM_EigenAngleAxisProduct"},
                                       {"BM_IntrinsicYPRToQuaternion", "BM_EigenAngleAxisProduct"},
                                       {"BM_ToInversePose", "BM_EigenAffineInverse"}});
}
