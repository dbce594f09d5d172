#include <ostrel/settings/settings_manager.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <random>
#include <string>

namespace {

using boost::property_tree::ptree_bad_data;
using ostrel::SettingsManager;

TEST(SettingsNumbers, FloatsAndDoublesReadBackExactly) {
  SettingsManager settings;
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-1e6, 1e6);
  for (int i = 0; i < 500; ++i) {
    double const d = value(random) * std::pow(10.0, i % 40 - 20);
    float const f = static_cast<float>(d);
    settings.set("d", d);
    settings.set("f", f);
    ASSERT_EQ(settings.get<double>("d"), d) << settings.get<std::string>("d");
    ASSERT_EQ(settings.get<float>("f"), f) << settings.get<std::string>("f");
  }
  float const extremes[] = {std::numeric_limits<float>::min(), std::numeric_limits<float>::max(),
                            std::numeric_limits<float>::denorm_min(), -0.0f, 0.1f};
  for (float const f : extremes) {
    settings.set("f", f);
    EXPECT_EQ(settings.get<float>("f"), f) << settings.get<std::string>("f");
  }
  settings.set("short", 0.1f);
  EXPECT_EQ(settings.get<std::string>("short"), "0.1");
}

struct TextCase {
  std::string text;
  bool valid;
};
void PrintTo(TextCase const& c, std::ostream* out) { *out << "'" << c.text << "'"; }

class FloatText : public ::testing::TestWithParam<TextCase> {};

TEST_P(FloatText, WholeTextMustBeANumber) {
  SettingsManager settings;
  settings.set("value", GetParam().text);
  if (GetParam().valid) {
    EXPECT_NO_THROW(settings.get<float>("value"));
  } else {
    EXPECT_THROW(settings.get<float>("value"), ptree_bad_data);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, FloatText,
                         ::testing::Values(TextCase{"1.5", true}, TextCase{"  -2e3 \n", true},
                                           TextCase{"+7", true}, TextCase{"", false},
                                           TextCase{"1.5m", false}, TextCase{"1,5", false},
                                           TextCase{"1.5 2", false}, TextCase{"abc", false}));

TEST(SettingsNumbers, IntegersAndBools) {
  SettingsManager settings;
  settings.set("big", std::int64_t{-9007199254740993});
  EXPECT_EQ(settings.get<std::int64_t>("big"), std::int64_t{-9007199254740993});
  settings.set("negative", "-1");
  EXPECT_THROW(settings.get<unsigned>("negative"), ptree_bad_data);
  EXPECT_EQ(settings.get<int>("negative"), -1);
  settings.set("fraction", "1.5");
  EXPECT_THROW(settings.get<int>("fraction"), ptree_bad_data);
  settings.set("flag", true);
  EXPECT_EQ(settings.get<std::string>("flag"), "true");
  EXPECT_TRUE(settings.get<bool>("flag"));
  settings.set("flag", "0");
  EXPECT_FALSE(settings.get<bool>("flag"));
  settings.set("flag", "yes");
  EXPECT_THROW(settings.get<bool>("flag"), ptree_bad_data);
}

/// A locale whose numbers use a decimal comma, as some desktop locales do.
struct DecimalComma : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(SettingsNumbers, ReadAndWrittenTheSameUnderADecimalCommaGlobalLocale) {
  std::locale const previous =
      std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
  SettingsManager settings;
  settings.set("read", "1.5");
  float const read = settings.get<float>("read");
  settings.set("written", 1234.5);
  std::string const written = settings.get<std::string>("written");
  std::locale::global(previous);

  EXPECT_EQ(read, 1.5f);
  EXPECT_EQ(written, "1234.5");
}

}  // namespace
