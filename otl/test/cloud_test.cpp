#include <ostrel/otl/cloud.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>
#include <utility>

namespace {

using namespace ostrel::otl;

constexpr std::size_t SIZE_MAX_VALUE = std::numeric_limits<std::size_t>::max();

Slice<CartPoint> cartColumn(std::size_t count) {
  Slice<CartPoint> column;
  for (std::size_t i = 0; i < count; ++i) {
    auto const f = static_cast<float>(i);
    column->push_back(CartPoint{f, f + 0.5f, -f});
  }
  return column;
}

Slice<IntensityValue> intensityColumn(std::size_t count) {
  Slice<IntensityValue> column;
  for (std::size_t i = 0; i < count; ++i) column->push_back(IntensityValue{static_cast<float>(i)});
  return column;
}

CloudHeader makeHeader(std::size_t height, std::size_t width) {
  return CloudHeader(Dim<2, false>{height, width}, "lidar", 42, 1000);
}

TEST(CloudElementsTest, DefaultsAreZeroAndComponentsFollowInOrder) {
  CartPoint cart;
  EXPECT_EQ(cart.x, 0.0f);
  EXPECT_EQ(cart.y, 0.0f);
  EXPECT_EQ(cart.z, 0.0f);
  PolarPoint polar;
  EXPECT_EQ(polar.range, 0.0f);
  EXPECT_EQ(IntensityValue{}.value, 0.0f);

  static_assert(std::is_trivially_copyable_v<CartPoint>);
  static_assert(std::is_trivially_copyable_v<PolarPoint>);
  static_assert(std::is_trivially_copyable_v<IntensityValue>);
  static_assert(sizeof(CartPoint) == 3 * sizeof(float));
  static_assert(sizeof(PolarPoint) == 3 * sizeof(float));
  static_assert(offsetof(CartPoint, z) == 2 * sizeof(float));
  static_assert(offsetof(PolarPoint, horizontalAngle) == sizeof(float));
  static_assert(offsetof(PolarPoint, verticalAngle) == 2 * sizeof(float));
  // Frames tell types apart.
  struct OtherFrame {};
  static_assert(!std::is_same_v<Cart<float, Default>, Cart<float, OtherFrame>>);
}

struct Organisation {
  std::size_t height;
  std::size_t width;
  std::size_t elements;
  bool valid;
};

class CloudOrganisationTest : public ::testing::TestWithParam<Organisation> {};

TEST_P(CloudOrganisationTest, ConstructionChecksHeightTimesWidth) {
  Organisation const& c = GetParam();
  auto build = [&] {
    return XYZICloud(makeHeader(c.height, c.width), cartColumn(c.elements),
                     intensityColumn(c.elements));
  };
  if (c.valid) {
    XYZICloud cloud = build();
    EXPECT_EQ(cloud.size(), c.elements);
    EXPECT_EQ(cloud.height(), c.height);
    EXPECT_EQ(cloud.width(), c.width);
  } else {
    try {
      build();
      FAIL() << "no InvalidOrganized";
    } catch (InvalidOrganized const& error) {
      EXPECT_STREQ(error.what(), "Cloud dimensions don't match element count");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CloudOrganisationTest,
    ::testing::Values(Organisation{0, 0, 0, true}, Organisation{1, 0, 0, true},
                      Organisation{0, 7, 0, true}, Organisation{1, 1, 0, false},
                      Organisation{1, 6, 6, true}, Organisation{2, 3, 6, true},
                      Organisation{3, 2, 6, true}, Organisation{2, 2, 6, false},
                      Organisation{6, 0, 6, false},
                      // 2^63 + 1 rows of 2 wrap to 2 in 64 bits: still no match.
                      Organisation{(SIZE_MAX_VALUE / 2) + 2, 2, 2, false},
                      Organisation{SIZE_MAX_VALUE, SIZE_MAX_VALUE, 1, false}));

TEST(CloudTest, MismatchedColumnsAreReportedBeforeTheOrganisation) {
  // The organisation is wrong as well; the columns are examined first.
  try {
    XYZICloud(makeHeader(3, 3), cartColumn(10), intensityColumn(9));
    FAIL() << "no MismatchedSlices";
  } catch (MismatchedSlices const& error) {
    EXPECT_STREQ(error.what(), "Mismatched slice sizes in SoA");
  }
}

TEST(CloudTest, AccessorsGiveColumnsAndHeader) {
  Slice<CartPoint> cart = cartColumn(6);
  Slice<IntensityValue> intensity = intensityColumn(6);
  XYZICloud cloud(makeHeader(2, 3), cart, intensity);
  EXPECT_EQ(&cloud.slice<CartPoint>().data(), &cart.data());
  EXPECT_EQ(&cloud.slice<IntensityValue>().data(), &intensity.data());
  EXPECT_EQ(cloud.slice<CartPoint>()->at(5).x, 5.0f);
  EXPECT_EQ(cloud.header().get<SensorID>(), "lidar");
  EXPECT_EQ(cloud.header().get<Sequence>(), 42u);
  EXPECT_EQ(cloud.header().get<TimeStamp>(), 1000u);
  EXPECT_TRUE(cloud.isOrganized());
  EXPECT_FALSE(XYZICloud(makeHeader(1, 6), cart, intensity).isOrganized());

  cloud.header().get<SensorID>() = "other";
  EXPECT_EQ(cloud.header().get<SensorID>(), "other");
}

TEST(CloudTest, CopiesShareColumnsAndCopyTheHeader) {
  XYZICloud cloud(makeHeader(1, 2), cartColumn(2), intensityColumn(2));
  XYZICloud copy = cloud;
  copy.slice<CartPoint>()->data()[0].x = 99.0f;
  copy.header().get<SensorID>() = "copy";
  EXPECT_EQ(cloud.slice<CartPoint>()->data()[0].x, 99.0f);
  EXPECT_EQ(cloud.header().get<SensorID>(), "lidar");
}

TEST(CloudTest, MoveTakesColumnsAndLeavesEmptyOnes) {
  Slice<PolarPoint> polarColumn;
  polarColumn->push_back(PolarPoint{10.0f, 0.5f, -0.1f});
  PolarCloud cloud(makeHeader(1, 1), polarColumn, intensityColumn(1));
  auto const* polar = &cloud.slice<PolarPoint>().data();

  PolarCloud moved = std::move(cloud);
  EXPECT_EQ(&moved.slice<PolarPoint>().data(), polar);
  EXPECT_EQ(moved.size(), 1u);
  EXPECT_EQ(moved.header().get<SensorID>(), "lidar");
  EXPECT_EQ(moved.header().get<Sequence>(), 42u);
  EXPECT_EQ(cloud.size(), 0u);  // NOLINT(bugprone-use-after-move): columns stay valid
}

TEST(CloudTest, ValidateNoticesColumnsGrownAfterConstruction) {
  Slice<PolarPoint> polar;
  polar->push_back(PolarPoint{});
  CombinedCloud cloud(makeHeader(1, 1), cartColumn(1), polar, intensityColumn(1));
  EXPECT_NO_THROW(cloud.validate());
  cloud.slice<CartPoint>()->push_back(CartPoint{});
  EXPECT_THROW(cloud.validate(), MismatchedSlices);
  cloud.slice<PolarPoint>()->push_back(PolarPoint{});
  cloud.slice<IntensityValue>()->push_back(IntensityValue{});
  EXPECT_THROW(cloud.validate(), InvalidOrganized);
}

}  // namespace
