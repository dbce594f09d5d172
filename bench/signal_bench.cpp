// Our signal beside boost::signals2::signal connected to the same slots, and
// beside the floor: a plain loop that locks a std::mutex and calls the same
// std::function slots from a std::vector. The owner check that turns a
// re-entrant call into an error is measured on its own against a bare
// std::lock_guard.
#include <ostrel/otl/owner_checked_mutex.h>
#include <ostrel/otl/signal.h>

#include <boost/signals2/signal.hpp>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ratio_reporter.h"

namespace {

constexpr std::size_t VECTOR_FLOATS = (1u << 20) / sizeof(float);  // 1 MiB

/// Slot bodies the compiler cannot see through, so every variant does the
/// same work per call.
std::function<void(int)> intSlot(std::int64_t& sum) {
  return [&sum](int value) { benchmark::DoNotOptimize(sum += value); };
}

/// The floor: what any thread-safe signal has to do at least.
template <class... Args>
class FloorSignal {
 public:
  void connect(std::function<void(Args...)> const& slot) {
    std::lock_guard<std::mutex> lock(mutex_);
    slots_.push_back(slot);
  }
  void disconnectLast() {
    std::lock_guard<std::mutex> lock(mutex_);
    slots_.pop_back();
  }
  template <class... Ts>
  void emit(Ts&&... args) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto const& slot : slots_) slot(args...);
  }

 private:
  std::mutex mutex_;
  std::vector<std::function<void(Args...)>> slots_;
};

void BM_EmitInt_Ostrel(benchmark::State& state) {
  std::int64_t sum = 0;
  ostrel::otl::Signal<int> signal;
  for (int i = 0; i < state.range(0); ++i) signal.connect(intSlot(sum));
  int value = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    signal.emit(value);
  }
}

void BM_EmitInt_Boost(benchmark::State& state) {
  std::int64_t sum = 0;
  boost::signals2::signal<void(int)> signal;
  for (int i = 0; i < state.range(0); ++i) signal.connect(intSlot(sum));
  int value = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    signal(value);
  }
}

void BM_EmitInt_Floor(benchmark::State& state) {
  std::int64_t sum = 0;
  FloorSignal<int> signal;
  for (int i = 0; i < state.range(0); ++i) signal.connect(intSlot(sum));
  int value = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    signal.emit(value);
  }
}

/// The slot hands the vector back, so every iteration emits the same 1 MiB
/// buffer; a copy anywhere would show as a 1 MiB allocation and copy.
std::function<void(std::vector<float>)> vectorSlot(std::vector<float>& holder) {
  return [&holder](std::vector<float> cloud) { holder = std::move(cloud); };
}

void BM_EmitVector_Ostrel(benchmark::State& state) {
  std::vector<float> holder(VECTOR_FLOATS, 1.0f);
  ostrel::otl::Signal<std::vector<float>> signal;
  signal.connect(vectorSlot(holder));
  for (auto _ : state) signal.emit(std::move(holder));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(VECTOR_FLOATS * 4));
}

void BM_EmitVector_Boost(benchmark::State& state) {
  std::vector<float> holder(VECTOR_FLOATS, 1.0f);
  boost::signals2::signal<void(std::vector<float>)> signal;
  signal.connect(vectorSlot(holder));
  for (auto _ : state) signal(std::move(holder));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(VECTOR_FLOATS * 4));
}

void BM_EmitVector_Floor(benchmark::State& state) {
  std::vector<float> holder(VECTOR_FLOATS, 1.0f);
  std::mutex mutex;
  std::vector<std::function<void(std::vector<float>)>> slots{vectorSlot(holder)};
  for (auto _ : state) {
    std::lock_guard<std::mutex> lock(mutex);
    slots.back()(std::move(holder));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(VECTOR_FLOATS * 4));
}

void BM_ConnectDisconnect_Ostrel(benchmark::State& state) {
  std::int64_t sum = 0;
  auto const slot = intSlot(sum);
  ostrel::otl::Signal<int> signal;
  for (auto _ : state) {
    ostrel::otl::Connection connection = signal.connect(slot);
    connection.disconnect();
  }
}

void BM_ConnectDisconnect_Boost(benchmark::State& state) {
  std::int64_t sum = 0;
  auto const slot = intSlot(sum);
  boost::signals2::signal<void(int)> signal;
  for (auto _ : state) {
    boost::signals2::connection connection = signal.connect(slot);
    connection.disconnect();
  }
}

void BM_ConnectDisconnect_Floor(benchmark::State& state) {
  std::int64_t sum = 0;
  auto const slot = intSlot(sum);
  FloorSignal<int> signal;
  for (auto _ : state) {
    signal.connect(slot);
    signal.disconnectLast();
  }
}

void BM_Lock_StdLockGuard(benchmark::State& state) {
  std::mutex mutex;
  for (auto _ : state) {
    std::lock_guard<std::mutex> lock(mutex);
    benchmark::ClobberMemory();
  }
}

void BM_Lock_OwnerChecked(benchmark::State& state) {
  ostrel::otl::OwnerCheckedMutex mutex;
  for (auto _ : state) {
    ostrel::otl::OwnerCheckedLock lock(mutex, "emit");
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_EmitInt_Ostrel)->Arg(1)->Arg(4)->Arg(16);
BENCHMARK(BM_EmitInt_Boost)->Arg(1)->Arg(4)->Arg(16);
BENCHMARK(BM_EmitInt_Floor)->Arg(1)->Arg(4)->Arg(16);
BENCHMARK(BM_EmitVector_Ostrel);
BENCHMARK(BM_EmitVector_Boost);
BENCHMARK(BM_EmitVector_Floor);
BENCHMARK(BM_ConnectDisconnect_Ostrel);
BENCHMARK(BM_ConnectDisconnect_Boost);
BENCHMARK(BM_ConnectDisconnect_Floor);
BENCHMARK(BM_Lock_StdLockGuard);
BENCHMARK(BM_Lock_OwnerChecked);

std::vector<ostrel::bench::RatioPair> ratioPairs() {
  std::vector<ostrel::bench::RatioPair> pairs;
  for (std::string const count : {"1", "4", "16"}) {
    pairs.push_back({"BM_EmitInt_Ostrel/" + count, "BM_EmitInt_Boost/" + count});
    pairs.push_back({"BM_EmitInt_Ostrel/" + count, "BM_EmitInt_Floor/" + count});
  }
  for (std::string const kind : {"EmitVector", "ConnectDisconnect"}) {
    pairs.push_back({"BM_" + kind + "_Ostrel", "BM_" + kind + "_Boost"});
    pairs.push_back({"BM_" + kind + "_Ostrel", "BM_" + kind + "_Floor"});
  }
  pairs.push_back({"BM_Lock_OwnerChecked", "BM_Lock_StdLockGuard"});
  return pairs;
}

}  // namespace

int main(int argc, char** argv) { return ostrel::bench::runWithRatios(argc, argv, ratioPairs()); }
