// The game server's lobby, room, chat, invitation and relay messages.
#include <algorithm>

#include "WireRecords.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/Records.h"
#include "protocol/TextField.h"
#include "server/Cp949.h"
#include "server/GameServer.h"
#include "server/Log.h"

namespace tovrik::server {

namespace msgid = protocol::msgid;

namespace {

constexpr std::size_t kMaxChatBytes = 512;
constexpr std::size_t kMaxInviteBytes = 512;
constexpr std::int32_t kMaxReportBytes = 16000;
constexpr int kSuperRoomItem = 401;
constexpr int kMaxCharacter = 72;

std::string_view AsText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

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

void GameServer::OnAskAllUserInfo(GameSession& session, PayloadReader&) {
  if (!session.channel) return;
  const auto members = session.channel->Members();
  PayloadWriter message(msgid::CSV_ALLUSERINFO);
  message.PutI32(static_cast<std::int32_t>(members.size()));
  for (const ChannelMember* member : members) message.Put(ToSmallUserInfo(*member));
  Send(session, message);
}

void GameServer::OnAskAllRoomInfo(GameSession& session, PayloadReader&) {
  if (!session.channel) return;
  const auto rooms = session.channel->Rooms();
  PayloadWriter message(msgid::CSV_ALLROOMINFO);
  message.PutI32(static_cast<std::int32_t>(rooms.size()));
  for (const Room* room : rooms) message.Put(ToRoomInfo(*session.channel, *room, false));
  Send(session, message);
}

void GameServer::OnAskRoomInfo(GameSession& session, PayloadReader& reader) {
  std::int32_t roomNo = 0;
  if (!reader.TakeI32(roomNo) || !session.channel) return;
  const Room* room = session.channel->FindRoom(roomNo);
  protocol::GAMEINFO info;
  if (room) {
    const protocol::ENTERROOMINFO full = ToEnterRoomInfo(*session.channel, *room);
    info = full.GI;
    std::fill(std::begin(info.RI.Password), std::end(info.RI.Password), '\0');
  }
  Send(session, PayloadWriter(msgid::CSV_ROOMINFO).PutI32(room ? 0 : 1).Put(info));
}

void GameServer::OnAskUserInfo(GameSession& session, PayloadReader& reader) {
  std::int32_t unum = 0;
  std::string id;
  if (!reader.TakeI32(unum) || !reader.TakeText(16, id)) return;
  std::optional<UserRecord> user;
  if (GameSession* online = FindUser(unum); online && online->user.loginId == id) {
    user = online->user;
  } else if (!id.empty()) {
    user = context_.db.FindUserByLogin(id);
  }
  Send(session, PayloadWriter(msgid::CSV_USERINFO).Put(user ? ToUserInfo(*user) : protocol::USERINFO{}));
}

void GameServer::OnAskDetailUserInfo(GameSession& session, PayloadReader& reader) {
  std::int32_t unum = 0;
  std::string nickname;
  if (!reader.TakeI32(unum) || !reader.TakeText(20, nickname)) return;
  const auto& operators = context_.config.Rules().operators;
  std::optional<UserRecord> user;
  // Other users' money is for operators only.
  if (std::find(operators.begin(), operators.end(), session.user.loginId) != operators.end()) {
    if (GameSession* online = FindUserByNickname(nickname)) {
      user = online->user;
    } else if (const auto presence = context_.db.FindPresenceByNickname(nickname, context_.LiveAfter())) {
      user = context_.db.FindUser(presence->userId);
    }
  } else {
    Log(LogLevel::Info, name_, ": ", session.user.loginId, " asked for details without being an operator");
  }
  Send(session, PayloadWriter(msgid::CSV_DETAILUSERINFO).Put(user ? ToUserInfo(*user) : protocol::USERINFO{}));
}

void GameServer::OnAskChangeCharacter(GameSession& session, PayloadReader& reader) {
  std::int32_t unum = 0, character = 0;
  std::string id;
  if (!reader.TakeI32(unum) || !reader.TakeText(16, id) || !reader.TakeI32(character)) return;
  if (character < 0 || character > kMaxCharacter || !context_.db.SetCharacter(session.user.id, character)) {
    Log(LogLevel::Info, name_, ": ", session.user.loginId, " asked for character ", character, ": ignored");
    return;
  }
  session.user.charNo = character;
  if (session.channel) session.channel->UpdateUser(session.user);
  Send(session, PayloadWriter(msgid::CSV_ACCEPT_CHANGECHAR).PutI32(character));
}

void GameServer::OnLobbyOpen(GameSession& session, PayloadReader& reader) {
  std::int32_t open = 0;
  if (!reader.TakeI32(open) || !session.channel) return;
  session.channel->SetLobbyView(session.user.id, open != 0);
  // The invitation window empties its list when it opens.
  if (open != 0) {
    PayloadReader none({});
    OnAskAllUserInfo(session, none);
  }
}

// ---- Rooms -------------------------------------------------------------------

void GameServer::OnAskCreateRoom(GameSession& session, PayloadReader& reader) {
  protocol::ROOMINFO request;
  if (!reader.Take(request) || !session.channel) return;
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
      ownsSuperItem = ownsSuperItem || (item.itemCode == kSuperRoomItem && item.useDays >= 0 && item.useLimit >= 0);
    }
  }
  const RoomResult result = channel.CreateRoom(session.user.id, settings, ownsSuperItem);
  if (!result.Ok()) {
    Log(LogLevel::Info, name_, ": room creation by ", session.user.loginId, " refused (", result.refusal, ")");
    Send(session, PayloadWriter(msgid::CSV_REFUSE_CREATEROOM).PutI32(result.refusal));
    return;
  }
  Send(session, PayloadWriter(msgid::CSV_ACCEPT_CREATEROOM).Put(ToRoomInfo(channel, *result.room, true)));
  SendToLobby(channel, PayloadWriter(msgid::CSV_NEWROOM).Put(ToRoomInfo(channel, *result.room, false)));
  SendUserChange(channel, session.user.id);
  UpdatePresence(session);
}

