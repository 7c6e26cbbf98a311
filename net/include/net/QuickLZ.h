#pragma once
// QuickLZ 1.5.0 streams (no streaming buffer): the flags byte, the 3-byte and
// 9-byte size headers, level 1 and level 3 decompression, level 1
// compression. Every read is bounded by the input and every write by the
// output capacity: corrupt input fails with length 0.

#include <array>
#include <cstdint>
#include <vector>

#include "net/Compress.h"

namespace tovrik::net {

class QuickLZ : public CCompress {
public:
    // Streams shorter than this use the 1-byte size fields.
    static constexpr int kShortInputLimit = 216;
    // A compressor needs this many bytes beyond the input size.
    static constexpr int kOutputOverhead = 400;

    int Compress(const char* source, int sourceLen, char* dest, int destCapacity) override;
    // Returns the decompressed size from the header once the stream decoded
    // completely into `dest`, or 0.
    int Decompress(const char* source, int sourceLen, char* dest, int destCapacity) override;

    // The decompressed size named by a stream's header, or -1 when the header
    // is incomplete.
    static std::int64_t SizeDecompressed(const char* source, int sourceLen);

private:
    static constexpr int kHashSize = 4096;

    int CompressLevel1(const std::uint8_t* in, int size, std::uint8_t* out);
    int DecodeLevel1(const std::uint8_t* in, int inEnd, int pos, std::uint8_t* out, int size);
    static int DecodeLevel3(const std::uint8_t* in, int inEnd, int pos, std::uint8_t* out, int size);

    std::array<int, kHashSize> m_Hash{};
    std::vector<std::uint8_t> m_Scratch;
};

}  // namespace tovrik::net
