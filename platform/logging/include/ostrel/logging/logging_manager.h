#pragma once

#include <functional>
#include <istream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <ostrel/logging/export.h>
#include <ostrel/logging/log_level.h>
#include <ostrel/logging/log_record.h>
#include <ostrel/logging/logger.h>

namespace ostrel {

/// A destination for finished records. It is called with the manager's lock
/// held, so records reach it one at a time in the order they were finished;
/// records a sink writes itself while it runs are dropped. Exceptions it
/// throws are swallowed.
using LogSink = std::function<void(LogRecord const&)>;

/// The process-wide registry of loggers and the configuration of where
/// records go.
///
/// Destinations: standard error (the console), an optional log file, and any
/// number of sinks added by the application. Before any configuration the
/// console is on and takes records of level info and above; standard output
/// is never written.
///
/// Levels: a logger formats a record when its level is at least the logger's
/// threshold, which is the `logger.<name>` property of that logger if set,
/// otherwise the `level` property if set, otherwise the console level. So
/// lowering the console level shows more on the console unless a level was
/// configured explicitly. The console takes records at or above the console
/// level; the log file takes every record a logger formats; a sink takes
/// those at or above its own minimum level.
///
/// Properties (file or text): `key=value` lines, `#` starts a comment line,
/// blank lines are ignored. Keys:
///   - `logToConsole`: true or false;
///   - `logFile`: path of a file that records are appended to (empty: none);
///   - `level`: default level of every logger (trace, debug, info, warn, error);
///   - `logger.<name>`: level of the logger called <name>.
/// An unknown key or a bad value is reported as one warn record and skipped.
class OSTREL_LOGGING_MANAGER_EXPORT LoggingManager {
 public:
  /// The process-wide manager; created on first use and never destroyed, so
  /// components may log during static destruction.
  static LoggingManager& getInstance();

  /// The logger named `name`, created on first request. The reference stays
  /// valid for the life of the process.
  Logger& getLogger(std::string const& name);

  /// Configures logging from a properties file. A file that cannot be opened
  /// is reported as one error record naming it and changes nothing.
  void loadProperties(std::string const& fileName);
  /// Configures logging from properties text.
  void loadProperties(std::istream& properties);

  /// Level from which records reach the console.
  void setConsoleLevel(int level);
  /// Level from which records reach the console (info at start).
  int consoleLevel() const;

  /// Adds a destination that receives every finished record of at least
  /// `minimumLevel`. Returns an id for `removeSink`.
  int addSink(LogSink sink, int minimumLevel = LOG_TRACE);
  /// Removes the sink with that id; unknown ids are ignored.
  void removeSink(int id);

  /// Restores the configuration the process started with: console on at
  /// level info, no log file, no levels configured, no sinks. Loggers and the
  /// references to them stay valid.
  void resetConfiguration();

  /// Delivers a finished record to every destination that takes it.
  void dispatch(LogRecord const& record);

  LoggingManager(LoggingManager const&) = delete;
  LoggingManager& operator=(LoggingManager const&) = delete;

 private:
  LoggingManager();
  ~LoggingManager();

  struct SinkEntry {
    int id;
    int minimumLevel;
    LogSink sink;
  };
  struct LogFile;

  /// Applies one property; returns the text of a problem to report, if any.
  std::optional<std::string> applyProperty(std::string const& key, std::string const& value,
                                           std::vector<std::string>& errors);
  int thresholdFor(std::string const& name) const;
  void updateThresholds();

  mutable std::mutex mutex_;
  std::map<std::string, Logger> loggers_;
  std::map<std::string, int> loggerLevels_;
  std::optional<int> defaultLevel_;
  int consoleLevel_ = LOG_INFO;
  bool consoleEnabled_ = true;
  std::unique_ptr<LogFile> logFile_;
  std::vector<SinkEntry> sinks_;
  int nextSinkId_ = 1;
};

}  // namespace ostrel
