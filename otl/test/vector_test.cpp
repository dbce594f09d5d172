#include <ostrel/otl/vector.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include <ostrel/otl/cart.h>
#include <ostrel/otl/intensity.h>

namespace {

using ostrel::otl::Cart;
using ostrel::otl::Default;
using ostrel::otl::DefaultVectorAllocator;
using ostrel::otl::Intensity;
using ostrel::otl::VectorAllocator;

using Column = ostrel::otl::vector<std::uint32_t>;

// Hands out blocks from the default allocator and records every request, so
// tests can see the counts the vector passes on growth and destruction.
class RecordingAllocator : public VectorAllocator<std::uint32_t> {
 public:
  struct Call {
    std::uint32_t* block;
    std::size_t n;
  };

  std::uint32_t* allocate(std::size_t n, void* hint) override {
    if (fail_next_) {
      fail_next_ = false;
      throw std::bad_alloc();
    }
    std::uint32_t* block = inner_.allocate(n, hint);
    allocations.push_back({block, n});
    return block;
  }

  void deallocate(std::uint32_t* block, std::size_t n) override {
    deallocations.push_back({block, n});
    inner_.deallocate(block, n);
  }

  void failNext() { fail_next_ = true; }

  std::vector<Call> allocations;
  std::vector<Call> deallocations;

 private:
  DefaultVectorAllocator<std::uint32_t> inner_;
  bool fail_next_ = false;
};

TEST(VectorTest, NewVectorHasNoStorageAndNoAllocator) {
  Column column;
  EXPECT_EQ(column.size(), 0u);
  EXPECT_EQ(column.capacity(), 0u);
  EXPECT_TRUE(column.empty());
  EXPECT_EQ(column.begin(), nullptr);
  EXPECT_EQ(column.end(), nullptr);
  EXPECT_EQ(column.allocator(), nullptr);
}

TEST(VectorTest, PushBackDoublesThroughOneTwoFourEightSixteen) {
  Column column;
  std::vector<std::size_t> capacities;
  for (std::uint32_t i = 0; i < 9; ++i) {
    column.push_back(i * 10);
    capacities.push_back(column.capacity());
  }
  EXPECT_EQ(capacities, (std::vector<std::size_t>{1, 2, 4, 4, 8, 8, 8, 8, 16}));
  ASSERT_EQ(column.size(), 9u);
  for (std::uint32_t i = 0; i < 9; ++i) {
    EXPECT_EQ(column[i], i * 10);
  }
  EXPECT_NE(std::dynamic_pointer_cast<DefaultVectorAllocator<std::uint32_t>>(column.allocator()),
            nullptr);
}

TEST(VectorTest, PushBackOfOwnElementOnFullVectorStoresItsValue) {
  Column column;
  column.push_back(7);
  column.push_back(8);
  ASSERT_EQ(column.size(), column.capacity());
  // Both refer into the block that growth is about to release.
  column.push_back(column[0]);
  column.push_back(column[3 - 1]);
  EXPECT_EQ(column.size(), 4u);
  EXPECT_EQ(column[2], 7u);
  EXPECT_EQ(column[3], 7u);
}

TEST(VectorTest, CustomAllocatorGetsCapacityInElementsOnGrowthAndDestruction) {
  auto allocator = std::make_shared<RecordingAllocator>();
  {
    Column column(allocator);
    for (std::uint32_t i = 0; i < 5; ++i) {
      column.push_back(i);
    }
    EXPECT_EQ(column.allocator(), allocator);
  }
  ASSERT_EQ(allocator->allocations.size(), 4u);
  std::vector<std::size_t> requested;
  for (auto const& call : allocator->allocations) requested.push_back(call.n);
  EXPECT_EQ(requested, (std::vector<std::size_t>{1, 2, 4, 8}));

  // Every block comes back once, with the count it was allocated with.
  ASSERT_EQ(allocator->deallocations.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(allocator->deallocations[i].block, allocator->allocations[i].block);
    EXPECT_EQ(allocator->deallocations[i].n, allocator->allocations[i].n);
  }
}

TEST(VectorTest, FailedGrowthLeavesVectorUnchanged) {
  auto allocator = std::make_shared<RecordingAllocator>();
  Column column(allocator);
  column.push_back(1);
  column.push_back(2);
  allocator->failNext();
  EXPECT_THROW(column.push_back(3), std::bad_alloc);
  ASSERT_EQ(column.size(), 2u);
  EXPECT_EQ(column.capacity(), 2u);
  EXPECT_EQ(column[0], 1u);
  EXPECT_EQ(column[1], 2u);
  column.push_back(3);
  EXPECT_EQ(column[2], 3u);
}

TEST(VectorTest, ExpandOnPartlyFilledVectorDoublesTheElementCount) {
  Column column;
  for (std::uint32_t i = 0; i < 3; ++i) column.push_back(i);
  ASSERT_EQ(column.capacity(), 4u);
  column.expand();
  EXPECT_EQ(column.capacity(), 6u);
  EXPECT_EQ(column.size(), 3u);
  EXPECT_EQ(column[2], 2u);
}

TEST(VectorTest, AppendGrowsAsPushBackWould) {
  std::vector<std::uint32_t> const values{1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (std::size_t prefix : {0, 1, 3}) {
    Column appended;
    Column pushed;
    for (std::size_t i = 0; i < prefix; ++i) {
      appended.push_back(100);
      pushed.push_back(100);
    }
    appended.append(values.begin(), values.end());
    for (std::uint32_t value : values) pushed.push_back(value);
    ASSERT_EQ(appended.size(), pushed.size()) << prefix;
    EXPECT_EQ(appended.capacity(), pushed.capacity()) << prefix;
    EXPECT_TRUE(std::equal(appended.begin(), appended.end(), pushed.begin())) << prefix;
  }
  Column empty;
  empty.append(values.begin(), values.begin());
  EXPECT_EQ(empty.capacity(), 0u);
}

TEST(VectorTest, AtChecksTheIndex) {
  Column column;
  column.push_back(5);
  EXPECT_EQ(column.at(0), 5u);
  EXPECT_THROW(column.at(1), std::out_of_range);
}

TEST(VectorAllocatorTest, MaxSizeIsLargestByteCountOverElementSize) {
  DefaultVectorAllocator<Intensity<float>> intensities;
  DefaultVectorAllocator<Cart<float, Default>> points;
  VectorAllocator<Intensity<float>> const& intensityBase = intensities;
  VectorAllocator<Cart<float, Default>> const& pointBase = points;
  EXPECT_EQ(intensityBase.max_size(), std::size_t{0x3FFFFFFFFFFFFFFF});
  EXPECT_EQ(pointBase.max_size(), std::size_t{0x1555555555555555});
}

}  // namespace
