#include "robot/Robot.h"

#include <netdb.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "base/CodePage.h"
#include "base/Log.h"
#include "net/MsgHeader.h"
#include "protocol/LobbyMessages.h"
#include "protocol/LoginMessages.h"
#include "protocol/MessageCatalogue.h"
#include "protocol/RelayMessages.h"
#include "protocol/TextField.h"

namespace tovrik::robot {

namespace msgid = protocol::msgid;
using protocol::ReadText;
using namespace std::chrono_literals;

namespace {

constexpr auto kTickPeriod = 20ms;
// Fast ticks run in slices so that one long shot does not starve the
// sockets of the other robots in the loop.
constexpr int kFastTickSlice = 400;
constexpr auto kRoomSearchRetry = 100ms;
constexpr int kMaxEntryRefusals = 100;
// A practice robot looks at the room list about as often as a person would
// glance at it; several of them are spread over the period by their seeds.
constexpr auto kPracticeSearchPeriod = 2000ms;
constexpr const char* kLobbyGreeting = "안녕하세요! 연습 상대 로봇입니다. 방을 만들면 들어가서 같이 둘게요.";
constexpr const char* kRoomGreeting = "반갑습니다! 준비했어요. 시작을 눌러 주세요.";
constexpr const char* kBusyAnswer = "지금은 다른 방에 있어요.";

// This computer's address by host-name lookup, as the client puts it into
// the login record; empty when the name does not resolve.
std::string HostAddress()
{
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &found) != 0 || found == nullptr)
        return {};
    char text[64] = {};
    ::getnameinfo(found->ai_addr, found->ai_addrlen, text, sizeof text, nullptr, 0, NI_NUMERICHOST);
    ::freeaddrinfo(found);
    return text;
}

} // namespace

std::string_view PhaseName(RobotPhase phase)
{
    switch (phase) {
    case RobotPhase::Idle: return "idle";
    case RobotPhase::ConnectingMaster: return "connecting to the master server";
    case RobotPhase::AwaitingDestination: return "waiting for the game server";
    case RobotPhase::ConnectingGame: return "connecting to the game server";
    case RobotPhase::LoggingIn: return "logging in";
    case RobotPhase::EnteringChannel: return "entering the channel";
    case RobotPhase::MovingChannel: return "moving to the channel's game server";
    case RobotPhase::Lobby: return "in the lobby";
    case RobotPhase::EnteringRoom: return "entering a room";
    case RobotPhase::InRoom: return "in the room";
    case RobotPhase::LeavingRoom: return "leaving the room";
    case RobotPhase::LoggingOut: return "logging out";
    case RobotPhase::Done: return "done";
    case RobotPhase::Failed: return "failed";
    }
    return "?";
}

CRobot::CRobot(base::Poller& poller, game::IGameClock& clock, RobotOptions options)
    : poller_(poller),
      options_(std::move(options)),
      master_(poller, *this),
      server_(poller, *this),
      game_([this](const char* frame, int length) { SendGameFrame(frame, length); }, clock),
      strategy_(options_.strategy, options_.seed),
      thinkState_(options_.seed * 2654435761u + 1u)
{
    game_.SetMuteAfterShots(options_.muteAfterShots);
}

// ---- sending ------------------------------------------------------------------

void CRobot::Trace(char direction, int msgId)
{
    if (options_.trace)
        base::Log(base::LogLevel::Info, "robot", options_.id, ' ', direction, ' ', protocol::MessageName(msgId));
}

template <typename Message, typename... Args>
bool CRobot::SendTo(CRobotConnection& connection, Args&&... args)
{
    Message message;
    if (!message.Set(std::forward<Args>(args)...))
        return false;
    Trace('>', Message::MSGID);
    lastActivity_ = Clock::now();
    return connection.SendFrame(message.GetData(), message.GetTotalSize());
}

void CRobot::SendGameFrame(const char* frame, int length)
{
    if (length >= net::kHeaderSize)
        Trace('>', net::ReadMsgHeader(frame).MsgID);
    lastActivity_ = Clock::now();
    server_.SendFrame(frame, length);
}

bool CRobot::SendLobbyChat(std::string_view text)
{
    return phase_ >= RobotPhase::Lobby && SendTo<protocol::CSV_CHATDATA>(server_, id_, text);
}

bool CRobot::SendRoomChat(std::string_view text)
{
    return game_.InRoom() && SendTo<protocol::CCL_CHATDATA>(server_, game_.RoomNo(), id_, text);
}

