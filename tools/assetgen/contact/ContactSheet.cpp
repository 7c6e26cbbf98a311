// tovrik-contact-sheet RUNTIME_DIR OUT.bmp: one picture of every sprite
// frame, bitmap and menu the client loads, read back with the client's own
// loaders, for reviewing art changes at a glance. Each file is a card: its
// path and shape on top, its frames below, numbered when there are several.
// Menu files are UTF-8 read as bytes: no character conversion is wanted.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SDL.h>
#include <SimpleIni.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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
constexpr int kMargin = 10;
constexpr int kGap = 6;
constexpr int kLabelPixels = 12;
constexpr int kLabelHeight = 18;
constexpr int kNumberHeight = 13;
const ag::Colour kSheetColour = ag::Rgb(30, 30, 36);

// A checkerboard shows which pixels are transparent.
ag::Canvas Backdrop(int w, int h) {
  ag::Canvas c(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c.At(x, y) = ((x / 8 + y / 8) % 2) ? ag::Rgb(90, 90, 100) : ag::Rgb(60, 60, 70);
  return c;
}

std::vector<ag::Canvas> Frames8(const gfx::CSprite8& set) {
  std::vector<ag::Canvas> frames;
  const auto& palette = ag::GamePalette();
  for (int i = 0; i < set.FrameCount(); ++i) {
    const gfx::SPRITE8* f = set.Frame(i);
    if (!f || f->width <= 0 || f->height <= 0) {
      frames.emplace_back(1, 1);
      continue;
    }
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
    frames.push_back(std::move(c));
  }
  return frames;
}

std::vector<ag::Canvas> Frames16(const gfx::xSprite& set) {
  std::vector<ag::Canvas> frames;
  for (int i = 0; i < set.FrameCount(); ++i) {
    const gfx::SPRITE30* f = set.Frame(i);
    if (!f || f->width <= 0 || f->height <= 0) {
      frames.emplace_back(1, 1);
      continue;
    }
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
    frames.push_back(std::move(c));
  }
  return frames;
}

// Magenta is cut away from 24-bit bitmaps; 32-bit ones carry their own alpha.
bool BitmapFrame(const std::filesystem::path& path, std::vector<ag::Canvas>& frames) {
  SDL_Surface* loaded = SDL_LoadBMP(path.string().c_str());
  if (!loaded) return false;
  const bool hasAlpha = loaded->format->Amask != 0;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  if (!argb) return false;
  ag::Canvas c = Backdrop(argb->w, argb->h);
  for (int y = 0; y < argb->h; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(argb->pixels) + y * argb->pitch);
    for (int x = 0; x < argb->w; ++x) {
      const std::uint32_t p = row[x];
      const auto r = static_cast<int>((p >> 16) & 255), g = static_cast<int>((p >> 8) & 255), b = static_cast<int>(p & 255);
      if (hasAlpha) c.Blend(x, y, ag::Rgb(r, g, b, static_cast<float>(p >> 24) / 255.0f));
      else if ((p & 0xFFFFFF) != 0xFF00FF) c.At(x, y) = ag::Rgb(r, g, b);
    }
  }
  SDL_FreeSurface(argb);
  frames.push_back(std::move(c));
  return true;
}

// A menu file drawn as its popups, one column each.
bool MenuFrames(const std::filesystem::path& path, std::vector<ag::Canvas>& frames) {
  CSimpleIniA ini(true);
  if (ini.LoadFile(path.c_str()) < 0) return false;
  for (int p = 0;; ++p) {
    const std::string section = "popup" + std::to_string(p);
    if (ini.GetSectionSize(section.c_str()) <= 0) break;
    std::vector<std::string> lines;
    for (int i = 0;; ++i) {
      const char* value = ini.GetValue(section.c_str(), ("item" + std::to_string(i)).c_str());
      if (!value) break;
      lines.emplace_back(value);
    }
    int width = 60;
    for (const std::string& line : lines) width = std::max(width, ag::Canvas::TextWidth(line, 12, false) + 16);
    ag::Canvas c(width, static_cast<int>(lines.size()) * 18 + 6, ag::Rgb(250, 248, 240));
    for (std::size_t i = 0; i < lines.size(); ++i)
      c.Text(lines[i], 8, 3 + 18.0f * static_cast<float>(i), 12, false, ag::Rgb(20, 20, 20), false);
    frames.push_back(std::move(c));
  }
  return !frames.empty();
}

