#pragma once
// One game server: login with a ticket, the channels it hosts with their
// lobbies and rooms, chat, whispers (also to users of other game servers,
// through the database), invitations and the relay of the room messages.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "server/Channel.h"
#include "server/FrameServer.h"
#include "server/GameRules.h"
#include "server/ServerContext.h"
#include "server/TokenBucket.h"

namespace tovrik::server {

// What one user may send, at once and then per second (see the README's
// Limits): enough for any person at a keyboard, far below a flood. Kept per
// user, not per connection, so that logging in again brings no new burst.
struct SessionLimits {
  TokenBucket chat{10, 2};        // lobby and room chat lines
  TokenBucket relay{60, 30};      // every other message relayed to the room
  TokenBucket personal{10, 2};    // whispers and invitations, aimed at one user
  TokenBucket query{20, 5};       // requests that read or write the database
  TokenBucket report{3, 1.0 / 60};  // abuse reports
  bool slowed = false;            // logged once until a frame is admitted again
};

struct GameSession : PeerState {
  bool loggedIn = false;
  bool movingOut = false;  // handed to another game server
  UserRecord user;
  std::int64_t presenceSession = 0;
  Channel* channel = nullptr;  // null until a channel is entered
  bool noWhisper = false;
  bool chatterSkipped = false;  // logged once until chat reaches it again
};

class GameServer : public FrameServer {
 public:
  GameServer(ServerContext& context, int serverNo, std::string host);

  int ServerNo() const { return serverNo_; }
  int Users() const { return static_cast<int>(users_.size()); }

  // Registers the server, listening on `port`, in the database; false when
  // the database refuses.
  bool Start(int port);
  // Tells the database that this server is alive and how many users it holds.
  void Heartbeat();
  // Delivers whispers and notices that other game servers left for our users.
  void DeliverMail();
  void Shutdown();
  // An operator notice to every user of this server.
  void Broadcast(const std::string& cp949Text, int kind);
  // The user's money changed in the database (the shop): the session and
  // its lobby record take the stored figure. No effect for a user elsewhere.
  void RefreshUser(std::int64_t userId);
  bool Holds(std::int64_t userId) const { return users_.count(userId) != 0; }
  // The channel the user is in here, or null.
  const ChannelConfigEntry* ChannelOf(std::int64_t userId) const;
  // A note that makes the game server holding the user read its money again.
  static constexpr int kMailUserChanged = 3;
  // Runs the turn clocks and report deadlines of the games: call regularly.
  void TickMatches();
  // The server is being stopped: every running game ends without a result
  // (nobody finished it, so no bet moves) and its players are told why.
  void AbandonGames();
  // Tries again to store the results the busy database refused; one that
  // waited its ResultStoreMs (or all, on `lastChance`) is reported as not
  // counted. Call regularly.
  void RetryPendingResults(bool lastChance = false);

 protected:
  std::unique_ptr<PeerState> NewPeer() override { return std::make_unique<GameSession>(); }
  void OnGreet(PeerState& peer) override;
  void OnFrame(PeerState& peer, ReceivedFrame& frame) override;
  void OnPeerClosed(PeerState& peer) override;
  bool Admit(PeerState& peer, std::int16_t msgId) override;
  const char* Name() const override { return name_.c_str(); }

 private:
  using Handler = void (GameServer::*)(GameSession&, ReceivedFrame&);
  // Kinds of notes left in the database for a user on another game server.
  static constexpr int kMailWhisper = 1;
  static constexpr int kMailNotice = 2;
  // A recipient with this much still to read skips chat (Delivery::Chatter).
  static constexpr std::size_t kMaxChatterBacklog = 256 * 1024;

  // Connection, login and channels.
  void OnAskLogin(GameSession& session, ReceivedFrame& frame);
  void OnConnectMoveChannel(GameSession& session, ReceivedFrame& frame);
  void OnAskLogout(GameSession& session, ReceivedFrame& frame);
  void OnAskAllChannelInfo(GameSession& session, ReceivedFrame& frame);
  void OnAskEnterChannel(GameSession& session, ReceivedFrame& frame);
  void OnAskFindId(GameSession& session, ReceivedFrame& frame);

  // Lobby.
  void OnAskAllUserInfo(GameSession& session, ReceivedFrame& frame);
  void OnAskAllRoomInfo(GameSession& session, ReceivedFrame& frame);
  void OnAskRoomInfo(GameSession& session, ReceivedFrame& frame);
  void OnAskUserInfo(GameSession& session, ReceivedFrame& frame);
  void OnAskDetailUserInfo(GameSession& session, ReceivedFrame& frame);
  bool IsOperator(const GameSession& session) const;
  // Whether `asker` may learn the money of user `userId`.
  bool MaySeeMoney(const GameSession& asker, std::int64_t userId) const;
  void OnAskChangeCharacter(GameSession& session, ReceivedFrame& frame);
  void OnLobbyOpen(GameSession& session, ReceivedFrame& frame);

  // Rooms.
  void OnAskCreateRoom(GameSession& session, ReceivedFrame& frame);
  void OnAskEnterRoom(GameSession& session, ReceivedFrame& frame);
  void OnAskOutRoom(GameSession& session, ReceivedFrame& frame);
  void OnAskForceBanish(GameSession& session, ReceivedFrame& frame);