bool CRobot::Invite(std::int32_t targetUNum, std::string_view targetId, std::string_view textCp949)
{
    if (!game_.InRoom())
        return false;
    // The server fills in the room, its password and the inviter itself.
    protocol::USERINFO inviter;
    return SendTo<protocol::CSV_ASK_INVITE>(server_, targetUNum, targetId, game_.RoomNo(), "", inviter, textCp949);
}

// ---- life cycle -----------------------------------------------------------------

void CRobot::Start()
{
    lastActivity_ = Clock::now();
    phase_ = RobotPhase::ConnectingMaster;
    if (!master_.Connect(options_.masterHost, options_.masterPort))
        Fail("master server: " + master_.LastError());
}

void CRobot::Stop()
{
    master_.Close();
    server_.Close();
    if (!Finished())
        phase_ = RobotPhase::Done;
}

void CRobot::Fail(std::string reason)
{
    errors_.push_back(options_.id + ": " + reason + " (" + std::string(PhaseName(phase_)) + ")");
    master_.Close();
    server_.Close();
    phase_ = RobotPhase::Failed;
}

void CRobot::Finish()
{
    master_.Close();
    server_.Close();
    phase_ = RobotPhase::Done;
}

// ---- connections ------------------------------------------------------------------

void CRobot::OnConnected(CRobotConnection& connection)
{
    // Both servers speak first, with their version.
    lastActivity_ = Clock::now();
    (void)connection;
}

void CRobot::OnClosed(CRobotConnection& connection, std::string_view reason)
{
    if (&connection == &master_) {
        // The master connection may end once the game server has us.
        if (phase_ < RobotPhase::ConnectingGame)
            Fail("master server: " + std::string(reason));
        return;
    }
    if (movePending_)
        return;  // the old game server lets go of us: the move goes on
    if (phase_ == RobotPhase::LoggingOut || phase_ == RobotPhase::LeavingRoom) {
        Finish();
        return;
    }
    if (game_.IsMute()) {
        // A robot that stopped reporting may be put out by the server.
        Finish();
        return;
    }
    Fail("game server: " + std::string(reason));
}

void CRobot::OnFrame(CRobotConnection& connection, int msgId, char* frame, int length)
{
    lastActivity_ = Clock::now();
    Trace('<', msgId);
    if (&connection == &master_) {
        OnMasterFrame(msgId, frame, length);
        return;
    }
    OnGameFrame(msgId, frame, length);
    if (onFrame)
        onFrame(msgId, frame, length);
}

void CRobot::OnMasterFrame(int msgId, char* frame, int length)
{
    if (phase_ != RobotPhase::ConnectingMaster && phase_ != RobotPhase::AwaitingDestination)
        return;
    Route(MasterRoutes(), msgId, frame, length);
}

void CRobot::Route(std::span<const FrameRoute> routes, int msgId, char* frame, int length)
{
    for (const FrameRoute& route : routes) {
        if (route.id == msgId) {
            (this->*route.handler)(msgId, frame, length);
            return;
        }
    }
    // Anything else is in IgnoredFrames(), or no message of the protocol.
}

void CRobot::OnMasterVersion(int, char* frame, int length)
{
    protocol::CMS_CHECKVERSION message;
    if (!message.Get(frame, length))
        return;
    if (message.Value->get() != protocol::kProtocolVersion) {
        Fail("the master server speaks version " + std::to_string(message.Value->get()));
        return;
    }
    phase_ = RobotPhase::AwaitingDestination;
    SendTo<protocol::CMS_ASK_DESTSERVERINFO>(master_, options_.loginGroup);
}

void CRobot::OnRefuseDestServer(int, char* frame, int length)
{
    protocol::CMS_REFUSE_DESTSERVERINFO message;
    Fail(message.Get(frame, length) ? "refused a game server: " + base::Cp949ToUtf8(message.TextView())
                                    : "refused a game server");
}

void CRobot::OnDestServer(int, char* frame, int length)
{
    protocol::CMS_DESTSERVERINFO message;
    if (!message.Get(frame, length) || phase_ != RobotPhase::AwaitingDestination)
        return;
    dest_ = *message.Info;
    phase_ = RobotPhase::ConnectingGame;
    const std::string host(ReadText(dest_.IP));
    if (!server_.Connect(host, dest_.Port))
        Fail("game server: " + server_.LastError());
}

