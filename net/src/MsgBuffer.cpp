#include "net/MsgBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tovrik::net {

CMsgBuffer s_MsgBuf;
CMsgBuffer g_sMsgBuf;

char* CBufferUnit::Prepare(int size)
{
    if (size < 0 || size > kMaxSize) return nullptr;
    if (!m_pBuf) {
        const int capacity = std::max(size, kInitialSize);
        m_pBuf.reset(new (std::nothrow) char[capacity]);
        if (!m_pBuf) return nullptr;
        m_nCapacity = capacity;
    } else if (m_nCapacity < size) {
        // Doubling past the request keeps a growing frame from reallocating
        // on every part appended to it.
        const int capacity = 2 * size;
        std::unique_ptr<char[]> grown(new (std::nothrow) char[capacity]);
        if (!grown) return nullptr;
        std::memcpy(grown.get(), m_pBuf.get(), static_cast<std::size_t>(std::min(m_nCapacity, capacity)));
        m_pBuf = std::move(grown);
        m_nCapacity = capacity;
    }
    return m_pBuf.get();
}

CBufferUnit* CMsgBuffer::GetFreeBuf()
{
    for (int tries = 0; tries < kUnitCount; ++tries) {
        m_nCursor = (m_nCursor + 1) % kUnitCount;
        CBufferUnit& unit = m_Units[static_cast<std::size_t>(m_nCursor)];
        if (!unit.IsInUse()) {
            unit.SetUse();
            return &unit;
        }
    }
    return nullptr;
}

int CMsgBuffer::CountInUse() const
{
    return static_cast<int>(std::count_if(m_Units.begin(), m_Units.end(),
                                          [](const CBufferUnit& u) { return u.IsInUse(); }));
}

CPacketPool::CPacketPool(int length)
    : m_pUnit(g_sMsgBuf.GetFreeBuf())
{
    if (m_pUnit) m_pBuffer = m_pUnit->Prepare(length);
}

CPacketPool::~CPacketPool()
{
    if (m_pUnit) m_pUnit->SetFree();
}

}  // namespace tovrik::net
