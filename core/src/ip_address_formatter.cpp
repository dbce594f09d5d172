#include <ostrel/core/ip_address_formatter.h>

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/predicate.hpp>
#include <boost/algorithm/string/split.hpp>
#include <boost/asio/error.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/range/iterator_range.hpp>
#include <boost/system/system_error.hpp>

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

namespace ostrel::ip_format {

std::atomic<bool> ConvertIP::v6_protocol_{false};

namespace {

using Token = boost::iterator_range<std::string::const_iterator>;
using Tokens = std::vector<Token>;

constexpr std::size_t GROUP_COUNT = 8;
constexpr std::size_t GROUP_DIGITS = 4;
constexpr char const* NO_PORT = "undefined";

/// Parses `text` as a bare IPv6 or IPv4 address; `error` is set on failure.
boost::asio::ip::address parse(std::string const& text, boost::system::error_code& error) {
  // The parser stops at the first NUL, so "10.0.0.1\0junk" would pass as
  // 10.0.0.1: such text is not an address.
  if (text.find('\0') != std::string::npos) {
    error = boost::asio::error::invalid_argument;
    return {};
  }
  return boost::asio::ip::make_address(text, error);
}

boost::asio::ip::address parseOrThrow(std::string const& text) {
  boost::system::error_code error;
  boost::asio::ip::address const address = parse(text, error);
  if (error) {
    throw boost::system::system_error(error);
  }
  return address;
}

/// Every ':'-separated token of `text`, empty ones kept.
Tokens splitAtColons(std::string const& text) {
  Tokens tokens;
  // A plain predicate keeps the splitter's finder small enough to be stored
  // without a heap allocation, which is_any_of's character set is not.
  boost::algorithm::split(
      tokens, text, [](char c) { return c == ':'; }, boost::algorithm::token_compress_off);
  return tokens;
}

bool leftAsWritten(boost::asio::ip::address_v6 const& address) {
  return address.is_v4_mapped() || address.is_loopback() || address.is_link_local() ||
         address.is_multicast();
}

/// Appends `group` with '0' in front up to four digits, then ':'.
void appendPaddedGroup(std::string& result, std::string_view group) {
  if (group.size() < GROUP_DIGITS) {
    result.append(GROUP_DIGITS - group.size(), '0');
  }
  result.append(group);
  result.push_back(':');
}

/// Expands the address text `body` (no zone suffix) group by group.
std::string expandGroups(std::string_view body) {
  std::size_t const colons = static_cast<std::size_t>(std::count(body.begin(), body.end(), ':'));
  // A dotted IPv4 tail stands for the last two groups but holds no colon.
  std::size_t const written = colons + (body.find('.') != std::string_view::npos ? 1 : 0);
  // Groups that "::" stands for; a leading "::" adds one more for its second colon.
  std::size_t const fill = written < GROUP_COUNT ? GROUP_COUNT - written : 0;

  std::string result;
  result.reserve(GROUP_COUNT * (GROUP_DIGITS + 1) + body.size());
  bool expanded = false;
  std::string_view rest = body;
  while (!rest.empty()) {
    std::size_t const colon = rest.find(':');
    if (colon == std::string_view::npos) {
      // The last group (or dotted tail) is copied as written.
      result.append(rest);
      return result;
    }
    std::string_view const group = rest.substr(0, colon);
    if (group.empty()) {
      for (std::size_t i = expanded ? 1 : fill; i > 0; --i) {
        result.append("0000:");
      }
      expanded = true;
    } else {
      appendPaddedGroup(result, group);
    }
    rest.remove_prefix(colon + 1);
  }
  // The text ended in "::": complete eight groups and drop the last colon.
  for (std::size_t groups = static_cast<std::size_t>(std::count(result.begin(), result.end(), ':'));
       groups < GROUP_COUNT; ++groups) {
    result.append("0000:");
  }
  if (!result.empty()) {
    result.pop_back();
  }
  return result;
}

/// The address and port halves of address-colon-port text, when it has one of
/// the recognised shapes.
struct AddressAndPort {
  bool found = false;
  Token address;
  Token port;
};

AddressAndPort splitAddressAndPort(std::string const& text) {
  Tokens const t = splitAtColons(text);
  auto const halves = [&t](std::size_t lastAddressToken) {
    return AddressAndPort{true, Token(t.front().begin(), t[lastAddressToken].end()),
                          t[lastAddressToken + 1]};
  };
  switch (t.size()) {
    case 9:
      // Eight groups and a port.
      if (!t[0].empty() && !t[1].empty()) {
        return halves(7);
      }
      break;
    case 2:
      return halves(0);
    case 5:
      // "::ffff:a.b.c.d" and a port.
      if (boost::algorithm::equals(t[2], "ffff")) {
        return halves(3);
      }
      break;
    case 4:
      if (t[0].empty() && t[1].empty() && boost::algorithm::equals(t[2], "1")) {
        return halves(2);
      }
      break;
    default:
      break;
  }
  return {};
}

}  // namespace

bool ConvertIP::isIPv4(std::string const& address) {
  boost::system::error_code error;
  bool const v4 = parse(address, error).is_v4();
  return !error && v4;
}

bool ConvertIP::isIPv6(std::string const& address) {
  boost::system::error_code error;
  bool const v6 = parse(address, error).is_v6();
  return !error && v6;
}

std::string ConvertIP::toIPv6WithOutBrackets(std::string const& address) {
  if (parseOrThrow(address).is_v4() && v6_protocol_.load(std::memory_order_relaxed)) {
    return "::ffff:" + address;
  }
  return address;
}

std::string ConvertIP::toIPv6WithBrackets(std::string const& address) {
  if (parseOrThrow(address).is_v6()) {
    return "[" + address + "]";
  }
  if (v6_protocol_.load(std::memory_order_relaxed)) {
    return "[::ffff:" + address + "]";
  }
  return address;
}

std::string ConvertIP::unoptimizeIPv6Address(std::string const& address) {
  boost::asio::ip::address const parsed = parseOrThrow(address);
  if (parsed.is_v4() || leftAsWritten(parsed.to_v6())) {
    return address;
  }
  // The zone suffix is not part of the groups: expand the text before it and
  // put it back behind the last group.
  std::string_view const text(address);
  std::size_t const zone = std::min(text.find('%'), text.size());
  std::string expanded = expandGroups(text.substr(0, zone));
  expanded.append(text.substr(zone));
  return expanded;
}

bool ConvertIP::setV6Protocol(std::string& error) {
  boost::asio::io_context context;
  boost::asio::ip::tcp::socket socket(context);
  boost::system::error_code failure;
  boost::system::error_code ignored;

  socket.open(boost::asio::ip::tcp::v6(), failure);
  if (!failure) {
    socket.close(ignored);
    v6_protocol_.store(true, std::memory_order_relaxed);
    return true;
  }
  socket.open(boost::asio::ip::tcp::v4(), failure);
  if (!failure) {
    socket.close(ignored);
    v6_protocol_.store(false, std::memory_order_relaxed);
    return true;
  }
  error = "Failed in open: " + failure.message();
  return false;
}

std::string ConvertIP::splitIPaddressFromString(std::string const& text) {
  AddressAndPort const halves = splitAddressAndPort(text);
  return halves.found ? std::string(halves.address.begin(), halves.address.end()) : text;
}

std::string ConvertIP::splitPortFromString(std::string const& text) {
  AddressAndPort const halves = splitAddressAndPort(text);
  return halves.found ? std::string(halves.port.begin(), halves.port.end()) : NO_PORT;
}

std::string ConvertIP::simplifyIPv4Address(std::string const& address) {
  if (parseOrThrow(address).is_v4()) {
    return address;
  }
  Tokens const t = splitAtColons(address);
  if (t.size() == 4 && boost::algorithm::equals(t[2], "ffff")) {
    return std::string(t[3].begin(), t[3].end());
  }
  return address;
}

std::string ConvertIP::simplifyIPAddressFormat(std::string const& address) {
  return simplifyIPv4Address(unoptimizeIPv6Address(address));
}

}  // namespace ostrel::ip_format
