#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <ostrel/core/export.h>
#include <ostrel/core/options_parser.h>
#include <ostrel/logging/logged_component.h>
#include <ostrel/otl/connection.h>
#include <ostrel/otl/signal.h>
#include <ostrel/settings/settings_manager.h>

namespace ostrel::modules {

/// The entry object of an application. `configure` turns the command line
/// into a loaded settings store and a configured logging layer and announces
/// the result on signals; `start`, `stop` and `settings` re-emit the
/// application's lifecycle events to whoever connected.
///
/// Use: construct, register the parsers of the components that add options,
/// connect slots, call `configure` once and, when it returns true, `start()`
/// and later `stop()`.
class OSTREL_CORE_EXPORT MainApplicationModule : public LoggedComponent {
 public:
  using SettingsSlot = std::function<void(std::shared_ptr<SettingsManager> const&)>;

  /// Empty signals, no parsers, empty option values and no store yet.
  MainApplicationModule();
  ~MainApplicationModule() override;

  MainApplicationModule(MainApplicationModule const&) = delete;
  MainApplicationModule& operator=(MainApplicationModule const&) = delete;

  /// Parses the command line, emits the validated signal, configures logging,
  /// reads the algorithm and then the configuration settings file into the
  /// store (a new one when `settings` is null), loads the logging properties
  /// and last emits the settings signal with the store positioned at
  /// `settingsRoot` (at its current node when `settingsRoot` is empty). The
  /// store is back at its previous position afterwards, also when a settings
  /// slot throws.
  ///
  /// Help goes to standard output and errors to standard error.
  /// @return true when the application may go on; false after the help text
  ///         or a reported error.
  /// @throws whatever a slot, the logging layer or a store operation other
  ///         than reading a file throws.
  bool configure(int argc, char** argv, std::shared_ptr<SettingsManager> settings,
                 std::string const& settingsRoot);

  /// Adds a parser whose options `configure` will accept.
  void registerOptions(std::shared_ptr<OptionsParser> const& parser);

  /// The store `configure` filled; null before `configure`.
  std::shared_ptr<SettingsManager> getSettingsManager();

  /// Connects to the event emitted by `start()`.
  otl::Connection connectStart(std::function<void()> const& slot);
  /// Connects to the event emitted by `stop()`.
  otl::Connection connectStop(std::function<void()> const& slot);
  /// Connects to the event emitted once the command line is accepted.
  otl::Connection connectValidated(std::function<void()> const& slot);
  /// Connects to the announcement of the loaded settings store.
  otl::Connection connectSettings(SettingsSlot const& slot);

  /// Emits the start event.
  virtual void start();
  /// Emits the stop event.
  virtual void stop();
  /// Emits the settings announcement with `store`; `configure` calls this.
  virtual void settings(std::shared_ptr<SettingsManager> store);

 protected:
  otl::Signal<> validatedSignal;
  otl::Signal<std::shared_ptr<SettingsManager> const&> settingsSignal;
  otl::Signal<> startSignal;
  otl::Signal<> stopSignal;
  std::vector<std::shared_ptr<OptionsParser>> optionsParsers;
  std::string algorithmSettingsFile;
  std::string configurationSettingsFile;
  std::string logPropertiesFile;
  std::string logLevel;
  std::shared_ptr<SettingsManager> settingsManager;
};

}  // namespace ostrel::modules
