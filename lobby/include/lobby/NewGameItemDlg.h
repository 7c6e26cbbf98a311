#pragma once
// The item window: the operator's item shop (page 1 functional items, 2
// the player's own items, 3 cash charging) as web pages in one skinned
// frame, with a page button each. The shop's pages report purchases and
// item use by navigating to "Status=" addresses, which the window cancels
// and acts on (ItemPageEvent.h). One object serves the main window for the
// whole run; its window is made and destroyed with each opening, modal (a
// server's item message) or modeless (the item bag).

#include "controls/Dialog.h"
#include "lobby/ItemPageEvent.h"
#include "portal/SSOWebLib.h"
#include "ui/BitmapRegion.h"
#include "ui/MyBitmap.h"
#include "ui/MyButton.h"

#include <array>
#include <memory>
#include <string>

namespace tovrik::lobby {

// The page events last seen (0 at start).
extern int g_SSO_WEB_nStatus;
extern int g_SSO_WEB_nItemno;
extern int g_SSO_WEB_nItemCode;
extern int g_SSO_WEB_nType;

class CNewGameItemDlg : public controls::Dialog {
 public:
  static constexpr int kPageCount = 4;  // page 0 exists but is never opened
  static constexpr int kResultClosed = 2;
  static constexpr const char* kReloadScript = "self.location.href = self.location.href";

  explicit CNewGameItemDlg(portal::CSSOWebLibMan& library = portal::g_SSOWebLibMan);
  ~CNewGameItemDlg() override;

  // Runs the window modally on `page`; the default code is kept for later
  // openings. 2 when it was closed with its close button.
  int DoModal(int page, int value, int defaultItemCode);
  // Opens the window modeless (over the main window); 0 when it is already
  // open or cannot be made.
  int DoModaless(int page, int value, int unused, int ownerFlag);
  void ShowTab(int page, int force);
  void ItemShopNavigate(const std::string& address, int page, int force);
  void CreateSSOWebGameItem(int page);
  void RefreshMyItem();
  void NowUse(int itemCode, int itemNo, const std::string& mode, int gameCode);
  // 1 when an open window was told to close.
  int SafeClose();
  // The page script's window.external.ShowChargeCashDlg(): the charging
  // window, then the shown page reloads.
  void ShowChargeCashDlg();

  bool IsOpen() const { return IsCreated(); }
  int CurrentPage() const { return page_; }
  int DefaultItemCode() const { return defaultItemCode_; }
  bool RefreshPending() const { return refreshMyItems_ != 0; }
  bool IsModal() const { return modal_ != 0; }
  portal::CSSOWebBrowser* Browser(int page) const;
  const std::string& PageAddress(int page) const;

  // The main window's object, which the pages' events reach.
  static CNewGameItemDlg* MainWindowObject();
  static void SetMainWindowObject(CNewGameItemDlg* dialog);
  // Acts on one navigation of an item page; true cancels it.
  static bool HandlePageNavigation(std::string_view address);
  // Runs the charging window (a test may replace it).
  using ChargeRunner = int (*)(platform::Window* owner);
  static void SetChargeRunner(ChargeRunner runner);

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 protected:
  bool OnInitDialog() override;
  void OnCancel() override;
  platform::Window* ProvideControl(const controls::ControlSpec& spec) override;

 private:
  static bool ValidPage(int page) { return page >= 0 && page < kPageCount; }
  void ResetState(int modal, int page, int value);
  void SkinButtons();
  void EnablePageButtons();
  void DisablePageButton(int page);
  void ShowOnly(int page);
  void OnCommand(int id);
  void Close();
  std::string ItemUseAddress(int itemCode, int itemNo, const std::string& mode, int gameCode) const;

  portal::CSSOWebLibMan& library_;
  int modal_ = 0;
  int page_ = 1;
  int value_ = 0;
  int defaultItemCode_ = 0;
  int refreshMyItems_ = 0;
  std::array<std::string, kPageCount> addresses_;
  std::array<std::unique_ptr<portal::CSSOWebBrowser>, kPageCount> browsers_;
  ui::CMyBitmap background_;
  ui::CBmpRegion region_;
  ui::CMyButton functionalButton_, myItemButton_, chargeButton_, closeButton_, collectButton_;
  SSO_External external_{};
};

}  // namespace tovrik::lobby
