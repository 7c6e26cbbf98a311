#pragma once
// One tovrik-server process: the database, the configuration, an optional
// master server and one or more game servers on one event loop.

#include <memory>
#include <string>
#include <vector>

#include "server/ChannelConfig.h"
#include "server/Database.h"
#include "server/EventLoop.h"
#include "server/GameServer.h"
#include "server/MasterServer.h"
#include "server/ServerContext.h"
#include "server/ServerOptions.h"
#include "server/Shop.h"
#include "server/ShopHttp.h"

namespace tovrik::server {

class ServerProcess {
 public:
  explicit ServerProcess(ServerOptions options);
  ~ServerProcess();

  // Opens the database and the listening sockets. On success `listening`
  // holds the line that names the chosen addresses, for example
  // "master 127.0.0.1:24000 game 127.0.0.1:24001 shop 127.0.0.1:24080".
  bool Start(std::string& listening, std::string& error);
  // Runs until Stop().
  void Run();
  // Safe from a signal handler.
  void Stop() { loop_.Stop(); }
  // An operator's stop (safe from a signal handler): running games end
  // without a result and their players are told, then the loop stops.
  void RequestStop() { stopRequested_ = 1; }
  // Asks the loop to send the notice file to everyone (safe from a signal handler).
  void RequestNotice() { noticeRequested_ = 1; }

 private:
  void SendNotice();
  bool StartShop(std::string& listening, std::string& error);

  ServerOptions options_;
  EventLoop loop_;
  std::unique_ptr<Database> db_;
  ChannelConfig config_;
  std::unique_ptr<ServerContext> context_;
  std::unique_ptr<MasterServer> master_;
  std::vector<std::unique_ptr<GameServer>> games_;
  std::unique_ptr<Shop> shop_;
  std::unique_ptr<ShopHttp> shopHttp_;  // stopped before the loop and the games go
  volatile int noticeRequested_ = 0;
  volatile int stopRequested_ = 0;
};

}  // namespace tovrik::server
