#pragma once
// The part that the master server and the game servers share: it cuts frames
// out of each connection's stream, drops a connection that sends anything
// that is not a sound frame, numbers and scrambles each outgoing frame per
// connection, and closes connections that never get past their greeting.

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "server/EventLoop.h"
#include "server/Wire.h"

namespace tovrik::server {

// Per-connection state; servers derive their sessions from it.
struct PeerState {
  virtual ~PeerState() = default;
  Connection* connection = nullptr;
  std::uint16_t sendSeq = 0;
  std::chrono::steady_clock::time_point opened = std::chrono::steady_clock::now();
  bool greeted = false;  // past login: no greeting time-out any more
  // A frame waits at the front of the input until the rate limits admit it.
  bool held = false;
};

class FrameServer : public ConnectionHandler {
 public:
  // Largest payload a client ever needs to send (an abuse report with its
  // conversation excerpt stays far below).
  static constexpr std::size_t kMaxClientPayload = 32 * 1024;
  // The client's receive stream holds 95 000 bytes: no frame may be larger.
  static constexpr std::size_t kMaxServerFrame = 95000;

  void OnOpen(Connection& connection) override;
  void OnData(Connection& connection) override;
  void OnClose(Connection& connection) override;

  // Input held back by the rate limits beyond this closes the connection:
  // its peer sends far faster than any client.
  static constexpr std::size_t kMaxHeldInput = 48 * 1024;

  // Closes connections that did not log in within `limit`.
  void DropSilentPeers(std::chrono::seconds limit);
  // Goes on with the input of peers whose frames waited for a rate limit:
  // call regularly.
  void ResumeHeldPeers();
  int OpenConnections() const { return static_cast<int>(peers_.size()); }

 protected:
  virtual std::unique_ptr<PeerState> NewPeer() = 0;
  virtual void OnGreet(PeerState& peer) = 0;
  virtual void OnFrame(PeerState& peer, ReceivedFrame& frame) = 0;
  virtual void OnPeerClosed(PeerState& peer) = 0;
  // Whether a frame of that message may be handled now; false keeps it, and
  // everything after it, waiting in the input (the peer is slowed down, and
  // nothing it sent is lost unless it keeps on flooding).
  virtual bool Admit(PeerState&, std::int16_t /*msgId*/) { return true; }

  // Sends a built frame (see FrameOf); an empty one (a failed Set) is a bug
  // on our side and is logged, not sent.
  void Send(PeerState& peer, std::span<const std::uint8_t> frame);
  template <typename Message>
  void Send(PeerState& peer, const Message& message) {
    Send(peer, FrameOf(message));
  }
  // Parses a received frame with its message class; a frame that does not
  // parse closes the connection.
  template <typename Message>
  bool Parse(PeerState& peer, ReceivedFrame& frame, Message& message) {
    if (message.Get(frame.Data(), frame.Size())) return true;
    Reject(peer, "message " + std::to_string(frame.msgId) + " does not parse");
    return false;
  }
  // Closes one connection after a protocol fault, with a log line.
  void Reject(PeerState& peer, const std::string& reason);

  virtual const char* Name() const = 0;

 private:
  std::map<std::uint64_t, std::unique_ptr<PeerState>> peers_;
};

}  // namespace tovrik::server
