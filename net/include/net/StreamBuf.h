#pragma once
// A fixed-capacity byte stream: bytes are added at the end and removed from
// the front by moving the rest down, so the used bytes always start at the
// beginning of the buffer. It never grows.

#include <memory>

namespace tovrik::net {

class CStreamBuf {
public:
    // The capacity of both streams of a connection.
    static constexpr int kSocketStreamSize = 95000;

    CStreamBuf() = default;
    CStreamBuf(const CStreamBuf&) = delete;
    CStreamBuf& operator=(const CStreamBuf&) = delete;

    // Allocates `capacity` bytes (dropping any held bytes). False for a
    // capacity of 0 or less.
    bool Init(int capacity);
    void Destroy();

    // Appends n bytes; returns n, or 0 when n <= 0, the source is null or
    // fewer than n bytes are free (nothing is added then).
    int AddData(const void* bytes, int n);
    // Removes n bytes from the front. False when n is negative or larger
    // than the used size.
    bool DelData(int n);
    // Counts n bytes written directly at GetEndPointer(). False when that
    // would pass the capacity (or n is negative).
    bool AddUsedSize(int n);
    void Clear() { m_nUsed = 0; }

    char* GetStartPointer() const { return m_pBuf.get(); }
    char* GetEndPointer() const { return m_pBuf.get() + m_nUsed; }
    int GetUsedSize() const { return m_nUsed; }
    int GetFreeSize() const { return m_nCapacity - m_nUsed; }
    int GetCapacity() const { return m_nCapacity; }

private:
    std::unique_ptr<char[]> m_pBuf;
    int m_nUsed = 0;
    int m_nCapacity = 0;
};

}  // namespace tovrik::net
