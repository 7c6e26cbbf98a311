#pragma once
// Golden 8-bit pages: the page's palette indices, row by row, compressed with
// zlib in golden/NAME.page.z. A comparison that fails (or finds no golden)
// writes the actual page beside the expected one, as NAME.actual.page.z and,
// for a look, NAME.actual.bmp and NAME.expected.bmp. Run with
// TOVRIK_UPDATE_GOLDEN=1 to rewrite the goldens after a deliberate change.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gfx/Page.h"

namespace tovrik::gameview::testing {

inline std::filesystem::path GoldenDir() {
  return std::filesystem::path(TOVRIK_SOURCE_DIR) / "tests" / "game" / "view" / "golden";
}

inline std::vector<std::uint8_t> PageIndices(const gfx::CPage& page) {
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<std::size_t>(page.width) * static_cast<std::size_t>(page.height));
  for (int y = 0; y < page.height; ++y) {
    const std::uint8_t* row = page.bits + static_cast<std::ptrdiff_t>(y) * page.pitchBytes;
    out.insert(out.end(), row, row + page.width);
  }
  return out;
}

inline std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> out(size);
  if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return {};
  out.resize(size);
  return out;
}

inline std::vector<std::uint8_t> Uncompress(const std::vector<std::uint8_t>& packed, std::size_t expectedSize) {
  std::vector<std::uint8_t> out(expectedSize);
  uLongf size = static_cast<uLongf>(expectedSize);
  if (packed.empty() || uncompress(out.data(), &size, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
      size != expectedSize)
    return {};
  return out;
}

inline std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Writes the page's indices into a copy of it and saves that as a bitmap.
inline void SaveIndicesAsBitmap(const gfx::CPage& like, const std::vector<std::uint8_t>& indices,
                                const std::filesystem::path& path) {
  gfx::CPage copy;
  copy.Init(like.width, like.height, 8, like.palette);
  for (int y = 0; y < like.height; ++y)
    std::copy_n(indices.begin() + static_cast<std::ptrdiff_t>(y) * like.width, like.width,
                copy.bits + static_cast<std::ptrdiff_t>(y) * copy.pitchBytes);
  copy.SaveToBitmap(path);
}

inline void ExpectGoldenPage(const std::string& name, const gfx::CPage& page) {
  const auto actual = PageIndices(page);
  const auto golden = GoldenDir() / (name + ".page.z");
  if (const char* update = std::getenv("TOVRIK_UPDATE_GOLDEN"); update && *update == '1') {
    WriteFile(golden, Compress(actual));
    return;
  }
  const auto expected = Uncompress(ReadFile(golden), actual.size());
  if (expected == actual) return;
  WriteFile(GoldenDir() / (name + ".actual.page.z"), Compress(actual));
  SaveIndicesAsBitmap(page, actual, GoldenDir() / (name + ".actual.bmp"));
  if (expected.empty()) {
    ADD_FAILURE() << "no usable golden page " << golden << "; the actual page is beside it";
    return;
  }
  SaveIndicesAsBitmap(page, expected, GoldenDir() / (name + ".expected.bmp"));
  std::size_t first = 0, differing = 0;
  for (std::size_t i = actual.size(); i-- > 0;) {
    if (actual[i] != expected[i]) first = i, ++differing;
  }
  ADD_FAILURE() << name << ": " << differing << " pixels differ, the first at x "
                << first % static_cast<std::size_t>(page.width) << ", y " << first / static_cast<std::size_t>(page.width)
                << "; the actual page is beside the golden one";
}

}  // namespace tovrik::gameview::testing
