#include "net/QuickLZ.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "FrameHelpers.h"

using namespace tovrik::net;
using namespace tovrik::net::test;

namespace {

using U8 = std::vector<std::uint8_t>;

void PutLe(U8& out, std::uint32_t v, int n)
{
    for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Builds a stream item by item the way a QuickLZ compressor lays it out:
// a control word in front of every 31 items.
class StreamWriter {
public:
    void Literal(std::uint8_t b)
    {
        Reserve();
        m_Body.push_back(b);
        m_Control >>= 1;
    }
    void Match(std::uint32_t token, int tokenLen)
    {
        Reserve();
        PutLe(m_Body, token, tokenLen);
        m_Control = (m_Control >> 1) | (1u << 31);
    }
    // Header with the level given and the compressed flag; long form when asked.
    Bytes Finish(int level, std::uint32_t decompressedSize, bool longHeader)
    {
        Reserve();  // flushes a full word, or leaves a fresh one
        while (!(m_Control & 1)) m_Control >>= 1;
        Store();
        const int sizeBytes = longHeader ? 4 : 1;
        const auto total = static_cast<std::uint32_t>(2 * sizeBytes + 1 + m_Body.size());
        U8 out;
        out.push_back(static_cast<std::uint8_t>(0x40 | (level << 2) | (longHeader ? 2 : 0) | 1));
        PutLe(out, total, sizeBytes);
        PutLe(out, decompressedSize, sizeBytes);
        out.insert(out.end(), m_Body.begin(), m_Body.end());
        return Bytes(out.begin(), out.end());
    }

private:
    void Reserve()
    {
        if (m_ControlPos >= 0 && !(m_Control & 1)) return;
        if (m_ControlPos >= 0) Store();
        m_ControlPos = static_cast<int>(m_Body.size());
        PutLe(m_Body, 0, 4);
        m_Control = 1u << 31;
    }
    void Store()
    {
        const std::uint32_t word = (m_Control >> 1) | (1u << 31);
        for (int i = 0; i < 4; ++i) m_Body[static_cast<std::size_t>(m_ControlPos + i)] = static_cast<std::uint8_t>(word >> (8 * i));
    }

    U8 m_Body;
    int m_ControlPos = -1;
    std::uint32_t m_Control = 0;
};

// A level 3 encoder for test data: greedy matches found through a table of
// last positions, written in the shortest token form that holds them.
struct Level3Result {
    Bytes stream;
    std::array<int, 5> formCount{};
};

Level3Result EncodeLevel3(const Bytes& data)
{
    Level3Result r;
    StreamWriter w;
    std::vector<int> last(1 << 16, -1);
    const auto* in = reinterpret_cast<const std::uint8_t*>(data.data());
    const int size = static_cast<int>(data.size());
    int p = 0;
    while (p < size) {
        if (p + 3 <= size - 10) {
            const int key = in[p] | (in[p + 1] << 8);
            const int cand = last[static_cast<std::size_t>(key)];
            last[static_cast<std::size_t>(key)] = p;
            const int offset = p - cand;
            if (cand >= 0 && offset < 131071 && in[cand + 2] == in[p + 2]) {
                int len = 3;
                while (len < 255 && p + len < size - 10 && in[cand + len] == in[p + len]) ++len;
                const auto off = static_cast<std::uint32_t>(offset);
                const auto l = static_cast<std::uint32_t>(len);
                if (len == 3 && off <= 63) {
                    w.Match(off << 2, 1), ++r.formCount[0];
                } else if (len == 3 && off <= 16383) {
                    w.Match((off << 2) | 1, 2), ++r.formCount[1];
                } else if (len <= 18 && off <= 1023) {
                    w.Match(((l - 3) << 2) | (off << 6) | 2, 2), ++r.formCount[2];
                } else if (len <= 33) {
                    w.Match(((l - 2) << 2) | (off << 7) | 3, 3), ++r.formCount[3];
                } else {
                    w.Match(((l - 3) << 7) | (off << 15) | 3, 4), ++r.formCount[4];
                }
                p += len;
                continue;
            }
        }
        w.Literal(in[p++]);
    }
    r.stream = w.Finish(3, static_cast<std::uint32_t>(size), size >= 216);
    return r;
}

Bytes Decompress(const Bytes& stream, int capacity)
{
    QuickLZ q;
    Bytes out(static_cast<std::size_t>(capacity));
    const int n = q.Decompress(stream.data(), static_cast<int>(stream.size()), out.data(), capacity);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

Bytes Compress(const Bytes& data)
{
    QuickLZ q;
    Bytes out(data.size() + QuickLZ::kOutputOverhead);
    const int n = q.Compress(data.data(), static_cast<int>(data.size()), out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

Bytes MixedData(std::size_t n, std::uint32_t seed)
{
    // Small alphabet (short near matches), a far repeat of a random block
    // (long far matches) and a run.
    Bytes out = RandomBytes(n / 3, seed);
    for (char& c : out) c = static_cast<char>('a' + (static_cast<unsigned char>(c) & 3));
    const Bytes block = RandomBytes(n / 4, seed + 1);
    out.insert(out.end(), block.begin(), block.end());
    const Bytes filler = RandomBytes(n / 6, seed + 2);
    out.insert(out.end(), filler.begin(), filler.end());
    out.insert(out.end(), block.begin(), block.end());
    out.resize(n, 'r');
    return out;
}

}  // namespace

TEST(QuickLZ, ShortInputsUseTheThreeByteHeaderAndLongOnesTheNineByteHeader)
{
    for (int size : {1, 10, 215, 216, 5000}) {
        Bytes data(static_cast<std::size_t>(size), 'x');
        const Bytes stream = Compress(data);
        ASSERT_FALSE(stream.empty()) << size;
        const auto flags = static_cast<std::uint8_t>(stream[0]);
        EXPECT_EQ(flags & 0xC0, 0x40);
        EXPECT_EQ((flags >> 2) & 3, 1);
        const bool longHeader = flags & 2;
        EXPECT_EQ(longHeader, size >= 216) << size;
        const int sizeBytes = longHeader ? 4 : 1;
        std::uint32_t total = 0;
        std::uint32_t plain = 0;
        for (int i = 0; i < sizeBytes; ++i) {
            total |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(stream[static_cast<std::size_t>(1 + i)])) << (8 * i);
            plain |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(stream[static_cast<std::size_t>(1 + sizeBytes + i)])) << (8 * i);
        }
        EXPECT_EQ(total, stream.size());
        EXPECT_EQ(plain, static_cast<std::uint32_t>(size));
        EXPECT_EQ(QuickLZ::SizeDecompressed(stream.data(), static_cast<int>(stream.size())), size);
        EXPECT_EQ(Decompress(stream, size), data);
    }
}

TEST(QuickLZ, Level1RoundTripsMixedAndRandomData)
{
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        const Bytes data = seed % 2 ? MixedData(3000 * seed, seed) : RandomBytes(1000 * seed, seed);
        const Bytes stream = Compress(data);
        ASSERT_FALSE(stream.empty());
        if (seed % 2) {
            EXPECT_LT(stream.size(), data.size() * 3 / 4) << seed;
        }
        EXPECT_EQ(Decompress(stream, static_cast<int>(data.size())), data) << seed;
    }
}

TEST(QuickLZ, IncompressibleDataIsStoredPlain)
{
    const Bytes data = RandomBytes(1000, 44);
    const Bytes stream = Compress(data);
    ASSERT_EQ(stream.size(), data.size() + 9);
    EXPECT_EQ(stream[0] & 1, 0);
    EXPECT_EQ(Bytes(stream.begin() + 9, stream.end()), data);
    EXPECT_EQ(Decompress(stream, 1000), data);
}

TEST(QuickLZ, Level1TokensNameHashSlotsOfEarlierItemStarts)
{
    // "abcabc" + ten literals: the match at 3 names the slot of "abc" at 0.
    StreamWriter w;
    for (char c : std::string("abc")) w.Literal(static_cast<std::uint8_t>(c));
    const std::uint32_t v = 'a' | ('b' << 8) | ('c' << 16);
    const std::uint32_t slot = ((v >> 12) ^ v) & 0xFFF;
    w.Match((slot << 4) | (3 - 2), 2);
    // A long match in the 3-byte form: "abcabc" again (distance 6 via slot
    // of position 3? position 3 is a match start, so the slot holds 3).
    w.Match((slot << 4) | (20u << 16), 3);
    for (int i = 0; i < 10; ++i) w.Literal('z');
    const Bytes stream = w.Finish(1, 36, false);
    const Bytes out = Decompress(stream, 100);
    EXPECT_EQ(std::string(out.begin(), out.end()), std::string("abcabc") + "abcabcabcabcabcabcab" + std::string(10, 'z'));
}

TEST(QuickLZ, Level3DecodesEveryTokenForm)
{
    const Bytes data = MixedData(60000, 7);
    const Level3Result r = EncodeLevel3(data);
    for (int form = 0; form < 5; ++form) EXPECT_GT(r.formCount[static_cast<std::size_t>(form)], 0) << "form " << form;
    EXPECT_EQ(Decompress(r.stream, 60000), data);
}

TEST(QuickLZ, CorruptStreamsAreRejected)
{
    const Bytes data = MixedData(4000, 3);
    const Bytes good1 = Compress(data);
    const Bytes good3 = EncodeLevel3(data).stream;
    ASSERT_EQ(Decompress(good1, 4000), data);
    ASSERT_EQ(Decompress(good3, 4000), data);

    auto withSizes = [](Bytes s, std::uint32_t total, std::uint32_t plain) {
        for (int i = 0; i < 4; ++i) {
            s[static_cast<std::size_t>(1 + i)] = static_cast<char>(total >> (8 * i));
            s[static_cast<std::size_t>(5 + i)] = static_cast<char>(plain >> (8 * i));
        }
        return s;
    };
    for (const Bytes& good : {good1, good3}) {
        const auto total = static_cast<std::uint32_t>(good.size());
        struct Case {
            const char* name;
            Bytes stream;
            int capacity;
        };
        Bytes badFlags = good;
        badFlags[0] = static_cast<char>(good[0] | 0x80);
        Bytes streaming = good;
        streaming[0] = static_cast<char>(good[0] | 0x10);
        Bytes level2 = good;
        level2[0] = static_cast<char>((good[0] & ~0x0C) | 0x08);
        const Case cases[] = {
            {"empty", {}, 4000},
            {"header only", Bytes(good.begin(), good.begin() + 9), 4000},
            {"truncated by one", Bytes(good.begin(), good.end() - 1), 4000},
            {"truncated to half", Bytes(good.begin(), good.begin() + static_cast<long>(good.size() / 2)), 4000},
            {"compressed size beyond input", withSizes(good, total + 1, 4000), 4000},
            {"compressed size inside header", withSizes(good, 5, 4000), 4000},
            {"output larger than capacity", good, 3999},
            {"declares more than it holds", withSizes(good, total, 4001), 5000},
            {"declares less than it holds", withSizes(good, total, 3000), 5000},
            {"declares a huge size", withSizes(good, total, 0xFFFFFFFF), 5000},
            {"declares nothing", withSizes(good, total, 0), 5000},
            {"bits 7-6 wrong", badFlags, 4000},
            {"streaming buffer", streaming, 4000},
            {"level 2", level2, 4000},
        };
        for (const Case& c : cases) EXPECT_TRUE(Decompress(c.stream, c.capacity).empty()) << c.name;
    }
}

TEST(QuickLZ, MatchesBeforeTheStartOfTheOutputAreRejected)
{
    StreamWriter w1;
    w1.Match((0x123u << 4) | 1, 2);  // level 1: a slot nothing was entered in
    for (int i = 0; i < 10; ++i) w1.Literal('x');
    EXPECT_TRUE(Decompress(w1.Finish(1, 13, false), 100).empty());

    StreamWriter w3;
    for (char c : std::string("ab")) w3.Literal(static_cast<std::uint8_t>(c));
    w3.Match(3u << 2, 1);  // level 3: three back from position 2
    for (int i = 0; i < 10; ++i) w3.Literal('x');
    EXPECT_TRUE(Decompress(w3.Finish(3, 15, false), 100).empty());
}

TEST(QuickLZ, RandomGarbageNeverCrashes)
{
    QuickLZ q;
    Bytes out(2000);
    for (std::uint32_t seed = 0; seed < 2000; ++seed) {
        Bytes garbage = RandomBytes(5 + seed % 300, seed);
        // Mostly valid headers, so that the token decoders get exercised.
        garbage[0] = static_cast<char>(0x40 | (seed % 2 ? 0x0C : 0x04) | 1 | (seed % 3 == 0 ? 2 : 0));
        const int n = q.Decompress(garbage.data(), static_cast<int>(garbage.size()), out.data(), static_cast<int>(out.size()));
        EXPECT_LE(n, static_cast<int>(out.size()));
    }
}
