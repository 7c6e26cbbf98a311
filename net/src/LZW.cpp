#include "net/LZW.h"

namespace tovrik::net {

namespace {
constexpr int kFirstCode = 256;
}  // namespace

void CLZW::Clear()
{
    for (Entry& e : m_Table) e.code = -1;
    m_BitBuffer = 0;
    m_BitCount = 0;
    m_OutCount = 0;
}

int CLZW::FindMatch(int prefix, int character) const
{
    int index = (character << 4) ^ prefix;
    const int step = index == 0 ? 1 : kTableSize - index;
    for (;;) {
        const Entry& e = m_Table[static_cast<std::size_t>(index)];
        if (e.code == -1 || (e.prefix == prefix && e.character == character)) return index;
        index -= step;
        if (index < 0) index += kTableSize;
    }
}

bool CLZW::OutputCode(int code)
{
    m_BitBuffer |= static_cast<std::uint32_t>(code) << (20 - m_BitCount);
    m_BitCount += 12;
    while (m_BitCount >= 8) {
        if (m_OutCount >= m_OutCapacity) return false;
        m_pOut[m_OutCount++] = static_cast<std::uint8_t>(m_BitBuffer >> 24);
        m_BitBuffer <<= 8;
        m_BitCount -= 8;
    }
    return true;
}

int CLZW::InputCode()
{
    while (m_BitCount <= 24) {
        // The reader looks ahead past the end code of a well-formed stream;
        // bytes beyond the input read as zero.
        const std::uint32_t next = m_InPos < m_InLen ? m_pIn[m_InPos] : 0;
        ++m_InPos;
        m_BitBuffer |= next << (24 - m_BitCount);
        m_BitCount += 8;
    }
    const int code = static_cast<int>(m_BitBuffer >> 20);
    m_BitBuffer <<= 12;
    m_BitCount -= 12;
    return code;
}

int CLZW::Compress(const char* source, int sourceLen, char* dest, int destCapacity)
{
    if (!source || !dest || sourceLen < 1 || destCapacity <= 0) return 0;
    Clear();
    m_pOut = reinterpret_cast<std::uint8_t*>(dest);
    m_OutCapacity = destCapacity;
    const auto* in = reinterpret_cast<const std::uint8_t*>(source);

    int nextCode = kFirstCode;
    int string = in[0];
    for (int i = 1; i < sourceLen; ++i) {
        const int character = in[i];
        Entry& slot = m_Table[static_cast<std::size_t>(FindMatch(string, character))];
        if (slot.code != -1) {
            string = slot.code;
            continue;
        }
        if (nextCode <= kMaxCode) {
            slot.code = nextCode++;
            slot.prefix = string;
            slot.character = static_cast<std::uint8_t>(character);
        }
        if (!OutputCode(string)) return 0;
        string = character;
    }
    // The trailing 0 only pushes the last bits of the end code out.
    if (!OutputCode(string) || !OutputCode(kEndCode) || !OutputCode(0)) return 0;
    return m_OutCount;
}

int CLZW::DecodeString(int depth, int code)
{
    while (code >= kFirstCode) {
        if (depth >= kStackSize) return -1;
        const Entry& e = m_Table[static_cast<std::size_t>(code)];
        m_Stack[static_cast<std::size_t>(depth++)] = e.character;
        code = e.prefix;
    }
    if (depth >= kStackSize) return -1;
    m_Stack[static_cast<std::size_t>(depth++)] = static_cast<std::uint8_t>(code);
    return depth;
}

int CLZW::Decompress(const char* source, int sourceLen, char* dest, int destCapacity)
{
    if (!source || !dest || sourceLen < 1 || destCapacity <= 0) return 0;
    Clear();
    m_pIn = reinterpret_cast<const std::uint8_t*>(source);
    m_InLen = sourceLen;
    m_InPos = 0;
    auto* out = reinterpret_cast<std::uint8_t*>(dest);

    int oldCode = InputCode();
    if (oldCode >= kFirstCode) return 0;  // a stream starts with a plain byte
    std::uint8_t character = static_cast<std::uint8_t>(oldCode);
    out[m_OutCount++] = character;

    int nextCode = kFirstCode;
    for (int round = 0; round < sourceLen - 1; ++round) {
        const int newCode = InputCode();
        if (newCode == kEndCode) break;
        int depth;
        if (newCode >= nextCode) {
            // The code being defined right now: its string is old's plus
            // old's first byte.
            m_Stack[0] = character;
            depth = DecodeString(1, oldCode);
        } else {
            depth = DecodeString(0, newCode);
        }
        if (depth < 0 || depth > destCapacity - m_OutCount) return 0;
        character = m_Stack[static_cast<std::size_t>(depth - 1)];
        while (depth > 0) out[m_OutCount++] = m_Stack[static_cast<std::size_t>(--depth)];
        if (nextCode <= kMaxCode) {
            Entry& e = m_Table[static_cast<std::size_t>(nextCode)];
            e.prefix = oldCode;
            e.character = character;
            e.code = nextCode++;
        }
        oldCode = newCode;
    }
    return m_OutCount;
}

}  // namespace tovrik::net
