#include "controls/Edit.h"

#include <algorithm>

#include "controls/Look.h"
#include "controls/ControlMessages.h"
#include "TextUnits.h"
#include "base/CodePage.h"
#include "platform/Clipboard.h"
#include "platform/EventLoop.h"

namespace tovrik::controls {
using platform::GetXLParam;
using platform::PaintContext;
using platform::Rect;

namespace {

constexpr std::uintptr_t kBlinkTimer = 0xED17;
constexpr std::uint32_t kBlinkMs = 530;
constexpr int kMargin = 2;
// The system colours of the classic look.
constexpr RgbColor kWindowText = SystemColours::kText;
constexpr RgbColor kWindow = SystemColours::kWindow;
constexpr RgbColor kGreyText = SystemColours::kGreyText;
constexpr RgbColor kFace = SystemColours::kFace;
constexpr RgbColor kHighlight = SystemColours::kSelection;
constexpr RgbColor kHighlightText = SystemColours::kSelectionText;
constexpr RgbColor kFrame = SystemColours::kShadow;

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// Typed and pasted text lives on one line: it ends at the first line break,
// and other control characters are dropped.
std::string SingleLine(std::string_view cp949) {
  std::string out;
  for (char c : cp949) {
    if (c == '\r' || c == '\n') break;
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) continue;
    out += c;
  }
  return out;
}

}  // namespace

Edit::Edit() : font_(platform::Font::Default()) {}

Edit::~Edit() { Destroy(); }

void Edit::ApplySpec(const ControlSpec& spec) {
  Control::ApplySpec(spec);
  SetTextUtf8(spec.caption);
  if (spec.style & ES_PASSWORD) SetPasswordChar('*');
  if (spec.style & ES_READONLY) SetReadOnly(true);
}

void Edit::TextChanged() {
  Relayout();
  // The window text follows, so that whoever reads it sees the same.
  Control::SetWindowText(GetTextUtf8());
  NotifyParent(*this, EN_UPDATE);
  CaretMoved();
  NotifyParent(*this, EN_CHANGE);
}

// --- Text ------------------------------------------------------------------

void Edit::SetText(std::string_view cp949) {
  text_.assign(cp949);
  anchor_ = caret_ = text_.size();
  pendingLead_ = -1;
  TextChanged();
}

void Edit::SetTextUtf8(std::string_view utf8) { SetText(base::Utf8ToCp949(utf8)); }

std::string Edit::GetTextUtf8() const { return base::Cp949ToUtf8(text_); }

void Edit::LimitText(std::size_t bytes) { limit_ = bytes == 0 ? kDefaultLimit : bytes; }

void Edit::SetSel(std::size_t start, std::size_t end) {
  anchor_ = Snap(std::min(start, text_.size()));
  caret_ = Snap(std::min(end, text_.size()));
  CaretMoved();
}

Edit::Selection Edit::GetSel() const { return {std::min(anchor_, caret_), std::max(anchor_, caret_)}; }

bool Edit::ReplaceSel(std::string_view cp949) {
  const Selection sel = GetSel();
  const std::size_t kept = text_.size() - (sel.end - sel.start);
  const std::size_t room = limit_ > kept ? limit_ - kept : 0;
  const std::size_t fit = FitWholeCharacters(cp949, room);
  ReplaceSelection(cp949.substr(0, fit));
  return fit == cp949.size();
}

bool Edit::InsertFromUser(std::string_view cp949) {
  if (readOnly_ || cp949.empty()) return cp949.empty();
  const Selection sel = GetSel();
  const std::size_t kept = text_.size() - (sel.end - sel.start);
  const std::size_t room = limit_ > kept ? limit_ - kept : 0;
  const std::size_t fit = FitWholeCharacters(cp949, room);
  if (fit > 0) ReplaceSelection(cp949.substr(0, fit));
  if (fit == cp949.size()) return true;
  NotifyParent(*this, EN_MAXTEXT);
  return false;
}