void GameServer::OnAskEnterRoom(GameSession& session, PayloadReader& reader) {
  std::int32_t roomNo = 0, unum = 0;
  std::string id, password;
  if (!reader.TakeI32(roomNo) || !reader.TakeI32(unum) || !reader.TakeText(16, id) || !reader.TakeText(5, password)) {
    return;
  }
  if (!session.channel) return;
  Channel& channel = *session.channel;
  RoomResult result{kEnterBadRequester, nullptr};
  if (unum == session.user.id && id == session.user.loginId) result = channel.EnterRoom(session.user.id, roomNo, password);
  if (!result.Ok()) {
    Log(LogLevel::Info, name_, ": ", session.user.loginId, " refused entry to room ", roomNo, " (", result.refusal, ")");
    Send(session, PayloadWriter(msgid::CSV_REFUSE_ENTERROOM).PutI32(result.refusal));
    return;
  }
  const Room& room = *result.room;
  Send(session, PayloadWriter(msgid::CSV_ACCEPT_ENTERROOM).Put(ToEnterRoomInfo(channel, room)));
  SendToRoom(channel, room.roomNo,
             PayloadWriter(msgid::CSV_USERENTERROOM).PutI32(room.SeatOf(session.user.id)).Put(ToUserInfo(session.user)),
             session.user.id);
  SendRoomChange(channel, room.roomNo);
  SendUserChange(channel, session.user.id);
  UpdatePresence(session);
}

void GameServer::OnAskOutRoom(GameSession& session, PayloadReader& reader) {
  std::int32_t roomNo = 0, unum = 0;
  std::string id;
  if (!reader.TakeI32(roomNo) || !reader.TakeI32(unum) || !reader.TakeText(16, id)) return;
  // Whatever room number the client names, it leaves the room it is in.
  LeaveRoom(session, false);
}

void GameServer::LeaveRoom(GameSession& session, bool forced) {
  Channel* channel = session.channel;
  const ChannelMember* member = channel ? channel->FindMember(session.user.id) : nullptr;
  if (!member || member->roomNo == 0) return;
  const RoomExit exit = channel->LeaveRoom(session.user.id);
  Send(session, forced ? PayloadWriter(msgid::CSV_ABNORMALOUTROOM) : PayloadWriter(msgid::CSV_ACCEPT_OUTROOM));
  AnnounceRoomExit(*channel, exit, session.user.id, session.user.loginId);
  UpdatePresence(session);
}

