#pragma once
// Per-pixel arithmetic of the RGB555 blits. Every channel result is exact
// (truncating divisions); the blends work on a pixel spread over 32 bits
// (green moved to the upper half) so that one multiply serves all three
// channels without carries between them.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "gfx/GrpLib.h"

namespace tovrik::gfx::detail {

constexpr std::uint32_t kSpreadMask = 0x03E07C1F;

inline std::uint32_t Spread(std::uint16_t p) { return (p | static_cast<std::uint32_t>(p) << 16) & kSpreadMask; }
inline std::uint16_t Pack(std::uint32_t v) { return static_cast<std::uint16_t>((v | v >> 16) & 0x7FFF); }

// Forward and Reverse built from a per-pixel Blend(s, d).
template <class Derived>
struct PerPixelKernel {
  void Forward(std::uint16_t* dst, const std::uint16_t* src, int n) const {
    const auto& self = static_cast<const Derived&>(*this);
    for (int i = 0; i < n; ++i) dst[i] = self.Blend(src[i], dst[i]);
  }
  void Reverse(std::uint16_t* dst, const std::uint16_t* src, int n) const {
    const auto& self = static_cast<const Derived&>(*this);
    for (int i = 0; i < n; ++i) dst[n - 1 - i] = self.Blend(src[i], dst[n - 1 - i]);
  }
  void Pixel(std::uint16_t* dst, std::uint16_t s) const { *dst = static_cast<const Derived&>(*this).Blend(s, *dst); }
};

struct CopyKernel {
  void Forward(std::uint16_t* dst, const std::uint16_t* src, int n) const {
    std::memcpy(dst, src, static_cast<std::size_t>(n) * 2);
  }
  void Reverse(std::uint16_t* dst, const std::uint16_t* src, int n) const {
    for (int i = 0; i < n; ++i) dst[n - 1 - i] = src[i];
  }
  void Pixel(std::uint16_t* dst, std::uint16_t s) const { *dst = s; }
};

struct HalfBlendKernel : PerPixelKernel<HalfBlendKernel> {
  static std::uint16_t Blend(std::uint16_t s, std::uint16_t d) {
    return static_cast<std::uint16_t>(((s >> 1) & 0x3DEF) + ((d >> 1) & 0x3DEF));
  }
};

// s x L / 32 + d x (31 - L) / 32 per channel.
struct GlassKernel : PerPixelKernel<GlassKernel> {
  explicit GlassKernel(int level) : sourceWeight(static_cast<std::uint32_t>(std::clamp(level, 0, 31))), pageWeight(31 - sourceWeight) {}
  std::uint16_t Blend(std::uint16_t s, std::uint16_t d) const {
    return Pack(((Spread(s) * sourceWeight >> 5) & kSpreadMask) + ((Spread(d) * pageWeight >> 5) & kSpreadMask));
  }
  std::uint32_t sourceWeight, pageWeight;
};

// s x L / 32 + C x (31 - L) / 32; the page is not read.
struct GlowKernel : PerPixelKernel<GlowKernel> {
  GlowKernel(std::uint16_t color, int level)
      : sourceWeight(static_cast<std::uint32_t>(std::clamp(level, 0, 31))),
        colorPart((Spread(color) * (31 - sourceWeight) >> 5) & kSpreadMask) {}
  std::uint16_t Blend(std::uint16_t s, std::uint16_t) const {
    return Pack(((Spread(s) * sourceWeight >> 5) & kSpreadMask) + colorPart);
  }
  std::uint32_t sourceWeight, colorPart;
};

struct GrayKernel : PerPixelKernel<GrayKernel> {
  static std::uint16_t Blend(std::uint16_t s, std::uint16_t) {
    const int v = ((s >> 10 & 31) + (s >> 5 & 31) + (s & 31)) / 3;
    return static_cast<std::uint16_t>(v * 0x421);
  }
};

struct MonoKernel {
  explicit MonoKernel(std::uint16_t c) : color(c) {}
  void Forward(std::uint16_t* dst, const std::uint16_t*, int n) const { std::fill_n(dst, n, color); }
  void Reverse(std::uint16_t* dst, const std::uint16_t*, int n) const { std::fill_n(dst, n, color); }
  void Pixel(std::uint16_t* dst, std::uint16_t) const { *dst = color; }
  std::uint16_t color;
};

struct LightenKernel : PerPixelKernel<LightenKernel> {
  static std::uint16_t Blend(std::uint16_t s, std::uint16_t d) {
    return static_cast<std::uint16_t>(LIGHT_R[s >> 10 & 31][d >> 10 & 31] | LIGHT_G[s >> 5 & 31][d >> 5 & 31] |
                                      LIGHT_B[s & 31][d & 31]);
  }
};

struct DarkenKernel : PerPixelKernel<DarkenKernel> {
  static std::uint16_t Blend(std::uint16_t s, std::uint16_t d) {
    return static_cast<std::uint16_t>(DARK_R[s >> 10 & 31][d >> 10 & 31] | DARK_G[s >> 5 & 31][d >> 5 & 31] |
                                      DARK_B[s & 31][d & 31]);
  }
};

// Softens run edges: the first and last pixel of a run are half-blended, the
// pixels between copied; a two-pixel run writes only its first pixel.
struct AntiKernel {
  void Forward(std::uint16_t* dst, const std::uint16_t* src, int n) const {
    if (n <= 0) return;
    dst[0] = HalfBlendKernel::Blend(src[0], dst[0]);
    if (n >= 3) {
      std::memcpy(dst + 1, src + 1, static_cast<std::size_t>(n - 2) * 2);
      dst[n - 1] = HalfBlendKernel::Blend(src[n - 1], dst[n - 1]);
    }
  }
};

// Raw frames: pixels equal to the key are left out (full 16-bit compare).
template <class Inner>
struct KeyedKernel {
  std::uint16_t key;
  Inner inner;
  void Forward(std::uint16_t* dst, const std::uint16_t* src, int n) const {
    for (int i = 0; i < n; ++i) {
      if (src[i] != key) inner.Pixel(dst + i, src[i]);
    }
  }
  void Reverse(std::uint16_t* dst, const std::uint16_t* src, int n) const {
    for (int i = 0; i < n; ++i) {
      if (src[i] != key) inner.Pixel(dst + n - 1 - i, src[i]);
    }
  }
};

}  // namespace tovrik::gfx::detail
