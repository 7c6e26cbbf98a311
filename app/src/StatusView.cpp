#include "app/StatusView.h"

#include "app/ClientServices.h"
#include "app/ControllerState.h"

#include "base/CodePage.h"
#include "base/Log.h"
#include "game/GameGlobals.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "protocol/LobbyMessages.h"
#include "protocol/TextField.h"
#include "sockets/SockMan.h"

#include <algorithm>

using namespace tovrik::platform;
namespace base = tovrik::base;
using tovrik::base::Cp949FieldToUtf8;
using tovrik::base::Cp949ToUtf8;

namespace tovrik::app {

namespace {
constexpr size_t kKeptLines = 30;
// The hidden log keeps its end, as much as an abuse report can quote.
constexpr size_t kKeptHiddenLog = 8000;

template <std::size_t N>
std::string Shown(const char (&field)[N]) {
  return OneLineName(Cp949FieldToUtf8(std::span<const char>(field, N)));
}

template <std::size_t N>
std::string_view Held(const char (&field)[N]) {
  return tovrik::protocol::ReadText(std::span<const char>(field, N));
}

template <typename Message>
void SendToGameServer(const Message& message) {
  if (g_MainSrvSID >= 0 && message.GetData())
    tovrik::sockets::SockMan.SendData(g_MainSrvSID, message.GetData(), message.GetTotalSize());
}

std::string UserLine(const tovrik::protocol::SMALLUSERINFO& user) {
  return "  " + Shown(user.NickName) + " (" + Shown(user.ID) + ", " + std::to_string(user.Point.get()) + "점" +
         (user.RoomNo.get() > 0 ? ", " + std::to_string(user.RoomNo.get()) + "번방" : std::string()) + ")";
}

std::string RoomLine(const tovrik::protocol::ROOMINFO& room) {
  return "  [" + std::to_string(room.RoomNo.get()) + "번방] " + Shown(room.Title) + " - " + Shown(room.MasterNick) +
         " (" + std::to_string(room.UserCnt.get()) + "/" + std::to_string(room.MaxUser.get()) + ")" +
         (room.Playing ? " 게임중" : "");
}
}  // namespace

void CStatusView::RefreshLists() {
  tovrik::protocol::CSV_ASK_ALLROOMINFO rooms;
  if (rooms.Set()) SendToGameServer(rooms);
  tovrik::protocol::CSV_ASK_ALLUSERINFO users;
  if (users.Set()) SendToGameServer(users);
}

void CStatusView::ExitRoom() { tovrik::game::Game.Room().ExitGame(); }

void CStatusView::User_DelAll() {
  users_.clear();
  AddLine("users:");
}

void CStatusView::User_InsItem(const tovrik::protocol::SMALLUSERINFO& user) {
  const auto same = [&](const auto& u) { return u.UNum.get() == user.UNum.get(); };
  if (std::any_of(users_.begin(), users_.end(), same)) return;
  users_.push_back(user);
  AddLine(UserLine(user));
}

void CStatusView::User_DelItem(int unum, std::string_view idCp949) {
  const auto gone = [&](const auto& u) { return u.UNum.get() == unum && Held(u.ID) == idCp949; };
  const auto at = std::find_if(users_.begin(), users_.end(), gone);
  if (at == users_.end()) return;
  AddLine("  - " + Shown(at->NickName));
  users_.erase(at);
}

void CStatusView::User_SetItem(const tovrik::protocol::SMALLUSERINFO& user) {
  for (auto& u : users_) {
    if (u.UNum.get() != user.UNum.get()) continue;
    tovrik::protocol::CopyAtMost(u.ID, Held(user.ID), 15);
    tovrik::protocol::CopyAtMost(u.NickName, Held(user.NickName), 19);
    u.State = user.State;
    u.RoomNo = user.RoomNo;
    u.Sex = user.Sex;
  }
}

std::optional<tovrik::protocol::SMALLUSERINFO> CStatusView::FindUser(std::string_view idCp949) const {
  for (const auto& u : users_)
    if (!idCp949.empty() && Held(u.ID) == idCp949) return u;
  return std::nullopt;
}

void CStatusView::Room_DelAll() {
  rooms_.clear();
  AddLine("rooms:");
}

void CStatusView::Room_InsItem(const tovrik::protocol::ROOMINFO& room) {
  const auto same = [&](const auto& r) { return r.RoomNo.get() == room.RoomNo.get(); };
  if (std::any_of(rooms_.begin(), rooms_.end(), same)) return;
  rooms_.push_back(room);
  AddLine(RoomLine(room));
}

void CStatusView::Room_DelItem(int roomNo) {
  std::erase_if(rooms_, [&](const auto& r) { return r.RoomNo.get() == roomNo; });
}

void CStatusView::Room_SetItem(const tovrik::protocol::SMALLROOMINFO& room) {
  for (auto& r : rooms_) {
    if (r.RoomNo.get() != room.RoomNo.get()) continue;
    tovrik::protocol::CopyAtMost(r.MasterID, Held(room.MasterID), 15);
    tovrik::protocol::CopyAtMost(r.MasterNick, Held(room.MasterNick), 19);
    r.UserCnt = room.UserCnt;
    r.MaxUser = room.MaxUser;
    r.Playing = room.Playing;
  }
}

void CStatusView::OnRoomUserInfo(const tovrik::protocol::GAMEINFO& game) {
  AddLine("[" + std::to_string(game.RI.RoomNo.get()) + "번방] " + Shown(game.UI[0].NickName) + " / " +
          Shown(game.UI[1].NickName));
}

void CStatusView::AddHideChatText(std::string_view lineCp949) {
  hiddenLog_.append(lineCp949);
  if (hiddenLog_.size() > kKeptHiddenLog)
    hiddenLog_.erase(0, hiddenLog_.size() - tovrik::protocol::Cp949Tail(hiddenLog_, kKeptHiddenLog).size());
}

void CStatusView::ShowCharacters(const tovrik::protocol::USERINFO& own, const tovrik::protocol::USERINFO* opponent) {
  AddLine("방: " + Shown(own.NickName) + (opponent ? " vs " + Shown(opponent->NickName) : std::string()));
}

void CStatusView::ShowInvitation(const tovrik::protocol::USERINFO& inviter, int roomNo, std::string_view textCp949) {
  AddLine("초대: " + Shown(inviter.NickName) + " [" + std::to_string(roomNo) + "번방] " + OneLineName(Cp949ToUtf8(textCp949)));
}

int CStatusView::ShowItemDialog(int page, int, int itemCode) {
  AddLine("아이템 창 " + std::to_string(page) + " (" + std::to_string(itemCode) + ")");
  return 2;
}

CStatusView::CStatusView() = default;

CStatusView::~CStatusView() { Destroy(); }

ClientScreens CStatusView::Screens() {
  return {this, this, this, &connectBox_, &closingBox_, this};
}

void CStatusView::OpenPcRoomService(int grade) { AddLine("PC방 서비스 등급 " + std::to_string(grade)); }

void CStatusView::ShowProfile(const tovrik::protocol::USERINFO& user, int) {
  AddLine("프로필: " + OneLineName(Cp949FieldToUtf8(std::span<const char>(user.NickName, sizeof user.NickName))) + " (" +
          std::to_string(user.Point.get()) + "점)");
}

int CStatusView::ShowEventNotice(int type) {
  AddLine("이벤트 안내 " + std::to_string(type));
  return IDCANCEL;
}

void CStatusView::SetStatus(std::string_view text) {
  status_ = text;
  base::Log(base::LogLevel::Info, "app", "status: ", status_);
  Invalidate();
}

void CStatusView::AddLine(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) line.pop_back();
  base::Log(base::LogLevel::Info, "app", line);
  lines_.push_back(std::move(line));
  while (lines_.size() > kKeptLines) lines_.pop_front();
  Invalidate();
}

