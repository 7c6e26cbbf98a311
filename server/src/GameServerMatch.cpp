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

std::vector<int> GameServer::RoomsWithGames(const Channel& channel) {
  std::vector<int> playing;
  for (const Room* room : channel.Rooms()) {
    if (room->match) playing.push_back(room->roomNo);
  }
  return playing;
}

void GameServer::TickMatches() {
  const auto now = std::chrono::steady_clock::now();
  for (auto& [key, channel] : channels_) {
    // Finishing a game may take players out of their rooms: look each room up again.
    for (int roomNo : RoomsWithGames(*channel)) {
      Room* room = channel->GameRoom(roomNo);
      if (room && room->match) ApplyStep(*channel, roomNo, room->match->Tick(now));
    }
  }
}

void GameServer::AbandonGames() {
  RetryPendingResults(true);
  const std::string notice = Utf8ToCp949("서버가 종료되어 게임이 결과 없이 끝났습니다. 배팅한 머니는 그대로입니다.");
  for (auto& [key, channel] : channels_) {
    for (int roomNo : RoomsWithGames(*channel)) {
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

std::int64_t GameServer::UsablePlusPoint(std::int64_t userId) {
  const std::int64_t now = context_.Now();
  for (const ItemRecord& item : context_.db.ItemsOf(userId)) {
    if (item.itemCode == kPlusPointItem && ItemUsable(item, now)) return item.id;
  }
  return 0;
}

void GameServer::FinishMatch(Channel& channel, int roomNo, const MatchStep& step) {
  Room* room = channel.GameRoom(roomNo);
  if (!room || !room->match || step.kind != MatchStep::Kind::GameOver) return;
  room->match.reset();
  room->ready = {};
  ++room->gamesPlayed;
  PendingResult pending;
  pending.channel = &channel;
  pending.roomNo = roomNo;
  pending.seats = room->seats;
  pending.leaving = room->exitReserved;
  pending.end = step.end;
  pending.winner = step.winner;
  room->exitReserved = {};

  for (int seat = 0; seat < Room::kSeats; ++seat) {
    const ChannelMember* member = channel.FindMember(pending.seats[seat]);
    auto stored = context_.db.FindUser(pending.seats[seat]);
    if (!member || !stored) {
      Log(LogLevel::Error, name_, ": game in room ", roomNo, " ended without its players; result dropped");
      room->playing = false;
      SendRoomChange(channel, roomNo);
      return;
    }
    pending.before[seat] = *stored;
  }
  std::array<bool, 2> plusPoint{};
  if (step.winner >= 0) {
    pending.plusPointItem = UsablePlusPoint(pending.seats[step.winner]);
    plusPoint[step.winner] = pending.plusPointItem != 0;
  }
  pending.settled =
      SettleGame(context_.config.Rules().game, step.winner, pending.before, room->settings.bet, plusPoint);
  // Nobody is told a result the database does not hold. While it waits the
  // room counts as playing, so that no new game starts from stale money.
  if (StoreResult(pending)) {
    AnnounceResult(pending, true);
    return;
  }
  room->settling = true;
  pending.giveUpAt = std::chrono::steady_clock::now() + context_.config.Rules().game.resultStoreTime;
  Log(LogLevel::Warn, name_, ": the database is busy; the result of the game in room ", roomNo, " waits");
  pendingResults_.push_back(pending);
}

bool GameServer::StoreResult(const PendingResult& pending) {
  const std::array<UserRecord, 2> after{pending.settled[0].after, pending.settled[1].after};
  std::vector<std::int64_t> itemUses;
  if (pending.plusPointItem) itemUses.push_back(pending.plusPointItem);
  // The money moves by the game's change: the shop may have changed it
  // while the result waited for the database.
  const std::array<int, 2> moneyChanges{pending.settled[0].moneyChange, pending.settled[1].moneyChange};
  return context_.db.RecordGameResult(after, itemUses, context_.Now(), moneyChanges);
}

void GameServer::RetryPendingResults(bool lastChance) {
  const auto now = std::chrono::steady_clock::now();
  // Announcing may take players out of rooms and finish nothing else; still,
  // work on a copy, as the list may not change under the loop.
  auto pending = std::move(pendingResults_);
  pendingResults_.clear();
  for (PendingResult& result : pending) {
    if (StoreResult(result)) {
      AnnounceResult(result, true);
    } else if (lastChance || now >= result.giveUpAt) {
      AnnounceResult(result, false);
    } else {
      pendingResults_.push_back(std::move(result));
    }
  }
}

void GameServer::AnnounceResult(const PendingResult& pending, bool stored) {
  Channel& channel = *pending.channel;
  const int roomNo = pending.roomNo;
  if (Room* room = channel.GameRoom(roomNo); room && (room->playing || room->settling)) {
    room->playing = false;
    room->settling = false;
  }
  std::array<protocol::GAMEOVERRESULT, 2> results{};
  for (int seat = 0; seat < Room::kSeats; ++seat) {
    // A result that could not be stored is shown as what it is: nothing changed.
    UserRecord user = stored ? pending.settled[seat].after : pending.before[seat];
    // The stored money includes what the shop changed meanwhile.
    if (const auto fresh = stored ? context_.db.FindUser(user.id) : std::nullopt) user.money = fresh->money;
    protocol::CopyAtMost(results[seat].ID, user.loginId, 15);
    results[seat].Pebble = user.money;
    results[seat].Point = user.points;
    results[seat].WinNum = user.wins;
    results[seat].LoseNum = user.losses;
    results[seat].ChangePoint = stored ? pending.settled[seat].pointChange : 0;
    results[seat].ChangeValue = stored ? pending.settled[seat].moneyChange : 0;
    if (!stored) continue;
    channel.UpdateUser(user);
    if (GameSession* session = FindUser(user.id)) session->user = user;
  }
  // Only to the players still in that room: one who left meanwhile is gone.
  std::vector<GameSession*> players;
  for (std::int64_t userId : pending.seats) {
    const ChannelMember* member = channel.FindMember(userId);
    GameSession* session = FindUser(userId);
    if (member && member->roomNo == roomNo && session) players.push_back(session);
  }
  protocol::CSV_GAMEOVERRESULT message;
  message.Set(results);
  const std::string notice = Utf8ToCp949("게임 결과를 저장하지 못해 이번 게임은 기록되지 않았습니다. 머니와 전적은 그대로입니다.");
  for (GameSession* player : players) {
    if (!stored) SendServerMessage(*player, 0, notice);
    Send(*player, message);
  }
  const std::string outcome =
      pending.winner < 0 ? std::string("draw") : pending.before[pending.winner].loginId + " wins";
  if (stored) {
    Log(LogLevel::Info, name_, ": game in room ", roomNo, " over (", Describe(pending.end), "): ", outcome);
  } else {
    Log(LogLevel::Error, name_, ": game in room ", roomNo, " over (", Describe(pending.end), "): ", outcome,
        ", but the database refused the result; the players were told it was not counted");
  }
  SendRoomChange(channel, roomNo);
  for (auto userId : pending.seats) SendUserChange(channel, userId);
  for (int seat = 0; seat < Room::kSeats; ++seat) {
    GameSession* session = pending.leaving[seat] ? FindUser(pending.seats[seat]) : nullptr;
    const ChannelMember* member = session ? channel.FindMember(session->user.id) : nullptr;
    if (member && member->roomNo == roomNo) LeaveRoom(*session, false);
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
