#include "ui/GrpChatEdit.h"

#include <cstdlib>

namespace tovrik::ui {
using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::Rect;
using platform::WParam;

Rect CGrpChatEdit::BarRect() const {
  const Rect view = GetWindowRect();
  return {view.right + offset_.x, view.top + offset_.y, view.right + bar_.ThumbWidth() + offset_.x,
          view.bottom + std::abs(offset_.y)};
}

bool CGrpChatEdit::Init(platform::Point offset, const std::filesystem::path& programDir) {
  if (!IsCreated() || !Parent()) return false;
  offset_ = offset;
  bar_.LoadBtnImage(programDir);
  bar_.CalcImageSize();
  if (!bar_.IsCreated() && !bar_.Create(Parent(), BarRect(), kScrollBarId)) return false;
  PlaceBar();
  bar_.SetView(this);
  UpdateScrollSize();
  bar_.UpdateThumbPosition();
  return true;
}

void CGrpChatEdit::PlaceBar() {
  if (bar_.IsCreated()) bar_.MoveWindow(BarRect());
}

void CGrpChatEdit::UpdateScrollSize() { bar_.SetLineHeight(LineStep()); }

void CGrpChatEdit::SetFonts(std::shared_ptr<platform::Font> normal, std::shared_ptr<platform::Font> bold) {
  ChatView::SetFonts(std::move(normal), std::move(bold));
  UpdateScrollSize();
}

LResult CGrpChatEdit::WindowProc(MsgId msg, WParam w, LParam l) {
  switch (msg) {
    case platform::WM_MOUSEWHEEL: {
      // One line a message, in the direction the lists scroll: away from
      // the user is up.
      const int delta = platform::GetWheelDelta(w);
      if (delta > 0) bar_.ScrollUp();
      if (delta < 0) bar_.ScrollDown();
      return 0;
    }
    case platform::WM_MOVE:
    case platform::WM_SIZE: {
      const LResult result = ChatView::WindowProc(msg, w, l);
      PlaceBar();
      return result;
    }
    default:
      return ChatView::WindowProc(msg, w, l);
  }
}

}  // namespace tovrik::ui
