#include "settings_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace ostrel::tarvio::detail {

namespace {

std::string_view trimmed(std::string_view text) {
  constexpr std::string_view space = " \t\r\n\f\v";
  std::size_t const first = text.find_first_not_of(space);
  if (first == std::string_view::npos) return {};
  std::size_t const last = text.find_last_not_of(space);
  return text.substr(first, last - first + 1);
}

/// `text` trimmed and without a leading '+', which std::from_chars refuses.
std::string_view numberBody(std::string_view text) {
  text = trimmed(text);
  if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') {
    text.remove_prefix(1);
  }
  return text;
}

template <typename T>
std::optional<T> parseWhole(std::string_view text) {
  T value{};
  char const* const end = text.data() + text.size();
  auto const [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || ptr != end) return std::nullopt;
  return value;
}

}  // namespace

std::optional<double> parseNumber(std::string_view text) {
  std::optional<double> const value = parseWhole<double>(numberBody(text));
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

std::optional<long long> parseInteger(std::string_view text) {
  return parseWhole<long long>(numberBody(text));
}

std::string formatNumber(double value) {
  char buffer[32];
  // Adding zero turns -0 into +0 and changes no other value.
  auto const result = std::to_chars(buffer, buffer + sizeof buffer, value + 0.0);
  return std::string(buffer, result.ptr);
}

std::string formatInteger(long long value) {
  char buffer[24];
  auto const result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace ostrel::tarvio::detail
