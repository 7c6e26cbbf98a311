#pragma once
// 16-bit sprite sets: the ".spr" file form, the in-memory frame record
// SPRITE30, and the operations that build and edit sets.

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <vector>

#include "gfx/AniFile.h"

namespace tovrik::gfx {

// "93XYZ sprite" and its terminating zero: the 13 bytes a sprite file must
// start with (both the 16-bit and the 8-bit form).
inline constexpr std::array<char, 13> kSpriteMagic = {'9', '3', 'X', 'Y', 'Z', ' ', 's', 'p', 'r', 'i', 't', 'e', '\0'};
inline constexpr int kSpriteVersion = 30;

// A box carried with a frame (coordinates relative to the image's top-left).
struct SPRBOX {
  std::int16_t carried0 = 0;
  std::int16_t left = 0;
  std::int16_t top = 0;
  std::int16_t right = 0;
  std::int16_t bottom = 0;
  std::int16_t carried1 = 0;
  bool operator==(const SPRBOX&) const = default;
};

struct SPRHEADER {
  std::array<char, 16> id{};
  std::int16_t version = 0;
  std::int16_t bytesPerPixel = 0;
  std::int16_t pixelFormat = 0;  // 555, 565 or 4444
  std::int16_t frameCount = 0;
  std::int32_t animation = 0;  // > 0: an animation block follows the frames
};

// One 16-bit frame. `data` holds width x height pixels (compress 0) or the
// Csp form (compress 1); an empty `data` means the frame has no pixels and is
// never drawn.
struct SPRITE30 {
  std::uint32_t compress = 0;
  std::uint16_t colorKey = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t offsetX = 0;
  std::int32_t offsetY = 0;
  std::int32_t centerX = 0;
  std::int32_t centerY = 0;
  std::int32_t box1Count = 0;
  std::int32_t box2Count = 0;
  std::int32_t dataSize = 0;  // bytes
  std::uint16_t frameFormat = 0;
  std::uint8_t jpeg = 0;
  std::uint8_t jpegDither = 0;
  std::uint8_t carried = 0;
  std::vector<SPRBOX> box1;
  std::vector<SPRBOX> box2;
  std::vector<std::uint16_t> data;
  std::uint32_t reserved[2] = {0, 0};

  // The pixels may be handed to a blit: raw data covers the whole image, or
  // the Csp rows all lie inside the data.
  bool IsDrawable() const;
};

class xSprite {
 public:
  xSprite() = default;
  xSprite(const xSprite&) = delete;
  xSprite& operator=(const xSprite&) = delete;
  xSprite(xSprite&&) = default;
  xSprite& operator=(xSprite&&) = default;
  ~xSprite() = default;

  // Loads a file and converts it to `targetFormat` (555, 565 or -565; any
  // other value keeps the stored layout). Returns 1 or 0. A failure keeps the
  // frames read before it; frames whose pixel data was unusable are cleared
  // (they draw nothing) and also make the result 0.
  int Load(const std::filesystem::path& path, int targetFormat = 555);
  int LoadFromMemory(std::span<const std::uint8_t> bytes, int targetFormat = 555);
  // Writes the set in the file form (JPEG frames are written as stored now:
  // raw or Csp). Returns 1 or 0.
  int Save(const std::filesystem::path& path) const;
  std::vector<std::uint8_t> SaveToMemory() const;
  void Remove();

  int Compress(int index);
  int DeCompress(int index);
  int ChangeFixelFormat(int targetFormat);

  int NewSpace(int width, int height, std::vector<std::uint16_t>&& pixels, std::uint16_t colorKey, int compress);
  int TransToSpr(int width, int height, std::vector<std::uint16_t>&& pixels, std::uint16_t colorKey);
  int TransToSprByCopy(int width, int height, std::span<const std::uint16_t> pixels, std::uint16_t colorKey);
  int Insert(int index, int width, int height, std::vector<std::uint16_t>&& pixels, std::uint16_t colorKey,
             int compress);
  int InsertByCopy(int index, int width, int height, std::span<const std::uint16_t> pixels, std::uint16_t colorKey,
                   int compress);

  int OptimizeSize(int index, int moveOrigin);
  int ValidCheck();
  int CheckData(int index);
  void ClearSprData(int index);

  // Decodes the JPEG stream at the file's position (or at the start of the
  // bytes, or of the file at path) into RGB555 words; empty on failure.
  static std::vector<std::uint16_t> Make16bitFromJpeg(std::FILE* file, int& width, int& height, int dither);
  static std::vector<std::uint16_t> Make16bitFromJpeg(const std::filesystem::path& path, int& width, int& height,
                                                      int dither);
  static std::vector<std::uint16_t> Make16bitFromJpeg(std::span<const std::uint8_t> bytes, int& width, int& height,
                                                      int dither);

  int FrameCount() const { return static_cast<int>(frames_.size()); }
  SPRITE30* Frame(int index);
  const SPRITE30* Frame(int index) const;
  SPRHEADER& Header() { return header_; }
  const SPRHEADER& Header() const { return header_; }
  xAniFile& Animation() { return ani_; }
  const xAniFile& Animation() const { return ani_; }

 private:
  bool LoadFrame(base::ByteReader& in, SPRITE30& frame, bool& frameCorrupt);
  static std::vector<std::uint16_t> ConvertRgb24(const std::vector<std::uint8_t>& rgb, int& width, int& height,
                                                 int dither);
  static SPRITE30 MakeFrame(int width, int height, std::vector<std::uint16_t>&& pixels, std::uint16_t colorKey);

  SPRHEADER header_;
  std::vector<SPRITE30> frames_;
  xAniFile ani_;
};

}  // namespace tovrik::gfx
