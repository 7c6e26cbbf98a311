#include "net/StreamBuf.h"

#include <cstring>
#include <new>

namespace tovrik::net {

bool CStreamBuf::Init(int capacity)
{
    Destroy();
    if (capacity <= 0) return false;
    m_pBuf.reset(new (std::nothrow) char[static_cast<std::size_t>(capacity)]);
    if (!m_pBuf) return false;
    m_nCapacity = capacity;
    return true;
}

void CStreamBuf::Destroy()
{
    m_pBuf.reset();
    m_nUsed = 0;
    m_nCapacity = 0;
}

int CStreamBuf::AddData(const void* bytes, int n)
{
    if (n <= 0 || !bytes || n > GetFreeSize()) return 0;
    std::memcpy(m_pBuf.get() + m_nUsed, bytes, static_cast<std::size_t>(n));
    m_nUsed += n;
    return n;
}

bool CStreamBuf::DelData(int n)
{
    if (n < 0 || n > m_nUsed) return false;
    if (n == 0) return true;
    std::memmove(m_pBuf.get(), m_pBuf.get() + n, static_cast<std::size_t>(m_nUsed - n));
    m_nUsed -= n;
    return true;
}

bool CStreamBuf::AddUsedSize(int n)
{
    if (n < 0 || n > GetFreeSize()) return false;
    m_nUsed += n;
    return true;
}

}  // namespace tovrik::net
