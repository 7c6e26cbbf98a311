#pragma once
// A read-only view of chat lines: text is appended in runs of one colour and
// weight, wrapped at word boundaries to the view's width, and the oldest
// lines go once more than the line limit are held, so that a busy channel
// never grows it. Lines are what '\n' ends; a wrapped line is still one.
//
// Scrolling is in pixels and exposed the way a scroll bar of the screen's
// own drawing drives it: WM_VSCROLL with the SB_ codes, GetScrollInfo,
// SetScrollPos and LineScroll; whenever the range, page or position changes
// the view sends WM_COMMAND EN_VSCROLL to its scroll listener (its parent
// unless told otherwise). While the user has not scrolled up the view stays
// at the bottom as lines arrive; scrolled up, it keeps showing the same
// lines. The wheel scrolls three lines a notch.
//
// The mouse selects text; Ctrl+C, Ctrl+Insert or WM_COPY copy it.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/Control.h"
#include "controls/ScrollInfo.h"
#include "platform/Text.h"
#include "platform/Window.h"

namespace tovrik::controls {

using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::RgbColor;
using platform::WParam;

class ChatView : public Control {
 public:
  static constexpr int kWheelLines = 3;

  ChatView();
  ~ChatView() override;

  // Appends code page 949 text at the end in one colour; bold draws it in
  // the bold font. A '\n' ends the current line; '\r' is dropped and other
  // control characters show as spaces.
  void Append(std::string_view cp949, RgbColor colour, bool bold = false);
  void AppendUtf8(std::string_view utf8, RgbColor colour, bool bold = false);
  void Clear();

  // The most lines kept (0: no limit); the oldest go first.
  void SetLineLimit(std::size_t lines);
  std::size_t GetLineLimit() const { return lineLimit_; }
  // Lines held; a last line not yet ended counts once it has text.
  std::size_t GetLineCount() const;
  // One line's text (code page 949, without its '\n'); empty past the end.
  std::string GetLine(std::size_t index) const;

  // The fonts of normal and bold runs (the screens' 12-pixel face and its
  // 9-point bold by default).
  void SetFonts(std::shared_ptr<platform::Font> normal, std::shared_ptr<platform::Font> bold);
  void SetBackground(RgbColor colour);
  // A view that gives the keyboard focus back to the window that had it
  // (the chat input keeps typing); selecting with the mouse still works.
  void SetGivesFocusBack(bool givesBack) { givesFocusBack_ = givesBack; }

  // --- Scrolling (pixels) ----------------------------------------------------
  ScrollInfo GetScrollInfo() const;
  int GetScrollPos() const { return pos_; }
  int GetScrollLimit() const;
  void SetScrollPos(int pos);
  void LineScroll(int lines);
  // The step of one line (the normal font's line height).
  int LineStep() const;
  bool IsAtBottom() const { return pos_ >= GetScrollLimit(); }
  // Who hears EN_VSCROLL (WindowHandle::None: the parent).
  void SetScrollListener(platform::WindowHandle listener) { listener_ = listener; }
  // Wrapped lines as shown, and the first one at the top of the view.
  std::size_t GetVisualLineCount() const;
  std::size_t GetFirstVisibleLine() const;
  std::string GetVisualLine(std::size_t index) const;

  // --- Selection ---------------------------------------------------------------
  void SelectAll();
  void ClearSelection();
  bool HasSelection() const { return anchor_ != caret_; }
  // The selected text, lines joined by '\n' (code page 949).
  std::string GetSelectedText() const;
  void Copy() const;

  LResult WindowProc(MsgId msg, WParam w, LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 private:
  struct Run {
    std::size_t begin;  // bytes in the line's text
    RgbColor colour;
    bool bold;
  };
  struct Glyph {
    std::uint32_t offset;
    std::uint16_t length;
    std::uint16_t run;
    char32_t codepoint;
    int width;
  };
  struct Row {
    std::size_t firstGlyph;
    std::size_t endGlyph;
    int top;  // in the line
    int height;
  };
  struct Line {
    std::string text;
    std::vector<Run> runs;
    std::vector<Glyph> glyphs;
    std::vector<Row> rows;
    int height = 0;
    bool ended = false;
  };
  // A place in the text: a line by its serial number (which trimming does
  // not change) and a byte offset in it.
  struct Place {
    std::uint64_t serial = 0;
    std::size_t offset = 0;
    friend bool operator==(const Place&, const Place&) = default;
    friend auto operator<=>(const Place&, const Place&) = default;
  };

  void AppendPiece(std::string_view cp949, RgbColor colour, bool bold);
  void Layout(Line& line) const;
  void RelayoutAll();
  void Trim();
  const platform::Font* FontOf(bool bold) const;
  int WrapWidth() const;
  void ScrollTo(int pos, bool byUser);
  void NotifyScroll();
  void OnVScroll(WParam w);
  Place PlaceAt(platform::Point client) const;
  Place Clamp(Place place) const;
  std::size_t IndexOf(std::uint64_t serial) const { return static_cast<std::size_t>(serial - firstSerial_); }
  void DrawRow(const platform::PaintContext& pc, const Line& line, std::size_t index, const Row& row, int y,
               platform::Rect clip) const;

  std::deque<Line> lines_;
  std::uint64_t firstSerial_ = 0;
  std::size_t lineLimit_ = 0;
  int contentHeight_ = 0;
  int pos_ = 0;
  bool followBottom_ = true;
  int wheelRest_ = 0;
  std::shared_ptr<platform::Font> normal_;
  std::shared_ptr<platform::Font> bold_;
  RgbColor background_{255, 255, 255};
  platform::WindowHandle listener_ = platform::WindowHandle::None;
  ScrollInfo notified_{};
  bool givesFocusBack_ = false;
  Place anchor_;
  Place caret_;
  bool dragging_ = false;
};

}  // namespace tovrik::controls
