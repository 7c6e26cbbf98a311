#include "net/Compress.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "FrameHelpers.h"
#include "net/CompressPools.h"
#include "net/LZW.h"

using namespace tovrik::net;
using namespace tovrik::net::test;

namespace {

constexpr int kCapacity = 102399;

Bytes CompressWith(int id, const Bytes& source)
{
    Bytes out(source.size() * 2 + 1024);
    int len = static_cast<int>(out.size());
    UtilCompress(id, out.data(), &len, source.data(), static_cast<int>(source.size()));
    out.resize(static_cast<std::size_t>(len));
    return out;
}

Bytes DecompressWith(int id, const Bytes& packed, int capacity = kCapacity)
{
    Bytes out(static_cast<std::size_t>(capacity));
    int len = capacity;
    UtilDecompress(id, out.data(), &len, packed.data(), static_cast<int>(packed.size()));
    out.resize(static_cast<std::size_t>(len));
    return out;
}

}  // namespace

TEST(LZW, SingleByteIsFourBytesAndComesBack)
{
    CLZW lzw;
    const char source = 'Q';
    char packed[16];
    ASSERT_EQ(lzw.Compress(&source, 1, packed, sizeof packed), 4);
    // 'Q' (0x051), end code 0xFFF, then the top 8 bits of code 0.
    const unsigned char expected[4] = {0x05, 0x1F, 0xFF, 0x00};
    EXPECT_EQ(std::memcmp(packed, expected, 4), 0);
    char back[8] = {};
    ASSERT_EQ(lzw.Decompress(packed, 4, back, sizeof back), 1);
    EXPECT_EQ(back[0], 'Q');
}

TEST(LZW, TenThousandEqualBytesRoundTrip)
{
    const Bytes source(10000, 'z');
    const Bytes packed = CompressWith(1, source);
    ASSERT_GT(packed.size(), 0u);
    EXPECT_LT(packed.size(), 500u);
    EXPECT_EQ(DecompressWith(1, packed), source);
}

TEST(LZW, KeepsWorkingWithAFullDictionary)
{
    // Random bytes create a new string at almost every step: far more than the
    // 3839 entries the dictionary holds.
    const Bytes source = RandomBytes(60000, 12);
    const Bytes packed = CompressWith(1, source);
    ASSERT_GT(packed.size(), 0u);
    EXPECT_EQ(DecompressWith(1, packed), source);
}

TEST(LZW, OutputThatWouldNotFitFailsWithLengthZero)
{
    const Bytes source = RandomBytes(2000, 13);
    const Bytes packed = CompressWith(1, source);
    EXPECT_TRUE(DecompressWith(1, packed, 1999).empty());
    CLZW lzw;
    char small[10];
    EXPECT_EQ(lzw.Compress(source.data(), 2000, small, sizeof small), 0);
    EXPECT_EQ(lzw.Compress(source.data(), 0, small, sizeof small), 0);
}

TEST(CompressPool, AThirdLzwObjectDoublesThePool)
{
    const int before = g_CLZWPool.GetCapacity();
    ASSERT_EQ(before, 2);
    CCompress* a = GetCompress(1);
    CCompress* b = GetCompress(10);
    CCompress* c = GetCompress(1);
    ASSERT_TRUE(a && b && c);
    EXPECT_NE(a, b);
    EXPECT_NE(b, c);
    EXPECT_EQ(g_CLZWPool.GetCapacity(), 4);
    FreeCompress(1, a);
    FreeCompress(1, b);
    FreeCompress(1, c);
    EXPECT_EQ(GetCompress(5), nullptr);
    EXPECT_EQ(GetCompress(0), nullptr);
}

namespace {

Bytes Structured(std::size_t n)
{
    Bytes out;
    while (out.size() < n) {
        const std::string line = "USER " + std::to_string(out.size() % 977) + " 한 초 level=" + std::to_string(out.size() % 13) + "\n";
        out.insert(out.end(), line.begin(), line.end());
    }
    out.resize(n);
    return out;
}

}  // namespace

class EveryCodec : public ::testing::TestWithParam<int> {};

TEST_P(EveryCodec, RoundTripsRandomAndStructuredInputs)
{
    const int id = GetParam();
    const std::vector<Bytes> inputs = {Bytes(1, 'a'),   Bytes(10000, 0),        RandomBytes(100, 1),
                                       RandomBytes(20000, 2), Structured(300), Structured(100000)};
    for (const Bytes& input : inputs) {
        const Bytes packed = CompressWith(id, input);
        ASSERT_GT(packed.size(), 0u) << input.size();
        EXPECT_EQ(DecompressWith(id, packed), input) << "codec " << id << " size " << input.size();
    }
}

TEST_P(EveryCodec, CorruptInputsAreRejectedWithoutCrashing)
{
    const int id = GetParam();
    const Bytes input = Structured(3000);
    const Bytes packed = CompressWith(id, input);
    ASSERT_GT(packed.size(), 8u);

    // Inputs every codec must refuse outright.
    struct Case {
        const char* name;
        Bytes data;
        int capacity;
    };
    const Case refused[] = {
        {"empty", {}, kCapacity},
        {"output one byte short", packed, 2999},
    };
    for (const Case& c : refused) EXPECT_TRUE(DecompressWith(id, c.data, c.capacity).empty()) << c.name;

    // Truncated streams: refused by the codecs that know their length; the
    // LZW stream has no end marker check, so it only has to stay in bounds.
    for (std::size_t keep : {packed.size() / 2, packed.size() - 1, std::size_t{3}}) {
        const Bytes cut(packed.begin(), packed.begin() + static_cast<long>(keep));
        const Bytes out = DecompressWith(id, cut, 3000);
        if (id != 1) {
            EXPECT_TRUE(out.empty()) << "kept " << keep;
        }
        EXPECT_LE(out.size(), 3000u);
    }

    // Flipped and random bytes: anything but a crash or an overrun.
    for (std::uint32_t seed = 0; seed < 300; ++seed) {
        Bytes bent = packed;
        std::mt19937 rng(seed);
        for (int k = 0; k < 3; ++k) bent[rng() % bent.size()] = static_cast<char>(rng());
        EXPECT_LE(DecompressWith(id, bent, 3000).size(), 3000u);
        EXPECT_LE(DecompressWith(id, RandomBytes(1 + seed % 200, seed), 3000).size(), 3000u);
    }
}

INSTANTIATE_TEST_SUITE_P(Ids, EveryCodec, ::testing::Values(1, 2, 3, 4));

TEST(LZW, TheLongestPossiblePrefixChainFitsTheDecodeStack)
{
    // On a run every new code extends the previous string by one byte, so
    // the chains grow as long as the dictionary allows (3839 entries below
    // the 4000-byte stack).
    const Bytes run(3839 * 3840 / 2 + 100, 'r');
    const Bytes packed = CompressWith(1, run);
    ASSERT_GT(packed.size(), 0u);
    Bytes out(run.size() + 10);
    int len = static_cast<int>(out.size());
    UtilDecompress(1, out.data(), &len, packed.data(), static_cast<int>(packed.size()));
    EXPECT_EQ(len, static_cast<int>(run.size()));
}
