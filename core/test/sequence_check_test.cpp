#include <ostrel/core/sequence_check.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

using ostrel::core::SequenceCheck;

constexpr std::uint64_t NOTHING_STEPPED = std::numeric_limits<std::uint64_t>::max();

TEST(SequenceCheckTest, ClassifiesAWalkWithAGapARepeatAndAStepBack) {
  SequenceCheck check;
  EXPECT_EQ(check.discarded(), NOTHING_STEPPED);

  EXPECT_EQ(check.check(100), SequenceCheck::OK);
  EXPECT_EQ(check.previous(), 100u);
  EXPECT_EQ(check.discarded(), NOTHING_STEPPED);

  EXPECT_EQ(check.check(101), SequenceCheck::OK);
  EXPECT_EQ(check.previous(), 100u);
  EXPECT_EQ(check.discarded(), 0u);
  EXPECT_EQ(check.missingTotal(), 0u);

  EXPECT_EQ(check.check(105), SequenceCheck::MISSING_DATA);
  EXPECT_EQ(check.previous(), 101u);
  EXPECT_EQ(check.discarded(), 3u);
  EXPECT_EQ(check.missingTotal(), 3u);

  EXPECT_EQ(check.check(105), SequenceCheck::DUPLICATE);
  EXPECT_EQ(check.check(103), SequenceCheck::OUT_OF_ORDER);
  EXPECT_EQ(check.previous(), 101u);
  EXPECT_EQ(check.discarded(), 3u);

  EXPECT_EQ(check.check(110), SequenceCheck::MISSING_DATA);
  EXPECT_EQ(check.missingTotal(), 3u + 4u);
  EXPECT_EQ(check.check(111), SequenceCheck::OK);
  EXPECT_EQ(check.missingTotal(), 7u);
}

TEST(SequenceCheckTest, AWrappingNarrowCounterStepsBackUntilItOvertakes) {
  SequenceCheck check;
  EXPECT_EQ(check.check(4294967294u), SequenceCheck::OK);
  EXPECT_EQ(check.check(4294967295u), SequenceCheck::OK);
  EXPECT_EQ(check.check(0), SequenceCheck::OUT_OF_ORDER);
  EXPECT_EQ(check.check(1), SequenceCheck::OUT_OF_ORDER);
  EXPECT_EQ(check.previous(), 4294967294u);
  EXPECT_EQ(check.check(4294967297u), SequenceCheck::MISSING_DATA);
  EXPECT_EQ(check.discarded(), 1u);
}

TEST(SequenceCheckTest, ResetStartsAFreshWalk) {
  SequenceCheck check;
  check.check(100);
  check.check(200);
  ASSERT_EQ(check.missingTotal(), 99u);
  check.reset();
  EXPECT_EQ(check.missingTotal(), 0u);
  EXPECT_EQ(check.previous(), 0u);
  EXPECT_EQ(check.discarded(), NOTHING_STEPPED);
  EXPECT_EQ(check.check(5), SequenceCheck::OK);  // smaller than before, still accepted
  EXPECT_EQ(check.previous(), 5u);
  EXPECT_EQ(check.check(6), SequenceCheck::OK);
}

TEST(SequenceCheckTest, NamesEveryResult) {
  EXPECT_EQ(SequenceCheck::map_result_to_string_.size(), 4u);
  EXPECT_EQ(SequenceCheck::map_result_to_string_.at(SequenceCheck::OK), "OK");
  EXPECT_EQ(SequenceCheck::map_result_to_string_.at(SequenceCheck::MISSING_DATA), "Missing data");
  EXPECT_EQ(SequenceCheck::map_result_to_string_.at(SequenceCheck::DUPLICATE), "Duplicate");
  EXPECT_EQ(SequenceCheck::map_result_to_string_.at(SequenceCheck::OUT_OF_ORDER), "Out of order");
  EXPECT_EQ(static_cast<int>(SequenceCheck::OUT_OF_ORDER), 3);
}

}  // namespace
