#include "ui/GraphButton.h"

#include <algorithm>

#include "platform/EventLoop.h"
#include "ui/UiSound.h"

namespace tovrik::ui {
using platform::Point;
using platform::Rect;
using platform::RgbColor;

namespace {

// Frame offsets within a button's frames.
constexpr int kNormal = 0;
constexpr int kHover = 1;
constexpr int kPressed = 2;
constexpr int kDisabled = 3;

// The tooltip's text box: 12 pixels per byte of text and 12 more, one line
// of 15, grown by this margin round the text.
constexpr int kTipMarginX = 5;
constexpr int kTipMarginY = 2;
constexpr Point kTipFromCursor{10, 25};

}  // namespace

void CGraphButton::Init(platform::Window* parent, gfx::CPage* page, int x, int y, const gfx::xSprite* set,
                        int buttonIndex, int commandId, int framesPerButton, int hoverSound) {
  parent_ = parent ? parent->Handle() : platform::WindowHandle::None;
  page_ = page;
  sprite_ = set;
  buttonIndex_ = buttonIndex;
  x_ = x;
  y_ = y;
  commandId_ = commandId;
  framesPerButton_ = std::max(1, framesPerButton);
  hoverSoundOn_ = hoverSound ? 1 : 0;
  visible_ = 1;
  enabled_ = 1;
  pressed_ = 0;
  hover_ = 0;
  hoverSoundPlayed_ = false;
  TakeSizeFrom(set, buttonIndex * framesPerButton_);
  InitBtn();
}

void CGraphButton::TakeSizeFrom(const gfx::xSprite* set, int frame) {
  const gfx::SPRITE30* f = set ? set->Frame(frame) : nullptr;
  width_ = f ? f->width : 0;
  height_ = f ? f->height : 0;
}

platform::Window* CGraphButton::Parent() const {
  platform::EventLoop* loop = platform::EventLoop::Current();
  return loop ? loop->FromHandle(parent_) : nullptr;
}

bool CGraphButton::Contains(int px, int py) const {
  return px >= x_ && px <= x_ + width_ && py >= y_ && py <= y_ + height_;
}

int CGraphButton::OnMouseMove(int x, int y) {
  if (!visible_ || !enabled_) return 0;
  lastMove_ = {x, y};
  if (!Contains(x, y)) {
    hover_ = 0;
    hoverSoundPlayed_ = false;
    return 0;
  }
  hover_ = 1;
  if (hoverSoundOn_ && !hoverSoundPlayed_) {
    hoverSoundPlayed_ = true;
    UiSound().PlayEffect(hoverSoundId_, hoverVolume_);
  }
  return 1;
}

int CGraphButton::OnLButtonDown(int x, int y) {
  if (!visible_ || !enabled_) return 0;
  pressed_ = Contains(x, y) ? 1 : 0;
  return pressed_;
}

int CGraphButton::OnLButtonUp(int x, int y) {
  if (!visible_ || !enabled_) return 0;
  const bool clicked = pressed_ && Contains(x, y);
  pressed_ = 0;
  if (!clicked) return 0;
  // Last use of this object: the handler may remove every button.
  platform::EventLoop* loop = platform::EventLoop::Current();
  if (loop) loop->SendMessage(parent_, platform::WM_COMMAND, static_cast<platform::WParam>(commandId_), 0);
  return 1;
}

int CGraphButton::CurrentFrame() const {
  int offset = kNormal;
  if (!enabled_) {
    offset = framesPerButton_ > 3 ? kDisabled : kPressed;
  } else if (pressed_) {
    offset = kPressed;
  } else if (hover_) {
    offset = kHover;
  }
  // A button of fewer frames never shows a frame of the next button.
  offset = std::min(offset, framesPerButton_ - 1);
  return buttonIndex_ * framesPerButton_ + offset;
}

void CGraphButton::Draw(int flags, int level) {
  if (!page_ || !sprite_ || !visible_) return;
  page_->PutSprAuto(x_, y_, sprite_, CurrentFrame(), flags, level, 0);
}

int CGraphButton::GetButtonState() const {
  if (!visible_) return -1;
  if (pressed_) return 2;
  return hover_ ? 1 : 0;
}

void CGraphButton::SetButtonState(int state) {
  pressed_ = state == 2 ? 1 : 0;
  hover_ = state == 1 ? 1 : 0;
}

void CGraphButton::SetSprite(const gfx::xSprite* set, int buttonIndex) {
  sprite_ = set;
  buttonIndex_ = buttonIndex;
  TakeSizeFrom(set, buttonIndex * framesPerButton_);
}

void CGraphButton::SetButtonPos(int x, int y, const gfx::xSprite* set) {
  x_ = x;
  y_ = y;
  if (set) TakeSizeFrom(set, 0);
}

void CGraphButton::Enable(int enable) {
  enabled_ = enable ? 1 : 0;
  if (!enabled_) {
    pressed_ = 0;
    hover_ = 0;
    hoverSoundPlayed_ = false;
  }
}

void CGraphButton::Show(int show) {
  visible_ = show ? 1 : 0;
  Enable(show);
}

void CGraphButton::SetMouseOverSound(int effectId, int volume) {
  hoverSoundId_ = effectId;
  hoverVolume_ = volume;
  hoverSoundOn_ = 1;
}

void CGraphButton::SetToolTip(std::string_view cp949Text, std::shared_ptr<platform::Font> font) {
  tooltipText_ = std::string(cp949Text);
  tooltipFont_ = std::move(font);
  tooltipOn_ = !tooltipText_.empty() && tooltipFont_ ? 1 : 0;
}

Point CGraphButton::CursorInParent() const {
  platform::EventLoop* loop = platform::EventLoop::Current();
  const platform::Window* parent = Parent();
  if (!loop || !parent) return lastMove_;
  return parent->ScreenToClient(loop->LastMousePosition());
}

Rect CGraphButton::ToolTipRect(Point cursor, int above) const {
  if (!visible_ || !tooltipOn_ || !page_ || !sprite_ || !hover_ || pressed_ || tooltipText_.empty() ||
      !tooltipFont_)
    return {};
  // The text fits one line of the measuring box (12 pixels a byte), so the
  // measured box is the text's extent.
  const platform::TextSize text = platform::GetTextExtentCp949(*tooltipFont_, tooltipText_);
  const int boxWidth = std::min(text.width, 12 * static_cast<int>(tooltipText_.size()) + 12);
  const int boxHeight = text.height > 0 ? text.height : 15;
  Rect box = Rect::FromSize(cursor.x + kTipFromCursor.x - kTipMarginX, cursor.y + kTipFromCursor.y - kTipMarginY,
                            boxWidth + 2 * kTipMarginX, boxHeight + 2 * kTipMarginY);
  if (box.left < 0) box = box.Offset(-box.left, 0);
  if (box.right > page_->width) box = box.Offset(page_->width - box.right, 0);
  if (box.top < 0) box = box.Offset(0, -box.top);
  if (box.bottom > page_->height) {
    const int top = above ? y_ - 20 : cursor.y - 25;
    box = box.Offset(0, top - box.top);
  }
  return box;
}

void CGraphButton::DrawToolTip(int level, RgbColor background, RgbColor textColour, int above) {
  const Rect box = ToolTipRect(CursorInParent(), above);
  if (box.IsEmpty()) return;
  page_->DrawFillBoxGB(box.left, box.top, box.right - 1, box.bottom - 1, platform::ToRgb555(background), level);
  const Rect textBox{box.left + kTipMarginX, box.top + kTipMarginY, box.right - kTipMarginX, box.bottom - kTipMarginY};
  platform::DrawTextCp949(page_->View(), *tooltipFont_, tooltipText_, textBox, platform::DT_LEFT | platform::DT_NOCLIP,
                          textColour);
}

}  // namespace tovrik::ui
