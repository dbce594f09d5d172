#include <ostrel/core/main_application_module.h>

#include <boost/program_options/value_semantic.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "capture_sink.h"

namespace {

namespace fs = std::filesystem;
namespace po = boost::program_options;
using ostrel::LogRecord;
using ostrel::SettingsManager;
using ostrel::modules::MainApplicationModule;
using ostrel::modules::OptionsParser;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

/// Runs of white space turned into one blank, so wrapped help text can be
/// compared with the one-line description.
std::string collapseWhiteSpace(std::string const& text) {
  std::string result;
  bool blank = false;
  for (char c : text) {
    if (c == ' ' || c == '\n' || c == '\t') {
      blank = true;
      continue;
    }
    if (blank && !result.empty()) result += ' ';
    blank = false;
    result += c;
  }
  return result;
}

/// Sends std::cout and std::cerr into strings for its lifetime.
class StandardStreams {
 public:
  StandardStreams()
      : out_(std::cout.rdbuf(outText_.rdbuf())), err_(std::cerr.rdbuf(errText_.rdbuf())) {}
  ~StandardStreams() {
    std::cout.rdbuf(out_);
    std::cerr.rdbuf(err_);
  }
  std::string out() const { return outText_.str(); }
  std::string err() const { return errText_.str(); }

 private:
  std::ostringstream outText_;
  std::ostringstream errText_;
  std::streambuf* out_;
  std::streambuf* err_;
};

/// Adds "--speed" (shown), "--secret" (hidden) and positional names.
class TestParser : public OptionsParser {
 public:
  explicit TestParser(std::string const& positionalName = "", int positionalCount = 0)
      : visible_("Test"), hidden_("Hidden") {
    visible_.add_options()("speed", po::value<int>(), "Speed of the test stage");
    hidden_.add_options()("secret", po::value<int>(), "Not shown");
    if (!positionalName.empty()) {
      hidden_.add_options()(positionalName.c_str(), po::value<std::vector<std::string>>(),
                            "positional");
      positional_.add(positionalName.c_str(), positionalCount);
      positionalName_ = positionalName;
    }
  }

  po::options_description const& getOptions() override { return visible_; }
  po::options_description const& getHiddenOptions() override { return hidden_; }
  po::positional_options_description const& getPositionalOptions() override { return positional_; }
  void processOptions(po::variables_map const& variables) override {
    processed = true;
    if (variables.count("speed") != 0 && variables["speed"].as<int>() < 0) {
      throw InvalidInputError("speed must not be negative");
    }
    if (variables.count("secret") != 0) secret = variables["secret"].as<int>();
    if (!positionalName_.empty() && variables.count(positionalName_) != 0) {
      values = variables[positionalName_].as<std::vector<std::string>>();
    }
  }

  bool processed = false;
  int secret = 0;
  std::vector<std::string> values;

 private:
  po::options_description visible_;
  po::options_description hidden_;
  po::positional_options_description positional_;
  std::string positionalName_;
};

class MainApplicationModuleTest : public ostrel::testing::CapturedLogging {
 protected:
  void SetUp() override {
    CapturedLogging::SetUp();
    std::string pattern =
        (fs::temp_directory_path() / ("ostrel-main-module-" + std::string(6, 'X'))).string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    module.connectValidated([this] {
      events.push_back("validated");
      treeEmptyAtValidation = module.getSettingsManager()->tree().empty();
    });
    module.connectSettings([this](std::shared_ptr<SettingsManager> const& store) {
      events.push_back("settings");
      pathAtSettings = store->currentPath();
    });
  }

  void TearDown() override {
    fs::remove_all(folder_);
    CapturedLogging::TearDown();
  }

  std::string pathOf(std::string const& name) const { return (folder_ / name).string(); }

  std::string writeFile(std::string const& name, std::string const& content) {
    std::string const path = pathOf(name);
    std::ofstream(path) << content;
    return path;
  }

  /// Runs configure on "prog" followed by `arguments`.
  bool configure(std::vector<std::string> arguments, std::shared_ptr<SettingsManager> store = {},
                 std::string const& root = "") {
    arguments.insert(arguments.begin(), "prog");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    StandardStreams streams;
    bool const result =
        module.configure(static_cast<int>(arguments.size()), argv.data(), std::move(store), root);
    out = streams.out();
    err = streams.err();
    return result;
  }

  bool hasRecord(std::string const& message) const {
    std::vector<LogRecord> const all = records();
    return std::any_of(all.begin(), all.end(),
                       [&](LogRecord const& record) { return record.message == message; });
  }

  std::string algorithmFile() {
    return writeFile("algorithm.xml",
                     "<Tracker><gate>1</gate><onlyAlgorithm>a</onlyAlgorithm></Tracker>");
  }
  std::string configurationFile(std::string const& extra = "") {
    return writeFile("configuration.xml",
                     "<root><Tracker><gate>2</gate></Tracker>" + extra + "</root>");
  }