void CStatusView::Chan_DelAll() { AddLine("channels:"); }

void CStatusView::Chan_InsItem(std::string_view displayNameCp949, const tovrik::protocol::CHANNELINFO& channel) {
  AddLine("  " + Cp949ToUtf8(displayNameCp949) + " (" + std::to_string(channel.UserCnt.get()) + "/" +
          std::to_string(channel.MaxUser.get()) + ")");
}

void CStatusView::NavigateWeb(std::string_view url) { AddLine("page: " + std::string(url)); }

void CStatusView::AddChat(std::string_view text, ChatColour, bool) {
  // A chat text may hold several lines.
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    AddLine(std::string(text.substr(start, end - start)));
    start = end + 1;
  }
}

void CStatusView::Box::Open(std::string_view text) {
  view_.boxText_ = text;
  view_.Invalidate();
}

void CStatusView::Box::Close() {
  view_.boxText_.clear();
  view_.Invalidate();
}

void CStatusView::OnPaint(PaintContext& pc) {
  pc.Fill(GetClientRect(), RgbColor{255, 255, 255});
  std::shared_ptr<Font> font = Font::Default();
  std::shared_ptr<Font> bold = Font::DefaultBold();
  if (!font || !bold) return;
  const PixelView& target = pc.Target();
  Point o = pc.Origin();
  int y = o.y + 12;
  TextOut(target, *bold, o.x + 12, y, status_, RgbColor{0, 0, 120}, pc.Clip());
  y += bold->LineHeight() + 4;
  if (!boxText_.empty()) {
    TextOut(target, *font, o.x + 12, y, boxText_, RgbColor{160, 0, 0}, pc.Clip());
    y += font->LineHeight() + 4;
  }
  for (const std::string& line : lines_) {
    TextOut(target, *font, o.x + 12, y, line, RgbColor{0, 0, 0}, pc.Clip());
    y += font->LineHeight() + 2;
  }
}

}  // namespace tovrik::app
