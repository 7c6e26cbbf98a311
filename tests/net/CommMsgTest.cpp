#include "net/CommMsg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "FrameHelpers.h"
#include "net/Compress.h"
#include "net/HashTable.h"
#include "net/MsgBuffer.h"

using namespace tovrik::net;
using namespace tovrik::net::test;

namespace {

int T(std::uint16_t seq, int x)
{
    return HashByte(seq, x);
}

bool Decode(Bytes& frame)
{
    return CCommMsg::DecodeAll(frame.data(), static_cast<int>(frame.size()));
}

}  // namespace

TEST(CommMsgBuild, SetHeaderStartsAPlainEmptyFrame)
{
    CCommMsg msg;
    ASSERT_TRUE(msg.SetHeader(1234));
    EXPECT_EQ(msg.GetTotalSize(), kHeaderSize);
    const MsgHeader h = msg.GetHeaderFields();
    EXPECT_EQ(std::memcmp(h.Signature, "TK", 2), 0);
    EXPECT_EQ(h.MsgID, 1234);
    EXPECT_EQ(h.DataLen, 0u);
    EXPECT_EQ(h.EncodeState, kStatePlain);
    EXPECT_EQ(h.CompressType, 0);
}

TEST(CommMsgBuild, PushDataAppendsPartsAndPointsAtThemInsideTheFrame)
{
    CCommMsg msg;
    ASSERT_TRUE(msg.SetHeader(7));
    const int number = 0x11223344;
    const char text[] = "hello";
    int* pNumber = nullptr;
    char* pText = nullptr;
    msg.PushData(&pNumber, &number, sizeof number);
    msg.PushData(&pText, text, 5);

    EXPECT_EQ(msg.GetTotalSize(), kHeaderSize + 9);
    EXPECT_EQ(msg.GetHeaderFields().DataLen, 9u);
    EXPECT_EQ(reinterpret_cast<char*>(pNumber), msg.GetData() + kHeaderSize);
    EXPECT_EQ(pText, msg.GetData() + kHeaderSize + 4);
    EXPECT_EQ(std::memcmp(pText, "hello", 5), 0);
}

TEST(CommMsgBuild, EmptyOrNullPartsAppendNothingAndYieldNull)
{
    CCommMsg msg;
    ASSERT_TRUE(msg.SetHeader(7));
    const char byte = 'x';
    char* part = &const_cast<char&>(byte);
    msg.PushData(&part, &byte, 0);
    EXPECT_EQ(part, nullptr);
    part = &const_cast<char&>(byte);
    msg.PushData(&part, nullptr, 4);
    EXPECT_EQ(part, nullptr);
    part = &const_cast<char&>(byte);
    msg.PushData(&part, &byte, -3);
    EXPECT_EQ(part, nullptr);
    EXPECT_EQ(msg.GetTotalSize(), kHeaderSize);
    EXPECT_EQ(msg.GetHeaderFields().DataLen, 0u);
}

TEST(CommMsgBuild, AFrameLargerThanAFreshUnitKeepsEveryByte)
{
    const Bytes first = RandomBytes(15000, 1);
    const Bytes second = RandomBytes(9000, 2);
    CCommMsg msg;
    ASSERT_TRUE(msg.SetHeader(3));
    char* p1 = nullptr;
    char* p2 = nullptr;
    msg.PushData(&p1, first.data(), static_cast<int>(first.size()));
    msg.PushData(&p2, second.data(), static_cast<int>(second.size()));
    ASSERT_EQ(msg.GetTotalSize(), kHeaderSize + 24000);
    EXPECT_EQ(std::memcmp(msg.GetData() + kHeaderSize, first.data(), first.size()), 0);
    EXPECT_EQ(std::memcmp(p2, second.data(), second.size()), 0);
}

TEST(CommMsgBuild, SetHeaderFailsWhenEveryUnitIsInUse)
{
    std::vector<CBufferUnit*> taken;
    while (CBufferUnit* unit = s_MsgBuf.GetFreeBuf()) taken.push_back(unit);
    CCommMsg msg;
    EXPECT_FALSE(msg.SetHeader(1));
    EXPECT_EQ(msg.GetTotalSize(), 0);
    for (CBufferUnit* unit : taken) unit->SetFree();
    EXPECT_TRUE(msg.SetHeader(1));
}

