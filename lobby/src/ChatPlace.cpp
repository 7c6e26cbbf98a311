#include "lobby/ChatPlace.h"

#include "app/ClientDlg.h"
#include "app/ControllerState.h"
#include "base/Log.h"
#include "game/GameGlobals.h"
#include "protocol/TextField.h"
#include "sockets/SockMan.h"

#include <span>

namespace tovrik::lobby {

namespace {
LobbyUserLookup& LookupSlot() {
  static LobbyUserLookup lookup;
  return lookup;
}

std::string_view NickOf(const game::CPlayer& player) {
  return protocol::ReadText(std::span<const char>(player.user.NickName));
}
}  // namespace

void SetLobbyUserLookup(LobbyUserLookup lookup) { LookupSlot() = std::move(lookup); }

int FindLobbyUserNumber(std::string_view nickCp949) {
  const LobbyUserLookup& lookup = LookupSlot();
  return lookup ? lookup(nickCp949) : -1;
}

std::string_view LocalPlayerId() { return game::Play[0].ID(); }
std::string_view LocalPlayerNick() { return NickOf(game::Play[0]); }

bool IsInGameWhisperRefused(std::string_view nickCp949) {
  if (app::g_Where != app::kWhereGameRoom || !app::g_RI.Playing || nickCp949.empty()) return false;
  return nickCp949 == NickOf(game::Play[0]) || nickCp949 == NickOf(game::Play[1]);
}

void CClientChatPlace::ShowLine(std::string_view utf8, app::ChatColour colour) {
  app::CClientDlg* dlg = app::GetClientDlg();
  if (!dlg) return;
  if (place_ == kChatInRoom) dlg->AddRoomChat(utf8, colour);
  else dlg->AddLobbyChat(utf8, colour);
}

void CClientChatPlace::AddHiddenLine(std::string_view lineCp949) {
  if (app::CClientDlg* dlg = app::GetClientDlg()) dlg->AddHiddenLine(lineCp949);
}

int CClientChatPlace::FindUserNumber(std::string_view nickCp949) const { return FindLobbyUserNumber(nickCp949); }

void CClientChatPlace::Send(const char* data, int size) {
  if (app::g_MainSrvSID < 0) {
    base::Log(base::LogLevel::Warn, "lobby", "no game connection for a chat message");
    return;
  }
  sockets::SockMan.SendData(app::g_MainSrvSID, data, size);
}

bool CClientChatPlace::RefusesWhisperTo(std::string_view nickCp949) const {
  return place_ == kChatInRoom && IsInGameWhisperRefused(nickCp949);
}

}  // namespace tovrik::lobby
