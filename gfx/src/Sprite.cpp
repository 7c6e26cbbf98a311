#include "gfx/Sprite.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/ByteIO.h"
#include "SprBoxIO.h"
#include "gfx/Csp.h"
#include "gfx/Dither.h"
#include "gfx/JpegFile.h"
#include "gfx/PixelFormat.h"

namespace tovrik::gfx {

namespace {

constexpr std::size_t kHeaderSize = 28;
constexpr std::size_t kFrameHeaderSize = 32;

std::size_t PixelCount(const SPRITE30& f) {
  return f.width > 0 && f.height > 0 ? static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height) : 0;
}

std::uint32_t RowEntry(const std::vector<std::uint16_t>& data, int y) {
  return static_cast<std::uint32_t>(data[2 * static_cast<std::size_t>(y)]) |
         static_cast<std::uint32_t>(data[2 * static_cast<std::size_t>(y) + 1]) << 16;
}

// Calls fn(pixels, length) for every run of a drawable Csp frame, row by row
// through the row table. The runs are all found before fn changes a word:
// row records may overlap (a file can point one row into another's pixels),
// and a count or length read after fn rewrote it could reach past the data.
template <class Fn>
void ForEachCspRun(SPRITE30& f, Fn&& fn) {
  std::vector<std::pair<std::size_t, int>> runs;
  for (int y = 0; y < f.height; ++y) {
    std::size_t pos = RowEntry(f.data, y);
    if (pos >= f.data.size()) return;
    const int count = f.data[pos++];
    for (int i = 0; i < count; ++i) {
      if (f.data.size() - pos < 2) return;
      const int length = f.data[pos + 1];
      pos += 2;
      if (f.data.size() - pos < static_cast<std::size_t>(length)) return;
      runs.emplace_back(pos, length);
      pos += static_cast<std::size_t>(length);
    }
  }
  for (const auto& [at, length] : runs) fn(f.data.data() + at, length);
}

using Converter = std::uint16_t (*)(std::uint16_t);

Converter PickConverter(int from, int to) {
  if (from == kLayout565 && to == kLayout555) return RGB565_TO_RGB555;
  if (from == kLayout555 && to == kLayout565) return RGB555_TO_RGB565;
  if (from == kLayout555 && to == kLayoutBGR565) return RGB555_TO_BGR565;
  if (from == kLayout565 && to == kLayoutBGR565) return RGB565_TO_BGR565;
  return nullptr;
}

}  // namespace

bool SPRITE30::IsDrawable() const {
  if (width <= 0 || height <= 0 || data.empty()) return false;
  if (compress == 0) return data.size() >= PixelCount(*this);
  return compress == 1 && data.size() >= 2 * static_cast<std::size_t>(height);
}

SPRITE30* xSprite::Frame(int index) {
  return index >= 0 && index < FrameCount() ? &frames_[static_cast<std::size_t>(index)] : nullptr;
}

const SPRITE30* xSprite::Frame(int index) const {
  return index >= 0 && index < FrameCount() ? &frames_[static_cast<std::size_t>(index)] : nullptr;
}

void xSprite::Remove() {
  header_ = SPRHEADER{};
  frames_.clear();
  ani_.Destroy();
}

int xSprite::Load(const std::filesystem::path& path, int targetFormat) {
  std::vector<std::uint8_t> bytes;
  if (!base::ReadWholeFile(path, bytes)) return 0;
  return LoadFromMemory(bytes, targetFormat);
}

