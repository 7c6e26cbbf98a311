#include "Output.h"

#include "base/ByteIO.h"
#include "gfx/BmpWriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <tuple>

namespace tovrik::assetgen {
namespace {

struct Ramp {
  int count;
  std::array<int, 3> dark, mid, light;
};

// Sum 255 after entry 0.
constexpr std::array<Ramp, 10> kRamps = {{
    {44, {34, 18, 8}, {160, 100, 48}, {250, 222, 170}},   // wood
    {28, {40, 4, 4}, {196, 34, 30}, {255, 206, 190}},     // Han red
    {28, {2, 30, 12}, {34, 142, 62}, {206, 250, 200}},    // Cho green
    {32, {0, 0, 0}, {128, 128, 128}, {255, 255, 255}},    // greys
    {24, {48, 32, 0}, {236, 180, 30}, {255, 248, 210}},   // gold
    {28, {4, 6, 26}, {44, 84, 196}, {206, 228, 255}},     // night blue
    {18, {30, 6, 40}, {150, 60, 200}, {240, 210, 255}},   // violet
    {18, {0, 30, 36}, {30, 170, 190}, {200, 255, 255}},   // teal
    {20, {50, 12, 0}, {240, 110, 20}, {255, 230, 170}},   // fire
    {15, {60, 40, 30}, {140, 120, 100}, {220, 210, 196}}, // warm grey (paper, shadows)
}};

gfx::Palette256 BuildPalette() {
  gfx::Palette256 palette{};
  palette[0] = {255, 236, 140, 0};
  int index = 1;
  for (const Ramp& ramp : kRamps) {
    for (int i = 0; i < ramp.count; ++i) {
      const float t = ramp.count > 1 ? static_cast<float>(i) / static_cast<float>(ramp.count - 1) : 0.5f;
      std::array<std::uint8_t, 3> c{};
      for (int k = 0; k < 3; ++k) {
        const float v = t < 0.5f ? ramp.dark[k] + (ramp.mid[k] - ramp.dark[k]) * (t * 2)
                                 : ramp.mid[k] + (ramp.light[k] - ramp.mid[k]) * ((t - 0.5f) * 2);
        c[k] = static_cast<std::uint8_t>(std::lround(v));
      }
      palette[static_cast<std::size_t>(index++)] = {c[0], c[1], c[2], 0};
    }
  }
  return palette;
}

std::uint8_t Channel(float v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

void PutBE(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutText(std::vector<std::uint8_t>& out, std::string_view s) { out.insert(out.end(), s.begin(), s.end()); }

}  // namespace

const gfx::Palette256& GamePalette() {
  static const gfx::Palette256 palette = BuildPalette();
  return palette;
}

std::vector<std::uint8_t> PaletteFileBytes(const gfx::Palette256& palette) {
  std::vector<std::uint8_t> out;
  for (const gfx::PaletteEntry& e : palette) out.insert(out.end(), {e.blue, e.green, e.red, 0});
  return out;
}

std::uint8_t NearestGameIndex(Colour c) {
  static std::map<std::tuple<int, int, int>, std::uint8_t> cache;
  const int r = Channel(c.r), g = Channel(c.g), b = Channel(c.b);
  const auto key = std::make_tuple(r, g, b);
  if (const auto it = cache.find(key); it != cache.end()) return it->second;
  const gfx::Palette256& palette = GamePalette();
  int best = 1, bestDistance = 1 << 30;
  for (int i = 1; i < 256; ++i) {
    const gfx::PaletteEntry& e = palette[static_cast<std::size_t>(i)];
    // Weighted towards green, where the eye tells shades apart best.
    const int dr = r - e.red, dg = g - e.green, db = b - e.blue;
    const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (distance < bestDistance) bestDistance = distance, best = i;
  }
  cache.emplace(key, static_cast<std::uint8_t>(best));
  return static_cast<std::uint8_t>(best);
}

float BayerThreshold(int x, int y) {
  static constexpr int kBayer8[8][8] = {
      {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
      {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
      {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21}};
  return (static_cast<float>(kBayer8[y & 7][x & 7]) + 0.5f) / 64.0f;
}

std::vector<std::uint8_t> ToIndexed(const Canvas& canvas, float ditherSpread) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(canvas.Width()) * canvas.Height(), 0);
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) {
      Colour c = canvas.At(x, y);
      if (c.a < 0.5f) continue;
      if (ditherSpread > 0) {
        // The same offset on every channel moves along the palette's ramps
        // (they run dark to light) instead of adding coloured noise.
        const float offset = (BayerThreshold(x, y) - 0.5f) * ditherSpread / 255.0f;
        c = {c.r + offset, c.g + offset, c.b + offset, c.a};
      }
      out[static_cast<std::size_t>(y) * canvas.Width() + x] = NearestGameIndex(c);
    }
  return out;
}

std::vector<std::uint16_t> ToRgb555(const Canvas& canvas, std::uint16_t key) {
  std::vector<std::uint16_t> out(static_cast<std::size_t>(canvas.Width()) * canvas.Height(), key);
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) {
      const Colour& c = canvas.At(x, y);
      if (c.a < 0.5f) continue;
      const float threshold = BayerThreshold(x, y);
      const auto level = [threshold](float v) {
        return static_cast<unsigned>(std::clamp(std::floor(std::clamp(v, 0.0f, 1.0f) * 31.0f + threshold), 0.0f, 31.0f));
      };
      auto word = static_cast<std::uint16_t>((level(c.r) << 10) | (level(c.g) << 5) | level(c.b));
      if (word == key) word ^= 1;  // an opaque pixel must never read as the key
      out[static_cast<std::size_t>(y) * canvas.Width() + x] = word;
    }
  return out;
}

void AddFrame8(gfx::CSprite8& set, const Canvas& canvas, bool centred, float ditherSpread) {
  const int index = set.FrameCount();
  set.Insert(index, canvas.Width(), canvas.Height(), ToIndexed(canvas, ditherSpread), 0, 1);
  if (centred) {
    gfx::SPRITE8* frame = set.Frame(index);
    frame->offsetX = -canvas.Width() / 2;
    frame->offsetY = -canvas.Height() / 2;
  }
}

void AddFrame16(gfx::xSprite& set, const Canvas& canvas, bool centred) {
  const int index = set.FrameCount();
  constexpr std::uint16_t kKey = 0x7C1F;  // magenta
  set.Insert(index, canvas.Width(), canvas.Height(), ToRgb555(canvas, kKey), kKey, 1);
  if (centred) {
    gfx::SPRITE30* frame = set.Frame(index);
    frame->offsetX = -canvas.Width() / 2;
    frame->offsetY = -canvas.Height() / 2;
  }
}

std::vector<std::uint8_t> BmpBytes(const Canvas& canvas) {
  std::vector<gfx::BmpPixel> pixels;
  pixels.reserve(static_cast<std::size_t>(canvas.Width()) * static_cast<std::size_t>(canvas.Height()));
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) {
      const Colour& c = canvas.At(x, y);
      if (c.a < 0.5f) {
        pixels.push_back({255, 0, 255});
        continue;
      }
      gfx::BmpPixel p{Channel(c.r), Channel(c.g), Channel(c.b)};
      if (p.r == 255 && p.g == 0 && p.b == 255) p.g = 1;  // keep opaque pixels out of the cut-away colour
      pixels.push_back(p);
    }
  return gfx::EncodeBmp(canvas.Width(), canvas.Height(), pixels);
}

