#pragma once
// The master server: greets with its version and hands each client the least
// loaded live game server of its login group, with a login ticket.

#include "server/FrameServer.h"
#include "server/ServerContext.h"

namespace tovrik::server {

class MasterServer : public FrameServer {
 public:
  explicit MasterServer(ServerContext& context) : context_(context) {}

 protected:
  std::unique_ptr<PeerState> NewPeer() override { return std::make_unique<PeerState>(); }
  void OnGreet(PeerState& peer) override;
  void OnFrame(PeerState& peer, ReceivedFrame& frame) override;
  void OnPeerClosed(PeerState&) override {}
  const char* Name() const override { return "master"; }

 private:
  void AssignGameServer(PeerState& peer, int loginGroup);
  void Refuse(PeerState& peer, int reason, const char* utf8Text);

  ServerContext& context_;
};

}  // namespace tovrik::server
