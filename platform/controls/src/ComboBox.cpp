#include "controls/ComboBox.h"

#include <algorithm>

#include "controls/Look.h"
#include "controls/ControlMessages.h"
#include "base/CodePage.h"
#include "platform/EventLoop.h"

namespace tovrik::controls {
using platform::EventLoop;
using platform::GetXLParam;
using platform::GetYLParam;
using platform::PaintContext;
using platform::Point;
using platform::Rect;
using platform::RgbColor;
using platform::Window;

namespace {

constexpr int kEditId = 1001;  // the edit of a combo box, as Windows numbers it
constexpr RgbColor kFace = SystemColours::kFace;
constexpr RgbColor kWindow = SystemColours::kWindow;
constexpr RgbColor kText = SystemColours::kText;
constexpr RgbColor kGreyText = SystemColours::kGreyText;
constexpr RgbColor kLight = SystemColours::kHighlight;
constexpr RgbColor kShadow = SystemColours::kShadow;
constexpr RgbColor kDarkShadow = SystemColours::kDarkShadow;
constexpr RgbColor kSelection = SystemColours::kSelection;
constexpr RgbColor kSelectionText = SystemColours::kSelectionText;

bool AltDown() {
  const EventLoop* loop = EventLoop::Current();
  return loop && loop->IsKeyDown(platform::VK_MENU);
}

std::string_view TextOf(LParam l) { return l ? std::string_view(reinterpret_cast<const char*>(l)) : std::string_view(); }

void Edge(const PaintContext& pc, Rect r, RgbColor topLeft, RgbColor bottomRight) {
  pc.Fill({r.left, r.top, r.right, r.top + 1}, topLeft);
  pc.Fill({r.left, r.top, r.left + 1, r.bottom}, topLeft);
  pc.Fill({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  pc.Fill({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

Rect Inset(Rect r, int d) { return {r.left + d, r.top + d, r.right - d, r.bottom - d}; }

// The window the drop list opens in: the combo's dialog (the ancestor just
// below the main window), or the main window itself.
Window* HostOf(Window& combo) {
  Window* host = combo.Parent();
  while (host && host->Parent() && host->Parent()->Parent()) host = host->Parent();
  return host;
}

}  // namespace

// The list while it is dropped: it holds the mouse, follows the pointer,
// picks the item a press ends on, and closes on a press outside it.
class ComboBox::DropList final : public ListBox {
 public:
  explicit DropList(ComboBox& owner) : owner_(owner) {}
  ~DropList() override { Destroy(); }

  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    using namespace platform;
    const Point p{GetXLParam(l), GetYLParam(l)};
    switch (msg) {
      case WM_MOUSEMOVE:
        if (!DragThumb(p))
          if (const int item = ItemFromPoint(p); item != LB_ERR) SetCurSel(item);
        return 0;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (!GetClientRect().Contains(p)) {
          owner_.CloseUp(false);
          return 0;
        }
        PressScrollBar(p);
        return 0;
      case WM_LBUTTONUP: {
        owner_.pressed_ = false;
        owner_.Invalidate();
        const bool wasDragging = DragThumb(p);
        EndDrag();
        // A release off the list (the press that opened it ending on the
        // face) leaves it open.
        if (const int item = ItemFromPoint(p); item != LB_ERR && !wasDragging) owner_.Choose(item);
        return 0;
      }
      case WM_CAPTURECHANGED:
        // Something else took the mouse (a box opened): the list goes.
        if (owner_.dropped_) owner_.CloseUp(false);
        return 0;
      case WM_DESTROY:
        owner_.dropped_ = false;
        return 0;
      default:
        return ListBox::WindowProc(msg, w, l);
    }
  }

 private:
  ComboBox& owner_;
};

// The edit of an editable combo: the keys that work the list go to the combo.
class ComboBox::ComboEdit final : public Edit {
 public:
  explicit ComboEdit(ComboBox& owner) : owner_(owner) {}
  ~ComboEdit() override { Destroy(); }

  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    using namespace platform;
    switch (msg) {
      case WM_GETDLGCODE:
        return owner_.dropped_ ? DLGC_WANTALLKEYS : Edit::WindowProc(msg, w, l);
      case WM_KEYDOWN:
        if ((w == VK_RETURN || w == VK_ESCAPE || w == VK_F1 + 3 || w == VK_PRIOR || w == VK_NEXT) && owner_.OnKey(w))
          return 0;
        break;
      case WM_MOUSEENTER:
      case WM_MOUSELEAVE:
        owner_.UpdateHot();
        break;
      default:
        break;
    }
    return Edit::WindowProc(msg, w, l);
  }

 private:
  ComboBox& owner_;
};

ComboBox::ComboBox(ComboStyle style)
    : style_(style), list_(std::make_unique<DropList>(*this)), font_(platform::Font::Default()) {
  if (style_ == ComboStyle::DropDown) edit_ = std::make_unique<ComboEdit>(*this);
}

ComboBox::~ComboBox() { Destroy(); }

void ComboBox::ApplySpec(const ControlSpec& spec) {
  Control::ApplySpec(spec);
  if (!IsCreated()) {
    style_ = (spec.style & CBS_TYPEMASK) == CBS_DROPDOWN ? ComboStyle::DropDown : ComboStyle::DropDownList;
    if (style_ == ComboStyle::DropDown && !edit_) edit_ = std::make_unique<ComboEdit>(*this);
    if (style_ == ComboStyle::DropDownList) edit_.reset();
  }
  list_->SetSorted((spec.style & CBS_SORT) != 0);
  if (edit_) SetWindowText(spec.caption);
}

void ComboBox::SetWindowText(std::string_view utf8) { SetText(base::Utf8ToCp949(utf8)); }

void ComboBox::SetFont(std::shared_ptr<platform::Font> font) {
  font_ = font;
  list_->SetFont(font);
  if (edit_) edit_->SetFont(std::move(font));
  Invalidate();
}

// --- Items and selection ----------------------------------------------------------

int ComboBox::DeleteString(int index) {
  const int left = list_->DeleteString(index);
  if (left == LB_ERR) return CB_ERR;
  if (selected_ == index) selected_ = -1;
  else if (selected_ > index) --selected_;
  Invalidate();
  return left;
}

void ComboBox::ResetContent() {
  list_->ResetContent();
  selected_ = -1;
  if (edit_) SetText({});
  Invalidate();
}

int ComboBox::SelectString(int start, std::string_view prefix) {
  const int found = list_->FindString(start, prefix);
  if (found != LB_ERR) SetCurSel(found);
  return found == LB_ERR ? CB_ERR : found;
}

bool ComboBox::SetCurSel(int index) {
  const bool valid = index >= 0 && index < GetCount();
  selected_ = valid ? index : -1;
  list_->SetCurSel(selected_);
  if (edit_) {
    SetText(valid ? GetLBText(index) : std::string());
    edit_->SelectAll();
  } else {
    Control::SetWindowText(GetTextUtf8());
  }
  Invalidate();
  return valid;
}

void ComboBox::SelectByUser(int index) {
  index = std::clamp(index, 0, GetCount() - 1);
  if (GetCount() == 0 || index == selected_) return;
  SetCurSel(index);
  NotifyParent(*this, CBN_SELCHANGE);
}

std::string ComboBox::GetText() const { return edit_ ? edit_->GetText() : GetLBText(selected_); }

std::string ComboBox::GetTextUtf8() const { return base::Cp949ToUtf8(GetText()); }

void ComboBox::SetText(std::string_view cp949) {
  if (!edit_) return;
  settingText_ = true;
  edit_->SetText(cp949);
  settingText_ = false;
}

bool ComboBox::SetEditSel(int start, int end) {
  if (!edit_) return false;
  const std::size_t size = edit_->GetText().size();
  const std::size_t to = end < 0 ? size : static_cast<std::size_t>(end);
  if (start < 0) {
    const std::size_t caret = edit_->GetSel().end;
    edit_->SetSel(caret, caret);
  } else {
    edit_->SetSel(static_cast<std::size_t>(start), to);
  }
  return true;
}

Edit::Selection ComboBox::GetEditSel() const { return edit_ ? edit_->GetSel() : Edit::Selection{}; }

void ComboBox::LimitText(std::size_t bytes) {
  if (edit_) edit_->LimitText(bytes);
}

// --- The drop list --------------------------------------------------------------------

void ComboBox::ShowDropDown(bool show) {
  if (!show) {
    if (dropped_) CloseUp(false);
    return;
  }
  if (dropped_ || !IsCreated() || !IsWindowEnabled()) return;
  NotifyParent(*this, CBN_DROPDOWN);  // the parent may fill the list now
  Window* host = HostOf(*this);
  if (!host || !IsCreated()) return;
  const Rect mine = GetScreenRect();
  const Rect hostRect = host->Parent() ? host->GetScreenRect() : host->GetClientRect();
  const Rect face = mine.Offset(-hostRect.left, -hostRect.top);
  const int rows = std::clamp(GetCount(), 1, droppedRows_);
  int height = rows * list_->ItemHeight() + 2;
  const int roomBelow = hostRect.Height() - face.bottom;
  int top = face.bottom;
  if (height > roomBelow && face.top > roomBelow) {
    height = std::min(height, face.top);
    top = face.top - height;
  } else {
    height = std::min(height, std::max(list_->ItemHeight() + 2, roomBelow));
  }
  if (!list_->Create(host, Rect::FromSize(face.left, top, face.Width(), height), 0)) return;
  list_->BringWindowToTop();
  int highlight = selected_;
  if (edit_ && highlight < 0) highlight = FindStringExact(-1, edit_->GetText());
  // The rows it shows were worked out for its new height.
  list_->SetTopIndex(0);
  list_->SetCurSel(highlight);
  dropped_ = true;
  list_->SetCapture();
  Invalidate();
}

void ComboBox::Choose(int index) {
  const bool changed = index != selected_;
  const bool wasDropped = dropped_;
  CloseList();
  if (index >= 0 && index < GetCount()) SetCurSel(index);
  if (changed) NotifyParent(*this, CBN_SELCHANGE);
  if (wasDropped) {
    NotifyParent(*this, CBN_SELENDOK);
    NotifyParent(*this, CBN_CLOSEUP);
  }
}

void ComboBox::CloseUp(bool accepted) {
  if (!dropped_) return;
  if (accepted) {
    Choose(list_->GetCurSel());
    return;
  }
  CloseList();
  NotifyParent(*this, CBN_SELENDCANCEL);
  NotifyParent(*this, CBN_CLOSEUP);
}

void ComboBox::CloseList() {
  if (!dropped_) return;
  dropped_ = false;
  pressed_ = false;
  if (EventLoop* loop = EventLoop::Current(); loop && loop->GetCapture() == list_.get()) loop->ReleaseCapture();
  list_->Destroy();
  Invalidate();
}

// --- Input -------------------------------------------------------------------------------

bool ComboBox::OnKey(WParam key) {
  using namespace platform;
  constexpr WParam kF4 = VK_F1 + 3;
  const bool dropList = style_ == ComboStyle::DropDownList;
  if (dropped_) {
    const int current = list_->GetCurSel();
    const int page = list_->VisibleRows();
    switch (key) {
      case VK_UP: if (AltDown()) CloseUp(true); else list_->SetCurSel(std::max(0, current - 1)); return true;
      case VK_DOWN: if (AltDown()) CloseUp(true); else list_->SetCurSel(std::min(GetCount() - 1, current + 1)); return true;
      case VK_PRIOR: list_->SetCurSel(std::max(0, current - page + 1)); return true;
      case VK_NEXT: list_->SetCurSel(std::min(GetCount() - 1, std::max(0, current) + page - 1)); return true;
      case VK_HOME: if (!dropList) return false; list_->SetCurSel(0); return true;
      case VK_END: if (!dropList) return false; list_->SetCurSel(GetCount() - 1); return true;
      case VK_RETURN:
      case kF4: CloseUp(true); return true;
      case VK_ESCAPE: CloseUp(false); return true;
      default: return false;
    }
  }
  switch (key) {
    case kF4: ShowDropDown(true); return true;
    case VK_UP: if (AltDown()) ShowDropDown(true); else SelectByUser(selected_ - 1); return true;
    case VK_DOWN: if (AltDown()) ShowDropDown(true); else SelectByUser(selected_ + 1); return true;
    case VK_PRIOR: if (!dropList) return false; SelectByUser(selected_ - list_->VisibleRows() + 1); return true;
    case VK_NEXT: if (!dropList) return false; SelectByUser(std::max(0, selected_) + list_->VisibleRows() - 1); return true;
    case VK_HOME: if (!dropList) return false; SelectByUser(0); return true;
    case VK_END: if (!dropList) return false; SelectByUser(GetCount() - 1); return true;
    default: return false;
  }
}

void ComboBox::OnEditNotification(unsigned code) {
  switch (code) {
    case EN_UPDATE:
      if (!settingText_) OnEditUpdate();
      break;
    case EN_CHANGE:
      Control::SetWindowText(GetTextUtf8());
      if (settingText_) break;
      // Typed text selects the item it names, or none.
      selected_ = FindStringExact(-1, edit_->GetText());
      list_->SetCurSel(selected_);
      NotifyParent(*this, CBN_EDITCHANGE);
      break;
    case EN_SETFOCUS:
      focused_ = true;
      Invalidate();
      NotifyParent(*this, CBN_SETFOCUS);
      break;
    case EN_KILLFOCUS:
      focused_ = false;
      CloseUp(false);
      Invalidate();
      NotifyParent(*this, CBN_KILLFOCUS);
      break;
    default:
      break;
  }
}

void ComboBox::OnEditUpdate() { NotifyParent(*this, CBN_EDITUPDATE); }

void ComboBox::UpdateHot() {
  const EventLoop* loop = EventLoop::Current();
  const bool hot = loop && IsCreated() && GetScreenRect().Contains(loop->LastMousePosition());
  if (hot != hot_) Invalidate();
  hot_ = hot;
}

LResult ComboBox::WindowProc(MsgId msg, WParam w, LParam l) {
  using namespace platform;
  const auto index = static_cast<int>(static_cast<std::intptr_t>(w));
  switch (msg) {
    case WM_CREATE:
      if (edit_) {
        edit_->SetFont(font_);
        edit_->Create(this, TextRect(), kEditId);
      }
      list_->SetFont(font_);
      return 0;
    case WM_SIZE:
      if (edit_) edit_->MoveWindow(TextRect());
      return 0;
    case WM_DESTROY:
      CloseList();
      return 0;
    case WM_ENABLE:
      if (edit_) edit_->EnableWindow(w != 0);
      if (!w) CloseUp(false);
      return 0;
    case WM_SETFOCUS:
      if (edit_) {
        edit_->SetFocus();
      } else {
        focused_ = true;
        Invalidate();
        NotifyParent(*this, CBN_SETFOCUS);
      }
      return 0;
    case WM_KILLFOCUS:
      if (edit_) return 0;
      focused_ = false;
      CloseUp(false);
      Invalidate();
      NotifyParent(*this, CBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus();
      pressed_ = true;
      ShowDropDown(true);
      return 0;
    case WM_LBUTTONUP:
      pressed_ = false;
      Invalidate();
      return 0;
    case WM_MOUSEENTER:
    case WM_MOUSELEAVE:
      UpdateHot();
      return 0;
    case WM_GETDLGCODE:
      return dropped_ ? DLGC_WANTALLKEYS : DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      OnKey(w);
      return 0;
    case WM_CHAR:
      // A drop-down list jumps to the next item that starts with the letter.
      if (!edit_ && w >= 0x20 && w < 0x80) {
        const char letter = static_cast<char>(w);
        if (const int found = FindString(selected_, std::string_view(&letter, 1)); found != LB_ERR) SelectByUser(found);
      }
      return 0;
    case WM_COMMAND:
      if (edit_ && l == static_cast<LParam>(edit_->Handle())) OnEditNotification(HighWord(w));
      return 0;
    case CB_GETEDITSEL: {
      const Edit::Selection sel = GetEditSel();
      return edit_ ? static_cast<LResult>(sel.start | (sel.end << 16)) : CB_ERR;
    }
    case CB_LIMITTEXT: LimitText(w); return edit_ ? 1 : CB_ERR;
    case CB_SETEDITSEL: return SetEditSel(static_cast<std::int16_t>(LowWord(static_cast<std::uintptr_t>(l))),
                                          static_cast<std::int16_t>(HighWord(static_cast<std::uintptr_t>(l)))) ? 1 : CB_ERR;
    case CB_ADDSTRING: return AddString(TextOf(l));
    case CB_DELETESTRING: return DeleteString(index);
    case CB_GETCOUNT: return GetCount();
    case CB_GETCURSEL: return selected_;
    case CB_GETLBTEXTLEN: return index >= 0 && index < GetCount() ? static_cast<LResult>(GetLBText(index).size()) : CB_ERR;
    case CB_INSERTSTRING: return InsertString(index, TextOf(l));
    case CB_RESETCONTENT: ResetContent(); return 0;
    case CB_FINDSTRING: return FindString(index, TextOf(l));
    case CB_SELECTSTRING: return SelectString(index, TextOf(l));
    case CB_SETCURSEL: return SetCurSel(index) ? index : CB_ERR;
    case CB_SHOWDROPDOWN: ShowDropDown(w != 0); return 1;
    case CB_GETITEMDATA: return index >= 0 && index < GetCount() ? static_cast<LResult>(GetItemData(index)) : CB_ERR;
    case CB_SETITEMDATA: return SetItemData(index, static_cast<std::uintptr_t>(l)) ? 0 : CB_ERR;
    case CB_GETDROPPEDSTATE: return dropped_ ? 1 : 0;
    case CB_FINDSTRINGEXACT: return FindStringExact(index, TextOf(l));
    default:
      return Window::WindowProc(msg, w, l);
  }
}

// --- Painting --------------------------------------------------------------------------------

Rect ComboBox::ButtonRect() const {
  const Rect inner = Inset(GetClientRect(), 2);
  return {std::max(inner.left, inner.right - ButtonWidth()), inner.top, inner.right, inner.bottom};
}

Rect ComboBox::TextRect() const {
  const Rect inner = Inset(GetClientRect(), 2);
  return {inner.left, inner.top, ButtonRect().left, inner.bottom};
}

ComboBox::FaceState ComboBox::CurrentFace() const {
  return {TextRect(), ButtonRect(), IsWindowEnabled(), focused_, hot_, pressed_, dropped_};
}

void ComboBox::DrawFace(PaintContext& pc, const FaceState& state) {
  const Rect client = GetClientRect();
  Edge(pc, client, kShadow, kLight);
  Edge(pc, Inset(client, 1), kDarkShadow, kFace);
  pc.Fill(state.text, state.enabled ? kWindow : kFace);
  const Rect button = state.button;
  pc.Fill(button, kFace);
  const bool down = state.pressed || state.dropped;
  if (down) {
    Edge(pc, button, kShadow, kShadow);
  } else {
    Edge(pc, button, kLight, kDarkShadow);
    Edge(pc, Inset(button, 1), kFace, kShadow);
  }
  // The arrow: a small triangle pointing down, one pixel lower when pressed.
  const int shift = down ? 1 : 0;
  const int cx = button.left + button.Width() / 2 + shift;
  const int cy = button.top + button.Height() / 2 - 1 + shift;
  const RgbColor ink = state.enabled ? kText : kGreyText;
  for (int row = 0; row < 4; ++row) pc.Fill({cx - 3 + row, cy + row - 1, cx + 4 - row, cy + row}, ink);
}

void ComboBox::DrawFaceText(PaintContext& pc, const FaceState& state) {
  if (edit_ || !font_) return;
  Rect band = state.text;
  band.left += 1;
  band.top += 1;
  band.bottom -= 1;
  const bool highlighted = state.focused && !state.dropped && state.enabled;
  if (highlighted) pc.Fill(band, kSelection);
  const RgbColor ink = !state.enabled ? kGreyText : highlighted ? kSelectionText : kText;
  const Rect clip = state.text.Offset(pc.Origin().x, pc.Origin().y).Intersect(pc.Clip());
  const int y = state.text.top + (state.text.Height() - font_->LineHeight()) / 2;
  platform::TextOut(pc.Target(), *font_, pc.Origin().x + band.left + 2, pc.Origin().y + y,
                    base::Cp949ToUtf8(GetLBText(selected_)), ink, clip);
}

void ComboBox::OnPaint(PaintContext& pc) {
  const FaceState state = CurrentFace();
  DrawFace(pc, state);
  DrawFaceText(pc, state);
}

}  // namespace tovrik::controls
