#include "ui/CJFlatComboBox.h"

#include "controls/Look.h"

namespace tovrik::ui {
using platform::LParam;
using platform::MsgId;
using platform::Rect;
using platform::RgbColor;
using platform::WParam;

namespace {

void Frame(platform::PaintContext& pc, Rect r, RgbColor colour) {
  pc.Fill({r.left, r.top, r.right, r.top + 1}, colour);
  pc.Fill({r.left, r.bottom - 1, r.right, r.bottom}, colour);
  pc.Fill({r.left, r.top, r.left + 1, r.bottom}, colour);
  pc.Fill({r.right - 1, r.top, r.right, r.bottom}, colour);
}

// Top and left in `topLeft`, bottom and right in `bottomRight` (Draw3dRect).
void Frame3d(platform::PaintContext& pc, Rect r, RgbColor topLeft, RgbColor bottomRight) {
  pc.Fill({r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  pc.Fill({r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
  pc.Fill({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
  pc.Fill({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

Rect Deflate(Rect r, int by) { return {r.left + by, r.top + by, r.right - by, r.bottom - by}; }

}  // namespace

CCJFlatComboBox::DrawState CCJFlatComboBox::StateOf(const FaceState& state) {
  const bool raised = state.hot || state.focused;
  if (raised && state.pressed) return kSunken;
  return raised ? kRaised : kFlat;
}

CCJFlatComboBox::DrawState CCJFlatComboBox::CurrentDrawState() const { return StateOf(CurrentFace()); }

void CCJFlatComboBox::DrawFace(platform::PaintContext& pc, const FaceState& state) {
  ComboBox::DrawFace(pc, state);
  DrawCombo(pc, state, StateOf(state));
}

void CCJFlatComboBox::DrawCombo(platform::PaintContext& pc, const FaceState& state, DrawState look) const {
  const Rect client = GetClientRect();
  const RgbColor window = state.enabled ? controls::SystemColours::kWindow : normal_;
  Frame3d(pc, client, shadow_, highlight_);
  Frame(pc, Deflate(client, 1), window);
  Frame(pc, Deflate(client, 2), window);
  // The drop button's well.
  Rect button = state.button;
  Frame(pc, button, window);
  if (!state.enabled) return;
  button = Deflate(button, 1);
  switch (look) {
    case kFlat:
      Frame(pc, button, window);
      break;
    case kRaised:
      Frame3d(pc, button, highlight_, shadow_);
      break;
    case kSunken:
      Frame3d(pc, button.Offset(1, 1), shadow_, highlight_);
      break;
  }
}

bool CCJFlatComboBox::PreTranslateMessage(MsgId msg, WParam w, LParam l) {
  if (msg == platform::WM_SYSCHAR) return true;
  if (msg == platform::WM_KEYDOWN) eraseKey_ = w == platform::VK_BACK || w == platform::VK_DELETE;
  return ComboBox::PreTranslateMessage(msg, w, l);
}

void CCJFlatComboBox::OnEditUpdate() {
  if (autoComplete_ && !eraseKey_) {
    const std::string typed = GetText();
    const controls::Edit::Selection selection = GetEditSel();
    const int found = typed.empty() ? controls::CB_ERR : FindString(-1, typed);
    if (found != controls::CB_ERR) {
      const std::string completed = GetLBText(found);
      SetCurSel(found);
      SetText(completed);
      const bool caretAtEnd = selection.end >= typed.size() || selection.start == selection.end;
      if (caretAtEnd) {
        SetEditSel(static_cast<int>(typed.size()), static_cast<int>(completed.size()));
      } else {
        SetEditSel(static_cast<int>(selection.start), static_cast<int>(selection.end));
      }
    }
  }
  eraseKey_ = false;
  ComboBox::OnEditUpdate();
}

}  // namespace tovrik::ui
