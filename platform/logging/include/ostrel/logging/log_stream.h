#pragma once

#include <memory>
#include <ostream>
#include <sstream>

#include <ostrel/logging/export.h>

namespace ostrel {

namespace logging_detail {
struct LoggerState;
}

/// One log record being written. `<<` formats into the record only when its
/// level is enabled: a disabled stream holds a null stream pointer and does
/// no formatting at all. The record is complete when the stream is destroyed,
/// so write one record per temporary:
///
///     logger.infoStream() << "loaded " << count << " frames";
class OSTREL_LOGGING_MANAGER_EXPORT LogStream {
 public:
  /// A disabled stream: everything written to it is dropped.
  LogStream() noexcept = default;
  /// An enabled stream for one record of `level` on the given logger.
  LogStream(std::shared_ptr<logging_detail::LoggerState const> logger, int level);

  /// Takes over `other`'s record; `other` is left disabled.
  LogStream(LogStream&& other) noexcept;
  LogStream(LogStream const&) = delete;
  LogStream& operator=(LogStream const&) = delete;
  LogStream& operator=(LogStream&&) = delete;

  ~LogStream() {
    if (stream_ != nullptr) {
      complete();
    }
  }

  /// True when what is written reaches the record.
  bool enabled() const noexcept { return stream_ != nullptr; }

  /// Formats `value` into the record when the stream is enabled.
  template <typename T>
  LogStream& operator<<(T const& value) {
    if (stream_ != nullptr) {
      *stream_ << value;
    }
    return *this;
  }

  /// Stream manipulators such as std::hex or std::setprecision's results go
  /// through the template above; this overload takes function manipulators.
  LogStream& operator<<(std::ostream& (*manipulator)(std::ostream&)) {
    if (stream_ != nullptr) {
      manipulator(*stream_);
    }
    return *this;
  }

 private:
  /// Hands the finished record to the logging manager. Never throws.
  void complete() noexcept;

  std::ostream* stream_ = nullptr;
  std::unique_ptr<std::ostringstream> buffer_;
  std::shared_ptr<logging_detail::LoggerState const> logger_;
  int level_ = 0;
};

}  // namespace ostrel
