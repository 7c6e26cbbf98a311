// SSOWebDLL32: the portal's browser with single sign-on.
//
// Pages are drawn by the page engine (Module/SSOWebEngine, a web view per
// page, offscreen) and shown by the client in its own windows; every
// request carries the portal login cookies. The engine is loaded with the
// first page. Where it is missing or cannot start (no display), a
// navigation opens the address in the user's own browser instead, after
// the before-navigate callback has had its say; the system browser logs in
// on its own. Hidden pages and about:blank never open a system browser.
//
// Answers: 0 done; 1 the before-navigate callback cancelled the navigation;
// 2 the request cannot be carried out (no page to run a script in, the
// system browser cannot be started); -1 bad arguments or no session.

#include "WebEngine.h"
#include "portal/PortalExports.h"
#include "portal/SystemBrowser.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <string>

namespace {

using tovrik::ssoweb::IWebEngine;
using tovrik::ssoweb::IWebPage;
using tovrik::ssoweb::PageCookie;

// The portal sites the module can serve. The client always uses the first.
struct Site {
  const char* authCookieName;
  const char* dataCookieName;
  const char* cpCookieName;
  const char* cookieDomain;
  const char* activateCookieUrl;
  const char* refreshCookieUrl;
  const char* installValueName;
};

constexpr Site kSites[] = {
    {"AuthCookie", "DataCookie", "CpCookie", ".corvanta.example", "https://www.corvanta.example/sso/activate",
     "https://www.corvanta.example/sso/refresh", "DefaultPath"},
    {"PTAUTH", "PTDATA", "PTCP", ".partner-one.example", "https://www.partner-one.example/sso/activate",
     "https://www.partner-one.example/sso/refresh", "PartnerOnePath"},
    {"PWAUTH", "PWDATA", "PWCP", ".partner-two.example", "https://www.partner-two.example/sso/activate",
     "https://www.partner-two.example/sso/refresh", "PartnerTwoPath"},
};

constexpr unsigned kVisibleStyle = 0x1;

struct Session {
  bool initialised = false;
  void* mainWindow = nullptr;
  std::string authCookie, dataCookie, cpCookie;
  int site = 0;
} g_session;

// Sites are numbered from 1 (the client passes 1); anything else is the first.
const Site& CurrentSite() {
  int site = g_session.site;
  return kSites[(site >= 1 && site <= int(std::size(kSites))) ? site - 1 : 0];
}

// Cookie values travel percent-encoded (a login value holds "=", "&", ";").
std::string PercentEncode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                 c == '_' || c == '.' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

IWebEngine* g_engine = nullptr;  // once Engine() found one

// The page engine, loaded once and never unloaded (the toolkit it holds
// cannot be unloaded). Null when it is missing or cannot start here.
IWebEngine* Engine() {
  static IWebEngine* engine = [] () -> IWebEngine* {
    const char* choice = std::getenv("TOVRIK_SSOWEB_ENGINE");
    if (choice && std::strcmp(choice, "off") == 0) return nullptr;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return nullptr;
    Dl_info self{};
    if (!dladdr(reinterpret_cast<void*>(&Engine), &self) || !self.dli_fname) return nullptr;
    std::filesystem::path file = std::filesystem::path(self.dli_fname).parent_path() / "SSOWebEngine.so";
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!library) {
      std::fprintf(stderr, "SSOWebDLL32: no page engine (%s)\n", dlerror());
      return nullptr;
    }
    auto instance = reinterpret_cast<SSOWebEngine_Instance_t>(dlsym(library, "SSOWebEngine_Instance"));
    IWebEngine* loaded = instance ? instance() : nullptr;
    g_engine = loaded && loaded->Start() ? loaded : nullptr;
    return g_engine;
  }();
  return engine;
}

void SayOnceThatPagesOpenOutside() {
  static bool said = false;
  if (said) return;
  said = true;
  std::fprintf(stderr, "SSOWebDLL32: pages cannot be drawn here; they open in the system browser\n");
}

void HandCookiesTo(IWebEngine& engine) {
  const Site& site = CurrentSite();
  PageCookie cookies[] = {{site.authCookieName, PercentEncode(g_session.authCookie)},
                          {site.dataCookieName, PercentEncode(g_session.dataCookie)},
                          {site.cpCookieName, PercentEncode(g_session.cpCookie)}};
  engine.SetCookies(cookies, 3);
}

class Browser final : public tovrik::ssoweb::IWebPageEvents {
 public:
  ~Browser() override {
    if (page) g_engine->ReleasePage(page);
  }

  bool BeforeNavigate(const std::string& url, const std::string& frame) override {
    if (!onBeforeNavigate) return false;
    int cancel = 0;
    onBeforeNavigate(url.c_str(), 0, frame.c_str(), nullptr, 0, "", &cancel);
    return cancel != 0;
  }
  void Closed() override {
    if (onQuit) onQuit();
  }
  void External(const std::string& method) override {
    if (external.call) external.call(external.context, method.c_str());
  }

  unsigned style = 0;
  int rect[4] = {};
  void* parent = nullptr;
  int childId = 0;
  SSO_External external{};
  std::string externalMethods;
  SSO_OnBeforeNavigate2_t onBeforeNavigate = nullptr;
  SSO_OnQuit_t onQuit = nullptr;
  int userNavigatedCount = 0;
  bool visible = false;
  IWebPage* page = nullptr;  // null: pages open in the system browser
};

Browser* AsBrowser(void* handle) { return static_cast<Browser*>(handle); }

}  // namespace

