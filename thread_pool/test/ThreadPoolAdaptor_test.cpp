#include <ostrel/thread_pool/ThreadPoolAdaptor.h>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "failing_thread_start.h"

namespace {

// Lets `count` threads meet: each blocks until all have arrived.
class Meeting {
 public:
  explicit Meeting(int count) : missing_(count) {}
  void arriveAndWait() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (--missing_ == 0) {
      all_here_.notify_all();
      return;
    }
    all_here_.wait(lock, [this] { return missing_ == 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable all_here_;
  int missing_;
};

// Messages handed to an error callback, from any worker.
class MessageLog {
 public:
  ThreadPoolAdaptor::ErrorCallback callback() {
    return [this](std::string const& message) {
      std::lock_guard<std::mutex> lock(mutex_);
      messages_.push_back(message);
    };
  }
  std::vector<std::string> messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> messages_;
};

// Waits until every task queued on `pool` before this call has been taken
// and, on a one-worker pool, has run.
void drain(ThreadPoolAdaptor& pool) {
  pool.enqueue([] {}).get();
}

class ThreadPool : public ::testing::Test {
 protected:
  void SetUp() override { ThreadPoolAdaptor::setUseHardwareConcurrency(false); }
  void TearDown() override { ThreadPoolAdaptor::setUseHardwareConcurrency(true); }
};

TEST(ThreadPoolSettings, BothFlagsAreSetAtLoad) {
  EXPECT_TRUE(ThreadPoolAdaptor::useHardwareConcurrency());
  EXPECT_TRUE(ThreadPoolAdaptor::useThreadPool());
}

TEST_F(ThreadPool, StartsTheGivenNumberOfWorkers) {
  ThreadPoolAdaptor pool(3, "three");
  EXPECT_EQ(pool.threadCount(), 3u);
  EXPECT_STREQ(pool.getName(), "three");
  Meeting meeting(3);
  std::vector<std::future<void>> done;
  for (int i = 0; i < 3; ++i) done.push_back(pool.enqueue([&] { meeting.arriveAndWait(); }));
  for (auto& f : done) f.get();  // three tasks ran at the same time
}

TEST_F(ThreadPool, HardwareConcurrencyOverridesTheGivenCount) {
  ThreadPoolAdaptor::setUseHardwareConcurrency(true);
  ThreadPoolAdaptor pool(std::thread::hardware_concurrency() + 5, nullptr);
  EXPECT_EQ(pool.threadCount(), std::thread::hardware_concurrency());
}

TEST_F(ThreadPool, OneWorkerRunsTasksInPostingOrder) {
  ThreadPoolAdaptor pool(1, "fifo");
  std::promise<void> open;
  std::shared_future<void> gate = open.get_future().share();
  std::vector<int> order;
  pool.post([gate] { gate.wait(); });
  for (int i = 0; i < 20; ++i) pool.post([&order, i] { order.push_back(i); });
  std::future<void> last = pool.enqueue([] {});
  open.set_value();
  last.get();

  std::vector<int> expected(20);
  for (int i = 0; i < 20; ++i) expected[i] = i;
  EXPECT_EQ(order, expected);
}

TEST_F(ThreadPool, DestructionDropsQueuedTasksOfAPoolWithoutWorkers) {
  bool ran = false;
  std::future<int> result;
  {
    ThreadPoolAdaptor pool(0, "empty");
    pool.post([&ran] { ran = true; });
    result = pool.enqueue([] { return 1; });
  }
  EXPECT_FALSE(ran);
  try {
    result.get();
    FAIL() << "a dropped task must not deliver a value";
  } catch (std::future_error const& error) {
    EXPECT_EQ(error.code(), std::future_errc::broken_promise);
  }
}

TEST_F(ThreadPool, DroppedTaskIsDestroyedOutsideTheQueueLock) {
  // A task whose destruction posts to its own pool: the post must be refused,
  // not wait forever for the lock the destructor holds.
  struct PostsWhenDestroyed {
    ThreadPoolAdaptor* pool;
    std::atomic<bool>* refused;
    ~PostsWhenDestroyed() {
      try {
        pool->post([] {});
      } catch (std::runtime_error const&) {
        *refused = true;
      }
    }
  };
  std::atomic<bool> refused{false};
  {
    ThreadPoolAdaptor pool(0, "self-posting");
    auto payload = std::make_shared<PostsWhenDestroyed>(PostsWhenDestroyed{&pool, &refused});
    pool.post([payload] {});
    payload.reset();
  }
  EXPECT_TRUE(refused.load());
}

TEST_F(ThreadPool, RefusesTasksOnceDestructionBegan) {
  auto pool = std::make_unique<ThreadPoolAdaptor>(1, "closing");
  std::promise<void> running;
  std::atomic<bool> refused{false};
  ThreadPoolAdaptor* const raw = pool.get();
  raw->post([raw, &running, &refused] {
    running.set_value();
    for (;;) {
      try {
        raw->post([] {});
      } catch (std::runtime_error const& error) {
        refused = std::string(error.what()).find("shutting down") != std::string::npos;
        return;
      }
      std::this_thread::yield();
    }
  });
  running.get_future().wait();
  pool.reset();  // waits for the running task, which ends once refused
  EXPECT_TRUE(refused.load());
}

struct FailureCase {
  char const* what;
  std::function<void()> task;
  std::string message;
};

void PrintTo(FailureCase const& c, std::ostream* out) { *out << c.what; }

class TaskFailure : public ThreadPool, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(TaskFailure, IsReportedToTheCallbackAndTheWorkerGoesOn) {
  MessageLog log;
  ThreadPoolAdaptor pool(1, "failing");
  pool.setErrorCallback(log.callback());
  bool next_ran = false;
  pool.post(GetParam().task);
  pool.post([&next_ran] { next_ran = true; });
  drain(pool);
  EXPECT_TRUE(next_ran);
  EXPECT_EQ(log.messages(), std::vector<std::string>{GetParam().message});
}

TEST_P(TaskFailure, IsWrittenAsOneLineToStandardErrorWithoutCallback) {
  ::testing::internal::CaptureStderr();
  {
    ThreadPoolAdaptor pool(1, "failing");
    pool.post(GetParam().task);
    drain(pool);
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), GetParam().message + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TaskFailure,
    ::testing::Values(
        FailureCase{"standard exception", [] { throw std::runtime_error("disk full"); },
                    "ThreadPoolAdaptor exception caught: disk full"},
        FailureCase{"other exception", [] { throw 7; }, "ThreadPoolAdaptor exception caught"},
        FailureCase{"empty task", std::function<void()>(),
                    std::string("ThreadPoolAdaptor exception caught: ") +
                        std::bad_function_call().what()}));

TEST_F(ThreadPool, ThrowingCallbackFallsBackToStandardError) {
  ::testing::internal::CaptureStderr();
  {
    ThreadPoolAdaptor pool(1, "callback fails");
    pool.setErrorCallback([](std::string const&) { throw std::logic_error("callback broke"); });
    bool next_ran = false;
    pool.post([] { throw std::runtime_error("first"); });
    pool.post([&next_ran] { next_ran = true; });
    drain(pool);
    EXPECT_TRUE(next_ran);
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "ThreadPoolAdaptor exception caught: first\n");
  EXPECT_EQ(ThreadPoolAdaptor::s_tasks_running_.load(), 0);
}

TEST_F(ThreadPool, FuturesCarryResultsAndExceptions) {
  MessageLog log;
  ThreadPoolAdaptor pool(2, "futures");
  pool.setErrorCallback(log.callback());

  std::future<int> sum = pool.enqueue([](int a, int b) { return a + b; }, 2, 3);
  std::future<std::string> moved =
      pool.enqueue([](std::unique_ptr<std::string> text) { return *text + "!"; },
                   std::make_unique<std::string>("owned"));
  std::future<void> failed = pool.enqueue([] { throw std::out_of_range("no such frame"); });

  EXPECT_EQ(sum.get(), 5);
  EXPECT_EQ(moved.get(), "owned!");
  try {
    failed.get();
    FAIL() << "the task's exception must reach the future";
  } catch (std::out_of_range const& error) {
    EXPECT_STREQ(error.what(), "no such frame");
  }
  EXPECT_TRUE(log.messages().empty()) << "an exception kept by a future is not also reported";
}

TEST_F(ThreadPool, PoolIsDestroyedWhileAnotherPoolRunsATask) {
  ThreadPoolAdaptor busy(1, "busy");
  std::promise<void> busy_started;
  std::promise<void> release_busy;
  busy.post([&] {
    busy_started.set_value();
    release_busy.get_future().wait();
  });
  busy_started.get_future().wait();

  {
    ThreadPoolAdaptor idle(1, "idle");
    ThreadPoolAdaptor finishing(1, "finishing");
    finishing.post([] {});
  }  // both must return although the other pool's task still runs
  EXPECT_GE(ThreadPoolAdaptor::s_tasks_running_.load(), 1) << "the running count covers all pools";
  release_busy.set_value();
}

TEST_F(ThreadPool, WorkerThatCannotStartStopsTheOthersAndReachesTheCaller) {
  {
    ostrel::test::FailingThreadStart const fail_after_two(2);
    EXPECT_THROW(ThreadPoolAdaptor(4, "doomed"), std::system_error);
  }
  ThreadPoolAdaptor pool(2, "after");
  EXPECT_EQ(pool.enqueue([] { return 42; }).get(), 42);
}

TEST_F(ThreadPool, SharedInstanceRunsTasks) {
  ThreadPoolAdaptor& shared = ThreadPoolAdaptor::instance();
  EXPECT_EQ(&shared, &ThreadPoolAdaptor::instance());
  EXPECT_GE(shared.threadCount(), 1u);
  EXPECT_EQ(shared.getName(), nullptr);
  EXPECT_EQ(shared.enqueue([](int x) { return x * 2; }, 21).get(), 42);
}

TEST_F(ThreadPool, ManyProducersPostToTheSharedPool) {
  constexpr int PRODUCERS = 8;
  constexpr int TASKS_EACH = 4000;
  constexpr int FAILING_EACH = 50;
  constexpr int TOTAL = PRODUCERS * (TASKS_EACH + FAILING_EACH);
  ThreadPoolAdaptor& shared = ThreadPoolAdaptor::instance();
  std::atomic<int> failures{0};
  auto counting = [&failures](std::string const&) { ++failures; };
  shared.setErrorCallback(counting);

  std::atomic<int> finished{0};
  std::promise<void> all_done;
  auto finish = [&] {
    if (++finished == TOTAL) all_done.set_value();
  };
  std::atomic<long> sum{0};
  std::vector<std::thread> producers;
  for (int p = 0; p < PRODUCERS; ++p) {
    producers.emplace_back([&, p] {
      for (int i = 0; i < TASKS_EACH; ++i) {
        if (i % 2 == 0) {
          shared.post([&, i] {
            sum += i;
            finish();
          });
        } else {
          shared.enqueue([&, i] {
            sum += i;
            finish();
          });
        }
        // Swapping the callback while workers report must be safe.
        if (p == 0 && i % 100 == 0) shared.setErrorCallback(counting);
      }
      for (int i = 0; i < FAILING_EACH; ++i) {
        shared.post([&] {
          finish();
          throw std::runtime_error("expected");
        });
      }
    });
  }
  for (std::thread& producer : producers) producer.join();
  all_done.get_future().wait();
  // The last failing tasks may still be reporting: a task stops counting as
  // running only after its report.
  while (ThreadPoolAdaptor::s_tasks_running_ != 0) std::this_thread::yield();
  shared.setErrorCallback(nullptr);

  long const per_producer = static_cast<long>(TASKS_EACH) * (TASKS_EACH - 1) / 2;
  EXPECT_EQ(sum.load(), PRODUCERS * per_producer);
  EXPECT_EQ(failures.load(), PRODUCERS * FAILING_EACH);
}

}  // namespace
