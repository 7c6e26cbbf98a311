// Feeds arbitrary bytes through everything that reads from the network: the
// frame cutter, the unscrambling and parsing of frames, and every
// decompressor.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "net/CommMsg.h"
#include "net/Compress.h"
#include "net/FrameCutter.h"
#include "net/StreamBuf.h"

using namespace tovrik::net;

namespace {

void ParseFrame(std::vector<char>& copy, int wireLen)
{
    CCommMsg msg;
    if (!msg.GetHeader(copy.data(), wireLen)) return;
    char* part = nullptr;
    // Parts as a message class takes them: a length, then that many bytes.
    while (msg.TakeData(&part, 4)) {
        const int len = static_cast<int>(ReadU32(part) & 0xFFFF);
        if (!msg.TakeData(&part, len)) break;
    }
}

void CutStream(const std::uint8_t* data, std::size_t size)
{
    CStreamBuf stream;
    stream.Init(CStreamBuf::kSocketStreamSize);
    // The first byte sets the size of the reads the bytes arrive in.
    const std::size_t chunk = size > 0 ? 1 + data[0] * 8u : 1;
    for (std::size_t pos = 0; pos < size; pos += chunk) {
        const int n = static_cast<int>(std::min(chunk, size - pos));
        if (stream.AddData(data + pos, n) == 0) return;  // full: the socket would break
        for (;;) {
            std::vector<char> copy;
            CutFrameInfo info;
            const CutStatus status = CutFrame(stream, copy, info);
            if (status == CutStatus::kBroken) return;
            if (status == CutStatus::kNeedMore) break;
            ParseFrame(copy, info.wireLen);
        }
    }
}

void DecompressAll(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return;
    std::vector<char> out(static_cast<std::size_t>(1 + data[0] * 400));
    for (int id = 1; id <= 4; ++id) {
        int len = static_cast<int>(out.size());
        UtilDecompress(id, out.data(), &len, reinterpret_cast<const char*>(data) + 1, static_cast<int>(size - 1));
    }
}

// The bytes as the payload of a compressed frame that passes its check, so
// that the length prefix and the stream reach the decompressors through
// GetHeader.
void ParseCompressedFrame(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return;
    std::vector<char> frame(kHeaderSize + size - 1);
    MsgHeader h;
    h.MsgID = 1524;
    h.DataLen = static_cast<std::uint32_t>(size - 1);
    h.CompressType = static_cast<std::int8_t>(10 * (1 + data[0] % 4));
    h.SeqNo = data[0];
    WriteMsgHeader(frame.data(), h);
    std::copy(data + 1, data + size, frame.begin() + kHeaderSize);
    CCommMsg::EncodeAll(frame.data(), static_cast<int>(frame.size()));
    ParseFrame(frame, static_cast<int>(frame.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CutStream(data, size);
    DecompressAll(data, size);
    ParseCompressedFrame(data, size);
    // The same bytes as one frame, unscrambled and parsed in place.
    std::vector<char> frame(data, data + size);
    if (frame.size() >= static_cast<std::size_t>(kHeaderSize)) ParseFrame(frame, static_cast<int>(frame.size()));
    return 0;
}
