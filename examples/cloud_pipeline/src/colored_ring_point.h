// The point type of the coloured clouds the example writes to PCD files.
#pragma once

#include <cstdint>

#include <pcl/point_cloud.h>
#include <pcl/point_types.h>
#include <pcl/register_point_struct.h>

namespace cloud_pipeline {

/// A world-frame LiDAR return with its beam number and display colour:
/// x, y, z, intensity, ring and PCL's packed rgb.
struct EIGEN_ALIGN16 ColoredRingPoint {
  PCL_ADD_POINT4D;
  float intensity;
  std::uint16_t ring;
  PCL_ADD_RGB;

  PCL_MAKE_ALIGNED_OPERATOR_NEW
};

/// A coloured cloud, shared by every receiver.
using ColoredCloud = pcl::PointCloud<ColoredRingPoint>;

}  // namespace cloud_pipeline

POINT_CLOUD_REGISTER_POINT_STRUCT(cloud_pipeline::ColoredRingPoint,
                                  (float, x, x)(float, y, y)(float, z,
                                                             z)(float, intensity,
                                                                intensity)(std::uint16_t, ring,
                                                                           ring)(float, rgb, rgb))
