#pragma once
// 16-bit pixel layouts and the converters between them. The engine works in
// RGB555 (red bits 10-14, green 5-9, blue 0-4, bit 15 unused).

#include <cstdint>

namespace tovrik::gfx {

// Layout codes as stored in sprite files.
inline constexpr int kLayout555 = 555;
inline constexpr int kLayout565 = 565;
inline constexpr int kLayoutBGR565 = -565;
inline constexpr int kLayout4444 = 4444;  // never converted

constexpr std::uint16_t RGB555_TO_RGB565(std::uint16_t c) {
  return static_cast<std::uint16_t>((c & 0x7C00) << 1 | (c & 0x03E0) << 1 | (c & 0x001F));
}
constexpr std::uint16_t RGB565_TO_RGB555(std::uint16_t c) {
  return static_cast<std::uint16_t>((c & 0xF800) >> 1 | (c & 0x07C0) >> 1 | (c & 0x001F));
}
constexpr std::uint16_t RGB555_TO_BGR565(std::uint16_t c) {
  return static_cast<std::uint16_t>((c & 0x001F) << 11 | (c & 0x03E0) << 1 | (c & 0x7C00) >> 10);
}
constexpr std::uint16_t RGB565_TO_BGR565(std::uint16_t c) {
  return static_cast<std::uint16_t>((c & 0x001F) << 11 | (c & 0x07E0) | (c & 0xF800) >> 11);
}

// 8-bit channels to RGB555.
constexpr std::uint16_t RGB555(int r, int g, int b) {
  return static_cast<std::uint16_t>((r / 8) << 10 | (g / 8) << 5 | (b / 8));
}

// Channels of an RGB555 word.
constexpr int Red555(std::uint16_t c) { return c >> 10 & 31; }
constexpr int Green555(std::uint16_t c) { return c >> 5 & 31; }
constexpr int Blue555(std::uint16_t c) { return c & 31; }

}  // namespace tovrik::gfx
