#pragma once
// The messages and notification codes of the standard controls, with the
// numbers of the Windows API. A control notifies its parent with
// WM_COMMAND: wParam MakeWParam(control id, notification code), lParam the
// control's WindowHandle.

#include "platform/Messages.h"
#include "platform/Window.h"

namespace tovrik::controls {

using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::WParam;

// Dialog keyboard handling asks the focused control which keys it wants.
inline constexpr MsgId WM_GETDLGCODE = 0x0087;
inline constexpr LResult DLGC_WANTARROWS = 0x0001;
inline constexpr LResult DLGC_WANTTAB = 0x0002;
inline constexpr LResult DLGC_WANTALLKEYS = 0x0004;  // Enter and Escape too
inline constexpr LResult DLGC_DEFPUSHBUTTON = 0x0010;
inline constexpr LResult DLGC_UNDEFPUSHBUTTON = 0x0020;
inline constexpr LResult DLGC_RADIOBUTTON = 0x0040;
inline constexpr LResult DLGC_WANTCHARS = 0x0080;
inline constexpr LResult DLGC_BUTTON = 0x2000;

// Dialog messages: the default push button's id.
inline constexpr MsgId DM_GETDEFID = platform::WM_USER + 0;
inline constexpr MsgId DM_SETDEFID = platform::WM_USER + 1;

// Buttons.
inline constexpr MsgId BM_GETCHECK = 0x00F0;
inline constexpr MsgId BM_SETCHECK = 0x00F1;
inline constexpr MsgId BM_GETSTATE = 0x00F2;
inline constexpr MsgId BM_SETSTYLE = 0x00F4;
inline constexpr MsgId BM_CLICK = 0x00F5;
inline constexpr WParam BST_UNCHECKED = 0;
inline constexpr WParam BST_CHECKED = 1;
inline constexpr LResult BST_PUSHED = 0x0004;
inline constexpr LResult BST_FOCUS = 0x0008;
inline constexpr unsigned BN_CLICKED = 0;

// The WM_COMMAND a control sends to its parent.
inline LResult NotifyParent(platform::Window& control, unsigned code) {
  platform::Window* parent = control.Parent();
  if (!parent) return 0;
  return parent->SendMessage(platform::WM_COMMAND, platform::MakeWParam(static_cast<unsigned>(control.Id()), code),
                             static_cast<LParam>(control.Handle()));
}

}  // namespace tovrik::controls
