#include "net/LZO.h"

#include <lzo/lzo1x.h>

#include <cstring>
#include <vector>

namespace tovrik::net {

namespace {
bool LzoReady()
{
    static const bool ready = lzo_init() == LZO_E_OK;
    return ready;
}
}  // namespace

CLZO::CLZO()
    : m_pWork(new unsigned char[LZO1X_1_MEM_COMPRESS])
{
}

CLZO::~CLZO() = default;

int CLZO::Compress(const char* source, int sourceLen, char* dest, int destCapacity)
{
    if (!LzoReady() || !source || !dest || sourceLen <= 0 || destCapacity <= 0) return 0;
    const auto* in = reinterpret_cast<const unsigned char*>(source);
    lzo_uint produced = 0;
    if (destCapacity >= WorstCaseSize(sourceLen)) {
        if (lzo1x_1_compress(in, static_cast<lzo_uint>(sourceLen), reinterpret_cast<unsigned char*>(dest), &produced,
                             m_pWork.get()) != LZO_E_OK)
            return 0;
        return static_cast<int>(produced);
    }
    // The destination may be too small for an incompressible source, and the
    // compressor would run past it: go through a buffer of the worst size.
    std::vector<unsigned char> scratch(static_cast<std::size_t>(WorstCaseSize(sourceLen)));
    if (lzo1x_1_compress(in, static_cast<lzo_uint>(sourceLen), scratch.data(), &produced, m_pWork.get()) != LZO_E_OK)
        return 0;
    if (produced > static_cast<lzo_uint>(destCapacity)) return 0;
    std::memcpy(dest, scratch.data(), produced);
    return static_cast<int>(produced);
}

int CLZO::Decompress(const char* source, int sourceLen, char* dest, int destCapacity)
{
    if (!LzoReady() || !source || !dest || sourceLen <= 0 || destCapacity <= 0) return 0;
    lzo_uint produced = static_cast<lzo_uint>(destCapacity);
    const int rc = lzo1x_decompress_safe(reinterpret_cast<const unsigned char*>(source), static_cast<lzo_uint>(sourceLen),
                                         reinterpret_cast<unsigned char*>(dest), &produced, nullptr);
    if (rc != LZO_E_OK) return 0;
    return static_cast<int>(produced);
}

}  // namespace tovrik::net
