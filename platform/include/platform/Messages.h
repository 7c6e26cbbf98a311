#pragma once
// Window message numbers, virtual key codes and the packing of message
// parameters. The numbers are those of the Windows API so that ids carried
// in the client's own tables (1524 = WM_USER + 500, socket messages
// WM_USER + 801 ... 804, timer id 10, button command ids) keep their meaning.

#include <cstdint>

namespace tovrik::platform {

using MsgId = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// Window life and painting.
inline constexpr MsgId WM_CREATE = 0x0001;
inline constexpr MsgId WM_DESTROY = 0x0002;
inline constexpr MsgId WM_MOVE = 0x0003;
inline constexpr MsgId WM_SIZE = 0x0005;
inline constexpr MsgId WM_SETFOCUS = 0x0007;
inline constexpr MsgId WM_KILLFOCUS = 0x0008;
inline constexpr MsgId WM_ENABLE = 0x000A;
inline constexpr MsgId WM_PAINT = 0x000F;
inline constexpr MsgId WM_CLOSE = 0x0010;
inline constexpr MsgId WM_QUIT = 0x0012;
inline constexpr MsgId WM_SHOWWINDOW = 0x0018;
inline constexpr MsgId WM_SETCURSOR = 0x0020;

// Non-client: the caption-bar drag starts with WM_NCLBUTTONDOWN + HTCAPTION.
// A left press first asks the window under the pointer WM_NCHITTEST (lParam:
// the point in main-window coordinates); a window answering HTCAPTION is
// dragged by that press instead of getting WM_LBUTTONDOWN.
inline constexpr MsgId WM_NCHITTEST = 0x0084;
inline constexpr MsgId WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr WParam HTCAPTION = 2;
// Hit-test code in the low word of WM_SETCURSOR's lParam (the mouse message
// is in the high word).
inline constexpr int HTCLIENT = 1;

// Keyboard. WM_CHAR carries one character in code page 949: a single byte,
// or a double-byte character packed as lead byte | trail byte << 8.
inline constexpr MsgId WM_KEYDOWN = 0x0100;
inline constexpr MsgId WM_KEYUP = 0x0101;
inline constexpr MsgId WM_CHAR = 0x0102;
inline constexpr MsgId WM_SYSCHAR = 0x0106;

// Input method. WM_IME_COMPOSITION: lParam GCS_COMPSTR with the character
// being composed in wParam (code page 949, high byte first), or
// GCS_RESULTSTR when text was committed; read it with
// EventLoop::GetCompositionResult(). A window that does not handle the
// result lets DefWindowProc turn it into WM_CHAR messages.
inline constexpr MsgId WM_IME_STARTCOMPOSITION = 0x010D;
inline constexpr MsgId WM_IME_ENDCOMPOSITION = 0x010E;
inline constexpr MsgId WM_IME_COMPOSITION = 0x010F;
inline constexpr LParam GCS_COMPSTR = 0x0008;
inline constexpr LParam GCS_RESULTSTR = 0x0800;

inline constexpr MsgId WM_INITDIALOG = 0x0110;
inline constexpr MsgId WM_COMMAND = 0x0111;
// System commands: wParam is the command (the low four bits are the
// system's own and are ignored by receivers). The event loop posts
// SC_KEYMENU to the main window for the system-menu gestures, Alt+Space
// (lParam ' ') and a right click released on the caption bar (lParam 0).
inline constexpr MsgId WM_SYSCOMMAND = 0x0112;
inline constexpr WParam SC_MINIMIZE = 0xF020;
inline constexpr WParam SC_CLOSE = 0xF060;
inline constexpr WParam SC_KEYMENU = 0xF100;
inline constexpr MsgId WM_TIMER = 0x0113;
inline constexpr MsgId WM_VSCROLL = 0x0115;

// Clipboard commands a text control carries out on its selection.
inline constexpr MsgId WM_CUT = 0x0300;
inline constexpr MsgId WM_COPY = 0x0301;
inline constexpr MsgId WM_PASTE = 0x0302;
inline constexpr MsgId WM_CLEAR = 0x0303;

// Mouse. lParam holds the position in the receiving window's coordinates
// (MakeLParam); WM_MOUSEWHEEL holds the position in main-window coordinates
// and the wheel delta (120 per notch, positive away from the user) in the
// high word of wParam.
inline constexpr MsgId WM_MOUSEMOVE = 0x0200;
inline constexpr MsgId WM_LBUTTONDOWN = 0x0201;
inline constexpr MsgId WM_LBUTTONUP = 0x0202;
inline constexpr MsgId WM_LBUTTONDBLCLK = 0x0203;
inline constexpr MsgId WM_RBUTTONDOWN = 0x0204;
inline constexpr MsgId WM_RBUTTONUP = 0x0205;
inline constexpr MsgId WM_RBUTTONDBLCLK = 0x0206;
inline constexpr MsgId WM_MOUSEWHEEL = 0x020A;
inline constexpr MsgId WM_CAPTURECHANGED = 0x0215;
// Sent when the pointer first moves over a window (Windows has no such
// message; controls that light up under the pointer want it) and when it
// leaves the window.
inline constexpr MsgId WM_MOUSEENTER = 0x02A4;
inline constexpr MsgId WM_MOUSELEAVE = 0x02A3;

inline constexpr MsgId WM_USER = 0x0400;

// Key state bits in wParam of mouse messages.
inline constexpr WParam MK_LBUTTON = 0x0001;
inline constexpr WParam MK_RBUTTON = 0x0002;
inline constexpr WParam MK_SHIFT = 0x0004;
inline constexpr WParam MK_CONTROL = 0x0008;

// The command ids of the standard buttons (IDOK, IDCANCEL...) are in
// MessageBox.h.

// Virtual key codes (wParam of WM_KEYDOWN / WM_KEYUP; the mouse buttons
// only for EventLoop::IsKeyDown).
inline constexpr WParam VK_LBUTTON = 0x01;
inline constexpr WParam VK_RBUTTON = 0x02;
inline constexpr WParam VK_BACK = 0x08;
inline constexpr WParam VK_TAB = 0x09;
inline constexpr WParam VK_RETURN = 0x0D;
inline constexpr WParam VK_SHIFT = 0x10;
inline constexpr WParam VK_CONTROL = 0x11;
inline constexpr WParam VK_MENU = 0x12;
inline constexpr WParam VK_ESCAPE = 0x1B;
inline constexpr WParam VK_SPACE = 0x20;
inline constexpr WParam VK_PRIOR = 0x21;
inline constexpr WParam VK_NEXT = 0x22;
inline constexpr WParam VK_END = 0x23;
inline constexpr WParam VK_HOME = 0x24;
inline constexpr WParam VK_LEFT = 0x25;
inline constexpr WParam VK_UP = 0x26;
inline constexpr WParam VK_RIGHT = 0x27;
inline constexpr WParam VK_DOWN = 0x28;
inline constexpr WParam VK_INSERT = 0x2D;
inline constexpr WParam VK_DELETE = 0x2E;
inline constexpr WParam VK_F1 = 0x70;
inline constexpr WParam VK_HANGUL = 0x15;
inline constexpr WParam VK_HANJA = 0x19;
// Letters and digits are their upper-case ASCII codes ('A', '0').

constexpr LParam MakeLParam(int low, int high) {
  return static_cast<LParam>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(low)) |
                             (static_cast<std::uint32_t>(static_cast<std::uint16_t>(high)) << 16));
}
// Positions are signed: a captured mouse left of a window gives negative x.
constexpr int GetXLParam(LParam l) { return static_cast<std::int16_t>(static_cast<std::uint32_t>(l) & 0xFFFF); }
constexpr int GetYLParam(LParam l) { return static_cast<std::int16_t>((static_cast<std::uint32_t>(l) >> 16) & 0xFFFF); }
constexpr WParam MakeWParam(unsigned low, unsigned high) {
  return static_cast<WParam>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}
constexpr unsigned LowWord(std::uintptr_t v) { return static_cast<unsigned>(v & 0xFFFF); }
constexpr unsigned HighWord(std::uintptr_t v) { return static_cast<unsigned>((v >> 16) & 0xFFFF); }
constexpr int GetWheelDelta(WParam w) { return static_cast<std::int16_t>(HighWord(w)); }

}  // namespace tovrik::platform
