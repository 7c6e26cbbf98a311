#include "server/Wire.h"

#include "net/CommMsg.h"
#include "net/MsgHeader.h"
#include "protocol/LittleEndian.h"
#include "protocol/TextField.h"

namespace tovrik::server {

PayloadWriter::PayloadWriter(std::int16_t msgId) : frame_(net::kHeaderSize) {
  net::MsgHeader header;
  header.MsgID = msgId;
  net::WriteMsgHeader(reinterpret_cast<char*>(frame_.data()), header);
}

std::size_t PayloadWriter::PayloadSize() const { return frame_.size() - net::kHeaderSize; }

PayloadWriter& PayloadWriter::PutBytes(std::span<const std::uint8_t> bytes) {
  frame_.insert(frame_.end(), bytes.begin(), bytes.end());
  net::WriteU32(reinterpret_cast<char*>(frame_.data()) + net::kOffDataLen, static_cast<std::uint32_t>(PayloadSize()));
  return *this;
}

PayloadWriter& PayloadWriter::PutBytes(std::string_view bytes) {
  return PutBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

PayloadWriter& PayloadWriter::PutI32(std::int32_t value) {
  std::uint8_t bytes[4];
  protocol::StoreLE(bytes, value);
  return PutBytes(bytes);
}

PayloadWriter& PayloadWriter::PutI16(std::int16_t value) {
  std::uint8_t bytes[2];
  protocol::StoreLE(bytes, value);
  return PutBytes(bytes);
}

PayloadWriter& PayloadWriter::PutText(std::string_view text, std::size_t width) {
  std::vector<char> field(width, '\0');
  protocol::CopyAtMost(field, text, width - 1);
  return PutBytes({reinterpret_cast<const std::uint8_t*>(field.data()), field.size()});
}

bool PayloadReader::TakeI32(std::int32_t& value) {
  protocol::le_int32 wire;
  if (!Take(wire)) return false;
  value = wire;
  return true;
}

bool PayloadReader::TakeI16(std::int16_t& value) {
  protocol::le_int16 wire;
  if (!Take(wire)) return false;
  value = wire;
  return true;
}

bool PayloadReader::TakeBytes(std::size_t count, std::span<const std::uint8_t>& bytes) {
  if (rest_.size() < count) return Fail();
  bytes = rest_.first(count);
  rest_ = rest_.subspan(count);
  return true;
}

bool PayloadReader::TakeText(std::size_t width, std::string& text) {
  std::span<const std::uint8_t> field;
  if (!TakeBytes(width, field)) return false;
  text = protocol::ReadText({reinterpret_cast<const char*>(field.data()), field.size()});
  return true;
}

std::vector<std::uint8_t> SealFrame(const std::vector<std::uint8_t>& plainFrame, std::uint16_t seq) {
  std::vector<std::uint8_t> sealed = plainFrame;
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
