#pragma once

#include <ostream>

namespace ostrel::settings_converter {

/// Exit status of every failed run.
inline constexpr int FAILURE_STATUS = 255;

/// One run of the settings converter over the command line `argv`: options,
/// input files, conversion, output file. Progress goes to `out`, diagnostics
/// to `err`. Returns 0 on success (help included) and FAILURE_STATUS on any
/// failure it reports; exceptions it does not report propagate.
int runSettingsConverter(int argc, char const* const* argv, std::ostream& out, std::ostream& err);

}  // namespace ostrel::settings_converter
