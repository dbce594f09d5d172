#include <ostrel/pcl/otl_to_pcl_converter.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "cloud_builders.h"

namespace {

using namespace ostrel;
using modules::HVDIRCloudPtr;
using modules::PCL_PointHVDIR;
using modules::PCL_PointXYZIR;
using modules::XYZIRCloudPtr;
using ::testing::ElementsAre;

template <class Ptr>
std::vector<std::uint16_t> ringsOf(Ptr const& cloud) {
  std::vector<std::uint16_t> rings;
  for (auto const& point : cloud->points) rings.push_back(point.ring);
  return rings;
}

template <class Ptr>
void expectHeaderMapping(Ptr const& cloud, std::uint32_t height, std::uint32_t width) {
  EXPECT_EQ(cloud->header.seq, 5u);            // 2^32 + 5, low 32 bits
  EXPECT_EQ(cloud->header.stamp, 1'234'567u);  // 1,234,567,999 ns, truncated
  EXPECT_EQ(cloud->header.frame_id, "front");
  EXPECT_EQ(cloud->height, height);
  EXPECT_EQ(cloud->width, width);
  EXPECT_FALSE(cloud->is_dense);
  EXPECT_EQ(cloud->sensor_origin_, Eigen::Vector4f(0, 0, 0, 1));
  EXPECT_EQ(cloud->sensor_orientation_.coeffs(), Eigen::Quaternionf::Identity().coeffs());
}

otl::CloudHeader mappedHeader(std::size_t height, std::size_t width) {
  return test::header(height, width, "front", (std::uint64_t{1} << 32) + 5, 1'234'567'999);
}

TEST(V5IPCLConverterTest, ConvertsAnOrganisedPolarCloud) {
  modules::V5I_PCL_Converter converter;
  HVDIRCloudPtr received;
  converter.connect([&](HVDIRCloudPtr cloud) { received = cloud; });

  converter.slot(test::polarCloud(mappedHeader(2, 3), 6));

  ASSERT_TRUE(received);
  ASSERT_EQ(received->size(), 6u);
  EXPECT_THAT(ringsOf(received), ElementsAre(1, 1, 1, 0, 0, 0));
  expectHeaderMapping(received, 2, 3);
  for (std::size_t i = 0; i < 6; ++i) {
    PCL_PointHVDIR const& p = received->points[i];
    EXPECT_EQ(p.h, test::polarAt(i).horizontalAngle);
    EXPECT_EQ(p.v, test::polarAt(i).verticalAngle);
    EXPECT_EQ(p.d, test::polarAt(i).range);
    EXPECT_EQ(p.w, 1.0f);
    EXPECT_EQ(p.intensity, test::intensityAt(i).value);
  }
  EXPECT_EQ(received->points[0].h, 0.5f);
  EXPECT_EQ(received->points[0].v, -0.1f);
  EXPECT_EQ(received->points[0].d, 10.0f);
}

TEST(XYZIPCLConverterTest, ConvertsAnOrganisedCartesianCloud) {
  modules::XYZI_PCL_Converter converter;
  XYZIRCloudPtr received;
  converter.connect([&](XYZIRCloudPtr cloud) { received = cloud; });

  converter.slot(test::xyziCloud(mappedHeader(3, 2), 6));

  ASSERT_TRUE(received);
  EXPECT_THAT(ringsOf(received), ElementsAre(2, 2, 1, 1, 0, 0));
  expectHeaderMapping(received, 3, 2);
  for (std::size_t i = 0; i < 6; ++i) {
    PCL_PointXYZIR const& p = received->points[i];
    EXPECT_EQ(p.x, test::cartAt(i).x);
    EXPECT_EQ(p.y, test::cartAt(i).y);
    EXPECT_EQ(p.z, test::cartAt(i).z);
    EXPECT_EQ(p.data[3], 1.0f);
    EXPECT_EQ(p.intensity, test::intensityAt(i).value);
  }
}

TEST(XYZIPCLConverterTest, UnorganisedCloudIsAllRingZero) {
  modules::XYZI_PCL_Converter converter;
  XYZIRCloudPtr received;
  converter.connect([&](XYZIRCloudPtr cloud) { received = cloud; });
  converter.slot(test::xyziCloud(test::header(1, 4), 4));
  ASSERT_TRUE(received);
  EXPECT_THAT(ringsOf(received), ElementsAre(0, 0, 0, 0));
}

TEST(XYZIPCLConverterTest, RingsWrapAbove65536Rows) {
  modules::XYZI_PCL_Converter converter;
  XYZIRCloudPtr received;
  converter.connect([&](XYZIRCloudPtr cloud) { received = cloud; });
  std::size_t const rows = 65538;
  converter.slot(test::xyziCloud(test::header(rows, 1), rows));
  ASSERT_TRUE(received);
  ASSERT_EQ(received->size(), rows);
  // height − 1 − row modulo 65536: 65537 → 1, 65536 → 0, 65535, ...
  EXPECT_EQ(received->points[0].ring, 1);
  EXPECT_EQ(received->points[1].ring, 0);
  EXPECT_EQ(received->points[2].ring, 65535);
  EXPECT_EQ(received->points[rows - 1].ring, 0);
}

TEST(XYZIPCLConverterTest, EmptyCloudGivesEmptyPclCloudWithHeader) {
  modules::XYZI_PCL_Converter converter;
  XYZIRCloudPtr received;
  converter.connect([&](XYZIRCloudPtr cloud) { received = cloud; });
  converter.slot(test::xyziCloud(mappedHeader(0, 0), 0));
  ASSERT_TRUE(received);
  EXPECT_TRUE(received->empty());
  expectHeaderMapping(received, 0, 0);
}

TEST(XYZIPCLConverterTest, ReceiversShareOneCloudInConnectionOrder) {
  modules::XYZI_PCL_Converter converter;
  std::vector<XYZIRCloudPtr> received;
  for (int i = 0; i < 3; ++i) {
    converter.connect([&](XYZIRCloudPtr cloud) { received.push_back(cloud); });
  }
  converter.slot(test::xyziCloud(test::header(1, 2), 2));
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0], received[1]);
  EXPECT_EQ(received[1], received[2]);
  EXPECT_EQ(received[0].use_count(), 3);  // the converter kept no reference
}

