#pragma once
// Figures the screens show for a user record and the rules the dialogs
// enforce: level and its name, win percentage, the largest bet, the state of
// an owned shop item and premium membership. Pure functions; where a time may
// be left out, the current local time is used. Names are UTF-8.

#include "protocol/Records.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tovrik::game {

// Wall-clock time of the user's time zone, as the server's SYSTEMTIME
// fields carry it.
using LocalTime = std::chrono::local_time<std::chrono::seconds>;

// Nothing when the record does not hold a valid calendar time.
std::optional<LocalTime> ToLocalTime(const protocol::SYSTEMTIME& time);
protocol::SYSTEMTIME ToSystemTime(LocalTime time);
LocalTime CurrentLocalTime();

inline constexpr int kLevelCount = 15;

int GetLevel(int points, int wins, int losses);
int GetLevelPoint(int points);
double GetWinPro(int wins, int losses, int draws);
std::string_view GetLevelString(int level);
int GetMaxBetPebble(int level);

enum ShopItemKind : int {
    kShopItemUnknown = 0,
    kShopItemJumpTicket = 201,
    kShopItemSuperMaster = 401,
    kShopItemPlusPoint = 501,
};

int GameItem_GetItemKind(int code);
std::string_view GameItem_GetItemName(int code);
std::string GameItem_GetItemName(const protocol::GAMEITEM& item);

enum ItemStateKind : int {
    kItemStateNone = 0,
    kItemStateNotStarted = 1,
    kItemStateRunning = 2,
    kItemStateOver = 3,
};

struct ItemState {
    int state = kItemStateNone;
    int running = 0;
    std::chrono::minutes timeLeft{0};
    LocalTime endTime{};
};

ItemState GameItem_GetItemState(const protocol::GAMEITEM& item, std::optional<LocalTime> now = std::nullopt);
// 1 when an item of the code's kind is running; `notStarted` is set when one
// of that kind was bought but its period has not begun.
int GameItem_IsUsingItem(const protocol::GAMEITEM_LIST& list, int code, int* notStarted,
                         std::optional<LocalTime> now = std::nullopt);
int CheckPremiumState(const protocol::USERINFO* user, std::optional<LocalTime> now = std::nullopt);
int IsPremiumMoreMini(const protocol::USERINFO* user, std::optional<LocalTime> now = std::nullopt);

} // namespace tovrik::game
