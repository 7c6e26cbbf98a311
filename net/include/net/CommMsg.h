#pragma once
// One message frame: the 16-byte header (net/MsgHeader.h) and its payload.
// A frame is built part by part with SetHeader and PushData, or parsed part by
// part with GetHeader and TakeData. Parsing hands out pointers into the frame
// instead of copying.

#include <cstdint>

#include "net/MsgHeader.h"

namespace tovrik::net {

class CBufferUnit;

class CCommMsg {
public:
    // Largest uncompressed payload a codec may produce for one frame.
    static constexpr int kMaxDecompressedSize = 102399;
    // A payload this large or larger is never taken as decompressed.
    static constexpr int kDecompressedLimit = 102385;

    CCommMsg() = default;
    ~CCommMsg();
    CCommMsg(const CCommMsg&) = delete;
    CCommMsg& operator=(const CCommMsg&) = delete;

    // --- Building -----------------------------------------------------------

    // Starts a plain frame with an empty payload in a unit of s_MsgBuf.
    // False when no unit is free (nothing is built then).
    bool SetHeader(std::int16_t msgId);

    // Makes room for a frame of `totalSize` bytes at once. Pointers handed out
    // by PushData stay valid only while the buffer does not move, so a message
    // that may outgrow the unit's first 16000 bytes reserves its size first.
    bool Reserve(int totalSize);

    // Appends `len` bytes and points `*out` at them inside the frame. A length
    // of 0 or less or a null source appends nothing and yields null.
    template <class T>
    void PushData(T** out, const void* source, int len)
    {
        char* placed = Append(source, len);
        if (out) *out = reinterpret_cast<T*>(placed);
    }

    // --- Parsing ------------------------------------------------------------

    // Attaches to a received frame of `len` bytes (not copied). A scrambled
    // frame is unscrambled and verified in place; a compressed payload is
    // decompressed into a unit owned by this object, so the parts then point
    // there. False for a frame that is too short, fails its check or cannot
    // be decompressed.
    bool GetHeader(char* frame, int len);

    // Points `*out` at the next `len` bytes of the frame and moves past them.
    // A length of 0 or less yields null without moving. A part that would run
    // past the end of the frame yields null, returns false, and marks the
    // parse as failed (see HasOverrun), so that a message built on this
    // treats the frame like one that failed to decode.
    template <class T>
    bool TakeData(T** out, int len)
    {
        char* part = Take(len);
        if (out) *out = reinterpret_cast<T*>(part);
        return !m_bOverrun;
    }

    // True once any TakeData ran past the end of the frame.
    bool HasOverrun() const { return m_bOverrun; }

    // --- Access -------------------------------------------------------------

    // Size of the frame (header included), or 0 when no frame is attached.
    int GetTotalSize() const { return m_pData ? m_nTotalSize : 0; }
    char* GetData() const { return m_pData; }
    // Bytes left to parse after the current position.
    int GetRemaining() const { return m_pData ? m_nTotalSize - m_nPos : 0; }
    MsgHeader GetHeaderFields() const;

    // Gives the unit back (if this object owns one) and clears the object.
    void Destroy();
    void ClearMember();

    // --- Process-wide operations on frames in memory ------------------------

    // Scrambles a plain frame of `frameLen` bytes in place with the table
    // bytes selected by its SeqNo, and writes its CheckCode. Does nothing to a
    // frame that is already scrambled. False when the header's DataLen does
    // not fit inside `frameLen`.
    static bool EncodeAll(char* frame, int frameLen);

    // Unscrambles a frame in place and verifies its CheckCode. False (frame
    // untouched) for a frame that is not scrambled or whose DataLen does not
    // fit `frameLen`; false after unscrambling when the check fails.
    static bool DecodeAll(char* frame, int frameLen);

    // Reads the id and payload length of a still-scrambled frame without
    // changing it. False unless the signature is "TK" and the frame is
    // scrambled; `frameLen` must cover the header.
    static bool CheckInfo(const char* frame, int frameLen, int* msgId, std::uint32_t* dataLen);

    // For a scrambled compressed frame, sets `*size` to the uncompressed
    // payload length from its prefix + 16; otherwise leaves it alone. A prefix
    // above kMaxDecompressedSize is ignored: such a frame never decompresses.
    static void CheckCompressSizeInfo(const char* frame, int frameLen, int* size);

    // Decompresses the payload of a plain compressed frame in place, keeping
    // its header. `capacity` is the size of the buffer `frame` points to.
    // Returns the payload length (DataLen for an uncompressed frame), or -1
    // when the payload cannot be decompressed or does not fit `capacity`.
    static int DePressAll(char* frame, int frameLen, int capacity);

    // Compresses the payload of the plain frame `source` into `dest`, with the
    // codec named by dest's CompressType (1-4; 0 copies nothing and returns
    // DataLen). Writes dest's header (CompressType x10, DataLen) and the
    // 4-byte uncompressed length prefix. Returns the new DataLen, or -1 when
    // the codec failed or the result does not fit `destCapacity`.
    static int CompressAll(const char* source, int sourceLen, char* dest, int destCapacity);

    static bool IsCompress(int payloadSize);
    static void SetCompressReservedType(int codecId);
    static void SetCompressSizeLimit(int size);
    static int GetCompressReservedType();
    static int GetCompressSizeLimit();

private:
    char* Append(const void* source, int len);
    char* Take(int len);
    bool AttachDecompressed(const char* frame);

    int m_nTotalSize = 0;
    char* m_pData = nullptr;
    CBufferUnit* m_pUnit = nullptr;
    int m_nPos = 0;
    bool m_bOverrun = false;
};

}  // namespace tovrik::net
