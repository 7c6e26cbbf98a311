#include "server/GameServer.h"

#include <algorithm>
#include <cctype>
#include <ctime>

#include "WireRecords.h"
#include "protocol/LobbyMessages.h"
#include "protocol/LoginMessages.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/Records.h"
#include "protocol/TextField.h"
#include "server/Cp949.h"
#include "server/Log.h"
#include "server/GameRules.h"
#include "server/LoginCookie.h"
#include "server/ShopPages.h"

namespace tovrik::server {

namespace msgid = protocol::msgid;

namespace {

constexpr int kGameCode = kShopGameCode;
constexpr std::int32_t kMaxCookieBytes = 4096;

enum LoginRefusal : int {
  kLoginBadTicket = 1,
  kLoginBadCookie = 2,
  kLoginAlreadyIn = 3,
  kLoginNoChannel = 4,
  kLoginServerError = 5,
};

std::int32_t JoinHalves(std::int16_t low, std::int16_t high) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(low)) |
                                   (static_cast<std::uint32_t>(static_cast<std::uint16_t>(high)) << 16));
}

// The move ticket's user number field has 16 bits; the stored ticket names
// the user, so the field only has to agree with it, and wraps for larger ids.
std::int16_t MoveTicketUserNumber(std::int64_t userId) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(userId & 0xFFFF));
}

// Where the channel-move ticket keeps its keys, inside the bytes the client
// sends back unchanged.
constexpr int kMoveKeyA = 0;
constexpr int kMoveKeyB = 4;
constexpr int kMoveKeyC = 8;

}  // namespace

GameServer::GameServer(ServerContext& context, int serverNo, std::string host)
    : context_(context), serverNo_(serverNo), host_(std::move(host)),
      name_("game" + std::to_string(serverNo)) {
  for (const auto& entry : context_.config.Channels()) {
    if (entry.serverNo != serverNo_) continue;
    channels_.emplace(std::make_pair(entry.groupNo, entry.chanNo),
                      std::make_unique<Channel>(entry, context_.config.Rules()));
  }
}

bool GameServer::Start(int port) {
  port_ = port;
  // Whatever this server number left behind in an earlier run is stale.
  context_.db.ClearPresenceOfServer(serverNo_);
  GameServerRecord record{serverNo_, host_, port_, context_.config.LoginGroupOf(serverNo_), 0, context_.Now()};
  return context_.db.RegisterServer(record);
}

void GameServer::Heartbeat() { context_.db.Heartbeat(serverNo_, Users(), context_.Now()); }

void GameServer::Shutdown() { context_.db.UnregisterServer(serverNo_); }

void GameServer::Broadcast(const std::string& cp949Text, int kind) {
  for (auto& [id, session] : users_) SendServerMessage(*session, kind, cp949Text);
}

void GameServer::OnGreet(PeerState& peer) {
  protocol::CSV_CHECKVERSION version;
  version.Set(kProtocolVersion);
  Send(peer, version);
}

