#pragma once
// The command line of tovrik-server.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "server/Log.h"

namespace tovrik::server {

struct ServerOptions {
  std::string host = "127.0.0.1";
  bool master = true;
  bool noGame = false;
  std::uint16_t masterPort = 24000;
  std::vector<std::uint16_t> gamePorts;  // empty: one game server on 24001
  int firstGameNumber = 1;
  // The web shop's port on 127.0.0.1; empty: 24079 + firstGameNumber, so
  // that processes with distinct game numbers do not collide. 0 = any free port.
  std::optional<std::uint16_t> shopPort;
  bool shop = true;  // only a process with game servers runs one
  std::filesystem::path db;              // empty: the user's data folder
  std::filesystem::path config;          // empty: the built-in channels
  std::filesystem::path noticeFile;      // read on SIGUSR1 and sent to everyone
  LogLevel logLevel = LogLevel::Info;
  // LOGIN:CODE[:USES] items to add to the database; the process then exits
  // without serving.
  std::vector<std::string> grants;
  bool help = false;
};

// Parses argv (without the program name). On failure returns empty and
// writes a reason to `error`.
std::optional<ServerOptions> ParseServerOptions(const std::vector<std::string>& args, std::string& error);
std::string ServerUsage();
// $XDG_DATA_HOME/tovrik/server.db, or ~/.local/share/tovrik/server.db.
std::filesystem::path DefaultDatabasePath();

}  // namespace tovrik::server
