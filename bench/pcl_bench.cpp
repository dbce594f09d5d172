// Sensor clouds to PCL and back, and ring colouring, each beside its floor:
// a plain loop that allocates a fresh output buffer of the same size, as the
// conversion must, and writes the same output bytes from the same input
// bytes. Items per second is points per second; the ratios printed at the end
// are conversion time over floor time (1 would be as fast as the floor).
#include <ostrel/pcl/otl_to_pcl_converter.h>
#include <ostrel/pcl/pcl_to_otl_converter.h>
#include <ostrel/pcl/ring_color_mapper.h>

#include <benchmark/benchmark.h>
#include <boost/make_shared.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "ratio_reporter.h"

namespace {

using namespace ostrel;
using modules::PCL_PointXYZIR;

otl::XYZICloud makeSensorCloud(std::size_t height, std::size_t width) {
  std::size_t const count = height * width;
  otl::Slice<otl::CartPoint> cart;
  otl::Slice<otl::IntensityValue> intensity;
  for (std::size_t i = 0; i < count; ++i) {
    auto const f = static_cast<float>(i);
    cart->push_back(otl::CartPoint{f, f * 0.5f, -f});
    intensity->push_back(otl::IntensityValue{f * 0.25f});
  }
  return otl::XYZICloud(otl::CloudHeader(otl::Dim<2, false>{height, width}, "bench", 1, 1000), cart,
                        intensity);
}

modules::XYZIRCloudPtr makePclCloud(std::size_t height, std::size_t width) {
  auto cloud = boost::make_shared<pcl::PointCloud<PCL_PointXYZIR>>();
  cloud->points.reserve(height * width);
  for (std::size_t row = 0; row < height; ++row) {
    for (std::size_t column = 0; column < width; ++column) {
      auto const f = static_cast<float>(row * width + column);
      cloud->points.emplace_back(f, f * 0.5f, -f, f * 0.25f, static_cast<std::uint16_t>(row));
    }
  }
  cloud->height = static_cast<std::uint32_t>(height);
  cloud->width = static_cast<std::uint32_t>(width);
  cloud->header.frame_id = "bench";
  return cloud;
}

// Storage as a conversion gets it: fresh from the heap, not yet touched, no
// element constructed.
template <class T>
class FreshBuffer {
 public:
  explicit FreshBuffer(std::size_t count)
      : data_(static_cast<T*>(::operator new (count * sizeof(T), std::align_val_t{alignof(T)}))) {}
  FreshBuffer(FreshBuffer const&) = delete;
  FreshBuffer& operator=(FreshBuffer const&) = delete;
  ~FreshBuffer() { ::operator delete (data_, std::align_val_t{alignof(T)}); }

  T* get() const { return data_; }

