#include "controls/BitmapResource.h"

#include <string>

#include "base/Log.h"
#include "platform/PathResolver.h"

namespace tovrik::controls {

std::filesystem::path BitmapResourcePath(int id, const std::filesystem::path& programDir) {
  return platform::ResolvePath(".\\image\\bitmap" + std::to_string(id) + ".bmp", programDir);
}

bool LoadBitmapResource(int id, gfx::xBitmap& bitmap, const std::filesystem::path& programDir) {
  const std::filesystem::path path = BitmapResourcePath(id, programDir);
  if (bitmap.Load(path)) return true;
  base::Log(base::LogLevel::Error, "controls", "bitmap ", id, " (", path.string(), "): ", bitmap.LastError());
  return false;
}

platform::PixelView ViewOf(const gfx::xBitmap& bitmap) {
  if (!bitmap.IsLoaded()) return {};
  // Views name mutable memory; sources are only ever read through them.
  auto* pixels = const_cast<std::uint16_t*>(bitmap.Pixels().data());
  return {pixels, bitmap.Width(), bitmap.Height(), bitmap.Width() * 2, platform::PixelFormat::Rgb555, nullptr};
}

}  // namespace tovrik::controls
