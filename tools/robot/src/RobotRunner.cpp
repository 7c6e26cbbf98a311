#include "robot/RobotRunner.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace tovrik::robot {

using Clock = std::chrono::steady_clock;

CRobot& CRobotRunner::Add(RobotOptions options)
{
    robots_.push_back(std::make_unique<CRobot>(poller_, clock_, std::move(options)));
    robots_.back()->Start();
    return *robots_.back();
}

namespace {
// The loop also checks `done` between waits; a caller's stop flag is seen
// within this time.
constexpr int kLongestWaitMs = 250;
} // namespace

bool CRobotRunner::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    for (;;) {
        if (done())
            return true;
        const auto now = Clock::now();
        if (now >= deadline)
            return false;
        // Each robot tells how long it may sleep; robots waiting in a lobby
        // let the loop sleep long, so that idle robots cost no processor.
        int wait = kLongestWaitMs;
        for (auto& robot : robots_)
            wait = std::min(wait, robot->Step(now));
        if (done())
            return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
        poller_.Wait(static_cast<int>(std::clamp<long long>(std::min<long long>(wait, left), 0, kLongestWaitMs)));
    }
}

bool CRobotRunner::RunAll(std::chrono::milliseconds limit)
{
    return RunUntil(
        [this] { return std::all_of(robots_.begin(), robots_.end(), [](const auto& r) { return r->Finished(); }); },
        limit);
}

void CRobotRunner::Remove(const CRobot& robot)
{
    const auto found = std::find_if(robots_.begin(), robots_.end(), [&](const auto& r) { return r.get() == &robot; });
    if (found == robots_.end())
        return;
    (*found)->Stop();
    robots_.erase(found);
}

void CRobotRunner::StopAll()
{
    for (auto& robot : robots_)
        robot->Stop();
}

int CountDesyncs(const CRobot& a, const CRobot& b)
{
    const std::size_t both = std::min(a.Games().size(), b.Games().size());
    int desyncs = 0;
    for (std::size_t i = 0; i < both; ++i)
        if (a.Games()[i].shotHashes != b.Games()[i].shotHashes)
            ++desyncs;
    return desyncs;
}

namespace {

RobotOptions PairOptions(const SoakOptions& options, int n, RobotRole role)
{
    RobotOptions robot;
    robot.id = options.idPrefix + (role == RobotRole::Host ? "h" : "g") + std::to_string(n);
    robot.masterHost = options.masterHost;
    robot.masterPort = options.masterPort;
    robot.role = role;
    robot.roomTitle = options.idPrefix + "-room" + std::to_string(n);
    robot.bet = options.bet;
    robot.games = options.games;
    robot.strategy = options.strategy;
    robot.seed = options.seed + static_cast<std::uint32_t>(2 * n + (role == RobotRole::Host ? 0 : 1));
    robot.thinkMs = options.thinkMs;
    robot.useItems = options.useItems;
    robot.channelGroup = options.channelGroup;
    robot.channelNo = options.channelNo;
    robot.idleTimeoutMs = options.idleTimeoutMs;
    robot.trace = options.trace;
    return robot;
}

} // namespace

RobotOptions PairHostOptions(const SoakOptions& options, int n) { return PairOptions(options, n, RobotRole::Host); }
RobotOptions PairGuestOptions(const SoakOptions& options, int n) { return PairOptions(options, n, RobotRole::Guest); }

void AddPairToResult(const CRobot& host, const CRobot& guest, int gamesWanted, SoakResult& result)
{
    const int both = static_cast<int>(std::min(host.Games().size(), guest.Games().size()));
    result.games += both;
    result.desyncs += CountDesyncs(host, guest);
    for (std::size_t g = 0; g < static_cast<std::size_t>(both); ++g) {
        const auto& a = host.Games()[g].shotHashes;
        const auto& b = guest.Games()[g].shotHashes;
        if (a == b)
            continue;
        std::size_t shot = 0;
        while (shot < a.size() && shot < b.size() && a[shot] == b[shot])
            ++shot;
        result.desyncTexts.push_back(host.Options().id + " and " + guest.Options().id + ", game " +
                                     std::to_string(g + 1) + ": shot " + std::to_string(shot + 1) + " differs (" +
                                     std::to_string(a.size()) + " and " + std::to_string(b.size()) + " shots)");
    }
    for (const CRobot* robot : {&host, &guest}) {
        for (const std::string& text : robot->Errors()) {
            ++result.errors;
            result.errorTexts.push_back(text);
        }
        if (!robot->Finished()) {
            ++result.errors;
            result.errorTexts.push_back(robot->Options().id + ": still " + std::string(PhaseName(robot->Phase())));
        }
    }
    if (host.Games().size() != guest.Games().size()) {
        ++result.errors;
        result.errorTexts.push_back(host.Options().id + " and " + guest.Options().id + " finished " +
                                    std::to_string(host.Games().size()) + " and " +
                                    std::to_string(guest.Games().size()) + " games");
    } else if (gamesWanted > 0 && both < gamesWanted && host.Errors().empty() && guest.Errors().empty()) {
        ++result.errors;
        result.errorTexts.push_back(host.Options().id + ": " + std::to_string(both) + " of " +
                                    std::to_string(gamesWanted) + " games");
    }
}

SoakResult RunSoak(const SoakOptions& options)
{
    CRobotRunner runner;
    std::vector<std::pair<CRobot*, CRobot*>> pairs;
    const auto deadline = Clock::now() + options.timeLimit;
    // Pairs join in batches: a burst of hundreds of connects overflows the
    // server's accept queue, and a connection lost there is never answered.
    constexpr int kPairsPerBatch = 25;
    for (int n = 1; n <= options.pairs; ++n) {
        CRobot& host = runner.Add(PairHostOptions(options, n));
        CRobot& guest = runner.Add(PairGuestOptions(options, n));
        pairs.emplace_back(&host, &guest);
        if (n % kPairsPerBatch != 0 || n == options.pairs)
            continue;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        runner.RunUntil(
            [&] {
                return std::all_of(runner.Robots().begin(), runner.Robots().end(), [](const auto& robot) {
                    return robot->Finished() || robot->Phase() >= RobotPhase::Lobby;
                });
            },
            std::max(left, std::chrono::milliseconds(0)));
    }
    runner.RunAll(std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()),
                           std::chrono::milliseconds(0)));
    SoakResult result;
    for (const auto& [host, guest] : pairs)
        AddPairToResult(*host, *guest, options.games, result);
    runner.StopAll();
    result.peakRssMb = PeakRssMb();
    return result;
}

std::string FormatSoakLine(const SoakResult& result)
{
    char line[160];
    std::snprintf(line, sizeof line, "games: %d, desyncs: %d, errors: %d, peak_rss_mb: %.1f", result.games,
                  result.desyncs, result.errors, result.peakRssMb);
    return line;
}

double PeakRssMb()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace tovrik::robot
