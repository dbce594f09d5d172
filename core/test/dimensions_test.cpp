#include <ostrel/core/dimensions.h>

#include <gtest/gtest.h>

namespace {

using ostrel::core::Dimensions;
namespace frames = ostrel::frames;

template <class D>
class DimensionsTest : public ::testing::Test {};

using Instances =
    ::testing::Types<Dimensions<float, frames::World>, Dimensions<double, frames::World>,
                     Dimensions<float, frames::Trackable>, Dimensions<double, frames::Trackable>>;
TYPED_TEST_SUITE(DimensionsTest, Instances);

// The constructors come from the library's compiled instances.
TYPED_TEST(DimensionsTest, ConstructorsStoreTheBoxAndItsAnchor) {
  using T = decltype(TypeParam::length);
  using Anchor = decltype(TypeParam::anchor);
  TypeParam const anchored(T(4.5), T(1.75), T(1.5), Anchor{T(1), T(-0.5), T(0.25)});
  EXPECT_EQ(anchored.length, T(4.5));
  EXPECT_EQ(anchored.width, T(1.75));
  EXPECT_EQ(anchored.height, T(1.5));
  EXPECT_EQ(anchored.anchor.x, T(1));
  EXPECT_EQ(anchored.anchor.y, T(-0.5));
  EXPECT_EQ(anchored.anchor.z, T(0.25));

  TypeParam const centred(T(2), T(3), T(4));
  EXPECT_EQ(centred.anchor.x, T(0));
  EXPECT_EQ(centred.anchor.y, T(0));
  EXPECT_EQ(centred.anchor.z, T(0));

  TypeParam copy(anchored);
  EXPECT_EQ(copy.width, T(1.75));
  EXPECT_EQ(copy.anchor.y, T(-0.5));
  copy = centred;
  EXPECT_EQ(copy.length, T(2));
  EXPECT_EQ(copy.anchor.x, T(0));
}

}  // namespace