void GameServer::OnFrame(PeerState& peer, ReceivedFrame& frame) {
  auto& session = static_cast<GameSession&>(peer);
  const std::int16_t msgId = frame.msgId;
  struct Route {
    std::int16_t id;
    Handler handler;
  };
  static const Route kBeforeLogin[] = {
      {msgid::CSV_ASK_LOGIN, &GameServer::OnAskLogin},
      {msgid::CSV_CONNECT_MOVECHAN, &GameServer::OnConnectMoveChannel},
  };
  static const Route kAfterLogin[] = {
      {msgid::CSV_ASK_LOGOUT, &GameServer::OnAskLogout},
      {msgid::CSV_ASK_ALLCHANINFO, &GameServer::OnAskAllChannelInfo},
      {msgid::CSV_ASK_ENTERCHAN, &GameServer::OnAskEnterChannel},
      {msgid::CSV_ASK_FINDID, &GameServer::OnAskFindId},
      {msgid::CSV_ASK_ALLUSERINFO, &GameServer::OnAskAllUserInfo},
      {msgid::CSV_ASK_ALLROOMINFO, &GameServer::OnAskAllRoomInfo},
      {msgid::CSV_ASK_ROOMINFO, &GameServer::OnAskRoomInfo},
      {msgid::CSV_ASK_USERINFO, &GameServer::OnAskUserInfo},
      {msgid::CSV_ASK_DETAILUSERINFO, &GameServer::OnAskDetailUserInfo},
      {msgid::CSV_ASK_CHANGECHAR, &GameServer::OnAskChangeCharacter},
      {msgid::CSV_LOBYOPEN, &GameServer::OnLobbyOpen},
      {msgid::CSV_ASK_CREATEROOM, &GameServer::OnAskCreateRoom},
      {msgid::CSV_ASK_ENTERROOM, &GameServer::OnAskEnterRoom},
      {msgid::CSV_ASK_OUTROOM, &GameServer::OnAskOutRoom},
      {msgid::CSV_ASK_FORCEBANISH, &GameServer::OnAskForceBanish},
      {msgid::CSV_CHATDATA, &GameServer::OnChat},
      {msgid::CSV_WHISPERCHAT, &GameServer::OnWhisper},
      {msgid::CSV_NOWHISPER, &GameServer::OnNoWhisper},
      {msgid::CSV_ASK_INVITE, &GameServer::OnAskInvite},
      {msgid::CSV_REFUSE_INVITE, &GameServer::OnRefuseInvite},
      {msgid::CSV_ASK_BADUSER, &GameServer::OnAskBadUser},
      {msgid::CSV_ASK_GAMEITEMLIST, &GameServer::OnAskGameItemList},
  };

  if (!session.loggedIn) {
    for (const auto& route : kBeforeLogin) {
      if (route.id != msgId) continue;
      (this->*route.handler)(session, frame);
      return;
    }
    Reject(session, "message " + std::to_string(msgId) + " before login");
    return;
  }
  if (msgId >= msgid::CCL_EXITSUBSCRIPT && msgId <= msgid::CCL_TIMEOUTMYTURN) {
    OnRelay(session, frame);
    return;
  }
  for (const auto& route : kAfterLogin) {
    if (route.id != msgId) continue;
    (this->*route.handler)(session, frame);
    return;
  }
  if (msgId == msgid::CSV_ASK_LOGIN || msgId == msgid::CSV_CONNECT_MOVECHAN) {
    Reject(session, "second login on one connection");
    return;
  }
  Log(LogLevel::Info, name_, ": ignored message ", msgId, " from ", session.user.loginId);
}

namespace {

// The rate limit a message counts against; null for one without.
TokenBucket* BucketFor(SessionLimits& limits, std::int16_t msgId) {
  if (msgId >= msgid::CCL_EXITSUBSCRIPT && msgId <= msgid::CCL_TIMEOUTMYTURN && msgId != msgid::CCL_CHATDATA) {
    return &limits.relay;
  }
  switch (msgId) {
    case msgid::CSV_CHATDATA:
    case msgid::CCL_CHATDATA: return &limits.chat;
    case msgid::CSV_WHISPERCHAT:
    case msgid::CSV_ASK_INVITE:
    case msgid::CSV_REFUSE_INVITE: return &limits.personal;
    case msgid::CSV_ASK_BADUSER: return &limits.report;
    case msgid::CSV_ASK_USERINFO:
    case msgid::CSV_ASK_DETAILUSERINFO:
    case msgid::CSV_ASK_FINDID:
    case msgid::CSV_ASK_ALLCHANINFO:
    case msgid::CSV_ASK_ENTERCHAN:
    case msgid::CSV_ASK_GAMEITEMLIST:
    case msgid::CSV_ASK_CHANGECHAR:
    case msgid::CSV_ASK_CREATEROOM:
    case msgid::CSV_ASK_ENTERROOM:
    case msgid::CSV_ASK_OUTROOM:
    case msgid::CSV_ASK_FORCEBANISH: return &limits.query;
    default: return nullptr;
  }
}

}  // namespace

