#pragma once
// RIFF WAVE reading for the effect buffers and the fallback player. The
// header is checked against the real file size before anything is read, so a
// truncated or hostile file is refused instead of read past its end.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tovrik::sound {

inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr uint16_t kWaveFormatIeeeFloat = 3;
inline constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

// The "fmt " chunk, with an extensible format already reduced to its
// sub-format tag.
struct WaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
};

// Where the sample data lies in the file image.
struct WaveLayout {
  WaveFormat format;
  size_t dataOffset = 0;
  size_t dataSize = 0;  // whole sample frames only
};

// Checks a whole file image. On failure returns false and says why in `error`.
bool ParseWave(std::span<const uint8_t> image, WaveLayout& layout, std::string& error);

class xWaveFile {
 public:
  // Sound effects are short; anything bigger is not one of ours.
  static constexpr uintmax_t kMaxFileSize = 64u << 20;

  // 1 when the file was read and is a well-formed WAVE we can play, else 0
  // (see LastError()).
  int Open(const std::filesystem::path& file);
  void Close();
  bool IsOpen() const { return open_; }

  const WaveFormat& GetFormat() const { return layout_.format; }
  size_t GetSize() const { return layout_.dataSize; }  // bytes of sample data
  size_t GetPosition() const { return position_; }

  // Copies sample data from the read position on; returns the bytes copied
  // (fewer than asked at the end of the data).
  size_t Read(std::span<uint8_t> out);
  void ResetFile() { position_ = 0; }

  // All sample data, independent of the read position.
  std::span<const uint8_t> Data() const;

  const std::string& LastError() const { return error_; }

 private:
  std::vector<uint8_t> image_;
  WaveLayout layout_;
  size_t position_ = 0;
  bool open_ = false;
  std::string error_;
};

}  // namespace tovrik::sound
