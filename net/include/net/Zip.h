#pragma once
// zlib streams through zlib's one-shot compress and uncompress.

#include "net/Compress.h"

namespace tovrik::net {

class CZIP : public CCompress {
public:
    int Compress(const char* source, int sourceLen, char* dest, int destCapacity) override;
    int Decompress(const char* source, int sourceLen, char* dest, int destCapacity) override;
};

}  // namespace tovrik::net
