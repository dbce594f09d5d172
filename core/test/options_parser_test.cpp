#include <ostrel/core/options_parser.h>

#include <gtest/gtest.h>

#include <exception>
#include <string>

namespace {

using ostrel::modules::OptionsParser;

TEST(InvalidInputErrorTest, MessageIsThePrefixFollowedByTheText) {
  OptionsParser::InvalidInputError const error("port out of range");
  EXPECT_STREQ(error.what(), "Invalid input : port out of range");
  std::exception const& base = error;
  EXPECT_STREQ(base.what(), "Invalid input : port out of range");
}

TEST(InvalidInputErrorTest, NullTextLeavesThePrefixAlone) {
  EXPECT_STREQ(OptionsParser::InvalidInputError(nullptr).what(), "Invalid input : ");
}

}  // namespace
