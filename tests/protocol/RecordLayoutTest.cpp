#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "protocol/Records.h"
#include "protocol/RelayRecords.h"

namespace tovrik::protocol {
namespace {

template <typename Record>
std::vector<std::uint8_t> BytesOf(const Record& record)
{
    std::vector<std::uint8_t> bytes(sizeof record);
    std::memcpy(bytes.data(), &record, sizeof record);
    return bytes;
}

TEST(RecordLayout, NumbersAreStoredLittleEndianAtTheirWireOffsets)
{
    USERINFO user;
    user.UNum = 0x01020304;
    user.CharNo = -2;
    user.PremExpire.wYear = 2026;
    user.EventValue2 = -1;

    const auto bytes = BytesOf(user);
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(bytes[3], 0x01);
    EXPECT_EQ(bytes[60], 0xFE);
    EXPECT_EQ(bytes[61], 0xFF);
    EXPECT_EQ(bytes[42], 2026 & 0xFF);
    EXPECT_EQ(bytes[43], 2026 >> 8);
    for (int i = 208; i < 212; ++i) EXPECT_EQ(bytes[i], 0xFF);
}

TEST(RecordLayout, DefaultRecordsAreAllZeroBytes)
{
    const auto bytes = BytesOf(ENTERROOMINFO{});
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.size(), 0), bytes);
}

TEST(RecordLayout, FloatsTravelAsLittleEndianIeeeSingles)
{
    STONEHITINFO hit;
    hit.Angle = 1.0f;     // 0x3F800000
    hit.Power = -2.5f;    // 0xC0200000
    const auto bytes = BytesOf(hit);
    EXPECT_EQ((std::vector<std::uint8_t>{bytes.begin() + 20, bytes.end()}),
              (std::vector<std::uint8_t>{0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x20, 0xC0}));
    EXPECT_EQ(hit.Angle, 1.0f);
    EXPECT_EQ(hit.Power, -2.5f);
}

TEST(RecordLayout, ChatLengthSitsAtOddOffsetWithoutPadding)
{
    RELAYCHATHEAD head;
    head.TextLen = 0x1234;
    const auto bytes = BytesOf(head);
    ASSERT_EQ(bytes.size(), 23u);
    EXPECT_EQ(bytes[21], 0x34);
    EXPECT_EQ(bytes[22], 0x12);
}

TEST(RecordLayout, RecordReadsInPlaceAtAnOddAddress)
{
    // A record inside a received frame may start at any address.
    std::vector<std::uint8_t> frame(1 + sizeof(SMALLUSERINFO), 0);
    const std::uint8_t wire[] = {0x78, 0x56, 0x34, 0x12};
    std::memcpy(frame.data() + 1 + 60, wire, sizeof wire);  // RoomNo
    frame[1 + 56] = 3;                                       // State

    const auto* user = reinterpret_cast<const SMALLUSERINFO*>(frame.data() + 1);
    EXPECT_EQ(user->RoomNo, 0x12345678);
    EXPECT_EQ(user->State, 3);
}

TEST(RecordLayout, SeatsOfStartInfoFollowTheTwoIDs)
{
    STARTINFO start;
    start.Seat[1].side = 2;
    start.Pebble[1] = 1000;
    const auto bytes = BytesOf(start);
    EXPECT_EQ(bytes[34 + 4], 2);
    EXPECT_EQ(bytes[40 + 4], 1000 & 0xFF);
    EXPECT_EQ(bytes[40 + 5], 1000 >> 8);
}

TEST(RecordLayout, AvatarKindIsTheWordAtByteFifty)
{
    USERINFO user;
    user.Avatar[50] = 6;
    user.Avatar[51] = 0;
    EXPECT_EQ(AvatarKind(user), 6);
    user.Avatar[51] = 1;
    EXPECT_EQ(AvatarKind(user), 0x106);
}

TEST(RecordLayout, CompoundAssignmentKeepsTheWireForm)
{
    GAMEITEM item;
    item.UsedCnt = 1;
    item.UsedCnt += 2;
    EXPECT_EQ(item.UsedCnt, 3);
    EXPECT_EQ(BytesOf(item)[48], 3);
}

}  // namespace
}  // namespace tovrik::protocol
