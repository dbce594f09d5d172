#pragma once

#include <string>

#include <ostrel/string_converter/export.h>

namespace ostrel::string_converter {

/// Turns `text` into exactly one newline-terminated line: every tab (9),
/// line feed (10) and carriage return (13) is dropped, every other byte is
/// kept unchanged, and a single line feed is appended.
OSTREL_STRING_CONVERTER_EXPORT std::string newlineDelimit(std::string const& text);

}  // namespace ostrel::string_converter
