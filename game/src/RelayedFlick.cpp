#include "game/RelayedFlick.h"

#include <algorithm>
#include <cmath>

namespace tovrik::game {

RelayedFlick SanitizeRelayedFlick(float angle, float power)
{
    if (!std::isfinite(angle))
        angle = 0.0f;
    if (!std::isfinite(power))
        power = 0.0f;
    power = std::clamp(power, 0.0f, kMaxFlickPower);
    if (angle >= 360.0f)
        angle = static_cast<float>(static_cast<double>(angle) - 360.0);
    return {angle, power};
}

} // namespace tovrik::game
