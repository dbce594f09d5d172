#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include <ostrel/thread_pool/export.h>

/// A fixed-size pool of worker threads that run queued tasks in first-in,
/// first-out order, with one process-wide shared pool behind `instance()`.
///
/// A task that throws is reported as one line ("ThreadPoolAdaptor exception
/// caught: <what>", or without the colon and text for an exception that is
/// not a `std::exception`) to the error callback, or to standard error when no
/// callback is set, and the worker goes on. Destruction waits for this pool's
/// running tasks, drops what is still queued without running it, and joins
/// the workers.
class OSTREL_THREAD_POOL_EXPORT ThreadPoolAdaptor {
 public:
  /// Receives the message of a failed task.
  using ErrorCallback = std::function<void(std::string const&)>;

  /// Number of tasks being run by the workers of all pools.
  static std::atomic<std::int64_t> s_tasks_running_;
  /// A process-wide mutex for callers that need one; the pools do not use it.
  static std::mutex s_queue_mutex_;

  /// Starts `threadCount` workers, or `std::thread::hardware_concurrency()`
  /// of them while `useHardwareConcurrency()` is set; 0 starts none. `name`
  /// is kept as a pointer, not copied, and must outlive the pool.
  /// @throws std::system_error when a worker cannot be started; the workers
  /// already started are stopped and joined first.
  ThreadPoolAdaptor(unsigned long threadCount, char const* name);

  /// Rejects further tasks, waits for the tasks this pool is running, drops
  /// the queued ones unrun (their futures report a broken promise), and
  /// joins the workers.
  ~ThreadPoolAdaptor();

  ThreadPoolAdaptor(ThreadPoolAdaptor const&) = delete;
  ThreadPoolAdaptor& operator=(ThreadPoolAdaptor const&) = delete;

  /// The shared pool, created on first use with one worker per hardware
  /// thread (at least one) and destroyed at process exit.
  static ThreadPoolAdaptor& instance();

  /// Queues `task` behind the others.
  /// @throws std::runtime_error once destruction of the pool has begun.
  void post(std::function<void()> task);

  /// Queues the call `f(args...)` and returns the future of its result. An
  /// exception thrown by the call reaches the future and is not reported.
  /// @throws std::runtime_error once destruction of the pool has begun.
  template <class F, class... Args>
  auto enqueue(F&& f, Args&&... args)
      -> std::future<std::invoke_result_t<std::decay_t<F>, std::decay_t<Args>...>>;

  /// Sends task-failure messages to `callback` instead of standard error; an
  /// empty callback restores standard error. Safe while workers run.
  void setErrorCallback(ErrorCallback callback);

  /// Number of workers started.
  std::size_t threadCount() const;
  /// The name given at construction (may be null).
  char const* getName() const;

  /// When set (as at load), every pool constructed afterwards starts one
  /// worker per hardware thread, whatever count it is given.
  static void setUseHardwareConcurrency(bool use);
  /// See setUseHardwareConcurrency().
  static bool useHardwareConcurrency();
  /// A process-wide switch for applications, set at load: when cleared, they
  /// are asked to run their work inline on the calling thread instead of
  /// handing it to a pool. The pools themselves do not read it.
  static void setUseThreadPool(bool use);
  /// See setUseThreadPool().
  static bool useThreadPool();

 private:
  struct Settings {
    std::atomic<bool> use_thread_pool{true};
    std::atomic<bool> use_hardware_concurrency{true};
  };
  static Settings settings_;

  ThreadPoolAdaptor(unsigned long threadCount, char const* name, unsigned long minimumThreads);
  void workerLoop();
  void runTask(std::function<void()>& task) noexcept;
  void report(std::string const& message);
  void stopStartedWorkers() noexcept;

  std::vector<std::thread> workers;
  std::deque<std::function<void()>> tasks;
  std::mutex queueMutex;
  std::condition_variable taskCondition;
  std::condition_variable idleCondition;
  std::atomic<bool> awaitingIdle{false};
  std::atomic<bool> shuttingDown{false};
  char const* name;
  ErrorCallback errorCallback;
  /// Tasks being run by this pool's workers; guarded by `queueMutex`.
  std::size_t tasksRunning = 0;
};

template <class F, class... Args>
auto ThreadPoolAdaptor::enqueue(F&& f, Args&&... args)
    -> std::future<std::invoke_result_t<std::decay_t<F>, std::decay_t<Args>...>> {
  using Result = std::invoke_result_t<std::decay_t<F>, std::decay_t<Args>...>;
  // std::function needs a copyable target; the packaged task is move-only.
  auto task = std::make_shared<std::packaged_task<Result()>>(
      [f = std::forward<F>(f), arguments = std::make_tuple(std::forward<Args>(args)...)]() mutable {
        return std::apply(std::move(f), std::move(arguments));
      });
  std::future<Result> result = task->get_future();
  post([task = std::move(task)] { (*task)(); });
  return result;
}
