#include "PopupWindows.h"

#include "base/CodePage.h"
#include "base/Log.h"
#include "platform/MessageBox.h"

#include <span>

namespace tovrik::lobby {

namespace {

// A record's nickname, for the log.
std::string Nick(const protocol::USERINFO& user) {
  return base::Cp949FieldToUtf8(std::span<const char>(user.NickName, sizeof user.NickName));
}

void Note(const std::string& line) { base::Log(base::LogLevel::Info, "lobby", line); }

}  // namespace

CPopupWindows::CPopupWindows() = default;

CPopupWindows::~CPopupWindows() = default;

void CPopupWindows::SetProfileUrl(std::string_view url) { profileUrl_ = std::string(url); }

void CPopupWindows::ShowProfile(const protocol::USERINFO& user, int flag) {
  Note("프로필: " + Nick(user) + (flag == 1 ? " (보기 전용)" : ""));
}

void CPopupWindows::ShowInvitation(const protocol::USERINFO& inviter, int roomNo, std::string_view) {
  Note("초대: " + Nick(inviter) + " [" + std::to_string(roomNo) + "번방]");
}

void CPopupWindows::OpenPcRoomService(int grade) { shop_.OpenPcRoomService(grade); }

int CPopupWindows::ShowEventNotice(int type) { return shop_.ShowEventNotice(type); }

void CPopupWindows::ShowGameGrade() { shop_.ShowGameGrade(); }

void CPopupWindows::ShowMyItemBag() { shop_.ShowMyItemBag(); }

int CPopupWindows::ShowItemDialog(int page, int value, int itemCode) {
  return shop_.ShowItemDialog(page, value, itemCode);
}

}  // namespace tovrik::lobby
