#include <ostrel/core/ip_address_formatter.h>

#include <boost/asio/ip/address.hpp>
#include <boost/system/system_error.hpp>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using ostrel::ip_format::ConvertIP;
using namespace std::string_literals;

/// Reaches the IPv6 flag without probing, so tests can set it both ways.
struct FlagAccess : ConvertIP {
  using ConvertIP::v6_protocol_;
};

/// Sets the IPv6 flag for one test and puts the previous value back.
class V6Flag {
 public:
  explicit V6Flag(bool on) : previous_(FlagAccess::v6_protocol_.load()) {
    FlagAccess::v6_protocol_.store(on);
  }
  ~V6Flag() { FlagAccess::v6_protocol_.store(previous_); }
  V6Flag(V6Flag const&) = delete;
  V6Flag& operator=(V6Flag const&) = delete;

 private:
  bool previous_;
};

/// Whether the flag is on, seen through the one operation it changes.
bool v6FlagIsOn() { return ConvertIP::toIPv6WithOutBrackets("10.0.0.1") != "10.0.0.1"; }

/// The address `text` stands for, read by the parser alone.
boost::asio::ip::address addressOf(std::string const& text) {
  return boost::asio::ip::make_address(text);
}

struct TextCase {
  std::string input;
  std::string expected;
};

void PrintTo(TextCase const& c, std::ostream* out) { *out << '"' << c.input << '"'; }

// --- classification --------------------------------------------------------

struct KindCase {
  std::string input;
  bool v4;
  bool v6;
};

void PrintTo(KindCase const& c, std::ostream* out) { *out << '"' << c.input << '"'; }

class Classification : public ::testing::TestWithParam<KindCase> {};

TEST_P(Classification, TellsIPv4FromIPv6) {
  KindCase const& c = GetParam();
  EXPECT_EQ(ConvertIP::isIPv4(c.input), c.v4);
  EXPECT_EQ(ConvertIP::isIPv6(c.input), c.v6);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Classification,
    ::testing::Values(KindCase{"192.168.1.10", true, false}, KindCase{"::1", false, true},
                      KindCase{"::ffff:10.0.0.1", false, true},
                      KindCase{"FE80::1%eth0", false, true}, KindCase{"localhost", false, false},
                      KindCase{"[::1]", false, false}, KindCase{"10.0.0.1:8080", false, false},
                      KindCase{"", false, false}, KindCase{"1.2.3", false, false},
                      KindCase{"256.1.1.1", false, false},
                      KindCase{"10.0.0.1\0anything"s, false, false},
                      KindCase{"::1\0"s, false, false}));

// --- text that every parsing operation rejects -----------------------------

struct ParsingOperation {
  char const* name;
  std::string (*apply)(std::string const&);
};

void PrintTo(ParsingOperation const& op, std::ostream* out) { *out << op.name; }

class RejectsNonAddress
    : public ::testing::TestWithParam<std::tuple<ParsingOperation, std::string>> {};

