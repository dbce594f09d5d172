#include <ostrel/pcl/pcl_to_otl_converter.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <boost/make_shared.hpp>

#include <ostrel/pcl/otl_to_pcl_converter.h>

#include "cloud_builders.h"

namespace {

using namespace ostrel;
using modules::PCL_PointXYZIR;
using Input = modules::PCL_to_XYZI_Converter::InputPtr;

// A PCL cloud of `count` points with the given organisation fields.
Input pclCloud(std::size_t count, std::uint32_t width, std::uint32_t height) {
  auto cloud = boost::make_shared<pcl::PointCloud<PCL_PointXYZIR>>();
  for (std::size_t i = 0; i < count; ++i) {
    auto const f = static_cast<float>(i);
    cloud->points.emplace_back(f, -f, 2.0f * f, 10.0f + f, static_cast<std::uint16_t>(i));
  }
  cloud->width = width;
  cloud->height = height;
  cloud->header.frame_id = "rear";
  cloud->header.seq = 4294967295u;
  cloud->header.stamp = 1'234'567;
  return cloud;
}

class PCLToXYZIConverterTest : public ::testing::Test {
 protected:
  PCLToXYZIConverterTest() {
    converter_.connect([this](otl::XYZICloud cloud) { received_.push_back(cloud); });
  }

  otl::XYZICloud const& only() {
    EXPECT_EQ(received_.size(), 1u);
    return received_.at(0);
  }

