// Feeds arbitrary bytes to both sprite loaders and decodes every frame that
// they keep: nothing may read outside the file or the frame data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "gfx/Csp.h"
#include "gfx/Sprite.h"
#include "gfx/Sprite8.h"

using namespace tovrik::gfx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  xSprite set16;
  set16.LoadFromMemory(bytes, 565);
  for (int i = 0; i < set16.FrameCount(); ++i) {
    const SPRITE30& f = *set16.Frame(i);
    if (f.compress == 1 && f.IsDrawable() && f.width * f.height <= (1 << 20)) {
      std::vector<std::uint16_t> pixels(static_cast<std::size_t>(f.width) * f.height);
      DecodeSpr0(pixels, f.width, f.height, f.data, f.colorKey);
    }
  }
  set16.ValidCheck();

  CSprite8 set8;
  set8.LoadFromMemory(bytes);
  for (int i = 0; i < set8.FrameCount(); ++i) {
    const SPRITE8& f = *set8.Frame(i);
    if (f.compress == 1 && f.IsDrawable() && f.width * f.height <= (1 << 20)) {
      std::vector<std::uint8_t> pixels(static_cast<std::size_t>(f.width) * f.height);
      DecodeSpr8(pixels, f.width, f.height, f.data, f.colorKey);
    }
  }
  return 0;
}
