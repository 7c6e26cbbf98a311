#pragma once
// The payload codecs. Codec ids: 1 LZW, 2 LZO, 3 QuickLZ, 4 zlib; an id of
// 10 or more is divided by 10 first (frames carry 10 x id). Codec objects are
// large, so they come from one pool per codec instead of being created per
// frame.

namespace tovrik::net {

class CCompress {
public:
    virtual ~CCompress() = default;
    // Both return the number of bytes written to `dest`, or 0 on failure.
    // Neither ever writes more than `destCapacity` bytes nor reads more than
    // `sourceLen` bytes: a result that would not fit is a failure.
    virtual int Compress(const char* source, int sourceLen, char* dest, int destCapacity) = 0;
    virtual int Decompress(const char* source, int sourceLen, char* dest, int destCapacity) = 0;
};

// A codec object from the pool of `id`, or null for an id without a codec.
CCompress* GetCompress(int id);
// Gives an object from GetCompress back to the pool of `id`.
void FreeCompress(int id, CCompress* codec);

// Take a codec for `id`, run it, give it back. `*len` holds the capacity of
// `dest` on entry and the output length (0 on failure or for an id without a
// codec) on return; the output length is also returned.
int UtilCompress(int id, char* dest, int* len, const char* source, int sourceLen);
int UtilDecompress(int id, char* dest, int* len, const char* source, int sourceLen);

}  // namespace tovrik::net
