#pragma once
// Saves the composed picture of the game window as a JPEG file.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "gfx/Page.h"

namespace tovrik::gfx {

inline constexpr int kCaptureQuality = 88;
inline constexpr std::uint32_t kCaptureMinIntervalMs = 50;

// Refuses captures that follow the previous successful one by less than
// 50 ms, so that key repeat cannot write a burst of files.
class CaptureRateLimiter {
 public:
  bool Allows(std::uint32_t nowMs);
  void Succeeded(std::uint32_t nowMs) { last_ = nowMs; }

 private:
  bool started_ = false;
  std::uint32_t last_ = 0;
};

// Writes `frame` (the window's composed picture: RGB555, or 8-bit with its
// palette) to directory/name as a JPEG of quality 88. Returns 1 when a file
// was written, 0 for no frame, an empty frame, a capture inside the rate
// limit, or a failed write. nowMs is a millisecond clock.
int ScreenCapture(const PixelView* frame, const std::filesystem::path& directory, std::string_view name,
                  std::uint32_t nowMs);
// The same on the process-wide steady clock.
int ScreenCapture(const PixelView* frame, const std::filesystem::path& directory, std::string_view name);

}  // namespace tovrik::gfx
