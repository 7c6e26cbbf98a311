#include "lobby/ItemAndNoticeWindows.h"

namespace tovrik::lobby {

CItemAndNoticeWindows::CItemAndNoticeWindows(portal::CSSOWebLibMan& library) : item_(library) {
  CNewGameItemDlg::SetMainWindowObject(&item_);
}

CItemAndNoticeWindows::~CItemAndNoticeWindows() {
  if (CNewGameItemDlg::MainWindowObject() == &item_) CNewGameItemDlg::SetMainWindowObject(nullptr);
}

void CItemAndNoticeWindows::OpenPcRoomService(int grade) {
  if (grade != 0) premService_.Create(nullptr, grade);
}

int CItemAndNoticeWindows::ShowEventNotice(int type) {
  CEvent_NoticeDlg notice(nullptr, type);
  return notice.DoModal(0);
}

void CItemAndNoticeWindows::ShowGameGrade() { gameGrade_.Create(nullptr, kGradeX, kGradeY, 1); }

void CItemAndNoticeWindows::ShowMyItemBag() {
  if (!item_.IsOpen()) item_.DoModaless(1, 0, 0, 1);
}

bool CItemAndNoticeWindows::ItemDialogOpen() const { return item_.IsOpen(); }

void CItemAndNoticeWindows::RefreshMyItems() { item_.RefreshMyItem(); }

void CItemAndNoticeWindows::CloseItemDialog() { item_.SafeClose(); }

int CItemAndNoticeWindows::ShowItemDialog(int page, int value, int itemCode) {
  // One window at a time: a modeless item bag gives way to the modal opening.
  item_.SafeClose();
  return item_.DoModal(page, value, itemCode);
}

}  // namespace tovrik::lobby
