#pragma once
// The program's own 12-bit LZW: codes 0-255 are single bytes, 256-4094 are
// dictionary entries and 4095 ends the stream; codes are packed most
// significant bit first.

#include <array>
#include <cstdint>

#include "net/Compress.h"

namespace tovrik::net {

class CLZW : public CCompress {
public:
    static constexpr int kTableSize = 5021;  // a prime, for the probe sequence
    static constexpr int kStackSize = 4000;
    static constexpr int kEndCode = 4095;
    static constexpr int kMaxCode = 4094;

    int Compress(const char* source, int sourceLen, char* dest, int destCapacity) override;
    int Decompress(const char* source, int sourceLen, char* dest, int destCapacity) override;

private:
    struct Entry {
        int code = -1;
        int prefix = 0;
        std::uint8_t character = 0;
    };

    void Clear();
    int FindMatch(int prefix, int character) const;
    bool OutputCode(int code);
    int InputCode();
    // Pushes the bytes of `code` on the decode stack from `depth` on; returns
    // the new depth, or -1 when the chain does not fit the stack.
    int DecodeString(int depth, int code);

    std::array<Entry, kTableSize> m_Table{};
    std::array<std::uint8_t, kStackSize> m_Stack{};
    std::uint32_t m_BitBuffer = 0;
    int m_BitCount = 0;
    int m_OutCount = 0;

    // The stream being read or written by the current call.
    const std::uint8_t* m_pIn = nullptr;
    int m_InLen = 0;
    int m_InPos = 0;
    std::uint8_t* m_pOut = nullptr;
    int m_OutCapacity = 0;
};

}  // namespace tovrik::net