int xSprite::LoadFromMemory(std::span<const std::uint8_t> bytes, int targetFormat) {
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kSpriteMagic.data(), kSpriteMagic.size()) != 0) {
    return 0;
  }
  Remove();
  base::ByteReader in(bytes);
  in.Bytes(std::span(reinterpret_cast<std::uint8_t*>(header_.id.data()), header_.id.size()));
  in.I16(header_.version), in.I16(header_.bytesPerPixel), in.I16(header_.pixelFormat);
  in.I16(header_.frameCount), in.I32(header_.animation);
  // Every frame begins with a fixed header, so a count the rest of the file
  // cannot hold is a lie: it must not size the frame table (32767 records).
  if (header_.frameCount < 0 || static_cast<std::size_t>(header_.frameCount) * kFrameHeaderSize > in.Remaining()) {
    header_.frameCount = 0;
    return 0;
  }
  frames_.resize(static_cast<std::size_t>(header_.frameCount));

  bool complete = true;
  bool anyCorrupt = false;
  for (auto& frame : frames_) {
    bool corrupt = false;
    if (!LoadFrame(in, frame, corrupt)) {
      ClearSprData(static_cast<int>(&frame - frames_.data()));
      complete = false;
      break;
    }
    anyCorrupt |= corrupt;
  }
  if (complete && header_.animation > 0) complete = ani_.Load(in);
  // Converting even after a failure keeps the frames that did load in the
  // layout the caller asked for.
  if (header_.pixelFormat != kLayout4444) ChangeFixelFormat(targetFormat);
  return complete && !anyCorrupt ? 1 : 0;
}

bool xSprite::LoadFrame(base::ByteReader& in, SPRITE30& f, bool& corrupt) {
  if (in.Remaining() < kFrameHeaderSize) return false;
  std::uint8_t compress = 0, ignored = 0;
  std::int16_t offsetX = 0, offsetY = 0, width = 0, height = 0, centerX = 0, centerY = 0, box1Count = 0, box2Count = 0;
  in.U8(compress), in.U8(ignored), in.U16(f.colorKey);
  in.I16(offsetX), in.I16(offsetY), in.I16(width), in.I16(height), in.I16(centerX), in.I16(centerY);
  in.I16(box1Count), in.I16(box2Count), in.I32(f.dataSize), in.U16(f.frameFormat);
  in.U8(f.jpeg), in.U8(f.jpegDither), in.U8(f.carried), in.Skip(3);
  f.compress = compress;
  f.offsetX = offsetX, f.offsetY = offsetY, f.width = width, f.height = height;
  f.centerX = centerX, f.centerY = centerY, f.box1Count = box1Count, f.box2Count = box2Count;
  if (!detail::ReadBoxes(in, box1Count, f.box1) || !detail::ReadBoxes(in, box2Count, f.box2)) return false;
  if (f.dataSize < 0 || static_cast<std::size_t>(f.dataSize) > in.Remaining()) return false;
  const std::size_t dataStart = in.Position();

  if (f.jpeg == 1) {
    // The stream is handed everything up to the end of the file, as a decoder
    // reading the file would see it; the next frame starts dataSize on.
    const auto storedSize = static_cast<std::size_t>(f.dataSize);
    int w = 0, h = 0;
    // The stream names its own size; one that is not the frame's is refused
    // before a row is decoded, not after a header of 32767 x 32767 has been.
    if (!JpegFile::JpegMemorySize(in.Rest(), w, h) || w != f.width || h != f.height) return false;
    std::vector<std::uint16_t> pixels = Make16bitFromJpeg(in.Rest(), w, h, f.jpegDither == 1);
    if (pixels.empty() || w != f.width || h != f.height) return false;
    f.data = std::move(pixels);
    f.dataSize = static_cast<std::int32_t>(f.data.size() * 2);
    f.compress = 0;
    // A frame too busy for the run-length form simply stays raw.
    if (compress == 1) Compress(static_cast<int>(&f - frames_.data()));
    return in.Seek(dataStart + storedSize);
  }

  if (f.dataSize % 2 != 0) {
    in.Skip(static_cast<std::size_t>(f.dataSize));
    corrupt = true;
  } else {
    f.data.resize(static_cast<std::size_t>(f.dataSize) / 2);
    for (auto& word : f.data) in.U16(word);
    if (in.Failed()) return false;
    if (compress == 0) {
      corrupt = f.data.size() < PixelCount(f) || f.width < 0 || f.height < 0;
    } else if (compress == 1) {
      corrupt = !f.data.empty() && !CspIsDrawable16(f.data, f.width, f.height);
    } else {
      corrupt = true;
    }
  }
  if (corrupt) ClearSprData(static_cast<int>(&f - frames_.data()));
  return true;
}

std::vector<std::uint16_t> xSprite::Make16bitFromJpeg(std::span<const std::uint8_t> bytes, int& width, int& height,
                                                      int dither) {
  std::vector<std::uint8_t> rgb = JpegFile::JpegMemoryToRGB(bytes, width, height);
  return ConvertRgb24(rgb, width, height, dither);
}

