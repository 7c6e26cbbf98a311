#include "platform/WindowIcon.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/Screen.h"
#include "platform/SdlSession.h"

namespace tovrik::platform {
namespace {

namespace fs = std::filesystem;

// Two pixels side by side: magenta, then a half-covered red where the
// format can say so. Written by SDL as the BMP kind of `format`.
fs::path WriteTwoPixelBmp(const fs::path& dir, const char* name, Uint32 format) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 2, 1, 32, format);
  SDL_FillRect(s, nullptr, 0);
  auto* row = static_cast<std::uint8_t*>(s->pixels);
  const Uint32 magenta = SDL_MapRGBA(s->format, 255, 0, 255, 255), red = SDL_MapRGBA(s->format, 200, 30, 20, 128);
  SDL_memcpy(row, &magenta, s->format->BytesPerPixel);
  SDL_memcpy(row + s->format->BytesPerPixel, &red, s->format->BytesPerPixel);
  const fs::path path = dir / name;
  EXPECT_EQ(SDL_SaveBMP(s, path.c_str()), 0) << SDL_GetError();
  SDL_FreeSurface(s);
  return path;
}

struct Argb {
  int a, r, g, b;
  friend bool operator==(const Argb&, const Argb&) = default;
};

Argb PixelAt(const SDL_Surface& image, int x) {
  Uint32 p = 0;
  SDL_memcpy(&p, static_cast<const std::uint8_t*>(image.pixels) + x * 4, 4);
  return {int(p >> 24), int((p >> 16) & 255), int((p >> 8) & 255), int(p & 255)};
}

class WindowIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    sdl_ = SdlSession::Start(&error);
    ASSERT_TRUE(sdl_) << error;
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::unique_ptr<SdlSession> sdl_;
  const fs::path dir_ = fs::temp_directory_path() / ("window-icon-" + std::to_string(::getpid()));
};

// A 24-bit picture has only magenta to say "nothing here"; a 32-bit one says
// it with alpha, and its magenta is a colour like any other.
TEST_F(WindowIconTest, TransparencyComesFromMagentaOrFromAlpha) {
  struct Case {
    const char* name;
    Uint32 format;
    Argb magenta, red;
  };
  const Case cases[] = {
      {"keyed.bmp", SDL_PIXELFORMAT_RGB888, {0, 255, 0, 255}, {255, 200, 30, 20}},
      {"alpha.bmp", SDL_PIXELFORMAT_ARGB8888, {255, 255, 0, 255}, {128, 200, 30, 20}},
  };
  for (const Case& c : cases) {
    std::string error;
    IconImage icon = LoadIconImage(WriteTwoPixelBmp(dir_, c.name, c.format), &error);
    ASSERT_TRUE(icon) << c.name << ": " << error;
    ASSERT_EQ(icon->format->format, SDL_PIXELFORMAT_ARGB8888) << c.name;
    EXPECT_EQ(PixelAt(*icon, 0).a, c.magenta.a) << c.name;
    EXPECT_EQ(PixelAt(*icon, 1), c.red) << c.name;
  }
}

TEST_F(WindowIconTest, MissingFileLeavesTheWindowAsItWasAndSaysWhy) {
  std::string error;
  std::unique_ptr<Screen> screen = Screen::Open("icon", 64, 64, &error);
  ASSERT_TRUE(screen) << error;
  const fs::path missing = dir_ / "icon128.bmp";
  EXPECT_FALSE(SetWindowIcon(screen->NativeWindow(), missing, &error));
  EXPECT_NE(error.find(missing.string()), std::string::npos) << error;

  const fs::path present = WriteTwoPixelBmp(dir_, "icon.bmp", SDL_PIXELFORMAT_ARGB8888);
  error.clear();
  EXPECT_TRUE(SetWindowIcon(screen->NativeWindow(), present, &error)) << error;
  EXPECT_FALSE(SetWindowIcon(nullptr, present, &error));
}

}  // namespace
}  // namespace tovrik::platform
