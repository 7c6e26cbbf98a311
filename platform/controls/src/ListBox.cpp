#include "controls/ListBox.h"

#include <algorithm>

#include "controls/Look.h"
#include "controls/ControlMessages.h"
#include "RowScroller.h"
#include "TextUnits.h"
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

constexpr RgbColor kWindow = SystemColours::kWindow;
constexpr RgbColor kText = SystemColours::kText;
constexpr RgbColor kGreyText = SystemColours::kGreyText;
constexpr RgbColor kSelection = SystemColours::kSelection;
constexpr RgbColor kSelectionText = SystemColours::kSelectionText;
constexpr RgbColor kFrame = SystemColours::kShadow;
constexpr int kWheelRows = 3;

std::string_view TextOf(LParam l) { return l ? std::string_view(reinterpret_cast<const char*>(l)) : std::string_view(); }

}  // namespace

ListBox::ListBox() : font_(platform::Font::Default()) {}

ListBox::~ListBox() { Destroy(); }

void ListBox::ApplySpec(const ControlSpec& spec) {
  Control::ApplySpec(spec);
  sorted_ = (spec.style & LBS_SORT) != 0;
}

void ListBox::SetFont(std::shared_ptr<platform::Font> font) {
  font_ = std::move(font);
  SetTopIndex(top_);
}

void ListBox::SetBorder(bool border) {
  border_ = border;
  Invalidate();
}

// --- Items -------------------------------------------------------------------------

int ListBox::AddString(std::string_view cp949) {
  int index = GetCount();
  if (sorted_) {
    const auto at = std::upper_bound(items_.begin(), items_.end(), cp949, [](std::string_view text, const Item& item) {
      return CompareIgnoringCase(text, item.text) < 0;
    });
    index = static_cast<int>(at - items_.begin());
  }
  return InsertString(index, cp949);
}

int ListBox::AddStringUtf8(std::string_view utf8) { return AddString(base::Utf8ToCp949(utf8)); }

int ListBox::InsertString(int index, std::string_view cp949) {
  if (index < 0) index = GetCount();
  if (index > GetCount()) return LB_ERR;
  items_.insert(items_.begin() + index, Item{std::string(cp949), 0});
  if (selected_ >= index) ++selected_;
  Invalidate();
  return index;
}

int ListBox::DeleteString(int index) {
  if (index < 0 || index >= GetCount()) return LB_ERR;
  items_.erase(items_.begin() + index);
  if (selected_ == index) selected_ = -1;
  else if (selected_ > index) --selected_;
  SetTopIndex(top_);
  Invalidate();
  return GetCount();
}

void ListBox::ResetContent() {
  items_.clear();
  selected_ = -1;
  top_ = 0;
  Invalidate();
}

std::string ListBox::GetText(int index) const {
  return index >= 0 && index < GetCount() ? items_[static_cast<std::size_t>(index)].text : std::string();
}

std::string ListBox::GetTextUtf8(int index) const { return base::Cp949ToUtf8(GetText(index)); }

bool ListBox::SetItemData(int index, std::uintptr_t data) {
  if (index < 0 || index >= GetCount()) return false;
  items_[static_cast<std::size_t>(index)].data = data;
  return true;
}

std::uintptr_t ListBox::GetItemData(int index) const {
  return index >= 0 && index < GetCount() ? items_[static_cast<std::size_t>(index)].data : 0;
}

int ListBox::Find(int start, std::string_view text, bool exact) const {
  const int count = GetCount();
  if (count == 0) return LB_ERR;
  const int first = start < 0 || start >= count ? 0 : start + 1;
  for (int n = 0; n < count; ++n) {
    const int i = (first + n) % count;
    const std::string& item = items_[static_cast<std::size_t>(i)].text;
    if (exact ? EqualsIgnoringCase(item, text) : StartsWithIgnoringCase(item, text)) return i;
  }
  return LB_ERR;
}

int ListBox::FindString(int start, std::string_view prefix) const { return Find(start, prefix, false); }

int ListBox::FindStringExact(int start, std::string_view text) const { return Find(start, text, true); }

int ListBox::SelectString(int start, std::string_view prefix) {
  const int found = FindString(start, prefix);
  if (found != LB_ERR) SetCurSel(found);
  return found;
}