  MainApplicationModule module;
  std::vector<std::string> events;
  bool treeEmptyAtValidation = false;
  std::string pathAtSettings = "<not emitted>";
  std::string out;
  std::string err;

 private:
  fs::path folder_;
};

TEST_F(MainApplicationModuleTest, HelpGoesToStandardOutputAndStopsEverything) {
  auto parser = std::make_shared<TestParser>();
  module.registerOptions(parser);
  EXPECT_FALSE(configure({"--help"}));
  EXPECT_THAT(out, StartsWith("prog\nOptions:\n"));
  std::string const help = collapseWhiteSpace(out);
  for (char const* piece :
       {"-h [ --help ] Print help message",
        "-a [ --algorithm-settings ] arg XML algorithm settings file",
        "-c [ --configuration-settings ] arg XML configuration settings file. Takes priority over "
        "algorithm-settings if there is overlap in settings.",
        "--log-level arg Log level for console output", "--log-props arg Logging properties file",
        "--speed arg Speed of the test stage"}) {
    EXPECT_THAT(help, HasSubstr(piece));
  }
  EXPECT_THAT(out, ::testing::Not(HasSubstr("secret")));
  EXPECT_EQ(err, "");
  EXPECT_TRUE(events.empty());
  EXPECT_FALSE(parser->processed);
}

/// A command line refused before the validated signal, and how standard
/// error starts.
struct RefusedLine {
  std::string name;
  std::vector<std::string> arguments;
  std::string errorStart;
  bool helpFollows;
};

void PrintTo(RefusedLine const& line, std::ostream* out) { *out << line.name; }

class RefusedLineTest : public MainApplicationModuleTest,
                        public ::testing::WithParamInterface<RefusedLine> {};

TEST_P(RefusedLineTest, ReportsOnStandardErrorAndReturnsFalse) {
  module.registerOptions(std::make_shared<TestParser>());
  EXPECT_FALSE(configure(GetParam().arguments));
  EXPECT_THAT(err, StartsWith(GetParam().errorStart));
  if (GetParam().helpFollows) {
    EXPECT_THAT(collapseWhiteSpace(err), HasSubstr("-h [ --help ] Print help message"));
  } else {
    EXPECT_EQ(err, GetParam().errorStart);
  }
  EXPECT_EQ(out, "");
  EXPECT_TRUE(events.empty());
}

INSTANTIATE_TEST_SUITE_P(
    MainApplicationModuleTest, RefusedLineTest,
    ::testing::Values(
        RefusedLine{"UnknownOptionBeatsHelp",
                    {"--help", "--bogus"},
                    "ERROR: unrecognised option '--bogus'\n\nOptions:\n",
                    true},
        RefusedLine{"BadValue", {"-c", "x.xml", "--speed", "fast"}, "ERROR: ", true},
        RefusedLine{"ParserRefusesInput",
                    {"-c", "x.xml", "--speed=-1"},
                    "ERROR: Invalid input : speed must not be negative\n",
                    false},
        RefusedLine{"NoConfigurationFile",
                    {"-a", "algorithm.xml"},
                    "ERROR: the option '--configuration-settings' is required but missing\n"
                    "Options:\n",
                    true},
        RefusedLine{"EmptyConfigurationFileName",
                    {"--configuration-settings", ""},
                    "ERROR: the option '--configuration-settings' is required but missing\n"
                    "Options:\n",
                    true}),
    [](::testing::TestParamInfo<RefusedLine> const& info) { return info.param.name; });

TEST_F(MainApplicationModuleTest, InvalidLogLevelStopsAfterValidationBeforeAnyFile) {
  EXPECT_FALSE(
      configure({"-a", algorithmFile(), "-c", configurationFile(), "--log-level", "loud"}));
  EXPECT_EQ(err, "--log-level 'loud' is not valid.\n");
  EXPECT_THAT(events, ElementsAre("validated"));
  EXPECT_TRUE(module.getSettingsManager()->tree().empty());
}

TEST_F(MainApplicationModuleTest, LogLevelSetsTheConsoleLevel) {
  ASSERT_TRUE(configure({"-c", configurationFile(), "--log-level", "DEBUG"}));
  EXPECT_EQ(manager().consoleLevel(), ostrel::LOG_DEBUG);
}

TEST_F(MainApplicationModuleTest, ConfigurationFileWinsOverAlgorithmFile) {
  std::string const algorithm = algorithmFile();
  std::string const configuration = configurationFile();
  ASSERT_TRUE(configure({"-a", algorithm, "-c", configuration}));
  std::shared_ptr<SettingsManager> store = module.getSettingsManager();
  EXPECT_EQ(store->get<std::string>("root.Tracker.gate"), "2");
  EXPECT_EQ(store->get<std::string>("Tracker.gate"), "1");  // other root element
  EXPECT_EQ(store->getLogger().name(), "SettingsManager");
  EXPECT_TRUE(hasRecord("Using algorithm settings file: " + algorithm));
  EXPECT_TRUE(hasRecord("Using configuration settings file: " + configuration));
  EXPECT_EQ(err, "");
  EXPECT_EQ(out, "");
}

TEST_F(MainApplicationModuleTest, SameKeyInBothFilesReadsTheConfigurationValue) {
  std::string const algorithm = writeFile("a.xml", "<T><gate>1</gate><keep>a</keep></T>");
  std::string const configuration = writeFile("c.xml", "<T><gate>2</gate></T>");
  ASSERT_TRUE(configure({"-a", algorithm, "-c", configuration}));
  EXPECT_EQ(module.getSettingsManager()->get<std::string>("T.gate"), "2");
  EXPECT_EQ(module.getSettingsManager()->get<std::string>("T.keep"), "a");
}

TEST_F(MainApplicationModuleTest, WithoutAlgorithmFileWarnsAndGoesOn) {
  ASSERT_TRUE(configure({"-c", configurationFile()}));
  EXPECT_TRUE(hasRecord("No algorithm settings file specified; using default settings"));
  EXPECT_THAT(events, ElementsAre("validated", "settings"));
}

TEST_F(MainApplicationModuleTest, UnreadableAlgorithmFileIsNamed) {
  std::string const missing = pathOf("missing.xml");
  EXPECT_FALSE(configure({"-a", missing, "-c", configurationFile()}));
  EXPECT_THAT(err, StartsWith("Unable to read settings file " + missing + "\n"));
  EXPECT_GT(err.size(), std::string("Unable to read settings file " + missing + "\n\n").size());
  EXPECT_THAT(events, ElementsAre("validated"));
}

TEST_F(MainApplicationModuleTest, UnreadableConfigurationFileKeepsTheAlgorithmSettings) {
  std::string const broken = writeFile("broken.xml", "<root><unclosed></root>");
  EXPECT_FALSE(configure({"-a", algorithmFile(), "-c", broken}));
  EXPECT_THAT(err, StartsWith("Unable to read settings file " + broken + "\n"));
  EXPECT_EQ(module.getSettingsManager()->get<std::string>("Tracker.gate"), "1");
  EXPECT_THAT(events, ElementsAre("validated"));
}

TEST_F(MainApplicationModuleTest, LogPropsOptionOverridesTheSettingsKey) {
  std::string const fromOption = writeFile("option.properties", "logger.PropsProbe=error\n");
  std::string const fromKey = writeFile("key.properties", "logger.PropsProbe=trace\n");
  std::string const configuration =
      writeFile("c.xml", "<LoggingPropsFile>" + fromKey + "</LoggingPropsFile>");
  ASSERT_TRUE(configure({"-c", configuration, "--log-props", fromOption}));
  ostrel::Logger const& probe = manager().getLogger("PropsProbe");
  EXPECT_FALSE(probe.isEnabled(ostrel::LOG_WARN));
  EXPECT_TRUE(hasRecord("Using logging properties file: " + fromOption));
  EXPECT_FALSE(hasRecord("Using logging properties file: " + fromKey));
}

TEST_F(MainApplicationModuleTest, SettingsKeyNamesThePropertiesFileWithoutTheOption) {
  std::string const fromKey = writeFile("key.properties", "logger.PropsProbe=trace\n");
  std::string const configuration =
      writeFile("c.xml", "<LoggingPropsFile>" + fromKey + "</LoggingPropsFile>");
  ASSERT_TRUE(configure({"-c", configuration}));
  EXPECT_TRUE(manager().getLogger("PropsProbe").isEnabled(ostrel::LOG_TRACE));
  EXPECT_TRUE(hasRecord("Using logging properties file: " + fromKey));
}

TEST_F(MainApplicationModuleTest, ValidatedFiresBeforeAnyFileAndSettingsLast) {
  std::string const props = writeFile("p.properties", "logger.PropsProbe=error\n");
  bool propsLoadedAtSettings = false;
  module.connectSettings([&](std::shared_ptr<SettingsManager> const& store) {
    propsLoadedAtSettings = !manager().getLogger("PropsProbe").isEnabled(ostrel::LOG_WARN);
    EXPECT_EQ(store->get<std::string>("root.Tracker.gate"), "2");
  });
  ASSERT_TRUE(configure({"-a", algorithmFile(), "-c", configurationFile(), "--log-props", props}));
  EXPECT_THAT(events, ElementsAre("validated", "settings"));
  EXPECT_TRUE(treeEmptyAtValidation);
  EXPECT_TRUE(propsLoadedAtSettings);
}

TEST_F(MainApplicationModuleTest, GivenStoreIsFilledAndKeptItsPosition) {
  auto store = std::make_shared<SettingsManager>();
  store->set("Earlier", "kept");
  store->pathPush("Viewer");
  ASSERT_TRUE(configure({"-c", configurationFile()}, store, "Display"));
  EXPECT_EQ(module.getSettingsManager(), store);
  EXPECT_EQ(pathAtSettings, "Viewer.Display");
  EXPECT_EQ(store->currentPath(), "Viewer");
  store->pathPop();
  EXPECT_EQ(store->get<std::string>("Earlier"), "kept");
  EXPECT_TRUE(store->exists("Viewer.Display"));  // created for the emission
}

TEST_F(MainApplicationModuleTest, SettingsRootIsPushedForTheEmissionOnly) {
  int gate = 0;
  module.connectSettings([&gate](std::shared_ptr<SettingsManager> const& store) {
    gate = store->get<int>("Tracker.gate");
  });
  ASSERT_TRUE(configure({"-c", configurationFile()}, nullptr, "root"));
  EXPECT_EQ(pathAtSettings, "root");
  EXPECT_EQ(gate, 2);
  EXPECT_EQ(module.getSettingsManager()->pathDepth(), 0u);
}

TEST_F(MainApplicationModuleTest, ThrowingSettingsSlotLeavesTheStoreWhereItWas) {
  module.connectSettings([](std::shared_ptr<SettingsManager> const& store) {
    store->pathPush("Tracker");
    store->get<std::string>("no-such-key");  // throws before its own pop
  });
  auto store = std::make_shared<SettingsManager>();
  EXPECT_THROW(configure({"-c", configurationFile()}, store, "root"),
               boost::property_tree::ptree_bad_path);
  EXPECT_EQ(store->pathDepth(), 0u);
}

TEST_F(MainApplicationModuleTest, EmptyRootAnnouncesAtTheCurrentNode) {
  ASSERT_TRUE(configure({"-c", configurationFile()}));
  EXPECT_EQ(pathAtSettings, "");
}

class OverridingModule : public MainApplicationModule {
 public:
  void settings(std::shared_ptr<SettingsManager> store) override { received = store; }
  std::shared_ptr<SettingsManager> received;
};

TEST_F(MainApplicationModuleTest, SettingsOverrideReplacesTheEmission) {
  std::string const configuration = configurationFile();
  OverridingModule overriding;
  bool emitted = false;
  overriding.connectSettings(
      [&emitted](std::shared_ptr<SettingsManager> const&) { emitted = true; });
  std::string program = "prog", option = "-c", file = configuration;
  char* argv[] = {program.data(), option.data(), file.data(), nullptr};
  ASSERT_TRUE(overriding.configure(3, argv, nullptr, ""));
  EXPECT_EQ(overriding.received, overriding.getSettingsManager());
  EXPECT_FALSE(emitted);
}

TEST_F(MainApplicationModuleTest, RegisteredParsersTakeTheirOptionsAndPositionalsInOrder) {
  auto first = std::make_shared<TestParser>("input", 2);
  module.registerOptions(first);
  ASSERT_TRUE(configure({"-c", configurationFile(), "--secret", "42", "one", "two"}));
  EXPECT_EQ(first->secret, 42);
  EXPECT_THAT(first->values, ElementsAre("one", "two"));
}

/// Only "files" positions; "--speed" and "--secret" would clash with
/// TestParser's, so this parser adds none.
class FilesParser : public OptionsParser {
 public:
  FilesParser() {
    hidden_.add_options()("files", po::value<std::vector<std::string>>(), "files");
    positional_.add("files", -1);
  }
  po::options_description const& getOptions() override { return visible_; }
  po::options_description const& getHiddenOptions() override { return hidden_; }
  po::positional_options_description const& getPositionalOptions() override { return positional_; }
  void processOptions(po::variables_map const& variables) override {
    if (variables.count("files") != 0) files = variables["files"].as<std::vector<std::string>>();
  }
  std::vector<std::string> files;

 private:
  po::options_description visible_;
  po::options_description hidden_;
  po::positional_options_description positional_;
};

TEST_F(MainApplicationModuleTest, UnlimitedPositionalNameTakesAllRemainingArguments) {
  auto fixed = std::make_shared<TestParser>("input", 1);
  auto unlimited = std::make_shared<FilesParser>();
  module.registerOptions(fixed);
  module.registerOptions(unlimited);
  ASSERT_TRUE(configure({"-c", configurationFile(), "a", "b", "c", "d"}));
  EXPECT_THAT(fixed->values, ElementsAre("a"));
  EXPECT_THAT(unlimited->files, ElementsAre("b", "c", "d"));
}

}  // namespace
