#include "PortalSandbox.h"

#include "platform/MessageBox.h"
#include "portal/AvatarDLL.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace tovrik::portal;

using namespace tovrik::platform;

namespace {

using Description = std::array<unsigned char, CAvatar::kDescriptionSize>;

Description MakeDescription(int kind, unsigned char seed) {
  Description d{};
  for (size_t i = 0; i < 50; ++i) d[i] = static_cast<unsigned char>(seed * 31 + i * 7);
  d[50] = static_cast<unsigned char>(kind & 0xFF);
  d[51] = static_cast<unsigned char>(kind >> 8);
  return d;
}

// A 16-bit page with guard rows above and below the visible part.
struct Page {
  static constexpr int kWidth = 80, kHeight = 120, kGuard = 4;
  std::vector<std::uint16_t> memory = std::vector<std::uint16_t>(kWidth * (kHeight + 2 * kGuard), 0);
  std::uint16_t* pixels() { return memory.data() + kWidth * kGuard; }
  bool GuardsClean() const {
    for (int i = 0; i < kWidth * kGuard; ++i)
      if (memory[i] || memory[memory.size() - 1 - i]) return false;
    return true;
  }
  int Painted() const {
    int n = 0;
    for (auto p : memory) n += p != 0;
    return n;
  }
};

class AvatarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ResetMessageBoxAutomation();
    portal_.InstallBuilt("AvatarDisplay.so");
    ASSERT_TRUE(renderer_.InitAvatarModule());
  }
  void TearDown() override { renderer_.Shutdown(); }

  Page Drawn(const Description& d, bool mirror, int x = 0, int y = 0) {
    CAvatar avatar(renderer_);
    Page page;
    EXPECT_TRUE(avatar.SetAvatar(d));
    avatar.SetSize(Page::kWidth, Page::kHeight);
    avatar.Draw(x, y, Page::kWidth, Page::kHeight, page.pixels(), Page::kWidth * 2, mirror);
    return page;
  }

  PortalSandbox portal_;
  CAvatarDLL renderer_;
};

TEST_F(AvatarTest, DrawsOnlyKindsOneTwoFiveAndSix) {
  for (int kind : {0, 1, 2, 3, 4, 5, 6, 7, 258}) {
    Page page = Drawn(MakeDescription(kind, 1), false);
    bool drawn = kind == 1 || kind == 2 || kind == 5 || kind == 6;
    EXPECT_EQ(page.Painted() > 1000, drawn) << kind;
    EXPECT_TRUE(page.GuardsClean());
    for (auto p : page.memory) ASSERT_EQ(p & 0x8000, 0) << "not RGB555";
  }
  EXPECT_TRUE(LoggedMessageBoxes().empty());
}

TEST_F(AvatarTest, SameDescriptionSamePixelsOtherColoursOtherPixels) {
  EXPECT_EQ(Drawn(MakeDescription(1, 7), false).memory, Drawn(MakeDescription(1, 7), false).memory);
  EXPECT_NE(Drawn(MakeDescription(1, 7), false).memory, Drawn(MakeDescription(1, 8), false).memory);
  EXPECT_NE(Drawn(MakeDescription(1, 7), false).memory, Drawn(MakeDescription(2, 7), false).memory);
}

TEST_F(AvatarTest, MirrorTurnsTheFigureLeftToRight) {
  Page plain = Drawn(MakeDescription(1, 3), false);
  Page mirrored = Drawn(MakeDescription(1, 3), true);
  Page turned = Drawn(MakeDescription(5, 3), false);  // kind 5 faces the other way
  EXPECT_NE(plain.memory, mirrored.memory);
  for (int y = 0; y < Page::kHeight; ++y)
    for (int x = 0; x < Page::kWidth; ++x) {
      ASSERT_EQ(plain.pixels()[y * Page::kWidth + x], mirrored.pixels()[y * Page::kWidth + Page::kWidth - 1 - x]);
      ASSERT_EQ(turned.pixels()[y * Page::kWidth + x], mirrored.pixels()[y * Page::kWidth + x]);
    }
}

TEST_F(AvatarTest, ClipsToThePage) {
  for (auto [x, y] : {std::pair{-40, -60}, {40, 60}, {79, 119}, {-79, -119}, {1000, 0}, {0, -1000}}) {
    Page page = Drawn(MakeDescription(2, 4), false, x, y);
    EXPECT_TRUE(page.GuardsClean()) << x << "," << y;
  }
  Page page = Drawn(MakeDescription(2, 4), false, 40, 60);
  EXPECT_EQ(page.pixels()[0], 0);  // the figure starts where asked
}

TEST_F(AvatarTest, CallsWithoutResourceDoNothing) {
  CAvatar avatar(renderer_);
  Page page;
  EXPECT_FALSE(avatar.SetSize(10, 10));
  EXPECT_FALSE(avatar.Draw(0, 0, Page::kWidth, Page::kHeight, page.pixels(), Page::kWidth * 2, false));
  EXPECT_EQ(page.Painted(), 0);
}

TEST(AvatarLoader, TellsWhyAvatarsAreUnavailable) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  const std::string noRegistry = "아바타 모듈을 초기화할 수 없습니다.\n(레지스트리 값을 찾을 수 없습니다.)";
  const std::string cannotLoad =
      "아바타 디스플레이 DLL모듈을 로드할 수 없습니다.\n파일이 삭제되었거나 손상된 경우입니다.\n"
      "홈페이지에서 다운로드 받아서 직접 설치하시기 바랍니다.";
  const std::string initFailed = "아바타 모듈을 초기화할 수 없습니다.\n(아바타 모듈 초기화 실패)";

  PortalSandbox portal;
  struct Step {
    std::function<void()> prepare;
    std::vector<std::pair<std::string, std::string>> boxes;  // caption, text
  };
  const Step steps[] = {
      {[&] { portal.WriteRegistry(""); }, {{"Error", noRegistry}}},
      {[&] { portal.WriteRegistry("[SOFTWARE\\Corvanta]\nDefaultPath=" + portal.install().string()); },
       {{"Error", cannotLoad}, {"DLL 로드 실패", (portal.common() / "AvatarDisplay.so").string()}}},
      {[&] { portal.Copy(TOVRIK_EMPTY_MODULE, portal.common() / "AvatarDisplay.so"); }, {{"Error", initFailed}}},
  };
  for (const Step& step : steps) {
    ResetMessageBoxAutomation();
    step.prepare();
    CAvatarDLL renderer;
    EXPECT_FALSE(renderer.InitAvatarModule());
    EXPECT_FALSE(renderer.InitAvatarModule());  // once per run: no second set of boxes
    std::vector<std::pair<std::string, std::string>> shown;
    for (const auto& box : LoggedMessageBoxes()) shown.emplace_back(box.caption, box.text);
    EXPECT_EQ(shown, step.boxes);
    CAvatar avatar(renderer);
    EXPECT_FALSE(avatar.SetAvatar(MakeDescription(1, 1)));
  }
}

}  // namespace
