#pragma once

#include <atomic>
#include <memory>
#include <string>

#include <ostrel/logging/export.h>
#include <ostrel/logging/log_level.h>
#include <ostrel/logging/log_stream.h>

namespace ostrel {

namespace logging_detail {
/// What every copy of one named logger shares: its name and the level from
/// which its records are formatted, kept current by the logging manager.
struct LoggerState {
  explicit LoggerState(std::string loggerName, int initialThreshold)
      : name(std::move(loggerName)), threshold(initialThreshold) {}
  std::string const name;
  std::atomic<int> threshold;
};
}  // namespace logging_detail

/// A named log handle. Copies refer to the same logger, so a level set later
/// through the logging manager applies to every copy. Obtain one from
/// `LoggingManager::getInstance().getLogger(name)`; a default-constructed
/// logger is the logger named "root".
class OSTREL_LOGGING_MANAGER_EXPORT Logger {
 public:
  Logger();
  /// A copy refers to the same named logger.
  Logger(Logger const& other);
  Logger& operator=(Logger const& other);
  ~Logger();

  /// Name given to `LoggingManager::getLogger`.
  std::string const& name() const noexcept { return state_->name; }

  /// True when records of `level` are formatted and delivered.
  bool isEnabled(int level) const noexcept {
    return level >= state_->threshold.load(std::memory_order_relaxed);
  }

  /// One record of the named level; disabled (formats nothing) below the threshold.
  ///@{
  LogStream traceStream() const { return stream(LOG_TRACE); }
  LogStream debugStream() const { return stream(LOG_DEBUG); }
  LogStream infoStream() const { return stream(LOG_INFO); }
  LogStream warnStream() const { return stream(LOG_WARN); }
  LogStream errorStream() const { return stream(LOG_ERROR); }
  ///@}

  /// Writes one complete record of the named level.
  ///@{
  void trace(std::string const& message) const { stream(LOG_TRACE) << message; }
  void debug(std::string const& message) const { stream(LOG_DEBUG) << message; }
  void info(std::string const& message) const { stream(LOG_INFO) << message; }
  void warn(std::string const& message) const { stream(LOG_WARN) << message; }
  void error(std::string const& message) const { stream(LOG_ERROR) << message; }
  ///@}

  /// Level number of `text`: "trace" 0, "debug" 1, "info" 2, "warn" or
  /// "warning" 3, "error" 4, in any letter case; 5 for anything else.
  static int getLevelFromString(std::string const& text) noexcept {
    return logLevelFromString(text);
  }

 private:
  friend class LoggingManager;
  explicit Logger(std::shared_ptr<logging_detail::LoggerState> state) noexcept;

  LogStream stream(int level) const {
    if (!isEnabled(level)) {
      return LogStream();
    }
    return LogStream(state_, level);
  }

  std::shared_ptr<logging_detail::LoggerState> state_;
};

}  // namespace ostrel
