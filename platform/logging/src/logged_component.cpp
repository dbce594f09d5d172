#include <ostrel/logging/logged_component.h>
#include <ostrel/logging/logging_manager.h>

namespace ostrel {

LoggedComponent::LoggedComponent(std::string const& name)
    : logger_(LoggingManager::getInstance().getLogger(name)) {}

}  // namespace ostrel
