#include "ui/GraphButtonList.h"

#include "base/Log.h"
#include "platform/Cursors.h"
#include "platform/EventLoop.h"
#include "platform/MessageBox.h"
#include "ui/UiMessageBox.h"

namespace tovrik::ui {
namespace {

struct ButtonCursors {
  bool on = false;
  int normal = 0;
  int pressed = 0;
};
ButtonCursors g_cursors;

}  // namespace

void CGraphButtonList::Init() { buttons_.clear(); }

CGraphButton* CGraphButtonList::Add(std::unique_ptr<CGraphButton> button) {
  if (!button) {
    UiMessageBox("버튼에 널포인트", platform::MB_OK);
    return nullptr;
  }
  const int id = button->CommandId();
  auto& slot = buttons_[id];
  slot = std::move(button);
  return slot.get();
}

CGraphButton* CGraphButtonList::Add(std::unique_ptr<CGraphButton> button, platform::Window* parent, gfx::CPage* page,
                                    int x, int y, const gfx::xSprite* set, int buttonIndex, int commandId,
                                    int framesPerButton, int hoverSound) {
  if (!button) {
    UiMessageBox("버튼에 널포인트", platform::MB_OK);
    return nullptr;
  }
  button->Init(parent, page, x, y, set, buttonIndex, commandId, framesPerButton, hoverSound);
  return Add(std::move(button));
}

void CGraphButtonList::SetButtonCursor(int normalCursor, int pressedCursor) {
  g_cursors = {true, normalCursor, pressedCursor};
}

void CGraphButtonList::ClearButtonCursor() { g_cursors = {}; }

void CGraphButtonList::SetCursor(bool pressed) {
  if (!g_cursors.on) return;
  platform::EventLoop* loop = platform::EventLoop::Current();
  if (loop && loop->GetCursors()) loop->GetCursors()->Set(pressed ? g_cursors.pressed : g_cursors.normal);
}

int CGraphButtonList::OnLButtonDown(int x, int y) {
  for (auto& [id, button] : buttons_) {
    if (button->OnLButtonDown(x, y)) {
      SetCursor(true);
      return 1;
    }
  }
  return 0;
}

int CGraphButtonList::OnLButtonUp(int x, int y) {
  for (auto& [id, button] : buttons_) {
    if (button->OnLButtonUp(x, y)) {
      // The command has run: the list may be gone, only process-wide state is left.
      SetCursor(false);
      return 1;
    }
  }
  return 0;
}

void CGraphButtonList::OnMouseMove(int x, int y) {
  for (auto& [id, button] : buttons_)
    if (button->OnMouseMove(x, y)) SetCursor(button->IsPressed() != 0);
}

void CGraphButtonList::Invalidate() {
  for (auto& [id, button] : buttons_)
    if (platform::Window* parent = button->Parent()) parent->Invalidate();
}

void CGraphButtonList::Draw() {
  for (auto& [id, button] : buttons_) button->Draw(0, 0);
  for (auto& [id, button] : buttons_) button->DrawToolTip(20, {0, 0, 0}, {255, 255, 255}, 0);
}

void CGraphButtonList::ShowWindow(int commandId, int show) {
  if (CGraphButton* button = GetButton(commandId)) button->Show(show);
}

void CGraphButtonList::Enable(int commandId, int enable) {
  if (CGraphButton* button = GetButton(commandId)) button->Enable(enable);
}

CGraphButton* CGraphButtonList::GetButton(int commandId) const {
  auto it = buttons_.find(commandId);
  if (it == buttons_.end()) {
    base::Log(base::LogLevel::Warn, "ui", "no sprite button with command ", commandId);
    return nullptr;
  }
  return it->second.get();
}

}  // namespace tovrik::ui
