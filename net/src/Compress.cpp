#include "net/Compress.h"

#include "net/CompressPools.h"

namespace tovrik::net {

namespace {
constexpr int kInitialPoolSize = 2;

int NormaliseId(int id)
{
    return id >= 10 ? id / 10 : id;
}
}  // namespace

CComPressPool<CLZW> g_CLZWPool(kInitialPoolSize);
CComPressPool<CLZO> g_CLZOPool(kInitialPoolSize);
CComPressPool<QuickLZ> g_CQLZPool(kInitialPoolSize);
CComPressPool<CZIP> g_CZIPPool(kInitialPoolSize);

CCompress* GetCompress(int id)
{
    switch (NormaliseId(id)) {
    case 1: return g_CLZWPool.NewInstance();
    case 2: return g_CLZOPool.NewInstance();
    case 3: return g_CQLZPool.NewInstance();
    case 4: return g_CZIPPool.NewInstance();
    default: return nullptr;
    }
}

void FreeCompress(int id, CCompress* codec)
{
    if (!codec) return;
    switch (NormaliseId(id)) {
    case 1: g_CLZWPool.FreeInstance(static_cast<CLZW*>(codec)); break;
    case 2: g_CLZOPool.FreeInstance(static_cast<CLZO*>(codec)); break;
    case 3: g_CQLZPool.FreeInstance(static_cast<QuickLZ*>(codec)); break;
    case 4: g_CZIPPool.FreeInstance(static_cast<CZIP*>(codec)); break;
    default: break;
    }
}

namespace {

template <class Run>
int WithCodec(int id, int* len, Run run)
{
    const int capacity = len ? *len : 0;
    int produced = 0;
    if (CCompress* codec = GetCompress(id)) {
        produced = run(*codec, capacity);
        FreeCompress(id, codec);
    }
    if (len) *len = produced;
    return produced;
}

}  // namespace

int UtilCompress(int id, char* dest, int* len, const char* source, int sourceLen)
{
    return WithCodec(id, len, [&](CCompress& codec, int capacity) {
        return codec.Compress(source, sourceLen, dest, capacity);
    });
}

int UtilDecompress(int id, char* dest, int* len, const char* source, int sourceLen)
{
    return WithCodec(id, len, [&](CCompress& codec, int capacity) {
        return codec.Decompress(source, sourceLen, dest, capacity);
    });
}

}  // namespace tovrik::net
