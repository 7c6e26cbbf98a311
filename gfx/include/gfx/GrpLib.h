#pragma once
// The drawing library: one global state (current page geometry, clip
// rectangle, row kernels, blend tables) shared by every blit, and the 16-bit
// blit family. All drawing happens on one thread; CPage sets the state before
// each call.
//
// Blits take the frame's top-left (x, y) on the page, its width and height,
// the page's pixels (row stride _LPITCH pixels) and the frame's data. Csp data
// must be drawable (CspIsDrawable16); raw data must hold width x height words.

#include <cstdint>

namespace tovrik::gfx {

// Current page: width, height, row stride in pixels.
inline int _MXL = 0;
inline int _MYL = 0;
inline int _LPITCH = 0;
// Clip rectangle (inclusive) and its size.
inline int _CX1 = 0;
inline int _CY1 = 0;
inline int _CX2 = -1;
inline int _CY2 = -1;
inline int _CXL = 0;
inline int _CYL = 0;

using ChannelPacker = std::uint16_t (*)(int r, int g, int b);
inline ChannelPacker RGBmix = nullptr;

// Row kernels: n pixels of src laid over dst. The Rvrs forms write src
// reversed (src[0] lands on dst[n - 1]).
using RowKernel = void (*)(std::uint16_t* dst, const std::uint16_t* src, int n);
using LevelRowKernel = void (*)(std::uint16_t* dst, const std::uint16_t* src, int n, int level);
using ColorRowKernel = void (*)(std::uint16_t* dst, const std::uint16_t* src, int n, std::uint16_t color, int level);
using KeyLevelRowKernel = void (*)(std::uint16_t* dst, const std::uint16_t* src, int n, std::uint16_t key, int level);
inline RowKernel MemCpyHB = nullptr;
inline RowKernel RvrsCpyHB = nullptr;
inline RowKernel MemCpyAnti = nullptr;
inline ColorRowKernel MemCpyGlow = nullptr;
inline ColorRowKernel RvrsCpyGlow = nullptr;
inline RowKernel MemCpyGrayscl = nullptr;
inline RowKernel RvrsCpyGrayscl = nullptr;
inline LevelRowKernel MemCpyGB = nullptr;
inline LevelRowKernel RvrsCpyGB = nullptr;
inline RowKernel MemCpyLE = nullptr;
inline RowKernel RvrsCpyLE = nullptr;
inline RowKernel MemCpyDE = nullptr;
inline RowKernel RvrsCpyDE = nullptr;
inline KeyLevelRowKernel ColorKeyMemCpyGB = nullptr;

// Blend tables, [source channel][page channel]; the _G tables leave room for
// a 6-bit green.
extern std::uint16_t B[32][32], G[64][64], R[32][32];
extern std::uint16_t LIGHT_B[32][32], LIGHT_G[64][64], LIGHT_R[32][32];
extern std::uint16_t DARK_B[32][32], DARK_G[64][64], DARK_R[32][32];
inline bool g_bInitedAlphaTable = false;

// Records the page geometry and resets the clip to the whole page. Only the
// RGB555 kernels exist: every page of this client is 555, so a request for
// 565 is recorded and drawn with them as well.
int InitGrpLib(int width, int height, int pitch, int format);
// Sets the clip rectangle; corners are ordered and clamped to the page.
void SetClipArea(int x1, int y1, int x2, int y2);
void InitAlphaTable(int format);
void RemoveGrpLib();

// Raw frames.
void _PutSpr(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src, std::uint16_t key);
void _PutSpr_GB(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src, std::uint16_t key,
                int level);
void _PutImage(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src);
void _PutImage_GB(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src, int level);

// Csp frames: as is, mirrored left-right (LR), flipped top-bottom (UD).
#define TOVRIK_GFX_DECLARE_CSP_FAMILY(Geometry)                                                                      \
  void _PutCsp##Geometry(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src);                \
  void _PutCsp##Geometry##_HB(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src);           \
  void _PutCsp##Geometry##_GB(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src, int level); \
  void _PutCsp##Geometry##_Glow(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src,          \
                                std::uint16_t color, int level);                                                     \
  void _PutCsp##Geometry##_Grayscl(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src);      \
  void _PutCsp##Geometry##_Mono(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src,          \
                                std::uint16_t color);                                                                \
  void _PutCsp##Geometry##_LE(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src);           \
  void _PutCsp##Geometry##_DE(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src);
TOVRIK_GFX_DECLARE_CSP_FAMILY()
TOVRIK_GFX_DECLARE_CSP_FAMILY(LR)
TOVRIK_GFX_DECLARE_CSP_FAMILY(UD)
#undef TOVRIK_GFX_DECLARE_CSP_FAMILY
void _PutCsp_Anti(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src);

// Scales a Csp frame to tw x th (copy kernel).
void _ZoomCsp(int x, int y, int w, int h, std::uint16_t* dest, const std::uint16_t* src, int tw, int th);

// Rectangles (inclusive corners in any order), clamped to the clip rectangle.
void FillBox(int x1, int y1, int x2, int y2, std::uint16_t* dest, std::uint16_t color);
void FillBoxGB(int x1, int y1, int x2, int y2, std::uint16_t* dest, std::uint16_t color, int level);

// Outlines, clipped to the clip rectangle.
void DrawHLine(int x, int y, int length, std::uint16_t* dest, std::uint16_t color);
void DrawVLine(int x, int y, int length, std::uint16_t* dest, std::uint16_t color);
void DrawHLineXOR(int x, int y, int length, std::uint16_t* dest);
void DrawVLineXOR(int x, int y, int length, std::uint16_t* dest);
void DrawLine(int x1, int y1, int x2, int y2, std::uint16_t* dest, std::uint16_t color);

}  // namespace tovrik::gfx
