#include <ostrel/logging/log_level.h>
#include <ostrel/logging/log_record.h>

#include <cstdio>
#include <ctime>

namespace ostrel {

std::string formatLogRecord(LogRecord const& record) {
  using namespace std::chrono;
  auto const sinceEpoch = record.time.time_since_epoch();
  std::time_t const seconds = system_clock::to_time_t(record.time);
  auto const millis = duration_cast<milliseconds>(sinceEpoch).count() % 1000;
  std::tm utc{};
  gmtime_r(&seconds, &utc);

  char stamp[80];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                static_cast<int>(millis < 0 ? millis + 1000 : millis));
  char level[8];
  std::snprintf(level, sizeof level, "%-5s", logLevelName(record.level));

  std::string line;
  line.reserve(40 + record.loggerName.size() + record.message.size());
  line.append(stamp).append(" ").append(level).append(" ");
  line.append(record.loggerName).append(": ").append(record.message);
  return line;
}

}  // namespace ostrel
