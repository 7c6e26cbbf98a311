#pragma once
// The pictures: the game page's 8-bit sets and the screens' 16-bit sets and
// bitmaps. Each returns the finished file bytes.

#include <cstdint>
#include <string_view>
#include <vector>

#include "assetgen/Manifest.h"

namespace tovrik::assetgen {

// The sets of the game page, by file name ("GameBack8.spr"); empty when the
// name is not one of them.
std::vector<std::uint8_t> GameSpriteFile(std::string_view fileName);

// 16-bit sets and bitmaps of the screens, shaped by their manifest entry.
std::vector<std::uint8_t> ScreenSpriteFile(const AssetEntry& entry);
std::vector<std::uint8_t> ScreenBitmapFile(const AssetEntry& entry);

// The program's window icon, 32-bit with alpha, at the entry's size.
std::vector<std::uint8_t> ProgramIconFile(const AssetEntry& entry);

// Sounds by file name ("hitstone.wav"); empty when unknown.
std::vector<std::uint8_t> SoundFile(std::string_view fileName);

}  // namespace tovrik::assetgen
