#include <ostrel/logging/logging_manager.h>

#include <boost/algorithm/string/case_conv.hpp>
#include <boost/algorithm/string/predicate.hpp>
#include <boost/algorithm/string/trim.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>

namespace ostrel {

namespace {

constexpr char const* kManagerLoggerName = "LoggingManager";
constexpr char const* kLoggerKeyPrefix = "logger.";

/// Set while this thread delivers a record, so that a sink which logs does
/// not deadlock on the manager's lock (its records are dropped instead).
thread_local bool t_dispatching = false;

struct DispatchGuard {
  DispatchGuard() { t_dispatching = true; }
  ~DispatchGuard() { t_dispatching = false; }
  DispatchGuard(DispatchGuard const&) = delete;
  DispatchGuard& operator=(DispatchGuard const&) = delete;
};

std::optional<bool> parseBool(std::string const& text) {
  std::string const value = boost::algorithm::to_lower_copy(text, std::locale::classic());
  if (value == "true" || value == "1") return true;
  if (value == "false" || value == "0") return false;
  return std::nullopt;
}

}  // namespace

struct LoggingManager::LogFile {
  std::string path;
  std::ofstream out;
};

LoggingManager& LoggingManager::getInstance() {
  // Deliberately never destroyed: loggers may be used by other objects'
  // destructors at process exit.
  static LoggingManager* const instance = new LoggingManager();
  return *instance;
}

LoggingManager::LoggingManager() = default;
LoggingManager::~LoggingManager() = default;

Logger& LoggingManager::getLogger(std::string const& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = loggers_.find(name);
  if (found == loggers_.end()) {
    auto state = std::make_shared<logging_detail::LoggerState>(name, thresholdFor(name));
    found = loggers_.emplace(name, Logger(std::move(state))).first;
  }
  return found->second;
}

int LoggingManager::thresholdFor(std::string const& name) const {
  if (auto const level = loggerLevels_.find(name); level != loggerLevels_.end()) {
    return level->second;
  }
  return defaultLevel_.value_or(consoleLevel_);
}

void LoggingManager::updateThresholds() {
  for (auto& [name, logger] : loggers_) {
    logger.state_->threshold.store(thresholdFor(name), std::memory_order_relaxed);
  }
}

void LoggingManager::setConsoleLevel(int level) {
  std::lock_guard<std::mutex> lock(mutex_);
  consoleLevel_ = level;
  updateThresholds();
}

int LoggingManager::consoleLevel() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return consoleLevel_;
}

int LoggingManager::addSink(LogSink sink, int minimumLevel) {
  std::lock_guard<std::mutex> lock(mutex_);
  int const id = nextSinkId_++;
  sinks_.push_back(SinkEntry{id, minimumLevel, std::move(sink)});
  return id;
}

void LoggingManager::removeSink(int id) {
  std::lock_guard<std::mutex> lock(mutex_);
  sinks_.erase(std::remove_if(sinks_.begin(), sinks_.end(),
                              [id](SinkEntry const& entry) { return entry.id == id; }),
               sinks_.end());
}

void LoggingManager::resetConfiguration() {
  std::lock_guard<std::mutex> lock(mutex_);
  loggerLevels_.clear();
  defaultLevel_.reset();
  consoleLevel_ = LOG_INFO;
  consoleEnabled_ = true;
  logFile_.reset();
  sinks_.clear();
  updateThresholds();
}

void LoggingManager::dispatch(LogRecord const& record) {
  if (t_dispatching) {
    return;
  }
  DispatchGuard const guard;
  std::lock_guard<std::mutex> lock(mutex_);
  std::string const line = formatLogRecord(record) + '\n';
  if (consoleEnabled_ && record.level >= consoleLevel_) {
    std::fwrite(line.data(), 1, line.size(), stderr);
  }
  if (logFile_) {
    logFile_->out.write(line.data(), static_cast<std::streamsize>(line.size()));
    logFile_->out.flush();
  }
  for (SinkEntry const& entry : sinks_) {
    if (record.level < entry.minimumLevel) {
      continue;
    }
    try {
      entry.sink(record);
    } catch (...) {
      // A failing sink must not stop delivery to the others.
    }
  }
}

void LoggingManager::loadProperties(std::string const& fileName) {
  std::ifstream file;
  std::error_code ignored;
  if (!std::filesystem::is_directory(fileName, ignored)) {
    file.open(fileName);
  }
  if (!file.is_open()) {
    getLogger(kManagerLoggerName).error("cannot open logging properties file '" + fileName + "'");
    return;
  }
  loadProperties(file);
}

void LoggingManager::loadProperties(std::istream& properties) {
  std::vector<std::string> warnings;
  std::vector<std::string> errors;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string line;
    int lineNumber = 0;
    while (std::getline(properties, line)) {
      ++lineNumber;
      boost::algorithm::trim(line);
      if (line.empty() || line.front() == '#') {
        continue;
      }
      auto const equals = line.find('=');
      if (equals == std::string::npos) {
        warnings.push_back("logging properties line " + std::to_string(lineNumber) +
                           " has no '=': " + line);
        continue;
      }
      std::string const key = boost::algorithm::trim_copy(line.substr(0, equals));
      std::string const value = boost::algorithm::trim_copy(line.substr(equals + 1));
      if (auto problem = applyProperty(key, value, errors)) {
        warnings.push_back(*problem);
      }
    }
    updateThresholds();
  }
  Logger const& logger = getLogger(kManagerLoggerName);
  for (std::string const& warning : warnings) {
    logger.warn(warning);
  }
  for (std::string const& error : errors) {
    logger.error(error);
  }
}

std::optional<std::string> LoggingManager::applyProperty(std::string const& key,
                                                         std::string const& value,
                                                         std::vector<std::string>& errors) {
  auto const badValue = [&] {
    return std::optional<std::string>("bad value '" + value + "' for logging property '" + key +
                                      "'");
  };
  if (key == "logToConsole") {
    auto const enabled = parseBool(value);
    if (!enabled) return badValue();
    consoleEnabled_ = *enabled;
    return std::nullopt;
  }
  if (key == "level") {
    int const level = logLevelFromString(value);
    if (level == LOG_INVALID) return badValue();
    defaultLevel_ = level;
    return std::nullopt;
  }
  if (key == "logFile") {
    if (value.empty()) {
      logFile_.reset();
      return std::nullopt;
    }
    auto file = std::make_unique<LogFile>();
    file->path = value;
    std::error_code ignored;
    if (!std::filesystem::is_directory(value, ignored)) {
      file->out.open(value, std::ios::out | std::ios::app);
    }
    if (!file->out.is_open()) {
      errors.push_back("cannot open log file '" + value + "'");
      return std::nullopt;
    }
    logFile_ = std::move(file);
    return std::nullopt;
  }
  if (boost::algorithm::starts_with(key, kLoggerKeyPrefix) &&
      key.size() > std::char_traits<char>::length(kLoggerKeyPrefix)) {
    int const level = logLevelFromString(value);
    if (level == LOG_INVALID) return badValue();
    loggerLevels_[key.substr(std::char_traits<char>::length(kLoggerKeyPrefix))] = level;
    return std::nullopt;
  }
  return std::optional<std::string>("unknown logging property '" + key + "'");
}

}  // namespace ostrel
