#include "lobby/NoticeWindows.h"

#include "app/ClientDlg.h"
#include "app/ClientServices.h"
#include "app/ControllerState.h"
#include "base/Log.h"
#include "lobby/tables/NoticeTables.h"
#include "platform/EventLoop.h"
#include "portal/AvatarDLL.h"
#include "portal/SystemBrowser.h"
#include "sound/Sound.h"
#include "ui/UiSound.h"

#include <ctime>

namespace tovrik::lobby {

using namespace tovrik::platform;
namespace notice = tables::event_notice;

namespace {

constexpr int kClickEffect = 17;
constexpr RgbColor kMagenta{255, 0, 255};

void Click() { ui::UiSound().PlayEffect(kClickEffect, 100); }

// The portal common folder ("" when the portal is not installed).
std::string PortalCommonFolder() {
  char common[1024] = {};
  return portal::GetBaseAvatarDir(common) ? std::string(common) : std::string();
}

// A picture path of the portal's: "%s" at its start names the folder.
std::string InFolder(std::string_view format, const std::string& folder) {
  return folder + std::string(format.substr(2));
}

int TodayOfMonth() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_mday;
}

Window* MainWindow() {
  EventLoop* loop = EventLoop::Current();
  return loop ? loop->MainWindow() : nullptr;
}

}  // namespace

// --- PC-room greeting ------------------------------------------------------------

CPremServiceDlg::CPremServiceDlg() : Dialog(tables::kPremServiceDialog) {}

CPremServiceDlg::~CPremServiceDlg() { Destroy(); }

int CPremServiceDlg::Create(Window* owner, int pcRoomGrade) {
  if (IsCreated()) return 0;
  grade_ = pcRoomGrade;
  return CreateModeless(owner ? owner : MainWindow()) ? 1 : 0;
}

Window* CPremServiceDlg::ProvideControl(const controls::ControlSpec& spec) {
  return spec.id == tables::prem_service::kClose ? &closeButton_ : nullptr;
}

bool CPremServiceDlg::OnInitDialog() {
  const std::string common = PortalCommonFolder();
  commonFolder_ = common;
  const char* back = grade_ == 19   ? "%s\\Resource\\image\\BasicPremBack.bmp"
                     : grade_ == 20 ? "%s\\Resource\\image\\PlusPremBack.bmp"
                                    : nullptr;
  if (back && !common.empty() && picture_.LoadBitmapFile(InFolder(back, common)))
    picture_.ResizeWnd(*this, 0, 0, true, nullptr);
  else
    CenterInParent();
  BringWindowToTop();
  if (!common.empty()) closeButton_.Init(341, 7, InFolder("%s\\Resource\\image\\prem_close.bmp", common), 4, "");
  timer_ = SetTimer(kCloseTimer, kShowMs) ? kCloseTimer : 0;
  if (!common.empty()) sound::Sound.PlayPcRoomSound(grade_, common);
  return true;
}

// The close button (and the timer) ask to close; the close itself follows.
void CPremServiceDlg::OnOK() { PostMessage(WM_COMMAND, MakeWParam(IDCANCEL, 0), 0); }

void CPremServiceDlg::OnCancel() { Destroy(); }

LResult CPremServiceDlg::WindowProc(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case WM_TIMER:
      if (w == kCloseTimer) {
        KillTimer(kCloseTimer);
        timer_ = 0;
        PostMessage(WM_COMMAND, MakeWParam(IDOK, 0), 0);
        return 0;
      }
      break;
    case WM_KEYDOWN:
    case WM_RBUTTONDOWN:
      PostMessage(WM_COMMAND, MakeWParam(IDOK, 0), 0);
      return 0;
    case WM_LBUTTONDOWN:
      PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, l);
      return 0;
    case WM_DESTROY:
      if (timer_) KillTimer(timer_);
      timer_ = 0;
      sound::Sound.StopPcRoomSound(grade_);
      break;
    default: break;
  }
  return Dialog::WindowProc(msg, w, l);
}