TEST_P(RejectsNonAddress, ThrowsSystemError) {
  auto const& [operation, input] = GetParam();
  V6Flag const flag(true);
  EXPECT_THROW(operation.apply(input), boost::system::system_error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RejectsNonAddress,
    ::testing::Combine(
        ::testing::Values(
            ParsingOperation{"toIPv6WithOutBrackets", &ConvertIP::toIPv6WithOutBrackets},
            ParsingOperation{"toIPv6WithBrackets", &ConvertIP::toIPv6WithBrackets},
            ParsingOperation{"unoptimizeIPv6Address", &ConvertIP::unoptimizeIPv6Address},
            ParsingOperation{"simplifyIPv4Address", &ConvertIP::simplifyIPv4Address},
            ParsingOperation{"simplifyIPAddressFormat", &ConvertIP::simplifyIPAddressFormat}),
        ::testing::Values(""s, "host.example"s, "[::1]"s, "[::1]:8080"s, "10.0.0.1:8080"s,
                          "10.0.0.1\0anything"s, "2001:db8::1\0:2"s, "1:2:3:4:5:6:7:8:9"s, "%eth0"s,
                          " 10.0.0.1"s)));

// --- the IPv6 flag ---------------------------------------------------------

struct FlagCase {
  bool flag;
  std::string input;
  std::string withoutBrackets;
  std::string withBrackets;
};

void PrintTo(FlagCase const& c, std::ostream* out) {
  *out << '"' << c.input << "\" flag " << (c.flag ? "on" : "off");
}

class Rewriting : public ::testing::TestWithParam<FlagCase> {};

TEST_P(Rewriting, FollowsTheFlag) {
  FlagCase const& c = GetParam();
  V6Flag const flag(c.flag);
  EXPECT_EQ(ConvertIP::toIPv6WithOutBrackets(c.input), c.withoutBrackets);
  EXPECT_EQ(ConvertIP::toIPv6WithBrackets(c.input), c.withBrackets);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Rewriting,
    ::testing::Values(FlagCase{false, "10.0.0.1", "10.0.0.1", "10.0.0.1"},
                      FlagCase{true, "10.0.0.1", "::ffff:10.0.0.1", "[::ffff:10.0.0.1]"},
                      FlagCase{false, "::1", "::1", "[::1]"}, FlagCase{true, "::1", "::1", "[::1]"},
                      FlagCase{true, "2001:DB8:0::1", "2001:DB8:0::1", "[2001:DB8:0::1]"},
                      FlagCase{true, "fe80::1%eth0", "fe80::1%eth0", "[fe80::1%eth0]"}));

TEST(SetV6Protocol, ProbesThisHost) {
  int const probe = ::socket(AF_INET6, SOCK_STREAM, 0);
  bool const hostHasIPv6 = probe >= 0;
  if (probe >= 0) {
    ::close(probe);
  }
  V6Flag const restore(!hostHasIPv6);

  std::string error = "left alone";
  EXPECT_TRUE(ConvertIP::setV6Protocol(error));
  EXPECT_EQ(error, "left alone");
  EXPECT_EQ(v6FlagIsOn(), hostHasIPv6);
}

// With no descriptor left for the socket, the probe reports the failure and
// leaves the flag alone. Runs in a child process because it exhausts the
// descriptor table.
TEST(SetV6ProtocolDeathTest, ReportsFailureWhenNoSocketOpens) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer runtime needs free descriptors to check objects";
#endif
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto const probeWithoutDescriptors = [] {
    rlimit const limit{64, 64};
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) {
      std::_Exit(10);
    }
    std::vector<int> held;
    for (int fd = ::dup(0); fd >= 0; fd = ::dup(0)) {
      held.push_back(fd);
    }
    // Free one descriptor more each round until the I/O context can be made;
    // the socket then finds none left.
    for (int freed = 0; freed < 8 && !held.empty(); ++freed) {
      std::string error;
      bool result = true;
      {
        V6Flag const flag(true);
        try {
          result = ConvertIP::setV6Protocol(error);
        } catch (boost::system::system_error const&) {
          ::close(held.back());
          held.pop_back();
          continue;
        }
        if (!v6FlagIsOn()) {
          std::_Exit(11);
        }
      }
      // The socket is the one descriptor that could not be had.
      if (result || error != "Failed in open: " + std::string(std::strerror(EMFILE))) {
        std::fprintf(stderr, "result %d, error \"%s\"\n", result, error.c_str());
        std::_Exit(12);
      }
      std::_Exit(0);
    }
    std::_Exit(13);
  };
  EXPECT_EXIT(probeWithoutDescriptors(), ::testing::ExitedWithCode(0), "");
}

// --- expansion -------------------------------------------------------------

class Unoptimize : public ::testing::TestWithParam<TextCase> {};

TEST_P(Unoptimize, ExpandsToFourDigitGroups) {
  TextCase const& c = GetParam();
  std::string const expanded = ConvertIP::unoptimizeIPv6Address(c.input);
  EXPECT_EQ(expanded, c.expected);
  EXPECT_EQ(addressOf(expanded), addressOf(c.input)) << "the expansion must stand for the input";
}

