#include "net/FrameCutter.h"

#include <algorithm>
#include <cstring>

#include "net/CommMsg.h"

namespace tovrik::net {

namespace {

// Offset of the first "TK" that leaves room for a header, or -1.
int FindSignature(const char* bytes, int used)
{
    const int last = used - kHeaderSize;
    for (int i = 0; i <= last; ++i) {
        if (bytes[i] == 'T' && bytes[i + 1] == 'K') return i;
    }
    return -1;
}

}  // namespace

CutStatus CutFrame(CStreamBuf& stream, std::vector<char>& copy, CutFrameInfo& info)
{
    int used = stream.GetUsedSize();
    if (used < kHeaderSize) return CutStatus::kNeedMore;
    const int found = FindSignature(stream.GetStartPointer(), used);
    if (found < 0) {
        // Keep the last header's worth: a signature may start in it.
        stream.DelData(used - kHeaderSize);
        return CutStatus::kNeedMore;
    }
    stream.DelData(found);
    used = stream.GetUsedSize();
    const char* head = stream.GetStartPointer();

    int msgId = 0;
    std::uint32_t dataLen = 0;
    if (!CCommMsg::CheckInfo(head, used, &msgId, &dataLen)) {
        // Not a scrambled header: consumed as an empty frame with id 0.
        msgId = 0;
        dataLen = 0;
    }
    // A frame longer than the stream can hold would wait forever.
    if (dataLen > static_cast<std::uint32_t>(stream.GetCapacity() - kHeaderSize)) return CutStatus::kBroken;
    const int wireLen = kHeaderSize + static_cast<int>(dataLen);
    if (used < wireLen) return CutStatus::kNeedMore;

    int size = wireLen;
    if (dataLen != 0) CCommMsg::CheckCompressSizeInfo(head, wireLen, &size);
    copy.assign(static_cast<std::size_t>(std::max(size, wireLen)), 0);
    std::memcpy(copy.data(), head, static_cast<std::size_t>(wireLen));
    stream.DelData(wireLen);
    info.msgId = msgId;
    info.wireLen = wireLen;
    return CutStatus::kFrame;
}

}  // namespace tovrik::net
