#pragma once
// Runs many robots on one thread: one poller for all their sockets, and the
// robots' steps between its waits. Pairs of robots play games against each
// other, and a soak run sums up what the pairs saw.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Poller.h"
#include "robot/Robot.h"
#include "robot/RobotGame.h"

namespace tovrik::robot {

class CRobotRunner {
public:
    CRobotRunner() = default;
    CRobotRunner(const CRobotRunner&) = delete;
    CRobotRunner& operator=(const CRobotRunner&) = delete;

    // The robot is started at once.
    CRobot& Add(RobotOptions options);
    // Stops the robot and lets it go; call it between runs, not from a step.
    void Remove(const CRobot& robot);
    // Steps the robots and waits on their sockets until `done` holds or
    // `limit` has passed; true when `done` held.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
    // Until every robot is done or has failed.
    bool RunAll(std::chrono::milliseconds limit);
    void StopAll();

    base::Poller& Poller() { return poller_; }
    std::vector<std::unique_ptr<CRobot>>& Robots() { return robots_; }

private:
    base::Poller poller_;
    CSteadyGameClock clock_;
    std::vector<std::unique_ptr<CRobot>> robots_;
};

// The games two robots of one room both finished whose shot hashes differ.
int CountDesyncs(const CRobot& a, const CRobot& b);

struct SoakOptions {
    std::string masterHost = "127.0.0.1";
    int masterPort = 0;
    int pairs = 1;
    int games = 1;
    StrategyKind strategy = StrategyKind::Aimed;
    std::uint32_t seed = 1;
    std::string idPrefix = "robot";  // ids are <prefix>h<n> and <prefix>g<n>
    int bet = 100;
    int thinkMs = 0;
    bool useItems = false;
    int channelGroup = 0;  // 0: the channel of the login
    int channelNo = 0;
    int idleTimeoutMs = 60000;
    bool trace = false;
    std::chrono::milliseconds timeLimit{std::chrono::minutes(30)};
};

struct SoakResult {
    int games = 0;    // games both robots of a pair finished
    int desyncs = 0;  // of those, games whose hash sequences differ
    int errors = 0;   // robot failures, and games one side saw and the other not
    double peakRssMb = 0.0;
    std::vector<std::string> errorTexts;
    std::vector<std::string> desyncTexts;  // where each desync shows first
};

// Host and guest options of pair `n` of a soak.
RobotOptions PairHostOptions(const SoakOptions& options, int n);
RobotOptions PairGuestOptions(const SoakOptions& options, int n);

// Runs the pairs to the end (or the time limit) against the master given.
SoakResult RunSoak(const SoakOptions& options);
// Adds the figures of one finished pair to `result`.
void AddPairToResult(const CRobot& host, const CRobot& guest, int gamesWanted, SoakResult& result);

// "games: G, desyncs: D, errors: E, peak_rss_mb: R"
std::string FormatSoakLine(const SoakResult& result);

// The peak resident size of this process, in MiB.
double PeakRssMb();

} // namespace tovrik::robot
