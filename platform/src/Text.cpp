#include "platform/Text.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <mutex>
#include <vector>

#include "base/CodePage.h"

namespace tovrik::platform {
using base::Cp949ToUtf8;
using base::Utf8CharLength;

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kEllipsis = "...";

bool IsFixedPitchFace(std::string_view face) {
  // The "체" faces (굴림체, 돋움체, 바탕체, 궁서체) are the fixed-pitch ones.
  return face.size() >= 3 && face.substr(face.size() - 3) == "체";
}

// Fonts live until the process ends; they are few and small.
class FontCache {
 public:
  ~FontCache() {
    cache_.clear();
    if (TTF_WasInit()) TTF_Quit();
  }
  std::shared_ptr<Font> Get(const fs::path& file, int size, const std::function<std::shared_ptr<Font>()>& open) {
    std::lock_guard lock(mutex_);
    auto key = std::make_pair(file.string(), size);
    if (auto it = cache_.find(key); it != cache_.end()) return it->second;
    auto font = open();
    if (font) cache_[key] = font;
    return font;
  }

 private:
  std::mutex mutex_;
  std::map<std::pair<std::string, int>, std::shared_ptr<Font>> cache_;
};

FontCache& Cache() {
  static FontCache cache;
  return cache;
}

std::shared_ptr<const std::vector<unsigned char>> ReadFontFile(const fs::path& file) {
  static std::mutex mutex;
  static std::map<std::string, std::shared_ptr<const std::vector<unsigned char>>> files;
  std::lock_guard lock(mutex);
  if (auto it = files.find(file.string()); it != files.end()) return it->second;
  std::ifstream in(file, std::ios::binary);
  std::shared_ptr<const std::vector<unsigned char>> bytes =
      std::make_shared<std::vector<unsigned char>>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (bytes->empty()) return nullptr;
  files[file.string()] = bytes;
  return bytes;
}


}  // namespace

fs::path FontFileFor(std::string_view faceUtf8, bool bold) {
  const std::string name = std::string(IsFixedPitchFace(faceUtf8) ? "NanumGothicCoding" : "NanumGothic") +
                           (bold ? "Bold" : "") + ".ttf";
  std::vector<fs::path> folders;
  if (const char* dir = std::getenv("TOVRIK_FONT_DIR"); dir && *dir) folders.emplace_back(dir);
  folders.emplace_back("/usr/share/fonts/truetype/nanum");
  folders.emplace_back("/usr/share/fonts/nanum");
  std::error_code ec;
  for (const auto& folder : folders)
    if (fs::exists(folder / name, ec)) return folder / name;
  return folders.back() / name;
}

std::shared_ptr<Font> Font::Get(std::string_view faceUtf8, int pixelHeight, bool bold) {
  if (pixelHeight <= 0) return nullptr;
  const fs::path file = FontFileFor(faceUtf8, bold);
  return Cache().Get(file, pixelHeight, [&]() -> std::shared_ptr<Font> {
    if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
    auto bytes = ReadFontFile(file);
    if (!bytes) return nullptr;
    SDL_RWops* memory = SDL_RWFromConstMem(bytes->data(), static_cast<int>(bytes->size()));
    TTF_Font* font = memory ? TTF_OpenFontRW(memory, 1, pixelHeight) : nullptr;
    if (!font) return nullptr;
    // The glyph shapes alone decide the pixels, never the system's settings.
    TTF_SetFontHinting(font, TTF_HINTING_MONO);
    return std::shared_ptr<Font>(new Font(std::move(bytes), font));
  });
}

Font::~Font() {
  if (font_ && TTF_WasInit()) TTF_CloseFont(font_);
}

int Font::LineHeight() const { return TTF_FontHeight(font_); }

TextSize Font::Extent(std::string_view utf8) const {
  if (utf8.empty()) return {0, LineHeight()};
  const std::string text(utf8);
  int w = 0, h = 0;
  if (TTF_SizeUTF8(font_, text.c_str(), &w, &h) != 0) return {0, LineHeight()};
  return {w, h};
}

int Font::Advance(char32_t codepoint) const {
  int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
  if (TTF_GlyphMetrics32(font_, static_cast<Uint32>(codepoint), &minX, &maxX, &minY, &maxY, &advance) != 0) return 0;
  return advance;
}

