// newlineDelimit beside a plain copy of the same text: the sanitiser does one
// pass with one reservation, so it should stay within a small factor of a copy.
#include <ostrel/string_converter/string_converter.h>

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string sampleText(std::size_t size) {
  std::string text;
  text.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    text.push_back(i % 61 == 0 ? '\t' : i % 97 == 0 ? '\n' : static_cast<char>('a' + i % 26));
  }
  return text;
}

void BM_NewlineDelimit(benchmark::State& state) {
  std::string const text = sampleText(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(ostrel::string_converter::newlineDelimit(text));
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_StringCopyAnchor(benchmark::State& state) {
  std::string const text = sampleText(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::string copy(text);
    benchmark::DoNotOptimize(copy);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_NewlineDelimit)->Arg(64)->Arg(4096);
BENCHMARK(BM_StringCopyAnchor)->Arg(64)->Arg(4096);

}  // namespace
