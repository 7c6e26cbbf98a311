#include "net/Zip.h"

#include <zlib.h>

namespace tovrik::net {

int CZIP::Compress(const char* source, int sourceLen, char* dest, int destCapacity)
{
    if (!source || !dest || sourceLen <= 0 || destCapacity <= 0) return 0;
    uLongf produced = static_cast<uLongf>(destCapacity);
    if (compress(reinterpret_cast<Bytef*>(dest), &produced, reinterpret_cast<const Bytef*>(source),
                 static_cast<uLong>(sourceLen)) != Z_OK)
        return 0;
    return static_cast<int>(produced);
}

int CZIP::Decompress(const char* source, int sourceLen, char* dest, int destCapacity)
{
    if (!source || !dest || sourceLen <= 0 || destCapacity <= 0) return 0;
    uLongf produced = static_cast<uLongf>(destCapacity);
    if (uncompress(reinterpret_cast<Bytef*>(dest), &produced, reinterpret_cast<const Bytef*>(source),
                   static_cast<uLong>(sourceLen)) != Z_OK)
        return 0;
    return static_cast<int>(produced);
}

}  // namespace tovrik::net
