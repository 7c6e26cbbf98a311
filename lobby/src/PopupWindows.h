#pragma once
// The windows the controller opens over the screens, one forwarder to the
// dialogs that show them. Each dialog keeps its own state; this class only
// hands the controller's calls on.

#include <string>

#include "app/Screens.h"
#include "lobby/ItemAndNoticeWindows.h"

namespace tovrik::lobby {

class CPopupWindows final : public app::IPopupWindows {
 public:
  CPopupWindows();
  ~CPopupWindows() override;
  CPopupWindows(const CPopupWindows&) = delete;
  CPopupWindows& operator=(const CPopupWindows&) = delete;

  // --- Profiles and invitations -------------------------------------------------
  void SetProfileUrl(std::string_view url) override;
  const std::string& ProfileUrl() const { return profileUrl_; }
  void ShowProfile(const protocol::USERINFO& user, int flag) override;
  void ShowInvitation(const protocol::USERINFO& inviter, int roomNo, std::string_view textCp949) override;

  // --- Portal windows (the item shop and the notices) ----------------------------
  void OpenPcRoomService(int grade) override;
  // IDCANCEL: the player closed the notice (on leaving, the exit goes on).
  int ShowEventNotice(int type) override;
  void ShowGameGrade() override;
  void ShowMyItemBag() override;
  bool ItemDialogOpen() const override { return shop_.ItemDialogOpen(); }
  void RefreshMyItems() override { shop_.RefreshMyItems(); }
  void CloseItemDialog() override { shop_.CloseItemDialog(); }
  // 2 when the item window was closed with its close button.
  int ShowItemDialog(int page, int value, int itemCode) override;

 private:
  std::string profileUrl_;
  CItemAndNoticeWindows shop_;
};

}  // namespace tovrik::lobby
