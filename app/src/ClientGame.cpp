#include "app/ClientGame.h"

#include "app/ClientApp.h"
#include "app/ControllerState.h"
#include "base/Log.h"
#include "game/Game.h"
#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "protocol/LobbyMessages.h"
#include "protocol/RelayMessages.h"
#include "sockets/SockMan.h"
#include "sound/Sound.h"

#include <string>

namespace tovrik::app {

namespace {

template <typename Message, typename... Args>
void SendToGameServer(Args&&... args) {
  Message message;
  if (!message.Set(std::forward<Args>(args)...)) {
    base::Log(base::LogLevel::Error, "app", "could not build ", tovrik::protocol::MessageName(Message::MSGID));
    return;
  }
  if (g_MainSrvSID < 0) {
    base::Log(base::LogLevel::Warn, "app", "no game connection for ", tovrik::protocol::MessageName(Message::MSGID));
    return;
  }
  tovrik::sockets::SockMan.SendData(g_MainSrvSID, message.GetData(), message.GetTotalSize());
}

}  // namespace

CClientGame::CClientGame(tovrik::game::CGame& game, IGameRoomScreen& room, tovrik::game::IGameSound* sound)
    : game_(game), room_(room), sound_(sound) {
  game_.SetSender(this);
  game_.SetClock(this);
  game_.SetSound(this);
  game_.SetRoom(this);
}

CClientGame::~CClientGame() {
  game_.SetSender(nullptr);
  game_.SetClock(nullptr);
  game_.SetSound(nullptr);
  game_.SetRoom(nullptr);
}

void CClientGame::SendStoneClick(const tovrik::protocol::STONECLICK& r) { SendToGameServer<tovrik::protocol::CCL_STONECLICK>(r); }
void CClientGame::SendUseItem(const tovrik::protocol::USEITEM& r) { SendToGameServer<tovrik::protocol::CCL_USEITEM>(r); }
void CClientGame::SendChangeItem(const tovrik::protocol::CHANGEITEM& r) { SendToGameServer<tovrik::protocol::CCL_CHANGEITEM>(r); }
void CClientGame::SendTeleportItem(const tovrik::protocol::TELEPORTITEM& r) {
  SendToGameServer<tovrik::protocol::CCL_TELEPORTITEM>(r);
}
void CClientGame::SendNuclearItem(const tovrik::protocol::NUCLEARITEM& r) { SendToGameServer<tovrik::protocol::CCL_NUCLEARITEM>(r); }
void CClientGame::SendStoneHit(const tovrik::protocol::STONEHITINFO& r) { SendToGameServer<tovrik::protocol::CCL_STONEHIT>(r); }

void CClientGame::SendResultStoneHit(const tovrik::protocol::RESULTSTONEHITINFO& head,
                                     const tovrik::protocol::DROPSTONEINFO& drops) {
  SendToGameServer<tovrik::protocol::CCL_RESULTSTONEHIT>(head, drops);
}

void CClientGame::SendTimeOutMyTurn(std::string_view id) { SendToGameServer<tovrik::protocol::CCL_TIMEOUTMYTURN>(id); }

void CClientGame::SendExitSubscript(int roomNo, int unum, std::string_view id, int reserve) {
  SendToGameServer<tovrik::protocol::CCL_EXITSUBSCRIPT>(roomNo, unum, id, reserve);
}

unsigned CClientGame::TimeGetTime() {
  if (tovrik::platform::EventLoop* loop = tovrik::platform::EventLoop::Current()) return loop->Clock().NowMs();
  return tovrik::platform::SystemClock::Instance().NowMs();
}

void CClientGame::PlayEffect(int effect) {
  if (sound_) sound_->PlayEffect(effect);
  else tovrik::sound::Sound.Play(effect, 0, 100);
}

void CClientGame::StopAllMusic() {
  if (sound_) sound_->StopAllMusic();
  else tovrik::sound::Sound.AllMusicStop();
}

int CClientGame::IsPlaying() const { return g_RI.Playing; }

void CClientGame::SetPlaying(int playing) { g_RI.Playing = std::int8_t(playing != 0); }

int CClientGame::RoomNo() const { return g_RI.RoomNo.get(); }

int CClientGame::IsItemChannel() const { return g_bIsItemChannel; }

void CClientGame::ClearWait() { EndRequest(Request::StartGame); }

void CClientGame::ExitGame() {
  if (IsPending(Request::LeaveRoom)) return;
  BeginRequest(Request::LeaveRoom);
  const tovrik::game::CPlayer& own = game_.LocalPlayer();
  SendToGameServer<tovrik::protocol::CSV_ASK_OUTROOM>(g_RI.RoomNo.get(), own.user.UNum.get(), own.ID());
}

void CClientGame::ShowMessageBox(std::string_view text) { AfxMessageBox(std::string(text)); }

void CClientGame::RefreshCharViews(const tovrik::game::CPlayer& local, const tovrik::game::CPlayer& opponent) {
  room_.ShowCharacters(local.user, opponent.ID().empty() ? nullptr : &opponent.user);
}

}  // namespace tovrik::app
