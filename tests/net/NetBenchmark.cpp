// Throughput of the frame codec against memcpy of the same payload, and of
// each codec's decompression.

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "net/CommMsg.h"
#include "net/Compress.h"

using namespace tovrik::net;

namespace {

std::vector<char> Frame(int payloadSize)
{
    std::vector<char> frame(static_cast<std::size_t>(kHeaderSize + payloadSize));
    MsgHeader h;
    h.MsgID = 1524;
    h.DataLen = static_cast<std::uint32_t>(payloadSize);
    h.SeqNo = 7;
    WriteMsgHeader(frame.data(), h);
    for (int i = 0; i < payloadSize; ++i) frame[static_cast<std::size_t>(kHeaderSize + i)] = static_cast<char>(i * 31 + 7);
    return frame;
}

std::vector<char> LobbyLikePayload(std::size_t n)
{
    std::vector<char> out;
    while (out.size() < n) {
        const std::string line = "ROOM " + std::to_string(out.size() % 977) + " title=stone fight lv" +
                                 std::to_string(out.size() % 19) + " users=2/2\n";
        out.insert(out.end(), line.begin(), line.end());
    }
    out.resize(n);
    return out;
}

void BM_Memcpy(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    std::vector<char> from(size, 'a');
    std::vector<char> to(size);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), size);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_EncodeDecode(benchmark::State& state)
{
    std::vector<char> frame = Frame(static_cast<int>(state.range(0)));
    const int len = static_cast<int>(frame.size());
    for (auto _ : state) {
        CCommMsg::EncodeAll(frame.data(), len);
        if (!CCommMsg::DecodeAll(frame.data(), len)) state.SkipWithError("check failed");
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void BM_Decompress(benchmark::State& state)
{
    const int id = static_cast<int>(state.range(0));
    const std::vector<char> source = LobbyLikePayload(60000);
    std::vector<char> packed(source.size() + 1024);
    int packedLen = static_cast<int>(packed.size());
    UtilCompress(id, packed.data(), &packedLen, source.data(), static_cast<int>(source.size()));
    std::vector<char> out(CCommMsg::kMaxDecompressedSize);
    for (auto _ : state) {
        int len = static_cast<int>(out.size());
        UtilDecompress(id, out.data(), &len, packed.data(), packedLen);
        if (len != static_cast<int>(source.size())) state.SkipWithError("round trip failed");
        benchmark::DoNotOptimize(out.data());
    }
    static const char* const names[] = {"", "LZW", "LZO", "QuickLZ", "zlib"};
    state.SetLabel(std::string(names[id]) + " ratio " + std::to_string(packedLen * 100 / 60000) + "%");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 60000);
}

}  // namespace

BENCHMARK(BM_Memcpy)->Arg(1024)->Arg(64 * 1024);
BENCHMARK(BM_EncodeDecode)->Arg(0)->Arg(1024)->Arg(64 * 1024);
BENCHMARK(BM_Decompress)->DenseRange(1, 4);
