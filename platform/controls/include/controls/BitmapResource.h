#pragma once
// Numbered bitmap resources: resource n is the file ".\image\bitmap<n>.bmp"
// beside the program, read with the bounded bitmap reader.

#include <filesystem>

#include "gfx/Bitmap.h"
#include "platform/Surface.h"

namespace tovrik::controls {

// The file of resource `id` below `programDir`, letter case ignored.
std::filesystem::path BitmapResourcePath(int id, const std::filesystem::path& programDir = ".");

// Loads resource `id` into `bitmap`; a missing or unreadable file is logged
// with its path and the reader's reason, and leaves no image.
bool LoadBitmapResource(int id, gfx::xBitmap& bitmap, const std::filesystem::path& programDir = ".");

// A read-only view of a loaded bitmap's pixels (RGB555), for blits and for
// cutting a window shape; invalid when nothing is loaded. Valid while the
// bitmap keeps its image.
platform::PixelView ViewOf(const gfx::xBitmap& bitmap);

}  // namespace tovrik::controls
