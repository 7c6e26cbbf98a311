#include "PortalSandbox.h"

#include "portal/QXWebBanner.h"
#include "portal/SSOWebLib.h"
#include "portal/SystemBrowser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

using namespace tovrik::portal;

namespace {

TEST(WebBanner, LoaderCodes) {
  PortalSandbox portal;
  CQXWebBannerClass banner;
  EXPECT_EQ(banner.OpenQXWebBanner(0), WEBBANNER_NO_LIBRARY);
  EXPECT_EQ(banner.InitQXWebBanner(nullptr, "", 0), WEBBANNER_EMPTY_CODE);
  EXPECT_EQ(banner.InitQXWebBanner(nullptr, "tovrik", 0), WEBBANNER_DLL_NOT_LOADED);
  portal.Copy(TOVRIK_EMPTY_MODULE, portal.common() / "QXWebBanner.so");
  EXPECT_EQ(banner.InitQXWebBanner(nullptr, "tovrik", 0), WEBBANNER_OK);
  EXPECT_EQ(banner.OpenQXWebBanner(0), WEBBANNER_NO_EXPORT);
  portal.WriteRegistry("");
  EXPECT_EQ(banner.InitQXWebBanner(nullptr, "tovrik", 0), WEBBANNER_NO_INSTALL_FOLDER);
}

TEST(WebBanner, OurBannerLetsTheExitGoOn) {
  PortalSandbox portal;
  portal.InstallBuilt("QXWebBanner.so");
  CQXWebBannerClass banner;
  ASSERT_EQ(banner.InitQXWebBanner(nullptr, "tovrik", 0), WEBBANNER_OK);
  EXPECT_EQ(banner.OpenQXWebBanner(0), WEBBANNER_NOTHING_SHOWN);
  banner.UnInitQXWebBannerDLL();
  EXPECT_EQ(banner.OpenQXWebBanner(0), WEBBANNER_NO_LIBRARY);
}

class SsoWebTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::path opener = portal_.install() / "opener.sh";
    std::ofstream(opener) << "#!/bin/sh\necho \"$1\" >> '" << opened_.string() << "'\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    setenv("TOVRIK_URL_OPENER", opener.c_str(), 1);
    // These pages go to the system browser even where a display is set.
    setenv("TOVRIK_SSOWEB_ENGINE", "off", 1);
  }
  void TearDown() override { unsetenv("TOVRIK_URL_OPENER"); }

  std::vector<std::string> Opened(size_t expected) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
      std::vector<std::string> urls;
      std::ifstream in(opened_);
      for (std::string line; std::getline(in, line);) urls.push_back(line);
      if (urls.size() >= expected || std::chrono::steady_clock::now() > deadline) return urls;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  PortalSandbox portal_;
  std::filesystem::path opened_ = portal_.install() / "opened.txt";
};

TEST_F(SsoWebTest, AddressesThatWouldBeOptionsOrHoldControlBytesAreRefused) {
  EXPECT_FALSE(OpenInSystemBrowser("--help"));
  EXPECT_FALSE(OpenInSystemBrowser("http://a.example/\n--x"));
  EXPECT_TRUE(OpenInSystemBrowser("http://ok.example/?id=a-b"));
  EXPECT_EQ(Opened(1), std::vector<std::string>{"http://ok.example/?id=a-b"});
}

TEST_F(SsoWebTest, MissingLibraryOrExportFailsAndUnloads) {
  CSSOWebLibMan library;
  EXPECT_FALSE(library.InitSSOWebBrowser(nullptr, "a", "d", "c", 1));
  portal_.Copy(TOVRIK_EMPTY_MODULE, portal_.common() / "Module/SSOWebDLL32.so");
  EXPECT_FALSE(library.InitSSOWebBrowser(nullptr, "a", "d", "c", 1));
  EXPECT_FALSE(library.IsInitialised());
  CSSOWebBrowser browser(library);
  EXPECT_FALSE(browser.Create(0, {0, 0, 10, 10}, nullptr, 1));
  EXPECT_FALSE(browser.Navigate("https://example.invalid/"));
  EXPECT_EQ(library.GetActCookieURL(), "");
}

int g_beforeNavigateCalls = 0;
bool g_cancelNavigation = false;
void OnBeforeNavigate(const char*, int, const char*, const void*, int, const char*, int* cancel) {
  ++g_beforeNavigateCalls;
  *cancel = g_cancelNavigation ? 1 : 0;
}

TEST_F(SsoWebTest, BrowserNavigatesThroughTheSystemBrowser) {
  portal_.InstallBuilt("Module/SSOWebDLL32.so");
  CSSOWebLibMan library;
  ASSERT_TRUE(library.InitSSOWebBrowser(nullptr, "auth", "data", "cp", 1));
  EXPECT_NE(library.GetActCookieURL(), "");
  EXPECT_NE(library.GetCookieDomain(), "");
  {
    CSSOWebBrowser browser(library);
    EXPECT_FALSE(browser.Navigate("https://a.example/"));  // no browser yet
    ASSERT_TRUE(browser.Create(0, {0, 0, 800, 600}, nullptr, 61321));
    EXPECT_FALSE(browser.Create(0, {0, 0, 800, 600}, nullptr, 61321));  // one per object
    EXPECT_TRUE(browser.IsVisible());
    browser.ShowWindow(0);
    EXPECT_FALSE(browser.IsVisible());

    // A hidden page and about:blank never open a system browser.
    EXPECT_TRUE(browser.Navigate("https://hidden.example/"));
    browser.ShowWindow(1);
    EXPECT_TRUE(browser.Navigate("about:blank"));

    ASSERT_TRUE(browser.SetCallback_OnBeforeNavigate2(OnBeforeNavigate));
    g_cancelNavigation = true;
    EXPECT_FALSE(browser.Navigate("https://cancelled.example/"));
    g_cancelNavigation = false;
    EXPECT_TRUE(browser.Navigate("https://shop.example/item?id=1&x=2"));
    EXPECT_EQ(g_beforeNavigateCalls, 2);
    EXPECT_EQ(Opened(1), std::vector<std::string>{"https://shop.example/item?id=1&x=2"});
    EXPECT_FALSE(browser.ExecJavascript("f()"));  // no page in the window to run it
    EXPECT_TRUE(browser.ResetUserNavigatedCount());
  }
  library.UnInitSSOWebBrowser();
  EXPECT_FALSE(library.IsInitialised());
}

}  // namespace
