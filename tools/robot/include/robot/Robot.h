#pragma once
// A robot player: a client without a screen. It logs in through the master
// server as the client does, creates or joins a room, readies, starts, and
// plays whole games with its strategy on its own CGame, then leaves and logs
// out. Everything runs on the caller's thread: the poller delivers the
// sockets' events, and Step runs the game clock and the robot's decisions.

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Poller.h"
#include "game/GameServices.h"
#include "protocol/Records.h"
#include "robot/RobotConnection.h"
#include "robot/RobotGame.h"
#include "robot/Strategy.h"

namespace tovrik::robot {

// Host creates the room and starts the games; Guest joins the waiting room
// with the host's title and readies; Lobby only logs in and stays. Practice
// is an opponent for people: it greets the lobby, enters any open waiting
// room with one player (or the room it is invited to), readies for every
// game the room's master starts, and goes back to the lobby when the master
// leaves.
enum class RobotRole { Host, Guest, Lobby, Practice };

struct RobotOptions {
    std::string id;          // login id; the authentication cookie is the id
    std::string cookie;      // a full cookie (id=...&nick=...) instead, if set
    int loginGroup = 1;
    int channelGroup = 0;    // the channel to play in; 0 = where the login puts us
    int channelNo = 0;
    std::string masterHost = "127.0.0.1";
    int masterPort = 24000;
    RobotRole role = RobotRole::Host;
    std::string roomTitle = "robots";
    std::string roomPassword;  // a host's room is secret with this password (at most 4 bytes)
    int bet = 100;
    int games = 1;           // games to play; 0 = stay in the room until stopped
    bool play = true;        // false: meet in the room, but never ready or start
    StrategyKind strategy = StrategyKind::Aimed;
    std::uint32_t seed = 1;
    int muteAfterShots = -1; // stop reporting after this many shots (-1 never)
    int thinkMs = 0;         // wait this long into an own turn before flicking
    int thinkJitterMs = 0;   // and up to this much longer, drawn per turn from the seed
    int resetDelayMs = 0;    // the room's reset after a result (the client waits 5 s)
    int idleTimeoutMs = 60000; // nothing sent or received for this long is an error
    bool useItems = false;   // in an item channel, use items before flicks
    bool reserveExit = false; // reserve leaving during the last game, as the exit button does
    bool trace = false;      // every message in and out on standard error
};

enum class RobotPhase {
    Idle,
    ConnectingMaster,
    AwaitingDestination,
    ConnectingGame,
    LoggingIn,
    EnteringChannel,
    MovingChannel,
    Lobby,
    EnteringRoom,
    InRoom,
    LeavingRoom,
    LoggingOut,
    Done,
    Failed,
};

std::string_view PhaseName(RobotPhase phase);

// One finished game as this robot saw it.
struct GameRecord {
    std::vector<std::uint64_t> shotHashes;
    protocol::GAMEOVERRESULT own;   // this robot's entry (empty ID when absent)
    int changePoint = 0;            // > 0 won, < 0 lost, 0 draw
};

class CRobot final : public IConnectionListener {
public:
    using Clock = std::chrono::steady_clock;

    CRobot(base::Poller& poller, game::IGameClock& clock, RobotOptions options);
    CRobot(const CRobot&) = delete;
    CRobot& operator=(const CRobot&) = delete;

    void Start();
    // Closes everything; the robot counts as done (not failed).
    void Stop();
    // Runs the game clock, timers and decisions. Returns how many
    // milliseconds may pass before the next call (0: call again at once).
    int Step(Clock::time_point now);

    RobotPhase Phase() const { return phase_; }
    bool Finished() const { return phase_ == RobotPhase::Done || phase_ == RobotPhase::Failed; }
    bool HasFailed() const { return phase_ == RobotPhase::Failed; }
    const std::vector<std::string>& Errors() const { return errors_; }
    const std::vector<GameRecord>& Games() const { return games_; }
    const RobotOptions& Options() const { return options_; }
    const std::string& Id() const { return id_; }
    std::int32_t UNum() const { return unum_; }
    int RoomNo() const { return game_.RoomNo(); }
    // The server took the robot out of its room after a reserved exit.
    bool LeftByReservation() const { return leftByReservation_; }
    CRobotGame& Game() { return game_; }
    const CRobotGame& Game() const { return game_; }

    // For load tools: a lobby chat line, and a room chat line (code page 949).
    bool SendLobbyChat(std::string_view text);
    bool SendRoomChat(std::string_view text);
    // Invites a lobby user into this robot's room, as the invitation dialog does.
    bool Invite(std::int32_t targetUNum, std::string_view targetId, std::string_view textCp949);
    // Sees every frame that arrives on the game connection, after the robot.
    std::function<void(int msgId, char* frame, int length)> onFrame;

