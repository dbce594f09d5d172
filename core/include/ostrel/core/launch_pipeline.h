#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <ostrel/core/export.h>
#include <ostrel/logging/logged_component.h>
#include <ostrel/otl/connection.h>
#include <ostrel/otl/signal.h>
#include <ostrel/settings/settings_manager.h>

namespace ostrel::modules {

/// Base of an application's processing pipeline: relays the settings, start
/// and stop events to the slots connected to it. Derived pipelines put the
/// connections between their stages into `preStopConnections` (cut before
/// the stop event, so stages reached through them see nothing the stop slots
/// emit) and `postStopConnections` (cut after it).
///
/// `settings`, `start` and `stop` match the slot types of the
/// `MainApplicationModule` signals. The connection lists are not locked:
/// fill them and call `stop` on one thread.
class OSTREL_CORE_EXPORT LaunchPipeline : public LoggedComponent {
 public:
  using SettingsSlot = std::function<void(std::shared_ptr<SettingsManager> const&)>;

  /// A pipeline logging through the default logger.
  LaunchPipeline();
  /// A pipeline logging through the logger named `name`.
  explicit LaunchPipeline(std::string const& name);

  /// Runs the base `stop()` once more. What a stop slot throws here is
  /// written as one warning record instead of leaving the destructor.
  ~LaunchPipeline() override;

  LaunchPipeline(LaunchPipeline const&) = delete;
  LaunchPipeline& operator=(LaunchPipeline const&) = delete;

  /// Connects to the relayed start event.
  otl::Connection connectStart(std::function<void()> const& slot);
  /// Connects to the relayed stop event.
  otl::Connection connectStop(std::function<void()> const& slot);
  /// Connects to the relayed settings announcement.
  otl::Connection connectSettings(SettingsSlot const& slot);

  /// Emits the start event.
  virtual void start();

  /// Disconnects and empties `preStopConnections`, emits the stop event, then
  /// disconnects and empties `postStopConnections`. When a stop slot throws,
  /// the exception passes out and the post-stop list stays as it was.
  virtual void stop();

  /// Emits the settings announcement with `store`.
  virtual void settings(std::shared_ptr<SettingsManager> store);

 protected:
  otl::Signal<std::shared_ptr<SettingsManager> const&> settingsSignal;
  otl::Signal<> startSignal;
  otl::Signal<> stopSignal;
  std::vector<otl::Connection> preStopConnections;
  std::vector<otl::Connection> postStopConnections;
};

}  // namespace ostrel::modules
