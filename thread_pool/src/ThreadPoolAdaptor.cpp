#include <ostrel/thread_pool/ThreadPoolAdaptor.h>

#include <algorithm>
#include <exception>
#include <iostream>
#include <stdexcept>

namespace {

constexpr char const* FAILURE_PREFIX = "ThreadPoolAdaptor exception caught";

// One write of the whole line, so messages of several workers never mix.
void writeLineToStandardError(std::string const& message) {
  std::string const line = message + "\n";
  std::cerr.write(line.data(), static_cast<std::streamsize>(line.size()));
  std::cerr.flush();
}

}  // namespace

std::atomic<std::int64_t> ThreadPoolAdaptor::s_tasks_running_{0};
std::mutex ThreadPoolAdaptor::s_queue_mutex_;
ThreadPoolAdaptor::Settings ThreadPoolAdaptor::settings_;

ThreadPoolAdaptor::ThreadPoolAdaptor(unsigned long threadCount, char const* name)
    : ThreadPoolAdaptor(threadCount, name, 0) {}

ThreadPoolAdaptor::ThreadPoolAdaptor(unsigned long threadCount, char const* name,
                                     unsigned long minimumThreads)
    : name(name) {
  if (settings_.use_hardware_concurrency) threadCount = std::thread::hardware_concurrency();
  threadCount = std::max(threadCount, minimumThreads);
  try {
    workers.reserve(threadCount);
    for (unsigned long i = 0; i < threadCount; ++i) {
      workers.emplace_back([this] { workerLoop(); });
    }
  } catch (...) {
    // Joinable threads must not be destroyed: that would end the process.
    stopStartedWorkers();
    throw;
  }
}

void ThreadPoolAdaptor::stopStartedWorkers() noexcept {
  {
    std::lock_guard<std::mutex> lock(queueMutex);
    shuttingDown = true;
  }
  taskCondition.notify_all();
  for (std::thread& worker : workers) worker.join();
  workers.clear();
}

ThreadPoolAdaptor::~ThreadPoolAdaptor() {
  {
    std::lock_guard<std::mutex> lock(queueMutex);
    shuttingDown = true;
  }
  std::deque<std::function<void()>> dropped;
  {
    std::unique_lock<std::mutex> lock(queueMutex);
    awaitingIdle = true;
    // Only this pool's workers signal here, so only this pool's tasks count.
    idleCondition.wait(lock, [this] { return tasksRunning == 0; });
    dropped.swap(tasks);
  }
  taskCondition.notify_all();
  // Outside the lock: a dropped task's destructor may touch this pool.
  dropped.clear();
  for (std::thread& worker : workers) worker.join();
}

ThreadPoolAdaptor& ThreadPoolAdaptor::instance() {
  // A shared pool without workers would never run what it is given.
  static ThreadPoolAdaptor shared(std::thread::hardware_concurrency(), nullptr, 1);
  return shared;
}

void ThreadPoolAdaptor::post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(queueMutex);
    if (shuttingDown) {
      throw std::runtime_error("ThreadPoolAdaptor: the pool is shutting down and takes no tasks");
    }
    tasks.push_back(std::move(task));
    // A queue that held tasks already has a worker on its way: the worker
    // that takes a task and leaves others behind wakes the next one. Waking
    // only on the first task saves a wake-up call per task under load.
    if (tasks.size() != 1) return;
  }
  taskCondition.notify_one();
}

void ThreadPoolAdaptor::setErrorCallback(ErrorCallback callback) {
  std::lock_guard<std::mutex> lock(queueMutex);
  errorCallback = std::move(callback);
}

std::size_t ThreadPoolAdaptor::threadCount() const { return workers.size(); }

char const* ThreadPoolAdaptor::getName() const { return name; }

void ThreadPoolAdaptor::setUseHardwareConcurrency(bool use) {
  settings_.use_hardware_concurrency = use;
}

bool ThreadPoolAdaptor::useHardwareConcurrency() { return settings_.use_hardware_concurrency; }

void ThreadPoolAdaptor::setUseThreadPool(bool use) { settings_.use_thread_pool = use; }

bool ThreadPoolAdaptor::useThreadPool() { return settings_.use_thread_pool; }

void ThreadPoolAdaptor::workerLoop() {
  std::function<void()> task;
  std::unique_lock<std::mutex> lock(queueMutex);
  for (;;) {
    while (!shuttingDown) {
      if (tasks.empty() || awaitingIdle) {
        taskCondition.wait(lock);
      } else {
        break;
      }
    }
    if (shuttingDown && tasks.empty()) return;
    ++s_tasks_running_;
    ++tasksRunning;
    task = std::move(tasks.front());
    tasks.pop_front();
    bool const moreQueued = !tasks.empty();
    lock.unlock();
    if (moreQueued) taskCondition.notify_one();

    runTask(task);
    // Destroyed outside the lock, while the task still counts as running, so
    // the destructor of the pool also waits for it. The count is then
    // lowered in the same critical section that takes the next task: one
    // lock per task keeps the queue lock free for the producers.
    task = nullptr;

    lock.lock();
    --s_tasks_running_;
    --tasksRunning;
    if (awaitingIdle && tasksRunning == 0) idleCondition.notify_one();
  }
}

void ThreadPoolAdaptor::runTask(std::function<void()>& task) noexcept {
  try {
    try {
      task();  // an empty task throws std::bad_function_call
    } catch (std::exception const& error) {
      report(std::string(FAILURE_PREFIX) + ": " + error.what());
    } catch (...) {
      report(FAILURE_PREFIX);
    }
  } catch (...) {
    // Only building the message can fail here (out of memory); the task is
    // dropped all the same and the worker goes on.
  }
}

void ThreadPoolAdaptor::report(std::string const& message) {
  ErrorCallback callback;
  {
    std::lock_guard<std::mutex> lock(queueMutex);
    callback = errorCallback;
  }
  if (callback) {
    try {
      callback(message);
      return;
    } catch (...) {
      // A failing callback must not lose the message nor stop the worker.
    }
  }
  writeLineToStandardError(message);
}
