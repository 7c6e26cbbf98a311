#include "gfx/Bitmap.h"

#include "base/ByteIO.h"
#include "gfx/PixelFormat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <system_error>

namespace tovrik::gfx {

namespace {

constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitFields = 3;
constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kInfoHeaderBytes = 40;

// One colour channel described by a bit mask of the pixel value.
class Channel {
 public:
  explicit Channel(std::uint32_t mask) : mask_(mask) {
    if (mask == 0) return;
    shift_ = std::countr_zero(mask);
    max_ = mask >> shift_;
  }
  bool Contiguous() const { return mask_ == 0 || (max_ & (max_ + 1)) == 0; }
  // The channel scaled to 0-255.
  int Value(std::uint32_t pixel) const {
    if (max_ == 0) return 0;
    const std::uint64_t v = (pixel & mask_) >> shift_;
    return static_cast<int>((v * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_ = 0;
  int shift_ = 0;
  std::uint32_t max_ = 0;
};

struct Masks {
  std::uint32_t red = 0, green = 0, blue = 0;
};

struct Header {
  std::uint32_t dataOffset = 0;
  std::uint32_t headerBytes = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: rows stored top to bottom
  std::uint16_t bitCount = 0;
  std::uint32_t compression = kCompressionNone;
  std::uint32_t coloursUsed = 0;
  Masks masks;
};

}  // namespace

int xBitmap::Fail(std::string reason) {
  Release();
  error_ = std::move(reason);
  return 0;
}

void xBitmap::Release() {
  width_ = height_ = 0;
  pixels_.clear();
  pixels_.shrink_to_fit();
}

int xBitmap::Load(const std::filesystem::path& path) {
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return Fail(path.string() + ": " + ec.message());
  if (size > kMaxFileBytes) return Fail(path.string() + ": larger than any bitmap this reader takes");
  std::vector<std::uint8_t> bytes;
  if (!base::ReadWholeFile(path, bytes)) return Fail(path.string() + ": cannot be read");
  if (!LoadFromMemory(bytes)) return Fail(path.string() + ": " + error_);
  return 1;
}

int xBitmap::LoadFromMemory(std::span<const std::uint8_t> bytes) {
  base::ByteReader in(bytes);
  std::uint8_t b = 0, m = 0;
  std::uint32_t dataOffset = 0;
  if (!in.U8(b) || !in.U8(m) || b != 'B' || m != 'M') return Fail("not a bitmap file");
  // The stored file size is often wrong; the real length is what counts.
  if (!in.Skip(8) || !in.U32(dataOffset))
    return Fail("file header cut short");

  Header h;
  h.dataOffset = dataOffset;
  if (!in.U32(h.headerBytes)) return Fail("image header cut short");
  bool headerRead = false;
  std::uint16_t planes = 0;
  if (h.headerBytes == kCoreHeaderBytes) {
    std::uint16_t w = 0, ht = 0;
    headerRead = in.U16(w) && in.U16(ht) && in.U16(planes) && in.U16(h.bitCount);
    h.width = w;
    h.height = ht;
  } else if (h.headerBytes == kInfoHeaderBytes || h.headerBytes == 52 || h.headerBytes == 56 ||
             h.headerBytes == 108 || h.headerBytes == 124) {
    std::int32_t w = 0, ht = 0, ppm = 0;
    std::uint32_t imageBytes = 0, important = 0;
    headerRead = in.I32(w) && in.I32(ht) && in.U16(planes) && in.U16(h.bitCount) && in.U32(h.compression) &&
                 in.U32(imageBytes) && in.I32(ppm) && in.I32(ppm) && in.U32(h.coloursUsed) && in.U32(important);
    h.width = w;
    h.height = ht;
    // Bit-field masks sit in the larger headers, or right after the basic one.
    if (headerRead && h.compression == kCompressionBitFields)
      headerRead = in.U32(h.masks.red) && in.U32(h.masks.green) && in.U32(h.masks.blue);
    const std::size_t masksAfterHeader =
        h.headerBytes == kInfoHeaderBytes && h.compression == kCompressionBitFields ? 12 : 0;
    if (headerRead) headerRead = in.Seek(kFileHeaderBytes + h.headerBytes + masksAfterHeader);
  } else {
    return Fail("unknown image header of " + std::to_string(h.headerBytes) + " bytes");
  }
  if (!headerRead) return Fail("image header cut short");
  if (planes != 1) return Fail("more than one plane");

  const std::int64_t rows = h.height < 0 ? -h.height : h.height;
  if (h.width <= 0 || rows == 0 || h.width > kMaxSide || rows > kMaxSide)
    return Fail("image size " + std::to_string(h.width) + "x" + std::to_string(h.height) + " out of range");

  const bool palette = h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8;
  if (!palette && h.bitCount != 16 && h.bitCount != 24 && h.bitCount != 32)
    return Fail(std::to_string(h.bitCount) + " bits per pixel are not supported");
  const bool bitFieldsAllowed = h.bitCount == 16 || h.bitCount == 32;
  if (h.compression != kCompressionNone && !(h.compression == kCompressionBitFields && bitFieldsAllowed))
    return Fail("compressed bitmaps are not supported");
  if (h.compression == kCompressionNone) {
    if (h.bitCount == 16) h.masks = {0x7C00, 0x03E0, 0x001F};
    if (h.bitCount == 32) h.masks = {0xFF0000, 0x00FF00, 0x0000FF};
  }
  const Channel red(h.masks.red), green(h.masks.green), blue(h.masks.blue);
  if (!red.Contiguous() || !green.Contiguous() || !blue.Contiguous()) return Fail("broken colour masks");

  // The palette follows the header; indices beyond it read as black.
  std::array<std::uint16_t, 256> colours{};
  if (palette) {
    const std::uint32_t most = 1u << h.bitCount;
    const bool core = h.headerBytes == kCoreHeaderBytes;
    std::uint32_t count = h.coloursUsed == 0 ? most : h.coloursUsed;
    // The small header has no colour count: the palette fills the room
    // before the pixels.
    if (core && h.dataOffset > in.Position())
      count = std::min<std::uint32_t>(most, static_cast<std::uint32_t>((h.dataOffset - in.Position()) / 3));
    if (count > most) return Fail("palette larger than the pixels can address");
    for (std::uint32_t i = 0; i < count; ++i) {
      std::uint8_t bgr[4] = {};
      if (!in.Bytes(std::span(bgr, core ? 3 : 4))) return Fail("palette cut short");
      colours[i] = RGB555(bgr[2], bgr[1], bgr[0]);
    }
  }

  const std::uint64_t rowBits = static_cast<std::uint64_t>(h.width) * h.bitCount;
  const std::uint64_t stride = (rowBits + 31) / 32 * 4;
  // The last row's padding may be missing; its pixels may not.
  const std::uint64_t needed = static_cast<std::uint64_t>(h.dataOffset) + stride * (rows - 1) + (rowBits + 7) / 8;
  if (h.dataOffset < in.Position() || needed > bytes.size()) return Fail("pixel data cut short");

  const int width = static_cast<int>(h.width);
  const int height = static_cast<int>(rows);
  std::vector<std::uint16_t> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const int fileRow = h.height < 0 ? y : height - 1 - y;
    const std::uint8_t* src = bytes.data() + h.dataOffset + stride * static_cast<std::uint64_t>(fileRow);
    std::uint16_t* out = pixels.data() + static_cast<std::size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      switch (h.bitCount) {
        case 1:
          out[x] = colours[src[x / 8] >> (7 - x % 8) & 1];
          break;
        case 4:
          out[x] = colours[src[x / 2] >> (x % 2 ? 0 : 4) & 15];
          break;
        case 8:
          out[x] = colours[src[x]];
          break;
        case 24:
          out[x] = RGB555(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
          break;
        default: {
          const std::uint8_t* p = src + x * (h.bitCount / 8);
          std::uint32_t value = p[0] | static_cast<std::uint32_t>(p[1]) << 8;
          if (h.bitCount == 32)
            value |= static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
          out[x] = RGB555(red.Value(value), green.Value(value), blue.Value(value));
          break;
        }
      }
    }
  }
  width_ = width;
  height_ = height;
  pixels_ = std::move(pixels);
  error_.clear();
  return 1;
}

}  // namespace tovrik::gfx
