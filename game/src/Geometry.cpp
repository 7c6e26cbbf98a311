#include "game/Geometry.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace tovrik::game {
namespace {

int ClampToInt(double value)
{
    if (!(value >= static_cast<double>(INT_MIN)))
        return INT_MIN;
    if (value > static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(value);
}

} // namespace

float GetAngle(int x1, int y1, int x2, int y2)
{
    if (x1 == x2 && y1 == y2)
        return 0.0f;
    if (x1 == x2)
        return (y1 <= y2) ? 270.0f : 90.0f;
    if (y1 == y2)
        return (x2 <= x1) ? 180.0f : 0.0f;

    const double quotient = std::fabs(static_cast<double>(y1) - y2) / std::fabs(static_cast<double>(x2) - x1);
    const float a = static_cast<float>(std::atan(quotient) / static_cast<double>(kDegreeToRadian));
    const bool left = x2 < x1;
    const bool below = y1 < y2;
    if (left && below)
        return static_cast<float>(180.0 + static_cast<double>(a));
    if (left)
        return static_cast<float>(180.0 - static_cast<double>(a));
    if (below)
        return static_cast<float>(360.0 - static_cast<double>(a));
    return a;
}

float GetDistance(int x1, int y1, int x2, int y2)
{
    // 64-bit differences and a double sum of squares, so that a far-off
    // point (a relayed teleport target) cannot overflow; for board points the
    // sum is the exact integer, as the rule asks.
    const long long dx = std::llabs(static_cast<long long>(x2) - x1);
    const long long dy = std::llabs(static_cast<long long>(y2) - y1);
    if (dx == 0 && dy == 0)
        return 0.0f;
    if (dx == 0)
        return static_cast<float>(dy);
    if (dy == 0)
        return static_cast<float>(dx);
    const double squared = static_cast<double>(dx) * static_cast<double>(dx) + static_cast<double>(dy) * static_cast<double>(dy);
    return static_cast<float>(std::sqrt(squared));
}

BoardPoint GetMovePoint(int x, int y, float angle, float distance)
{
    const double radians = static_cast<double>(angle) * static_cast<double>(kDegreeToRadian);
    const double d = static_cast<double>(distance);
    // std::trunc rounds toward zero; the sums are formed in 64 bits and held
    // to the int range, so that a line starting far off the board (a relayed
    // teleport target) cannot overflow. On the board nothing is clamped.
    const long long dx = static_cast<long long>(ClampToInt(std::trunc(std::cos(radians) * d)));
    const long long dy = static_cast<long long>(ClampToInt(std::trunc(std::sin(radians) * d)));
    return {ClampToInt(static_cast<double>(x + dx)), ClampToInt(static_cast<double>(y - dy))};
}

float GetCrossAngle(float from, float to)
{
    if (from == to)
        return 0.0f;
    if (from > to) {
        const float c = static_cast<float>(static_cast<double>(from) - static_cast<double>(to));
        return c > 180.0f ? static_cast<float>(360.0 - static_cast<double>(c)) : -c;
    }
    const float c = static_cast<float>(static_cast<double>(to) - static_cast<double>(from));
    return c > 180.0f ? -static_cast<float>(360.0 - static_cast<double>(c)) : c;
}

} // namespace tovrik::game
