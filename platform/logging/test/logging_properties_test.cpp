#include <ostrel/logging/logging_manager.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "capture_sink.h"

namespace {

using ::testing::HasSubstr;

class LoggingProperties : public ostrel::testing::CapturedLogging {
 protected:
  static std::string readFile(std::filesystem::path const& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
};

TEST_F(LoggingProperties, CommentsBlanksAndSpacesAreIgnored) {
  load("# a comment\n\n   \n  level = debug  \n#level=error\n");
  EXPECT_TRUE(manager().getLogger("Props.spaces").isEnabled(ostrel::LOG_DEBUG));
  EXPECT_TRUE(records().empty()) << "nothing to warn about";
}

struct BadProperty {
  std::string text;
  std::string warning;
};

void PrintTo(BadProperty const& c, std::ostream* out) { *out << "'" << c.text << "'"; }

class BadProperties : public LoggingProperties,
                      public ::testing::WithParamInterface<BadProperty> {};

TEST_P(BadProperties, GiveOneWarningAndKeepTheRest) {
  load(GetParam().text + "\nlogger.Props.kept=trace\n");
  auto const got = records();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].level, ostrel::LOG_WARN);
  EXPECT_EQ(got[0].loggerName, "LoggingManager");
  EXPECT_THAT(got[0].message, HasSubstr(GetParam().warning));
  EXPECT_TRUE(manager().getLogger("Props.kept").isEnabled(ostrel::LOG_TRACE));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadProperties,
    ::testing::Values(BadProperty{"colour=blue", "unknown logging property 'colour'"},
                      BadProperty{"level=loud", "bad value 'loud' for logging property 'level'"},
                      BadProperty{"logToConsole=maybe", "'logToConsole'"},
                      BadProperty{"logger.Props.x=", "'logger.Props.x'"},
                      BadProperty{"just some words", "has no '='"}));

TEST_F(LoggingProperties, ConsoleOnKeepsTheConsoleLevelSetBeforeIt) {
  manager().setConsoleLevel(ostrel::LOG_ERROR);
  load("logToConsole=true");
  EXPECT_EQ(manager().consoleLevel(), ostrel::LOG_ERROR);
  ::testing::internal::CaptureStderr();
  manager().getLogger("Props.console").warn("hidden");
  manager().getLogger("Props.console").error("shown");
  std::string const err = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(err, HasSubstr("shown"));
  EXPECT_THAT(err, ::testing::Not(HasSubstr("hidden")));
}

TEST_F(LoggingProperties, UnopenableFileIsOneErrorAndChangesNothing) {
  for (std::string const name : {"no-such-folder/log.properties", "."}) {
    clearRecords();
    manager().loadProperties(name);
    auto const got = records();
    ASSERT_EQ(got.size(), 1u) << name;
    EXPECT_EQ(got[0].level, ostrel::LOG_ERROR);
    EXPECT_THAT(got[0].message, HasSubstr("'" + name + "'"));
    EXPECT_FALSE(manager().getLogger("Props.unchanged").isEnabled(ostrel::LOG_DEBUG));
  }
}

TEST_F(LoggingProperties, FileIsReadLikeText) {
  std::filesystem::path const path = "logging_properties_test.properties";
  std::ofstream(path) << "level=trace\n";
  manager().loadProperties(path.string());
  EXPECT_TRUE(manager().getLogger("Props.file").isEnabled(ostrel::LOG_TRACE));
  std::filesystem::remove(path);
}

TEST_F(LoggingProperties, LogFileIsAppendedTo) {
  std::filesystem::path const path = "logging_properties_test.log";
  std::ofstream(path) << "existing line\n";
  load("logFile=" + path.string());
  manager().getLogger("Props.logfile").info("first");
  manager().getLogger("Props.logfile").info("second");
  load("logFile=");
  manager().getLogger("Props.logfile").info("after closing");

  std::string const content = readFile(path);
  EXPECT_THAT(content, ::testing::StartsWith("existing line\n"));
  EXPECT_THAT(content, HasSubstr("INFO  Props.logfile: first\n"));
  EXPECT_THAT(content, HasSubstr("INFO  Props.logfile: second\n"));
  EXPECT_THAT(content, ::testing::Not(HasSubstr("after closing")));
  std::filesystem::remove(path);
}

TEST_F(LoggingProperties, UnwritableLogFileIsAnError) {
  load("logFile=no-such-folder/out.log");
  auto const got = records();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].level, ostrel::LOG_ERROR);
  EXPECT_THAT(got[0].message, HasSubstr("no-such-folder/out.log"));
}

}  // namespace
