#include "gfx/GrpLib8.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "BlitEngine.h"
#include "gfx/GrpLib.h"

namespace tovrik::gfx {

namespace {

using namespace detail;

struct Copy8 {
  void Forward(std::uint8_t* d, const std::uint8_t* s, int n) const { std::memcpy(d, s, static_cast<std::size_t>(n)); }
  void Reverse(std::uint8_t* d, const std::uint8_t* s, int n) const {
    for (int i = 0; i < n; ++i) d[n - 1 - i] = s[i];
  }
  void Pixel(std::uint8_t* d, std::uint8_t s) const { *d = s; }
};

struct Mono8 {
  std::uint8_t color;
  void Forward(std::uint8_t* d, const std::uint8_t*, int n) const { std::memset(d, color, static_cast<std::size_t>(n)); }
  void Reverse(std::uint8_t* d, const std::uint8_t*, int n) const { std::memset(d, color, static_cast<std::size_t>(n)); }
  void Pixel(std::uint8_t* d, std::uint8_t) const { *d = color; }
};

// One table lookup per pixel: T[d][s].
struct Glass8 {
  const std::uint8_t* table;
  void Forward(std::uint8_t* d, const std::uint8_t* s, int n) const {
    for (int i = 0; i < n; ++i) d[i] = table[d[i] << 8 | s[i]];
  }
  void Reverse(std::uint8_t* d, const std::uint8_t* s, int n) const {
    for (int i = 0; i < n; ++i) d[n - 1 - i] = table[d[n - 1 - i] << 8 | s[i]];
  }
  void Pixel(std::uint8_t* d, std::uint8_t s) const { *d = table[*d << 8 | s]; }
};

// T[d][colour] wherever the frame is opaque.
struct MonoGlass8 {
  const std::uint8_t* table;
  std::uint8_t color;
  void Forward(std::uint8_t* d, const std::uint8_t*, int n) const {
    for (int i = 0; i < n; ++i) d[i] = table[d[i] << 8 | color];
  }
  void Reverse(std::uint8_t* d, const std::uint8_t* s, int n) const { Forward(d, s, n); }
  void Pixel(std::uint8_t* d, std::uint8_t) const { *d = table[*d << 8 | color]; }
};

// Raw frames: index 0 is transparent.
template <class Inner>
struct SkipZero8 {
  Inner inner;
  void Forward(std::uint8_t* d, const std::uint8_t* s, int n) const {
    for (int i = 0; i < n; ++i) {
      if (s[i]) inner.Pixel(d + i, s[i]);
    }
  }
  void Reverse(std::uint8_t* d, const std::uint8_t* s, int n) const {
    for (int i = 0; i < n; ++i) {
      if (s[i]) inner.Pixel(d + n - 1 - i, s[i]);
    }
  }
  void Pixel(std::uint8_t* d, std::uint8_t s) const { inner.Pixel(d, s); }
};

const std::uint8_t* GlassTable(int level) {
  if (!_pAlpha || level < 0 || level >= kAlphaLevels) return nullptr;
  return _pAlpha + static_cast<std::ptrdiff_t>(level) * 65536;
}

std::uint8_t Index(int color) { return static_cast<std::uint8_t>(color); }

bool ClampToClip(int& x1, int& y1, int& x2, int& y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = std::max(x1, _CX1);
  y1 = std::max(y1, _CY1);
  x2 = std::min(x2, _CX2);
  y2 = std::min(y2, _CY2);
  return x1 <= x2 && y1 <= y2;
}

}  // namespace

#define TOVRIK_GFX_DEFINE_8BIT(G, LR, UD)                                                                            \
  void PutSpr##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src) {                      \
    BlitRaw<LR, UD>(x, y, w, h, dest, src, SkipZero8<Copy8>{});                                                     \
  }                                                                                                                  \
  void PutSprMono##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src, int color) {       \
    BlitRaw<LR, UD>(x, y, w, h, dest, src, SkipZero8<Mono8>{{Index(color)}});                                       \
  }                                                                                                                  \
  void PutSprGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src, int level) {      \
    if (const std::uint8_t* t = GlassTable(level)) BlitRaw<LR, UD>(x, y, w, h, dest, src, SkipZero8<Glass8>{{t}}); \
  }                                                                                                                  \
  void PutSprMonoGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src, int color,   \
                             int level) {                                                                            \
    if (const std::uint8_t* t = GlassTable(level))                                                                  \
      BlitRaw<LR, UD>(x, y, w, h, dest, src, SkipZero8<MonoGlass8>{{t, Index(color)}});                             \
  }                                                                                                                  \
  void PutCsp##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src) {                      \
    BlitCsp<LR, UD, Csp8>(x, y, w, h, dest, src, Copy8{});                                                          \
  }                                                                                                                  \
  void PutCspMono##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src, int color) {       \
    BlitCsp<LR, UD, Csp8>(x, y, w, h, dest, src, Mono8{Index(color)});                                              \
  }                                                                                                                  \
  void PutCspGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src, int level) {      \
    if (const std::uint8_t* t = GlassTable(level)) BlitCsp<LR, UD, Csp8>(x, y, w, h, dest, src, Glass8{t});        \
  }                                                                                                                  \
  void PutCspMonoGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src, int color,   \
                             int level) {                                                                            \
    if (const std::uint8_t* t = GlassTable(level))                                                                  \
      BlitCsp<LR, UD, Csp8>(x, y, w, h, dest, src, MonoGlass8{t, Index(color)});                                    \
  }                                                                                                                  \
  void LowZoomSpr##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th, const std::uint8_t* src) {  \
    BlitScaled<LR, UD>(x, y, w, h, dest, tw, th, RawRowSource<std::uint8_t>{src, w, 0}, Copy8{});                   \
  }                                                                                                                  \
  void LowZoomSprMono##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th,                         \
                            const std::uint8_t* src, int color) {                                                    \
    BlitScaled<LR, UD>(x, y, w, h, dest, tw, th, RawRowSource<std::uint8_t>{src, w, 0}, Mono8{Index(color)});       \
  }                                                                                                                  \
  void LowZoomSprGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th,                        \
                             const std::uint8_t* src, int level) {                                                   \
    if (const std::uint8_t* t = GlassTable(level))                                                                  \
      BlitScaled<LR, UD>(x, y, w, h, dest, tw, th, RawRowSource<std::uint8_t>{src, w, 0}, Glass8{t});               \
  }                                                                                                                  \
  void LowZoomSprMonoGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th,                    \
                                 const std::uint8_t* src, int color, int level) {                                    \
    if (const std::uint8_t* t = GlassTable(level))                                                                  \
      BlitScaled<LR, UD>(x, y, w, h, dest, tw, th, RawRowSource<std::uint8_t>{src, w, 0},                           \
                         MonoGlass8{t, Index(color)});                                                               \
  }                                                                                                                  \
  void LowZoomCsp##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th, const std::uint8_t* src) {  \
    BlitScaled<LR, UD>(x, y, w, h, dest, tw, th, CspRowSource<Csp8>{src}, Copy8{});                                 \
  }                                                                                                                  \
  void LowZoomCspMono##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th,                         \
                            const std::uint8_t* src, int color) {                                                    \
    BlitScaled<LR, UD>(x, y, w, h, dest, tw, th, CspRowSource<Csp8>{src}, Mono8{Index(color)});                     \
  }                                                                                                                  \
  void LowZoomCspGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th,                        \
                             const std::uint8_t* src, int level) {                                                   \
    if (const std::uint8_t* t = GlassTable(level))                                                                  \
      BlitScaled<LR, UD>(x, y, w, h, dest, tw, th, CspRowSource<Csp8>{src}, Glass8{t});                             \
  }                                                                                                                  \
  void LowZoomCspMonoGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th,                    \
                                 const std::uint8_t* src, int color, int level) {                                    \
    if (const std::uint8_t* t = GlassTable(level))                                                                  \
      BlitScaled<LR, UD>(x, y, w, h, dest, tw, th, CspRowSource<Csp8>{src}, MonoGlass8{t, Index(color)});           \
  }
