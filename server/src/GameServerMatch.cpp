// The game server's side of a game: starting it, refereeing the moves and
// reports through the room's Match, and settling the result. The rules
// themselves live in Match and GameRules; this file only turns them into
// messages and database writes.
#include <bit>
#include <ctime>

#include "game/RelayedFlick.h"

#include "WireRecords.h"
#include "protocol/LobbyMessages.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/RelayMessages.h"
#include "protocol/TextField.h"
#include "server/Cp949.h"
#include "server/GameServer.h"
#include "server/Log.h"

namespace tovrik::server {

namespace msgid = protocol::msgid;

namespace {

// Where STONEHITINFO keeps the flick's angle and power.
constexpr std::size_t kFlickAngleAt = 20;
constexpr std::size_t kFlickPowerAt = 24;

std::int32_t Int32At(std::span<const std::uint8_t> payload, std::size_t offset) {
  return protocol::LoadLE<std::int32_t>(payload.data() + offset);
}

}  // namespace

std::string GameServer::LoginOf(const Channel& channel, std::int64_t userId) const {
  const ChannelMember* member = channel.FindMember(userId);
  return member ? member->user.loginId : std::string();
}

// ---- Start -------------------------------------------------------------------

void GameServer::OnAskStartGame(GameSession& session, Channel& channel, Room& room) {
  const int masterSeat = room.SeatOf(session.user.id);
  if (room.master != session.user.id || masterSeat < 0 || room.playing) {
    Log(LogLevel::Info, name_, ": start by ", session.user.loginId, " in room ", room.roomNo,
        " ignored: not the master or already playing");
    return;
  }
  const int guestSeat = 1 - masterSeat;
  const ChannelMember* guest = room.seats[guestSeat] ? channel.FindMember(room.seats[guestSeat]) : nullptr;
  const ChannelMember* master = channel.FindMember(session.user.id);
  if (!guest || !room.ready[guestSeat]) {
    SendServerMessage(session, 0, Utf8ToCp949("상대방이 준비를 하지 않아 게임을 시작할 수 없습니다."));
    return;
  }
  if (master->user.money < room.settings.bet || guest->user.money < room.settings.bet) {
    SendServerMessage(session, 0, Utf8ToCp949("배팅할 머니가 부족하여 게임을 시작할 수 없습니다."));
    return;
  }

  // The master plays Han in the room's first game; the sides change after every game.
  std::array<int, 2> sides{};
  sides[masterSeat] = room.gamesPlayed % 2 == 0 ? kSideHan : kSideCho;
  sides[guestSeat] = sides[masterSeat] == kSideHan ? kSideCho : kSideHan;
  room.match.emplace(context_.config.Rules().game, sides, channel.Config().itemChannel,
                     std::chrono::steady_clock::now());
  room.playing = true;
  room.ready = {};
  room.exitReserved = {};

  protocol::STARTINFO start;
  for (int seat = 0; seat < Room::kSeats; ++seat) {
    const ChannelMember* player = seat == masterSeat ? master : guest;
    protocol::SetRelayID(start.ID[seat], player->user.loginId);
    start.Seat[seat].seated = 1;
    start.Seat[seat].inGame = 1;
    start.Seat[seat].side = static_cast<std::int8_t>(sides[seat]);
    start.Pebble[seat] = player->user.money;
  }
  protocol::CCL_STARTINFO message;
  message.Set(start);
  SendToRoom(channel, room.roomNo, FrameOf(message));
  SendRoomChange(channel, room.roomNo);
  Log(LogLevel::Info, name_, ": game starts in room ", room.roomNo, ": ", master->user.loginId,
      sides[masterSeat] == kSideHan ? " (Han)" : " (Cho)", " against ", guest->user.loginId);
}

// ---- Moves, reports, time-outs ----------------------------------------------

bool GameServer::Referee(GameSession& session, Channel& channel, Room& room, int seat, ReceivedFrame& frame) {
  const std::int16_t msgId = frame.msgId;
  const auto payload = frame.Payload();
  auto drop = [&](const char* why) {
    Log(LogLevel::Info, name_, ": relay ", msgId, " from ", session.user.loginId, " dropped: ", why);
    return false;
  };
  const bool moves = msgId >= msgid::CCL_STONECLICK && msgId <= msgid::CCL_STONEHIT;
  const bool reports = msgId == msgid::CCL_RESULTSTONEHIT || msgId == msgid::CCL_TIMEOUTMYTURN;
  if ((moves || reports) && !room.match) return drop("no game running");
  switch (msgId) {
    case msgid::CCL_ASK_STARTGAME:
      OnAskStartGame(session, channel, room);
      return false;
    case msgid::CCL_READYTOSTART:
      if (!room.playing) room.ready[seat] = true;
      return true;
    case msgid::CCL_EXITSUBSCRIPT:
      if (room.match) room.exitReserved[seat] = Int32At(payload, 24) != 0;
      return true;
    case msgid::CCL_RESULTSTONEHIT:
      OnStopReport(channel, room, seat, payload);
      return false;
    case msgid::CCL_TIMEOUTMYTURN:
      ApplyStep(channel, room.roomNo, room.match->TimeOut(seat, std::chrono::steady_clock::now()));
      return false;
    default:
      break;
  }
  if (!moves) return true;
  const MoveVerdict verdict = RefereeMove(room, seat, msgId, payload);
  if (verdict != MoveVerdict::Accepted) return drop(Describe(verdict));
  if (msgId == msgid::CCL_STONEHIT) SanitizeFlick(frame);
  return true;
}

void GameServer::SanitizeFlick(ReceivedFrame& frame) {
  // The receiving client would turn a non-finite or out-of-range angle or
  // power into these very values; the referee does it first, so that no
  // client, old or new, ever simulates a flick of not-a-number.
  std::uint8_t* info = frame.bytes.data() + (frame.bytes.size() - frame.Payload().size());
  const float angle = protocol::LoadLE<float>(info + kFlickAngleAt);
  const float power = protocol::LoadLE<float>(info + kFlickPowerAt);
  const game::RelayedFlick sane = game::SanitizeRelayedFlick(angle, power);
  if (std::bit_cast<std::uint32_t>(sane.angle) != std::bit_cast<std::uint32_t>(angle) ||
      std::bit_cast<std::uint32_t>(sane.power) != std::bit_cast<std::uint32_t>(power)) {
    Log(LogLevel::Info, name_, ": flick of angle ", angle, " and power ", power, " relayed as ", sane.angle, " and ",
        sane.power);
  }
  protocol::StoreLE(info + kFlickAngleAt, sane.angle);
  protocol::StoreLE(info + kFlickPowerAt, sane.power);
}

MoveVerdict GameServer::RefereeMove(Room& room, int seat, std::int16_t msgId, std::span<const std::uint8_t> payload) {
  Match& match = *room.match;
  const auto now = std::chrono::steady_clock::now();
  switch (msgId) {
    case msgid::CCL_STONECLICK: return match.StoneClick(seat, Int32At(payload, 16));
    case msgid::CCL_USEITEM: return match.UseItem(seat, Int32At(payload, 16));
    case msgid::CCL_CHANGEITEM: return match.Change(seat, Int32At(payload, 16), Int32At(payload, 20));
    case msgid::CCL_TELEPORTITEM: return match.Teleport(seat, Int32At(payload, 16));
    case msgid::CCL_NUCLEARITEM: return match.Nuclear(seat, Int32At(payload, 16), now);
    case msgid::CCL_STONEHIT: return match.Flick(seat, Int32At(payload, 16), now);
    default: return MoveVerdict::NotYourTurn;
  }
}

void GameServer::OnStopReport(Channel& channel, Room& room, int seat, std::span<const std::uint8_t> payload) {
  const auto count = static_cast<std::size_t>(Int32At(payload, 16));
  std::vector<int> fallen;
  for (std::size_t i = 0; i < count; ++i) fallen.push_back(Int32At(payload, 20 + 4 * i));
  ApplyStep(channel, room.roomNo, room.match->Report(seat, fallen, std::chrono::steady_clock::now()));
}

void GameServer::ApplyStep(Channel& channel, int roomNo, const MatchStep& step) {
  switch (step.kind) {
    case MatchStep::Kind::None: return;
    case MatchStep::Kind::NextTurn: return SendNextPlayer(channel, roomNo, step.seat);
    case MatchStep::Kind::GameOver: return FinishMatch(channel, roomNo, step);
  }
}

void GameServer::SendNextPlayer(Channel& channel, int roomNo, int seat) {
  const Room* room = channel.FindRoom(roomNo);
  if (!room || !room->match) return;
  protocol::NEXTPLAYER next;
  protocol::SetRelayID(next.ID, LoginOf(channel, room->seats[seat]));
  next.Gauge = room->match->Gauge(seat);
  next.OtherGauge = room->match->Gauge(1 - seat);
  protocol::CCL_NEXTPLAYER message;
  message.Set(next);
  SendToRoom(channel, roomNo, FrameOf(message));
}

void GameServer::TickMatches() {
  const auto now = std::chrono::steady_clock::now();
  for (auto& [key, channel] : channels_) {
    std::vector<int> playing;
    for (const Room* room : channel->Rooms()) {
      if (room->match) playing.push_back(room->roomNo);
    }
    // Finishing a game may take players out of their rooms: look each room up again.
    for (int roomNo : playing) {
      Room* room = channel->GameRoom(roomNo);
      if (room && room->match) ApplyStep(*channel, roomNo, room->match->Tick(now));
    }
  }
}

void GameServer::AbandonGames() {
  const std::string notice = Utf8ToCp949("서버가 종료되어 게임이 결과 없이 끝났습니다. 배팅한 머니는 그대로입니다.");
  for (auto& [key, channel] : channels_) {
    std::vector<int> playing;
    for (const Room* room : channel->Rooms()) {
      if (room->match) playing.push_back(room->roomNo);
    }
    for (int roomNo : playing) {
      Room* room = channel->GameRoom(roomNo);
      room->match.reset();
      room->playing = false;
      room->ready = {};
      room->exitReserved = {};
      for (std::int64_t userId : room->seats) {
        if (GameSession* player = FindUser(userId)) SendServerMessage(*player, 0, notice);
      }
      Log(LogLevel::Info, name_, ": game in room ", roomNo, " abandoned without a result: the server stops");
    }
  }
}

void GameServer::ForfeitGame(GameSession& session) {
  Channel* channel = session.channel;
  const ChannelMember* member = channel ? channel->FindMember(session.user.id) : nullptr;
  Room* room = member && member->roomNo ? channel->GameRoom(member->roomNo) : nullptr;
  if (!room || !room->match) return;
  const int seat = room->SeatOf(session.user.id);
  if (seat < 0) return;
  // The leaver is on the way out already.
  room->exitReserved[seat] = false;
  FinishMatch(*channel, room->roomNo, room->match->Forfeit(seat));
}

// ---- End ---------------------------------------------------------------------

bool GameServer::TakePlusPoint(std::int64_t userId) {
  const std::int64_t now = context_.Now();
  for (const ItemRecord& item : context_.db.ItemsOf(userId)) {
    if (item.itemCode == kPlusPointItem && ItemUsable(item, now)) return context_.db.CountItemUse(item.id, now);
  }
  return false;
}

void GameServer::FinishMatch(Channel& channel, int roomNo, const MatchStep& step) {
  Room* room = channel.GameRoom(roomNo);
  if (!room || !room->match || step.kind != MatchStep::Kind::GameOver) return;
  room->match.reset();
  room->playing = false;
  room->ready = {};
  ++room->gamesPlayed;
  const std::array<std::int64_t, 2> seats = room->seats;
  const std::array<bool, 2> leaving = room->exitReserved;
  room->exitReserved = {};

  std::array<UserRecord, 2> before;
  for (int seat = 0; seat < Room::kSeats; ++seat) {
    const ChannelMember* member = channel.FindMember(seats[seat]);
    auto stored = context_.db.FindUser(seats[seat]);
    if (!member || !stored) {
      Log(LogLevel::Error, name_, ": game in room ", roomNo, " ended without its players; result dropped");
      SendRoomChange(channel, roomNo);
      return;
    }
    before[seat] = *stored;
  }
  std::array<bool, 2> plusPoint{};
  if (step.winner >= 0) plusPoint[step.winner] = TakePlusPoint(seats[step.winner]);
  const auto settled = SettleGame(context_.config.Rules().game, step.winner, before, room->settings.bet, plusPoint);
  const std::array<UserRecord, 2> after{settled[0].after, settled[1].after};
  if (!context_.db.RecordGameResult(after)) {
    Log(LogLevel::Error, name_, ": result of the game in room ", roomNo, " could not be stored");
  }

  std::array<protocol::GAMEOVERRESULT, 2> results{};
  for (int seat = 0; seat < Room::kSeats; ++seat) {
    const UserRecord& user = settled[seat].after;
    protocol::CopyAtMost(results[seat].ID, user.loginId, 15);
    results[seat].Pebble = user.money;
    results[seat].Point = user.points;
    results[seat].WinNum = user.wins;
    results[seat].LoseNum = user.losses;
    results[seat].ChangePoint = settled[seat].pointChange;
    results[seat].ChangeValue = settled[seat].moneyChange;
    channel.UpdateUser(user);
    if (GameSession* session = FindUser(user.id)) session->user = user;
  }
  protocol::CSV_GAMEOVERRESULT message;
  message.Set(results);
  SendToRoom(channel, roomNo, FrameOf(message));
  Log(LogLevel::Info, name_, ": game in room ", roomNo, " over (", Describe(step.end), "): ",
      step.winner < 0 ? std::string("draw") : before[step.winner].loginId + " wins");

  SendRoomChange(channel, roomNo);
  for (auto userId : seats) SendUserChange(channel, userId);
  for (int seat = 0; seat < Room::kSeats; ++seat) {
    GameSession* session = leaving[seat] ? FindUser(seats[seat]) : nullptr;
    if (session) LeaveRoom(*session, false);
  }
}

// ---- Items -------------------------------------------------------------------

void GameServer::OnAskGameItemList(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_GAMEITEMLIST ask;
  if (!Parse(session, frame, ask)) return;
  std::vector<protocol::GAMEITEM> items;
  for (const ItemRecord& owned : context_.db.ItemsOf(session.user.id)) {
    if (items.size() == static_cast<std::size_t>(protocol::kMaxGameItems)) break;
    protocol::GAMEITEM& item = items.emplace_back();
    item.ItemCode = owned.itemCode;
    item.UseDays = static_cast<std::int16_t>(owned.useDays);
    item.UseLimit = static_cast<std::int16_t>(owned.useLimit);
    if (owned.startTime > 0) item.StartTime = ToSystemTime(static_cast<std::time_t>(owned.startTime));
    item.UsedCnt = static_cast<std::int16_t>(owned.usedCount);
  }
  protocol::ITEMLISTHEAD head;
  head.ItemCnt = static_cast<std::int32_t>(items.size());
  head.ServerTime = ToSystemTime(std::time(nullptr));
  protocol::CSV_GAMEITEMLIST list;
  list.Set(head, items, "", "");
  Send(session, list);
}

}  // namespace tovrik::server
