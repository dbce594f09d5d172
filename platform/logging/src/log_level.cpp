#include <ostrel/logging/log_level.h>

#include <boost/algorithm/string/case_conv.hpp>

namespace ostrel {

char const* logLevelName(int level) noexcept {
  switch (level) {
    case LOG_TRACE:
      return "TRACE";
    case LOG_DEBUG:
      return "DEBUG";
    case LOG_INFO:
      return "INFO";
    case LOG_WARN:
      return "WARN";
    case LOG_ERROR:
      return "ERROR";
    default:
      return "INVALID";
  }
}

int logLevelFromString(std::string const& text) noexcept {
  try {
    std::string const name = boost::algorithm::to_lower_copy(text, std::locale::classic());
    if (name == "trace") return LOG_TRACE;
    if (name == "debug") return LOG_DEBUG;
    if (name == "info") return LOG_INFO;
    if (name == "warn" || name == "warning") return LOG_WARN;
    if (name == "error") return LOG_ERROR;
  } catch (...) {
    // Out of memory while copying: no level can be named.
  }
  return LOG_INVALID;
}

}  // namespace ostrel