// ---- the game server ----------------------------------------------------------------

void CRobot::SendLogin()
{
    const std::string cookie = options_.cookie.empty() ? options_.id : options_.cookie;
    protocol::ASK_LOGININFO info{};
    protocol::CopyIfShorter(info.LocalIP, server_.LocalAddress());
    info.LocalPort = server_.LocalPort() + 20000;
    const std::string host = HostAddress();
    protocol::CopyIfShorter(info.HostIP, host.empty() ? server_.LocalAddress() : host);
    info.AuthCookieLen = static_cast<std::int32_t>(cookie.size());
    info.DataCookieLen = 0;
    info.CpCookieLen = 0;
    info.Ticket1 = dest_.Ticket1;
    info.Ticket2 = dest_.Ticket2;
    info.Ticket3 = dest_.Ticket3;
    info.Ticket4 = dest_.Ticket4;
    info.Ticket5 = dest_.Ticket5;
    // A robot has no system-identification module: its machine id stays empty.
    phase_ = RobotPhase::LoggingIn;
    SendTo<protocol::CSV_ASK_LOGIN>(server_, info, cookie, "", "");
}

void CRobot::OnLoginAccepted(const protocol::LOGINACCEPTINFO& info)
{
    game_.SetSelf(info.UI);
    game_.SetItemChannel(info.ItemChannel);
    id_ = std::string(ReadText(info.UI.ID));
    unum_ = info.UI.UNum;
    master_.Close();
    const bool elsewhere = options_.channelGroup > 0 &&
                           (options_.channelGroup != info.GroupNo || options_.channelNo != info.ChanNo);
    if (!elsewhere) {
        EnterLobbyRole();
        return;
    }
    // As the channel screen does: ask for the channel by its numbers.
    phase_ = RobotPhase::EnteringChannel;
    SendTo<protocol::CSV_ASK_ENTERCHAN>(server_, options_.channelGroup, options_.channelNo);
}

void CRobot::OnChannelEntered(const protocol::ENTERCHANINFO& info)
{
    if (info.Result < -99 || (phase_ != RobotPhase::EnteringChannel && phase_ != RobotPhase::MovingChannel))
        return;
    if (info.Result < 0) {
        Fail("channel entry refused: " + std::to_string(info.Result.get()));
        return;
    }
    game_.SetItemChannel(info.ItemChannel);
    EnterLobbyRole();
}

void CRobot::OnChannelElsewhere(std::string host, int port, const protocol::CONNECT_MOVECHANINFO& ticket)
{
    if (phase_ != RobotPhase::EnteringChannel)
        return;
    moveHost_ = std::move(host);
    movePort_ = port;
    moveTicket_ = ticket;
    // As the client: the user number is the ticket's from here on.
    unum_ = ticket.UNum;
    protocol::USERINFO self = game_.Player(0).user;
    self.UNum = unum_;
    game_.SetSelf(self);
    phase_ = RobotPhase::MovingChannel;
    // The connection that delivered this frame is still being read.
    movePending_ = true;
}

void CRobot::ConnectToMovedChannel()
{
    movePending_ = false;
    server_.Close();
    if (!server_.Connect(moveHost_, movePort_))
        Fail("the channel's game server: " + server_.LastError());
}

void CRobot::EnterLobbyRole()
{
    phase_ = RobotPhase::Lobby;
    switch (options_.role) {
    case RobotRole::Host: {
        protocol::ROOMINFO room;
        protocol::CopyIfShorter(room.Title, options_.roomTitle);
        room.UserCnt = 1;
        room.MaxUser = 2;
        room.BetPebble = options_.bet;
        if (!options_.roomPassword.empty()) {
            room.Secret = 1;
            protocol::CopyIfShorter(room.Password, options_.roomPassword);
        }
        phase_ = RobotPhase::EnteringRoom;
        SendTo<protocol::CSV_ASK_CREATEROOM>(server_, room);
        break;
    }
    case RobotRole::Guest:
        AskRooms();
        break;
    case RobotRole::Practice:
        if (!greetedLobby_) {
            greetedLobby_ = true;
            SendLobbyChat(base::Utf8ToCp949(kLobbyGreeting));
        }
        // Not at once: a person who has just created a room should see it
        // open before somebody walks in.
        nextRoomSearch_ = Clock::now() + kPracticeSearchPeriod / 2 + std::chrono::milliseconds(options_.seed % 1000);
        break;
    case RobotRole::Lobby:
        break;
    }
}