void CPremServiceDlg::OnPaint(PaintContext& pc) {
  if (picture_.IsLoaded())
    picture_.BitBlt(pc);
  else
    Dialog::OnPaint(pc);
}

// --- Event notice -----------------------------------------------------------------

CEvent_NoticeDlg::CEvent_NoticeDlg(Window* owner, int type)
    : Dialog(tables::kEventNoticeDialog), owner_(owner), type_(type) {}

CEvent_NoticeDlg::~CEvent_NoticeDlg() { Destroy(); }

int CEvent_NoticeDlg::DoModal(int) {
  if (type_ == 0 && app::GetProfile_int(app::g_LoginID, kHideKey, 0) == TodayOfMonth()) return IDCANCEL;
  return Dialog::DoModal(owner_ ? owner_ : MainWindow());
}

Window* CEvent_NoticeDlg::ProvideControl(const controls::ControlSpec& spec) {
  for (size_t i = 0; i < std::size(notice::kControls); ++i)
    if (notice::kControls[i].id == spec.id) return &buttons_[i];
  return nullptr;
}

void CEvent_NoticeDlg::SkinType0() {
  if (background_.LoadBitmapFile(".\\image\\Event\\PeakTime_Back.bmp")) {
    background_.ResizeWnd(*this, 0, 0, true, nullptr);
    region_.SetWindowRgn(this, background_.View(), kMagenta, 0);
  }
  auto button = [this](int id) { return static_cast<ui::CMyButton*>(GetDlgItem(id)); };
  button(notice::kHideToday)->Init(2, 547, ".\\image\\Event\\NomoreToday.bmp", 4, "");
  button(notice::kClose)->Init(341, 547, ".\\image\\Event\\PeakTime_BtnClose.bmp", 4, "");
  button(notice::kEventDetails)->Init(127, 214, ".\\image\\Event\\PeakTime_BtnEventInfo.bmp", 4, "");
  button(notice::kPlayMore)->ShowWindow(false);
  button(notice::kGameView)->ShowWindow(false);
  for (int id : {notice::kSmallClose, notice::kMore1, notice::kMore2, notice::kMore3}) button(id)->EnableWindow(0);
}

void CEvent_NoticeDlg::SkinType3() {
  if (background_.LoadBitmapFile(".\\image\\Event\\GamePackLogout_Back.BMP")) {
    background_.ResizeWnd(*this, 0, 0, true, nullptr);
    region_.SetWindowRgn(this, background_.View(), kMagenta, 0);
  }
  auto button = [this](int id) { return static_cast<ui::CMyButton*>(GetDlgItem(id)); };
  button(notice::kPlayMore)->Init(86, 386, ".\\image\\Event\\GamePackLogout_Btn_PlayMore.bmp", 4, "");
  button(notice::kClose)->Init(159, 430, ".\\image\\Event\\GamePackLogin_Btn_Close.BMP", 4, "");
  button(notice::kGameView)->Init(203, 386, ".\\image\\Event\\GamePackLogout_Btn_gameview.bmp", 4, "");
  for (int id : {notice::kHideToday, notice::kSmallClose, notice::kEventDetails, notice::kMore1, notice::kMore2,
                 notice::kMore3}) {
    button(id)->EnableWindow(0);
    button(id)->ShowWindow(false);
  }
}

bool CEvent_NoticeDlg::OnInitDialog() {
  if (type_ == 3)
    SkinType3();
  else
    SkinType0();
  return true;
}

