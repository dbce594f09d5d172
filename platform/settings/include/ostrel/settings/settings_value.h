#pragma once

#include <boost/property_tree/exceptions.hpp>

#include <charconv>
#include <limits>
#include <locale>
#include <sstream>
#include <string>
#include <system_error>
#include <type_traits>

namespace ostrel::settings_detail {

template <typename T>
constexpr bool isCharacterType =
    std::is_same_v<T, char> || std::is_same_v<T, signed char> || std::is_same_v<T, unsigned char> ||
    std::is_same_v<T, wchar_t> || std::is_same_v<T, char16_t> || std::is_same_v<T, char32_t>;

template <typename T>
constexpr bool isSettingsValue = std::is_same_v<T, std::string> || std::is_same_v<T, bool> ||
                                 (std::is_arithmetic_v<T> && !isCharacterType<T>);

template <typename T>
char const* typeName() {
  if constexpr (std::is_same_v<T, bool>)
    return "bool";
  else if constexpr (std::is_same_v<T, float>)
    return "float";
  else if constexpr (std::is_same_v<T, double>)
    return "double";
  else if constexpr (std::is_same_v<T, long double>)
    return "long double";
  else if constexpr (std::is_signed_v<T>)
    return "signed integer";
  else
    return "unsigned integer";
}

[[noreturn]] inline void throwBadData(std::string const& text, char const* type) {
  throw boost::property_tree::ptree_bad_data(
      std::string("conversion of data to type \"") + type + "\" failed", text);
}

/// Reads a settings value from its text. Numbers are read in the classic
/// locale, so files read the same whatever global locale the program set; the
/// whole text, surrounding white space aside, must be a number.
/// @throws boost::property_tree::ptree_bad_data when the text is not a value of T.
template <typename T>
T fromText(std::string const& text) {
  static_assert(isSettingsValue<T>, "settings values are text, bool and non-character numbers");
  if constexpr (std::is_same_v<T, std::string>) {
    return text;
  } else if constexpr (std::is_same_v<T, bool>) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    std::string word;
    in >> word;
    if (!in.eof()) in >> std::ws;
    if (in.eof() && (word == "true" || word == "1")) return true;
    if (in.eof() && (word == "false" || word == "0")) return false;
    throwBadData(text, typeName<T>());
  } else {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    in >> std::ws;
    // Streams accept "-1" for unsigned types and wrap it around.
    if constexpr (std::is_unsigned_v<T>) {
      if (in.peek() == '-') throwBadData(text, typeName<T>());
    }
    T value{};
    in >> value;
    // At the end of the text `std::ws` would set failbit, so skip it there.
    if (!in.fail() && !in.eof()) in >> std::ws;
    if (in.fail() || !in.eof()) throwBadData(text, typeName<T>());
    return value;
  }
}

/// Writes a settings value as text: numbers in the classic locale, floating
/// point with the fewest digits that read back to exactly the same value.
template <typename T>
std::string toText(T const& value) {
  static_assert(isSettingsValue<T>, "settings values are text, bool and non-character numbers");
  if constexpr (std::is_same_v<T, std::string>) {
    return value;
  } else if constexpr (std::is_same_v<T, bool>) {
    return value ? "true" : "false";
  } else {
    char buffer[64];
    auto const result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
  }
}

}  // namespace ostrel::settings_detail
