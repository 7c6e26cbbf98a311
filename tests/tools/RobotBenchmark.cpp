// Load on the local server from many robots on loopback: how many relayed
// room messages per second it delivers, and how long a lobby chat line takes
// to reach every user of a channel.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "protocol/MessageCatalogue.h"
#include "robot/LocalServer.h"
#include "robot/RobotRunner.h"

namespace tovrik::robot {
namespace {

namespace msgid = protocol::msgid;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kConfig = R"([Rules]
StartMoney = 100000
MaxRoomsPerChannel = 800
[Group1]
Name = load
[Channel1-1]
MaxUser = 1000
)";

RobotOptions Options(const CLocalServer& server, const std::string& id, RobotRole role)
{
    RobotOptions options;
    options.id = id;
    options.masterHost = server.MasterHost();
    options.masterPort = server.MasterPort();
    options.role = role;
    options.roomTitle = "load-" + id.substr(1);
    options.games = 0;
    options.play = false;
    options.idleTimeoutMs = 0;
    return options;
}

bool StartServer(CLocalServer& server, benchmark::State& state)
{
    std::string error;
    if (!server.Start(std::string(TOVRIK_RUNTIME_DIR) + "/tovrik-server", kConfig, error)) {
        state.SkipWithError(error.c_str());
        return false;
    }
    return true;
}

// Pairs of robots in rooms; every round each host sends a burst of room chat
// lines, and the round ends when both members of every room have them all.
void BM_RelayedMessages(benchmark::State& state)
{
    const int pairs = static_cast<int>(state.range(0));
    // Room chat is rate-limited by the server (a burst of 10, then 2 lines a
    // second): a burst within the allowance measures the relay, not the limit.
    constexpr int kBurst = 10;
    constexpr auto kRefill = 5500ms;
    CLocalServer server;
    if (!StartServer(server, state))
        return;
    CRobotRunner runner;
    std::vector<CRobot*> hosts;
    long long delivered = 0;
    for (int n = 0; n < pairs; ++n) {
        CRobot& host = runner.Add(Options(server, "h" + std::to_string(n), RobotRole::Host));
        CRobot& guest = runner.Add(Options(server, "g" + std::to_string(n), RobotRole::Guest));
        for (CRobot* robot : {&host, &guest})
            robot->onFrame = [&delivered](int id, char*, int) { delivered += id == msgid::CCL_CHATDATA; };
        hosts.push_back(&host);
    }
    const bool seated = runner.RunUntil(
        [&] {
            for (auto& robot : runner.Robots())
                if (!robot->Game().InRoom() || robot->Game().Player(1).ID().empty())
                    return false;
            return true;
        },
        30s);
    if (!seated) {
        state.SkipWithError("the robots did not meet in their rooms");
        return;
    }
    long long relayed = 0;
    for (auto _ : state) {
        // The robots keep being served while the allowance refills; that wait is not measured.
        runner.RunUntil([] { return false; }, kRefill);
        delivered = 0;
        const auto start = Clock::now();
        for (CRobot* host : hosts)
            for (int i = 0; i < kBurst; ++i)
                host->SendRoomChat("load");
        const long long expected = 2LL * kBurst * pairs;
        if (!runner.RunUntil([&] { return delivered >= expected; }, 30s)) {
            state.SkipWithError("relayed lines went missing");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        relayed += expected;
    }
    state.SetItemsProcessed(relayed);
    state.counters["relayed_per_s"] = benchmark::Counter(static_cast<double>(relayed), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RelayedMessages)->Arg(1)->Arg(16)->Iterations(8)->Unit(benchmark::kMillisecond)->UseManualTime();

// Users in one lobby; one says a line, and the time is until the last of
// them (the speaker's own echo included) has it.
void BM_LobbyChatFanOut(benchmark::State& state)
{
    const int users = static_cast<int>(state.range(0));
    CLocalServer server;
    if (!StartServer(server, state))
        return;
    CRobotRunner runner;
    int heard = 0;
    // In batches: a burst of hundreds of connects overflows the server's
    // accept queue, and a connection lost there leaves its robot waiting.
    constexpr int kBatch = 50;
    for (int first = 0; first < users; first += kBatch) {
        for (int n = first; n < std::min(users, first + kBatch); ++n) {
            CRobot& robot = runner.Add(Options(server, "u" + std::to_string(n), RobotRole::Lobby));
            robot.onFrame = [&heard](int id, char*, int) { heard += id == msgid::CSV_CHATDATA; };
        }
        const bool inLobby = runner.RunUntil(
            [&] {
                for (auto& robot : runner.Robots())
                    if (robot->Phase() != RobotPhase::Lobby)
                        return false;
                return true;
            },
            60s);
        if (!inLobby) {
            std::string why = "the robots did not reach the lobby";
            for (auto& robot : runner.Robots())
                if (robot->Phase() != RobotPhase::Lobby) {
                    why += ": " + robot->Options().id + " " + std::string(PhaseName(robot->Phase()));
                    if (!robot->Errors().empty())
                        why += ", " + robot->Errors().front();
                    break;
                }
            state.SkipWithError(why.c_str());
            return;
        }
    }
    // Arrivals announced to the others are not part of the measure.
    runner.RunUntil([] { return false; }, 300ms);
    CRobot& speaker = *runner.Robots().front();
    for (auto _ : state) {
        heard = 0;
        const auto start = Clock::now();
        speaker.SendLobbyChat("hello everyone");
        if (!runner.RunUntil([&] { return heard >= users; }, 10s)) {
            state.SkipWithError("a chat line went missing");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["users"] = users;
}
BENCHMARK(BM_LobbyChatFanOut)->Arg(10)->Arg(100)->Arg(300)->Iterations(50)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tovrik::robot