void Edit::ReplaceSelection(std::string_view cp949) {
  const Selection sel = GetSel();
  if (sel.start == sel.end && cp949.empty()) return;
  text_.replace(sel.start, sel.end - sel.start, cp949);
  anchor_ = caret_ = sel.start + cp949.size();
  TextChanged();
}

void Edit::DeleteSelection() {
  if (HasSelection()) ReplaceSelection({});
}

void Edit::SetPasswordChar(char c) {
  passwordChar_ = c;
  Relayout();
  CaretMoved();
}

void Edit::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  Invalidate();
}

void Edit::SetColours(std::optional<RgbColor> text, std::optional<RgbColor> background) {
  textColour_ = text;
  backColour_ = background;
  Invalidate();
}

void Edit::SetFont(std::shared_ptr<platform::Font> font) {
  font_ = std::move(font);
  Relayout();
  CaretMoved();
}

void Edit::SetBorder(bool border) {
  border_ = border;
  CaretMoved();
}

// --- Clipboard ---------------------------------------------------------------

void Edit::Copy() const {
  // A password never leaves the control.
  if (passwordChar_ != 0 || !HasSelection()) return;
  const Selection sel = GetSel();
  platform::SetClipboardText(base::Cp949ToUtf8(std::string_view(text_).substr(sel.start, sel.end - sel.start)));
}

void Edit::Cut() {
  if (readOnly_ || passwordChar_ != 0) return;
  Copy();
  DeleteSelection();
}

void Edit::Paste() {
  if (readOnly_) return;
  const std::string text = SingleLine(base::Utf8ToCp949(platform::GetClipboardText()));
  if (!text.empty()) InsertFromUser(text);
}

void Edit::Clear() {
  if (!readOnly_) DeleteSelection();
}

// --- Characters and positions --------------------------------------------------

void Edit::Relayout() {
  units_.clear();
  int x = 0;
  for (const TextUnit& unit : SplitCp949(text_)) {
    const char32_t shown = passwordChar_ != 0 ? static_cast<unsigned char>(passwordChar_) : unit.codepoint;
    std::string utf8;
    AppendCodepoint(utf8, shown);
    const int width = font_ ? AdvanceOf(*font_, shown) : 0;
    units_.push_back({unit.offset, unit.length, std::move(utf8), x, width});
    x += width;
  }
  textWidth_ = x;
}

std::size_t Edit::Snap(std::size_t at) const {
  // The unit holding `at` starts at or before it.
  auto it = std::upper_bound(units_.begin(), units_.end(), at, [](std::size_t v, const Unit& u) { return v < u.offset; });
  if (it == units_.begin()) return 0;
  const Unit& unit = *std::prev(it);
  return at >= unit.offset + unit.length ? unit.offset + unit.length : unit.offset;
}

std::size_t Edit::PreviousBoundary(std::size_t at) const { return at == 0 ? 0 : Snap(at - 1); }

std::size_t Edit::NextBoundary(std::size_t at) const {
  return std::min(text_.size(), at + base::Cp949CharLength(text_, at));
}

std::size_t Edit::WordStart(std::size_t at) const {
  std::size_t p = at;
  while (p > 0 && IsSpace(text_[PreviousBoundary(p)])) p = PreviousBoundary(p);
  while (p > 0 && !IsSpace(text_[PreviousBoundary(p)])) p = PreviousBoundary(p);
  return p;
}

std::size_t Edit::WordEnd(std::size_t at) const {
  std::size_t p = at;
  while (p < text_.size() && !IsSpace(text_[p])) p = NextBoundary(p);
  while (p < text_.size() && IsSpace(text_[p])) p = NextBoundary(p);
  return p;
}

int Edit::XOf(std::size_t offset) const {
  auto it = std::lower_bound(units_.begin(), units_.end(), offset, [](const Unit& u, std::size_t v) { return u.offset < v; });
  return it == units_.end() ? textWidth_ : it->x;
}

std::size_t Edit::OffsetAt(int clientX) const {
  const int x = clientX - InnerRect().left + scrollX_;
  for (const Unit& unit : units_)
    if (x < unit.x + unit.width / 2) return unit.offset;
  return text_.size();
}