void CEvent_NoticeDlg::OnButton(int id) {
  Click();
  switch (id) {
    case notice::kHideToday:
      if (!app::WriteProfile_int(app::g_LoginID, kHideKey, TodayOfMonth()))
        base::Log(base::LogLevel::Warn, "lobby", "event notice: the choice to hide it today cannot be written");
      EndDialog(IDOK);
      break;
    case notice::kClose:
    case notice::kSmallClose: EndDialog(IDCANCEL); break;
    case notice::kEventDetails:
      g_OpenBrowser(kEventPage);
      EndDialog(IDOK);
      break;
    case notice::kPlayMore: EndDialog(IDOK); break;
    case notice::kGameView:
      if (app::CClientDlg* main = app::GetClientDlg()) main->BrowserMove(kOtherGamePage);
      EndDialog(IDOK);
      break;
    default: break;
  }
}

void CEvent_NoticeDlg::OnOK() {}  // Enter does nothing

void CEvent_NoticeDlg::OnCancel() { OnButton(notice::kClose); }

LResult CEvent_NoticeDlg::WindowProc(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case WM_COMMAND: {
      int id = static_cast<int>(w & 0xFFFF);
      if (id != IDCANCEL && controls::FindControl(tables::kEventNoticeDialog, id)) {
        OnButton(id);
        return 0;
      }
      break;
    }
    case WM_LBUTTONDOWN:
      PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, l);
      return 0;
    default: break;
  }
  return Dialog::WindowProc(msg, w, l);
}

void CEvent_NoticeDlg::OnPaint(PaintContext& pc) {
  if (background_.IsLoaded())
    background_.BitBlt(pc);
  else
    Dialog::OnPaint(pc);
}

// --- Game-rating mark ---------------------------------------------------------------

CGameGradeDlg::CGameGradeDlg() : Dialog(tables::kGameGradeDialog) {}

CGameGradeDlg::~CGameGradeDlg() { Destroy(); }

int CGameGradeDlg::Create(Window* owner, int xOffset, int yOffset, int kind) {
  if (IsCreated()) return 0;
  kind_ = kind;
  xOffset_ = xOffset;
  yOffset_ = yOffset;
  return CreateModeless(owner ? owner : MainWindow(), Point{0, 0}) ? 1 : 0;
}

bool CGameGradeDlg::OnInitDialog() {
  if (kind_ == 1 && mark_.LoadBitmapFile(".\\image\\game_grade.bmp"))
    region_.SetWindowRgn(this, mark_.View(), kMagenta, 0x101010);
  Rect at = GetWindowRect();
  int width = mark_.IsLoaded() ? mark_.GetWidth() : at.Width();
  int height = mark_.IsLoaded() ? mark_.GetHeight() : at.Height();
  MoveWindow(Rect::FromSize(at.left + xOffset_, at.top + yOffset_, width, height));
  timer_ = SetTimer(kCloseTimer, kShowMs) ? kCloseTimer : 0;
  return false;  // the mark takes no focus
}

void CGameGradeDlg::MoveDlg(int x, int y) {
  if (!IsCreated() || !mark_.IsLoaded()) return;
  MoveWindow(Rect::FromSize(x + xOffset_, y + yOffset_, mark_.GetWidth(), mark_.GetHeight()));
}

void CGameGradeDlg::OnOK() { PostMessage(WM_COMMAND, MakeWParam(IDCANCEL, 0), 0); }

void CGameGradeDlg::OnCancel() { Destroy(); }

LResult CGameGradeDlg::WindowProc(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case WM_TIMER:
      if (w == kCloseTimer) {
        KillTimer(kCloseTimer);
        timer_ = 0;
        PostMessage(WM_COMMAND, MakeWParam(IDOK, 0), 0);
        return 0;
      }
      break;
    case WM_DESTROY:
      if (timer_) KillTimer(timer_);
      timer_ = 0;
      mark_.Release();
      break;
    default: break;
  }
  return Dialog::WindowProc(msg, w, l);
}

void CGameGradeDlg::OnPaint(PaintContext& pc) {
  if (mark_.IsLoaded()) mark_.BitBlt(pc);
}

}  // namespace tovrik::lobby
