#include "controls/Static.h"

#include "controls/Look.h"
#include "controls/TextLayout.h"

namespace tovrik::controls {
namespace msg = platform;

platform::LResult Static::WindowProc(msg::MsgId message, msg::WParam w, msg::LParam l) {
  Window* dialog = Parent();
  if ((Style() & SS_NOTIFY) || !dialog) return Control::WindowProc(message, w, l);
  switch (message) {
    case msg::WM_NCHITTEST:
      // The dialog's answer: a dialog that is dragged by its surface is
      // dragged from here too.
      return dialog->SendMessage(message, w, l) == static_cast<msg::LResult>(msg::HTCAPTION)
                 ? static_cast<msg::LResult>(msg::HTCAPTION)
                 : msg::HTCLIENT;
    case msg::WM_NCLBUTTONDOWN:
      return dialog->SendMessage(message, w, l);
    case msg::WM_LBUTTONDOWN:
    case msg::WM_LBUTTONUP:
    case msg::WM_LBUTTONDBLCLK:
    case msg::WM_RBUTTONDOWN:
    case msg::WM_RBUTTONUP:
    case msg::WM_RBUTTONDBLCLK: {
      // Presses belong to the dialog, at the same place in its coordinates.
      const msg::Rect r = GetWindowRect();
      return dialog->SendMessage(message, w, msg::MakeLParam(msg::GetXLParam(l) + r.left, msg::GetYLParam(l) + r.top));
    }
    default:
      return Control::WindowProc(message, w, l);
  }
}

void Static::OnPaint(platform::PaintContext& pc) {
  pc.Fill(GetClientRect(), SystemColours::kFace);
  unsigned format = DT_WORDBREAK;
  if ((Style() & 0x3) == SS_CENTER) format |= DT_CENTER;
  if ((Style() & 0x3) == SS_RIGHT) format |= DT_RIGHT;
  DrawCaption(pc, GetWindowText(), GetClientRect(), format,
              IsWindowEnabled() ? SystemColours::kText : SystemColours::kGreyText);
}

}  // namespace tovrik::controls
