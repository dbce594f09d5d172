#include <ostrel/logging/logger.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct LevelCase {
  std::string text;
  int level;
};

void PrintTo(LevelCase const& c, std::ostream* out) { *out << "'" << c.text << "'"; }

class LevelFromString : public ::testing::TestWithParam<LevelCase> {};

TEST_P(LevelFromString, MapsNamesInAnyCase) {
  EXPECT_EQ(ostrel::Logger::getLevelFromString(GetParam().text), GetParam().level)
      << "text: '" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(Names, LevelFromString,
                         ::testing::Values(LevelCase{"trace", 0}, LevelCase{"DEBUG", 1},
                                           LevelCase{"Info", 2}, LevelCase{"warn", 3},
                                           LevelCase{"WARNING", 3}, LevelCase{"error", 4},
                                           LevelCase{"", 5}, LevelCase{"fatal", 5},
                                           LevelCase{" info", 5}, LevelCase{"warnx", 5},
                                           LevelCase{"2", 5}));

TEST(LevelName, NamesEveryLevelAndRejectsOthers) {
  EXPECT_STREQ(ostrel::logLevelName(ostrel::LOG_TRACE), "TRACE");
  EXPECT_STREQ(ostrel::logLevelName(ostrel::LOG_WARN), "WARN");
  EXPECT_STREQ(ostrel::logLevelName(ostrel::LOG_ERROR), "ERROR");
  EXPECT_STREQ(ostrel::logLevelName(5), "INVALID");
  EXPECT_STREQ(ostrel::logLevelName(-1), "INVALID");
}

}  // namespace
