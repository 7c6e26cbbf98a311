#include "Canvas.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/Text.h"

namespace tovrik::assetgen {

Colour Rgb(int r, int g, int b, float a) { return {r / 255.0f, g / 255.0f, b / 255.0f, a}; }

Colour Mix(Colour x, Colour y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Colour Scale(Colour c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }

float Hash(int x, int y, int seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                    static_cast<std::uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return static_cast<float>(h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float SmoothNoise(float x, float y, int seed) {
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  const float fx = x - static_cast<float>(ix), fy = y - static_cast<float>(iy);
  const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const float top = Hash(ix, iy, seed) + (Hash(ix + 1, iy, seed) - Hash(ix, iy, seed)) * sx;
  const float bottom = Hash(ix, iy + 1, seed) + (Hash(ix + 1, iy + 1, seed) - Hash(ix, iy + 1, seed)) * sx;
  return top + (bottom - top) * sy;
}

Canvas::Canvas(int width, int height, Colour fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void Canvas::Blend(int x, int y, Colour c, float coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  const float a = std::clamp(c.a * coverage, 0.0f, 1.0f);
  if (a <= 0) return;
  Colour& d = At(x, y);
  const float outA = a + d.a * (1 - a);
  if (outA <= 0) return;
  const auto channel = [&](float s, float t) { return (s * a + t * d.a * (1 - a)) / outA; };
  d = {channel(c.r, d.r), channel(c.g, d.g), channel(c.b, d.b), outA};
}

void Canvas::Shade(const std::function<Colour(float, float)>& shade) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) Blend(x, y, shade(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f));
}

namespace {
// Coverage of a pixel by a shape given as a signed distance (negative inside).
float Coverage(float distance) { return std::clamp(0.5f - distance, 0.0f, 1.0f); }

float RoundRectDistance(float px, float py, float x0, float y0, float x1, float y1, float r) {
  const float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
  const float qx = std::abs(px - cx) - hx, qy = std::abs(py - cy) - hy;
  const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - r;
}
}  // namespace

void Canvas::FillRect(float x0, float y0, float x1, float y1, Colour c) { FillRoundRect(x0, y0, x1, y1, 0, c); }

void Canvas::FillRoundRect(float x0, float y0, float x1, float y1, float radius, Colour c) {
  VerticalGradientRoundRect(x0, y0, x1, y1, radius, c, c);
}

void Canvas::VerticalGradientRoundRect(float x0, float y0, float x1, float y1, float radius, Colour top,
                                       Colour bottom) {
  const int ya = std::max(0, static_cast<int>(std::floor(y0))), yb = std::min(height_, static_cast<int>(std::ceil(y1)));
  const int xa = std::max(0, static_cast<int>(std::floor(x0))), xb = std::min(width_, static_cast<int>(std::ceil(x1)));
  for (int y = ya; y < yb; ++y) {
    const float py = static_cast<float>(y) + 0.5f;
    const Colour c = Mix(top, bottom, y1 > y0 ? std::clamp((py - y0) / (y1 - y0), 0.0f, 1.0f) : 0.0f);
    for (int x = xa; x < xb; ++x)
      Blend(x, y, c, Coverage(RoundRectDistance(static_cast<float>(x) + 0.5f, py, x0, y0, x1, y1, radius)));
  }
}

void Canvas::FillCircle(float cx, float cy, float r, Colour c) {
  for (int y = std::max(0, static_cast<int>(cy - r - 1)); y < std::min(height_, static_cast<int>(cy + r + 2)); ++y)
    for (int x = std::max(0, static_cast<int>(cx - r - 1)); x < std::min(width_, static_cast<int>(cx + r + 2)); ++x)
      Blend(x, y, c, Coverage(std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy) - r));
}

void Canvas::Ring(float cx, float cy, float r, float width, Colour c) {
  for (int y = std::max(0, static_cast<int>(cy - r - width)); y < std::min(height_, static_cast<int>(cy + r + width + 1)); ++y)
    for (int x = std::max(0, static_cast<int>(cx - r - width)); x < std::min(width_, static_cast<int>(cx + r + width + 1)); ++x) {
      const float d = std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy);
      Blend(x, y, c, Coverage(std::abs(d - r) - width / 2));
    }
}

void Canvas::Line(float x0, float y0, float x1, float y1, float width, Colour c) {
  const float dx = x1 - x0, dy = y1 - y0, len2 = std::max(dx * dx + dy * dy, 1e-6f);
  const int xa = std::max(0, static_cast<int>(std::min(x0, x1) - width - 1));
  const int xb = std::min(width_, static_cast<int>(std::max(x0, x1) + width + 2));
  const int ya = std::max(0, static_cast<int>(std::min(y0, y1) - width - 1));
  const int yb = std::min(height_, static_cast<int>(std::max(y0, y1) + width + 2));
  for (int y = ya; y < yb; ++y)
    for (int x = xa; x < xb; ++x) {
      const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
      const float t = std::clamp(((px - x0) * dx + (py - y0) * dy) / len2, 0.0f, 1.0f);
      Blend(x, y, c, Coverage(std::hypot(px - (x0 + t * dx), py - (y0 + t * dy)) - width / 2));
    }
}

void Canvas::FillPolygon(const std::vector<Point>& points, Colour c) {
  // 4 x 4 samples per pixel with the even-odd rule.
  float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
  for (const Point& p : points) {
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x), minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  }
  const auto inside = [&](float x, float y) {
    bool in = false;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const Point& a = points[i];
      const Point& b = points[j];
      if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
  };
  for (int y = std::max(0, static_cast<int>(minY)); y < std::min(height_, static_cast<int>(maxY) + 1); ++y)
    for (int x = std::max(0, static_cast<int>(minX)); x < std::min(width_, static_cast<int>(maxX) + 1); ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          hits += inside(static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) / 4,
                         static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) / 4);
      if (hits) Blend(x, y, c, static_cast<float>(hits) / 16.0f);
    }
}

