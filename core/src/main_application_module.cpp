#include <ostrel/core/main_application_module.h>

#include <boost/program_options/parsers.hpp>
#include <boost/program_options/value_semantic.hpp>
#include <boost/scope_exit.hpp>

#include <cstddef>
#include <exception>
#include <iostream>
#include <limits>
#include <sstream>

#include <ostrel/logging/logging_manager.h>

namespace po = boost::program_options;

namespace ostrel::modules {

namespace {

/// Total count the options library reports for a description whose last
/// name takes any number of arguments.
constexpr unsigned UNLIMITED_POSITIONS = std::numeric_limits<unsigned>::max();

/// Appends `parser`'s positional names to `positional`, one position each.
/// A description ending in a name that takes any number of arguments gets
/// its fixed positions and then that name once, unlimited.
void addPositionalNames(po::positional_options_description const& parser,
                        po::positional_options_description& positional) {
  unsigned const total = parser.max_total_count();
  if (total != UNLIMITED_POSITIONS) {
    for (unsigned position = 0; position < total; ++position) {
      positional.add(parser.name_for_position(position).c_str(), 1);
    }
    return;
  }
  // Past its fixed positions, the description names its unlimited argument
  // everywhere; the fixed positions are the ones before that name first shows.
  std::string const unlimited = parser.name_for_position(UNLIMITED_POSITIONS - 1);
  for (unsigned position = 0; parser.name_for_position(position) != unlimited; ++position) {
    positional.add(parser.name_for_position(position).c_str(), 1);
  }
  positional.add(unlimited.c_str(), -1);
}

}  // namespace

MainApplicationModule::MainApplicationModule() = default;
MainApplicationModule::~MainApplicationModule() = default;

bool MainApplicationModule::configure(int argc, char** argv,
                                      std::shared_ptr<SettingsManager> settings,
                                      std::string const& settingsRoot) {
  settingsManager = settings ? std::move(settings) : std::make_shared<SettingsManager>();

  po::options_description visible("Options", po::options_description::m_default_line_length,
                                  po::options_description::m_default_line_length / 2);
  // clang-format off
  visible.add_options()
      ("help,h", "Print help message")
      ("algorithm-settings,a", po::value<std::string>(&algorithmSettingsFile),
       "XML algorithm settings file")
      ("configuration-settings,c", po::value<std::string>(&configurationSettingsFile),
       "XML configuration settings file. Takes priority over algorithm-settings if there is "
       "overlap in settings.")
      ("log-level", po::value<std::string>(&logLevel), "Log level for console output")
      ("log-props", po::value<std::string>(&logPropertiesFile), "Logging properties file");
  // clang-format on

  po::options_description parse("Options", po::options_description::m_default_line_length,
                                po::options_description::m_default_line_length / 2);
  parse.add(visible);
  po::positional_options_description positional;
  for (std::shared_ptr<OptionsParser> const& parser : optionsParsers) {
    visible.add(parser->getOptions());
    parse.add(parser->getOptions());
    parse.add(parser->getHiddenOptions());
    addPositionalNames(parser->getPositionalOptions(), positional);
  }

  std::string const programName = argc > 0 && argv[0] != nullptr ? argv[0] : "";
  std::vector<std::string> const arguments =
      argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();

  po::variables_map variables;
  try {
    po::store(po::command_line_parser(arguments).options(parse).positional(positional).run(),
              variables);
    if (variables.count("help") != 0) {
      std::cout << programName << std::endl << visible << std::endl;
      return false;
    }
    po::notify(variables);
  } catch (po::error const& error) {
    std::cerr << "ERROR: " << error.what() << std::endl << std::endl << visible << std::endl;
    return false;
  }

  for (std::shared_ptr<OptionsParser> const& parser : optionsParsers) {
    try {
      parser->processOptions(variables);
    } catch (std::exception const& error) {
      std::cerr << "ERROR: " << error.what() << std::endl;
      return false;
    }
  }

  if (configurationSettingsFile.empty()) {
    std::cerr << "ERROR: the option '--configuration-settings' is required but missing" << std::endl
              << visible << std::endl;
    return false;
  }

  validatedSignal.emit();

  LoggingManager& logging = LoggingManager::getInstance();
  if (variables.count("log-level") != 0) {
    int const level = Logger::getLevelFromString(logLevel);
    if (level == LOG_INVALID) {
      std::cerr << "--log-level '" << logLevel << "' is not valid.\n";
      return false;
    }
    logging.setConsoleLevel(level);
    std::istringstream toConsole("logToConsole=true");
    logging.loadProperties(toConsole);
  }

  settingsManager->setLogger(logging.getLogger("SettingsManager"));

  std::string const* fileBeingRead = &algorithmSettingsFile;
  try {
    if (!algorithmSettingsFile.empty()) {
      getLogger().infoStream() << "Using algorithm settings file: " << algorithmSettingsFile;
      settingsManager->addXML(algorithmSettingsFile);
    } else {
      getLogger().warn("No algorithm settings file specified; using default settings");
    }
    // Read second, so its values win where both files hold a key.
    fileBeingRead = &configurationSettingsFile;
    getLogger().infoStream() << "Using configuration settings file: " << configurationSettingsFile;
    settingsManager->addXML(configurationSettingsFile);
  } catch (std::exception const& error) {
    std::cerr << "Unable to read settings file " << *fileBeingRead << std::endl
              << error.what() << std::endl;
    return false;
  }

  std::string propertiesFile = logPropertiesFile;
  if (propertiesFile.empty() && settingsManager->exists("LoggingPropsFile")) {
    propertiesFile = settingsManager->get<std::string>("LoggingPropsFile");
  }
  if (!propertiesFile.empty()) {
    logging.loadProperties(propertiesFile);
    getLogger().infoStream() << "Using logging properties file: " << propertiesFile;
  }

  if (settingsRoot.empty()) {
    this->settings(settingsManager);
    return true;
  }
  // Whatever the settings slots do, later readers of the shared store find it
  // where it stood before the push.
  SettingsManager& store = *settingsManager;
  std::size_t const depth = store.pathDepth();
  store.pathPush(settingsRoot);
  BOOST_SCOPE_EXIT_ALL(&store, depth) {
    while (store.pathDepth() > depth) {
      store.pathPop();
    }
  };
  this->settings(settingsManager);
  return true;
}

void MainApplicationModule::registerOptions(std::shared_ptr<OptionsParser> const& parser) {
  optionsParsers.push_back(parser);
}

std::shared_ptr<SettingsManager> MainApplicationModule::getSettingsManager() {
  return settingsManager;
}

otl::Connection MainApplicationModule::connectStart(std::function<void()> const& slot) {
  return startSignal.connect(slot);
}

otl::Connection MainApplicationModule::connectStop(std::function<void()> const& slot) {
  return stopSignal.connect(slot);
}

otl::Connection MainApplicationModule::connectValidated(std::function<void()> const& slot) {
  return validatedSignal.connect(slot);
}

otl::Connection MainApplicationModule::connectSettings(SettingsSlot const& slot) {
  return settingsSignal.connect(slot);
}

void MainApplicationModule::start() { startSignal.emit(); }

void MainApplicationModule::stop() { stopSignal.emit(); }

void MainApplicationModule::settings(std::shared_ptr<SettingsManager> store) {
  settingsSignal.emit(store);
}

}  // namespace ostrel::modules
