// A disabled debug record beside an enabled one delivered to a sink that
// drops it: the disabled record must cost next to nothing, because it formats
// nothing. The ratio of the two times is the figure to watch.
#include <ostrel/logging/logging_manager.h>

#include <benchmark/benchmark.h>

#include <sstream>

namespace {

ostrel::Logger const& quietLogger(int consoleLevel) {
  auto& manager = ostrel::LoggingManager::getInstance();
  manager.resetConfiguration();
  std::istringstream properties("logToConsole=false");
  manager.loadProperties(properties);
  manager.setConsoleLevel(consoleLevel);
  manager.addSink([](ostrel::LogRecord const& record) { benchmark::DoNotOptimize(&record); });
  return manager.getLogger("bench");
}

void BM_DisabledDebugRecord(benchmark::State& state) {
  ostrel::Logger const& logger = quietLogger(ostrel::LOG_INFO);
  for (auto _ : state) {
    logger.debugStream() << 42 << "text";
  }
}

void BM_EnabledDebugRecordToNullSink(benchmark::State& state) {
  ostrel::Logger const& logger = quietLogger(ostrel::LOG_DEBUG);
  for (auto _ : state) {
    logger.debugStream() << 42 << "text";
  }
}

BENCHMARK(BM_DisabledDebugRecord);
BENCHMARK(BM_EnabledDebugRecordToNullSink);

}  // namespace
