#pragma once
// Frames as the servers see them: building a plain frame from records and
// numbers, scrambling a copy for one connection, cutting received frames out
// of a connection's byte stream and reading a payload without ever trusting
// a length the peer sent.

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tovrik::server {

// Records are bytes and little-endian numbers with alignment 1 and no
// padding, so their object representation is their wire form.
template <typename Record>
concept WireRecord = std::is_trivially_copyable_v<Record> && alignof(Record) == 1;

class PayloadWriter {
 public:
  explicit PayloadWriter(std::int16_t msgId);

  template <WireRecord Record>
  PayloadWriter& Put(const Record& record) {
    return PutBytes({reinterpret_cast<const std::uint8_t*>(&record), sizeof record});
  }
  PayloadWriter& PutI32(std::int32_t value);
  PayloadWriter& PutI16(std::int16_t value);
  PayloadWriter& PutBytes(std::span<const std::uint8_t> bytes);
  PayloadWriter& PutBytes(std::string_view bytes);
  // A fixed text field of `width` bytes, zero padded; text that does not fit
  // with its terminating zero is cut on a character boundary.
  PayloadWriter& PutText(std::string_view text, std::size_t width);

  // The plain frame: header (with DataLen) and payload.
  const std::vector<std::uint8_t>& Frame() const { return frame_; }
  std::size_t PayloadSize() const;

 private:
  std::vector<std::uint8_t> frame_;
};

class PayloadReader {
 public:
  explicit PayloadReader(std::span<const std::uint8_t> payload) : rest_(payload) {}

  template <WireRecord Record>
  bool Take(Record& record) {
    if (rest_.size() < sizeof record) return Fail();
    std::memcpy(&record, rest_.data(), sizeof record);
    rest_ = rest_.subspan(sizeof record);
    return true;
  }
  bool TakeI32(std::int32_t& value);
  bool TakeI16(std::int16_t& value);
  bool TakeBytes(std::size_t count, std::span<const std::uint8_t>& bytes);
  // A fixed text field of `width` bytes, read up to its first zero.
  bool TakeText(std::size_t width, std::string& text);

  std::size_t Remaining() const { return rest_.size(); }
  bool Failed() const { return failed_; }

 private:
  bool Fail() {
    failed_ = true;
    return false;
  }
  std::span<const std::uint8_t> rest_;
  bool failed_ = false;
};

// The copy of `plainFrame` that goes on the wire with sequence number `seq`.
std::vector<std::uint8_t> SealFrame(const std::vector<std::uint8_t>& plainFrame, std::uint16_t seq);

struct ReceivedFrame {
  std::int16_t msgId = 0;
  std::vector<std::uint8_t> bytes;  // the unscrambled frame, header included
  std::span<const std::uint8_t> Payload() const;
};

enum class CutResult { NeedMore, Frame, Bad };

// Looks at the front of a connection's stream. A peer of these servers sends
// nothing but whole scrambled frames, so anything else at the front (bytes
// without the signature, a plain or compressed frame, a payload over
// `maxPayload`, a frame that fails its check) is Bad, with the reason.
// On Frame, `consumed` bytes of the stream were used.
CutResult CutFrame(std::span<const std::uint8_t> stream, std::size_t maxPayload, ReceivedFrame& frame,
                   std::size_t& consumed, std::string& reason);

}  // namespace tovrik::server
