// tovrik-robot: robot players for the local server. One robot, a pair, or a
// soak of many pairs; see tools/robot/README.md.

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <span>
#include <string_view>
#include <sstream>
#include <string>
#include <vector>

#include "robot/LocalServer.h"
#include "robot/RobotRunner.h"

namespace {

using namespace tovrik::robot;

constexpr const char* kUsage = R"(usage: tovrik-robot [options]
  --master HOST:PORT     master server (a soak without it starts its own server)
  --id ID                login id of a single robot (default robot1)
  --role host|guest|lobby  what a single robot does (default host)
  --pair                 a host and a guest against --master
  --practice N           N practice opponents for people against --master, until
                         stopped (SIGINT/SIGTERM); ids are --id with 1..N appended
                         (default practice1..), nicknames 연습상대1..
  --channel G-C          play in channel C of group G (default: where the login puts the robot)
  --room TITLE           room title the host opens and the guest looks for
  --games N              games to play (default 1; 0 = until stopped)
  --strategy aimed|random  (default aimed)
  --seed N               strategy seed (default 1)
  --bet N                room bet (default 100)
  --think-ms N           wait this long into a turn before flicking
                         (practice: 1200, plus up to 1500 more, drawn per turn)
  --items                use items (in an item channel) before flicks
  --reserve-exit         reserve leaving during the last game; the server takes the robot out
  --mute-after N         stop reporting after N shots
  --idle-timeout-ms N    nothing in or out for this long is an error (default 60000)
  --hash-log FILE        one line per finished game with its shot hashes
  --trace                every message in and out on standard error
  --soak                 run --pairs N pairs for --games M games each
  --pairs N              pairs of a soak (default 2)
  --server PATH          tovrik-server to start (default: beside this program)
  --config FILE          configuration for the started server
  --time-limit SECONDS   give up after this long (default 1800)
)";

constexpr const char* kSoakConfig = R"([Rules]
StartMoney = 1000000
MaxRoomsPerChannel = 800
[Group1]
Name = robots
[Channel1-1]
MaxUser = 1000
Item = 1
)";

struct Arguments {
    RobotOptions robot;
    bool pair = false;
    bool soak = false;
    bool masterGiven = false;
    int practice = 0;
    bool idGiven = false;
    bool thinkGiven = false;
    bool timeLimitGiven = false;
    int pairs = 2;
    std::string hashLog;
    std::string serverPath;
    std::string configPath;
    int timeLimitSeconds = 1800;
};

bool ParseEndpoint(const std::string& text, std::string& host, int& port)
{
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    host = text.substr(0, colon);
    char* end = nullptr;
    const long value = std::strtol(text.c_str() + colon + 1, &end, 10);
    if (*end != '\0' || value <= 0 || value > 65535)
        return false;
    port = static_cast<int>(value);
    return true;
}

std::optional<int> ParseInt(const std::string& text, int low, int high)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < low || value > high)
        return std::nullopt;
    return static_cast<int>(value);
}

struct IntOption {
    std::string_view name;
    int* value;
    int low;
    int high;
};

const IntOption* FindIntOption(std::span<const IntOption> options, std::string_view name)
{
    for (const IntOption& option : options)
        if (option.name == name)
            return &option;
    return nullptr;
}

