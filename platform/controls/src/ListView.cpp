#include "controls/ListView.h"

#include <algorithm>

#include "controls/Look.h"
#include "RowScroller.h"
#include "TextUnits.h"
#include "controls/ControlMessages.h"
#include "base/CodePage.h"
#include "platform/EventLoop.h"

namespace tovrik::controls {
using platform::GetXLParam;
using platform::GetYLParam;
using platform::PaintContext;
using platform::Point;
using platform::Rect;
using platform::RgbColor;

namespace {

constexpr RgbColor kFace = SystemColours::kFace;
constexpr RgbColor kLight = SystemColours::kHighlight;
constexpr RgbColor kShadow = SystemColours::kShadow;
constexpr RgbColor kDarkShadow = SystemColours::kDarkShadow;
constexpr RgbColor kGreyText = SystemColours::kGreyText;
constexpr RgbColor kSelection = SystemColours::kSelection;
constexpr RgbColor kSelectionText = SystemColours::kSelectionText;
constexpr int kCellPadding = 4;
constexpr int kDefaultCheckSize = 13;
constexpr int kWheelRows = 3;

void Edge(const PaintContext& pc, Rect r, RgbColor topLeft, RgbColor bottomRight) {
  pc.Fill({r.left, r.top, r.right, r.top + 1}, topLeft);
  pc.Fill({r.left, r.top, r.left + 1, r.bottom}, topLeft);
  pc.Fill({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  pc.Fill({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

unsigned CheckState(bool checked) { return IndexToStateImageMask(checked ? 2 : 1); }

}  // namespace

ListView::ListView() : font_(platform::Font::Default()) {}

ListView::~ListView() { Destroy(); }

void ListView::SetCheckBoxes(bool on) {
  checkBoxes_ = on;
  Invalidate();
}

void ListView::SetStateImages(const platform::PixelView& strip, std::optional<RgbColor> key) {
  images_ = {};
  if (!strip.IsValid() || strip.width < 2) return;
  images_.stride = strip.width;
  images_.width = strip.width / 2;
  images_.height = strip.height;
  images_.pixels.assign(static_cast<std::size_t>(strip.width) * static_cast<std::size_t>(strip.height), 0);
  const platform::PixelView copy{images_.pixels.data(), strip.width, strip.height, strip.width * 2,
                                 platform::PixelFormat::Rgb555, nullptr};
  platform::CopyToRgb555(copy, {0, 0}, strip, platform::Bounds(strip), platform::Bounds(copy));
  if (key) images_.key = platform::ToRgb555(*key);
  Invalidate();
}

void ListView::SetHeaderVisible(bool visible) {
  headerVisible_ = visible;
  SetTopIndex(top_);
  Invalidate();
}

void ListView::SetFont(std::shared_ptr<platform::Font> font) {
  font_ = std::move(font);
  SetTopIndex(top_);
  Invalidate();
}

void ListView::SetColours(RgbColor text, RgbColor background) {
  text_ = text;
  background_ = background;
  Invalidate();
}

// --- Columns and items -----------------------------------------------------------------

int ListView::InsertColumn(int index, std::string_view cp949Title, int width, Align align) {
  if (index < 0 || index > GetColumnCount()) index = GetColumnCount();
  columns_.insert(columns_.begin() + index, Column{std::string(cp949Title), std::max(0, width), align});
  for (Item& item : items_) item.texts.insert(item.texts.begin() + std::min<std::ptrdiff_t>(index, static_cast<std::ptrdiff_t>(item.texts.size())), std::string());
  Invalidate();
  return index;
}

bool ListView::SetColumnWidth(int column, int width) {
  if (column < 0 || column >= GetColumnCount()) return false;
  columns_[static_cast<std::size_t>(column)].width = std::max(0, width);
  Invalidate();
  return true;
}

int ListView::GetColumnWidth(int column) const {
  return column >= 0 && column < GetColumnCount() ? columns_[static_cast<std::size_t>(column)].width : 0;
}

int ListView::InsertItem(int index, std::string_view cp949) {
  if (index < 0 || index > GetItemCount()) index = GetItemCount();
  Item item;
  item.texts.assign(std::max<std::size_t>(1, columns_.size()), std::string());
  item.texts[0] = std::string(cp949);
  items_.insert(items_.begin() + index, std::move(item));
  if (selected_ >= index) ++selected_;
  Invalidate();
  return index;
}

bool ListView::SetItemText(int item, int subItem, std::string_view cp949) {
  if (item < 0 || item >= GetItemCount() || subItem < 0 || subItem >= std::max(1, GetColumnCount())) return false;
  auto& texts = items_[static_cast<std::size_t>(item)].texts;
  if (texts.size() <= static_cast<std::size_t>(subItem)) texts.resize(static_cast<std::size_t>(subItem) + 1);
  texts[static_cast<std::size_t>(subItem)] = std::string(cp949);
  Invalidate();
  return true;
}

std::string ListView::GetItemText(int item, int subItem) const {
  if (item < 0 || item >= GetItemCount() || subItem < 0) return {};
  const auto& texts = items_[static_cast<std::size_t>(item)].texts;
  return static_cast<std::size_t>(subItem) < texts.size() ? texts[static_cast<std::size_t>(subItem)] : std::string();
}

bool ListView::DeleteItem(int item) {
  if (item < 0 || item >= GetItemCount()) return false;
  items_.erase(items_.begin() + item);
  if (selected_ == item) selected_ = -1;
  else if (selected_ > item) --selected_;
  SetTopIndex(top_);
  Invalidate();
  return true;
}

void ListView::DeleteAllItems() {
  items_.clear();
  selected_ = -1;
  top_ = 0;
  Invalidate();
}

bool ListView::SetItemData(int item, std::uintptr_t data) {
  if (item < 0 || item >= GetItemCount()) return false;
  items_[static_cast<std::size_t>(item)].data = data;
  return true;
}

std::uintptr_t ListView::GetItemData(int item) const {
  return item >= 0 && item < GetItemCount() ? items_[static_cast<std::size_t>(item)].data : 0;
}

unsigned ListView::StateOf(int item) const {
  if (item < 0 || item >= GetItemCount()) return 0;
  unsigned state = item == selected_ ? LVIS_SELECTED | LVIS_FOCUSED : 0;
  if (checkBoxes_) state |= CheckState(items_[static_cast<std::size_t>(item)].checked);
  return state;
}

bool ListView::SetCheck(int item, bool checked) {
  if (item < 0 || item >= GetItemCount()) return false;
  Item& entry = items_[static_cast<std::size_t>(item)];
  if (entry.checked == checked) return true;
  const unsigned before = StateOf(item);
  entry.checked = checked;
  Invalidate();
  Notify(LVN_ITEMCHANGED, item, 0, before, StateOf(item));
  return true;
}

bool ListView::GetCheck(int item) const {
  return item >= 0 && item < GetItemCount() && items_[static_cast<std::size_t>(item)].checked;
}

void ListView::Toggle(int item) { SetCheck(item, !GetCheck(item)); }

bool ListView::SetSelection(int item) {
  if (item < -1 || item >= GetItemCount()) return false;
  if (item == selected_) return true;
  const int previous = selected_;
  const unsigned previousBefore = StateOf(previous);
  const unsigned itemBefore = StateOf(item);
  selected_ = item;
  if (item >= 0) EnsureVisible(item);
  Invalidate();
  if (previous >= 0) Notify(LVN_ITEMCHANGED, previous, 0, previousBefore, StateOf(previous));
  if (item >= 0) Notify(LVN_ITEMCHANGED, item, 0, itemBefore, StateOf(item));
  return true;
}

int ListView::FindItem(int start, std::string_view text) const {
  for (int i = std::max(0, start + 1); i < GetItemCount(); ++i)
    if (EqualsIgnoringCase(items_[static_cast<std::size_t>(i)].texts[0], text)) return i;
  return -1;
}

void ListView::Notify(int code, int item, int subItem, unsigned oldState, unsigned newState, Point point) {
  platform::Window* parent = Parent();
  if (!parent) return;
  ListViewNotify note;
  note.header = {Handle(), Id(), code};
  note.item = item;
  note.subItem = subItem;
  note.oldState = oldState;
  note.newState = newState;
  note.changed = code == LVN_ITEMCHANGED ? LVIF_STATE : 0;
  note.point = point;
  note.param = GetItemData(item);
  parent->SendMessage(WM_NOTIFY, static_cast<WParam>(Id()), reinterpret_cast<LParam>(&note));
}

// --- Geometry ------------------------------------------------------------------------------

int ListView::CheckBoxSize() const { return images_.width > 0 ? images_.width : kDefaultCheckSize; }

int ListView::RowHeight() const {
  const int text = (font_ ? font_->LineHeight() : 12) + 2;
  const int box = checkBoxes_ ? (images_.height > 0 ? images_.height : kDefaultCheckSize) + 2 : 0;
  return std::max(text, box);
}

int ListView::HeaderHeight() const { return headerVisible_ ? (font_ ? font_->LineHeight() : 12) + 6 : 0; }

Rect ListView::RowsRect() const {
  const Rect client = GetClientRect();
  Rect rows{client.left + 1, client.top + 1 + HeaderHeight(), client.right - 1, client.bottom - 1};
  if (GetItemCount() > std::max(1, rows.Height() / RowHeight())) rows.right -= RowScroller::kWidth;
  return rows;
}

int ListView::VisibleRows() const { return std::max(1, RowsRect().Height() / RowHeight()); }

void ListView::SetTopIndex(int top) {
  const int clamped = std::clamp(top, 0, std::max(0, GetItemCount() - VisibleRows()));
  if (clamped != top_) Invalidate();
  top_ = clamped;
}

void ListView::EnsureVisible(int item) {
  if (item < top_) SetTopIndex(item);
  else if (item >= top_ + VisibleRows()) SetTopIndex(item - VisibleRows() + 1);
}

Rect ListView::CheckBoxRect(int item) const {
  if (!checkBoxes_ || item < top_ || item >= GetItemCount()) return {};
  const Rect rows = RowsRect();
  const int size = CheckBoxSize();
  const int boxHeight = images_.height > 0 ? images_.height : kDefaultCheckSize;
  const int top = rows.top + (item - top_) * RowHeight() + (RowHeight() - boxHeight) / 2;
  return Rect::FromSize(rows.left + 2, top, size, boxHeight);
}

ListView::Hit ListView::HitTest(Point p) const {
  Hit hit;
  const Rect client = GetClientRect();
  int x = client.left + 1;
  auto columnAt = [&](int px) {
    for (int c = 0; c < GetColumnCount(); ++c) {
      const int w = columns_[static_cast<std::size_t>(c)].width;
      if (px >= x && px < x + w) return c;
      x += w;
    }
    return -1;
  };
  if (headerVisible_ && p.y >= client.top + 1 && p.y < client.top + 1 + HeaderHeight()) {
    hit.onHeader = true;
    hit.subItem = columnAt(p.x);
    return hit;
  }
  const Rect rows = RowsRect();
  if (!rows.Contains(p)) return hit;
  const int item = top_ + (p.y - rows.top) / RowHeight();
  if (item >= GetItemCount()) return hit;
  hit.item = item;
  hit.subItem = columnAt(p.x);
  hit.onCheckBox = CheckBoxRect(item).Contains(p);
  return hit;
}

// --- Input -------------------------------------------------------------------------------------

void ListView::OnPress(Point p, bool doubleClick) {
  RowScroller scroller;
  const Rect rows = RowsRect();
  scroller.Update({rows.right, rows.top, rows.right + RowScroller::kWidth, rows.bottom}, GetItemCount(), VisibleRows());
  switch (scroller.HitTest(p, top_)) {
    case RowScroller::Part::PageUp: SetTopIndex(top_ - VisibleRows()); return;
    case RowScroller::Part::PageDown: SetTopIndex(top_ + VisibleRows()); return;
    case RowScroller::Part::Thumb: draggingThumb_ = true; SetCapture(); return;
    case RowScroller::Part::None: break;
  }
  const Hit hit = HitTest(p);
  if (hit.onHeader) {
    if (hit.subItem >= 0) Notify(LVN_COLUMNCLICK, -1, hit.subItem, 0, 0, p);
    return;
  }
  const platform::WindowHandle self = Handle();
  if (hit.onCheckBox && !doubleClick) Toggle(hit.item);
  if (!IsCreated() || Handle() != self) return;
  SetSelection(hit.item);
  Notify(doubleClick ? NM_DBLCLK : NM_CLICK, hit.item, std::max(0, hit.subItem), 0, 0, p);
}

LResult ListView::WindowProc(MsgId msg, WParam w, LParam l) {
  using namespace platform;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus();
      OnPress({GetXLParam(l), GetYLParam(l)}, msg == WM_LBUTTONDBLCLK);
      return 0;
    case WM_MOUSEMOVE:
      if (draggingThumb_ && (w & MK_LBUTTON)) {
        const Rect rows = RowsRect();
        RowScroller scroller;
        scroller.Update({rows.right, rows.top, rows.right + RowScroller::kWidth, rows.bottom}, GetItemCount(),
                        VisibleRows());
        SetTopIndex(scroller.TopForThumbAt(GetYLParam(l), top_));
      }
      return 0;
    case WM_LBUTTONUP:
      draggingThumb_ = false;
      if (EventLoop* loop = EventLoop::Current(); loop && loop->GetCapture() == this) loop->ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      draggingThumb_ = false;
      return 0;
    case WM_MOUSEWHEEL: {
      wheelRest_ += GetWheelDelta(w);
      const int notches = wheelRest_ / 120;
      wheelRest_ -= notches * 120;
      SetTopIndex(top_ - notches * kWheelRows);
      return 0;
    }
    case WM_KEYDOWN: {
      const int last = GetItemCount() - 1;
      if (last < 0) return 0;
      const int at = std::max(0, selected_);
      switch (w) {
        case VK_UP: SetSelection(selected_ < 0 ? 0 : std::max(0, selected_ - 1)); break;
        case VK_DOWN: SetSelection(selected_ < 0 ? 0 : std::min(last, selected_ + 1)); break;
        case VK_PRIOR: SetSelection(std::max(0, at - VisibleRows() + 1)); break;
        case VK_NEXT: SetSelection(std::min(last, at + VisibleRows() - 1)); break;
        case VK_HOME: SetSelection(0); break;
        case VK_END: SetSelection(last); break;
        case VK_SPACE: if (checkBoxes_ && selected_ >= 0) Toggle(selected_); break;
        default: break;
      }
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      focused_ = msg == WM_SETFOCUS;
      Invalidate();
      return 0;
    case WM_SIZE:
      SetTopIndex(top_);
      return 0;
    default:
      return Window::WindowProc(msg, w, l);
  }
}

// --- Painting ------------------------------------------------------------------------------------

void ListView::DrawCheckBox(const PaintContext& pc, Rect box, bool checked, Rect clip) const {
  const Point o = pc.Origin();
  if (images_.width > 0) {
    const platform::PixelView& target = pc.Target();
    const int sx = checked ? images_.width : 0;
    const Rect area = box.Offset(o.x, o.y).Intersect(clip).Intersect(platform::Bounds(target));
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) {
        const std::uint16_t p = images_.pixels[static_cast<std::size_t>(y - box.top - o.y) * static_cast<std::size_t>(images_.stride) +
                                               static_cast<std::size_t>(sx + x - box.left - o.x)];
        if (!images_.key || p != *images_.key) target.Row16(y)[x] = p;
      }
    return;
  }
  // The classic box: a sunken two-pixel edge around white, a tick when checked.
  FillRect(pc.Target(), box.Offset(o.x, o.y), kLight, clip);
  const auto edge = [&](Rect r, RgbColor topLeft, RgbColor bottomRight) {
    FillRect(pc.Target(), Rect{r.left, r.top, r.right, r.top + 1}.Offset(o.x, o.y), topLeft, clip);
    FillRect(pc.Target(), Rect{r.left, r.top, r.left + 1, r.bottom}.Offset(o.x, o.y), topLeft, clip);
    FillRect(pc.Target(), Rect{r.left, r.bottom - 1, r.right, r.bottom}.Offset(o.x, o.y), bottomRight, clip);
    FillRect(pc.Target(), Rect{r.right - 1, r.top, r.right, r.bottom}.Offset(o.x, o.y), bottomRight, clip);
  };
  edge(box, kShadow, kLight);
  edge({box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, kDarkShadow, kFace);
  if (!checked) return;
  // The tick: seven columns three pixels high, falling then rising.
  const int drop[] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i)
    FillRect(pc.Target(), Rect::FromSize(box.left + 3 + i, box.top + 3 + drop[i], 1, 3).Offset(o.x, o.y), {0, 0, 0}, clip);
}

void ListView::OnPaint(PaintContext& pc) {
  const Rect client = GetClientRect();
  const Point o = pc.Origin();
  pc.Fill(client, background_);
  Edge(pc, client, kShadow, kLight);
  const bool enabled = IsWindowEnabled();
  // Header.
  if (headerVisible_) {
    int x = client.left + 1;
    const int height = HeaderHeight();
    for (const Column& column : columns_) {
      if (column.width <= 0) continue;
      const Rect cell = Rect::FromSize(x, client.top + 1, column.width, height);
      pc.Fill(cell, kFace);
      Edge(pc, cell, kLight, kShadow);
      if (font_) {
        const Rect clip = cell.Offset(o.x, o.y).Intersect(pc.Clip());
        platform::TextOut(pc.Target(), *font_, o.x + cell.left + kCellPadding, o.y + cell.top + 3,
                          base::Cp949ToUtf8(column.title), enabled ? RgbColor{0, 0, 0} : kGreyText, clip);
      }
      x += column.width;
    }
    if (x < client.right - 1) pc.Fill({x, client.top + 1, client.right - 1, client.top + 1 + height}, kFace);
  }
  // Rows.
  const Rect rows = RowsRect();
  const Rect rowsClip = rows.Offset(o.x, o.y).Intersect(pc.Clip());
  const int height = RowHeight();
  for (int i = top_; i < GetItemCount() && i <= top_ + VisibleRows(); ++i) {
    const Item& item = items_[static_cast<std::size_t>(i)];
    const int top = rows.top + (i - top_) * height;
    const bool selected = i == selected_;
    int x = rows.left;
    int textLeft = x;
    if (checkBoxes_) {
      DrawCheckBox(pc, CheckBoxRect(i), item.checked, rowsClip);
      textLeft = CheckBoxRect(i).right + 2;
    }
    if (selected) {
      const Rect band{textLeft, top, rows.right, top + height};
      FillRect(pc.Target(), band.Offset(o.x, o.y), focused_ ? kSelection : kFace, rowsClip);
    }
    const RgbColor ink = !enabled ? kGreyText : selected && focused_ ? kSelectionText : text_;
    for (std::size_t c = 0; c < columns_.size() && font_; ++c) {
      const Column& column = columns_[c];
      const int left = c == 0 ? textLeft : x;
      const int right = x + column.width;
      x = right;
      if (column.width <= 0 || c >= item.texts.size() || right <= left) continue;
      const std::string utf8 = platform::FitWithEllipsis(*font_, base::Cp949ToUtf8(item.texts[c]), right - left - 2 * kCellPadding + 2);
      const int width = font_->Extent(utf8).width;
      int tx = left + kCellPadding - (c == 0 ? 2 : 0);
      if (column.align == Align::Right) tx = right - kCellPadding - width;
      if (column.align == Align::Center) tx = left + (right - left - width) / 2;
      const Rect clip = Rect{left, top, right, top + height}.Offset(o.x, o.y).Intersect(rowsClip);
      platform::TextOut(pc.Target(), *font_, o.x + tx, o.y + top + (height - font_->LineHeight()) / 2, utf8, ink, clip);
    }
  }
  RowScroller scroller;
  scroller.Update({rows.right, rows.top, rows.right + RowScroller::kWidth, rows.bottom}, GetItemCount(), VisibleRows());
  scroller.Draw(pc, top_);
}

}  // namespace tovrik::controls
