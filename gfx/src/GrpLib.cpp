#include "gfx/GrpLib.h"

#include <algorithm>
#include <utility>

#include "BlitEngine.h"
#include "Kernels16.h"
#include "gfx/PixelFormat.h"

namespace tovrik::gfx {

std::uint16_t B[32][32], G[64][64], R[32][32];
std::uint16_t LIGHT_B[32][32], LIGHT_G[64][64], LIGHT_R[32][32];
std::uint16_t DARK_B[32][32], DARK_G[64][64], DARK_R[32][32];

namespace {

using namespace detail;

std::uint16_t Mix555(int r, int g, int b) { return static_cast<std::uint16_t>(r << 10 | g << 5 | b); }

// Row kernels behind the library's function pointers.
void HB555(std::uint16_t* d, const std::uint16_t* s, int n) { HalfBlendKernel{}.Forward(d, s, n); }
void HB555Reversed(std::uint16_t* d, const std::uint16_t* s, int n) { HalfBlendKernel{}.Reverse(d, s, n); }
void Anti555(std::uint16_t* d, const std::uint16_t* s, int n) { AntiKernel{}.Forward(d, s, n); }
void Glow555(std::uint16_t* d, const std::uint16_t* s, int n, std::uint16_t c, int level) {
  GlowKernel(c, level).Forward(d, s, n);
}
void Glow555Reversed(std::uint16_t* d, const std::uint16_t* s, int n, std::uint16_t c, int level) {
  GlowKernel(c, level).Reverse(d, s, n);
}
void Gray555(std::uint16_t* d, const std::uint16_t* s, int n) { GrayKernel{}.Forward(d, s, n); }
void Gray555Reversed(std::uint16_t* d, const std::uint16_t* s, int n) { GrayKernel{}.Reverse(d, s, n); }
void GB555(std::uint16_t* d, const std::uint16_t* s, int n, int level) { GlassKernel(level).Forward(d, s, n); }
void GB555Reversed(std::uint16_t* d, const std::uint16_t* s, int n, int level) { GlassKernel(level).Reverse(d, s, n); }
void LE555(std::uint16_t* d, const std::uint16_t* s, int n) { LightenKernel{}.Forward(d, s, n); }
void LE555Reversed(std::uint16_t* d, const std::uint16_t* s, int n) { LightenKernel{}.Reverse(d, s, n); }
void DE555(std::uint16_t* d, const std::uint16_t* s, int n) { DarkenKernel{}.Forward(d, s, n); }
void DE555Reversed(std::uint16_t* d, const std::uint16_t* s, int n) { DarkenKernel{}.Reverse(d, s, n); }
void ColorKeyMemCpyGB555(std::uint16_t* d, const std::uint16_t* s, int n, std::uint16_t key, int level) {
  KeyedKernel<GlassKernel>{key, GlassKernel(level)}.Forward(d, s, n);
}

void Install555Kernels() {
  RGBmix = Mix555;
  MemCpyHB = HB555;
  RvrsCpyHB = HB555Reversed;
  MemCpyAnti = Anti555;
  MemCpyGlow = Glow555;
  RvrsCpyGlow = Glow555Reversed;
  MemCpyGrayscl = Gray555;
  RvrsCpyGrayscl = Gray555Reversed;
  MemCpyGB = GB555;
  RvrsCpyGB = GB555Reversed;
  MemCpyLE = LE555;
  RvrsCpyLE = LE555Reversed;
  MemCpyDE = DE555;
  RvrsCpyDE = DE555Reversed;
  ColorKeyMemCpyGB = ColorKeyMemCpyGB555;
}

// Orders the corners and clamps them to the clip rectangle; false when empty.
bool ClampToClip(int& x1, int& y1, int& x2, int& y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = std::max(x1, _CX1);
  y1 = std::max(y1, _CY1);
  x2 = std::min(x2, _CX2);
  y2 = std::min(y2, _CY2);
  return x1 <= x2 && y1 <= y2;
}

template <class Kernel>
void FillRect(int x1, int y1, int x2, int y2, std::uint16_t* dest, std::uint16_t color, const Kernel& kernel) {
  if (!dest || !ClampToClip(x1, y1, x2, y2)) return;
  for (int y = y1; y <= y2; ++y) {
    std::uint16_t* line = PageRow(dest, y) + x1;
    for (int x = 0; x <= x2 - x1; ++x) kernel.Pixel(line + x, color);
  }
}

// Clips a horizontal span the way the outline primitives do: a start before
// the clip edge moves to the edge, keeping the length.
bool ClipSpan(int& start, int length, int lo, int hi, int& end) {
  if (length <= 0) return false;
  start = std::max(start, lo);
  if (start > hi) return false;
  end = static_cast<int>(std::min<long long>(static_cast<long long>(start) + length - 1, hi));
  return true;
}

}  // namespace

int InitGrpLib(int width, int height, int pitch, int format) {
  (void)format;  // only RGB555 kernels exist
  _MXL = width;
  _MYL = height;
  _LPITCH = pitch;
  Install555Kernels();
  SetClipArea(0, 0, width - 1, height - 1);
  return 1;
}

void SetClipArea(int x1, int y1, int x2, int y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  _CX1 = std::clamp(x1, 0, std::max(_MXL - 1, 0));
  _CY1 = std::clamp(y1, 0, std::max(_MYL - 1, 0));
  _CX2 = std::min(x2, _MXL - 1);
  _CY2 = std::min(y2, _MYL - 1);
  _CXL = std::max(_CX2 - _CX1 + 1, 0);
  _CYL = std::max(_CY2 - _CY1 + 1, 0);
}

void InitAlphaTable(int format) {
  (void)format;
  if (g_bInitedAlphaTable) return;
  for (int i = 0; i < 32; ++i) {
    for (int j = 0; j < 32; ++j) {
      const int blend = i * j / 32;
      const int light = std::min(j + i * (31 - j) / 32, 31);
      const int dark = std::max(j - j * (31 - i) / 32, 0);
      B[i][j] = static_cast<std::uint16_t>(blend);
      G[i][j] = static_cast<std::uint16_t>(blend << 5);
      R[i][j] = static_cast<std::uint16_t>(blend << 10);
      LIGHT_B[i][j] = static_cast<std::uint16_t>(light);
      LIGHT_G[i][j] = static_cast<std::uint16_t>(light << 5);
      LIGHT_R[i][j] = static_cast<std::uint16_t>(light << 10);
      DARK_B[i][j] = static_cast<std::uint16_t>(dark);
      DARK_G[i][j] = static_cast<std::uint16_t>(dark << 5);
      DARK_R[i][j] = static_cast<std::uint16_t>(dark << 10);
    }
  }
  g_bInitedAlphaTable = true;
}

void RemoveGrpLib() {}

void _PutSpr(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src, std::uint16_t key) {
  BlitRaw<false, false>(x, y, w, h, dest, src, KeyedKernel<CopyKernel>{key, {}});
}
void _PutSpr_GB(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src, std::uint16_t key,
                int level) {
  BlitRaw<false, false>(x, y, w, h, dest, src, KeyedKernel<GlassKernel>{key, GlassKernel(level)});
}
void _PutImage(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src) {
  BlitRaw<false, false>(x, y, w, h, dest, src, CopyKernel{});
}
void _PutImage_GB(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src, int level) {
  BlitRaw<false, false>(x, y, w, h, dest, src, GlassKernel(level));
}

#define TOVRIK_GFX_DEFINE_CSP_FAMILY(Geometry, LR, UD)                                                              \
  void _PutCsp##Geometry(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src) {              \
    BlitCsp<LR, UD, Csp16>(x, y, w, h, dest, src, CopyKernel{});                                                   \
  }                                                                                                                 \
  void _PutCsp##Geometry##_HB(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src) {         \
    BlitCsp<LR, UD, Csp16>(x, y, w, h, dest, src, HalfBlendKernel{});                                              \
  }                                                                                                                 \
  void _PutCsp##Geometry##_GB(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src,           \
                              int level) {                                                                          \
    BlitCsp<LR, UD, Csp16>(x, y, w, h, dest, src, GlassKernel(level));                                             \
  }                                                                                                                 \
  void _PutCsp##Geometry##_Glow(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src,         \
                                std::uint16_t color, int level) {                                                   \
    BlitCsp<LR, UD, Csp16>(x, y, w, h, dest, src, GlowKernel(color, level));                                       \
  }                                                                                                                 \
  void _PutCsp##Geometry##_Grayscl(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src) {    \
    BlitCsp<LR, UD, Csp16>(x, y, w, h, dest, src, GrayKernel{});                                                   \
  }                                                                                                                 \
  void _PutCsp##Geometry##_Mono(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src,         \
                                std::uint16_t color) {                                                              \
    BlitCsp<LR, UD, Csp16>(x, y, w, h, dest, src, MonoKernel(color));                                              \
  }                                                                                                                 \
  void _PutCsp##Geometry##_LE(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src) {         \
    BlitCsp<LR, UD, Csp16>(x, y, w, h, dest, src, LightenKernel{});                                                \
  }                                                                                                                 \
  void _PutCsp##Geometry##_DE(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src) {         \
    BlitCsp<LR, UD, Csp16>(x, y, w, h, dest, src, DarkenKernel{});                                                 \
  }