TEST(CommMsgBuild, DestroyGivesTheUnitBack)
{
    const int before = s_MsgBuf.CountInUse();
    {
        CCommMsg msg;
        ASSERT_TRUE(msg.SetHeader(1));
        EXPECT_EQ(s_MsgBuf.CountInUse(), before + 1);
        ASSERT_TRUE(msg.SetHeader(2));  // a second header reuses, not leaks
        EXPECT_EQ(s_MsgBuf.CountInUse(), before + 1);
    }
    EXPECT_EQ(s_MsgBuf.CountInUse(), before);
}

// --- Scrambling ---------------------------------------------------------------

class ScrambleRoundTrip : public ::testing::TestWithParam<std::tuple<std::uint16_t, std::int16_t, int>> {};

TEST_P(ScrambleRoundTrip, DecodeRestoresWhatEncodeScrambled)
{
    const auto [seq, id, size] = GetParam();
    const Bytes payload = RandomBytes(static_cast<std::size_t>(size), seq * 31u + static_cast<unsigned>(size));
    const Bytes plain = PlainFrame(id, payload, seq);
    Bytes frame = plain;
    ASSERT_TRUE(CCommMsg::EncodeAll(frame.data(), static_cast<int>(frame.size())));
    EXPECT_EQ(static_cast<std::uint8_t>(frame[kOffEncodeState]), kStateScrambled);
    EXPECT_EQ(ReadU16(frame.data() + kOffMsgID), static_cast<std::uint16_t>(id + T(seq, 0)));
    if (size > 64) {
        EXPECT_NE(std::memcmp(frame.data() + kHeaderSize, payload.data(), payload.size()), 0);
    }

    ASSERT_TRUE(Decode(frame));
    const MsgHeader h = ReadMsgHeader(frame.data());
    EXPECT_EQ(h.MsgID, id);
    EXPECT_EQ(h.EncodeState, kStatePlain);
    EXPECT_EQ(Bytes(frame.begin() + kHeaderSize, frame.end()), payload);
}

INSTANTIATE_TEST_SUITE_P(
    SeqIdSize, ScrambleRoundTrip,
    ::testing::Values(std::make_tuple(std::uint16_t{1}, std::int16_t{100}, 0),
                      std::make_tuple(std::uint16_t{2}, std::int16_t{100}, 1),
                      std::make_tuple(std::uint16_t{255}, std::int16_t{-5}, 15),
                      std::make_tuple(std::uint16_t{256}, std::int16_t{32767}, 17),
                      std::make_tuple(std::uint16_t{65535}, std::int16_t{4000}, 1000),
                      // Large payloads push the check value past both size tags.
                      std::make_tuple(std::uint16_t{77}, std::int16_t{12}, 3000),
                      std::make_tuple(std::uint16_t{78}, std::int16_t{12}, 70000)));

TEST(CommMsgScramble, EmptyPayloadCheckDependsOnlyOnTableSequenceAndId)
{
    for (std::uint16_t seq : {1, 2, 200, 4097}) {
        const std::int16_t id = 501;
        Bytes frame = ScrambledFrame(id, {}, seq);
        ASSERT_EQ(frame.size(), static_cast<std::size_t>(kHeaderSize));
        std::uint32_t c = static_cast<std::uint32_t>((T(seq, 0) & 0x7F) + (T(seq, 0x1F) & 0x7F) + id);
        c += static_cast<std::uint32_t>(((T(seq, 0) & 0xF) << 24) + ((T(seq, 1) & 0xF) << 20) + ((T(seq, 3) & 0xF) << 16));
        EXPECT_EQ(ReadU32(frame.data() + kOffCheckCode), c * 16 + 0xF) << "seq " << seq;
        EXPECT_TRUE(Decode(frame));
        EXPECT_EQ(ReadU32(frame.data() + kOffCheckCode), c & 0xFFFF);
    }
}