void CRobot::AskRooms()
{
    roomSearchPending_ = true;
    SendTo<protocol::CSV_ASK_ALLROOMINFO>(server_);
}

void CRobot::OnRoomList(std::span<const protocol::ROOMINFO> rooms)
{
    roomSearchPending_ = false;
    if (phase_ != RobotPhase::Lobby || (options_.role != RobotRole::Guest && options_.role != RobotRole::Practice))
        return;
    for (const protocol::ROOMINFO& room : rooms) {
        if (WantsRoom(room)) {
            EnterRoom(room.RoomNo.get(), "");
            return;
        }
    }
    // The host has not opened it yet (or nobody waits for an opponent).
    nextRoomSearch_ = Clock::now() + (StaysInLobby() ? kPracticeSearchPeriod : kRoomSearchRetry);
}

bool CRobot::WantsRoom(const protocol::ROOMINFO& room) const
{
    if (room.Playing || room.UserCnt >= room.MaxUser)
        return false;
    if (options_.role == RobotRole::Guest)
        return ReadText(room.Title) == options_.roomTitle;
    // A practice robot takes any open room where one player waits; secret
    // rooms only by invitation.
    return room.UserCnt == 1 && !room.Secret;
}

void CRobot::EnterRoom(std::int32_t roomNo, std::string_view password)
{
    phase_ = RobotPhase::EnteringRoom;
    greetedRoom_ = false;
    SendTo<protocol::CSV_ASK_ENTERROOM>(server_, roomNo, unum_, id_, password);
}

// After a practice game's room: the lobby again, looking for the next player.
void CRobot::BackToLobby()
{
    phase_ = RobotPhase::Lobby;
    readySent_ = false;
    startAsked_ = false;
    wasMyTurn_ = false;
    nextRoomSearch_ = Clock::now() + kPracticeSearchPeriod;
}

int CRobot::ThinkMs()
{
    if (options_.thinkJitterMs <= 0)
        return options_.thinkMs;
    thinkState_ = thinkState_ * 1664525u + 1013904223u;
    return options_.thinkMs + static_cast<int>((thinkState_ >> 8) % static_cast<std::uint32_t>(options_.thinkJitterMs + 1));
}

void CRobot::OnGameFrame(int msgId, char* frame, int length)
{
    Route(GameRoutes(), msgId, frame, length);
}

void CRobot::OnGameVersion(int, char* frame, int length)
{
    protocol::CSV_CHECKVERSION message;
    if (!message.Get(frame, length) || (phase_ != RobotPhase::ConnectingGame && phase_ != RobotPhase::MovingChannel))
        return;
    if (message.Value->get() < 0)
        return;
    if (message.Value->get() != protocol::kProtocolVersion) {
        Fail("the game server speaks version " + std::to_string(message.Value->get()));
        return;
    }
    if (phase_ == RobotPhase::MovingChannel)
        SendTo<protocol::CSV_CONNECT_MOVECHAN>(server_, moveTicket_);
    else
        SendLogin();
}

void CRobot::OnAcceptLogin(int, char* frame, int length)
{
    protocol::CSV_ACCEPT_LOGIN message;
    if (message.Get(frame, length) && phase_ == RobotPhase::LoggingIn)
        OnLoginAccepted(*message.Info);
}

void CRobot::OnRefuseLogin(int, char* frame, int length)
{
    protocol::CSV_REFUSE_LOGIN message;
    Fail(message.Get(frame, length) ? "login refused: " + base::Cp949ToUtf8(message.TextView()) : "login refused");
}

void CRobot::OnAcceptEnterChannel(int, char* frame, int length)
{
    protocol::CSV_ACCEPT_ENTERCHAN message;
    if (message.Get(frame, length))
        OnChannelEntered(*message.Info);
}

void CRobot::OnDestChannel(int, char* frame, int length)
{
    protocol::CSV_DESTCHANNELINFO message;
    if (message.Get(frame, length))
        OnChannelElsewhere(std::string(message.IP->View()), message.Port->get(), *message.Ticket);
}

void CRobot::OnAcceptCreateRoom(int, char* frame, int length)
{
    protocol::CSV_ACCEPT_CREATEROOM message;
    if (!message.Get(frame, length) || phase_ != RobotPhase::EnteringRoom)
        return;
    game_.OnCreatedRoom(*message.Info);
    phase_ = RobotPhase::InRoom;
}