TOVRIK_GFX_DEFINE_CSP_FAMILY(, false, false)
TOVRIK_GFX_DEFINE_CSP_FAMILY(LR, true, false)
TOVRIK_GFX_DEFINE_CSP_FAMILY(UD, false, true)
#undef TOVRIK_GFX_DEFINE_CSP_FAMILY

void _PutCsp_Anti(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src) {
  struct Anti : AntiKernel {
    void Reverse(std::uint16_t*, const std::uint16_t*, int) const {}
  };
  BlitCsp<false, false, Csp16>(x, y, w, h, dest, src, Anti{});
}

void _ZoomCsp(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src, int tw, int th) {
  BlitScaled<false, false>(x, y, w, h, dest, tw, th, CspRowSource<Csp16>{src}, CopyKernel{});
}

void FillBox(int x1, int y1, int x2, int y2, std::uint16_t* dest, std::uint16_t color) {
  if (!dest || !ClampToClip(x1, y1, x2, y2)) return;
  for (int y = y1; y <= y2; ++y) std::fill_n(PageRow(dest, y) + x1, x2 - x1 + 1, color);
}

void FillBoxGB(int x1, int y1, int x2, int y2, std::uint16_t* dest, std::uint16_t color, int level) {
  FillRect(x1, y1, x2, y2, dest, color, GlassKernel(level));
}