bool ListBox::SetCurSel(int index) {
  if (index < -1 || index >= GetCount()) {
    selected_ = -1;
    Invalidate();
    return false;
  }
  selected_ = index;
  if (index >= 0) EnsureVisible(index);
  Invalidate();
  return true;
}

void ListBox::SelectByUser(int index) {
  index = std::clamp(index, 0, GetCount() - 1);
  if (GetCount() == 0 || index == selected_) return;
  SetCurSel(index);
  NotifyParent(*this, LBN_SELCHANGE);
}

// --- Geometry ------------------------------------------------------------------------

int ListBox::ItemHeight() const { return (font_ ? font_->LineHeight() : 12) + 2; }

Rect ListBox::RowsRect() const {
  const int frame = border_ ? 1 : 0;
  const Rect client = GetClientRect();
  Rect rows{client.left + frame, client.top + frame, client.right - frame, client.bottom - frame};
  if (GetCount() > std::max(1, rows.Height() / ItemHeight())) rows.right -= RowScroller::kWidth;
  return rows;
}

int ListBox::VisibleRows() const { return std::max(1, RowsRect().Height() / ItemHeight()); }

RowScroller ListBox::Scroller() const {
  const Rect rows = RowsRect();
  RowScroller scroller;
  scroller.Update({rows.right, rows.top, rows.right + RowScroller::kWidth, rows.bottom}, GetCount(), VisibleRows());
  return scroller;
}

void ListBox::SetTopIndex(int index) {
  const int top = std::clamp(index, 0, std::max(0, GetCount() - VisibleRows()));
  if (top != top_) Invalidate();
  top_ = top;
}

void ListBox::EnsureVisible(int index) {
  if (index < top_) SetTopIndex(index);
  else if (index >= top_ + VisibleRows()) SetTopIndex(index - VisibleRows() + 1);
}

int ListBox::ItemFromPoint(Point client) const {
  const Rect rows = RowsRect();
  if (!rows.Contains(client)) return LB_ERR;
  const int index = top_ + (client.y - rows.top) / ItemHeight();
  return index < GetCount() && index < top_ + VisibleRows() ? index : LB_ERR;
}

// --- Input ---------------------------------------------------------------------------

bool ListBox::PressScrollBar(Point client) {
  switch (Scroller().HitTest(client, top_)) {
    case RowScroller::Part::PageUp: SetTopIndex(top_ - VisibleRows()); return true;
    case RowScroller::Part::PageDown: SetTopIndex(top_ + VisibleRows()); return true;
    case RowScroller::Part::Thumb: draggingThumb_ = true; return true;
    case RowScroller::Part::None: return false;
  }
  return false;
}

bool ListBox::DragThumb(Point client) {
  if (!draggingThumb_) return false;
  SetTopIndex(Scroller().TopForThumbAt(client.y, top_));
  return true;
}

void ListBox::OnKeyDown(WParam key) {
  using namespace platform;
  const int page = VisibleRows();
  switch (key) {
    case VK_UP: SelectByUser(selected_ < 0 ? 0 : selected_ - 1); break;
    case VK_DOWN: SelectByUser(selected_ < 0 ? 0 : selected_ + 1); break;
    case VK_PRIOR: SelectByUser(std::max(0, selected_) - page + 1); break;
    case VK_NEXT: SelectByUser(std::max(0, selected_) + page - 1); break;
    case VK_HOME: SelectByUser(0); break;
    case VK_END: SelectByUser(GetCount() - 1); break;
    default: break;
  }
}

