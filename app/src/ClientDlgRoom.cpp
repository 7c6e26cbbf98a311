// The main window's handling of room play: creating, entering and leaving
// rooms, the room's users and master, the other player's relayed messages
// handed to the game, the result, and the item prompts the server asks for.

#include "RecordText.h"
#include "app/ChatText.h"
#include "app/ClientDlg.h"
#include "app/ControllerState.h"
#include "base/CodePage.h"
#include "base/Log.h"
#include "game/GameGlobals.h"
#include "game/Levels.h"
#include "platform/EventLoop.h"
#include "platform/Screen.h"
#include "protocol/LobbyMessages.h"
#include "protocol/ReasonTexts.h"
#include "protocol/RelayMessages.h"
#include "protocol/TextField.h"
#include "sockets/SockMan.h"

#include <algorithm>
#include <cstdio>
#include <string>

using namespace tovrik::protocol;
using tovrik::base::Cp949FieldToUtf8;
using tovrik::base::Cp949ToUtf8;
using tovrik::base::Utf8ToCp949;
using tovrik::game::Game;
using tovrik::game::Play;

namespace tovrik::app {

namespace {

constexpr ChatColour kBlack{0, 0, 0};
constexpr ChatColour kArrival{30, 150, 30};
constexpr ChatColour kRoomLine{200, 180, 180};
constexpr ChatColour kReservation{150, 150, 0};

// Item purchases the server asks for: the default item, and the dialog's
// answer for "closed without buying".
constexpr int kJumpItemCode = 201;
constexpr int kItemDialogClosed = 2;
constexpr int kPageFunctionalItems = 1;
constexpr int kPageMyItems = 2;

class ModalGuard {
 public:
  explicit ModalGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~ModalGuard() { flag_ = false; }
  ModalGuard(const ModalGuard&) = delete;
  ModalGuard& operator=(const ModalGuard&) = delete;