  // Chat and invitations.
  void OnChat(GameSession& session, ReceivedFrame& frame);
  void OnWhisper(GameSession& session, ReceivedFrame& frame);
  void OnNoWhisper(GameSession& session, ReceivedFrame& frame);
  void OnAskInvite(GameSession& session, ReceivedFrame& frame);
  void OnRefuseInvite(GameSession& session, ReceivedFrame& frame);
  void OnAskBadUser(GameSession& session, ReceivedFrame& frame);

  void OnRelay(GameSession& session, ReceivedFrame& frame);

  // Games (GameServerMatch.cpp).
  // Applies a sound relayed message to the room's game; true when it goes on
  // to both players.
  bool Referee(GameSession& session, Channel& channel, Room& room, int seat, ReceivedFrame& frame);
  void OnAskStartGame(GameSession& session, Channel& channel, Room& room);
  // Rewrites a relayed flick's angle and power as a receiving client reads them.
  void SanitizeFlick(ReceivedFrame& frame);
  MoveVerdict RefereeMove(Room& room, int seat, std::int16_t msgId, std::span<const std::uint8_t> payload);
  void OnStopReport(Channel& channel, Room& room, int seat, std::span<const std::uint8_t> payload);
  void ApplyStep(Channel& channel, int roomNo, const MatchStep& step);
  void SendNextPlayer(Channel& channel, int roomNo, int seat);
  void FinishMatch(Channel& channel, int roomNo, const MatchStep& step);
  // A player who leaves the room or the server during a game loses it.
  void ForfeitGame(GameSession& session);
  // A game's result on its way into the database.
  struct PendingResult {
    Channel* channel = nullptr;
    int roomNo = 0;
    std::array<std::int64_t, 2> seats{};
    std::array<bool, 2> leaving{};
    GameEnd end = GameEnd::KingLost;
    int winner = -1;
    std::array<UserRecord, 2> before;
    std::array<PlayerSettlement, 2> settled;
    std::int64_t plusPointItem = 0;  // the winner's plus-point item that counts a use
    std::chrono::steady_clock::time_point giveUpAt;
  };
  // The numbers of the channel's rooms with a game running.
  static std::vector<int> RoomsWithGames(const Channel& channel);
  // The id of the user's usable plus-point item, or 0.
  std::int64_t UsablePlusPoint(std::int64_t userId);
  bool StoreResult(const PendingResult& pending);
  // Tells the room's players the result, as stored or as not counted.
  void AnnounceResult(const PendingResult& pending, bool stored);
  void OnAskGameItemList(GameSession& session, ReceivedFrame& frame);
  std::string LoginOf(const Channel& channel, std::int64_t userId) const;

  // Helpers.
  void RefuseLogin(GameSession& session, int reason, const char* utf8Text);
  bool FinishLogin(GameSession& session, const UserRecord& user);
  Channel* HostedChannel(int groupNo, int chanNo);
  // The channel's entry result for the user, with the jump ticket applied.
  int CheckChannelEntry(const Channel& channel, const UserRecord& user, bool useJumpTicket);
  Channel* FirstOpenChannel(const UserRecord& user);
  void EnterChannel(GameSession& session, Channel& channel);
  void LeaveChannel(GameSession& session);
  void SendEnterChannelResult(GameSession& session, int result, const ChannelConfigEntry* channel);
  void LeaveRoom(GameSession& session, bool forced);
  void AnnounceRoomExit(Channel& channel, const RoomExit& exit, std::int64_t leaver, const std::string& leaverLogin);
  void UpdatePresence(GameSession& session);
  void SendServerMessage(GameSession& session, int kind, const std::string& cp949Text);
  // `frame` is a built CSV_WHISPERCHAT.
  void DeliverWhisper(GameSession& target, std::span<const std::uint8_t> frame, std::int64_t senderId,
                      int senderServer);

  GameSession* FindUser(std::int64_t userId);
  GameSession* FindUserByNickname(std::string_view nickname);
  // Chat, whispers and invitations are Chatter: a recipient that reads more
  // slowly than they come skips them rather than being disconnected for
  // its full send queue.
  enum class Delivery { Always, Chatter };
  void SendTo(std::int64_t userId, std::span<const std::uint8_t> frame, Delivery delivery = Delivery::Always);
  void SendTo(GameSession& session, std::span<const std::uint8_t> frame, Delivery delivery);
  void SendToLobby(const Channel& channel, std::span<const std::uint8_t> frame, std::int64_t except = 0,
                   Delivery delivery = Delivery::Always);
  void SendToRoom(const Channel& channel, int roomNo, std::span<const std::uint8_t> frame, std::int64_t except = 0,
                  Delivery delivery = Delivery::Always);
  void SendAllUsers(GameSession& session);
  void SendUserChange(const Channel& channel, std::int64_t userId);
  void SendRoomChange(const Channel& channel, int roomNo);

  ServerContext& context_;
  int serverNo_;
  std::string host_;
  int port_ = 0;
  std::string name_;
  std::map<std::pair<int, int>, std::unique_ptr<Channel>> channels_;
  std::map<std::int64_t, GameSession*> users_;
  std::vector<PendingResult> pendingResults_;
  std::map<std::int64_t, SessionLimits> limits_;  // by user id
};

}  // namespace tovrik::server
