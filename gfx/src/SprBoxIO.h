#pragma once
// Hit boxes are stored the same way in both sprite file forms: six
// little-endian 16-bit values each.

#include <vector>

#include "base/ByteIO.h"
#include "gfx/Sprite.h"

namespace tovrik::gfx::detail {

inline constexpr std::size_t kSprBoxSize = 12;

// Reads `count` boxes; false for a negative count or one the input cannot hold.
inline bool ReadBoxes(base::ByteReader& in, int count, std::vector<SPRBOX>& boxes) {
  if (count < 0 || static_cast<std::size_t>(count) * kSprBoxSize > in.Remaining()) return false;
  boxes.resize(static_cast<std::size_t>(count));
  for (auto& b : boxes) {
    in.I16(b.carried0), in.I16(b.left), in.I16(b.top), in.I16(b.right), in.I16(b.bottom), in.I16(b.carried1);
  }
  return !in.Failed();
}

inline void WriteBoxes(base::ByteWriter& out, const std::vector<SPRBOX>& boxes) {
  for (const auto& b : boxes) {
    out.I16(b.carried0), out.I16(b.left), out.I16(b.top), out.I16(b.right), out.I16(b.bottom), out.I16(b.carried1);
  }
}

}  // namespace tovrik::gfx::detail
