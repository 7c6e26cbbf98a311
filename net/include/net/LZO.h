#pragma once
// LZO1X over liblzo2: LZO1X-1 to compress, the checked LZO1X decompressor.

#include <memory>

#include "net/Compress.h"

namespace tovrik::net {

class CLZO : public CCompress {
public:
    CLZO();
    ~CLZO() override;

    int Compress(const char* source, int sourceLen, char* dest, int destCapacity) override;
    int Decompress(const char* source, int sourceLen, char* dest, int destCapacity) override;

    // LZO1X-1 never checks its output space; it needs this much.
    static int WorstCaseSize(int sourceLen) { return sourceLen + sourceLen / 16 + 64 + 3; }

private:
    std::unique_ptr<unsigned char[]> m_pWork;
};

}  // namespace tovrik::net