INSTANTIATE_TEST_SUITE_P(
    Compressed, Unoptimize,
    ::testing::Values(TextCase{"2001:db8::1", "2001:0db8:0000:0000:0000:0000:0000:1"},
                      TextCase{"2001:db8:0:0:1:0:0:1", "2001:0db8:0000:0000:0001:0000:0000:1"},
                      TextCase{"::2:3", "0000:0000:0000:0000:0000:0000:0002:3"},
                      TextCase{"::2:3:4:5:6:7:8", "0000:0002:0003:0004:0005:0006:0007:8"},
                      TextCase{"1::", "0001:0000:0000:0000:0000:0000:0000:0000"},
                      TextCase{"1:2:3:4:5:6:7::", "0001:0002:0003:0004:0005:0006:0007:0000"},
                      TextCase{"::", "0000:0000:0000:0000:0000:0000:0000:0000"},
                      TextCase{"::2", "0000:0000:0000:0000:0000:0000:0000:2"},
                      TextCase{"2001:DB8::AbC", "2001:0DB8:0000:0000:0000:0000:0000:AbC"},
                      TextCase{"fec0::1", "fec0:0000:0000:0000:0000:0000:0000:1"}));

INSTANTIATE_TEST_SUITE_P(
    ZoneSuffix, Unoptimize,
    ::testing::Values(TextCase{"2001:db8::1%eth0", "2001:0db8:0000:0000:0000:0000:0000:1%eth0"},
                      TextCase{"1::%eth0", "0001:0000:0000:0000:0000:0000:0000:0000%eth0"},
                      TextCase{"2001:db8::1%a:b:c", "2001:0db8:0000:0000:0000:0000:0000:1%a:b:c"},
                      TextCase{"2001:db8::1%eth0.5",
                               "2001:0db8:0000:0000:0000:0000:0000:1%eth0.5"}));

INSTANTIATE_TEST_SUITE_P(
    DottedTail, Unoptimize,
    ::testing::Values(TextCase{"::1.2.3.4", "0000:0000:0000:0000:0000:0000:1.2.3.4"},
                      TextCase{"64:ff9b::192.0.2.1", "0064:ff9b:0000:0000:0000:0000:192.0.2.1"},
                      TextCase{"1::ffff:1.2.3.4", "0001:0000:0000:0000:0000:ffff:1.2.3.4"},
                      TextCase{"1:2:3:4:5::1.2.3.4", "0001:0002:0003:0004:0005:0000:1.2.3.4"}));

INSTANTIATE_TEST_SUITE_P(LeftAsWritten, Unoptimize,
                         ::testing::Values(TextCase{"::1", "::1"}, TextCase{"fe80::1", "fe80::1"},
                                           TextCase{"FEBF::1%eth0", "FEBF::1%eth0"},
                                           TextCase{"ff02::1", "ff02::1"},
                                           TextCase{"::ffff:10.0.0.1", "::ffff:10.0.0.1"},
                                           TextCase{"::ffff:a00:1", "::ffff:a00:1"},
                                           TextCase{"10.0.0.1", "10.0.0.1"}));

/// Address text with the groups of `groups`, the run [first, first + length)
/// written as "::" when length > 0 and the last two groups written as a dotted
/// IPv4 part when `dotted`.
std::string compose(std::vector<std::string> const& groups, std::size_t first, std::size_t length,
                    bool dotted) {
  std::size_t const hexGroups = dotted ? 6 : 8;
  std::string text;
  for (std::size_t i = 0; i < hexGroups; ++i) {
    bool const compressed = length > 0 && i >= first && i < first + length;
    if (compressed) {
      if (i == first) {
        text += i == 0 ? "::" : ":";
      }
      continue;
    }
    text += groups[i];
    if (i + 1 < hexGroups || dotted) {
      text += ':';
    }
  }
  if (dotted) {
    text += "192.0.2.33";
  }
  return text;
}