void GameServer::AnnounceRoomExit(Channel& channel, const RoomExit& exit, std::int64_t leaver,
                                  const std::string& leaverLogin) {
  SendToRoom(channel, exit.roomNo,
             PayloadWriter(msgid::CSV_USEROUTROOM)
                 .PutI32(exit.roomNo)
                 .PutI32(static_cast<std::int32_t>(leaver))
                 .PutText(leaverLogin, 16));
  if (exit.newMaster != 0) {
    const ChannelMember* master = channel.FindMember(exit.newMaster);
    SendToRoom(channel, exit.roomNo,
               PayloadWriter(msgid::CSV_CHANGEROOMMASTER)
                   .PutI32(exit.roomNo)
                   .PutI32(static_cast<std::int32_t>(exit.newMaster))
                   .PutText(master ? master->user.loginId : "", 16));
  }
  if (exit.roomClosed) {
    protocol::SMALLROOMINFO gone;
    gone.RoomNo = exit.roomNo;
    SendToLobby(channel, PayloadWriter(msgid::CSV_OUTROOM).Put(gone));
  } else {
    SendRoomChange(channel, exit.roomNo);
  }
  SendUserChange(channel, leaver);
}

void GameServer::OnAskForceBanish(GameSession& session, PayloadReader& reader) {
  std::string targetLogin;
  if (!reader.TakeText(16, targetLogin) || !session.channel) return;
  Channel& channel = *session.channel;
  std::int64_t targetId = 0;
  const auto exit = channel.Banish(session.user.id, targetLogin, targetId);
  if (!exit) {
    Log(LogLevel::Info, name_, ": ", session.user.loginId, " may not remove ", targetLogin);
    return;
  }
  Log(LogLevel::Info, name_, ": ", session.user.loginId, " removed ", targetLogin, " from room ", exit->roomNo);
  SendTo(targetId, PayloadWriter(msgid::CSV_ABNORMALOUTROOM));
  AnnounceRoomExit(channel, *exit, targetId, targetLogin);
  if (GameSession* target = FindUser(targetId)) UpdatePresence(*target);
}

// ---- Chat, whispers, invitations, reports -------------------------------------

void GameServer::OnChat(GameSession& session, PayloadReader& reader) {
  std::string id;
  std::int16_t length = 0;
  std::span<const std::uint8_t> text;
  if (!reader.TakeText(16, id) || !reader.TakeI16(length)) return;
  if (length < 0) {
    Reject(session, "chat line with a negative length");
    return;
  }
  if (!reader.TakeBytes(static_cast<std::size_t>(length), text)) return;
  const ChannelMember* member = session.channel ? session.channel->FindMember(session.user.id) : nullptr;
  if (!member || member->roomNo != 0) {
    Log(LogLevel::Info, name_, ": lobby chat from ", session.user.loginId, " outside the lobby dropped");
    return;
  }
  const std::string_view line = protocol::Cp949Head(AsText(text), kMaxChatBytes);
  // The sender is who the connection says, not what the message says.
  SendToLobby(*session.channel, PayloadWriter(msgid::CSV_CHATDATA)
                                    .PutText(session.user.loginId, 16)
                                    .PutI16(static_cast<std::int16_t>(line.size()))
                                    .PutBytes(line));
}

void GameServer::OnWhisper(GameSession& session, PayloadReader& reader) {
  std::string ownId, ownNick, targetNick;
  std::int32_t targetUnum = 0;
  std::int16_t length = 0;
  std::span<const std::uint8_t> text;
  if (!reader.TakeText(16, ownId) || !reader.TakeText(20, ownNick) || !reader.TakeI32(targetUnum) ||
      !reader.TakeText(20, targetNick) || !reader.TakeI16(length)) {
    return;
  }
  if (length < 0) {
    Reject(session, "whisper with a negative length");
    return;
  }
  if (!reader.TakeBytes(static_cast<std::size_t>(length), text)) return;
  const std::string_view line = protocol::Cp949Head(AsText(text), kMaxChatBytes);
  PayloadWriter whisper(msgid::CSV_WHISPERCHAT);
  whisper.PutText(session.user.loginId, 16)
      .PutText(session.user.nickname, 20)
      .PutI32(targetUnum)
      .PutText(targetNick, 20)
      .PutI16(static_cast<std::int16_t>(line.size()))
      .PutBytes(line);

  GameSession* target = FindUser(targetUnum);
  if (!target || target->user.nickname != targetNick) target = FindUserByNickname(targetNick);
  if (target) {
    DeliverWhisper(*target, std::span<const std::uint8_t>(whisper.Frame()).subspan(16), session.user.id, serverNo_);
    return;
  }
  const auto presence = context_.db.FindPresenceByNickname(targetNick, context_.LiveAfter());
  if (!presence) {
    SendServerMessage(session, 0, Format("[%s]님은 현재 접속중이 아닙니다.", targetNick));
    return;
  }
  MailRecord mail;
  mail.serverNo = presence->serverNo;
  mail.targetUser = presence->userId;
  mail.kind = kMailWhisper;
  mail.payload.resize(12);
  protocol::StoreLE(mail.payload.data(), static_cast<std::int64_t>(session.user.id));
  protocol::StoreLE(mail.payload.data() + 8, static_cast<std::int32_t>(serverNo_));
  const auto body = std::span<const std::uint8_t>(whisper.Frame()).subspan(16);
  mail.payload.insert(mail.payload.end(), body.begin(), body.end());
  context_.db.PostMail(mail);
}

