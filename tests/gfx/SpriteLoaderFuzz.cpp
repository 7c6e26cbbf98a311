// Feeds arbitrary bytes to both sprite loaders, then decodes and draws every
// frame that they keep: nothing may read outside the file or the frame data,
// nor write outside the page.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "gfx/Csp.h"
#include "gfx/Page.h"
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
  CPage page16;
  page16.Init(64, 48, 16);
  for (int i = 0; i < set16.FrameCount() && i < 8; ++i) {
    for (const int flags : {0, SPR_LR, SPR_UD, SPR_GB, SPR_ANTI}) page16.PutSprAuto(-3, 5, &set16, i, flags, 9, 0x1F);
    page16.ZoomSprAuto(60, -2, &set16, i, 37, 29, 0);
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
  CPage page8;
  page8.Init(64, 48, 8);
  for (int i = 0; i < set8.FrameCount() && i < 8; ++i) {
    for (const int flags : {0, SPR_LR | SPR_UD, SPR8_MONO}) page8.PutSprAuto(50, -4, &set8, i, flags, 0, 3);
    page8.ZoomSprAuto(-7, 20, &set8, i, 23, 71, SPR_LR);
  }
  return 0;
}
