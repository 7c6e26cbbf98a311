#include "robot/Strategy.h"

#include <limits>
#include <vector>

#include "game/Geometry.h"

namespace tovrik::robot {

namespace {

constexpr float kFullDrag = 90.0f;
constexpr float kMinRandomDrag = 20.0f;
// Aimed flicks stray this many degrees at most, so that a board on which
// the same shot keeps failing still changes.
constexpr float kAimJitter = 3.0f;

int OtherSide(int side) { return side == game::kSideHan ? game::kSideCho : game::kSideHan; }

} // namespace

std::optional<StrategyKind> ParseStrategy(std::string_view name)
{
    if (name == "random")
        return StrategyKind::Random;
    if (name == "aimed")
        return StrategyKind::Aimed;
    return std::nullopt;
}

std::string_view StrategyName(StrategyKind kind) { return kind == StrategyKind::Random ? "random" : "aimed"; }

float CStrategy::Uniform(float low, float high)
{
    // mt19937's output sequence is fixed by the standard; the library's
    // distributions are not, so they are not used.
    const double unit = static_cast<double>(rng_()) / 4294967296.0;
    return static_cast<float>(low + (high - low) * unit);
}

std::optional<FlickChoice> CStrategy::Choose(const game::CField& field, int ownSide)
{
    return kind_ == StrategyKind::Random ? ChooseRandom(field, ownSide) : ChooseAimed(field, ownSide);
}

std::optional<FlickChoice> CStrategy::ChooseRandom(const game::CField& field, int ownSide)
{
    std::vector<int> alive;
    const auto own = field.Stones(ownSide);
    for (int i = 0; i < game::kStonesPerSide; ++i)
        if (own[static_cast<std::size_t>(i)].alive)
            alive.push_back(i);
    if (alive.empty())
        return std::nullopt;
    FlickChoice choice;
    choice.index = alive[rng_() % alive.size()];
    choice.angle = Uniform(0.0f, 360.0f);
    choice.drag = Uniform(kMinRandomDrag, kFullDrag);
    return choice;
}

std::optional<FlickChoice> CStrategy::ChooseAimed(const game::CField& field, int ownSide)
{
    const auto own = field.Stones(ownSide);
    const auto other = field.Stones(OtherSide(ownSide));
    float best = std::numeric_limits<float>::max();
    std::optional<FlickChoice> choice;
    for (int i = 0; i < game::kStonesPerSide; ++i) {
        const game::CStone& mine = own[static_cast<std::size_t>(i)];
        if (!mine.alive)
            continue;
        for (const game::CStone& target : other) {
            if (!target.alive)
                continue;
            const float distance = game::GetDistance(mine.x, mine.y, target.x, target.y);
            if (distance < best) {
                best = distance;
                choice = FlickChoice{i, game::GetAngle(mine.x, mine.y, target.x, target.y), kFullDrag};
            }
        }
    }
    if (!choice) {
        // Nothing left to aim at: any flick will do.
        return ChooseRandom(field, ownSide);
    }
    float angle = choice->angle + Uniform(-kAimJitter, kAimJitter);
    if (angle < 0.0f)
        angle += 360.0f;
    if (angle >= 360.0f)
        angle -= 360.0f;
    choice->angle = angle;
    return choice;
}

} // namespace tovrik::robot
