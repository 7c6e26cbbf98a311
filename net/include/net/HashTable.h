#pragma once
// The scrambling table shared by the client and our server. Changing a single
// value breaks every frame exchanged with a server that uses the old table.

#include <array>
#include <cstdint>

namespace tovrik::net {

extern const std::array<std::int8_t, 256> g_GHashTable;

// The table byte at (seqNo + offset) mod 256, as a signed value.
inline int HashByte(std::uint16_t seqNo, int offset)
{
    return g_GHashTable[static_cast<std::uint8_t>(seqNo + offset)];
}

}  // namespace tovrik::net