TEST(CommMsgScramble, EncodingTwiceChangesNothing)
{
    Bytes once = ScrambledFrame(42, RandomBytes(300, 9), 5);
    Bytes twice = once;
    EXPECT_TRUE(CCommMsg::EncodeAll(twice.data(), static_cast<int>(twice.size())));
    EXPECT_EQ(once, twice);
}

TEST(CommMsgScramble, DecodeRefusesPlainFramesAndLyingLengthsWithoutTouchingThem)
{
    Bytes plain = PlainFrame(42, RandomBytes(50, 3));
    const Bytes plainCopy = plain;
    EXPECT_FALSE(Decode(plain));
    EXPECT_EQ(plain, plainCopy);

    Bytes scrambled = ScrambledFrame(42, RandomBytes(50, 3));
    const Bytes scrambledCopy = scrambled;
    EXPECT_FALSE(CCommMsg::DecodeAll(scrambled.data(), static_cast<int>(scrambled.size()) - 1));
    EXPECT_FALSE(CCommMsg::DecodeAll(scrambled.data(), kHeaderSize - 1));
    EXPECT_FALSE(CCommMsg::DecodeAll(nullptr, 100));
    EXPECT_EQ(scrambled, scrambledCopy);
}

TEST(CommMsgScramble, ChangedIdFailsTheCheck)
{
    const Bytes good = ScrambledFrame(42, RandomBytes(64, 4), 9);
    for (int delta : {1, -1, 256, 0x4000}) {
        Bytes frame = good;
        WriteU16(frame.data() + kOffMsgID, static_cast<std::uint16_t>(ReadU16(frame.data() + kOffMsgID) + delta));
        EXPECT_FALSE(Decode(frame)) << delta;
    }
}

// The check adds (byte AND 0x5F): a flip of bits 0-4 or 6 of a scrambled byte
// always changes the sum; bit 7 never reaches it, and bit 5 only through a
// carry. This pins the real strength of the check.
TEST(CommMsgScramble, PayloadBitFlipsFailExceptWhereTheCheckCannotSeeThem)
{
    const Bytes good = ScrambledFrame(42, RandomBytes(40, 5), 11);
    int bit5Passes = 0;
    for (std::size_t pos = kHeaderSize; pos < good.size(); ++pos) {
        for (int bit = 0; bit < 8; ++bit) {
            Bytes frame = good;
            frame[pos] = static_cast<char>(frame[pos] ^ (1 << bit));
            const bool accepted = Decode(frame);
            if (bit == 7)
                EXPECT_TRUE(accepted) << pos;
            else if (bit == 5)
                bit5Passes += accepted;
            else
                EXPECT_FALSE(accepted) << "byte " << pos << " bit " << bit;
        }
    }
    EXPECT_LT(bit5Passes, 40);
}

TEST(CommMsgScramble, UnknownCheckTagsFail)
{
    const std::uint16_t seq = 3;
    const Bytes good = ScrambledFrame(42, RandomBytes(20, 6), seq);
    const std::uint32_t middleTag = static_cast<std::uint32_t>(T(seq, 5) & 7);
    for (std::uint32_t tag = 0; tag < 16; ++tag) {
        if (tag == 0xF || tag == 0xA || tag == middleTag) continue;
        Bytes frame = good;
        const std::uint32_t check = ReadU32(frame.data() + kOffCheckCode);
        WriteU32(frame.data() + kOffCheckCode, (check & ~0xFu) | tag);
        EXPECT_FALSE(Decode(frame)) << tag;
    }
}

TEST(CommMsgScramble, ChecksOfEveryTagSizeVerify)
{
    // A small sum gets tag 0xF, a middle one the table's tag, a large one 0xA.
    const std::uint16_t seq = 21;
    struct Case {
        int size;
        std::uint32_t tag;
    };
    const Bytes ones(1, 0x5F);
    for (const Case c : {Case{10, 0xF}, Case{2000, static_cast<std::uint32_t>(T(seq, 5) & 7)}, Case{20000, 0xA}}) {
        Bytes frame = ScrambledFrame(1, Bytes(static_cast<std::size_t>(c.size), 0x5F), seq);
        EXPECT_EQ(ReadU32(frame.data() + kOffCheckCode) & 0xF, c.tag) << c.size;
        EXPECT_TRUE(Decode(frame)) << c.size;
    }
}