bool TextOut(const PixelView& target, const Font& font, int x, int y, std::string_view utf8, RgbColor colour,
             Rect clip) {
  if (!target.IsValid()) return false;
  if (utf8.empty()) return true;
  const std::string text(utf8);
  SDL_Surface* glyphs = TTF_RenderUTF8_Solid(font.Native(), text.c_str(), SDL_Color{255, 255, 255, 255});
  if (!glyphs) return false;
  // A Solid rendering is 8-bit: index 0 is the background, others the ink.
  const Rect area = Rect::FromSize(x, y, glyphs->w, glyphs->h).Intersect(Bounds(target)).Intersect(clip);
  if (!area.IsEmpty() && SDL_LockSurface(glyphs) == 0) {
    const auto* pixels = static_cast<const std::uint8_t*>(glyphs->pixels);
    const bool wide = target.format == PixelFormat::Rgb555;
    const std::uint16_t ink16 = ToRgb555(colour);
    const std::uint8_t ink8 = wide ? 0 : NearestPaletteIndex(*target.palette, colour);
    for (int ty = area.top; ty < area.bottom; ++ty) {
      const std::uint8_t* row = pixels + static_cast<std::ptrdiff_t>(ty - y) * glyphs->pitch;
      for (int tx = area.left; tx < area.right; ++tx) {
        if (row[tx - x] == 0) continue;
        if (wide) {
          target.Row16(ty)[tx] = ink16;
        } else {
          target.Row8(ty)[tx] = ink8;
        }
      }
    }
    SDL_UnlockSurface(glyphs);
  }
  SDL_FreeSurface(glyphs);
  return true;
}

bool TextOut(const PixelView& target, const Font& font, int x, int y, std::string_view utf8, RgbColor colour) {
  return TextOut(target, font, x, y, utf8, colour, Bounds(target));
}

std::string FitWithEllipsis(const Font& font, std::string_view utf8, int width) {
  if (font.Extent(utf8).width <= width) return std::string(utf8);
  // Whole characters are dropped from the end until the rest and "..." fit.
  std::vector<std::size_t> ends;
  for (std::size_t at = 0; at < utf8.size(); at += Utf8CharLength(utf8, at)) ends.push_back(at);
  for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
    std::string candidate = std::string(utf8.substr(0, *it)) + std::string(kEllipsis);
    if (font.Extent(candidate).width <= width) return candidate;
  }
  return std::string(kEllipsis);
}

bool DrawText(const PixelView& target, const Font& font, std::string_view utf8, Rect box, unsigned format,
              RgbColor colour, Rect clip) {
  if (!target.IsValid()) return false;
  const Rect area = (format & DT_NOCLIP) ? clip : clip.Intersect(box);
  std::vector<std::string> lines;
  if (format & DT_SINGLELINE) {
    std::string line(utf8);
    std::erase_if(line, [](char c) { return c == '\n' || c == '\r'; });
    lines.push_back(std::move(line));
  } else {
    std::size_t start = 0;
    while (true) {
      const std::size_t end = utf8.find('\n', start);
      std::string line(utf8.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(std::move(line));
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
  }
  const int lineHeight = font.LineHeight();
  int y = box.top;
  if (lines.size() == 1 && (format & DT_VCENTER)) y = box.top + (box.Height() - lineHeight) / 2;
  if (lines.size() == 1 && (format & DT_BOTTOM)) y = box.bottom - lineHeight;
  bool ok = true;
  for (auto& line : lines) {
    if (format & DT_END_ELLIPSIS) line = FitWithEllipsis(font, line, box.Width());
    const int width = font.Extent(line).width;
    int x = box.left;
    if (format & DT_CENTER) x = box.left + (box.Width() - width) / 2;
    else if (format & DT_RIGHT) x = box.right - width;
    ok = TextOut(target, font, x, y, line, colour, area) && ok;
    y += lineHeight;
  }
  return ok;
}

bool DrawText(const PixelView& target, const Font& font, std::string_view utf8, Rect box, unsigned format,
              RgbColor colour) {
  return DrawText(target, font, utf8, box, format, colour, Bounds(target));
}

bool TextOutCp949(const PixelView& target, const Font& font, int x, int y, std::string_view cp949, RgbColor colour) {
  return TextOut(target, font, x, y, Cp949ToUtf8(cp949), colour);
}

bool DrawTextCp949(const PixelView& target, const Font& font, std::string_view cp949, Rect box, unsigned format,
                   RgbColor colour) {
  return DrawText(target, font, Cp949ToUtf8(cp949), box, format, colour);
}

TextSize GetTextExtentCp949(const Font& font, std::string_view cp949) { return font.Extent(Cp949ToUtf8(cp949)); }

}  // namespace tovrik::platform
