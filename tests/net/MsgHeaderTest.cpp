#include "net/MsgHeader.h"

#include <gtest/gtest.h>

#include <array>

using namespace tovrik::net;

TEST(MsgHeader, WritesEveryFieldLittleEndianAtItsOffset)
{
    MsgHeader h;
    h.MsgID = -2;                // 0xFFFE
    h.DataLen = 0x04030201;
    h.EncodeState = kStateScrambled;
    h.CompressType = 40;
    h.SeqNo = 0xBEEF;
    h.CheckCode = 0xA1B2C3D4;
    std::array<char, kHeaderSize> bytes{};
    WriteMsgHeader(bytes.data(), h);

    const std::array<unsigned char, kHeaderSize> expected = {'T', 'K', 0xFE, 0xFF, 0x01, 0x02, 0x03, 0x04,
                                                             0x02, 40, 0xEF, 0xBE, 0xD4, 0xC3, 0xB2, 0xA1};
    for (int i = 0; i < kHeaderSize; ++i) EXPECT_EQ(static_cast<unsigned char>(bytes[i]), expected[i]) << "byte " << i;

    const MsgHeader back = ReadMsgHeader(bytes.data());
    EXPECT_TRUE(HasSignature(bytes.data()));
    EXPECT_EQ(back.MsgID, -2);
    EXPECT_EQ(back.DataLen, 0x04030201u);
    EXPECT_EQ(back.EncodeState, kStateScrambled);
    EXPECT_EQ(back.CompressType, 40);
    EXPECT_EQ(back.SeqNo, 0xBEEF);
    EXPECT_EQ(back.CheckCode, 0xA1B2C3D4u);
}

TEST(MsgHeader, OnlyTheFourCodecTagsMarkACompressedPayload)
{
    for (int type = -128; type < 128; ++type) {
        const bool expected = type == 10 || type == 20 || type == 30 || type == 40;
        EXPECT_EQ(IsCompressedType(type), expected) << type;
    }
}