std::vector<std::uint8_t> BmpBytesWithAlpha(const Canvas& canvas) {
  std::vector<gfx::BmpPixel> pixels;
  pixels.reserve(static_cast<std::size_t>(canvas.Width()) * static_cast<std::size_t>(canvas.Height()));
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) {
      const Colour& c = canvas.At(x, y);
      const std::uint8_t a = Channel(c.a);
      if (a == 0) pixels.push_back({0, 0, 0, 0});
      else pixels.push_back({Channel(c.r), Channel(c.g), Channel(c.b), a});
    }
  return gfx::EncodeBmp(canvas.Width(), canvas.Height(), pixels, true);
}

std::vector<std::uint8_t> WaveBytes(std::span<const float> samples) {
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  base::ByteWriter out;
  const auto id = [&out](std::string_view text) {
    for (char c : text) out.U8(static_cast<std::uint8_t>(c));
  };
  id("RIFF");
  out.U32(36 + dataBytes);
  id("WAVEfmt ");
  out.U32(16);
  out.U16(1);  // PCM
  out.U16(1);  // mono
  out.U32(kSampleRate);
  out.U32(kSampleRate * 2);
  out.U16(2);
  out.U16(16);
  id("data");
  out.U32(dataBytes);
  for (float s : samples) out.I16(static_cast<std::int16_t>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f)));
  return out.Data();
}

std::vector<std::uint8_t> MidiBytes(int program, int tempoMicroseconds, std::span<const MidiNote> notes) {
  struct Event {
    int tick;
    int order;  // note-offs before note-ons at the same tick
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Event> events;
  for (const MidiNote& n : notes) {
    events.push_back({n.start, 1, {0x90, static_cast<std::uint8_t>(n.key), static_cast<std::uint8_t>(n.velocity)}});
    events.push_back({n.start + n.length, 0, {0x80, static_cast<std::uint8_t>(n.key), 0}});
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const Event& a, const Event& b) { return std::tie(a.tick, a.order) < std::tie(b.tick, b.order); });
  std::vector<std::uint8_t> track;
  const auto delta = [&track](std::uint32_t v) {
    std::uint8_t bytes[4];
    int n = 0;
    bytes[n++] = v & 0x7F;
    while (v >>= 7) bytes[n++] = static_cast<std::uint8_t>((v & 0x7F) | 0x80);
    while (n) track.push_back(bytes[--n]);
  };
  delta(0);
  track.insert(track.end(), {0xFF, 0x51, 0x03});
  PutBE(track, static_cast<std::uint32_t>(tempoMicroseconds), 3);
  delta(0);
  track.insert(track.end(), {0xC0, static_cast<std::uint8_t>(program)});
  int now = 0;
  for (const Event& e : events) {
    delta(static_cast<std::uint32_t>(e.tick - now));
    now = e.tick;
    track.insert(track.end(), e.bytes.begin(), e.bytes.end());
  }
  delta(0);
  track.insert(track.end(), {0xFF, 0x2F, 0x00});
  std::vector<std::uint8_t> out;
  PutText(out, "MThd");
  PutBE(out, 6, 4);
  PutBE(out, 0, 2);
  PutBE(out, 1, 2);
  PutBE(out, 96, 2);
  PutText(out, "MTrk");
  PutBE(out, static_cast<std::uint32_t>(track.size()), 4);
  out.insert(out.end(), track.begin(), track.end());
  return out;
}

bool WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    error = "cannot write " + path.string();
    return false;
  }
  return true;
}

}  // namespace tovrik::assetgen
