#include "controls/Button.h"

#include "controls/Look.h"
#include "platform/EventLoop.h"

namespace tovrik::controls {
using platform::GetXLParam;
using platform::GetYLParam;
using platform::PaintContext;
using platform::Rect;
using platform::Window;
namespace msg = platform;

namespace {
constexpr int kMarkSize = 13;
}

void Button::SetCheck(int check) {
  const bool value = check != 0;
  if (value == checked_) return;
  checked_ = value;
  Invalidate();
}

void Button::Click() {
  const platform::WindowHandle handle = Handle();
  OnClicked();
  if (platform::EventLoop::Current() && platform::EventLoop::Current()->FromHandle(handle) == this)
    NotifyParent(*this, BN_CLICKED);
}

void Button::OnClicked() {
  if (Kind() == BS_AUTOCHECKBOX) SetCheck(!checked_);
  if (Kind() == BS_AUTORADIOBUTTON) {
    UncheckGroupSiblings();
    SetCheck(1);
  }
}

// The group of a radio button: the siblings from the nearest one at or
// before it with WS_GROUP up to the next one with WS_GROUP.
void Button::UncheckGroupSiblings() {
  if (!Parent()) return;
  const auto& siblings = Parent()->Children();
  auto self = std::find(siblings.begin(), siblings.end(), static_cast<Window*>(this));
  if (self == siblings.end()) return;
  auto startsGroup = [](Window* w) {
    auto* control = dynamic_cast<Control*>(w);
    return control && (control->Style() & WS_GROUP);
  };
  auto first = self;
  while (first != siblings.begin() && !startsGroup(*first)) --first;
  for (auto it = first; it != siblings.end(); ++it) {
    if (it != first && startsGroup(*it)) break;
    auto* radio = dynamic_cast<Button*>(*it);
    if (radio && radio != this && radio->IsRadio()) radio->SetCheck(0);
  }
}

LResult Button::WindowProc(MsgId message, WParam w, LParam l) {
  switch (message) {
    case msg::WM_LBUTTONDOWN:
    case msg::WM_LBUTTONDBLCLK:
      pressed_ = true;
      over_ = true;
      SetCapture();
      SetFocus();
      Invalidate();
      return 0;
    case msg::WM_MOUSEMOVE: {
      const bool inside = GetClientRect().Contains({GetXLParam(l), GetYLParam(l)});
      if (inside != over_) {
        over_ = inside;
        Invalidate();
      }
      return 0;
    }
    case msg::WM_MOUSEENTER:
      over_ = true;
      Invalidate();
      return 0;
    case msg::WM_MOUSELEAVE:
      if (!pressed_) {
        over_ = false;
        Invalidate();
      }
      return 0;
    case msg::WM_LBUTTONUP: {
      if (!pressed_) return 0;
      pressed_ = false;
      over_ = GetClientRect().Contains({GetXLParam(l), GetYLParam(l)});
      if (auto* loop = platform::EventLoop::Current(); loop && loop->GetCapture() == this) loop->ReleaseCapture();
      Invalidate();
      if (over_) Click();
      return 0;
    }
    case msg::WM_CAPTURECHANGED:
      if (pressed_) {
        pressed_ = false;
        Invalidate();
      }
      return 0;
    case msg::WM_KEYDOWN:
      if (w == msg::VK_SPACE) {
        spaceDown_ = true;
        Invalidate();
      }
      return 0;
    case msg::WM_KEYUP:
      if (w == msg::VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        Invalidate();
        Click();
      }
      return 0;
    case msg::WM_SETFOCUS:
    case msg::WM_KILLFOCUS:
      focused_ = message == msg::WM_SETFOCUS;
      if (!focused_) spaceDown_ = false;
      Invalidate();
      return 0;
    case msg::WM_ENABLE:
      if (!w) pressed_ = spaceDown_ = false;
      Invalidate();
      return 0;
    case msg::WM_SHOWWINDOW:
      if (!w && pressed_) {
        pressed_ = false;
        if (auto* loop = platform::EventLoop::Current(); loop && loop->GetCapture() == this) loop->ReleaseCapture();
      }
      return 0;
    case WM_GETDLGCODE:
      if (IsPushButton()) return DLGC_BUTTON | (IsDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
      return DLGC_BUTTON | (IsRadio() ? DLGC_RADIOBUTTON : 0);
    case BM_GETCHECK:
      return GetCheck();
    case BM_SETCHECK:
      SetCheck(w == BST_CHECKED ? 1 : 0);
      return 0;
    case BM_GETSTATE:
      return GetCheck() | (Pressed() || spaceDown_ ? BST_PUSHED : 0) | (focused_ ? BST_FOCUS : 0);
    case BM_SETSTYLE:
      SetStyle((Style() & ~BS_TYPEMASK) | (static_cast<unsigned>(w) & BS_TYPEMASK));
      Invalidate();
      return 0;
    case BM_CLICK:
      if (IsWindowEnabled()) Click();
      return 0;
    default:
      return Control::WindowProc(message, w, l);
  }
}

void Button::OnPaint(PaintContext& pc) {
  const Rect client = GetClientRect();
  const auto textColour = IsWindowEnabled() ? SystemColours::kText : SystemColours::kGreyText;
  if (IsPushButton()) {
    PaintPushButton(pc);
    return;
  }
  pc.Fill(client, SystemColours::kFace);
  const Rect mark = Rect::FromSize(0, (client.Height() - kMarkSize) / 2, kMarkSize, kMarkSize);
  if (IsRadio()) {
    PaintRadioMark(pc, mark);
  } else {
    PaintCheckMark(pc, mark);
  }
  Rect text{kMarkSize + 4, 0, client.right, client.bottom};
  DrawCaption(pc, GetWindowText(), text, DT_LEFT | DT_VCENTER | DT_SINGLELINE, textColour);
  if (focused_) DrawFrame(pc, {kMarkSize + 2, 1, client.right, client.bottom - 1}, SystemColours::kShadow);
}

void Button::PaintPushButton(PaintContext& pc) {
  Rect r = GetClientRect();
  pc.Fill(r, SystemColours::kFace);
  if (IsDefault()) {
    DrawFrame(pc, r, SystemColours::kText);
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
  const bool down = Pressed() || spaceDown_;
  if (down) {
    DrawFrame(pc, r, SystemColours::kShadow);
  } else {
    DrawEdge(pc, r, true);
  }
  const int shift = down ? 1 : 0;
  const auto textColour = IsWindowEnabled() ? SystemColours::kText : SystemColours::kGreyText;
  DrawCaption(pc, GetWindowText(), r.Offset(shift, shift), DT_CENTER | DT_VCENTER | DT_SINGLELINE, textColour);
  if (focused_) DrawFrame(pc, {r.left + 3, r.top + 3, r.right - 3, r.bottom - 3}, SystemColours::kShadow);
}

void Button::PaintCheckMark(PaintContext& pc, Rect box) {
  DrawEdge(pc, box, false);
  const bool down = Pressed() || spaceDown_;
  pc.Fill({box.left + 2, box.top + 2, box.right - 2, box.bottom - 2},
          down || !IsWindowEnabled() ? SystemColours::kFace : SystemColours::kWindow);
  if (!checked_) return;
  // A tick seven pixels wide, three thick.
  const auto colour = IsWindowEnabled() ? SystemColours::kText : SystemColours::kGreyText;
  static constexpr int kTick[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i) {
    const int x = box.left + 3 + i;
    const int y = box.top + 3 + kTick[i];
    pc.Fill({x, y, x + 1, y + 3}, colour);
  }
}

void Button::PaintRadioMark(PaintContext& pc, Rect box) {
  // A circle as rows of spans: {inset from the left, width}.
  static constexpr int kRows[12][2] = {{4, 4}, {2, 8}, {1, 10}, {1, 10}, {0, 12}, {0, 12},
                                       {0, 12}, {0, 12}, {1, 10}, {1, 10}, {2, 8}, {4, 4}};
  const bool down = Pressed() || spaceDown_;
  for (int row = 0; row < 12; ++row) {
    const int y = box.top + row;
    const int left = box.left + kRows[row][0];
    const int right = left + kRows[row][1];
    const auto edge = row < 6 ? SystemColours::kShadow : SystemColours::kHighlight;
    pc.Fill({left, y, right, y + 1}, edge);
    if (row > 0 && row < 11)
      pc.Fill({left + 1, y, right - 1, y + 1}, down || !IsWindowEnabled() ? SystemColours::kFace : SystemColours::kWindow);
  }
  if (checked_) {
    const auto colour = IsWindowEnabled() ? SystemColours::kText : SystemColours::kGreyText;
    pc.Fill({box.left + 5, box.top + 4, box.left + 7, box.top + 8}, colour);
    pc.Fill({box.left + 4, box.top + 5, box.left + 8, box.top + 7}, colour);
  }
}

}  // namespace tovrik::controls
