// Address classification, expansion and splitting beside a bare
// boost::asio::ip::make_address of the same text: classification is one parse,
// expansion one parse plus a walk that builds one string, so both should stay
// within a small factor of the parse. Splitting does not parse at all.
#include <ostrel/core/ip_address_formatter.h>

#include <boost/asio/ip/address.hpp>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using ostrel::ip_format::ConvertIP;

void BM_MakeAddressAnchor(benchmark::State& state, std::string const& text) {
  boost::system::error_code error;
  for (auto _ : state) {
    benchmark::DoNotOptimize(boost::asio::ip::make_address(text, error));
  }
}

void BM_IsIPv4(benchmark::State& state, std::string const& text) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(ConvertIP::isIPv4(text));
  }
}

void BM_UnoptimizeIPv6Address(benchmark::State& state, std::string const& text) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(ConvertIP::unoptimizeIPv6Address(text));
  }
}

void BM_SplitIPaddressFromString(benchmark::State& state, std::string const& text) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(ConvertIP::splitIPaddressFromString(text));
  }
}

std::string const IPV4 = "192.168.1.10";
std::string const IPV6 = "2001:db8:85a3::8a2e:370:7334";
std::string const IPV4_WITH_PORT = "192.168.1.10:8080";
std::string const MAPPED_WITH_PORT = "::ffff:10.0.0.1:8080";

BENCHMARK_CAPTURE(BM_MakeAddressAnchor, ipv4, IPV4);
BENCHMARK_CAPTURE(BM_IsIPv4, ipv4, IPV4);
BENCHMARK_CAPTURE(BM_MakeAddressAnchor, ipv6, IPV6);
BENCHMARK_CAPTURE(BM_IsIPv4, ipv6, IPV6);
BENCHMARK_CAPTURE(BM_UnoptimizeIPv6Address, ipv6, IPV6);
BENCHMARK_CAPTURE(BM_SplitIPaddressFromString, ipv4_port, IPV4_WITH_PORT);
BENCHMARK_CAPTURE(BM_SplitIPaddressFromString, mapped_port, MAPPED_WITH_PORT);

}  // namespace