TEST(CommMsgScramble, CheckInfoReadsIdAndLengthWithoutChangingTheFrame)
{
    for (std::int16_t id : {std::int16_t{0}, std::int16_t{1524}, std::int16_t{32767}}) {
        const std::uint16_t seq = 1;  // a positive table byte: 32767 wraps
        const Bytes frame = ScrambledFrame(id, RandomBytes(33, 7), seq);
        int gotId = 0;
        std::uint32_t len = 0;
        ASSERT_TRUE(CCommMsg::CheckInfo(frame.data(), static_cast<int>(frame.size()), &gotId, &len));
        EXPECT_EQ(gotId, id);
        EXPECT_EQ(len, 33u);
        Bytes copy = frame;
        ASSERT_TRUE(Decode(copy));
        EXPECT_EQ(ReadMsgHeader(copy.data()).MsgID, gotId);
    }
}

// The check value is masked to 28 bits after the id is added, so a negative
// id larger than the rest of the sum cannot verify. Servers share this
// arithmetic; ids in use are positive.
TEST(CommMsgScramble, NegativeIdBeyondTheSumDoesNotVerify)
{
    Bytes frame = ScrambledFrame(-32768, {}, 1);
    int id = 0;
    ASSERT_TRUE(CCommMsg::CheckInfo(frame.data(), kHeaderSize, &id, nullptr));
    EXPECT_EQ(id, -32768);
    EXPECT_FALSE(Decode(frame));
}

TEST(CommMsgScramble, CheckInfoRefusesWrongSignatureStateOrShortHeader)
{
    int id = 0;
    std::uint32_t len = 0;
    Bytes frame = ScrambledFrame(5, {});
    Bytes noSignature = frame;
    noSignature[1] = 'X';
    EXPECT_FALSE(CCommMsg::CheckInfo(noSignature.data(), kHeaderSize, &id, &len));
    const Bytes plain = PlainFrame(5, {});
    EXPECT_FALSE(CCommMsg::CheckInfo(plain.data(), kHeaderSize, &id, &len));
    EXPECT_FALSE(CCommMsg::CheckInfo(frame.data(), kHeaderSize - 1, &id, &len));
}

// --- Parsing ------------------------------------------------------------------

TEST(CommMsgParse, GetHeaderUnscramblesInPlaceAndTakeDataWalksTheParts)
{
    Bytes frame = ScrambledFrame(77, TextBytes("abcdefgh"), 4);
    CCommMsg msg;
    ASSERT_TRUE(msg.GetHeader(frame.data(), static_cast<int>(frame.size())));
    EXPECT_EQ(msg.GetTotalSize(), static_cast<int>(frame.size()));
    EXPECT_EQ(msg.GetHeaderFields().MsgID, 77);
    char* a = nullptr;
    char* b = nullptr;
    char* none = reinterpret_cast<char*>(&msg);
    EXPECT_TRUE(msg.TakeData(&a, 3));
    EXPECT_TRUE(msg.TakeData(&none, 0));
    EXPECT_EQ(none, nullptr);
    EXPECT_TRUE(msg.TakeData(&b, 5));
    EXPECT_EQ(a, frame.data() + kHeaderSize);  // in place: nothing copied
    EXPECT_EQ(std::memcmp(b, "defgh", 5), 0);
    EXPECT_FALSE(msg.HasOverrun());
}

TEST(CommMsgParse, TakeDataPastTheEndYieldsNullAndMarksTheParseFailed)
{
    Bytes frame = ScrambledFrame(77, TextBytes("abcd"), 4);
    CCommMsg msg;
    ASSERT_TRUE(msg.GetHeader(frame.data(), static_cast<int>(frame.size())));
    char* a = nullptr;
    char* b = nullptr;
    EXPECT_TRUE(msg.TakeData(&a, 2));
    b = a;
    EXPECT_FALSE(msg.TakeData(&b, 3));
    EXPECT_EQ(b, nullptr);
    EXPECT_TRUE(msg.HasOverrun());
    EXPECT_FALSE(msg.TakeData(&b, 1));  // stays failed
    EXPECT_EQ(b, nullptr);
}