 private:
  bool& flag_;
};

template <typename Message>
void SendToGameServer(const Message& message) {
  if (g_MainSrvSID >= 0 && message.GetData())
    tovrik::sockets::SockMan.SendData(g_MainSrvSID, message.GetData(), message.GetTotalSize());
}

void RecomputeServerSeats() {
  for (int slot = 0; slot < tovrik::game::kPlayerSlots; ++slot) Play[slot].serverNum = Game.GetServPNum_ByPN(slot);
}

// The slot a relayed message names, or -1.
int SlotOfId(const char (&id)[kRelayIDSize]) { return Game.GetPlayerPNum(ReadText(id)); }

void SetWindowTitle(const std::string& title) {
  if (tovrik::platform::EventLoop* loop = tovrik::platform::EventLoop::Current())
    if (tovrik::platform::Screen* screen = loop->GetScreen()) screen->SetTitle(title);
}

}  // namespace

// --- Entering ------------------------------------------------------------------------

void CClientDlg::EnterRoomView(const ROOMINFO& room) {
  g_RI = room;
  g_RI.MaxUser = 2;
  g_Where = kWhereGameRoom;
  ChangeView(3);
}

void CClientDlg::ShowRoomCharacters() {
  const tovrik::game::CPlayer& opponent = Play[1];
  screens_.room->ShowCharacters(Play[0].user, opponent.ID().empty() ? nullptr : &opponent.user);
}

void CClientDlg::AnnounceOwnEntry() {
  const USERINFO& own = Play[0].user;
  AddRoomChat(Format("# <%s>님 입장 #\n", Shown(own.NickName).c_str()), kArrival);
  AddHiddenLine(Utf8ToCp949("# <ID: ") + Logged(own.ID) + "(" + Logged(own.NickName) + ")" + Utf8ToCp949(">님 입장 #\n"));
}

void CClientDlg::OnAcceptCreateRoom(int, CSV_ACCEPT_CREATEROOM& msg) {
  const ROOMINFO room = *msg.Info;
  Game.ResetGame();
  EndRequest(Request::CreateRoom);
  Play[1].Clear();
  Play[0].seated = 0;
  Game.myServPNum = 0;
  Game.seatZeroSlot = 0;
  RecomputeServerSeats();
  EnterRoomView(room);
  screens_.room->SetButtonState();
  ShowRoomCharacters();
  AnnounceOwnEntry();
}

void CClientDlg::OnAcceptEnterRoom(int, CSV_ACCEPT_ENTERROOM& msg) {
  const ENTERROOMINFO info = *msg.Info;
  const std::string master = Held(info.GI.RI.MasterID);
  int masterSeat = -1, ownSeat = -1;
  for (int seat = 0; seat < 2; ++seat) {
    const std::string id = Held(info.GI.UI[seat].ID);
    if (id.empty()) continue;
    if (id == master) masterSeat = seat;
    if (id == g_LoginID) ownSeat = seat;
  }
  EndRequest(Request::EnterRoom);
  Play[0].seated = 0;
  // Taken only in the lobby, and only when it seats this user apart from
  // the master; otherwise the server is told at once that the user leaves
  // the room it just accepted (the current room record may be another's).
  if (g_Where != kWhereLobby || masterSeat < 0 || ownSeat < 0 || masterSeat == ownSeat) {
    base::Log(base::LogLevel::Warn, "app", "leaving room ", info.GI.RI.RoomNo.get(), ": its acceptance came in state ",
              g_Where, " with own seat ", ownSeat, " and master seat ", masterSeat);
    CSV_ASK_OUTROOM leave;
    if (leave.Set(info.GI.RI.RoomNo.get(), Play[0].user.UNum.get(), g_LoginID)) SendToGameServer(leave);
    if (g_Where == kWhereLobby) screens_.lobby->CancelWaitBox();
    return;
  }
  Game.ResetGame();
  screens_.lobby->DismissWaitBox();
  EnterRoomView(info.GI.RI);
  Game.myServPNum = ownSeat;
  Game.seatZeroSlot = Game.GetPNum_ByServPN(0);
  Play[1].Clear();
  RecomputeServerSeats();
  for (int seat = 0; seat < 2; ++seat) {
    if (Held(info.GI.UI[seat].ID).empty()) continue;
    tovrik::game::CPlayer& player = Play[Game.GetPNum_ByServPN(seat)];
    if (&player != &Play[0]) player.SetNewPlayer(&info.GI.UI[seat]);
    player.seated = info.Seat[seat].seated;
    player.inGame = info.Seat[seat].inGame;
  }
  screens_.room->SetButtonState();
  ShowRoomCharacters();
  AnnounceOwnEntry();
}

void CClientDlg::OnRefuseEnterRoom(int, CSV_REFUSE_ENTERROOM& msg) {
  EndRequest(Request::EnterRoom);
  screens_.lobby->CancelWaitBox();
  if (inRefuseEnterRoom_) return;
  ModalGuard guard(inRefuseEnterRoom_);
  AfxMessageBox(EnterRoomRefusalText(msg.Value->get()));
}

// --- The room's users -------------------------------------------------------------------

void CClientDlg::OnUserEnterRoom(int, CSV_USERENTERROOM& msg) {
  const int seatZero = Game.seatZeroSlot;
  const int end = std::clamp(int(g_RI.MaxUser.get()), 0, tovrik::game::kPlayerSlots);
  int free = -1;
  for (int slot = seatZero; slot < end && free < 0; ++slot)
    if (slot != 0 && Play[slot].ID().empty()) free = slot;
  for (int slot = 1; slot < std::min(seatZero, end) && free < 0; ++slot)
    if (Play[slot].ID().empty()) free = slot;
  if (free < 0) return;
  const USERINFO user = *msg.UI;
  g_RI.UserCnt = std::int16_t(g_RI.UserCnt.get() + 1);
  Play[free].SetNewPlayer(&user);
  Play[free].serverNum = Game.GetServPNum_ByPN(free);
  if (free == 1) ShowRoomCharacters();
  screens_.room->SetButtonState();
  AddRoomChat(Format("# <%s>님 입장 #\n", Shown(user.NickName).c_str()), kArrival);
  AddHiddenLine("# <" + Logged(user.ID) + "(" + Logged(user.NickName) + ")" + Utf8ToCp949(">님 입장 #\n"));
}

void CClientDlg::OnUserOutRoom(int, CSV_USEROUTROOM& msg) {
  const std::string id = Held(msg.UserID->Text);
  tovrik::game::CPlayer& leaver = Play[1];
  if (id.empty() || leaver.ID() != id) return;
  const USERINFO gone = leaver.user;
  leaver.ready = 0;
  leaver.Clear();
  if (g_RI.UserCnt.get() > 0) g_RI.UserCnt = std::int16_t(g_RI.UserCnt.get() - 1);
  ShowRoomCharacters();
  screens_.room->SetButtonState();
  AddRoomChat(Format("# <%s>님 퇴장 #\n", Shown(gone.NickName).c_str()), kArrival);
  AddHiddenLine(Utf8ToCp949("# <ID: ") + Logged(gone.ID) + "(" + Logged(gone.NickName) + ")" + Utf8ToCp949(">님 퇴장 #\n"));
}

void CClientDlg::OnChangeRoomMaster(int, CSV_CHANGEROOMMASTER& msg) {
  const std::string id = Held(msg.MasterID->Text);
  const int slot = Game.GetPlayerPNum(id);
  if (id.empty() || slot < 0) return;
  const USERINFO& master = Play[slot].user;
  // The room record names its master: the START button and the room list
  // read it, so a guest left alone becomes the one who can start.
  CopyAtMost(g_RI.MasterID, id, sizeof g_RI.MasterID - 1);
  CopyAtMost(g_RI.MasterNick, ReadText(master.NickName), sizeof g_RI.MasterNick - 1);
  g_RI.MasterUNum = msg.MasterUNum->get();
  screens_.room->SetButtonState();
  title_ = Format("코르반타 토브릭 장기(%s) - [%d번방] [배팅액: %d] [방제목: %s] [방장: %s] [%s]",
                  OneLineName(Cp949ToUtf8(g_NowChanName)).c_str(), int(g_RI.RoomNo.get()), int(g_RI.BetPebble.get()),
                  Shown(g_RI.Title).c_str(), Shown(master.NickName).c_str(), g_RI.Secret ? "비공개" : "공개");
  SetWindowTitle(title_);
  if (slot != 0) {
    AddRoomChat(Format("# [%s]님이 방장입니다 #\n", Shown(master.NickName).c_str()), kBlack);
    AddHiddenLine(Utf8ToCp949("# [ID: ") + Logged(master.ID) + "(" + Logged(master.NickName) + ")" +
                  Utf8ToCp949("]님이 방장입니다#\n"));
  } else {
    AddRoomChat("# 당신은 방장입니다 #\n", kBlack);
    AddHiddenLine(Utf8ToCp949("# 당신은 방장입니다 #\n"));
  }
}

// --- Leaving ------------------------------------------------------------------------------

void CClientDlg::OnExitGame() {
  g_Where = kWhereLobby;
  EndRequest(Request::CreateRoom);
  EndRequest(Request::EnterRoom);
  EndRequest(Request::LeaveRoom);
  EndRequest(Request::StartGame);
  Game.ResetGame();
  g_RI = {};
  Play[1].Clear();
  screens_.room->OnLeftRoom();
  ChangeView(2);
  screens_.lobby->RefreshLists();
}

void CClientDlg::OnAcceptOutRoom(int, CSV_ACCEPT_OUTROOM&) { OnExitGame(); }

// A forced removal: back to the lobby without asking the server.
void CClientDlg::OnAbnormalOutRoom(int, CSV_ABNORMALOUTROOM&) { OnExitGame(); }

// --- Relayed messages ---------------------------------------------------------------------

void CClientDlg::OnRoomChat(int, CCL_CHATDATA& msg) {
  if (msg.Head->RoomNo.get() != g_RI.RoomNo.get()) return;
  const int slot = SlotOfId(msg.Head->ID);
  if (slot < 0 || Play[slot].muted) return;
  const USERINFO& sender = Play[slot].user;
  const std::string text = SanitizeChatText(CutCp949(msg.TextView(), kRoomChatMaxBytes));
  AddRoomChat(Format("%s> %s\n", Shown(sender.NickName).c_str(), Cp949ToUtf8(FilterChatText(text)).c_str()), kRoomLine);
  AddHiddenLine("# ID: " + Logged(sender.ID) + "(" + Logged(sender.NickName) + ")> " + text + "\n");
}

void CClientDlg::OnReadyToStart(int, CCL_READYTOSTART& msg) {
  const int slot = SlotOfId(msg.Info->Text);
  if (slot < 0) return;
  // A READY pressed while the last result shows counts for the next game.
  if (Game.resultShowing) Play[slot].readyNext = 1;
  else Play[slot].ready = 1;
  screens_.room->SetButtonState();
}

void CClientDlg::OnStartInfo(int, CCL_STARTINFO& msg) {
  if (inStartInfo_) return;
  ModalGuard guard(inStartInfo_);
  const STARTINFO start = *msg.Info;
  EndRequest(Request::StartGame);
  g_RI.Playing = 1;
  Game.DoPrepareGame(&start);
  screens_.room->SetButtonState();
}

void CClientDlg::OnRelayedStoneClick(int, CCL_STONECLICK& msg) {
  if (g_RI.Playing) Game.OnStoneClick(msg.Info);
}

void CClientDlg::OnRelayedUseItem(int, CCL_USEITEM& msg) {
  if (g_RI.Playing) Game.OnUseItem(msg.Info);
}

void CClientDlg::OnRelayedChangeItem(int, CCL_CHANGEITEM& msg) {
  if (g_RI.Playing) Game.OnChangeItem(msg.Info);
}

void CClientDlg::OnRelayedTeleportItem(int, CCL_TELEPORTITEM& msg) {
  if (g_RI.Playing) Game.OnTeleportItem(msg.Info);
}

void CClientDlg::OnRelayedNuclearItem(int, CCL_NUCLEARITEM& msg) {
  if (g_RI.Playing) Game.OnNuclearItem(msg.Info);
}

void CClientDlg::OnRelayedStoneHit(int, CCL_STONEHIT& msg) {
  if (g_RI.Playing) Game.OnStoneHit(msg.Info);
}

void CClientDlg::OnRelayedNextPlayer(int, CCL_NEXTPLAYER& msg) {
  if (g_RI.Playing) Game.OnNextPlayer(msg.Info);
}

void CClientDlg::OnExitSubscript(int, CCL_EXITSUBSCRIPT& msg) {
  const int slot = SlotOfId(msg.Info->ID);
  if (slot < 0) return;
  const bool reserved = msg.Info->reserve.get() != 0;
  Play[slot].reserved = reserved ? 1 : 0;
  if (reserved) AddRoomChat(Format("[%s]님 나가기 예약\n", Shown(Play[slot].user.NickName).c_str()), kReservation);
}

void CClientDlg::OnGameOverResult(int, CSV_GAMEOVERRESULT& msg) {
  EndRequest(Request::StartGame);
  const GAMEOVERRESULT results[2] = {msg.Result(0), msg.Result(1)};
  Game.OnGameOver(results);
}

// --- Items ------------------------------------------------------------------------------------

void CClientDlg::PurchaseAbandoned(int purpose) {
  if (purpose == 1) {
    // The purchase was the condition of the login: without it, the end.
    if (connectBoxOpen_) EndProgram();
  } else if (purpose == 2) {
    EndRequest(Request::EnterChannel);
    screens_.channel->EnableEnter(true);
    screens_.channel->DismissProgress();
  }
}

void CClientDlg::OnGameItemList(int, CSV_GAMEITEMLIST& msg) {
  const ITEMLISTHEAD head = *msg.Head;
  if (std::optional<tovrik::game::LocalTime> server = tovrik::game::ToLocalTime(head.ServerTime)) {
    g_ServerTime = *server;
    g_ClientTime = tovrik::game::CurrentLocalTime();
    g_CSTimeGap = g_ClientTime - g_ServerTime;
  } else {
    base::Log(base::LogLevel::Warn, "app", "the item list's time is not a date; keeping the clock");
  }
  if (head.KeepList.get() == 0) {
    const std::span<const GAMEITEM> items = msg.ItemList();
    const std::size_t kept = std::min<std::size_t>(items.size(), kMaxGameItems);
    if (items.size() > kept)
      base::Log(base::LogLevel::Warn, "app", "the item list holds ", items.size(), " items; keeping ", kept);
    g_MyGameItem.Count = std::int32_t(kept);
    std::copy_n(items.begin(), kept, g_MyGameItem.Item);
  }
  IPopupWindows& popups = *screens_.popups;
  if (popups.ItemDialogOpen()) popups.RefreshMyItems();
  const int purpose = head.Purpose.get();
  if ((purpose != 1 && purpose != 2) || inItemList_) return;
  ModalGuard guard(inItemList_);
  if (popups.ItemDialogOpen()) popups.CloseItemDialog();
  g_bJumpItemBuying = 1;
  if (popups.ShowItemDialog(kPageMyItems, 1, kJumpItemCode) == kItemDialogClosed && g_bJumpItemBuying) {
    g_bJumpItemBuying = 0;
    PurchaseAbandoned(purpose);
  }
}

void CClientDlg::OnBuyGameItem(int, CSV_BUYGAMEITEM& msg) {
  const BUYITEMHEAD head = *msg.Head;
  if (head.TextLen.get() <= 0 || inBuyItem_) return;
  ModalGuard guard(inBuyItem_);
  g_bJumpItemBuying = 1;
  if (screens_.popups->ShowItemDialog(kPageFunctionalItems, 1, head.ItemCode.get()) == kItemDialogClosed &&
      g_bJumpItemBuying) {
    g_bJumpItemBuying = 0;
    PurchaseAbandoned(head.Purpose.get());
  }
}

}  // namespace tovrik::app
