#pragma once
// The 16-byte header in front of every frame, read and written field by
// field in little-endian order so that the layout never depends on the host.

#include <cstdint>

namespace tovrik::net {

inline constexpr int kHeaderSize = 16;

// EncodeState values.
inline constexpr std::uint8_t kStatePlain = 1;
inline constexpr std::uint8_t kStateScrambled = 2;

// Byte offsets of the fields inside a frame.
inline constexpr int kOffSignature = 0;
inline constexpr int kOffMsgID = 2;
inline constexpr int kOffDataLen = 4;
inline constexpr int kOffEncodeState = 8;
inline constexpr int kOffCompressType = 9;
inline constexpr int kOffSeqNo = 10;
inline constexpr int kOffCheckCode = 12;

struct MsgHeader {
    char Signature[2] = {'T', 'K'};
    std::int16_t MsgID = 0;
    std::uint32_t DataLen = 0;
    std::uint8_t EncodeState = kStatePlain;
    std::int8_t CompressType = 0;
    std::uint16_t SeqNo = 0;
    std::uint32_t CheckCode = 0;
};

// `frame` must hold at least kHeaderSize bytes.
MsgHeader ReadMsgHeader(const char* frame);
void WriteMsgHeader(char* frame, const MsgHeader& header);

bool HasSignature(const char* frame);

// Little-endian field access, for code that touches one field of a frame.
std::uint16_t ReadU16(const char* p);
std::uint32_t ReadU32(const char* p);
void WriteU16(char* p, std::uint16_t value);
void WriteU32(char* p, std::uint32_t value);

// Only the four codec tags mark a compressed payload; every other value
// (7 included) means the payload is plain.
constexpr bool IsCompressedType(int compressType)
{
    return compressType == 10 || compressType == 20 || compressType == 30 || compressType == 40;
}

}  // namespace tovrik::net
