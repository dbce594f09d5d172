// ostrel-cloud-pipeline: the road of a sensor cloud through the kit, from a
// synthetic LiDAR to a coloured world-frame PCD file.
#include <exception>
#include <iostream>
#include <memory>

#include <ostrel/core/main_application_module.h>

#include "cloud_pipeline.h"
#include "pipeline_options.h"

int main(int argc, char** argv) {
  try {
    auto options = std::make_shared<cloud_pipeline::PipelineOptions>();
    ostrel::modules::MainApplicationModule application;
    application.registerOptions(options);

    cloud_pipeline::CloudPipeline pipeline(options, std::cout);
    application.connectSettings([&pipeline](auto const& store) { pipeline.settings(store); });
    application.connectStart([&pipeline] { pipeline.start(); });
    application.connectStop([&pipeline] { pipeline.stop(); });

    if (!application.configure(argc, argv, nullptr, "TarvioSettings")) return 1;
    application.start();
    try {
      pipeline.run();
    } catch (...) {
      application.stop();
      throw;
    }
    application.stop();
    if (!pipeline.succeeded()) {
      std::cerr << "Error: the cloud pipeline did not complete every frame" << std::endl;
      return 1;
    }
    return 0;
  } catch (std::exception const& error) {
    std::cerr << "Error: " << error.what() << std::endl;
    return 1;
  }
}
