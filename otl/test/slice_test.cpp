#include <ostrel/otl/slice.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <utility>

namespace {

using ostrel::otl::Slice;

TEST(SliceTest, CopiesShareTheVector) {
  Slice<int> first;
  Slice<int> second = first;
  second->push_back(4);
  EXPECT_EQ(first->size(), 1u);
  EXPECT_EQ(&first.data(), &second.data());

  Slice<int> assigned;
  assigned = first;
  assigned->push_back(5);
  EXPECT_EQ(first->size(), 2u);
}

TEST(SliceTest, MovedFromSliceIsEmptyAndUsable) {
  Slice<int> source;
  source->push_back(1);
  source->push_back(2);
  auto const* column = &source.data();

  Slice<int> target(std::move(source));
  EXPECT_EQ(&target.data(), column);
  EXPECT_EQ(target->size(), 2u);
  EXPECT_EQ(source->size(), 0u);  // NOLINT(bugprone-use-after-move): stated to stay valid
  source->push_back(3);
  EXPECT_EQ(source->size(), 1u);
  EXPECT_EQ(target->size(), 2u);

  Slice<int> assigned;
  assigned = std::move(target);
  EXPECT_EQ(&assigned.data(), column);
  EXPECT_EQ(target->size(), 0u);  // NOLINT(bugprone-use-after-move)
}

TEST(SliceTest, SharesAGivenColumnAndRejectsNull) {
  auto column = std::make_shared<ostrel::otl::vector<int>>();
  Slice<int> slice(column);
  slice->push_back(9);
  EXPECT_EQ(column->size(), 1u);
  EXPECT_EQ(slice.shared(), column);
  EXPECT_THROW(Slice<int>(std::shared_ptr<ostrel::otl::vector<int>>()), std::invalid_argument);
}

}  // namespace
