#pragma once
// The geometry shared by every blit: clipping against the library's clip
// rectangle, walking Csp rows with left/right cutting, mirroring, flipping
// and integer scaling. Kernels decide what happens to each pixel span.
//
// A kernel provides Forward(dst, src, n) and Reverse(dst, src, n) (src[0] on
// dst[n - 1]); scaling uses Pixel(dst, s) for one pixel.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/GrpLib.h"

namespace tovrik::gfx::detail {

// Visible part of an image in image coordinates (inclusive).
struct Visible {
  int colLo, colHi, rowLo, rowHi;
  bool full;
};

// Cuts the image placed at (x, y) to the clip rectangle. Margins are measured
// on the page; mirrored and flipped images take them from the opposite side.
inline bool ClipImage(int x, int y, int w, int h, bool lr, bool ud, Visible& v) {
  if (w <= 0 || h <= 0) return false;
  const long long x0 = x, y0 = y;
  if (x0 > _CX2 || y0 > _CY2 || x0 + w <= _CX1 || y0 + h <= _CY1) return false;
  const int left = static_cast<int>(std::max(0LL, _CX1 - x0));
  const int top = static_cast<int>(std::max(0LL, _CY1 - y0));
  const int right = static_cast<int>(std::max(0LL, x0 + w - 1 - _CX2));
  const int bottom = static_cast<int>(std::max(0LL, y0 + h - 1 - _CY2));
  v.colLo = lr ? right : left;
  v.colHi = w - 1 - (lr ? left : right);
  v.rowLo = ud ? bottom : top;
  v.rowHi = h - 1 - (ud ? top : bottom);
  v.full = (left | top | right | bottom) == 0;
  return true;
}

// The two Csp encodings.
struct Csp16 {
  using Pixel = std::uint16_t;
  using Data = std::uint16_t;
  static const Data* Row(const Data* src, int row) {
    const std::size_t at = 2 * static_cast<std::size_t>(row);
    return src + (static_cast<std::uint32_t>(src[at]) | static_cast<std::uint32_t>(src[at + 1]) << 16);
  }
  static int Count(const Data*& p) { return *p++; }
  static void Run(const Data*& p, int& skip, int& length, const Pixel*& pixels) {
    skip = p[0];
    length = p[1];
    pixels = p + 2;
    p += 2 + length;
  }
};

struct Csp8 {
  using Pixel = std::uint8_t;
  using Data = std::uint8_t;
  static const Data* Row(const Data* src, int row) {
    const std::size_t at = 4 * static_cast<std::size_t>(row);
    return src + (static_cast<std::uint32_t>(src[at]) | static_cast<std::uint32_t>(src[at + 1]) << 8 |
                  static_cast<std::uint32_t>(src[at + 2]) << 16 | static_cast<std::uint32_t>(src[at + 3]) << 24);
  }
  static int Count(const Data*& p) {
    const int n = static_cast<std::int16_t>(p[0] | p[1] << 8);
    p += 2;
    return n;
  }
  static void Run(const Data*& p, int& skip, int& length, const Pixel*& pixels) {
    skip = p[0];
    length = p[1];
    pixels = p + 2;
    p += 2 + length;
  }
};

// Calls emit(imageX, pixels, n) for the parts of a row's runs that fall in
// colLo...colHi.
template <class Form, class Emit>
inline void WalkRow(const typename Form::Data* p, int colLo, int colHi, bool full, Emit&& emit) {
  const int count = Form::Count(p);
  int x = 0;
  int skip = 0, length = 0;
  const typename Form::Pixel* px = nullptr;
  if (full) {
    for (int i = 0; i < count; ++i) {
      Form::Run(p, skip, length, px);
      x += skip;
      if (length > 0) emit(x, px, length);
      x += length;
    }
    return;
  }
  for (int i = 0; i < count; ++i) {
    Form::Run(p, skip, length, px);
    x += skip;
    if (x > colHi) return;
    if (length == 0) continue;
    int start = x;
    const int end = x + length - 1;
    x += length;
    if (end < colLo) continue;
    if (start < colLo) {
      px += colLo - start;
      start = colLo;
    }
    if (end >= colHi) {
      emit(start, px, colHi - start + 1);
      return;
    }
    emit(start, px, end - start + 1);
  }
}

template <class Pixel>
inline Pixel* PageRow(Pixel* dest, int y) {
  return dest + static_cast<std::ptrdiff_t>(y) * _LPITCH;
}

template <bool LR, bool UD, class Form, class Kernel>
void BlitCsp(int x, int y, int w, int h, typename Form::Pixel* dest, const typename Form::Data* src,
             const Kernel& kernel) {
  Visible v;
  if (!ClipImage(x, y, w, h, LR, UD, v)) return;
  for (int row = v.rowLo; row <= v.rowHi; ++row) {
    auto* line = PageRow(dest, UD ? y + h - 1 - row : y + row);
    WalkRow<Form>(Form::Row(src, row), v.colLo, v.colHi, v.full, [&](int ix, const auto* px, int n) {
      if constexpr (LR) {
        kernel.Reverse(line + x + w - ix - n, px, n);
      } else {
        kernel.Forward(line + x + ix, px, n);
      }
    });
  }
}

// Distance between source rows of a raw image, in pixels (0: the width).
struct RowStride {
  int pixels = 0;
};

template <bool LR, bool UD, class Pixel, class Kernel>
void BlitRaw(int x, int y, int w, int h, Pixel* dest, const Pixel* src, const Kernel& kernel,
             RowStride stride = {}) {
  Visible v;
  if (!ClipImage(x, y, w, h, LR, UD, v)) return;
  const int n = v.colHi - v.colLo + 1;
  const std::ptrdiff_t srcPitch = stride.pixels > 0 ? stride.pixels : w;
  for (int row = v.rowLo; row <= v.rowHi; ++row) {
    auto* line = PageRow(dest, UD ? y + h - 1 - row : y + row);
    const Pixel* px = src + static_cast<std::ptrdiff_t>(row) * srcPitch + v.colLo;
    if constexpr (LR) {
      kernel.Reverse(line + x + w - v.colLo - n, px, n);
    } else {
      kernel.Forward(line + x + v.colLo, px, n);
    }
  }
}

// One source row unpacked for scaling: pixel values and whether each is drawn.
template <class Pixel>
struct ScaleRow {
  std::vector<Pixel> pixels;
  std::vector<std::uint8_t> opaque;
};

// Fills row columns first...first + count - 1 of a Csp frame.
template <class Form>
struct CspRowSource {
  const typename Form::Data* src;
  void operator()(int row, int first, int count, ScaleRow<typename Form::Pixel>& out) const {
    std::fill_n(out.opaque.begin(), count, 0);
    WalkRow<Form>(Form::Row(src, row), first, first + count - 1, false, [&](int ix, const auto* px, int n) {
      std::copy_n(px, n, out.pixels.begin() + (ix - first));
      std::fill_n(out.opaque.begin() + (ix - first), n, 1);
    });
  }
};

// Raw frames: `transparent` pixels are not drawn.
template <class Pixel>
struct RawRowSource {
  const Pixel* src;
  int width;
  Pixel transparent;
  void operator()(int row, int first, int count, ScaleRow<Pixel>& out) const {
    const Pixel* p = src + static_cast<std::ptrdiff_t>(row) * width + first;
    for (int i = 0; i < count; ++i) {
      out.pixels[static_cast<std::size_t>(i)] = p[i];
      out.opaque[static_cast<std::size_t>(i)] = p[i] != transparent;
    }
  }
};

// Integer-accumulation scaling of a sw x sh image onto tw x th at (x, y).
// Clipped page margins become source margins of source size x margin /
// target size; the rest of the source is scaled onto the rest of the target.
template <bool LR, bool UD, class Pixel, class Source, class Kernel>
void BlitScaled(int x, int y, int sw, int sh, Pixel* dest, int tw, int th, const Source& source,
                const Kernel& kernel) {
  if (sw <= 0 || sh <= 0 || tw <= 0 || th <= 0) return;
  Visible v;
  if (!ClipImage(x, y, tw, th, false, false, v)) return;
  const int left = v.colLo, right = tw - 1 - v.colHi, top = v.rowLo, bottom = th - 1 - v.rowHi;
  const long long srcLeft = static_cast<long long>(sw) * (LR ? right : left) / tw;
  const long long srcRight = static_cast<long long>(sw) * (LR ? left : right) / tw;
  const long long srcTop = static_cast<long long>(sh) * (UD ? bottom : top) / th;
  const long long srcBottom = static_cast<long long>(sh) * (UD ? top : bottom) / th;
  const int sw2 = static_cast<int>(sw - srcLeft - srcRight);
  const int sh2 = static_cast<int>(sh - srcTop - srcBottom);
  const int tw2 = tw - left - right;
  const int th2 = th - top - bottom;
  if (sw2 <= 0 || sh2 <= 0 || tw2 <= 0 || th2 <= 0) return;

  static thread_local ScaleRow<Pixel> row;
  row.pixels.resize(static_cast<std::size_t>(sw2));
  row.opaque.resize(static_cast<std::size_t>(sw2));
  const int firstCol = LR ? x + tw - 1 - right : x + left;
  const int step = LR ? -1 : 1;
  long long accY = 0;
  int outRow = 0;
  for (int sy = static_cast<int>(srcTop); sy < srcTop + sh2; ++sy) {
    accY += th2;
    if (accY < sh2) continue;
    source(sy, static_cast<int>(srcLeft), sw2, row);
    while (accY >= sh2) {
      accY -= sh2;
      Pixel* line = PageRow(dest, UD ? y + th - 1 - bottom - outRow : y + top + outRow);
      ++outRow;
      long long accX = 0;
      int col = firstCol;
      for (int i = 0; i < sw2; ++i) {
        accX += tw2;
        while (accX >= sw2) {
          accX -= sw2;
          if (row.opaque[static_cast<std::size_t>(i)]) kernel.Pixel(line + col, row.pixels[static_cast<std::size_t>(i)]);
          col += step;
        }
      }
    }
  }
}

}  // namespace tovrik::gfx::detail