void Canvas::Draw(const Canvas& other, int x, int y) {
  for (int j = 0; j < other.Height(); ++j)
    for (int i = 0; i < other.Width(); ++i) Blend(x + i, y + j, other.At(i, j));
}

namespace {
TTF_Font* FontFor(int pixels, bool bold) {
  const auto font = platform::Font::Get("돋움", pixels, bold);
  return font ? font->Native() : nullptr;
}
}  // namespace

bool Canvas::HasGlyph(char32_t codepoint, int pixels, bool bold) {
  TTF_Font* font = FontFor(pixels, bold);
  return font && codepoint <= 0xFFFF && TTF_GlyphIsProvided(font, static_cast<Uint16>(codepoint));
}

int Canvas::TextWidth(std::string_view utf8, int pixels, bool bold) {
  const auto font = platform::Font::Get("돋움", pixels, bold);
  return font ? font->Extent(utf8).width : 0;
}

bool Canvas::Text(std::string_view utf8, float cx, float cy, int pixels, bool bold, Colour c, bool centred) {
  TTF_Font* font = FontFor(pixels, bold);
  if (!font) return false;
  const std::string text(utf8);
  SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, text.c_str(), SDL_Color{255, 255, 255, 255});
  if (!rendered) return false;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(rendered);
  if (!argb) return false;
  const int left = centred ? static_cast<int>(std::lround(cx - static_cast<float>(argb->w) / 2)) : static_cast<int>(cx);
  const int top = centred ? static_cast<int>(std::lround(cy - static_cast<float>(argb->h) / 2)) : static_cast<int>(cy);
  for (int y = 0; y < argb->h; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(argb->pixels) + y * argb->pitch);
    for (int x = 0; x < argb->w; ++x) Blend(left + x, top + y, c, static_cast<float>(row[x] >> 24) / 255.0f);
  }
  SDL_FreeSurface(argb);
  return true;
}

bool Canvas::TextWithOutline(std::string_view utf8, float cx, float cy, int pixels, bool bold, Colour fill,
                             Colour outline, int outlineWidth) {
  bool ok = true;
  for (int dy = -outlineWidth; dy <= outlineWidth; ++dy)
    for (int dx = -outlineWidth; dx <= outlineWidth; ++dx)
      if (dx || dy) ok &= Text(utf8, cx + static_cast<float>(dx), cy + static_cast<float>(dy), pixels, bold, outline);
  return Text(utf8, cx, cy, pixels, bold, fill) && ok;
}

}  // namespace tovrik::assetgen
