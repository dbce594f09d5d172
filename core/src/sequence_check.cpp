#include <ostrel/core/sequence_check.h>

namespace ostrel::core {

const std::map<SequenceCheck::Result, const std::string> SequenceCheck::map_result_to_string_{
    {OK, "OK"},
    {MISSING_DATA, "Missing data"},
    {DUPLICATE, "Duplicate"},
    {OUT_OF_ORDER, "Out of order"},
};

SequenceCheck::SequenceCheck() { reset(); }

SequenceCheck::~SequenceCheck() = default;

void SequenceCheck::reset() {
  initialized_ = false;
  current_ = 0;
  previous_ = 0;
  missing_total_ = 0;
}

SequenceCheck::Result SequenceCheck::check(std::uint64_t sequence) {
  if (!initialized_) {
    initialized_ = true;
    current_ = sequence;
    previous_ = sequence;
    return OK;
  }
  if (sequence == current_) {
    return DUPLICATE;
  }
  if (sequence < current_) {
    return OUT_OF_ORDER;
  }
  previous_ = current_;
  current_ = sequence;
  if (sequence == previous_ + 1) {
    return OK;
  }
  missing_total_ += discarded();
  return MISSING_DATA;
}

std::uint64_t SequenceCheck::discarded() const { return current_ - previous_ - 1; }

std::uint64_t SequenceCheck::previous() const { return previous_; }

std::uint64_t SequenceCheck::missingTotal() const { return missing_total_; }

}  // namespace ostrel::core