std::optional<Arguments> ParseArguments(int argc, char** argv)
{
    Arguments args;
    args.robot.id = "robot1";
    args.robot.games = 1;
    int seed = 1;
    const IntOption intOptions[] = {
        {"--games", &args.robot.games, 0, 1000000},
        {"--pairs", &args.pairs, 1, 400},
        {"--practice", &args.practice, 1, 50},
        {"--seed", &seed, 0, 2147483647},
        {"--bet", &args.robot.bet, 1, 2147483647},
        {"--think-ms", &args.robot.thinkMs, 0, 600000},
        {"--mute-after", &args.robot.muteAfterShots, 0, 1000000},
        {"--idle-timeout-ms", &args.robot.idleTimeoutMs, 0, 86400000},
        {"--time-limit", &args.timeLimitSeconds, 1, 86400 * 7},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        const auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc)
                return std::nullopt;
            return std::string(argv[++i]);
        };
        const auto number = [&](int low, int high) -> std::optional<int> {
            const auto text = value();
            return text ? ParseInt(*text, low, high) : std::nullopt;
        };
        const auto bad = [&]() -> std::optional<Arguments> {
            std::fprintf(stderr, "tovrik-robot: bad or missing value for %s\n%s", name.c_str(), kUsage);
            return std::nullopt;
        };
        if (name == "--master") {
            const auto text = value();
            if (!text || !ParseEndpoint(*text, args.robot.masterHost, args.robot.masterPort))
                return bad();
            args.masterGiven = true;
        } else if (name == "--id") {
            const auto text = value();
            if (!text || text->empty() || text->size() > 15)
                return bad();
            args.robot.id = *text;
            args.idGiven = true;
        } else if (name == "--role") {
            const auto text = value();
            if (text && *text == "host")
                args.robot.role = RobotRole::Host;
            else if (text && *text == "guest")
                args.robot.role = RobotRole::Guest;
            else if (text && *text == "lobby")
                args.robot.role = RobotRole::Lobby;
            else
                return bad();
        } else if (name == "--pair") {
            args.pair = true;
        } else if (name == "--soak") {
            args.soak = true;
        } else if (name == "--channel") {
            const auto text = value();
            const auto dash = text ? text->find('-') : std::string::npos;
            const auto group = dash != std::string::npos ? ParseInt(text->substr(0, dash), 1, 32767) : std::nullopt;
            const auto channel = dash != std::string::npos ? ParseInt(text->substr(dash + 1), 1, 32767) : std::nullopt;
            if (!group || !channel)
                return bad();
            args.robot.channelGroup = *group;
            args.robot.channelNo = *channel;
        } else if (name == "--reserve-exit") {
            args.robot.reserveExit = true;
        } else if (name == "--items") {
            args.robot.useItems = true;
        } else if (name == "--trace") {
            args.robot.trace = true;
        } else if (name == "--room") {
            const auto text = value();
            if (!text || text->empty() || text->size() > 31)
                return bad();
            args.robot.roomTitle = *text;
        } else if (name == "--strategy") {
            const auto text = value();
            const auto kind = text ? ParseStrategy(*text) : std::nullopt;
            if (!kind)
                return bad();
            args.robot.strategy = *kind;
        } else if (const IntOption* option = FindIntOption(intOptions, name)) {
            const auto n = number(option->low, option->high);
            if (!n)
                return bad();
            *option->value = *n;
            args.thinkGiven |= name == "--think-ms";
            args.timeLimitGiven |= name == "--time-limit";
        } else if (name == "--hash-log" || name == "--server" || name == "--config") {
            const auto text = value();
            if (!text || text->empty())
                return bad();
            (name == "--hash-log" ? args.hashLog : name == "--server" ? args.serverPath : args.configPath) = *text;
        } else if (name == "--help" || name == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else {
            std::fprintf(stderr, "tovrik-robot: unknown option %s\n%s", name.c_str(), kUsage);
            return std::nullopt;
        }
    }
    args.robot.seed = static_cast<std::uint32_t>(seed);
    if (args.pair && args.robot.id.size() > 13) {
        std::fprintf(stderr, "tovrik-robot: --id of a pair is at most 13 characters (h1 and g1 follow)\n");
        return std::nullopt;
    }
    if (args.practice > 0 && (args.pair || args.soak)) {
        std::fprintf(stderr, "tovrik-robot: --practice runs on its own, without --pair or --soak\n");
        return std::nullopt;
    }
    if (args.practice > 0 && !args.idGiven)
        args.robot.id = "practice";
    if (args.practice > 0 && args.robot.id.size() + std::to_string(args.practice).size() > 15) {
        std::fprintf(stderr, "tovrik-robot: --id of practice robots is too long for their numbers\n");
        return std::nullopt;
    }
    if (!args.soak && !args.masterGiven) {
        std::fprintf(stderr, "tovrik-robot: --master HOST:PORT is needed unless --soak\n");
        return std::nullopt;
    }
    return args;
}

