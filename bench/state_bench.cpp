// Overlap and distance of two tracked-object footprints, beside the anchor a
// user would otherwise write: intersection over union of the two box
// quadrilaterals by Sutherland–Hodgman clipping, corners computed from the
// same states on every call. Items per second is pairs per second; the ratios
// printed at the end are real time over real time of the named anchor.
#include <ostrel/core/state.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "ratio_reporter.h"

namespace {

using ostrel::Gaussian;
using ostrel::core::Dimensions;
using ostrel::core::State;
namespace frames = ostrel::frames;

State makeBox(float x, float y, float length, float width, float heading) {
  State state;
  state.position = Gaussian<float, 3>{Eigen::Vector3f(x, y, 0.0f), Eigen::Matrix3f::Identity()};
  Gaussian<float, 1> h;
  h.mean(0) = heading;
  h.covariance(0, 0) = 0.01f;
  state.heading = h;
  state.dimensions = Dimensions<float, frames::Trackable>(length, width, 1.5f);
  return state;
}

// Two cars, the second 0.6 m ahead and a little turned.
std::array<State, 2> overlappingPair() {
  return {makeBox(10.0f, 20.0f, 4.5f, 1.8f, 0.1f), makeBox(10.6f, 20.2f, 4.4f, 1.9f, 0.25f)};
}

// Two cars 30 m apart.
std::array<State, 2> farApartPair() {
  return {makeBox(10.0f, 20.0f, 4.5f, 1.8f, 0.1f), makeBox(40.0f, 25.0f, 4.4f, 1.9f, 0.25f)};
}

// -- the anchor: Sutherland–Hodgman clipping of two convex quadrilaterals ----

struct P2 {
  double x, y;
};

using Quad = std::array<P2, 4>;

Quad quadOf(State const& s) {
  double const c = std::cos(static_cast<double>(s.heading->mean(0)));
  double const sn = std::sin(static_cast<double>(s.heading->mean(0)));
  double const hl = s.dimensions->length / 2.0;
  double const hw = s.dimensions->width / 2.0;
  double const cx = s.position->mean(0);
  double const cy = s.position->mean(1);
  auto const corner = [&](double lx, double ly) {
    return P2{cx + c * lx - sn * ly, cy + sn * lx + c * ly};
  };
  // Clockwise, as the footprint polygon.
  return {corner(hl, hw), corner(hl, -hw), corner(-hl, -hw), corner(-hl, hw)};
}

double cross(P2 const& o, P2 const& a, P2 const& b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

double polygonArea(P2 const* points, std::size_t count) {
  double twice = 0.0;
  for (std::size_t i = 0; i < count; ++i) {
    P2 const& a = points[i];
    P2 const& b = points[(i + 1) % count];
    twice += a.x * b.y - b.x * a.y;
  }
  return std::fabs(twice) / 2.0;
}

double clipIoU(State const& first, State const& second) {
  Quad const subject = quadOf(first);
  Quad const clip = quadOf(second);
  // A quadrilateral clipped by four half-planes has at most eight corners.
  std::array<P2, 16> buffers[2];
  std::size_t count = 4;
  std::copy(subject.begin(), subject.end(), buffers[0].begin());
  int in = 0;
  for (std::size_t e = 0; e < 4 && count > 0; ++e) {
    P2 const& e0 = clip[e];
    P2 const& e1 = clip[(e + 1) % 4];
    std::array<P2, 16> const& input = buffers[in];
    std::array<P2, 16>& output = buffers[1 - in];
    std::size_t written = 0;
    for (std::size_t i = 0; i < count; ++i) {
      P2 const& current = input[i];
      P2 const& previous = input[(i + count - 1) % count];
      // Clockwise clip polygon: inside is to the right of each edge.
      double const dc = cross(e0, e1, current);
      double const dp = cross(e0, e1, previous);
      bool const currentInside = dc <= 0.0;
      bool const previousInside = dp <= 0.0;
      if (currentInside != previousInside) {
        double const t = dp / (dp - dc);
        output[written++] = P2{previous.x + t * (current.x - previous.x),
                               previous.y + t * (current.y - previous.y)};
      }
      if (currentInside) output[written++] = current;
    }
    count = written;
    in = 1 - in;
  }
  double const inter = count >= 3 ? polygonArea(buffers[in].data(), count) : 0.0;
  double const united = polygonArea(subject.data(), 4) + polygonArea(clip.data(), 4) - inter;
  return united <= 2.220446049250313e-16 ? 0.0 : inter / united;
}

// -- a scene: 100 tracks and 100 detections over 100 m × 100 m ----------------

struct Scene {
  std::vector<State> tracks;
  std::vector<State> detections;
};

State randomBox(std::mt19937& random) {
  std::uniform_real_distribution<float> place(0.0f, 100.0f);
  std::uniform_real_distribution<float> turn(-3.14159265f, 3.14159265f);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  bool const car = unit(random) < 0.7f;
  float const length = car ? 4.0f + unit(random) : 0.5f + 0.3f * unit(random);
  float const width = car ? 1.7f + 0.3f * unit(random) : 0.5f + 0.3f * unit(random);
  float const x = place(random);
  float const y = place(random);
  return makeBox(x, y, length, width, turn(random));
}

// The same object seen again: a little off in place, size and heading.
State seenAgain(State const& track, std::mt19937& random) {
  std::normal_distribution<float> noise(0.0f, 0.3f);
  std::normal_distribution<float> headingNoise(0.0f, 0.1f);
  std::uniform_real_distribution<float> scale(0.95f, 1.05f);
  float const x = track.position->mean(0) + noise(random);
  float const y = track.position->mean(1) + noise(random);
  float const length = track.dimensions->length * scale(random);
  float const width = track.dimensions->width * scale(random);
  return makeBox(x, y, length, width, track.heading->mean(0) + headingNoise(random));
}

// Cars (70 %) and pedestrians at random places and headings. When
// `detectionsFollowTracks`, each detection is one track seen again, in
// shuffled order, as in a tracker's association step: every track has one
// close detection and the other pairs are mostly far apart. Otherwise the
// detections are scattered independently.
Scene makeScene(bool detectionsFollowTracks) {
  std::mt19937 random(20261211);
  Scene scene;
  for (int i = 0; i < 100; ++i) {
    scene.tracks.push_back(randomBox(random));
  }
  for (State const& track : scene.tracks) {
    scene.detections.push_back(detectionsFollowTracks ? seenAgain(track, random)
                                                      : randomBox(random));
  }
  std::shuffle(scene.detections.begin(), scene.detections.end(), random);
  return scene;
}

template <class Measure>
void runPair(benchmark::State& state, std::array<State, 2> const& pair, Measure measure) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(measure(pair[0], pair[1]));
  }
  state.SetItemsProcessed(state.iterations());
}