bool GameServer::Admit(PeerState& peer, std::int16_t msgId) {
  auto& session = static_cast<GameSession&>(peer);
  // Before login only the login itself is accepted, which has no limit.
  if (!session.loggedIn) return true;
  SessionLimits& limits = limits_[session.user.id];
  TokenBucket* bucket = BucketFor(limits, msgId);
  if (!bucket) return true;
  if (bucket->Take(std::chrono::steady_clock::now())) {
    limits.slowed = false;
    return true;
  }
  if (!limits.slowed) {
    Log(LogLevel::Info, name_, ": ", session.user.loginId, " slowed down: message ", msgId, " too often");
    limits.slowed = true;
  }
  return false;
}

void GameServer::OnPeerClosed(PeerState& peer) {
  auto& session = static_cast<GameSession&>(peer);
  if (!session.loggedIn) return;
  LeaveChannel(session);
  context_.db.ReleasePresence(session.user.id, serverNo_, session.presenceSession);
  users_.erase(session.user.id);
  session.loggedIn = false;
  Log(LogLevel::Info, name_, ": ", session.user.loginId, " disconnected");
}

// ---- Login -----------------------------------------------------------------

void GameServer::RefuseLogin(GameSession& session, int reason, const char* utf8Text) {
  Log(LogLevel::Warn, name_, ": login refused on connection ", session.connection->Id(), ": ", utf8Text);
  protocol::CSV_REFUSE_LOGIN refusal;
  refusal.Set(reason, Utf8ToCp949(utf8Text));
  Send(session, refusal);
  session.connection->Close("login refused", true);
}

void GameServer::OnAskLogin(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_LOGIN ask;
  if (!Parse(session, frame, ask)) return;
  const protocol::ASK_LOGININFO& info = *ask.LoginInfo;
  if (ask.AuthCookieView().size() > kMaxCookieBytes) {
    Reject(session, "login cookie of " + std::to_string(ask.AuthCookieView().size()) + " bytes");
    return;
  }
  const auto ticket = context_.db.TakeTicket(TicketKind::Login, info.Ticket1, JoinHalves(info.Ticket2, info.Ticket3),
                                             JoinHalves(info.Ticket4, info.Ticket5), serverNo_, context_.Now());
  if (!ticket) {
    RefuseLogin(session, kLoginBadTicket, "접속 정보가 올바르지 않습니다. 다시 접속해 주십시오.");
    return;
  }
  const auto cookie = ParseLoginCookie(ask.AuthCookieView());
  if (!cookie) {
    RefuseLogin(session, kLoginBadCookie, "사용자 인증에 실패하였습니다.");
    return;
  }
  auto user = context_.db.FindUserByLogin(cookie->loginId);
  if (!user && context_.db.FindUserByNickname(cookie->nickname)) {
    // Whispers and lists name users by nickname: a second user of that
    // name would receive the first one's whispers and pass for it.
    Log(LogLevel::Info, name_, ": ", cookie->loginId, " may not register the nickname ",
        Cp949ToUtf8(cookie->nickname), ": taken");
    RefuseLogin(session, kLoginBadCookie, "이미 다른 사용자가 쓰고 있는 닉네임입니다. 다른 닉네임으로 접속해 주십시오.");
    return;
  }
  if (!user) {
    const auto& rules = context_.config.Rules();
    user = context_.db.RegisterUser(cookie->loginId, cookie->nickname, rules.startMoney, rules.startPoints);
    // Another server may have registered the same id a moment ago.
    if (!user) user = context_.db.FindUserByLogin(cookie->loginId);
    if (user) Log(LogLevel::Info, name_, ": registered new user ", user->loginId, " (", user->id, ")");
  }
  if (!user) {
    RefuseLogin(session, kLoginServerError, "서버 오류로 접속할 수 없습니다.");
    return;
  }
  FinishLogin(session, *user);
}