Rect Edit::InnerRect() const {
  const int frame = border_ ? 1 : 0;
  const Rect client = GetClientRect();
  return {client.left + frame + kMargin, client.top + frame, client.right - frame - kMargin, client.bottom - frame};
}

int Edit::TextTop() const {
  const int lineHeight = font_ ? font_->LineHeight() : 0;
  const Rect inner = InnerRect();
  return inner.top + (inner.Height() - lineHeight) / 2;
}

void Edit::MoveCaret(std::size_t to, bool extend) {
  caret_ = Snap(std::min(to, text_.size()));
  if (!extend) anchor_ = caret_;
  CaretMoved();
}

void Edit::ScrollToCaret() {
  const int width = std::max(1, InnerRect().Width());
  const int caretX = XOf(caret_) + compositionWidth_;
  if (caretX < scrollX_) scrollX_ = std::max(0, caretX - width / 4);
  if (caretX > scrollX_ + width - 1) scrollX_ = caretX - width + 1 + width / 4;
  scrollX_ = std::clamp(scrollX_, 0, std::max(0, textWidth_ + compositionWidth_ - width + 1));
}

void Edit::CaretMoved() {
  ScrollToCaret();
  RestartBlink();
  Invalidate();
  if (focused_) {
    const int lineHeight = font_ ? font_->LineHeight() : InnerRect().Height();
    const int x = InnerRect().left + XOf(caret_) - scrollX_;
    SetCaretRect(Rect::FromSize(x, TextTop(), std::max(1, compositionWidth_), lineHeight));
  }
}

void Edit::RestartBlink() {
  caretOn_ = true;
  if (focused_) SetTimer(kBlinkTimer, kBlinkMs);
}

// --- Input -------------------------------------------------------------------

void Edit::OnKeyDown(WParam key) {
  using namespace platform;
  const EventLoop* loop = EventLoop::Current();
  const bool shift = loop && loop->IsKeyDown(VK_SHIFT);
  const bool control = loop && loop->IsKeyDown(VK_CONTROL);
  const Selection sel = GetSel();
  switch (key) {
    case VK_LEFT:
      if (HasSelection() && !shift) MoveCaret(sel.start, false);
      else MoveCaret(control ? WordStart(caret_) : PreviousBoundary(caret_), shift);
      break;
    case VK_RIGHT:
      if (HasSelection() && !shift) MoveCaret(sel.end, false);
      else MoveCaret(control ? WordEnd(caret_) : NextBoundary(caret_), shift);
      break;
    case VK_HOME: MoveCaret(0, shift); break;
    case VK_END: MoveCaret(text_.size(), shift); break;
    case VK_DELETE:
      if (shift) {
        Cut();
      } else if (!readOnly_) {
        if (!HasSelection()) caret_ = NextBoundary(caret_);
        DeleteSelection();
      }
      break;
    case VK_INSERT:
      if (control) Copy();
      else if (shift) Paste();
      break;
    case 'A': if (control) SelectAll(); break;
    case 'C': if (control) Copy(); break;
    case 'X': if (control) Cut(); break;
    case 'V': if (control) Paste(); break;
    default: break;
  }
}

void Edit::OnChar(WParam character) {
  if (character == 0x08) {
    pendingLead_ = -1;
    if (readOnly_) return;
    if (!HasSelection()) anchor_ = PreviousBoundary(caret_);
    DeleteSelection();
    return;
  }
  std::string bytes;
  if (character > 0xFF) {
    bytes = {static_cast<char>(character & 0xFF), static_cast<char>((character >> 8) & 0xFF)};
  } else if (pendingLead_ >= 0) {
    bytes = {static_cast<char>(pendingLead_), static_cast<char>(character)};
    pendingLead_ = -1;
  } else if (character < 0x20 || character == 0x7F) {
    return;  // control characters (Enter, Tab, Escape, Ctrl+letters) type nothing
  } else if (base::IsCp949LeadByte(static_cast<std::uint8_t>(character))) {
    pendingLead_ = static_cast<int>(character);  // its trail comes as the next character
    return;
  } else {
    bytes = std::string(1, static_cast<char>(character));
  }
  InsertFromUser(bytes);
}