std::string Shape(const ag::AssetEntry& e, const std::vector<ag::Canvas>& frames) {
  switch (e.kind) {
    case ag::AssetKind::Sprite8:
    case ag::AssetKind::Sprite16:
      return std::string(e.kind == ag::AssetKind::Sprite8 ? "8-bit" : "16-bit") + ", " + std::to_string(frames.size()) +
             (frames.size() == 1 ? " frame" : " frames") +
             (e.framesPerButton ? ", " + std::to_string(e.framesPerButton) + " per button" : std::string());
    case ag::AssetKind::Bitmap:
    case ag::AssetKind::Icon:
      return std::to_string(e.width) + "x" + std::to_string(e.height) +
             (e.states > 1 ? ", " + std::to_string(e.states) + " states" : std::string());
    default: return std::string(ag::KindName(e.kind));
  }
}

// One card: label, then the frames in rows no wider than the sheet.
ag::Canvas Card(const std::string& label, const std::vector<ag::Canvas>& frames) {
  const int limit = kSheetWidth - 2 * kMargin;
  const bool numbered = frames.size() > 1;
  struct Placed {
    int x, y;
  };
  std::vector<Placed> at;
  int x = 0, y = kLabelHeight, rowHeight = 0, width = std::min(limit, ag::Canvas::TextWidth(label, kLabelPixels, false));
  for (const ag::Canvas& f : frames) {
    const int w = std::min(f.Width(), limit);
    if (x > 0 && x + w > limit) x = 0, y += rowHeight + kGap, rowHeight = 0;
    at.push_back({x, y});
    x += std::max(w, numbered ? 14 : 0) + kGap;
    width = std::max(width, x - kGap);
    rowHeight = std::max(rowHeight, f.Height() + (numbered ? kNumberHeight : 0));
  }
  ag::Canvas card(width, y + rowHeight, kSheetColour);
  card.Text(label, 0, 1, kLabelPixels, false, ag::Rgb(255, 255, 255), false);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    card.Draw(frames[i], at[i].x, at[i].y);
    if (numbered)
      card.Text(std::to_string(i), static_cast<float>(at[i].x) + std::max(frames[i].Width(), 14) / 2.0f,
                static_cast<float>(at[i].y + frames[i].Height()) + kNumberHeight / 2.0f, 10, false, ag::Rgb(170, 170, 180));
  }
  return card;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s RUNTIME_DIR OUT.bmp\n", argv[0]);
    return 2;
  }
  const std::filesystem::path runtime = argv[1];
  std::vector<ag::Canvas> cards;
  int missing = 0;
  for (const ag::AssetEntry& e : ag::Manifest()) {
    const auto path = tovrik::platform::ResolvePath(e.path, runtime);
    std::vector<ag::Canvas> frames;
    bool ok = true;
    switch (e.kind) {
      case ag::AssetKind::Sprite8: {
        gfx::CSprite8 set;
        ok = set.Load(path) == 1;
        if (ok) frames = Frames8(set);
        break;
      }
      case ag::AssetKind::Sprite16: {
        gfx::xSprite set;
        ok = set.Load(path) == 1;
        if (ok) frames = Frames16(set);
        break;
      }
      case ag::AssetKind::Bitmap:
      case ag::AssetKind::Icon: ok = BitmapFrame(path, frames); break;
      case ag::AssetKind::Menu: ok = MenuFrames(path, frames); break;
      default: continue;  // sounds, palette, blend table, word list
    }
    if (!ok) {
      std::fprintf(stderr, "cannot read %s\n", std::string(e.path).c_str());
      ++missing;
      continue;
    }
    cards.push_back(Card(ag::OutputPath(e.path) + "  (" + Shape(e, frames) + ")", frames));
  }
  // Shelf packing of the cards.
  std::vector<std::pair<int, int>> at;
  int x = kMargin, y = kMargin, shelf = 0;
  for (const ag::Canvas& card : cards) {
    if (x > kMargin && x + card.Width() > kSheetWidth - kMargin) x = kMargin, y += shelf + 2 * kGap, shelf = 0;
    at.emplace_back(x, y);
    x += card.Width() + 3 * kGap;
    shelf = std::max(shelf, card.Height());
  }
  ag::Canvas out(kSheetWidth, y + shelf + kMargin, kSheetColour);
  for (std::size_t i = 0; i < cards.size(); ++i) out.Draw(cards[i], at[i].first, at[i].second);
  const auto bytes = ag::BmpBytes(out);
  std::string error;
  if (!ag::WriteFile(argv[2], bytes, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  return missing ? 1 : 0;
}
