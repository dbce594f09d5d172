// Throughput of the pool beside boost::asio::thread_pool with the same number
// of workers: N near-empty tasks posted from one thread and run to the end,
// then the same with a future per task. Items per second is tasks per second;
// a ratio below 1 means our pool is faster.
#include <ostrel/thread_pool/ThreadPoolAdaptor.h>

#include <benchmark/benchmark.h>
#include <boost/asio/post.hpp>
#include <boost/asio/thread_pool.hpp>

#include <algorithm>
#include <atomic>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "ratio_reporter.h"

namespace {

unsigned workerCount() { return std::max(1u, std::thread::hardware_concurrency()); }

ThreadPoolAdaptor& ourPool() {
  static ThreadPoolAdaptor* const pool = [] {
    ThreadPoolAdaptor::setUseHardwareConcurrency(false);
    return new ThreadPoolAdaptor(workerCount(), "bench");
  }();
  return *pool;
}

boost::asio::thread_pool& asioPool() {
  static auto* const pool = new boost::asio::thread_pool(workerCount());
  return *pool;
}

// Counts finished tasks; the task that finishes the last one wakes the producer.
class Completion {
 public:
  explicit Completion(long total) : remaining_(total) {}
  void taskDone() {
    if (remaining_.fetch_sub(1, std::memory_order_acq_rel) == 1) done_.set_value();
  }
  void wait() { done_.get_future().wait(); }

 private:
  std::atomic<long> remaining_;
  std::promise<void> done_;
};

template <class Post>
void postAndRun(benchmark::State& state, Post post) {
  long const tasks = state.range(0);
  for (auto _ : state) {
    Completion completion(tasks);
    for (long i = 0; i < tasks; ++i) post([&completion] { completion.taskDone(); });
    completion.wait();
  }
  state.SetItemsProcessed(state.iterations() * tasks);
}

void BM_OurPoolPost(benchmark::State& state) {
  ThreadPoolAdaptor& pool = ourPool();
  postAndRun(state, [&pool](auto&& task) { pool.post(task); });
}

void BM_AsioPoolPost(benchmark::State& state) {
  boost::asio::thread_pool& pool = asioPool();
  postAndRun(state, [&pool](auto&& task) { boost::asio::post(pool, task); });
}

void BM_OurPoolEnqueue(benchmark::State& state) {
  ThreadPoolAdaptor& pool = ourPool();
  long const tasks = state.range(0);
  std::vector<std::future<long>> results;
  results.reserve(static_cast<std::size_t>(tasks));
  for (auto _ : state) {
    results.clear();
    for (long i = 0; i < tasks; ++i) results.push_back(pool.enqueue([i] { return i; }));
    for (auto& result : results) benchmark::DoNotOptimize(result.get());
  }
  state.SetItemsProcessed(state.iterations() * tasks);
}

// The same work by hand on the Asio pool: a packaged task and its future per call.
void BM_AsioPoolPackagedTask(benchmark::State& state) {
  boost::asio::thread_pool& pool = asioPool();
  long const tasks = state.range(0);
  std::vector<std::future<long>> results;
  results.reserve(static_cast<std::size_t>(tasks));
  for (auto _ : state) {
    results.clear();
    for (long i = 0; i < tasks; ++i) {
      auto task = std::make_shared<std::packaged_task<long()>>([i] { return i; });
      results.push_back(task->get_future());
      boost::asio::post(pool, [task = std::move(task)] { (*task)(); });
    }
    for (auto& result : results) benchmark::DoNotOptimize(result.get());
  }
  state.SetItemsProcessed(state.iterations() * tasks);
}

BENCHMARK(BM_OurPoolPost)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AsioPoolPost)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OurPoolEnqueue)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AsioPoolPackagedTask)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return ostrel::bench::runWithRatios(
      argc, argv,
      {{"BM_OurPoolPost/1000000", "BM_AsioPoolPost/1000000"},
       {"BM_OurPoolEnqueue/100000", "BM_AsioPoolPackagedTask/100000"}});
}
