#include "platform/PathResolver.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

namespace fs = std::filesystem;
using tovrik::platform::ResolvePath;

class PathResolverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("tovrik-path-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "data");
    fs::create_directories(root_ / "image");
    std::ofstream(root_ / "data" / "GameBack8.spr") << "x";
    std::ofstream(root_ / "image" / "whisper.bmp") << "x";
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path root_;
};

TEST_F(PathResolverTest, ResolvesWindowsPathsIgnoringCase) {
  struct Case {
    const char* written;
    fs::path expected;
  };
  const Case cases[] = {
      {".\\data\\GameBack8.spr", "data/GameBack8.spr"},
      {".\\IMAGE\\Whisper.bmp", "image/whisper.bmp"},
      {"DATA/gameback8.SPR", "data/GameBack8.spr"},
      {"data\\\\GameBack8.spr", "data/GameBack8.spr"},
      {".\\data\\..\\image\\WHISPER.BMP", "image/whisper.bmp"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolvePath(c.written, root_), root_ / c.expected) << c.written;
}

TEST_F(PathResolverTest, KeepsMissingComponentsAsWritten) {
  EXPECT_EQ(ResolvePath(".\\Data\\New.spr", root_), root_ / "data" / "New.spr");
  EXPECT_EQ(ResolvePath("config\\config.ini", root_), root_ / "config" / "config.ini");
}

TEST_F(PathResolverTest, PrefersTheExactNameAmongCaseVariants) {
  std::ofstream(root_ / "data" / "gameback8.spr") << "y";
  EXPECT_EQ(ResolvePath("data\\gameback8.spr", root_), root_ / "data" / "gameback8.spr");
  EXPECT_EQ(ResolvePath("data\\GAMEBACK8.spr", root_), root_ / "data" / "GameBack8.spr");
}
