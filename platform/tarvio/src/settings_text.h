#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ostrel::tarvio::detail {

/// The finite number `text` spells in the classic locale, surrounding white
/// space aside (a leading '+' allowed); nothing when it is not one.
std::optional<double> parseNumber(std::string_view text);

/// The whole number `text` spells, surrounding white space aside (a leading
/// '+' allowed); nothing when it is not one.
std::optional<long long> parseInteger(std::string_view text);

/// `value` with the fewest digits that read back to exactly the same double,
/// independent of the locale; negative zero is written as "0".
std::string formatNumber(double value);

/// `value` in decimal.
std::string formatInteger(long long value);

}  // namespace ostrel::tarvio::detail
