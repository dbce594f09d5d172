#include <ostrel/logging/logger.h>
#include <ostrel/logging/logging_manager.h>

namespace ostrel {

Logger::Logger() : Logger(LoggingManager::getInstance().getLogger("root")) {}

Logger::Logger(std::shared_ptr<logging_detail::LoggerState> state) noexcept
    : state_(std::move(state)) {}

Logger::Logger(Logger const& other) = default;
Logger& Logger::operator=(Logger const& other) = default;
Logger::~Logger() = default;

}  // namespace ostrel
