#include "game/Geometry.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

namespace tovrik::game {
namespace {

std::uint32_t Bits(float v) { return std::bit_cast<std::uint32_t>(v); }

struct AngleCase {
    int x1, y1, x2, y2;
    std::uint32_t bits;
};

// Expected bits come from an independent model of the rules with the
// 0.017453289 degree constant; pi/180 would give other bits.
TEST(GetAngle, ExactBitsPerQuadrantAndAxis)
{
    const AngleCase cases[] = {
        {5, 5, 5, 5, Bits(0.0f)},       {0, 0, 0, 10, Bits(270.0f)},      {0, 10, 0, 0, Bits(90.0f)},
        {10, 0, 0, 0, Bits(180.0f)},    {0, 0, 10, 0, Bits(0.0f)},        {0, 0, 10, -10, 0x42340003u},
        {0, 0, -10, -10, 0x4306ffffu},  {0, 0, -10, 10, 0x43610001u},     {0, 0, 10, 10, 0x439d8000u},
        {297, 457, 330, 400, 0x426fb9c9u},
    };
    for (const AngleCase& c : cases) {
        EXPECT_EQ(Bits(GetAngle(c.x1, c.y1, c.x2, c.y2)), c.bits)
            << "(" << c.x1 << "," << c.y1 << ")->(" << c.x2 << "," << c.y2 << ")";
    }
}

TEST(GetDistance, AxisShortcutsAndSquareRoot)
{
    EXPECT_EQ(GetDistance(3, 3, 3, 3), 0.0f);
    EXPECT_EQ(GetDistance(0, 0, 0, -7), 7.0f);
    EXPECT_EQ(GetDistance(0, 0, 9, 0), 9.0f);
    EXPECT_EQ(GetDistance(0, 0, 3, 4), 5.0f);
    EXPECT_EQ(Bits(GetDistance(0, 0, 1, 1)), Bits(1.4142135381698608f));
    // Far-off points (a relayed teleport target) must not overflow.
    EXPECT_EQ(GetDistance(-2000000000, 0, 2000000000, 1), 4.0e9f);
}

TEST(GetMovePoint, TruncatesTowardZeroWithTheDegreeConstant)
{
    struct Case {
        float angle, distance;
        BoardPoint expected;
    };
    // 180 and 90 degrees fall a hair short of a whole pixel with the
    // single-precision constant, and truncation drops that pixel.
    const Case cases[] = {
        {180.0f, 10.0f, {91, 100}}, {90.0f, 10.0f, {100, 91}}, {270.0f, 10.0f, {100, 109}},
        {45.0f, 10.0f, {107, 93}},  {0.0f, 10.0f, {110, 100}}, {180.0f, 100.0f, {1, 100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetMovePoint(100, 100, c.angle, c.distance), c.expected) << c.angle << " " << c.distance;
}

TEST(GetMovePoint, FarOffLinesDoNotOverflow)
{
    EXPECT_EQ(GetMovePoint(2147483640, 5, 0.0f, 40.0f).x, 2147483647);
    EXPECT_EQ(GetMovePoint(-2147483640, 5, 180.0f, 40.0f).x, -2147483647 - 1);
    EXPECT_EQ(GetMovePoint(5, -2147483640, 90.0f, 40.0f).y, -2147483647 - 1);
}

TEST(GetCrossAngle, FoldsIntoHalfTurn)
{
    struct Case {
        float from, to, expected;
    };
    const Case cases[] = {
        {350.0f, 10.0f, 20.0f}, {10.0f, 350.0f, -20.0f}, {0.0f, 180.0f, 180.0f}, {180.0f, 0.0f, -180.0f},
        {30.0f, 30.0f, 0.0f},   {100.0f, 40.0f, -60.0f}, {40.0f, 100.0f, 60.0f}, {0.0f, 181.0f, -179.0f},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetCrossAngle(c.from, c.to), c.expected) << c.from << " -> " << c.to;
}

} // namespace
} // namespace tovrik::game