void Edit::OnComposition(WParam w, LParam l) {
  using namespace platform;
  if (l & GCS_RESULTSTR) {
    composition_.clear();
    compositionUtf8_.clear();
    compositionWidth_ = 0;
    const EventLoop* loop = EventLoop::Current();
    const std::string result = loop ? loop->GetCompositionResult() : std::string();
    if (!InsertFromUser(SingleLine(result))) CaretMoved();
    return;
  }
  std::string bytes;
  if (w > 0xFF) bytes = {static_cast<char>((w >> 8) & 0xFF), static_cast<char>(w & 0xFF)};
  else if (w != 0) bytes = std::string(1, static_cast<char>(w));
  const Selection sel = GetSel();
  const std::size_t kept = text_.size() - (sel.end - sel.start);
  // A character that could never be committed is not shown either.
  if (kept + bytes.size() > limit_) bytes.clear();
  composing_ = true;
  composition_ = bytes;
  compositionUtf8_.clear();
  compositionWidth_ = 0;
  if (!bytes.empty()) {
    const char32_t shown = passwordChar_ != 0 ? static_cast<unsigned char>(passwordChar_) : CodepointOfCp949(bytes);
    AppendCodepoint(compositionUtf8_, shown);
    compositionWidth_ = font_ ? AdvanceOf(*font_, shown) : 0;
  }
  CaretMoved();
}

void Edit::OnMouseDown(int x, bool extend) {
  SetFocus();
  SetCapture();
  dragging_ = true;
  MoveCaret(OffsetAt(x), extend);
}

