#pragma once

#include <atomic>
#include <string>

#include <ostrel/core/export.h>

namespace ostrel::ip_format {

/// Static string operations on IP addresses: classification, IPv4-mapped
/// rewriting, expansion of compressed IPv6 text and splitting of
/// address-colon-port text.
///
/// "Parsing" below accepts a bare IPv6 address (optionally with a "%" zone
/// suffix) or a strict dotted-decimal IPv4 address, nothing else: no host
/// names, brackets, ports, empty text or text containing a NUL character.
class OSTREL_CORE_EXPORT ConvertIP {
 public:
  ConvertIP() = delete;

  /// True when `address` parses as an IPv4 address; never throws.
  static bool isIPv4(std::string const& address);

  /// True when `address` parses as an IPv6 address; never throws.
  static bool isIPv6(std::string const& address);

  /// "::ffff:" + `address` for IPv4 text when the host can use IPv6,
  /// otherwise `address` unchanged.
  /// @throws boost::system::system_error when `address` does not parse.
  static std::string toIPv6WithOutBrackets(std::string const& address);

  /// "[" + `address` + "]" for IPv6 text; "[::ffff:" + `address` + "]" for
  /// IPv4 text when the host can use IPv6, otherwise `address` unchanged.
  /// @throws boost::system::system_error when `address` does not parse.
  static std::string toIPv6WithBrackets(std::string const& address);

  /// Compressed IPv6 text expanded to eight groups of at least four digits
  /// (the last group is copied as written; a dotted IPv4 tail stands for the
  /// last two groups; a zone suffix is kept). IPv4 text and IPv4-mapped,
  /// loopback, link-local and multicast IPv6 text come back unchanged.
  /// @throws boost::system::system_error when `address` does not parse.
  static std::string unoptimizeIPv6Address(std::string const& address);

  /// Probes IPv6 support by opening (and closing) a local TCP socket and sets
  /// the IPv6 flag from the outcome: true when an IPv6 socket opens, false
  /// when only an IPv4 one does. When neither opens, `error` receives
  /// "Failed in open: " and the system's reason, the flag is left as it was
  /// and the result is false. Nothing is bound or connected.
  /// @throws boost::system::system_error when the I/O context cannot be made.
  static bool setV6Protocol(std::string& error);

  /// The address half of address-colon-port text, or `text` unchanged when
  /// it does not have a recognised shape. The shapes, by the number of
  /// ':'-separated parts: 9 (eight groups, the first two non-empty, and a
  /// port), 2 (IPv4 and port), 5 with "ffff" third ("::ffff:a.b.c.d" and a
  /// port), 4 starting "::1" ("::1" and a port). Does not parse, never throws.
  static std::string splitIPaddressFromString(std::string const& text);

  /// The port half of address-colon-port text, or "undefined" when it does
  /// not have a recognised shape. Does not parse, never throws.
  static std::string splitPortFromString(std::string const& text);

  /// The IPv4 part of IPv4-mapped text such as "::ffff:a.b.c.d": for IPv6
  /// text that splits at ':' into exactly four parts whose third is "ffff"
  /// (lower case), the fourth part; otherwise `address` unchanged.
  /// @throws boost::system::system_error when `address` does not parse.
  static std::string simplifyIPv4Address(std::string const& address);

  /// `simplifyIPv4Address(unoptimizeIPv6Address(address))`.
  /// @throws boost::system::system_error when `address` does not parse.
  static std::string simplifyIPAddressFormat(std::string const& address);

 protected:
  /// True when the last successful probe could open an IPv6 socket; false
  /// when the library is loaded. Set at start-up by `setV6Protocol`; atomic
  /// so that a late probe on another thread is still safe to read.
  static std::atomic<bool> v6_protocol_;
};

}  // namespace ostrel::ip_format
