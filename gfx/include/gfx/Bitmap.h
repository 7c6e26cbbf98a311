#pragma once
// Windows bitmap files (.bmp) read into RGB555, the pixel form of the
// drawing pages. Palette images of 1, 4 and 8 bits, 16-bit (RGB555 or bit
// fields), 24-bit and 32-bit images are read, bottom-up or top-down;
// run-length compressed files are refused. Every size and offset in the
// file is checked against the file's real length before it is used.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tovrik::gfx {

class xBitmap {
 public:
  // Larger sides are refused: no artwork of the client comes near them, and
  // a lying header must not make the reader allocate without bound.
  static constexpr int kMaxSide = 8192;
  static constexpr std::uintmax_t kMaxFileBytes = 64u << 20;

  // 1 on success, 0 on failure (LastError says why). A failed load leaves
  // no image, whatever was loaded before.
  int Load(const std::filesystem::path& path);
  int LoadFromMemory(std::span<const std::uint8_t> bytes);
  void Release();

  bool IsLoaded() const { return width_ > 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Rows top to bottom, Width() words each, no padding.
  const std::vector<std::uint16_t>& Pixels() const { return pixels_; }
  std::uint16_t At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  const std::string& LastError() const { return error_; }

 private:
  int Fail(std::string reason);

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint16_t> pixels_;
  std::string error_;
};

}  // namespace tovrik::gfx