LResult ListBox::WindowProc(MsgId msg, WParam w, LParam l) {
  using namespace platform;
  const auto index = static_cast<int>(static_cast<std::intptr_t>(w));
  switch (msg) {
    case LB_ADDSTRING: return AddString(TextOf(l));
    case LB_INSERTSTRING: return InsertString(index, TextOf(l));
    case LB_DELETESTRING: return DeleteString(index);
    case LB_RESETCONTENT: ResetContent(); return 0;
    case LB_SETCURSEL: return SetCurSel(index) ? index : LB_ERR;
    case LB_GETCURSEL: return selected_;
    case LB_GETTEXTLEN: return index >= 0 && index < GetCount() ? static_cast<LResult>(GetText(index).size()) : LB_ERR;
    case LB_GETCOUNT: return GetCount();
    case LB_SELECTSTRING: return SelectString(index, TextOf(l));
    case LB_GETTOPINDEX: return top_;
    case LB_SETTOPINDEX: SetTopIndex(index); return 0;
    case LB_FINDSTRING: return FindString(index, TextOf(l));
    case LB_FINDSTRINGEXACT: return FindStringExact(index, TextOf(l));
    case LB_GETITEMDATA: return index >= 0 && index < GetCount() ? static_cast<LResult>(GetItemData(index)) : LB_ERR;
    case LB_SETITEMDATA: return SetItemData(index, static_cast<std::uintptr_t>(l)) ? 0 : LB_ERR;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN: {
      SetFocus();
      SetCapture();
      const Point p{GetXLParam(l), GetYLParam(l)};
      if (PressScrollBar(p)) return 0;
      tracking_ = true;
      if (const int item = ItemFromPoint(p); item != LB_ERR) SelectByUser(item);
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (!(w & MK_LBUTTON)) return 0;
      const Point p{GetXLParam(l), GetYLParam(l)};
      if (!DragThumb(p) && tracking_) {
        const Rect rows = RowsRect();
        // Dragged past the ends, the selection walks on and the rows follow.
        const int y = std::clamp(p.y, rows.top - 1, rows.bottom);
        const int item = y < rows.top ? top_ - 1 : y >= rows.bottom ? top_ + VisibleRows() : top_ + (y - rows.top) / ItemHeight();
        SelectByUser(item);
      }
      return 0;
    }
    case WM_LBUTTONUP:
      EndDrag();
      if (EventLoop* loop = EventLoop::Current(); loop && loop->GetCapture() == this) loop->ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      tracking_ = draggingThumb_ = false;
      return 0;
    case WM_LBUTTONDBLCLK:
      if (ItemFromPoint({GetXLParam(l), GetYLParam(l)}) != LB_ERR) NotifyParent(*this, LBN_DBLCLK);
      return 0;
    case WM_MOUSEWHEEL: {
      wheelRest_ += GetWheelDelta(w);
      const int notches = wheelRest_ / 120;
      wheelRest_ -= notches * 120;
      SetTopIndex(top_ - notches * kWheelRows);
      return 0;
    }
    case WM_KEYDOWN:
      OnKeyDown(w);
      return 0;
    case WM_SIZE:
      SetTopIndex(top_);
      return 0;
    default:
      return Window::WindowProc(msg, w, l);
  }
}

// --- Painting ---------------------------------------------------------------------------

void ListBox::OnPaint(PaintContext& pc) {
  const Rect client = GetClientRect();
  pc.Fill(client, kWindow);
  if (border_) {
    pc.Fill({client.left, client.top, client.right, client.top + 1}, kFrame);
    pc.Fill({client.left, client.bottom - 1, client.right, client.bottom}, kFrame);
    pc.Fill({client.left, client.top, client.left + 1, client.bottom}, kFrame);
    pc.Fill({client.right - 1, client.top, client.right, client.bottom}, kFrame);
  }
  const Rect rows = RowsRect();
  const Rect clip = rows.Offset(pc.Origin().x, pc.Origin().y).Intersect(pc.Clip());
  const bool enabled = IsWindowEnabled();
  const int height = ItemHeight();
  for (int i = top_; i < GetCount() && i < top_ + VisibleRows() + 1; ++i) {
    const Rect row = Rect::FromSize(rows.left, rows.top + (i - top_) * height, rows.Width(), height);
    const bool selected = i == selected_;
    if (selected) FillRect(pc.Target(), row.Offset(pc.Origin().x, pc.Origin().y), kSelection, clip);
    if (!font_) continue;
    const RgbColor ink = !enabled ? kGreyText : selected ? kSelectionText : kText;
    platform::TextOut(pc.Target(), *font_, pc.Origin().x + row.left + 2, pc.Origin().y + row.top + 1,
                      base::Cp949ToUtf8(items_[static_cast<std::size_t>(i)].text), ink, clip);
  }
  Scroller().Draw(pc, top_);
}

}  // namespace tovrik::controls
