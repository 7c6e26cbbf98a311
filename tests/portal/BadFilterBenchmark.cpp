// Masking one chat line with the shipped word list, as the client does for
// every line it shows.

#include "portal/BadFilterLoader.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>

using namespace tovrik::portal;

namespace {

// Code page 949 text: "안녕하세요 반갑습니다 " and a Latin phrase, repeated.
std::string ChatLine(bool withWord) {
  std::string line;
  const std::string korean = "\xbe\xc8\xb3\xe7\xc7\xcf\xbc\xbc\xbf\xe4 \xb9\xdd\xb0\xa9\xbd\xc0\xb4\xcf\xb4\xd9 ";
  while (line.size() < 200) line += korean + "good game ";
  if (withWord) line.replace(100, 4, "FUCK");
  return line;
}

void BM_FilterChatLine(benchmark::State& state) {
  CBadFilterLoader filter;
  if (filter.InitFilter(TOVRIK_RUNTIME_DIR "/Common") != BADFILTER_OK) {
    state.SkipWithError("word filter not installed");
    return;
  }
  std::string line = ChatLine(state.range(0) != 0);
  std::array<char, 512> out{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(filter.IsBadToRep(line, out, '*'));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(line.size()));
}
BENCHMARK(BM_FilterChatLine)->Arg(0)->Arg(1);

}  // namespace
