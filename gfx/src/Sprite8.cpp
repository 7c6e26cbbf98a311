#include "gfx/Sprite8.h"

#include <cstring>
#include <utility>

#include "base/ByteIO.h"
#include "SprBoxIO.h"
#include "gfx/Csp.h"

namespace tovrik::gfx {

namespace {

constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kFrameHeaderSize = 28;

std::size_t PixelCount(const SPRITE8& f) {
  return f.width > 0 && f.height > 0 ? static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height) : 0;
}

}  // namespace

bool SPRITE8::IsDrawable() const {
  if (width <= 0 || height <= 0 || data.empty()) return false;
  if (compress == 0) return data.size() >= PixelCount(*this);
  return compress == 1 && data.size() >= 4 * static_cast<std::size_t>(height);
}

SPRITE8* CSprite8::Frame(int index) {
  return index >= 0 && index < FrameCount() ? &frames_[static_cast<std::size_t>(index)] : nullptr;
}

const SPRITE8* CSprite8::Frame(int index) const {
  return index >= 0 && index < FrameCount() ? &frames_[static_cast<std::size_t>(index)] : nullptr;
}

void CSprite8::Remove() {
  header_ = SPRHEADER8{};
  frames_.clear();
}

int CSprite8::Load(const std::filesystem::path& path) {
  std::vector<std::uint8_t> bytes;
  if (!base::ReadWholeFile(path, bytes)) return 0;
  return LoadFromMemory(bytes);
}

int CSprite8::LoadFromMemory(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kSpriteMagic.data(), kSpriteMagic.size()) != 0) {
    return 0;
  }
  Remove();
  base::ByteReader in(bytes);
  in.Bytes(std::span(reinterpret_cast<std::uint8_t*>(header_.id.data()), header_.id.size()));
  in.I16(header_.carried0), in.I16(header_.frameCount), in.I32(header_.carried1);
  // As in the 16-bit form: a count that the frame headers alone would
  // overrun is refused before it sizes the frame table.
  if (header_.frameCount < 0 || static_cast<std::size_t>(header_.frameCount) * kFrameHeaderSize > in.Remaining()) {
    header_.frameCount = 0;
    return 0;
  }
  frames_.resize(static_cast<std::size_t>(header_.frameCount));
  bool anyCorrupt = false;
  for (auto& frame : frames_) {
    bool corrupt = false;
    if (!LoadFrame(in, frame, corrupt)) {
      frame = SPRITE8{};
      return 0;
    }
    anyCorrupt |= corrupt;
  }
  return anyCorrupt ? 0 : 1;
}

bool CSprite8::LoadFrame(base::ByteReader& in, SPRITE8& f, bool& corrupt) {
  if (in.Remaining() < kFrameHeaderSize) return false;
  std::uint8_t compress = 0, ignored = 0;
  std::int16_t offsetX = 0, offsetY = 0, width = 0, height = 0, centerX = 0, centerY = 0, box1Count = 0, box2Count = 0;
  in.U8(compress), in.U8(ignored);
  in.I16(offsetX), in.I16(offsetY), in.I16(width), in.I16(height), in.I16(centerX), in.I16(centerY);
  in.I16(box1Count), in.I16(box2Count), in.Skip(2), in.I32(f.dataSize), in.U8(f.colorKey), in.Skip(3);
  f.compress = compress;
  f.offsetX = offsetX, f.offsetY = offsetY, f.width = width, f.height = height;
  f.centerX = centerX, f.centerY = centerY, f.box1Count = box1Count, f.box2Count = box2Count;
  if (!detail::ReadBoxes(in, box1Count, f.box1) || !detail::ReadBoxes(in, box2Count, f.box2)) return false;
  if (f.dataSize < 0 || static_cast<std::size_t>(f.dataSize) > in.Remaining()) return false;
  f.data.resize(static_cast<std::size_t>(f.dataSize));
  in.Bytes(f.data);
  if (compress == 0) {
    corrupt = f.width < 0 || f.height < 0 || f.data.size() < PixelCount(f);
  } else if (compress == 1) {
    corrupt = !f.data.empty() && !CspIsDrawable8(f.data, f.width, f.height);
  } else {
    corrupt = true;
  }
  if (corrupt) f = SPRITE8{};
  return true;
}

int CSprite8::Insert(int index, int width, int height, std::vector<std::uint8_t>&& pixels, std::uint8_t colorKey,
                     int compress) {
  if (index < 0 || index > FrameCount() || FrameCount() >= 0x7FFF) return 0;
  if (width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF ||
      pixels.size() != static_cast<std::size_t>(width) * height) {
    return 0;
  }
  SPRITE8 f;
  f.colorKey = colorKey;
  f.width = width;
  f.height = height;
  f.centerX = width / 2;
  f.centerY = height / 2;
  if (compress) {
    if (EncodeSpr8(pixels, width, height, f.data, colorKey) == 0) return 0;
    f.compress = 1;
  } else {
    f.data = std::move(pixels);
  }
  f.dataSize = static_cast<std::int32_t>(f.data.size());
  if (frames_.empty()) std::memcpy(header_.id.data(), kSpriteMagic.data(), kSpriteMagic.size());
  frames_.insert(frames_.begin() + index, std::move(f));
  header_.frameCount = static_cast<std::int16_t>(frames_.size());
  return 1;
}

std::vector<std::uint8_t> CSprite8::SaveToMemory() const {
  base::ByteWriter out;
  out.Bytes(std::span(reinterpret_cast<const std::uint8_t*>(header_.id.data()), header_.id.size()));
  out.I16(header_.carried0), out.I16(static_cast<std::int16_t>(frames_.size())), out.I32(header_.carried1);
  for (const auto& f : frames_) {
    out.U8(static_cast<std::uint8_t>(f.compress)), out.U8(0);
    out.I16(static_cast<std::int16_t>(f.offsetX)), out.I16(static_cast<std::int16_t>(f.offsetY));
    out.I16(static_cast<std::int16_t>(f.width)), out.I16(static_cast<std::int16_t>(f.height));
    out.I16(static_cast<std::int16_t>(f.centerX)), out.I16(static_cast<std::int16_t>(f.centerY));
    out.I16(static_cast<std::int16_t>(f.box1.size())), out.I16(static_cast<std::int16_t>(f.box2.size()));
    out.Zeros(2), out.I32(static_cast<std::int32_t>(f.data.size())), out.U8(f.colorKey), out.Zeros(3);
    detail::WriteBoxes(out, f.box1);
    detail::WriteBoxes(out, f.box2);
    out.Bytes(f.data);
  }
  return out.Data();
}

int CSprite8::Save(const std::filesystem::path& path) const {
  return base::WriteWholeFile(path, SaveToMemory()) ? 1 : 0;
}

}  // namespace tovrik::gfx