void CRobot::OnRefuseCreateRoom(int, char* frame, int length)
{
    protocol::CSV_REFUSE_CREATEROOM message;
    Fail("room creation refused: " + std::to_string(message.Get(frame, length) ? message.Value->get() : -1));
}

void CRobot::OnAllRoomInfo(int, char* frame, int length)
{
    protocol::CSV_ALLROOMINFO message;
    if (message.Get(frame, length))
        OnRoomList(message.List());
}

void CRobot::OnAcceptEnterRoom(int, char* frame, int length)
{
    protocol::CSV_ACCEPT_ENTERROOM message;
    if (!message.Get(frame, length) || phase_ != RobotPhase::EnteringRoom)
        return;
    if (!game_.OnEnteredRoom(*message.Info)) {
        // As the client: an acceptance that does not seat us apart from
        // the master is left at once, with the accepted room's number.
        SendTo<protocol::CSV_ASK_OUTROOM>(server_, message.Info->GI.RI.RoomNo.get(), unum_, id_);
        Fail("the room acceptance does not seat this robot");
        return;
    }
    phase_ = RobotPhase::InRoom;
    if (StaysInLobby() && !greetedRoom_) {
        greetedRoom_ = true;
        SendRoomChat(base::Utf8ToCp949(kRoomGreeting));
    }
}

void CRobot::OnRefuseEnterRoom(int, char*, int)
{
    if (phase_ != RobotPhase::EnteringRoom)
        return;
    if (StaysInLobby()) {
        // Somebody else was quicker, or the room closed: look again later.
        BackToLobby();
        return;
    }
    if (++entryRefusals_ > kMaxEntryRefusals) {
        Fail("room entry refused too often");
        return;
    }
    phase_ = RobotPhase::Lobby;
    nextRoomSearch_ = Clock::now() + kRoomSearchRetry;
}

void CRobot::OnUserEnterRoom(int, char* frame, int length)
{
    protocol::CSV_USERENTERROOM message;
    if (message.Get(frame, length))
        game_.OnUserEnteredRoom(*message.UI);
}

void CRobot::OnUserOutRoom(int, char* frame, int length)
{
    protocol::CSV_USEROUTROOM message;
    if (!message.Get(frame, length))
        return;
    game_.OnUserLeftRoom(ReadText(message.UserID->Text));
    // Alone in the room: the person has gone, and so does the robot.
    if (StaysInLobby() && phase_ == RobotPhase::InRoom && game_.Player(1).ID().empty())
        LeaveRoom();
}

void CRobot::OnOutOfRoom(int msgId, char*, int)
{
    if (!game_.InRoom())
        return;
    const bool wasPlaying = game_.IsPlaying();
    game_.OnLeftRoom();
    if (StaysInLobby()) {
        BackToLobby();
    } else if (exitReserved_ && msgId == msgid::CSV_ACCEPT_OUTROOM && !wasPlaying) {
        leftByReservation_ = true;
        LogOut();
    } else if (phase_ == RobotPhase::LeavingRoom) {
        LogOut();
    } else {
        Fail("put out of the room");
    }
}

void CRobot::OnGameOverResult(int, char* frame, int length)
{
    protocol::CSV_GAMEOVERRESULT message;
    if (!message.Get(frame, length))
        return;
    const protocol::GAMEOVERRESULT results[2] = {message.Result(0), message.Result(1)};
    OnGameResult(results);
}

void CRobot::OnServerMessage(int, char* frame, int length)
{
    // The server answers a start it cannot make with a notice.
    protocol::CSV_SERVERMSG message;
    if (message.Get(frame, length) && startAsked_ && !game_.IsPlaying())
        Fail("the server refused the start: " + base::Cp949ToUtf8(message.TextView()));
}

void CRobot::OnAcceptLogout(int, char*, int)
{
    if (phase_ == RobotPhase::LoggingOut)
        Finish();
}

void CRobot::OnInvitation(int, char* frame, int length)
{
    protocol::CSV_ASK_INVITE message;
    if (!message.Get(frame, length) || !StaysInLobby())
        return;
    if (phase_ == RobotPhase::Lobby) {
        EnterRoom(message.RoomNo->get(), message.Password->View());
        return;
    }
    // Busy in another room: answer as a person would, so the inviter is not
    // left waiting.
    const protocol::USERINFO& inviter = *message.Inviter;
    SendTo<protocol::CSV_REFUSE_INVITE>(server_, inviter.UNum.get(), ReadText(inviter.ID), id_,
                                        base::Utf8ToCp949(kBusyAnswer));
}

