#pragma once
// How a robot chooses its flick: at random, or aimed at the opposing stone
// nearest to one of its own. Seeded and free of the wall clock, so that the
// same seed and the same boards give the same flicks.

#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <string_view>

#include "game/Field.h"

namespace tovrik::robot {

enum class StrategyKind { Random, Aimed };

std::optional<StrategyKind> ParseStrategy(std::string_view name);
std::string_view StrategyName(StrategyKind kind);

struct FlickChoice {
    int index = 0;      // own stone 0..15
    float angle = 0.0f; // degrees, the direction the stone flies
    float drag = 0.0f;  // pixels of sling pull; 90 and more is full power
};

// An item to use before the flick: the kind, the stone it applies to (own
// index; none for the power-up) and, for a teleport, the free target point.
struct ItemChoice {
    int kind = 0;
    int index = -1;
    int targetX = 0;
    int targetY = 0;
};

class CStrategy {
public:
    CStrategy(StrategyKind kind, std::uint32_t seed) : kind_(kind), rng_(seed) {}

    // Empty when the side has no stone left to flick.
    std::optional<FlickChoice> Choose(const game::CField& field, int ownSide);

    // One of the items whose button is enabled, or none (every other turn
    // or so, and when the chosen item has nothing it could apply to).
    std::optional<ItemChoice> ChooseItem(const game::CField& field, int ownSide, std::span<const int, 4> enabled);

private:
    std::optional<FlickChoice> ChooseRandom(const game::CField& field, int ownSide);
    std::optional<FlickChoice> ChooseAimed(const game::CField& field, int ownSide);
    // Uniform in [low, high), from the generator's raw output only.
    float Uniform(float low, float high);

    StrategyKind kind_;
    std::mt19937 rng_;
};

} // namespace tovrik::robot
