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