void DrawHLine(int x, int y, int length, std::uint16_t* dest, std::uint16_t color) {
  int end = 0;
  if (!dest || y < _CY1 || y > _CY2 || !ClipSpan(x, length, _CX1, _CX2, end)) return;
  std::fill(PageRow(dest, y) + x, PageRow(dest, y) + end + 1, color);
}

void DrawVLine(int x, int y, int length, std::uint16_t* dest, std::uint16_t color) {
  int end = 0;
  if (!dest || x < _CX1 || x > _CX2 || !ClipSpan(y, length, _CY1, _CY2, end)) return;
  for (int row = y; row <= end; ++row) PageRow(dest, row)[x] = color;
}

void DrawHLineXOR(int x, int y, int length, std::uint16_t* dest) {
  int start = x + 1, end = 0;
  if (!dest || y < _CY1 || y > _CY2 || !ClipSpan(start, length - 1, _CX1, _CX2, end)) return;
  for (std::uint16_t* p = PageRow(dest, y) + start; p <= PageRow(dest, y) + end; ++p) *p = static_cast<std::uint16_t>(~*p);
}

void DrawVLineXOR(int x, int y, int length, std::uint16_t* dest) {
  int end = 0;
  if (!dest || x < _CX1 || x > _CX2 || !ClipSpan(y, length, _CY1, _CY2, end)) return;
  for (int row = y; row <= end; ++row) {
    std::uint16_t& p = PageRow(dest, row)[x];
    p = static_cast<std::uint16_t>(~p);
  }
}

void DrawLine(int x1, int y1, int x2, int y2, std::uint16_t* dest, std::uint16_t color) {
  if (!dest) return;
  const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    if (x1 >= _CX1 && x1 <= _CX2 && y1 >= _CY1 && y1 <= _CY2) PageRow(dest, y1)[x1] = color;
    if (x1 == x2 && y1 == y2) break;
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, x1 += sx;
    if (e2 <= dx) err += dx, y1 += sy;
  }
}

}  // namespace tovrik::gfx
