// The game server's lobby, room, chat, invitation and relay messages.
#include <algorithm>

#include "WireRecords.h"
#include "protocol/LobbyMessages.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/Records.h"
#include "protocol/RelayMessages.h"
#include "protocol/TextField.h"
#include "server/Cp949.h"
#include "server/GameServer.h"
#include "server/Log.h"

namespace tovrik::server {

namespace msgid = protocol::msgid;

namespace {

constexpr std::size_t kMaxChatBytes = 512;
constexpr std::size_t kMaxInviteBytes = 512;
constexpr std::size_t kMaxReportBytes = 16000;
constexpr int kMaxReportsPerDay = 20;
constexpr int kMaxCharacter = 72;

std::string Format(const char* utf8Pattern, std::string_view cp949Name) {
  // The pattern holds one "%s"; the name is already in code page 949.
  const std::string pattern = Utf8ToCp949(utf8Pattern);
  const std::size_t at = pattern.find("%s");
  return pattern.substr(0, at) + std::string(cp949Name) + pattern.substr(at + 2);
}

std::string IdField(std::span<const std::uint8_t> payload, std::size_t offset) {
  return std::string(protocol::ReadText({reinterpret_cast<const char*>(payload.data()) + offset, 16}));
}

}  // namespace

// ---- Lobby lists -------------------------------------------------------------

void GameServer::OnAskAllUserInfo(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_ALLUSERINFO ask;
  if (Parse(session, frame, ask)) SendAllUsers(session);
}

void GameServer::SendAllUsers(GameSession& session) {
  if (!session.channel) return;
  std::vector<protocol::SMALLUSERINFO> users;
  for (const ChannelMember* member : session.channel->Members()) users.push_back(ToSmallUserInfo(*member));
  protocol::CSV_ALLUSERINFO list;
  list.Set(users);
  Send(session, list);
}

void GameServer::OnAskAllRoomInfo(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_ALLROOMINFO ask;
  if (!Parse(session, frame, ask) || !session.channel) return;
  std::vector<protocol::ROOMINFO> rooms;
  for (const Room* room : session.channel->Rooms()) rooms.push_back(ToRoomInfo(*session.channel, *room, false));
  protocol::CSV_ALLROOMINFO list;
  list.Set(rooms);
  Send(session, list);
}

void GameServer::OnAskRoomInfo(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_ROOMINFO ask;
  if (!Parse(session, frame, ask) || !session.channel) return;
  const Room* room = session.channel->FindRoom(*ask.Value);
  protocol::GAMEINFO info;
  if (room) {
    const protocol::ENTERROOMINFO full = ToEnterRoomInfo(*session.channel, *room);
    info = full.GI;
    std::fill(std::begin(info.RI.Password), std::end(info.RI.Password), '\0');
    for (protocol::USERINFO& player : info.UI) {
      if (player.UNum > 0 && !MaySeeMoney(session, player.UNum)) player.Pebble = 0;
    }
  }
  protocol::CSV_ROOMINFO answer;
  answer.Set(room ? 0 : 1, info);
  Send(session, answer);
}

void GameServer::OnAskUserInfo(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_USERINFO ask;
  if (!Parse(session, frame, ask)) return;
  const std::int32_t unum = *ask.UNum;
  const std::string id(ask.UserID->View());
  std::optional<UserRecord> user;
  if (GameSession* online = FindUser(unum); online && online->user.loginId == id) {
    user = online->user;
  } else if (!id.empty()) {
    user = context_.db.FindUserByLogin(id);
  }
  protocol::USERINFO info = user ? ToUserInfo(*user) : protocol::USERINFO{};
  // The profile shows no money; only the owner, an operator and the other
  // player of one's room (who sees it at the table anyway) learn it.
  if (user && !MaySeeMoney(session, user->id)) info.Pebble = 0;
  protocol::CSV_USERINFO answer;
  answer.Set(info);
  Send(session, answer);
}

bool GameServer::IsOperator(const GameSession& session) const {
  const auto& operators = context_.config.Rules().operators;
  return std::find(operators.begin(), operators.end(), session.user.loginId) != operators.end();
}

bool GameServer::MaySeeMoney(const GameSession& asker, std::int64_t userId) const {
  if (asker.user.id == userId || IsOperator(asker)) return true;
  const ChannelMember* self = asker.channel ? asker.channel->FindMember(asker.user.id) : nullptr;
  const ChannelMember* other = asker.channel ? asker.channel->FindMember(userId) : nullptr;
  return self && other && self->roomNo != 0 && self->roomNo == other->roomNo;
}

void GameServer::OnAskDetailUserInfo(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_DETAILUSERINFO ask;
  if (!Parse(session, frame, ask)) return;
  const std::string nickname(ask.NickName->View());
  std::optional<UserRecord> user;
  // Other users' money is for operators only.
  if (IsOperator(session)) {
    if (GameSession* online = FindUserByNickname(nickname)) {
      user = online->user;
    } else if (const auto presence = context_.db.FindPresenceByNickname(nickname, context_.LiveAfter())) {
      user = context_.db.FindUser(presence->userId);
    }
  } else {
    Log(LogLevel::Info, name_, ": ", session.user.loginId, " asked for details without being an operator");
  }
  protocol::CSV_DETAILUSERINFO answer;
  answer.Set(user ? ToUserInfo(*user) : protocol::USERINFO{});
  Send(session, answer);
}

void GameServer::OnAskChangeCharacter(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_CHANGECHAR ask;
  if (!Parse(session, frame, ask)) return;
  const std::int32_t character = *ask.CharNo;
  if (character < 0 || character > kMaxCharacter || !context_.db.SetCharacter(session.user.id, character)) {
    Log(LogLevel::Info, name_, ": ", session.user.loginId, " asked for character ", character, ": ignored");
    return;
  }
  session.user.charNo = character;
  if (session.channel) session.channel->UpdateUser(session.user);
  protocol::CSV_ACCEPT_CHANGECHAR accept;
  accept.Set(character);
  Send(session, accept);
}

void GameServer::OnLobbyOpen(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_LOBYOPEN lobby;
  if (!Parse(session, frame, lobby) || !session.channel) return;
  const bool open = *lobby.Value != 0;
  session.channel->SetLobbyView(session.user.id, open);
  // The invitation window empties its list when it opens.
  if (open) SendAllUsers(session);
}

// ---- Rooms -------------------------------------------------------------------

void GameServer::OnAskCreateRoom(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_CREATEROOM ask;
  if (!Parse(session, frame, ask) || !session.channel) return;
  const protocol::ROOMINFO& request = *ask.Info;
  Channel& channel = *session.channel;
  RoomSettings settings;
  settings.title = std::string(protocol::ReadText(request.Title));
  settings.maxUser = request.MaxUser;
  settings.bet = request.BetPebble;
  settings.level = request.RoomLevel;
  settings.secret = request.Secret != 0;
  settings.option = request.RoomOption;
  settings.password = std::string(protocol::ReadText(request.Password));
  settings.superRoom = request.SuperRoom != 0;
  bool ownsSuperItem = false;
  if (settings.superRoom) {
    for (const auto& item : context_.db.ItemsOf(session.user.id)) {
      ownsSuperItem = ownsSuperItem || (item.itemCode == kSuperRoomItem && ItemUsable(item, context_.Now()));
    }
  }
  const RoomResult result = channel.CreateRoom(session.user.id, settings, ownsSuperItem);
  if (!result.Ok()) {
    Log(LogLevel::Info, name_, ": room creation by ", session.user.loginId, " refused (", result.refusal, ")");
    protocol::CSV_REFUSE_CREATEROOM refusal;
    refusal.Set(result.refusal);
    Send(session, refusal);
    return;
  }
  protocol::CSV_ACCEPT_CREATEROOM accept;
  accept.Set(ToRoomInfo(channel, *result.room, true));
  Send(session, accept);
  protocol::CSV_NEWROOM newRoom;
  newRoom.Set(ToRoomInfo(channel, *result.room, false));
  SendToLobby(channel, FrameOf(newRoom));
  SendUserChange(channel, session.user.id);
  UpdatePresence(session);
}

void GameServer::OnAskEnterRoom(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_ENTERROOM ask;
  if (!Parse(session, frame, ask) || !session.channel) return;
  const std::int32_t roomNo = *ask.RoomNo, unum = *ask.UNum;
  const std::string id(ask.UserID->View()), password(ask.Password->View());
  Channel& channel = *session.channel;
  RoomResult result{kEnterBadRequester, nullptr};
  if (unum == session.user.id && id == session.user.loginId) result = channel.EnterRoom(session.user.id, roomNo, password);
  if (!result.Ok()) {
    Log(LogLevel::Info, name_, ": ", session.user.loginId, " refused entry to room ", roomNo, " (", result.refusal, ")");
    protocol::CSV_REFUSE_ENTERROOM refusal;
    refusal.Set(result.refusal);
    Send(session, refusal);
    return;
  }
  const Room& room = *result.room;
  protocol::CSV_ACCEPT_ENTERROOM accept;
  accept.Set(ToEnterRoomInfo(channel, room));
  Send(session, accept);
  protocol::CSV_USERENTERROOM arrival;
  arrival.Set(room.SeatOf(session.user.id), ToUserInfo(session.user));
  SendToRoom(channel, room.roomNo, FrameOf(arrival), session.user.id);
  SendRoomChange(channel, room.roomNo);
  SendUserChange(channel, session.user.id);
  UpdatePresence(session);
}

void GameServer::OnAskOutRoom(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_OUTROOM ask;
  // Whatever room number the client names, it leaves the room it is in.
  if (Parse(session, frame, ask)) LeaveRoom(session, false);
}

void GameServer::LeaveRoom(GameSession& session, bool forced) {
  Channel* channel = session.channel;
  const ChannelMember* member = channel ? channel->FindMember(session.user.id) : nullptr;
  if (!member || member->roomNo == 0) return;
  ForfeitGame(session);
  const RoomExit exit = channel->LeaveRoom(session.user.id);
  if (forced) {
    protocol::CSV_ABNORMALOUTROOM removed;
    removed.Set();
    Send(session, removed);
  } else {
    protocol::CSV_ACCEPT_OUTROOM left;
    left.Set();
    Send(session, left);
  }
  AnnounceRoomExit(*channel, exit, session.user.id, session.user.loginId);
  UpdatePresence(session);
}

void GameServer::AnnounceRoomExit(Channel& channel, const RoomExit& exit, std::int64_t leaver,
                                  const std::string& leaverLogin) {
  protocol::CSV_USEROUTROOM left;
  left.Set(exit.roomNo, static_cast<std::int32_t>(leaver), leaverLogin);
  SendToRoom(channel, exit.roomNo, FrameOf(left));
  if (exit.newMaster != 0) {
    const ChannelMember* master = channel.FindMember(exit.newMaster);
    protocol::CSV_CHANGEROOMMASTER change;
    change.Set(exit.roomNo, static_cast<std::int32_t>(exit.newMaster), master ? master->user.loginId : "");
    SendToRoom(channel, exit.roomNo, FrameOf(change));
  }
  if (exit.roomClosed) {
    protocol::SMALLROOMINFO gone;
    gone.RoomNo = exit.roomNo;
    protocol::CSV_OUTROOM closed;
    closed.Set(gone);
    SendToLobby(channel, FrameOf(closed));
  } else {
    SendRoomChange(channel, exit.roomNo);
  }
  SendUserChange(channel, leaver);
}

void GameServer::OnAskForceBanish(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_FORCEBANISH ask;
  if (!Parse(session, frame, ask) || !session.channel) return;
  const std::string targetLogin(ask.UserID->View());
  Channel& channel = *session.channel;
  const ChannelMember* master = channel.FindMember(session.user.id);
  if (const Room* room = master ? channel.FindRoom(master->roomNo) : nullptr; room && room->playing) {
    // Removing the opponent would hand the master the game.
    Log(LogLevel::Info, name_, ": ", session.user.loginId, " may not remove a player during a game");
    return;
  }
  std::int64_t targetId = 0;
  const auto exit = channel.Banish(session.user.id, targetLogin, targetId);
  if (!exit) {
    Log(LogLevel::Info, name_, ": ", session.user.loginId, " may not remove ", targetLogin);
    return;
  }
  Log(LogLevel::Info, name_, ": ", session.user.loginId, " removed ", targetLogin, " from room ", exit->roomNo);
  protocol::CSV_ABNORMALOUTROOM removed;
  removed.Set();
  SendTo(targetId, FrameOf(removed));
  AnnounceRoomExit(channel, *exit, targetId, targetLogin);
  if (GameSession* target = FindUser(targetId)) UpdatePresence(*target);
}

// ---- Chat, whispers, invitations, reports -------------------------------------

void GameServer::OnChat(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_CHATDATA chat;
  if (!Parse(session, frame, chat)) return;
  const ChannelMember* member = session.channel ? session.channel->FindMember(session.user.id) : nullptr;
  if (!member || member->roomNo != 0) {
    Log(LogLevel::Info, name_, ": lobby chat from ", session.user.loginId, " outside the lobby dropped");
    return;
  }
  // The sender is who the connection says, not what the message says.
  protocol::CSV_CHATDATA line;
  line.Set(session.user.loginId, protocol::Cp949Head(chat.TextView(), kMaxChatBytes));
  SendToLobby(*session.channel, FrameOf(line), 0, Delivery::Chatter);
}

void GameServer::OnWhisper(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_WHISPERCHAT ask;
  if (!Parse(session, frame, ask)) return;
  const std::int32_t targetUnum = *ask.TargetUNum;
  const std::string targetNick(ask.TargetNick->View());
  protocol::CSV_WHISPERCHAT whisper;
  whisper.Set(session.user.loginId, session.user.nickname, targetUnum, targetNick,
              protocol::Cp949Head(ask.TextView(), kMaxChatBytes));

  GameSession* target = FindUser(targetUnum);
  if (!target || target->user.nickname != targetNick) target = FindUserByNickname(targetNick);
  if (target) {
    DeliverWhisper(*target, FrameOf(whisper), session.user.id, serverNo_);
    return;
  }
  const auto presence = context_.db.FindPresenceByNickname(targetNick, context_.LiveAfter());
  if (!presence) {
    SendServerMessage(session, 0, Format("[%s]님은 현재 접속중이 아닙니다.", targetNick));
    return;
  }
  // The user is on another game server: leave the frame there, with whom to
  // tell if it is refused.
  MailRecord mail;
  mail.serverNo = presence->serverNo;
  mail.targetUser = presence->userId;
  mail.kind = kMailWhisper;
  mail.payload.resize(12);
  protocol::StoreLE(mail.payload.data(), static_cast<std::int64_t>(session.user.id));
  protocol::StoreLE(mail.payload.data() + 8, static_cast<std::int32_t>(serverNo_));
  const auto built = FrameOf(whisper);
  mail.payload.insert(mail.payload.end(), built.begin(), built.end());
  context_.db.PostMail(mail);
}

void GameServer::DeliverWhisper(GameSession& target, std::span<const std::uint8_t> frame, std::int64_t senderId,
                                int senderServer) {
  if (!target.noWhisper) {
    SendTo(target, frame, Delivery::Chatter);
    return;
  }
  const std::string notice = Format("[%s]님은 귓말을 거부하고 있습니다.", target.user.nickname);
  if (senderServer == serverNo_) {
    if (GameSession* sender = FindUser(senderId)) SendServerMessage(*sender, 0, notice);
    return;
  }
  MailRecord mail;
  mail.serverNo = senderServer;
  mail.targetUser = senderId;
  mail.kind = kMailNotice;
  mail.payload.assign(notice.begin(), notice.end());
  context_.db.PostMail(mail);
}

void GameServer::DeliverMail() {
  for (const MailRecord& mail : context_.db.TakeMail(serverNo_)) {
    GameSession* target = FindUser(mail.targetUser);
    if (!target) continue;  // gone meanwhile
    if (mail.kind == kMailUserChanged) {
      RefreshUser(mail.targetUser);
    } else if (mail.kind == kMailNotice) {
      SendServerMessage(*target, 0, std::string(mail.payload.begin(), mail.payload.end()));
    } else if (mail.kind == kMailWhisper && mail.payload.size() > 12) {
      const auto senderId = protocol::LoadLE<std::int64_t>(mail.payload.data());
      const auto senderServer = protocol::LoadLE<std::int32_t>(mail.payload.data() + 8);
      // The frame was built by a server of ours; check it all the same.
      std::vector<std::uint8_t> bytes(mail.payload.begin() + 12, mail.payload.end());
      protocol::CSV_WHISPERCHAT whisper;
      if (!whisper.Get(reinterpret_cast<char*>(bytes.data()), static_cast<int>(bytes.size()))) continue;
      DeliverWhisper(*target, bytes, senderId, senderServer);
    }
  }
}

void GameServer::RefreshUser(std::int64_t userId) {
  GameSession* session = FindUser(userId);
  const auto stored = session ? context_.db.FindUser(userId) : std::nullopt;
  if (!stored) return;
  session->user.money = stored->money;
  if (session->channel) {
    if (const ChannelMember* member = session->channel->FindMember(userId)) {
      UserRecord user = member->user;
      user.money = stored->money;
      session->channel->UpdateUser(user);
    }
  }
}

const ChannelConfigEntry* GameServer::ChannelOf(std::int64_t userId) const {
  const auto it = users_.find(userId);
  return it != users_.end() && it->second->channel ? &it->second->channel->Config() : nullptr;
}

void GameServer::OnNoWhisper(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_NOWHISPER refuse;
  if (Parse(session, frame, refuse)) session.noWhisper = *refuse.Value != 0;
}

void GameServer::OnAskInvite(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_INVITE ask;
  if (!Parse(session, frame, ask) || !session.channel) return;
  Channel& channel = *session.channel;
  const ChannelMember* inviter = channel.FindMember(session.user.id);
  const ChannelMember* invitee = channel.FindMember(*ask.TargetUNum);
  if (!inviter || inviter->roomNo == 0 || !invitee || invitee->user.loginId != ask.TargetID->View() ||
      invitee->roomNo != 0) {
    Log(LogLevel::Info, name_, ": invitation from ", session.user.loginId, " to ", ask.TargetID->View(), " dropped");
    return;
  }
  const Room* room = channel.FindRoom(inviter->roomNo);
  // Room number, password and inviter come from the server's own records.
  protocol::USERINFO inviterInfo = ToUserInfo(session.user);
  if (GameSession* target = FindUser(invitee->user.id); !target || !MaySeeMoney(*target, session.user.id)) {
    inviterInfo.Pebble = 0;
  }
  protocol::CSV_ASK_INVITE invitation;
  invitation.Set(static_cast<std::int32_t>(invitee->user.id), invitee->user.loginId, inviter->roomNo,
                 room ? room->settings.password : "", inviterInfo, protocol::Cp949Head(ask.TextView(), kMaxInviteBytes));
  SendTo(invitee->user.id, FrameOf(invitation), Delivery::Chatter);
}

void GameServer::OnRefuseInvite(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_REFUSE_INVITE ask;
  if (!Parse(session, frame, ask) || !session.channel) return;
  const ChannelMember* inviter = session.channel->FindMember(*ask.InviterUNum);
  if (!inviter || inviter->user.loginId != ask.InviterID->View()) return;
  protocol::CSV_REFUSE_INVITE refusal;
  refusal.Set(static_cast<std::int32_t>(inviter->user.id), inviter->user.loginId, session.user.loginId,
              protocol::Cp949Head(ask.TextView(), kMaxInviteBytes));
  SendTo(inviter->user.id, FrameOf(refusal), Delivery::Chatter);
}

void GameServer::OnAskBadUser(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_BADUSER ask;
  if (!Parse(session, frame, ask)) return;
  if (ask.FreeTextView().size() > kMaxReportBytes || ask.ExcerptView().size() > kMaxReportBytes) {
    Reject(session, "abuse report over " + std::to_string(kMaxReportBytes) + " bytes");
    return;
  }
  AbuseReport report;
  report.reporterUser = session.user.id;
  report.reporterLogin = session.user.loginId;
  report.targetLogin = std::string(ask.BadUserID->View());
  report.targetNickname = std::string(ask.BadUserNick->View());
  report.reason = std::string(ask.Reason->View());
  report.roomNo = *ask.RoomNo;
  report.checkValue = *ask.CheckValue;
  report.freeText = std::string(ask.FreeTextView());
  report.excerpt = std::string(ask.ExcerptView());
  // The rate limit slows a reporter down; this keeps the table from growing
  // without end all the same.
  if (context_.db.CountReportsOf(session.user.id, context_.Now() - 24 * 3600) >= kMaxReportsPerDay) {
    Log(LogLevel::Info, name_, ": report by ", session.user.loginId, " dropped: ", kMaxReportsPerDay,
        " reports in a day");
    return;
  }
  if (context_.db.StoreReport(report)) {
    Log(LogLevel::Info, name_, ": ", session.user.loginId, " reported ", report.targetLogin);
  }
}

// ---- Relay -------------------------------------------------------------------

namespace {

// Why a relayed message is malformed or lies about its room or sender; null
// when it is sound.
const char* CheckRelayed(std::int16_t msgId, std::span<const std::uint8_t> payload, int roomNo,
                         const std::string& senderLogin) {
  // Where each message names its room and its sender.
  int roomAt = -1, idAt = 0;
  std::size_t minimum = 16;
  switch (msgId) {
    case msgid::CCL_EXITSUBSCRIPT: roomAt = 0; idAt = 8; minimum = 28; break;
    case msgid::CCL_CHATDATA: roomAt = 0; idAt = 4; minimum = 23; break;
    case msgid::CCL_ASK_STARTGAME: roomAt = 0; idAt = 8; minimum = 24; break;
    case msgid::CCL_STARTINFO:
    case msgid::CCL_NEXTPLAYER: return "only the server sends it";
    case msgid::CCL_RESULTSTONEHIT:
    case msgid::CCL_STONECLICK:
    case msgid::CCL_USEITEM:
    case msgid::CCL_NUCLEARITEM: minimum = 20; break;
    case msgid::CCL_CHANGEITEM: minimum = 24; break;
    case msgid::CCL_TELEPORTITEM:
    case msgid::CCL_STONEHIT: minimum = 28; break;
    default: break;
  }
  if (payload.size() < minimum) return "too short";
  if (roomAt >= 0 && protocol::LoadLE<std::int32_t>(payload.data() + roomAt) != roomNo) return "another room";
  if (IdField(payload, static_cast<std::size_t>(idAt)) != senderLogin) return "another sender";
  if (msgId == msgid::CCL_CHATDATA && protocol::LoadLE<std::int16_t>(payload.data() + 21) + 23u > payload.size()) {
    return "text longer than the message";
  }
  if (msgId == msgid::CCL_RESULTSTONEHIT) {
    const auto count = protocol::LoadLE<std::int32_t>(payload.data() + 16);
    if (count < 0 || count > 16 || payload.size() < 20u + 4u * static_cast<std::size_t>(count)) {
      return "stone count does not match";
    }
  }
  return nullptr;
}

}  // namespace

void GameServer::OnRelay(GameSession& session, ReceivedFrame& frame) {
  const ChannelMember* member = session.channel ? session.channel->FindMember(session.user.id) : nullptr;
  const int roomNo = member ? member->roomNo : 0;
  Room* room = roomNo ? session.channel->GameRoom(roomNo) : nullptr;
  const int seat = room ? room->SeatOf(session.user.id) : -1;
  const char* fault = seat < 0 ? "not seated in a room"
                               : CheckRelayed(frame.msgId, frame.Payload(), roomNo, session.user.loginId);
  if (fault) {
    Log(LogLevel::Info, name_, ": relay ", frame.msgId, " from ", session.user.loginId, " dropped: ", fault);
    return;
  }
  if (!Referee(session, *session.channel, *room, seat, frame)) return;
  if (frame.msgId == msgid::CCL_CHATDATA) {
    // Room chat is cut like lobby chat, on a character boundary.
    protocol::CCL_CHATDATA chat;
    if (!Parse(session, frame, chat)) return;
    protocol::CCL_CHATDATA line;
    line.Set(roomNo, session.user.loginId, protocol::Cp949Head(chat.TextView(), kMaxChatBytes));
    SendToRoom(*session.channel, roomNo, FrameOf(line), 0, Delivery::Chatter);
    return;
  }
  // Relayed as received: the frame is plain again, and each member's
  // connection scrambles its own copy.
  SendToRoom(*session.channel, roomNo, frame.bytes);
}

}  // namespace tovrik::server
