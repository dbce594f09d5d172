#pragma once

#include <functional>

#include <pcl/point_cloud.h>
#include <boost/shared_ptr.hpp>

#include <ostrel/otl/cloud.h>
#include <ostrel/otl/connection.h>
#include <ostrel/otl/signal.h>
#include <ostrel/pcl/export.h>
#include <ostrel/pcl/pcl_point_hvdir.h>
#include <ostrel/pcl/pcl_point_xyzir.h>

namespace ostrel::modules {

/// A shared PCL cloud of sensor-angle points, as the converters emit it.
using HVDIRCloudPtr = boost::shared_ptr<pcl::PointCloud<PCL_PointHVDIR>>;
/// A shared PCL cloud of Cartesian points, as the converters emit it.
using XYZIRCloudPtr = boost::shared_ptr<pcl::PointCloud<PCL_PointXYZIR>>;

// The converters below turn a sensor cloud into one PCL cloud per call and
// emit it to every receiver, who all share it. Nothing is validated or built
// while an output has no receivers. The ring of a point is its row counted
// from the last row (row 0 gets ring height − 1), in 16-bit arithmetic. The
// PCL header takes the sequence's low 32 bits, the time stamp in whole
// microseconds and the sensor identity as frame id; the PCL cloud keeps the
// organisation, with is_dense false, sensor origin (0, 0, 0, 1) and identity
// sensor orientation.
//
// Receivers run on the caller's thread while the output's lock is held: a
// receiver must not connect to the same output, call disconnectAll or feed
// the same converter again. Ending its own connection is allowed.

/// Converts polar sensor clouds to PCL clouds of PCL_PointHVDIR.
class OSTREL_PCL_EXPORT V5I_PCL_Converter {
 public:
  /// Connects a receiver of the PCL clouds.
  otl::Connection connect(std::function<void(HVDIRCloudPtr)> const& receiver);

  /// Removes every receiver; the connections made earlier expire.
  void disconnectAll();

  /// Converts `cloud` and emits the result, when anybody listens.
  /// @throws otl::MismatchedSlices when the columns differ in length.
  /// @throws otl::InvalidOrganized when height × width differs from the element count.
  /// Whatever a receiver throws passes out; later receivers miss that cloud.
  void slot(otl::PolarCloud const& cloud);

 private:
  otl::Signal<HVDIRCloudPtr> output_;
};

/// Converts XYZI sensor clouds to PCL clouds of PCL_PointXYZIR.
class OSTREL_PCL_EXPORT XYZI_PCL_Converter {
 public:
  /// Connects a receiver of the PCL clouds.
  otl::Connection connect(std::function<void(XYZIRCloudPtr)> const& receiver);

  /// Removes every receiver; the connections made earlier expire.
  void disconnectAll();

  /// Converts `cloud` and emits the result, when anybody listens.
  /// @throws otl::MismatchedSlices when the columns differ in length.
  /// @throws otl::InvalidOrganized when height × width differs from the element count.
  /// Whatever a receiver throws passes out; later receivers miss that cloud.
  void slot(otl::XYZICloud const& cloud);

 private:
  otl::Signal<XYZIRCloudPtr> output_;
};

/// Converts combined sensor clouds to two PCL clouds: one of PCL_PointHVDIR
/// from the polar and intensity columns, one of PCL_PointXYZIR from the
/// Cartesian and intensity columns. Each is built only when its own output
/// has receivers.
class OSTREL_PCL_EXPORT XYZV5I_PCL_Converter {
 public:
  /// Connects a receiver of the PCL_PointHVDIR clouds.
  otl::Connection connectPolar(std::function<void(HVDIRCloudPtr)> const& receiver);

  /// Connects a receiver of the PCL_PointXYZIR clouds.
  otl::Connection connectCart(std::function<void(XYZIRCloudPtr)> const& receiver);

  /// Removes every receiver of the polar output, then of the Cartesian one.
  void disconnectAll();

  /// Builds and emits the PCL_PointHVDIR cloud, when anybody listens.
  /// @throws otl::MismatchedSlices when the columns differ in length.
  /// @throws otl::InvalidOrganized when height × width differs from the element count.
  void convertPolar(otl::CombinedCloud const& cloud);

  /// Builds and emits the PCL_PointXYZIR cloud, when anybody listens.
  /// @throws otl::MismatchedSlices when the columns differ in length.
  /// @throws otl::InvalidOrganized when height × width differs from the element count.
  void convertCart(otl::CombinedCloud const& cloud);

  /// `convertPolar`, then `convertCart`; when the first throws, the second
  /// does not run.
  /// @throws otl::MismatchedSlices when the columns differ in length.
  /// @throws otl::InvalidOrganized when height × width differs from the element count.
  void slot(otl::CombinedCloud const& cloud);

 private:
  otl::Signal<HVDIRCloudPtr> polar_output_;
  otl::Signal<XYZIRCloudPtr> cart_output_;
};

}  // namespace ostrel::modules
