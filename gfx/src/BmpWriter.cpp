#include "gfx/BmpWriter.h"

#include "base/ByteIO.h"

namespace tovrik::gfx {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;   // BITMAPINFOHEADER
constexpr std::uint32_t kV4HeaderSize = 108;    // BITMAPV4HEADER: masks and colour space
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch
constexpr std::uint32_t kBitFields = 3;

void WriteHeaders(base::ByteWriter& out, int width, int height, bool withAlpha, std::uint32_t imageSize) {
  const std::uint32_t infoSize = withAlpha ? kV4HeaderSize : kInfoHeaderSize;
  const std::uint32_t pixelsAt = kFileHeaderSize + infoSize;
  out.U8('B'), out.U8('M'), out.U32(pixelsAt + imageSize), out.U32(0), out.U32(pixelsAt);
  out.U32(infoSize), out.I32(width), out.I32(height), out.U16(1), out.U16(withAlpha ? 32 : 24);
  out.U32(withAlpha ? kBitFields : 0), out.U32(imageSize), out.U32(kPixelsPerMetre), out.U32(kPixelsPerMetre);
  out.U32(0), out.U32(0);
  if (!withAlpha) return;
  for (std::uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u}) out.U32(mask);
  out.U8('B'), out.U8('G'), out.U8('R'), out.U8('s');  // LCS_sRGB, stored little-endian
  out.Zeros(36 + 12);                                  // end points and gammas, unused with sRGB
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(int width, int height, std::span<const BmpPixel> pixels, bool withAlpha) {
  if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    return {};
  const std::size_t bytesPerPixel = withAlpha ? 4 : 3;
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~std::size_t{3};
  base::ByteWriter out;
  WriteHeaders(out, width, height, withAlpha, static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(height)));
  std::vector<std::uint8_t> row(rowBytes, 0);
  for (int y = height - 1; y >= 0; --y) {
    const BmpPixel* source = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    std::uint8_t* at = row.data();
    for (int x = 0; x < width; ++x) {
      *at++ = source[x].b;
      *at++ = source[x].g;
      *at++ = source[x].r;
      if (withAlpha) *at++ = source[x].a;
    }
    out.Bytes(row);
  }
  return out.Data();
}

}  // namespace tovrik::gfx
