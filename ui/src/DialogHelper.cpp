#include "ui/DialogHelper.h"

#include "platform/EventLoop.h"
#include "platform/MessageBox.h"
#include "platform/PathResolver.h"
#include "ui/UiMessageBox.h"

namespace tovrik::ui {
using platform::LParam;
using platform::MsgId;
using platform::WParam;

namespace {

std::uintptr_t g_nextTimerId = CDialogHelper::kFirstTimerId;

// Sprite sets loaded for a skin keep the pixel layout they were stored in.
constexpr int kKeepStoredLayout = 16;
// Corner-key shaping of the page; the tolerance is the one the dialogs pass.
constexpr int kRegionTolerance = 0x101010;

void ReportUnreadable(std::string_view path) {
  UiMessageBox(std::string(path) + " 파일을 읽을 수 없습니다", platform::MB_OK);
}

}  // namespace

void CDialogHelper::ResetTimerIdsForTests() { g_nextTimerId = kFirstTimerId; }

CDialogHelper::~CDialogHelper() {
  StopTimer();
  RemoveAllButton();
}

platform::Window* CDialogHelper::Dialog() const {
  platform::EventLoop* loop = platform::EventLoop::Current();
  return loop ? loop->FromHandle(dialog_) : nullptr;
}

void CDialogHelper::StopTimer() {
  if (platform::Window* dialog = Dialog(); dialog && timerId_) dialog->KillTimer(timerId_);
}

void CDialogHelper::Init(platform::Window* dialog, std::string_view backgroundPath) {
  if (!dialog) return;
  RemoveAllButton();
  if (!backgroundPath.empty()) {
    draggable_ = 1;
    auto background = std::make_unique<gfx::xSprite>();
    if (!background->Load(platform::ResolvePath(backgroundPath), kKeepStoredLayout) || !background->Frame(0)) {
      ReportUnreadable(backgroundPath);
      return;
    }
    background_ = std::move(background);
  }
  if (!background_ || !background_->Frame(0)) return;
  StopTimer();
  dialog_ = dialog->Handle();
  const gfx::SPRITE30& frame = *background_->Frame(0);
  dialog->MoveWindow(platform::Rect::FromSize(0, 0, frame.width, frame.height));
  dialog->CenterInParent();
  page_.Init(frame.width, frame.height, 16);
  DrawBackground();
  if (useRegion_) region_.SetWindowRgn(dialog, page_.View(), {0, 0, 0}, kRegionTolerance);
  timerId_ = g_nextTimerId++;
  dialog->SetTimer(timerId_, kRedrawMs);
}

void CDialogHelper::DrawBackground() {
  if (background_ && page_.Bits16()) page_.PutSprAuto(0, 0, background_.get(), 0);
}

const gfx::xSprite* CDialogHelper::LoadSprite(std::string_view path) {
  if (auto it = sprites_.find(path); it != sprites_.end()) return it->second.get();
  auto set = std::make_unique<gfx::xSprite>();
  if (!set->Load(platform::ResolvePath(path), 555)) ReportUnreadable(path);
  return sprites_.emplace(std::string(path), std::move(set)).first->second.get();
}

CGraphButton* CDialogHelper::AddButton(std::string_view path, int x, int y, int buttonIndex, int commandId) {
  const gfx::xSprite* set = LoadSprite(path);
  return buttons_.Add(std::make_unique<CGraphButton>(), Dialog(), &page_, x, y, set, buttonIndex, commandId, 4, 0);
}

void CDialogHelper::RemoveAllButton() {
  buttons_.Init();
  sprites_.clear();
}

void CDialogHelper::Draw(platform::PaintContext& pc) {
  if (!page_.Bits16()) return;
  DrawBackground();
  buttons_.Draw();
  pc.Blit(0, 0, page_.View());
}

int CDialogHelper::MessageProc(MsgId msg, WParam w, LParam l) {
  const int x = platform::GetXLParam(l), y = platform::GetYLParam(l);
  switch (msg) {
    case platform::WM_TIMER:
      if (w == timerId_ && timerId_) {
        if (redrawButtonsOnly_) {
          buttons_.Invalidate();
        } else if (platform::Window* dialog = Dialog()) {
          dialog->Invalidate();
        }
      }
      return 0;
    case platform::WM_MOUSEMOVE:
      buttons_.OnMouseMove(x, y);
      return 0;
    case platform::WM_LBUTTONDOWN: {
      if (buttons_.OnLButtonDown(x, y)) return 1;
      platform::Window* dialog = Dialog();
      if (!dialog || !draggable_) return 1;
      // Sent, not posted: the drag starts from the press, before any later
      // movement of the pointer is seen.
      dialog->SendMessage(platform::WM_NCLBUTTONDOWN, platform::HTCAPTION, l);
      return 0;
    }
    case platform::WM_LBUTTONUP:
      return buttons_.OnLButtonUp(x, y) ? 1 : 0;
    default:
      return 0;
  }
}

}  // namespace tovrik::ui
