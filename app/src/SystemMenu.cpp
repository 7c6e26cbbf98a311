#include "app/SystemMenu.h"

#include "platform/Text.h"

using namespace tovrik::platform;

namespace tovrik::app {

namespace {
constexpr RgbColor kBack{240, 240, 240};
constexpr RgbColor kFrame{120, 120, 120};
constexpr RgbColor kHighlight{0, 84, 166};
constexpr RgbColor kText{0, 0, 0};
constexpr RgbColor kHighlightText{255, 255, 255};

bool IsSeparator(const CSystemMenu::Item& item) { return item.text.empty(); }
}  // namespace

const std::vector<CSystemMenu::Item>& CSystemMenu::MainWindowItems() {
  static const std::vector<Item> items = {
      {"최소화(&N)", SC_MINIMIZE, 'N'},
      {"닫기(&C)", SC_CLOSE, 'C'},
      {"", 0, 0},
      {"Client 정보(&A)...", IDM_ABOUTBOX, 'A'},
  };
  return items;
}

CSystemMenu::~CSystemMenu() { Destroy(); }

Rect CSystemMenu::ItemRect(int index) const {
  const auto& items = MainWindowItems();
  int y = 2;
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    const int height = IsSeparator(items[i]) ? kSeparatorHeight : kItemHeight;
    if (i == index) return Rect::FromSize(2, y, kWidth - 4, height);
    y += height;
  }
  return {};
}

bool CSystemMenu::Open(Window& owner) {
  if (IsCreated()) return true;
  const auto& items = MainWindowItems();
  const int height = ItemRect(static_cast<int>(items.size()) - 1).bottom + 2;
  if (!Create(&owner, Rect::FromSize(0, 0, kWidth, height))) return false;
  owner_ = &owner;
  highlighted_ = 0;
  SetFocus();
  SetCapture();
  Invalidate();
  return true;
}

void CSystemMenu::Close() {
  if (!IsCreated()) return;
  Window* owner = owner_;
  owner_ = nullptr;
  highlighted_ = -1;
  Destroy();
  if (owner) owner->SetFocus();
}

int CSystemMenu::ItemAt(Point p) const {
  const int count = static_cast<int>(MainWindowItems().size());
  for (int i = 0; i < count; ++i)
    if (!IsSeparator(MainWindowItems()[i]) && ItemRect(i).Contains(p)) return i;
  return -1;
}

void CSystemMenu::Move(int step) {
  const auto& items = MainWindowItems();
  const int count = static_cast<int>(items.size());
  int next = highlighted_;
  for (int tries = 0; tries < count; ++tries) {
    next = ((next < 0 ? (step > 0 ? -1 : 0) : next) + step + count) % count;
    if (!IsSeparator(items[next])) break;
  }
  highlighted_ = next;
  Invalidate();
}

void CSystemMenu::Pick(int index) {
  Window* owner = owner_;
  const WParam command = MainWindowItems()[index].command;
  Close();
  // Posted, as a menu's pick is: the command runs after the menu is gone.
  if (owner) owner->PostMessage(WM_SYSCOMMAND, command, 0);
}

LResult CSystemMenu::WindowProc(MsgId msg, WParam w, LParam l) {
  const Point p{GetXLParam(l), GetYLParam(l)};
  switch (msg) {
    case WM_MOUSEMOVE:
      if (const int item = ItemAt(p); item >= 0 && item != highlighted_) {
        highlighted_ = item;
        Invalidate();
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (!GetClientRect().Contains(p)) return 0;
      if (const int item = ItemAt(p); item >= 0) Pick(item);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      // A press outside the menu dismisses it, as with any menu.
      if (!GetClientRect().Contains(p)) Close();
      return 0;
    case WM_KEYDOWN:
      switch (w) {
        case VK_UP:
          Move(-1);
          return 0;
        case VK_DOWN:
          Move(1);
          return 0;
        case VK_RETURN:
          if (highlighted_ >= 0) Pick(highlighted_);
          return 0;
        case VK_ESCAPE:
        case VK_MENU:
          Close();
          return 0;
        default: {
          const auto& items = MainWindowItems();
          for (int i = 0; i < static_cast<int>(items.size()); ++i)
            if (items[i].accelerator != 0 && w == static_cast<WParam>(items[i].accelerator)) {
              Pick(i);
              return 0;
            }
          return 0;
        }
      }
    case WM_KILLFOCUS:
    case WM_CAPTURECHANGED:
      // Anything else taking the input ends the menu; closing is deferred
      // so that the window is not destroyed inside its own handler's caller.
      if (IsCreated()) PostMessage(WM_CLOSE);
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    default:
      return Window::WindowProc(msg, w, l);
  }
}

void CSystemMenu::OnPaint(PaintContext& pc) {
  const Rect all = GetClientRect();
  pc.Fill(all, kFrame);
  pc.Fill({1, 1, all.right - 1, all.bottom - 1}, kBack);
  const std::shared_ptr<Font> font = Font::Default();
  const auto& items = MainWindowItems();
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    const Rect r = ItemRect(i);
    if (IsSeparator(items[i])) {
      pc.Fill({r.left + 4, r.top + r.Height() / 2, r.right - 4, r.top + r.Height() / 2 + 1}, kFrame);
      continue;
    }
    const bool lit = i == highlighted_;
    if (lit) pc.Fill(r, kHighlight);
    if (!font) continue;
    // The accelerator's ampersand marks the letter; it is not drawn.
    std::string text = items[i].text;
    if (const auto amp = text.find('&'); amp != std::string::npos) text.erase(amp, 1);
    const Point o = pc.Origin();
    TextOut(pc.Target(), *font, o.x + r.left + 18, o.y + r.top + (r.Height() - font->LineHeight()) / 2, text,
            lit ? kHighlightText : kText, pc.Clip());
  }
}

}  // namespace tovrik::app