 private:
  T* data_;
};

// -- sensor cloud to PCL -----------------------------------------------------

void BM_XYZIToPCL(benchmark::State& state) {
  auto const height = static_cast<std::size_t>(state.range(0));
  auto const width = static_cast<std::size_t>(state.range(1));
  otl::XYZICloud const cloud = makeSensorCloud(height, width);
  modules::XYZI_PCL_Converter converter;
  converter.connect([](modules::XYZIRCloudPtr result) { benchmark::DoNotOptimize(result.get()); });
  for (auto _ : state) {
    converter.slot(cloud);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(height * width));
}

// 32 output bytes per point (x, y, z, 1, intensity, ring, padding) from the
// same 16 input bytes, with the ring from the row.
void BM_XYZIToPCLFloor(benchmark::State& state) {
  auto const height = static_cast<std::size_t>(state.range(0));
  auto const width = static_cast<std::size_t>(state.range(1));
  otl::XYZICloud const cloud = makeSensorCloud(height, width);
  otl::CartPoint const* const cart = cloud.slice<otl::CartPoint>()->data();
  otl::IntensityValue const* const intensity = cloud.slice<otl::IntensityValue>()->data();
  for (auto _ : state) {
    FreshBuffer<PCL_PointXYZIR> out(height * width);
    std::size_t i = 0;
    for (std::size_t row = 0; row < height; ++row) {
      auto const ring = static_cast<std::uint16_t>(height - 1 - row);
      for (std::size_t column = 0; column < width; ++column, ++i) {
        new (out.get() + i)
            PCL_PointXYZIR(cart[i].x, cart[i].y, cart[i].z, intensity[i].value, ring);
      }
    }
    benchmark::DoNotOptimize(out.get());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(height * width));
}

// -- PCL to sensor cloud -----------------------------------------------------

void BM_PCLToXYZI(benchmark::State& state) {
  auto const height = static_cast<std::size_t>(state.range(0));
  auto const width = static_cast<std::size_t>(state.range(1));
  modules::XYZIRCloudPtr const cloud = makePclCloud(height, width);
  modules::PCL_to_XYZI_Converter converter;
  converter.connect([](otl::XYZICloud result) {
    benchmark::DoNotOptimize(result.slice<otl::CartPoint>()->data());
  });
  for (auto _ : state) {
    converter.slot(cloud);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(height * width));
}

// 16 output bytes per point into two fresh column buffers, from the same
// 16 input bytes.
void BM_PCLToXYZIFloor(benchmark::State& state) {
  auto const height = static_cast<std::size_t>(state.range(0));
  auto const width = static_cast<std::size_t>(state.range(1));
  modules::XYZIRCloudPtr const cloud = makePclCloud(height, width);
  std::size_t const count = cloud->size();
  for (auto _ : state) {
    FreshBuffer<otl::CartPoint> cart(count);
    FreshBuffer<otl::IntensityValue> intensity(count);
    for (std::size_t i = 0; i < count; ++i) {
      PCL_PointXYZIR const& p = cloud->points[i];
      cart.get()[i] = otl::CartPoint{p.x, p.y, p.z};
      intensity.get()[i] = otl::IntensityValue{p.intensity};
    }
    benchmark::DoNotOptimize(cart.get());
    benchmark::DoNotOptimize(intensity.get());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}

// -- ring colours --------------------------------------------------------------

void BM_RingColour(benchmark::State& state) {
  auto const count = static_cast<std::size_t>(state.range(0));
  modules::XYZIRCloudPtr const cloud =
      makePclCloud(16, count / 16);  // rings 0 … 15, eight coloured
  modules::RingColorMapper mapper(cloud, modules::RingColorMapper::getDefaultColorMap());
  for (auto _ : state) {
    FreshBuffer<modules::RingColor> colours(count);
    for (std::size_t i = 0; i < count; ++i) {
      colours.get()[i] = modules::RingColor{0, 0, 0};
      mapper.getColorsFromPoint(cloud->points[i], colours.get()[i]);
    }
    benchmark::DoNotOptimize(colours.get());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}

// Three output bytes per point from the same point bytes, through a table
// indexed by ring.
void BM_RingColourFloor(benchmark::State& state) {
  auto const count = static_cast<std::size_t>(state.range(0));
  modules::XYZIRCloudPtr const cloud = makePclCloud(16, count / 16);
  std::array<modules::RingColor, 8> table{};
  for (auto const& [ring, colour] : modules::RingColorMapper::getDefaultColorMap()) {
    table[static_cast<std::size_t>(ring)] = colour;
  }
  for (auto _ : state) {
    FreshBuffer<modules::RingColor> colours(count);
    for (std::size_t i = 0; i < count; ++i) {
      std::uint16_t const ring = cloud->points[i].ring;
      colours.get()[i] = ring < table.size() ? table[ring] : modules::RingColor{0, 0, 0};
    }
    benchmark::DoNotOptimize(colours.get());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}

void organisations(benchmark::internal::Benchmark* bench) {
  bench->Args({128, 2048})->Args({1, 1048576})->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_XYZIToPCL)->Apply(organisations);
BENCHMARK(BM_XYZIToPCLFloor)->Apply(organisations);
BENCHMARK(BM_PCLToXYZI)->Apply(organisations);
BENCHMARK(BM_PCLToXYZIFloor)->Apply(organisations);
BENCHMARK(BM_RingColour)->Arg(1048576)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RingColourFloor)->Arg(1048576)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return ostrel::bench::runWithRatios(argc, argv,
                                      {{"BM_XYZIToPCL/128/2048", "BM_XYZIToPCLFloor/128/2048"},
                                       {"BM_XYZIToPCL/1/1048576", "BM_XYZIToPCLFloor/1/1048576"},
                                       {"BM_PCLToXYZI/128/2048", "BM_PCLToXYZIFloor/128/2048"},
                                       {"BM_PCLToXYZI/1/1048576", "BM_PCLToXYZIFloor/1/1048576"},
                                       {"BM_RingColour/1048576", "BM_RingColourFloor/1048576"}});
}
