#pragma once
// The angle and power of a flick as the receiving client applies them. A
// relayed value is not trusted: a power outside 0..40 would let a stone slide
// backwards for ever (a negative speed never reaches rest) and the shot would
// never end on this client.

namespace tovrik::game {

// The largest power a flick can have: 30 for a full drag plus a full gauge.
inline constexpr float kMaxFlickPower = 40.0f;

struct RelayedFlick {
    float angle;
    float power;
};

// Not-a-number and infinite values count as 0; the power is held to
// 0..kMaxFlickPower; an angle of 360 or more loses 360 once.
RelayedFlick SanitizeRelayedFlick(float angle, float power);

} // namespace tovrik::game
