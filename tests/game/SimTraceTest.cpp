#include "game/RelayedFlick.h"
#include "sim/Sha256.h"
#include "sim/Simulation.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

namespace tovrik::sim {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string HashOf(std::string_view text)
{
    Sha256 hash;
    hash.Update({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    return hash.FinishHex();
}

TEST(Sha256, KnownDigests)
{
    EXPECT_EQ(HashOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(HashOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(HashOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // Fed in pieces that straddle the 64-byte blocks.
    Sha256 pieces;
    const std::string million(1000000, 'a');
    for (std::size_t at = 0; at < million.size(); at += 997) {
        const std::size_t n = std::min<std::size_t>(997, million.size() - at);
        pieces.Update({reinterpret_cast<const std::uint8_t*>(million.data() + at), n});
    }
    EXPECT_EQ(pieces.FinishHex(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// Runs every NAME.json of a folder that has a NAME.expected.json beside it
// and compares the parsed traces, hash included.
int CheckScenarioFolder(const fs::path& folder)
{
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const fs::path path = entry.path();
        const std::string name = path.filename().string();
        if (path.extension() != ".json" || name.ends_with(".expected.json"))
            continue;
        const fs::path expectedPath = folder / (path.stem().string() + ".expected.json");
        if (!fs::exists(expectedPath))
            continue;
        std::string error;
        const auto scenario = ParseScenario(ReadFile(path), error);
        EXPECT_TRUE(scenario.has_value()) << name << ": " << error;
        if (!scenario)
            continue;
        const auto actual = nlohmann::json::parse(TraceToJson(RunScenario(*scenario)));
        const auto expected = nlohmann::json::parse(ReadFile(expectedPath));
        EXPECT_EQ(actual["actions"], expected["actions"]) << name;
        EXPECT_EQ(actual["final"], expected["final"]) << name;
        EXPECT_EQ(actual["trace_sha256"], expected["trace_sha256"]) << name;
        EXPECT_EQ(actual, expected) << name;
        ++checked;
    }
    return checked;
}

// The examples every implementation of the simulation must reproduce. A copy
// lives beside the tests; the shared folder, where a checkout has one beside
// it, may hold newer ones.
TEST(SimTrace, SharedExamplesAreReproducedExactly)
{
    EXPECT_GE(CheckScenarioFolder(TOVRIK_SIM_EXAMPLES_DIR), 3);
    const fs::path shared = fs::path(TOVRIK_SHARED_DIR) / "sim-examples";
    if (fs::is_directory(shared)) {
        EXPECT_GE(CheckScenarioFolder(shared), 3);
    }
}

// Our own scenarios with hinges, items and out-of-range relayed flicks. Their
// traces pin the simulation: a compiler or flag change that moves one bit of
// one stone on one tick fails here.
TEST(SimTrace, PinnedTrajectoriesAreUnchanged)
{
    EXPECT_GE(CheckScenarioFolder(TOVRIK_SIM_PINNED_DIR), 3);
}

TEST(SimTrace, ToolWritesTheSameTrace)
{
    const fs::path tool = fs::path(TOVRIK_RUNTIME_DIR) / "tovrik-sim";
    const fs::path scenario = fs::path(TOVRIK_SIM_EXAMPLES_DIR) / "break_shot.json";
    const std::string command = tool.string() + " " + scenario.string();
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, n);
    EXPECT_EQ(pclose(pipe), 0);
    const auto expected = nlohmann::json::parse(ReadFile(fs::path(TOVRIK_SIM_EXAMPLES_DIR) / "break_shot.expected.json"));
    EXPECT_EQ(nlohmann::json::parse(output), expected);
}

TEST(SimTrace, NoActionsHashTheEmptyString)
{
    std::string error;
    const auto scenario = ParseScenario(R"({"local_side": 2, "actions": []})", error);
    ASSERT_TRUE(scenario) << error;
    const Trace trace = RunScenario(*scenario);
    EXPECT_EQ(trace.traceSha256, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(trace.final.size(), 32u);
    EXPECT_EQ(trace.final[16].side, 2);
    EXPECT_EQ(trace.final[16].y, 142);
}

TEST(SimTrace, BadScenariosAreRefusedWithAReason)
{
    const char* cases[] = {
        "",
        "[]",
        R"({"actions": []})",
        R"({"local_side": 3, "actions": []})",
        R"({"local_side": 1})",
        R"({"local_side": 1, "actions": [{"flick": {"side": 1, "index": 16, "angle": 0, "power": 1}}]})",
        R"({"local_side": 1, "actions": [{"flick": {"side": 1, "index": 0, "angle": "up", "power": 1}}]})",
        R"({"local_side": 1, "actions": [{"jump": {"side": 1}}]})",
        R"({"local_side": 1, "actions": [{"change": {"side": 1, "minor": 8, "major": 2}}]})",
        R"({"local_side": 1, "actions": [{"teleport": {"side": 1, "index": 3, "x": 1.5, "y": 2}}]})",
        R"({"local_side": 1, "stones": [{"side": 1, "index": 0, "x": 1, "y": 2}], "actions": []})",
        R"({"local_side": 1, "actions": [{"flick": {"side": 1, "index": 0, "angle": 0, "power": 1}, "nuclear": {}}]})",
    };
    for (const char* text : cases) {
        std::string error;
        EXPECT_FALSE(ParseScenario(text, error).has_value()) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(RelayedFlick, UntrustedValuesAreBroughtIntoRange)
{
    using game::SanitizeRelayedFlick;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float angle, power, wantAngle, wantPower;
    };
    const Case cases[] = {
        {90.0f, 30.0f, 90.0f, 30.0f}, {nan, 10.0f, 0.0f, 10.0f},    {45.0f, nan, 45.0f, 0.0f},
        {inf, -inf, 0.0f, 0.0f},      {10.0f, -5.0f, 10.0f, 0.0f},  {10.0f, 40.5f, 10.0f, 40.0f},
        {360.0f, 5.0f, 0.0f, 5.0f},   {725.0f, 5.0f, 365.0f, 5.0f}, {-30.0f, 5.0f, -30.0f, 5.0f},
    };
    for (const Case& c : cases) {
        const auto flick = SanitizeRelayedFlick(c.angle, c.power);
        EXPECT_EQ(flick.angle, c.wantAngle) << c.angle << " " << c.power;
        EXPECT_EQ(flick.power, c.wantPower) << c.angle << " " << c.power;
    }
}

} // namespace
} // namespace tovrik::sim
