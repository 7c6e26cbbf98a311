#pragma once
// What the master server and the game servers of one process share.

#include <cstdint>
#include <random>
#include <string>

#include "protocol/MessageCatalogue.h"
#include "server/ChannelConfig.h"
#include "server/Database.h"

namespace tovrik::server {

using protocol::kProtocolVersion;
// A game server that has not written its heartbeat for this long is gone,
// and so are the users it held.
inline constexpr int kHeartbeatSeconds = 2;
inline constexpr int kLiveSeconds = 10;
inline constexpr int kTicketSeconds = 60;

struct ServerContext {
  Database& db;
  const ChannelConfig& config;
  std::mt19937_64 random{std::random_device{}()};
  // "http://127.0.0.1:PORT" of this process's web shop; empty without one.
  std::string shopAddress;

  std::int64_t Now() const;  // unix seconds
  std::int64_t LiveAfter() const { return Now() - kLiveSeconds; }
  std::int32_t RandomKey() { return static_cast<std::int32_t>(random()); }
};

}  // namespace tovrik::server