std::string HashText(std::uint64_t hash)
{
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// One line per finished game: id, game number, result, then the hashes.
void WriteGames(std::ostream& out, const CRobot& robot)
{
    int number = 0;
    for (const GameRecord& game : robot.Games()) {
        out << robot.Options().id << " game " << ++number << ' '
            << (game.changePoint > 0 ? "won" : game.changePoint < 0 ? "lost" : "draw") << " shots "
            << game.shotHashes.size();
        for (const std::uint64_t hash : game.shotHashes)
            out << ' ' << HashText(hash);
        out << '\n';
    }
}

int ReportErrors(const std::vector<std::string>& errors)
{
    for (const std::string& text : errors)
        std::fprintf(stderr, "error: %s\n", text.c_str());
    return errors.empty() ? 0 : 1;
}

int RunSoakCommand(Arguments& args)
{
    CLocalServer server;
    SoakOptions soak;
    if (!args.masterGiven) {
        std::string config = kSoakConfig;
        if (!args.configPath.empty()) {
            std::ifstream in(args.configPath);
            if (!in) {
                std::fprintf(stderr, "tovrik-robot: cannot read %s\n", args.configPath.c_str());
                return 2;
            }
            std::ostringstream text;
            text << in.rdbuf();
            config = text.str();
        }
        std::string error;
        const std::filesystem::path path = args.serverPath.empty() ? DefaultServerPath() : std::filesystem::path(args.serverPath);
        if (!server.Start(path, config, error)) {
            std::fprintf(stderr, "tovrik-robot: %s\n", error.c_str());
            return 2;
        }
        soak.masterHost = server.MasterHost();
        soak.masterPort = server.MasterPort();
        soak.idPrefix = "robot";
    } else {
        soak.masterHost = args.robot.masterHost;
        soak.masterPort = args.robot.masterPort;
        // Another soak may be logged in on the same server.
        soak.idPrefix = "r" + std::to_string(::getpid() % 100000);
    }
    soak.pairs = args.pairs;
    soak.games = std::max(1, args.robot.games);
    soak.strategy = args.robot.strategy;
    soak.seed = args.robot.seed;
    soak.bet = args.robot.bet;
    soak.thinkMs = args.robot.thinkMs;
    soak.useItems = args.robot.useItems;
    soak.channelGroup = args.robot.channelGroup;
    soak.channelNo = args.robot.channelNo;
    soak.idleTimeoutMs = args.robot.idleTimeoutMs;
    soak.trace = args.robot.trace;
    soak.timeLimit = std::chrono::seconds(args.timeLimitSeconds);
    const SoakResult result = RunSoak(soak);
    for (const std::string& text : result.errorTexts)
        std::fprintf(stderr, "error: %s\n", text.c_str());
    for (const std::string& text : result.desyncTexts)
        std::fprintf(stderr, "desync: %s\n", text.c_str());
    if (result.errors > 0 && server.Running())
        std::fprintf(stderr, "server log:\n%s\n", server.Log().c_str());
    server.Stop();
    std::printf("%s\n", FormatSoakLine(result).c_str());
    return result.desyncs == 0 && result.errors == 0 ? 0 : 1;
}

int RunRobots(Arguments& args)
{
    CRobotRunner runner;
    std::vector<CRobot*> robots;
    if (args.pair) {
        SoakOptions pair;
        pair.masterHost = args.robot.masterHost;
        pair.masterPort = args.robot.masterPort;
        pair.games = args.robot.games;
        pair.strategy = args.robot.strategy;
        pair.seed = args.robot.seed;
        pair.bet = args.robot.bet;
        pair.thinkMs = args.robot.thinkMs;
        pair.useItems = args.robot.useItems;
        pair.channelGroup = args.robot.channelGroup;
        pair.channelNo = args.robot.channelNo;
        pair.idleTimeoutMs = args.robot.idleTimeoutMs;
        pair.trace = args.robot.trace;
        pair.idPrefix = args.robot.id;
        RobotOptions host = PairHostOptions(pair, 1);
        RobotOptions guest = PairGuestOptions(pair, 1);
        host.roomTitle = guest.roomTitle = args.robot.roomTitle;
        host.muteAfterShots = args.robot.muteAfterShots;
        robots.push_back(&runner.Add(host));
        robots.push_back(&runner.Add(guest));
    } else {
        robots.push_back(&runner.Add(args.robot));
    }
    const bool finished = runner.RunAll(std::chrono::seconds(args.timeLimitSeconds));
    std::vector<std::string> errors;
    std::ostringstream games;
    for (CRobot* robot : robots) {
        WriteGames(games, *robot);
        errors.insert(errors.end(), robot->Errors().begin(), robot->Errors().end());
    }
    // A lobby robot, and one told to stay in its room, end with the time limit.
    const bool staysForever = !args.pair && (args.robot.role == RobotRole::Lobby || args.robot.games == 0);
    if (!finished && !staysForever)
        errors.push_back("not finished within the time limit");
    std::fputs(games.str().c_str(), stdout);
    if (!args.hashLog.empty())
        std::ofstream(args.hashLog) << games.str();
    if (args.pair) {
        const int desyncs = CountDesyncs(*robots[0], *robots[1]);
        if (desyncs > 0)
            errors.push_back(std::to_string(desyncs) + " games with different shot hashes");
    }
    runner.StopAll();
    return ReportErrors(errors);
}

volatile std::sig_atomic_t g_stopRequested = 0;

extern "C" void RequestStop(int)
{
    g_stopRequested = 1;
}

RobotOptions PracticeOptions(const Arguments& args, int n)
{
    RobotOptions options = args.robot;
    options.id = args.robot.id + std::to_string(n);
    options.cookie = "id=" + options.id + "&nick=연습상대" + std::to_string(n);
    options.role = RobotRole::Practice;
    options.games = 0;
    options.seed = args.robot.seed + static_cast<std::uint32_t>(n) * 7919u;
    if (!args.thinkGiven) {
        options.thinkMs = 1200;
        options.thinkJitterMs = 1500;
    }
    // A practice robot may sit in the lobby for hours.
    options.idleTimeoutMs = 0;
    return options;
}

// Practice opponents stay until stopped. One that fails (a lost
// connection, a refused login) is reported and replaced after a pause, so
// that people always find an opponent.
int RunPractice(const Arguments& args)
{
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    CRobotRunner runner;
    std::vector<CRobot*> robots;
    for (int n = 1; n <= args.practice; ++n)
        robots.push_back(&runner.Add(PracticeOptions(args, n)));
    std::printf("practice robots: %d against %s:%d\n", args.practice, args.robot.masterHost.c_str(),
                args.robot.masterPort);
    std::fflush(stdout);
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(args.timeLimitGiven ? args.timeLimitSeconds : 86400 * 7);
    std::vector<Clock::time_point> restartAt(robots.size());
    int failures = 0;
    while (!g_stopRequested && Clock::now() < deadline) {
        runner.RunUntil([] { return g_stopRequested != 0; }, std::chrono::seconds(1));
        for (std::size_t i = 0; i < robots.size(); ++i) {
            if (!robots[i]->HasFailed())
                continue;
            if (restartAt[i] == Clock::time_point{}) {
                ++failures;
                for (const std::string& error : robots[i]->Errors())
                    std::fprintf(stderr, "tovrik-robot: %s: %s\n", robots[i]->Options().id.c_str(), error.c_str());
                restartAt[i] = Clock::now() + std::chrono::seconds(5);
            } else if (Clock::now() >= restartAt[i]) {
                restartAt[i] = {};
                runner.Remove(*robots[i]);
                robots[i] = &runner.Add(PracticeOptions(args, static_cast<int>(i) + 1));
            }
        }
    }
    runner.StopAll();
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    auto args = ParseArguments(argc, argv);
    if (!args)
        return 2;
    if (args->practice > 0)
        return RunPractice(*args);
    return args->soak ? RunSoakCommand(*args) : RunRobots(*args);
}
