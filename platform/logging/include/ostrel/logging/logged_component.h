#pragma once

#include <string>

#include <ostrel/logging/export.h>
#include <ostrel/logging/logger.h>

namespace ostrel {

/// Mix-in that gives a class its own logger.
class OSTREL_LOGGING_MANAGER_EXPORT LoggedComponent {
 public:
  /// The component logs through the "root" logger until `setLogger` is called.
  LoggedComponent() = default;
  /// The component logs through the manager's logger named `name`.
  explicit LoggedComponent(std::string const& name);

  virtual ~LoggedComponent() = default;

  /// Makes the component log through `logger` from now on.
  virtual void setLogger(Logger const& logger) { logger_ = logger; }
  /// The logger the component writes its records to.
  virtual Logger const& getLogger() const { return logger_; }

 protected:
  /// Copies share the logger; only derived classes copy.
  LoggedComponent(LoggedComponent const&) = default;
  LoggedComponent& operator=(LoggedComponent const&) = default;

 private:
  Logger logger_;
};

}  // namespace ostrel
