#pragma once
// The client's side of the portal's browser with single sign-on
// (Common/Module/SSOWebDLL32). Every export is looked up when it is called:
// a missing export, or a library that is not initialised, makes the call
// fail with no effect.

#include "portal/PortalExports.h"
#include "portal/PortalLibrary.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace tovrik::portal {

class CSSOWebLibMan {
 public:
  // Loads the library and opens the portal session with the player's
  // cookies; on failure the library is unloaded again.
  bool InitSSOWebBrowser(void* mainWindow, std::string_view authCookie, std::string_view dataCookie,
                         std::string_view cpCookie, int site);
  void UnInitSSOWebBrowser();
  bool IsInitialised() const { return initialised_; }

  std::string GetActCookieURL() const;
  std::string GetCookieDomain() const;

  // Runs the library's pending page work (its queued quit and script
  // callbacks included); true when anything ran. The page windows call it
  // from the event loop.
  bool Pump() const;
  // Drawn pages alive in the library.
  int PageCount() const;

  template <typename Function>
  Function Find(const char* name) const {
    return initialised_ ? library_.Find<Function>(name) : nullptr;
  }

 private:
  tovrik::portal::PortalLibrary library_;
  bool initialised_ = false;
};

extern CSSOWebLibMan g_SSOWebLibMan;

class CWebPageWnd;

// One embedded page. Where the library draws pages, the page is shown in a
// child window of the parent (a tovrik::platform::Window) at the rectangle
// with the child id; otherwise the library opens its addresses in the
// system browser.
class CSSOWebBrowser {
 public:
  explicit CSSOWebBrowser(CSSOWebLibMan& library = g_SSOWebLibMan);
  ~CSSOWebBrowser();
  CSSOWebBrowser(const CSSOWebBrowser&) = delete;
  CSSOWebBrowser& operator=(const CSSOWebBrowser&) = delete;

  // rect: left, top, right, bottom in the parent. False when this object
  // already has a browser or none can be made.
  bool Create(unsigned style, const std::array<int, 4>& rect, void* parent, int childId, void* external = nullptr);
  bool Navigate(std::string_view url);
  void ShowWindow(int command);  // 0 hides, anything else shows
  bool IsVisible() const { return visible_; }
  bool ExecJavascript(std::string_view script);
  bool ResetUserNavigatedCount();
  bool SetCallback_OnBeforeNavigate2(SSO_OnBeforeNavigate2_t callback);
  bool SetCallback_OnQuit(SSO_OnQuit_t callback);

  void* handle() const { return browser_; }
  // The window the page is drawn in; null when the library does not draw
  // pages or no parent was given.
  CWebPageWnd* window() const { return window_.get(); }
  bool IsEmbedded() const;
  // The address the drawn page shows ("" when none is drawn).
  std::string Location() const;

 private:
  CSSOWebLibMan& library_;
  void* browser_ = nullptr;
  bool visible_ = false;
  std::unique_ptr<CWebPageWnd> window_;
};

}  // namespace tovrik::portal
