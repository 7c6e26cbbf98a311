#include "server/Wire.h"

#include "net/CommMsg.h"
#include "net/MsgHeader.h"

namespace tovrik::server {

std::vector<std::uint8_t> SealFrame(std::span<const std::uint8_t> plainFrame, std::uint16_t seq) {
  std::vector<std::uint8_t> sealed(plainFrame.begin(), plainFrame.end());
  char* bytes = reinterpret_cast<char*>(sealed.data());
  net::WriteU16(bytes + net::kOffSeqNo, seq);
  net::CCommMsg::EncodeAll(bytes, static_cast<int>(sealed.size()));
  return sealed;
}

std::span<const std::uint8_t> ReceivedFrame::Payload() const {
  return std::span<const std::uint8_t>(bytes).subspan(net::kHeaderSize);
}

CutResult CutFrame(std::span<const std::uint8_t> stream, std::size_t maxPayload, ReceivedFrame& frame,
                   std::size_t& consumed, std::string& reason) {
  if (stream.size() < static_cast<std::size_t>(net::kHeaderSize)) return CutResult::NeedMore;
  const char* head = reinterpret_cast<const char*>(stream.data());
  int msgId = 0;
  std::uint32_t dataLen = 0;
  if (!net::HasSignature(head)) {
    reason = "bytes without a frame signature";
    return CutResult::Bad;
  }
  if (!net::CCommMsg::CheckInfo(head, static_cast<int>(stream.size()), &msgId, &dataLen)) {
    reason = "frame that is not scrambled";
    return CutResult::Bad;
  }
  if (dataLen > maxPayload) {
    reason = "frame announcing " + std::to_string(dataLen) + " payload bytes (limit " + std::to_string(maxPayload) + ")";
    return CutResult::Bad;
  }
  if (net::IsCompressedType(head[net::kOffCompressType])) {
    reason = "compressed frame (clients never compress)";
    return CutResult::Bad;
  }
  const std::size_t total = net::kHeaderSize + static_cast<std::size_t>(dataLen);
  if (stream.size() < total) return CutResult::NeedMore;
  frame.bytes.assign(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(total));
  if (!net::CCommMsg::DecodeAll(reinterpret_cast<char*>(frame.bytes.data()), static_cast<int>(total))) {
    reason = "frame that fails its check value";
    return CutResult::Bad;
  }
  frame.msgId = static_cast<std::int16_t>(msgId);
  consumed = total;
  return CutResult::Frame;
}

}  // namespace tovrik::server
