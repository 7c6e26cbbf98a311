#pragma once
// The client's side of the portal's browser with single sign-on
// (Common/Module/SSOWebDLL32). Every export is looked up when it is called:
// a missing export, or a library that is not initialised, makes the call
// fail with no effect.

#include "portal/PortalExports.h"
#include "portal/PortalLibrary.h"

#include <array>
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

  template <typename Function>
  Function Find(const char* name) const {
    return initialised_ ? library_.Find<Function>(name) : nullptr;
  }

 private:
  tovrik::portal::PortalLibrary library_;
  bool initialised_ = false;
};

extern CSSOWebLibMan g_SSOWebLibMan;

// One embedded page.
class CSSOWebBrowser {
 public:
  explicit CSSOWebBrowser(CSSOWebLibMan& library = g_SSOWebLibMan) : library_(library) {}
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

 private:
  CSSOWebLibMan& library_;
  void* browser_ = nullptr;
  bool visible_ = false;
};

}  // namespace tovrik::portal
