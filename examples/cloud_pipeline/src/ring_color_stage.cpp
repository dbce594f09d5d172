#include "ring_color_stage.h"

#include <cmath>
#include <utility>

#include <ostrel/benchmark_utility/scoped_benchmark.h>

namespace cloud_pipeline {
namespace {

// Fully saturated, full-value colour of `hue` degrees.
ostrel::modules::RingColor hueColor(double hue) {
  double const sector = hue / 60.0;
  double const fall = 1.0 - std::fabs(std::fmod(sector, 2.0) - 1.0);
  auto const level = [](double share) {
    return static_cast<unsigned char>(std::lround(255.0 * share));
  };
  unsigned char const full = 255;
  unsigned char const part = level(fall);
  switch (static_cast<int>(sector)) {
    case 0:
      return {full, part, 0};
    case 1:
      return {part, full, 0};
    case 2:
      return {0, full, part};
    case 3:
      return {0, part, full};
    case 4:
      return {part, 0, full};
    default:
      return {full, 0, part};
  }
}

}  // namespace

ostrel::modules::RingColorMapper::ColorMap ringColorTable(std::size_t rings) {
  ostrel::modules::RingColorMapper::ColorMap table;
  for (std::size_t ring = 0; ring < rings; ++ring) {
    table[static_cast<int>(ring)] = hueColor(360.0 * static_cast<double>(ring) / rings);
  }
  return table;
}

RingColorStage::RingColorStage(ostrel::modules::RingColorMapper::ColorMap table)
    : table_(std::move(table)) {}

ostrel::otl::Connection RingColorStage::connect(
    std::function<void(ColoredCloudPtr)> const& receiver) {
  return output_.connect(receiver);
}

void RingColorStage::slot(ostrel::modules::XYZIRCloudPtr const& cloud) {
  ColoredCloudPtr colored(new ColoredCloud);
  {
    ostrel::ScopedBenchmark timing(timer_);
    ostrel::modules::RingColorMapper mapper(cloud, table_);
    colored->header = cloud->header;
    colored->width = cloud->width;
    colored->height = cloud->height;
    colored->is_dense = cloud->is_dense;
    colored->points.resize(cloud->points.size());
    for (std::size_t i = 0; i < cloud->points.size(); ++i) {
      auto const& in = cloud->points[i];
      ostrel::modules::RingColor color{0, 0, 0};
      mapper.getColorsFromPoint(in, color);
      ColoredRingPoint& out = colored->points[i];
      out.x = in.x;
      out.y = in.y;
      out.z = in.z;
      out.data[3] = 1.0f;
      out.intensity = in.intensity;
      out.ring = in.ring;
      out.r = color[0];
      out.g = color[1];
      out.b = color[2];
      out.a = 255;
    }
  }
  output_.emit(colored);
}

}  // namespace cloud_pipeline