TEST(CommMsgParse, GetHeaderRefusesNullShortOrTamperedFrames)
{
    CCommMsg msg;
    EXPECT_FALSE(msg.GetHeader(nullptr, 16));
    Bytes frame = ScrambledFrame(77, TextBytes("abcd"));
    EXPECT_FALSE(msg.GetHeader(frame.data(), kHeaderSize - 1));
    EXPECT_FALSE(msg.GetHeader(frame.data(), static_cast<int>(frame.size()) - 1));  // DataLen lies
    frame[kHeaderSize] = static_cast<char>(frame[kHeaderSize] ^ 1);
    EXPECT_FALSE(msg.GetHeader(frame.data(), static_cast<int>(frame.size())));
    EXPECT_EQ(msg.GetTotalSize(), 0);
}

TEST(CommMsgParse, APlainFrameIsParsedAsItStands)
{
    Bytes frame = PlainFrame(9, TextBytes("xyz"));
    CCommMsg msg;
    ASSERT_TRUE(msg.GetHeader(frame.data(), static_cast<int>(frame.size())));
    char* part = nullptr;
    EXPECT_TRUE(msg.TakeData(&part, 3));
    EXPECT_EQ(std::memcmp(part, "xyz", 3), 0);
}

// --- Compressed frames --------------------------------------------------------

