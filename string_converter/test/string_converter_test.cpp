#include <ostrel/string_converter/string_converter.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using ostrel::string_converter::newlineDelimit;
using namespace std::string_literals;

struct DelimitCase {
  char const* what;
  std::string input;
  std::string expected;
};

void PrintTo(DelimitCase const& c, std::ostream* out) { *out << c.what; }

class NewlineDelimit : public ::testing::TestWithParam<DelimitCase> {};

TEST_P(NewlineDelimit, YieldsOneTerminatedLine) {
  DelimitCase const& c = GetParam();
  std::string const input = c.input;
  EXPECT_EQ(newlineDelimit(input), c.expected) << c.what;
  EXPECT_EQ(input, c.input) << "the input must not change";
}

INSTANTIATE_TEST_SUITE_P(Cases, NewlineDelimit,
                         ::testing::Values(DelimitCase{"empty text", "", "\n"},
                                           DelimitCase{"CR LF inside and LF at the end", "a\r\nb\n",
                                                       "ab\n"},
                                           DelimitCase{"only dropped bytes", "\t\n\r\r\n\t", "\n"},
                                           DelimitCase{"tab between words", "one\ttwo", "onetwo\n"},
                                           DelimitCase{"vertical tab, form feed and NUL are kept",
                                                       "a\vb\fc\0d"s, "a\vb\fc\0d\n"s},
                                           DelimitCase{"high bytes are kept", "\x80\xff\xc3\xa9",
                                                       "\x80\xff\xc3\xa9\n"}));

}  // namespace
