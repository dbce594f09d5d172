#include "pcd_sink.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include <pcl/io/pcd_io.h>

#include <ostrel/benchmark_utility/scoped_benchmark.h>

namespace cloud_pipeline {

void PcdSink::slot(ColoredCloudPtr const& cloud) {
  std::lock_guard<std::mutex> lock(mutex_);
  last_ = cloud;
  ++received_;
}

std::uint64_t PcdSink::received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

ColoredCloudPtr PcdSink::last() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return last_;
}

void PcdSink::write(std::string const& path) {
  ColoredCloudPtr const cloud = last();
  if (!cloud) throw std::runtime_error("no coloured cloud to write to " + path);
  ostrel::ScopedBenchmark timing(timer_);
  std::filesystem::path const target(path);
  std::filesystem::path temporary = target;
  temporary += ".partial";
  pcl::PCDWriter writer;
  int status = -1;
  try {
    status = writer.writeBinary(temporary.string(), *cloud);
  } catch (std::exception const&) {
    status = -1;  // PCL throws for a file it cannot open
  }
  if (status != 0) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw std::runtime_error("cannot write the PCD file " + path);
  }
  std::error_code error;
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    throw std::runtime_error("cannot write the PCD file " + path);
  }
}

}  // namespace cloud_pipeline
