#include "net/MsgHeader.h"

namespace tovrik::net {

namespace {
unsigned char Byte(const char* p, int i) { return static_cast<unsigned char>(p[i]); }
}  // namespace

std::uint16_t ReadU16(const char* p)
{
    return static_cast<std::uint16_t>(Byte(p, 0) | (Byte(p, 1) << 8));
}

std::uint32_t ReadU32(const char* p)
{
    return static_cast<std::uint32_t>(Byte(p, 0)) | (static_cast<std::uint32_t>(Byte(p, 1)) << 8) |
           (static_cast<std::uint32_t>(Byte(p, 2)) << 16) | (static_cast<std::uint32_t>(Byte(p, 3)) << 24);
}

void WriteU16(char* p, std::uint16_t value)
{
    p[0] = static_cast<char>(value & 0xFF);
    p[1] = static_cast<char>(value >> 8);
}

void WriteU32(char* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

MsgHeader ReadMsgHeader(const char* frame)
{
    MsgHeader h;
    h.Signature[0] = frame[kOffSignature];
    h.Signature[1] = frame[kOffSignature + 1];
    h.MsgID = static_cast<std::int16_t>(ReadU16(frame + kOffMsgID));
    h.DataLen = ReadU32(frame + kOffDataLen);
    h.EncodeState = static_cast<std::uint8_t>(frame[kOffEncodeState]);
    h.CompressType = static_cast<std::int8_t>(frame[kOffCompressType]);
    h.SeqNo = ReadU16(frame + kOffSeqNo);
    h.CheckCode = ReadU32(frame + kOffCheckCode);
    return h;
}

void WriteMsgHeader(char* frame, const MsgHeader& h)
{
    frame[kOffSignature] = h.Signature[0];
    frame[kOffSignature + 1] = h.Signature[1];
    WriteU16(frame + kOffMsgID, static_cast<std::uint16_t>(h.MsgID));
    WriteU32(frame + kOffDataLen, h.DataLen);
    frame[kOffEncodeState] = static_cast<char>(h.EncodeState);
    frame[kOffCompressType] = static_cast<char>(h.CompressType);
    WriteU16(frame + kOffSeqNo, h.SeqNo);
    WriteU32(frame + kOffCheckCode, h.CheckCode);
}

bool HasSignature(const char* frame)
{
    return frame[0] == 'T' && frame[1] == 'K';
}

}  // namespace tovrik::net
