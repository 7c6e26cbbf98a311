#include <gtest/gtest.h>

#include "protocol/ReasonTexts.h"

namespace tovrik::protocol {
namespace {

TEST(ReasonTexts, ChannelEntryShowsRefusalsOnlyFromMinusOneToMinusNinetyNine)
{
    EXPECT_FALSE(EnterChanResultText(0));
    EXPECT_FALSE(EnterChanResultText(7));
    EXPECT_FALSE(EnterChanResultText(-100));
    EXPECT_EQ(EnterChanResultText(-1), "요청한 채널은 최대 수용인원을 초과하였습니다.");
    EXPECT_EQ(EnterChanResultText(-5), "점검중인 채널이므로 입장할 수 없습니다.");
    EXPECT_EQ(EnterChanResultText(-6), "채널에 입장할 수 없습니다.");
    EXPECT_EQ(EnterChanResultText(-99), "채널에 입장할 수 없습니다.");
}

TEST(ReasonTexts, RoomRefusalsFallBackToTheGeneralText)
{
    EXPECT_EQ(EnterRoomRefusalText(6), "[알림] 비밀번호가 틀렸습니다");
    EXPECT_EQ(EnterRoomRefusalText(20), "[알림] 강제 추방된 방에는 다시 입장할 수 없습니다");
    EXPECT_EQ(EnterRoomRefusalText(12), "[알림] 요청하신 방에 입장할 수 없습니다");

    EXPECT_EQ(CreateRoomRefusalText(0), "[서버 알림] 개설 가능한 수를 초과하였습니다");
    EXPECT_EQ(CreateRoomRefusalText(1), "[서버 알림] 방을 생성할 수 없습니다");
    EXPECT_EQ(CreateRoomRefusalText(4), "[서버 알림] 방을 생성할 수 없습니다");
    EXPECT_FALSE(CreateRoomRefusalText(999));
}

}  // namespace
}  // namespace tovrik::protocol