TEST(UnoptimizeProperty, EveryCompressionExpandsToTheSameAddress) {
  std::vector<std::string> const groups = {"a", "0", "bc", "0", "0", "DEF", "1234", "0"};
  int checked = 0;
  for (bool const dotted : {false, true}) {
    for (std::size_t first = 0; first < 8; ++first) {
      for (std::size_t length = 0; first + length <= (dotted ? 6u : 8u); ++length) {
        for (char const* zone : {"", "%en0.1"}) {
          std::string const text = compose(groups, first, length, dotted) + zone;
          if (!ConvertIP::isIPv6(text)) {
            continue;  // "::" standing for nothing, and the like
          }
          std::string const expanded = ConvertIP::unoptimizeIPv6Address(text);
          std::string const body = expanded.substr(0, expanded.find('%'));
          EXPECT_EQ(expanded.find("::"), std::string::npos) << text << " -> " << expanded;
          EXPECT_EQ(std::count(body.begin(), body.end(), ':'), dotted ? 6 : 7)
              << text << " -> " << expanded;
          ASSERT_TRUE(ConvertIP::isIPv6(expanded)) << text << " -> " << expanded;
          EXPECT_EQ(addressOf(expanded), addressOf(text)) << text << " -> " << expanded;
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 0);
}

// --- splitting -------------------------------------------------------------

struct SplitCase {
  std::string input;
  std::string address;
  std::string port;
};

void PrintTo(SplitCase const& c, std::ostream* out) { *out << '"' << c.input << '"'; }

class Split : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Split, SeparatesAddressAndPort) {
  SplitCase const& c = GetParam();
  EXPECT_EQ(ConvertIP::splitIPaddressFromString(c.input), c.address);
  EXPECT_EQ(ConvertIP::splitPortFromString(c.input), c.port);
}

INSTANTIATE_TEST_SUITE_P(
    WithPort, Split,
    ::testing::Values(SplitCase{"10.0.0.1:8080", "10.0.0.1", "8080"},
                      SplitCase{"::1:8080", "::1", "8080"},
                      SplitCase{"::ffff:10.0.0.1:8080", "::ffff:10.0.0.1", "8080"},
                      SplitCase{"2001:0db8:0000:0000:0000:0000:0000:0001:8080",
                                "2001:0db8:0000:0000:0000:0000:0000:0001", "8080"},
                      SplitCase{"1:2:3:4:5:6::8:443", "1:2:3:4:5:6::8", "443"},
                      SplitCase{"host:80", "host", "80"},
                      // The table reads a bare address ending in "::" as an
                      // address and an empty port, whatever the groups say.
                      SplitCase{"1:2:3:4:5:6:7::", "1:2:3:4:5:6:7:", ""},
                      SplitCase{"1:2:ffff::3", "1:2:ffff:", "3"}));

INSTANTIATE_TEST_SUITE_P(
    Unrecognised, Split,
    ::testing::Values(SplitCase{"10.0.0.1", "10.0.0.1", "undefined"},
                      SplitCase{"[::1]:8080", "[::1]:8080", "undefined"},
                      SplitCase{"[2001:db8::1]:8080", "[2001:db8::1]:8080", "undefined"},
                      SplitCase{"::2:3:4:5:6:7:8:80", "::2:3:4:5:6:7:8:80", "undefined"},
                      SplitCase{"::2:10.0.0.1:8080", "::2:10.0.0.1:8080", "undefined"},
                      SplitCase{"2001:db8::1", "2001:db8::1", "undefined"},
                      SplitCase{"::1", "::1", "undefined"}, SplitCase{"", "", "undefined"}));

// --- reduction of IPv4-mapped text -----------------------------------------

class SimplifyIPv4 : public ::testing::TestWithParam<TextCase> {};

TEST_P(SimplifyIPv4, ReducesMappedText) {
  TextCase const& c = GetParam();
  EXPECT_EQ(ConvertIP::simplifyIPv4Address(c.input), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SimplifyIPv4,
                         ::testing::Values(TextCase{"::ffff:10.0.0.1", "10.0.0.1"},
                                           TextCase{"0::FFFF:10.0.0.1", "0::FFFF:10.0.0.1"},
                                           TextCase{"::ffff:a00:1", "::ffff:a00:1"},
                                           TextCase{"1::ffff:2", "2"},
                                           TextCase{"1::ffff:1.2.3.4", "1.2.3.4"},
                                           TextCase{"::ffff:10.0.0.1%eth0", "10.0.0.1%eth0"},
                                           TextCase{"2001:db8::1", "2001:db8::1"},
                                           TextCase{"10.0.0.1", "10.0.0.1"}));

class SimplifyFormat : public ::testing::TestWithParam<TextCase> {};

TEST_P(SimplifyFormat, ExpandsThenReduces) {
  TextCase const& c = GetParam();
  EXPECT_EQ(ConvertIP::simplifyIPAddressFormat(c.input), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SimplifyFormat,
    ::testing::Values(TextCase{"::ffff:10.0.0.1", "10.0.0.1"},
                      TextCase{"2001:db8::1", "2001:0db8:0000:0000:0000:0000:0000:1"},
                      TextCase{"1::ffff:2", "0001:0000:0000:0000:0000:0000:ffff:2"},
                      TextCase{"::1.2.3.4", "0000:0000:0000:0000:0000:0000:1.2.3.4"},
                      TextCase{"64:ff9b::192.0.2.1", "0064:ff9b:0000:0000:0000:0000:192.0.2.1"},
                      TextCase{"1::%eth0", "0001:0000:0000:0000:0000:0000:0000:0000%eth0"},
                      TextCase{"10.0.0.1", "10.0.0.1"}));

// --- arbitrary text --------------------------------------------------------

/// Near-addresses: valid text with a few bytes replaced, inserted or removed.
std::vector<std::string> mutatedAddresses() {
  std::vector<std::string> const seeds = {"2001:db8::1",
                                          "::",
                                          "1::",
                                          "::ffff:10.0.0.1",
                                          "64:ff9b::192.0.2.1",
                                          "fe80::1%eth0",
                                          "10.0.0.1",
                                          "::1:8080",
                                          "[::1]:8080",
                                          "1:2:3:4:5:6:7:8:80",
                                          "::ffff:1.2.3.4%z",
                                          "1:2:3:4:5:6:7::"};
  std::string const alphabet = ":.%[]0123456789abcdefABCDEFghz \0\xff"s;
  std::mt19937 random(20240611u);
  std::vector<std::string> texts;
  for (int round = 0; round < 3000; ++round) {
    std::string text = seeds[random() % seeds.size()];
    for (int edits = 1 + static_cast<int>(random() % 3); edits > 0; --edits) {
      char const byte = alphabet[random() % alphabet.size()];
      std::size_t const at = text.empty() ? 0 : random() % (text.size() + 1);
      switch (random() % 3) {
        case 0:
          text.insert(at, 1, byte);
          break;
        case 1:
          if (at < text.size()) text[at] = byte;
          break;
        default:
          if (at < text.size()) text.erase(at, 1);
          break;
      }
    }
    texts.push_back(text);
  }
  return texts;
}

TEST(ArbitraryText, ExpansionStaysValidAndNothingElseEscapes) {
  V6Flag const flag(true);
  for (std::string const& text : mutatedAddresses()) {
    SCOPED_TRACE(text);
    ConvertIP::splitIPaddressFromString(text);
    ConvertIP::splitPortFromString(text);
    bool const parses = ConvertIP::isIPv4(text) || ConvertIP::isIPv6(text);
    try {
      std::string const expanded = ConvertIP::unoptimizeIPv6Address(text);
      EXPECT_TRUE(parses);
      EXPECT_EQ(addressOf(expanded), addressOf(text)) << expanded;
      ConvertIP::simplifyIPAddressFormat(text);
      ConvertIP::toIPv6WithBrackets(text);
      ConvertIP::toIPv6WithOutBrackets(text);
    } catch (boost::system::system_error const&) {
      EXPECT_FALSE(parses);
    }
  }
}

}  // namespace
