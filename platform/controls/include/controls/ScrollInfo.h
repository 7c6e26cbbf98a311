#pragma once
// Vertical scrolling as a scrolled control exposes it to a scroll bar of
// its own drawing: the scroll bar codes of WM_VSCROLL and the range, page
// and position that GetScrollInfo reports (in pixels for text views).

#include "platform/Messages.h"

namespace tovrik::controls {

// Low word of WM_VSCROLL's wParam; SB_THUMBPOSITION and SB_THUMBTRACK carry
// the position in the high word.
inline constexpr unsigned SB_LINEUP = 0;
inline constexpr unsigned SB_LINEDOWN = 1;
inline constexpr unsigned SB_PAGEUP = 2;
inline constexpr unsigned SB_PAGEDOWN = 3;
inline constexpr unsigned SB_THUMBPOSITION = 4;
inline constexpr unsigned SB_THUMBTRACK = 5;
inline constexpr unsigned SB_TOP = 6;
inline constexpr unsigned SB_BOTTOM = 7;
inline constexpr unsigned SB_ENDSCROLL = 8;

// EM_LINESCROLL: lParam lines to scroll (negative: up).
inline constexpr platform::MsgId EM_LINESCROLL = 0x00B6;

// WM_COMMAND notification of a scrolled control: its range, page or
// position changed, so a scroll bar that follows it redraws its thumb.
inline constexpr unsigned EN_VSCROLL = 0x0602;

struct ScrollInfo {
  int min = 0;
  int max = 0;   // the last unit of the range
  int page = 0;  // units shown at once
  int pos = 0;   // first unit shown, 0 ... Limit()
  // The highest position: the range less one page, never below 0.
  int Limit() const { return max - min + 1 > page ? max - page + 1 : min; }
  friend bool operator==(const ScrollInfo&, const ScrollInfo&) = default;
};

}  // namespace tovrik::controls
