#include <ostrel/pcl/pcl_to_otl_converter.h>

#include <cstdint>
#include <utility>

#include <boost/iterator/transform_iterator.hpp>

namespace ostrel::modules {

otl::Connection PCL_to_XYZI_Converter::connect(
    std::function<void(otl::XYZICloud)> const& receiver) {
  return output_.connect(receiver);
}

void PCL_to_XYZI_Converter::disconnectAll() { output_.disconnectAll(); }

void PCL_to_XYZI_Converter::slot(InputPtr const& cloud) {
  if (output_.connectionCount() == 0 || !cloud) {
    return;
  }
  otl::CloudStamp const stamp(cloud->header.frame_id, std::uint64_t{cloud->header.seq},
                              cloud->header.stamp * 1000);
  slot(stamp, cloud);
}

void PCL_to_XYZI_Converter::slot(otl::CloudStamp const& stamp, InputPtr const& cloud) {
  if (output_.connectionCount() == 0 || !cloud) {
    return;
  }
  otl::Dim<2, false> const dim{cloud->height, cloud->width};
  // Checked before copying, so a cloud that cannot be valid costs nothing.
  if (!otl::organisationMatches(dim, cloud->points.size())) {
    throw otl::InvalidOrganized();
  }

  // The columns grow by doubling from empty, exactly as pushing back point by
  // point would, one column at a time.
  auto const toCart = [](PCL_PointXYZIR const& point) {
    return otl::CartPoint{point.x, point.y, point.z};
  };
  auto const toIntensity = [](PCL_PointXYZIR const& point) {
    return otl::IntensityValue{point.intensity};
  };
  auto const& points = cloud->points;
  otl::Slice<otl::CartPoint> cart;
  otl::Slice<otl::IntensityValue> intensity;
  cart->append(boost::make_transform_iterator(points.begin(), toCart),
               boost::make_transform_iterator(points.end(), toCart));
  intensity->append(boost::make_transform_iterator(points.begin(), toIntensity),
                    boost::make_transform_iterator(points.end(), toIntensity));

  otl::CloudHeader header(dim, stamp.get<otl::SensorID>(), stamp.get<otl::Sequence>(),
                          stamp.get<otl::TimeStamp>());
  output_.emit(otl::XYZICloud(std::move(header), otl::XYZICloud::columns_type(cart, intensity)));
}

}  // namespace ostrel::modules
