#pragma once
// The client's side of the portal's web banner (Common/QXWebBanner).

#include "portal/PortalLibrary.h"

#include <string>
#include <string_view>

namespace tovrik::portal {

enum WEBBANNER_ERROR {
  WEBBANNER_OK = 0,
  WEBBANNER_CLOSED = 1001,           // the banner was shown and closed
  WEBBANNER_STAY = 1002,             // the player chose to stay: abandon the exit
  WEBBANNER_NOTHING_SHOWN = 1003,
  WEBBANNER_FAILED = 2002,           // any other answer of the banner
  WEBBANNER_EMPTY_CODE = 2003,
  WEBBANNER_NO_INSTALL_FOLDER = 2005,
  WEBBANNER_DLL_NOT_LOADED = 2006,
  WEBBANNER_NO_LIBRARY = 2007,
  WEBBANNER_NO_CODE = 2008,
  WEBBANNER_NO_EXPORT = 2009,
};

class CQXWebBannerClass {
 public:
  WEBBANNER_ERROR InitQXWebBanner(void* window, std::string_view productCode, int site);
  WEBBANNER_ERROR OpenQXWebBanner(int kind);
  void UnInitQXWebBannerDLL();

 private:
  tovrik::portal::PortalLibrary library_;
  void* window_ = nullptr;
  std::string productCode_;
  int site_ = 0;
};

extern CQXWebBannerClass g_QXWebBanner;

}  // namespace tovrik::portal
