// tovrik-contact-sheet RUNTIME_DIR OUT.bmp: one picture of every sprite
// frame and bitmap the client loads, read back with the client's own
// loaders, for reviewing art changes at a glance.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "../src/Canvas.h"
#include "../src/Output.h"
#include "assetgen/Manifest.h"
#include "gfx/Csp.h"
#include "gfx/Sprite.h"
#include "gfx/Sprite8.h"
#include "platform/PathResolver.h"

namespace ag = tovrik::assetgen;
namespace gfx = tovrik::gfx;

namespace {

constexpr int kSheetWidth = 1800;

// Shelf packing: items flow left to right and wrap.
struct Sheet {
  std::vector<std::pair<ag::Canvas, std::pair<int, int>>> items;
  int x = 8, y = 8, shelf = 0;
  void Add(ag::Canvas image) {
    const int w = std::min(image.Width(), kSheetWidth - 16);
    if (x + w > kSheetWidth - 8) x = 8, y += shelf + 8, shelf = 0;
    items.push_back({std::move(image), {x, y}});
    x += w + 8;
    shelf = std::max(shelf, items.back().first.Height());
  }
  void Label(const std::string& text) {
    ag::Canvas label(kSheetWidth - 16 - x > 300 ? 300 : kSheetWidth - 16, 14);
    label.Text(text, 0, 0, 12, false, ag::Rgb(255, 255, 255), false);
    Add(std::move(label));
  }
};

// A checkerboard shows which pixels are transparent.
ag::Canvas Backdrop(int w, int h) {
  ag::Canvas c(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c.At(x, y) = ((x / 8 + y / 8) % 2) ? ag::Rgb(90, 90, 100) : ag::Rgb(60, 60, 70);
  return c;
}

void AddSprite8(Sheet& sheet, const gfx::CSprite8& set) {
  const auto& palette = ag::GamePalette();
  for (int i = 0; i < set.FrameCount(); ++i) {
    const gfx::SPRITE8* f = set.Frame(i);
    if (!f || f->width <= 0 || f->height <= 0) continue;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(f->width) * f->height, 0);
    if (f->compress) gfx::DecodeSpr8(pixels, f->width, f->height, f->data, 0);
    else std::copy_n(f->data.begin(), std::min(f->data.size(), pixels.size()), pixels.begin());
    ag::Canvas c = Backdrop(f->width, f->height);
    for (int y = 0; y < f->height; ++y)
      for (int x = 0; x < f->width; ++x)
        if (const std::uint8_t p = pixels[static_cast<std::size_t>(y) * f->width + x]) {
          const auto& e = palette[p];
          c.At(x, y) = ag::Rgb(e.red, e.green, e.blue);
        }
    sheet.Add(std::move(c));
  }
}

void AddSprite16(Sheet& sheet, const gfx::xSprite& set) {
  for (int i = 0; i < set.FrameCount(); ++i) {
    const gfx::SPRITE30* f = set.Frame(i);
    if (!f || f->width <= 0 || f->height <= 0) continue;
    std::vector<std::uint16_t> pixels(static_cast<std::size_t>(f->width) * f->height, f->colorKey);
    if (f->compress) gfx::DecodeSpr0(pixels, f->width, f->height, f->data, f->colorKey);
    else std::copy_n(f->data.begin(), std::min(f->data.size(), pixels.size()), pixels.begin());
    ag::Canvas c = Backdrop(f->width, f->height);
    for (int y = 0; y < f->height; ++y)
      for (int x = 0; x < f->width; ++x) {
        const std::uint16_t p = pixels[static_cast<std::size_t>(y) * f->width + x];
        if (p == f->colorKey) continue;
        const auto expand = [](unsigned v) { return static_cast<int>((v << 3) | (v >> 2)); };
        c.At(x, y) = ag::Rgb(expand((p >> 10) & 31), expand((p >> 5) & 31), expand(p & 31));
      }
    sheet.Add(std::move(c));
  }
}

bool AddBitmap(Sheet& sheet, const std::filesystem::path& path) {
  SDL_Surface* loaded = SDL_LoadBMP(path.string().c_str());
  if (!loaded) return false;
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
  SDL_FreeSurface(loaded);
  if (!rgb) return false;
  ag::Canvas c = Backdrop(rgb->w, rgb->h);
  for (int y = 0; y < rgb->h; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(rgb->pixels) + y * rgb->pitch);
    for (int x = 0; x < rgb->w; ++x) {
      const std::uint32_t p = row[x] & 0xFFFFFF;
      if (p != 0xFF00FF) c.At(x, y) = ag::Rgb(static_cast<int>(p >> 16), static_cast<int>((p >> 8) & 255), static_cast<int>(p & 255));
    }
  }
  SDL_FreeSurface(rgb);
  sheet.Add(std::move(c));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s RUNTIME_DIR OUT.bmp\n", argv[0]);
    return 2;
  }
  const std::filesystem::path runtime = argv[1];
  Sheet sheet;
  int missing = 0;
  for (const ag::AssetEntry& e : ag::Manifest()) {
    const auto path = tovrik::platform::ResolvePath(e.path, runtime);
    bool ok = true;
    switch (e.kind) {
      case ag::AssetKind::Sprite8: {
        gfx::CSprite8 set;
        ok = set.Load(path) == 1;
        if (ok) sheet.Label(std::string(e.path)), AddSprite8(sheet, set);
        break;
      }
      case ag::AssetKind::Sprite16: {
        gfx::xSprite set;
        ok = set.Load(path) == 1;
        if (ok) sheet.Label(std::string(e.path)), AddSprite16(sheet, set);
        break;
      }
      case ag::AssetKind::Bitmap:
        sheet.Label(std::string(e.path));
        ok = AddBitmap(sheet, path);
        break;
      default:
        break;
    }
    if (!ok) {
      std::fprintf(stderr, "cannot read %s\n", std::string(e.path).c_str());
      ++missing;
    }
  }
  ag::Canvas out(kSheetWidth, sheet.y + sheet.shelf + 8, ag::Rgb(30, 30, 36));
  for (const auto& [image, at] : sheet.items) out.Draw(image, at.first, at.second);
  const auto bytes = ag::BmpBytes(out);
  std::string error;
  if (!ag::WriteFile(argv[2], bytes, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  return missing ? 1 : 0;
}
