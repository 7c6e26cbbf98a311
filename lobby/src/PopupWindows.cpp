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

void CPopupWindows::OpenPcRoomService(int grade) { Note("PC방 서비스 등급 " + std::to_string(grade)); }

int CPopupWindows::ShowEventNotice(int type) {
  Note("이벤트 안내 " + std::to_string(type));
  return platform::IDCANCEL;
}

void CPopupWindows::ShowGameGrade() {}

void CPopupWindows::ShowMyItemBag() {}

int CPopupWindows::ShowItemDialog(int page, int, int itemCode) {
  Note("아이템 창 " + std::to_string(page) + " (" + std::to_string(itemCode) + ")");
  return 2;
}

}  // namespace tovrik::lobby