TOVRIK_GFX_DEFINE_8BIT(, false, false)
TOVRIK_GFX_DEFINE_8BIT(LR, true, false)
TOVRIK_GFX_DEFINE_8BIT(UD, false, true)
TOVRIK_GFX_DEFINE_8BIT(UDLR, true, true)
#undef TOVRIK_GFX_DEFINE_8BIT

void FillBox8(int x1, int y1, int x2, int y2, std::uint8_t* dest, int color) {
  if (!dest || !ClampToClip(x1, y1, x2, y2)) return;
  for (int y = y1; y <= y2; ++y) std::memset(PageRow(dest, y) + x1, Index(color), static_cast<std::size_t>(x2 - x1 + 1));
}

void FillBoxGlass8(int x1, int y1, int x2, int y2, std::uint8_t* dest, int color, int level) {
  const std::uint8_t* t = GlassTable(level);
  if (!dest || !t || !ClampToClip(x1, y1, x2, y2)) return;
  const MonoGlass8 kernel{t, Index(color)};
  for (int y = y1; y <= y2; ++y) kernel.Forward(PageRow(dest, y) + x1, nullptr, x2 - x1 + 1);
}

void DrawHLine8(int x, int y, int length, std::uint8_t* dest, int color) {
  if (!dest || length <= 0 || y < _CY1 || y > _CY2) return;
  x = std::max(x, _CX1);
  if (x > _CX2) return;
  const int end = static_cast<int>(std::min<long long>(static_cast<long long>(x) + length - 1, _CX2));
  std::memset(PageRow(dest, y) + x, Index(color), static_cast<std::size_t>(end - x + 1));
}

void DrawVLine8(int x, int y, int length, std::uint8_t* dest, int color) {
  if (!dest || length <= 0 || x < _CX1 || x > _CX2) return;
  y = std::max(y, _CY1);
  if (y > _CY2) return;
  const int end = static_cast<int>(std::min<long long>(static_cast<long long>(y) + length - 1, _CY2));
  for (int row = y; row <= end; ++row) PageRow(dest, row)[x] = Index(color);
}

void DrawBox8(int x1, int y1, int x2, int y2, std::uint8_t* dest, int color) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  const int w = x2 - x1 + 1, h = y2 - y1 + 1;
  DrawHLine8(x1, y1, w, dest, color);
  DrawHLine8(x1, y2, w, dest, color);
  DrawVLine8(x1, y1, h, dest, color);
  DrawVLine8(x2, y1, h, dest, color);
}

}  // namespace tovrik::gfx