    // How frames from each server reach the robot: one handler per message
    // id. Every other message a server can send is listed, with the reason,
    // among the deliberately ignored ones (a test walks the catalogue).
    using FrameHandler = void (CRobot::*)(int msgId, char* frame, int length);
    struct FrameRoute {
        std::int16_t id;
        FrameHandler handler;
    };
    struct IgnoredFrame {
        std::int16_t id;
        std::string_view reason;
    };
    static std::span<const FrameRoute> MasterRoutes();
    static std::span<const FrameRoute> GameRoutes();
    static std::span<const IgnoredFrame> IgnoredFrames();

    // IConnectionListener
    void OnConnected(CRobotConnection& connection) override;
    void OnFrame(CRobotConnection& connection, int msgId, char* frame, int length) override;
    void OnClosed(CRobotConnection& connection, std::string_view reason) override;

private:
    template <typename Message, typename... Args>
    bool SendTo(CRobotConnection& connection, Args&&... args);
    void SendGameFrame(const char* frame, int length);
    void Trace(char direction, int msgId);
    void Fail(std::string reason);
    void Finish();

    void OnMasterFrame(int msgId, char* frame, int length);
    void OnGameFrame(int msgId, char* frame, int length);
    void Route(std::span<const FrameRoute> routes, int msgId, char* frame, int length);

    // Frames from the master server.
    void OnMasterVersion(int msgId, char* frame, int length);
    void OnRefuseDestServer(int msgId, char* frame, int length);
    void OnDestServer(int msgId, char* frame, int length);
    // Frames from the game server.
    void OnGameVersion(int msgId, char* frame, int length);
    void OnAcceptLogin(int msgId, char* frame, int length);
    void OnRefuseLogin(int msgId, char* frame, int length);
    void OnAcceptEnterChannel(int msgId, char* frame, int length);
    void OnDestChannel(int msgId, char* frame, int length);
    void OnAcceptCreateRoom(int msgId, char* frame, int length);
    void OnRefuseCreateRoom(int msgId, char* frame, int length);
    void OnAllRoomInfo(int msgId, char* frame, int length);
    void OnAcceptEnterRoom(int msgId, char* frame, int length);
    void OnRefuseEnterRoom(int msgId, char* frame, int length);
    void OnUserEnterRoom(int msgId, char* frame, int length);
    void OnUserOutRoom(int msgId, char* frame, int length);
    // CSV_ACCEPT_OUTROOM and CSV_ABNORMALOUTROOM.
    void OnOutOfRoom(int msgId, char* frame, int length);
    void OnGameOverResult(int msgId, char* frame, int length);
    void OnServerMessage(int msgId, char* frame, int length);
    void OnAcceptLogout(int msgId, char* frame, int length);
    void OnInvitation(int msgId, char* frame, int length);
    // Every CCL_ message: relayed from the other player or sent by the server.
    void OnRelayed(int msgId, char* frame, int length);
    void SendLogin();
    void OnLoginAccepted(const protocol::LOGINACCEPTINFO& info);
    void EnterLobbyRole();
    void OnChannelEntered(const protocol::ENTERCHANINFO& info);
    void OnChannelElsewhere(std::string host, int port, const protocol::CONNECT_MOVECHANINFO& ticket);
    void ConnectToMovedChannel();
    void AskRooms();
    void OnRoomList(std::span<const protocol::ROOMINFO> rooms);
    bool WantsRoom(const protocol::ROOMINFO& room) const;
    void EnterRoom(std::int32_t roomNo, std::string_view password);
    void BackToLobby();
    bool StaysInLobby() const { return options_.role == RobotRole::Practice; }
    int ThinkMs();
    void OnGameResult(std::span<const protocol::GAMEOVERRESULT, 2> results);
    void LeaveRoom();
    void LogOut();

    void RunGameClock(Clock::time_point now);
    void DecideInRoom(Clock::time_point now);
    void PlayTurn();
    // False when the item ended the turn (a blast).
    bool UseItem();

    base::Poller& poller_;
    RobotOptions options_;
    CRobotConnection master_;
    CRobotConnection server_;
    CRobotGame game_;
    CStrategy strategy_;
    RobotPhase phase_ = RobotPhase::Idle;
    std::string id_;
    std::int32_t unum_ = 0;
    protocol::Ms_DestServerInfo dest_{};
    std::string moveHost_;
    int movePort_ = 0;
    protocol::CONNECT_MOVECHANINFO moveTicket_{};
    bool movePending_ = false;
    std::vector<std::string> errors_;
    std::vector<GameRecord> games_;

    Clock::time_point lastActivity_{};
    Clock::time_point nextTick_{};
    Clock::time_point nextRoomSearch_{};
    Clock::time_point actAt_{};
    Clock::time_point resetAt_{};
    bool roomSearchPending_ = false;
    bool readySent_ = false;
    bool startAsked_ = false;
    bool wasMyTurn_ = false;
    bool flickedThisTurn_ = false;
    bool exitReserved_ = false;
    bool leftByReservation_ = false;
    bool greetedLobby_ = false;
    bool greetedRoom_ = false;
    int entryRefusals_ = 0;
    std::uint32_t thinkState_ = 1;
};

} // namespace tovrik::robot
