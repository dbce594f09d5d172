#include <ostrel/pcl/otl_to_pcl_converter.h>

#include <cstddef>
#include <cstdint>
#include <utility>

#include <Eigen/Core>
#include <Eigen/Geometry>
#include <boost/make_shared.hpp>

namespace ostrel::modules {

namespace {

using otl::CartPoint;
using otl::IntensityValue;
using otl::PolarPoint;

// Builds the PCL cloud of `cloud`, one point per element in storage order,
// `appendPoint(points, i, ring)` appending the point of element i. (Points are
// constructed in place: a point built aside and copied in costs a stalled
// store-to-load forward per point.) The organisation is
// checked first: columns may have grown since the cloud was made, and rings
// are only meaningful, and the walk only stays inside the columns, when
// height × width is the element count.
template <class Point, class SensorCloud, class AppendPoint>
boost::shared_ptr<pcl::PointCloud<Point>> buildCloud(SensorCloud const& cloud,
                                                     AppendPoint const& appendPoint) {
  cloud.validate();
  auto const& header = cloud.header();
  std::size_t const height = cloud.height();
  std::size_t const width = cloud.width();

  auto result = boost::make_shared<pcl::PointCloud<Point>>();
  auto& points = result->points;
  points.reserve(height * width);
  std::size_t element = 0;
  for (std::size_t row = 0; row < height; ++row) {
    // The last row is ring 0; the ring wraps in 16 bits above 65536 rows.
    auto const ring = static_cast<std::uint16_t>(height - 1 - row);
    for (std::size_t column = 0; column < width; ++column, ++element) {
      appendPoint(points, element, ring);
    }
  }

  result->header.seq = static_cast<std::uint32_t>(header.template get<otl::Sequence>());
  result->header.stamp = header.template get<otl::TimeStamp>() / 1000;
  result->header.frame_id = header.template get<otl::SensorID>();
  result->width = static_cast<std::uint32_t>(width);
  result->height = static_cast<std::uint32_t>(height);
  result->is_dense = false;
  result->sensor_origin_ = Eigen::Vector4f(0.0f, 0.0f, 0.0f, 1.0f);
  result->sensor_orientation_ = Eigen::Quaternionf::Identity();
  return result;
}

template <class SensorCloud>
HVDIRCloudPtr buildPolar(SensorCloud const& cloud) {
  PolarPoint const* const polar = cloud.template slice<PolarPoint>().data().data();
  IntensityValue const* const intensity = cloud.template slice<IntensityValue>().data().data();
  return buildCloud<PCL_PointHVDIR>(cloud, [&](auto& points, std::size_t i, std::uint16_t ring) {
    points.emplace_back(polar[i].horizontalAngle, polar[i].verticalAngle, polar[i].range,
                        intensity[i].value, ring);
  });
}

template <class SensorCloud>
XYZIRCloudPtr buildCart(SensorCloud const& cloud) {
  CartPoint const* const cart = cloud.template slice<CartPoint>().data().data();
  IntensityValue const* const intensity = cloud.template slice<IntensityValue>().data().data();
  return buildCloud<PCL_PointXYZIR>(cloud, [&](auto& points, std::size_t i, std::uint16_t ring) {
    points.emplace_back(cart[i].x, cart[i].y, cart[i].z, intensity[i].value, ring);
  });
}

// Emits what `build` makes, skipping all work while `output` has no receivers.
template <class Signal, class Build>
void convertAndEmit(Signal& output, Build const& build) {
  if (output.connectionCount() == 0) {
    return;
  }
  output.emit(build());
}

}  // namespace

otl::Connection V5I_PCL_Converter::connect(std::function<void(HVDIRCloudPtr)> const& receiver) {
  return output_.connect(receiver);
}

void V5I_PCL_Converter::disconnectAll() { output_.disconnectAll(); }

void V5I_PCL_Converter::slot(otl::PolarCloud const& cloud) {
  convertAndEmit(output_, [&] { return buildPolar(cloud); });
}

otl::Connection XYZI_PCL_Converter::connect(std::function<void(XYZIRCloudPtr)> const& receiver) {
  return output_.connect(receiver);
}

void XYZI_PCL_Converter::disconnectAll() { output_.disconnectAll(); }

void XYZI_PCL_Converter::slot(otl::XYZICloud const& cloud) {
  convertAndEmit(output_, [&] { return buildCart(cloud); });
}

otl::Connection XYZV5I_PCL_Converter::connectPolar(
    std::function<void(HVDIRCloudPtr)> const& receiver) {
  return polar_output_.connect(receiver);
}

otl::Connection XYZV5I_PCL_Converter::connectCart(
    std::function<void(XYZIRCloudPtr)> const& receiver) {
  return cart_output_.connect(receiver);
}

void XYZV5I_PCL_Converter::disconnectAll() {
  polar_output_.disconnectAll();
  cart_output_.disconnectAll();
}

void XYZV5I_PCL_Converter::convertPolar(otl::CombinedCloud const& cloud) {
  convertAndEmit(polar_output_, [&] { return buildPolar(cloud); });
}

void XYZV5I_PCL_Converter::convertCart(otl::CombinedCloud const& cloud) {
  convertAndEmit(cart_output_, [&] { return buildCart(cloud); });
}

void XYZV5I_PCL_Converter::slot(otl::CombinedCloud const& cloud) {
  convertPolar(cloud);
  convertCart(cloud);
}

}  // namespace ostrel::modules
