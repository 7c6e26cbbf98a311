#pragma once
// JPEG reading and writing over libjpeg. Buffers are RGB24: width x height x 3
// bytes, rows top to bottom, red first, no row padding.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <vector>

namespace tovrik::gfx {

class JpegFile {
 public:
  // Decodes the stream at the file's current position. The decoder may read
  // past the end of the stream; callers reposition the file themselves.
  // Empty on any error (width and height are then 0), and for a stream that
  // ends or goes corrupt before its last row.
  static std::vector<std::uint8_t> JpegFileToRGB(std::FILE* file, int& width, int& height);
  static std::vector<std::uint8_t> JpegFileToRGB(const std::filesystem::path& path, int& width, int& height);
  static std::vector<std::uint8_t> JpegMemoryToRGB(std::span<const std::uint8_t> bytes, int& width, int& height);
  // The image size from the stream's header, without decoding: lets a caller
  // check a stored size against it before paying for the pixels. False (0 x 0)
  // when there is no readable header.
  static bool JpegMemorySize(std::span<const std::uint8_t> bytes, int& width, int& height);

  // Writes a JPEG at `quality` (baseline tables). color 0 writes one grey
  // component (0.299 R + 0.587 G + 0.114 B, truncated). Returns 1 or 0.
  static int RGBToJpegFile(const std::filesystem::path& path, std::span<const std::uint8_t> rgb, int width, int height,
                           int color, int quality);
};

}  // namespace tovrik::gfx
