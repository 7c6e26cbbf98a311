#include "net/CommMsg.h"

#include <algorithm>
#include <cstring>

#include "net/Compress.h"
#include "net/HashTable.h"
#include "net/MsgBuffer.h"
#include "Scramble.h"

namespace tovrik::net {

namespace {

int g_CompressReservedType = 0;
int g_CompressSizeLimit = 200;
constexpr int kMaxCompressSizeLimit = 102400;
// Bytes of the uncompressed-length prefix in front of a compressed payload.
constexpr int kPrefixSize = 4;

// True when the header of `frame` names a payload that lies within frameLen.
bool PayloadFits(const char* frame, int frameLen)
{
    if (!frame || frameLen < kHeaderSize) return false;
    return ReadU32(frame + kOffDataLen) <= static_cast<std::uint32_t>(frameLen - kHeaderSize);
}

// The check value before its size tag, as both directions compute it.
std::uint32_t FinishCheck(std::uint32_t sum, std::uint16_t seq)
{
    return sum + static_cast<std::uint32_t>(HashByte(seq, 0x1F) & 0x7F);
}

std::uint32_t TagCheck(std::uint32_t c, std::uint16_t seq)
{
    if (c < 0xFFFF) {
        c += (static_cast<std::uint32_t>(HashByte(seq, 0) & 0xF) << 24) +
             (static_cast<std::uint32_t>(HashByte(seq, 1) & 0xF) << 20) +
             (static_cast<std::uint32_t>(HashByte(seq, 3) & 0xF) << 16);
        return c * 16 + 0xF;
    }
    if (c < 0xFFFFF) {
        c += (static_cast<std::uint32_t>(HashByte(seq, 0) & 0xF) << 24) +
             (static_cast<std::uint32_t>(HashByte(seq, 1) & 0xF) << 20);
        return c * 16 + static_cast<std::uint32_t>(HashByte(seq, 5) & 7);
    }
    return c * 16 + 0xA;
}

// Decompresses the payload of a plain compressed frame into `unit`, header
// first. Returns the payload length, or -1.
int DecompressInto(const char* frame, CBufferUnit& unit)
{
    const MsgHeader h = ReadMsgHeader(frame);
    if (h.DataLen < kPrefixSize) return -1;
    const std::uint32_t declared = ReadU32(frame + kHeaderSize);
    // The declared length bounds the output: a stream that would produce more
    // than it announced is corrupt.
    if (declared == 0 || declared >= static_cast<std::uint32_t>(CCommMsg::kDecompressedLimit)) return -1;
    char* buffer = unit.Prepare(kHeaderSize + static_cast<int>(declared));
    if (!buffer) return -1;
    int produced = static_cast<int>(declared);
    UtilDecompress(h.CompressType / 10, buffer + kHeaderSize, &produced, frame + kHeaderSize + kPrefixSize,
                   static_cast<int>(h.DataLen) - kPrefixSize);
    if (produced <= 0) return -1;
    std::memcpy(buffer, frame, kHeaderSize);
    return produced;
}

}  // namespace

CCommMsg::~CCommMsg()
{
    Destroy();
}

void CCommMsg::ClearMember()
{
    m_nTotalSize = 0;
    m_pData = nullptr;
    m_pUnit = nullptr;
    m_nPos = 0;
    m_bOverrun = false;
}

void CCommMsg::Destroy()
{
    if (m_pUnit) m_pUnit->SetFree();
    ClearMember();
}

bool CCommMsg::SetHeader(std::int16_t msgId)
{
    Destroy();
    CBufferUnit* unit = s_MsgBuf.GetFreeBuf();
    if (!unit) return false;
    char* buffer = unit->Prepare(kHeaderSize);
    if (!buffer) {
        unit->SetFree();
        return false;
    }
    MsgHeader h;
    h.MsgID = msgId;
    WriteMsgHeader(buffer, h);
    m_pUnit = unit;
    m_pData = buffer;
    m_nTotalSize = kHeaderSize;
    m_nPos = kHeaderSize;
    return true;
}

bool CCommMsg::Reserve(int totalSize)
{
    if (!m_pUnit) return false;
    char* buffer = m_pUnit->Prepare(std::max(totalSize, m_nTotalSize));
    if (!buffer) return false;
    m_pData = buffer;
    return true;
}

char* CCommMsg::Append(const void* source, int len)
{
    if (len <= 0 || !source || !m_pUnit) return nullptr;
    if (len > CBufferUnit::kMaxSize - m_nTotalSize) return nullptr;
    char* buffer = m_pUnit->Prepare(m_nTotalSize + len);
    if (!buffer) return nullptr;
    m_pData = buffer;
    char* placed = buffer + m_nPos;
    std::memcpy(placed, source, static_cast<std::size_t>(len));
    m_nPos += len;
    m_nTotalSize += len;
    WriteU32(buffer + kOffDataLen, ReadU32(buffer + kOffDataLen) + static_cast<std::uint32_t>(len));
    return placed;
}

bool CCommMsg::GetHeader(char* frame, int len)
{
    Destroy();
    if (!frame || len < kHeaderSize) return false;
    if (static_cast<std::uint8_t>(frame[kOffEncodeState]) == kStateScrambled) {
        if (!DecodeAll(frame, len)) return false;
        if (IsCompressedType(frame[kOffCompressType])) return AttachDecompressed(frame);
    }
    m_pData = frame;
    m_nTotalSize = len;
    m_nPos = kHeaderSize;
    return true;
}

bool CCommMsg::AttachDecompressed(const char* frame)
{
    CBufferUnit* unit = s_MsgBuf.GetFreeBuf();
    if (!unit) return false;
    const int produced = DecompressInto(frame, *unit);
    if (produced < 0) {
        unit->SetFree();
        return false;
    }
    m_pUnit = unit;
    m_pData = unit->GetBuffer();
    m_nTotalSize = kHeaderSize + produced;
    m_nPos = kHeaderSize;
    return true;
}

char* CCommMsg::Take(int len)
{
    if (len <= 0 || !m_pData) return nullptr;
    if (m_bOverrun || len > m_nTotalSize - m_nPos) {
        m_bOverrun = true;
        return nullptr;
    }
    char* part = m_pData + m_nPos;
    m_nPos += len;
    return part;
}

MsgHeader CCommMsg::GetHeaderFields() const
{
    return m_pData ? ReadMsgHeader(m_pData) : MsgHeader{};
}

bool CCommMsg::EncodeAll(char* frame, int frameLen)
{
    if (!PayloadFits(frame, frameLen)) return false;
    if (static_cast<std::uint8_t>(frame[kOffEncodeState]) == kStateScrambled) return true;
    const std::uint16_t seq = ReadU16(frame + kOffSeqNo);
    const std::int16_t msgId = static_cast<std::int16_t>(ReadU16(frame + kOffMsgID));
    const std::uint32_t dataLen = ReadU32(frame + kOffDataLen);

    std::uint32_t c = static_cast<std::uint32_t>(HashByte(seq, 0) & 0x7F);
    c += ScrambleBytes(reinterpret_cast<unsigned char*>(frame + kHeaderSize), dataLen,
                       static_cast<std::uint8_t>(HashByte(seq, 0x33)), static_cast<std::uint8_t>(HashByte(seq, 0x1B)));
    c = FinishCheck(c, seq);
    c += static_cast<std::uint32_t>(static_cast<std::int32_t>(msgId));
    c &= 0x0FFFFFFF;

    WriteU32(frame + kOffCheckCode, TagCheck(c, seq));
    WriteU16(frame + kOffMsgID, static_cast<std::uint16_t>(msgId + HashByte(seq, 0)));
    frame[kOffEncodeState] = static_cast<char>(kStateScrambled);
    return true;
}

bool CCommMsg::DecodeAll(char* frame, int frameLen)
{
    if (!PayloadFits(frame, frameLen)) return false;
    if (static_cast<std::uint8_t>(frame[kOffEncodeState]) != kStateScrambled) return false;
    const std::uint16_t seq = ReadU16(frame + kOffSeqNo);
    const std::uint32_t dataLen = ReadU32(frame + kOffDataLen);

    const auto msgId = static_cast<std::int16_t>(ReadU16(frame + kOffMsgID) - HashByte(seq, 0));
    WriteU16(frame + kOffMsgID, static_cast<std::uint16_t>(msgId));

    std::uint32_t c = static_cast<std::uint32_t>(HashByte(seq, 0) & 0x7F);
    c += UnscrambleBytes(reinterpret_cast<unsigned char*>(frame + kHeaderSize), dataLen,
                         static_cast<std::uint8_t>(HashByte(seq, 0x33)), static_cast<std::uint8_t>(HashByte(seq, 0x1B)));
    c = FinishCheck(c, seq) & 0x0FFFFFFF;

    const std::uint32_t checkCode = ReadU32(frame + kOffCheckCode);
    const std::uint32_t tag = checkCode & 0xF;
    std::uint32_t v = checkCode >> 4;
    if (tag == 0xF) {
        v &= 0xFFFF;
    } else if (tag == static_cast<std::uint32_t>(HashByte(seq, 5) & 7)) {
        v &= 0xFFFFF;
    } else if (tag != 0xA) {
        return false;
    }
    if (static_cast<std::int32_t>(v - c) != msgId) return false;

    WriteU32(frame + kOffCheckCode, v);
    frame[kOffEncodeState] = static_cast<char>(kStatePlain);
    return true;
}

bool CCommMsg::CheckInfo(const char* frame, int frameLen, int* msgId, std::uint32_t* dataLen)
{
    if (!frame || frameLen < kHeaderSize || !HasSignature(frame)) return false;
    if (static_cast<std::uint8_t>(frame[kOffEncodeState]) != kStateScrambled) return false;
    const std::uint16_t seq = ReadU16(frame + kOffSeqNo);
    // The same 16-bit wrap as DecodeAll, so both agree on the id.
    const auto id = static_cast<std::int16_t>(ReadU16(frame + kOffMsgID) - HashByte(seq, 0));
    if (msgId) *msgId = id;
    if (dataLen) *dataLen = ReadU32(frame + kOffDataLen);
    return true;
}

void CCommMsg::CheckCompressSizeInfo(const char* frame, int frameLen, int* size)
{
    if (!frame || !size || frameLen < kHeaderSize + kPrefixSize) return;
    if (!IsCompressedType(frame[kOffCompressType])) return;
    if (ReadU32(frame + kOffDataLen) < kPrefixSize) return;
    const std::uint16_t seq = ReadU16(frame + kOffSeqNo);
    unsigned char prefix[kPrefixSize];
    std::memcpy(prefix, frame + kHeaderSize, kPrefixSize);
    UnscrambleBytes(prefix, kPrefixSize, static_cast<std::uint8_t>(HashByte(seq, 0x33)),
                    static_cast<std::uint8_t>(HashByte(seq, 0x1B)));
    const std::uint32_t declared = ReadU32(reinterpret_cast<const char*>(prefix));
    if (declared > static_cast<std::uint32_t>(kMaxDecompressedSize)) return;
    *size = static_cast<int>(declared) + kHeaderSize;
}

int CCommMsg::DePressAll(char* frame, int frameLen, int capacity)
{
    if (!PayloadFits(frame, frameLen)) return -1;
    const MsgHeader h = ReadMsgHeader(frame);
    if (!IsCompressedType(h.CompressType)) return static_cast<int>(h.DataLen);
    CBufferUnit* unit = s_MsgBuf.GetFreeBuf();
    if (!unit) return -1;
    const int produced = DecompressInto(frame, *unit);
    const bool fits = produced >= 0 && produced <= capacity - kHeaderSize;
    if (fits) std::memcpy(frame + kHeaderSize, unit->GetBuffer() + kHeaderSize, static_cast<std::size_t>(produced));
    unit->SetFree();
    return fits ? produced : -1;
}

int CCommMsg::CompressAll(const char* source, int sourceLen, char* dest, int destCapacity)
{
    if (!PayloadFits(source, sourceLen) || !dest || destCapacity < kHeaderSize + kPrefixSize) return -1;
    MsgHeader h = ReadMsgHeader(source);
    const int codec = static_cast<std::int8_t>(dest[kOffCompressType]);
    if (codec == 0) return static_cast<int>(h.DataLen);
    if (codec < 1 || codec > 4 || h.DataLen == 0) return -1;
    int produced = std::min(kMaxDecompressedSize, destCapacity - kHeaderSize - kPrefixSize);
    UtilCompress(codec, dest + kHeaderSize + kPrefixSize, &produced, source + kHeaderSize,
                 static_cast<int>(h.DataLen));
    if (produced <= 0) return -1;
    WriteU32(dest + kHeaderSize, h.DataLen);
    h.CompressType = static_cast<std::int8_t>(codec * 10);
    h.DataLen = static_cast<std::uint32_t>(produced + kPrefixSize);
    WriteMsgHeader(dest, h);
    return produced + kPrefixSize;
}

bool CCommMsg::IsCompress(int payloadSize)
{
    return payloadSize > g_CompressSizeLimit && g_CompressReservedType != 0;
}

void CCommMsg::SetCompressReservedType(int codecId)
{
    g_CompressReservedType = codecId;
}

void CCommMsg::SetCompressSizeLimit(int size)
{
    if (size > kMaxCompressSizeLimit) return;
    g_CompressSizeLimit = size;
}

int CCommMsg::GetCompressReservedType()
{
    return g_CompressReservedType;
}

int CCommMsg::GetCompressSizeLimit()
{
    return g_CompressSizeLimit;
}

}  // namespace tovrik::net
