#pragma once

#include <cstdint>

#include <ostrel/benchmark_utility/benchmark_utility.h>
#include <ostrel/core/sequence_check.h>
#include <ostrel/logging/logged_component.h>
#include <ostrel/pcl/otl_to_pcl_converter.h>

namespace cloud_pipeline {

/// Watches the sequence numbers of the converted clouds and logs a warning
/// for every gap, repeat or step backwards.
class SequenceStage : public ostrel::LoggedComponent {
 public:
  SequenceStage();

  /// Checks the cloud's sequence number.
  void slot(ostrel::modules::XYZIRCloudPtr const& cloud);

  /// Gaps seen since construction.
  std::uint64_t gaps() const { return gaps_; }
  /// Sequence numbers missing in all gaps.
  std::uint64_t missing() const { return check_.missingTotal(); }

  ostrel::BenchmarkUtility& timer() { return timer_; }

 private:
  ostrel::core::SequenceCheck check_;
  std::uint64_t gaps_ = 0;
  ostrel::BenchmarkUtility timer_{"sequence check"};
};

}  // namespace cloud_pipeline
