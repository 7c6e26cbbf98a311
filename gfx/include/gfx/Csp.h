#pragma once
// The run-length ("Csp") form of sprite frames.
//
// 16-bit form: a row table of `height` uint32 entries (each the position of
// the row's record in 16-bit words from the start of the data), then per row:
// uint16 run count, and runs of uint16 skip, uint16 length, `length` pixels.
// 8-bit form: the row table holds byte offsets; a row record is an int16 run
// count and runs of uint8 skip, uint8 length, `length` index bytes.

#include <cstdint>
#include <span>
#include <vector>

namespace tovrik::gfx {

// The encoder keeps at most this many runs in one row.
inline constexpr int kMaxRunsPerRow = 1024;

// Encodes width x height pixels with `key` as the transparent colour into
// `out`; returns the byte size of the result, 0 on failure (out is cleared).
int EncodeSpr0(std::span<const std::uint16_t> pixels, int width, int height, std::vector<std::uint16_t>& out,
               std::uint16_t key);

// Fills dst (width x height) with key and copies every run to its place.
// Walks the records in order from the end of the row table. Returns false
// (dst left filled with key) when a record does not fit the source or a row
// runs past `width`.
bool DecodeSpr0(std::span<std::uint16_t> dst, int width, int height, std::span<const std::uint16_t> src,
                std::uint16_t key);

// 8-bit twins. Index `key` pixels are left out; runs longer than 255 are split.
int EncodeSpr8(std::span<const std::uint8_t> pixels, int width, int height, std::vector<std::uint8_t>& out,
               std::uint8_t key);
bool DecodeSpr8(std::span<std::uint8_t> dst, int width, int height, std::span<const std::uint8_t> src,
                std::uint8_t key);

// True when every row that the row table names lies inside `data` and no row
// runs past `width`: the condition under which the blits may walk the frame
// without further checks.
bool CspIsDrawable16(std::span<const std::uint16_t> data, int width, int height);
bool CspIsDrawable8(std::span<const std::uint8_t> data, int width, int height);

}  // namespace tovrik::gfx
