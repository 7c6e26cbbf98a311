#pragma once
// A plain view of where the client is (connecting, logging in, the lobby of
// a channel) and the last chat lines, standing in for the channel screen,
// the lobby, the game room and the progress boxes until they exist. Every
// change is also written to the log, so a run without a display tells the
// same story.

#include "app/Screens.h"
#include "platform/Window.h"

#include <deque>
#include <string>
#include <vector>

namespace tovrik::app {

class CStatusView final : public tovrik::platform::Window,
                          public IChannelScreen,
                          public ILobbyScreen,
                          public IGameRoomScreen,
                          public IPopupWindows {
 public:
  // The one object stands in for every screen; the progress boxes are two
  // small adapters writing into it.
  CStatusView();
  ~CStatusView() override;

  ClientScreens Screens();
  // The line at the top: where the client is.
  void SetStatus(std::string_view text);
  const std::string& Status() const { return status_; }
  const std::deque<std::string>& Lines() const { return lines_; }
  // The lists as the lobby would hold them.
  const std::vector<tovrik::protocol::SMALLUSERINFO>& Users() const { return users_; }
  const std::vector<tovrik::protocol::ROOMINFO>& Rooms() const { return rooms_; }
  // The hidden log, code page 949.
  const std::string& HiddenLog() const { return hiddenLog_; }

  void OnPaint(tovrik::platform::PaintContext& pc) override;

  // Every screen is this one view, so showing and hiding is not its business.
  void Show(bool) override {}
  void EnableRefresh(bool) override {}
  void EnableEnter(bool) override {}
  void EnableFindId(bool) override {}
  void Chan_DelAll() override;
  void Chan_InsItem(std::string_view displayNameCp949, const tovrik::protocol::CHANNELINFO& channel) override;
  void Chan_SelectLast() override {}
  void DismissProgress() override {}
  void NavigateWeb(std::string_view url) override;
  void CreateBanner() override {}
  void RemoveBanner() override {}

  void ClearInput(int) override {}
  void FocusChat() override {}
  void AddChat(std::string_view text, ChatColour colour, bool bold = false) override;
  void InitView() override {}
  // Asks the server for both lists, as the lobby's refresh does.
  void RefreshLists() override;
  void OpenBanner(std::string_view) override {}
  void SwitchToFullScreen() override {}
  void CheckNoInvite(bool checked) override { noInvite_ = checked; }
  void CheckNoWhisper(bool) override {}
  bool NoInviteChecked() const override { return noInvite_; }
  void DismissWaitBox() override {}
  void CancelWaitBox() override {}
  void User_DelAll() override;
  void User_InsItem(const tovrik::protocol::SMALLUSERINFO& user) override;
  void User_DelItem(int unum, std::string_view idCp949) override;
  void User_SetItem(const tovrik::protocol::SMALLUSERINFO& user) override;
  std::optional<tovrik::protocol::SMALLUSERINFO> FindUser(std::string_view idCp949) const override;
  void SortInviteList() override {}
  void Room_DelAll() override;
  void Room_InsItem(const tovrik::protocol::ROOMINFO& room) override;
  void Room_DelItem(int roomNo) override;
  void Room_SetItem(const tovrik::protocol::SMALLROOMINFO& room) override;
  void OnRoomUserInfo(const tovrik::protocol::GAMEINFO& game) override;
  void SetCharacter(const tovrik::protocol::USERINFO&) override {}
  void AddHideChatText(std::string_view lineCp949) override;

  void ResetGameView() override {}
  // Leaves the room at once (the room dialog's exit reserves the leave
  // during a game of one's own; the stand-in has no such dialog).
  void ExitRoom() override;
  void SetButtonState() override {}
  void ShowCharacters(const tovrik::protocol::USERINFO& own, const tovrik::protocol::USERINFO* opponent) override;
  void OnLeftRoom() override {}
  void StartPointUp() override {}
  void SetResetGameTimer() override {}
  void ClearResetGameTimer() override {}

  void SetProfileUrl(std::string_view) override {}
  void OpenPcRoomService(int grade) override;
  // The notice itself is not shown here: the player is taken to leave.
  int ShowEventNotice(int type) override;
  void ShowGameGrade() override {}
  void ShowProfile(const tovrik::protocol::USERINFO& user, int flag) override;
  void ShowMyItemBag() override {}
  // An invitation is written down; the player is taken to let it pass.
  void ShowInvitation(const tovrik::protocol::USERINFO& inviter, int roomNo, std::string_view textCp949) override;
  bool ItemDialogOpen() const override { return false; }
  void RefreshMyItems() override {}
  void CloseItemDialog() override {}
  int ShowItemDialog(int page, int value, int itemCode) override;

 private:
  class Box final : public IProgressBox {
   public:
    explicit Box(CStatusView& view) : view_(view) {}
    void Open(std::string_view text) override;
    void Close() override;

   private:
    CStatusView& view_;
  };

  void AddLine(std::string line);

  std::string status_;
  std::string boxText_;
  std::deque<std::string> lines_;
  std::vector<tovrik::protocol::SMALLUSERINFO> users_;
  std::vector<tovrik::protocol::ROOMINFO> rooms_;
  std::string hiddenLog_;
  bool noInvite_ = false;
  Box connectBox_{*this};
  Box closingBox_{*this};
};

}  // namespace tovrik::app