  modules::PCL_to_XYZI_Converter converter_;
  std::vector<otl::XYZICloud> received_;
};

TEST_F(PCLToXYZIConverterTest, CopiesPointsAndKeepsOrganisation) {
  converter_.slot(pclCloud(8, 4, 2));
  otl::XYZICloud const& cloud = only();
  EXPECT_EQ(cloud.height(), 2u);
  EXPECT_EQ(cloud.width(), 4u);
  ASSERT_EQ(cloud.size(), 8u);
  auto const& cart = cloud.slice<otl::CartPoint>().data();
  auto const& intensity = cloud.slice<otl::IntensityValue>().data();
  for (std::size_t i = 0; i < 8; ++i) {
    auto const f = static_cast<float>(i);
    EXPECT_EQ(cart[i].x, f);
    EXPECT_EQ(cart[i].y, -f);
    EXPECT_EQ(cart[i].z, 2.0f * f);
    EXPECT_EQ(intensity[i].value, 10.0f + f);
  }
  // The columns grow by doubling rather than being reserved.
  EXPECT_EQ(cart.capacity(), 8u);
  EXPECT_EQ(intensity.capacity(), 8u);
}

TEST_F(PCLToXYZIConverterTest, UnorganisedCloudStaysUnorganised) {
  converter_.slot(pclCloud(5, 5, 1));
  EXPECT_EQ(only().height(), 1u);
  EXPECT_EQ(only().width(), 5u);
  EXPECT_EQ(only().slice<otl::CartPoint>()->capacity(), 8u);
}

TEST_F(PCLToXYZIConverterTest, StampComesFromThePclHeader) {
  converter_.slot(pclCloud(1, 1, 1));
  auto const& header = only().header();
  EXPECT_EQ(header.get<otl::SensorID>(), "rear");
  EXPECT_EQ(header.get<otl::Sequence>(), 4294967295u);  // widened, no sign extension
  EXPECT_EQ(header.get<otl::TimeStamp>(), 1'234'567'000u);
}

TEST_F(PCLToXYZIConverterTest, TimeStampWrapsIn64Bits) {
  Input cloud = pclCloud(0, 0, 0);
  cloud->header.stamp = UINT64_MAX;
  converter_.slot(cloud);
  EXPECT_EQ(only().header().get<otl::TimeStamp>(), UINT64_MAX * std::uint64_t{1000});
}

TEST_F(PCLToXYZIConverterTest, GivenStampReplacesThePclHeader) {
  converter_.slot(otl::CloudStamp("given", 99, 5), pclCloud(2, 2, 1));
  auto const& header = only().header();
  EXPECT_EQ(header.get<otl::SensorID>(), "given");
  EXPECT_EQ(header.get<otl::Sequence>(), 99u);
  EXPECT_EQ(header.get<otl::TimeStamp>(), 5u);
}

struct Organisation {
  std::size_t points;
  std::uint32_t width;
  std::uint32_t height;
};

class PCLToXYZIOrganisationTest : public PCLToXYZIConverterTest,
                                  public ::testing::WithParamInterface<Organisation> {};

TEST_P(PCLToXYZIOrganisationTest, MismatchThrowsInvalidOrganized) {
  Organisation const& c = GetParam();
  try {
    converter_.slot(pclCloud(c.points, c.width, c.height));
    FAIL() << "no InvalidOrganized";
  } catch (otl::InvalidOrganized const& error) {
    EXPECT_STREQ(error.what(), "Cloud dimensions don't match element count");
  }
  EXPECT_TRUE(received_.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, PCLToXYZIOrganisationTest,
                         ::testing::Values(Organisation{7, 4, 2}, Organisation{3, 0, 0},
                                           Organisation{0, 1, 1}, Organisation{4, 4, 0}));

TEST_F(PCLToXYZIConverterTest, EmptyCloudsGiveEmptySensorClouds) {
  converter_.slot(pclCloud(0, 0, 0));
  converter_.slot(pclCloud(0, 0, 1));
  ASSERT_EQ(received_.size(), 2u);
  EXPECT_EQ(received_[0].size(), 0u);
  EXPECT_EQ(received_[1].height(), 1u);
  EXPECT_EQ(received_[1].width(), 0u);
}

TEST_F(PCLToXYZIConverterTest, NullCloudIsIgnored) {
  converter_.slot(Input());
  converter_.slot(otl::CloudStamp(), Input());
  EXPECT_TRUE(received_.empty());
}

TEST(PCLToXYZIConverterWithoutReceiversTest, BuildsNothing) {
  modules::PCL_to_XYZI_Converter converter;
  EXPECT_NO_THROW(converter.slot(pclCloud(7, 4, 2)));
  EXPECT_NO_THROW(converter.slot(otl::CloudStamp(), pclCloud(7, 4, 2)));
  otl::Connection connection = converter.connect([](otl::XYZICloud) { FAIL(); });
  converter.disconnectAll();
  EXPECT_NO_THROW(converter.slot(pclCloud(7, 4, 2)));
  EXPECT_FALSE(connection.connected());
}

TEST(PCLToXYZIConverterSharingTest, ReceiversShareTheColumns) {
  modules::PCL_to_XYZI_Converter converter;
  std::vector<otl::XYZICloud> received;
  converter.connect([&](otl::XYZICloud cloud) { received.push_back(cloud); });
  converter.connect([&](otl::XYZICloud cloud) { received.push_back(std::move(cloud)); });
  converter.slot(pclCloud(3, 3, 1));
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(&received[0].slice<otl::CartPoint>().data(),
            &received[1].slice<otl::CartPoint>().data());
  EXPECT_EQ(received[0].slice<otl::CartPoint>().shared().use_count(), 2);
}

TEST(PCLToXYZIRoundTripTest, XYZIToPclAndBackKeepsTheCloud) {
  modules::XYZI_PCL_Converter toPcl;
  modules::PCL_to_XYZI_Converter toSensor;
  std::optional<otl::XYZICloud> back;
  toPcl.connect([&](modules::XYZIRCloudPtr cloud) { toSensor.slot(cloud); });
  toSensor.connect([&](otl::XYZICloud cloud) { back = std::move(cloud); });

  otl::XYZICloud const original = test::xyziCloud(test::header(3, 4, "top", 77, 9'876'543'210), 12);
  toPcl.slot(original);

  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->height(), 3u);
  EXPECT_EQ(back->width(), 4u);
  EXPECT_EQ(back->header().get<otl::SensorID>(), "top");
  EXPECT_EQ(back->header().get<otl::Sequence>(), 77u);
  EXPECT_EQ(back->header().get<otl::TimeStamp>(), 9'876'543'000u);  // whole microseconds
  ASSERT_EQ(back->size(), 12u);
  for (std::size_t i = 0; i < 12; ++i) {
    auto const& cart = back->slice<otl::CartPoint>().data()[i];
    EXPECT_EQ(cart.x, test::cartAt(i).x);
    EXPECT_EQ(cart.y, test::cartAt(i).y);
    EXPECT_EQ(cart.z, test::cartAt(i).z);
    EXPECT_EQ(back->slice<otl::IntensityValue>().data()[i].value, test::intensityAt(i).value);
  }
}

}  // namespace
