#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include <ostrel/benchmark_utility/benchmark_utility.h>

#include "ring_color_stage.h"

namespace cloud_pipeline {

/// Keeps the last coloured cloud and writes it as a PCD file.
class PcdSink {
 public:
  /// Keeps `cloud` as the last one; safe from any thread.
  void slot(ColoredCloudPtr const& cloud);

  /// Writes the last cloud to `path` in binary PCD form, through a temporary
  /// file in the same folder, so a failed write leaves no partial file.
  /// @throws std::runtime_error when there is no cloud or the write fails.
  void write(std::string const& path);

  /// Clouds received.
  std::uint64_t received() const;
  /// The last cloud received (null before the first).
  ColoredCloudPtr last() const;

  ostrel::BenchmarkUtility& timer() { return timer_; }

 private:
  mutable std::mutex mutex_;
  ColoredCloudPtr last_;
  std::uint64_t received_ = 0;
  ostrel::BenchmarkUtility timer_{"pcd write"};
};

}  // namespace cloud_pipeline
