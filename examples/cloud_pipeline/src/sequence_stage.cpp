#include "sequence_stage.h"

#include <ostrel/benchmark_utility/scoped_benchmark.h>

namespace cloud_pipeline {

SequenceStage::SequenceStage() : ostrel::LoggedComponent("SequenceStage") {}

void SequenceStage::slot(ostrel::modules::XYZIRCloudPtr const& cloud) {
  ostrel::ScopedBenchmark timing(timer_);
  auto const sequence = cloud->header.seq;
  auto const result = check_.check(sequence);
  if (result == ostrel::core::SequenceCheck::MISSING_DATA) {
    ++gaps_;
    getLogger().warnStream() << "sequence gap in " << cloud->header.frame_id << " before "
                             << sequence << ": " << check_.discarded() << " cloud(s) missing";
  } else if (result != ostrel::core::SequenceCheck::OK) {
    getLogger().warnStream() << "sequence " << sequence << " of " << cloud->header.frame_id << ": "
                             << ostrel::core::SequenceCheck::map_result_to_string_.at(result);
  }
}

}  // namespace cloud_pipeline
