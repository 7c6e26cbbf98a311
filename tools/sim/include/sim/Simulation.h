#pragma once
// Runs a scenario of flicks and items on a freshly laid-out field and
// records what the stones did, so that two implementations of the stone
// simulation can be compared by their traces.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovrik::sim {

struct StoneOverride {
    int side = 1;
    int index = 0;
    int x = 0;
    int y = 0;
    int alive = 1;
};

enum class ActionKind { Flick, Nuclear, Change, Teleport };

struct Action {
    ActionKind kind = ActionKind::Flick;
    int side = 1;
    int index = 0;  // flick, nuclear, teleport
    float angle = 0.0f;
    float power = 0.0f;
    int minor = 0;  // change
    int major = 0;  // change
    int x = 0;      // teleport
    int y = 0;      // teleport
};

struct Scenario {
    int localSide = 1;
    std::vector<StoneOverride> stones;
    std::vector<Action> actions;
};

struct ActionTrace {
    int ticks = 0;
    std::vector<int> drops;
    int hitStoneSounds = 0;
    int hitHingeSounds = 0;
    int dropSounds = 0;
};

struct FinalStone {
    int side = 0;
    int index = 0;
    int alive = 0;
    int dropping = 0;
    int x = 0;
    int y = 0;
    float angle = 0.0f;
    float speed = 0.0f;
};

struct Trace {
    std::vector<ActionTrace> actions;
    std::vector<FinalStone> final;
    std::string traceSha256;
};

// Parses a scenario; on bad input returns nothing and says why in `error`.
std::optional<Scenario> ParseScenario(std::string_view json, std::string& error);

// At most this many ticks are run after one flick or blast.
inline constexpr int kMaxTicksPerAction = 5000;

Trace RunScenario(const Scenario& scenario);

// The trace as JSON text, members in their documented order.
std::string TraceToJson(const Trace& trace);

} // namespace tovrik::sim