bool GameServer::FinishLogin(GameSession& session, const UserRecord& user) {
  Channel* channel = FirstOpenChannel(user);
  if (!channel) {
    RefuseLogin(session, kLoginNoChannel, "입장 가능한 채널이 없습니다.");
    return false;
  }
  session.presenceSession = static_cast<std::int64_t>(context_.random() >> 1);
  PresenceRecord presence{user.id, user.loginId, user.nickname, serverNo_, session.presenceSession, 0, -1, "", 0, 0};
  if (users_.count(user.id) || !context_.db.ClaimPresence(presence, context_.LiveAfter())) {
    RefuseLogin(session, kLoginAlreadyIn, "이미 접속중인 아이디입니다.");
    return false;
  }
  session.user = user;
  session.loggedIn = true;
  session.greeted = true;
  users_[user.id] = &session;

  protocol::SERVERINFO info;
  info.GameCode = kGameCode;
  info.ServerTime = ToSystemTime(std::time(nullptr));
  if (!context_.shopAddress.empty()) {
    // An address too long for its field is left empty rather than cut.
    const ShopAddresses shop = ShopAddressesFor(context_.shopAddress, user.loginId);
    protocol::CopyIfShorter(info.ItemShopURL, shop.items);
    protocol::CopyIfShorter(info.MyItemURL, shop.myItems);
    protocol::CopyIfShorter(info.ChargeURL, shop.cash);
  }
  protocol::CSV_SERVERINFO serverInfo;
  serverInfo.Set(info);
  Send(session, serverInfo);

  EnterChannel(session, *channel);
  const ChannelConfigEntry& entry = channel->Config();
  protocol::LOGINACCEPTINFO accept;
  accept.UI = ToUserInfo(user);
  protocol::CopyAtMost(accept.UserCN, std::to_string(user.id), 15);
  accept.GroupNo = static_cast<std::int16_t>(entry.groupNo);
  accept.ChanNo = static_cast<std::int16_t>(entry.chanNo);
  protocol::CopyAtMost(accept.ChanName, entry.name, 31);
  accept.ItemChannel = entry.itemChannel ? 1 : 0;
  protocol::CSV_ACCEPT_LOGIN acceptLogin;
  acceptLogin.Set(accept);
  Send(session, acceptLogin);
  Log(LogLevel::Info, name_, ": ", user.loginId, " logged in, channel ", Cp949ToUtf8(entry.name));
  return true;
}

void GameServer::OnConnectMoveChannel(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_CONNECT_MOVECHAN move;
  if (!Parse(session, frame, move)) return;
  const protocol::CONNECT_MOVECHANINFO& info = *move.Info;
  const auto ticket = context_.db.TakeTicket(
      TicketKind::MoveChannel, protocol::LoadLE<std::int32_t>(info.reserved1 + kMoveKeyA),
      protocol::LoadLE<std::int32_t>(info.reserved1 + kMoveKeyB),
      protocol::LoadLE<std::int32_t>(info.reserved1 + kMoveKeyC), serverNo_, context_.Now());
  const auto user = ticket ? context_.db.FindUser(ticket->userId) : std::nullopt;
  if (!ticket || !user || info.UNum != MoveTicketUserNumber(user->id)) {
    RefuseLogin(session, kLoginBadTicket, "채널 이동 정보가 올바르지 않습니다.");
    return;
  }
  session.presenceSession = static_cast<std::int64_t>(context_.random() >> 1);
  PresenceRecord presence{user->id, user->loginId, user->nickname, serverNo_, session.presenceSession, 0, -1, "", 0,
                          0};
  // The old server handed the presence over with the ticket; if it expired
  // meanwhile, claim it afresh.
  const bool present = context_.db.UpdatePresence(presence) || context_.db.ClaimPresence(presence, context_.LiveAfter());
  if (users_.count(user->id) || !present) {
    RefuseLogin(session, kLoginAlreadyIn, "이미 접속중인 아이디입니다.");
    return;
  }
  session.user = *user;
  session.loggedIn = true;
  session.greeted = true;
  users_[user->id] = &session;
  Log(LogLevel::Info, name_, ": ", user->loginId, " moved in from another game server");

  Channel* channel = HostedChannel(ticket->groupNo, ticket->chanNo);
  const int result = channel ? CheckChannelEntry(*channel, *user, true) : kEntryBadNumber;
  if (result < 0) {
    SendEnterChannelResult(session, result, nullptr);
    return;
  }
  EnterChannel(session, *channel);
  SendEnterChannelResult(session, kEntryOk, &channel->Config());
}

