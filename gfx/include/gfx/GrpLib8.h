#pragma once
// 8-bit palette drawing: the blit family over palette indices and the blend
// table that stands in for colour arithmetic.
//
// Blits take (x, y, frame width, frame height, page bits, frame data); the
// scaling members take the target width and height after the page bits.
// Raw frames leave index 0 out; Csp frames draw every run pixel. Glass
// members blend through the table at level 0...6 and draw nothing at level 7
// or more, or when no table is loaded.

#include <cstdint>
#include <filesystem>
#include <span>

#include "gfx/Palette.h"

namespace tovrik::gfx {

inline constexpr int kAlphaLevels = 7;
inline constexpr int kAlphaTableSize = kAlphaLevels * 256 * 256;  // 0x70000

// The blend table, kAlphaTableSize bytes: entry [level][d][s] at
// level x 65536 + d x 256 + s. Null until created or loaded.
extern std::uint8_t* _pAlpha;
inline int ALPHA_STARTVAL = 0;
inline int ALPHA_ENDVAL = 255;

void CreateAlphaTable8();
void ClearAlphaTable8();
void InitAlphaTable8(std::span<const PaletteEntry> palette, int first, int last);
// 1; -1 the file cannot be created; -2 no table.
int SaveAlphaTable8(const std::filesystem::path& path);
// 1; -1 the file cannot be opened; -2 the header text is not "Alpha Table";
// -3 the file ends before the table does (what was there is kept).
int LoadAlphaTable8(const std::filesystem::path& path);
int FindBlendColor(int a, int b, std::span<const PaletteEntry> palette, int level);
int NearColor(int r, int g, int b, std::span<const PaletteEntry> palette);

#define TOVRIK_GFX_DECLARE_8BIT(G)                                                                                   \
  void PutSpr##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src);                       \
  void PutSprMono##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src, int color);        \
  void PutSprGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src, int level);       \
  void PutSprMonoGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src, int color,    \
                             int level);                                                                             \
  void PutCsp##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src);                       \
  void PutCspMono##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src, int color);        \
  void PutCspGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src, int level);       \
  void PutCspMonoGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, const std::uint8_t* src, int color,    \
                             int level);                                                                             \
  void LowZoomSpr##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th, const std::uint8_t* src);   \
  void LowZoomSprMono##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th,                         \
                            const std::uint8_t* src, int color);                                                     \
  void LowZoomSprGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th,                        \
                             const std::uint8_t* src, int level);                                                    \
  void LowZoomSprMonoGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th,                    \
                                 const std::uint8_t* src, int color, int level);                                     \
  void LowZoomCsp##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th, const std::uint8_t* src);   \
  void LowZoomCspMono##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th,                         \
                            const std::uint8_t* src, int color);                                                     \
  void LowZoomCspGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th,                        \
                             const std::uint8_t* src, int level);                                                    \
  void LowZoomCspMonoGlass##G##8(int x, int y, int w, int h, std::uint8_t* dest, int tw, int th,                    \
                                 const std::uint8_t* src, int color, int level);
TOVRIK_GFX_DECLARE_8BIT()
TOVRIK_GFX_DECLARE_8BIT(LR)
TOVRIK_GFX_DECLARE_8BIT(UD)
TOVRIK_GFX_DECLARE_8BIT(UDLR)
#undef TOVRIK_GFX_DECLARE_8BIT

// Rectangles (corners in any order, clamped to the clip rectangle).
void FillBox8(int x1, int y1, int x2, int y2, std::uint8_t* dest, int color);
void FillBoxGlass8(int x1, int y1, int x2, int y2, std::uint8_t* dest, int color, int level);
void DrawHLine8(int x, int y, int length, std::uint8_t* dest, int color);
void DrawVLine8(int x, int y, int length, std::uint8_t* dest, int color);
void DrawBox8(int x1, int y1, int x2, int y2, std::uint8_t* dest, int color);

}  // namespace tovrik::gfx
