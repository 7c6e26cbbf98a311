// The main window's handling of the lobby messages: the user and room lists,
// profiles, character change, room information, chat, whispers, server
// notices, invitations and the event counters.

#include "RecordText.h"
#include "app/ChatText.h"
#include "app/ClientDlg.h"
#include "app/ClientGame.h"
#include "app/ControllerState.h"
#include "base/CodePage.h"
#include "base/Log.h"
#include "game/GameGlobals.h"
#include "protocol/LobbyMessages.h"
#include "protocol/ReasonTexts.h"
#include "protocol/TextField.h"
#include "sockets/SockMan.h"

#include <cstdio>
#include <string>

using namespace tovrik::protocol;
using tovrik::base::Cp949FieldToUtf8;
using tovrik::base::Cp949ToUtf8;
using tovrik::base::Utf8ToCp949;

#ifndef TOVRIK_OPERATOR_IDS
#define TOVRIK_OPERATOR_IDS ""
#endif

namespace tovrik::app {

namespace {

constexpr ChatColour kBlack{0, 0, 0};
constexpr ChatColour kNotice{255, 0, 0};
constexpr ChatColour kLobbyWhisper{100, 100, 100};
constexpr ChatColour kRoomWhisper{180, 180, 180};

constexpr int kSoundInvitation = 16;
constexpr int kSoundWhisper = 18;
constexpr int kMaxCharacter = 72;

// The deployment's operator accounts, which may see another user's money:
// a comma-separated build setting.
bool IsOperatorAccount(std::string_view id) {
  std::string_view list = TOVRIK_OPERATOR_IDS;
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    const std::string_view entry = list.substr(0, comma);
    if (!entry.empty() && entry == id) return true;
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return false;
}

// Sets a guard flag for the life of a handler that may open a modal box.
class ModalGuard {
 public:
  explicit ModalGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~ModalGuard() { flag_ = false; }
  ModalGuard(const ModalGuard&) = delete;
  ModalGuard& operator=(const ModalGuard&) = delete;

