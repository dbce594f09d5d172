// Exercises one public entry point of each installed library and checks the
// answers, so a broken install fails here rather than in an application.
#include <ostrel/core/ip_address_formatter.h>
#include <ostrel/logging/logging_manager.h>
#include <ostrel/pcl/otl_to_pcl_converter.h>
#include <ostrel/settings/settings_manager.h>
#include <ostrel/settings/settings_utils.h>
#include <ostrel/string_converter/string_converter.h>

#include <cstdlib>
#include <iostream>

namespace {

int failures = 0;

void check(bool ok, char const* what) {
  if (!ok) {
    std::cerr << "consumer check failed: " << what << '\n';
    ++failures;
  }
}

}  // namespace

int main() {
  check(ostrel::string_converter::newlineDelimit("a\tb\r\n") == "ab\n", "newlineDelimit");

  auto& logging = ostrel::LoggingManager::getInstance();
  int records = 0;
  logging.addSink([&records](ostrel::LogRecord const&) { ++records; });
  logging.getLogger("consumer").warn("installed logging works");
  check(records == 1, "logging sink");

  ostrel::SettingsManager settings;
  settings.pathPush("Position");
  ostrel::utils::setVector3f(settings, Eigen::Vector3f(1.0f, 2.0f, 3.0f));
  check(ostrel::utils::getVector3f(settings) == Eigen::Vector3f(1.0f, 2.0f, 3.0f), "settings");

  check(ostrel::ip_format::ConvertIP::isIPv4("192.168.1.10"), "ConvertIP");

  // One organised 1 x 2 cloud through the converter: the receiver gets a PCL
  // cloud with one ring and the two points.
  ostrel::otl::Slice<ostrel::otl::CartPoint> points;
  points->push_back(ostrel::otl::CartPoint{1.0f, 2.0f, 3.0f});
  points->push_back(ostrel::otl::CartPoint{4.0f, 5.0f, 6.0f});
  ostrel::otl::Slice<ostrel::otl::IntensityValue> intensities;
  intensities->push_back(ostrel::otl::IntensityValue{7.0f});
  intensities->push_back(ostrel::otl::IntensityValue{8.0f});
  ostrel::otl::XYZICloud const cloud(
      ostrel::otl::CloudHeader(ostrel::otl::Dim<2, false>{1, 2}, "front", 1, 5000), points,
      intensities);
  ostrel::modules::XYZI_PCL_Converter converter;
  std::size_t received = 0;
  converter.connect(
      [&received](ostrel::modules::XYZIRCloudPtr const& pcl) { received = pcl->size(); });
  converter.slot(cloud);
  check(received == 2, "XYZI_PCL_Converter");

  if (failures == 0) {
    std::cout << "ostrel consumer: all checks passed\n";
  }
  return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
