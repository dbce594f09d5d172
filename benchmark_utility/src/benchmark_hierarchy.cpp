// The per-thread hierarchies and the process-wide registry that owns them.
#include <ostrel/benchmark_utility/benchmark_utility.h>

#include <boost/io/ios_state.hpp>
#include <boost/thread/lock_guard.hpp>
#include <boost/thread/mutex.hpp>

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <memory>
#include <ostream>
#include <thread>
#include <unordered_map>

namespace ostrel {

namespace {

using Hierarchy = BenchmarkUtility::Hierarchy;
using Registry = std::unordered_map<std::thread::id, std::unique_ptr<Hierarchy>>;

constexpr std::size_t REGISTRY_BUCKETS = 500;

boost::mutex all_hierarchies_mutex_;
std::unique_ptr<Registry> all_hierarchies_;

std::int64_t microsecondsSince(BenchmarkUtility::Clock::time_point start,
                               BenchmarkUtility::Clock::time_point now) {
  return std::chrono::duration_cast<std::chrono::microseconds>(now - start).count();
}

// The calling thread's hierarchy, or null; the caller holds the mutex.
Hierarchy* findLocked() {
  if (!all_hierarchies_) return nullptr;
  auto const found = all_hierarchies_->find(std::this_thread::get_id());
  return found == all_hierarchies_->end() ? nullptr : found->second.get();
}

// Removes the thread's hierarchy from the registry when the thread ends, so
// a later thread that is given the same id starts with a fresh hierarchy
// instead of the records and the dangling top of a dead one.
class ThreadExitCleanup {
 public:
  void arm() { armed_ = true; }

  ~ThreadExitCleanup() {
    if (!armed_) return;
    std::unique_ptr<Hierarchy> dead;
    boost::lock_guard<boost::mutex> lock(all_hierarchies_mutex_);
    if (!all_hierarchies_) return;
    auto const found = all_hierarchies_->find(std::this_thread::get_id());
    if (found == all_hierarchies_->end()) return;
    dead = std::move(found->second);
    all_hierarchies_->erase(found);
  }

 private:
  bool armed_ = false;
};

thread_local ThreadExitCleanup thread_exit_cleanup;

}  // namespace

Hierarchy::NamedRecord::NamedRecord(Record const& record)
    : total_time(record.total_time),
      total_processor_time(record.total_processor_time),
      child_time(record.child_time),
      child_processor_time(record.child_processor_time),
      count(record.count),
      self_time(record.total_time - record.child_time),
      self_processor_time(record.total_processor_time - record.child_processor_time) {}

bool Hierarchy::NamedRecord::operator<(NamedRecord const& other) const {
  return self_time < other.self_time;
}

Hierarchy* Hierarchy::getThreadHierarchy() {
  Hierarchy* hierarchy = nullptr;
  bool created = false;
  {
    boost::lock_guard<boost::mutex> lock(all_hierarchies_mutex_);
    if (!all_hierarchies_) {
      all_hierarchies_ = std::make_unique<Registry>();
      all_hierarchies_->rehash(REGISTRY_BUCKETS);
    }
    std::unique_ptr<Hierarchy>& entry = (*all_hierarchies_)[std::this_thread::get_id()];
    if (!entry) {
      entry = std::make_unique<Hierarchy>();
      created = true;
    }
    hierarchy = entry.get();
  }
  if (created) thread_exit_cleanup.arm();
  return hierarchy;
}

void Hierarchy::forgetOnThisThread(BenchmarkUtility const* timer) noexcept {
  try {
    Hierarchy* hierarchy = nullptr;
    {
      boost::lock_guard<boost::mutex> lock(all_hierarchies_mutex_);
      hierarchy = findLocked();
    }
    if (!hierarchy) return;
    auto* const key = const_cast<BenchmarkUtility*>(timer);
    hierarchy->records_.erase(key);
    hierarchy->names_.erase(key);
    auto& stack = hierarchy->stack_;
    stack.erase(std::remove_if(stack.begin(), stack.end(),
                               [key](StackInfo const& entry) { return entry.timer == key; }),
                stack.end());
    if (hierarchy->top_ == key) hierarchy->top_ = nullptr;
  } catch (...) {
    // Only locking can fail here; a destructor must not throw, and a stale
    // entry is the lesser harm.
  }
}

void Hierarchy::offerTop(BenchmarkUtility* timer) {
  if (!top_) top_ = timer;
}

Hierarchy::Record& Hierarchy::recordOf(BenchmarkUtility* timer) {
  // The name a record was first completed under is kept; copy it only once.
  auto const [name, inserted] = names_.try_emplace(timer);
  if (inserted) name->second = timer->getName();
  return records_[timer];
}

void Hierarchy::start(BenchmarkUtility* timer) {
  if (!top_) return;
  if (!stack_.empty() && stack_.back().timer == timer) {
    stack_.back().wall_start = Clock::now();
    stack_.back().processor_start = std::clock();
    return;
  }
  stack_.push_back(StackInfo{Clock::now(), std::clock(), 0, 0.0, timer});
}

void Hierarchy::pause(BenchmarkUtility* timer) {
  if (!top_ || stack_.empty()) return;
  Record& record = recordOf(timer);
  StackInfo const& innermost = stack_.back();
  record.run_time += microsecondsSince(innermost.wall_start, Clock::now());
  record.run_processor_time += static_cast<double>(std::clock() - innermost.processor_start);
}

void Hierarchy::stop(BenchmarkUtility* timer) {
  if (!top_ || stack_.empty()) return;
  auto const now = Clock::now();
  std::clock_t const processor_now = std::clock();
  StackInfo const innermost = stack_.back();
  Record& record = recordOf(timer);

  record.run_time += microsecondsSince(innermost.wall_start, now);
  record.count += 1;
  record.total_time += record.run_time;
  record.run_processor_time += static_cast<double>(processor_now - innermost.processor_start);
  record.total_processor_time += record.run_processor_time;
  record.child_time += innermost.child_time;
  record.child_processor_time += innermost.child_processor_time;

  stack_.pop_back();
  if (!stack_.empty()) {
    stack_.back().child_time += record.run_time;
    stack_.back().child_processor_time += record.run_processor_time;
  }
  record.run_time = 0;
  record.run_processor_time = 0.0;
}

Hierarchy::NamedRecord Hierarchy::record(BenchmarkUtility* timer) {
  if (!top_ || stack_.empty()) return NamedRecord{};
  stop(timer);
  NamedRecord result(records_.at(timer));
  records_.erase(timer);
  names_.erase(timer);
  return result;
}

std::ostream& Hierarchy::write(std::ostream& os, BenchmarkUtility const* timer) const {
  if (!top_ || top_ != timer) return os;
  os << "\nName                      Self (us)  Total (us)  Count\n";

  std::vector<NamedRecord> rows;
  rows.reserve(records_.size());
  for (auto const& [key, figures] : records_) {
    rows.emplace_back(figures);
    rows.back().name = names_.at(key);
  }
  std::sort(rows.begin(), rows.end());

  // The name takes the stream's own adjustment and fill; the figures are
  // always decimal, whatever base the caller left the stream in.
  boost::io::ios_flags_saver const flags(os);
  for (NamedRecord const& row : rows) {
    os << std::setw(25) << row.name << " " << std::dec << std::setw(10) << row.self_time << " "
       << std::setw(10) << row.total_time << " " << std::setw(6) << row.count << "\n";
  }
  return os;
}

}  // namespace ostrel
