#pragma once
// A single-line edit control. Its text is code page 949, and its limit
// counts bytes, because the texts end up in byte-counted wire fields: a
// double-byte character that would not fit whole is refused, whether typed,
// composed or pasted, and is never split.
//
// The edit tells its parent what happens through WM_COMMAND (low word: the
// edit's id, high word: the code, lParam: its window handle): EN_UPDATE
// when the text changed and is about to be shown, EN_CHANGE after that,
// EN_MAXTEXT when input was cut or refused at the limit, EN_SETFOCUS and
// EN_KILLFOCUS. Up and Down are left to the parent (a chat input walks its
// history with them): their WM_KEYDOWN goes on to the parent.
//
// Korean composition is shown inline at the caret as an inverted cell
// until the input method commits it; the candidate window is placed at the
// caret. A commit is inserted exactly once.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "controls/Control.h"
#include "platform/Text.h"
#include "platform/Window.h"

namespace tovrik::controls {

using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::RgbColor;
using platform::WParam;

// Edit messages (the numbers of the Windows ones).
// EM_GETSEL: returns start | end << 16 (byte offsets).
inline constexpr MsgId EM_GETSEL = 0x00B0;
// EM_SETSEL: wParam start, lParam end; a start of -1 removes the selection,
// an end of -1 means the end of the text.
inline constexpr MsgId EM_SETSEL = 0x00B1;
// EM_REPLACESEL: lParam points to a zero-terminated code page 949 text.
inline constexpr MsgId EM_REPLACESEL = 0x00C2;
// EM_LIMITTEXT: wParam bytes (0: the default).
inline constexpr MsgId EM_LIMITTEXT = 0x00C5;
inline constexpr MsgId EM_SETPASSWORDCHAR = 0x00CC;
inline constexpr MsgId EM_SETREADONLY = 0x00CF;
inline constexpr MsgId EM_GETLIMITTEXT = 0x00D5;

// Notification codes in the high word of WM_COMMAND's wParam.
inline constexpr unsigned EN_SETFOCUS = 0x0100;
inline constexpr unsigned EN_KILLFOCUS = 0x0200;
inline constexpr unsigned EN_CHANGE = 0x0300;
inline constexpr unsigned EN_UPDATE = 0x0400;
inline constexpr unsigned EN_MAXTEXT = 0x0501;

class Edit : public Control {
 public:
  static constexpr std::size_t kDefaultLimit = 30000;

  struct Selection {
    std::size_t start = 0;  // bytes, start <= end
    std::size_t end = 0;
    friend bool operator==(const Selection&, const Selection&) = default;
  };

  Edit();
  ~Edit() override;

  // The whole text, code page 949. Setting it ignores the limit (as
  // WM_SETTEXT does), puts the caret at the end and sends EN_UPDATE and
  // EN_CHANGE.
  void SetText(std::string_view cp949);
  const std::string& GetText() const { return text_; }
  void SetTextUtf8(std::string_view utf8);
  std::string GetTextUtf8() const;

  // The most bytes typing and pasting may bring the text to (0: the
  // default). A text already longer stays.
  void LimitText(std::size_t bytes);
  std::size_t GetLimitText() const { return limit_; }

  // Byte offsets, moved back to the start of the character they fall in.
  void SetSel(std::size_t start, std::size_t end);
  void SelectAll() { SetSel(0, text_.size()); }
  Selection GetSel() const;
  // Replaces the selection (or inserts at the caret) with as much of
  // `cp949` as fits the limit in whole characters; false when anything was
  // left out. Read-only edits take this from the program all the same.
  bool ReplaceSel(std::string_view cp949);

  // 0 shows the text itself; any other character stands for each character.
  void SetPasswordChar(char c);
  void SetReadOnly(bool readOnly);
  bool IsReadOnly() const { return readOnly_; }
  // Text and background colours; none restores the system's (black on white).
  void SetColours(std::optional<RgbColor> text, std::optional<RgbColor> background);
  void SetFont(std::shared_ptr<platform::Font> font);
  // A one-pixel frame inside the client area (off by default: skinned
  // dialogs draw the frame on their background).
  void SetBorder(bool border);

  void Cut();
  void Copy() const;
  void Paste();
  void Clear();

  bool IsComposing() const { return composing_; }
  // The character being composed (code page 949), empty when none is shown.
  const std::string& CompositionText() const { return composition_; }

  // A control record's caption is the first text; ES_PASSWORD and
  // ES_READONLY set those styles.
  void ApplySpec(const ControlSpec& spec) override;
  // The window text is the edit's text (UTF-8).
  void SetWindowText(std::string_view utf8) override { SetTextUtf8(utf8); }

  LResult WindowProc(MsgId msg, WParam w, LParam l) override;
  void OnPaint(platform::PaintContext& pc) override;

 protected:
  // Inserts typed or pasted text at the selection within the limit, with
  // notifications; false when anything was refused.
  bool InsertFromUser(std::string_view cp949);

 private:
  struct Unit {
    std::size_t offset;
    std::size_t length;
    std::string utf8;  // what is drawn
    int x;             // left edge, text coordinates
    int width;
  };

  void OnKeyDown(WParam key);
  void OnChar(WParam character);
  void OnComposition(WParam w, LParam l);
  void OnMouseDown(int x, bool extend);
  bool HasSelection() const { return anchor_ != caret_; }
  void DeleteSelection();
  // Replaces the selection with `cp949` exactly (no limit), notifying.
  void ReplaceSelection(std::string_view cp949);
  void MoveCaret(std::size_t to, bool extend);
  std::size_t PreviousBoundary(std::size_t at) const;
  std::size_t NextBoundary(std::size_t at) const;
  std::size_t WordStart(std::size_t at) const;
  std::size_t WordEnd(std::size_t at) const;
  std::size_t Snap(std::size_t at) const;
  void Relayout();
  int XOf(std::size_t offset) const;  // text coordinates
  std::size_t OffsetAt(int clientX) const;
  platform::Rect InnerRect() const;
  int TextTop() const;
  void ScrollToCaret();
  void CaretMoved();
  void RestartBlink();
  void TextChanged();
  void DrawUnits(const platform::PaintContext& pc, std::size_t from, std::size_t to, int dx, RgbColor colour,
                 platform::Rect clip) const;

  std::string text_;
  std::vector<Unit> units_;
  int textWidth_ = 0;
  std::size_t limit_ = kDefaultLimit;
  std::size_t anchor_ = 0;
  std::size_t caret_ = 0;
  int scrollX_ = 0;
  char passwordChar_ = 0;
  bool readOnly_ = false;
  bool border_ = false;
  std::optional<RgbColor> textColour_;
  std::optional<RgbColor> backColour_;
  std::shared_ptr<platform::Font> font_;
  bool focused_ = false;
  bool caretOn_ = false;
  bool dragging_ = false;
  int pendingLead_ = -1;  // a lead byte typed on its own, waiting for its trail
  bool composing_ = false;
  std::string composition_;
  std::string compositionUtf8_;
  int compositionWidth_ = 0;
};

}  // namespace tovrik::controls
