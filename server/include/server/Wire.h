#pragma once
// Frames as the servers see them: scrambling a copy of a built frame for one
// connection, and cutting received frames out of a connection's byte stream
// without ever trusting a length the peer sent.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tovrik::server {

// The copy of `plainFrame` that goes on the wire with sequence number `seq`.
std::vector<std::uint8_t> SealFrame(std::span<const std::uint8_t> plainFrame, std::uint16_t seq);

struct ReceivedFrame {
  std::int16_t msgId = 0;
  std::vector<std::uint8_t> bytes;  // the unscrambled frame, header included
  std::span<const std::uint8_t> Payload() const;
  // For the message classes, which parse a frame in place.
  char* Data() { return reinterpret_cast<char*>(bytes.data()); }
  int Size() const { return static_cast<int>(bytes.size()); }
};

// The bytes of a built message (any message class).
template <typename Message>
std::span<const std::uint8_t> FrameOf(const Message& message) {
  return {reinterpret_cast<const std::uint8_t*>(message.GetData()), static_cast<std::size_t>(message.GetTotalSize())};
}

enum class CutResult { NeedMore, Frame, Bad };

// Looks at the front of a connection's stream. A peer of these servers sends
// nothing but whole scrambled frames, so anything else at the front (bytes
// without the signature, a plain or compressed frame, a payload over
// `maxPayload`, a frame that fails its check) is Bad, with the reason.
// On Frame, `consumed` bytes of the stream were used.
CutResult CutFrame(std::span<const std::uint8_t> stream, std::size_t maxPayload, ReceivedFrame& frame,
                   std::size_t& consumed, std::string& reason);

}  // namespace tovrik::server
