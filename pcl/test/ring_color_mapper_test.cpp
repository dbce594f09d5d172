#include <ostrel/pcl/ring_color_mapper.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>

#include <boost/make_shared.hpp>

namespace {

using ostrel::modules::PCL_PointXYZIR;
using ostrel::modules::RingColor;
using ostrel::modules::RingColorMapper;

PCL_PointXYZIR pointOfRing(std::uint16_t ring) { return PCL_PointXYZIR(1, 2, 3, 4, ring); }

constexpr RingColor UNTOUCHED{1, 2, 3};

RingColor colourOf(RingColorMapper& mapper, PCL_PointXYZIR const& point) {
  RingColor color = UNTOUCHED;
  mapper.getColorsFromPoint(point, color);
  return color;
}

TEST(RingColorMapperTest, DefaultTableColoursTheEightBeams) {
  std::map<int, RingColor> const expected{
      {0, {255, 0, 0}},   {1, {255, 128, 0}}, {2, {255, 255, 0}}, {3, {64, 255, 0}},
      {4, {0, 255, 255}}, {5, {0, 128, 255}}, {6, {128, 0, 255}}, {7, {255, 0, 255}}};
  EXPECT_EQ(RingColorMapper::getDefaultColorMap(), expected);

  RingColorMapper mapper(nullptr, RingColorMapper::getDefaultColorMap());
  for (auto const& [ring, color] : expected) {
    EXPECT_EQ(colourOf(mapper, pointOfRing(static_cast<std::uint16_t>(ring))), color) << ring;
  }
}

TEST(RingColorMapperTest, RingWithoutColourLeavesTheCallersColour) {
  RingColorMapper mapper(nullptr, RingColorMapper::getDefaultColorMap());
  EXPECT_EQ(colourOf(mapper, pointOfRing(8)), UNTOUCHED);
  EXPECT_EQ(colourOf(mapper, PCL_PointXYZIR()), UNTOUCHED);  // ring 65535
}

TEST(RingColorMapperTest, KeysOutsideTheRingRangeNeverMatch) {
  RingColorMapper mapper(
      nullptr,
      {{-1, {9, 9, 9}}, {70000, {8, 8, 8}}, {65535, {7, 7, 7}}, {70000 - 65536, {6, 6, 6}}});
  EXPECT_EQ(colourOf(mapper, pointOfRing(65535)), (RingColor{7, 7, 7}));
  EXPECT_EQ(colourOf(mapper, pointOfRing(4464)), (RingColor{6, 6, 6}));
  EXPECT_EQ(colourOf(mapper, pointOfRing(0)), UNTOUCHED);
  EXPECT_EQ(mapper.getColorMap().size(), 4u);  // the table is kept as given
}

TEST(RingColorMapperTest, SparseTableAndCopiesAreIndependent) {
  RingColorMapper::ColorMap table{{2, {1, 1, 1}}, {300, {2, 2, 2}}};
  RingColorMapper mapper(nullptr, table);
  table[5] = {3, 3, 3};
  auto defaults = RingColorMapper::getDefaultColorMap();
  defaults[3] = {0, 0, 0};

  EXPECT_EQ(colourOf(mapper, pointOfRing(2)), (RingColor{1, 1, 1}));
  EXPECT_EQ(colourOf(mapper, pointOfRing(300)), (RingColor{2, 2, 2}));
  EXPECT_EQ(colourOf(mapper, pointOfRing(5)), UNTOUCHED);
  EXPECT_EQ(colourOf(mapper, pointOfRing(299)), UNTOUCHED);
  EXPECT_EQ(RingColorMapper::getDefaultColorMap().at(3), (RingColor{64, 255, 0}));
}

TEST(RingColorMapperTest, InputCloudIsKeptButPlaysNoPart) {
  auto first = boost::make_shared<pcl::PointCloud<PCL_PointXYZIR> const>();
  auto second = boost::make_shared<pcl::PointCloud<PCL_PointXYZIR> const>();
  RingColorMapper mapper(first, RingColorMapper::getDefaultColorMap());
  EXPECT_TRUE(mapper.hasColorMapper());
  EXPECT_EQ(mapper.getInputCloud(), first);

  ostrel::modules::PointColorMapper<PCL_PointXYZIR>& base = mapper;
  base.setInputCloud(second);
  EXPECT_EQ(mapper.getInputCloud(), second);
  EXPECT_EQ(colourOf(mapper, pointOfRing(3)), (RingColor{64, 255, 0}));
  base.setInputCloud(nullptr);
  EXPECT_EQ(colourOf(mapper, pointOfRing(3)), (RingColor{64, 255, 0}));
  EXPECT_EQ(first.use_count(), 1);  // the mapper let go of it
}

}  // namespace
