#include "portal/SSOWebLib.h"

#include "platform/Window.h"
#include "portal/WebPageWnd.h"

namespace tovrik::portal {

CSSOWebLibMan g_SSOWebLibMan;

bool CSSOWebLibMan::InitSSOWebBrowser(void* mainWindow, std::string_view authCookie, std::string_view dataCookie,
                                      std::string_view cpCookie, int site) {
  if (initialised_) UnInitSSOWebBrowser();
  std::optional<std::filesystem::path> common = tovrik::portal::PortalCommonFolder();
  if (!common || !library_.Load(tovrik::portal::PortalLibraryPath(*common, "Module\\SSOWebDLL32.dll"))) return false;
  auto init = library_.Find<SSOWebNEW_Initialize_t>("SSOWebNEW_Initialize");
  std::string auth(authCookie), data(dataCookie), cp(cpCookie);
  if (!init || init(mainWindow, auth.c_str(), data.c_str(), cp.c_str(), site) != 0) {
    library_.Unload();
    return false;
  }
  initialised_ = true;
  return true;
}

void CSSOWebLibMan::UnInitSSOWebBrowser() {
  if (!initialised_) return;
  auto uninit = library_.Find<SSOWebNEW_UnInitialize_t>("SSOWebNEW_UnInitialize");
  if (uninit && uninit() == 0) {
    library_.Unload();
    initialised_ = false;
  }
}

std::string CSSOWebLibMan::GetActCookieURL() const {
  auto get = Find<SSOWeb_GetActCookieURL_t>("SSOWeb_GetActCookieURL");
  const char* text = get ? get() : nullptr;
  return text ? text : "";
}

std::string CSSOWebLibMan::GetCookieDomain() const {
  auto get = Find<SSOWeb_GetCookieDomain_t>("SSOWeb_GetCookieDomain");
  const char* text = get ? get() : nullptr;
  return text ? text : "";
}

bool CSSOWebLibMan::Pump() const {
  auto pump = Find<SSOWebNEW_Pump_t>("SSOWebNEW_Pump");
  return pump && pump() == 1;
}

int CSSOWebLibMan::PageCount() const {
  auto count = Find<SSOWebNEW_PageCount_t>("SSOWebNEW_PageCount");
  return count ? count() : 0;
}

CSSOWebBrowser::CSSOWebBrowser(CSSOWebLibMan& library) : library_(library) {}

CSSOWebBrowser::~CSSOWebBrowser() {
  window_.reset();
  if (!browser_) return;
  if (auto release = library_.Find<SSOWebNEW_Release_t>("SSOWebNEW_Release")) release(browser_);
}

bool CSSOWebBrowser::Create(unsigned style, const std::array<int, 4>& rect, void* parent, int childId,
                            void* external) {
  if (browser_) return false;
  auto create = library_.Find<SSOWebNEW_Create_t>("SSOWebNEW_Create");
  if (!create) return false;
  browser_ = create(style | tovrik::platform::WS_VISIBLE, rect.data(), parent, childId, external);
  visible_ = browser_ != nullptr;
  if (browser_ && parent && IsEmbedded()) {
    auto window = std::make_unique<CWebPageWnd>(library_, browser_);
    auto* owner = static_cast<tovrik::platform::Window*>(parent);
    auto area = tovrik::platform::Rect{rect[0], rect[1], rect[2], rect[3]};
    if (window->Create(owner, area, childId, tovrik::platform::WS_VISIBLE | tovrik::platform::WS_DBLCLKS))
      window_ = std::move(window);
  }
  return browser_ != nullptr;
}

bool CSSOWebBrowser::IsEmbedded() const {
  auto embedded = library_.Find<SSOWebNEW_IsEmbedded_t>("SSOWebNEW_IsEmbedded");
  return browser_ && embedded && embedded(browser_) == 1;
}

std::string CSSOWebBrowser::Location() const {
  auto get = library_.Find<SSOWebNEW_GetLocation_t>("SSOWebNEW_GetLocation");
  if (!browser_ || !get) return "";
  char text[2048] = {};
  return get(browser_, text, sizeof text) >= 0 ? text : "";
}

bool CSSOWebBrowser::Navigate(std::string_view url) {
  auto navigate = library_.Find<SSOWebNEW_NavigateCorvanta_t>("SSOWebNEW_NavigateCorvanta");
  return browser_ && navigate && navigate(browser_, std::string(url).c_str()) == 0;
}

void CSSOWebBrowser::ShowWindow(int command) {
  if (!browser_) return;
  visible_ = command != 0;
  if (auto show = library_.Find<SSOWebNEW_SetVisible_t>("SSOWebNEW_SetVisible")) show(browser_, visible_ ? 1 : 0);
  if (window_) window_->ShowWindow(visible_);
}

bool CSSOWebBrowser::ExecJavascript(std::string_view script) {
  auto exec = library_.Find<SSOWebNEW_ExecJavascript_t>("SSOWebNEW_ExecJavascript");
  return browser_ && exec && exec(browser_, std::string(script).c_str()) == 0;
}

bool CSSOWebBrowser::ResetUserNavigatedCount() {
  auto reset = library_.Find<SSOWebNEW_ResetUserNavigatedCount_t>("SSOWebNEW_ResetUserNavigatedCount");
  return browser_ && reset && reset(browser_) == 0;
}

bool CSSOWebBrowser::SetCallback_OnBeforeNavigate2(SSO_OnBeforeNavigate2_t callback) {
  auto set = library_.Find<SSOWebNEW_SetCallback_OnBeforeNavigate2_t>("SSOWebNEW_SetCallback_OnBeforeNavigate2");
  return browser_ && set && set(browser_, callback) == 0;
}

bool CSSOWebBrowser::SetCallback_OnQuit(SSO_OnQuit_t callback) {
  auto set = library_.Find<SSOWebNEW_SetCallback_OnQuit_t>("SSOWebNEW_SetCallback_OnQuit");
  return browser_ && set && set(browser_, callback) == 0;
}

}  // namespace tovrik::portal
