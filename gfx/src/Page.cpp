#include "gfx/Page.h"

#include <algorithm>
#include <cstring>

#include "BlitEngine.h"
#include "base/ByteIO.h"
#include "base/Log.h"
#include "Kernels16.h"
#include "gfx/BmpWriter.h"
#include "gfx/GrpLib.h"
#include "gfx/GrpLib8.h"
#include "gfx/JpegFile.h"
#include "gfx/PixelFormat.h"

namespace tovrik::gfx {

namespace {

int BytesPerPixelOf(int bpp) {
  switch (bpp) {
    case 4:
    case 8:
      return 1;
    case 16:
      return 2;
    case 24:
      return 3;
    default:
      return 0;
  }
}

int PaletteEntriesOf(int bpp) { return bpp == 4 ? 16 : bpp == 8 ? 256 : 0; }

}  // namespace

CPage::~CPage() { Destroy(); }

void CPage::DefaultPalette() {
  for (int i = 0; i < 256; ++i) {
    PaletteEntry& e = palette[static_cast<std::size_t>(i)];
    e.red = static_cast<std::uint8_t>((i >> 5 & 7) * 255 / 7);
    e.green = static_cast<std::uint8_t>((i >> 2 & 7) * 255 / 7);
    e.blue = static_cast<std::uint8_t>((i & 3) * 255 / 3);
    e.flags = 0;
  }
}

int CPage::Init(int w, int h, int bpp, std::span<const PaletteEntry> entries,
                const std::filesystem::path& palettePath) {
  const int bytes = BytesPerPixelOf(bpp);
  if (bytes == 0 || w <= 0 || h <= 0 || w > 0x7FFF || h > 0x7FFF) return 0;
  ReleaseBitmap();  // a blend table loaded for this page stays
  width = w;
  height = h;
  bitsPerPixel = static_cast<std::uint16_t>(bpp);
  bytesPerPixel = bytes;
  pitchBytes = (w * bytes + 3) & ~3;
  pitch = pitchBytes / bytes;
  paletteEntries = PaletteEntriesOf(bpp);
  if (paletteEntries) {
    if (entries.empty()) {
      DefaultPalette();
    } else {
      SetPal(entries);
    }
    if (!palettePath.empty()) OpenPal(palettePath);  // a missing file keeps the colours above
  }
  storage_.assign(static_cast<std::size_t>(pitchBytes) * h, 0);
  bits = storage_.data();
  InitGrpLib(width, height, pitch, 555);
  InitAlphaTable(555);
  return 1;
}

void CPage::ReleaseBitmap() {
  Detach();
  storage_.clear();
  storage_.shrink_to_fit();
  bits = nullptr;
}

void CPage::Destroy() {
  ReleaseBitmap();
  if (alphaLoaded) ClearAlphaTable8();
  alphaLoaded = 0;
  width = height = pitch = pitchBytes = paletteEntries = 0;
  bitsPerPixel = 8;
  bytesPerPixel = 1;
}

int CPage::Attach(int w, int h, std::uint16_t* pixels, int pitchBytesOfPixels) {
  if (!storage_.empty() || attached) return 0;
  if (!pixels || w <= 0 || h <= 0 || pitchBytesOfPixels < w * 2 || pitchBytesOfPixels % 2 != 0) return 0;
  bits = reinterpret_cast<std::uint8_t*>(pixels);
  attached = 1;
  width = w;
  height = h;
  bitsPerPixel = 16;
  bytesPerPixel = 2;
  pitchBytes = pitchBytesOfPixels;
  pitch = pitchBytes / 2;
  paletteEntries = 0;
  return 1;
}

int CPage::Detach() {
  if (!attached) return 0;
  attached = 0;
  bits = nullptr;
  width = height = pitch = pitchBytes = 0;
  return 1;
}

int CPage::ReCreateDIBSection() {
  if (attached || width <= 0 || height <= 0 || bytesPerPixel <= 0) return 0;
  storage_.assign(static_cast<std::size_t>(pitchBytes) * height, 0);
  bits = storage_.data();
  return 1;
}

int CPage::SetPal(std::span<const PaletteEntry> entries) {
  if (!paletteEntries) return 1;
  if (entries.empty()) {
    DefaultPalette();
    return 1;
  }
  const std::size_t n = std::min(entries.size(), palette.size());
  for (std::size_t i = 0; i < n; ++i) palette[i] = {entries[i].red, entries[i].green, entries[i].blue, 0};
  return 1;
}

int CPage::OpenPal(const std::filesystem::path& path) {
  std::vector<std::uint8_t> bytes;
  if (!paletteEntries || !base::ReadWholeFile(path, bytes)) return 0;
  if (bytes.size() < static_cast<std::size_t>(paletteEntries) * 4) return 0;
  for (int i = 0; i < paletteEntries; ++i) {
    const std::uint8_t* q = bytes.data() + 4 * i;  // blue, green, red, reserved
    palette[static_cast<std::size_t>(i)] = {q[2], q[1], q[0], 0};
  }
  return 1;
}

void CPage::SetTempClip(int x1, int y1, int x2, int y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  const int maxX = std::max(width - 1, 0), maxY = std::max(height - 1, 0);
  tempClip = {std::clamp(x1, 0, maxX), std::clamp(y1, 0, maxY), std::clamp(x2, 0, maxX), std::clamp(y2, 0, maxY)};
}

void CPage::SyncLibrary() const {
  if (_MXL != width || _MYL != height || _LPITCH != pitch) InitGrpLib(width, height, pitch, 555);
}

// Sets the library's clip for a draw: the temporary clip when asked for (or
// switched on for the page), else the whole page. Drops SPR_TEMPCLIP.
bool CPage::SelectClip(int& flags) {
  if (!bits) return false;
  if (tempClipOn) flags |= SPR_TEMPCLIP;
  SyncLibrary();
  if (flags & SPR_TEMPCLIP) {
    SetClipArea(tempClip.x1, tempClip.y1, tempClip.x2, tempClip.y2);
    flags &= ~SPR_TEMPCLIP;
  } else {
    SetClipArea(0, 0, width - 1, height - 1);
  }
  return true;
}

// ---- 16-bit sprites ----

int CPage::PutSprAuto(int x, int y, const xSprite* set, int index, int flags, int level, int color) {
  if (!set || index < 0 || index >= set->FrameCount()) return 0;
  return PutSprAuto(x, y, set->Frame(index), flags, level, color);
}

int CPage::PutSprAuto(int x, int y, const SPRITE30* frame, int flags, int level, int color) {
  if (!frame || !bits || bitsPerPixel != 16) return 0;
  SelectClip(flags);
  return Draw16(x, y, *frame, flags, level, color);
}

// Position rules and the choice of blit; the clip is already set.
int CPage::Draw16(int x, int y, const SPRITE30& f, int flags, int level, int color) {
  if (flags & SPR_MIRROR) {
    flags = (flags & ~SPR_MIRROR) | SPR_LR;
    x = 2 * mirrorX - f.width - x;
    if (flags & SPR_RXY) {
      x -= f.offsetX;
      flags &= ~SPR_RXY;
    }
    y += f.offsetY;
  } else if (flags & SPR_RXY) {
    x += f.offsetX;
    y += f.offsetY;
    flags &= ~SPR_RXY;
  }
  if (!f.IsDrawable()) return 1;  // a frame without pixels draws nothing

  std::uint16_t* dest = Bits16();
  const std::uint16_t* src = f.data.data();
  const int w = f.width, h = f.height;
  const auto c = static_cast<std::uint16_t>(color);
  if (f.compress != 1) {
    if (flags & SPR_GB) {
      _PutSpr_GB(x, y, w, h, dest, src, f.colorKey, level);
    } else {
      _PutSpr(x, y, w, h, dest, src, f.colorKey);
    }
    return 1;
  }
  if (flags & SPR_LR) {
    flags &= ~SPR_LR;
    if (!flags) _PutCspLR(x, y, w, h, dest, src);
    else if (flags & SPR_HB) _PutCspLR_HB(x, y, w, h, dest, src);
    else if (flags & SPR_GB) _PutCspLR_GB(x, y, w, h, dest, src, level);
    else if (flags & SPR_LE) _PutCspLR_LE(x, y, w, h, dest, src);
    else if (flags & SPR_DE) _PutCspLR_DE(x, y, w, h, dest, src);
    else if (flags & SPR_GLOW) _PutCspLR_Glow(x, y, w, h, dest, src, c, level);
    else if (flags & SPR_GRAYSCL) _PutCspLR_Grayscl(x, y, w, h, dest, src);
    else if (flags & SPR_MONO) _PutCspLR_Mono(x, y, w, h, dest, src, c);
    else _PutCspLR(x, y, w, h, dest, src);
  } else if (flags & SPR_UD) {
    flags &= ~SPR_UD;
    if (!flags) _PutCspUD(x, y, w, h, dest, src);
    else if (flags & SPR_HB) _PutCspUD_HB(x, y, w, h, dest, src);
    else if (flags & SPR_GB) _PutCspUD_GB(x, y, w, h, dest, src, level);
    else if (flags & SPR_LE) _PutCspUD_LE(x, y, w, h, dest, src);
    else if (flags & SPR_DE) _PutCspUD_DE(x, y, w, h, dest, src);
    else if (flags & SPR_GLOW) _PutCspUD_Glow(x, y, w, h, dest, src, c, level);
    else if (flags & SPR_GRAYSCL) _PutCspUD_Grayscl(x, y, w, h, dest, src);
    else if (flags & SPR_MONO) _PutCspUD_Mono(x, y, w, h, dest, src, c);
    else _PutCspUD(x, y, w, h, dest, src);
  } else {
    if (!flags) _PutCsp(x, y, w, h, dest, src);
    else if (flags & SPR_ANTI) _PutCsp_Anti(x, y, w, h, dest, src);
    else if (flags & SPR_HB) _PutCsp_HB(x, y, w, h, dest, src);
    else if (flags & SPR_GB) _PutCsp_GB(x, y, w, h, dest, src, level);
    else if (flags & SPR_LE) _PutCsp_LE(x, y, w, h, dest, src);
    else if (flags & SPR_DE) _PutCsp_DE(x, y, w, h, dest, src);
    else if (flags & SPR_GLOW) _PutCsp_Glow(x, y, w, h, dest, src, c, level);
    else if (flags & SPR_GRAYSCL) _PutCsp_Grayscl(x, y, w, h, dest, src);
    else if (flags & SPR_MONO) _PutCsp_Mono(x, y, w, h, dest, src, c);
    else _PutCsp(x, y, w, h, dest, src);
  }
  return 1;
}

namespace {

// The zoom's position rules; returns false when the target is empty.
template <class Frame>
bool ZoomPlacement(const Frame& f, int& x, int& y, int& tw, int& th, int& flags) {
  if (flags & SPR_PERCENT) {
    tw = static_cast<int>(static_cast<long long>(tw) * f.width / 100);
    th = static_cast<int>(static_cast<long long>(th) * f.height / 100);
  }
  if ((flags & SPR_RXY) && f.width > 0 && f.height > 0) {
    x += static_cast<int>(static_cast<long long>(tw) * f.offsetX / f.width);
    y += static_cast<int>(static_cast<long long>(th) * f.offsetY / f.height);
  }
  if (flags & SPR_CENTER) {
    x -= tw / 2;
    y -= th / 2;
  }
  flags &= ~(SPR_PERCENT | SPR_RXY | SPR_CENTER);
  return tw > 0 && th > 0;
}

}  // namespace

int CPage::ZoomSprAuto(int x, int y, const xSprite* set, int index, int tw, int th, int flags, int level, int color) {
  if (!set || index < 0 || index >= set->FrameCount()) return 0;
  return ZoomSprAuto(x, y, set->Frame(index), tw, th, flags, level, color);
}

int CPage::ZoomSprAuto(int x, int y, const SPRITE30* frame, int tw, int th, int flags, int level, int color) {
  if (!frame || !bits || bitsPerPixel != 16) return 0;
  SelectClip(flags);
  const SPRITE30& f = *frame;
  if (!ZoomPlacement(f, x, y, tw, th, flags)) return 1;
  if (tw == f.width && th == f.height) return Draw16(x, y, f, flags, level, color);
  if (f.compress == 1 && f.IsDrawable()) _ZoomCsp(x, y, f.width, f.height, Bits16(), f.data.data(), tw, th);
  return 1;
}

int CPage::PutImageAuto(int x, int y, const xSprite* set, int index, int flags, int level, int color) {
  if (!set || index < 0 || index >= set->FrameCount()) return 0;
  return PutImageAuto(x, y, set->Frame(index), flags, level, color);
}

int CPage::PutImageAuto(int x, int y, const SPRITE30* frame, int flags, int, int) {
  if (!frame || !bits || bitsPerPixel != 16) return 0;
  flags &= 0xFF00;
  SelectClip(flags);
  if (flags & SPR_RXY) {
    x += frame->offsetX;
    y += frame->offsetY;
  }
  if (frame->compress == 0 && frame->IsDrawable()) {
    _PutImage(x, y, frame->width, frame->height, Bits16(), frame->data.data());
  }
  return 1;
}

int CPage::PutFromPage(int x, int y, const CPage* source, int level) {
  if (!source || !source->bits || !bits || bitsPerPixel != 16 || source->bitsPerPixel != 16) return 0;
  if (source->width <= 0 || source->height <= 0) return 0;
  int flags = 0;
  SelectClip(flags);
  // Rows of the source page are read at its own pitch.
  const detail::RowStride stride{source->pitch};
  if (level <= 30) {
    detail::BlitRaw<false, false>(x, y, source->width, source->height, Bits16(), source->Bits16(),
                                  detail::GlassKernel(level), stride);
  } else {
    detail::BlitRaw<false, false>(x, y, source->width, source->height, Bits16(), source->Bits16(),
                                  detail::CopyKernel{}, stride);
  }
  return 1;
}

int CPage::PutFromPageWithColorKey(int x, int y, const CPage* source, std::uint16_t key, int level) {
  if (!source || !source->bits || !bits || bitsPerPixel != 16 || source->bitsPerPixel != 16) return 0;
  if (source->width <= 0 || source->height <= 0) return 0;
  int flags = 0;
  SelectClip(flags);
  const detail::RowStride stride{source->pitch};
  if (level < 31) {
    detail::BlitRaw<false, false>(x, y, source->width, source->height, Bits16(), source->Bits16(),
                                  detail::KeyedKernel<detail::GlassKernel>{key, detail::GlassKernel(level)}, stride);
  } else {
    detail::BlitRaw<false, false>(x, y, source->width, source->height, Bits16(), source->Bits16(),
                                  detail::KeyedKernel<detail::CopyKernel>{key, {}}, stride);
  }
  return 1;
}

// ---- 8-bit sprites ----

int CPage::PutSprAuto(int x, int y, const CSprite8* set, int index, int flags, int level, int color) {
  if (!set || index < 0 || index >= set->FrameCount()) return 0;
  return PutSprAuto(x, y, set->Frame(index), flags, level, color);
}

int CPage::PutSprAuto(int x, int y, const SPRITE8* frame, int flags, int level, int color) {
  if (!frame || !bits || bitsPerPixel != 8) return 0;
  SelectClip(flags);
  return Draw8(x, y, *frame, flags, level, color);
}

int CPage::Draw8(int x, int y, const SPRITE8& f, int flags, int level, int color) {
  level = std::clamp(level, 0, 31);
  if (flags & SPR_MIRROR) {
    flags |= SPR_LR;
    x = 2 * mirrorX - f.width - x;
    if (flags & SPR_RXY) x -= f.offsetX;
    y += f.offsetY;
  } else if (flags & SPR_RXY) {
    x += f.offsetX;
    y += f.offsetY;
  }
  if (!f.IsDrawable()) return 1;

  std::uint8_t* dest = Bits8();
  const std::uint8_t* src = f.data.data();
  const int w = f.width, h = f.height;
  const int kernel = (flags & SPR8_MONO ? 1 : 0) | (flags & SPR8_GLASS ? 2 : 0);  // copy, mono, glass, mono-glass
  const int geometry = (flags & SPR_LR ? 1 : 0) | (flags & SPR_UD ? 2 : 0);    // as is, LR, UD, UDLR
  using Blit = void (*)(int, int, int, int, std::uint8_t*, const std::uint8_t*, int, int);
#define TOVRIK_GFX_ROW(Form, G)                                                                                      \
  {[](int x_, int y_, int w_, int h_, std::uint8_t* d, const std::uint8_t* s, int, int) { Put##Form##G##8(x_, y_, w_, h_, d, s); }, \
   [](int x_, int y_, int w_, int h_, std::uint8_t* d, const std::uint8_t* s, int c, int) { Put##Form##Mono##G##8(x_, y_, w_, h_, d, s, c); }, \
   [](int x_, int y_, int w_, int h_, std::uint8_t* d, const std::uint8_t* s, int, int l) { Put##Form##Glass##G##8(x_, y_, w_, h_, d, s, l); }, \
   [](int x_, int y_, int w_, int h_, std::uint8_t* d, const std::uint8_t* s, int c, int l) { Put##Form##MonoGlass##G##8(x_, y_, w_, h_, d, s, c, l); }}
  static constexpr Blit kRaw[4][4] = {TOVRIK_GFX_ROW(Spr, ), TOVRIK_GFX_ROW(Spr, LR), TOVRIK_GFX_ROW(Spr, UD),
                                      TOVRIK_GFX_ROW(Spr, UDLR)};
  static constexpr Blit kCsp[4][4] = {TOVRIK_GFX_ROW(Csp, ), TOVRIK_GFX_ROW(Csp, LR), TOVRIK_GFX_ROW(Csp, UD),
                                      TOVRIK_GFX_ROW(Csp, UDLR)};
#undef TOVRIK_GFX_ROW
  (f.compress == 1 ? kCsp : kRaw)[geometry][kernel](x, y, w, h, dest, src, color, level);
  return 1;
}

int CPage::ZoomSprAuto(int x, int y, const CSprite8* set, int index, int tw, int th, int flags, int level, int color) {
  if (!set || index < 0 || index >= set->FrameCount()) return 0;
  return ZoomSprAuto(x, y, set->Frame(index), tw, th, flags, level, color);
}

int CPage::ZoomSprAuto(int x, int y, const SPRITE8* frame, int tw, int th, int flags, int level, int color) {
  if (!frame || !bits || bitsPerPixel != 8) return 0;
  SelectClip(flags);
  const SPRITE8& f = *frame;
  if (!ZoomPlacement(f, x, y, tw, th, flags)) return 1;
  if (tw == f.width && th == f.height) return Draw8(x, y, f, flags, level, color);
  if (!f.IsDrawable()) return 1;
  level = std::clamp(level, 0, 31);
  std::uint8_t* dest = Bits8();
  const std::uint8_t* src = f.data.data();
  const int kernel = (flags & SPR8_MONO ? 1 : 0) | (flags & SPR8_GLASS ? 2 : 0);
  const int geometry = (flags & SPR_LR ? 1 : 0) | (flags & SPR_UD ? 2 : 0);
  using Zoom = void (*)(int, int, int, int, std::uint8_t*, int, int, const std::uint8_t*, int, int);
#define TOVRIK_GFX_ROW(Form, G)                                                                                      \
  {[](int x_, int y_, int w_, int h_, std::uint8_t* d, int tw_, int th_, const std::uint8_t* s, int, int) { LowZoom##Form##G##8(x_, y_, w_, h_, d, tw_, th_, s); }, \
   [](int x_, int y_, int w_, int h_, std::uint8_t* d, int tw_, int th_, const std::uint8_t* s, int c, int) { LowZoom##Form##Mono##G##8(x_, y_, w_, h_, d, tw_, th_, s, c); }, \
   [](int x_, int y_, int w_, int h_, std::uint8_t* d, int tw_, int th_, const std::uint8_t* s, int, int l) { LowZoom##Form##Glass##G##8(x_, y_, w_, h_, d, tw_, th_, s, l); }, \
   [](int x_, int y_, int w_, int h_, std::uint8_t* d, int tw_, int th_, const std::uint8_t* s, int c, int l) { LowZoom##Form##MonoGlass##G##8(x_, y_, w_, h_, d, tw_, th_, s, c, l); }}
  static constexpr Zoom kRaw[4][4] = {TOVRIK_GFX_ROW(Spr, ), TOVRIK_GFX_ROW(Spr, LR), TOVRIK_GFX_ROW(Spr, UD),
                                      TOVRIK_GFX_ROW(Spr, UDLR)};
  static constexpr Zoom kCsp[4][4] = {TOVRIK_GFX_ROW(Csp, ), TOVRIK_GFX_ROW(Csp, LR), TOVRIK_GFX_ROW(Csp, UD),
                                      TOVRIK_GFX_ROW(Csp, UDLR)};
#undef TOVRIK_GFX_ROW
  (f.compress == 1 ? kCsp : kRaw)[geometry][kernel](x, y, f.width, f.height, dest, tw, th, src, color, level);
  return 1;
}

int CPage::OpenAlphaTable8(const std::filesystem::path& path) {
  if (LoadAlphaTable8(path) != 1) return 0;
  alphaLoaded = 1;
  return 1;
}

int CPage::OpenOrBuildAlphaTable8(const std::filesystem::path& path) {
  if (bitsPerPixel != 8) return 0;
  if (OpenAlphaTable8(path)) return 1;
  base::Log(base::LogLevel::Warn, "gfx", "no usable blend table in ", path.string(), ": building it from the palette");
  InitAlphaTable8(palette, 0, 255);
  alphaLoaded = 1;
  return 2;
}

void CPage::DrawPenLine(int x1, int y1, int x2, int y2, const Pen8& pen) {
  int flags = 0;
  if (bitsPerPixel == 8 && SelectClip(flags)) DrawLine8(x1, y1, x2, y2, Bits8(), pen);
}

void CPage::DrawCircle(int cx, int cy, int radius, const Pen8& pen) {
  int flags = 0;
  if (bitsPerPixel == 8 && SelectClip(flags)) DrawCircle8(cx, cy, radius, Bits8(), pen);
}

void CPage::DrawArc(int cx, int cy, int radius, float startDeg, float sweepDeg, const Pen8& pen) {
  int flags = 0;
  if (bitsPerPixel == 8 && SelectClip(flags)) DrawArc8(cx, cy, radius, startDeg, sweepDeg, Bits8(), pen);
}

void CPage::DrawFillTriangle(int x1, int y1, int x2, int y2, int x3, int y3, int color) {
  int flags = 0;
  if (bitsPerPixel == 8 && SelectClip(flags)) FillTriangle8(x1, y1, x2, y2, x3, y3, Bits8(), color);
}

// ---- rectangles and lines ----

void CPage::DrawFillBox(int x1, int y1, int x2, int y2, int color) {
  int flags = 0;
  if (!SelectClip(flags)) return;
  if (bitsPerPixel == 16) FillBox(x1, y1, x2, y2, Bits16(), static_cast<std::uint16_t>(color));
  if (bitsPerPixel == 8) FillBox8(x1, y1, x2, y2, Bits8(), color);
}

void CPage::DrawFillBoxGB(int x1, int y1, int x2, int y2, int color, int level) {
  int flags = 0;
  if (!SelectClip(flags)) return;
  if (bitsPerPixel == 16) FillBoxGB(x1, y1, x2, y2, Bits16(), static_cast<std::uint16_t>(color), level);
  if (bitsPerPixel == 8) FillBoxGlass8(x1, y1, x2, y2, Bits8(), color, level);
}

void CPage::HLine(int x, int y, int length, int color, int xorMode) {
  int flags = 0;
  if (!SelectClip(flags)) return;
  if (bitsPerPixel == 16) {
    if (xorMode) DrawHLineXOR(x, y, length, Bits16());
    else DrawHLine(x, y, length, Bits16(), static_cast<std::uint16_t>(color));
  } else if (bitsPerPixel == 8) {
    DrawHLine8(x, y, length, Bits8(), color);
  }
}

void CPage::VLine(int x, int y, int length, int color, int xorMode) {
  int flags = 0;
  if (!SelectClip(flags)) return;
  if (bitsPerPixel == 16) {
    if (xorMode) DrawVLineXOR(x, y, length, Bits16());
    else DrawVLine(x, y, length, Bits16(), static_cast<std::uint16_t>(color));
  } else if (bitsPerPixel == 8) {
    DrawVLine8(x, y, length, Bits8(), color);
  }
}

void CPage::DrawLine(int x1, int y1, int x2, int y2, int color) {
  int flags = 0;
  if (bitsPerPixel != 16 || !SelectClip(flags)) return;
  tovrik::gfx::DrawLine(x1, y1, x2, y2, Bits16(), static_cast<std::uint16_t>(color));
}

void CPage::DrawEmptyBox(int x1, int y1, int x2, int y2, int color, int xorMode) {
  int flags = 0;
  if (!SelectClip(flags)) return;
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  const int w = x2 - x1 + 1, h = y2 - y1 + 1;
  if (bitsPerPixel == 8) {
    DrawBox8(x1, y1, x2, y2, Bits8(), color);
    return;
  }
  if (bitsPerPixel != 16) return;
  if (xorMode) {
    // Horizontal edges leave the corners to the vertical ones, so each pixel
    // is inverted once.
    DrawHLineXOR(x1, y1, w - 1, Bits16());
    if (y2 != y1) DrawHLineXOR(x1, y2, w - 1, Bits16());
    DrawVLineXOR(x1, y1, h, Bits16());
    if (x2 != x1) DrawVLineXOR(x2, y1, h, Bits16());
  } else {
    const auto c = static_cast<std::uint16_t>(color);
    DrawHLine(x1, y1, w, Bits16(), c);
    DrawHLine(x1, y2, w, Bits16(), c);
    DrawVLine(x1, y1, h, Bits16(), c);
    DrawVLine(x2, y1, h, Bits16(), c);
  }
}

void CPage::DrawSelectBox(int x1, int y1, int x2, int y2, int color, int xorMode) {
  if (bitsPerPixel != 16) return;
  for (const int cx : {x1, x2}) {
    for (const int cy : {y1, y2}) DrawEmptyBox(cx - 1, cy - 1, cx + 1, cy + 1, color, xorMode);
  }
}

// ---- presentation and files ----

void CPage::SetFlipPos(int x, int y, int scale) {
  flipX = x;
  flipY = y;
  flipScale = scale > 0 ? scale : 1;
}

PixelView CPage::View() const {
  if (!bits) return {};
  if (bitsPerPixel == 16) return {bits, width, height, pitchBytes, PixelFormat::Rgb555, nullptr};
  if (bitsPerPixel == 8) return {bits, width, height, pitchBytes, PixelFormat::Indexed8, &palette};
  return {};
}

int CPage::Flip(IPagePresenter& presenter) const {
  if (!bits) return 0;
  return presenter.Present(View(), flipX, flipY, flipScale) ? 1 : 0;
}

int CPage::FlipToGDI(IPagePresenter& presenter, int x, int y, int scale) {
  SetFlipPos(x, y, scale);
  return Flip(presenter);
}

int CPage::StretchFlip(IPagePresenter& presenter, const PageRect* target, const PageRect* source) const {
  if (!bits) return 0;
  return presenter.StretchPresent(View(), target, source) ? 1 : 0;
}

void CPage::ToPagePos(int windowX, int windowY, int& pageX, int& pageY) const {
  const int scale = flipScale > 0 ? flipScale : 1;
  pageX = (windowX - flipX) / scale;
  pageY = (windowY - flipY) / scale;
}

int CPage::SaveToBitmap(const std::filesystem::path& path) const {
  if (!bits || bitsPerPixel != 16 || width <= 0 || height <= 0) return 0;
  std::vector<BmpPixel> pixels;
  pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const std::uint16_t* px = Bits16() + static_cast<std::ptrdiff_t>(y) * pitch;
    for (int x = 0; x < width; ++x)
      pixels.push_back({static_cast<std::uint8_t>(Red555(px[x]) << 3), static_cast<std::uint8_t>(Green555(px[x]) << 3),
                        static_cast<std::uint8_t>(Blue555(px[x]) << 3)});
  }
  return base::WriteWholeFile(path, EncodeBmp(width, height, pixels)) ? 1 : 0;
}

int CPage::SaveToJpeg(const std::filesystem::path& path, int quality) const {
  if (!bits || bitsPerPixel != 16 || width <= 0 || height <= 0) return 0;
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  std::uint8_t* out = rgb.data();
  for (int y = 0; y < height; ++y) {
    const std::uint16_t* px = Bits16() + static_cast<std::ptrdiff_t>(y) * pitch;
    for (int x = 0; x < width; ++x) {
      *out++ = static_cast<std::uint8_t>(Red555(px[x]) << 3);
      *out++ = static_cast<std::uint8_t>(Green555(px[x]) << 3);
      *out++ = static_cast<std::uint8_t>(Blue555(px[x]) << 3);
    }
  }
  return JpegFile::RGBToJpegFile(path, rgb, width, height, 1, quality);
}

}  // namespace tovrik::gfx
