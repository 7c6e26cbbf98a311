#include "protocol/Message.h"

#include <limits>

#include "net/MsgHeader.h"

namespace tovrik::protocol {

bool PayloadWriter::Int32Text(std::string_view text)
{
    text = UntilZero(text);
    if (!FitsInt32(text.size())) return false;
    Int32(static_cast<std::int32_t>(text.size()));
    Bytes(text);
    return true;
}

void PayloadWriter::Int16Text(std::string_view text)
{
    text = Cp949Head(UntilZero(text), static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()));
    Int16(static_cast<std::int16_t>(text.size()));
    Bytes(text);
}

void PayloadWriter::TextIfShorter(std::string_view text, std::size_t width)
{
    const std::size_t start = bytes_.size();
    bytes_.resize(start + width);
    CopyIfShorter(std::span<char>(bytes_.data() + start, width), text);
}

void PayloadWriter::TextAtMost(std::string_view text, std::size_t width, std::size_t n)
{
    const std::size_t start = bytes_.size();
    bytes_.resize(start + width);
    CopyAtMost(std::span<char>(bytes_.data() + start, width), text, n);
}

namespace detail {

bool OpenFrame(net::CCommMsg& msg, char* frame, int len, std::int16_t msgId)
{
    if (!frame || len < net::kHeaderSize) return false;
    // Parsing stops at the end of the payload the header states, never at
    // whatever follows it in the caller's buffer.
    const std::uint32_t dataLen = net::ReadU32(frame + net::kOffDataLen);
    if (dataLen > static_cast<std::uint32_t>(len - net::kHeaderSize)) return false;
    if (!msg.GetHeader(frame, net::kHeaderSize + static_cast<int>(dataLen))) return false;
    return msg.GetHeaderFields().MsgID == msgId;
}

bool BeginFrame(net::CCommMsg& msg, std::int16_t msgId, std::size_t payloadSize)
{
    if (payloadSize > static_cast<std::size_t>(std::numeric_limits<int>::max() - net::kHeaderSize)) return false;
    if (!msg.SetHeader(msgId)) return false;
    return msg.Reserve(net::kHeaderSize + static_cast<int>(payloadSize));
}

}  // namespace detail
}  // namespace tovrik::protocol
