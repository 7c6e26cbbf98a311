// SSOWebDLL32: the portal's browser with single sign-on.
//
// The in-window page is not drawn yet: a browser object keeps its place,
// visibility and callbacks, and a navigation (after the before-navigate
// callback has had its say) opens the address in the user's own browser.
// The portal login cookies stay with the session; the system browser logs
// in on its own.
//
// Answers: 0 done; 1 the before-navigate callback cancelled the navigation;
// 2 the request cannot be carried out (no page to run a script in, the
// system browser cannot be started); -1 bad arguments or no session.

#include "portal/PortalExports.h"
#include "portal/SystemBrowser.h"

#include <new>
#include <string>

namespace {

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
    {"CVAUTH", "CVDATA", "CVCP", ".corvanta.example", "https://www.corvanta.example/sso/activate",
     "https://www.corvanta.example/sso/refresh", "DefaultPath"},
    {"PTAUTH", "PTDATA", "PTCP", ".partner-one.example", "https://www.partner-one.example/sso/activate",
     "https://www.partner-one.example/sso/refresh", "PartnerOnePath"},
    {"PWAUTH", "PWDATA", "PWCP", ".partner-two.example", "https://www.partner-two.example/sso/activate",
     "https://www.partner-two.example/sso/refresh", "PartnerTwoPath"},
};

struct Session {
  bool initialised = false;
  void* mainWindow = nullptr;
  std::string authCookie, dataCookie, cpCookie;
  int site = 0;
} g_session;

struct Browser {
  unsigned style = 0;
  int rect[4] = {};
  void* parent = nullptr;
  int childId = 0;
  void* external = nullptr;
  SSO_OnBeforeNavigate2_t onBeforeNavigate = nullptr;
  SSO_OnQuit_t onQuit = nullptr;
  int userNavigatedCount = 0;
};

const Site& CurrentSite() {
  int site = g_session.site;
  return kSites[(site >= 0 && site < int(std::size(kSites))) ? site : 0];
}

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
  auto* browser = new (std::nothrow) Browser;
  if (!browser) return nullptr;
  browser->style = style;
  if (rect)
    for (int i = 0; i < 4; ++i) browser->rect[i] = rect[i];
  browser->parent = parent;
  browser->childId = childId;
  browser->external = external;
  return browser;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_NavigateCorvanta(void* handle, const char* url) {
  if (!handle || !url || !*url || !g_session.initialised) return -1;
  auto* browser = static_cast<Browser*>(handle);
  if (browser->onBeforeNavigate) {
    int cancel = 0;
    browser->onBeforeNavigate(url, 0, "", nullptr, 0, "", &cancel);
    if (cancel) return 1;
  }
  ++browser->userNavigatedCount;
  return tovrik::portal::OpenInSystemBrowser(url) ? 0 : 2;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_ExecJavascript(void* handle, const char* script) {
  if (!handle || !script) return -1;
  return 2;  // no page is held in the window to run it in
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_ResetUserNavigatedCount(void* handle) {
  if (!handle) return -1;
  static_cast<Browser*>(handle)->userNavigatedCount = 0;
  return 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_SetCallback_OnBeforeNavigate2(void* handle, SSO_OnBeforeNavigate2_t callback) {
  if (!handle) return -1;
  static_cast<Browser*>(handle)->onBeforeNavigate = callback;
  return 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_SetCallback_OnQuit(void* handle, SSO_OnQuit_t callback) {
  if (!handle) return -1;
  static_cast<Browser*>(handle)->onQuit = callback;
  return 0;
}

TOVRIK_PORTAL_EXPORT int SSOWebNEW_Release(void* handle) {
  if (!handle) return -1;
  delete static_cast<Browser*>(handle);
  return 0;
}

TOVRIK_PORTAL_EXPORT const char* SSOWeb_GetActCookieURL() { return CurrentSite().activateCookieUrl; }

TOVRIK_PORTAL_EXPORT const char* SSOWeb_GetCookieDomain() { return CurrentSite().cookieDomain; }
