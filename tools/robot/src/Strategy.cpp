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
    return static_cast<float>(static_cast<double>(low) + static_cast<double>(high - low) * unit);
}

std::optional<FlickChoice> CStrategy::Choose(const game::CField& field, int ownSide)
{
    return kind_ == StrategyKind::Random ? ChooseRandom(field, ownSide) : ChooseAimed(field, ownSide);
}

std::optional<ItemChoice> CStrategy::ChooseItem(const game::CField& field, int ownSide,
                                                 std::span<const int, 4> enabled)
{
    std::vector<int> kinds;
    for (int k = 0; k < 4; ++k)
        if (enabled[static_cast<std::size_t>(k)])
            kinds.push_back(k);
    if (kinds.empty() || rng_() % 2 == 0)
        return std::nullopt;
    ItemChoice choice;
    choice.kind = kinds[rng_() % kinds.size()];
    const auto own = field.Stones(ownSide);
    std::vector<int> candidates;
    const int first = choice.kind == game::kItemChange ? 9 : choice.kind == game::kItemNuclear ? 1 : 0;
    for (int i = first; i < game::kStonesPerSide; ++i)
        if (own[static_cast<std::size_t>(i)].alive)
            candidates.push_back(i);
    if (choice.kind == game::kItemPowerUp)
        return choice;
    // A blast of the own king would lose the game; a change needs a minor.
    if (candidates.empty())
        return std::nullopt;
    choice.index = candidates[rng_() % candidates.size()];
    if (choice.kind != game::kItemTeleport)
        return choice;
    const game::CStone& subject = own[static_cast<std::size_t>(choice.index)];
    for (int attempt = 0; attempt < 32; ++attempt) {
        const float distance = Uniform(static_cast<float>(2 * subject.radius), 0.9f * static_cast<float>(subject.teleportRange));
        const game::BoardPoint target = game::GetMovePoint(subject.x, subject.y, Uniform(0.0f, 360.0f), distance);
        if (field.CheckTeleport(subject.x, subject.y, subject.radius, target.x, target.y, subject.teleportRange)) {
            choice.targetX = target.x;
            choice.targetY = target.y;
            return choice;
        }
    }
    return std::nullopt;
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