void GameServer::DeliverWhisper(GameSession& target, std::span<const std::uint8_t> payload, std::int64_t senderId,
                                int senderServer) {
  if (!target.noWhisper) {
    PayloadWriter message(msgid::CSV_WHISPERCHAT);
    message.PutBytes(payload);
    Send(target, message);
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
    if (mail.kind == kMailNotice) {
      SendServerMessage(*target, 0, std::string(mail.payload.begin(), mail.payload.end()));
    } else if (mail.kind == kMailWhisper && mail.payload.size() >= 12) {
      const auto senderId = protocol::LoadLE<std::int64_t>(mail.payload.data());
      const auto senderServer = protocol::LoadLE<std::int32_t>(mail.payload.data() + 8);
      DeliverWhisper(*target, std::span<const std::uint8_t>(mail.payload).subspan(12), senderId, senderServer);
    }
  }
}

void GameServer::OnNoWhisper(GameSession& session, PayloadReader& reader) {
  std::int32_t refuse = 0;
  if (!reader.TakeI32(refuse)) return;
  session.noWhisper = refuse != 0;
}

void GameServer::OnAskInvite(GameSession& session, PayloadReader& reader) {
  std::int32_t inviteeUnum = 0, roomNo = 0, length = 0;
  std::string inviteeId, password;
  protocol::USERINFO claimed;
  std::span<const std::uint8_t> text;
  if (!reader.TakeI32(inviteeUnum) || !reader.TakeText(16, inviteeId) || !reader.TakeI32(roomNo) ||
      !reader.TakeText(5, password) || !reader.Take(claimed) || !reader.TakeI32(length)) {
    return;
  }
  if (length < 0) {
    Reject(session, "invitation with a negative length");
    return;
  }
  if (!reader.TakeBytes(static_cast<std::size_t>(length), text) || !session.channel) return;
  Channel& channel = *session.channel;
  const ChannelMember* inviter = channel.FindMember(session.user.id);
  const ChannelMember* invitee = channel.FindMember(inviteeUnum);
  if (!inviter || inviter->roomNo == 0 || !invitee || invitee->user.loginId != inviteeId || invitee->roomNo != 0) {
    Log(LogLevel::Info, name_, ": invitation from ", session.user.loginId, " to ", inviteeId, " dropped");
    return;
  }
  const Room* room = channel.FindRoom(inviter->roomNo);
  const std::string_view line = protocol::Cp949Head(AsText(text), kMaxInviteBytes);
  // Room number, password and inviter come from the server's own records.
  SendTo(invitee->user.id, PayloadWriter(msgid::CSV_ASK_INVITE)
                               .PutI32(inviteeUnum)
                               .PutText(invitee->user.loginId, 16)
                               .PutI32(inviter->roomNo)
                               .PutText(room ? room->settings.password : "", 5)
                               .Put(ToUserInfo(session.user))
                               .PutI32(static_cast<std::int32_t>(line.size()))
                               .PutBytes(line));
}

void GameServer::OnRefuseInvite(GameSession& session, PayloadReader& reader) {
  std::int32_t inviterUnum = 0, length = 0;
  std::string inviterId, ownId;
  std::span<const std::uint8_t> text;
  if (!reader.TakeI32(inviterUnum) || !reader.TakeText(16, inviterId) || !reader.TakeText(16, ownId) ||
      !reader.TakeI32(length)) {
    return;
  }
  if (length < 0) {
    Reject(session, "invitation refusal with a negative length");
    return;
  }
  if (!reader.TakeBytes(static_cast<std::size_t>(length), text) || !session.channel) return;
  const ChannelMember* inviter = session.channel->FindMember(inviterUnum);
  if (!inviter || inviter->user.loginId != inviterId) return;
  const std::string_view line = protocol::Cp949Head(AsText(text), kMaxInviteBytes);
  SendTo(inviter->user.id, PayloadWriter(msgid::CSV_REFUSE_INVITE)
                               .PutI32(inviterUnum)
                               .PutText(inviter->user.loginId, 16)
                               .PutText(session.user.loginId, 16)
                               .PutI32(static_cast<std::int32_t>(line.size()))
                               .PutBytes(line));
}

