#include "ui/DialogCtrlReposition.h"

namespace tovrik::ui {
using platform::Rect;

namespace {

int Scale(int v, float rate) { return static_cast<int>(static_cast<float>(v) * rate); }

void RepositionChildren(const CDialogCtrlReposition& reposition, platform::Window& window) {
  // A copy: moving a child may make it reorder or create others.
  const std::vector<platform::Window*> children = window.Children();
  for (platform::Window* child : children) {
    reposition.CtrlPos(*child);
    RepositionChildren(reposition, *child);
  }
}

}  // namespace

std::optional<Rect> CDialogCtrlReposition::LayoutMachineMapping(const platform::Window&, Rect units) {
  auto x = [](int v) { return v * kReferenceRect.Width() / kBaseRect.Width(); };
  auto y = [](int v) { return v * kReferenceRect.Height() / kBaseRect.Height(); };
  return Rect{x(units.left), y(units.top), x(units.right), y(units.bottom)};
}

// The reference size belongs to 1000 units; a base of other units scales it.
float CDialogCtrlReposition::Rate(int referencePixels, int baseUnits, int mappedPixels) {
  if (mappedPixels == 0 || baseUnits == 0) return 1.0f;
  return (static_cast<float>(referencePixels) / 1000.0f) /
         (static_cast<float>(mappedPixels) / static_cast<float>(baseUnits));
}

void CDialogCtrlReposition::SetRate(const Rect& mappedBase) {
  rateX_ = Rate(kReferenceRect.Width(), base_.Width(), mappedBase.Width());
  rateY_ = Rate(kReferenceRect.Height(), base_.Height(), mappedBase.Height());
}

Rect CDialogCtrlReposition::GetRect(const Rect& rect) const {
  return {Scale(rect.left, rateX_), Scale(rect.top, rateY_), Scale(rect.right, rateX_), Scale(rect.bottom, rateY_)};
}

void CDialogCtrlReposition::CtrlPos(platform::Window& control) const { control.MoveWindow(GetRect(control.GetWindowRect())); }

void CDialogCtrlReposition::Reposition(platform::Window& dialog, bool resize) {
  const std::optional<Rect> mapped = mapper_ ? mapper_(dialog, base_) : std::nullopt;
  if (!mapped) return;
  SetRate(*mapped);
  if (rateX_ == 1.0f && rateY_ == 1.0f) return;
  if (resize) {
    // Our windows have no borders: the window is its client area.
    const Rect client = GetRect(dialog.GetClientRect());
    const Rect at = dialog.GetWindowRect();
    dialog.MoveWindow(Rect::FromSize(at.left, at.top, client.Width(), client.Height()));
  }
  RepositionChildren(*this, dialog);
}

}  // namespace tovrik::ui