void GameServer::OnAskLogout(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_LOGOUT ask;
  if (!Parse(session, frame, ask)) return;
  protocol::CSV_ACCEPT_LOGOUT accept;
  accept.Set();
  Send(session, accept);
  Log(LogLevel::Info, name_, ": ", session.user.loginId, " logged out");
  OnPeerClosed(session);
  session.connection->Close("logged out", true);
}

// ---- Channels --------------------------------------------------------------

Channel* GameServer::HostedChannel(int groupNo, int chanNo) {
  auto it = channels_.find({groupNo, chanNo});
  return it == channels_.end() ? nullptr : it->second.get();
}

int GameServer::CheckChannelEntry(const Channel& channel, const UserRecord& user, bool useJumpTicket) {
  const int result = channel.CheckEntry(user);
  if (result != kEntryLevel || channel.CheckEntry(user, 1) != kEntryOk) return result;
  // One grade too low: a usable jump ticket lets the user in, and counts a
  // use when the user really enters (not when another server only checks).
  const std::int64_t now = context_.Now();
  for (const ItemRecord& item : context_.db.ItemsOf(user.id)) {
    if (item.itemCode != kJumpTicketItem || !ItemUsable(item, now)) continue;
    if (!useJumpTicket) return kEntryOk;
    if (!context_.db.CountItemUse(item.id, now)) break;
    Log(LogLevel::Info, name_, ": ", user.loginId, " enters ", Cp949ToUtf8(channel.Config().name),
        " with a jump ticket");
    return kEntryOk;
  }
  return result;
}

Channel* GameServer::FirstOpenChannel(const UserRecord& user) {
  for (auto& [key, channel] : channels_) {
    if (channel->CheckEntry(user) == kEntryOk) return channel.get();
  }
  return nullptr;
}

void GameServer::EnterChannel(GameSession& session, Channel& channel) {
  channel.Join(session.user);
  session.channel = &channel;
  protocol::CSV_NEWUSER arrival;
  arrival.Set(ToSmallUserInfo(*channel.FindMember(session.user.id)));
  SendToLobby(channel, FrameOf(arrival), session.user.id);
  UpdatePresence(session);
}

void GameServer::LeaveChannel(GameSession& session) {
  Channel* channel = session.channel;
  if (!channel) return;
  LeaveRoom(session, false);
  if (const ChannelMember* member = channel->FindMember(session.user.id)) {
    protocol::CSV_OUTUSER departure;
    departure.Set(ToSmallUserInfo(*member));
    channel->Leave(session.user.id);
    SendToLobby(*channel, FrameOf(departure));
  }
  session.channel = nullptr;
  UpdatePresence(session);
}

void GameServer::SendEnterChannelResult(GameSession& session, int result, const ChannelConfigEntry* channel) {
  protocol::ENTERCHANINFO info;
  info.Result = result;
  if (channel) {
    info.GroupNo = static_cast<std::int16_t>(channel->groupNo);
    info.ChanNo = static_cast<std::int16_t>(channel->chanNo);
    info.ItemChannel = channel->itemChannel ? 1 : 0;
    protocol::CopyAtMost(info.ChanName, channel->name, 31);
  }
  protocol::CSV_ACCEPT_ENTERCHAN accept;
  accept.Set(info);
  Send(session, accept);
}