void CRobot::OnRelayed(int msgId, char* frame, int length)
{
    game_.OnRelayedFrame(msgId, frame, length);
    if (msgId != msgid::CCL_STARTINFO)
        return;
    readySent_ = false;
    startAsked_ = false;
    if (game_.StartWasWrong())
        Fail("wrong start information");
    else if (options_.reserveExit && options_.games > 0 && static_cast<int>(games_.size()) + 1 == options_.games &&
             !exitReserved_) {
        exitReserved_ = true;
        game_.Game().DoExitSubscript(1);
    }
}

// ---- the route tables ---------------------------------------------------------------

std::span<const CRobot::FrameRoute> CRobot::MasterRoutes()
{
    static const FrameRoute kRoutes[] = {
        {msgid::CMS_CHECKVERSION, &CRobot::OnMasterVersion},
        {msgid::CMS_REFUSE_DESTSERVERINFO, &CRobot::OnRefuseDestServer},
        {msgid::CMS_DESTSERVERINFO, &CRobot::OnDestServer},
    };
    return kRoutes;
}

std::span<const CRobot::FrameRoute> CRobot::GameRoutes()
{
    static const FrameRoute kRoutes[] = {
        {msgid::CSV_CHECKVERSION, &CRobot::OnGameVersion},
        {msgid::CSV_ACCEPT_LOGIN, &CRobot::OnAcceptLogin},
        {msgid::CSV_REFUSE_LOGIN, &CRobot::OnRefuseLogin},
        {msgid::CSV_ACCEPT_ENTERCHAN, &CRobot::OnAcceptEnterChannel},
        {msgid::CSV_DESTCHANNELINFO, &CRobot::OnDestChannel},
        {msgid::CSV_ACCEPT_CREATEROOM, &CRobot::OnAcceptCreateRoom},
        {msgid::CSV_REFUSE_CREATEROOM, &CRobot::OnRefuseCreateRoom},
        {msgid::CSV_ALLROOMINFO, &CRobot::OnAllRoomInfo},
        {msgid::CSV_ACCEPT_ENTERROOM, &CRobot::OnAcceptEnterRoom},
        {msgid::CSV_REFUSE_ENTERROOM, &CRobot::OnRefuseEnterRoom},
        {msgid::CSV_USERENTERROOM, &CRobot::OnUserEnterRoom},
        {msgid::CSV_USEROUTROOM, &CRobot::OnUserOutRoom},
        {msgid::CSV_ACCEPT_OUTROOM, &CRobot::OnOutOfRoom},
        {msgid::CSV_ABNORMALOUTROOM, &CRobot::OnOutOfRoom},
        {msgid::CSV_GAMEOVERRESULT, &CRobot::OnGameOverResult},
        {msgid::CSV_SERVERMSG, &CRobot::OnServerMessage},
        {msgid::CSV_ACCEPT_LOGOUT, &CRobot::OnAcceptLogout},
        {msgid::CSV_ASK_INVITE, &CRobot::OnInvitation},
        // The game relay: the robot's own game reads every one of them.
        {msgid::CCL_EXITSUBSCRIPT, &CRobot::OnRelayed},
        {msgid::CCL_CHATDATA, &CRobot::OnRelayed},
        {msgid::CCL_READYTOSTART, &CRobot::OnRelayed},
        {msgid::CCL_ASK_STARTGAME, &CRobot::OnRelayed},
        {msgid::CCL_STARTINFO, &CRobot::OnRelayed},
        {msgid::CCL_STONECLICK, &CRobot::OnRelayed},
        {msgid::CCL_USEITEM, &CRobot::OnRelayed},
        {msgid::CCL_CHANGEITEM, &CRobot::OnRelayed},
        {msgid::CCL_TELEPORTITEM, &CRobot::OnRelayed},
        {msgid::CCL_NUCLEARITEM, &CRobot::OnRelayed},
        {msgid::CCL_STONEHIT, &CRobot::OnRelayed},
        {msgid::CCL_RESULTSTONEHIT, &CRobot::OnRelayed},
        {msgid::CCL_NEXTPLAYER, &CRobot::OnRelayed},
        {msgid::CCL_TIMEOUTMYTURN, &CRobot::OnRelayed},
    };
    return kRoutes;
}

