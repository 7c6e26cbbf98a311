#pragma once
// The drawing page: an owned (or attached) pixel buffer of 16-bit RGB555 or
// 8-bit palette indices with the row rules of a top-down bitmap, and the
// operations that draw sprite frames, rectangles and lines on it.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "gfx/Palette.h"
#include "gfx/Shapes8.h"
#include "gfx/PixelView.h"
#include "gfx/SprFlags.h"
#include "gfx/Sprite.h"
#include "gfx/Sprite8.h"

namespace tovrik::gfx {

struct PageRect {
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // inclusive
  bool operator==(const PageRect&) const = default;
};

// Shows pages in a window; the client implements it once where it is
// composed.
class IPagePresenter {
 public:
  virtual ~IPagePresenter() = default;
  // Draws the page with its top-left at (x, y), each pixel scale x scale.
  virtual bool Present(const PixelView& page, int x, int y, int scale) = 0;
  // Stretches `source` of the page (null: all of it) onto `target` of the
  // window (null: the whole client area); rectangles are inclusive.
  virtual bool StretchPresent(const PixelView& page, const PageRect* target, const PageRect* source) = 0;
};

class CPage {
 public:
  CPage() = default;
  CPage(const CPage&) = delete;
  CPage& operator=(const CPage&) = delete;
  ~CPage();

  // Sizes the page (bitsPerPixel 4, 8, 16 or 24). Palette pages take their
  // colours from the file when a path is given (a missing file keeps the
  // others), else from `entries`, else the default palette. Returns 1 or 0.
  int Init(int w, int h, int bpp, std::span<const PaletteEntry> entries = {},
           const std::filesystem::path& palettePath = {});
  void Destroy();
  // Draws into the caller's 16-bit pixels (rows of pitchBytes bytes); the
  // caller keeps ownership and must outlive the attachment.
  int Attach(int w, int h, std::uint16_t* pixels, int pitchBytesOfPixels);
  int Detach();
  // A fresh zeroed buffer of the same geometry (the old picture is lost).
  int ReCreateDIBSection();

  int SetPal(std::span<const PaletteEntry> entries);
  int OpenPal(const std::filesystem::path& path);
  void SetTempClip(int x1, int y1, int x2, int y2);
  void EnableTempClip(int on) { tempClipOn = on ? 1 : 0; }
  void SetMirrorX(int x) { mirrorX = x; }

  // 16-bit pages.
  int PutSprAuto(int x, int y, const xSprite* set, int index, int flags = 0, int level = 0, int color = 0);
  int PutSprAuto(int x, int y, const SPRITE30* frame, int flags = 0, int level = 0, int color = 0);
  int ZoomSprAuto(int x, int y, const xSprite* set, int index, int tw, int th, int flags = 0, int level = 0,
                  int color = 0);
  int ZoomSprAuto(int x, int y, const SPRITE30* frame, int tw, int th, int flags = 0, int level = 0, int color = 0);
  int PutImageAuto(int x, int y, const xSprite* set, int index, int flags = 0, int level = 0, int color = 0);
  int PutImageAuto(int x, int y, const SPRITE30* frame, int flags = 0, int level = 0, int color = 0);
  int PutFromPage(int x, int y, const CPage* source, int level = 31);
  int PutFromPageWithColorKey(int x, int y, const CPage* source, std::uint16_t key, int level = 31);

  // 8-bit pages.
  int PutSprAuto(int x, int y, const CSprite8* set, int index, int flags = 0, int level = 0, int color = 0);
  int PutSprAuto(int x, int y, const SPRITE8* frame, int flags = 0, int level = 0, int color = 0);
  int ZoomSprAuto(int x, int y, const CSprite8* set, int index, int tw, int th, int flags = 0, int level = 0,
                  int color = 0);
  int ZoomSprAuto(int x, int y, const SPRITE8* frame, int tw, int th, int flags = 0, int level = 0, int color = 0);
  int OpenAlphaTable8(const std::filesystem::path& path);
  // The blend table from `path`; when the file is missing or unusable, the
  // table is built from the page's palette instead, so translucent drawing
  // still works. 1 loaded, 2 built, 0 not an 8-bit page.
  int OpenOrBuildAlphaTable8(const std::filesystem::path& path);
  // Pen outlines and the filled triangle, clipped like every draw (the
  // temporary clip when it is on).
  void DrawPenLine(int x1, int y1, int x2, int y2, const Pen8& pen);
  void DrawCircle(int cx, int cy, int radius, const Pen8& pen);
  void DrawArc(int cx, int cy, int radius, float startDeg, float sweepDeg, const Pen8& pen);
  void DrawFillTriangle(int x1, int y1, int x2, int y2, int x3, int y3, int color);

  // Both depths (XOR forms and DrawLine, DrawSelectBox: 16-bit pages only).
  void DrawFillBox(int x1, int y1, int x2, int y2, int color);
  void DrawFillBoxGB(int x1, int y1, int x2, int y2, int color, int level);
  void HLine(int x, int y, int length, int color, int xorMode = 0);
  void VLine(int x, int y, int length, int color, int xorMode = 0);
  void DrawLine(int x1, int y1, int x2, int y2, int color);
  void DrawEmptyBox(int x1, int y1, int x2, int y2, int color, int xorMode = 0);
  void DrawSelectBox(int x1, int y1, int x2, int y2, int color, int xorMode = 0);

  // Presentation through the platform's presenter.
  void SetFlipPos(int x, int y, int scale);
  int Flip(IPagePresenter& presenter) const;
  int FlipToGDI(IPagePresenter& presenter, int x, int y, int scale);
  int StretchFlip(IPagePresenter& presenter, const PageRect* target, const PageRect* source) const;
  void ToPagePos(int windowX, int windowY, int& pageX, int& pageY) const;
  // The page's pixels as a view: RGB555 for 16-bit pages, palette indices
  // with the page's palette for 8-bit ones; empty for the other depths,
  // which are drawn into but never shown.
  PixelView View() const;

  int SaveToBitmap(const std::filesystem::path& path) const;
  int SaveToJpeg(const std::filesystem::path& path, int quality) const;

  std::uint16_t* Bits16() const { return bitsPerPixel == 16 ? reinterpret_cast<std::uint16_t*>(bits) : nullptr; }
  std::uint8_t* Bits8() const { return bitsPerPixel == 8 ? bits : nullptr; }

  // Fields, as the rest of the client reads them.
  Palette256 palette{};
  std::uint8_t* bits = nullptr;
  int pitchBytes = 0;
  int pitch = 0;  // row stride in pixels
  int width = 0;
  int height = 0;
  std::uint16_t bitsPerPixel = 8;
  int bytesPerPixel = 1;
  int paletteEntries = 0;
  int alphaLoaded = 0;
  int tempClipOn = 0;
  PageRect tempClip;
  int mirrorX = 0;
  int attached = 0;
  int flipX = 0;
  int flipY = 0;
  int flipScale = 1;

 private:
  bool SelectClip(int& flags);
  void SyncLibrary() const;
  int Draw16(int x, int y, const SPRITE30& frame, int flags, int level, int color);
  int Draw8(int x, int y, const SPRITE8& frame, int flags, int level, int color);
  void DefaultPalette();
  void ReleaseBitmap();

  std::vector<std::uint8_t> storage_;
};

}  // namespace tovrik::gfx
