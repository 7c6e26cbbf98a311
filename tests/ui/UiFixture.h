#pragma once
// What the skinned-control tests share: a loop on a fake clock, a parent
// window that writes down the commands it hears, a sound recorder, solid
// sprite frames and bitmap files whose colours say which image was drawn.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "gfx/BmpWriter.h"
#include "gfx/Page.h"
#include "gfx/Sprite.h"
#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/Window.h"
#include "ui/UiSound.h"

namespace tovrik::ui::testing {

using platform::LParam;
using platform::LResult;
using platform::MsgId;
using platform::WParam;

struct Command {
  int id = 0;
  LParam l = 0;
  friend bool operator==(const Command&, const Command&) = default;
};

// Hears WM_COMMAND; `onCommand` runs after the command is written down.
class CommandWindow : public platform::Window {
 public:
  ~CommandWindow() override { Destroy(); }
  LResult WindowProc(MsgId msg, WParam w, LParam l) override {
    if (msg == platform::WM_COMMAND) {
      commands.push_back({static_cast<int>(platform::LowWord(w)), l});
      if (onCommand) onCommand(static_cast<int>(platform::LowWord(w)));
      return 0;
    }
    return Window::WindowProc(msg, w, l);
  }
  std::vector<Command> commands;
  std::function<void(int)> onCommand;
};

struct PlayedSound {
  int effect = -1;
  int volume = 0;
  std::string file;
  friend bool operator==(const PlayedSound&, const PlayedSound&) = default;
};

class RecordingSound final : public IUiSound {
 public:
  RecordingSound() { SetUiSound(this); }
  ~RecordingSound() override { SetUiSound(nullptr); }
  void PlayEffect(int effectId, int volume) override { played.push_back({effectId, volume, {}}); }
  void PlayFile(std::string_view path) override { played.push_back({-1, 0, std::string(path)}); }
  std::vector<PlayedSound> played;
};

// A loop on a fake clock with a main window of 800 x 600.
class UiTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(main.Create(nullptr, platform::Rect::FromSize(0, 0, 800, 600))); }
  // Runs loop iterations, moving the clock by `ms` each.
  void Run(std::uint32_t ms, int iterations = 1) {
    for (int i = 0; i < iterations; ++i) {
      clock.Advance(ms);
      loop.PumpOnce();
    }
  }

  platform::FakeClock clock{1000};
  platform::EventLoop loop{clock};
  CommandWindow main;
  RecordingSound sound;
};

// RGB555 of a colour given by its five-bit channels.
constexpr std::uint16_t Rgb5(int r, int g, int b) { return static_cast<std::uint16_t>(r << 10 | g << 5 | b); }

// Frames of one solid colour each, all of one size.
inline void AddSolidFrames(gfx::xSprite& set, int width, int height, std::initializer_list<std::uint16_t> colours) {
  for (std::uint16_t colour : colours) {
    std::vector<std::uint16_t> pixels(static_cast<std::size_t>(width) * height, colour);
    set.InsertByCopy(set.FrameCount(), width, height, pixels, 0x7C1F, 0);
  }
}

inline std::uint16_t PixelAt(const gfx::CPage& page, int x, int y) { return page.Bits16()[y * page.pitch + x]; }

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name)
      : path_(std::filesystem::temp_directory_path() / ("tovrik-ui-" + name + "-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() { std::filesystem::remove_all(path_); }
  std::string operator/(const std::string& file) const { return (path_ / file).string(); }

 private:
  std::filesystem::path path_;
};

// A 24-bit BMP whose pixel (x, y) is `pixel(x, y)`.
inline void WriteBmp(const std::string& path, int width, int height,
                     const std::function<gfx::BmpPixel(int x, int y)>& pixel) {
  std::vector<gfx::BmpPixel> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(pixel(x, y));
  const auto bytes = gfx::EncodeBmp(width, height, pixels);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

// A BMP of horizontal bands `bandHeight` rows high, one colour each, top
// first (a button strip with one colour per state); rows past the last band
// take the last colour.
inline void WriteBands(const std::string& path, int width, int height, int bandHeight,
                       std::vector<gfx::BmpPixel> bands) {
  WriteBmp(path, width, height, [&](int, int y) {
    return bands[std::min<std::size_t>(static_cast<std::size_t>(y / bandHeight), bands.size() - 1)];
  });
}

}  // namespace tovrik::ui::testing
