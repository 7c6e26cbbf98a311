#pragma once
// Effect flags of CPage::PutSprAuto and CPage::ZoomSprAuto.

namespace tovrik::gfx {

inline constexpr int SPR_LR = 0x0001;        // mirror left-right within the frame's box
inline constexpr int SPR_UD = 0x0002;        // flip top-bottom within the frame's box
inline constexpr int SPR_HB = 0x0004;        // 50 % blend with the page
inline constexpr int SPR_GB = 0x0008;        // translucency (8-bit pages: glass through the blend table)
inline constexpr int SPR_GLOW = 0x0010;      // tint toward the colour (8-bit pages: mono)
inline constexpr int SPR_GRAYSCL = 0x0020;   // grey
inline constexpr int SPR_MONO = 0x0040;      // every opaque pixel in the colour
inline constexpr int SPR_ANTI = 0x0080;      // soften run edges
inline constexpr int SPR_LE = 0x0100;        // lighten the page
inline constexpr int SPR_DE = 0x0200;        // darken the page
inline constexpr int SPR_RXY = 0x0400;       // add the frame's offsets to the position
inline constexpr int SPR_CENTER = 0x0800;    // zoom: the position is the centre of the scaled image
inline constexpr int SPR_PERCENT = 0x1000;   // zoom: target size in percent of the frame size
inline constexpr int SPR_MIRROR = 0x2000;    // mirror about the page's mirrorX axis
inline constexpr int SPR_TEMPCLIP = 0x4000;  // clip to the page's temporary clip rectangle

// The 8-bit meanings of bits 0x08 and 0x10.
inline constexpr int SPR8_GLASS = SPR_GB;
inline constexpr int SPR8_MONO = SPR_GLOW;

}  // namespace tovrik::gfx
