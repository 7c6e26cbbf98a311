#pragma once
// The byte transform of frame scrambling, kept apart so that it can run on
// whole vector registers: it runs over every byte of every frame.

#include <cstddef>
#include <cstdint>

namespace tovrik::net {

// b = (b + add) XOR mask for every byte; returns the sum of (b AND 0x5F)
// over the plain bytes (mod 2^32).
std::uint32_t ScrambleBytes(unsigned char* data, std::size_t count, std::uint8_t add, std::uint8_t mask);

// b = (b XOR mask) - add for every byte; returns the sum of (b AND 0x5F)
// over the restored bytes (mod 2^32).
std::uint32_t UnscrambleBytes(unsigned char* data, std::size_t count, std::uint8_t add, std::uint8_t mask);

}  // namespace tovrik::net
