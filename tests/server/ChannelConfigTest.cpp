#include "server/ChannelConfig.h"

#include <gtest/gtest.h>

#include "server/Cp949.h"

namespace tovrik::server {
namespace {

TEST(ChannelConfigTest, DefaultSpreadsChannelsOverServers) {
  const ChannelConfig config = ChannelConfig::Default(2);
  ASSERT_GE(config.Channels().size(), 4u);
  EXPECT_EQ(config.Channels()[0].serverNo, 1);
  EXPECT_EQ(config.Channels()[1].serverNo, 2);
  EXPECT_EQ(config.Channels()[2].serverNo, 1);
  EXPECT_EQ(config.Channels()[0].name, Utf8ToCp949("자유-1"));
  EXPECT_EQ(config.Rules().startMoney, 10000);
}

TEST(ChannelConfigTest, ReadsEveryField) {
  ChannelConfig config;
  std::string error;
  ASSERT_TRUE(ChannelConfig::Parse(R"(
[Rules]
StartMoney = 500
MaxRoomsPerChannel = 7
TurnMs = 9000
TurnGraceMs = 0
ReportMs = 700
GaugePerTurn = 2.5
GaugePerKnock = 0
WinPoints = 30
LossPoints = 0
PlusPointBonus = 5
[Server2]
LoginGroup = 4
[Group3]
Name = 고수
[Channel3-9]
Server = 2
MaxUser = 50
Item = 1
Closed = 1
MinLevel = 2
MaxLevel = 5
)",
                                   1, config, error))
      << error;
  const ChannelConfigEntry* channel = config.FindChannel(3, 9);
  ASSERT_NE(channel, nullptr);
  EXPECT_EQ(channel->serverNo, 2);
  EXPECT_EQ(channel->maxUser, 50);
  EXPECT_TRUE(channel->itemChannel);
  EXPECT_TRUE(channel->closed);
  EXPECT_EQ(channel->minLevel, 2);
  EXPECT_EQ(channel->maxLevel, 5);
  EXPECT_EQ(channel->name, Utf8ToCp949("고수-9"));
  EXPECT_EQ(config.LoginGroupOf(2), 4);
  EXPECT_EQ(config.LoginGroupOf(1), -1);
  EXPECT_EQ(config.Rules().startMoney, 500);
  EXPECT_EQ(config.Rules().maxRoomsPerChannel, 7);
  const GameRules& game = config.Rules().game;
  EXPECT_EQ(game.turnTime.count(), 9000);
  EXPECT_EQ(game.turnGrace.count(), 0);
  EXPECT_EQ(game.reportTime.count(), 700);
  EXPECT_FLOAT_EQ(game.gaugePerTurn, 2.5f);
  EXPECT_FLOAT_EQ(game.gaugePerKnock, 0.0f);
  EXPECT_EQ(game.winPoints, 30);
  EXPECT_EQ(game.lossPoints, 0);
  EXPECT_EQ(game.plusPointBonus, 5);
}

TEST(ChannelConfigTest, RefusesWhatItCannotUse) {
  const char* bad[] = {
      "[Channel1-1]\n",                                            // no group
      "[Group1]\nName=a\n[Channel1-1]\nMaxUser=1001\n",            // list too big for one frame
      "[Group1]\nName=a\n[Channel1-1]\nMaxUser=0\n",
      "[Group1]\nName=a\n[Channel1-1]\nServer=0\n",
      "[Group1]\nName=aaaaaaaaaaaaaaaaaaaaaaaaa\n",                // name too long for its field
      "[Whatever]\n",
      "[Rules]\nTurnMs=0\n",                                     // a turn must last
      "[Rules]\nReportMs=600001\n",
      "[Rules]\nTurnGraceMs=-1\n",
      "[Rules]\nGaugePerTurn=10.5\n",
      "[Rules]\nGaugePerKnock=-1\n",
      "[Rules]\nWinPoints=0\n",                                  // a win must read as one
      "[Rules]\nLossPoints=-5\n",
  };
  for (const char* text : bad) {
    ChannelConfig config;
    std::string error;
    EXPECT_FALSE(ChannelConfig::Parse(text, 1, config, error)) << text;
    EXPECT_FALSE(error.empty());
  }
}

TEST(Cp949Test, ConvertsBothWaysAndMarksUnknownCharacters) {
  EXPECT_EQ(Utf8ToCp949("가"), "\xB0\xA1");
  EXPECT_EQ(Cp949ToUtf8("\xB0\xA1"), "가");
  EXPECT_EQ(Utf8ToCp949("a😀b"), "a?b");
}

}  // namespace
}  // namespace tovrik::server
