// Runs the Get of every message class on arbitrary bytes, both as a whole
// frame and as the payload of a well-formed header of the class's own id
// (so that every layout is reached without guessing a header first), and
// reads every byte of every part a successful Get hands out, so that a part
// pointer or a length that reaches past the frame shows up under the
// sanitizers.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "net/CommMsg.h"
#include "net/MsgHeader.h"
#include "protocol/Messages.h"

namespace {

using namespace tovrik::protocol;

// Reads each part through the class's own layout.
class PartReader {
public:
    template <typename T>
    void Part(T*& part) { Read(part, static_cast<std::int64_t>(sizeof(T))); }
    template <typename T>
    void Array(T*& part, std::int64_t count) { Read(part, count * static_cast<std::int64_t>(sizeof(T))); }
    void Bytes(char*& part, std::int64_t length) { Read(part, length); }
    void Require(bool) {}

    unsigned sum = 0;

private:
    template <typename T>
    void Read(T* part, std::int64_t length)
    {
        if (!part) return;
        const auto* bytes = reinterpret_cast<const volatile unsigned char*>(part);
        for (std::int64_t i = 0; i < length; ++i) sum += bytes[i];
    }
};

template <typename Message>
void GetAndRead(std::vector<char> frame)
{
    Message message;
    if (!message.Get(frame.data(), static_cast<int>(frame.size()))) return;
    PartReader reader;
    message.Layout(reader);
}

// The input as the payload of a frame with this id; scrambled when the
// input's size is odd, so that both kinds of received frame are covered.
std::vector<char> FrameAround(std::int16_t msgId, const std::uint8_t* data, std::size_t size)
{
    std::vector<char> frame(tovrik::net::kHeaderSize + size);
    tovrik::net::MsgHeader header;
    header.MsgID = msgId;
    header.DataLen = static_cast<std::uint32_t>(size);
    header.SeqNo = static_cast<std::uint16_t>(size * 7);
    tovrik::net::WriteMsgHeader(frame.data(), header);
    if (size) std::memcpy(frame.data() + tovrik::net::kHeaderSize, data, size);
    if (size % 2) tovrik::net::CCommMsg::EncodeAll(frame.data(), static_cast<int>(frame.size()));
    return frame;
}

template <typename Message>
void Exercise(const std::uint8_t* data, std::size_t size)
{
    GetAndRead<Message>(std::vector<char>(data, data + size));
    GetAndRead<Message>(FrameAround(Message::MSGID, data, size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
#define TOVRIK_FUZZ_GET(id, name, direction, server) Exercise<name>(data, size);
    TOVRIK_PROTOCOL_MESSAGES(TOVRIK_FUZZ_GET)
#undef TOVRIK_FUZZ_GET
    return 0;
}
