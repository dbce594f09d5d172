#pragma once

#include <cstdint>
#include <map>
#include <string>

#include <ostrel/core/export.h>

namespace ostrel::core {

/// Watches the sequence numbers of one stream of numbered items and
/// classifies each new number as in order, after a gap, a repeat or a step
/// backwards, counting the numbers that went missing. Numbers compare as
/// plain unsigned 64-bit values: a counter that wraps steps backwards.
class OSTREL_CORE_EXPORT SequenceCheck {
 public:
  /// What `check` found.
  enum Result {
    OK = 0,
    MISSING_DATA = 1,
    DUPLICATE = 2,
    OUT_OF_ORDER = 3,
  };

  /// The text of every result: "OK", "Missing data", "Duplicate",
  /// "Out of order".
  static const std::map<Result, const std::string> map_result_to_string_;

  /// A fresh checker, as after `reset()`.
  SequenceCheck();
  virtual ~SequenceCheck();

  /// Forgets every number seen; the next one is accepted as in order.
  void reset();
  /// Classifies `sequence`. The first number after construction or `reset()`
  /// is `OK`; a repeat of the last accepted number is `DUPLICATE` and a
  /// smaller one `OUT_OF_ORDER`, neither changing anything; a larger one is
  /// accepted, `OK` when it follows directly and `MISSING_DATA` after a gap.
  Result check(std::uint64_t sequence);
  /// Numbers skipped by the most recent forward step: current − previous − 1,
  /// wrapping (2^64 − 1 before any forward step).
  std::uint64_t discarded() const;
  /// The accepted number before the last accepted one.
  std::uint64_t previous() const;
  /// Numbers skipped by all gaps since construction or the last `reset()`.
  std::uint64_t missingTotal() const;

 private:
  bool initialized_;
  std::uint64_t current_;
  std::uint64_t previous_;
  std::uint64_t missing_total_;
};

}  // namespace ostrel::core
