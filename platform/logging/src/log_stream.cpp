#include <ostrel/logging/log_stream.h>
#include <ostrel/logging/logger.h>
#include <ostrel/logging/logging_manager.h>

namespace ostrel {

LogStream::LogStream(std::shared_ptr<logging_detail::LoggerState const> logger, int level)
    : buffer_(std::make_unique<std::ostringstream>()), logger_(std::move(logger)), level_(level) {
  stream_ = buffer_.get();
}

LogStream::LogStream(LogStream&& other) noexcept
    : stream_(other.stream_),
      buffer_(std::move(other.buffer_)),
      logger_(std::move(other.logger_)),
      level_(other.level_) {
  other.stream_ = nullptr;
}

void LogStream::complete() noexcept {
  try {
    LogRecord record;
    record.time = std::chrono::system_clock::now();
    record.level = level_;
    record.loggerName = logger_->name;
    record.message = buffer_->str();
    LoggingManager::getInstance().dispatch(record);
  } catch (...) {
    // Logging must never take the caller down; a record that cannot be
    // built (out of memory) is lost.
  }
  stream_ = nullptr;
}

}  // namespace ostrel
