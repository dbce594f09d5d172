#pragma once

#include <array>
#include <map>
#include <utility>
#include <vector>

#include <pcl/point_cloud.h>
#include <boost/shared_ptr.hpp>

#include <ostrel/pcl/export.h>
#include <ostrel/pcl/pcl_point_xyzir.h>

namespace ostrel::modules {

/// Tells a display which colour (red, green, blue, each 0 … 255) to give a
/// point of a cloud.
template <class PointT>
class PointColorMapper {
 public:
  /// A shared, read-only cloud of the points to colour.
  using CloudConstPtr = boost::shared_ptr<pcl::PointCloud<PointT> const>;

  virtual ~PointColorMapper() = default;

  /// Writes the colour of `point` into `color`, or leaves `color` as it was
  /// when the mapper has none for it.
  virtual void getColorsFromPoint(PointT const& point, std::array<unsigned char, 3>& color) = 0;

  /// Replaces the input cloud.
  virtual void setInputCloud(CloudConstPtr const& cloud) { input_cloud_ = cloud; }

  /// True when the mapper gives colours.
  virtual bool hasColorMapper() = 0;

  /// The input cloud; empty until set.
  CloudConstPtr const& getInputCloud() const noexcept { return input_cloud_; }

 protected:
  PointColorMapper() = default;
  /// Starts with `cloud` as the input cloud.
  explicit PointColorMapper(CloudConstPtr cloud) : input_cloud_(std::move(cloud)) {}
  PointColorMapper(PointColorMapper const&) = default;
  PointColorMapper& operator=(PointColorMapper const&) = default;

  CloudConstPtr input_cloud_;
};

extern template class OSTREL_PCL_EXPORT PointColorMapper<PCL_PointXYZIR>;

/// A colour as red, green, blue.
using RingColor = std::array<unsigned char, 3>;

/// Default colour of beam 0: red.
inline constexpr RingColor BEAM_0_DEFAULT_COLOR{255, 0, 0};
/// Default colour of beam 1: orange.
inline constexpr RingColor BEAM_1_DEFAULT_COLOR{255, 128, 0};
/// Default colour of beam 2: yellow.
inline constexpr RingColor BEAM_2_DEFAULT_COLOR{255, 255, 0};
/// Default colour of beam 3: yellow-green.
inline constexpr RingColor BEAM_3_DEFAULT_COLOR{64, 255, 0};
/// Default colour of beam 4: cyan.
inline constexpr RingColor BEAM_4_DEFAULT_COLOR{0, 255, 255};
/// Default colour of beam 5: azure.
inline constexpr RingColor BEAM_5_DEFAULT_COLOR{0, 128, 255};
/// Default colour of beam 6: violet.
inline constexpr RingColor BEAM_6_DEFAULT_COLOR{128, 0, 255};
/// Default colour of beam 7: magenta.
inline constexpr RingColor BEAM_7_DEFAULT_COLOR{255, 0, 255};

/// Colours PCL_PointXYZIR points by their beam number `ring` through a table
/// from ring to colour. A ring without an entry keeps the caller's colour;
/// table keys outside 0 … 65535 never match.
class OSTREL_PCL_EXPORT RingColorMapper : public PointColorMapper<PCL_PointXYZIR> {
 public:
  /// Ring number to colour.
  using ColorMap = std::map<int, RingColor>;

  /// Starts with `cloud` as the input cloud and a copy of `colorMap`.
  RingColorMapper(CloudConstPtr const& cloud, ColorMap const& colorMap);

  /// Writes the colour of `point.ring`, when the table has one, into `color`.
  /// The input cloud is not consulted.
  void getColorsFromPoint(PCL_PointXYZIR const& point, RingColor& color) override;

  /// True.
  bool hasColorMapper() override;

  /// The colour table.
  ColorMap const& getColorMap() const noexcept { return color_map_; }

  /// A copy of the default table: rings 0 to 7, from BEAM_0_DEFAULT_COLOR to
  /// BEAM_7_DEFAULT_COLOR.
  static ColorMap getDefaultColorMap();

 private:
  // The table flattened for a lookup by index, up to the highest ring that
  // has a colour.
  struct Entry {
    RingColor color{};
    bool present = false;
  };

  static ColorMap const default_color_map_;

  ColorMap color_map_;
  std::vector<Entry> lookup_;
};

}  // namespace ostrel::modules
