#pragma once
// The in-memory state of one channel: its members, its rooms and their seats,
// with the rules for creating, entering and leaving rooms. Nothing here knows
// the wire; the game server turns the results into messages.

#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "server/ChannelConfig.h"
#include "server/Database.h"
#include "server/Room.h"

namespace tovrik::server {

struct ChannelMember {
  UserRecord user;
  int roomNo = 0;           // 0 = in the lobby
  bool lobbyView = false;   // in a room with the lobby (invitation) view open
  std::uint64_t order = 0;  // join order, for stable lists
};

// Channel entry results, as the client reads them.
enum ChannelEntry : int {
  kEntryOk = 0,
  kEntryFull = -1,
  kEntryBadUser = -2,
  kEntryBadNumber = -3,
  kEntryLevel = -4,
  kEntryClosed = -5,
};

// Reasons for refusing a room creation, as the client reads them.
enum CreateRoomRefusal : int {
  kCreateTooManyRooms = 0,
  kCreateRefused = 1,
  kCreateBetTooHigh = 2,
  kCreateNotEnoughMoney = 3,
  kCreateLevelTooHigh = 11,
};

// Reasons for refusing a room entry, as the client reads them.
enum EnterRoomRefusal : int {
  kEnterBadRoom = 1,
  kEnterNoSuchRoom = 2,
  kEnterPlaying = 3,
  kEnterFull = 4,
  kEnterAlreadyIn = 5,
  kEnterWrongPassword = 6,
  kEnterBadRequester = 7,
  kEnterNotEnoughMoney = 9,
  kEnterLevelTooHigh = 11,
  kEnterBanished = 20,
};

struct RoomResult {
  int refusal = -1;  // -1 = done; otherwise one of the refusal codes
  const Room* room = nullptr;
  bool Ok() const { return refusal < 0; }
};

struct RoomExit {
  int roomNo = 0;            // 0 = the user was in no room
  bool roomClosed = false;   // the last user left: the room is gone
  std::int64_t newMaster = 0;  // non-zero when the master left and another user took over
};

class Channel {
 public:
  Channel(ChannelConfigEntry config, ServerRules rules);

  const ChannelConfigEntry& Config() const { return config_; }
  int UserCount() const { return static_cast<int>(members_.size()); }

  // `levelAllowance` lets a user in whose level lies that many levels below
  // the channel's minimum (the jump ticket's one grade).
  int CheckEntry(const UserRecord& user, int levelAllowance = 0) const;
  bool Join(const UserRecord& user);
  // Takes the user out of the channel, leaving the room first.
  RoomExit Leave(std::int64_t userId);
  bool UpdateUser(const UserRecord& user);

  const ChannelMember* FindMember(std::int64_t userId) const;
  const ChannelMember* FindMemberByLogin(std::string_view loginId) const;
  std::vector<const ChannelMember*> Members() const;
  const Room* FindRoom(int roomNo) const;
  // The room whose game the game server runs.
  Room* GameRoom(int roomNo);
  std::vector<const Room*> Rooms() const;

  RoomResult CreateRoom(std::int64_t userId, const RoomSettings& settings, bool ownsSuperRoomItem);
  // A secret room checks the password only as often as its PasswordGuard
  // allows the user; a try before that is refused as a wrong password.
  RoomResult EnterRoom(std::int64_t userId, int roomNo, std::string_view password,
                       PasswordGuard::Clock::time_point now = PasswordGuard::Clock::now());
  RoomExit LeaveRoom(std::int64_t userId);
  // A super room's master removes a user; the removed user may not return.
  std::optional<RoomExit> Banish(std::int64_t masterId, std::string_view targetLogin, std::int64_t& targetId);
  void SetLobbyView(std::int64_t userId, bool open);

  // Who sees lobby updates: users in the lobby, and users in a room whose
  // lobby view is open.
  std::vector<std::int64_t> LobbyAudience() const;
  std::vector<std::int64_t> RoomMembers(int roomNo) const;

 private:
  ChannelMember* Member(std::int64_t userId);
  int NextRoomNo() const;

  ChannelConfigEntry config_;
  ServerRules rules_;
  std::map<std::int64_t, ChannelMember> members_;
  std::map<int, Room> rooms_;
  std::uint64_t joins_ = 0;
};

}  // namespace tovrik::server