TEST(XYZIPCLConverterTest, ThrowingReceiverEndsThatDeliveryOnly) {
  modules::XYZI_PCL_Converter converter;
  int later = 0;
  bool fail = true;
  converter.connect([&](XYZIRCloudPtr) {
    if (fail) throw std::runtime_error("receiver failed");
  });
  converter.connect([&](XYZIRCloudPtr) { ++later; });
  EXPECT_THROW(converter.slot(test::xyziCloud(test::header(1, 1), 1)), std::runtime_error);
  EXPECT_EQ(later, 0);
  fail = false;
  converter.slot(test::xyziCloud(test::header(1, 1), 1));
  EXPECT_EQ(later, 1);
}

TEST(XYZIPCLConverterTest, DisconnectedReceiversGetNothing) {
  modules::XYZI_PCL_Converter converter;
  int calls = 0;
  otl::Connection connection = converter.connect([&](XYZIRCloudPtr) { ++calls; });
  connection.disconnect();
  converter.slot(test::xyziCloud(test::header(1, 1), 1));
  converter.connect([&](XYZIRCloudPtr) { ++calls; });
  converter.disconnectAll();
  converter.slot(test::xyziCloud(test::header(1, 1), 1));
  EXPECT_EQ(calls, 0);
}

// Columns grown after construction: the intensity column first, which makes
// the lengths differ, then the others, which makes them equal again but no
// longer height × width.
template <class Cloud>
void growIntensity(Cloud& cloud) {
  cloud.template slice<otl::IntensityValue>()->push_back(otl::IntensityValue{});
}

void growOthers(otl::XYZICloud& cloud) { cloud.slice<otl::CartPoint>()->push_back({}); }
void growOthers(otl::PolarCloud& cloud) { cloud.slice<otl::PolarPoint>()->push_back({}); }
void growOthers(otl::CombinedCloud& cloud) {
  cloud.slice<otl::CartPoint>()->push_back({});
  cloud.slice<otl::PolarPoint>()->push_back({});
}

TEST(OtlToPclConverterTest, NothingIsExaminedWithoutReceivers) {
  modules::V5I_PCL_Converter polar;
  modules::XYZI_PCL_Converter cart;
  modules::XYZV5I_PCL_Converter combined;
  auto polarCloud = test::polarCloud(test::header(1, 2), 2);
  auto cartCloud = test::xyziCloud(test::header(1, 2), 2);
  auto combinedCloud = test::combinedCloud(test::header(1, 2), 2);
  growIntensity(polarCloud);
  growIntensity(cartCloud);
  growIntensity(combinedCloud);
  EXPECT_NO_THROW(polar.slot(polarCloud));
  EXPECT_NO_THROW(cart.slot(cartCloud));
  EXPECT_NO_THROW(combined.slot(combinedCloud));
}