LResult Edit::WindowProc(MsgId msg, WParam w, LParam l) {
  using namespace platform;
  switch (msg) {
    case WM_KEYDOWN:
      if (w == VK_UP || w == VK_DOWN) {
        if (Parent()) return Parent()->SendMessage(msg, w, l);
        return 0;
      }
      OnKeyDown(w);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_WANTARROWS;
    case WM_CHAR:
      OnChar(w);
      return 0;
    case WM_IME_STARTCOMPOSITION:
      if (readOnly_) return 0;
      DeleteSelection();
      composing_ = true;
      CaretMoved();
      return 0;
    case WM_IME_COMPOSITION:
      if (!readOnly_) OnComposition(w, l);
      return 0;
    case WM_IME_ENDCOMPOSITION:
      composing_ = false;
      composition_.clear();
      compositionUtf8_.clear();
      compositionWidth_ = 0;
      CaretMoved();
      return 0;
    case WM_LBUTTONDOWN:
      OnMouseDown(GetXLParam(l), (w & MK_SHIFT) != 0);
      return 0;
    case WM_LBUTTONDBLCLK: {
      const std::size_t at = OffsetAt(GetXLParam(l));
      anchor_ = WordStart(at < text_.size() ? NextBoundary(at) : at);
      caret_ = WordEnd(at);
      CaretMoved();
      return 0;
    }
    case WM_MOUSEMOVE:
      if (dragging_ && (w & MK_LBUTTON)) MoveCaret(OffsetAt(GetXLParam(l)), true);
      return 0;
    case WM_LBUTTONUP:
      dragging_ = false;
      if (EventLoop* loop = EventLoop::Current(); loop && loop->GetCapture() == this) loop->ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    case WM_SETFOCUS:
      focused_ = true;
      CaretMoved();
      NotifyParent(*this, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      focused_ = false;
      composing_ = false;
      composition_.clear();
      compositionWidth_ = 0;
      dragging_ = false;
      pendingLead_ = -1;
      KillTimer(kBlinkTimer);
      Invalidate();
      NotifyParent(*this, EN_KILLFOCUS);
      return 0;
    case WM_TIMER:
      if (w != kBlinkTimer) break;
      caretOn_ = !caretOn_;
      Invalidate();
      return 0;
    case WM_CUT: Cut(); return 0;
    case WM_COPY: Copy(); return 0;
    case WM_PASTE: Paste(); return 0;
    case WM_CLEAR: Clear(); return 0;
    case EM_GETSEL: {
      const Selection sel = GetSel();
      return static_cast<LResult>(sel.start | (sel.end << 16));
    }
    case EM_SETSEL: {
      const auto start = static_cast<std::intptr_t>(w);
      const std::size_t end = l < 0 ? text_.size() : static_cast<std::size_t>(l);
      if (start < 0) SetSel(caret_, caret_);
      else SetSel(static_cast<std::size_t>(start), end);
      return 0;
    }
    case EM_REPLACESEL:
      ReplaceSel(l ? std::string_view(reinterpret_cast<const char*>(l)) : std::string_view());
      return 0;
    case EM_LIMITTEXT: LimitText(w); return 0;
    case EM_GETLIMITTEXT: return static_cast<LResult>(limit_);
    case EM_SETPASSWORDCHAR: SetPasswordChar(static_cast<char>(w)); return 0;
    case EM_SETREADONLY: SetReadOnly(w != 0); return 1;
    default: break;
  }
  return Window::WindowProc(msg, w, l);
}

// --- Painting ------------------------------------------------------------------

void Edit::DrawUnits(const PaintContext& pc, std::size_t from, std::size_t to, int dx, RgbColor colour, Rect clip) const {
  if (!font_ || from >= to) return;
  std::string utf8;
  for (const Unit& unit : units_)
    if (unit.offset >= from && unit.offset < to) utf8 += unit.utf8;
  platform::TextOut(pc.Target(), *font_, pc.Origin().x + XOf(from) + dx, pc.Origin().y + TextTop(), utf8, colour,
                    clip);
}

void Edit::OnPaint(PaintContext& pc) {
  const Rect client = GetClientRect();
  const bool enabled = IsWindowEnabled();
  const RgbColor back = backColour_.value_or(enabled && !readOnly_ ? kWindow : kFace);
  const RgbColor ink = enabled ? textColour_.value_or(kWindowText) : kGreyText;
  pc.Fill(client, back);
  if (border_) {
    pc.Fill({client.left, client.top, client.right, client.top + 1}, kFrame);
    pc.Fill({client.left, client.bottom - 1, client.right, client.bottom}, kFrame);
    pc.Fill({client.left, client.top, client.left + 1, client.bottom}, kFrame);
    pc.Fill({client.right - 1, client.top, client.right, client.bottom}, kFrame);
  }
  const Rect inner = InnerRect();
  const Rect clip = inner.Offset(pc.Origin().x, pc.Origin().y).Intersect(pc.Clip());
  const int dx = inner.left - scrollX_;
  const int lineHeight = font_ ? font_->LineHeight() : 0;
  const Selection sel = GetSel();
  if (focused_ && sel.start != sel.end) {
    const Rect band{XOf(sel.start) + dx, TextTop(), XOf(sel.end) + dx, TextTop() + lineHeight};
    DrawUnits(pc, 0, sel.start, dx, ink, clip);
    FillRect(pc.Target(), band.Offset(pc.Origin().x, pc.Origin().y), kHighlight, clip);
    DrawUnits(pc, sel.start, sel.end, dx, kHighlightText, clip);
    DrawUnits(pc, sel.end, text_.size(), dx, ink, clip);
    return;
  }
  // Text after the caret makes room for the character being composed.
  DrawUnits(pc, 0, caret_, dx, ink, clip);
  DrawUnits(pc, caret_, text_.size(), dx + compositionWidth_, ink, clip);
  const int caretX = XOf(caret_) + dx;
  if (!compositionUtf8_.empty() && font_) {
    FillRect(pc.Target(), Rect::FromSize(caretX, TextTop(), compositionWidth_, lineHeight).Offset(pc.Origin().x, pc.Origin().y),
             ink, clip);
    platform::TextOut(pc.Target(), *font_, pc.Origin().x + caretX, pc.Origin().y + TextTop(), compositionUtf8_, back, clip);
  } else if (focused_ && caretOn_) {
    FillRect(pc.Target(), Rect::FromSize(caretX, TextTop(), 1, lineHeight).Offset(pc.Origin().x, pc.Origin().y), ink,
             clip);
  }
}

}  // namespace tovrik::controls
