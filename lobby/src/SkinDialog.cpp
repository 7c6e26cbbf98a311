#include "lobby/SkinDialog.h"

#include "app/ClientDlg.h"
#include "base/Log.h"
#include "ui/BitmapRegion.h"

#include <algorithm>

namespace tovrik::lobby {
using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::WParam;

namespace {
// The transparent colour of the dialog backgrounds.
constexpr platform::RgbColor kMagenta{255, 0, 255};
constexpr int kButtonStates = 4;
}  // namespace

void PlayClickEffect() {
  if (app::CClientDlg* dlg = app::GetClientDlg()) dlg->PlayEffect(kClickEffect);
}

CSkinDialog::CSkinDialog(const controls::DialogTemplate& dialogTemplate, std::string backgroundPath)
    : Dialog(dialogTemplate), backgroundPath_(std::move(backgroundPath)) {}

CSkinDialog::~CSkinDialog() { Destroy(); }

void CSkinDialog::SetButtonImage(int id, std::string imagePath) { buttonImages_.push_back({id, std::move(imagePath)}); }

ui::CMyButton* CSkinDialog::SkinButton(int id) const {
  for (const auto& button : buttons_)
    if (button->IsCreated() && button->Id() == id) return button.get();
  return nullptr;
}

platform::Window* CSkinDialog::ProvideControl(const controls::ControlSpec& spec) {
  const bool skinned = std::any_of(buttonImages_.begin(), buttonImages_.end(),
                                   [&](const ButtonImage& image) { return image.id == spec.id; });
  if (!skinned) return nullptr;
  buttons_.push_back(std::make_unique<ui::CMyButton>(std::string(spec.caption), spec.style));
  return buttons_.back().get();
}

bool CSkinDialog::OnInitDialog() {
  if (background_.LoadBitmapFile(backgroundPath_)) {
    background_.ResizeWnd(*this, 0, 0, true, nullptr);
    ui::CBmpRegion shape;
    shape.SetWindowRgn(this, background_.View(), kMagenta, 0);
  } else {
    // Still usable without its picture: the controls stand where the table
    // puts them on a plain face.
    base::Log(base::LogLevel::Warn, "lobby", "dialog ", Template().name, ": no background ", backgroundPath_);
  }
  for (const ButtonImage& image : buttonImages_) {
    ui::CMyButton* button = SkinButton(image.id);
    const controls::ControlSpec* spec = controls::FindControl(Template(), image.id);
    if (button && spec) button->Init(spec->rect.x, spec->rect.y, image.path, kButtonStates, "");
  }
  return true;
}

LResult CSkinDialog::WindowProc(MsgId msg, WParam w, LParam l) {
  if (msg == platform::WM_LBUTTONDOWN) {
    SendMessage(platform::WM_NCLBUTTONDOWN, platform::HTCAPTION, l);
    return 0;
  }
  if (msg == platform::WM_COMMAND && platform::HighWord(w) == 0 && SkinButton(static_cast<int>(platform::LowWord(w))))
    PlayClickEffect();
  return Dialog::WindowProc(msg, w, l);
}

void CSkinDialog::OnPaint(platform::PaintContext& pc) {
  if (background_.IsLoaded()) background_.BitBlt(pc);
  else Dialog::OnPaint(pc);
  PaintContents(pc);
}

}  // namespace tovrik::lobby
