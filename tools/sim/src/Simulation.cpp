#include "sim/Simulation.h"

#include "game/Field.h"
#include "game/RelayedFlick.h"
#include "sim/Sha256.h"

#include <nlohmann/json.hpp>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace tovrik::sim {
namespace {

using game::CField;
using game::CStone;
using nlohmann::json;

class BadScenario : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

int ReadInt(const json& object, const char* name, const std::string& where)
{
    const auto it = object.find(name);
    if (it == object.end())
        throw BadScenario(where + ": \"" + name + "\" is missing");
    if (!it->is_number_integer())
        throw BadScenario(where + ": \"" + name + "\" must be an integer");
    const auto value = it->get<long long>();
    if (value < INT32_MIN || value > INT32_MAX)
        throw BadScenario(where + ": \"" + name + "\" is out of range");
    return static_cast<int>(value);
}

int ReadIntIn(const json& object, const char* name, int low, int high, const std::string& where)
{
    const int value = ReadInt(object, name, where);
    if (value < low || value > high)
        throw BadScenario(where + ": \"" + name + "\" must be " + std::to_string(low) + ".." + std::to_string(high));
    return value;
}

// Read as double precision, then rounded once to single precision.
float ReadFloat(const json& object, const char* name, const std::string& where)
{
    const auto it = object.find(name);
    if (it == object.end())
        throw BadScenario(where + ": \"" + name + "\" is missing");
    if (!it->is_number())
        throw BadScenario(where + ": \"" + name + "\" must be a number");
    return static_cast<float>(it->get<double>());
}

const json& ReadObject(const json& parent, const char* name, const std::string& where)
{
    const auto it = parent.find(name);
    if (it == parent.end() || !it->is_object())
        throw BadScenario(where + ": \"" + name + "\" must be an object");
    return *it;
}

Action ParseAction(const json& entry, const std::string& where)
{
    if (!entry.is_object() || entry.size() != 1)
        throw BadScenario(where + ": an action is an object with exactly one member");
    Action action;
    const std::string& name = entry.begin().key();
    const json& body = ReadObject(entry, name.c_str(), where);
    const std::string at = where + "." + name;
    action.side = ReadIntIn(body, "side", 1, 2, at);
    if (name == "flick") {
        action.kind = ActionKind::Flick;
        action.index = ReadIntIn(body, "index", 0, 15, at);
        action.angle = ReadFloat(body, "angle", at);
        action.power = ReadFloat(body, "power", at);
    } else if (name == "nuclear") {
        action.kind = ActionKind::Nuclear;
        action.index = ReadIntIn(body, "index", 0, 15, at);
    } else if (name == "change") {
        action.kind = ActionKind::Change;
        action.minor = ReadIntIn(body, "minor", 9, 15, at);
        action.major = ReadIntIn(body, "major", 1, 8, at);
    } else if (name == "teleport") {
        action.kind = ActionKind::Teleport;
        action.index = ReadIntIn(body, "index", 0, 15, at);
        action.x = ReadInt(body, "x", at);
        action.y = ReadInt(body, "y", at);
    } else {
        throw BadScenario(where + ": unknown action \"" + name + "\"");
    }
    return action;
}

Scenario ParseScenarioJson(const json& root)
{
    if (!root.is_object())
        throw BadScenario("the scenario must be a JSON object");
    Scenario scenario;
    scenario.localSide = ReadIntIn(root, "local_side", 1, 2, "scenario");
    if (const auto it = root.find("stones"); it != root.end()) {
        if (!it->is_array())
            throw BadScenario("scenario: \"stones\" must be an array");
        for (std::size_t n = 0; n < it->size(); ++n) {
            const json& entry = (*it)[n];
            const std::string where = "stones[" + std::to_string(n) + "]";
            if (!entry.is_object())
                throw BadScenario(where + " must be an object");
            StoneOverride stone;
            stone.side = ReadIntIn(entry, "side", 1, 2, where);
            stone.index = ReadIntIn(entry, "index", 0, 15, where);
            stone.x = ReadInt(entry, "x", where);
            stone.y = ReadInt(entry, "y", where);
            stone.alive = ReadIntIn(entry, "alive", 0, 1, where);
            scenario.stones.push_back(stone);
        }
    }
    const auto actions = root.find("actions");
    if (actions == root.end() || !actions->is_array())
        throw BadScenario("scenario: \"actions\" must be an array");
    for (std::size_t n = 0; n < actions->size(); ++n)
        scenario.actions.push_back(ParseAction((*actions)[n], "actions[" + std::to_string(n) + "]"));
    return scenario;
}

// Counts the three physics sounds of one action.
class SoundCounter : public game::IGameSound {
public:
    void PlayEffect(int effect) override
    {
        if (effect == game::kSoundHitStone)
            ++hitStone;
        else if (effect == game::kSoundHitHinge)
            ++hitHinge;
        else if (effect == game::kSoundDrop)
            ++drop;
    }
    void StopAllMusic() override {}

