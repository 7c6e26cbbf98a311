#include "server/ServerProcess.h"

#include <fstream>
#include <sstream>

#include "server/Cp949.h"
#include "server/Log.h"

namespace tovrik::server {
namespace {

// Limits on what one peer may hold of the server's memory.
ConnectionLimits ClientLimits() {
  ConnectionLimits limits;
  limits.maxInput = 2 * (FrameServer::kMaxClientPayload + 16);
  limits.maxQueued = 1024 * 1024;
  limits.maxConnections = 1024;
  return limits;
}

constexpr std::chrono::seconds kLoginTimeLimit{30};
constexpr int kMatchTickMs = 20;
constexpr std::chrono::milliseconds kLoopBusyWait{50};

}  // namespace

ServerProcess::ServerProcess(ServerOptions options) : options_(std::move(options)) {}

ServerProcess::~ServerProcess() {
  if (shopHttp_) shopHttp_->Stop();
  for (auto& game : games_) game->Shutdown();
}

bool ServerProcess::Start(std::string& listening, std::string& error) {
  if (!loop_.Ok()) {
    error = "cannot create the event loop";
    return false;
  }
  const int gameServers = options_.firstGameNumber - 1 + static_cast<int>(options_.gamePorts.size());
  if (options_.config.empty()) {
    config_ = ChannelConfig::Default(gameServers);
  } else if (!ChannelConfig::Load(options_.config, gameServers, config_, error)) {
    return false;
  }
  db_ = Database::Open(options_.db, error);
  if (!db_) {
    error = options_.db.string() + ": " + error;
    return false;
  }
  // From now on the loop works the database: a statement that finds another
  // process's lock waits only briefly and fails, rather than stand the whole
  // loop still. Writes that matter (game results) are tried again later.
  db_->SetBusyWait(kLoopBusyWait);
  context_ = std::make_unique<ServerContext>(ServerContext{*db_, config_, std::mt19937_64{std::random_device{}()}, {}});

  std::ostringstream line;
  if (options_.master) {
    master_ = std::make_unique<MasterServer>(*context_);
    std::uint16_t port = 0;
    if (!loop_.Listen(options_.host, options_.masterPort, *master_, ClientLimits(), port, error)) return false;
    line << "master " << options_.host << ":" << port;
  }
  for (std::size_t i = 0; i < options_.gamePorts.size(); ++i) {
    const int number = options_.firstGameNumber + static_cast<int>(i);
    std::uint16_t port = 0;
    games_.push_back(std::make_unique<GameServer>(*context_, number, options_.host));
    GameServer& game = *games_.back();
    if (!loop_.Listen(options_.host, options_.gamePorts[i], game, ClientLimits(), port, error)) return false;
    // Registered only now: clients are sent to the port actually bound.
    if (!game.Start(port)) {
      error = "cannot register game server " + std::to_string(number) + " in the database";
      return false;
    }
    line << (line.tellp() > 0 ? " " : "") << "game " << options_.host << ":" << port;
  }
  std::string shopLine;
  if (!StartShop(shopLine, error)) return false;
  listening = line.str() + shopLine;

  loop_.AddTimer(100, [this] {
    for (auto& game : games_) game->DeliverMail();
    if (noticeRequested_) {
      noticeRequested_ = 0;
      SendNotice();
    }
    if (stopRequested_) {
      stopRequested_ = 0;
      for (auto& game : games_) game->AbandonGames();
      loop_.Stop();
    }
  });
  // Game deadlines are checked this often; it bounds how late a turn passes.
  loop_.AddTimer(kMatchTickMs, [this] {
    for (auto& game : games_) game->TickMatches();
    // Frames held back by a rate limit go on as soon as it allows.
    if (master_) master_->ResumeHeldPeers();
    for (auto& game : games_) game->ResumeHeldPeers();
  });
  // Results the database was too busy to take; each try waits at most the
  // short busy time below.
  loop_.AddTimer(250, [this] {
    for (auto& game : games_) game->RetryPendingResults();
  });
  loop_.AddTimer(kHeartbeatSeconds * 1000, [this] {
    for (auto& game : games_) game->Heartbeat();
  });
  loop_.AddTimer(5000, [this] {
    if (master_) master_->DropSilentPeers(kLoginTimeLimit);
    for (auto& game : games_) game->DropSilentPeers(kLoginTimeLimit);
  });
  return true;
}

bool ServerProcess::StartShop(std::string& listening, std::string& error) {
  if (games_.empty() || !options_.shop) return true;
  // Loopback only: the shop knows its players by their cookie alone.
  const std::string host = "127.0.0.1";
  const std::uint16_t wanted =
      options_.shopPort.value_or(static_cast<std::uint16_t>(24079 + options_.firstGameNumber));
  shop_ = std::make_unique<Shop>(*context_, games_);
  shopHttp_ = std::make_unique<ShopHttp>(loop_, [this](const ShopRequest& request) { return shop_->Handle(request); });
  std::uint16_t port = 0;
  if (!shopHttp_->Start(host, wanted, port, error)) return false;
  context_->shopAddress = "http://" + host + ":" + std::to_string(port);
  listening = " shop " + host + ":" + std::to_string(port);
  return true;
}

void ServerProcess::Run() {
  loop_.Run();
  if (shopHttp_) shopHttp_->Stop();
  for (auto& game : games_) game->Shutdown();
  games_.clear();
}

void ServerProcess::SendNotice() {
  if (options_.noticeFile.empty()) {
    Log(LogLevel::Warn, "notice requested, but no --notice-file was given");
    return;
  }
  std::ifstream in(options_.noticeFile, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::string notice = text.str();
  while (!notice.empty() && (notice.back() == '\n' || notice.back() == '\r')) notice.pop_back();
  if (notice.empty()) {
    Log(LogLevel::Warn, "notice file ", options_.noticeFile.string(), " is empty or unreadable");
    return;
  }
  Log(LogLevel::Info, "sending notice: ", notice);
  const std::string cp949 = Utf8ToCp949(notice);
  for (auto& game : games_) game->Broadcast(cp949, 0);
}

}  // namespace tovrik::server
