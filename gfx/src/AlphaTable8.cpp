#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/ByteIO.h"
#include "gfx/GrpLib8.h"

namespace tovrik::gfx {

namespace {

constexpr char kAlphaMagic[] = "Alpha Table";  // 11 characters, stored without terminator
constexpr std::size_t kAlphaMagicSize = 11;
constexpr std::size_t kAlphaHeaderSize = 28;

std::unique_ptr<std::uint8_t[]>& AlphaStorage() {
  static std::unique_ptr<std::uint8_t[]> storage;
  return storage;
}

}  // namespace

std::uint8_t* _pAlpha = nullptr;

void CreateAlphaTable8() {
  if (_pAlpha) return;
  AlphaStorage() = std::make_unique<std::uint8_t[]>(kAlphaTableSize);  // zeroed
  _pAlpha = AlphaStorage().get();
}

void ClearAlphaTable8() {
  AlphaStorage().reset();
  _pAlpha = nullptr;
}

int NearColor(int r, int g, int b, std::span<const PaletteEntry> palette) {
  int best = 0;
  int bestDistance = 1000;  // only distances below 1000 qualify
  const int first = std::max(ALPHA_STARTVAL, 0);
  const int last = std::min({ALPHA_ENDVAL, 255, static_cast<int>(palette.size()) - 1});
  for (int i = first; i <= last; ++i) {
    const PaletteEntry& e = palette[static_cast<std::size_t>(i)];
    const int dr = std::abs(r - e.red), dg = std::abs(g - e.green), db = std::abs(b - e.blue);
    const int distance = dr + dg + db + (std::max({dr, dg, db}) - std::min({dr, dg, db}));
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

int FindBlendColor(int a, int b, std::span<const PaletteEntry> palette, int level) {
  if (palette.size() < 256) return 0;
  const PaletteEntry& pa = palette[static_cast<std::size_t>(a & 255)];
  const PaletteEntry& pb = palette[static_cast<std::size_t>(b & 255)];
  const auto mix = [level](int x, int y) { return (x * level + y * (8 - level)) / 8; };
  return NearColor(mix(pa.red, pb.red), mix(pa.green, pb.green), mix(pa.blue, pb.blue), palette);
}

void InitAlphaTable8(std::span<const PaletteEntry> palette, int first, int last) {
  ALPHA_STARTVAL = first;
  ALPHA_ENDVAL = last;
  CreateAlphaTable8();
  if (palette.size() < 256) return;
  for (int level = 0; level < kAlphaLevels; ++level) {
    std::uint8_t* block = _pAlpha + static_cast<std::ptrdiff_t>(level) * 65536;
    for (int d = 0; d < 256; ++d) {
      for (int s = 0; s < 256; ++s) block[d << 8 | s] = static_cast<std::uint8_t>(FindBlendColor(d, s, palette, level));
    }
  }
}

int SaveAlphaTable8(const std::filesystem::path& path) {
  if (!_pAlpha) return -2;
  base::ByteWriter out;
  out.Bytes(std::span(reinterpret_cast<const std::uint8_t*>(kAlphaMagic), kAlphaMagicSize));
  out.Zeros(5);
  out.U8(kAlphaLevels);
  out.Zeros(3);
  out.I32(kAlphaTableSize);
  out.Zeros(4);
  out.Bytes(std::span(_pAlpha, kAlphaTableSize));
  return base::WriteWholeFile(path, out.Data()) ? 1 : -1;
}

int LoadAlphaTable8(const std::filesystem::path& path) {
  std::vector<std::uint8_t> bytes;
  if (!base::ReadWholeFile(path, bytes)) return -1;
  if (bytes.size() < kAlphaMagicSize || std::memcmp(bytes.data(), kAlphaMagic, kAlphaMagicSize) != 0) return -2;
  CreateAlphaTable8();
  if (bytes.size() <= kAlphaHeaderSize) return -3;
  const std::size_t available = std::min<std::size_t>(bytes.size() - kAlphaHeaderSize, kAlphaTableSize);
  std::memcpy(_pAlpha, bytes.data() + kAlphaHeaderSize, available);
  return available == kAlphaTableSize ? 1 : -3;
}

}  // namespace tovrik::gfx
