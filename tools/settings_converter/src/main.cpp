#include <exception>
#include <iostream>

#include "conversion_run.h"

int main(int argc, char** argv) {
  using ostrel::settings_converter::FAILURE_STATUS;
  // Anything the run does not report itself (from the processor's
  // constructor or setters, or an allocation failure) still ends the run
  // with a message and the failure status instead of an abort.
  try {
    return ostrel::settings_converter::runSettingsConverter(argc, argv, std::cout, std::cerr);
  } catch (std::exception const& error) {
    std::cerr << "Error: " << error.what() << std::endl;
  } catch (...) {
    std::cerr << "Error: unknown exception" << std::endl;
  }
  return FAILURE_STATUS;
}
