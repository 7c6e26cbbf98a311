#include "game/Levels.h"

#include <algorithm>
#include <array>
#include <ctime>

namespace tovrik::game {
namespace {

using namespace std::chrono;

constexpr std::array<int, kLevelCount> kLevelGaps = {0,    330,   660,   1320,  2310,  3630,  5280, 7620,
                                                     9570, 12210, 15180, 18480, 22110, 26070, 30360};

constexpr std::array<std::string_view, kLevelCount> kLevelNames = {
    "파랑띠", "빨강띠", "노랑띠", "파랑브이", "빨강브이", "노랑브이", "파랑다이아", "빨강다이아",
    "노랑다이아", "파랑메달", "빨강메달", "노랑메달", "파랑별", "빨강별", "노랑별",
};

constexpr int kMinutesPerDay = 1440;

LocalTime Resolve(std::optional<LocalTime> now) { return now ? *now : CurrentLocalTime(); }

// Whole minutes, truncated toward zero like a time span's total minutes.
long long WholeMinutes(seconds span) { return duration_cast<minutes>(span).count(); }

} // namespace

std::optional<LocalTime> ToLocalTime(const protocol::SYSTEMTIME& t)
{
    const year_month_day date{year{static_cast<int>(t.wYear)}, month{static_cast<unsigned>(t.wMonth)},
                              day{static_cast<unsigned>(t.wDay)}};
    if (!date.ok() || t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59)
        return std::nullopt;
    return local_days{date} + hours{t.wHour} + minutes{t.wMinute} + seconds{t.wSecond};
}

protocol::SYSTEMTIME ToSystemTime(LocalTime time)
{
    const local_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    protocol::SYSTEMTIME t;
    t.wYear = static_cast<std::uint16_t>(static_cast<int>(date.year()));
    t.wMonth = static_cast<std::uint16_t>(static_cast<unsigned>(date.month()));
    t.wDay = static_cast<std::uint16_t>(static_cast<unsigned>(date.day()));
    t.wDayOfWeek = static_cast<std::uint16_t>(weekday{day}.c_encoding());
    t.wHour = static_cast<std::uint16_t>(clock.hours().count());
    t.wMinute = static_cast<std::uint16_t>(clock.minutes().count());
    t.wSecond = static_cast<std::uint16_t>(clock.seconds().count());
    return t;
}

LocalTime CurrentLocalTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    const year_month_day date{year{parts.tm_year + 1900}, month{static_cast<unsigned>(parts.tm_mon + 1)},
                              day{static_cast<unsigned>(parts.tm_mday)}};
    return local_days{date} + hours{parts.tm_hour} + minutes{parts.tm_min} + seconds{parts.tm_sec};
}

int GetLevelPoint(int points) { return points < 0 ? 0 : points; }

int GetLevel(int points, int /*wins*/, int /*losses*/)
{
    const long long p = GetLevelPoint(points);
    long long threshold = 0;
    int level = 0;
    for (int i = 1; i < kLevelCount; ++i) {
        threshold += kLevelGaps[i];
        if (threshold < p)
            ++level;
    }
    return level;
}

double GetWinPro(int wins, int losses, int draws)
{
    const double games = static_cast<double>(wins) + losses + draws;
    if (games == 0.0)
        return 0.0;
    return static_cast<double>(wins) / games * 100.0;
}

std::string_view GetLevelString(int level)
{
    if (level < 0 || level >= kLevelCount)
        return "????";
    return kLevelNames[level];
}

int GetMaxBetPebble(int level) { return 100 * level + 100; }

int GameItem_GetItemKind(int code)
{
    switch (code) {
    case kShopItemJumpTicket:
    case kShopItemSuperMaster:
    case kShopItemPlusPoint:
        return code;
    default:
        return kShopItemUnknown;
    }
}

std::string_view GameItem_GetItemName(int code)
{
    switch (GameItem_GetItemKind(code)) {
    case kShopItemJumpTicket:
        return "점프 입장권 아이템";
    case kShopItemSuperMaster:
        return "슈퍼 방장 아이템";
    case kShopItemPlusPoint:
        return "플러스 포인트 아이템";
    default:
        return "알 수 없는 아이템";
    }
}

std::string GameItem_GetItemName(const protocol::GAMEITEM& item)
{
    std::string name(GameItem_GetItemName(static_cast<int>(item.ItemCode)));
    if (item.UseDays > 0)
        name += " (" + std::to_string(static_cast<int>(item.UseDays)) + "일)";
    return name;
}

ItemState GameItem_GetItemState(const protocol::GAMEITEM& item, std::optional<LocalTime> now)
{
    ItemState result;
    const int useDays = item.UseDays;
    const int useLimit = item.UseLimit;
    const int usedCount = item.UsedCnt;
    if (useDays < 0 || useLimit < 0)
        return result;
    if (useLimit > 0 && usedCount >= useLimit)
        result.state = kItemStateOver;
    if (useDays > 0) {
        if (usedCount < 1) {
            result.state = kItemStateNotStarted;
            return result;
        }
        const std::optional<LocalTime> start = ToLocalTime(item.StartTime);
        if (!start) {
            // A period whose start cannot be read cannot be running.
            result.state = kItemStateNone;
            return result;
        }
        const LocalTime when = Resolve(now);
        const long long period = static_cast<long long>(useDays) * kMinutesPerDay;
        const long long elapsed = WholeMinutes(when - *start);
        if (elapsed < period) {
            result.running = 1;
            result.timeLeft = minutes{period - elapsed};
            result.endTime = when + result.timeLeft;
            result.state = kItemStateRunning;
        } else {
            result.running = 0;
            result.state = kItemStateOver;
        }
    }
    return result;
}

int GameItem_IsUsingItem(const protocol::GAMEITEM_LIST& list, int code, int* notStarted,
                         std::optional<LocalTime> now)
{
    const int kind = GameItem_GetItemKind(code);
    if (kind == kShopItemUnknown)
        return 0;
    const LocalTime when = Resolve(now);
    // The count comes from the server: never read past the list.
    const int count = std::clamp(static_cast<int>(list.Count), 0, protocol::kMaxGameItems);
    int using_ = 0;
    for (int i = 0; i < count; ++i) {
        const protocol::GAMEITEM& item = list.Item[i];
        if (GameItem_GetItemKind(item.ItemCode) != kind)
            continue;
        const ItemState state = GameItem_GetItemState(item, when);
        if (state.state == kItemStateNotStarted && notStarted != nullptr)
            *notStarted = 1;
        if (state.running)
            using_ = 1;
    }
    return using_;
}

int CheckPremiumState(const protocol::USERINFO* user, std::optional<LocalTime> now)
{
    if (user == nullptr || user->PremGrade <= 0)
        return 0;
    const std::optional<LocalTime> expire = ToLocalTime(user->PremExpire);
    if (!expire)
        return 0;
    return WholeMinutes(*expire - Resolve(now)) > 0 ? 1 : 0;
}

int IsPremiumMoreMini(const protocol::USERINFO* user, std::optional<LocalTime> now)
{
    if (!CheckPremiumState(user, now))
        return 0;
    const int grade = user->PremGrade;
    return (grade == 1 || grade == 4 || grade == 15) ? 1 : 0;
}

} // namespace tovrik::game