double overlapOf(State const& a, State const& b) { return a.overlap(b); }
double distanceOf(State const& a, State const& b) { return a.distance(b); }

void BM_OverlapOverlapping(benchmark::State& s) { runPair(s, overlappingPair(), overlapOf); }
void BM_OverlapFarApart(benchmark::State& s) { runPair(s, farApartPair(), overlapOf); }
void BM_DistanceOverlapping(benchmark::State& s) { runPair(s, overlappingPair(), distanceOf); }
void BM_DistanceFarApart(benchmark::State& s) { runPair(s, farApartPair(), distanceOf); }
void BM_ClipIoUOverlapping(benchmark::State& s) { runPair(s, overlappingPair(), clipIoU); }
void BM_ClipIoUFarApart(benchmark::State& s) { runPair(s, farApartPair(), clipIoU); }

template <class Measure>
void runMatrix(benchmark::State& state, Measure measure) {
  Scene const scene = makeScene(state.range(0) != 0);
  std::vector<double> matrix(scene.tracks.size() * scene.detections.size());
  for (auto _ : state) {
    std::size_t k = 0;
    for (State const& track : scene.tracks) {
      for (State const& detection : scene.detections) {
        matrix[k++] = measure(track, detection);
      }
    }
    benchmark::DoNotOptimize(matrix.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(matrix.size()));
  state.counters["overlapping_pairs"] = static_cast<double>(
      std::count_if(matrix.begin(), matrix.end(), [](double iou) { return iou > 0.0; }));
}

void BM_OverlapMatrix(benchmark::State& s) { runMatrix(s, overlapOf); }
void BM_ClipIoUMatrix(benchmark::State& s) { runMatrix(s, clipIoU); }

BENCHMARK(BM_OverlapOverlapping);
BENCHMARK(BM_OverlapFarApart);
BENCHMARK(BM_ClipIoUOverlapping);
BENCHMARK(BM_ClipIoUFarApart);
BENCHMARK(BM_DistanceOverlapping);
BENCHMARK(BM_DistanceFarApart);
// Argument 1: detections follow the tracks; 0: scattered independently.
BENCHMARK(BM_OverlapMatrix)->Arg(1)->Arg(0);
BENCHMARK(BM_ClipIoUMatrix)->Arg(1)->Arg(0);

}  // namespace

int main(int argc, char** argv) {
  return ostrel::bench::runWithRatios(argc, argv,
                                      {{"BM_OverlapFarApart", "BM_OverlapOverlapping"},
                                       {"BM_OverlapMatrix/1", "BM_ClipIoUMatrix/1"},
                                       {"BM_OverlapMatrix/0", "BM_ClipIoUMatrix/0"},
                                       {"BM_OverlapOverlapping", "BM_ClipIoUOverlapping"},
                                       {"BM_OverlapFarApart", "BM_ClipIoUFarApart"},
                                       {"BM_DistanceFarApart", "BM_DistanceOverlapping"},
                                       {"BM_DistanceOverlapping", "BM_ClipIoUOverlapping"}});
}