std::span<const CRobot::IgnoredFrame> CRobot::IgnoredFrames()
{
    static const IgnoredFrame kIgnored[] = {
        {msgid::CSV_SERVERINFO, "the server's name and time: a robot shows nothing"},
        {msgid::CSV_RESULT_FINDID, "a robot never looks users up"},
        {msgid::CSV_DETAILUSERINFO, "a robot never asks for a profile"},
        {msgid::CSV_USERINFO, "the lobby's user list: a robot keeps none"},
        {msgid::CSV_ALLUSERINFO, "the lobby's user list: a robot keeps none"},
        {msgid::CSV_NEWUSER, "the lobby's user list: a robot keeps none"},
        {msgid::CSV_OUTUSER, "the lobby's user list: a robot keeps none"},
        {msgid::CSV_CHANGEUSER, "the lobby's user list: a robot keeps none"},
        {msgid::CSV_ACCEPT_CHANGECHAR, "a robot never changes its character"},
        {msgid::CSV_ROOMINFO, "the room list is asked for whole (CSV_ALLROOMINFO) when a guest searches"},
        {msgid::CSV_NEWROOM, "the room list is asked for whole (CSV_ALLROOMINFO) when a guest searches"},
        {msgid::CSV_OUTROOM, "the room list is asked for whole (CSV_ALLROOMINFO) when a guest searches"},
        {msgid::CSV_CHANGEROOM, "the room list is asked for whole (CSV_ALLROOMINFO) when a guest searches"},
        {msgid::CSV_CHANGEROOMMASTER, "the game decides who starts from its own seats"},
        {msgid::CSV_ALLCHANINFO, "a robot enters its channel by number, without the channel screen"},
        {msgid::CSV_REFUSE_INVITE, "a robot never invites"},
        {msgid::CSV_GAMEITEMLIST, "a robot never opens the item shop"},
        {msgid::CSV_BUYGAMEITEM, "a robot never opens the item shop"},
        {msgid::CSV_CHATDATA, "lobby chat is read by people"},
        {msgid::CSV_WHISPERCHAT, "whispers are read by people"},
        {msgid::CSV_EVENTNOTICE, "event notices are shown to people"},
        {msgid::CSV_AUGUSTEVENTMSG_CNT, "event notices are shown to people"},
        {msgid::CSV_AUGUSTEVENTMSG_POINTUP, "event notices are shown to people"},
        {msgid::CSV_EVENT_TIMERANGE_ALERT, "event notices are shown to people"},
    };
    return kIgnored;
}

void CRobot::OnGameResult(std::span<const protocol::GAMEOVERRESULT, 2> results)
{
    if (!game_.InRoom())
        return;
    game_.OnGameOver(results);
    GameRecord record;
    record.shotHashes = game_.ShotHashes();
    for (const protocol::GAMEOVERRESULT& entry : results) {
        if (!id_.empty() && ReadText(entry.ID) == id_) {
            record.own = entry;
            record.changePoint = entry.ChangePoint;
        }
    }
    games_.push_back(record);
    game_.ClearShotHashes();
    resetAt_ = Clock::now() + std::chrono::milliseconds(options_.resetDelayMs);
    wasMyTurn_ = false;
    const bool lastGame = options_.games > 0 && static_cast<int>(games_.size()) >= options_.games;
    if (lastGame && exitReserved_) {
        // The server takes the robot out by itself.
        phase_ = RobotPhase::LeavingRoom;
        return;
    }
    if (game_.IsMute() || lastGame)
        LeaveRoom();
}

void CRobot::LeaveRoom()
{
    phase_ = RobotPhase::LeavingRoom;
    SendTo<protocol::CSV_ASK_OUTROOM>(server_, game_.RoomNo(), unum_, id_);
}

void CRobot::LogOut()
{
    phase_ = RobotPhase::LoggingOut;
    SendTo<protocol::CSV_ASK_LOGOUT>(server_, unum_, id_);
}

// ---- the clock and the decisions ------------------------------------------------------

void CRobot::RunGameClock(Clock::time_point now)
{
    if (game_.NeedsFastTicks()) {
        // No one waits for the wall clock during a shot: both clients run
        // the same ticks, however fast.
        for (int i = 0; i < kFastTickSlice && game_.NeedsFastTicks(); ++i)
            game_.Tick();
        nextTick_ = now + kTickPeriod;
        return;
    }
    if (now >= nextTick_) {
        game_.Tick();
        nextTick_ = std::max(nextTick_ + kTickPeriod, now - 5 * kTickPeriod);
    }
}