void GameServer::OnAskBadUser(GameSession& session, PayloadReader& reader) {
  std::int32_t check = 0, roomNo = 0, unum = 0, length1 = 0, length2 = 0;
  std::string ownId;
  AbuseReport report;
  std::span<const std::uint8_t> text1, text2;
  if (!reader.TakeI32(check) || !reader.TakeI32(roomNo) || !reader.TakeI32(unum) || !reader.TakeText(16, ownId) ||
      !reader.TakeText(16, report.targetLogin) || !reader.TakeText(20, report.targetNickname) ||
      !reader.TakeText(64, report.reason) || !reader.TakeI32(length1)) {
    return;
  }
  if (length1 < 0 || length1 > kMaxReportBytes) {
    Reject(session, "abuse report text length " + std::to_string(length1));
    return;
  }
  if (!reader.TakeBytes(static_cast<std::size_t>(length1), text1) || !reader.TakeI32(length2)) return;
  if (length2 < 0 || length2 > kMaxReportBytes) {
    Reject(session, "abuse report excerpt length " + std::to_string(length2));
    return;
  }
  if (!reader.TakeBytes(static_cast<std::size_t>(length2), text2)) return;
  report.reporterUser = session.user.id;
  report.reporterLogin = session.user.loginId;
  report.roomNo = roomNo;
  report.checkValue = check;
  report.freeText = std::string(AsText(text1));
  report.excerpt = std::string(AsText(text2));
  if (context_.db.StoreReport(report)) {
    Log(LogLevel::Info, name_, ": ", session.user.loginId, " reported ", report.targetLogin);
  }
}

// ---- Relay -------------------------------------------------------------------

void GameServer::OnRelay(GameSession& session, std::int16_t msgId, std::span<const std::uint8_t> payload) {
  const ChannelMember* member = session.channel ? session.channel->FindMember(session.user.id) : nullptr;
  const int roomNo = member ? member->roomNo : 0;
  auto drop = [&](const char* why) {
    Log(LogLevel::Info, name_, ": relay ", msgId, " from ", session.user.loginId, " dropped: ", why);
  };
  if (roomNo == 0) return drop("not in a room");

  // Where each message names its room and its sender.
  int roomAt = -1, idAt = 0;
  std::size_t minimum = 16;
  switch (msgId) {
    case msgid::CCL_EXITSUBSCRIPT: roomAt = 0; idAt = 8; minimum = 28; break;
    case msgid::CCL_CHATDATA: roomAt = 0; idAt = 4; minimum = 23; break;
    case msgid::CCL_ASK_STARTGAME: roomAt = 0; idAt = 8; minimum = 24; break;
    case msgid::CCL_STARTINFO:
    case msgid::CCL_NEXTPLAYER: return drop("only the server sends it");
    case msgid::CCL_RESULTSTONEHIT: minimum = 20; break;
    default: break;
  }
  if (payload.size() < minimum) return drop("too short");
  if (roomAt >= 0 && protocol::LoadLE<std::int32_t>(payload.data() + roomAt) != roomNo) return drop("another room");
  if (IdField(payload, static_cast<std::size_t>(idAt)) != session.user.loginId) return drop("another sender");
  if (msgId == msgid::CCL_CHATDATA && protocol::LoadLE<std::int16_t>(payload.data() + 21) + 23u > payload.size()) {
    return drop("text longer than the message");
  }
  if (msgId == msgid::CCL_RESULTSTONEHIT) {
    const auto count = protocol::LoadLE<std::int32_t>(payload.data() + 16);
    if (count < 0 || count > 16 || payload.size() < 20u + 4u * static_cast<std::size_t>(count)) {
      return drop("stone count does not match");
    }
  }
  PayloadWriter relay(msgId);
  relay.PutBytes(payload);
  SendToRoom(*session.channel, roomNo, relay);
}

}  // namespace tovrik::server
