#pragma once
// Reusable frame buffers. Units keep their memory when they are given back,
// so that steady traffic never allocates; memory is released at process exit.

#include <array>
#include <memory>

namespace tovrik::net {

class CBufferUnit {
public:
    // A unit starts with this many bytes, so that most frames never grow it.
    static constexpr int kInitialSize = 16000;
    // Larger requests are refused: no frame can be that large.
    static constexpr int kMaxSize = 16 * 1024 * 1024;

    CBufferUnit() = default;
    CBufferUnit(const CBufferUnit&) = delete;
    CBufferUnit& operator=(const CBufferUnit&) = delete;

    // Makes room for `size` bytes, keeping the bytes already held (the buffer
    // may move). Returns the buffer, or null for a negative or oversized
    // request or when memory runs out (the old buffer then stays).
    char* Prepare(int size);

    void SetUse() { m_bUse = 1; }
    void SetFree() { m_bUse = 0; }
    bool IsInUse() const { return m_bUse != 0; }

    char* GetBuffer() const { return m_pBuf.get(); }
    int GetCapacity() const { return m_nCapacity; }

private:
    int m_bUse = 0;
    std::unique_ptr<char[]> m_pBuf;
    int m_nCapacity = 0;
};

class CMsgBuffer {
public:
    static constexpr int kUnitCount = 20;

    // Hands out the next unit not in use after the cursor (marked in use), or
    // null when all of them are in use.
    CBufferUnit* GetFreeBuf();

    int CountInUse() const;

private:
    std::array<CBufferUnit, kUnitCount> m_Units;
    int m_nCursor = -1;
};

// Units for frames built or decompressed by message objects.
extern CMsgBuffer s_MsgBuf;
// Units for the scrambled copy of each outgoing frame.
extern CMsgBuffer g_sMsgBuf;

// Borrows a unit of g_sMsgBuf for the lifetime of the object.
class CPacketPool {
public:
    // Prepares the unit for `length` bytes; GetBuffer() is null when no unit
    // was free or the length was refused.
    explicit CPacketPool(int length);
    ~CPacketPool();
    CPacketPool(const CPacketPool&) = delete;
    CPacketPool& operator=(const CPacketPool&) = delete;

    char* GetBuffer() const { return m_pBuffer; }

private:
    CBufferUnit* m_pUnit = nullptr;
    char* m_pBuffer = nullptr;
};

}  // namespace tovrik::net
