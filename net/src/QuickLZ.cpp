#include "net/QuickLZ.h"

#include <algorithm>
#include <cstring>

namespace tovrik::net {

namespace {

constexpr std::uint8_t kFlagCompressed = 0x01;
constexpr std::uint8_t kFlagLongHeader = 0x02;
constexpr std::uint8_t kFlagsFixedMask = 0xC0;
constexpr std::uint8_t kFlagsFixedBits = 0x40;
constexpr std::uint8_t kFlagsStreamingMask = 0x30;
constexpr int kLevelShift = 2;
constexpr int kControlWordSize = 4;
constexpr std::uint32_t kControlMarker = 1u << 31;
// The last bytes of the data are always literals, so that a decoder that
// reaches them can copy without looking for tokens.
constexpr int kLiteralTail = 10;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 255;
// Level 1 never refers to the two positions just before the current one.
constexpr int kMinDistance = 3;

std::uint32_t ReadLe(const std::uint8_t* p, int n)
{
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return v;
}

void WriteLe(std::uint8_t* p, std::uint32_t v, int n)
{
    for (int i = 0; i < n; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

int Hash3(const std::uint8_t* p)
{
    const std::uint32_t v = ReadLe(p, 3);
    return static_cast<int>(((v >> 12) ^ v) & 0xFFF);
}

// Copies a match byte by byte: source and destination may overlap when the
// match repeats bytes it is writing.
void CopyMatch(std::uint8_t* out, int from, int to, int len)
{
    for (int i = 0; i < len; ++i) out[to + i] = out[from + i];
}

struct Header {
    std::uint8_t flags = 0;
    int length = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t decompressedSize = 0;
};

bool ReadHeader(const std::uint8_t* in, int inLen, Header& h)
{
    if (inLen < 1) return false;
    h.flags = in[0];
    if ((h.flags & kFlagsFixedMask) != kFlagsFixedBits || (h.flags & kFlagsStreamingMask) != 0) return false;
    const int sizeBytes = (h.flags & kFlagLongHeader) ? 4 : 1;
    h.length = 2 * sizeBytes + 1;
    if (inLen < h.length) return false;
    h.compressedSize = ReadLe(in + 1, sizeBytes);
    h.decompressedSize = ReadLe(in + 1 + sizeBytes, sizeBytes);
    return true;
}

}  // namespace

std::int64_t QuickLZ::SizeDecompressed(const char* source, int sourceLen)
{
    Header h;
    if (!source || !ReadHeader(reinterpret_cast<const std::uint8_t*>(source), sourceLen, h)) return -1;
    return h.decompressedSize;
}

int QuickLZ::Decompress(const char* source, int sourceLen, char* dest, int destCapacity)
{
    if (!source || !dest || destCapacity <= 0) return 0;
    const auto* in = reinterpret_cast<const std::uint8_t*>(source);
    auto* out = reinterpret_cast<std::uint8_t*>(dest);
    Header h;
    if (!ReadHeader(in, sourceLen, h)) return 0;
    if (h.compressedSize < static_cast<std::uint32_t>(h.length) ||
        h.compressedSize > static_cast<std::uint32_t>(sourceLen))
        return 0;
    if (h.decompressedSize == 0 || h.decompressedSize > static_cast<std::uint32_t>(destCapacity)) return 0;
    const int inEnd = static_cast<int>(h.compressedSize);
    const int size = static_cast<int>(h.decompressedSize);

    if (!(h.flags & kFlagCompressed)) {
        if (inEnd - h.length != size) return 0;
        std::memcpy(out, in + h.length, static_cast<std::size_t>(size));
        return size;
    }
    int decoded = -1;
    switch ((h.flags >> kLevelShift) & 3) {
    case 1: decoded = DecodeLevel1(in, inEnd, h.length, out, size); break;
    case 3: decoded = DecodeLevel3(in, inEnd, h.length, out, size); break;
    default: break;
    }
    return decoded == size ? size : 0;
}

namespace {

// Walks the items of a stream: a control word before every 31 items says
// which are literals (copied here) and which are matches (resolved by
// `match`, which gets the input position and the output length and returns
// the new output length, or -1). Returns the output length, or -1.
template <class MatchDecoder>
int DecodeItems(const std::uint8_t* in, int inEnd, int pos, std::uint8_t* out, int size, MatchDecoder&& match)
{
    int dst = 0;
    std::uint32_t control = 1;
    while (dst < size) {
        if (control == 1) {
            if (inEnd - pos < kControlWordSize) return -1;
            control = ReadLe(in + pos, kControlWordSize);
            pos += kControlWordSize;
        }
        const bool isMatch = control & 1;
        control >>= 1;
        if (isMatch) {
            dst = match(pos, dst);
            if (dst < 0) return -1;
        } else {
            if (pos >= inEnd) return -1;
            out[dst++] = in[pos++];
        }
    }
    return dst;
}

}  // namespace

int QuickLZ::DecodeLevel1(const std::uint8_t* in, int inEnd, int pos, std::uint8_t* out, int size)
{
    // The table follows the compressor's: it holds the latest item start
    // (literal or match start) under the hash of its three bytes. Entries are
    // added lazily, once the three bytes at a position are known.
    m_Hash.fill(-1);
    int lastHashed = -1;
    auto hashUpTo = [&](int limit) {
        while (lastHashed < limit) {
            ++lastHashed;
            m_Hash[static_cast<std::size_t>(Hash3(out + lastHashed))] = lastHashed;
        }
    };
    return DecodeItems(in, inEnd, pos, out, size, [&](int& at, int dst) {
        hashUpTo(dst - kMinDistance);
        if (inEnd - at < 2) return -1;
        const std::uint32_t token = ReadLe(in + at, 2);
        const int slot = static_cast<int>((token >> 4) & 0xFFF);
        int len = static_cast<int>(token & 0xF);
        if (len != 0) {
            len += 2;
            at += 2;
        } else {
            if (inEnd - at < 3) return -1;
            len = in[at + 2];
            at += 3;
        }
        const int from = m_Hash[static_cast<std::size_t>(slot)];
        if (from < 0 || len < kMinMatch || len > size - dst) return -1;
        CopyMatch(out, from, dst, len);
        hashUpTo(dst);
        lastHashed = dst + len - 1;  // positions inside a match are never entered
        return dst + len;
    });
}

int QuickLZ::DecodeLevel3(const std::uint8_t* in, int inEnd, int pos, std::uint8_t* out, int size)
{
    return DecodeItems(in, inEnd, pos, out, size, [&](int& at, int dst) {
        const int available = inEnd - at;
        if (available < 1) return -1;
        const std::uint32_t w = ReadLe(in + at, std::min(available, 4));
        int tokenLen;
        int len;
        std::uint32_t offset;
        if ((w & 3) == 0) {
            tokenLen = 1;
            len = 3;
            offset = (w & 0xFF) >> 2;
        } else if ((w & 2) == 0) {
            tokenLen = 2;
            len = 3;
            offset = (w & 0xFFFF) >> 2;
        } else if ((w & 1) == 0) {
            tokenLen = 2;
            len = static_cast<int>((w >> 2) & 15) + 3;
            offset = (w & 0xFFFF) >> 6;
        } else if ((w & 127) != 3) {
            tokenLen = 3;
            len = static_cast<int>((w >> 2) & 31) + 2;
            offset = (w >> 7) & 0x1FFFF;
        } else {
            tokenLen = 4;
            len = static_cast<int>((w >> 7) & 255) + 3;
            offset = w >> 15;
        }
        if (tokenLen > available) return -1;
        at += tokenLen;
        if (offset == 0 || offset > static_cast<std::uint32_t>(dst) || len > size - dst) return -1;
        CopyMatch(out, dst - static_cast<int>(offset), dst, len);
        return dst + len;
    });
}

int QuickLZ::CompressLevel1(const std::uint8_t* in, int size, std::uint8_t* out)
{
    m_Hash.fill(-1);
    int o = 0;
    int controlPos = o;
    o += kControlWordSize;
    std::uint32_t control = kControlMarker;
    // Every match ends before the literal tail, so no match starts in the
    // region where a decoder copies literals only.
    const int matchEnd = size - kLiteralTail;

    int p = 0;
    while (p < size) {
        if (control & 1) {
            WriteLe(out + controlPos, (control >> 1) | kControlMarker, kControlWordSize);
            controlPos = o;
            o += kControlWordSize;
            control = kControlMarker;
        }
        if (p + kMinMatch <= matchEnd) {
            const int slot = Hash3(in + p);
            const int candidate = m_Hash[static_cast<std::size_t>(slot)];
            m_Hash[static_cast<std::size_t>(slot)] = p;
            if (candidate >= 0 && p - candidate >= kMinDistance && std::memcmp(in + candidate, in + p, kMinMatch) == 0) {
                const int maxLen = std::min(kMaxMatch, matchEnd - p);
                int len = kMinMatch;
                while (len < maxLen && in[candidate + len] == in[p + len]) ++len;
                const auto token = static_cast<std::uint32_t>(slot) << 4;
                if (len <= 17) {
                    WriteLe(out + o, token | static_cast<std::uint32_t>(len - 2), 2);
                    o += 2;
                } else {
                    WriteLe(out + o, token | (static_cast<std::uint32_t>(len) << 16), 3);
                    o += 3;
                }
                control = (control >> 1) | kControlMarker;
                p += len;
                continue;
            }
        }
        out[o++] = in[p++];
        control >>= 1;
    }
    while (!(control & 1)) control >>= 1;
    WriteLe(out + controlPos, (control >> 1) | kControlMarker, kControlWordSize);
    return o;
}

int QuickLZ::Compress(const char* source, int sourceLen, char* dest, int destCapacity)
{
    if (!source || !dest || sourceLen <= 0 || destCapacity <= 0) return 0;
    const auto* in = reinterpret_cast<const std::uint8_t*>(source);
    const bool longHeader = sourceLen >= kShortInputLimit;
    const int sizeBytes = longHeader ? 4 : 1;
    const int headerLen = 2 * sizeBytes + 1;

    // Worst case: every byte a literal plus one control word per 31 items.
    const std::size_t worst = static_cast<std::size_t>(headerLen) + static_cast<std::size_t>(sourceLen) +
                              static_cast<std::size_t>(sourceLen) / 31 * kControlWordSize + 2 * kControlWordSize;
    if (m_Scratch.size() < worst) m_Scratch.resize(worst);
    std::uint8_t* body = m_Scratch.data() + headerLen;

    int bodyLen = CompressLevel1(in, sourceLen, body);
    std::uint8_t flags = kFlagsFixedBits | (1 << kLevelShift) | (longHeader ? kFlagLongHeader : 0);
    if (bodyLen >= sourceLen) {
        // Incompressible: stored as it is.
        std::memcpy(body, in, static_cast<std::size_t>(sourceLen));
        bodyLen = sourceLen;
    } else {
        flags |= kFlagCompressed;
    }
    const int total = headerLen + bodyLen;
    if (total > destCapacity) return 0;
    m_Scratch[0] = flags;
    WriteLe(m_Scratch.data() + 1, static_cast<std::uint32_t>(total), sizeBytes);
    WriteLe(m_Scratch.data() + 1 + sizeBytes, static_cast<std::uint32_t>(sourceLen), sizeBytes);
    std::memcpy(dest, m_Scratch.data(), static_cast<std::size_t>(total));
    return total;
}

}  // namespace tovrik::net
