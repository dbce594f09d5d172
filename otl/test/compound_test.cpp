#include <ostrel/otl/compound.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

#include <ostrel/otl/header_fields.h>

namespace {

using ostrel::otl::Compound;
using ostrel::otl::Dim;
using ostrel::otl::SensorID;
using ostrel::otl::Sequence;
using ostrel::otl::TimeStamp;

using Extents = Dim<2, false>;
using Header = Compound<Extents, SensorID, Sequence, TimeStamp>;

TEST(CompoundTest, GetGivesEachFieldsValue) {
  Header header(Extents{4, 1024}, "front", 17, 123456789);
  EXPECT_EQ(header.get<Extents>().height, 4u);
  EXPECT_EQ(header.get<Extents>().width, 1024u);
  EXPECT_EQ(header.get<SensorID>(), "front");
  EXPECT_EQ(header.get<Sequence>(), 17u);
  EXPECT_EQ(header.get<TimeStamp>(), 123456789u);

  static_assert(std::is_same_v<decltype(header.get<SensorID>()), std::string&>);
  static_assert(
      std::is_same_v<decltype(std::as_const(header).get<Sequence>()), std::uint64_t const&>);

  header.get<SensorID>() = "rear";
  header.get<Extents>().height = 2;
  header.get<TimeStamp>() = UINT64_MAX;
  EXPECT_EQ(header.get<SensorID>(), "rear");
  EXPECT_EQ(header.get<Extents>().height, 2u);
  EXPECT_EQ(header.get<TimeStamp>(), UINT64_MAX);
}

TEST(CompoundTest, DefaultsAreEmptyAndZero) {
  Header header;
  EXPECT_EQ(header.get<Extents>().height, 0u);
  EXPECT_EQ(header.get<Extents>().width, 0u);
  EXPECT_EQ(header.get<SensorID>(), "");
  EXPECT_EQ(header.get<Sequence>(), 0u);
  EXPECT_EQ(header.get<TimeStamp>(), 0u);
}

TEST(CompoundTest, CopyAndMoveGoMemberByMember) {
  Compound<SensorID, Sequence, TimeStamp> stamp(std::string(100, 'x'), 5, 6);
  auto copy = stamp;
  copy.get<SensorID>()[0] = 'y';
  EXPECT_EQ(stamp.get<SensorID>()[0], 'x');

  char const* text = stamp.get<SensorID>().data();
  auto moved = std::move(stamp);
  EXPECT_EQ(moved.get<SensorID>().data(), text);  // the long string's buffer moved over
  EXPECT_EQ(moved.get<Sequence>(), 5u);
  EXPECT_EQ(moved.get<TimeStamp>(), 6u);
}

}  // namespace
