#include "net/MsgBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace tovrik::net;

TEST(MsgBuffer, TwentyUnitsThenNoneUntilOneIsFreed)
{
    CMsgBuffer pool;
    std::vector<CBufferUnit*> units;
    for (int i = 0; i < CMsgBuffer::kUnitCount; ++i) {
        CBufferUnit* unit = pool.GetFreeBuf();
        ASSERT_NE(unit, nullptr) << i;
        EXPECT_TRUE(unit->IsInUse());
        units.push_back(unit);
    }
    EXPECT_EQ(pool.GetFreeBuf(), nullptr);
    units[7]->SetFree();
    EXPECT_EQ(pool.GetFreeBuf(), units[7]);
    EXPECT_EQ(pool.GetFreeBuf(), nullptr);
}

TEST(MsgBuffer, CursorMovesOnSoAFreedUnitIsNotHandedOutFirst)
{
    CMsgBuffer pool;
    CBufferUnit* first = pool.GetFreeBuf();
    first->SetFree();
    CBufferUnit* second = pool.GetFreeBuf();
    EXPECT_NE(first, second);
}

TEST(BufferUnit, StartsAtSixteenThousandAndGrowsToTwiceTheRequestKeepingItsBytes)
{
    CBufferUnit unit;
    char* small = unit.Prepare(10);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(unit.GetCapacity(), 16000);
    for (int i = 0; i < 16000; ++i) small[i] = static_cast<char>(i * 7);

    char* grown = unit.Prepare(20000);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(unit.GetCapacity(), 40000);
    for (int i = 0; i < 16000; ++i) ASSERT_EQ(grown[i], static_cast<char>(i * 7)) << i;

    EXPECT_EQ(unit.Prepare(30000), grown);  // fits: no move
    EXPECT_EQ(unit.GetCapacity(), 40000);
}

TEST(BufferUnit, RefusesNegativeAndAbsurdSizesAndKeepsItsBuffer)
{
    CBufferUnit unit;
    char* buffer = unit.Prepare(100);
    EXPECT_EQ(unit.Prepare(-1), nullptr);
    EXPECT_EQ(unit.Prepare(CBufferUnit::kMaxSize + 1), nullptr);
    EXPECT_EQ(unit.GetBuffer(), buffer);
    EXPECT_EQ(unit.GetCapacity(), 16000);
}

TEST(PacketPool, BorrowsAUnitOfTheSocketPoolForItsLifetime)
{
    const int before = g_sMsgBuf.CountInUse();
    {
        CPacketPool borrow(50000);
        ASSERT_NE(borrow.GetBuffer(), nullptr);
        std::memset(borrow.GetBuffer(), 1, 50000);
        EXPECT_EQ(g_sMsgBuf.CountInUse(), before + 1);
    }
    EXPECT_EQ(g_sMsgBuf.CountInUse(), before);
}
