#include "controls/Dialog.h"

#include <algorithm>

#include "base/Log.h"
#include "controls/ControlFactory.h"
#include "controls/Look.h"

namespace tovrik::controls {
using platform::EventLoop;
using platform::Point;
using platform::Rect;
using platform::Window;
using platform::WindowHandle;
namespace msg = platform;

namespace {

bool IsDescendant(const Window* window, const Window* ancestor) {
  for (const Window* w = window; w; w = w->Parent())
    if (w == ancestor) return true;
  return false;
}

bool IsAlive(WindowHandle handle, const Window* window) {
  EventLoop* loop = EventLoop::Current();
  return loop && loop->FromHandle(handle) == window;
}

}  // namespace

Dialog::~Dialog() { Destroy(); }

bool Dialog::CreateModeless(Window* parent, Point at) {
  return CreateAt(parent, Rect::FromSize(at.x, at.y, template_.width, template_.height));
}

bool Dialog::CreateModeless(Window* parent) {
  const Rect room = parent ? parent->GetClientRect() : Rect{};
  return CreateModeless(parent, {(room.Width() - template_.width) / 2, (room.Height() - template_.height) / 2});
}

bool Dialog::CreateAt(Window* parent, Rect rect) {
  if (IsCreated()) return false;
  owned_.clear();
  defaultId_ = 0;
  result_ = 0;
  if (!Create(parent, rect)) return false;
  const WindowHandle handle = Handle();
  CreateControls();
  if (SendMessage(msg::WM_INITDIALOG) && IsAlive(handle, this)) {
    if (auto stops = TabStops(); !stops.empty()) stops.front()->SetFocus();
  }
  return IsAlive(handle, this);
}

void Dialog::CreateControls() {
  for (const ControlSpec& spec : template_.controls) {
    Window* window = ProvideControl(spec);
    if (!window) {
      auto made = MakeStandardControl(spec);
      if (!made) {
        base::Log(base::LogLevel::Error, "controls", "dialog ", template_.name, ": control ", spec.id,
                  " has a class without a standard control and was not provided");
        continue;
      }
      window = made.get();
      owned_.push_back(std::move(made));
    } else if (auto* control = dynamic_cast<Control*>(window)) {
      control->ApplySpec(spec);
    }
    unsigned style = 0;
    if (!(spec.style & kStartHidden)) style |= msg::WS_VISIBLE;
    if (spec.style & kStartDisabled) style |= msg::WS_DISABLED;
    const Rect rect = Rect::FromSize(spec.rect.x, spec.rect.y, spec.rect.width, spec.rect.height);
    if (!window->Create(this, rect, spec.id, style)) {
      base::Log(base::LogLevel::Error, "controls", "dialog ", template_.name, ": control ", spec.id,
                " could not be created");
      continue;
    }
    if (spec.controlClass == ControlClass::Button && (spec.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && !defaultId_)
      defaultId_ = spec.id;
  }
}

int Dialog::DoModal(Window* parent) {
  EventLoop* loop = EventLoop::Current();
  if (!loop) return -1;
  const WindowHandle previousFocus = loop->GetFocus() ? loop->GetFocus()->Handle() : WindowHandle::None;
  modal_ = true;
  endedBeforeRun_ = false;
  if (!CreateModeless(parent)) {
    modal_ = false;
    return -1;
  }
  running_ = !endedBeforeRun_;
  const int result = endedBeforeRun_ ? result_ : loop->RunModal(*this);
  running_ = false;
  modal_ = false;
  Destroy();
  // The focus goes back where it was before the dialog opened.
  if (Window* focus = loop->FromHandle(previousFocus)) focus->SetFocus();
  return result;
}

void Dialog::EndDialog(int result) {
  result_ = result;
  if (!IsCreated()) return;
  if (modal_) {
    EventLoop* loop = EventLoop::Current();
    if (running_ && loop) {
      loop->EndModal(*this, result);
    } else {
      endedBeforeRun_ = true;
    }
  } else {
    // Keys must not go on reaching a hidden dialog's controls.
    EventLoop* loop = EventLoop::Current();
    if (loop && loop->GetFocus() && IsDescendant(loop->GetFocus(), this) && Parent()) Parent()->SetFocus();
    ShowWindow(false);
  }
}

void Dialog::SetDefID(int id) {
  if (id == defaultId_) return;
  if (Window* old = GetDlgItem(defaultId_)) old->SendMessage(BM_SETSTYLE, BS_PUSHBUTTON);
  defaultId_ = id;
  if (Window* next = GetDlgItem(id)) next->SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON);
}

std::vector<Window*> Dialog::TabStops() const {
  std::vector<const ControlSpec*> specs;
  for (const ControlSpec& spec : template_.controls)
    if (spec.tabOrder > 0) specs.push_back(&spec);
  std::stable_sort(specs.begin(), specs.end(),
                   [](const ControlSpec* a, const ControlSpec* b) { return a->tabOrder < b->tabOrder; });
  std::vector<Window*> stops;
  for (const ControlSpec* spec : specs)
    if (Window* w = GetDlgItem(spec->id); w && w->IsWindowVisible() && w->IsWindowEnabled()) stops.push_back(w);
  return stops;
}

Window* Dialog::FocusedControl() const {
  EventLoop* loop = EventLoop::Current();
  Window* focus = loop ? loop->GetFocus() : nullptr;
  return focus && focus != this && IsDescendant(focus, this) ? focus : nullptr;
}

void Dialog::NextDlgCtrl(bool previous) {
  const auto stops = TabStops();
  if (stops.empty()) return;
  Window* focus = FocusedControl();
  // The tab stop that holds the focus (a control may have children).
  auto current = std::find_if(stops.begin(), stops.end(), [&](Window* w) { return IsDescendant(focus, w); });
  std::size_t next = 0;
  if (current == stops.end()) {
    next = previous ? stops.size() - 1 : 0;
  } else {
    const std::size_t at = static_cast<std::size_t>(current - stops.begin());
    next = previous ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
  }
  stops[next]->SetFocus();
}

bool Dialog::PreTranslateMessage(MsgId message, WParam w, LParam) {
  if (message != msg::WM_KEYDOWN || !IsWindowVisible()) return false;
  if (w != msg::VK_TAB && w != msg::VK_RETURN && w != msg::VK_ESCAPE) return false;
  Window* focus = FocusedControl();
  const LResult wants = focus ? focus->SendMessage(WM_GETDLGCODE, w, 0) : 0;
  if (wants & DLGC_WANTALLKEYS) return false;
  if (w == msg::VK_TAB && (wants & DLGC_WANTTAB)) return false;
  return HandleDialogKey(w);
}

bool Dialog::HandleDialogKey(WParam key) {
  EventLoop* loop = EventLoop::Current();
  if (key == msg::VK_TAB) {
    NextDlgCtrl(loop && loop->IsKeyDown(msg::VK_SHIFT));
    return true;
  }
  if (key == msg::VK_ESCAPE) {
    if (!(template_.flags & kDialogIgnoresEscape)) {
      Window* cancel = GetDlgItem(msg::IDCANCEL);
      if (!cancel || cancel->IsWindowEnabled())
        SendMessage(msg::WM_COMMAND, msg::MakeWParam(msg::IDCANCEL, BN_CLICKED),
                    cancel ? static_cast<LParam>(cancel->Handle()) : 0);
    }
    return true;
  }
  if (template_.flags & kDialogIgnoresEnter) return true;
  int id = defaultId_ ? defaultId_ : msg::IDOK;
  if (Window* focus = FocusedControl(); focus && focus->Parent() == this &&
                                        (focus->SendMessage(WM_GETDLGCODE, key, 0) &
                                         (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
    id = focus->Id();
  Window* button = GetDlgItem(id);
  if (button && !button->IsWindowEnabled()) return true;  // a disabled default does nothing
  SendMessage(msg::WM_COMMAND, msg::MakeWParam(static_cast<unsigned>(id), BN_CLICKED),
              button ? static_cast<LParam>(button->Handle()) : 0);
  return true;
}

LResult Dialog::WindowProc(MsgId message, WParam w, LParam l) {
  switch (message) {
    case msg::WM_INITDIALOG:
      return OnInitDialog() ? 1 : 0;
    case DM_GETDEFID:
      return defaultId_;
    case DM_SETDEFID:
      SetDefID(static_cast<int>(w));
      return 1;
    case msg::WM_COMMAND:
      if (msg::HighWord(w) != BN_CLICKED) return 0;
      if (msg::LowWord(w) == static_cast<unsigned>(msg::IDOK)) {
        OnOK();
        return 0;
      }
      if (msg::LowWord(w) == static_cast<unsigned>(msg::IDCANCEL)) {
        OnCancel();
        return 0;
      }
      return 0;
    default:
      return Window::WindowProc(message, w, l);
  }
}

void Dialog::OnPaint(platform::PaintContext& pc) {
  pc.Fill(GetClientRect(), SystemColours::kFace);
  DrawEdge(pc, GetClientRect(), true);
}

}  // namespace tovrik::controls