    int hitStone = 0;
    int hitHinge = 0;
    int drop = 0;
};

void PutLittleEndian(std::uint8_t*& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        *out++ = static_cast<std::uint8_t>(value >> (8 * i));
}

// The 32 stones after one tick: 19 bytes a stone, Han then Cho.
void HashTick(CField& field, Sha256& hash)
{
    std::uint8_t record[32 * 19];
    std::uint8_t* out = record;
    field.ForEachStone([&](const CStone& s) {
        PutLittleEndian(out, static_cast<std::uint32_t>(s.x));
        PutLittleEndian(out, static_cast<std::uint32_t>(s.y));
        *out++ = static_cast<std::uint8_t>(s.alive);
        *out++ = static_cast<std::uint8_t>(s.moving);
        *out++ = static_cast<std::uint8_t>(s.dropping);
        PutLittleEndian(out, std::bit_cast<std::uint32_t>(s.angle));
        PutLittleEndian(out, std::bit_cast<std::uint32_t>(s.speed));
    });
    hash.Update(record);
}

int RunTicks(CField& field, int localSide, Sha256& hash)
{
    int ticks = 0;
    do {
        field.DoPhysicsTick(localSide);
        HashTick(field, hash);
        ++ticks;
    } while (field.IsStoneMoving() && ticks < kMaxTicksPerAction);
    return ticks;
}

void ApplyOverride(CField& field, const StoneOverride& o)
{
    CStone* stone = field.StoneAt(o.side, o.index);
    stone->SetPos(o.x, o.y);
    stone->alive = o.alive;
    if (!o.alive)
        stone->dropping = 0;
}

std::string Hex(float value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(std::bit_cast<std::uint32_t>(value)));
    return text;
}

} // namespace

std::optional<Scenario> ParseScenario(std::string_view text, std::string& error)
{
    try {
        return ParseScenarioJson(json::parse(text));
    } catch (const BadScenario& e) {
        error = e.what();
    } catch (const json::exception& e) {
        error = std::string("not valid JSON: ") + e.what();
    }
    return std::nullopt;
}

Trace RunScenario(const Scenario& scenario)
{
    CField field;
    SoundCounter sounds;
    field.SetSound(&sounds);
    field.InitStone();
    for (const StoneOverride& o : scenario.stones)
        ApplyOverride(field, o);

    Sha256 hash;
    Trace trace;
    for (const Action& action : scenario.actions) {
        field.ClearDropList();
        sounds = SoundCounter{};
        ActionTrace result;
        switch (action.kind) {
        case ActionKind::Flick: {
            const game::RelayedFlick flick = game::SanitizeRelayedFlick(action.angle, action.power);
            // As the game does: a stone that fell during the last shot and
            // still slides would otherwise tick on differently per client.
            field.StopFallenStones();
            field.StoneAt(action.side, action.index)->SetMove(flick.angle, flick.power);
            result.ticks = RunTicks(field, scenario.localSide, hash);
            break;
        }
        case ActionKind::Nuclear:
            field.StopFallenStones();
            field.DoNuclearBlast(action.side, action.index);
            result.ticks = RunTicks(field, scenario.localSide, hash);
            break;
        case ActionKind::Change:
            field.DoChangeStones(action.side, action.minor, action.major);
            break;
        case ActionKind::Teleport:
            field.DoTeleportStone(action.side, action.index, action.x, action.y);
            break;
        }
        const auto drops = field.DropList();
        result.drops.assign(drops.begin(), drops.end());
        result.hitStoneSounds = sounds.hitStone;
        result.hitHingeSounds = sounds.hitHinge;
        result.dropSounds = sounds.drop;
        trace.actions.push_back(std::move(result));
    }
    field.ForEachStone([&](const CStone& s) {
        trace.final.push_back({s.side, s.index, s.alive, s.dropping, s.x, s.y, s.angle, s.speed});
    });
    trace.traceSha256 = hash.FinishHex();
    return trace;
}

std::string TraceToJson(const Trace& trace)
{
    using ordered = nlohmann::ordered_json;
    ordered root;
    ordered actions = ordered::array();
    for (const ActionTrace& a : trace.actions) {
        ordered entry;
        entry["ticks"] = a.ticks;
        entry["drops"] = a.drops;
        entry["sounds"] = {{"hitstone", a.hitStoneSounds}, {"hithinge", a.hitHingeSounds}, {"drop", a.dropSounds}};
        actions.push_back(std::move(entry));
    }
    root["actions"] = std::move(actions);
    ordered stones = ordered::array();
    for (const FinalStone& s : trace.final) {
        ordered entry;
        entry["side"] = s.side;
        entry["index"] = s.index;
        entry["alive"] = s.alive;
        entry["dropping"] = s.dropping;
        entry["x"] = s.x;
        entry["y"] = s.y;
        entry["angle"] = Hex(s.angle);
        entry["speed"] = Hex(s.speed);
        stones.push_back(std::move(entry));
    }
    root["final"] = std::move(stones);
    root["trace_sha256"] = trace.traceSha256;
    return root.dump(1) + "\n";
}

} // namespace tovrik::sim