void CRobot::DecideInRoom(Clock::time_point now)
{
    if (game_.ResetPending() && now >= resetAt_)
        game_.ResetAfterResult();
    const bool gamesLeft = options_.games == 0 || static_cast<int>(games_.size()) < options_.games;
    const bool playing = game_.IsPlaying();
    const bool hasOpponent = !game_.Player(1).ID().empty();

    if (options_.play && !playing && gamesLeft && hasOpponent && !game_.ResetPending()) {
        if ((options_.role == RobotRole::Guest || options_.role == RobotRole::Practice) && !readySent_) {
            readySent_ = true;
            SendTo<protocol::CCL_READYTOSTART>(server_, id_);
        }
        if (options_.role == RobotRole::Host && !startAsked_ && game_.Player(1).ready) {
            startAsked_ = true;
            SendTo<protocol::CCL_ASK_STARTGAME>(server_, game_.RoomNo(), game_.Player(0).serverNum, id_);
        }
    }

    const bool myTurn = playing && game_.Game().myTurn;
    if (myTurn && !wasMyTurn_) {
        actAt_ = now + std::chrono::milliseconds(ThinkMs());
        flickedThisTurn_ = false;
    }
    wasMyTurn_ = myTurn;
    if (myTurn && !flickedThisTurn_ && now >= actAt_ && game_.CanFlick() && !game_.IsMute()) {
        flickedThisTurn_ = true;
        PlayTurn();
    }
}

void CRobot::PlayTurn()
{
    if (options_.useItems && game_.IsItemChannel() && !UseItem())
        return;
    if (const auto choice = strategy_.Choose(game_.Field(), game_.Player(0).side))
        game_.Flick(choice->index, choice->angle, choice->drag);
    // A flick that did not leave lets the turn run out: the game sends the
    // time-out itself.
}

bool CRobot::UseItem()
{
    std::array<int, 4> enabled{};
    for (int k = 0; k < 4; ++k)
        enabled[static_cast<std::size_t>(k)] = game_.Field().itemButtons[static_cast<std::size_t>(k)].enabled;
    const auto item = strategy_.ChooseItem(game_.Field(), game_.Player(0).side, enabled);
    if (!item || !game_.ArmItem(item->kind))
        return true;
    if (item->kind == game::kItemPowerUp)
        return true;
    const game::CStone& stone = game_.Field().Stones(game_.Player(0).side)[static_cast<std::size_t>(item->index)];
    game_.ClickBoard(stone.x, stone.y);
    if (item->kind == game::kItemTeleport)
        game_.ClickBoard(item->targetX, item->targetY);
    return item->kind != game::kItemNuclear;
}

int CRobot::Step(Clock::time_point now)
{
    if (Finished())
        return 1000;
    if (options_.idleTimeoutMs > 0 && now - lastActivity_ > std::chrono::milliseconds(options_.idleTimeoutMs)) {
        Fail("nothing happened for " + std::to_string(options_.idleTimeoutMs) + " ms");
        return 1000;
    }
    if (movePending_)
        ConnectToMovedChannel();
    if (phase_ == RobotPhase::Lobby && (options_.role == RobotRole::Guest || options_.role == RobotRole::Practice) &&
        !roomSearchPending_ && now >= nextRoomSearch_)
        AskRooms();
    if (!game_.InRoom() || Finished()) {
        if (phase_ == RobotPhase::Lobby && StaysInLobby() && !roomSearchPending_) {
            const auto untilSearch = std::chrono::duration_cast<std::chrono::milliseconds>(nextRoomSearch_ - now).count();
            return static_cast<int>(std::clamp<long long>(untilSearch, 20, 1000));
        }
        return phase_ == RobotPhase::Lobby ? 20 : 50;
    }
    RunGameClock(now);
    if (phase_ == RobotPhase::InRoom)
        DecideInRoom(now);
    if (Finished())
        return 1000;
    if (game_.NeedsFastTicks() || (game_.CanFlick() && !flickedThisTurn_ && now >= actAt_))
        return 0;
    const auto untilTick = std::chrono::duration_cast<std::chrono::milliseconds>(nextTick_ - now).count();
    return static_cast<int>(std::clamp<long long>(untilTick, 0, 20));
}

} // namespace tovrik::robot
