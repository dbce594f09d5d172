#include <ostrel/logging/logged_component.h>
#include <ostrel/logging/logger.h>
#include <ostrel/logging/logging_manager.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "capture_sink.h"

namespace {

using ostrel::Logger;
using ostrel::LoggingManager;
using ::testing::MatchesRegex;

/// Counts how often it is formatted, to prove disabled levels format nothing.
struct FormatCounter {
  int* count;
};
std::ostream& operator<<(std::ostream& out, FormatCounter const& counter) {
  ++*counter.count;
  return out << "counted";
}

class LoggerTest : public ostrel::testing::CapturedLogging {};

TEST_F(LoggerTest, DisabledLevelFormatsNothingAndDeliversNothing) {
  Logger const& logger = manager().getLogger("LoggerTest.disabled");
  int formatted = 0;
  EXPECT_FALSE(logger.debugStream().enabled());
  logger.debugStream() << FormatCounter{&formatted} << 42;
  logger.traceStream() << FormatCounter{&formatted};
  EXPECT_EQ(formatted, 0);
  EXPECT_TRUE(records().empty());
}

TEST_F(LoggerTest, EnabledRecordCarriesLevelNameAndMessage) {
  Logger const& logger = manager().getLogger("LoggerTest.enabled");
  logger.warnStream() << "value " << 42 << ' ' << 1.5;
  logger.infoStream() << "second";

  auto const got = records();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].level, ostrel::LOG_WARN);
  EXPECT_EQ(got[0].loggerName, "LoggerTest.enabled");
  EXPECT_EQ(got[0].message, "value 42 1.5");
  EXPECT_EQ(got[1].message, "second");
  EXPECT_THAT(ostrel::formatLogRecord(got[0]),
              MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}Z "
                           "WARN  LoggerTest\\.enabled: value 42 1\\.5"));
}

TEST_F(LoggerTest, RecordTimeIsUtcWithMilliseconds) {
  ostrel::LogRecord record;
  // 2001-09-09 01:46:40.250 UTC is 1000000000.25 s after the epoch.
  record.time = std::chrono::system_clock::time_point(std::chrono::milliseconds(1000000000250));
  record.level = ostrel::LOG_ERROR;
  record.loggerName = "clock";
  record.message = "tick";
  EXPECT_EQ(ostrel::formatLogRecord(record), "2001-09-09T01:46:40.250Z ERROR clock: tick");
}

TEST_F(LoggerTest, WarnWritesOneCompleteRecord) {
  manager().getLogger("LoggerTest.warn").warn("careful");
  auto const got = records();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].level, ostrel::LOG_WARN);
  EXPECT_EQ(got[0].message, "careful");
}

TEST_F(LoggerTest, LoggersFollowTheConsoleLevelUntilALevelIsConfigured) {
  Logger const& logger = manager().getLogger("LoggerTest.follow");
  EXPECT_FALSE(logger.isEnabled(ostrel::LOG_DEBUG));
  manager().setConsoleLevel(ostrel::LOG_DEBUG);
  EXPECT_TRUE(logger.isEnabled(ostrel::LOG_DEBUG));
  EXPECT_FALSE(logger.isEnabled(ostrel::LOG_TRACE));

  load("level=warn");
  EXPECT_FALSE(logger.isEnabled(ostrel::LOG_INFO));
  EXPECT_TRUE(logger.isEnabled(ostrel::LOG_WARN));

  load("logger.LoggerTest.follow=trace");
  EXPECT_TRUE(logger.isEnabled(ostrel::LOG_TRACE));
  EXPECT_FALSE(manager().getLogger("LoggerTest.other").isEnabled(ostrel::LOG_INFO));
}

TEST_F(LoggerTest, CopiesShareTheLevelSetLater) {
  Logger const copy = manager().getLogger("LoggerTest.copy");
  Logger assigned;
  assigned = copy;
  load("logger.LoggerTest.copy=trace");
  EXPECT_TRUE(copy.isEnabled(ostrel::LOG_TRACE));
  EXPECT_TRUE(assigned.isEnabled(ostrel::LOG_TRACE));
  EXPECT_EQ(assigned.name(), "LoggerTest.copy");
}

TEST_F(LoggerTest, DefaultLoggerIsRoot) { EXPECT_EQ(Logger().name(), "root"); }

TEST_F(LoggerTest, SinkBelowItsMinimumLevelReceivesNothing) {
  std::vector<std::string> errorsOnly;
  int const id = manager().addSink(
      [&errorsOnly](ostrel::LogRecord const& record) { errorsOnly.push_back(record.message); },
      ostrel::LOG_ERROR);
  Logger const& logger = manager().getLogger("LoggerTest.minimum");
  logger.info("info");
  logger.error("error");
  manager().removeSink(id);
  logger.error("after removal");
  EXPECT_EQ(errorsOnly, std::vector<std::string>{"error"});
  EXPECT_EQ(records().size(), 3u);
}

TEST_F(LoggerTest, SinkThatLogsOrThrowsNeitherHangsNorStopsDelivery) {
  Logger const& logger = manager().getLogger("LoggerTest.reentrant");
  manager().addSink([&logger](ostrel::LogRecord const&) {
    logger.error("from inside a sink");
    throw std::runtime_error("sink failure");
  });
  int afterThrowing = 0;
  manager().addSink([&afterThrowing](ostrel::LogRecord const&) { ++afterThrowing; });
  logger.info("outer");
  auto const got = records();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].message, "outer");
  EXPECT_EQ(afterThrowing, 1);
}

TEST_F(LoggerTest, RecordsFromManyThreadsArriveWhole) {
  constexpr int kThreads = 4;
  constexpr int kRecords = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      Logger const& logger = LoggingManager::getInstance().getLogger("LoggerTest.threads");
      for (int i = 0; i < kRecords; ++i) {
        logger.infoStream() << "thread " << t << " record " << i << " end";
      }
    });
  }
  for (auto& thread : threads) thread.join();

  auto const got = records();
  ASSERT_EQ(got.size(), static_cast<std::size_t>(kThreads * kRecords));
  for (auto const& record : got) {
    EXPECT_THAT(record.message, MatchesRegex("thread [0-9] record [0-9]+ end"));
  }
}

TEST_F(LoggerTest, ConsoleIsStandardErrorNeverStandardOutput) {
  load("logToConsole=true");
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  manager().getLogger("LoggerTest.console").info("to the console");
  manager().getLogger("LoggerTest.console").debug("below the console level");
  std::string const err = ::testing::internal::GetCapturedStderr();
  std::string const out = ::testing::internal::GetCapturedStdout();
  EXPECT_THAT(err, MatchesRegex(".*INFO  LoggerTest\\.console: to the console\n"));
  EXPECT_EQ(out, "");
}

class Component : public ostrel::LoggedComponent {
 public:
  using LoggedComponent::LoggedComponent;
};

TEST_F(LoggerTest, LoggedComponentUsesItsNamedLoggerUntilReplaced) {
  Component component("LoggerTest.component");
  EXPECT_EQ(component.getLogger().name(), "LoggerTest.component");
  EXPECT_EQ(Component().getLogger().name(), "root");
  component.setLogger(manager().getLogger("LoggerTest.replacement"));
  component.getLogger().info("hello");
  auto const got = records();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].loggerName, "LoggerTest.replacement");
}

}  // namespace
