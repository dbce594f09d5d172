#pragma once

#include <cstddef>
#include <functional>

#include <boost/shared_ptr.hpp>

#include <ostrel/benchmark_utility/benchmark_utility.h>
#include <ostrel/otl/connection.h>
#include <ostrel/otl/signal.h>
#include <ostrel/pcl/otl_to_pcl_converter.h>
#include <ostrel/pcl/ring_color_mapper.h>

#include "colored_ring_point.h"

namespace cloud_pipeline {

/// A shared coloured cloud.
using ColoredCloudPtr = boost::shared_ptr<ColoredCloud>;

/// A colour for every ring 0 … rings − 1: ring r gets the fully saturated
/// hue 360° · r / rings (ring 0 red). The default table stops at eight rings.
ostrel::modules::RingColorMapper::ColorMap ringColorTable(std::size_t rings);

/// Colours the points of world-frame clouds by ring and emits coloured
/// copies.
class RingColorStage {
 public:
  explicit RingColorStage(ostrel::modules::RingColorMapper::ColorMap table);

  /// Connects a receiver of the coloured clouds.
  ostrel::otl::Connection connect(std::function<void(ColoredCloudPtr)> const& receiver);

  /// Colours `cloud` and emits the result.
  void slot(ostrel::modules::XYZIRCloudPtr const& cloud);

  ostrel::BenchmarkUtility& timer() { return timer_; }

 private:
  ostrel::modules::RingColorMapper::ColorMap table_;
  ostrel::otl::Signal<ColoredCloudPtr> output_;
  ostrel::BenchmarkUtility timer_{"ring colour"};
};

}  // namespace cloud_pipeline
