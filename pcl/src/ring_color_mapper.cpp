#include <ostrel/pcl/ring_color_mapper.h>

#include <cstdint>
#include <limits>

namespace ostrel::modules {

template class PointColorMapper<PCL_PointXYZIR>;

RingColorMapper::ColorMap const RingColorMapper::default_color_map_{
    {0, BEAM_0_DEFAULT_COLOR}, {1, BEAM_1_DEFAULT_COLOR}, {2, BEAM_2_DEFAULT_COLOR},
    {3, BEAM_3_DEFAULT_COLOR}, {4, BEAM_4_DEFAULT_COLOR}, {5, BEAM_5_DEFAULT_COLOR},
    {6, BEAM_6_DEFAULT_COLOR}, {7, BEAM_7_DEFAULT_COLOR}};

RingColorMapper::RingColorMapper(CloudConstPtr const& cloud, ColorMap const& colorMap)
    : PointColorMapper(cloud), color_map_(colorMap) {
  // Rings are 16-bit: keys outside 0 … 65535 can never match.
  constexpr int highestRing = std::numeric_limits<std::uint16_t>::max();
  for (auto const& [ring, color] : color_map_) {
    if (ring < 0 || ring > highestRing) {
      continue;
    }
    auto const index = static_cast<std::size_t>(ring);
    if (lookup_.size() <= index) {
      lookup_.resize(index + 1);
    }
    lookup_[index] = Entry{color, true};
  }
}

void RingColorMapper::getColorsFromPoint(PCL_PointXYZIR const& point, RingColor& color) {
  if (point.ring < lookup_.size() && lookup_[point.ring].present) {
    color = lookup_[point.ring].color;
  }
}

bool RingColorMapper::hasColorMapper() { return true; }

RingColorMapper::ColorMap RingColorMapper::getDefaultColorMap() { return default_color_map_; }

}  // namespace ostrel::modules
