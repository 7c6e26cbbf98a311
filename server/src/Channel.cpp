#include "server/Channel.h"

#include <algorithm>

#include "game/Levels.h"
#include "server/Log.h"

namespace tovrik::server {
namespace {

bool ValidSettings(const RoomSettings& settings) {
  const bool maxUserOk = settings.maxUser == 2 || settings.maxUser == 4 || settings.maxUser == 6;
  return maxUserOk && settings.bet > 0 && settings.level >= 0 && settings.level <= 14 && settings.option >= 0 &&
         settings.option <= 14 && settings.title.size() < 32 && settings.password.size() <= 4 &&
         (!settings.secret || !settings.password.empty());
}

int UserLevel(const UserRecord& user) { return game::GetLevel(user.points, user.wins, user.losses); }

}  // namespace

Channel::Channel(ChannelConfigEntry config, ServerRules rules) : config_(std::move(config)), rules_(rules) {}

int Channel::CheckEntry(const UserRecord& user, int levelAllowance) const {
  if (members_.count(user.id)) return kEntryOk;  // already here: entering again changes nothing
  if (config_.closed) return kEntryClosed;
  if (UserCount() >= config_.maxUser) return kEntryFull;
  const int level = UserLevel(user);
  if (level + levelAllowance < config_.minLevel || level > config_.maxLevel) return kEntryLevel;
  return kEntryOk;
}

bool Channel::Join(const UserRecord& user) {
  if (members_.count(user.id)) return false;
  ChannelMember member;
  member.user = user;
  member.order = ++joins_;
  members_.emplace(user.id, std::move(member));
  return true;
}

RoomExit Channel::Leave(std::int64_t userId) {
  RoomExit exit = LeaveRoom(userId);
  members_.erase(userId);
  return exit;
}

bool Channel::UpdateUser(const UserRecord& user) {
  ChannelMember* member = Member(user.id);
  if (!member) return false;
  member->user = user;
  return true;
}

ChannelMember* Channel::Member(std::int64_t userId) {
  auto it = members_.find(userId);
  return it == members_.end() ? nullptr : &it->second;
}

const ChannelMember* Channel::FindMember(std::int64_t userId) const {
  auto it = members_.find(userId);
  return it == members_.end() ? nullptr : &it->second;
}

const ChannelMember* Channel::FindMemberByLogin(std::string_view loginId) const {
  for (const auto& [id, member] : members_) {
    if (member.user.loginId == loginId) return &member;
  }
  return nullptr;
}

std::vector<const ChannelMember*> Channel::Members() const {
  std::vector<const ChannelMember*> list;
  for (const auto& [id, member] : members_) list.push_back(&member);
  std::sort(list.begin(), list.end(), [](auto* a, auto* b) { return a->order < b->order; });
  return list;
}

const Room* Channel::FindRoom(int roomNo) const {
  auto it = rooms_.find(roomNo);
  return it == rooms_.end() ? nullptr : &it->second;
}

Room* Channel::GameRoom(int roomNo) {
  auto it = rooms_.find(roomNo);
  return it == rooms_.end() ? nullptr : &it->second;
}

std::vector<const Room*> Channel::Rooms() const {
  std::vector<const Room*> list;
  for (const auto& [no, room] : rooms_) list.push_back(&room);
  return list;
}

int Channel::NextRoomNo() const {
  int no = 1;
  for (const auto& [taken, room] : rooms_) {
    if (taken != no) break;
    ++no;
  }
  return no;
}

RoomResult Channel::CreateRoom(std::int64_t userId, const RoomSettings& settings, bool ownsSuperRoomItem) {
  ChannelMember* member = Member(userId);
  if (!member || member->roomNo != 0 || !ValidSettings(settings)) return {kCreateRefused, nullptr};
  if (static_cast<int>(rooms_.size()) >= rules_.maxRoomsPerChannel) return {kCreateTooManyRooms, nullptr};
  const int level = UserLevel(member->user);
  if (settings.level > level) return {kCreateLevelTooHigh, nullptr};
  if (settings.bet > game::GetMaxBetPebble(level)) return {kCreateBetTooHigh, nullptr};
  if (member->user.money < settings.bet) return {kCreateNotEnoughMoney, nullptr};

  Room room;
  room.roomNo = NextRoomNo();
  room.settings = settings;
  room.settings.superRoom = settings.superRoom && ownsSuperRoomItem;
  if (!room.settings.secret) room.settings.password.clear();
  room.seats[0] = userId;
  room.master = userId;
  member->roomNo = room.roomNo;
  member->lobbyView = false;
  auto [it, inserted] = rooms_.emplace(room.roomNo, std::move(room));
  return {-1, &it->second};
}

RoomResult Channel::EnterRoom(std::int64_t userId, int roomNo, std::string_view password,
                              PasswordGuard::Clock::time_point now) {
  ChannelMember* member = Member(userId);
  if (!member) return {kEnterBadRequester, nullptr};
  auto it = rooms_.find(roomNo);
  if (it == rooms_.end()) return {kEnterNoSuchRoom, nullptr};
  Room& room = it->second;
  if (room.Has(userId) || member->roomNo != 0) return {kEnterAlreadyIn, nullptr};
  if (room.banished.count(member->user.loginId)) return {kEnterBanished, nullptr};
  if (room.playing) return {kEnterPlaying, nullptr};
  if (room.FreeSeat() < 0) return {kEnterFull, nullptr};
  if (room.settings.secret) {
    if (!room.passwordGuard.MayTry(userId, now)) return {kEnterWrongPassword, nullptr};
    if (password != room.settings.password) {
      if (room.passwordGuard.Failed(userId, now)) {
        Log(LogLevel::Info, "user ", userId, " gave ", PasswordGuard::kMaxFailures, " wrong passwords for room ",
            roomNo, " and may not try it again");
      }
      return {kEnterWrongPassword, nullptr};
    }
    room.passwordGuard.Succeeded(userId);
  }
  if (member->user.money < room.settings.bet) return {kEnterNotEnoughMoney, nullptr};
  if (room.settings.level > UserLevel(member->user)) return {kEnterLevelTooHigh, nullptr};

  const int seat = room.FreeSeat();
  room.seats[seat] = userId;
  room.ready[seat] = false;
  room.exitReserved[seat] = false;
  member->roomNo = roomNo;
  member->lobbyView = false;
  return {-1, &room};
}

RoomExit Channel::LeaveRoom(std::int64_t userId) {
  ChannelMember* member = Member(userId);
  if (!member || member->roomNo == 0) return {};
  RoomExit exit;
  exit.roomNo = member->roomNo;
  member->roomNo = 0;
  member->lobbyView = false;
  auto it = rooms_.find(exit.roomNo);
  if (it == rooms_.end()) return exit;
  Room& room = it->second;
  const int seat = room.SeatOf(userId);
  if (seat >= 0) {
    room.seats[seat] = 0;
    room.ready[seat] = false;
    room.exitReserved[seat] = false;
  }
  if (room.UserCount() == 0) {
    rooms_.erase(it);
    exit.roomClosed = true;
    return exit;
  }
  if (room.master == userId) {
    for (auto other : room.seats) {
      if (other != 0) {
        room.master = other;
        exit.newMaster = other;
        break;
      }
    }
  }
  return exit;
}

std::optional<RoomExit> Channel::Banish(std::int64_t masterId, std::string_view targetLogin, std::int64_t& targetId) {
  const ChannelMember* master = FindMember(masterId);
  if (!master || master->roomNo == 0) return std::nullopt;
  auto it = rooms_.find(master->roomNo);
  if (it == rooms_.end() || it->second.master != masterId || !it->second.settings.superRoom) return std::nullopt;
  const ChannelMember* target = FindMemberByLogin(targetLogin);
  if (!target || target->user.id == masterId || !it->second.Has(target->user.id)) return std::nullopt;
  targetId = target->user.id;
  it->second.banished.insert(target->user.loginId);
  return LeaveRoom(targetId);
}

void Channel::SetLobbyView(std::int64_t userId, bool open) {
  ChannelMember* member = Member(userId);
  if (member && member->roomNo != 0) member->lobbyView = open;
}

std::vector<std::int64_t> Channel::LobbyAudience() const {
  std::vector<std::int64_t> audience;
  for (const auto* member : Members()) {
    if (member->roomNo == 0 || member->lobbyView) audience.push_back(member->user.id);
  }
  return audience;
}

std::vector<std::int64_t> Channel::RoomMembers(int roomNo) const {
  std::vector<std::int64_t> users;
  auto it = rooms_.find(roomNo);
  if (it == rooms_.end()) return users;
  for (auto seat : it->second.seats) {
    if (seat != 0) users.push_back(seat);
  }
  return users;
}

}  // namespace tovrik::server
