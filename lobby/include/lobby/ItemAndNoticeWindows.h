#pragma once
// The item shop and notice windows the controller opens: the main
// window's item window (modeless item bag, modal openings for the server's
// item messages), the PC-room greeting, the event notice and the
// game-rating mark. The popup windows of the screen set forward here.

#include "lobby/NewGameItemDlg.h"
#include "lobby/NoticeWindows.h"

namespace tovrik::lobby {

class CItemAndNoticeWindows {
 public:
  static constexpr int kGradeX = 735, kGradeY = 33;

  explicit CItemAndNoticeWindows(portal::CSSOWebLibMan& library = portal::g_SSOWebLibMan);
  ~CItemAndNoticeWindows();
  CItemAndNoticeWindows(const CItemAndNoticeWindows&) = delete;
  CItemAndNoticeWindows& operator=(const CItemAndNoticeWindows&) = delete;

  void OpenPcRoomService(int grade);
  int ShowEventNotice(int type);
  void ShowGameGrade();
  void ShowMyItemBag();
  bool ItemDialogOpen() const;
  void RefreshMyItems();
  void CloseItemDialog();
  int ShowItemDialog(int page, int value, int itemCode);

  CNewGameItemDlg& ItemDialog() { return item_; }
  CPremServiceDlg& PremService() { return premService_; }
  CGameGradeDlg& GameGrade() { return gameGrade_; }

 private:
  CNewGameItemDlg item_;
  CPremServiceDlg premService_;
  CGameGradeDlg gameGrade_;
};

}  // namespace tovrik::lobby
