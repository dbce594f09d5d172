#pragma once

#include <functional>

#include <pcl/point_cloud.h>
#include <boost/shared_ptr.hpp>

#include <ostrel/otl/cloud.h>
#include <ostrel/otl/connection.h>
#include <ostrel/otl/signal.h>
#include <ostrel/pcl/export.h>
#include <ostrel/pcl/pcl_point_xyzir.h>

namespace ostrel::modules {

/// Converts PCL clouds of PCL_PointXYZIR to XYZI sensor clouds: x, y, z and
/// intensity are copied, ring and the fourth float dropped, the organisation
/// kept. Nothing is built while nobody listens, and a null cloud is ignored.
///
/// Receivers run on the caller's thread while the output's lock is held: a
/// receiver must not connect to the output or feed this converter again.
/// Ending its own connection is allowed.
class OSTREL_PCL_EXPORT PCL_to_XYZI_Converter {
 public:
  /// A shared PCL cloud as the converter takes it.
  using InputPtr = boost::shared_ptr<pcl::PointCloud<PCL_PointXYZIR>>;

  /// Connects a receiver of the sensor clouds. Every receiver but the last
  /// gets a copy, which shares the columns; the last gets the cloud itself.
  otl::Connection connect(std::function<void(otl::XYZICloud)> const& receiver);

  /// Removes every receiver; the connections made earlier expire.
  void disconnectAll();

  /// Converts `cloud` with the sensor identity, sequence number and time
  /// stamp of `stamp`, and emits the result.
  /// @throws otl::InvalidOrganized when the PCL cloud's width × height differs
  ///         from its number of points.
  /// Whatever a receiver throws passes out; later receivers miss that cloud.
  void slot(otl::CloudStamp const& stamp, InputPtr const& cloud);

  /// As the other form, with the stamp taken from the PCL header: frame id,
  /// sequence widened to 64 bits, stamp in microseconds times 1000.
  /// @throws otl::InvalidOrganized when the PCL cloud's width × height differs
  ///         from its number of points.
  void slot(InputPtr const& cloud);

 private:
  otl::Signal<otl::XYZICloud> output_;
};

}  // namespace ostrel::modules
