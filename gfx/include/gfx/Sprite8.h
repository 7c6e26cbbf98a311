#pragma once
// 8-bit sprite sets: palette-index frames (index 0 is transparent in raw
// frames), raw or run-length encoded, in the same container as 16-bit sets.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "gfx/Sprite.h"

namespace tovrik::gfx {

struct SPRHEADER8 {
  std::array<char, 16> id{};
  std::int16_t carried0 = 0;
  std::int16_t frameCount = 0;
  std::int32_t carried1 = 0;
};

struct SPRITE8 {
  std::uint32_t compress = 0;
  std::uint8_t colorKey = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t offsetX = 0;
  std::int32_t offsetY = 0;
  std::int32_t centerX = 0;
  std::int32_t centerY = 0;
  std::int32_t box1Count = 0;
  std::int32_t box2Count = 0;
  std::int32_t dataSize = 0;
  std::vector<SPRBOX> box1;
  std::vector<SPRBOX> box2;
  std::vector<std::uint8_t> data;

  bool IsDrawable() const;
};

class CSprite8 {
 public:
  CSprite8() = default;
  CSprite8(const CSprite8&) = delete;
  CSprite8& operator=(const CSprite8&) = delete;
  CSprite8(CSprite8&&) = default;
  CSprite8& operator=(CSprite8&&) = default;

  // 1 on success, 0 on failure. Frames read before a failure stay; frames
  // whose pixel data is unusable are cleared and also make the result 0.
  int Load(const std::filesystem::path& path);
  int LoadFromMemory(std::span<const std::uint8_t> bytes);
  int Save(const std::filesystem::path& path) const;
  std::vector<std::uint8_t> SaveToMemory() const;
  void Remove();

  // Adds a frame at index (0...count) built from width x height indices,
  // run-length encoded with `colorKey` left out when compress is non-zero.
  // Offsets are 0 and the hot spot is the image centre. Returns 1 or 0.
  int Insert(int index, int width, int height, std::vector<std::uint8_t>&& pixels, std::uint8_t colorKey,
             int compress);

  int FrameCount() const { return static_cast<int>(frames_.size()); }
  SPRITE8* Frame(int index);
  const SPRITE8* Frame(int index) const;
  const SPRHEADER8& Header() const { return header_; }

 private:
  bool LoadFrame(base::ByteReader& in, SPRITE8& frame, bool& corrupt);

  SPRHEADER8 header_;
  std::vector<SPRITE8> frames_;
};

}  // namespace tovrik::gfx
