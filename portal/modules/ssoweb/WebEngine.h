#pragma once
// Between the browser module and its page engine, a library of its own
// beside the module (Module/SSOWebEngine) that holds the web toolkit. The
// module loads it only when a page is first made, so a machine without the
// toolkit, or a run without a display, still has the module: it then opens
// pages in the system browser. Both libraries are built together, so this
// is a plain C++ interface; the engine library exports one factory.

#include <cstdint>
#include <string>

namespace tovrik::ssoweb {

// What a page tells its owner. Navigation questions come synchronously
// from inside the engine; Closed and External are delivered by Pump after
// the engine's own callbacks have returned, so the owner may run a modal
// window from them.
class IWebPageEvents {
 public:
  virtual ~IWebPageEvents() = default;
  // Before every navigation (links, forms, scripts, frames, new windows);
  // true cancels it. `frame` is the target frame's name ("" for the page).
  virtual bool BeforeNavigate(const std::string& url, const std::string& frame) = 0;
  // The page's script closed its window.
  virtual void Closed() = 0;
  // The page's script called window.external.<method>().
  virtual void External(const std::string& method) = 0;
};

struct PageCookie {
  std::string name;
  std::string value;  // sent as given (already encoded)
};

// One page drawn offscreen.
class IWebPage {
 public:
  virtual ~IWebPage() = default;
  virtual void Load(const std::string& url) = 0;
  virtual void RunScript(const std::string& script) = 0;
  // Copies the page as RGB555 when it changed since the last copy; false
  // when nothing changed.
  virtual bool CopyPixels(std::uint16_t* pixels, int width, int height, int rowBytes) = 0;
  // kind: 0 move, 1 press, 2 release, 3 double press, 4 wheel (button > 0
  // up, < 0 down), 5 the pointer left. button 1 left, 3 right.
  virtual void Mouse(int kind, int x, int y, int button, unsigned modifiers) = 0;
  // A key by its virtual-key code (the client's key codes).
  virtual void Key(bool down, unsigned virtualKey, unsigned modifiers) = 0;
  // Typed text (UTF-8), the input method's result included.
  virtual void Text(const std::string& utf8) = 0;
  virtual void Focus(bool focused) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual std::string Location() const = 0;
};

class IWebEngine {
 public:
  virtual ~IWebEngine() = default;
  // False when the toolkit cannot start here (no display).
  virtual bool Start() = 0;
  // `group` names the window the page belongs to: pages of one group share
  // one web process. `externalMethods`: names separated by ",".
  virtual IWebPage* CreatePage(IWebPageEvents& events, int width, int height, const void* group,
                               const std::string& externalMethods) = 0;
  // Pages are released here; the toolkit's processes go with the last one.
  virtual void ReleasePage(IWebPage* page) = 0;
  // The cookies every request of every page carries, for any host.
  virtual void SetCookies(const PageCookie* cookies, int count) = 0;
  // Runs the toolkit's pending work without waiting and delivers the
  // pages' queued events; true when anything ran.
  virtual bool Pump() = 0;
  virtual int PageCount() const = 0;
};

}  // namespace tovrik::ssoweb

// The engine library's one export.
typedef tovrik::ssoweb::IWebEngine* (*SSOWebEngine_Instance_t)();
