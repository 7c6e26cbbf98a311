#pragma once
// The cash charging window: the operator's charge page in a skinned frame,
// run modally from the item window. The page closing its window closes the
// charging window.

#include "controls/Dialog.h"
#include "portal/SSOWebLib.h"
#include "ui/BitmapRegion.h"
#include "ui/MyBitmap.h"
#include "ui/MyButton.h"

#include <memory>

namespace tovrik::lobby {

class CChargeCashDlg : public controls::Dialog {
 public:
  explicit CChargeCashDlg(portal::CSSOWebLibMan& library = portal::g_SSOWebLibMan);
  ~CChargeCashDlg() override;

  // Runs modally over `owner` (the main window when null).
  int DoModal(platform::Window* owner = nullptr);
  // 1 when an open window was told to close.
  int SafeClose();
  // Closes the charging window that is open (the page's quit callback).
  static void WebClose();
  static CChargeCashDlg* OpenWindow();

  portal::CSSOWebBrowser* Browser() const { return browser_.get(); }

  platform::LResult WindowProc(platform::MsgId msg, platform::WParam w, platform::LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 protected:
  bool OnInitDialog() override;
  void OnCancel() override;
  platform::Window* ProvideControl(const controls::ControlSpec& spec) override;

 private:
  void PlaceOnScreen();

  portal::CSSOWebLibMan& library_;
  std::unique_ptr<portal::CSSOWebBrowser> browser_;
  ui::CMyBitmap background_;
  ui::CBmpRegion region_;
  ui::CMyButton closeButton_;
};

}  // namespace tovrik::lobby
