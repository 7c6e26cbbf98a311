#pragma once
// Board geometry shared by the stone simulation, the field and the effects.
// Both clients of a game must compute these bit for bit alike, so each
// function keeps single-precision results and the exact degree constant.

namespace tovrik::game {

// Degrees to radians as the simulation has always used it: the float
// nearest to 0.017453289, deliberately not pi/180.
inline constexpr float kDegreeToRadian = 0.017453289f;

struct BoardPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const BoardPoint&, const BoardPoint&) = default;
};

// Direction from (x1, y1) to (x2, y2) in degrees [0, 360), counter-clockwise
// on screen (90 is up).
float GetAngle(int x1, int y1, int x2, int y2);

// Euclidean distance between two integer points.
float GetDistance(int x1, int y1, int x2, int y2);

// The integer point reached from (x, y) after `distance` along `angle`;
// both offsets are truncated toward zero.
BoardPoint GetMovePoint(int x, int y, float angle, float distance);

// Signed difference to - from, folded into [-180, 180].
float GetCrossAngle(float from, float to);

} // namespace tovrik::game
