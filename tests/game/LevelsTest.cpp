#include "game/Levels.h"

#include <gtest/gtest.h>

namespace tovrik::game {
namespace {

using namespace std::chrono;

LocalTime At(int y, unsigned m, unsigned d, int h = 0, int min = 0)
{
    return local_days{year{y} / month{m} / day{d}} + hours{h} + minutes{min};
}

TEST(Levels, GetLevelThresholds)
{
    struct Case {
        int points, level;
    };
    const Case cases[] = {{-50, 0}, {0, 0},        {330, 0},     {331, 1},      {990, 1},      {991, 2},
                          {8251, 5}, {98700, 11},  {98701, 12},  {155130, 13},  {155131, 14},  {2000000000, 14}};
    for (const Case& c : cases)
        EXPECT_EQ(GetLevel(c.points, 5, 5), c.level) << c.points;
    EXPECT_EQ(GetLevelPoint(-1), 0);
    EXPECT_EQ(GetLevelPoint(77), 77);
}

TEST(Levels, NamesWinRateAndBets)
{
    EXPECT_EQ(GetLevelString(0), "파랑띠");
    EXPECT_EQ(GetLevelString(14), "노랑별");
    EXPECT_EQ(GetLevelString(15), "????");
    EXPECT_EQ(GetLevelString(-1), "????");
    EXPECT_EQ(GetWinPro(0, 0, 0), 0.0);
    EXPECT_EQ(GetWinPro(1, 1, 2), 25.0);
    EXPECT_EQ(GetMaxBetPebble(0), 100);
    EXPECT_EQ(GetMaxBetPebble(14), 1500);
}

TEST(ShopItems, KindsAndNames)
{
    EXPECT_EQ(GameItem_GetItemKind(201), 201);
    EXPECT_EQ(GameItem_GetItemKind(401), 401);
    EXPECT_EQ(GameItem_GetItemKind(501), 501);
    EXPECT_EQ(GameItem_GetItemKind(202), 0);
    EXPECT_EQ(GameItem_GetItemName(999), "알 수 없는 아이템");
    protocol::GAMEITEM item;
    item.ItemCode = 401;
    EXPECT_EQ(GameItem_GetItemName(item), "슈퍼 방장 아이템");
    item.UseDays = 30;
    EXPECT_EQ(GameItem_GetItemName(item), "슈퍼 방장 아이템 (30일)");
}

protocol::GAMEITEM Item(int code, int days, int limit, int used, LocalTime start)
{
    protocol::GAMEITEM item;
    item.ItemCode = code;
    item.UseDays = static_cast<std::int16_t>(days);
    item.UseLimit = static_cast<std::int16_t>(limit);
    item.UsedCnt = static_cast<std::int16_t>(used);
    item.StartTime = ToSystemTime(start);
    return item;
}

TEST(ShopItems, ItemStates)
{
    const LocalTime now = At(2024, 3, 10, 12, 0);
    struct Case {
        const char* what;
        protocol::GAMEITEM item;
        int state, running;
        long long minutesLeft;
    };
    const Case cases[] = {
        {"invalid period", Item(201, -1, 0, 0, now), 0, 0, 0},
        {"invalid limit", Item(201, 0, -1, 0, now), 0, 0, 0},
        {"neither period nor limit", Item(201, 0, 0, 5, now), 0, 0, 0},
        {"used up", Item(201, 0, 3, 3, now), 3, 0, 0},
        {"uses left", Item(201, 0, 3, 2, now), 0, 0, 0},
        {"never used", Item(201, 7, 0, 0, now - days{30}), 1, 0, 0},
        {"expired a minute ago", Item(201, 7, 0, 1, now - days{7} - minutes{1}), 3, 0, 0},
        {"expires now", Item(201, 7, 0, 1, now - days{7}), 3, 0, 0},
        {"one day left", Item(201, 7, 0, 1, now - days{6}), 2, 1, 1440},
        {"started a few seconds ago", Item(201, 1, 0, 1, now - seconds{59}), 2, 1, 1440},
        {"used up but period running", Item(201, 7, 3, 3, now - days{1}), 2, 1, 6 * 1440},
    };
    for (const Case& c : cases) {
        const ItemState s = GameItem_GetItemState(c.item, now);
        EXPECT_EQ(s.state, c.state) << c.what;
        EXPECT_EQ(s.running, c.running) << c.what;
        EXPECT_EQ(s.timeLeft.count(), c.minutesLeft) << c.what;
        if (s.running) {
            EXPECT_EQ(s.endTime, now + minutes{c.minutesLeft}) << c.what;
        }
    }
    // A period whose start is not a calendar time is not running.
    protocol::GAMEITEM broken = Item(201, 7, 0, 1, now);
    broken.StartTime.wMonth = 13;
    EXPECT_EQ(GameItem_GetItemState(broken, now).running, 0);
}

TEST(ShopItems, IsUsingItemLooksAtTheSameKindOnly)
{
    const LocalTime now = At(2024, 3, 10, 12, 0);
    protocol::GAMEITEM_LIST list;
    list.Count = 3;
    list.Item[0] = Item(501, 7, 0, 1, now - days{1}); // running, other kind
    list.Item[1] = Item(201, 7, 0, 0, now);           // bought, not started
    list.Item[2] = Item(201, 7, 0, 1, now - days{8}); // expired
    int notStarted = 0;
    EXPECT_EQ(GameItem_IsUsingItem(list, 201, &notStarted, now), 0);
    EXPECT_EQ(notStarted, 1);
    list.Item[2] = Item(201, 7, 0, 1, now - days{2});
    EXPECT_EQ(GameItem_IsUsingItem(list, 201, nullptr, now), 1);
    EXPECT_EQ(GameItem_IsUsingItem(list, 777, nullptr, now), 0);
    // A count beyond the list's capacity is not trusted.
    list.Count = 1000;
    EXPECT_EQ(GameItem_IsUsingItem(list, 501, nullptr, now), 1);
    list.Count = 0;
    EXPECT_EQ(GameItem_IsUsingItem(list, 501, nullptr, now), 0);
}

TEST(Premium, ValidUntilTheLastWholeMinute)
{
    const LocalTime now = At(2024, 3, 10, 12, 0);
    protocol::USERINFO user;
    user.PremGrade = 4;
    user.PremExpire = ToSystemTime(now + minutes{2});
    EXPECT_EQ(CheckPremiumState(&user, now), 1);
    EXPECT_EQ(IsPremiumMoreMini(&user, now), 1);
    user.PremExpire = ToSystemTime(now + seconds{119});
    EXPECT_EQ(CheckPremiumState(&user, now), 1);
    user.PremExpire = ToSystemTime(now + seconds{59});
    EXPECT_EQ(CheckPremiumState(&user, now), 0);
    user.PremExpire = ToSystemTime(now + days{3});
    user.PremGrade = 2;
    EXPECT_EQ(CheckPremiumState(&user, now), 1);
    EXPECT_EQ(IsPremiumMoreMini(&user, now), 0);
    user.PremGrade = 0;
    EXPECT_EQ(CheckPremiumState(&user, now), 0);
    EXPECT_EQ(CheckPremiumState(nullptr, now), 0);
    user.PremGrade = 15;
    user.PremExpire = protocol::SYSTEMTIME{}; // never set
    EXPECT_EQ(CheckPremiumState(&user, now), 0);
}

TEST(LocalTimes, RoundTripThroughSystemTime)
{
    const LocalTime t = At(2024, 2, 29, 23, 59) + seconds{58};
    const protocol::SYSTEMTIME st = ToSystemTime(t);
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 2);
    EXPECT_EQ(st.wDay, 29);
    EXPECT_EQ(st.wDayOfWeek, 4); // a Thursday
    EXPECT_EQ(st.wSecond, 58);
    EXPECT_EQ(ToLocalTime(st), t);
    // The current time is used when none is given.
    const LocalTime before = CurrentLocalTime();
    protocol::USERINFO user;
    user.PremGrade = 1;
    user.PremExpire = ToSystemTime(before + hours{1});
    EXPECT_EQ(CheckPremiumState(&user), 1);
}

} // namespace
} // namespace tovrik::game