void GameServer::OnAskAllChannelInfo(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_ALLCHANINFO ask;
  if (!Parse(session, frame, ask)) return;
  const auto counts = context_.db.ChannelCounts(context_.LiveAfter());
  std::vector<protocol::CHANNELGROUPINFO> groups;
  for (const auto& group : context_.config.Groups()) {
    protocol::CHANNELGROUPINFO& info = groups.emplace_back();
    info.GroupNo = static_cast<std::int16_t>(group.groupNo);
    protocol::CopyAtMost(info.Name, group.name, 23);
  }
  std::vector<protocol::CHANNELINFO> channels;
  for (const auto& channel : context_.config.Channels()) {
    protocol::CHANNELINFO& info = channels.emplace_back();
    info.GroupNo = static_cast<std::int16_t>(channel.groupNo);
    info.ChanNo = static_cast<std::int16_t>(channel.chanNo);
    const auto count = counts.find({channel.groupNo, channel.chanNo});
    info.UserCnt = static_cast<std::int16_t>(count == counts.end() ? 0 : count->second);
    info.MaxUser = static_cast<std::int16_t>(channel.maxUser);
    info.Closed = channel.closed ? 1 : 0;
  }
  protocol::CSV_ALLCHANINFO list;
  list.Set(groups, channels);
  Send(session, list);
}

void GameServer::OnAskEnterChannel(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_ENTERCHAN ask;
  if (!Parse(session, frame, ask)) return;
  const int groupNo = *ask.GroupNo, chanNo = *ask.ChanNo;
  const ChannelConfigEntry* entry = context_.config.FindChannel(groupNo, chanNo);
  if (!entry) {
    SendEnterChannelResult(session, kEntryBadNumber, nullptr);
    return;
  }
  if (session.channel && &session.channel->Config() == entry) {
    SendEnterChannelResult(session, kEntryOk, entry);
    return;
  }
  if (Channel* channel = HostedChannel(groupNo, chanNo)) {
    const int result = CheckChannelEntry(*channel, session.user, true);
    if (result < 0) {
      SendEnterChannelResult(session, result, nullptr);
      return;
    }
    LeaveChannel(session);
    EnterChannel(session, *channel);
    SendEnterChannelResult(session, kEntryOk, entry);
    return;
  }

  // Hosted by another game server: check what can be checked here, then
  // hand the user over with a ticket.
  Channel preview(*entry, context_.config.Rules());
  if (const int result = CheckChannelEntry(preview, session.user, false);
      result == kEntryClosed || result == kEntryLevel) {
    SendEnterChannelResult(session, result, nullptr);
    return;
  }
  const auto servers = context_.db.LiveServers(context_.LiveAfter());
  const auto host = std::find_if(servers.begin(), servers.end(),
                                 [&](const GameServerRecord& s) { return s.serverNo == entry->serverNo; });
  if (host == servers.end()) {
    SendEnterChannelResult(session, kEntryClosed, nullptr);
    return;
  }
  TicketRecord ticket;
  ticket.kind = TicketKind::MoveChannel;
  ticket.keyA = context_.RandomKey();
  ticket.keyB = context_.RandomKey();
  ticket.keyC = context_.RandomKey();
  ticket.serverNo = host->serverNo;
  ticket.userId = session.user.id;
  ticket.groupNo = groupNo;
  ticket.chanNo = chanNo;
  ticket.expires = context_.Now() + kTicketSeconds;
  if (!context_.db.StoreTicket(ticket)) {
    SendEnterChannelResult(session, -6, nullptr);
    return;
  }
  LeaveChannel(session);
  context_.db.MovePresence(session.user.id, serverNo_, session.presenceSession, host->serverNo);
  users_.erase(session.user.id);
  session.loggedIn = false;
  session.movingOut = true;

  protocol::CONNECT_MOVECHANINFO move;
  protocol::StoreLE(move.reserved1 + kMoveKeyA, ticket.keyA);
  protocol::StoreLE(move.reserved1 + kMoveKeyB, ticket.keyB);
  protocol::StoreLE(move.reserved1 + kMoveKeyC, ticket.keyC);
  move.UNum = MoveTicketUserNumber(session.user.id);
  protocol::CSV_DESTCHANNELINFO dest;
  dest.Set(host->host, host->port, move);
  Send(session, dest);
  Log(LogLevel::Info, name_, ": ", session.user.loginId, " moves to game server ", host->serverNo);
  session.connection->Close("moved to another game server", true);
}

