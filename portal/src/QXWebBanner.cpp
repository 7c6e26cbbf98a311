#include "portal/QXWebBanner.h"

#include "portal/PortalExports.h"

namespace tovrik::portal {

CQXWebBannerClass g_QXWebBanner;

WEBBANNER_ERROR CQXWebBannerClass::InitQXWebBanner(void* window, std::string_view productCode, int site) {
  if (productCode.empty()) return WEBBANNER_EMPTY_CODE;
  window_ = window;
  productCode_ = productCode;
  site_ = site;
  std::optional<std::filesystem::path> common = tovrik::portal::PortalCommonFolder();
  if (!common) return WEBBANNER_NO_INSTALL_FOLDER;
  if (!library_.Load(tovrik::portal::PortalLibraryPath(*common, "QXWebBanner.dll"))) return WEBBANNER_DLL_NOT_LOADED;
  return WEBBANNER_OK;
}

WEBBANNER_ERROR CQXWebBannerClass::OpenQXWebBanner(int kind) {
  if (!library_.IsLoaded()) return WEBBANNER_NO_LIBRARY;
  if (productCode_.empty()) return WEBBANNER_NO_CODE;
  auto open = library_.Find<OpenWebBanner_t>("OpenWebBanner");
  if (!open) return WEBBANNER_NO_EXPORT;
  switch (open(window_, site_, productCode_.c_str(), kind)) {
    case 3001: return WEBBANNER_CLOSED;
    case 3002: return WEBBANNER_STAY;
    case 3003: return WEBBANNER_NOTHING_SHOWN;
    default: return WEBBANNER_FAILED;
  }
}

void CQXWebBannerClass::UnInitQXWebBannerDLL() { library_.Unload(); }

}  // namespace tovrik::portal
