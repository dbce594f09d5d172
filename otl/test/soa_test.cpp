#include <ostrel/otl/soa.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using ostrel::otl::MismatchedSlices;
using ostrel::otl::Slice;
using ostrel::otl::SoA;

using Columns = SoA<int, float, double>;

void fill(Columns& columns, std::size_t ints, std::size_t floats, std::size_t doubles) {
  for (std::size_t i = 0; i < ints; ++i) columns.slice<int>()->push_back(1);
  for (std::size_t i = 0; i < floats; ++i) columns.slice<float>()->push_back(2.0f);
  for (std::size_t i = 0; i < doubles; ++i) columns.slice<double>()->push_back(3.0);
}

TEST(SoATest, SizeIsTheCommonLength) {
  Columns columns;
  EXPECT_EQ(columns.size(), 0u);
  fill(columns, 3, 3, 3);
  EXPECT_EQ(columns.size(), 3u);
}

struct Lengths {
  std::size_t ints;
  std::size_t floats;
  std::size_t doubles;
};

class SoAMismatchTest : public ::testing::TestWithParam<Lengths> {};

TEST_P(SoAMismatchTest, AnyDifferingColumnThrows) {
  Columns columns;
  fill(columns, GetParam().ints, GetParam().floats, GetParam().doubles);
  try {
    (void)columns.size();
    FAIL() << "no MismatchedSlices";
  } catch (MismatchedSlices const& error) {
    EXPECT_STREQ(error.what(), "Mismatched slice sizes in SoA");
  }
}

INSTANTIATE_TEST_SUITE_P(Columns, SoAMismatchTest,
                         ::testing::Values(Lengths{2, 1, 1}, Lengths{1, 2, 1}, Lengths{1, 1, 2},
                                           Lengths{0, 3, 3}, Lengths{3, 3, 0}));

TEST(SoATest, ConstructionSharesTheGivenSlicesWithoutSecondaries) {
  Slice<int> ints;
  Slice<float> floats;
  Slice<double> doubles;
  Columns columns(ints, floats, doubles);
  ints->push_back(1);
  EXPECT_EQ(columns.slice<int>()->size(), 1u);
  EXPECT_EQ(&columns.slice<float>().data(), &floats.data());
  EXPECT_EQ(&columns.slice<double>().data(), &doubles.data());
  EXPECT_FALSE(columns.secondary<int>().has_value());
  EXPECT_FALSE(columns.secondary<float>().has_value());
  EXPECT_FALSE(columns.secondary<double>().has_value());
}

TEST(SoATest, CopySharesColumnsAndPresentSecondaries) {
  Columns columns;
  fill(columns, 2, 2, 2);
  columns.secondary<float>() = Slice<float>();
  columns.secondary<float>()->data().push_back(7.0f);

  Columns copy = columns;
  EXPECT_EQ(&copy.slice<int>().data(), &columns.slice<int>().data());
  ASSERT_TRUE(copy.secondary<float>().has_value());
  EXPECT_EQ(&copy.secondary<float>()->data(), &columns.secondary<float>()->data());
  EXPECT_FALSE(copy.secondary<int>().has_value());
}

TEST(SoATest, MoveTakesColumnsAndSecondariesAndLeavesEmptyColumns) {
  Columns columns;
  fill(columns, 2, 2, 2);
  columns.secondary<double>() = Slice<double>();
  columns.secondary<double>()->data().push_back(1.0);
  auto const* ints = &columns.slice<int>().data();
  auto const* secondary = &columns.secondary<double>()->data();

  Columns moved = std::move(columns);
  EXPECT_EQ(&moved.slice<int>().data(), ints);
  EXPECT_EQ(moved.size(), 2u);
  ASSERT_TRUE(moved.secondary<double>().has_value());
  EXPECT_EQ(&moved.secondary<double>()->data(), secondary);
  // NOLINTNEXTLINE(bugprone-use-after-move): moved-from slices stay valid and empty
  EXPECT_EQ(columns.size(), 0u);
}

}  // namespace
