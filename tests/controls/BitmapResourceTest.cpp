#include "controls/BitmapResource.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "base/Log.h"
#include "gfx/BmpWriter.h"
#include "platform/Region.h"

namespace tovrik::controls {
namespace {

class BitmapResourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("tovrik-bitmaps-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_ / "Image");
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(dir_ / "Image" / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::filesystem::path dir_;
};

TEST_F(BitmapResourceTest, TheNumberNamesAFileFoundWithoutLetterCase) {
  // 3 x 2, magenta but for the middle column.
  const gfx::BmpPixel m{255, 0, 255}, g{0, 200, 0};
  Write("BITMAP198.BMP", gfx::EncodeBmp(3, 2, std::vector<gfx::BmpPixel>{m, g, m, m, g, m}));
  gfx::xBitmap bitmap;
  ASSERT_TRUE(LoadBitmapResource(198, bitmap, dir_));
  EXPECT_EQ(bitmap.Width(), 3);
  const platform::PixelView view = ViewOf(bitmap);
  ASSERT_TRUE(view.IsValid());
  // The shape of a dialog cut from it by the key colour.
  const auto shape = platform::Region::FromColourKey(view, {255, 0, 255});
  EXPECT_EQ(shape.Runs(), (std::vector<platform::Region::Run>{{0, 1, 2}, {1, 1, 2}}));
}

TEST_F(BitmapResourceTest, AMissingOrBrokenFileIsLoggedAndLeavesNoImage) {
  Write("bitmap5.bmp", {'B', 'M', 1, 2, 3});
  std::vector<std::string> logged;
  auto previous = base::SetLogSink([&](const base::LogRecord& r) { logged.emplace_back(r.text); });
  gfx::xBitmap bitmap;
  EXPECT_FALSE(LoadBitmapResource(5, bitmap, dir_));
  EXPECT_FALSE(LoadBitmapResource(6, bitmap, dir_));
  base::SetLogSink(previous);
  EXPECT_FALSE(bitmap.IsLoaded());
  EXPECT_FALSE(ViewOf(bitmap).IsValid());
  ASSERT_EQ(logged.size(), 2u);
  EXPECT_NE(logged[0].find("bitmap5.bmp"), std::string::npos) << logged[0];
  EXPECT_NE(logged[1].find("bitmap6.bmp"), std::string::npos) << logged[1];
}

}  // namespace
}  // namespace tovrik::controls
