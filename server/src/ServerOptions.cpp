#include "server/ServerOptions.h"

#include <charconv>
#include <cstdlib>

namespace tovrik::server {
namespace {

bool ParsePort(const std::string& text, std::uint16_t& port) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value > 65535) return false;
  port = static_cast<std::uint16_t>(value);
  return true;
}

}  // namespace

std::string ServerUsage() {
  return "usage: tovrik-server [options]\n"
         "  --master-port PORT   master server port (default 24000, 0 = any free port)\n"
         "  --no-master          run game servers only (another process runs the master)\n"
         "  --no-game            run the master server only (other processes run the game servers)\n"
         "  --game-port PORT     one game server on PORT; repeat for more (default one on 24001)\n"
         "  --game-number N      number of this process's first game server (default 1)\n"
"  --shop-port PORT     web shop port on 127.0.0.1 (default 24079 + the first game number, 0 = any free port)\n"
         "  --no-shop            no web shop\n"
         "  --host ADDRESS       IPv4 address to listen on and to hand to clients (default 127.0.0.1)\n"
         "  --db FILE            SQLite database (default under the user's data folder)\n"
         "  --config FILE        channel configuration (default: built-in channels)\n"
         "  --notice-file FILE   text sent to every user as a server notice on SIGUSR1\n"
         "  --log-level LEVEL    error, warn, info or debug (default info)\n"
         "  --grant-item LOGIN:CODE[:USES]\n"
         "                       add a shop item (201 jump ticket, 401 super room, 501 plus point;\n"
         "                       USES 0 = unlimited) to a user in --db, then exit; repeatable\n";
}

std::filesystem::path DefaultDatabasePath() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
    return std::filesystem::path(data) / "tovrik" / "server.db";
  }
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : ".") / ".local" / "share" / "tovrik" / "server.db";
}

std::optional<ServerOptions> ParseServerOptions(const std::vector<std::string>& args, std::string& error) {
  ServerOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string text;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--no-master") {
      options.master = false;
    } else if (arg == "--no-game") {
      options.noGame = true;
    } else if (arg == "--no-shop") {
      options.shop = false;
    } else if (arg == "--master-port" || arg == "--game-port" || arg == "--shop-port") {
      std::uint16_t port = 0;
      if (!value(text)) return std::nullopt;
      if (!ParsePort(text, port)) {
        error = arg + ": not a port: " + text;
        return std::nullopt;
      }
      if (arg == "--master-port") {
        options.masterPort = port;
      } else if (arg == "--shop-port") {
        options.shopPort = port;
      } else {
        options.gamePorts.push_back(port);
      }
    } else if (arg == "--game-number") {
      if (!value(text)) return std::nullopt;
      const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), options.firstGameNumber);
      if (ec != std::errc() || end != text.data() + text.size() || options.firstGameNumber < 1) {
        error = "--game-number: not a number of 1 or more: " + text;
        return std::nullopt;
      }
    } else if (arg == "--host") {
      if (!value(options.host)) return std::nullopt;
    } else if (arg == "--db") {
      if (!value(text)) return std::nullopt;
      options.db = text;
    } else if (arg == "--config") {
      if (!value(text)) return std::nullopt;
      options.config = text;
    } else if (arg == "--notice-file") {
      if (!value(text)) return std::nullopt;
      options.noticeFile = text;
    } else if (arg == "--grant-item") {
      if (!value(text)) return std::nullopt;
      options.grants.push_back(text);
    } else if (arg == "--log-level") {
      if (!value(text)) return std::nullopt;
      if (!ParseLogLevel(text, options.logLevel)) {
        error = "--log-level: one of error, warn, info, debug";
        return std::nullopt;
      }
    } else {
      error = "unknown option: " + arg;
      return std::nullopt;
    }
  }
  if (options.noGame) {
    if (!options.master || !options.gamePorts.empty()) {
      error = "--no-game runs the master server alone: no --no-master, no --game-port";
      return std::nullopt;
    }
  } else if (options.gamePorts.empty()) {
    if (!options.master) {
      error = "--no-master needs at least one --game-port";
      return std::nullopt;
    }
    options.gamePorts.push_back(24001);
  }
  if (options.db.empty()) options.db = DefaultDatabasePath();
  return options;
}

}  // namespace tovrik::server
