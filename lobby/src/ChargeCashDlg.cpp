#include "lobby/ChargeCashDlg.h"

#include "app/ControllerState.h"
#include "base/Log.h"
#include "lobby/tables/GameItemTables.h"
#include "platform/EventLoop.h"

namespace tovrik::lobby {

using namespace tovrik::platform;
using namespace tovrik::app;
namespace charge = tables::charge_cash;

namespace {
CChargeCashDlg* g_openChargeWindow = nullptr;
}

CChargeCashDlg::CChargeCashDlg(portal::CSSOWebLibMan& library)
    : Dialog(tables::kChargeCashDialog), library_(library) {}

CChargeCashDlg::~CChargeCashDlg() {
  browser_.reset();
  Destroy();
  if (g_openChargeWindow == this) g_openChargeWindow = nullptr;
}

CChargeCashDlg* CChargeCashDlg::OpenWindow() { return g_openChargeWindow; }

int CChargeCashDlg::DoModal(Window* owner) {
  EventLoop* loop = EventLoop::Current();
  if (!owner && loop) owner = loop->MainWindow();
  return Dialog::DoModal(owner);
}

Window* CChargeCashDlg::ProvideControl(const controls::ControlSpec& spec) {
  return spec.id == charge::kClose ? &closeButton_ : nullptr;
}

bool CChargeCashDlg::OnInitDialog() {
  if (background_.LoadBitmapFile(".\\image\\gameitem\\ChargeCashDlgBack.bmp")) {
    background_.ResizeWnd(*this, 0, 0, true, nullptr);
    region_.SetWindowRgn(this, background_.View(), {255, 0, 255}, 0);
  } else {
    base::Log(base::LogLevel::Warn, "lobby", "charging window: no background picture; the template size stays");
  }
  closeButton_.Init(466, 2, ".\\image\\gameitem\\ChargeCashDlgBtnClose.bmp", 4, "");
  auto browser = std::make_unique<portal::CSSOWebBrowser>(library_);
  const std::array<int, 4> rect{charge::kPageLeft, charge::kPageTop, charge::kPageRight, charge::kPageBottom};
  if (browser->Create(WS_VISIBLE, rect, this, charge::kPageId)) browser_ = std::move(browser);
  g_openChargeWindow = this;
  if (browser_) {
    browser_->Navigate(g_CashURL);
    browser_->SetCallback_OnQuit(&CChargeCashDlg::WebClose);
  }
  PlaceOnScreen();
  return true;
}

void CChargeCashDlg::PlaceOnScreen() {
  CenterInParent();
  // A parent shorter than the window: the top edge (and the close button)
  // stays in sight.
  Rect at = GetWindowRect();
  if (at.top < 0) MoveWindow(Rect::FromSize(at.left, 0, at.Width(), at.Height()));
}

void CChargeCashDlg::WebClose() {
  if (g_openChargeWindow) g_openChargeWindow->PostMessage(WM_COMMAND, MakeWParam(charge::kClose, 0), 0);
}

int CChargeCashDlg::SafeClose() {
  if (!IsCreated()) return 0;
  SendMessage(WM_COMMAND, MakeWParam(charge::kClose, 0), 0);
  return 1;
}

void CChargeCashDlg::OnCancel() {
  if (EventLoop* loop = EventLoop::Current(); loop && loop->MainWindow()) loop->MainWindow()->SetFocus();
  EndDialog(IDCANCEL);
}

LResult CChargeCashDlg::WindowProc(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, l);
      return 0;
    case WM_DESTROY:
      browser_.reset();
      if (g_openChargeWindow == this) g_openChargeWindow = nullptr;
      break;
    default: break;
  }
  return Dialog::WindowProc(msg, w, l);
}

void CChargeCashDlg::OnPaint(PaintContext& pc) {
  if (background_.IsLoaded())
    background_.BitBlt(pc);
  else
    Dialog::OnPaint(pc);
}

}  // namespace tovrik::lobby
