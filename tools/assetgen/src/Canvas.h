#pragma once
// A floating-point RGBA canvas with the few anti-aliased shapes the artwork
// is made of. All pixels are computed from coordinates and fixed hashes, so
// a run always produces the same image.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace tovrik::assetgen {

struct Colour {
  float r = 0, g = 0, b = 0, a = 1;
};

Colour Rgb(int r, int g, int b, float a = 1.0f);
Colour Mix(Colour x, Colour y, float t);
Colour Scale(Colour c, float k);  // brightness, alpha kept

// Deterministic value noise in [0, 1].
float Hash(int x, int y, int seed);
float SmoothNoise(float x, float y, int seed);

struct Point {
  float x = 0, y = 0;
};

class Canvas {
 public:
  Canvas(int width, int height, Colour fill = {0, 0, 0, 0});

  int Width() const { return width_; }
  int Height() const { return height_; }
  Colour& At(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
  const Colour& At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

  // Source-over with an extra coverage factor.
  void Blend(int x, int y, Colour c, float coverage = 1.0f);
  // Calls `shade` for every pixel centre; the result is blended over.
  void Shade(const std::function<Colour(float x, float y)>& shade);

  void FillRect(float x0, float y0, float x1, float y1, Colour c);
  void FillRoundRect(float x0, float y0, float x1, float y1, float radius, Colour c);
  void VerticalGradientRoundRect(float x0, float y0, float x1, float y1, float radius, Colour top, Colour bottom);
  void FillCircle(float cx, float cy, float r, Colour c);
  void Ring(float cx, float cy, float r, float width, Colour c);
  void Line(float x0, float y0, float x1, float y1, float width, Colour c);
  void FillPolygon(const std::vector<Point>& points, Colour c);
  // The image of another canvas blended over at (x, y).
  void Draw(const Canvas& other, int x, int y);

  // Text through the platform's font mapping, anti-aliased. `face` as the
  // screens name faces ("굴림체", "돋움"). Returns false when no font.
  bool Text(std::string_view utf8, float cx, float cy, int pixels, bool bold, Colour c, bool centred = true);
  bool TextWithOutline(std::string_view utf8, float cx, float cy, int pixels, bool bold, Colour fill,
                       Colour outline, int outlineWidth = 1);
  static bool HasGlyph(char32_t codepoint, int pixels, bool bold);
  // Width in pixels of a line drawn by Text; 0 without a font.
  static int TextWidth(std::string_view utf8, int pixels, bool bold);

 private:
  int width_, height_;
  std::vector<Colour> pixels_;
};

}  // namespace tovrik::assetgen