TEST(OtlToPclConverterTest, GrownColumnsAreRejectedBeforeAnythingIsEmitted) {
  int calls = 0;
  modules::V5I_PCL_Converter polar;
  polar.connect([&](HVDIRCloudPtr) { ++calls; });
  modules::XYZI_PCL_Converter cart;
  cart.connect([&](XYZIRCloudPtr) { ++calls; });
  modules::XYZV5I_PCL_Converter combined;
  combined.connectPolar([&](HVDIRCloudPtr) { ++calls; });
  combined.connectCart([&](XYZIRCloudPtr) { ++calls; });

  auto polarCloud = test::polarCloud(test::header(2, 2), 4);
  auto cartCloud = test::xyziCloud(test::header(2, 2), 4);
  auto combinedCloud = test::combinedCloud(test::header(2, 2), 4);
  growIntensity(polarCloud);
  growIntensity(cartCloud);
  growIntensity(combinedCloud);
  EXPECT_THROW(polar.slot(polarCloud), otl::MismatchedSlices);
  EXPECT_THROW(cart.slot(cartCloud), otl::MismatchedSlices);
  EXPECT_THROW(combined.slot(combinedCloud), otl::MismatchedSlices);

  // Equal lengths again, but 5 elements in 2 × 2: the walk would leave the rows.
  growOthers(polarCloud);
  growOthers(cartCloud);
  growOthers(combinedCloud);
  EXPECT_THROW(polar.slot(polarCloud), otl::InvalidOrganized);
  EXPECT_THROW(cart.slot(cartCloud), otl::InvalidOrganized);
  EXPECT_THROW(combined.convertCart(combinedCloud), otl::InvalidOrganized);
  EXPECT_THROW(combined.convertPolar(combinedCloud), otl::InvalidOrganized);
  EXPECT_EQ(calls, 0);
}

TEST(XYZV5IPCLConverterTest, SlotFeedsBothOutputs) {
  modules::XYZV5I_PCL_Converter converter;
  HVDIRCloudPtr polar;
  XYZIRCloudPtr cart;
  std::vector<char> order;
  converter.connectPolar([&](HVDIRCloudPtr cloud) {
    polar = cloud;
    order.push_back('p');
  });
  converter.connectCart([&](XYZIRCloudPtr cloud) {
    cart = cloud;
    order.push_back('c');
  });

  converter.slot(test::combinedCloud(mappedHeader(2, 2), 4));

  EXPECT_THAT(order, ElementsAre('p', 'c'));
  ASSERT_TRUE(polar && cart);
  expectHeaderMapping(polar, 2, 2);
  expectHeaderMapping(cart, 2, 2);
  EXPECT_THAT(ringsOf(polar), ElementsAre(1, 1, 0, 0));
  EXPECT_THAT(ringsOf(cart), ElementsAre(1, 1, 0, 0));
  EXPECT_EQ(polar->points[3].d, test::polarAt(3).range);
  EXPECT_EQ(cart->points[3].y, test::cartAt(3).y);
  EXPECT_EQ(cart->points[3].intensity, test::intensityAt(3).value);
}

TEST(XYZV5IPCLConverterTest, EachOutputIsBuiltOnlyForItsReceivers) {
  modules::XYZV5I_PCL_Converter converter;
  int cartCalls = 0;
  converter.connectCart([&](XYZIRCloudPtr) { ++cartCalls; });
  converter.slot(test::combinedCloud(test::header(1, 1), 1));
  EXPECT_EQ(cartCalls, 1);

  converter.disconnectAll();
  int polarCalls = 0;
  converter.connectPolar([&](HVDIRCloudPtr) { ++polarCalls; });
  converter.slot(test::combinedCloud(test::header(1, 1), 1));
  EXPECT_EQ(cartCalls, 1);
  EXPECT_EQ(polarCalls, 1);
}

TEST(XYZV5IPCLConverterTest, FailingPolarOutputSkipsTheCartesianOne) {
  modules::XYZV5I_PCL_Converter converter;
  int cartCalls = 0;
  converter.connectPolar([](HVDIRCloudPtr) { throw std::runtime_error("polar receiver"); });
  converter.connectCart([&](XYZIRCloudPtr) { ++cartCalls; });
  EXPECT_THROW(converter.slot(test::combinedCloud(test::header(1, 1), 1)), std::runtime_error);
  EXPECT_EQ(cartCalls, 0);
}

}  // namespace
