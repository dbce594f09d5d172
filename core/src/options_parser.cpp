#include <ostrel/core/options_parser.h>

namespace ostrel::modules {

OptionsParser::InvalidInputError::InvalidInputError(char const* text)
    : message_(std::string("Invalid input : ") + (text != nullptr ? text : "")) {}

char const* OptionsParser::InvalidInputError::what() const noexcept { return message_.c_str(); }

OptionsParser::~OptionsParser() = default;

}  // namespace ostrel::modules
