#include "controls/ChatView.h"

#include <algorithm>

#include "controls/Look.h"
#include "TextUnits.h"
#include "controls/ControlMessages.h"
#include "base/CodePage.h"
#include "platform/Clipboard.h"
#include "platform/EventLoop.h"

namespace tovrik::controls {
using platform::PaintContext;
using platform::Point;
using platform::Rect;

namespace {

constexpr int kMargin = 2;
constexpr RgbColor kHighlight = SystemColours::kSelection;
constexpr RgbColor kHighlightText = SystemColours::kSelectionText;

// Line breaks end lines, carriage returns go, other control characters
// would draw as nothing and become spaces.
std::string Printable(std::string_view cp949) {
  std::string out;
  out.reserve(cp949.size());
  for (char c : cp949) {
    if (c == '\r') continue;
    out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
  }
  return out;
}

}  // namespace

ChatView::ChatView()
    : normal_(platform::Font::Default()), bold_(platform::Font::Get("굴림체", 12, true)) {}

ChatView::~ChatView() { Destroy(); }

// --- Text ----------------------------------------------------------------------

void ChatView::Append(std::string_view cp949, RgbColor colour, bool bold) {
  for (std::size_t start = 0;;) {
    const std::size_t end = cp949.find('\n', start);
    if (end == std::string_view::npos) {
      if (start < cp949.size()) AppendPiece(cp949.substr(start), colour, bold);
      break;
    }
    AppendPiece(cp949.substr(start, end - start), colour, bold);
    lines_.back().ended = true;
    start = end + 1;
  }
  Trim();
  ScrollTo(followBottom_ ? GetScrollLimit() : pos_, false);
  Invalidate();
}

void ChatView::AppendUtf8(std::string_view utf8, RgbColor colour, bool bold) {
  Append(base::Utf8ToCp949(utf8), colour, bold);
}

void ChatView::AppendPiece(std::string_view cp949, RgbColor colour, bool bold) {
  // A piece always lands in a line, also an empty one: "\n" alone is an
  // empty line.
  if (lines_.empty() || lines_.back().ended) lines_.emplace_back();
  Line& line = lines_.back();
  const int before = line.height;
  if (!cp949.empty()) {
    line.runs.push_back({line.text.size(), colour, bold});
    line.text += Printable(cp949);
  }
  Layout(line);
  contentHeight_ += line.height - before;
}

void ChatView::Clear() {
  firstSerial_ += lines_.size();
  lines_.clear();
  contentHeight_ = 0;
  anchor_ = caret_ = Place{firstSerial_, 0};
  followBottom_ = true;
  ScrollTo(0, false);
  Invalidate();
}

void ChatView::SetLineLimit(std::size_t lines) {
  lineLimit_ = lines;
  Trim();
  ScrollTo(followBottom_ ? GetScrollLimit() : pos_, false);
}

void ChatView::Trim() {
  while (lineLimit_ != 0 && lines_.size() > lineLimit_) {
    const int height = lines_.front().height;
    lines_.pop_front();
    ++firstSerial_;
    contentHeight_ -= height;
    // Scrolled up, the view goes on showing the same lines.
    if (!followBottom_) pos_ = std::max(0, pos_ - height);
  }
}

std::size_t ChatView::GetLineCount() const { return lines_.size(); }

std::string ChatView::GetLine(std::size_t index) const { return index < lines_.size() ? lines_[index].text : std::string(); }

void ChatView::SetFonts(std::shared_ptr<platform::Font> normal, std::shared_ptr<platform::Font> bold) {
  normal_ = std::move(normal);
  bold_ = std::move(bold);
  RelayoutAll();
}

void ChatView::SetBackground(RgbColor colour) {
  background_ = colour;
  Invalidate();
}

// --- Layout ----------------------------------------------------------------------

const platform::Font* ChatView::FontOf(bool bold) const {
  if (bold && bold_) return bold_.get();
  return normal_.get();
}

int ChatView::WrapWidth() const { return std::max(1, GetClientRect().Width() - 2 * kMargin); }

int ChatView::LineStep() const { return normal_ ? normal_->LineHeight() : 1; }

void ChatView::Layout(Line& line) const {
  line.glyphs.clear();
  line.rows.clear();
  std::size_t run = 0;
  for (const TextUnit& unit : SplitCp949(line.text)) {
    while (run + 1 < line.runs.size() && line.runs[run + 1].begin <= unit.offset) ++run;
    const platform::Font* font = FontOf(!line.runs.empty() && line.runs[run].bold);
    line.glyphs.push_back({static_cast<std::uint32_t>(unit.offset), static_cast<std::uint16_t>(unit.length),
                           static_cast<std::uint16_t>(run), unit.codepoint, font ? AdvanceOf(*font, unit.codepoint) : 0});
  }
  // Words wrap whole where they can; spaces at a break hang past the edge;
  // a word longer than the width breaks between characters.
  const int width = WrapWidth();
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  std::size_t rowStart = 0;
  std::size_t lastBreak = 0;
  int x = 0;
  for (std::size_t i = 0; i < line.glyphs.size(); ++i) {
    const Glyph& glyph = line.glyphs[i];
    if (glyph.codepoint == ' ') {
      x += glyph.width;
      lastBreak = i + 1;
      continue;
    }
    if (x + glyph.width > width && i > rowStart) {
      const std::size_t end = lastBreak > rowStart ? lastBreak : i;
      spans.emplace_back(rowStart, end);
      rowStart = end;
      x = 0;
      for (std::size_t j = end; j < i; ++j) x += line.glyphs[j].width;
    }
    x += glyph.width;
  }
  spans.emplace_back(rowStart, line.glyphs.size());
  line.height = 0;
  for (const auto& [first, end] : spans) {
    int height = LineStep();
    for (std::size_t i = first; i < end; ++i)
      if (const platform::Font* font = FontOf(line.runs[line.glyphs[i].run].bold)) height = std::max(height, font->LineHeight());
    line.rows.push_back({first, end, line.height, height});
    line.height += height;
  }
}

void ChatView::RelayoutAll() {
  contentHeight_ = 0;
  for (Line& line : lines_) {
    Layout(line);
    contentHeight_ += line.height;
  }
  ScrollTo(followBottom_ ? GetScrollLimit() : pos_, false);
  Invalidate();
}

std::size_t ChatView::GetVisualLineCount() const {
  std::size_t count = 0;
  for (const Line& line : lines_) count += line.rows.size();
  return count;
}

std::size_t ChatView::GetFirstVisibleLine() const {
  std::size_t index = 0;
  int top = 0;
  for (const Line& line : lines_) {
    if (top + line.height <= pos_) {
      top += line.height;
      index += line.rows.size();
      continue;
    }
    for (const Row& row : line.rows) {
      if (top + row.top + row.height > pos_) return index;
      ++index;
    }
  }
  return index;
}

std::string ChatView::GetVisualLine(std::size_t index) const {
  for (const Line& line : lines_) {
    if (index >= line.rows.size()) {
      index -= line.rows.size();
      continue;
    }
    const Row& row = line.rows[index];
    const std::size_t begin = row.firstGlyph < line.glyphs.size() ? line.glyphs[row.firstGlyph].offset : line.text.size();
    const std::size_t end = row.endGlyph < line.glyphs.size() ? line.glyphs[row.endGlyph].offset : line.text.size();
    return line.text.substr(begin, end - begin);
  }
  return {};
}

// --- Scrolling ---------------------------------------------------------------------

ScrollInfo ChatView::GetScrollInfo() const {
  return {0, std::max(0, contentHeight_ - 1), GetClientRect().Height(), pos_};
}

int ChatView::GetScrollLimit() const { return std::max(0, contentHeight_ - GetClientRect().Height()); }

void ChatView::SetScrollPos(int pos) { ScrollTo(pos, true); }

void ChatView::LineScroll(int lines) { ScrollTo(pos_ + lines * LineStep(), true); }

void ChatView::ScrollTo(int pos, bool byUser) {
  const int clamped = std::clamp(pos, 0, GetScrollLimit());
  if (clamped != pos_) Invalidate();
  pos_ = clamped;
  if (byUser) followBottom_ = pos_ >= GetScrollLimit();
  NotifyScroll();
}

void ChatView::NotifyScroll() {
  const ScrollInfo info = GetScrollInfo();
  if (info == notified_) return;
  notified_ = info;
  const platform::WindowHandle target =
      listener_ != platform::WindowHandle::None ? listener_ : Parent() ? Parent()->Handle() : platform::WindowHandle::None;
  if (platform::EventLoop* loop = platform::EventLoop::Current(); loop && target != platform::WindowHandle::None)
    loop->SendMessage(target, platform::WM_COMMAND, platform::MakeWParam(static_cast<unsigned>(Id()), EN_VSCROLL),
                      static_cast<LParam>(Handle()));
}

void ChatView::OnVScroll(WParam w) {
  const int page = std::max(1, GetClientRect().Height());
  switch (platform::LowWord(w)) {
    case SB_LINEUP: LineScroll(-1); break;
    case SB_LINEDOWN: LineScroll(1); break;
    case SB_PAGEUP: ScrollTo(pos_ - page, true); break;
    case SB_PAGEDOWN: ScrollTo(pos_ + page, true); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: ScrollTo(static_cast<int>(platform::HighWord(w)), true); break;
    case SB_TOP: ScrollTo(0, true); break;
    case SB_BOTTOM: ScrollTo(GetScrollLimit(), true); break;
    default: break;
  }
}

// --- Selection ----------------------------------------------------------------------

ChatView::Place ChatView::Clamp(Place place) const {
  if (lines_.empty() || place.serial < firstSerial_) return {firstSerial_, 0};
  if (IndexOf(place.serial) >= lines_.size()) return {firstSerial_ + lines_.size() - 1, lines_.back().text.size()};
  return {place.serial, std::min(place.offset, lines_[IndexOf(place.serial)].text.size())};
}

ChatView::Place ChatView::PlaceAt(Point client) const {
  if (lines_.empty()) return {firstSerial_, 0};
  const int y = client.y + pos_;
  const int x = client.x - kMargin;
  if (y < 0) return {firstSerial_, 0};
  int top = 0;
  for (std::size_t index = 0; index < lines_.size(); ++index) {
    const Line& line = lines_[index];
    if (y >= top + line.height) {
      top += line.height;
      continue;
    }
    for (const Row& row : line.rows) {
      if (y >= top + row.top + row.height) continue;
      int left = 0;
      for (std::size_t i = row.firstGlyph; i < row.endGlyph; ++i) {
        const Glyph& glyph = line.glyphs[i];
        if (x < left + glyph.width / 2) return {firstSerial_ + index, glyph.offset};
        left += glyph.width;
      }
      const std::size_t end = row.endGlyph < line.glyphs.size() ? line.glyphs[row.endGlyph].offset : line.text.size();
      return {firstSerial_ + index, end};
    }
  }
  return {firstSerial_ + lines_.size() - 1, lines_.back().text.size()};
}

void ChatView::SelectAll() {
  if (lines_.empty()) return;
  anchor_ = {firstSerial_, 0};
  caret_ = {firstSerial_ + lines_.size() - 1, lines_.back().text.size()};
  Invalidate();
}

void ChatView::ClearSelection() {
  anchor_ = caret_;
  Invalidate();
}

std::string ChatView::GetSelectedText() const {
  const Place from = Clamp(std::min(anchor_, caret_));
  const Place to = Clamp(std::max(anchor_, caret_));
  std::string out;
  if (lines_.empty() || from == to) return out;
  for (std::uint64_t serial = from.serial; serial <= to.serial; ++serial) {
    const std::string& text = lines_[IndexOf(serial)].text;
    const std::size_t begin = serial == from.serial ? from.offset : 0;
    const std::size_t end = serial == to.serial ? to.offset : text.size();
    if (serial != from.serial) out += '\n';
    out.append(text, begin, end - begin);
  }
  return out;
}

void ChatView::Copy() const {
  const std::string text = GetSelectedText();
  if (!text.empty()) platform::SetClipboardText(base::Cp949ToUtf8(text));
}

// --- Messages ----------------------------------------------------------------------------

LResult ChatView::WindowProc(MsgId msg, WParam w, LParam l) {
  using namespace platform;
  switch (msg) {
    case WM_VSCROLL:
      OnVScroll(w);
      return 0;
    case EM_LINESCROLL:
      LineScroll(static_cast<int>(l));
      return 1;
    case WM_MOUSEWHEEL: {
      wheelRest_ += GetWheelDelta(w);
      const int notches = wheelRest_ / 120;
      wheelRest_ -= notches * 120;
      if (notches != 0) LineScroll(-notches * kWheelLines);
      return 0;
    }
    case WM_CREATE:
    case WM_SIZE:
      RelayoutAll();
      return 0;
    case WM_LBUTTONDOWN: {
      if (!givesFocusBack_) SetFocus();
      SetCapture();
      dragging_ = true;
      const Place place = PlaceAt({GetXLParam(l), GetYLParam(l)});
      caret_ = place;
      if (!(w & MK_SHIFT)) anchor_ = place;
      Invalidate();
      return 0;
    }
    case WM_MOUSEMOVE:
      if (dragging_ && (w & MK_LBUTTON)) {
        caret_ = PlaceAt({GetXLParam(l), GetYLParam(l)});
        Invalidate();
      }
      return 0;
    case WM_LBUTTONUP:
      dragging_ = false;
      if (EventLoop* loop = EventLoop::Current(); loop && loop->GetCapture() == this) loop->ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_SETFOCUS:
      if (givesFocusBack_ && w != 0)
        if (EventLoop* loop = EventLoop::Current()) loop->SetFocus(static_cast<WindowHandle>(w));
      return 0;
    case WM_KEYDOWN: {
      const EventLoop* loop = EventLoop::Current();
      const bool controlDown = loop && loop->IsKeyDown(VK_CONTROL);
      switch (w) {
        case 'C':
        case VK_INSERT: if (controlDown) Copy(); break;
        case 'A': if (controlDown) SelectAll(); break;
        case VK_UP: LineScroll(-1); break;
        case VK_DOWN: LineScroll(1); break;
        case VK_PRIOR: OnVScroll(SB_PAGEUP); break;
        case VK_NEXT: OnVScroll(SB_PAGEDOWN); break;
        case VK_HOME: if (controlDown) OnVScroll(SB_TOP); break;
        case VK_END: if (controlDown) OnVScroll(SB_BOTTOM); break;
        default: break;
      }
      return 0;
    }
    case WM_COPY:
      Copy();
      return 0;
    default:
      return Window::WindowProc(msg, w, l);
  }
}

// --- Painting ---------------------------------------------------------------------------------

void ChatView::DrawRow(const PaintContext& pc, const Line& line, std::size_t index, const Row& row, int y,
                       Rect clip) const {
  const Place from = std::min(anchor_, caret_);
  const Place to = std::max(anchor_, caret_);
  const std::uint64_t serial = firstSerial_ + index;
  const auto selected = [&](const Glyph& g) {
    const Place at{serial, g.offset};
    return from != to && from <= at && at < to;
  };
  int x = kMargin;
  for (std::size_t i = row.firstGlyph; i < row.endGlyph;) {
    // One call per stretch of the same run and selection state.
    const Glyph& first = line.glyphs[i];
    const bool inSelection = selected(first);
    std::string utf8;
    int width = 0;
    std::size_t j = i;
    for (; j < row.endGlyph && line.glyphs[j].run == first.run && selected(line.glyphs[j]) == inSelection; ++j) {
      AppendCodepoint(utf8, line.glyphs[j].codepoint);
      width += line.glyphs[j].width;
    }
    const Run& run = line.runs[first.run];
    const platform::Font* font = FontOf(run.bold);
    const Point origin = pc.Origin();
    if (inSelection)
      FillRect(pc.Target(), Rect::FromSize(origin.x + x, origin.y + y, width, row.height), kHighlight, clip);
    if (font)
      platform::TextOut(pc.Target(), *font, origin.x + x, origin.y + y + row.height - font->LineHeight(), utf8,
                        inSelection ? kHighlightText : run.colour, clip);
    x += width;
    i = j;
  }
}

void ChatView::OnPaint(PaintContext& pc) {
  const Rect client = GetClientRect();
  pc.Fill(client, background_);
  const Rect clip = client.Offset(pc.Origin().x, pc.Origin().y).Intersect(pc.Clip());
  int top = 0;
  for (std::size_t index = 0; index < lines_.size(); ++index) {
    const Line& line = lines_[index];
    if (top + line.height <= pos_) {
      top += line.height;
      continue;
    }
    if (top >= pos_ + client.Height()) break;
    for (const Row& row : line.rows) {
      const int y = top + row.top - pos_;
      if (y + row.height <= 0 || y >= client.Height()) continue;
      DrawRow(pc, line, index, row, y, clip);
    }
    top += line.height;
  }
}

}  // namespace tovrik::controls
