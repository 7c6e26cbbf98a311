#include "gfx/ScreenCapture.h"

#include <cstring>

#include "gfx/PixelFormat.h"

namespace tovrik::gfx {

namespace {

CaptureRateLimiter& SharedLimiter() {
  static CaptureRateLimiter limiter;
  return limiter;
}

std::uint16_t ToRgb555(const PaletteEntry& e) { return RGB555(e.red, e.green, e.blue); }

// Copies the frame into a 16-bit page, converting palette pixels.
bool CopyToPage(const PixelView& frame, CPage& page) {
  if (!frame.IsValid() || !page.Init(frame.width, frame.height, 16)) return false;
  for (int y = 0; y < frame.height; ++y) {
    std::uint16_t* dst = page.Bits16() + static_cast<std::ptrdiff_t>(y) * page.pitch;
    if (frame.format == PixelFormat::Rgb555) {
      std::memcpy(dst, frame.Row16(y), static_cast<std::size_t>(frame.width) * 2);
    } else {
      const std::uint8_t* src = frame.Row8(y);
      for (int x = 0; x < frame.width; ++x) dst[x] = ToRgb555((*frame.palette)[src[x]]);
    }
  }
  return true;
}

}  // namespace

bool CaptureRateLimiter::Allows(std::uint32_t nowMs) {
  if (!started_) {
    // Before the first capture the previous one counts as 100 ms ago.
    started_ = true;
    last_ = nowMs - 100;
  }
  return nowMs - last_ >= kCaptureMinIntervalMs;
}

int ScreenCapture(const PixelView* frame, const std::filesystem::path& directory, std::string_view name,
                  std::uint32_t nowMs) {
  if (!frame || !frame->pixels) return 0;
  CaptureRateLimiter& limiter = SharedLimiter();
  if (!limiter.Allows(nowMs)) return 0;
  if (frame->width <= 0 || frame->height <= 0 || name.empty()) return 0;
  CPage page;
  if (!CopyToPage(*frame, page)) return 0;
  if (!page.SaveToJpeg(directory / std::filesystem::path(name), kCaptureQuality)) return 0;
  limiter.Succeeded(nowMs);
  return 1;
}

int ScreenCapture(const PixelView* frame, const std::filesystem::path& directory, std::string_view name) {
  static const auto start = std::chrono::steady_clock::now();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  return ScreenCapture(frame, directory, name, static_cast<std::uint32_t>(ms.count()));
}

}  // namespace tovrik::gfx
