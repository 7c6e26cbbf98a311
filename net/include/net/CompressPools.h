#pragma once
// The process-wide pools behind GetCompress, one per codec, each starting
// with two objects.

#include "net/ComPressPool.h"
#include "net/LZO.h"
#include "net/LZW.h"
#include "net/QuickLZ.h"
#include "net/Zip.h"

namespace tovrik::net {

extern CComPressPool<CLZW> g_CLZWPool;
extern CComPressPool<CLZO> g_CLZOPool;
extern CComPressPool<QuickLZ> g_CQLZPool;
extern CComPressPool<CZIP> g_CZIPPool;

}  // namespace tovrik::net