TOVRIK_PORTAL_EXPORT int SSOWebNEW_Initialize(void* mainWindow, const char* authCookie, const char* dataCookie,
                                              const char* cpCookie, int site) {
  if (!authCookie || !dataCookie || !cpCookie) return -1;
  g_session = {true, mainWindow, authCookie, dataCookie, cpCookie, site};
  return 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_UnInitialize() {
  g_session = Session{};
  return 0;
}

TOVRIK_PORTAL_EXPORT void* SSOWebNEW_Create(unsigned style, const int* rect, void* parent, int childId,
                                            void* external) {
  if (!g_session.initialised) return nullptr;
  auto browser = std::unique_ptr<Browser>(new (std::nothrow) Browser);
  if (!browser) return nullptr;
  browser->style = style;
  if (rect)
    for (int i = 0; i < 4; ++i) browser->rect[i] = rect[i];
  browser->parent = parent;
  browser->childId = childId;
  browser->visible = (style & kVisibleStyle) != 0;
  if (external) {
    browser->external = *static_cast<const SSO_External*>(external);
    browser->externalMethods = browser->external.methods ? browser->external.methods : "";
    browser->external.methods = nullptr;  // the caller's text may go; the copy above stays
  }
  int width = browser->rect[2] - browser->rect[0], height = browser->rect[3] - browser->rect[1];
  if (IWebEngine* engine = Engine()) {
    HandCookiesTo(*engine);
    browser->page = engine->CreatePage(*browser, width, height, parent, browser->externalMethods);
  }
  if (!browser->page) SayOnceThatPagesOpenOutside();
  return browser.release();
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_NavigateCorvanta(void* handle, const char* url) {
  if (!handle || !url || !*url || !g_session.initialised) return -1;
  Browser* browser = AsBrowser(handle);
  ++browser->userNavigatedCount;
  if (browser->page) {
    // The engine asks the before-navigate callback itself, as for any
    // navigation of the page.
    browser->page->Load(url);
    return 0;
  }
  if (browser->BeforeNavigate(url, "")) return 1;
  if (std::strcmp(url, "about:blank") == 0 || !browser->visible) return 0;
  return tovrik::portal::OpenInSystemBrowser(url) ? 0 : 2;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_ExecJavascript(void* handle, const char* script) {
  if (!handle || !script) return -1;
  Browser* browser = AsBrowser(handle);
  if (!browser->page) return 2;  // no page is held in the window to run it in
  browser->page->RunScript(script);
  return 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_ResetUserNavigatedCount(void* handle) {
  if (!handle) return -1;
  AsBrowser(handle)->userNavigatedCount = 0;
  return 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_SetCallback_OnBeforeNavigate2(void* handle, SSO_OnBeforeNavigate2_t callback) {
  if (!handle) return -1;
  AsBrowser(handle)->onBeforeNavigate = callback;
  return 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_SetCallback_OnQuit(void* handle, SSO_OnQuit_t callback) {
  if (!handle) return -1;
  AsBrowser(handle)->onQuit = callback;
  return 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_Release(void* handle) {
  if (!handle) return -1;
  delete AsBrowser(handle);
  return 0;
}

TOVRIK_PORTAL_EXPORT const char* SSOWeb_GetActCookieURL() { return CurrentSite().activateCookieUrl; }

TOVRIK_PORTAL_EXPORT const char* SSOWeb_GetCookieDomain() { return CurrentSite().cookieDomain; }

TOVRIK_PORTAL_EXPORT int SSOWebNEW_Pump() {
  // Pumping never loads the engine: only one that made a page has work.
  return g_engine && g_engine->Pump() ? 1 : 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_IsEmbedded(void* handle) { return handle && AsBrowser(handle)->page ? 1 : 0; }

TOVRIK_PORTAL_EXPORT int SSOWebNEW_CopyPixels(void* handle, std::uint16_t* pixels, int width, int height,
                                              int rowBytes) {
  if (!handle || !AsBrowser(handle)->page || !pixels || width <= 0 || height <= 0 || rowBytes < width * 2) return -1;
  return AsBrowser(handle)->page->CopyPixels(pixels, width, height, rowBytes) ? 1 : 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_SetVisible(void* handle, int visible) {
  if (!handle) return -1;
  Browser* browser = AsBrowser(handle);
  browser->visible = visible != 0;
  if (browser->page) browser->page->SetVisible(browser->visible);
  return 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_Mouse(void* handle, int kind, int x, int y, int button, unsigned modifiers) {
  if (!handle || !AsBrowser(handle)->page || kind < 0 || kind > 5) return -1;
  AsBrowser(handle)->page->Mouse(kind, x, y, button, modifiers);
  return 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_Key(void* handle, int down, unsigned virtualKey, unsigned modifiers) {
  if (!handle || !AsBrowser(handle)->page) return -1;
  AsBrowser(handle)->page->Key(down != 0, virtualKey, modifiers);
  return 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_Text(void* handle, const char* utf8) {
  if (!handle || !AsBrowser(handle)->page || !utf8) return -1;
  AsBrowser(handle)->page->Text(utf8);
  return 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_Focus(void* handle, int focused) {
  if (!handle || !AsBrowser(handle)->page) return -1;
  AsBrowser(handle)->page->Focus(focused != 0);
  return 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_GetLocation(void* handle, char* out, int outSize) {
  if (!handle || !AsBrowser(handle)->page || !out || outSize <= 0) return -1;
  std::string location = AsBrowser(handle)->page->Location();
  std::snprintf(out, static_cast<size_t>(outSize), "%s", location.c_str());
  return static_cast<int>(location.size());
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_PageCount() { return g_engine ? g_engine->PageCount() : 0; }
