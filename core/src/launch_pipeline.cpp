#include <ostrel/core/launch_pipeline.h>

#include <exception>

namespace ostrel::modules {

namespace {

void disconnectAndClear(std::vector<otl::Connection>& connections) {
  for (otl::Connection const& connection : connections) {
    connection.disconnect();
  }
  connections.clear();
}

}  // namespace

LaunchPipeline::LaunchPipeline() = default;

LaunchPipeline::LaunchPipeline(std::string const& name) : LoggedComponent(name) {}

LaunchPipeline::~LaunchPipeline() {
  // An exception leaving a destructor would end the process.
  try {
    LaunchPipeline::stop();
  } catch (std::exception const& error) {
    getLogger().warnStream() << "A stop slot failed while the pipeline was destroyed: "
                             << error.what();
  } catch (...) {
    getLogger().warn(
        "A stop slot failed with an unknown exception while the pipeline was destroyed");
  }
}

otl::Connection LaunchPipeline::connectStart(std::function<void()> const& slot) {
  return startSignal.connect(slot);
}

otl::Connection LaunchPipeline::connectStop(std::function<void()> const& slot) {
  return stopSignal.connect(slot);
}

otl::Connection LaunchPipeline::connectSettings(SettingsSlot const& slot) {
  return settingsSignal.connect(slot);
}

void LaunchPipeline::start() { startSignal.emit(); }

void LaunchPipeline::stop() {
  disconnectAndClear(preStopConnections);
  stopSignal.emit();
  disconnectAndClear(postStopConnections);
}

void LaunchPipeline::settings(std::shared_ptr<SettingsManager> store) {
  settingsSignal.emit(store);
}

}  // namespace ostrel::modules
