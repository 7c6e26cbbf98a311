#include "server/MasterServer.h"

#include <algorithm>

#include "protocol/LoginMessages.h"
#include "protocol/Records.h"
#include "protocol/TextField.h"
#include "server/Cp949.h"
#include "server/Log.h"

namespace tovrik::server {

void MasterServer::OnGreet(PeerState& peer) {
  protocol::CMS_CHECKVERSION version;
  version.Set(kProtocolVersion);
  Send(peer, version);
}

void MasterServer::OnFrame(PeerState& peer, ReceivedFrame& frame) {
  protocol::CMS_ASK_DESTSERVERINFO ask;
  if (frame.msgId != ask.MSGID) {
    Reject(peer, "message " + std::to_string(frame.msgId) + " is not for the master server");
    return;
  }
  if (++static_cast<MasterPeer&>(peer).asks > kMaxAsksPerConnection) {
    Reject(peer, "more than " + std::to_string(kMaxAsksPerConnection) + " game server requests");
    return;
  }
  if (Parse(peer, frame, ask)) AssignGameServer(peer, *ask.Value);
}

void MasterServer::AssignGameServer(PeerState& peer, int loginGroup) {
  auto servers = context_.db.LiveServers(context_.LiveAfter());
  // A server without channels cannot take a login.
  std::erase_if(servers, [&](const GameServerRecord& s) {
    const auto& channels = context_.config.Channels();
    return std::none_of(channels.begin(), channels.end(),
                        [&](const ChannelConfigEntry& c) { return c.serverNo == s.serverNo && !c.closed; });
  });
  const bool groupServed = std::any_of(servers.begin(), servers.end(),
                                       [&](const GameServerRecord& s) { return s.loginGroup == loginGroup; });
  // A group without a server of its own may use any server.
  if (loginGroup >= 0 && groupServed) {
    std::erase_if(servers, [&](const GameServerRecord& s) { return s.loginGroup != loginGroup; });
  }
  const auto least = std::min_element(servers.begin(), servers.end(), [](const auto& a, const auto& b) {
    return a.users != b.users ? a.users < b.users : a.serverNo < b.serverNo;
  });
  if (least == servers.end()) {
    Refuse(peer, 1, "접속 가능한 게임 서버가 없습니다. 잠시 후 다시 접속해 주십시오.");
    return;
  }

  TicketRecord ticket;
  ticket.kind = TicketKind::Login;
  // The login record carries the ticket as one 32-bit and four 16-bit values.
  ticket.keyA = context_.RandomKey();
  ticket.keyB = context_.RandomKey();
  ticket.keyC = context_.RandomKey();
  ticket.serverNo = least->serverNo;
  ticket.expires = context_.Now() + kTicketSeconds;
  if (context_.db.CountLiveTickets(TicketKind::Login, context_.Now()) >= kMaxLiveLoginTickets) {
    Refuse(peer, 1, "접속이 너무 많습니다. 잠시 후 다시 접속해 주십시오.");
    return;
  }
  if (!context_.db.StoreTicket(ticket)) {
    Refuse(peer, 2, "서버 오류로 접속할 수 없습니다.");
    return;
  }
  protocol::Ms_DestServerInfo info;
  protocol::CopyIfShorter(info.IP, least->host);
  info.Port = least->port;
  info.Ticket1 = ticket.keyA;
  info.Ticket2 = static_cast<std::int16_t>(ticket.keyB & 0xFFFF);
  info.Ticket3 = static_cast<std::int16_t>((ticket.keyB >> 16) & 0xFFFF);
  info.Ticket4 = static_cast<std::int16_t>(ticket.keyC & 0xFFFF);
  info.Ticket5 = static_cast<std::int16_t>((ticket.keyC >> 16) & 0xFFFF);
  Log(LogLevel::Info, "master: connection ", peer.connection->Id(), " sent to game server ", least->serverNo, " (",
      least->host, ":", least->port, ")");
  protocol::CMS_DESTSERVERINFO dest;
  dest.Set(info);
  Send(peer, dest);
}

void MasterServer::Refuse(PeerState& peer, int reason, const char* utf8Text) {
  Log(LogLevel::Warn, "master: refused connection ", peer.connection->Id(), ": ", utf8Text);
  protocol::CMS_REFUSE_DESTSERVERINFO refusal;
  refusal.Set(reason, Utf8ToCp949(utf8Text));
  Send(peer, refusal);
}

}  // namespace tovrik::server
