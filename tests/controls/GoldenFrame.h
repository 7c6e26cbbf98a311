#pragma once
// Golden frames: a part of the composed frame compared pixel for pixel with
// a BMP kept in tests/<subsystem>/golden/ (tests/controls/golden/ unless
// another folder is named). A failing comparison writes the
// actual picture beside the expected one (NAME.actual.bmp) for a person to
// look at; TOVRIK_UPDATE_GOLDEN=1 rewrites the expected pictures after a
// deliberate change (look at the difference before committing).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/Bitmap.h"
#include "gfx/BmpWriter.h"
#include "platform/Surface.h"

namespace tovrik::controls::testing {

inline std::filesystem::path GoldenDir(std::string_view subsystem = "controls") {
  return std::filesystem::path(TOVRIK_SOURCE_DIR) / "tests" / subsystem / "golden";
}

inline bool WriteRgb555Bmp(const std::filesystem::path& file, const platform::PixelView& frame, platform::Rect area) {
  std::vector<gfx::BmpPixel> pixels;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const platform::RgbColor c = platform::FromRgb555(frame.Row16(y)[x]);
      pixels.push_back({c.r, c.g, c.b, 255});
    }
  const auto bytes = gfx::EncodeBmp(area.Width(), area.Height(), pixels);
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// Compares `area` of an RGB555 frame with golden/NAME.bmp.
inline void ExpectMatchesGolden(const platform::PixelView& frame, platform::Rect area, const std::string& name,
                                const std::filesystem::path& dir = GoldenDir()) {
  ASSERT_TRUE(frame.IsValid());
  area = area.Intersect(platform::Bounds(frame));
  const auto expectedFile = dir / (name + ".bmp");
  const auto actualFile = dir / (name + ".actual.bmp");
  if (const char* update = std::getenv("TOVRIK_UPDATE_GOLDEN"); update && *update == '1') {
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(WriteRgb555Bmp(expectedFile, frame, area));
    return;
  }
  gfx::xBitmap expected;
  bool same = expected.Load(expectedFile) && expected.Width() == area.Width() && expected.Height() == area.Height();
  std::string where = same ? "" : "missing or resized golden picture";
  for (int y = 0; same && y < area.Height(); ++y)
    for (int x = 0; same && x < area.Width(); ++x)
      if (expected.At(x, y) != frame.Row16(area.top + y)[area.left + x]) {
        same = false;
        where = "first difference at x " + std::to_string(x) + ", y " + std::to_string(y);
      }
  if (same) {
    std::filesystem::remove(actualFile);
    return;
  }
  WriteRgb555Bmp(actualFile, frame, area);
  ADD_FAILURE() << name << ": " << where << "; the actual frame is " << actualFile;
}

}  // namespace tovrik::controls::testing