void GameServer::OnAskFindId(GameSession& session, ReceivedFrame& frame) {
  protocol::CSV_ASK_FINDID ask;
  if (!Parse(session, frame, ask)) return;
  const std::string id(ask.UserID->View());
  protocol::FINDIDRESULT result;
  result.ChanNo = -1;
  if (const auto found = id.empty() ? std::nullopt : context_.db.FindPresence(id, context_.LiveAfter())) {
    protocol::CopyAtMost(result.ID, found->loginId, 15);
    protocol::CopyAtMost(result.NickName, found->nickname, 19);
    result.ChanNo = static_cast<std::int16_t>(found->place > 0 ? found->chanNo : -1);
    protocol::CopyAtMost(result.ChanName, found->chanName, 31);
    result.Place = static_cast<std::int16_t>(found->place);
    result.RoomNo = static_cast<std::int16_t>(found->roomNo);
  }
  protocol::CSV_RESULT_FINDID answer;
  answer.Set(result);
  Send(session, answer);
}

void GameServer::UpdatePresence(GameSession& session) {
  PresenceRecord presence{session.user.id, session.user.loginId, session.user.nickname, serverNo_,
                          session.presenceSession, 0, -1, "", 0, 0};
  if (session.channel) {
    const ChannelConfigEntry& entry = session.channel->Config();
    presence.groupNo = entry.groupNo;
    presence.chanNo = entry.chanNo;
    presence.chanName = entry.name;
    const ChannelMember* member = session.channel->FindMember(session.user.id);
    presence.place = member && member->roomNo ? 3 : 1;
    presence.roomNo = member ? member->roomNo : 0;
  }
  context_.db.UpdatePresence(presence);
}

// ---- Sending ---------------------------------------------------------------

GameSession* GameServer::FindUser(std::int64_t userId) {
  auto it = users_.find(userId);
  return it == users_.end() ? nullptr : it->second;
}

GameSession* GameServer::FindUserByNickname(std::string_view nickname) {
  for (auto& [id, session] : users_) {
    if (session->user.nickname == nickname) return session;
  }
  return nullptr;
}

void GameServer::SendTo(std::int64_t userId, std::span<const std::uint8_t> frame, Delivery delivery) {
  if (GameSession* session = FindUser(userId)) SendTo(*session, frame, delivery);
}

void GameServer::SendTo(GameSession& session, std::span<const std::uint8_t> frame, Delivery delivery) {
  if (delivery == Delivery::Chatter && session.connection->Queued() > kMaxChatterBacklog) {
    if (!session.chatterSkipped) {
      Log(LogLevel::Info, name_, ": ", session.user.loginId, " reads slowly: chat to it is skipped meanwhile");
    }
    session.chatterSkipped = true;
    return;
  }
  session.chatterSkipped = false;
  Send(session, frame);
}

void GameServer::SendToLobby(const Channel& channel, std::span<const std::uint8_t> frame, std::int64_t except,
                             Delivery delivery) {
  for (std::int64_t userId : channel.LobbyAudience()) {
    if (userId != except) SendTo(userId, frame, delivery);
  }
}

void GameServer::SendToRoom(const Channel& channel, int roomNo, std::span<const std::uint8_t> frame,
                            std::int64_t except, Delivery delivery) {
  for (std::int64_t userId : channel.RoomMembers(roomNo)) {
    if (userId != except) SendTo(userId, frame, delivery);
  }
}

void GameServer::SendUserChange(const Channel& channel, std::int64_t userId) {
  if (const ChannelMember* member = channel.FindMember(userId)) {
    protocol::CSV_CHANGEUSER change;
    change.Set(ToSmallUserInfo(*member));
    SendToLobby(channel, FrameOf(change));
  }
}

void GameServer::SendRoomChange(const Channel& channel, int roomNo) {
  if (const Room* room = channel.FindRoom(roomNo)) {
    protocol::CSV_CHANGEROOM change;
    change.Set(ToSmallRoomInfo(channel, *room));
    SendToLobby(channel, FrameOf(change));
  }
}

void GameServer::SendServerMessage(GameSession& session, int kind, const std::string& cp949Text) {
  protocol::CSV_SERVERMSG message;
  message.Set(kind, protocol::Cp949Head(cp949Text, 1024));
  Send(session, message);
}

}  // namespace tovrik::server