 private:
  bool& flag_;
};

}  // namespace

// --- Chat lines ------------------------------------------------------------------

namespace {
constexpr std::size_t kRecentChatLines = 32;

void Remember(std::deque<std::string>& recent, std::string_view text) {
  recent.emplace_back(text);
  if (recent.size() > kRecentChatLines) recent.pop_front();
}
}  // namespace

void CClientDlg::AddLobbyChat(std::string_view text, ChatColour colour) {
  Remember(recentChat_, text);
  screens_.lobby->AddChat(text, colour);
}

void CClientDlg::AddRoomChat(std::string_view text, ChatColour colour) {
  Remember(recentChat_, text);
  screens_.room->AddChat(text, colour);
}

void CClientDlg::AddChatHere(std::string_view text, ChatColour colour) {
  if (g_Where == kWhereLobby) AddLobbyChat(text, colour);
  else if (g_Where == kWhereGameRoom) AddRoomChat(text, colour);
}

void CClientDlg::AddHiddenLine(std::string_view lineCp949) { screens_.lobby->AddHideChatText(lineCp949); }

void CClientDlg::PlayEffect(int effect) { clientGame_->PlayEffect(effect); }

// --- Users ---------------------------------------------------------------------------

void CClientDlg::OnAllUserInfo(int, CSV_ALLUSERINFO& msg) {
  ILobbyScreen& lobby = *screens_.lobby;
  lobby.User_DelAll();
  for (const SMALLUSERINFO& user : msg.List()) lobby.User_InsItem(user);
  lobby.SortInviteList();
}

void CClientDlg::OnNewUser(int, CSV_NEWUSER& msg) { screens_.lobby->User_InsItem(*msg.Info); }

void CClientDlg::OnOutUser(int, CSV_OUTUSER& msg) {
  screens_.lobby->User_DelItem(msg.Info->UNum.get(), Held(msg.Info->ID));
}

void CClientDlg::OnChangeUser(int, CSV_CHANGEUSER& msg) { screens_.lobby->User_SetItem(*msg.Info); }

void CClientDlg::OnUserInfo(int, CSV_USERINFO& msg) {
  EndRequest(Request::UserInfo);
  if (Held(msg.Info->ID).empty() || inUserInfo_) return;
  ModalGuard guard(inUserInfo_);
  // The frame is reused while the dialog runs its own loop.
  const USERINFO user = *msg.Info;
  screens_.popups->ShowProfile(user, 1);
}

void CClientDlg::OnDetailUserInfo(int, CSV_DETAILUSERINFO& msg) {
  EndRequest(Request::DetailUserInfo);
  const std::string id = Held(msg.Info->ID);
  if (id.empty() || !IsOperatorAccount(g_LoginID) || inDetailUserInfo_) return;
  ModalGuard guard(inDetailUserInfo_);
  AfxMessageBox(Format("%s\nPebble=%d", Cp949ToUtf8(id).c_str(), int(msg.Info->Pebble.get())));
}

void CClientDlg::OnAcceptChangeChar(int, CSV_ACCEPT_CHANGECHAR& msg) {
  const int character = msg.Value->get();
  if (character < 0 || character > kMaxCharacter) return;
  tovrik::protocol::USERINFO& own = tovrik::game::Play[0].user;
  own.CharNo = std::int16_t(character);
  screens_.lobby->SetCharacter(own);
  EndRequest(Request::ChangeChar);
  if (inChangeChar_) return;
  ModalGuard guard(inChangeChar_);
  AfxMessageBox("캐릭터가 변경되었습니다");
}

// --- Rooms ---------------------------------------------------------------------------

void CClientDlg::OnAllRoomInfo(int, CSV_ALLROOMINFO& msg) {
  ILobbyScreen& lobby = *screens_.lobby;
  lobby.DismissWaitBox();
  lobby.Room_DelAll();
  for (const ROOMINFO& room : msg.List()) lobby.Room_InsItem(room);
}

void CClientDlg::OnNewRoom(int, CSV_NEWROOM& msg) { screens_.lobby->Room_InsItem(*msg.Info); }

void CClientDlg::OnOutRoom(int, CSV_OUTROOM& msg) { screens_.lobby->Room_DelItem(msg.Info->RoomNo.get()); }

void CClientDlg::OnChangeRoom(int, CSV_CHANGEROOM& msg) { screens_.lobby->Room_SetItem(*msg.Info); }

void CClientDlg::OnRoomInfo(int, CSV_ROOMINFO& msg) {
  EndRequest(Request::RoomInfo);
  if (msg.Result->get() == 0) screens_.lobby->OnRoomUserInfo(*msg.GI);
}

void CClientDlg::OnRefuseCreateRoom(int, CSV_REFUSE_CREATEROOM& msg) {
  EndRequest(Request::CreateRoom);
  const std::optional<std::string_view> text = CreateRoomRefusalText(msg.Value->get());
  if (!text || inRefuseCreateRoom_) return;
  ModalGuard guard(inRefuseCreateRoom_);
  AfxMessageBox(*text);
}

// --- Chat ------------------------------------------------------------------------------

void CClientDlg::OnLobbyChat(int, CSV_CHATDATA& msg) {
  const std::string id = Held(msg.UserID->Text);
  const std::optional<SMALLUSERINFO> sender = screens_.lobby->FindUser(id);
  if (id.empty() || !sender) return;
  const std::string text = SanitizeChatText(msg.TextView());
  const std::string shown = Cp949ToUtf8(FilterChatText(text));
  AddLobbyChat(Format("%s> %s\n", Shown(sender->NickName).c_str(), shown.c_str()), kBlack);
  AddHiddenLine("ID : " + OneLineName(id) + "(" + Logged(sender->NickName) + ")> " + text + "\n");
}

void CClientDlg::OnWhisper(int, CSV_WHISPERCHAT& msg) {
  const std::string id = Held(msg.UserID->Text);
  if (g_Where == kWhereGameRoom) {
    const int slot = tovrik::game::Game.GetPlayerPNum(id);
    if (slot >= 0 && tovrik::game::Play[slot].muted) return;
  }
  const std::string text = SanitizeChatText(msg.TextView());
  const std::string line =
      Format("[귓말:%s] %s\n", Shown(msg.NickName->Text).c_str(), Cp949ToUtf8(FilterChatText(text)).c_str());
  PlayEffect(kSoundWhisper);
  if (g_Where == kWhereLobby) AddLobbyChat(line, kLobbyWhisper);
  else if (g_Where == kWhereGameRoom) AddRoomChat(line, kRoomWhisper);
  AddHiddenLine(Utf8ToCp949("귓말: ID : ") + OneLineName(id) + "(" + Logged(msg.NickName->Text) + ")> " + text + "\n");
}

void CClientDlg::OnServerMessage(int, CSV_SERVERMSG& msg) {
  const std::string text = SanitizeChatText(msg.TextView());
  const std::string lineCp949 = Utf8ToCp949("[서버 알림] ") + text;
  const int kind = msg.Kind->get();
  if (kind == 0) {
    AddChatHere(Cp949ToUtf8(lineCp949) + "\n", kNotice);
    AddHiddenLine(lineCp949 + "\n");
  } else if (kind == 1) {
    AddHiddenLine(lineCp949 + "\n");
    if (inServerMessage_) return;
    ModalGuard guard(inServerMessage_);
    AfxMessageBox(Cp949ToUtf8(lineCp949));
  }
}

// --- Invitations ------------------------------------------------------------------------

void CClientDlg::OnInvitation(int, CSV_ASK_INVITE& msg) {
  // Copies: the frame is reused while the invitation dialog is open.
  const USERINFO inviter = *msg.Inviter;
  const int roomNo = msg.RoomNo->get();
  const std::string text(CutCp949(msg.TextView(), kInviteTextMaxBytes));
  const tovrik::protocol::USERINFO& own = tovrik::game::Play[0].user;
  if (screens_.lobby->NoInviteChecked()) {
    const std::string refusal =
        Utf8ToCp949(Format("[%s]님은 <초대 거부>중입니다.", Cp949FieldToUtf8(std::span<const char>(own.NickName)).c_str()));
    CSV_REFUSE_INVITE answer;
    if (answer.Set(inviter.UNum.get(), Held(inviter.ID), g_LoginID, refusal) && g_MainSrvSID >= 0)
      tovrik::sockets::SockMan.SendData(g_MainSrvSID, answer.GetData(), answer.GetTotalSize());
    return;
  }
  if (g_MainSrvSID < 0 || inInvitation_) return;
  ModalGuard guard(inInvitation_);
  PlayEffect(kSoundInvitation);
  screens_.popups->ShowInvitation(inviter, roomNo, FilterChatText(text));
}

void CClientDlg::OnInvitationRefused(int, CSV_REFUSE_INVITE& msg) {
  const std::optional<SMALLUSERINFO> user = screens_.lobby->FindUser(Held(msg.UserID->Text));
  if (user) {
    AddRoomChat(Format("[%s]님이 초대를 거절하셨습니다.\n", Shown(user->NickName).c_str()), kNotice);
    AddHiddenLine(Utf8ToCp949("# [ID: ") + Logged(user->ID) + "(" + Logged(user->NickName) + ")" +
                  Utf8ToCp949("]님이 초대를 거절하셨습니다#\n"));
  } else {
    AddRoomChat("초청한 유저가 해당채널에 존재하지않습니다.\n", kNotice);
    AddHiddenLine(Utf8ToCp949("# 초청한 유저가 해당채널에 존재하지않습니다.#\n"));
  }
}

// --- Events ------------------------------------------------------------------------------

void CClientDlg::OnEventNotice(int, CSV_EVENTNOTICE& msg) {
  const int kind = msg.Kind->get();
  if (kind == 1) {
    const std::uint32_t bgr = std::uint32_t(msg.Tail->Colour.get());
    const ChatColour colour{std::uint8_t(bgr & 0xFF), std::uint8_t(bgr >> 8 & 0xFF), std::uint8_t(bgr >> 16 & 0xFF)};
    AddChatHere(Cp949ToUtf8(SanitizeChatText(msg.TextView())) + "\n", colour);
  } else if (kind == 6) {
    g_bPeakTime_Event_Date = 0;
    g_iPeakTime_Event_State = 0;
  } else if (kind >= 2 && kind <= 5) {
    // The state is taken before the notice runs its own loop: a later
    // message handled meanwhile must not be overwritten by this older one.
    g_bPeakTime_Event_Date = 1;
    g_iEventPopupType = kind;
    g_iPeakTime_Event_State = msg.Tail->PeakState.get();
    if ((kind == 2 || kind == 4) && !inEventNotice_) {
      ModalGuard guard(inEventNotice_);
      screens_.popups->ShowEventNotice(0);
    }
  }
}

void CClientDlg::OnEventCount(int, CSV_AUGUSTEVENTMSG_CNT& msg) { tovrik::game::Play[0].user.EventCount = msg.Value->get(); }

void CClientDlg::OnEventPointUp(int, CSV_AUGUSTEVENTMSG_POINTUP& msg) {
  tovrik::protocol::USERINFO& own = tovrik::game::Play[0].user;
  own.EventCount = msg.EventCount->get();
  own.EventValue1 = msg.EventValue1->get();
  own.EventValue2 = msg.EventValue2->get();
  AddRoomChat("1포인트를 획득 하셨습니다.\n", kBlack);
  screens_.room->StartPointUp();
}

void CClientDlg::OnEventTimeRange(int, CSV_EVENT_TIMERANGE_ALERT& msg) { g_iPeakTime_Event_State = msg.Value->get(); }

}  // namespace tovrik::app
