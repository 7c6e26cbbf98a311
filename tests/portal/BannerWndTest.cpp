#include "PortalSandbox.h"

#include "platform/EventLoop.h"
#include "portal/BannerWnd.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

using namespace tovrik::portal;

using namespace tovrik::platform;

namespace {

class BannerWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::path opener = portal_.install() / "opener.sh";
    std::ofstream(opener) << "#!/bin/sh\necho \"$1\" >> '" << opened_.string() << "'\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    setenv("TOVRIK_URL_OPENER", opener.c_str(), 1);
    // These pages go to the system browser even where a display is set.
    setenv("TOVRIK_SSOWEB_ENGINE", "off", 1);
    portal_.InstallBuilt("Module/SSOWebDLL32.so");
    main_.Create(nullptr, Rect::FromSize(0, 0, 800, 600));
  }
  void TearDown() override {
    library_.UnInitSSOWebBrowser();
    unsetenv("TOVRIK_URL_OPENER");
  }

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
  CSSOWebLibMan library_;
  EventLoop loop_;
  Window main_;
};

TEST_F(BannerWndTest, PaintsItsPictureOverTheClientArea) {
  SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(0, 40, 20, 24, SDL_PIXELFORMAT_RGB24);
  ASSERT_TRUE(picture);
  SDL_FillRect(picture, nullptr, SDL_MapRGB(picture->format, 0xF8, 0x00, 0x80));
  std::filesystem::path file = portal_.install() / "Banner.bmp";
  ASSERT_EQ(SDL_SaveBMP(picture, file.c_str()), 0);
  SDL_FreeSurface(picture);

  CBannerWnd banner(library_);
  ASSERT_TRUE(banner.Create(&main_, Rect::FromSize(100, 50, 40, 20), 1010));
  EXPECT_FALSE(banner.SetBmp((portal_.install() / "missing.bmp").string()));
  ASSERT_TRUE(banner.SetBmp((portal_.install() / "BANNER.BMP").string()));  // names ignore case
  loop_.PaintNow();
  PixelView frame = loop_.Frame();
  EXPECT_EQ(frame.Row16(50)[100], ToRgb555({0xF8, 0x00, 0x80}));
  EXPECT_EQ(frame.Row16(69)[139], ToRgb555({0xF8, 0x00, 0x80}));
  EXPECT_NE(frame.Row16(70)[139], ToRgb555({0xF8, 0x00, 0x80}));
}

TEST_F(BannerWndTest, AnAddressStoredBeforeCreationOpensWithTheWindow) {
  ASSERT_TRUE(library_.InitSSOWebBrowser(nullptr, "a", "d", "c", 1));
  CBannerWnd banner(library_);
  EXPECT_FALSE(banner.OpenURL(""));
  EXPECT_TRUE(banner.OpenURL("https://banner.example/1"));
  EXPECT_EQ(banner.browser(), nullptr);
  ASSERT_TRUE(banner.Create(&main_, Rect::FromSize(0, 0, 300, 60), 1010));
  ASSERT_NE(banner.browser(), nullptr);
  EXPECT_TRUE(banner.OpenURL("https://banner.example/2"));  // the same page navigates again
  // Each page opens in its own opener process, so the two lines may land in either order.
  std::vector<std::string> opened = Opened(2);
  std::sort(opened.begin(), opened.end());
  EXPECT_EQ(opened, (std::vector<std::string>{"https://banner.example/1", "https://banner.example/2"}));
}

TEST_F(BannerWndTest, WithoutTheBrowserLibraryNoPageOpens) {
  CBannerWnd banner(library_);
  ASSERT_TRUE(banner.Create(&main_, Rect::FromSize(0, 0, 300, 60), 1010));
  EXPECT_FALSE(banner.OpenURL("https://banner.example/"));
  EXPECT_EQ(banner.browser(), nullptr);
}

}  // namespace
