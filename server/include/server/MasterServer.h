#pragma once
// The master server: greets with its version and hands each client the least
// loaded live game server of its login group, with a login ticket.

#include "server/FrameServer.h"
#include "server/ServerContext.h"

namespace tovrik::server {

struct MasterPeer : PeerState {
  int asks = 0;  // game server requests on this connection
};

class MasterServer : public FrameServer {
 public:
  // A client asks once per connection; a few more allow for retries.
  static constexpr int kMaxAsksPerConnection = 3;
  // Login tickets waiting to be used, of all connections together: far more
  // than logins can come in one ticket lifetime, far less than fills a disk.
  static constexpr int kMaxLiveLoginTickets = 5000;

  explicit MasterServer(ServerContext& context) : context_(context) {}

 protected:
  std::unique_ptr<PeerState> NewPeer() override { return std::make_unique<MasterPeer>(); }
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
