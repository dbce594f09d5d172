#pragma once

#include <string>

#include <ostrel/logging/export.h>

namespace ostrel {

/// Severity of a log record. Higher numbers are more severe; a threshold lets
/// through records at or above it.
enum LogLevel : int {
  LOG_TRACE = 0,
  LOG_DEBUG = 1,
  LOG_INFO = 2,
  LOG_WARN = 3,
  LOG_ERROR = 4,
  /// Not a level: what a text that names no level maps to.
  LOG_INVALID = 5,
};

/// Upper-case name of a level ("TRACE" ... "ERROR"); "INVALID" for any other number.
OSTREL_LOGGING_MANAGER_EXPORT char const* logLevelName(int level) noexcept;

/// Level named by `text` in any letter case ("trace", "debug", "info", "warn"
/// or "warning", "error"); LOG_INVALID (5) for anything else.
OSTREL_LOGGING_MANAGER_EXPORT int logLevelFromString(std::string const& text) noexcept;

}  // namespace ostrel
