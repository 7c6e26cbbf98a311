#pragma once
// Text laid out in a box as DrawText does: lines broken at words, words
// that cannot fit shortened with "...", alignment, and measuring without
// drawing. Draws on 16-bit and 8-bit pages through platform/Text.h.
//
// Call these as controls::DrawText: platform/Text.h has a simpler DrawText
// for one-line captions that argument lookup would also find.

#include <string>
#include <string_view>
#include <vector>

#include "platform/Text.h"

namespace tovrik::controls {

using platform::DT_BOTTOM;
using platform::DT_CENTER;
using platform::DT_END_ELLIPSIS;
using platform::DT_LEFT;
using platform::DT_NOCLIP;
using platform::DT_RIGHT;
using platform::DT_SINGLELINE;
using platform::DT_VCENTER;
inline constexpr unsigned DT_TOP = 0x0000;
inline constexpr unsigned DT_WORDBREAK = 0x0010;
inline constexpr unsigned DT_CALCRECT = 0x0400;
inline constexpr unsigned DT_WORD_ELLIPSIS = 0x00040000;

// The lines `utf8` is drawn as in a box `width` pixels wide. Lines end at
// '\n' (a '\r' before it is dropped) unless DT_SINGLELINE. With
// DT_WORDBREAK a line breaks at the last space that lets it fit; a word
// wider than the box is shortened with "..." under DT_WORD_ELLIPSIS and
// otherwise broken between characters, so that no text is lost from view.
// DT_END_ELLIPSIS shortens every line that is still too wide.
std::vector<std::string> LayoutLines(const platform::Font& font, std::string_view utf8, int width, unsigned format);

// Draws `utf8` in `box` (target coordinates) and returns the height of the
// text. DT_LEFT, DT_CENTER, DT_RIGHT place each line; DT_VCENTER and
// DT_BOTTOM place a single line. Unless DT_NOCLIP, pixels outside the box
// stay untouched, as do pixels outside `clip` always. With DT_CALCRECT
// nothing is drawn and `box` becomes the text's extent: its width that of
// the widest line (the box's width for broken lines), its height that of
// all lines. An empty text has height 0.
int DrawText(const platform::PixelView& target, const platform::Font& font, std::string_view utf8,
             platform::Rect& box, unsigned format, platform::RgbColor colour, platform::Rect clip);
int DrawText(const platform::PixelView& target, const platform::Font& font, std::string_view utf8,
             platform::Rect& box, unsigned format, platform::RgbColor colour);

// The same for code page 949 text: a byte that starts no valid character is
// drawn as U+FFFD, and nothing past the end of `cp949` is read.
int DrawTextCp949(const platform::PixelView& target, const platform::Font& font, std::string_view cp949,
                  platform::Rect& box, unsigned format, platform::RgbColor colour, platform::Rect clip);

}  // namespace tovrik::controls
