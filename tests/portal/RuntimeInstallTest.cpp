// The build's runtime folder is a complete portal install: what
// scripts/run.sh starts the client with.

#include "portal/AvatarDLL.h"
#include "portal/BadFilterLoader.h"
#include "portal/QXRunParam.h"
#include "portal/QXWebBanner.h"
#include "portal/SSOWebLib.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

using namespace tovrik::portal;

TEST(RuntimeInstall, EveryPortalLibraryLoadsFromTheBuildRecord) {
  setenv("TOVRIK_PORTAL_REGISTRY", TOVRIK_RUNTIME_DIR "/portal-registry.ini", 1);
  setenv("QXENV_CommonPath", TOVRIK_RUNTIME_DIR "/Common", 1);
  setenv("SDL_VIDEODRIVER", "dummy", 1);

  std::array<char, 1024> common{};
  ASSERT_TRUE(GetBaseAvatarDir(common));
  EXPECT_EQ(std::filesystem::path(common.data()), std::filesystem::path(TOVRIK_RUNTIME_DIR) / "Common");

  CAvatarDLL avatars;
  EXPECT_TRUE(avatars.InitAvatarModule());
  CBadFilterLoader filter;
  EXPECT_EQ(filter.InitFilter(common.data()), BADFILTER_OK);
  CSSOWebLibMan browser;
  EXPECT_TRUE(browser.InitSSOWebBrowser(nullptr, "auth", "data", "cp", 1));
  browser.UnInitSSOWebBrowser();
  CQXWebBannerClass banner;
  EXPECT_EQ(banner.InitQXWebBanner(nullptr, "tovrik", 0), WEBBANNER_OK);
  EXPECT_EQ(tovrik::portal::CQXRunParam().Load("ServIP=1", 1), 0u);
}
