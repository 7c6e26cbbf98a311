#include "server/FrameServer.h"

#include "server/Log.h"

namespace tovrik::server {

void FrameServer::OnOpen(Connection& connection) {
  auto peer = NewPeer();
  peer->connection = &connection;
  connection.context = peer.get();
  PeerState& state = *peer;
  peers_.emplace(connection.Id(), std::move(peer));
  OnGreet(state);
}

void FrameServer::OnData(Connection& connection) {
  auto* peer = static_cast<PeerState*>(connection.context);
  if (!peer) return;
  if (peer->held) {
    if (connection.Input().size() > kMaxHeldInput) {
      Reject(*peer, "flooding: " + std::to_string(connection.Input().size()) +
                        " bytes waiting behind the rate limits");
    }
    return;
  }
  ReceivedFrame frame;
  while (!connection.Closing()) {
    std::size_t consumed = 0;
    std::string reason;
    const CutResult result = CutFrame(connection.Input(), kMaxClientPayload, frame, consumed, reason);
    if (result == CutResult::NeedMore) return;
    if (result == CutResult::Bad) {
      Reject(*peer, reason);
      return;
    }
    if (!Admit(*peer, frame.msgId)) {
      peer->held = true;
      return;
    }
    connection.Consume(consumed);
    Log(LogLevel::Debug, Name(), " connection ", connection.Id(), " sent message ", frame.msgId, " (",
        frame.Payload().size(), " bytes)");
    OnFrame(*peer, frame);
  }
}

void FrameServer::OnClose(Connection& connection) {
  auto it = peers_.find(connection.Id());
  if (it == peers_.end()) return;
  auto peer = std::move(it->second);
  peers_.erase(it);
  OnPeerClosed(*peer);
  connection.context = nullptr;
}

void FrameServer::DropSilentPeers(std::chrono::seconds limit) {
  const auto now = std::chrono::steady_clock::now();
  for (auto& [id, peer] : peers_) {
    if (!peer->greeted && now - peer->opened > limit && !peer->connection->Closing()) {
      peer->connection->Close("no login within " + std::to_string(limit.count()) + " s");
    }
  }
}

void FrameServer::ResumeHeldPeers() {
  std::vector<Connection*> held;
  for (auto& [id, peer] : peers_) {
    if (peer->held && !peer->connection->Closing()) held.push_back(peer->connection);
  }
  // OnData may close connections, but none goes away before the loop reaps.
  for (Connection* connection : held) {
    static_cast<PeerState*>(connection->context)->held = false;
    OnData(*connection);
  }
}

void FrameServer::Send(PeerState& peer, std::span<const std::uint8_t> frame) {
  if (frame.empty()) {
    Log(LogLevel::Error, Name(), ": a message could not be built");
    return;
  }
  if (frame.size() > kMaxServerFrame) {
    // A bug on our side, never the peer's: say so loudly and keep the client's stream sane.
    Log(LogLevel::Error, Name(), ": refusing to send a frame of ", frame.size(), " bytes");
    return;
  }
  ++peer.sendSeq;
  peer.connection->Send(SealFrame(frame, peer.sendSeq));
}

void FrameServer::Reject(PeerState& peer, const std::string& reason) {
  Log(LogLevel::Warn, Name(), " connection ", peer.connection->Id(), " (", peer.connection->Peer(), "): ", reason);
  peer.connection->Close(reason);
}

}  // namespace tovrik::server