std::vector<std::uint16_t> xSprite::Make16bitFromJpeg(std::FILE* file, int& width, int& height, int dither) {
  std::vector<std::uint8_t> rgb = JpegFile::JpegFileToRGB(file, width, height);
  return ConvertRgb24(rgb, width, height, dither);
}

std::vector<std::uint16_t> xSprite::Make16bitFromJpeg(const std::filesystem::path& path, int& width, int& height,
                                                      int dither) {
  std::vector<std::uint8_t> rgb = JpegFile::JpegFileToRGB(path, width, height);
  return ConvertRgb24(rgb, width, height, dither);
}

std::vector<std::uint16_t> xSprite::ConvertRgb24(const std::vector<std::uint8_t>& rgb, int& width, int& height,
                                                 int dither) {
  const std::size_t pixels = width > 0 && height > 0 ? static_cast<std::size_t>(width) * height : 0;
  if (rgb.empty() || pixels == 0 || rgb.size() < pixels * 3) {
    width = height = 0;
    return {};
  }
  std::vector<std::uint16_t> out(pixels);
  if (!dither) {
    for (std::size_t i = 0; i < pixels; ++i) out[i] = RGB555(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    return out;
  }
  setup_dither_mask(0x001F, 0x03E0, 0x7C00, 2);
  std::vector<std::uint8_t> packed(pixels * 2);
  if (!dither_rgb24(rgb, width, height, packed)) {
    width = height = 0;
    return {};
  }
  for (std::size_t i = 0; i < pixels; ++i) {
    out[i] = static_cast<std::uint16_t>(packed[2 * i] | packed[2 * i + 1] << 8);
  }
  return out;
}

int xSprite::Compress(int index) {
  SPRITE30* f = Frame(index);
  if (!f || f->data.empty() || f->compress != 0 || f->data.size() < PixelCount(*f)) return 0;
  std::vector<std::uint16_t> encoded;
  const int size = EncodeSpr0(f->data, f->width, f->height, encoded, f->colorKey);
  if (size == 0) return 0;
  f->data = std::move(encoded);
  f->dataSize = size;
  f->compress = 1;
  return 1;
}

int xSprite::DeCompress(int index) {
  SPRITE30* f = Frame(index);
  if (!f || f->data.empty() || f->compress != 1) return 0;
  std::vector<std::uint16_t> raw(PixelCount(*f));
  if (raw.empty() || !DecodeSpr0(raw, f->width, f->height, f->data, f->colorKey)) return 0;
  f->data = std::move(raw);
  f->dataSize = static_cast<std::int32_t>(f->data.size() * 2);
  f->compress = 0;
  return 1;
}

int xSprite::ChangeFixelFormat(int targetFormat) {
  if (targetFormat == header_.pixelFormat) return 1;
  if (targetFormat != kLayout555 && targetFormat != kLayout565 && targetFormat != kLayoutBGR565) return 0;
  if (Converter convert = PickConverter(header_.pixelFormat, targetFormat)) {
    for (auto& f : frames_) {
      f.colorKey = convert(f.colorKey);
      if (f.data.empty()) continue;
      if (f.compress == 0) {
        for (auto& word : f.data) word = convert(word);
      } else if (f.IsDrawable()) {
        ForEachCspRun(f, [convert](std::uint16_t* p, int n) {
          for (int i = 0; i < n; ++i) p[i] = convert(p[i]);
        });
        // Rows that overlap other rows' pixels are rewritten by the
        // conversion; a frame it leaves unwalkable must not reach a blit.
        if (!CspIsDrawable16(f.data, f.width, f.height)) f = SPRITE30{};
      }
    }
  }
  header_.pixelFormat = static_cast<std::int16_t>(targetFormat);
  return 1;
}

SPRITE30 xSprite::MakeFrame(int width, int height, std::vector<std::uint16_t>&& pixels, std::uint16_t colorKey) {
  SPRITE30 f;
  f.colorKey = colorKey;
  f.width = width;
  f.height = height;
  f.centerX = width / 2;
  f.centerY = height / 2;
  f.data = std::move(pixels);
  f.dataSize = static_cast<std::int32_t>(f.data.size() * 2);
  f.frameFormat = kLayout555;
  return f;
}

namespace {
bool PixelsFit(int width, int height, std::size_t count) {
  return width > 0 && height > 0 && width <= 0x7FFF && height <= 0x7FFF &&
         count == static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}
}  // namespace

int xSprite::NewSpace(int width, int height, std::vector<std::uint16_t>&& pixels, std::uint16_t colorKey,
                      int compress) {
  if (!PixelsFit(width, height, pixels.size())) return 0;
  Remove();
  std::memcpy(header_.id.data(), kSpriteMagic.data(), kSpriteMagic.size());
  header_.version = kSpriteVersion;
  header_.bytesPerPixel = 2;
  header_.frameCount = 1;
  frames_.push_back(MakeFrame(width, height, std::move(pixels), colorKey));
  if (compress) return Compress(0);
  return 1;
}

int xSprite::TransToSpr(int width, int height, std::vector<std::uint16_t>&& pixels, std::uint16_t colorKey) {
  return NewSpace(width, height, std::move(pixels), colorKey, 0);
}

int xSprite::TransToSprByCopy(int width, int height, std::span<const std::uint16_t> pixels, std::uint16_t colorKey) {
  return TransToSpr(width, height, std::vector<std::uint16_t>(pixels.begin(), pixels.end()), colorKey);
}

int xSprite::Insert(int index, int width, int height, std::vector<std::uint16_t>&& pixels, std::uint16_t colorKey,
                    int compress) {
  if (frames_.empty()) return NewSpace(width, height, std::move(pixels), colorKey, compress);
  if (index < 0 || index > FrameCount() || FrameCount() >= 0x7FFF) return 0;
  if (!PixelsFit(width, height, pixels.size())) return 0;
  frames_.insert(frames_.begin() + index, MakeFrame(width, height, std::move(pixels), colorKey));
  header_.frameCount = static_cast<std::int16_t>(frames_.size());
  if (compress) return Compress(index);
  return 1;
}

int xSprite::InsertByCopy(int index, int width, int height, std::span<const std::uint16_t> pixels,
                          std::uint16_t colorKey, int compress) {
  return Insert(index, width, height, std::vector<std::uint16_t>(pixels.begin(), pixels.end()), colorKey, compress);
}

int xSprite::OptimizeSize(int index, int moveOrigin) {
  SPRITE30* f = Frame(index);
  if (!f || !f->IsDrawable()) return 0;
  const bool wasCsp = f->compress == 1;
  if (wasCsp && !DeCompress(index)) return 0;

  const int w = f->width, h = f->height;
  int left = w - 1, right = 0, top = -1, bottom = -1;
  bool previousHeldOne = false;
  for (int y = 0; y < h; ++y) {
    const std::uint16_t* row = f->data.data() + static_cast<std::size_t>(y) * w;
    int first = -1, last = -1;
    for (int x = 0; x < w; ++x) {
      if (row[x] != f->colorKey) {
        if (first < 0) first = x;
        last = x;
      }
    }
    if (first >= 0) {
      left = std::min(left, first);
      right = std::max(right, last);
      if (top < 0) top = y;
      bottom = y;
      previousHeldOne = true;
    } else if (previousHeldOne) {
      // Keeps one key-coloured row under the image, as the stored art expects.
      bottom = y;
      previousHeldOne = false;
    }
  }

  bool cut = false;
  if (top >= 0 && left < right && top < bottom) {
    const int newW = right - left + 1, newH = bottom - top + 1;
    std::vector<std::uint16_t> cropped(static_cast<std::size_t>(newW) * newH);
    for (int y = 0; y < newH; ++y) {
      const std::uint16_t* src = f->data.data() + static_cast<std::size_t>(y + top) * w + left;
      std::copy(src, src + newW, cropped.begin() + static_cast<std::ptrdiff_t>(y) * newW);
    }
    f->data = std::move(cropped);
    f->width = newW;
    f->height = newH;
    f->dataSize = static_cast<std::int32_t>(f->data.size() * 2);
    if (moveOrigin) {
      f->offsetX += left, f->offsetY += top, f->centerX -= left, f->centerY -= top;
      for (auto* boxes : {&f->box1, &f->box2}) {
        for (auto& b : *boxes) {
          b.left = static_cast<std::int16_t>(b.left - left), b.right = static_cast<std::int16_t>(b.right - left);
          b.top = static_cast<std::int16_t>(b.top - top), b.bottom = static_cast<std::int16_t>(b.bottom - top);
        }
      }
    }
    cut = true;
  }
  if (wasCsp) Compress(index);
  return cut ? 1 : 0;
}

int xSprite::CheckData(int index) {
  SPRITE30* f = Frame(index);
  if (!f) return 0;
  bool sound = false;
  if (f->compress == 0) {
    sound = f->width >= 0 && f->height >= 0 && static_cast<std::int64_t>(f->width) * f->height * 2 == f->dataSize &&
            f->data.size() * 2 == static_cast<std::size_t>(f->dataSize);
  } else if (f->compress == 1 && f->height > 0 && f->width > 0 &&
             f->data.size() >= 2 * static_cast<std::size_t>(f->height)) {
    // Row records must follow one another exactly as the row table says.
    std::size_t pos = RowEntry(f->data, 0);
    std::int64_t covered = 0;
    sound = true;
    for (int y = 0; y < f->height && sound; ++y) {
      if (RowEntry(f->data, y) != pos || pos >= f->data.size()) {
        sound = false;
        break;
      }
      const int count = f->data[pos++];
      for (int i = 0; i < count; ++i) {
        if (f->data.size() - pos < 2) {
          sound = false;
          break;
        }
        const int skip = f->data[pos], length = f->data[pos + 1];
        pos += 2;
        if (f->data.size() - pos < static_cast<std::size_t>(length)) {
          sound = false;
          break;
        }
        pos += static_cast<std::size_t>(length);
        covered += skip + length;
      }
    }
    sound = sound && covered == static_cast<std::int64_t>(f->width) * f->height &&
            CspIsDrawable16(f->data, f->width, f->height);
  }
  if (!sound) ClearSprData(index);
  return sound ? 1 : 0;
}

int xSprite::ValidCheck() {
  int result = 1;
  for (int i = 0; i < FrameCount(); ++i) {
    if (frames_[static_cast<std::size_t>(i)].frameFormat == kLayout555 && !CheckData(i)) result = 0;
  }
  return result;
}

void xSprite::ClearSprData(int index) {
  if (SPRITE30* f = Frame(index)) *f = SPRITE30{};
}

std::vector<std::uint8_t> xSprite::SaveToMemory() const {
  base::ByteWriter out;
  out.Bytes(std::span(reinterpret_cast<const std::uint8_t*>(header_.id.data()), header_.id.size()));
  out.I16(header_.version), out.I16(header_.bytesPerPixel), out.I16(header_.pixelFormat);
  out.I16(static_cast<std::int16_t>(frames_.size())), out.I32(header_.animation);
  for (const auto& f : frames_) {
    out.U8(static_cast<std::uint8_t>(f.compress)), out.U8(0), out.U16(f.colorKey);
    out.I16(static_cast<std::int16_t>(f.offsetX)), out.I16(static_cast<std::int16_t>(f.offsetY));
    out.I16(static_cast<std::int16_t>(f.width)), out.I16(static_cast<std::int16_t>(f.height));
    out.I16(static_cast<std::int16_t>(f.centerX)), out.I16(static_cast<std::int16_t>(f.centerY));
    out.I16(static_cast<std::int16_t>(f.box1.size())), out.I16(static_cast<std::int16_t>(f.box2.size()));
    out.I32(static_cast<std::int32_t>(f.data.size() * 2)), out.U16(f.frameFormat);
    out.U8(0), out.U8(0), out.U8(f.carried), out.Zeros(3);  // pixels are stored decoded, never as JPEG
    detail::WriteBoxes(out, f.box1);
    detail::WriteBoxes(out, f.box2);
    for (std::uint16_t word : f.data) out.U16(word);
  }
  if (header_.animation > 0) ani_.Save(out);
  return out.Data();
}

int xSprite::Save(const std::filesystem::path& path) const {
  return base::WriteWholeFile(path, SaveToMemory()) ? 1 : 0;
}

}  // namespace tovrik::gfx
