#pragma once

#include <chrono>
#include <string>

#include <ostrel/logging/export.h>

namespace ostrel {

/// A finished log record, as handed to every destination.
struct LogRecord {
  std::chrono::system_clock::time_point time;
  int level = 0;
  std::string loggerName;
  std::string message;
};

/// The record as one line without its line feed: UTC time with milliseconds,
/// level name, logger name and message, for example
/// "2026-12-11T13:04:48.123Z WARN  SettingsManager: no such key".
OSTREL_LOGGING_MANAGER_EXPORT std::string formatLogRecord(LogRecord const& record);

}  // namespace ostrel