namespace {

Bytes CompressedFrame(int codec, std::int16_t id, const Bytes& payload, std::uint16_t seq = 1)
{
    const Bytes plain = PlainFrame(id, payload, seq);
    Bytes out(plain.size() + 1024 + payload.size() / 8);
    out[kOffCompressType] = static_cast<char>(codec);
    const int dataLen = CCommMsg::CompressAll(plain.data(), static_cast<int>(plain.size()), out.data(),
                                              static_cast<int>(out.size()));
    if (dataLen < 0) return {};
    out.resize(static_cast<std::size_t>(kHeaderSize + dataLen));
    return out;
}

Bytes StructuredPayload(std::size_t n)
{
    Bytes out(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char>("Han Cho stone "[i % 14] + (i / 500) % 3);
    return out;
}

}  // namespace

class CompressedFrames : public ::testing::TestWithParam<int> {};

TEST_P(CompressedFrames, ReceivedCompressedFrameParsesToTheOriginalParts)
{
    const int codec = GetParam();
    const Bytes payload = StructuredPayload(5000);
    Bytes frame = CompressedFrame(codec, 321, payload, 6);
    ASSERT_FALSE(frame.empty());
    EXPECT_EQ(ReadMsgHeader(frame.data()).CompressType, codec * 10);
    EXPECT_EQ(ReadU32(frame.data() + kHeaderSize), payload.size());
    EXPECT_LT(frame.size(), payload.size());
    ASSERT_TRUE(CCommMsg::EncodeAll(frame.data(), static_cast<int>(frame.size())));

    int size = static_cast<int>(frame.size());
    CCommMsg::CheckCompressSizeInfo(frame.data(), static_cast<int>(frame.size()), &size);
    EXPECT_EQ(size, static_cast<int>(payload.size()) + kHeaderSize);

    CCommMsg msg;
    ASSERT_TRUE(msg.GetHeader(frame.data(), static_cast<int>(frame.size())));
    EXPECT_EQ(msg.GetTotalSize(), static_cast<int>(payload.size()) + kHeaderSize);
    char* first = nullptr;
    char* rest = nullptr;
    EXPECT_TRUE(msg.TakeData(&first, 1000));
    EXPECT_TRUE(msg.TakeData(&rest, 4000));
    EXPECT_EQ(std::memcmp(first, payload.data(), 1000), 0);
    EXPECT_EQ(std::memcmp(rest, payload.data() + 1000, 4000), 0);
    EXPECT_FALSE(msg.TakeData(&rest, 1));
}

TEST_P(CompressedFrames, DePressAllDecompressesInPlaceWhenTheBufferIsLargeEnough)
{
    const int codec = GetParam();
    const Bytes payload = StructuredPayload(3000);
    Bytes frame = CompressedFrame(codec, 5, payload);
    ASSERT_FALSE(frame.empty());
    const int wireLen = static_cast<int>(frame.size());
    EXPECT_EQ(CCommMsg::DePressAll(frame.data(), wireLen, wireLen), -1);  // does not fit: refused
    frame.resize(payload.size() + kHeaderSize);
    ASSERT_EQ(CCommMsg::DePressAll(frame.data(), wireLen, static_cast<int>(frame.size())), 3000);
    EXPECT_EQ(std::memcmp(frame.data() + kHeaderSize, payload.data(), payload.size()), 0);
}

TEST_P(CompressedFrames, LyingLengthPrefixesAreRejected)
{
    const int codec = GetParam();
    const Bytes payload = StructuredPayload(4000);
    const Bytes good = CompressedFrame(codec, 5, payload);
    ASSERT_FALSE(good.empty());
    for (std::uint32_t declared : {0u, 1u, 3999u, 102385u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        Bytes frame = good;
        WriteU32(frame.data() + kHeaderSize, declared);
        ASSERT_TRUE(CCommMsg::EncodeAll(frame.data(), static_cast<int>(frame.size())));
        CCommMsg msg;
        EXPECT_FALSE(msg.GetHeader(frame.data(), static_cast<int>(frame.size()))) << declared;
    }
    // A DataLen too short to hold the prefix.
    Bytes stub = PlainFrame(5, Bytes(3, 'a'));
    stub[kOffCompressType] = static_cast<char>(codec * 10);
    ASSERT_TRUE(CCommMsg::EncodeAll(stub.data(), static_cast<int>(stub.size())));
    CCommMsg msg;
    EXPECT_FALSE(msg.GetHeader(stub.data(), static_cast<int>(stub.size())));
}

INSTANTIATE_TEST_SUITE_P(Codecs, CompressedFrames, ::testing::Values(1, 2, 4));

TEST(CommMsgCompress, TypeSevenAndUnknownTypesAreParsedAsPlain)
{
    for (int type : {7, 8, 50, -10}) {
        Bytes frame = PlainFrame(5, TextBytes("plain"));
        frame[kOffCompressType] = static_cast<char>(type);
        ASSERT_TRUE(CCommMsg::EncodeAll(frame.data(), static_cast<int>(frame.size())));
        int size = 999;
        CCommMsg::CheckCompressSizeInfo(frame.data(), static_cast<int>(frame.size()), &size);
        EXPECT_EQ(size, 999);
        CCommMsg msg;
        ASSERT_TRUE(msg.GetHeader(frame.data(), static_cast<int>(frame.size()))) << type;
        char* part = nullptr;
        EXPECT_TRUE(msg.TakeData(&part, 5));
        EXPECT_EQ(std::memcmp(part, "plain", 5), 0);
    }
}

TEST(CommMsgCompress, SettingsDecideWhetherToCompress)
{
    EXPECT_EQ(CCommMsg::GetCompressReservedType(), 0);
    EXPECT_EQ(CCommMsg::GetCompressSizeLimit(), 200);
    EXPECT_FALSE(CCommMsg::IsCompress(100000));  // the client never compresses by default
    CCommMsg::SetCompressReservedType(4);
    EXPECT_FALSE(CCommMsg::IsCompress(200));
    EXPECT_TRUE(CCommMsg::IsCompress(201));
    CCommMsg::SetCompressSizeLimit(102401);
    EXPECT_EQ(CCommMsg::GetCompressSizeLimit(), 200);
    CCommMsg::SetCompressSizeLimit(102400);
    EXPECT_EQ(CCommMsg::GetCompressSizeLimit(), 102400);
    CCommMsg::SetCompressSizeLimit(200);
    CCommMsg::SetCompressReservedType(0);
}
