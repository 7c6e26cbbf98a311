#include "platform/Automation.h"

#include <SDL.h>

#include "base/CodePage.h"

namespace tovrik::platform {
using base::Utf8CharLength;

Automation::Automation(EventLoop& loop) : loop_(loop) {
  loop_.SetModalHook([this](Window& modal) { OnModalIteration(modal); });
}

Automation::~Automation() { loop_.SetModalHook({}); }

void Automation::AnswerModalWhen(int commandId, std::function<bool()> ready) {
  answers_.push_back({commandId, std::move(ready)});
}

void Automation::OnModalIteration(Window& modal) {
  if (answers_.empty() || (answers_.front().ready && !answers_.front().ready())) return;
  const int commandId = answers_.front().commandId;
  answers_.pop_front();
  modal.SendMessage(WM_COMMAND, static_cast<WParam>(commandId), 0);
}

void Automation::Click(Point p, MouseButton button) {
  loop_.InjectMouseMove(p);
  loop_.InjectMouseButton(p, button, true);
  loop_.InjectMouseButton(p, button, false);
}

void Automation::DoubleClick(Point p) {
  Click(p);
  Click(p);
}

void Automation::Drag(Point from, Point to) {
  loop_.InjectMouseMove(from);
  loop_.InjectMouseButton(from, MouseButton::Left, true);
  loop_.InjectMouseMove({(from.x + to.x) / 2, (from.y + to.y) / 2});
  loop_.InjectMouseMove(to);
  loop_.InjectMouseButton(to, MouseButton::Left, false);
}

void Automation::PressKey(WParam virtualKey) {
  loop_.InjectKey(virtualKey, true);
  loop_.InjectKey(virtualKey, false);
}

void Automation::TypeText(std::string_view utf8) {
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t n = Utf8CharLength(utf8, at);
    loop_.InjectTextInput(utf8.substr(at, n));
    at += n;
  }
}

void Automation::ComposeAndCommit(std::initializer_list<std::string_view> steps, std::string_view committed) {
  for (std::string_view step : steps) loop_.InjectTextEditing(step);
  loop_.InjectTextInput(committed);
}

bool Automation::AnswerTopModal(int commandId) {
  Window* modal = loop_.TopModal();
  if (!modal) return false;
  modal->SendMessage(WM_COMMAND, static_cast<WParam>(commandId), 0);
  return true;
}

bool Automation::WaitUntil(const std::function<bool()>& condition, std::uint32_t timeoutMs) {
  const std::uint32_t start = loop_.Clock().NowMs();
  while (!condition()) {
    const std::uint32_t elapsed = loop_.Clock().NowMs() - start;
    if (elapsed >= timeoutMs) return false;
    if (!loop_.PumpOnce()) loop_.WaitForWork(std::min<std::uint32_t>(timeoutMs - elapsed, 10));
  }
  return true;
}

void Automation::Settle(int maxIterations) {
  for (int i = 0; i < maxIterations && loop_.PumpOnce(); ++i) {
  }
}

bool Automation::SaveFrame(const std::filesystem::path& file) {
  if (loop_.NeedsPaint()) loop_.PaintNow();
  const PixelView frame = loop_.Frame();
  if (!frame.IsValid()) return false;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(frame.pixels, frame.width, frame.height, 16, frame.pitch,
                                                            SDL_PIXELFORMAT_RGB555);
  if (!surface) return false;
  const bool saved = SDL_SaveBMP(surface, file.c_str()) == 0;
  SDL_FreeSurface(surface);
  return saved;
}

}  // namespace tovrik::platform
