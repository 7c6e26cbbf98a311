// tovrik-server: the local master server and game servers.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <vector>

#include "server/ItemGrant.h"
#include "server/Log.h"
#include "server/ServerProcess.h"

namespace {

tovrik::server::ServerProcess* g_process = nullptr;

void OnStopSignal(int) {
  if (g_process) g_process->RequestStop();
}

void OnNoticeSignal(int) {
  if (g_process) g_process->RequestNotice();
}

void InstallHandler(int signal, void (*handler)(int)) {
  struct sigaction action{};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signal, &action, nullptr);
}

// The --grant-item mode: checks every grant before storing any.
int GrantItems(const tovrik::server::ServerOptions& options) {
  using namespace tovrik::server;
  std::string error;
  std::vector<ItemGrant> grants;
  for (const auto& text : options.grants) {
    auto grant = ParseItemGrant(text, error);
    if (!grant) {
      std::cerr << "tovrik-server: " << error << "\n";
      return 2;
    }
    grants.push_back(*grant);
  }
  auto db = Database::Open(options.db, error);
  if (!db) {
    std::cerr << "tovrik-server: " << options.db.string() << ": " << error << "\n";
    return 1;
  }
  for (const auto& grant : grants) {
    if (!db->FindUserByLogin(grant.loginId)) {
      std::cerr << "tovrik-server: no user " << grant.loginId << " (a user exists after its first login)\n";
      return 1;
    }
  }
  for (const auto& grant : grants) {
    if (!GrantItem(*db, grant, error)) {
      std::cerr << "tovrik-server: " << error << "\n";
      return 1;
    }
    std::cout << "granted item " << grant.itemCode << " to " << grant.loginId << "\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tovrik::server;
  std::string error;
  const auto options = ParseServerOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << "tovrik-server: " << error << "\n" << ServerUsage();
    return 2;
  }
  if (options->help) {
    std::cout << ServerUsage();
    return 0;
  }
  SetLogLevel(options->logLevel);
  if (!options->grants.empty()) return GrantItems(*options);

  ServerProcess process(*options);
  std::string listening;
  if (!process.Start(listening, error)) {
    Log(LogLevel::Error, "cannot start: ", error);
    return 1;
  }
  g_process = &process;
  InstallHandler(SIGINT, OnStopSignal);
  InstallHandler(SIGTERM, OnStopSignal);
  InstallHandler(SIGUSR1, OnNoticeSignal);
  std::signal(SIGPIPE, SIG_IGN);

  // One line on standard output, for scripts and tests that start the server
  // with port 0.
  std::cout << listening << std::endl;
  Log(LogLevel::Info, "database ", options->db.string());
  process.Run();
  g_process = nullptr;
  Log(LogLevel::Info, "stopped");
  return 0;
}
